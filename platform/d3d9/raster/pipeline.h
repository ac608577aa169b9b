// The software rasteriser's entry: draws primitives of untransformed, lit-off
// vertices through the Direct3D 9 fixed-function subset into 32-bit colour and
// 16-bit depth targets. The device gathers its state into FixedFunctionState and
// calls DrawPrimitive; nothing here knows about devices, resources or windows.
#pragma once

#include <d3d9.h>

#include <cstddef>
#include <cstdint>

namespace platform::d3d9::raster {

class ColorTiles;
class DepthTiles;

// 0xAARRGGBB pixels (memory order blue, green, red, alpha), rows from the top.
struct ColorTarget {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    ptrdiff_t pitch = 0;  // in pixels
    // Null: every pixel is written out. Otherwise the tiles hold back clears.
    ColorTiles* tiles = nullptr;
};

struct DepthTarget {
    uint16_t* values = nullptr;
    int width = 0;
    int height = 0;
    ptrdiff_t pitch = 0;  // in values
    // Null: every value is kept in `values`. Otherwise the tiles say which are.
    DepthTiles* tiles = nullptr;
};

struct Texture2D {
    const uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
    ptrdiff_t pitch = 0;   // in texels
    bool hasAlpha = true;  // false for D3DFMT_X8R8G8B8: alpha reads as 1.0
};

struct FixedFunctionState {
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DMATRIX texture0;
    DWORD renderStates[256];   // indexed by D3DRENDERSTATETYPE
    DWORD stage0[33];          // indexed by D3DTEXTURESTAGESTATETYPE
    DWORD sampler0[14];        // indexed by D3DSAMPLERSTATETYPE
    const Texture2D* texture;  // stage 0; null when none is bound
    D3DVIEWPORT9 viewport;
};

struct VertexStream {
    const uint8_t* data = nullptr;  // stream 0 from its offset
    size_t size = 0;                // bytes readable from data
    UINT stride = 0;
    DWORD fvf = 0;
};

// Sets every state to Direct3D 9's device defaults (as after CreateDevice or Reset).
void SetDefaultState(FixedFunctionState& state, int viewportWidth, int viewportHeight);

// Draws `primitiveCount` primitives starting at `startVertex`. Vertices outside the
// stream are not read (the call then draws nothing). `depth` may be null.
void DrawPrimitive(const FixedFunctionState& state, const ColorTarget& color,
                   const DepthTarget* depth, D3DPRIMITIVETYPE type, const VertexStream& stream,
                   UINT startVertex, UINT primitiveCount);

}  // namespace platform::d3d9::raster
