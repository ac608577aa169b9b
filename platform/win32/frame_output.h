// The one way a finished frame reaches the screen: the device hands its pixels to
// the window system, which shows them through the window surface or the GPU
// renderer. Internal to the platform layer.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

// 32-bit pixels, 0xXXRRGGBB (memory order blue, green, red, unused), rows from the top.
struct FrameView {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitchBytes = 0;
};

// Memory laid out as a frame of exactly `width` x `height` (packed rows) that
// PresentFrame shows without copying it: the window surface's own pixels. Null
// where the surface differs in size or layout, where frames go through the GPU,
// or for an unknown handle. Good until the next PresentFrame or WindowFrameMemory
// for this window, or until the window goes; a frame drawn there and presented
// after the window changed size is dropped.
uint32_t* WindowFrameMemory(HWND hwnd, int width, int height);

// Shows the frame in the window's client area: 1:1 when the sizes match, else
// stretched with nearest neighbour, over the whole client area while windowed and
// at its own aspect ratio with black bars while full screen. Does nothing for an
// unknown handle.
void PresentFrame(HWND hwnd, const FrameView& frame);

}  // namespace platform::win32
