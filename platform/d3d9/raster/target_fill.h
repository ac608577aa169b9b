// Fills part of a colour or depth target with one value: the work of a device Clear,
// vectorised because a 640 x 480 clear is as much work as the rest of a sprite frame.
#pragma once

#include "d3d9/raster/pipeline.h"
#include "d3d9/raster/triangle_setup.h"

#include <cstdint>

namespace platform::d3d9::raster {

// `rect` is cut to the target first.
void FillColor(const ColorTarget& target, const PixelRect& rect, uint32_t value);
void FillDepth(const DepthTarget& target, const PixelRect& rect, uint16_t value);

}  // namespace platform::d3d9::raster
