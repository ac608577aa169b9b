// The one way a finished frame reaches the screen: the device hands its pixels to
// the window system, which shows them through X shared memory of its own, SDL's
// window surface or the GPU renderer. Internal to the platform layer.
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

// The window surface's memory lent to draw one frame straight into it, named by
// the window and a number no other loan has. The window family can take it back
// at any time (the window goes, its surface is made again at another size), so the
// borrower asks for the memory at each use and keeps no pointer into it.
struct FrameMemoryLoan {
    HWND hwnd = nullptr;
    uint64_t number = 0;  // 0: nothing lent
};

// Lends the window surface's memory as a frame of exactly `width` x `height`
// (packed rows). Nothing where the surface differs in size or layout, where frames
// go through the GPU, or for an unknown handle.
FrameMemoryLoan LendFrameMemory(HWND hwnd, int width, int height);

// The lent memory, good until the next call into the window family; null once the
// loan has ended or been taken back.
uint32_t* LentFrameMemory(const FrameMemoryLoan& loan);

// Ends the loan, showing the frame drawn in the memory first (in `hwnd`, copied
// there when it is another window) unless the loan was taken back: that frame went
// with the surface.
void PresentLentFrame(HWND hwnd, const FrameMemoryLoan& loan);
void EndFrameMemoryLoan(const FrameMemoryLoan& loan);

// Shows the frame in the window's client area: 1:1 when the sizes match, else
// stretched with nearest neighbour, over the whole client area while windowed and
// at its own aspect ratio with black bars while full screen. Does nothing for an
// unknown handle.
void PresentFrame(HWND hwnd, const FrameView& frame);

}  // namespace platform::win32
