// The sprite batch's quads drawn through every rasterisation path: where they land,
// which texel each pixel shows, and how they meet the frame beneath.
#include "raster_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace d3d9sw::raster::testing {
namespace {

class SpritePlacement : public ::testing::TestWithParam<RasterPath> {
protected:
    Frame frame{640, 480};
    FixedFunctionState state = SpriteBatchState();
};

// Pixel (x0 + k, y0 + j) shows texel (left + k, top + j) for the whole w x h block, and
// nothing outside the block changed.
void ExpectTexelsAt(const Frame& frame, const SourceRectangle& source, int x0, int y0, int w,
                    int h) {
    const Frame::Box box = frame.TouchedBox();
    EXPECT_EQ(box.left, x0);
    EXPECT_EQ(box.top, y0);
    EXPECT_EQ(box.right, std::min(x0 + w, frame.width));
    EXPECT_EQ(box.bottom, std::min(y0 + h, frame.height));
    int mismatches = 0;
    for (int j = 0; j < h && y0 + j < frame.height; ++j)
        for (int k = 0; k < w && x0 + k < frame.width; ++k)
            if (frame.At(x0 + k, y0 + j) != TestTexture::Pattern(source.left + k, source.top + j) &&
                ++mismatches <= 5)
                ADD_FAILURE() << "pixel (" << x0 + k << ", " << y0 + j << ") shows " << std::hex
                              << frame.At(x0 + k, y0 + j);
    EXPECT_EQ(mismatches, 0);
}

TEST_P(SpritePlacement, WholeTextureAtOneToOneCoversExactlyItsPixelsUnshiftedAndUnwrapped) {
    TestTexture texture(64, 64);
    texture.FillPattern();
    DrawSprite(state, frame, texture, {0, 0, 64, 64}, 16.0f, 16.0f, GetParam());
    ExpectTexelsAt(frame, {0, 0, 64, 64}, 16, 16, 64, 64);
    // z = 1 in view space is the near plane: depth 0 where the quad landed.
    EXPECT_EQ(frame.DepthAt(16, 16), 0);
    EXPECT_EQ(frame.DepthAt(79, 79), 0);
    EXPECT_EQ(frame.DepthAt(80, 79), 0xFFFF);
}

TEST_P(SpritePlacement, SourceRectangleNeverShowsATexelFromOutsideIt) {
    // The worked example: a 256 x 128 texture, source (16, 32, 80, 80) at (100, 50).
    TestTexture texture(256, 128);
    texture.FillPattern();
    DrawSprite(state, frame, texture, {16, 32, 80, 80}, 100.0f, 50.0f, GetParam());
    ExpectTexelsAt(frame, {16, 32, 80, 80}, 100, 50, 64, 48);
}

TEST_P(SpritePlacement, GlyphCellsOutOfALargeAtlasLandOnWholePixels) {
    TestTexture atlas(1024, 1024);
    atlas.FillPattern();
    for (int cell = 0; cell < 3; ++cell) {
        Frame glyphFrame(640, 480);
        const SourceRectangle source{40 * cell + 1, 40 * cell, 40 * cell + 41, 40 * cell + 40};
        DrawSprite(state, glyphFrame, atlas, source, 40.0f * cell, 0.0f, GetParam());
        SCOPED_TRACE("cell " + std::to_string(cell));
        ExpectTexelsAt(glyphFrame, source, 40 * cell, 0, 40, 40);
    }
}

TEST_P(SpritePlacement, OddSizesStartHalfAPixelLaterAndSampleTexelCentres) {
    // 63 x 31 at (16, 16): the quad spans 16.5..79.5 by 16.5..47.5, so its pixel centres
    // are 17..79 by 17..47 and each sits in the middle of a texel.
    TestTexture texture(64, 64);
    texture.FillPattern();
    DrawSprite(state, frame, texture, {0, 0, 63, 31}, 16.0f, 16.0f, GetParam());
    ExpectTexelsAt(frame, {0, 0, 63, 31}, 17, 17, 63, 31);
}

TEST_P(SpritePlacement, FractionalPositionsSnapTowardTheScreenCentre) {
    TestTexture texture(64, 64);
    texture.FillPattern();
    DrawSprite(state, frame, texture, {0, 0, 64, 64}, 16.5f, 16.7f, GetParam());
    ExpectTexelsAt(frame, {0, 0, 64, 64}, 17, 17, 64, 64);

    Frame lowerRight(640, 480);
    DrawSprite(state, lowerRight, texture, {0, 0, 64, 64}, 600.5f, 400.5f, GetParam());
    // tx = 312, ty = -192: the quad starts at (600, 400) and is cut by the right edge.
    ExpectTexelsAt(lowerRight, {0, 0, 64, 64}, 600, 400, 64, 64);
}

TEST_P(SpritePlacement, LaterQuadCoversEarlierOneAtEqualDepth) {
    TestTexture first(64, 64);
    TestTexture second(64, 64);
    for (uint32_t& texel : first.texels) texel = 0xFF112233;
    for (uint32_t& texel : second.texels) texel = 0xFF445566;
    DrawSprite(state, frame, first, {0, 0, 64, 64}, 16.0f, 16.0f, GetParam());
    DrawSprite(state, frame, second, {0, 0, 64, 64}, 48.0f, 48.0f, GetParam());
    EXPECT_EQ(frame.At(16, 16), 0xFF112233u);
    EXPECT_EQ(frame.At(47, 47), 0xFF112233u);
    EXPECT_EQ(frame.At(48, 48), 0xFF445566u);
    EXPECT_EQ(frame.At(79, 79), 0xFF445566u);
    EXPECT_EQ(frame.At(111, 111), 0xFF445566u);
}

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

TEST_P(SpritePlacement, PartialAlphaBlendsWithinOneStepOfExact) {
    TestTexture texture(64, 64);
    const uint32_t alphas[4] = {1, 77, 128, 254};
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < 64; ++column)
            texture.At(column, row) = (alphas[column % 4] << 24) | 0x00C86432u;
    DrawSprite(state, frame, texture, {0, 0, 64, 64}, 16.0f, 16.0f, GetParam());
    for (int column = 0; column < 4; ++column) {
        const double a = alphas[column] / 255.0;
        const uint32_t src = texture.At(column, 0);
        const uint32_t pixel = frame.At(16 + column, 16);
        for (int shift = 0; shift < 32; shift += 8) {
            const double s = (src >> shift) & 0xFF;
            const double d = (frame.clearColor >> shift) & 0xFF;
            const double exact = s * a + d * (1.0 - a);
            EXPECT_NEAR(static_cast<double>((pixel >> shift) & 0xFF), exact, 1.0)
                << "alpha " << alphas[column] << " channel at bit " << shift;
        }
    }
}

TEST_P(SpritePlacement, TextureWithoutAlphaIsOpaque) {
    TestTexture texture(64, 64, /*hasAlpha=*/false);
    for (uint32_t& texel : texture.texels) texel = 0x00336699;  // alpha bits 0
    DrawSprite(state, frame, texture, {0, 0, 64, 64}, 16.0f, 16.0f, GetParam());
    EXPECT_EQ(frame.At(16, 16), 0xFF336699u);
    EXPECT_EQ(frame.At(79, 79), 0xFF336699u);
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
                         [](const ::testing::TestParamInfo<RasterPath>& info) {
                             switch (info.param) {
                                 case RasterPath::GeneralOnly: return std::string("General");
                                 case RasterPath::RectScalar: return std::string("RectScalar");
                                 case RasterPath::RectSse2: return std::string("RectSse2");
                                 default: return std::string("RectAvx2");
                             }
                         });

}  // namespace
}  // namespace d3d9sw::raster::testing
