// What the other families of the layer need from a window: its SDL window and its
// presentation state. Internal to the platform layer.
#pragma once

#include <windows.h>

struct SDL_Window;

namespace platform::win32 {

// The SDL window behind a window handle; null for an unknown handle.
SDL_Window* SdlWindowOf(HWND hwnd);

// Client-area size in pixels.
SIZE ClientSizeOf(HWND hwnd);

// Switches the window between full-screen presentation (borderless, covering the
// display, at the given back-buffer size) and windowed presentation.
bool SetFullScreenPresentation(HWND hwnd, bool fullScreen, int width, int height);

// False while the window is minimised or does not have the input focus.
bool IsWindowActive(HWND hwnd);

}  // namespace platform::win32
