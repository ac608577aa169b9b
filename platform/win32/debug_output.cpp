// OutputDebugStringW: the debugger output, written to standard error as UTF-8.
#include <windows.h>

#include <platform_testing.h>

#include <cstdio>
#include <string>
#include <utility>

#include "crt/wide_utf8.h"

namespace {

std::function<void(const std::wstring&)>& DebugSink() {
    static std::function<void(const std::wstring&)> sink;
    return sink;
}

}  // namespace

// With no debugger to listen, the lines go to standard error, unchanged.
void WINAPI OutputDebugStringW(LPCWSTR text) {
    if (text == nullptr) {
        return;
    }
    if (DebugSink()) {
        DebugSink()(std::wstring(text));
        return;
    }
    const std::string utf8 = platform::crt::WideToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

namespace platform::testing {

void SetDebugSink(std::function<void(const std::wstring& text)> sink) {
    DebugSink() = std::move(sink);
}

}  // namespace platform::testing
