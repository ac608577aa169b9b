// The program's text is UTF-16; where wchar_t is wider, characters beyond the
// basic plane are split into surrogate pairs so each code unit counts as one.
#pragma once

#include <string>

std::u16string ToCodeUnits(const wchar_t* text);
