// A rectangle kernel's block over a tiled depth buffer: each tile's depth test is
// settled from the tile's range where it can be, so that only tiles whose outcome may
// differ from pixel to pixel, or that come to hold several depths, pay per pixel.
#pragma once

#include "d3d9/raster/depth_tiles.h"
#include "d3d9/raster/rect_kernels.h"

namespace platform::d3d9::raster {

// Draws `block`, which covers `area` of the targets, as `kernel` would with the depth
// buffer's every value written; `params` has the depth test on, `depth` its tiles.
void DrawRectOverTiles(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
                       const PixelRect& area, const DepthTarget& depth);

}  // namespace platform::d3d9::raster
