// Where quads land and what they show, read back from the presented frame of the
// real device and rasteriser.
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <cstdint>
#include <string>

#include "render/release_interface.h"
#include "render/sprite_batch.h"
#include "test_device.h"

namespace {

using platform::testing::Frame;

// Every texel distinct: red = x, green = y, blue fixed, opaque.
uint32_t CoordinateTexel(int x, int y) {
    return 0xFF000000u | (static_cast<uint32_t>(x & 0xFF) << 16) |
           (static_cast<uint32_t>(y & 0xFF) << 8) | 0x40u;
}

struct Covered {
    int left, top, right, bottom;  // pixels, right and bottom exclusive
};

// The frame shows texel (texLeft + k, texTop + j) at pixel (area.left + k, area.top + j)
// inside `area`, and the clear colour on the one-pixel ring around it.
void ExpectTexelsExactlyIn(const Frame& frame, Covered area, int texLeft, int texTop) {
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    int wrong = 0;
    for (int y = area.top - 1; y <= area.bottom; ++y) {
        for (int x = area.left - 1; x <= area.right; ++x) {
            if (x < 0 || y < 0 || x >= frame.width || y >= frame.height) {
                continue;
            }
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const uint32_t expected = inside ? CoordinateTexel(texLeft + x - area.left,
                                                               texTop + y - area.top)
                                             : TestDevice::kClearColour;
            if (frame.At(x, y) != expected && ++wrong <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << frame.At(x, y) << ", expected " << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

class SpritePlacement : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(gpu.device, nullptr) << "no device"; }

    void TearDown() override {
        ReleaseInterface(texture);
        platform::testing::ResetAllHooks();
    }

    void MakeCoordinateTexture(UINT width, UINT height) {
        texture = gpu.MakeTexture(width, height, D3DFMT_A8R8G8B8, CoordinateTexel);
        ASSERT_NE(texture, nullptr);
    }

    Frame DrawOne(SourceRect source, float x, float y) {
        return gpu.RenderPass([&](SpriteBatch& batch) { batch.AddQuad(texture, source, x, y); });
    }

    TestDevice gpu;
    IDirect3DTexture9* texture = nullptr;
};

TEST_F(SpritePlacement, WorkedExampleCoversItsRectangleWithItsSourceTexels) {
    MakeCoordinateTexture(256, 128);
    const Frame frame = DrawOne({16, 32, 80, 80}, 100.0f, 50.0f);
    ExpectTexelsExactlyIn(frame, {100, 50, 164, 98}, 16, 32);
}

TEST_F(SpritePlacement, WholeTextureAtOneToOneIsUnshiftedAndUnwrapped) {
    MakeCoordinateTexture(64, 64);
    const Frame frame = DrawOne({0, 0, 64, 64}, 16.0f, 16.0f);
    ExpectTexelsExactlyIn(frame, {16, 16, 80, 80}, 0, 0);
}

TEST_F(SpritePlacement, OddSizeStartsHalfAPixelRightAndLower) {
    MakeCoordinateTexture(64, 64);
    const Frame frame = DrawOne({0, 0, 63, 31}, 16.0f, 16.0f);  // spans 16.5..79.5, 16.5..47.5
    ExpectTexelsExactlyIn(frame, {17, 17, 80, 48}, 0, 0);
}

TEST_F(SpritePlacement, FractionalPositionsSnapTowardTheScreenCentre) {
    MakeCoordinateTexture(64, 64);
    ExpectTexelsExactlyIn(DrawOne({0, 0, 64, 64}, 16.5f, 16.7f), {17, 17, 81, 81}, 0, 0);
    // Right and lower quad: snapped left and up, then cut by the screen edge.
    ExpectTexelsExactlyIn(DrawOne({0, 0, 64, 64}, 600.5f, 400.5f), {600, 400, 640, 464}, 0, 0);
}

TEST_F(SpritePlacement, LaterQuadsCoverEarlierOnes) {
    IDirect3DTexture9* red = gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int, int) {
        return 0xFFFF0000u;
    });
    IDirect3DTexture9* green = gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int, int) {
        return 0xFF00FF00u;
    });
    const Frame redFirst = gpu.RenderPass([&](SpriteBatch& batch) {
        batch.AddQuad(red, {0, 0, 64, 64}, 100.0f, 100.0f);
        batch.AddQuad(green, {0, 0, 64, 64}, 132.0f, 132.0f);
    });
    const Frame greenFirst = gpu.RenderPass([&](SpriteBatch& batch) {
        batch.AddQuad(green, {0, 0, 64, 64}, 132.0f, 132.0f);
        batch.AddQuad(red, {0, 0, 64, 64}, 100.0f, 100.0f);
    });
    EXPECT_EQ(redFirst.At(140, 140), 0xFF00FF00u);
    EXPECT_EQ(greenFirst.At(140, 140), 0xFFFF0000u);
    EXPECT_EQ(redFirst.At(110, 110), 0xFFFF0000u);  // outside the overlap each keeps its own
    EXPECT_EQ(redFirst.At(190, 190), 0xFF00FF00u);
    ReleaseInterface(red);
    ReleaseInterface(green);
}

TEST_F(SpritePlacement, AlphaZeroLeavesTheFrameAndPartialAlphaBlends) {
    // Left half: a loud colour with alpha 0; right half: red at alpha 128.
    texture = gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int x, int) {
        return x < 32 ? 0x00FFFF00u : 0x80FF0000u;
    });
    const Frame frame = DrawOne({0, 0, 64, 64}, 16.0f, 16.0f);
    EXPECT_EQ(frame.At(20, 40), TestDevice::kClearColour);
    EXPECT_EQ(frame.At(47, 79), TestDevice::kClearColour);

    // Exact: source * 128/255 + clear colour * 127/255, per channel.
    const double a = 128.0 / 255.0;
    const double red = 255 * a + 0x80 * (1 - a);
    const double green = 0 * a + 0x80 * (1 - a);
    const double blue = 0 * a + 0xFF * (1 - a);
    const uint32_t blended = frame.At(60, 40);
    EXPECT_NEAR(static_cast<double>((blended >> 16) & 0xFF), red, 1.0);
    EXPECT_NEAR(static_cast<double>((blended >> 8) & 0xFF), green, 1.0);
    EXPECT_NEAR(static_cast<double>(blended & 0xFF), blue, 1.0);
}

TEST_F(SpritePlacement, TextureWithoutAlphaIsOpaque) {
    // The alpha byte of an X8R8G8B8 texel is ignored, even when it is 0.
    texture = gpu.MakeTexture(64, 64, D3DFMT_X8R8G8B8, [](int x, int y) {
        return CoordinateTexel(x, y) & 0x00FFFFFFu;
    });
    const Frame frame = DrawOne({0, 0, 64, 64}, 16.0f, 16.0f);
    ExpectTexelsExactlyIn(frame, {16, 16, 80, 80}, 0, 0);
}

// The pass as the device counts it.
class SpriteBatchPass : public SpritePlacement {};

TEST_F(SpriteBatchPass, DrawsOncePerQueuedQuadPerEnd) {
    MakeCoordinateTexture(64, 64);
    SpriteBatch* batch = nullptr;
    CreateSpriteBatch(batch, gpu.device);
    gpu.device->BeginScene();

    int before = platform::testing::DrawPrimitiveCount();
    batch->Begin();
    batch->End();
    EXPECT_EQ(platform::testing::DrawPrimitiveCount(), before);

    batch->Begin();
    batch->AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    batch->AddQuad(texture, {0, 0, 64, 64}, 80.0f, 16.0f);
    before = platform::testing::DrawPrimitiveCount();
    batch->End();
    batch->End();
    EXPECT_EQ(platform::testing::DrawPrimitiveCount(), before + 4);

    batch->AddQuad(texture, {0, 0, 64, 64}, 144.0f, 16.0f);  // after End: never drawn
    batch->Begin();
    before = platform::testing::DrawPrimitiveCount();
    batch->End();
    EXPECT_EQ(platform::testing::DrawPrimitiveCount(), before);

    gpu.device->EndScene();
    batch->ReleaseDeviceObjects();
    delete batch;
}

}  // namespace
