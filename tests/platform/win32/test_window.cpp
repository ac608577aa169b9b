#include "test_window.h"

#include <platform_testing.h>

namespace win32_test {

std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

std::vector<UINT> MessagesOf(const std::vector<Received>& log) {
    std::vector<UINT> messages;
    for (const Received& r : log) {
        messages.push_back(r.message);
    }
    return messages;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({hwnd, message, wParam, lParam, GetWindowLongPtrW(hwnd, GWLP_USERDATA)});
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

RecordingClass::RecordingClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kName;
    RegisterClassExW(&wc);
    Log().clear();
}

RecordingClass::~RecordingClass() {
    for (HWND hwnd : windows_) {
        DestroyWindow(hwnd);
    }
    UnregisterClassW(kName, GetModuleHandleW(nullptr));
    DrainQueue();
    platform::testing::SetDebugSink({});
    platform::testing::SetMessageBoxHandler({});
    platform::testing::SetSleepHandler({});
}

HWND RecordingClass::Create(DWORD style, int x, int y, int width, int height, void* param) {
    const HWND hwnd = CreateWindowExW(0, kName, L"Test", style, x, y, width, height, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), param);
    if (hwnd != nullptr) {
        windows_.push_back(hwnd);
    }
    return hwnd;
}

std::vector<MSG> DrainQueue(HWND filter) {
    std::vector<MSG> drained;
    MSG msg;
    while (PeekMessageW(&msg, filter, 0, 0, PM_REMOVE)) {
        drained.push_back(msg);
    }
    return drained;
}

}  // namespace win32_test
