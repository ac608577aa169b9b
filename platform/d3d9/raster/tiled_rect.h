// A rectangle kernel's block over tiled targets: each tile's depth test is settled from
// the tile's range where it can be, so that only tiles whose outcome may differ from
// pixel to pixel, or that come to hold several depths, pay per pixel; a cleared colour
// tile the block covers is written once, the clear and the drawing together.
#pragma once

#include "d3d9/raster/depth_tiles.h"
#include "d3d9/raster/pipeline.h"
#include "d3d9/raster/rect_kernels.h"

namespace platform::d3d9::raster {

// Draws `block`, which covers `area` of the targets, as `kernel` would over targets
// with every value written. Either target may have tiles; the depth's are used when
// `params` has the depth test on.
void DrawRectOverTiles(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
                       const PixelRect& area, const ColorTarget& color, const DepthTarget& depth);

}  // namespace platform::d3d9::raster
