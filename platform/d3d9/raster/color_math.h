// 8-bit colour arithmetic shared by the general pixel stage and the rectangle kernels,
// so that both round every product the same way.
#pragma once

#include <d3d9.h>

#include <cstdint>

namespace platform::d3d9::raster {

// round(x / 255) without a division: exact up to 255 * 255; above that (additive blends)
// never below 255, which callers saturate to.
constexpr uint32_t Div255Round(uint32_t x) {
    const uint32_t biased = x + 128;
    return (biased + (biased >> 8)) >> 8;
}

// round(a * b / 255) for two 8-bit values: 255 is the identity.
constexpr uint32_t MulUnorm8(uint32_t a, uint32_t b) { return Div255Round(a * b); }

constexpr uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFFu; }

constexpr uint32_t PackArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The comparison of the depth and alpha tests: `incoming` against `stored`.
constexpr bool PassesComparison(DWORD func, uint32_t incoming, uint32_t stored) {
    switch (func) {
        case D3DCMP_NEVER:
            return false;
        case D3DCMP_LESS:
            return incoming < stored;
        case D3DCMP_EQUAL:
            return incoming == stored;
        case D3DCMP_LESSEQUAL:
            return incoming <= stored;
        case D3DCMP_GREATER:
            return incoming > stored;
        case D3DCMP_NOTEQUAL:
            return incoming != stored;
        case D3DCMP_GREATEREQUAL:
            return incoming >= stored;
        default:
            return true;  // D3DCMP_ALWAYS and values outside the enumeration
    }
}

}  // namespace platform::d3d9::raster
