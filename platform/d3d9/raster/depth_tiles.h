// The depth buffer a tile at a time: a clear marks whole tiles as holding one value
// instead of writing it, and every tile keeps the range of the values it holds, so a
// draw can settle a whole tile's depth test at once. A tile's own values are written
// only once its depths come to differ; whoever reads values materialises them first.
#pragma once

#include "d3d9/raster/pipeline.h"
#include "d3d9/raster/tile_grid.h"

#include <cstdint>
#include <vector>

namespace platform::d3d9::raster {

struct DepthRange {
    uint16_t low;
    uint16_t high;
};

class DepthTiles : public TileGrid {
public:
    // Tiles over a buffer of width x height values that all hold `value`.
    DepthTiles(int width, int height, uint16_t value);

    // Every value of the tile is `value`, written or not.
    bool HoldsOnly(int column, int row, uint16_t value) const {
        const Tile& tile = At(column, row);
        return tile.kind != Kind::Unscanned && tile.low == value && tile.high == value;
    }
    DepthRange Range(const DepthTarget& target, int column, int row) {
        Tile& tile = At(column, row);
        if (tile.kind == Kind::Unscanned) Scan(target, column, row);
        return {tile.low, tile.high};
    }

    // The tiles in `tiles` (tile indices) all have one known range, kept alike.
    bool Alike(const PixelRect& tiles) const;
    // The tile holds `value` throughout; nothing is written.
    void MarkUniform(int column, int row, uint16_t value) { At(column, row) = {value, value}; }
    // The same for every tile that `rect` (inside the buffer) covers whole, returned as
    // tile indices (possibly empty).
    PixelRect MarkWhole(const PixelRect& rect, uint16_t value);
    // Writes a uniform tile's value into its pixels, before they are read or written.
    void Materialise(const DepthTarget& target, int column, int row) {
        if (At(column, row).kind == Kind::Uniform) WriteOut(target, column, row);
    }
    void MaterialiseAll(const DepthTarget& target);
    // Some of the tile's written values became `value`.
    void Include(int column, int row, uint16_t value);
    // Values were written past the tiles (all materialised before): each range is
    // found again when next asked for.
    void ForgetRanges();

private:
    enum class Kind : uint8_t { Uniform, Written, Unscanned };
    // Eight bytes, so that marking one is a single store.
    struct alignas(8) Tile {
        uint16_t low = 0;
        uint16_t high = 0;
        Kind kind = Kind::Uniform;
    };

    void Scan(const DepthTarget& target, int column, int row);
    void WriteOut(const DepthTarget& target, int column, int row);

    Tile& At(int column, int row) { return tiles_[Index(column, row)]; }
    const Tile& At(int column, int row) const { return tiles_[Index(column, row)]; }

    std::vector<Tile> tiles_;
};

}  // namespace platform::d3d9::raster
