#include "d3d9/raster/color_tiles.h"

#include "d3d9/raster/target_fill.h"

#include <algorithm>

namespace platform::d3d9::raster {

PixelRect ColorTiles::MarkWhole(const PixelRect& rect, uint32_t color) {
    const PixelRect covered = CoveredBy(rect);
    for (int row = covered.top; row < covered.bottom; ++row)
        std::fill(tiles_.data() + Index(covered.left, row),
                  tiles_.data() + Index(covered.right, row), Tile{color, true});
    anyCleared_ = anyCleared_ || (covered.left < covered.right && covered.top < covered.bottom);
    return covered;
}

bool ColorTiles::Alike(const PixelRect& tiles) const {
    const Tile first = tiles_[Index(tiles.left, tiles.top)];
    for (int row = tiles.top; row < tiles.bottom; ++row)
        for (int column = tiles.left; column < tiles.right; ++column) {
            const Tile& tile = tiles_[Index(column, row)];
            if (tile.cleared != first.cleared || (first.cleared && tile.color != first.color))
                return false;
        }
    return true;
}

void ColorTiles::Materialise(const ColorTarget& target, int column, int row) {
    Tile& tile = tiles_[Index(column, row)];
    if (!tile.cleared) return;
    const PixelRect b = Bounds(column, row);
    for (int y = b.top; y < b.bottom; ++y)
        std::fill_n(target.pixels + y * target.pitch + b.left, b.right - b.left, tile.color);
    tile.cleared = false;
}

void ColorTiles::MaterialiseAll(const ColorTarget& target) {
    if (!anyCleared_) return;
    // Neighbours of one colour are filled as one rectangle, whole rows at a time.
    const ColorTarget untiled{target.pixels, target.width, target.height, target.pitch};
    for (int row = 0; row < rows_; ++row)
        for (int first = 0, end; first < columns_; first = end) {
            const Tile tile = tiles_[Index(first, row)];
            end = first + 1;
            if (!tile.cleared) continue;
            while (end < columns_ && tiles_[Index(end, row)].cleared &&
                   tiles_[Index(end, row)].color == tile.color)
                ++end;
            const PixelRect b = Bounds(first, row);
            FillColor(untiled, {b.left, b.top, Bounds(end - 1, row).right, b.bottom}, tile.color);
            for (int column = first; column < end; ++column) Written(column, row);
        }
    anyCleared_ = false;
}

}  // namespace platform::d3d9::raster
