// A colour target's clears held back, as a GPU's fast clear does: a clear marks the
// tiles it covers whole as cleared to its colour instead of writing them; the first
// rectangle drawn over such a tile writes each of its pixels once, drawn or cleared,
// and anything else that reads or writes the pixels materialises the tiles first.
#pragma once

#include "d3d9/raster/pipeline.h"
#include "d3d9/raster/tile_grid.h"

#include <cstdint>
#include <vector>

namespace platform::d3d9::raster {

class ColorTiles : public TileGrid {
public:
    ColorTiles(int width, int height) : TileGrid(width, height), tiles_(TileCount()) {}

    // The tile's pixels are its clear colour, not yet written.
    bool Cleared(int column, int row) const { return tiles_[Index(column, row)].cleared; }
    uint32_t ClearColor(int column, int row) const { return tiles_[Index(column, row)].color; }
    // Marks the tiles `rect` (inside the target) covers whole; returns them.
    PixelRect MarkWhole(const PixelRect& rect, uint32_t color);
    // The tiles in `tiles` (tile indices) are all cleared to one colour, or none is cleared.
    bool Alike(const PixelRect& tiles) const;
    // A draw wrote every pixel of the tile.
    void Written(int column, int row) { tiles_[Index(column, row)].cleared = false; }
    // Writes a cleared tile's colour into its pixels.
    void Materialise(const ColorTarget& target, int column, int row);
    void MaterialiseAll(const ColorTarget& target);

private:
    struct Tile {
        uint32_t color = 0;
        bool cleared = false;
    };

    std::vector<Tile> tiles_;
    bool anyCleared_ = false;
};

}  // namespace platform::d3d9::raster
