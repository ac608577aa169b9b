// The pixel stage's arithmetic on its own: rounding, texel addressing, stage 0, the
// tests and the blend.
#include "d3d9/raster/pixel_stage.h"
#include "d3d9/raster/color_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace d3d9sw::raster {
namespace {

constexpr int64_t kTexel = int64_t{1} << 32;

TEST(ColorMath, Div255RoundIsExactForProductsAndSaturatesBeyond) {
    for (uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ(Div255Round(x), (2 * x + 255) / 510) << x;
    // Sums of two products (additive blends) only need to stay at or above 255.
    for (uint32_t x = 255 * 255; x <= 2 * 255 * 255; ++x) ASSERT_GE(Div255Round(x), 255u) << x;
}

TEST(TexelAddressing, CoordinatesJustShortOfATexelCornerSnapOntoIt) {
    // A pixel centre that should land on texel corner k but lost a few bits lands on k.
    for (int64_t k : {0, 1, 17, 63}) {
        EXPECT_EQ(TexelIndex(k * kTexel - 1, 64, D3DTADDRESS_WRAP), k);
        EXPECT_EQ(TexelIndex(k * kTexel - (kTexel >> 10), 64, D3DTADDRESS_WRAP), k);
        EXPECT_EQ(TexelIndex(k * kTexel + kTexel - (kTexel >> 6), 64, D3DTADDRESS_WRAP), k);
    }
    // More than half of 1/256 texel short is a real step back.
    EXPECT_EQ(TexelIndex(5 * kTexel - (kTexel >> 8), 64, D3DTADDRESS_WRAP), 4);
}

TEST(TexelAddressing, ModesBringIndicesIntoTheTexture) {
    const struct {
        int64_t index;
        int size;
        DWORD mode;
        int expected;
    } cases[] = {
        {-1, 64, D3DTADDRESS_WRAP, 63},       {64, 64, D3DTADDRESS_WRAP, 0},
        {-1, 48, D3DTADDRESS_WRAP, 47},       {100, 48, D3DTADDRESS_WRAP, 4},
        {-5, 48, D3DTADDRESS_CLAMP, 0},       {60, 48, D3DTADDRESS_CLAMP, 47},
        {-1, 48, D3DTADDRESS_MIRROR, 0},      {48, 48, D3DTADDRESS_MIRROR, 47},
        {97, 48, D3DTADDRESS_MIRROR, 1},      {-3, 48, D3DTADDRESS_MIRRORONCE, 2},
        {70, 48, D3DTADDRESS_MIRRORONCE, 47}, {-1, 48, D3DTADDRESS_BORDER, -1},
        {48, 48, D3DTADDRESS_BORDER, -1},     {47, 48, D3DTADDRESS_BORDER, 47},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddressTexel(c.index, c.size, c.mode), c.expected)
            << "index " << c.index << " size " << c.size << " mode " << c.mode;
}

class PixelStageTest : public ::testing::Test {
protected:
    PixelStageTest() : texels(4, 0x80402010u) {
        texture.texels = texels.data();
        texture.width = 2;
        texture.height = 2;
        texture.pitch = 2;
        state.texture = &texture;
        state.color = {&pixel, 1, 1, 1};
        state.depth = {&depth, 1, 1, 1};
    }

    std::vector<uint32_t> texels;
    Texture2D texture;
    PixelState state;
    uint32_t pixel = 0xFF204060u;
    uint16_t depth = 1000;
};

TEST_F(PixelStageTest, StageZeroModulatesColourAndTakesTextureAlpha) {
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0xFFFFFFFFu), 0x80C08040u);
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x80604020u);
    texture.hasAlpha = false;
    EXPECT_EQ(SampleTexture(state, 0, 0), 0xFF402010u);
    state.colorOp = D3DTOP_SELECTARG1;  // texture colour alone, as the image tests draw
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x80C08040u);
    state.colorOp = D3DTOP_DISABLE;  // the stage and everything after it are off
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x12345678u), 0x12345678u);
    state.colorOp = D3DTOP_MODULATE;
    state.texture = nullptr;  // no texture: the diffuse colour, alpha included
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x10808080u);
}

TEST_F(PixelStageTest, BlendFactorsAndOperations) {
    const uint32_t source = 0x80FF0040u;
    const uint32_t dest = 0x40204060u;
    const struct {
        DWORD src, dst, op;
        uint32_t expected;
    } cases[] = {
        {D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD, source},
        {D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, dest},
        {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_ADD, 0xC0FF40A0u},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 0x60902050u},
        {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_SUBTRACT, 0x40DF0000u},
        {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, 0x00004020u},
        {D3DBLEND_ZERO, D3DBLEND_ZERO, D3DBLENDOP_MIN, 0x40200040u},
        {D3DBLEND_ZERO, D3DBLEND_ZERO, D3DBLENDOP_MAX, 0x80FF4060u},
        {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 0x20200018u},
        {D3DBLEND_INVDESTALPHA, D3DBLEND_DESTALPHA, D3DBLENDOP_ADD, 0x70C71048u},
    };
    for (const auto& c : cases) {
        state.srcBlend = c.src;
        state.destBlend = c.dst;
        state.blendOp = c.op;
        EXPECT_EQ(Blend(state, source, dest), c.expected)
            << std::hex << "factors " << c.src << "/" << c.dst << " op " << c.op;
    }
}

TEST_F(PixelStageTest, AlphaAndDepthTestsGateTheWriteAndDepthWriteIsSeparate) {
    state.alphaTest = true;
    state.alphaFunc = D3DCMP_GREATER;
    state.alphaRef = 0x80;
    WriteFragment(state, 0, 0, 0x80FFFFFFu, 10);
    EXPECT_EQ(pixel, 0xFF204060u);
    state.alphaFunc = D3DCMP_GREATEREQUAL;
    state.depthTest = true;
    state.depthFunc = D3DCMP_LESS;
    WriteFragment(state, 0, 0, 0x80FFFFFFu, 1000);  // equal depth fails LESS
    EXPECT_EQ(pixel, 0xFF204060u);
    WriteFragment(state, 0, 0, 0x80FFFFFFu, 999);
    EXPECT_EQ(pixel, 0x80FFFFFFu);
    EXPECT_EQ(depth, 1000) << "depth writes are off";
    state.depthWrite = true;
    state.writeMask = 0x00FF00FFu;  // red and blue only
    WriteFragment(state, 0, 0, 0x91223344u, 500);
    EXPECT_EQ(depth, 500);
    EXPECT_EQ(pixel, 0x8022FF44u);
}

}  // namespace
}  // namespace d3d9sw::raster
