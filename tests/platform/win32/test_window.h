// A window class whose procedure records every message (and the user data the
// window held when it arrived), registered for one test; its windows are
// destroyed and the queue emptied at the end.
#pragma once

#include <windows.h>

#include <platform_testing.h>

#include <SDL.h>

#include <vector>

#include "win32/window_bridge.h"

namespace win32_test {

struct Received { HWND hwnd; UINT message; LONG_PTR userDataAtArrival; };

inline std::vector<Received> messageLog;

inline std::vector<UINT> LoggedMessages() {
    std::vector<UINT> messages;
    for (const Received& r : messageLog) messages.push_back(r.message);
    return messages;
}

// Pulls every queued message without dispatching it.
inline std::vector<MSG> DrainQueue() {
    std::vector<MSG> drained;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) drained.push_back(msg);
    return drained;
}

// Binds the creation parameter at WM_NCCREATE, as the program's procedure does.
inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog.push_back({hwnd, message, GetWindowLongPtrW(hwnd, GWLP_USERDATA)});
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// As the window system would report it about this window.
inline void PushWindowEvent(HWND hwnd, Uint8 kind, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.window = {SDL_WINDOWEVENT, 0, SDL_GetWindowID(platform::win32::SdlWindowOf(hwnd)), kind, 0, 0, 0, data1, data2};
    SDL_PushEvent(&event);
}

class RecordingClass {
public:
    RecordingClass() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = L"RecordingWindow";
        RegisterClassExW(&wc);
        messageLog.clear();
    }
    ~RecordingClass() {
        for (HWND hwnd : windows_) DestroyWindow(hwnd);
        UnregisterClassW(L"RecordingWindow", nullptr);
        DrainQueue();
        platform::testing::ResetAllHooks();
    }
    RecordingClass(const RecordingClass&) = delete;
    RecordingClass& operator=(const RecordingClass&) = delete;

    HWND Create(DWORD style, int x, int y, int width, int height, void* param = nullptr) {
        const HWND hwnd = CreateWindowExW(0, L"RecordingWindow", L"Test", style, x, y, width, height, nullptr,
                                          nullptr, nullptr, param);
        if (hwnd != nullptr) windows_.push_back(hwnd);
        return hwnd;
    }

private:
    std::vector<HWND> windows_;
};

}  // namespace win32_test
