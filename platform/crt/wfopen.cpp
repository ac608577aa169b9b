#include <windows.h>

#include "crt/wide_utf8.h"

FILE* _wfopen(const wchar_t* fileName, const wchar_t* mode) {
    if (fileName == nullptr || mode == nullptr) {
        return nullptr;
    }
    const std::string name = platform::crt::WideToUtf8(fileName);
    const std::string narrowMode = platform::crt::WideToUtf8(mode);
    if (name.empty() || narrowMode.empty()) {
        return nullptr;
    }
    return std::fopen(name.c_str(), narrowMode.c_str());
}
