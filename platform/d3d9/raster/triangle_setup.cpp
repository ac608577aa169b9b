#include "d3d9/raster/triangle_setup.h"

#include "d3d9/raster/fixed_point.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform::d3d9::raster {
namespace {

// The plane through three values at the vertices' pixel positions, referred to v0.
struct PlaneSolver {
    double x0, y0, dx1, dy1, dx2, dy2, det;

    void Solve(double f0, double f1, double f2, double& origin, double& a, double& b) const {
        const double df1 = f1 - f0;
        const double df2 = f2 - f0;
        a = (df1 * dy2 - df2 * dy1) / det;
        b = (df2 * dx1 - df1 * dx2) / det;
        origin = f0 - a * x0 - b * y0;
    }

    FixedPlane Fixed(double f0, double f1, double f2) const {
        // Solving a finite constant gives it back with zero slopes; the sprite's colour
        // and depth skip the divisions.
        if (f0 == f1 && f0 == f2 && std::isfinite(f0)) return {ToFixed(f0), 0, 0};
        double origin, a, b;
        Solve(f0, f1, f2, origin, a, b);
        return {ToFixed(origin), ToFixed(a, kFixedSlopeLimit), ToFixed(b, kFixedSlopeLimit)};
    }

    FloatPlane Float(double f0, double f1, double f2) const {
        FloatPlane plane;
        Solve(f0, f1, f2, plane.origin, plane.dx, plane.dy);
        return plane;
    }
};

EdgeFunction MakeEdge(const ScreenVertex& from, const ScreenVertex& to) {
    constexpr int64_t kPixel = int64_t{1} << kSubpixelBits;
    const int64_t dx = to.x - from.x;
    const int64_t dy = to.y - from.y;
    EdgeFunction edge{-dy * kPixel, dx * kPixel, dy * from.x - dx * from.y};
    // Top-left convention, for a triangle that winds clockwise on a y-down screen: a top
    // edge runs rightward along a row, a left edge runs upward. Other edges exclude the
    // pixel centres they pass through.
    const bool topLeft = (dy == 0 && dx > 0) || dy < 0;
    if (!topLeft) edge.c -= 1;
    return edge;
}

}  // namespace

SetupResult SetupTriangle(const ScreenVertex& v0, const ScreenVertex& v1In,
                          const ScreenVertex& v2In, DWORD cullMode, const PixelRect& scissor,
                          TriangleSetup& out) {
    const int64_t area2 = (v1In.x - v0.x) * (v2In.y - v0.y) - (v2In.x - v0.x) * (v1In.y - v0.y);
    if (area2 == 0) return SetupResult::Empty;
    const bool clockwise = area2 > 0;
    if ((cullMode == D3DCULL_CCW && !clockwise) || (cullMode == D3DCULL_CW && clockwise))
        return SetupResult::Culled;
    const ScreenVertex* v1 = &v1In;
    const ScreenVertex* v2 = &v2In;
    if (!clockwise) std::swap(v1, v2);

    constexpr int64_t kPixel = int64_t{1} << kSubpixelBits;
    const int64_t minX = std::min({v0.x, v1->x, v2->x});
    const int64_t maxX = std::max({v0.x, v1->x, v2->x});
    const int64_t minY = std::min({v0.y, v1->y, v2->y});
    const int64_t maxY = std::max({v0.y, v1->y, v2->y});
    out.bounds.left = static_cast<int>(std::max<int64_t>(CeilDiv(minX, kPixel), scissor.left));
    out.bounds.top = static_cast<int>(std::max<int64_t>(CeilDiv(minY, kPixel), scissor.top));
    out.bounds.right =
        static_cast<int>(std::min<int64_t>(FloorDiv(maxX, kPixel) + 1, scissor.right));
    out.bounds.bottom =
        static_cast<int>(std::min<int64_t>(FloorDiv(maxY, kPixel) + 1, scissor.bottom));
    if (out.bounds.left >= out.bounds.right || out.bounds.top >= out.bounds.bottom)
        return SetupResult::Empty;

    out.edges[0] = MakeEdge(v0, *v1);
    out.edges[1] = MakeEdge(*v1, *v2);
    out.edges[2] = MakeEdge(*v2, v0);

    PlaneSolver solver;
    solver.x0 = static_cast<double>(v0.x) / kPixel;
    solver.y0 = static_cast<double>(v0.y) / kPixel;
    solver.dx1 = static_cast<double>(v1->x - v0.x) / kPixel;
    solver.dy1 = static_cast<double>(v1->y - v0.y) / kPixel;
    solver.dx2 = static_cast<double>(v2->x - v0.x) / kPixel;
    solver.dy2 = static_cast<double>(v2->y - v0.y) / kPixel;
    solver.det = solver.dx1 * solver.dy2 - solver.dx2 * solver.dy1;

    out.depth = solver.Fixed(v0.depth, v1->depth, v2->depth);
    out.perspective = !(v0.invW == v1->invW && v0.invW == v2->invW);
    if (!out.perspective) {
        out.s = solver.Fixed(v0.s, v1->s, v2->s);
        out.t = solver.Fixed(v0.t, v1->t, v2->t);
        for (int c = 0; c < 4; ++c)
            out.color[c] = solver.Fixed(v0.color[c], v1->color[c], v2->color[c]);
        return SetupResult::Visible;
    }
    out.invW = solver.Float(v0.invW, v1->invW, v2->invW);
    out.sOverW = solver.Float(v0.s * v0.invW, v1->s * v1->invW, v2->s * v2->invW);
    out.tOverW = solver.Float(v0.t * v0.invW, v1->t * v1->invW, v2->t * v2->invW);
    for (int c = 0; c < 4; ++c)
        out.colorOverW[c] =
            solver.Float(v0.color[c] * v0.invW, v1->color[c] * v1->invW, v2->color[c] * v2->invW);
    return SetupResult::Visible;
}

}  // namespace platform::d3d9::raster
