// Sprite: which reference it holds and which source rectangle it queues.
#include "render/sprite.h"

#include <gtest/gtest.h>

#include "d3d9_mocks.h"
#include "matrix_matchers.h"

using testing::_;
using testing::InSequence;
using testing::NiceMock;
using testing::Return;

namespace {

class SpriteTest : public testing::Test {
protected:
    SpriteTest() { batch.device = &device; }

    // The source rectangle's size and offset as the queued quad carries them.
    struct Queued {
        float width, height, uScale, vScale, uOffset, vOffset;
    };
    Queued OnlyQueued() const {
        EXPECT_EQ(batch.entries.size(), 1u);
        const QuadEntry& entry = batch.entries.at(0);
        return {entry.world._11,        entry.world._22,        entry.texTransform._11,
                entry.texTransform._22, entry.texTransform._31, entry.texTransform._32};
    }

    NiceMock<MockDevice> device;
    SpriteBatch batch;
};

TEST_F(SpriteTest, SquareTextureQueuesTheWholeTextureAtItsPosition) {
    NiceMock<MockTexture> texture;
    texture.ReportsSize(64, 64);
    EXPECT_CALL(texture, AddRef()).WillOnce(Return(2));
    EXPECT_CALL(texture, Release()).WillOnce(Return(1));  // at destruction
    {
        Sprite sprite;
        sprite.Create(&texture, 64.0f, 64.0f);
        EXPECT_EQ(sprite.texture, &texture);
        EXPECT_EQ(sprite.columns, 1u);
        sprite.Draw(&batch, 144.0f, 80.0f);
    }
    ASSERT_EQ(batch.entries.size(), 1u);
    EXPECT_EQ(RowsOf(batch.entries[0].texTransform), Identity());
    EXPECT_EQ(batch.entries[0].world._41, 144.0f - 288.0f);
    EXPECT_EQ(batch.entries[0].world._42, -80.0f + 208.0f);
}

TEST_F(SpriteTest, WiderTextureDrawsOnlyItsFirstFrame) {
    NiceMock<MockTexture> texture;
    texture.ReportsSize(128, 64);
    Sprite sprite;
    sprite.Create(&texture, 64.0f, 64.0f);
    EXPECT_EQ(sprite.columns, 2u);
    sprite.Draw(&batch, 16.0f, 16.0f);
    const Queued quad = OnlyQueued();
    EXPECT_EQ(quad.width, 64.0f);
    EXPECT_EQ(quad.height, 64.0f);
    EXPECT_EQ(quad.uScale, 0.5f);
    EXPECT_EQ(quad.vScale, 1.0f);
    EXPECT_EQ(quad.uOffset, 0.0f);
    EXPECT_EQ(quad.vOffset, 0.0f);
    sprite.Empty();
}

TEST_F(SpriteTest, FractionalFrameWidthIsCutToWholeTexels) {
    NiceMock<MockTexture> texture;
    texture.ReportsSize(128, 64);
    Sprite sprite;
    sprite.Create(&texture, 63.5f, 64.0f);
    EXPECT_EQ(sprite.columns, 2u);  // 128 / 63.5 = 2.01...
    sprite.Draw(&batch, 16.0f, 16.0f);
    EXPECT_EQ(OnlyQueued().width, 63.0f);
    sprite.Empty();
}

TEST_F(SpriteTest, NarrowerTextureHasNoColumnsYetDrawsFrameZeroWithoutDividing) {
    NiceMock<MockTexture> texture;
    texture.ReportsSize(32, 64);
    Sprite sprite;
    sprite.Create(&texture, 64.0f, 64.0f);
    EXPECT_EQ(sprite.columns, 0u);
    sprite.Draw(&batch, 16.0f, 16.0f);
    const Queued quad = OnlyQueued();
    EXPECT_EQ(quad.width, 64.0f);
    EXPECT_EQ(quad.uOffset, 0.0f);
    EXPECT_EQ(quad.vOffset, 0.0f);

    sprite.Create(&texture, 0.0f, 64.0f);  // 32 / 0 must not reach an integer conversion
    EXPECT_EQ(sprite.columns, 0u);
    sprite.Empty();
}

TEST_F(SpriteTest, FailedSizeQueryKeepsTheTextureWithAZeroFrame) {
    NiceMock<MockTexture> texture;
    EXPECT_CALL(texture, GetLevelDesc(0u, _)).WillRepeatedly(Return(D3DERR_INVALIDCALL));
    EXPECT_CALL(texture, AddRef()).WillOnce(Return(2));
    EXPECT_CALL(texture, Release()).WillOnce(Return(1));
    Sprite sprite;
    sprite.Create(&texture, 64.0f, 64.0f);
    EXPECT_EQ(sprite.texture, &texture);
    EXPECT_EQ(sprite.frameWidth, 0.0f);
    EXPECT_EQ(sprite.frameHeight, 0.0f);
    EXPECT_EQ(sprite.columns, 0u);
    sprite.Draw(&batch, 16.0f, 16.0f);  // the batch skips a texture without a size
    EXPECT_TRUE(batch.entries.empty());
}

TEST_F(SpriteTest, RecreatingReleasesTheOldReferenceBeforeTakingTheNew) {
    NiceMock<MockTexture> first;
    NiceMock<MockTexture> second;
    first.ReportsSize(64, 64);
    second.ReportsSize(64, 64);
    {
        InSequence order;
        EXPECT_CALL(first, AddRef()).WillOnce(Return(2));
        EXPECT_CALL(first, Release()).WillOnce(Return(1));
        EXPECT_CALL(second, AddRef()).WillOnce(Return(2));
        EXPECT_CALL(second, Release()).WillOnce(Return(1));
    }
    Sprite sprite;
    sprite.Create(&first, 64.0f, 64.0f);
    sprite.Create(&second, 64.0f, 64.0f);
    EXPECT_EQ(sprite.texture, &second);
}

TEST_F(SpriteTest, NullTextureEmptiesTheSprite) {
    Sprite sprite;
    EXPECT_EQ(sprite.texture, nullptr);  // a new sprite is empty
    NiceMock<MockTexture> texture;
    texture.ReportsSize(64, 64);
    EXPECT_CALL(texture, AddRef()).WillOnce(Return(2));
    EXPECT_CALL(texture, Release()).WillOnce(Return(1));
    sprite.Create(&texture, 64.0f, 64.0f);
    sprite.Create(nullptr, 64.0f, 64.0f);
    EXPECT_EQ(sprite.texture, nullptr);
    EXPECT_EQ(sprite.frameWidth, 0.0f);
    EXPECT_EQ(sprite.columns, 0u);
    sprite.Draw(&batch, 16.0f, 16.0f);
    EXPECT_TRUE(batch.entries.empty());
}

TEST_F(SpriteTest, EmptyReleasesOnceAndZeroesEveryField) {
    NiceMock<MockTexture> texture;
    texture.ReportsSize(128, 64);
    EXPECT_CALL(texture, Release()).WillOnce(Return(1));
    Sprite sprite;
    sprite.Create(&texture, 64.0f, 64.0f);
    sprite.Empty();
    sprite.Empty();  // nothing left to release
    EXPECT_EQ(sprite.texture, nullptr);
    EXPECT_EQ(sprite.frameWidth, 0.0f);
    EXPECT_EQ(sprite.frameHeight, 0.0f);
    EXPECT_EQ(sprite.columns, 0u);
}

TEST_F(SpriteTest, BatchWithoutDeviceQueuesNothing) {
    NiceMock<MockTexture> texture;
    texture.ReportsSize(64, 64);
    EXPECT_CALL(texture, GetLevelDesc(_, _)).Times(1);  // Create's query only
    SpriteBatch withoutDevice;
    Sprite sprite;
    sprite.Create(&texture, 64.0f, 64.0f);
    sprite.Draw(&withoutDevice, 16.0f, 16.0f);
    EXPECT_TRUE(withoutDevice.entries.empty());
    sprite.Empty();
}

}  // namespace
