// No Windows function: what the other families need from a window.
#include "win32/window_bridge.h"

#include <platform_testing.h>

#include <SDL.h>

#include "win32/window_activity.h"
#include "win32/window_frame.h"
#include "win32/window_placement.h"
#include "win32/window_registry.h"

namespace platform::win32 {

namespace {

int pendingFullScreenRefusals = 0;

bool RefusedByTest() {
    if (pendingFullScreenRefusals == 0) {
        return false;
    }
    --pendingFullScreenRefusals;
    return true;
}

}  // namespace

SIZE ClientSizeOf(HWND hwnd) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr) {
        return SIZE{0, 0};
    }
    if (record->fullScreen) {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(record->sdlWindow.get(), &width, &height);
        return SIZE{width, height};
    }
    return WindowedClientSizeOf(hwnd);
}

// The model keeps the windowed place while full screen.
SIZE WindowedClientSizeOf(HWND hwnd) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr) {
        return SIZE{0, 0};
    }
    const RECT client = ClientRectFromWindow(record->windowRect, record->style);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

// The display's own size is kept: the frame is scaled onto it, keeping its shape.
bool SetFullScreenPresentation(HWND hwnd, bool fullScreen, int /*width*/, int /*height*/) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr) {
        return false;
    }
    if (record->fullScreen == fullScreen) {
        return true;
    }
    if (fullScreen) {
        CoverDisplay(*record);
    }
    if (RefusedByTest() ||
        SDL_SetWindowFullscreen(record->sdlWindow.get(),
                                fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        ApplyPlacement(*record);  // still windowed: back to the model's place
        return false;
    }
    record->fullScreen = fullScreen;
    if (!fullScreen) {
        ApplyPlacement(*record);
    }
    return true;
}

bool IsWindowActive(HWND hwnd) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record != nullptr && record->focused && !record->minimised;
}

}  // namespace platform::win32

namespace platform::testing {

void SetWindowFocus(HWND hwnd, bool focused) {
    if (win32::WindowRecord* record = win32::FindWindowRecord(hwnd)) {
        win32::SetFocusState(*record, focused);
    }
}

void SetWindowMinimised(HWND hwnd, bool minimised) {
    if (win32::WindowRecord* record = win32::FindWindowRecord(hwnd)) {
        win32::SetMinimisedState(*record, minimised);
    }
}

void RefuseFullScreenSwitches(int count) { win32::pendingFullScreenRefusals = count; }

SIZE GetClientSize(HWND hwnd) { return win32::ClientSizeOf(hwnd); }

bool IsWindowFullScreen(HWND hwnd) {
    const win32::WindowRecord* record = win32::FindWindowRecord(hwnd);
    return record != nullptr && record->fullScreen;
}

}  // namespace platform::testing
