// The sprite batch where the scene's own frames cannot show it: placements at
// fractions of a pixel, odd sizes and the screen's edge; quads that overlap only in
// part, as the frame-rate figure does over the board; and the camera the batch must
// put back. The rest of what the batch draws is checked through the scene and the text.
#include "render/sprite_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "render/release_interface.h"
#include "render_harness.h"

namespace {

using platform::testing::Frame;

// Every texel distinct: red = x, green = y, blue fixed, opaque.
uint32_t CoordinateTexel(int x, int y) {
    return 0xFF000040u | static_cast<uint32_t>(x & 0xFF) << 16 |
           static_cast<uint32_t>(y & 0xFF) << 8;
}

// Pixels, right and bottom exclusive.
struct Covered {
    int left, top, right, bottom;
};

// Texel (texLeft + k, texTop + j) at pixel (left + k, top + j) inside `area`, the
// clear colour on the one-pixel ring around it.
void ExpectTexelsExactlyIn(const Frame& frame, Covered area, int texLeft, int texTop) {
    int wrong = 0;
    for (int y = std::max(area.top - 1, 0); y <= std::min(area.bottom, 479); ++y) {
        for (int x = std::max(area.left - 1, 0); x <= std::min(area.right, 639); ++x) {
            const bool inside =
                x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const uint32_t expected =
                inside ? CoordinateTexel(texLeft + x - area.left, texTop + y - area.top)
                       : RenderHarness::kClearColor;
            if (frame.At(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << frame.At(x, y);
        }
    }
    EXPECT_EQ(wrong, 0);
}

class SpriteBatchTest : public testing::Test {
protected:
    void SetUp() override { CreateSpriteBatch(batch, gpu.device()); }
    void TearDown() override {
        batch->ReleaseDeviceObjects();
        delete batch;
    }
    IDirect3DTexture9* Solid(uint32_t color) {
        return gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [=](int, int) { return color; });
    }

    RenderHarness gpu;
    SpriteBatch* batch = nullptr;
};

// Each quad alone: the pixels that show its source texels pin its world and texture
// matrices down.
TEST_F(SpriteBatchTest, PixelsOfEachPlacementAreExact) {
    const D3DFORMAT kA8 = D3DFMT_A8R8G8B8, kX8 = D3DFMT_X8R8G8B8;
    struct Placement {
        const char* name;
        UINT texW, texH;
        D3DFORMAT format;
        SourceRect source;
        float x, y;
        Covered covered;
    };
    // clang-format off
    const Placement placements[] = {
        {"worked example",           256, 128, kA8, {16, 32, 80, 80}, 100.0f, 50.0f, {100, 50, 164, 98}},
        // Spans 16.5..79.5 and 16.5..47.5: starts half a pixel right and lower.
        {"odd size truncates",        64,  64, kA8, {0, 0, 63, 31},   16.0f, 16.0f, {17, 17, 80, 48}},
        {"fraction snaps inward",     64,  64, kA8, {0, 0, 64, 64},   16.5f, 16.7f, {17, 17, 81, 81}},
        // Snapped left and up, then cut by the screen's edge.
        {"lower right snaps, cut",    64,  64, kA8, {0, 0, 64, 64},  600.5f, 400.5f, {600, 400, 640, 464}},
        // The alpha byte of an X8R8G8B8 texel is ignored, even when it is 0.
        {"X8R8G8B8 is opaque",        64,  64, kX8, {0, 0, 64, 64},   16.0f, 16.0f, {16, 16, 80, 80}}};
    // clang-format on
    for (const Placement& p : placements) {
        SCOPED_TRACE(p.name);
        const uint32_t alphaMask = p.format == kX8 ? 0x00FFFFFFu : ~0u;
        IDirect3DTexture9* image = gpu.MakeTexture(p.texW, p.texH, p.format, [&](int u, int v) {
            return CoordinateTexel(u, v) & alphaMask;
        });
        ASSERT_NE(image, nullptr);
        const Frame frame = gpu.RenderFrame([&] {
            batch->Begin();
            batch->AddQuad(image, p.source, p.x, p.y);
            batch->End();
        });
        ReleaseInterface(image);
        ExpectTexelsExactlyIn(frame, p.covered, p.source.left, p.source.top);
    }
}

// Green's upper right half over red's diagonal: equal in depth only if every corner
// of the square is.
TEST_F(SpriteBatchTest, ALaterQuadCoversAnEarlierOneItOverlapsInPart) {
    IDirect3DTexture9* red = Solid(0xFFFF0000u);
    IDirect3DTexture9* green = Solid(0xFF00FF00u);
    const Frame frame = gpu.RenderFrame([&] {
        batch->Begin();
        batch->AddQuad(red, {0, 0, 64, 64}, 200.0f, 100.0f);
        batch->AddQuad(green, {0, 0, 64, 64}, 168.0f, 100.0f);
        batch->End();
    });
    EXPECT_EQ(frame.At(210, 110), 0xFF00FF00u);
    EXPECT_EQ(frame.At(250, 110), 0xFFFF0000u);
    EXPECT_EQ(frame.At(170, 150), 0xFF00FF00u);
    ReleaseInterface(red);
    ReleaseInterface(green);
}

// Drawing after the batch, the text's or the caller's, finds the camera and texture
// stage as they were.
TEST_F(SpriteBatchTest, EndPutsTheCameraBackAndTurnsTheTextureMatrixOff) {
    IDirect3DTexture9* texture = Solid(0xFFFF0000u);
    const D3DTRANSFORMSTATETYPE kinds[3] = {D3DTS_PROJECTION, D3DTS_WORLD, D3DTS_VIEW};
    D3DMATRIX camera[3];
    for (int i = 0; i < 48; ++i) camera[i / 16].m[i % 16 / 4][i % 4] = static_cast<float>(i + 1);
    for (int i = 0; i < 3; ++i) gpu.device()->SetTransform(kinds[i], &camera[i]);
    gpu.DrawFrame(
        [&] {
            batch->Begin();
            batch->AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
            batch->End();
        },
        false);
    for (int i = 0; i < 3; ++i) {
        D3DMATRIX now = {};
        gpu.device()->GetTransform(kinds[i], &now);
        EXPECT_EQ(std::memcmp(&now, &camera[i], sizeof(now)), 0) << i;
    }
    DWORD flags = 0;
    gpu.device()->GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
    EXPECT_EQ(flags, DWORD{D3DTTFF_DISABLE});
    ReleaseInterface(texture);
}

}  // namespace
