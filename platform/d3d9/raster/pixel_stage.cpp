#include "d3d9/raster/pixel_stage.h"

#include "d3d9/raster/color_math.h"
#include "d3d9/raster/fixed_point.h"

#include <algorithm>
#include <cmath>

namespace platform::d3d9::raster {
namespace {

constexpr int64_t kHalf = int64_t{1} << (kPlaneFractionBits - 1);

int64_t RoundToInteger(int64_t planeValue) { return (planeValue + kHalf) >> kPlaneFractionBits; }

int64_t PositiveModulo(int64_t value, int64_t size) {
    const int64_t r = value % size;
    return r < 0 ? r + size : r;
}

uint32_t WriteMaskBits(DWORD enable) {
    uint32_t mask = 0;
    if (enable & D3DCOLORWRITEENABLE_RED) mask |= 0x00FF0000u;
    if (enable & D3DCOLORWRITEENABLE_GREEN) mask |= 0x0000FF00u;
    if (enable & D3DCOLORWRITEENABLE_BLUE) mask |= 0x000000FFu;
    if (enable & D3DCOLORWRITEENABLE_ALPHA) mask |= 0xFF000000u;
    return mask;
}

uint32_t StageArgument(const PixelState& state, DWORD argument, uint32_t texel, uint32_t diffuse) {
    uint32_t value;
    switch (argument & D3DTA_SELECTMASK) {
        case D3DTA_TEXTURE:
            value = texel;
            break;
        case D3DTA_TFACTOR:
            value = state.textureFactor;
            break;
        case D3DTA_CONSTANT:
            value = state.stageConstant;
            break;
        case D3DTA_SPECULAR:  // specular colours are not interpolated: black
        case D3DTA_TEMP:
            value = 0;
            break;
        default:
            value = diffuse;
            break;  // D3DTA_DIFFUSE, and D3DTA_CURRENT in stage 0
    }
    if (argument & D3DTA_COMPLEMENT) value = ~value;
    if (argument & D3DTA_ALPHAREPLICATE) value = (value >> 24) * 0x01010101u;
    return value;
}

uint32_t StageOperation(DWORD op, uint32_t arg1, uint32_t arg2, uint32_t diffuse, int shift) {
    const uint32_t a = Channel(arg1, shift);
    const uint32_t b = Channel(arg2, shift);
    switch (op) {
        case D3DTOP_SELECTARG1:
            return a;
        case D3DTOP_SELECTARG2:
            return b;
        case D3DTOP_MODULATE:
            return MulUnorm8(a, b);
        case D3DTOP_MODULATE2X:
            return std::min<uint32_t>(2 * MulUnorm8(a, b), 255);
        case D3DTOP_MODULATE4X:
            return std::min<uint32_t>(4 * MulUnorm8(a, b), 255);
        case D3DTOP_ADD:
            return std::min<uint32_t>(a + b, 255);
        default:
            return Channel(diffuse, shift);  // D3DTOP_DISABLE and unmodelled ops
    }
}

// The factor for all four channels at once, one byte each in the pixel's layout.
uint32_t BlendFactors(DWORD factor, uint32_t source, uint32_t dest) {
    const uint32_t sourceAlpha = source >> 24;
    const uint32_t destAlpha = dest >> 24;
    switch (factor) {
        case D3DBLEND_ZERO:
            return 0;
        case D3DBLEND_SRCCOLOR:
            return source;
        case D3DBLEND_INVSRCCOLOR:
            return ~source;
        case D3DBLEND_SRCALPHA:
            return sourceAlpha * 0x01010101u;
        case D3DBLEND_INVSRCALPHA:
            return (255 - sourceAlpha) * 0x01010101u;
        case D3DBLEND_DESTALPHA:
            return destAlpha * 0x01010101u;
        case D3DBLEND_INVDESTALPHA:
            return (255 - destAlpha) * 0x01010101u;
        case D3DBLEND_DESTCOLOR:
            return dest;
        case D3DBLEND_INVDESTCOLOR:
            return ~dest;
        case D3DBLEND_SRCALPHASAT:
            return 0xFF000000u | std::min(sourceAlpha, 255 - destAlpha) * 0x010101u;
        default:
            return 0xFFFFFFFFu;  // D3DBLEND_ONE
    }
}

}  // namespace

PixelState ResolvePixelState(const FixedFunctionState& state, const ColorTarget& color,
                             const DepthTarget* depth) {
    const DWORD* rs = state.renderStates;
    PixelState ps;
    ps.color = color;
    const int64_t vpLeft = state.viewport.X;
    const int64_t vpTop = state.viewport.Y;
    int64_t right = std::min<int64_t>(vpLeft + state.viewport.Width, color.width);
    int64_t bottom = std::min<int64_t>(vpTop + state.viewport.Height, color.height);
    const bool hasDepth = depth != nullptr && depth->values != nullptr;
    if (hasDepth) {
        ps.depth = *depth;
        right = std::min<int64_t>(right, depth->width);
        bottom = std::min<int64_t>(bottom, depth->height);
    }
    ps.scissor.left = static_cast<int>(std::min<int64_t>(vpLeft, color.width));
    ps.scissor.top = static_cast<int>(std::min<int64_t>(vpTop, color.height));
    ps.scissor.right = static_cast<int>(std::max<int64_t>(right, ps.scissor.left));
    ps.scissor.bottom = static_cast<int>(std::max<int64_t>(bottom, ps.scissor.top));

    ps.depthTest = hasDepth && rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    ps.depthWrite = ps.depthTest && rs[D3DRS_ZWRITEENABLE] != FALSE;
    ps.depthFunc = rs[D3DRS_ZFUNC];
    ps.alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    ps.alphaFunc = rs[D3DRS_ALPHAFUNC];
    ps.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    ps.blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    ps.srcBlend = rs[D3DRS_SRCBLEND];
    ps.destBlend = rs[D3DRS_DESTBLEND];
    ps.blendOp = rs[D3DRS_BLENDOP];
    ps.writeMask = WriteMaskBits(rs[D3DRS_COLORWRITEENABLE]);

    const Texture2D* texture = state.texture;
    if (texture != nullptr && texture->texels != nullptr && texture->width > 0 &&
        texture->height > 0)
        ps.texture = texture;
    ps.addressU = state.sampler0[D3DSAMP_ADDRESSU];
    ps.addressV = state.sampler0[D3DSAMP_ADDRESSV];
    ps.borderColor = state.sampler0[D3DSAMP_BORDERCOLOR];
    ps.colorOp = state.stage0[D3DTSS_COLOROP];
    ps.colorArg1 = state.stage0[D3DTSS_COLORARG1];
    ps.colorArg2 = state.stage0[D3DTSS_COLORARG2];
    ps.alphaOp = state.stage0[D3DTSS_ALPHAOP];
    ps.alphaArg1 = state.stage0[D3DTSS_ALPHAARG1];
    ps.alphaArg2 = state.stage0[D3DTSS_ALPHAARG2];
    ps.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    ps.stageConstant = state.stage0[D3DTSS_CONSTANT];
    return ps;
}

int AddressTexel(int64_t index, int size, DWORD addressMode) {
    switch (addressMode) {
        case D3DTADDRESS_CLAMP:
            return static_cast<int>(std::clamp<int64_t>(index, 0, size - 1));
        case D3DTADDRESS_BORDER:
            return index >= 0 && index < size ? static_cast<int>(index) : -1;
        case D3DTADDRESS_MIRROR: {
            const int64_t m = PositiveModulo(index, 2 * int64_t{size});
            return static_cast<int>(m < size ? m : 2 * int64_t{size} - 1 - m);
        }
        case D3DTADDRESS_MIRRORONCE: {
            const int64_t mirrored = index < 0 ? -1 - index : index;
            return static_cast<int>(std::min<int64_t>(mirrored, size - 1));
        }
        default:
            if ((size & (size - 1)) == 0) return static_cast<int>(index & (size - 1));
            return static_cast<int>(PositiveModulo(index, size));
    }
}

uint16_t DepthValue(int64_t planeValue) {
    return static_cast<uint16_t>(std::clamp<int64_t>(RoundToInteger(planeValue), 0, 65535));
}

uint32_t ColorChannel(int64_t planeValue) {
    return static_cast<uint32_t>(std::clamp<int64_t>(RoundToInteger(planeValue), 0, 255));
}

uint32_t SampleTexture(const PixelState& state, int64_t s, int64_t t) {
    const Texture2D& texture = *state.texture;
    const int i = TexelIndex(s, texture.width, state.addressU);
    const int j = TexelIndex(t, texture.height, state.addressV);
    if (i < 0 || j < 0) return state.borderColor;
    const uint32_t texel = texture.texels[j * texture.pitch + i];
    return texture.hasAlpha ? texel : texel | 0xFF000000u;
}

uint32_t CombineStage0(const PixelState& state, uint32_t texel, uint32_t diffuse) {
    if (state.texture == nullptr || state.colorOp == D3DTOP_DISABLE) return diffuse;
    const uint32_t c1 = StageArgument(state, state.colorArg1, texel, diffuse);
    const uint32_t c2 = StageArgument(state, state.colorArg2, texel, diffuse);
    const uint32_t a1 = StageArgument(state, state.alphaArg1, texel, diffuse);
    const uint32_t a2 = StageArgument(state, state.alphaArg2, texel, diffuse);
    return PackArgb(StageOperation(state.alphaOp, a1, a2, diffuse, 24),
                    StageOperation(state.colorOp, c1, c2, diffuse, 16),
                    StageOperation(state.colorOp, c1, c2, diffuse, 8),
                    StageOperation(state.colorOp, c1, c2, diffuse, 0));
}

uint32_t Blend(const PixelState& state, uint32_t source, uint32_t dest) {
    const uint32_t sourceFactors = BlendFactors(state.srcBlend, source, dest);
    const uint32_t destFactors = BlendFactors(state.destBlend, source, dest);
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int32_t s = static_cast<int32_t>(Channel(source, shift));
        const int32_t d = static_cast<int32_t>(Channel(dest, shift));
        const int32_t sf = static_cast<int32_t>(Channel(sourceFactors, shift));
        const int32_t df = static_cast<int32_t>(Channel(destFactors, shift));
        int32_t value;
        switch (state.blendOp) {
            case D3DBLENDOP_SUBTRACT:
                value = s * sf - d * df;
                break;
            case D3DBLENDOP_REVSUBTRACT:
                value = d * df - s * sf;
                break;
            case D3DBLENDOP_MIN:
                value = std::min(s, d) * 255;
                break;
            case D3DBLENDOP_MAX:
                value = std::max(s, d) * 255;
                break;
            default:
                value = s * sf + d * df;
                break;
        }
        const uint32_t channel = Div255Round(static_cast<uint32_t>(std::max(value, 0)));
        result |= std::min<uint32_t>(channel, 255) << shift;
    }
    return result;
}

void WriteFragment(const PixelState& state, int x, int y, uint32_t source, uint16_t depth) {
    if (state.alphaTest && !PassesComparison(state.alphaFunc, source >> 24, state.alphaRef)) return;
    if (state.depthTest) {
        uint16_t& stored = state.depth.values[y * state.depth.pitch + x];
        if (!PassesComparison(state.depthFunc, depth, stored)) return;
        if (state.depthWrite) stored = depth;
    }
    uint32_t& dest = state.color.pixels[y * state.color.pitch + x];
    const uint32_t result = state.blend ? Blend(state, source, dest) : source;
    dest = (result & state.writeMask) | (dest & ~state.writeMask);
}

void ShadeSpan(const PixelState& state, const TriangleSetup& triangle, int y, int xBegin,
               int xEnd) {
    int64_t z = triangle.depth.At(xBegin, y);
    if (!triangle.perspective) {
        int64_t s = triangle.s.At(xBegin, y);
        int64_t t = triangle.t.At(xBegin, y);
        int64_t color[4];
        for (int c = 0; c < 4; ++c) color[c] = triangle.color[c].At(xBegin, y);
        for (int x = xBegin; x < xEnd; ++x) {
            const uint32_t diffuse = PackArgb(ColorChannel(color[3]), ColorChannel(color[2]),
                                              ColorChannel(color[1]), ColorChannel(color[0]));
            const uint32_t texel = state.texture ? SampleTexture(state, s, t) : 0;
            WriteFragment(state, x, y, CombineStage0(state, texel, diffuse), DepthValue(z));
            z += triangle.depth.dx;
            s += triangle.s.dx;
            t += triangle.t.dx;
            for (int c = 0; c < 4; ++c) color[c] += triangle.color[c].dx;
        }
        return;
    }
    for (int x = xBegin; x < xEnd; ++x) {
        const double w = 1.0 / triangle.invW.At(x, y);
        uint32_t channels[4];
        for (int c = 0; c < 4; ++c)
            channels[c] = ColorChannel(ToFixed(triangle.colorOverW[c].At(x, y) * w));
        const uint32_t diffuse = PackArgb(channels[3], channels[2], channels[1], channels[0]);
        const uint32_t texel = state.texture
                                   ? SampleTexture(state, ToFixed(triangle.sOverW.At(x, y) * w),
                                                   ToFixed(triangle.tOverW.At(x, y) * w))
                                   : 0;
        WriteFragment(state, x, y, CombineStage0(state, texel, diffuse), DepthValue(z));
        z += triangle.depth.dx;
    }
}

}  // namespace platform::d3d9::raster
