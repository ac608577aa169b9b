// What the other families of the layer need from a window: its size and its
// presentation state. Internal to the platform layer.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Client-area size in pixels: now, and as it is (or will be again) when windowed.
SIZE ClientSizeOf(HWND hwnd);
SIZE WindowedClientSizeOf(HWND hwnd);

// Switches the window between full-screen presentation (borderless, covering the
// display, at the given back-buffer size) and windowed presentation.
bool SetFullScreenPresentation(HWND hwnd, bool fullScreen, int width, int height);

// False while the window is minimised or does not have the input focus.
bool IsWindowActive(HWND hwnd);

}  // namespace platform::win32
