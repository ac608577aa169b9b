// The specialised route for the common case: a two-triangle fan that forms a
// screen-aligned rectangle with constant depth and colour and a texture mapping without
// rotation, drawn by a rectangle kernel with every pixel as the general path draws it.
#pragma once

#include "d3d9/raster/pixel_stage.h"
#include "d3d9/raster/rect_kernels.h"
#include "d3d9/raster/triangle_setup.h"

namespace platform::d3d9::raster {

// Draws the fan (v0 v1 v2) (v0 v2 v3) and returns true, or returns false without
// drawing when only the general path can draw it exactly.
bool DrawScreenAlignedRect(const PixelState& pixels, const ScreenVertex (&fan)[4], DWORD cullMode,
                           KernelIsa isa);

}  // namespace platform::d3d9::raster
