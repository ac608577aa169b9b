// No Windows function: one SDL event as the window messages Windows would post for it.
#include "win32/sdl_event_translation.h"

#include <windows.h>

#include "win32/message_queue.h"
#include "win32/virtual_keys.h"
#include "win32/window_activity.h"
#include "win32/window_frame.h"
#include "win32/window_registry.h"

namespace platform::win32 {

namespace {

constexpr LPARAM kExtendedKeyBit = LPARAM{1} << 24;
constexpr LPARAM kAltDownBit = LPARAM{1} << 29;
constexpr LPARAM kPreviousStateBit = LPARAM{1} << 30;
constexpr LPARAM kTransitionBit = LPARAM{1} << 31;

WindowRecord* TargetWindow(uint32_t windowId) {
    WindowRecord* record = FindWindowRecordBySdlId(windowId);
    return record != nullptr ? record : FocusedOrOnlyWindow();
}

// Keys pressed while Alt is held (without Ctrl, which makes AltGr) and F10 go to
// the system-key messages, as do presses of Alt itself.
bool IsSystemKey(const SDL_KeyboardEvent& key, BYTE virtualKey) {
    const bool altHeld = (key.keysym.mod & KMOD_ALT) != 0 && (key.keysym.mod & KMOD_CTRL) == 0;
    return altHeld || virtualKey == VK_F10 || virtualKey == VK_MENU;
}

void TranslateKey(const SDL_KeyboardEvent& key) {
    WindowRecord* record = TargetWindow(key.windowID);
    if (record == nullptr) {
        return;
    }
    const WindowsKey windowsKey = WindowsKeyFor(key.keysym.scancode);
    const bool down = key.state == SDL_PRESSED;
    const bool system = IsSystemKey(key, windowsKey.virtualKey);

    LPARAM lParam = 1 | (static_cast<LPARAM>(windowsKey.scanCode) << 16);
    if (windowsKey.extended) {
        lParam |= kExtendedKeyBit;
    }
    if ((key.keysym.mod & KMOD_ALT) != 0) {
        lParam |= kAltDownBit;
    }
    if (!down || key.repeat != 0) {
        lParam |= kPreviousStateBit;
    }
    if (!down) {
        lParam |= kTransitionBit;
    }
    const UINT message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    QueueMessage(record->hwnd, message, windowsKey.virtualKey, lParam);
}

// The window system reports the client area; the model keeps the outer rectangle.
void TakeClientPlacement(WindowRecord& record, int x, int y, int width, int height) {
    if (record.fullScreen ||
        SDL_TICKS_PASSED(SDL_GetTicks(), record.settleUntilTicks) == SDL_FALSE) {
        return;
    }
    record.windowRect = WindowRectFromClient(RECT{x, y, x + width, y + height}, record.style);
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    WindowRecord* record = FindWindowRecordBySdlId(event.windowID);
    if (record == nullptr) {
        return;
    }
    SDL_Window* window = record->sdlWindow.get();
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &width, &height);
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            QueueMessage(record->hwnd, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            SetFocusState(*record, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            SetFocusState(*record, false);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            SetMinimisedState(*record, true);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            SetMinimisedState(*record, false);
            break;
        case SDL_WINDOWEVENT_MOVED:
            TakeClientPlacement(*record, event.data1, event.data2, width, height);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            TakeClientPlacement(*record, x, y, event.data1, event.data2);
            break;
        default:
            break;
    }
}

}  // namespace

void TranslateSdlEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(event.key);
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        default:
            // SDL_QUIT follows the last window's close event, which already became
            // WM_CLOSE; mouse and text events are not part of this program's input.
            break;
    }
}

}  // namespace platform::win32
