#include "gdi/realised_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_LCD_FILTER_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

#include "gdi/font_resolver.h"

namespace platform::gdi {

namespace {

// GDI's size for a font asked for with height 0.
constexpr int kDefaultCellHeight = 16;

Antialiasing AntialiasingFor(int quality) {
    constexpr int kClearTypeNaturalQuality = 6;
    if (quality == CLEARTYPE_QUALITY || quality == kClearTypeNaturalQuality)
        return Antialiasing::SubPixel;
    if (quality == NONANTIALIASED_QUALITY) return Antialiasing::None;
    return Antialiasing::Grey;
}

LONG Scaled(double fontUnits, double scale) {
    return static_cast<LONG>(std::lround(fontUnits * scale));
}

TEXTMETRICW MeasureFace(FT_Face face, const FontRequest& request, bool cellIsEm, int& ppem) {
    const double unitsPerEm = face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const bool hasWinMetrics = os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0;
    const double winAscent = hasWinMetrics ? os2->usWinAscent : face->ascender;
    const double winDescent = hasWinMetrics ? os2->usWinDescent : -face->descender;
    const int height = request.height == 0 ? kDefaultCellHeight : request.height;

    TEXTMETRICW tm{};
    if (cellIsEm) {
        ppem = std::abs(height);
        const double scale = ppem / unitsPerEm;
        tm.tmAscent = std::clamp<LONG>(Scaled(face->ascender, scale), 0, ppem);
        tm.tmDescent = ppem - tm.tmAscent;
    } else {
        // GDI: a positive height is the cell (the Windows ascent plus descent),
        // a negative one the em.
        ppem = height > 0
                   ? static_cast<int>(std::lround(height * unitsPerEm / (winAscent + winDescent)))
                   : -height;
        ppem = std::max(ppem, 1);
        const double scale = ppem / unitsPerEm;
        tm.tmAscent = Scaled(winAscent, scale);
        tm.tmDescent = Scaled(winDescent, scale);
    }
    const double scale = ppem / unitsPerEm;
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(tm.tmHeight - ppem, 0);
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (hhea != nullptr && !cellIsEm) {
        const double lineUnits = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
        tm.tmExternalLeading = std::max<LONG>(Scaled(lineUnits - winAscent - winDescent, scale), 0);
    }
    tm.tmMaxCharWidth = Scaled(face->max_advance_width, scale);
    tm.tmAveCharWidth = os2 != nullptr && os2->xAvgCharWidth > 0 ? Scaled(os2->xAvgCharWidth, scale)
                                                                 : tm.tmMaxCharWidth / 2;
    tm.tmWeight = request.weight == FW_DONTCARE ? FW_NORMAL : request.weight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;

    FT_UInt glyph = 0;
    FT_ULong code = FT_Get_First_Char(face, &glyph);
    tm.tmFirstChar = static_cast<WCHAR>(code);
    for (FT_ULong last = code; glyph != 0 && last <= 0xFFFF;
         last = FT_Get_Next_Char(face, last, &glyph)) {
        tm.tmLastChar = static_cast<WCHAR>(last);
    }
    tm.tmDefaultChar = os2 != nullptr && os2->version >= 2 ? os2->usDefaultChar : tm.tmFirstChar;
    tm.tmBreakChar = os2 != nullptr && os2->version >= 2 ? os2->usBreakChar : L' ';
    tm.tmItalic = request.italic ? 1 : 0;
    // The low bit set means variable pitch, as in GDI; 6 marks a scalable outline font.
    constexpr BYTE kVariablePitch = 0x01;
    constexpr BYTE kOutline = 0x06;
    tm.tmPitchAndFamily =
        static_cast<BYTE>((FT_IS_FIXED_WIDTH(face) || cellIsEm ? 0 : kVariablePitch) | kOutline |
                          (cellIsEm ? FF_MODERN : FF_DONTCARE));
    constexpr FT_ULong kHiraganaA = 0x3042;
    tm.tmCharSet = FT_Get_Char_Index(face, kHiraganaA) != 0 ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    return tm;
}

// The FreeType library and every face realised so far, like GDI's own font cache.
class FontCache {
public:
    FontCache() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
        // Builds without the classic filter render sub-pixel glyphs their own way.
        if (library != nullptr) FT_Library_SetLcdFilter(library, FT_LCD_FILTER_DEFAULT);
    }
    ~FontCache() {
        fonts.clear();
        if (library != nullptr) FT_Done_FreeType(library);
    }
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    const RealisedFont* Realise(const FontRequest& request) {
        if (library == nullptr) return nullptr;
        const ResolvedFace resolved = ResolveFace(
            request.faceName, request.weight == 0 ? FW_NORMAL : request.weight, request.italic);
        if (resolved.file.empty()) return nullptr;
        const auto key =
            std::make_tuple(resolved.file, resolved.index, request.height, request.weight,
                            request.italic, AntialiasingFor(request.quality), resolved.cellIsEm);
        auto found = fonts.find(key);
        if (found != fonts.end()) return found->second.get();

        FT_Face face = nullptr;
        if (FT_New_Face(library, resolved.file.c_str(), resolved.index, &face) != 0) return nullptr;
        auto font = std::make_unique<RealisedFont>(face, request, resolved.cellIsEm, resolved.file);
        return fonts.emplace(key, std::move(font)).first->second.get();
    }

private:
    FT_Library library = nullptr;
    std::map<std::tuple<std::string, int, int, int, bool, Antialiasing, bool>,
             std::unique_ptr<RealisedFont>>
        fonts;
};

}  // namespace

RealisedFont::RealisedFont(FT_Face ftFace, const FontRequest& request, bool cellIsEm,
                           std::string file)
    : face(ftFace), antialiasing(AntialiasingFor(request.quality)), fontFile(std::move(file)) {
    int ppem = 0;
    metrics = MeasureFace(face, request, cellIsEm, ppem);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
}

RealisedFont::~RealisedFont() {
    if (face != nullptr) {
        FT_Done_Face(face);
        face = nullptr;
    }
}

void RealisedFont::Render(uint32_t character, GlyphCoverage& out) const {
    static constexpr FT_Int32 kLoadFlags[] = {FT_LOAD_TARGET_MONO, FT_LOAD_TARGET_NORMAL,
                                              FT_LOAD_TARGET_LCD};
    static constexpr FT_Render_Mode kRenderModes[] = {FT_RENDER_MODE_MONO, FT_RENDER_MODE_NORMAL,
                                                      FT_RENDER_MODE_LCD};
    const auto mode = static_cast<size_t>(antialiasing);

    out = GlyphCoverage{};
    const FT_UInt index = FT_Get_Char_Index(face, character);
    if (FT_Load_Glyph(face, index, kLoadFlags[mode]) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, kRenderModes[mode]) != 0) return;

    const FT_Bitmap& bitmap = slot->bitmap;
    const bool subPixel = bitmap.pixel_mode == FT_PIXEL_MODE_LCD;
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.width = static_cast<int>(subPixel ? bitmap.width / 3 : bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    const int pitch = std::abs(bitmap.pitch);
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row =
            bitmap.buffer +
            static_cast<ptrdiff_t>(bitmap.pitch >= 0 ? y : out.height - 1 - y) * pitch;
        uint8_t* coverage = &out.rgb[static_cast<size_t>(y) * out.width * 3];
        for (int x = 0; x < out.width; ++x, coverage += 3) {
            if (subPixel) {
                std::copy(row + x * 3, row + x * 3 + 3, coverage);
            } else {
                const uint8_t value = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                          ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0)
                                          : row[x];
                std::fill(coverage, coverage + 3, value);
            }
        }
    }
}

const RealisedFont* RealiseFont(const FontRequest& request) {
    static FontCache cache;
    return cache.Realise(request);
}

}  // namespace platform::gdi
