#include "raster_fixture.h"

#include <algorithm>

namespace d3d9sw::raster::testing {

Frame::Frame(int width, int height, uint32_t clearColor, uint16_t clearDepth)
    : width(width),
      height(height),
      clearColor(clearColor),
      color(static_cast<size_t>(width) * height, clearColor),
      depth(static_cast<size_t>(width) * height, clearDepth) {}

Frame::Box Frame::TouchedBox() const {
    Box box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (At(x, y) != clearColor) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    if (box.right == 0) return Box{};
    return box;
}

TestTexture::TestTexture(int width, int height, bool hasAlpha)
    : texels(static_cast<size_t>(width) * height, 0) {
    desc.texels = texels.data();
    desc.width = width;
    desc.height = height;
    desc.pitch = width;
    desc.hasAlpha = hasAlpha;
}

uint32_t TestTexture::Pattern(int column, int row) {
    return 0xFF000000u | (static_cast<uint32_t>(row & 0xFF) << 16) |
           (static_cast<uint32_t>(column & 0xFF) << 8) |
           (static_cast<uint32_t>((row >> 8) & 0xF) << 4) |
           static_cast<uint32_t>((column >> 8) & 0xF);
}

void TestTexture::FillPattern() {
    for (int row = 0; row < desc.height; ++row)
        for (int column = 0; column < desc.width; ++column) At(column, row) = Pattern(column, row);
}

std::string PathName(RasterPath path) {
    static const char* const names[] = {"Automatic", "General", "RectScalar", "RectSse2", "RectAvx2"};
    return names[static_cast<int>(path)];
}

D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

FixedFunctionState SpriteBatchState() {
    FixedFunctionState state;
    SetDefaultState(state, 640, 480);
    state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
    state.renderStates[D3DRS_LIGHTING] = FALSE;
    state.renderStates[D3DRS_ALPHABLENDENABLE] = TRUE;
    state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
    state.renderStates[D3DRS_ALPHAREF] = 0;
    state.renderStates[D3DRS_ALPHATESTENABLE] = TRUE;
    state.renderStates[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    state.renderStates[D3DRS_COLORWRITEENABLE] = 0xF;
    state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
    state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    D3DMATRIX projection{};
    projection._11 = 2.0f / 640.0f;
    projection._22 = 2.0f / 480.0f;
    projection._33 = 1.0f / 9.0f;
    projection._43 = -1.0f / 9.0f;
    projection._44 = 1.0f;
    state.projection = projection;
    state.world = IdentityMatrix();
    state.view = IdentityMatrix();
    state.stage0[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    return state;
}

void PlaceSprite(FixedFunctionState& state, const TestTexture& texture,
                 const SourceRectangle& source, float x, float y) {
    const float texW = static_cast<float>(static_cast<unsigned>(texture.desc.width));
    const float texH = static_cast<float>(static_cast<unsigned>(texture.desc.height));
    const int w = source.right - source.left;
    const int h = source.bottom - source.top;
    D3DMATRIX tex = IdentityMatrix();
    tex._11 = static_cast<float>(w) / texW;
    tex._22 = static_cast<float>(h) / texH;
    tex._31 = static_cast<float>(source.left) / texW;
    tex._32 = static_cast<float>(source.top) / texH;
    const int halfW = (w - 640) / 2;
    const int halfH = (h - 480) / 2;
    const int tx = static_cast<int>(x + static_cast<float>(halfW));
    const int ty = static_cast<int>(-y - static_cast<float>(halfH));
    D3DMATRIX world = IdentityMatrix();
    world._11 = static_cast<float>(w);
    world._22 = static_cast<float>(h);
    world._41 = static_cast<float>(tx);
    world._42 = static_cast<float>(ty);
    state.world = world;
    state.texture0 = tex;
    state.texture = &texture.desc;
}

VertexStream StreamOf(const std::vector<ColoredVertex>& vertices) {
    VertexStream stream;
    stream.data = reinterpret_cast<const uint8_t*>(vertices.data());
    stream.size = vertices.size() * sizeof(ColoredVertex);
    stream.stride = sizeof(ColoredVertex);
    stream.fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    return stream;
}

DrawRoute DrawUnitSquare(const FixedFunctionState& state, Frame& frame, RasterPath path,
                         uint32_t diffuse) {
    const std::vector<ColoredVertex> square = {
        {-0.5f, 0.5f, 1.0f, diffuse, 0.0f, 0.0f},
        {0.5f, 0.5f, 1.0f, diffuse, 1.0f, 0.0f},
        {0.5f, -0.5f, 1.0f, diffuse, 1.0f, 1.0f},
        {-0.5f, -0.5f, 1.0f, diffuse, 0.0f, 1.0f},
    };
    const ColorTarget color = frame.Color();
    const DepthTarget depth = frame.Depth();
    return DrawPrimitiveVia(path, state, color, &depth, D3DPT_TRIANGLEFAN, StreamOf(square), 0, 2);
}

void DrawSprite(FixedFunctionState& state, Frame& frame, const TestTexture& texture,
                const SourceRectangle& source, float x, float y, RasterPath path) {
    PlaceSprite(state, texture, source, x, y);
    DrawUnitSquare(state, frame, path);
}

}  // namespace d3d9sw::raster::testing
