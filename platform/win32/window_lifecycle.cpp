// CreateWindowExW, DestroyWindow, IsWindow and DefWindowProcW.
#include <windows.h>

#include <SDL.h>

#include <memory>
#include <string>

#include "crt/wide_utf8.h"
#include "win32/message_queue.h"
#include "win32/present_path.h"
#include "win32/sdl_video.h"
#include "win32/window_activity.h"
#include "win32/window_class.h"
#include "win32/window_frame.h"
#include "win32/window_placement.h"
#include "win32/window_registry.h"

namespace platform::win32 {

namespace {

constexpr UINT kWmGetMinMaxInfo = 0x0024;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

// The record USER32 fills for WM_GETMINMAXINFO (five points).
struct MinMaxInfo {
    POINT reserved;
    POINT maxSize;
    POINT maxPosition;
    POINT minTrackSize;
    POINT maxTrackSize;
};

RECT DesktopBounds() {
    SDL_Rect bounds{0, 0, 1024, 768};
    SDL_GetDisplayUsableBounds(0, &bounds);
    return RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
}

// CW_USEDEFAULT sizes get a default; positions centre the window on the desktop.
RECT InitialWindowRect(int x, int y, int width, int height) {
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    if (x == CW_USEDEFAULT) {
        const RECT desktop = DesktopBounds();
        x = desktop.left + (desktop.right - desktop.left - width) / 2;
        y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
        if (x < desktop.left) {
            x = desktop.left;
        }
        if (y < desktop.top) {
            y = desktop.top;
        }
    }
    return RECT{x, y, x + width, y + height};
}

}  // namespace

}  // namespace platform::win32

using namespace platform::win32;

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND /*parent*/, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    const WNDCLASSEXW* windowClass = FindWindowClass(className);
    if (windowClass == nullptr || !EnsureSdlVideo()) {
        return nullptr;
    }

    auto record = std::make_unique<WindowRecord>();
    record->proc = windowClass->lpfnWndProc;
    record->instance = instance;
    record->style = style;
    record->exStyle = exStyle;
    record->windowRect = InitialWindowRect(x, y, width, height);

    const std::string title = platform::crt::WideToUtf8(windowName);
    // A GL window up front spares the renderer from re-creating it; where GL
    // windows cannot be made, the frames go through the window surface instead.
    if (ActivePresentPath() == PresentPath::GpuRenderer) {
        record->sdlWindow.reset(
            SDL_CreateWindow(title.c_str(), 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL));
    }
    if (!record->sdlWindow) {
        record->sdlWindow.reset(SDL_CreateWindow(title.c_str(), 0, 0, 1, 1, SDL_WINDOW_HIDDEN));
    }
    if (!record->sdlWindow) {
        return nullptr;
    }
    ApplyPlacement(*record);
    const HWND hwnd = AddWindowRecord(std::move(record));

    // The record shows the place actually chosen, CW_USEDEFAULT resolved.
    const RECT windowRect = FindWindowRecord(hwnd)->windowRect;
    CREATESTRUCTW create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.cx = windowRect.right - windowRect.left;
    create.cy = windowRect.bottom - windowRect.top;
    create.x = windowRect.left;
    create.y = windowRect.top;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;

    MinMaxInfo minMax{};
    minMax.maxSize = POINT{windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    minMax.maxTrackSize = minMax.maxSize;
    SendMessageW(hwnd, kWmGetMinMaxInfo, 0, reinterpret_cast<LPARAM>(&minMax));

    if (SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == FALSE ||
        SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    WindowRecord* created = FindWindowRecord(hwnd);
    if (created == nullptr) {  // the procedure destroyed its own window
        return nullptr;
    }
    const RECT clientRect = ClientRectFromWindow(created->windowRect, created->style);
    SendMessageW(hwnd, WM_SIZE, 0, ClientSizeParam(clientRect));
    SendMessageW(
        hwnd, WM_MOVE, 0,
        static_cast<LPARAM>(((clientRect.top & 0xFFFF) << 16) | (clientRect.left & 0xFFFF)));

    created = FindWindowRecord(hwnd);
    if (created != nullptr && (created->style & WS_VISIBLE) != 0) {
        SDL_ShowWindow(created->sdlWindow.get());
        SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
        if (WindowRecord* shown = FindWindowRecord(hwnd)) {
            SetFocusState(*shown, true);
        }
    }
    return FindWindowRecord(hwnd) != nullptr ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->destroying) {
        return FALSE;
    }
    record->destroying = true;
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    DiscardMessagesFor(hwnd);
    RemoveWindowRecord(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return FindWindowRecord(hwnd) != nullptr ? TRUE : FALSE; }

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM /*lParam*/) {
    switch (msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+F4 asks the window to close, as the system menu's Close does.
            if (wParam == VK_F4) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        default:
            return 0;
    }
}
