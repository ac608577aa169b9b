// Wide strings (wchar_t, UTF-32 on Linux) become UTF-8 where they leave the layer:
// file names, window titles, debug lines, message boxes.
#pragma once

#include <cstddef>
#include <string>

namespace platform::crt {

// Converts `length` wide characters; characters that are not Unicode scalar values
// become U+FFFD.
std::string WideToUtf8(const wchar_t* text, size_t length);
std::string WideToUtf8(const wchar_t* text);

}  // namespace platform::crt
