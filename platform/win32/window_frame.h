// The non-client frame of the Windows model: fixed thicknesses per style, the same
// whatever the real window manager draws, so that window and client rectangles
// stay consistent with AdjustWindowRect.
#pragma once

#include <windows.h>

namespace platform::win32 {

struct FrameInsets {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

FrameInsets FrameInsetsFor(DWORD style, bool hasMenu);

RECT WindowRectFromClient(const RECT& client, DWORD style);
// Client rectangle in screen coordinates; never narrower than empty.
RECT ClientRectFromWindow(const RECT& window, DWORD style);

// The client size packed as WM_SIZE carries it: width low, height high.
LPARAM ClientSizeParam(const RECT& client);

}  // namespace platform::win32
