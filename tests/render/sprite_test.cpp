// Sprite: which reference it holds and which source rectangle (always frame 0) it
// queues, with real textures of the sizes that matter.
#include "render/sprite.h"

#include <gtest/gtest.h>
#include <platform_testing.h>

#include <string>

#include "render/release_interface.h"
#include "render_harness.h"

namespace {

// The references a texture has, without changing them.
ULONG References(IDirect3DTexture9* texture) {
    texture->AddRef();
    return texture->Release();
}

class SpriteTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(gpu.device(), nullptr) << "no device";
        batch.device = gpu.device();  // queues without drawing
    }
    void TearDown() override {
        ReleaseInterface(texture);
        platform::testing::ResetAllHooks();
    }

    void MakeTexture(UINT width, UINT height) {
        texture = gpu.MakeTexture(width, height, D3DFMT_A8R8G8B8, [](int, int) { return ~0u; });
        ASSERT_NE(texture, nullptr);
    }

    RenderHarness gpu;
    SpriteBatch batch;
    IDirect3DTexture9* texture = nullptr;
};

// Frame 0 of a texture cut into frames: the quad's size and its source scale; the
// source offset is always the top-left corner.
struct FrameZero {
    const char* name;
    UINT texW, texH;
    float frameW, frameH;
    UINT columns;
    float quadW, uScale;
};

void PrintTo(const FrameZero& sprite, std::ostream* out) {
    *out << sprite.name;
}

class SpriteFrameZero : public SpriteTest, public testing::WithParamInterface<FrameZero> {};

TEST_P(SpriteFrameZero, QueuesTheTopLeftFrame) {
    const FrameZero& p = GetParam();
    MakeTexture(p.texW, p.texH);
    Sprite sprite;
    sprite.Create(texture, p.frameW, p.frameH);
    EXPECT_EQ(sprite.columns, p.columns);
    sprite.Draw(&batch, 16.0f, 16.0f);
    ASSERT_EQ(batch.entries.size(), 1u);
    const QuadEntry& quad = batch.entries[0];
    EXPECT_EQ(quad.texture, texture);
    EXPECT_EQ(quad.world._11, p.quadW);
    EXPECT_EQ(quad.world._22, p.frameH);
    EXPECT_EQ(quad.texTransform._11, p.uScale);
    EXPECT_EQ(quad.texTransform._22, p.frameH / static_cast<float>(p.texH));
    EXPECT_EQ(quad.texTransform._31, 0.0f);
    EXPECT_EQ(quad.texTransform._32, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Sprite, SpriteFrameZero,
    testing::Values(FrameZero{"WholeTexture", 64, 64, 64.0f, 64.0f, 1, 64.0f, 1.0f},
                    FrameZero{"FirstOfTwoFrames", 128, 64, 64.0f, 64.0f, 2, 64.0f, 0.5f},
                    // 128 / 63.5 = 2.01...; the source is cut to whole texels.
                    FrameZero{"FractionalFrameWidth", 128, 64, 63.5f, 64.0f, 2, 63.0f,
                              63.0f / 128},
                    // No whole frame across: frame 0 without dividing by zero columns.
                    FrameZero{"NarrowerThanAFrame", 32, 64, 64.0f, 64.0f, 0, 64.0f, 2.0f},
                    // 32 / 0 must not reach an integer conversion.
                    FrameZero{"ZeroFrameWidth", 32, 64, 0.0f, 64.0f, 0, 0.0f, 0.0f}),
    [](const testing::TestParamInfo<FrameZero>& info) { return std::string(info.param.name); });

TEST_F(SpriteTest, HoldsOneReferenceAndGivesItBackOnRecreateEmptyAndDestruction) {
    MakeTexture(64, 64);
    IDirect3DTexture9* second =
        gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int, int) { return ~0u; });
    {
        Sprite sprite;
        EXPECT_EQ(sprite.texture, nullptr);  // a new sprite is empty
        sprite.Create(texture, 64.0f, 64.0f);
        EXPECT_EQ(References(texture), 2u);
        sprite.Create(second, 64.0f, 64.0f);
        EXPECT_EQ(References(texture), 1u);
        EXPECT_EQ(References(second), 2u);

        sprite.Empty();
        sprite.Empty();  // nothing left to release
        EXPECT_EQ(References(second), 1u);
        EXPECT_EQ(sprite.texture, nullptr);
        EXPECT_EQ(sprite.frameWidth, 0.0f);
        EXPECT_EQ(sprite.frameHeight, 0.0f);
        EXPECT_EQ(sprite.columns, 0u);

        sprite.Create(second, 64.0f, 64.0f);
        sprite.Create(nullptr, 64.0f, 64.0f);  // a null texture empties the sprite
        EXPECT_EQ(References(second), 1u);
        EXPECT_EQ(sprite.texture, nullptr);
        EXPECT_EQ(sprite.frameWidth, 0.0f);
        sprite.Draw(&batch, 16.0f, 16.0f);
        EXPECT_TRUE(batch.entries.empty());

        sprite.Create(second, 64.0f, 64.0f);
        // Re-created from its own texture while holding the only other reference:
        // the texture must survive the swap.
        ReleaseInterface(second);
        sprite.Create(sprite.texture, 64.0f, 64.0f);
        ASSERT_NE(sprite.texture, nullptr);
        second = sprite.texture;
        second->AddRef();
        EXPECT_EQ(References(second), 2u);
    }
    EXPECT_EQ(References(second), 1u);  // the destructor gave its reference back
    ReleaseInterface(second);
}

TEST_F(SpriteTest, WithoutTheTextureSizeNothingIsQueued) {
    MakeTexture(64, 64);
    platform::testing::FailD3DCall(platform::testing::D3DCall::GetLevelDesc, D3DERR_INVALIDCALL,
                                   -1);
    Sprite sprite;
    sprite.Create(texture, 64.0f, 64.0f);
    EXPECT_EQ(sprite.texture, texture);  // kept, with a zero frame
    EXPECT_EQ(sprite.frameWidth, 0.0f);
    EXPECT_EQ(sprite.frameHeight, 0.0f);
    EXPECT_EQ(sprite.columns, 0u);
    sprite.Draw(&batch, 16.0f, 16.0f);
    batch.AddQuad(nullptr, {0, 0, 64, 64}, 16.0f, 16.0f);
    EXPECT_TRUE(batch.entries.empty());
    platform::testing::ClearD3DFailures();
}

TEST_F(SpriteTest, ABatchWithoutADeviceQueuesNothing) {
    MakeTexture(64, 64);
    SpriteBatch withoutDevice;
    Sprite sprite;
    sprite.Create(texture, 64.0f, 64.0f);
    sprite.Draw(&withoutDevice, 16.0f, 16.0f);
    EXPECT_TRUE(withoutDevice.entries.empty());
}

}  // namespace
