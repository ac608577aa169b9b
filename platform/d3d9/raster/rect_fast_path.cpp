#include "d3d9/raster/rect_fast_path.h"

#include "d3d9/raster/fixed_point.h"
#include "d3d9/raster/tiled_rect.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::d3d9::raster {
namespace {

bool IsAxisAlignedRect(const ScreenVertex (&v)[4]) {
    const bool horizontalFirst =
        v[0].y == v[1].y && v[2].y == v[3].y && v[1].x == v[2].x && v[3].x == v[0].x;
    const bool verticalFirst =
        v[0].x == v[1].x && v[2].x == v[3].x && v[1].y == v[2].y && v[3].y == v[0].y;
    return (horizontalFirst || verticalFirst) && v[0].x != v[2].x && v[0].y != v[2].y;
}

bool IsPlainArgument(DWORD argument, DWORD select) { return argument == select; }

bool IsDiffuseArgument(DWORD argument) {
    return argument == D3DTA_DIFFUSE || argument == D3DTA_CURRENT;
}

// Texture alpha as the stage's alpha.
bool AlphaIsTextureAlpha(const PixelState& p) {
    return (p.alphaOp == D3DTOP_SELECTARG1 && IsPlainArgument(p.alphaArg1, D3DTA_TEXTURE)) ||
           (p.alphaOp == D3DTOP_SELECTARG2 && IsPlainArgument(p.alphaArg2, D3DTA_TEXTURE));
}

enum class ColorSource { Texture, TextureTimesDiffuse, Unsupported };

ColorSource StageColorSource(const PixelState& p) {
    if (p.colorOp == D3DTOP_SELECTARG1 && IsPlainArgument(p.colorArg1, D3DTA_TEXTURE))
        return ColorSource::Texture;
    if (p.colorOp == D3DTOP_SELECTARG2 && IsPlainArgument(p.colorArg2, D3DTA_TEXTURE))
        return ColorSource::Texture;
    if (p.colorOp == D3DTOP_MODULATE &&
        ((p.colorArg1 == D3DTA_TEXTURE && IsDiffuseArgument(p.colorArg2)) ||
         (p.colorArg2 == D3DTA_TEXTURE && IsDiffuseArgument(p.colorArg1))))
        return ColorSource::TextureTimesDiffuse;
    return ColorSource::Unsupported;
}

// The states the kernels reproduce; everything else takes the general path.
bool KernelParamsFor(const PixelState& p, uint32_t diffuse, RectKernelParams& params) {
    if (p.writeMask != 0xFFFFFFFFu) return false;
    if (p.blend) {
        const bool over = p.blendOp == D3DBLENDOP_ADD && p.srcBlend == D3DBLEND_SRCALPHA &&
                          p.destBlend == D3DBLEND_INVSRCALPHA;
        const bool replace = p.blendOp == D3DBLENDOP_ADD && p.srcBlend == D3DBLEND_ONE &&
                             p.destBlend == D3DBLEND_ZERO;
        if (!over && !replace) return false;
        params.blend = over;
    }
    const bool textured = p.texture != nullptr && p.colorOp != D3DTOP_DISABLE;
    if (textured) {
        if (p.addressU == D3DTADDRESS_BORDER || p.addressV == D3DTADDRESS_BORDER) return false;
        if (!AlphaIsTextureAlpha(p)) return false;
        const ColorSource source = StageColorSource(p);
        if (source == ColorSource::Unsupported) return false;
        params.alphaOr = p.texture->hasAlpha ? 0 : 0xFF000000u;
        // Times 255 is exact, so a white diffuse needs no multiply.
        params.modulate =
            source == ColorSource::TextureTimesDiffuse && (diffuse & 0xFFFFFF) != 0xFFFFFF;
        params.diffuse = diffuse;
    }
    params.alphaTest = p.alphaTest;
    params.alphaFunc = p.alphaFunc;
    params.alphaRef = p.alphaRef;
    params.depthTest = p.depthTest;
    params.depthFunc = p.depthFunc;
    params.depthWrite = p.depthWrite;
    return true;
}

enum class TexelRun { Ascending, Listed };

// The texel indices of `count` pixels stepping `step` from `start`. At 1:1 inside the
// texture they simply ascend from the first, and any address mode leaves them alone;
// otherwise each is worked out and listed in `indices`.
TexelRun MapTexels(int64_t start, int64_t step, int count, int size, DWORD addressMode,
                   std::vector<int>& indices) {
    indices.resize(count);
    const int64_t first = TexelFloor(start);
    if (step == (int64_t{1} << kPlaneFractionBits) && first >= 0 && first + count <= size) {
        indices[0] = static_cast<int>(first);
        return TexelRun::Ascending;
    }
    int64_t coordinate = start;
    for (int k = 0; k < count; ++k, coordinate += step)
        indices[k] = TexelIndex(coordinate, size, addressMode);
    return TexelRun::Listed;
}

bool ConstantOverRect(const FixedPlane& plane) { return plane.dx == 0 && plane.dy == 0; }

bool SamePlanes(const TriangleSetup& a, const TriangleSetup& b) {
    if (!(a.s == b.s && a.t == b.t && a.depth == b.depth)) return false;
    for (int c = 0; c < 4; ++c)
        if (!(a.color[c] == b.color[c])) return false;
    return true;
}

// Both halves solve their planes from the same differences, and so come out bit for bit
// alike, when w, depth and colour are the same at every corner and s follows x alone and
// t follows y alone, all finite: the second half then needs no setup of its own.
bool HalvesAlike(const ScreenVertex (&v)[4]) {
    for (const ScreenVertex& u : v) {
        if (u.invW != v[0].invW || u.depth != v[0].depth || !std::isfinite(u.depth) ||
            !std::isfinite(u.s) || !std::isfinite(u.t))
            return false;
        for (int c = 0; c < 4; ++c)
            if (u.color[c] != v[0].color[c] || !std::isfinite(u.color[c])) return false;
    }
    // The corners beside v0 along x and along y; the same two are beside v2.
    const int alongX = v[0].y == v[1].y ? 1 : 3, alongY = 4 - alongX;
    return v[0].s == v[alongY].s && v[2].s == v[alongX].s && v[0].t == v[alongX].t &&
           v[2].t == v[alongY].t;
}

}  // namespace

bool DrawScreenAlignedRect(const PixelState& pixels, const ScreenVertex (&fan)[4], DWORD cullMode,
                           KernelIsa isa) {
    if (!IsAxisAlignedRect(fan)) return false;
    TriangleSetup first;
    const SetupResult r1 = SetupTriangle(fan[0], fan[1], fan[2], cullMode, pixels.scissor, first);
    // Both halves must interpolate identically for the rectangle to be one block.
    if (HalvesAlike(fan)) {
        // Alike halves wind alike and have the same bounds.
        if (r1 == SetupResult::Culled) return true;
        if (r1 != SetupResult::Visible) return false;
    } else {
        TriangleSetup second;
        const SetupResult r2 =
            SetupTriangle(fan[0], fan[2], fan[3], cullMode, pixels.scissor, second);
        if (r1 == SetupResult::Culled && r2 == SetupResult::Culled) return true;
        if (r1 != SetupResult::Visible || r2 != SetupResult::Visible) return false;
        if (first.perspective || second.perspective || !SamePlanes(first, second)) return false;
    }
    if (!ConstantOverRect(first.depth) || first.s.dy != 0 || first.t.dx != 0) return false;
    for (const FixedPlane& channel : first.color)
        if (!ConstantOverRect(channel)) return false;

    const uint32_t diffuse =
        (ColorChannel(first.color[3].origin) << 24) | (ColorChannel(first.color[2].origin) << 16) |
        (ColorChannel(first.color[1].origin) << 8) | ColorChannel(first.color[0].origin);
    RectKernelParams params;
    if (!KernelParamsFor(pixels, diffuse, params)) return false;
    params.depth = DepthValue(first.depth.origin);

    // Left and top edges take the pixel centres on them, right and bottom ones do not.
    constexpr int64_t kPixel = int64_t{1} << kSubpixelBits;
    const int64_t minX = std::min(fan[0].x, fan[2].x), maxX = std::max(fan[0].x, fan[2].x);
    const int64_t minY = std::min(fan[0].y, fan[2].y), maxY = std::max(fan[0].y, fan[2].y);
    const int left =
        static_cast<int>(std::max<int64_t>(CeilDiv(minX, kPixel), pixels.scissor.left));
    const int right =
        static_cast<int>(std::min<int64_t>(CeilDiv(maxX, kPixel), pixels.scissor.right));
    const int top = static_cast<int>(std::max<int64_t>(CeilDiv(minY, kPixel), pixels.scissor.top));
    const int bottom =
        static_cast<int>(std::min<int64_t>(CeilDiv(maxY, kPixel), pixels.scissor.bottom));
    if (left >= right || top >= bottom) return true;
    const int width = right - left;
    const int height = bottom - top;

    thread_local std::vector<uint32_t> gathered;
    thread_local std::vector<int> columns;
    thread_local std::vector<int> texelRowIndices;
    const uint32_t* texels = nullptr;
    ptrdiff_t texelPitch = 0;
    const bool textured = pixels.texture != nullptr && pixels.colorOp != D3DTOP_DISABLE;
    if (!textured) {
        gathered.assign(width, diffuse);
        texels = gathered.data();
    } else {
        const Texture2D& texture = *pixels.texture;
        const TexelRun columnRun = MapTexels(first.s.At(left, top), first.s.dx, width,
                                             texture.width, pixels.addressU, columns);
        const TexelRun rowRun = MapTexels(first.t.At(left, top), first.t.dy, height, texture.height,
                                          pixels.addressV, texelRowIndices);
        if (columnRun == TexelRun::Ascending && rowRun == TexelRun::Ascending) {
            texels = texture.texels + texelRowIndices[0] * texture.pitch + columns[0];
            texelPitch = texture.pitch;
        } else {
            // Scaled, wrapped or mirrored: the texels are gathered into rows of their own.
            gathered.resize(static_cast<size_t>(width) * height);
            for (int r = 0; r < height; ++r) {
                const int j =
                    rowRun == TexelRun::Ascending ? texelRowIndices[0] + r : texelRowIndices[r];
                const uint32_t* texelRow = texture.texels + j * texture.pitch;
                uint32_t* gatheredRow = gathered.data() + static_cast<size_t>(r) * width;
                for (int k = 0; k < width; ++k)
                    gatheredRow[k] =
                        texelRow[columnRun == TexelRun::Ascending ? columns[0] + k : columns[k]];
            }
            texels = gathered.data();
            texelPitch = width;
        }
    }

    RectBlock block;
    block.color = pixels.color.pixels + top * pixels.color.pitch + left;
    block.colorPitch = pixels.color.pitch;
    block.depth =
        params.depthTest ? pixels.depth.values + top * pixels.depth.pitch + left : nullptr;
    block.depthPitch = pixels.depth.pitch;
    block.texels = texels;
    block.texelPitch = texelPitch;
    block.width = width;
    block.height = height;
    if ((params.depthTest && pixels.depth.tiles != nullptr) || pixels.color.tiles != nullptr)
        DrawRectOverTiles(SelectRectKernel(isa), params, block, {left, top, right, bottom},
                          pixels.color, pixels.depth);
    else
        SelectRectKernel(isa)(params, block);
    return true;
}

}  // namespace platform::d3d9::raster
