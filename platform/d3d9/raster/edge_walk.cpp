#include "d3d9/raster/edge_walk.h"

#include "d3d9/raster/fixed_point.h"

#include <algorithm>

namespace platform::d3d9::raster {

void WalkTriangle(const TriangleSetup& triangle, SpanCallback callback, void* context) {
    const PixelRect& bounds = triangle.bounds;
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        // Each edge is linear along the row: a*x + k >= 0 bounds x from one side.
        int64_t first = bounds.left;
        int64_t last = bounds.right - 1;
        for (const EdgeFunction& edge : triangle.edges) {
            const int64_t k = edge.b * y + edge.c;
            if (edge.a > 0) {
                first = std::max(first, CeilDiv(-k, edge.a));
            } else if (edge.a < 0) {
                last = std::min(last, FloorDiv(k, -edge.a));
            } else if (k < 0) {
                last = first - 1;
            }
        }
        if (first <= last)
            callback(context, y, static_cast<int>(first), static_cast<int>(last + 1));
    }
}

}  // namespace platform::d3d9::raster
