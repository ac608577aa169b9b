// The edge walk's per-row bounds against the edge functions evaluated at every pixel.
#include "d3d9/raster/edge_walk.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace d3d9sw::raster {
namespace {

struct Span {
    int y, xBegin, xEnd;
};

void Collect(void* context, int y, int xBegin, int xEnd) {
    static_cast<std::vector<Span>*>(context)->push_back({y, xBegin, xEnd});
}

ScreenVertex Vertex(int64_t x, int64_t y) {
    ScreenVertex v{};
    v.x = x;
    v.y = y;
    v.invW = 1.0;
    return v;
}

TEST(EdgeWalk, SpansHoldExactlyThePixelsEveryEdgeAccepts) {
    std::mt19937 random(12345);
    // Subpixel positions in a 40 x 40 pixel area, often on pixel centres.
    std::uniform_int_distribution<int64_t> coordinate(-4 * 256, 44 * 256);
    std::bernoulli_distribution onCentre(0.3);
    auto pick = [&] {
        int64_t c = coordinate(random);
        return onCentre(random) ? c & ~int64_t{255} : c;
    };
    const PixelRect scissor{0, 0, 40, 40};
    int visible = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        TriangleSetup setup;
        if (SetupTriangle(Vertex(pick(), pick()), Vertex(pick(), pick()), Vertex(pick(), pick()),
                          D3DCULL_NONE, scissor, setup) != SetupResult::Visible)
            continue;
        ++visible;
        std::vector<Span> spans;
        WalkTriangle(setup, Collect, &spans);
        std::vector<uint8_t> walked(40 * 40, 0);
        for (const Span& s : spans)
            for (int x = s.xBegin; x < s.xEnd; ++x) ++walked[s.y * 40 + x];
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                bool inside = x >= setup.bounds.left && x < setup.bounds.right &&
                              y >= setup.bounds.top && y < setup.bounds.bottom;
                for (const EdgeFunction& e : setup.edges) inside = inside && e.At(x, y) >= 0;
                ASSERT_EQ(walked[y * 40 + x], inside ? 1 : 0)
                    << "trial " << trial << " pixel " << x << ", " << y;
            }
    }
    EXPECT_GT(visible, 1000);
}

}  // namespace
}  // namespace d3d9sw::raster
