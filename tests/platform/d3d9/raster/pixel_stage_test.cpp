// The pipeline's stages on their own: vertex input, the edge walk, the pixel stage's
// arithmetic, and target fills.
#include "d3d9/raster/color_math.h"
#include "d3d9/raster/edge_walk.h"
#include "d3d9/raster/pixel_stage.h"
#include "d3d9/raster/target_fill.h"
#include "d3d9/raster/vertex_input.h"

#include "raster_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

namespace platform::d3d9::raster {
namespace {

using testing::IdentityMatrix;
constexpr DWORD kSpriteFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// One vertex {x, y, z, diffuse, u, v} through the vertex stage; without a diffuse
// field in `fvf` the colour is left out of the bytes.
ClipVertex ProcessOne(const FixedFunctionState& state, const testing::ColoredVertex& vertex,
                      DWORD fvf = kSpriteFvf) {
    uint8_t bytes[sizeof vertex];
    std::memcpy(bytes, &vertex, sizeof vertex);
    if (!(fvf & D3DFVF_DIFFUSE)) std::memmove(bytes + 12, bytes + 16, 8);
    return VertexProcessor(state, DecodeFvf(fvf, 0)).Process(bytes);
}

TEST(VertexInput,
     TransformsInRowVectorOrderLightsWithAmbientOnlyAndOffsetsTwoComponentCoordinates) {
    FixedFunctionState state;
    SetDefaultState(state, 64, 64);  // lighting on, texture transform off
    state.world = state.view = state.projection = state.texture0 = IdentityMatrix();
    state.world._41 = 10.0f;      // translate, then
    state.view._11 = 2.0f;        // scale: (1 + 10) * 2
    state.projection._34 = 1.0f;  // w = z
    state.projection._44 = 0.0f;
    std::tie(state.texture0._11, state.texture0._22, state.texture0._31, state.texture0._32) =
        std::tuple(0.25f, 0.375f, 0.0625f, 0.25f);
    state.texture0._41 = 100.0f;  // the fourth row meets the appended 0
    ClipVertex v = ProcessOne(state, {1.0f, 2.0f, 4.0f, 0x80FF8040u, 1.0f, 1.0f});
    EXPECT_EQ(std::tuple(v.x, v.y, v.w), std::tuple(22.0, 2.0, 4.0));
    EXPECT_EQ(v.u, 1.0) << "transform disabled by default";
    state.stage0[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    v = ProcessOne(state, {0, 0, 0, 0, 1.0f, 1.0f});
    EXPECT_EQ(std::pair(v.u, v.v), std::pair(0.3125, 0.625));

    using Color = std::array<double, 4>;  // blue, green, red, alpha
    auto color = [&](DWORD fvf) {
        const ClipVertex lit = ProcessOne(state, {0, 0, 0, 0x80FF8040u, 0, 0}, fvf);
        return Color{lit.color[0], lit.color[1], lit.color[2], lit.color[3]};
    };
    // No lights: black; alpha from the diffuse material, which is the vertex colour.
    EXPECT_EQ(color(kSpriteFvf), (Color{0, 0, 0, 128}));
    state.renderStates[D3DRS_AMBIENT] = 0xFF808080u;
    state.renderStates[D3DRS_AMBIENTMATERIALSOURCE] = 1;      // the vertex colour
    EXPECT_EQ(color(kSpriteFvf), (Color{32, 64, 128, 128}));  // vertex colour x 0x80 / 255, rounded
    state.renderStates[D3DRS_LIGHTING] = FALSE;
    EXPECT_EQ(color(kSpriteFvf), (Color{64, 128, 255, 128}));
    // Without a colour in the format the diffuse colour is opaque white.
    EXPECT_EQ(color(D3DFVF_XYZ | D3DFVF_TEX1), (Color{255, 255, 255, 255}));
    EXPECT_FALSE(DecodeFvf(D3DFVF_XYZ | 9 << D3DFVF_TEXCOUNT_SHIFT, 0).drawable)
        << "8 sets at most";
}

void CollectSpan(void* spans, int y, int xBegin, int xEnd) {
    static_cast<std::vector<std::array<int, 3>>*>(spans)->push_back({y, xBegin, xEnd});
}

TEST(EdgeWalk, SpansHoldExactlyThePixelsEveryEdgeAccepts) {
    std::mt19937 random(12345);
    // Subpixel positions in a 40 x 40 pixel area, often on pixel centres.
    std::uniform_int_distribution<int64_t> coordinate(-4 * 256, 44 * 256);
    std::bernoulli_distribution onCentre(0.3);
    auto vertex = [&] {
        ScreenVertex v{};
        v.x = onCentre(random) ? coordinate(random) & ~int64_t{255} : coordinate(random);
        v.y = onCentre(random) ? coordinate(random) & ~int64_t{255} : coordinate(random);
        v.invW = 1.0;
        return v;
    };
    int visible = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        TriangleSetup setup;
        if (SetupTriangle(vertex(), vertex(), vertex(), D3DCULL_NONE, {0, 0, 40, 40}, setup) !=
            SetupResult::Visible)
            continue;
        ++visible;
        std::vector<std::array<int, 3>> spans;
        WalkTriangle(setup, CollectSpan, &spans);
        std::vector<uint8_t> walked(40 * 40, 0);
        for (auto [y, xBegin, xEnd] : spans)
            for (int x = xBegin; x < xEnd; ++x) ++walked[y * 40 + x];
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

TEST(ColorMath, Div255RoundIsExactForProductsAndSaturatesBeyond) {
    for (uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ(Div255Round(x), (2 * x + 255) / 510) << x;
    // Sums of two products (additive blends) only need to stay at or above 255.
    for (uint32_t x = 255 * 255; x <= 2 * 255 * 255; ++x) ASSERT_GE(Div255Round(x), 255u) << x;
}

constexpr int64_t kTexel = int64_t{1} << 32;

TEST(TexelAddressing, CoordinatesJustShortOfATexelCornerSnapOntoItAndModesBringIndicesIn) {
    // A pixel centre that should land on texel corner k but lost a few bits lands on k.
    for (int64_t k : {0, 1, 17, 63}) {
        EXPECT_EQ(TexelIndex(k * kTexel - 1, 64, D3DTADDRESS_WRAP), k);
        EXPECT_EQ(TexelIndex(k * kTexel - (kTexel >> 10), 64, D3DTADDRESS_WRAP), k);
        EXPECT_EQ(TexelIndex(k * kTexel + kTexel - (kTexel >> 6), 64, D3DTADDRESS_WRAP), k);
    }
    // More than half of 1/256 texel short is a real step back.
    EXPECT_EQ(TexelIndex(5 * kTexel - (kTexel >> 8), 64, D3DTADDRESS_WRAP), 4);

    const std::tuple<int64_t, int, DWORD, int> cases[] = {
        {-1, 64, D3DTADDRESS_WRAP, 63},       {64, 64, D3DTADDRESS_WRAP, 0},
        {-1, 48, D3DTADDRESS_WRAP, 47},       {100, 48, D3DTADDRESS_WRAP, 4},
        {-5, 48, D3DTADDRESS_CLAMP, 0},       {60, 48, D3DTADDRESS_CLAMP, 47},
        {-1, 48, D3DTADDRESS_MIRROR, 0},      {48, 48, D3DTADDRESS_MIRROR, 47},
        {97, 48, D3DTADDRESS_MIRROR, 1},      {-3, 48, D3DTADDRESS_MIRRORONCE, 2},
        {70, 48, D3DTADDRESS_MIRRORONCE, 47}, {-1, 48, D3DTADDRESS_BORDER, -1},
        {48, 48, D3DTADDRESS_BORDER, -1},     {47, 48, D3DTADDRESS_BORDER, 47}};
    for (auto [index, size, mode, expected] : cases)
        EXPECT_EQ(AddressTexel(index, size, mode), expected)
            << "index " << index << " size " << size << " mode " << mode;
}

class PixelStage : public ::testing::Test {
protected:
    PixelStage() {
        texture = {texels.data(), 2, 2, 2, true};
        state.texture = &texture;
        state.color = {&pixel, 1, 1, 1};
        state.depth = {&depth, 1, 1, 1};
    }

    std::vector<uint32_t> texels = std::vector<uint32_t>(4, 0x80402010u);
    Texture2D texture;
    PixelState state;
    uint32_t pixel = 0xFF204060u;
    uint16_t depth = 1000;
};

TEST_F(PixelStage, StageZeroModulatesColorAndTakesTextureAlpha) {
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0xFFFFFFFFu), 0x80C08040u);
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x80604020u);
    texture.hasAlpha = false;
    EXPECT_EQ(SampleTexture(state, 0, 0), 0xFF402010u);
    state.colorOp = D3DTOP_SELECTARG1;  // texture colour alone, as the image tests draw
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x80C08040u);
    state.colorArg1 = D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE;  // the texel's alpha everywhere
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x80808080u);
    state.colorArg1 = D3DTA_TEXTURE;
    state.colorOp = D3DTOP_DISABLE;  // the stage and everything after it are off
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x12345678u), 0x12345678u);
    state.colorOp = D3DTOP_MODULATE;
    state.texture = nullptr;  // no texture: the diffuse colour, alpha included
    EXPECT_EQ(CombineStage0(state, 0x80C08040u, 0x10808080u), 0x10808080u);
}

TEST_F(PixelStage, BlendFactorsAndOperations) {
    const uint32_t source = 0x80FF0040u, dest = 0x40204060u;
    constexpr DWORD one = D3DBLEND_ONE, zero = D3DBLEND_ZERO, add = D3DBLENDOP_ADD;
    // Source factor, destination factor, operation, result; one plus one saturates.
    // clang-format off
    const std::tuple<DWORD, DWORD, DWORD, uint32_t> cases[] = {
        {one, zero, add, source}, {zero, one, add, dest}, {one, one, add, 0xC0FF40A0u},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, add, 0x60902050u},
        {one, one, D3DBLENDOP_SUBTRACT, 0x40DF0000u}, {zero, zero, D3DBLENDOP_MIN, 0x40200040u},
        {one, one, D3DBLENDOP_REVSUBTRACT, 0x00004020u}, {zero, zero, D3DBLENDOP_MAX, 0x80FF4060u},
        {D3DBLEND_DESTCOLOR, zero, add, 0x20200018u},
        {D3DBLEND_INVDESTALPHA, D3DBLEND_DESTALPHA, add, 0x70C71048u}};
    // clang-format on
    for (auto [src, dst, op, expected] : cases) {
        std::tie(state.srcBlend, state.destBlend, state.blendOp) = std::tie(src, dst, op);
        EXPECT_EQ(Blend(state, source, dest), expected)
            << std::hex << "factors " << src << "/" << dst << " op " << op;
    }
}

TEST_F(PixelStage, AlphaAndDepthTestsGateTheWriteAndDepthWriteIsSeparate) {
    state.depthWrite = true;
    state.alphaTest = true;
    state.alphaFunc = D3DCMP_GREATER;
    state.alphaRef = 0x80;
    WriteFragment(state, 0, 0, 0x80FFFFFFu, 10);
    EXPECT_EQ(std::pair(pixel, depth), std::pair(0xFF204060u, uint16_t{1000}))
        << "alpha tested away: depth too";
    state.depthWrite = false;
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
    EXPECT_EQ(std::pair(pixel, depth), std::pair(0x8022FF44u, uint16_t{500}));
}

TEST(TargetFill, FillsExactlyTheRectangleCutToAPitchedTarget) {
    // 37 x 5 pixels in rows of 40: row padding and odd widths around the vector stores.
    std::vector<uint32_t> pixels(40 * 5, 0x01020304u);
    // A pattern, a byte repeated, and two repeated in the low half only.
    for (uint32_t value : {0xFF8080FFu, 0x7F7F7F7Fu, 0x00002A2Au}) {
        FillColor({pixels.data(), 37, 5, 40}, {3, 1, 36, 4}, value);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(pixels[y * 40 + x],
                          x >= 3 && x < 36 && y >= 1 && y < 4 ? value : 0x01020304u)
                    << x << ", " << y;
    }
    // Depth: a rectangle beyond the target is cut to it; an inverted one is empty.
    std::vector<uint16_t> depth(9 * 7, 7);
    const DepthTarget depthTarget{depth.data(), 9, 7, 9};
    FillDepth(depthTarget, {-5, -5, 100, 100}, 0xFFFF);
    FillDepth(depthTarget, {-5, 2, 4, 3}, 0x1234);
    FillDepth(depthTarget, {5, 5, 2, 2}, 0);
    FillDepth(depthTarget, {1, 4, 9, 6}, 0x0707);  // to the right edge, not from the left
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(depth[y * 9 + x], (y == 2 && x < 4)             ? 0x1234
                                        : (y == 4 || y == 5) && x > 0 ? 0x0707
                                                                      : 0xFFFF)
                << x << ", " << y;
}

}  // namespace
}  // namespace platform::d3d9::raster
