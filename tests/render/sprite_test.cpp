// Sprite: which reference it holds and which source rectangle (always frame 0) it
// queues, with real textures of the sizes that matter.
#include "render/sprite.h"

#include <gtest/gtest.h>
#include <platform_testing.h>
#include <texture_helpers.h>

#include <tuple>

#include "render/release_interface.h"
#include "render_harness.h"

namespace {

class SpriteTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(gpu.device(), nullptr) << "no device";
        batch.device = gpu.device();  // queues without drawing
    }
    void TearDown() override { platform::testing::ResetAllHooks(); }
    IDirect3DTexture9* White(UINT width, UINT height) {
        return gpu.MakeTexture(width, height, D3DFMT_A8R8G8B8, [](int, int) { return ~0u; });
    }
    static auto Fields(const Sprite& s) { return std::tuple(s.texture, s.frameWidth, s.frameHeight, s.columns); }

    RenderHarness gpu;
    SpriteBatch batch;
};

TEST_F(SpriteTest, QueuesTheTopLeftFrameWithoutDividingByZeroColumns) {
    struct FrameZero { UINT texW; float frameW; UINT columns; float quadW, uScale; };
    const FrameZero cases[] = {
        {64, 64.0f, 1, 64.0f, 1.0f},
        {128, 64.0f, 2, 64.0f, 0.5f},
        {128, 63.5f, 2, 63.0f, 63.0f / 128},  // 128 / 63.5 = 2.01...; cut to whole texels
        {32, 64.0f, 0, 64.0f, 2.0f},          // no whole frame across: still frame 0
        {32, 0.0f, 0, 0.0f, 0.0f},            // 32 / 0 must not reach an integer conversion
    };
    for (const FrameZero& c : cases) {
        SCOPED_TRACE(testing::Message() << c.texW << " / " << c.frameW);
        IDirect3DTexture9* texture = White(c.texW, 64);
        ASSERT_NE(texture, nullptr);
        Sprite sprite;
        sprite.Create(texture, c.frameW, 64.0f);
        EXPECT_EQ(sprite.columns, c.columns);
        batch.entries.clear();
        sprite.Draw(&batch, 16.0f, 16.0f);
        ASSERT_EQ(batch.entries.size(), 1u);
        const QuadEntry& quad = batch.entries[0];
        EXPECT_EQ(std::tuple(quad.texture, quad.world._11, quad.world._22), std::tuple(texture, c.quadW, 64.0f));
        const D3DMATRIX& t = quad.texTransform;
        EXPECT_EQ(std::tuple(t._11, t._22, t._31, t._32), std::tuple(c.uScale, 1.0f, 0.0f, 0.0f));
        ReleaseInterface(texture);
    }
}

TEST_F(SpriteTest, HoldsOneReferenceAndGivesItBackOnRecreateEmptyAndDestruction) {
    IDirect3DTexture9* first = White(64, 64);
    IDirect3DTexture9* second = White(64, 64);
    {
        Sprite sprite;
        EXPECT_EQ(Fields(sprite), std::tuple(nullptr, 0.0f, 0.0f, 0u));  // a new sprite is empty
        sprite.Create(first, 64.0f, 64.0f);
        EXPECT_EQ(CountOf(first), 2u);
        sprite.Create(second, 64.0f, 64.0f);
        EXPECT_EQ(std::pair(CountOf(first), CountOf(second)), (std::pair<ULONG, ULONG>(1, 2)));
        sprite.Empty();
        sprite.Empty();  // nothing left to release
        EXPECT_EQ(CountOf(second), 1u);
        EXPECT_EQ(Fields(sprite), std::tuple(nullptr, 0.0f, 0.0f, 0u));
        sprite.Create(second, 64.0f, 64.0f);
        sprite.Create(nullptr, 64.0f, 64.0f);  // a null texture empties the sprite
        EXPECT_EQ(CountOf(second), 1u);
        EXPECT_EQ(Fields(sprite), std::tuple(nullptr, 0.0f, 0.0f, 0u));
        sprite.Draw(&batch, 16.0f, 16.0f);
        EXPECT_TRUE(batch.entries.empty());
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

TEST_F(SpriteTest, WithoutTheTextureSizeNothingIsQueued) {
    IDirect3DTexture9* texture = White(64, 64);
    platform::testing::FailD3DCall(platform::testing::D3DCall::GetLevelDesc, D3DERR_INVALIDCALL, -1);
    Sprite sprite;
    sprite.Create(texture, 64.0f, 64.0f);
    EXPECT_EQ(Fields(sprite), std::tuple(texture, 0.0f, 0.0f, 0u));  // kept, with a zero frame
    sprite.Draw(&batch, 16.0f, 16.0f);
    batch.AddQuad(texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    EXPECT_TRUE(batch.entries.empty());
    platform::testing::ClearD3DFailures();
    ReleaseInterface(texture);
}

}  // namespace
