#include "crt/wide_utf8.h"

#include <SDL.h>

#include <cwchar>
#include <vector>

namespace platform::crt {

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

bool IsScalarValue(wchar_t c) {
    const auto value = static_cast<uint32_t>(c);
    return value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

}  // namespace

std::string WideToUtf8(const wchar_t* text, size_t length) {
    if (text == nullptr || length == 0) {
        return {};
    }
    // The converter stops at a character it cannot encode; clean those out first.
    std::vector<wchar_t> clean(text, text + length);
    for (wchar_t& c : clean) {
        if (!IsScalarValue(c)) {
            c = kReplacementCharacter;
        }
    }
    // Converting the terminator too is what makes the result reliably terminated.
    clean.push_back(L'\0');
    char* converted =
        SDL_iconv_string("UTF-8", "WCHAR_T", reinterpret_cast<const char*>(clean.data()),
                         clean.size() * sizeof(wchar_t));
    if (converted == nullptr) {
        return {};
    }
    // The result ends at the first zero character, as every caller's text does.
    std::string result(converted);
    SDL_free(converted);
    return result;
}

std::string WideToUtf8(const wchar_t* text) {
    return text == nullptr ? std::string() : WideToUtf8(text, std::wcslen(text));
}

}  // namespace platform::crt
