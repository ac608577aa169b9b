// The thread's posted-message queue. Internal to the win32 family.
#pragma once

#include <windows.h>

namespace platform::win32 {

void QueueMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A destroyed window's messages are never delivered.
void DiscardMessagesFor(HWND hwnd);

}  // namespace platform::win32
