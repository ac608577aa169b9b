// Vertex formats, the world-view-projection, lighting and the texture transform.
#include "d3d9/raster/vertex_input.h"

#include "raster_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace d3d9sw::raster {
namespace {

using testing::IdentityMatrix;

TEST(FvfLayout, TheSpriteFormatAndPretransformedVerticesRefused) {
    const FvfLayout sprite = DecodeFvf(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, 0);
    EXPECT_TRUE(sprite.drawable);
    EXPECT_EQ(sprite.size, 24u);
    EXPECT_EQ(sprite.diffuseOffset, 12);
    EXPECT_EQ(sprite.texCoordOffset, 16);
    EXPECT_EQ(sprite.texCoordComponents, 2);
    EXPECT_FALSE(DecodeFvf(D3DFVF_XYZRHW | D3DFVF_DIFFUSE, 0).drawable);
}

struct VertexBytes {
    float x, y, z;
    uint32_t diffuse;
    float u, v;
};

ClipVertex ProcessOne(const FixedFunctionState& state, const VertexBytes& vertex, DWORD fvf) {
    const FvfLayout layout = DecodeFvf(fvf, 0);
    const VertexProcessor processor(state, layout);
    uint8_t bytes[sizeof vertex];
    std::memcpy(bytes, &vertex, sizeof vertex);
    if (!(fvf & D3DFVF_DIFFUSE)) std::memmove(bytes + 12, bytes + 16, 8);  // no colour field
    return processor.Process(bytes);
}

TEST(VertexProcessing, WorldViewProjectionApplyInRowVectorOrder) {
    FixedFunctionState state;
    SetDefaultState(state, 64, 64);
    state.world = IdentityMatrix();
    state.world._41 = 10.0f;  // translate, then
    state.view = IdentityMatrix();
    state.view._11 = 2.0f;  // scale: (1 + 10) * 2
    state.projection = IdentityMatrix();
    state.projection._34 = 1.0f;  // w = z
    state.projection._44 = 0.0f;
    const ClipVertex v =
        ProcessOne(state, {1.0f, 2.0f, 4.0f, 0, 0, 0}, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_DOUBLE_EQ(v.x, 22.0);
    EXPECT_DOUBLE_EQ(v.y, 2.0);
    EXPECT_DOUBLE_EQ(v.w, 4.0);
}

TEST(VertexProcessing, LightingWithoutLightsLeavesOnlyAmbientAndTheDiffuseAlpha) {
    using Colour = std::array<double, 4>;  // blue, green, red, alpha
    FixedFunctionState state;
    SetDefaultState(state, 64, 64);  // lighting on by default
    auto colour = [&](DWORD fvf) {
        const ClipVertex v = ProcessOne(state, {0, 0, 0, 0x80FF8040u, 0, 0}, fvf);
        return Colour{v.color[0], v.color[1], v.color[2], v.color[3]};
    };
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    // Black; alpha from the diffuse material, which is the vertex colour.
    EXPECT_EQ(colour(fvf), (Colour{0, 0, 0, 128}));
    state.renderStates[D3DRS_AMBIENT] = 0xFF808080u;
    state.renderStates[D3DRS_AMBIENTMATERIALSOURCE] = 1;  // the vertex colour
    EXPECT_EQ(colour(fvf), (Colour{32, 64, 128, 128}));    // vertex colour x 0x80 / 255, rounded
    state.renderStates[D3DRS_LIGHTING] = FALSE;
    EXPECT_EQ(colour(fvf), (Colour{64, 128, 255, 128}));
    // Without a colour in the format the diffuse colour is opaque white.
    EXPECT_EQ(colour(D3DFVF_XYZ | D3DFVF_TEX1), (Colour{255, 255, 255, 255}));
}

TEST(VertexProcessing, TwoComponentTextureTransformAppliesTheThirdRowAsOffset) {
    FixedFunctionState state;
    SetDefaultState(state, 64, 64);
    state.texture0 = IdentityMatrix();
    state.texture0._11 = 0.25f;
    state.texture0._22 = 0.375f;
    state.texture0._31 = 0.0625f;
    state.texture0._32 = 0.25f;
    state.texture0._41 = 100.0f;  // the fourth row meets the appended 0
    const VertexBytes vertex{0, 0, 0, 0, 1.0f, 1.0f};
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    ClipVertex v = ProcessOne(state, vertex, fvf);
    EXPECT_DOUBLE_EQ(v.u, 1.0) << "transform disabled by default";
    state.stage0[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    v = ProcessOne(state, vertex, fvf);
    EXPECT_DOUBLE_EQ(v.u, 0.3125);
    EXPECT_DOUBLE_EQ(v.v, 0.625);
}

}  // namespace
}  // namespace d3d9sw::raster
