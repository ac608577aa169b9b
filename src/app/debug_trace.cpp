#include "app/debug_trace.h"

#include <windows.h>

#include <sstream>
#include <string>

void DebugTrace(const wchar_t* text) {
    if (text == NULL) {
        return;
    }
    std::wostringstream stream;
    stream << text;
    const std::wstring composed = stream.str();
    OutputDebugStringW(composed.c_str());
}
