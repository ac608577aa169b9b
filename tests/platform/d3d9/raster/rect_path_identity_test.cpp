// The sprite batch's quads through the rectangle kernels reproduce the general path
// exactly; the texel each pixel shows is checked on the device in tests/render.
#include "raster_fixture.h"

#include "d3d9/raster/target_fill.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <string>

namespace platform::d3d9::raster::testing {
namespace {

constexpr RasterPath kRectPaths[] = {RasterPath::RectScalar, RasterPath::RectSse2,
                                     RasterPath::RectAvx2};
const char* const kPathNames[] = {"Automatic", "General", "RectScalar", "RectSse2", "RectAvx2"};

// PlaceSprite scaled by `stretch`, then the unit square; whether a rectangle kernel drew it.
bool DrawSprite(FixedFunctionState& state, Frame& frame, const TestTexture& texture,
                SourceRectangle source, float x, float y, RasterPath path,
                uint32_t diffuse = 0xFFFFFFFF, float stretch = 1.0f, float lastU = 0.0f) {
    PlaceSprite(state, texture, source, x, y);
    state.world._11 *= stretch;
    state.world._22 *= stretch;
    return DrawUnitSquare(state, frame, path, diffuse, lastU) == DrawRoute::RectKernel;
}

struct Quad {
    int texture;  // cell, piece, atlas, opaque (X8R8G8B8)
    SourceRectangle source;
    float x, y;
    uint32_t diffuse = 0xFFFFFFFF;
    float stretch = 1.0f;
    float lastU = 0.0f;  // the last corner off the first triangle's texture plane
};

// The program's frame: 7 x 7 board cells, a piece and the cursor, two glyphs.
std::vector<Quad> BoardFrame() {
    std::vector<Quad> quads;
    for (int cell = 0; cell < 49; ++cell)
        quads.push_back({0, {0, 0, 64, 64}, 16.0f + 64 * (cell % 7), 16.0f + 64 * (cell / 7)});
    // clang-format off
    quads.insert(quads.end(), {{1, {0, 0, 64, 64}, 208, 208}, {0, {0, 0, 64, 64}, 208, 208},
                               {2, {0, 0, 40, 40}, 0, 0}, {2, {40, 0, 80, 40}, 20, 0}});
    // clang-format on
    return quads;
}

// Odd sizes, fractions, screen edges, wrapping, an opaque format, scaling, a tint, a skew.
// clang-format off
const std::vector<Quad> kAwkwardPlacements = {
    {0, {0, 0, 63, 31}, 16, 16}, {0, {0, 0, 64, 64}, 16.5f, 16.7f},
    {0, {0, 0, 64, 64}, 600.5f, 400.5f}, {0, {0, 0, 64, 64}, -20, -30},
    {0, {-10, 50, 54, 114}, 300, 100}, {2, {1000, 1000, 1040, 1040}, 100, 300},
    {3, {3, 5, 40, 38}, 401, 33}, {0, {0, 0, 32, 32}, 200, 300, ~0u, 2},
    {0, {5, 7, 25, 20}, 450, 250, ~0u, 3}, {0, {0, 0, 64, 64}, 100, 350, ~0u, 0.5f},
    {1, {0, 0, 64, 64}, 500, 100, 0x80FF4020}, {0, {0, 0, 64, 64}, 300, 380, ~0u, 1, 0.25f}};
// clang-format on

// Each scene changes states the kernels must honour (or decline) exactly as the
// general path does.
struct Scene {
    const char* name;
    bool board;  // else the awkward placements
    std::function<void(FixedFunctionState&)> adjust;
};
using S = FixedFunctionState;
void Address(S& s, DWORD mode) {
    s.sampler0[D3DSAMP_ADDRESSU] = s.sampler0[D3DSAMP_ADDRESSV] = mode;
}
// clang-format off
const Scene kScenes[] = {
    {"BoardFrame", true, [](S&) {}},
    {"AwkwardPlacements", false, [](S&) {}},
    {"NoBlendingNoDepthWrite", false, [](S& s) {
         s.renderStates[D3DRS_ALPHABLENDENABLE] = s.renderStates[D3DRS_ZWRITEENABLE] = FALSE; }},
    {"NoAlphaTestStrictDepth", true, [](S& s) {
         s.renderStates[D3DRS_ALPHATESTENABLE] = FALSE;
         s.renderStates[D3DRS_ZFUNC] = D3DCMP_LESS; }},
    {"StrictDepthWithoutDepthWrites", true, [](S& s) {
         s.renderStates[D3DRS_ZFUNC] = D3DCMP_LESS; s.renderStates[D3DRS_ZWRITEENABLE] = FALSE; }},
    {"AlphaGreaterThan100", true, [](S& s) { s.renderStates[D3DRS_ALPHAREF] = 100; }},
    // Less and greater pass, equal fails: each outcome differs from its neighbour's.
    {"AlphaNotEqualTo128", true, [](S& s) {
         s.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_NOTEQUAL;
         s.renderStates[D3DRS_ALPHAREF] = 128; }},
    {"NoDepthTestClampAddressing", false, [](S& s) {
         s.renderStates[D3DRS_ZENABLE] = D3DZB_FALSE; Address(s, D3DTADDRESS_CLAMP); }},
    {"MirrorAddressingTextureColourOnly", false, [](S& s) {
         s.stage0[D3DTSS_COLOROP] = D3DTOP_SELECTARG1; Address(s, D3DTADDRESS_MIRROR); }},
    {"StageDisabledSmallViewport", false, [](S& s) {
         s.stage0[D3DTSS_COLOROP] = D3DTOP_DISABLE; s.viewport = {37, 21, 301, 203, 0.0f, 1.0f}; }},
};
// clang-format on

class RectPathIdentity : public ::testing::TestWithParam<std::tuple<RasterPath, int>> {};

TEST_P(RectPathIdentity, EveryPixelAndDepthMatchesTheGeneralPath) {
    static const struct Textures {
        Textures() {
            for (uint32_t i = 0; i < 4; ++i) FillNoise(at[i], i + 1);
        }
        TestTexture at[4] = {{64, 64}, {64, 64}, {1024, 1024}, {48, 40, false}};
    } textures;
    const auto [path, sceneIndex] = GetParam();
    const Scene& scene = kScenes[sceneIndex];
    Frame general(640, 480), kernel(640, 480);
    FixedFunctionState generalState = SpriteBatchState();
    scene.adjust(generalState);
    FixedFunctionState kernelState = generalState;
    int routed = 0;
    for (const Quad& q : scene.board ? BoardFrame() : kAwkwardPlacements) {
        EXPECT_FALSE(DrawSprite(generalState, general, textures.at[q.texture], q.source, q.x, q.y,
                                RasterPath::GeneralOnly, q.diffuse, q.stretch, q.lastU));
        routed += DrawSprite(kernelState, kernel, textures.at[q.texture], q.source, q.x, q.y, path,
                             q.diffuse, q.stretch, q.lastU);
    }
    EXPECT_GT(routed, 0) << "no quad took a rectangle kernel";
    EXPECT_EQ(FirstDifference(kernel, general), "");
    EXPECT_NE(general.color, Frame(640, 480).color)
        << "the scene must draw something for the comparison to mean anything";
}

INSTANTIATE_TEST_SUITE_P(Scenes, RectPathIdentity,
                         ::testing::Combine(::testing::ValuesIn(kRectPaths),
                                            ::testing::Range(0, int(std::size(kScenes)))),
                         [](const auto& info) {
                             return std::string(kScenes[std::get<1>(info.param)].name) + "_" +
                                    kPathNames[int(std::get<0>(info.param))];
                         });

// Targets kept in tiles give every colour and depth that targets written out give,
// whatever the comparison, with depth writes and without, over mixed depths and clears.
TEST(TiledTargets, EveryPixelAndDepthMatchesTargetsWrittenOut) {
    for (DWORD func = D3DCMP_NEVER; func <= D3DCMP_ALWAYS; ++func)
        for (const uint8_t write : {0, 1}) {
            std::vector<uint8_t> scene(8 * 80);
            uint32_t x = func * 2 + write;
            for (uint8_t& byte : scene) byte = uint8_t((x = x * 1664525u + 1013904223u) >> 24);
            // Every other step, so that the rest leave depths the function can find equal.
            for (size_t step = 0; step < scene.size(); step += 16)
                scene[step] = uint8_t((scene[step] & 0x87) | (func - 1) << 3 | write << 6);
            Frame tiled(160, 120), perPixel(160, 120, 0xFF8080FF, TargetStore::PerPixel);
            DrawDepthScene(tiled, scene.data(), scene.size());
            DrawDepthScene(perPixel, scene.data(), scene.size());
            EXPECT_EQ(FirstDifference(tiled, perPixel), "")
                << "function " << func << ", write " << int(write);
            EXPECT_NE(perPixel.color, Frame(160, 120).color) << "the scene drew nothing";
        }
}

// A rectangle over whole tiles that are not alike meets each tile as it is: tiles of two
// clear colours and two depths, and tiles of one colour written in part whose depth
// ranges share only their low end, under a quad deeper than the left tiles' high end.
TEST(TiledTargets, RectangleOverUnlikeTilesMatchesTargetsWrittenOut) {
    TestTexture texture(64, 64);
    FillNoise(texture, 3);
    const std::tuple<uint16_t, bool> cases[] = {{0xFFFF, false}, {0x1000, false}, {0x1000, true}};
    for (const auto& [leftDepth, cornered] : cases) {
        Frame tiled(160, 120), perPixel(160, 120, 0xFF8080FF, TargetStore::PerPixel);
        for (Frame* frame : {&tiled, &perPixel}) {
            FillColor(frame->Color(), {0, 0, 32, 120}, 0xFF102030);
            FillColor(frame->Color(), {cornered ? 0 : 32, 0, 160, 120}, 0xFF405060);
            FillDepth(frame->Depth(), {0, 0, 32, 120}, leftDepth);
            for (int y = 0; cornered && y < 120; y += 16)
                for (int x = 0; x < 160; x += 16)
                    FillDepth(frame->Depth(), {x, y, x + 1, y + 1}, 0);
            FixedFunctionState state = SpriteBatchState();
            PlaceSprite(state, texture, {0, 0, 64, 64}, 16, 16);
            state.world._43 = cornered ? 4.0f : 0.0f;
            DrawUnitSquare(state, *frame);
        }
        EXPECT_EQ(FirstDifference(tiled, perPixel), "")
            << "left depth " << leftDepth << (cornered ? ", cornered" : "");
    }
}

}  // namespace
}  // namespace platform::d3d9::raster::testing
