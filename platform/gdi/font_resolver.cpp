#include "gdi/font_resolver.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <tuple>

#include "crt/wide_utf8.h"

namespace platform::gdi {

namespace {

std::wstring Lowered(const std::wstring& text) {
    std::wstring out = text;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return out;
}

bool HasFamily(FcPattern* pattern, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
            return true;
    }
    return false;
}

// fontconfig's best file for a family; with `exact`, only a face of that very family.
ResolvedFace Match(const std::string& family, int weight, bool italic, bool exact) {
    ResolvedFace resolved;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return resolved;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return resolved;

    FcChar8* file = nullptr;
    if ((!exact || HasFamily(match, family)) &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        resolved.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &resolved.index);
    }
    FcPatternDestroy(match);
    return resolved;
}

ResolvedFace Resolve(const std::wstring& faceName, int weight, bool italic) {
    const std::wstring lowered = Lowered(faceName);
    // Windows' own Gothic face: its Linux counterpart, then any monospaced face.
    if (lowered == L"ms gothic" || lowered == L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF") {
        ResolvedFace resolved = Match("IPAGothic", weight, italic, true);
        if (resolved.file.empty()) resolved = Match("monospace", weight, italic, false);
        resolved.cellIsEm = true;
        return resolved;
    }
    return Match(faceName.empty() ? std::string("sans-serif")
                                  : crt::WideToUtf8(faceName.c_str(), faceName.size()),
                 weight, italic, false);
}

}  // namespace

ResolvedFace ResolveFace(const std::wstring& faceName, int weight, bool italic) {
    // fontconfig's configuration lives from the first lookup to the end of the process.
    static const struct FontconfigSession {
        FontconfigSession() { FcInit(); }
        ~FontconfigSession() { FcFini(); }
    } session;
    // fontconfig's matching is slow next to everything else GDI does here.
    static std::map<std::tuple<std::wstring, int, bool>, ResolvedFace> cache;
    const auto key = std::make_tuple(Lowered(faceName), weight, italic);
    auto found = cache.find(key);
    if (found == cache.end()) found = cache.emplace(key, Resolve(faceName, weight, italic)).first;
    return found->second;
}

}  // namespace platform::gdi
