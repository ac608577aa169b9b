// The batch's exact conversation with the device: what a rendered frame cannot show.
#include "render/sprite_batch.h"

#include <gtest/gtest.h>
#include <platform_testing.h>

#include <ostream>
#include <string>
#include <vector>

#include "d3d9_mocks.h"
#include "matrix_matchers.h"

using testing::_;
using testing::DoAll;
using testing::InSequence;
using testing::NiceMock;
using testing::Return;
using testing::SetArgPointee;
using testing::StrictMock;

namespace {

const MatrixRows kScreenProjection = {2.0f / 640.0f, 0, 0, 0, 0, 2.0f / 480.0f, 0, 0,
                                      0, 0, 1.0f / 9.0f, 0, 0, 0, -1.0f / 9.0f, 1};

D3DMATRIX Filled(float first) {
    D3DMATRIX matrix;
    for (int i = 0; i < 16; ++i) {
        matrix.m[i / 4][i % 4] = first + static_cast<float>(i);
    }
    return matrix;
}

class SpriteBatchCalls : public testing::Test {
protected:
    // Builds `batch` on the mock device, capturing the unit square it writes.
    void BuildBatch() {
        EXPECT_CALL(device, CreateVertexBuffer(96, 0, 0x142, D3DPOOL_DEFAULT, _, nullptr))
            .WillOnce(DoAll(SetArgPointee<4>(&vertexBuffer), Return(D3D_OK)));
        EXPECT_CALL(vertexBuffer, Lock(0, 0, _, 0))
            .WillOnce(DoAll(SetArgPointee<2>(written), Return(D3D_OK)));
        EXPECT_CALL(vertexBuffer, Unlock()).WillOnce(Return(D3D_OK));
        CreateSpriteBatch(batch, &device);
        testing::Mock::VerifyAndClearExpectations(&vertexBuffer);
    }

    void TearDown() override {
        if (batch) {
            batch->ReleaseDeviceObjects();
            delete batch;
        }
    }

    NiceMock<MockDevice> device;
    NiceMock<MockVertexBuffer> vertexBuffer;
    NiceMock<MockTexture> texture;
    SpriteVertex written[4] = {};
    SpriteBatch* batch = nullptr;
};

TEST_F(SpriteBatchCalls, InitWritesTheUnitSquareAsAClockwiseFan) {
    BuildBatch();
    ASSERT_EQ(batch->device, &device);
    ASSERT_EQ(batch->vertexBuffer, &vertexBuffer);
    const SpriteVertex expected[4] = {{-0.5f, 0.5f, 1.0f, 0xFFFFFFFF, 0.0f, 0.0f},
                                      {0.5f, 0.5f, 1.0f, 0xFFFFFFFF, 1.0f, 0.0f},
                                      {0.5f, -0.5f, 1.0f, 0xFFFFFFFF, 1.0f, 1.0f},
                                      {-0.5f, -0.5f, 1.0f, 0xFFFFFFFF, 0.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(written[i].x, expected[i].x);
        EXPECT_EQ(written[i].y, expected[i].y);
        EXPECT_EQ(written[i].z, expected[i].z);
        EXPECT_EQ(written[i].diffuse, expected[i].diffuse);
        EXPECT_EQ(written[i].u, expected[i].u);
        EXPECT_EQ(written[i].v, expected[i].v);
    }
    static_assert(sizeof(SpriteVertex) == 24, "the stream stride is 24 bytes");
}

TEST_F(SpriteBatchCalls, ReleaseDeviceObjectsReleasesTheBufferOnceAndEmptiesTheList) {
    BuildBatch();
    texture.ReportsSize(64, 64);
    batch->AddQuad(&texture, {0, 0, 64, 64}, 0.0f, 0.0f);
    EXPECT_CALL(vertexBuffer, Release()).WillOnce(Return(0));
    batch->ReleaseDeviceObjects();
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    EXPECT_TRUE(batch->entries.empty());
    EXPECT_EQ(batch->device, &device);
    batch->ReleaseDeviceObjects();  // nothing left to release
}

TEST_F(SpriteBatchCalls, DestructionSaysSoAndLeavesTheVertexBufferToItsOwner) {
    BuildBatch();
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    EXPECT_CALL(vertexBuffer, Release()).Times(0);
    delete batch;
    batch = nullptr;
    platform::testing::ResetAllHooks();
    EXPECT_EQ(lines, std::vector<std::wstring>{L"Terminated - Destructor\n"});
}

TEST_F(SpriteBatchCalls, ReplacingTheBatchInTheSlotDestroysTheOldOne) {
    BuildBatch();
    EXPECT_CALL(vertexBuffer, Release()).WillOnce(Return(0));
    batch->ReleaseDeviceObjects();
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    CreateSpriteBatch(batch, nullptr);
    platform::testing::ResetAllHooks();
    EXPECT_EQ(lines, std::vector<std::wstring>{L"Terminated - Destructor\n"});
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(batch->device, nullptr);
    EXPECT_EQ(batch->vertexBuffer, nullptr);
}

// A batch that could not build its square must not write through a null pointer
// and must never draw.
class SpriteBatchWithoutSquare : public SpriteBatchCalls {
protected:
    void ExpectNoDrawing() {
        texture.ReportsSize(64, 64);
        EXPECT_CALL(device, DrawPrimitive(_, _, _)).Times(0);
        batch->Begin();
        batch->AddQuad(&texture, {0, 0, 64, 64}, 16.0f, 16.0f);
        batch->End();
    }
};

TEST_F(SpriteBatchWithoutSquare, WhenTheBufferCannotBeCreated) {
    EXPECT_CALL(device, CreateVertexBuffer(_, _, _, _, _, _))
        .WillOnce(Return(D3DERR_OUTOFVIDEOMEMORY));
    CreateSpriteBatch(batch, &device);
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    ExpectNoDrawing();
}

TEST_F(SpriteBatchWithoutSquare, WhenTheBufferCannotBeLocked) {
    EXPECT_CALL(device, CreateVertexBuffer(_, _, _, _, _, _))
        .WillOnce(DoAll(SetArgPointee<4>(&vertexBuffer), Return(D3D_OK)));
    EXPECT_CALL(vertexBuffer, Lock(_, _, _, _)).WillOnce(Return(D3DERR_INVALIDCALL));
    EXPECT_CALL(vertexBuffer, Unlock()).Times(0);
    EXPECT_CALL(vertexBuffer, Release()).WillOnce(Return(0));
    CreateSpriteBatch(batch, &device);
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    ExpectNoDrawing();
}

TEST_F(SpriteBatchWithoutSquare, WhenTheLockYieldsNoMemory) {
    EXPECT_CALL(device, CreateVertexBuffer(_, _, _, _, _, _))
        .WillOnce(DoAll(SetArgPointee<4>(&vertexBuffer), Return(D3D_OK)));
    EXPECT_CALL(vertexBuffer, Lock(_, _, _, _))
        .WillOnce(DoAll(SetArgPointee<2>(nullptr), Return(D3D_OK)));
    EXPECT_CALL(vertexBuffer, Release()).WillOnce(Return(0));
    CreateSpriteBatch(batch, &device);
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    ExpectNoDrawing();
}

TEST_F(SpriteBatchCalls, BeginSavesTransformsThenSetsTheScreenPipelineInOrder) {
    BuildBatch();
    const D3DMATRIX projection = Filled(100.0f);
    const D3DMATRIX world = Filled(200.0f);
    const D3DMATRIX view = Filled(300.0f);
    {
        InSequence order;
        EXPECT_CALL(device, GetTransform(D3DTS_PROJECTION, _))
            .WillOnce(DoAll(SetArgPointee<1>(projection), Return(D3D_OK)));
        EXPECT_CALL(device, GetTransform(D3DTS_WORLD, _))
            .WillOnce(DoAll(SetArgPointee<1>(world), Return(D3D_OK)));
        EXPECT_CALL(device, GetTransform(D3DTS_VIEW, _))
            .WillOnce(DoAll(SetArgPointee<1>(view), Return(D3D_OK)));
        EXPECT_CALL(device, SetTransform(D3DTS_PROJECTION, PointsToMatrix(kScreenProjection)));
        EXPECT_CALL(device, SetTransform(D3DTS_WORLD, PointsToMatrix(Identity())));
        EXPECT_CALL(device, SetTransform(D3DTS_VIEW, PointsToMatrix(Identity())));
        EXPECT_CALL(device, SetRenderState(D3DRS_ZENABLE, 1u));
        EXPECT_CALL(device, SetRenderState(D3DRS_LIGHTING, 0u));
        EXPECT_CALL(device, SetRenderState(D3DRS_ALPHABLENDENABLE, 1u));
        EXPECT_CALL(device, SetRenderState(D3DRS_ALPHAFUNC, 5u));
        EXPECT_CALL(device, SetRenderState(D3DRS_ALPHAREF, 0u));
        EXPECT_CALL(device, SetRenderState(D3DRS_ALPHATESTENABLE, 1u));
        EXPECT_CALL(device, SetRenderState(D3DRS_BLENDOP, 1u));
        EXPECT_CALL(device, SetRenderState(D3DRS_COLORWRITEENABLE, 0xFu));
        EXPECT_CALL(device, SetRenderState(D3DRS_DESTBLEND, 6u));
        EXPECT_CALL(device, SetRenderState(D3DRS_SRCBLEND, 5u));
        EXPECT_CALL(device, SetVertexShader(nullptr));
        EXPECT_CALL(device, SetFVF(0x142u));
        EXPECT_CALL(device, SetStreamSource(0u, &vertexBuffer, 0u, 24u));
    }
    EXPECT_CALL(device, SetSamplerState(_, _, _)).Times(0);
    EXPECT_CALL(device, SetTextureStageState(_, _, _)).Times(0);
    batch->Begin();
    EXPECT_EQ(RowsOf(batch->savedProjection), RowsOf(projection));
    EXPECT_EQ(RowsOf(batch->savedWorld), RowsOf(world));
    EXPECT_EQ(RowsOf(batch->savedView), RowsOf(view));
}

TEST_F(SpriteBatchCalls, EndDrawsEachQuadInOrderThenRestoresTheSavedTransforms) {
    BuildBatch();
    const D3DMATRIX projection = Filled(100.0f);
    const D3DMATRIX world = Filled(200.0f);
    const D3DMATRIX view = Filled(300.0f);
    ON_CALL(device, GetTransform(D3DTS_PROJECTION, _))
        .WillByDefault(DoAll(SetArgPointee<1>(projection), Return(D3D_OK)));
    ON_CALL(device, GetTransform(D3DTS_WORLD, _))
        .WillByDefault(DoAll(SetArgPointee<1>(world), Return(D3D_OK)));
    ON_CALL(device, GetTransform(D3DTS_VIEW, _))
        .WillByDefault(DoAll(SetArgPointee<1>(view), Return(D3D_OK)));
    NiceMock<MockTexture> second;
    texture.ReportsSize(64, 64);
    second.ReportsSize(128, 64);
    batch->Begin();
    batch->AddQuad(&texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    batch->AddQuad(&second, {64, 0, 128, 64}, 80.0f, 16.0f);
    {
        InSequence order;
        EXPECT_CALL(device, SetTextureStageState(0u, D3DTSS_TEXTURETRANSFORMFLAGS, 2u));
        EXPECT_CALL(device, SetTransform(D3DTS_WORLD,
                                         PointsToMatrix(RowsOf(batch->entries[0].world))));
        EXPECT_CALL(device, SetTransform(D3DTS_TEXTURE0, PointsToMatrix(Identity())));
        EXPECT_CALL(device, SetTexture(0u, &texture));
        EXPECT_CALL(device, DrawPrimitive(D3DPT_TRIANGLEFAN, 0u, 2u));
        EXPECT_CALL(device, SetTransform(D3DTS_WORLD,
                                         PointsToMatrix(RowsOf(batch->entries[1].world))));
        EXPECT_CALL(device, SetTransform(D3DTS_TEXTURE0,
                                         PointsToMatrix(MatrixRows{0.5f, 0, 0, 0, 0, 1, 0, 0,
                                                                   0.5f, 0, 1, 0, 0, 0, 0, 1})));
        EXPECT_CALL(device, SetTexture(0u, &second));
        EXPECT_CALL(device, DrawPrimitive(D3DPT_TRIANGLEFAN, 0u, 2u));
        EXPECT_CALL(device, SetTextureStageState(0u, D3DTSS_TEXTURETRANSFORMFLAGS, 0u));
        EXPECT_CALL(device, SetTransform(D3DTS_PROJECTION, PointsToMatrix(RowsOf(projection))));
        EXPECT_CALL(device, SetTransform(D3DTS_WORLD, PointsToMatrix(RowsOf(world))));
        EXPECT_CALL(device, SetTransform(D3DTS_VIEW, PointsToMatrix(RowsOf(view))));
    }
    EXPECT_CALL(texture, AddRef()).Times(0);
    EXPECT_CALL(texture, Release()).Times(0);
    batch->End();
    EXPECT_EQ(batch->entries.size(), 2u);  // End keeps the list
}

TEST_F(SpriteBatchCalls, AnEmptyPassDrawsNothingButStillTogglesAndRestores) {
    BuildBatch();
    batch->Begin();
    {
        InSequence order;
        EXPECT_CALL(device, SetTextureStageState(0u, D3DTSS_TEXTURETRANSFORMFLAGS, 2u));
        EXPECT_CALL(device, SetTextureStageState(0u, D3DTSS_TEXTURETRANSFORMFLAGS, 0u));
        EXPECT_CALL(device, SetTransform(D3DTS_PROJECTION, _));
        EXPECT_CALL(device, SetTransform(D3DTS_WORLD, _));
        EXPECT_CALL(device, SetTransform(D3DTS_VIEW, _));
    }
    EXPECT_CALL(device, DrawPrimitive(_, _, _)).Times(0);
    EXPECT_CALL(device, SetTexture(_, _)).Times(0);
    batch->End();
}

TEST(SpriteBatchWithoutDevice, HasNoBufferAndMakesNoCalls) {
    SpriteBatch* batch = nullptr;
    CreateSpriteBatch(batch, nullptr);
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(batch->device, nullptr);
    EXPECT_EQ(batch->vertexBuffer, nullptr);
    EXPECT_TRUE(batch->entries.empty());
    batch->Begin();  // must not touch a device
    batch->End();
    batch->ReleaseDeviceObjects();
    delete batch;
}

// The two matrices AddQuad queues for one source rectangle at one position.
struct Placement {
    const char* name;
    UINT texW, texH;
    SourceRect source;
    float x, y;
    MatrixRows world;
    MatrixRows texTransform;
};

void PrintTo(const Placement& placement, std::ostream* out) {
    *out << placement.name;
}

class QuadMatrices : public testing::TestWithParam<Placement> {};

TEST_P(QuadMatrices, AreExact) {
    const Placement& p = GetParam();
    NiceMock<MockDevice> device;
    NiceMock<MockTexture> texture;
    texture.ReportsSize(p.texW, p.texH);
    SpriteBatch batch;
    batch.device = &device;
    batch.AddQuad(&texture, p.source, p.x, p.y);
    ASSERT_EQ(batch.entries.size(), 1u);
    EXPECT_EQ(batch.entries[0].texture, &texture);
    EXPECT_EQ(RowsOf(batch.entries[0].world), p.world);
    EXPECT_EQ(RowsOf(batch.entries[0].texTransform), p.texTransform);
}

INSTANTIATE_TEST_SUITE_P(
    SpriteBatch, QuadMatrices,
    testing::Values(
        Placement{"WorkedExample", 256, 128, {16, 32, 80, 80}, 100.0f, 50.0f,
                  {64, 0, 0, 0, 0, 48, 0, 0, 0, 0, 1, 0, -188, 166, 0, 1},
                  {0.25f, 0, 0, 0, 0, 0.375f, 0, 0, 0.0625f, 0.25f, 1, 0, 0, 0, 0, 1}},
        Placement{"WholeTextureIsIdentity", 64, 64, {0, 0, 64, 64}, 16.0f, 16.0f,
                  {64, 0, 0, 0, 0, 64, 0, 0, 0, 0, 1, 0, -272, 192, 0, 1}, Identity()},
        Placement{"OddSizeTruncatesTowardZero", 64, 64, {0, 0, 63, 31}, 16.0f, 16.0f,
                  {63, 0, 0, 0, 0, 31, 0, 0, 0, 0, 1, 0, -272, 208, 0, 1},
                  {63.0f / 64, 0, 0, 0, 0, 31.0f / 64, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        Placement{"FractionUpperLeftSnapsInward", 64, 64, {0, 0, 64, 64}, 16.5f, 16.7f,
                  {64, 0, 0, 0, 0, 64, 0, 0, 0, 0, 1, 0, -271, 191, 0, 1}, Identity()},
        Placement{"FractionLowerRightSnapsInward", 64, 64, {0, 0, 64, 64}, 600.5f, 400.5f,
                  {64, 0, 0, 0, 0, 64, 0, 0, 0, 0, 1, 0, 312, -192, 0, 1}, Identity()},
        Placement{"GlyphCellOfALargeAtlas", 1024, 1024, {40, 0, 80, 40}, 0.0f, 0.0f,
                  {40, 0, 0, 0, 0, 40, 0, 0, 0, 0, 1, 0, -300, 220, 0, 1},
                  {40.0f / 1024, 0, 0, 0, 0, 40.0f / 1024, 0, 0, 40.0f / 1024, 0, 1, 0, 0, 0,
                   0, 1}}),
    [](const testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST(QuadWithoutSize, IsSkippedWhenTheLevelDescriptionCannotBeRead) {
    NiceMock<MockDevice> device;
    NiceMock<MockTexture> texture;
    EXPECT_CALL(texture, GetLevelDesc(0u, _)).WillOnce(Return(D3DERR_INVALIDCALL));
    SpriteBatch batch;
    batch.device = &device;
    batch.AddQuad(&texture, {0, 0, 64, 64}, 16.0f, 16.0f);
    batch.AddQuad(nullptr, {0, 0, 64, 64}, 16.0f, 16.0f);  // no texture, no size
    EXPECT_TRUE(batch.entries.empty());
}

}  // namespace
