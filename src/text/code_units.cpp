#include "text/code_units.h"

std::u16string ToCodeUnits(const wchar_t* text) {
    std::u16string units;
    for (; *text != 0; ++text) {
        const unsigned long code = static_cast<unsigned long>(*text);
        if (sizeof(wchar_t) > 2 && code > 0xFFFF && code <= 0x10FFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}
