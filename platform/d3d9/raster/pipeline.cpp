#include "d3d9/raster/pipeline.h"

#include "d3d9/raster/clipper.h"
#include "d3d9/raster/color_tiles.h"
#include "d3d9/raster/depth_tiles.h"
#include "d3d9/raster/draw_paths.h"
#include "d3d9/raster/edge_walk.h"
#include "d3d9/raster/pixel_stage.h"
#include "d3d9/raster/rect_fast_path.h"
#include "d3d9/raster/triangle_setup.h"
#include "d3d9/raster/vertex_input.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace platform::d3d9::raster {
namespace {

struct SpanTarget {
    const PixelState* state;
    const TriangleSetup* triangle;
};

void ShadeSpanOf(void* context, int y, int xBegin, int xEnd) {
    const auto* target = static_cast<const SpanTarget*>(context);
    ShadeSpan(*target->state, *target->triangle, y, xBegin, xEnd);
}

// Counted in 64 bits: three times a 32-bit primitive count does not fit in 32.
uint64_t VertexCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    switch (type) {
        case D3DPT_TRIANGLELIST:
            return 3 * uint64_t{primitiveCount};
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return uint64_t{primitiveCount} + 2;
        default:
            return 0;  // points and lines are outside the subset
    }
}

KernelIsa KernelIsaFor(RasterPath path) {
    switch (path) {
        case RasterPath::RectScalar:
            return KernelIsa::Scalar;
        case RasterPath::RectSse2:
            return KernelIsa::Sse2;
        case RasterPath::RectAvx2:
            return KernelIsa::Avx2;
        default:
            return BestKernelIsa();
    }
}

bool IsFinite(const ClipVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

class TriangleRasterizer {
public:
    TriangleRasterizer(const FixedFunctionState& state, const PixelState& pixels)
        : pixels(pixels),
          viewport(state.viewport),
          clipper(static_cast<int>(state.viewport.Width), static_cast<int>(state.viewport.Height)),
          cullMode(state.renderStates[D3DRS_CULLMODE]),
          flatShading(state.renderStates[D3DRS_SHADEMODE] == D3DSHADE_FLAT),
          textureWidth(pixels.texture ? pixels.texture->width : 1),
          textureHeight(pixels.texture ? pixels.texture->height : 1) {}

    // The fan (f0 f1 f2) (f0 f2 f3) through a rectangle kernel when it is a
    // screen-aligned rectangle needing no clipping; false when it was not drawn.
    bool DrawRect(const ClipVertex (&fan)[4], KernelIsa isa) const {
        for (const ClipVertex& v : fan)
            if (!IsFinite(v) || clipper.Outcode(v) != 0) return false;
        ScreenVertex screen[4] = {Screen(fan[0]), Screen(fan[1]), Screen(fan[2]), Screen(fan[3])};
        // Both triangles take the first vertex's colour.
        if (flatShading)
            for (ScreenVertex& v : screen) std::copy_n(screen[0].color, 4, v.color);
        return DrawScreenAlignedRect(pixels, screen, cullMode, isa);
    }

    void Draw(const ClipVertex& a, const ClipVertex& bIn, const ClipVertex& cIn) const {
        if (!IsFinite(a) || !IsFinite(bIn) || !IsFinite(cIn)) return;
        ClipVertex b = bIn;
        ClipVertex c = cIn;
        ShadeFlat(a, b);
        ShadeFlat(a, c);
        const unsigned ca = clipper.Outcode(a);
        const unsigned cb = clipper.Outcode(b);
        const unsigned cc = clipper.Outcode(c);
        if ((ca | cb | cc) == 0) {
            Rasterize(Screen(a), Screen(b), Screen(c));
            return;
        }
        if ((ca & cb & cc) != 0) return;
        ClipPolygon polygon;
        clipper.ClipTriangle(a, b, c, polygon);
        if (polygon.count < 3) return;
        ScreenVertex screen[ClipPolygon::kMaxVertices];
        for (int i = 0; i < polygon.count; ++i) screen[i] = Screen(polygon.vertices[i]);
        for (int i = 1; i + 1 < polygon.count; ++i) Rasterize(screen[0], screen[i], screen[i + 1]);
    }

private:
    // Flat shading takes the colour of the triangle's first vertex, `provoking`.
    void ShadeFlat(const ClipVertex& provoking, ClipVertex& v) const {
        if (flatShading)
            for (int ch = 0; ch < 4; ++ch) v.color[ch] = provoking.color[ch];
    }

    ScreenVertex Screen(const ClipVertex& v) const {
        return ToScreen(v, viewport, textureWidth, textureHeight);
    }

    void Rasterize(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const {
        TriangleSetup setup;
        if (SetupTriangle(a, b, c, cullMode, pixels.scissor, setup) != SetupResult::Visible) return;
        SpanTarget target{&pixels, &setup};
        WalkTriangle(setup, ShadeSpanOf, &target);
    }

    const PixelState& pixels;
    D3DVIEWPORT9 viewport;
    Clipper clipper;
    DWORD cullMode;
    bool flatShading;
    int textureWidth;
    int textureHeight;
};

}  // namespace

DrawRoute DrawPrimitiveVia(RasterPath path, const FixedFunctionState& state,
                           const ColorTarget& color, const DepthTarget* depth,
                           D3DPRIMITIVETYPE type, const VertexStream& stream, UINT startVertex,
                           UINT primitiveCount) {
    const uint64_t vertexCount = VertexCount(type, primitiveCount);
    if (primitiveCount == 0 || vertexCount == 0 || color.pixels == nullptr ||
        stream.data == nullptr)
        return DrawRoute::General;
    const FvfLayout layout = DecodeFvf(stream.fvf, state.stage0[D3DTSS_TEXCOORDINDEX] & 0xFFFF);
    if (!layout.drawable || stream.stride < layout.size) return DrawRoute::General;
    // Every vertex read must lie inside the stream; this also bounds the count.
    if (stream.size < layout.size) return DrawRoute::General;
    const uint64_t lastReadable = (stream.size - layout.size) / stream.stride;
    if (uint64_t{startVertex} + vertexCount - 1 > lastReadable) return DrawRoute::General;

    const PixelState pixels = ResolvePixelState(state, color, depth);
    if (pixels.scissor.left >= pixels.scissor.right || pixels.scissor.top >= pixels.scissor.bottom)
        return DrawRoute::General;

    const VertexProcessor processor(state, layout);
    const uint8_t* first = stream.data + uint64_t{startVertex} * stream.stride;
    const TriangleRasterizer rasterizer(state, pixels);
    if (path != RasterPath::GeneralOnly && type == D3DPT_TRIANGLEFAN && primitiveCount == 2) {
        const ClipVertex fan[4] = {processor.Process(first),
                                   processor.Process(first + stream.stride),
                                   processor.Process(first + 2 * stream.stride),
                                   processor.Process(first + 3 * stream.stride)};
        if (rasterizer.DrawRect(fan, KernelIsaFor(path))) return DrawRoute::RectKernel;
    }
    thread_local std::vector<ClipVertex> vertices;
    vertices.resize(vertexCount);
    for (uint64_t i = 0; i < vertexCount; ++i)
        vertices[i] = processor.Process(first + i * stream.stride);
    // The pixel stage reads and writes pixels and depth values one by one.
    if (pixels.color.tiles) pixels.color.tiles->MaterialiseAll(pixels.color);
    DepthTiles* tiles = pixels.depthTest ? pixels.depth.tiles : nullptr;
    if (tiles) tiles->MaterialiseAll(pixels.depth);
    for (uint64_t p = 0; p < primitiveCount; ++p) {
        switch (type) {
            case D3DPT_TRIANGLELIST:
                rasterizer.Draw(vertices[3 * p], vertices[3 * p + 1], vertices[3 * p + 2]);
                break;
            case D3DPT_TRIANGLESTRIP:
                // Every other triangle of a strip is reversed to keep one winding.
                if (p % 2 == 0)
                    rasterizer.Draw(vertices[p], vertices[p + 1], vertices[p + 2]);
                else
                    rasterizer.Draw(vertices[p], vertices[p + 2], vertices[p + 1]);
                break;
            default:
                rasterizer.Draw(vertices[0], vertices[p + 1], vertices[p + 2]);
                break;
        }
    }
    if (tiles && pixels.depthWrite) tiles->ForgetRanges();
    return DrawRoute::General;
}

void DrawPrimitive(const FixedFunctionState& state, const ColorTarget& color,
                   const DepthTarget* depth, D3DPRIMITIVETYPE type, const VertexStream& stream,
                   UINT startVertex, UINT primitiveCount) {
    DrawPrimitiveVia(RasterPath::Automatic, state, color, depth, type, stream, startVertex,
                     primitiveCount);
}

}  // namespace platform::d3d9::raster
