// The per-pixel half of the pipeline: point sampling, texture stage 0, alpha test,
// depth test, blending and the colour write mask, for spans of a set-up triangle.
#pragma once

#include "d3d9/raster/triangle_setup.h"

#include <cstdint>

namespace platform::d3d9::raster {

// The render states that act on pixels, read once per draw.
struct PixelState {
    ColorTarget color;
    DepthTarget depth;  // values null when there is no depth buffer
    PixelRect scissor;  // viewport within both targets

    bool depthTest = false;
    bool depthWrite = false;
    DWORD depthFunc = D3DCMP_LESSEQUAL;
    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;
    bool blend = false;
    DWORD srcBlend = D3DBLEND_ONE;
    DWORD destBlend = D3DBLEND_ZERO;
    DWORD blendOp = D3DBLENDOP_ADD;
    uint32_t writeMask = 0xFFFFFFFF;  // bits of an A8R8G8B8 pixel that may change

    const Texture2D* texture = nullptr;  // null: stage 0 passes the diffuse colour
    DWORD addressU = D3DTADDRESS_WRAP;
    DWORD addressV = D3DTADDRESS_WRAP;
    uint32_t borderColor = 0;
    DWORD colorOp = D3DTOP_MODULATE;
    DWORD colorArg1 = D3DTA_TEXTURE;
    DWORD colorArg2 = D3DTA_CURRENT;
    DWORD alphaOp = D3DTOP_SELECTARG1;
    DWORD alphaArg1 = D3DTA_TEXTURE;
    DWORD alphaArg2 = D3DTA_CURRENT;
    uint32_t textureFactor = 0xFFFFFFFF;
    uint32_t stageConstant = 0xFFFFFFFF;
};

PixelState ResolvePixelState(const FixedFunctionState& state, const ColorTarget& color,
                             const DepthTarget* depth);

// Texel coordinate (32.32 fixed point, in texels) to the texel it falls in, before
// addressing: snapped to 1/256 texel first, as hardware does, so that a pixel centre on
// a texel corner never falls to the texel before it.
inline int64_t TexelFloor(int64_t coordinate) {
    constexpr int kSnapShift = kPlaneFractionBits - 8;
    return ((coordinate + (int64_t{1} << (kSnapShift - 1))) >> kSnapShift) >> 8;
}

// A texel index brought into [0, size) by the address mode; -1 outside a
// border-addressed texture.
int AddressTexel(int64_t index, int size, DWORD addressMode);

inline int TexelIndex(int64_t coordinate, int size, DWORD addressMode) {
    return AddressTexel(TexelFloor(coordinate), size, addressMode);
}

// Depth plane value to the 16-bit depth buffer's scale.
uint16_t DepthValue(int64_t planeValue);

// Colour plane value to an 8-bit channel.
uint32_t ColorChannel(int64_t planeValue);

uint32_t SampleTexture(const PixelState& state, int64_t s, int64_t t);

// Stage 0's colour and alpha operations on a texel and the diffuse colour.
uint32_t CombineStage0(const PixelState& state, uint32_t texel, uint32_t diffuse);

// The blend of `source` over `dest` with the state's factors and operation.
uint32_t Blend(const PixelState& state, uint32_t source, uint32_t dest);

// Tests and writes one shaded fragment.
void WriteFragment(const PixelState& state, int x, int y, uint32_t source, uint16_t depth);

void ShadeSpan(const PixelState& state, const TriangleSetup& triangle, int y, int xBegin, int xEnd);

}  // namespace platform::d3d9::raster
