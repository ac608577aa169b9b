// No Windows function: focus and minimised state of the windows.
#include "win32/window_activity.h"

#include "win32/message_queue.h"
#include "win32/window_frame.h"
#include "win32/window_placement.h"

namespace platform::win32 {

namespace {

constexpr WPARAM kWaInactive = 0;
constexpr WPARAM kWaActive = 1;
constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMinimized = 1;

}  // namespace

void SetFocusState(WindowRecord& record, bool focused) {
    if (record.focused == focused) {
        return;
    }
    record.focused = focused;
    QueueMessage(record.hwnd, WM_ACTIVATE, focused ? kWaActive : kWaInactive, 0);
    QueueMessage(record.hwnd, focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

void SetMinimisedState(WindowRecord& record, bool minimised) {
    if (record.minimised == minimised) {
        return;
    }
    record.minimised = minimised;
    const LPARAM size = minimised ? 0 : ClientSizeParam(ClientScreenRect(record));
    QueueMessage(record.hwnd, WM_SIZE, minimised ? kSizeMinimized : kSizeRestored, size);
}

}  // namespace platform::win32
