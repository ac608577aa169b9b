#include "raster_fixture.h"

#include "d3d9/raster/target_fill.h"

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
                         uint32_t diffuse, float lastU) {
    // clang-format off
    const ColoredVertex square[] = {
        {-0.5f, 0.5f, 1.0f, diffuse, 0.0f, 0.0f}, {0.5f, 0.5f, 1.0f, diffuse, 1.0f, 0.0f},
        {0.5f, -0.5f, 1.0f, diffuse, 1.0f, 1.0f}, {-0.5f, -0.5f, 1.0f, diffuse, lastU, 1.0f}};
    // clang-format on
    const DepthTarget depth = frame.Depth();
    return DrawPrimitiveVia(path, state, frame.Color(), &depth, D3DPT_TRIANGLEFAN, StreamOf(square),
                            0, 2);
}

void FillNoise(TestTexture& texture, uint32_t seed) {
    uint32_t x = seed * 2654435761u + 1;
    for (uint32_t& texel : texture.texels) {
        x = x * 1664525u + 1013904223u;
        const uint32_t alphaPick = (x >> 28) & 3;
        const uint32_t alpha = alphaPick == 0 ? 0 : alphaPick == 1 ? 255 : (x >> 20) & 0xFF;
        texel = (alpha << 24) | ((x >> 4) & 0xFFFFFF);
    }
}

void DrawDepthScene(Frame& frame, const uint8_t* bytes, size_t size) {
    static const struct Textures {
        Textures() {
            FillNoise(at[0], 1);
            FillNoise(at[1], 2);
            at[2].FillPattern();
        }
        TestTexture at[3] = {{64, 64}, {32, 32, false}, {64, 64}};
    } textures;
    for (; size >= 8; bytes += 8, size -= 8) {
        const uint8_t* b = bytes;
        const int left = b[2] % 180 - 10, top = b[3] % 140 - 10;
        // Every other clear takes whole tiles.
        const PixelRect area =
            b[7] & 1 ? PixelRect{left, top, left + b[4] % 100, top + b[5] % 100}
                     : PixelRect{b[2] % 11 * 16 - 16, b[3] % 9 * 16 - 16,
                                 b[2] % 11 * 16 + b[4] % 4 * 16, b[3] % 9 * 16 + b[5] % 4 * 16};
        if ((b[0] & 7) == 0) {
            FillDepth(frame.Depth(), area, static_cast<uint16_t>(b[1] * 257));
            continue;
        }
        if ((b[0] & 7) == 2) {
            FillColor(frame.Color(), area, (0x01010101u * b[1]) ^ (b[6] << 8));
            continue;
        }
        FixedFunctionState state = SpriteBatchState();
        auto& rs = state.renderStates;
        rs[D3DRS_ZENABLE] = b[1] >> 7 ? D3DZB_FALSE : D3DZB_TRUE;
        rs[D3DRS_ZFUNC] = ((b[0] >> 3) & 7) + 1;
        rs[D3DRS_ZWRITEENABLE] = (b[0] >> 6) & 1;
        rs[D3DRS_ALPHATESTENABLE] = b[0] >> 7;
        rs[D3DRS_ALPHAREF] = b[7];
        rs[D3DRS_ALPHABLENDENABLE] = (b[1] >> 6) & 1;
        const TestTexture& texture = textures.at[(b[1] & 3) % 3];
        const int sx = b[6] % 16, sy = b[7] % 16;
        if ((b[0] & 7) == 3 || (b[0] & 7) == 4) {  // whole tiles
            PlaceSprite(state, texture, {sx, sy, sx + 16 + b[4] % 4 * 16, sy + 16 + b[5] % 4 * 16},
                        float(b[2] % 11 * 16 - 16), float(b[3] % 9 * 16 - 16));
        } else {
            PlaceSprite(state, texture, {sx, sy, sx + 1 + b[4] % 64, sy + 1 + b[5] % 64},
                        float(b[2] % 180 - 20) + (b[6] & 0x40 ? 0.5f : 0.0f),
                        float(b[3] % 140 - 20));
            if (b[6] & 0x80) state.world._11 *= 2;
        }
        state.world._43 = float(((b[1] >> 2) & 15) % 10);  // depth 0 to 1 in ninths
        DrawUnitSquare(state, frame,
                       (b[0] & 7) == 1 ? RasterPath::GeneralOnly : RasterPath::Automatic);
    }
}

}  // namespace platform::d3d9::raster::testing
