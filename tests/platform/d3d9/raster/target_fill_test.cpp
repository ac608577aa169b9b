// Filling colour and depth targets: exactly the rectangle, cut to the target.
#include "d3d9/raster/target_fill.h"

#include <gtest/gtest.h>

#include <vector>

namespace d3d9sw::raster {
namespace {

TEST(TargetFill, FillsExactlyTheRectangleCutToAPitchedTarget) {
    // 37 x 5 pixels in rows of 40: row padding and odd widths around the vector stores.
    std::vector<uint32_t> pixels(40 * 5, 0x01020304u);
    const ColorTarget target{pixels.data(), 37, 5, 40};
    for (uint32_t value : {0xFF8080FFu, 0x7F7F7F7Fu}) {  // a pattern, and a byte repeated
        FillColor(target, {3, 1, 36, 4}, value);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= 3 && x < 36 && y >= 1 && y < 4;
                ASSERT_EQ(pixels[y * 40 + x], inside ? value : 0x01020304u) << x << ", " << y;
            }
    }

    // Depth: a rectangle beyond the target is cut to it.
    std::vector<uint16_t> depth(9 * 7, 7);
    const DepthTarget depthTarget{depth.data(), 9, 7, 9};
    FillDepth(depthTarget, {-5, -5, 100, 100}, 0xFFFF);
    for (uint16_t value : depth) ASSERT_EQ(value, 0xFFFF);
    FillDepth(depthTarget, {-5, 2, 4, 3}, 0x1234);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(depth[y * 9 + x], (y == 2 && x < 4) ? 0x1234 : 0xFFFF);
    FillDepth(depthTarget, {5, 5, 2, 2}, 0);  // empty
    EXPECT_EQ(depth[5 * 9 + 5], 0xFFFF);
}

}  // namespace
}  // namespace d3d9sw::raster
