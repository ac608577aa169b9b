// The sprite batch on the real device: the matrices it queues, where quads land and
// what they show in the presented frame, and the life of a batch across passes.
#include "render/sprite_batch.h"

#include <gtest/gtest.h>
#include <platform_testing.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "render/release_interface.h"
#include "render/sprite.h"
#include "render_harness.h"

namespace {

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
    return 0xFF000040u | static_cast<uint32_t>(x & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8;
}

// DrawPrimitive calls made by `pass`.
template <typename Pass> int Draws(Pass&& pass) {
    const int before = DrawPrimitiveCount();
    pass();
    return DrawPrimitiveCount() - before;
}

struct Covered { int left, top, right, bottom; };  // pixels, right and bottom exclusive

// Texel (texLeft + k, texTop + j) at pixel (left + k, top + j) inside `area`, the
// clear colour on the one-pixel ring around it.
void ExpectTexelsExactlyIn(const Frame& frame, Covered area, int texLeft, int texTop) {
    ASSERT_EQ(std::pair(frame.width, frame.height), std::pair(640, 480));
    int wrong = 0;
    for (int y = std::max(area.top - 1, 0); y <= std::min(area.bottom, 479); ++y) {
        for (int x = std::max(area.left - 1, 0); x <= std::min(area.right, 639); ++x) {
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const uint32_t expected = inside ? CoordinateTexel(texLeft + x - area.left, texTop + y - area.top)
                                             : RenderHarness::kClearColour;
            if (frame.At(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << frame.At(x, y);
        }
    }
    EXPECT_EQ(wrong, 0);
}

class SpriteBatchTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(gpu.device(), nullptr) << "no device"; }
    void TearDown() override {
        ReleaseInterface(texture);
        platform::testing::ResetAllHooks();
    }
    IDirect3DTexture9* Solid(uint32_t colour) {
        return gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [=](int, int) { return colour; });
    }

    RenderHarness gpu;
    IDirect3DTexture9* texture = nullptr;
};

// One quad: its world and texture matrices (scale x, scale y, offset x, offset y)
// and the pixels that show its source texels.
struct Placement {
    const char* name;
    UINT texW, texH;
    D3DFORMAT format;
    SourceRect source;
    float x, y, world[4], tex[4];
    Covered covered;
};

void PrintTo(const Placement& placement, std::ostream* out) { *out << placement.name; }

class QuadPlacement : public SpriteBatchTest, public testing::WithParamInterface<Placement> {};

TEST_P(QuadPlacement, MatricesAndPixelsAreExact) {
    const Placement& p = GetParam();
    // An X8R8G8B8 texel's alpha byte is ignored, even when it is 0.
    const uint32_t alphaMask = p.format == D3DFMT_X8R8G8B8 ? 0x00FFFFFFu : ~0u;
    texture = gpu.MakeTexture(p.texW, p.texH, p.format, [&](int x, int y) { return CoordinateTexel(x, y) & alphaMask; });
    ASSERT_NE(texture, nullptr);
    const Frame frame = gpu.RenderPass([&](SpriteBatch& batch) {
        batch.AddQuad(texture, p.source, p.x, p.y);
        ASSERT_EQ(batch.entries.size(), 1u);
        EXPECT_EQ(batch.entries[0].texture, texture);
        EXPECT_EQ(RowsOf(batch.entries[0].world),
                  (Rows{p.world[0], 0, 0, 0, 0, p.world[1], 0, 0, 0, 0, 1, 0, p.world[2], p.world[3], 0, 1}));
        EXPECT_EQ(RowsOf(batch.entries[0].texTransform),
                  (Rows{p.tex[0], 0, 0, 0, 0, p.tex[1], 0, 0, p.tex[2], p.tex[3], 1, 0, 0, 0, 0, 1}));
    });
    ExpectTexelsExactlyIn(frame, p.covered, p.source.left, p.source.top);
}

const D3DFORMAT kA8 = D3DFMT_A8R8G8B8;

INSTANTIATE_TEST_SUITE_P(
    SpriteBatch, QuadPlacement,
    testing::Values(
        Placement{"WorkedExample", 256, 128, kA8, {16, 32, 80, 80}, 100.0f, 50.0f, {64, 48, -188, 166},
                  {0.25f, 0.375f, 0.0625f, 0.25f}, {100, 50, 164, 98}},
        Placement{"WholeTextureUnshiftedAndUnwrapped", 64, 64, kA8, {0, 0, 64, 64}, 16.0f, 16.0f,
                  {64, 64, -272, 192}, {1, 1, 0, 0}, {16, 16, 80, 80}},
        // Spans 16.5..79.5 and 16.5..47.5: starts half a pixel right and lower.
        Placement{"OddSizeTruncatesTowardZero", 64, 64, kA8, {0, 0, 63, 31}, 16.0f, 16.0f,
                  {63, 31, -272, 208}, {63.0f / 64, 31.0f / 64, 0, 0}, {17, 17, 80, 48}},
        Placement{"FractionUpperLeftSnapsInward", 64, 64, kA8, {0, 0, 64, 64}, 16.5f, 16.7f,
                  {64, 64, -271, 191}, {1, 1, 0, 0}, {17, 17, 81, 81}},
        // Snapped left and up, then cut by the screen edge.
        Placement{"FractionLowerRightSnapsInward", 64, 64, kA8, {0, 0, 64, 64}, 600.5f, 400.5f,
                  {64, 64, 312, -192}, {1, 1, 0, 0}, {600, 400, 640, 464}},
        Placement{"X8R8G8B8IsOpaque", 64, 64, D3DFMT_X8R8G8B8, {0, 0, 64, 64}, 16.0f, 16.0f,
                  {64, 64, -272, 192}, {1, 1, 0, 0}, {16, 16, 80, 80}}),
    [](const testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST_F(SpriteBatchTest, LaterQuadsCoverEarlierOnesAlphaZeroIsTestedAwayAndPartialAlphaBlends) {
    IDirect3DTexture9* red = Solid(0xFFFF0000u);
    IDirect3DTexture9* green = Solid(0xFF00FF00u);
    // Left half: a loud colour with alpha 0; right half: red at alpha 128.
    texture = gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int x, int) { return x < 32 ? 0x00FFFF00u : 0x80FF0000u; });
    const Frame frame = gpu.RenderPass([&](SpriteBatch& batch) {
        batch.AddQuad(red, {0, 0, 64, 64}, 200.0f, 100.0f);
        batch.AddQuad(green, {0, 0, 64, 64}, 232.0f, 132.0f);
        batch.AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    });
    ReleaseInterface(red);
    ReleaseInterface(green);
    EXPECT_EQ(frame.At(240, 140), 0xFF00FF00u);  // the overlap
    EXPECT_EQ(frame.At(210, 110), 0xFFFF0000u);
    EXPECT_EQ(frame.At(290, 190), 0xFF00FF00u);
    EXPECT_EQ(frame.At(20, 40), RenderHarness::kClearColour);
    EXPECT_EQ(frame.At(47, 79), RenderHarness::kClearColour);
    // Exact: source * 128/255 + clear colour * 127/255, per channel.
    const double a = 128.0 / 255.0, expected[3] = {255 * a + 0x80 * (1 - a), 0x80 * (1 - a), 0xFF * (1 - a)};
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(static_cast<double>(frame.At(60, 40) >> (16 - 8 * channel) & 0xFF), expected[channel], 1.0);
}

TEST_F(SpriteBatchTest, DrawsOncePerQueuedQuadPerEndAndPutsTheCameraBack) {
    texture = Solid(0xFFFF0000u);
    const D3DTRANSFORMSTATETYPE kinds[3] = {D3DTS_PROJECTION, D3DTS_WORLD, D3DTS_VIEW};
    D3DMATRIX camera[3];
    for (int i = 0; i < 48; ++i) camera[i / 16].m[i % 16 / 4][i % 4] = static_cast<float>(i + 1);
    for (int i = 0; i < 3; ++i) gpu.device()->SetTransform(kinds[i], &camera[i]);
    SpriteBatch* batch = nullptr;
    CreateSpriteBatch(batch, gpu.device());
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
    texture->AddRef();
    EXPECT_EQ(texture->Release(), 1u) << "the batch only borrows the texture";
    batch->ReleaseDeviceObjects();
    delete batch;
}

// A refused or unlockable vertex buffer, or no device at all: nothing written
// through a null pointer, nothing kept, nothing drawn.
TEST_F(SpriteBatchTest, ABatchWithoutItsSquareOrDeviceNeverDraws) {
    texture = Solid(0xFFFF0000u);
    const int buffersBefore = platform::testing::CountD3DLiveObjects().vertexBuffers;
    using platform::testing::D3DCall;
    for (int way = 0; way < 3; ++way) {  // refused, unlockable, no device
        SCOPED_TRACE(way);
        const bool noDevice = way == 2;
        if (!noDevice)
            platform::testing::FailD3DCall(way == 0 ? D3DCall::CreateVertexBuffer : D3DCall::VertexBufferLock,
                                           D3DERR_OUTOFVIDEOMEMORY);
        SpriteBatch* batch = nullptr;
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
        delete batch;
        platform::testing::ClearD3DFailures();
    }
}

TEST_F(SpriteBatchTest, ReleaseGivesTheBufferBackAndReplacingDestroysTheOldBatch) {
    texture = Solid(0xFFFF0000u);
    const int buffersBefore = platform::testing::CountD3DLiveObjects().vertexBuffers;
    SpriteBatch* batch = nullptr;
    CreateSpriteBatch(batch, gpu.device());
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().vertexBuffers, buffersBefore + 1);
    batch->AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    batch->ReleaseDeviceObjects();
    batch->ReleaseDeviceObjects();  // nothing left to release
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    EXPECT_TRUE(batch->entries.empty());
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().vertexBuffers, buffersBefore);
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    CreateSpriteBatch(batch, nullptr);
    EXPECT_EQ(lines, std::vector<std::wstring>{L"Terminated - Destructor\n"});
    EXPECT_NE(batch, nullptr);
    delete batch;
}

}  // namespace
