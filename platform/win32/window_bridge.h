// What the other families of the layer need from a window: its SDL window and its
// presentation state. Internal to the platform layer.
#pragma once

#include <windows.h>

#include <memory>

struct SDL_Window;

namespace platform::win32 {

// What the device keeps with a window to show its frames (a GPU renderer and its
// texture): owned by the window and destroyed before the SDL window.
class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;
};

// Null until one is attached, and for an unknown handle.
WindowPresenter* PresenterOf(HWND hwnd);
// Replaces the window's presenter; returns the one now attached (null for an
// unknown handle, which drops the presenter).
WindowPresenter* AttachPresenter(HWND hwnd, std::unique_ptr<WindowPresenter> presenter);

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
