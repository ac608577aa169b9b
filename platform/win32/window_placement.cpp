// AdjustWindowRect, GetWindowRect, GetClientRect, SetWindowPos, ShowWindow, IsIconic and
// GetForegroundWindow.
#include <windows.h>

#include <SDL.h>

#include "win32/window_activity.h"
#include "win32/window_frame.h"
#include "win32/window_placement.h"
#include "win32/window_registry.h"

namespace platform::win32 {

namespace {

// How long the window system may keep echoing a placement the layer made.
constexpr uint32_t kSettleMilliseconds = 500;

RECT DisplayRect(const WindowRecord& record) {
    SDL_Rect bounds{0, 0, 0, 0};
    const int display = SDL_GetWindowDisplayIndex(record.sdlWindow.get());
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0) {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(record.sdlWindow.get(), &width, &height);
        bounds = SDL_Rect{0, 0, width, height};
    }
    return RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
}

}  // namespace

RECT ClientScreenRect(const WindowRecord& record) {
    return record.fullScreen ? DisplayRect(record)
                             : ClientRectFromWindow(record.windowRect, record.style);
}

void MarkPlacementSettling(WindowRecord& record) {
    record.settleUntilTicks = SDL_GetTicks() + kSettleMilliseconds;
}

void CoverDisplay(WindowRecord& record) {
    SDL_Window* window = record.sdlWindow.get();
    const RECT display = DisplayRect(record);
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, display.left, display.top);
    SDL_SetWindowSize(window, display.right - display.left, display.bottom - display.top);
    SDL_RaiseWindow(window);
    MarkPlacementSettling(record);
}

void ApplyPlacement(WindowRecord& record) {
    if (record.fullScreen || !record.sdlWindow) {
        return;
    }
    SDL_Window* window = record.sdlWindow.get();
    const RECT client = ClientRectFromWindow(record.windowRect, record.style);
    SDL_SetWindowBordered(window, (record.style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(window, client.right - client.left > 0 ? client.right - client.left : 1,
                      client.bottom - client.top > 0 ? client.bottom - client.top : 1);
    SDL_SetWindowPosition(window, client.left, client.top);
    MarkPlacementSettling(record);
}

}  // namespace platform::win32

using namespace platform::win32;

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    if (rect == nullptr) {
        return FALSE;
    }
    const FrameInsets frame = FrameInsetsFor(style, menu != FALSE);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = record->fullScreen ? ClientScreenRect(*record) : record->windowRect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    const RECT client = ClientScreenRect(*record);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

// While full screen only the model moves; the window comes back to it when the
// presentation returns to windowed.
BOOL WINAPI SetWindowPos(HWND hwnd, HWND /*insertAfter*/, int x, int y, int cx, int cy,
                         UINT flags) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr) {
        return FALSE;
    }
    RECT& rect = record->windowRect;
    if ((flags & SWP_NOMOVE) == 0) {
        const LONG width = rect.right - rect.left;
        const LONG height = rect.bottom - rect.top;
        rect = RECT{x, y, x + width, y + height};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        rect.right = rect.left + (cx > 0 ? cx : 0);
        rect.bottom = rect.top + (cy > 0 ? cy : 0);
    }
    ApplyPlacement(*record);
    if ((flags & SWP_SHOWWINDOW) != 0) {
        record->style |= WS_VISIBLE;
        SDL_ShowWindow(record->sdlWindow.get());
    }
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = (record->style & WS_VISIBLE) != 0 ? TRUE : FALSE;
    SDL_Window* window = record->sdlWindow.get();
    switch (cmdShow) {
        case SW_HIDE:
            record->style &= ~static_cast<DWORD>(WS_VISIBLE);
            SDL_HideWindow(window);
            SetFocusState(*record, false);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            SDL_MinimizeWindow(window);
            SetMinimisedState(*record, true);
            break;
        default:
            record->style |= WS_VISIBLE;
            SDL_ShowWindow(window);
            if (record->minimised) {
                SDL_RestoreWindow(window);
                SetMinimisedState(*record, false);
            }
            break;
    }
    return wasVisible;
}

BOOL WINAPI IsIconic(HWND hwnd) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record != nullptr && record->minimised ? TRUE : FALSE;
}

HWND WINAPI GetForegroundWindow(void) {
    const WindowRecord* record = FocusedOrOnlyWindow();
    return record != nullptr && record->focused ? record->hwnd : nullptr;
}
