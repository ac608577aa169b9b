// The sprite batch's quads drawn through every rasterisation path: where they land,
// which texel each pixel shows, and what alpha 0 leaves. Overlap, blending and
// X8R8G8B8 are checked through the real device in tests/render.
#include "raster_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace d3d9sw::raster::testing {
namespace {

class SpritePlacement : public ::testing::TestWithParam<RasterPath> {
protected:
    Frame frame{640, 480};
    FixedFunctionState state = SpriteBatchState();
};

TEST_P(SpritePlacement, EachPixelShowsItsTexelAndNothingOutsideTheSourceRectangle) {
    struct Placement {
        const char* what;
        int textureWidth, textureHeight;
        SourceRectangle source;
        float x, y;
        int x0, y0;  // where texel (source.left, source.top) must land
    };
    const Placement placements[] = {
        // 1:1 the pixel centres fall on texel corners: no shift, no wrap.
        {"64 x 64 at (16, 16)", 64, 64, {0, 0, 64, 64}, 16.0f, 16.0f, 16, 16},
        {"worked example", 256, 128, {16, 32, 80, 80}, 100.0f, 50.0f, 100, 50},
        {"glyph cell 0", 1024, 1024, {1, 0, 41, 40}, 0.0f, 0.0f, 0, 0},
        {"glyph cell 2", 1024, 1024, {81, 80, 121, 120}, 80.0f, 0.0f, 80, 0},
        // Odd sizes span 16.5..79.5 by 16.5..47.5: centres 17..79 by 17..47.
        {"63 x 31", 64, 64, {0, 0, 63, 31}, 16.0f, 16.0f, 17, 17},
        // Fractional positions snap toward the screen centre.
        {"at (16.5, 16.7)", 64, 64, {0, 0, 64, 64}, 16.5f, 16.7f, 17, 17},
        {"at (600.5, 400.5), cut by the right edge", 64, 64, {0, 0, 64, 64}, 600.5f, 400.5f, 600, 400},
    };
    for (const Placement& p : placements) {
        SCOPED_TRACE(p.what);
        Frame drawn(640, 480);
        TestTexture texture(p.textureWidth, p.textureHeight);
        texture.FillPattern();
        DrawSprite(state, drawn, texture, p.source, p.x, p.y, GetParam());
        const int w = p.source.right - p.source.left;
        const int h = p.source.bottom - p.source.top;
        const Frame::Box box = drawn.TouchedBox();
        EXPECT_EQ(box.left, p.x0);
        EXPECT_EQ(box.top, p.y0);
        EXPECT_EQ(box.right, std::min(p.x0 + w, drawn.width));
        EXPECT_EQ(box.bottom, std::min(p.y0 + h, drawn.height));
        int mismatches = 0;
        for (int j = 0; j < h && p.y0 + j < drawn.height; ++j)
            for (int k = 0; k < w && p.x0 + k < drawn.width; ++k)
                if (drawn.At(p.x0 + k, p.y0 + j) != TestTexture::Pattern(p.source.left + k, p.source.top + j) &&
                    ++mismatches <= 5)
                    ADD_FAILURE() << "pixel (" << p.x0 + k << ", " << p.y0 + j << ") shows " << std::hex
                                  << drawn.At(p.x0 + k, p.y0 + j);
        EXPECT_EQ(mismatches, 0);
    }
}

// Alpha 0 is tested away; elsewhere z = 1 in view space is the near plane: depth 0.
TEST_P(SpritePlacement, AlphaZeroLeavesColourAndDepthUntouched) {
    TestTexture texture(64, 64);
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < 64; ++column)
            texture.At(column, row) = column < 32 ? 0x00FFFFFFu : 0xFF00FF00u;
    DrawSprite(state, frame, texture, {0, 0, 64, 64}, 16.0f, 16.0f, GetParam());
    EXPECT_EQ(frame.At(16, 16), frame.clearColor);
    EXPECT_EQ(frame.At(47, 79), frame.clearColor);
    EXPECT_EQ(frame.DepthAt(47, 79), 0xFFFF);
    EXPECT_EQ(frame.At(48, 16), 0xFF00FF00u);
    EXPECT_EQ(frame.DepthAt(48, 16), 0);
}

TEST_P(SpritePlacement, StretchedFramesRepeatEachTexelAnIntegerNumberOfTimes) {
    // Drawing a 32 x 32 source with a world matrix twice its size: every texel covers a
    // 2 x 2 block, starting on the block's first pixel.
    TestTexture texture(64, 64);
    texture.FillPattern();
    PlaceSprite(state, texture, {0, 0, 32, 32}, 16.0f, 16.0f);
    state.world._11 = 64.0f;
    state.world._22 = 64.0f;
    DrawUnitSquare(state, frame, GetParam());
    // halfW was computed for 32: the centre is at (16 + 16, 16 + 16), the quad from 0 to 64.
    for (int j = 0; j < 64; ++j)
        for (int k = 0; k < 64; ++k)
            ASSERT_EQ(frame.At(k, j), TestTexture::Pattern(k / 2, j / 2)) << k << ", " << j;
    EXPECT_EQ(frame.At(64, 10), frame.clearColor);
}

INSTANTIATE_TEST_SUITE_P(Paths, SpritePlacement,
                         ::testing::Values(RasterPath::GeneralOnly, RasterPath::RectScalar,
                                           RasterPath::RectSse2, RasterPath::RectAvx2),
                         [](const auto& info) { return PathName(info.param); });

}  // namespace
}  // namespace d3d9sw::raster::testing
