#include "raster_fixture.h"

namespace platform::d3d9::raster::testing {

FixedFunctionState SpriteBatchState() {
    FixedFunctionState state;
    SetDefaultState(state, 640, 480);
    auto& rs = state.renderStates;
    rs[D3DRS_ZENABLE] = D3DZB_TRUE;
    rs[D3DRS_LIGHTING] = FALSE;
    rs[D3DRS_ALPHABLENDENABLE] = rs[D3DRS_ALPHATESTENABLE] = TRUE;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
    rs[D3DRS_ALPHAREF] = 0;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    rs[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
    state.projection = {};
    state.projection._11 = 2.0f / 640.0f;
    state.projection._22 = 2.0f / 480.0f;
    state.projection._33 = 1.0f / 9.0f;
    state.projection._43 = -1.0f / 9.0f;
    state.projection._44 = 1.0f;
    state.world = state.view = IdentityMatrix();
    state.stage0[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    return state;
}

void PlaceSprite(FixedFunctionState& state, const TestTexture& texture,
                 const SourceRectangle& source, float x, float y) {
    const float texW = float(texture.desc.width), texH = float(texture.desc.height);
    const int w = source.right - source.left, h = source.bottom - source.top;
    state.texture0 = IdentityMatrix();
    state.texture0._11 = float(w) / texW;
    state.texture0._22 = float(h) / texH;
    state.texture0._31 = float(source.left) / texW;
    state.texture0._32 = float(source.top) / texH;
    // Whole units of the centred screen; odd sizes and fractions truncate toward zero.
    state.world = IdentityMatrix();
    state.world._11 = float(w);
    state.world._22 = float(h);
    state.world._41 = float(int(x + float((w - 640) / 2)));
    state.world._42 = float(int(-y - float((h - 480) / 2)));
    state.texture = &texture.desc;
}

DrawRoute DrawUnitSquare(const FixedFunctionState& state, Frame& frame, RasterPath path,
                         uint32_t diffuse) {
    // clang-format off
    const std::vector<ColoredVertex> square = {
        {-0.5f, 0.5f, 1.0f, diffuse, 0.0f, 0.0f}, {0.5f, 0.5f, 1.0f, diffuse, 1.0f, 0.0f},
        {0.5f, -0.5f, 1.0f, diffuse, 1.0f, 1.0f}, {-0.5f, -0.5f, 1.0f, diffuse, 0.0f, 1.0f}};
    // clang-format on
    const DepthTarget depth = frame.Depth();
    return DrawPrimitiveVia(path, state, frame.Color(), &depth, D3DPT_TRIANGLEFAN, StreamOf(square),
                            0, 2);
}

}  // namespace platform::d3d9::raster::testing
