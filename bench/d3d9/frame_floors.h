// The least work the program's frame needs, twice over: plain loops (the reference
// every other route must match bit for bit) and AVX2 whole-row spans (the floor the
// rasteriser is timed against). With depth, every kept pixel is tested LESSEQUAL
// against the 16-bit buffer and written; without, there is no depth buffer at all.
#pragma once

#include "frame_workload.h"

namespace platform::d3d9::raster::bench {

enum class DepthWork { None, PerPixel };

// Clears `frame` (colour, and depth when asked) and draws the workload into it.
void ReferenceFrame(const FrameWorkload& workload, testing::Frame& frame, DepthWork depth);

#if defined(__x86_64__)
// As ReferenceFrame; needs AVX2 (check __builtin_cpu_supports first). Per group of
// eight pixels: alpha 0 throughout skips, opaque throughout stores, the rest blends.
void FloorFrameAvx2(const FrameWorkload& workload, testing::Frame& frame, DepthWork depth);
#endif

}  // namespace platform::d3d9::raster::bench
