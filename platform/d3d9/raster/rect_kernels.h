// Pixel kernels for screen-aligned rectangles of constant depth and colour: the pixel
// stage of the general path, restricted to what the sprite batch sets, a whole block
// at a time and several pixels per instruction.
#pragma once

#include <d3d9.h>

#include <cstddef>
#include <cstdint>

namespace platform::d3d9::raster {

struct RectKernelParams {
    uint32_t alphaOr = 0;   // 0xFF000000 for a texture without alpha
    bool modulate = false;  // colour channels times `diffuse`
    uint32_t diffuse = 0xFFFFFFFF;
    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;
    bool depthTest = false;
    DWORD depthFunc = D3DCMP_LESSEQUAL;
    bool depthWrite = false;
    uint16_t depth = 0;
    bool blend = false;  // source alpha over inverse source alpha, added
    // The block's pixels are `clearColor`, not yet written: the kernel writes each one.
    // Only with the depth test off.
    bool overClear = false;
    uint32_t clearColor = 0;
};

// A block of `width` x `height` pixels; row r reads its texels from texels + r * texelPitch.
struct RectBlock {
    uint32_t* color;
    ptrdiff_t colorPitch;
    uint16_t* depth;  // may be null when the depth test is off
    ptrdiff_t depthPitch;
    const uint32_t* texels;
    ptrdiff_t texelPitch;
    int width;
    int height;
};

// True when every pixel of the block passed the alpha and depth tests.
using RectKernel = bool (*)(const RectKernelParams& params, const RectBlock& block);

enum class KernelIsa { Scalar, Sse2, Avx2 };

// The widest instruction set this processor runs.
KernelIsa BestKernelIsa();

// The kernel for `isa`; AVX2 falls back to SSE2 on a processor without it.
RectKernel SelectRectKernel(KernelIsa isa);

}  // namespace platform::d3d9::raster
