// Coverage rules, culling, primitive assembly and clipping, counted per pixel: each
// triangle adds 1 to the blue channel of every pixel it writes.
#include "raster_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace platform::d3d9::raster::testing {
namespace {

constexpr int kSize = 32;

class RasterizationRules : public ::testing::Test {
protected:
    RasterizationRules() : frame(kSize, kSize, 0) {
        SetDefaultState(state, kSize, kSize);
        state.renderStates[D3DRS_LIGHTING] = FALSE;
        state.renderStates[D3DRS_ZENABLE] = D3DZB_FALSE;
        state.renderStates[D3DRS_ALPHABLENDENABLE] = TRUE;
        state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
        state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_ONE;
    }

    // A vertex at pixel coordinates (x, y) of the 32 x 32 viewport.
    static ColoredVertex At(double x, double y, float z = 0.5f) {
        return {
            float(x / (kSize / 2) - 1.0), float(1.0 - y / (kSize / 2)), z, 0x00000001u, 0.0f, 0.0f};
    }

    void Draw(D3DPRIMITIVETYPE type, const std::vector<ColoredVertex>& vertices, UINT count) {
        const DepthTarget depth = frame.Depth();
        DrawPrimitiveVia(RasterPath::GeneralOnly, state, frame.Color(), &depth, type,
                         StreamOf(vertices), 0, count);
    }

    void Clear() { std::fill(frame.color.begin(), frame.color.end(), 0u); }
    uint32_t Hits(int x, int y) const { return frame.At(x, y) & 0xFF; }

    int HitsOutside(int left, int top, int right, int bottom) const {
        int stray = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if ((x < left || x >= right || y < top || y >= bottom) && Hits(x, y) != 0) ++stray;
        return stray;
    }

    FixedFunctionState state;
    Frame frame;
};

TEST_F(RasterizationRules, SharedEdgesThroughPixelCentresCoverEachPixelOnce) {
    state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    // A 4 x 4 grid over pixels 4..27, inner points on pixel centres, half pixels and
    // arbitrary fractions, split along alternating diagonals.
    const double offsets[5] = {0.0, 0.0, 0.5, 0.37, 0.0};
    auto point = [&](int i, int j) {
        const double x = 4 + 6 * i + (i % 4 ? offsets[(i + j) % 5] : 0.0);
        const double y = 4 + 6 * j + (j % 4 ? offsets[(i * 3 + j) % 5] : 0.0);
        return At(x, y);
    };
    std::vector<ColoredVertex> list;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            const ColoredVertex a = point(i, j), b = point(i + 1, j), c = point(i + 1, j + 1),
                                d = point(i, j + 1);
            if ((i + j) % 2)
                list.insert(list.end(), {a, b, d, b, c, d});
            else
                list.insert(list.end(), {a, b, c, a, c, d});
        }
    Draw(D3DPT_TRIANGLELIST, list, UINT(list.size() / 3));
    for (int y = 4; y < 28; ++y)
        for (int x = 4; x < 28; ++x) ASSERT_EQ(Hits(x, y), 1u) << "pixel " << x << ", " << y;
    EXPECT_EQ(HitsOutside(4, 4, 28, 28), 0);
}

TEST_F(RasterizationRules, TopAndLeftEdgesTakeTheirPixelCentresAndCullModesRemoveTheirWinding) {
    // Top edge on row 2, left edge on column 2, the hypotenuse x + y = 12 on the right.
    const std::vector<ColoredVertex> clockwise = {At(2, 2), At(10, 2), At(2, 10)};
    Draw(D3DPT_TRIANGLELIST, clockwise, 1);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(Hits(x, y), x >= 2 && y >= 2 && x + y < 12) << x << ", " << y;

    // The cull mode, then whether a clockwise and a counter-clockwise triangle show.
    const std::tuple<DWORD, uint32_t, uint32_t> cases[] = {
        {D3DCULL_CCW, 1, 0}, {D3DCULL_CW, 0, 1}, {D3DCULL_NONE, 1, 1}};
    for (const auto& [mode, clockwiseDrawn, counterClockwiseDrawn] : cases) {
        Clear();
        state.renderStates[D3DRS_CULLMODE] = mode;
        Draw(D3DPT_TRIANGLELIST, clockwise, 1);
        Draw(D3DPT_TRIANGLELIST, {At(20, 2), At(20, 10), At(28, 2)}, 1);
        EXPECT_EQ(std::pair(Hits(3, 3), Hits(21, 3)),
                  std::pair(clockwiseDrawn, counterClockwiseDrawn))
            << "cull mode " << mode;
    }
}

TEST_F(RasterizationRules, ListStripAndFanOfOneQuadCoverTheSamePixels) {
    const ColoredVertex tl = At(3.5, 5), tr = At(20, 5), br = At(20, 17.25), bl = At(3.5, 17.25);
    Frame reference(kSize, kSize, 0);
    Draw(D3DPT_TRIANGLELIST, {tl, tr, br, tl, br, bl}, 2);
    reference.color = frame.color;
    for (const auto& [type, vertices] :
         {std::pair{D3DPT_TRIANGLESTRIP, std::vector{tl, tr, bl, br}},
          std::pair{D3DPT_TRIANGLEFAN, std::vector{tl, tr, br, bl}}}) {
        Clear();
        Draw(type, vertices, 2);  // default culling: both halves must keep their winding
        EXPECT_EQ(frame.color, reference.color) << "primitive type " << type;
    }
    EXPECT_EQ(std::tuple(reference.At(4, 5), reference.At(19, 16), reference.At(20, 16)),
              std::tuple(1u, 1u, 0u));
}

TEST_F(RasterizationRules,
       NearAndFarPlanesCutWhereDepthLeavesZeroToOneAndHugeTrianglesClipWithoutOverflow) {
    // Depth runs from -1 at the left edge to 1 at the right: the near plane cuts the
    // screen in half. Then from 0 to 2: the far plane does.
    for (const auto& [leftZ, rightZ, left] :
         {std::tuple{-1.0f, 1.0f, 0u}, std::tuple{0.0f, 2.0f, 1u}}) {
        Clear();
        Draw(D3DPT_TRIANGLEFAN,
             {At(0, 0, leftZ), At(32, 0, rightZ), At(32, 32, rightZ), At(0, 32, leftZ)}, 2);
        for (int y = 0; y < kSize; ++y)
            EXPECT_EQ(std::tuple(Hits(2, y), Hits(14, y), Hits(17, y), Hits(30, y)),
                      std::tuple(left, left, 1 - left, 1 - left));
    }
    Clear();
    Draw(D3DPT_TRIANGLELIST, {At(-1e5, -1e5), At(3e5, -1e5), At(-1e5, 3e5)}, 1);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) ASSERT_EQ(Hits(x, y), 1u) << x << ", " << y;
    Clear();
    Draw(D3DPT_TRIANGLELIST, {At(1e7, 1e7), At(2e7, 1e7), At(1e7, 2e7)}, 1);
    Draw(D3DPT_TRIANGLELIST, {At(-40, 2), At(-5, 2), At(-40, 30)}, 1);
    EXPECT_EQ(HitsOutside(0, 0, 0, 0), 0);
}

TEST_F(RasterizationRules,
       UnderPerspectiveTheNearPlaneClipsWhatIsBehindTheEyeAndTexturesFollowDepth) {
    // A left-handed projection as the camera sets it: near 0.1, far 1000, 90 degrees.
    state.projection = {};
    state.projection._11 = state.projection._22 = state.projection._34 = 1.0f;
    state.projection._33 = 1000.0f / 999.9f;
    state.projection._43 = -0.1f * 1000.0f / 999.9f;
    state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    // A floor one unit below the eye, from behind it to far ahead: only the lower half
    // of the screen can show it. Without near clipping the part behind the eye would
    // come out mirrored above the horizon.
    const auto floor = [](float x, float z) { return ColoredVertex{x, -1.0f, z, 1u, 0.0f, 0.0f}; };
    Draw(D3DPT_TRIANGLEFAN, {floor(-50, -20), floor(50, -20), floor(50, 200), floor(-50, 200)}, 2);
    EXPECT_EQ(HitsOutside(0, 16, kSize, kSize), 0);
    EXPECT_EQ(std::pair(Hits(16, 31), Hits(0, 17)), std::pair(1u, 1u));

    state.renderStates[D3DRS_ALPHABLENDENABLE] = FALSE;
    TestTexture texture(64, 1);
    state.texture = &texture.FillPattern().desc;
    // A strip across the screen's middle row, 1 unit deep at the left edge and 3 at the
    // right: u runs 0..1 along it. Halfway across the screen the eye sees the point
    // with u = (0/1 + 1/3) / 2 / ((1/1 + 1/3) / 2) = 1/4, not the affine 1/2.
    const float y = 0.02f;
    // clang-format off
    Draw(D3DPT_TRIANGLESTRIP, {{-1, y, 1, ~0u, 0, 0}, {3, y, 3, ~0u, 1, 0},
                               {-1, -y, 1, ~0u, 0, 0}, {3, -y, 3, ~0u, 1, 0}}, 2);
    // clang-format on
    // Pixel 16's centre is exactly the middle: u = 0.25 -> texel 16.
    EXPECT_EQ(frame.At(16, 16), TestTexture::Pattern(16, 0));
    // Pixel 24 (x = 0.5 after the divide): (-1 + 4u) / (1 + 2u) = 0.5 gives u = 1/2.
    EXPECT_EQ(frame.At(24, 16), TestTexture::Pattern(32, 0));
}

TEST_F(RasterizationRules, DepthIsMappedThroughTheViewportIntoSixteenBitsAndCompared) {
    state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
    state.viewport.MinZ = 0.25f;
    state.viewport.MaxZ = 0.75f;
    const std::vector<ColoredVertex> square = {At(0, 0), At(8, 0), At(8, 8), At(0, 8)};
    Draw(D3DPT_TRIANGLEFAN, square, 2);
    EXPECT_EQ(frame.DepthAt(3, 3), 32768);  // 0.25 + 0.5 * 0.5 = 0.5 of 65535, rounded
    EXPECT_EQ(frame.DepthAt(9, 3), 0xFFFF);
    // LESSEQUAL lets an equal depth through; LESS does not.
    for (DWORD func : {D3DCMP_LESS, D3DCMP_LESSEQUAL}) {
        state.renderStates[D3DRS_ZFUNC] = func;
        Draw(D3DPT_TRIANGLEFAN, square, 2);
    }
    EXPECT_EQ(Hits(3, 3), 2u);
}

TEST_F(RasterizationRules, GouraudShadingBlendsVertexColoursAndFlatTakesTheFirstVertexColour) {
    state.renderStates[D3DRS_ALPHABLENDENABLE] = FALSE;
    std::vector<ColoredVertex> triangle = {At(0, 0), At(16, 0), At(0, 16)};
    triangle[1].diffuse = triangle[2].diffuse = 0xFF0000FFu;
    Draw(D3DPT_TRIANGLELIST, triangle, 1);
    EXPECT_NEAR(Hits(4, 4), 0x80, 0x10);
    state.renderStates[D3DRS_SHADEMODE] = D3DSHADE_FLAT;
    Draw(D3DPT_TRIANGLELIST, triangle, 1);
    EXPECT_EQ(Hits(4, 4), 1u);
}

TEST_F(RasterizationRules, VerticesBeyondTheStreamDrawNothing) {
    std::vector<ColoredVertex> vertices = {At(2, 2), At(10, 2), At(2, 10)};
    const ColorTarget color = frame.Color();
    VertexStream stream = StreamOf(vertices);
    DrawPrimitive(state, color, nullptr, D3DPT_TRIANGLELIST, stream, 1, 1);
    stream.stride = 8;  // smaller than the vertex format
    DrawPrimitive(state, color, nullptr, D3DPT_TRIANGLELIST, stream, 0, 1);
    EXPECT_EQ(HitsOutside(0, 0, 0, 0), 0);
    stream.stride = sizeof(ColoredVertex);
    // A count whose vertex total wraps around 32 bits must not pass for a small one.
    DrawPrimitive(state, color, nullptr, D3DPT_TRIANGLELIST, stream, 0, 0x55555556u);
    EXPECT_EQ(HitsOutside(0, 0, 0, 0), 0);
    // The last vertex needs only its own bytes, not a whole stride.
    stream.stride = 40;
    std::vector<uint8_t> padded(2 * 40 + sizeof(ColoredVertex));
    for (int i = 0; i < 3; ++i)
        std::memcpy(padded.data() + 40 * i, &vertices[i], sizeof(ColoredVertex));
    stream.data = padded.data();
    stream.size = padded.size();
    DrawPrimitive(state, color, nullptr, D3DPT_TRIANGLELIST, stream, 0, 1);
    EXPECT_EQ(Hits(3, 3), 1u);
}

}  // namespace
}  // namespace platform::d3d9::raster::testing
