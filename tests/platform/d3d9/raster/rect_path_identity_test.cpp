// The rectangle kernels must reproduce the general path exactly: each scene is drawn
// through both and every colour and depth value compared.
#include "raster_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace d3d9sw::raster::testing {
namespace {

// Deterministic texels with every kind of alpha: transparent, partial and opaque.
void FillNoise(TestTexture& texture, uint32_t seed) {
    uint32_t x = seed * 2654435761u + 1;
    for (uint32_t& texel : texture.texels) {
        x = x * 1664525u + 1013904223u;
        const uint32_t alphaPick = (x >> 28) & 3;
        const uint32_t alpha = alphaPick == 0 ? 0 : alphaPick == 1 ? 255 : (x >> 20) & 0xFF;
        texel = (alpha << 24) | ((x >> 4) & 0xFFFFFF);
    }
}

struct Scene {
    std::string name;
    std::function<void(FixedFunctionState&)> adjust;  // states changed from the batch's
    std::function<int(FixedFunctionState&, Frame&, RasterPath)> draw;  // rect routes taken
};

struct Assets {
    Assets()
        : cell(64, 64), piece(64, 64), cursor(64, 64), atlas(1024, 1024), opaque(48, 40, false) {
        FillNoise(cell, 1);
        FillNoise(piece, 2);
        FillNoise(cursor, 3);
        FillNoise(atlas, 4);
        FillNoise(opaque, 5);
    }
    TestTexture cell, piece, cursor, atlas, opaque;
};

const Assets& SharedAssets() {
    static const Assets assets;
    return assets;
}

int Quad(FixedFunctionState& state, Frame& frame, const TestTexture& texture,
         const SourceRectangle& source, float x, float y, RasterPath path,
         uint32_t diffuse = 0xFFFFFFFF, float stretch = 1.0f) {
    PlaceSprite(state, texture, source, x, y);
    state.world._11 *= stretch;
    state.world._22 *= stretch;
    return DrawUnitSquare(state, frame, path, diffuse) == DrawRoute::RectKernel;
}

int BoardFrame(FixedFunctionState& state, Frame& frame, RasterPath path) {
    const Assets& a = SharedAssets();
    int routed = 0;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            routed += Quad(state, frame, a.cell, {0, 0, 64, 64}, 16.0f + 64 * column,
                           16.0f + 64 * row, path);
    routed += Quad(state, frame, a.piece, {0, 0, 64, 64}, 208.0f, 208.0f, path);
    routed += Quad(state, frame, a.cursor, {0, 0, 64, 64}, 208.0f, 208.0f, path);
    routed += Quad(state, frame, a.atlas, {0, 0, 40, 40}, 0.0f, 0.0f, path);
    routed += Quad(state, frame, a.atlas, {40, 0, 80, 40}, 20.0f, 0.0f, path);
    return routed;
}

int AwkwardPlacements(FixedFunctionState& state, Frame& frame, RasterPath path) {
    const Assets& a = SharedAssets();
    int routed = 0;
    routed += Quad(state, frame, a.cell, {0, 0, 63, 31}, 16.0f, 16.0f, path);
    routed += Quad(state, frame, a.cell, {0, 0, 64, 64}, 16.5f, 16.7f, path);
    routed += Quad(state, frame, a.cell, {0, 0, 64, 64}, 600.5f, 400.5f, path);
    routed += Quad(state, frame, a.cell, {0, 0, 64, 64}, -20.0f, -30.0f, path);
    routed += Quad(state, frame, a.cell, {-10, 50, 54, 114}, 300.0f, 100.0f, path);  // wraps
    routed += Quad(state, frame, a.atlas, {1000, 1000, 1040, 1040}, 100.0f, 300.0f, path);
    routed += Quad(state, frame, a.opaque, {3, 5, 40, 38}, 401.0f, 33.0f, path);
    routed += Quad(state, frame, a.cell, {0, 0, 32, 32}, 200.0f, 300.0f, path, 0xFFFFFFFF, 2.0f);
    routed += Quad(state, frame, a.cell, {5, 7, 25, 20}, 450.0f, 250.0f, path, 0xFFFFFFFF, 3.0f);
    routed += Quad(state, frame, a.cell, {0, 0, 64, 64}, 100.0f, 350.0f, path, 0xFFFFFFFF, 0.5f);
    routed += Quad(state, frame, a.piece, {0, 0, 64, 64}, 500.0f, 100.0f, path, 0x80FF4020);
    return routed;
}

class RectPathIdentity : public ::testing::TestWithParam<std::tuple<RasterPath, int>> {};

// Each scene changes states the kernels must honour (or decline) exactly as the
// general path does.
const std::vector<Scene>& Scenes() {
    using S = FixedFunctionState;
    static const std::vector<Scene> scenes = {
        {"BoardFrame", [](S&) {}, BoardFrame},
        {"AwkwardPlacements", [](S&) {}, AwkwardPlacements},
        {"NoBlendingNoDepthWrite",
         [](S& s) {
             s.renderStates[D3DRS_ALPHABLENDENABLE] = FALSE;
             s.renderStates[D3DRS_ZWRITEENABLE] = FALSE;
         },
         AwkwardPlacements},
        {"NoAlphaTestStrictDepth",
         [](S& s) {
             s.renderStates[D3DRS_ALPHATESTENABLE] = FALSE;
             s.renderStates[D3DRS_ZFUNC] = D3DCMP_LESS;
         },
         BoardFrame},
        {"AlphaTestAgainst128",
         [](S& s) {
             s.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_LESSEQUAL;
             s.renderStates[D3DRS_ALPHAREF] = 128;
         },
         BoardFrame},
        {"NoDepthTestClampAddressing",
         [](S& s) {
             s.renderStates[D3DRS_ZENABLE] = D3DZB_FALSE;
             s.sampler0[D3DSAMP_ADDRESSU] = s.sampler0[D3DSAMP_ADDRESSV] = D3DTADDRESS_CLAMP;
         },
         AwkwardPlacements},
        {"MirrorAddressingTextureColourOnly",
         [](S& s) {
             s.sampler0[D3DSAMP_ADDRESSU] = s.sampler0[D3DSAMP_ADDRESSV] = D3DTADDRESS_MIRROR;
             s.stage0[D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
         },
         AwkwardPlacements},
        {"StageDisabledSmallViewport",
         [](S& s) {
             s.stage0[D3DTSS_COLOROP] = D3DTOP_DISABLE;
             s.viewport = {37, 21, 301, 203, 0.0f, 1.0f};
         },
         AwkwardPlacements},
    };
    return scenes;
}

TEST_P(RectPathIdentity, EveryPixelAndDepthMatchesTheGeneralPath) {
    const auto [path, sceneIndex] = GetParam();
    const Scene& scene = Scenes()[sceneIndex];
    Frame general(640, 480);
    Frame kernel(640, 480);
    FixedFunctionState generalState = SpriteBatchState();
    scene.adjust(generalState);
    FixedFunctionState kernelState = generalState;
    EXPECT_EQ(scene.draw(generalState, general, RasterPath::GeneralOnly), 0);
    EXPECT_GT(scene.draw(kernelState, kernel, path), 0) << "no quad took a rectangle kernel";
    int colorMismatches = 0;
    int depthMismatches = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            if (general.At(x, y) != kernel.At(x, y) && ++colorMismatches <= 5)
                ADD_FAILURE() << "colour at (" << x << ", " << y << "): general " << std::hex
                              << general.At(x, y) << ", kernel " << kernel.At(x, y);
            if (general.DepthAt(x, y) != kernel.DepthAt(x, y)) ++depthMismatches;
        }
    EXPECT_EQ(colorMismatches, 0);
    EXPECT_EQ(depthMismatches, 0);
    // The scene must have drawn something for the comparison to mean anything.
    EXPECT_NE(general.TouchedBox().right, 0);
}

INSTANTIATE_TEST_SUITE_P(Scenes, RectPathIdentity,
                         ::testing::Combine(::testing::Values(RasterPath::RectScalar,
                                                              RasterPath::RectSse2,
                                                              RasterPath::RectAvx2),
                                            ::testing::Range(0, static_cast<int>(Scenes().size()))),
                         [](const auto& info) {
                             return Scenes()[std::get<1>(info.param)].name + "_" + PathName(std::get<0>(info.param));
                         });

}  // namespace
}  // namespace d3d9sw::raster::testing
