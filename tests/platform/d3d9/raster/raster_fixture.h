// Frames, textures and the sprite-batch scene set-up shared by the rasteriser's tests.
#pragma once

#include "d3d9/raster/draw_paths.h"
#include "d3d9/raster/pipeline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace d3d9sw::raster::testing {

struct Frame {
    Frame(int width, int height, uint32_t clearColor = 0xFF8080FF, uint16_t clearDepth = 0xFFFF);

    ColorTarget Color() { return {color.data(), width, height, width}; }
    DepthTarget Depth() { return {depth.data(), width, height, width}; }
    uint32_t At(int x, int y) const { return color[static_cast<size_t>(y) * width + x]; }
    uint16_t DepthAt(int x, int y) const { return depth[static_cast<size_t>(y) * width + x]; }
    // Pixels that differ from the clear colour, as a bounding box; empty when none.
    struct Box {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    Box TouchedBox() const;

    int width;
    int height;
    uint32_t clearColor;
    std::vector<uint32_t> color;
    std::vector<uint16_t> depth;
};

struct TestTexture {
    TestTexture(int width, int height, bool hasAlpha = true);
    // Every texel distinct and opaque: alpha 0xFF, red = row, green = column, blue the
    // high bits of both.
    static uint32_t Pattern(int column, int row);
    void FillPattern();
    uint32_t& At(int column, int row) {
        return texels[static_cast<size_t>(row) * desc.pitch + column];
    }

    std::vector<uint32_t> texels;
    Texture2D desc;
};

// The states, projection and texture-transform flag that the sprite batch's Begin and
// End put in place, over the device defaults, for a 640 x 480 viewport.
FixedFunctionState SpriteBatchState();

struct SourceRectangle {
    int left, top, right, bottom;
};

// Sets the world and texture matrices exactly as the batch's AddQuad computes them.
void PlaceSprite(FixedFunctionState& state, const TestTexture& texture,
                 const SourceRectangle& source, float x, float y);

// Draws the batch's unit square (a two-triangle fan of 0x142 vertices); the route taken.
DrawRoute DrawUnitSquare(const FixedFunctionState& state, Frame& frame,
                    RasterPath path = RasterPath::Automatic, uint32_t diffuse = 0xFFFFFFFF);

void DrawSprite(FixedFunctionState& state, Frame& frame, const TestTexture& texture,
                const SourceRectangle& source, float x, float y,
                RasterPath path = RasterPath::Automatic);

// Vertices of format XYZ | DIFFUSE | TEX1 for direct drawing.
struct ColoredVertex {
    float x, y, z;
    uint32_t diffuse;
    float u, v;
};

VertexStream StreamOf(const std::vector<ColoredVertex>& vertices);

D3DMATRIX IdentityMatrix();

// For test names.
std::string PathName(RasterPath path);

}  // namespace d3d9sw::raster::testing
