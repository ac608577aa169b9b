// Frames, textures and the sprite batch's set-up, shared by the rasteriser's tests and
// its frame benchmark.
#pragma once

#include "d3d9/raster/color_tiles.h"
#include "d3d9/raster/depth_tiles.h"
#include "d3d9/raster/draw_paths.h"
#include "d3d9/raster/pipeline.h"

#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace platform::d3d9::raster::testing {

// How a frame keeps its pixels and depths: in tiles, as the device does, or every one
// written out.
enum class TargetStore { Tiled, PerPixel };

struct Frame {
    Frame(int width, int height, uint32_t clearColor = 0xFF8080FF,
          TargetStore store = TargetStore::Tiled)
        : width(width),
          height(height),
          clearColor(clearColor),
          color(size_t(width) * height, clearColor),
          depth(size_t(width) * height, 0xFFFF),
          colorTiles(width, height),
          depthTiles(width, height, 0xFFFF),
          store(store) {}
    ColorTarget Color() {
        return {color.data(), width, height, width,
                store == TargetStore::Tiled ? &colorTiles : nullptr};
    }
    DepthTarget Depth() {
        return {depth.data(), width, height, width,
                store == TargetStore::Tiled ? &depthTiles : nullptr};
    }
    // Writes out what the tiles hold back, for reading `color` and `depth`.
    void Materialise() {
        if (store != TargetStore::Tiled) return;
        colorTiles.MaterialiseAll(Color());
        depthTiles.MaterialiseAll(Depth());
    }
    const std::vector<uint16_t>& Depths() {
        Materialise();
        return depth;
    }
    uint32_t At(int x, int y) const { return color[size_t(y) * width + x]; }
    uint16_t DepthAt(int x, int y) { return Depths()[size_t(y) * width + x]; }

    int width, height;
    uint32_t clearColor;
    std::vector<uint32_t> color;
    std::vector<uint16_t> depth;
    ColorTiles colorTiles;
    DepthTiles depthTiles;
    TargetStore store;
};

struct TestTexture {
    TestTexture(int width, int height, bool hasAlpha = true) : texels(size_t(width) * height) {
        desc = {texels.data(), width, height, width, hasAlpha};
    }
    // Every texel distinct and opaque: red = row, green = column, blue the high bits of both.
    static uint32_t Pattern(int column, int row) {
        return 0xFF000000u | uint32_t(row & 0xFF) << 16 | uint32_t(column & 0xFF) << 8 |
               uint32_t((row >> 8) & 0xF) << 4 | uint32_t((column >> 8) & 0xF);
    }
    TestTexture& FillPattern() {
        for (int row = 0; row < desc.height; ++row)
            for (int column = 0; column < desc.width; ++column)
                At(column, row) = Pattern(column, row);
        return *this;
    }
    uint32_t& At(int column, int row) { return texels[size_t(row) * desc.width + column]; }

    std::vector<uint32_t> texels;
    Texture2D desc;
};

// Deterministic texels with every kind of alpha: transparent, partial and opaque.
void FillNoise(TestTexture& texture, uint32_t seed);

// Where two frames' colours or depths first differ; empty when they are the same.
inline std::string FirstDifference(Frame& a, Frame& b) {
    std::ostringstream out;
    a.Materialise();
    b.Materialise();
    for (size_t i = 0; i < a.color.size() && out.tellp() == 0; ++i)
        if (a.color[i] != b.color[i] || a.depth[i] != b.depth[i])
            out << "(" << i % a.width << ", " << i / a.width << "): " << std::hex << a.color[i]
                << " / " << a.depth[i] << " against " << b.color[i] << " / " << b.depth[i];
    return out.str();
}

// Vertices of format XYZ | DIFFUSE | TEX1.
struct ColoredVertex {
    float x, y, z;
    uint32_t diffuse;
    float u, v;
};

inline VertexStream StreamOf(std::span<const ColoredVertex> vertices) {
    VertexStream stream;
    stream.data = reinterpret_cast<const uint8_t*>(vertices.data());
    stream.size = vertices.size() * sizeof(ColoredVertex);
    stream.stride = sizeof(ColoredVertex);
    stream.fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    return stream;
}

inline D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// The states, projection and texture-transform flag that the sprite batch's Begin and
// End put over the device defaults, for a 640 x 480 viewport.
FixedFunctionState SpriteBatchState();

struct SourceRectangle {
    int left, top, right, bottom;
};

// Sets the world and texture matrices exactly as the batch's AddQuad computes them.
void PlaceSprite(FixedFunctionState& state, const TestTexture& texture,
                 const SourceRectangle& source, float x, float y);

// Draws the batch's unit square (a two-triangle fan of 0x142 vertices), its last corner at
// texture u = `lastU`; the route taken.
DrawRoute DrawUnitSquare(const FixedFunctionState& state, Frame& frame,
                         RasterPath path = RasterPath::Automatic, uint32_t diffuse = 0xFFFFFFFF,
                         float lastU = 0.0f);

// A scene of sprite quads drawn from `size` bytes, eight a step: quads at ten depths
// under any comparison or none, with or without depth writes, alpha test and blending,
// some through the general route, some over whole tiles, and colour and depth clears of any
// rectangle. The same bytes draw the same scene into any frame of 160 x 120 or more.
void DrawDepthScene(Frame& frame, const uint8_t* bytes, size_t size);

}  // namespace platform::d3d9::raster::testing
