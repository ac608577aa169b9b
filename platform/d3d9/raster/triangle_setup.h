// Screen-space triangle setup: viewport mapping, snapping to 1/256 pixel, culling, the
// three edge functions with the top-left fill convention, and the attribute planes.
#pragma once

#include "d3d9/raster/fixed_point.h"
#include "d3d9/raster/vertex_input.h"

#include <algorithm>
#include <cstdint>

namespace platform::d3d9::raster {

constexpr int kSubpixelBits = 8;
constexpr int kPlaneFractionBits = 32;  // attribute planes are 32.32 fixed point

// Pixels [left, right) x [top, bottom) that may be written.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A vertex on the screen: position in 1/256 pixel, depth in 0..65535, texture
// coordinate in texels, colour 0..255 per channel, and 1/w.
struct ScreenVertex {
    int64_t x, y;
    double depth;
    double invW;
    double s, t;
    double color[4];
};

// Maps a clipped vertex through the viewport; `textureWidth`/`Height` turn the texture
// coordinate into texels. Inline: a quad maps four, and the copies would cost more.
inline ScreenVertex ToScreen(const ClipVertex& v, const D3DVIEWPORT9& viewport, int textureWidth,
                             int textureHeight) {
    const double invW = 1.0 / v.w;
    const double halfWidth = 0.5 * viewport.Width;
    const double halfHeight = 0.5 * viewport.Height;
    const double sx = viewport.X + (v.x * invW + 1.0) * halfWidth;
    const double sy = viewport.Y + (1.0 - v.y * invW) * halfHeight;
    const double z = viewport.MinZ + v.z * invW * (viewport.MaxZ - viewport.MinZ);
    // The guard band already bounds clipped positions; this only keeps a viewport far
    // off any target from overflowing the subpixel grid.
    constexpr double kPositionLimit = 1 << 20;
    ScreenVertex out;
    out.x = RoundToInt64(std::clamp(sx, -kPositionLimit, kPositionLimit) * (1 << kSubpixelBits));
    out.y = RoundToInt64(std::clamp(sy, -kPositionLimit, kPositionLimit) * (1 << kSubpixelBits));
    out.depth = std::clamp(z, 0.0, 1.0) * 65535.0;
    out.invW = invW;
    out.s = v.u * textureWidth;
    out.t = v.v * textureHeight;
    for (int c = 0; c < 4; ++c) out.color[c] = v.color[c];
    return out;
}

// E(x, y) = a*x + b*y + c at pixel centre (x, y); the pixel is inside when E >= 0.
struct EdgeFunction {
    int64_t a, b, c;
    int64_t At(int x, int y) const { return a * x + b * y + c; }
};

// value(x, y) = origin + dx*x + dy*y, in 32.32 fixed point, exact and associative so
// that any walk over the pixels finds the same values.
struct FixedPlane {
    int64_t origin, dx, dy;
    int64_t At(int x, int y) const { return origin + dx * x + dy * y; }
    bool operator==(const FixedPlane&) const = default;
};

struct FloatPlane {
    double origin, dx, dy;
    double At(int x, int y) const { return origin + dx * x + dy * y; }
};

struct TriangleSetup {
    EdgeFunction edges[3];
    PixelRect bounds;  // pixels to visit: bounding box within the scissor
    FixedPlane depth;  // 0..65535
    // Constant w: texture coordinates and colours are affine on the screen.
    bool perspective = false;
    FixedPlane s, t;
    FixedPlane color[4];
    // Varying w: each attribute divided by w, and 1/w, interpolate linearly.
    FloatPlane invW, sOverW, tOverW;
    FloatPlane colorOverW[4];
};

enum class SetupResult { Visible, Culled, Empty };

// `cullMode` is a D3DCULL value; D3DCULL_CCW removes triangles that wind
// counter-clockwise on the screen.
SetupResult SetupTriangle(const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2,
                          DWORD cullMode, const PixelRect& scissor, TriangleSetup& out);

}  // namespace platform::d3d9::raster
