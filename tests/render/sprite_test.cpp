// The sprite batch on the real device: the matrices it queues, where quads land and
// what they show in the presented frame, and the life of a batch across passes; and
// the sprite: which reference it holds and which source rectangle (frame 0) it queues.
#include "render/sprite_batch.h"

#include <gtest/gtest.h>
#include <platform_testing.h>
#include <texture_helpers.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>
#include <vector>

#include "render/release_interface.h"
#include "render/sprite.h"
#include "render_harness.h"

namespace {

using platform::testing::D3DCall;
using platform::testing::DrawPrimitiveCount;
using platform::testing::Frame;
using Rows = std::array<float, 16>;

Rows RowsOf(const D3DMATRIX& matrix) {
    Rows rows;
    std::memcpy(rows.data(), &matrix.m[0][0], sizeof(rows));
    return rows;
}

// Every texel distinct: red = x, green = y, blue fixed, opaque.
uint32_t CoordinateTexel(int x, int y) {
    return 0xFF000040u | static_cast<uint32_t>(x & 0xFF) << 16 |
           static_cast<uint32_t>(y & 0xFF) << 8;
}

// DrawPrimitive calls made by `pass`.
template <typename Pass>
int Draws(Pass&& pass) {
    const int before = DrawPrimitiveCount();
    pass();
    return DrawPrimitiveCount() - before;
}

// Pixels, right and bottom exclusive.
struct Covered {
    int left, top, right, bottom;
};

// Texel (texLeft + k, texTop + j) at pixel (left + k, top + j) inside `area`, the
// clear colour on the one-pixel ring around it.
void ExpectTexelsExactlyIn(const Frame& frame, Covered area, int texLeft, int texTop) {
    ASSERT_EQ(std::pair(frame.width, frame.height), std::pair(640, 480));
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
    void SetUp() override {
        CreateSpriteBatch(batch, gpu.device());
        ASSERT_NE(gpu.device(), nullptr) << "no device";
        queue.device = gpu.device();  // queues without drawing
    }
    void TearDown() override {
        batch->ReleaseDeviceObjects();
        delete batch;
        ReleaseInterface(texture);
        platform::testing::ResetAllHooks();
    }
    IDirect3DTexture9* Solid(uint32_t color, UINT width = 64) {
        return gpu.MakeTexture(width, 64, D3DFMT_A8R8G8B8, [=](int, int) { return color; });
    }
    static auto Fields(const Sprite& s) {
        return std::tuple(s.texture, s.frameWidth, s.frameHeight, s.columns);
    }

    RenderHarness gpu;
    SpriteBatch queue;
    SpriteBatch* batch = nullptr;  // draws
    IDirect3DTexture9* texture = nullptr;
};

// Each quad alone: the pixels that show its source texels, which pin its world and
// texture matrices down.
TEST_F(SpriteBatchTest, PixelsOfEachPlacementAreExact) {
    const D3DFORMAT kA8 = D3DFMT_A8R8G8B8, kX8 = D3DFMT_X8R8G8B8;
    // clang-format off
    const std::tuple<const char*, UINT, UINT, D3DFORMAT, SourceRect, float, float, Covered>
        placements[] = {
        {"worked example", 256, 128, kA8, {16, 32, 80, 80}, 100.0f, 50.0f, {100, 50, 164, 98}},
        {"whole texture unshifted and unwrapped", 64, 64, kA8, {0, 0, 64, 64}, 16.0f, 16.0f,
         {16, 16, 80, 80}},
        // Spans 16.5..79.5 and 16.5..47.5: starts half a pixel right and lower.
        {"odd size truncates toward zero", 64, 64, kA8, {0, 0, 63, 31}, 16.0f, 16.0f,
         {17, 17, 80, 48}},
        {"fraction upper left snaps inward", 64, 64, kA8, {0, 0, 64, 64}, 16.5f, 16.7f,
         {17, 17, 81, 81}},
        // Snapped left and up, then cut by the screen edge.
        {"fraction lower right snaps inward", 64, 64, kA8, {0, 0, 64, 64}, 600.5f, 400.5f,
         {600, 400, 640, 464}},
        // The alpha byte of an X8R8G8B8 texel is ignored, even when it is 0.
        {"X8R8G8B8 is opaque", 64, 64, kX8, {0, 0, 64, 64}, 16.0f, 16.0f, {16, 16, 80, 80}}};
    // clang-format on
    for (const auto& [name, texW, texH, format, source, x, y, covered] : placements) {
        SCOPED_TRACE(name);
        const uint32_t alphaMask = format == kX8 ? 0x00FFFFFFu : ~0u;
        IDirect3DTexture9* image = gpu.MakeTexture(
            texW, texH, format, [&](int u, int v) { return CoordinateTexel(u, v) & alphaMask; });
        ASSERT_NE(image, nullptr);
        const Frame frame = gpu.RenderFrame([&, source = source, x = x, y = y] {
            batch->Begin();
            batch->AddQuad(image, source, x, y);
            batch->End();
        });
        ReleaseInterface(image);
        ExpectTexelsExactlyIn(frame, covered, source.left, source.top);
    }
}

TEST_F(SpriteBatchTest, LaterQuadsCoverEarlierOnesAlphaZeroIsTestedAwayAndPartialAlphaBlends) {
    IDirect3DTexture9* red = Solid(0xFFFF0000u);
    IDirect3DTexture9* green = Solid(0xFF00FF00u);
    // Left half: a loud colour with alpha 0; right half: red at alpha 128.
    texture = gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8,
                              [](int x, int) { return x < 32 ? 0x00FFFF00u : 0x80FF0000u; });
    const Frame frame = gpu.RenderFrame([&] {
        batch->Begin();
        batch->AddQuad(red, {0, 0, 64, 64}, 200.0f, 100.0f);
        batch->AddQuad(green, {0, 0, 64, 64}, 168.0f, 100.0f);
        batch->AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
        batch->End();
    });
    ReleaseInterface(red);
    ReleaseInterface(green);
    // The overlap: green's upper right half over red's diagonal, equal in depth only if
    // every corner of the square is.
    EXPECT_EQ(frame.At(210, 110), 0xFF00FF00u);
    EXPECT_EQ(frame.At(250, 110), 0xFFFF0000u);
    EXPECT_EQ(frame.At(170, 150), 0xFF00FF00u);
    EXPECT_EQ(frame.At(20, 40), RenderHarness::kClearColor);
    EXPECT_EQ(frame.At(47, 79), RenderHarness::kClearColor);
    // Exact: source * 128/255 + clear colour * 127/255, per channel.
    const double a = 128.0 / 255.0,
                 expected[3] = {255 * a + 0x80 * (1 - a), 0x80 * (1 - a), 0xFF * (1 - a)};
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(static_cast<double>(frame.At(60, 40) >> (16 - 8 * channel) & 0xFF),
                    expected[channel], 1.0);
}

TEST_F(SpriteBatchTest, DrawsOncePerQueuedQuadPerEndAndPutsTheCameraBack) {
    texture = Solid(0xFFFF0000u);
    const D3DTRANSFORMSTATETYPE kinds[3] = {D3DTS_PROJECTION, D3DTS_WORLD, D3DTS_VIEW};
    D3DMATRIX camera[3];
    for (int i = 0; i < 48; ++i) camera[i / 16].m[i % 16 / 4][i % 4] = static_cast<float>(i + 1);
    for (int i = 0; i < 3; ++i) gpu.device()->SetTransform(kinds[i], &camera[i]);
    gpu.device()->BeginScene();
    const SourceRect all{0, 0, 64, 64};
    EXPECT_EQ(Draws([&] { batch->Begin(), batch->End(); }), 0) << "an empty pass draws nothing";
    batch->Begin();
    batch->AddQuad(texture, all, 16.0f, 16.0f);
    batch->AddQuad(texture, all, 80.0f, 16.0f);
    EXPECT_EQ(Draws([&] { batch->End(), batch->End(); }), 4) << "End twice draws twice";
    batch->AddQuad(texture, all, 144.0f, 16.0f);  // after End: dropped by the next Begin
    EXPECT_EQ(Draws([&] { batch->Begin(), batch->End(); }), 0);
    gpu.device()->EndScene();
    for (int i = 0; i < 3; ++i) {
        D3DMATRIX now = {};
        gpu.device()->GetTransform(kinds[i], &now);
        EXPECT_EQ(RowsOf(now), RowsOf(camera[i])) << i;
    }
    // Later drawing outside the batch must not pick up its texture matrices.
    DWORD flags = 0;
    gpu.device()->GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
    EXPECT_EQ(flags, DWORD{D3DTTFF_DISABLE});
    EXPECT_EQ(CountOf(texture), 1u) << "the batch only borrows the texture";
}

// A refused or unlockable vertex buffer, or no device at all: nothing written
// through a null pointer, nothing kept, nothing drawn.
TEST_F(SpriteBatchTest, ABatchWithoutItsSquareOrDeviceNeverDraws) {
    texture = Solid(0xFFFF0000u);
    batch->ReleaseDeviceObjects();  // each way replaces this batch
    const int buffersBefore = platform::testing::CountD3DLiveObjects().vertexBuffers;
    for (int way = 0; way < 3; ++way) {  // refused, unlockable, no device
        SCOPED_TRACE(way);
        const bool noDevice = way == 2;
        if (!noDevice)
            platform::testing::FailD3DCall(
                way == 0 ? D3DCall::CreateVertexBuffer : D3DCall::VertexBufferLock,
                D3DERR_OUTOFVIDEOMEMORY);
        CreateSpriteBatch(batch, noDevice ? nullptr : gpu.device());
        EXPECT_EQ(batch->vertexBuffer, nullptr);
        EXPECT_EQ(platform::testing::CountD3DLiveObjects().vertexBuffers, buffersBefore);
        gpu.device()->BeginScene();
        EXPECT_EQ(Draws([&] {
                      batch->Begin();
                      Sprite sprite;  // a sprite queues nothing on a batch without a device
                      sprite.Create(texture, 64.0f, 64.0f);
                      sprite.Draw(batch, 16.0f, 16.0f);
                      EXPECT_EQ(batch->entries.size(), noDevice ? 0u : 1u);
                      batch->End();
                  }),
                  0);
        gpu.device()->EndScene();
        platform::testing::ClearD3DFailures();
    }
}

TEST_F(SpriteBatchTest, ReleaseGivesTheBufferBackAndReplacingDestroysTheOldBatch) {
    texture = Solid(0xFFFF0000u);
    const int buffersBefore = platform::testing::CountD3DLiveObjects().vertexBuffers;
    batch->AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    batch->ReleaseDeviceObjects();
    batch->ReleaseDeviceObjects();  // nothing left to release
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    EXPECT_TRUE(batch->entries.empty());
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().vertexBuffers, buffersBefore - 1);
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    CreateSpriteBatch(batch, nullptr);
    EXPECT_EQ(lines, std::vector<std::wstring>{L"Terminated - Destructor\n"});
    EXPECT_NE(batch, nullptr);
    platform::testing::ResetAllHooks();  // before `lines` goes
}

TEST_F(SpriteBatchTest, SpriteQueuesTheTopLeftFrameWithoutDividingByZeroColumns) {
    // Texture width, frame width, then the columns, the quad's width and the u scale.
    // clang-format off
    const std::tuple<UINT, float, UINT, float, float> cases[] = {
        {64, 64.0f, 1, 64.0f, 1.0f}, {128, 64.0f, 2, 64.0f, 0.5f},
        {128, 63.5f, 2, 63.0f, 63.0f / 128},  // 128 / 63.5 = 2.01...; cut to whole texels
        {32, 64.0f, 0, 64.0f, 2.0f},          // no whole frame across: still frame 0
        {32, 0.0f, 0, 0.0f, 0.0f},            // 32 / 0 must not reach an integer conversion
    };
    // clang-format on
    for (const auto& [texW, frameW, columns, quadW, uScale] : cases) {
        SCOPED_TRACE(testing::Message() << texW << " / " << frameW);
        IDirect3DTexture9* image = Solid(~0u, texW);
        ASSERT_NE(image, nullptr);
        Sprite sprite;
        sprite.Create(image, frameW, 64.0f);
        EXPECT_EQ(sprite.columns, columns);
        queue.entries.clear();
        sprite.Draw(&queue, 16.0f, 16.0f);
        ASSERT_EQ(queue.entries.size(), 1u);
        const QuadEntry& quad = queue.entries[0];
        EXPECT_EQ(std::tuple(quad.texture, quad.world._11, quad.world._22),
                  std::tuple(image, quadW, 64.0f));
        const D3DMATRIX& t = quad.texTransform;
        EXPECT_EQ(std::tuple(t._11, t._22, t._31, t._32), std::tuple(uScale, 1.0f, 0.0f, 0.0f));
        ReleaseInterface(image);
    }
}

TEST_F(SpriteBatchTest, SpriteHoldsOneReferenceAndGivesItBackOnRecreateAndDestruction) {
    IDirect3DTexture9* first = Solid(~0u);
    IDirect3DTexture9* second = Solid(~0u);
    {
        Sprite sprite;
        EXPECT_EQ(Fields(sprite), std::tuple(nullptr, 0.0f, 0.0f, 0u));  // a new sprite is empty
        sprite.Create(first, 64.0f, 64.0f);
        EXPECT_EQ(CountOf(first), 2u);
        sprite.Create(second, 64.0f, 64.0f);
        EXPECT_EQ(std::pair(CountOf(first), CountOf(second)), (std::pair<ULONG, ULONG>(1, 2)));
        // A null texture empties the sprite (an empty one drawn: the scene's tests).
        sprite.Create(nullptr, 64.0f, 64.0f);
        EXPECT_EQ(CountOf(second), 1u);
        EXPECT_EQ(Fields(sprite), std::tuple(nullptr, 0.0f, 0.0f, 0u));
        sprite.Draw(&queue, 16.0f, 16.0f);
        EXPECT_TRUE(queue.entries.empty());
        // Re-created from its own texture while holding the only other reference:
        // the texture must survive the swap.
        sprite.Create(second, 64.0f, 64.0f);
        ReleaseInterface(second);
        sprite.Create(sprite.texture, 64.0f, 64.0f);
        ASSERT_NE(sprite.texture, nullptr);
        second = sprite.texture;
        second->AddRef();
        EXPECT_EQ(CountOf(second), 2u);
    }
    EXPECT_EQ(CountOf(second), 1u);  // the destructor gave its reference back
    ReleaseInterface(second);
    ReleaseInterface(first);
}

TEST_F(SpriteBatchTest, SpriteWithoutTheTextureSizeNothingIsQueued) {
    IDirect3DTexture9* image = Solid(~0u);
    platform::testing::FailD3DCall(D3DCall::GetLevelDesc, D3DERR_INVALIDCALL, -1);
    Sprite sprite;
    sprite.Create(image, 64.0f, 64.0f);
    EXPECT_EQ(Fields(sprite), std::tuple(image, 0.0f, 0.0f, 0u));  // kept, with a zero frame
    sprite.Draw(&queue, 16.0f, 16.0f);
    queue.AddQuad(image, {0, 0, 64, 64}, 16.0f, 16.0f);
    EXPECT_TRUE(queue.entries.empty());
    platform::testing::ClearD3DFailures();
    ReleaseInterface(image);
}

}  // namespace
