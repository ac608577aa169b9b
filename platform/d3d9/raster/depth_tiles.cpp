#include "d3d9/raster/depth_tiles.h"

#include <algorithm>

namespace platform::d3d9::raster {

DepthTiles::DepthTiles(int width, int height, uint16_t value)
    : TileGrid(width, height), tiles_(TileCount(), Tile{value, value}) {}

PixelRect DepthTiles::MarkWhole(const PixelRect& rect, uint16_t value) {
    const PixelRect covered = CoveredBy(rect);
    for (int row = covered.top; row < covered.bottom; ++row)
        std::fill(tiles_.data() + Index(covered.left, row),
                  tiles_.data() + Index(covered.right, row), Tile{value, value});
    return covered;
}

bool DepthTiles::Alike(const PixelRect& tiles) const {
    const Tile first = At(tiles.left, tiles.top);
    if (first.kind == Kind::Unscanned) return false;
    for (int row = tiles.top; row < tiles.bottom; ++row)
        for (int column = tiles.left; column < tiles.right; ++column) {
            const Tile& tile = At(column, row);
            if (tile.low != first.low || tile.high != first.high || tile.kind != first.kind)
                return false;
        }
    return true;
}

void DepthTiles::Scan(const DepthTarget& target, int column, int row) {
    const PixelRect b = Bounds(column, row);
    uint16_t low = 0xFFFF, high = 0;
    for (int y = b.top; y < b.bottom; ++y) {
        const uint16_t* values = target.values + y * target.pitch;
        const auto [rowLow, rowHigh] = std::minmax_element(values + b.left, values + b.right);
        low = std::min(low, *rowLow);
        high = std::max(high, *rowHigh);
    }
    At(column, row) = {low, high, Kind::Written};
}

void DepthTiles::WriteOut(const DepthTarget& target, int column, int row) {
    Tile& tile = At(column, row);
    const PixelRect b = Bounds(column, row);
    for (int y = b.top; y < b.bottom; ++y)
        std::fill(target.values + y * target.pitch + b.left,
                  target.values + y * target.pitch + b.right, tile.low);
    tile.kind = Kind::Written;
}

void DepthTiles::MaterialiseAll(const DepthTarget& target) {
    for (int row = 0; row < rows_; ++row)
        for (int column = 0; column < columns_; ++column) Materialise(target, column, row);
}

void DepthTiles::Include(int column, int row, uint16_t value) {
    Tile& tile = At(column, row);
    tile.low = std::min(tile.low, value);
    tile.high = std::max(tile.high, value);
}

void DepthTiles::ForgetRanges() {
    for (Tile& tile : tiles_) tile.kind = Kind::Unscanned;
}

}  // namespace platform::d3d9::raster
