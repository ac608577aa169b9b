// Walks a set-up triangle row by row and hands each run of covered pixels on.
#pragma once

#include "d3d9/raster/triangle_setup.h"

namespace platform::d3d9::raster {

// Receives the covered pixels [xBegin, xEnd) of row y, rows in increasing order.
using SpanCallback = void (*)(void* context, int y, int xBegin, int xEnd);

void WalkTriangle(const TriangleSetup& triangle, SpanCallback callback, void* context);

}  // namespace platform::d3d9::raster
