// The 16 x 16 pixel tiles that the depth and colour targets keep their state in.
#pragma once

#include "d3d9/raster/triangle_setup.h"

#include <algorithm>
#include <cstddef>

namespace platform::d3d9::raster {

class TileGrid {
public:
    static constexpr int kShift = 4;
    static constexpr int kSize = 1 << kShift;

    TileGrid(int width, int height)
        : width_(width),
          height_(height),
          columns_((width + kSize - 1) >> kShift),
          rows_((height + kSize - 1) >> kShift) {}

    size_t TileCount() const { return static_cast<size_t>(columns_) * rows_; }
    size_t Index(int column, int row) const { return static_cast<size_t>(row) * columns_ + column; }

    // The pixels of tile (column, row) inside the target.
    PixelRect Bounds(int column, int row) const {
        return {column << kShift, row << kShift, std::min((column + 1) << kShift, width_),
                std::min((row + 1) << kShift, height_)};
    }
    // The part of `rect` in tile (column, row), and whether that is the whole tile.
    struct Part {
        PixelRect rect;
        bool whole;
    };
    Part PartOf(int column, int row, const PixelRect& rect) const {
        const PixelRect tile = Bounds(column, row);
        const PixelRect part{std::max(tile.left, rect.left), std::max(tile.top, rect.top),
                             std::min(tile.right, rect.right), std::min(tile.bottom, rect.bottom)};
        return {part, part.left == tile.left && part.top == tile.top && part.right == tile.right &&
                          part.bottom == tile.bottom};
    }
    // The tiles that `rect` (inside the target, not empty) touches, as tile indices.
    static PixelRect TilesOf(const PixelRect& rect) {
        return {rect.left >> kShift, rect.top >> kShift, ((rect.right - 1) >> kShift) + 1,
                ((rect.bottom - 1) >> kShift) + 1};
    }
    // The tiles it covers whole, possibly none: it reaches past their sides, or to the
    // target's edge where a tile is cut short.
    PixelRect CoveredBy(const PixelRect& rect) const {
        const int left = (rect.left + kSize - 1) >> kShift;
        const int top = (rect.top + kSize - 1) >> kShift;
        return {left, top, std::max(rect.right == width_ ? columns_ : rect.right >> kShift, left),
                std::max(rect.bottom == height_ ? rows_ : rect.bottom >> kShift, top)};
    }

protected:
    int width_;
    int height_;
    int columns_;
    int rows_;
};

}  // namespace platform::d3d9::raster
