// Clips triangles in clip space against the near and far planes and a guard band
// around the viewport, so that the screen-space stages only ever see positive w and
// coordinates that fit their fixed-point arithmetic.
#pragma once

#include "d3d9/raster/vertex_input.h"

namespace platform::d3d9::raster {

// A convex polygon: a triangle cut by up to seven planes keeps at most ten vertices.
struct ClipPolygon {
    static constexpr int kMaxVertices = 10;
    ClipVertex vertices[kMaxVertices];
    int count = 0;
};

class Clipper {
public:
    // The guard band reaches `kGuardBandPixels` beyond the centre of the viewport in
    // every direction.
    static constexpr double kGuardBandPixels = 16384.0;

    Clipper(int viewportWidth, int viewportHeight);

    // Bit set of the planes the vertex lies outside; 0 when it needs no clipping.
    unsigned Outcode(const ClipVertex& v) const;

    // Clips the triangle; the polygon's vertex order keeps the triangle's winding.
    void ClipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                      ClipPolygon& out) const;

private:
    double Distance(const ClipVertex& v, int plane) const;

    double guardX;
    double guardY;
};

}  // namespace platform::d3d9::raster
