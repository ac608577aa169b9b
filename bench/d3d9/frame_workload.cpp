#include "frame_workload.h"

#include <algorithm>
#include <cmath>

namespace platform::d3d9::raster::bench {
namespace {

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void PaintCell(TestTexture& t) {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int edge = std::min({x, y, 63 - x, 63 - y});
            const uint32_t alpha = edge < 2 ? 160 + 40 * edge : 255;
            t.At(x, y) = Argb(alpha, 40 + x, 90 + y, 60 + (x ^ y) % 64);
        }
}

void PaintPiece(TestTexture& t) {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double d = std::hypot(x - 31.5, y - 31.5);
            const double coverage = std::clamp(28.0 - d, 0.0, 1.0);
            t.At(x, y) = Argb(static_cast<uint32_t>(coverage * 255.0), 200, 40 + y, 30);
        }
}

void PaintCursor(TestTexture& t) {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int edge = std::min({x, y, 63 - x, 63 - y});
            t.At(x, y) = edge < 4 ? Argb(255, 255, 220, 0) : 0;
        }
}

void PaintAtlas(TestTexture& t) {
    // Two glyph-like coverage shapes in the first cells; the rest stays empty.
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool stroke = (cell == 0)
                                        ? (x > 14 && x < 22 && y > 4 && y < 36)
                                        : (std::abs(std::hypot(x - 20.0, y - 20.0) - 12.0) < 3.0);
                const uint32_t alpha = stroke ? 255 : ((x + y) % 7 == 0 ? 90 : 0);
                t.At(40 * cell + x, y) = Argb(alpha, 255, 255, 255);
            }
}

}  // namespace

FrameWorkload::FrameWorkload() : cell(64, 64), piece(64, 64), cursor(64, 64), atlas(1024, 1024) {
    PaintCell(cell);
    PaintPiece(piece);
    PaintCursor(cursor);
    PaintAtlas(atlas);
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            quads.push_back({&cell, {0, 0, 64, 64}, 16 + 64 * column, 16 + 64 * row});
    quads.push_back({&piece, {0, 0, 64, 64}, 16 + 64 * 3, 16 + 64 * 3});
    quads.push_back({&cursor, {0, 0, 64, 64}, 16 + 64 * 2, 16 + 64 * 4});
    quads.push_back({&atlas, {0, 0, 40, 40}, 0, 0});
    quads.push_back({&atlas, {40, 0, 80, 40}, 20, 0});
}

size_t FrameWorkload::PixelsDrawn() const {
    size_t pixels = 0;
    for (const QuadDraw& q : quads)
        pixels +=
            static_cast<size_t>(q.source.right - q.source.left) * (q.source.bottom - q.source.top);
    return pixels;
}

}  // namespace platform::d3d9::raster::bench
