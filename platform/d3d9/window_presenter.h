// Shows a frame in a window's client area, through a GPU renderer where the
// process chose one and it works, else through SDL's window surface.
#pragma once

#include <windows.h>

#include "d3d9/surface_memory.h"

namespace d3d9sw {

// Copies the frame 1:1 when the sizes match and stretches it (nearest neighbour)
// otherwise. Does nothing for a window without an SDL window or a way to show it.
void PresentToWindow(HWND window, const SurfaceMemory& frame);

}  // namespace d3d9sw
