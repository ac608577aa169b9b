// The program's frame as a list of sprite quads: 49 board cells, the piece, the cursor
// and two glyphs from the 1024 x 1024 atlas, over a 640 x 480 frame cleared first.
#pragma once

#include "raster_fixture.h"

#include <vector>

namespace platform::d3d9::raster::bench {

using testing::SourceRectangle;
using testing::TestTexture;

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr uint32_t kClearColor = 0xFF8080FF;
// The batch's quads sit at z = 1, which its projection maps to the nearest depth.
constexpr uint16_t kSpriteDepth = 0;

struct QuadDraw {
    const TestTexture* texture;
    SourceRectangle source;
    int x;
    int y;
};

struct FrameWorkload {
    FrameWorkload();

    TestTexture cell;    // mostly opaque, with a soft edge
    TestTexture piece;   // a disc: transparent corners, partial rim
    TestTexture cursor;  // a frame: transparent inside
    TestTexture atlas;   // glyph coverage in alpha, white colour
    std::vector<QuadDraw> quads;

    size_t PixelsDrawn() const;
};

}  // namespace platform::d3d9::raster::bench
