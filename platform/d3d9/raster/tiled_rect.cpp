#include "d3d9/raster/tiled_rect.h"

#include "d3d9/raster/color_math.h"

#include <algorithm>
#include <vector>

namespace platform::d3d9::raster {
namespace {

enum class TileWork : uint8_t {
    Skip,      // every pixel fails the depth test
    Untested,  // every pixel passes, and the depths stay as they are
    Claim,     // every pixel passes over the whole tile: it may come to hold one depth
    PerPixel,  // the test or the writes go pixel by pixel
};

// Whether the comparison passes, fails or depends on the pixel for stored values in
// `range`: the outcomes (less, equal, greater) the range allows must agree.
TileWork Decide(DWORD func, uint16_t z, DepthRange range) {
    const bool possible[3] = {z < range.high, range.low <= z && z <= range.high, z > range.low};
    const bool passes[3] = {PassesComparison(func, 0, 1), PassesComparison(func, 0, 0),
                            PassesComparison(func, 1, 0)};
    bool all = true, none = true;
    for (int i = 0; i < 3; ++i)
        if (possible[i]) {
            all = all && passes[i];
            none = none && !passes[i];
        }
    return all ? TileWork::Untested : none ? TileWork::Skip : TileWork::PerPixel;
}

// `z` wherever the kernel kept a pixel of `part`: its alpha test alone, as the depth
// test passed throughout.
void WriteKeptDepth(const RectKernelParams& params, const RectBlock& block, const PixelRect& area,
                    const PixelRect& part, const DepthTarget& depth) {
    for (int y = part.top; y < part.bottom; ++y) {
        const uint32_t* texels = block.texelRows[y - area.top] - area.left;
        uint16_t* values = depth.values + y * depth.pitch;
        for (int x = part.left; x < part.right; ++x) {
            const uint32_t alpha = (texels[x] | params.alphaOr) >> 24;
            if (!params.alphaTest || PassesComparison(params.alphaFunc, alpha, params.alphaRef))
                values[x] = params.depth;
        }
    }
}

}  // namespace

void DrawRectOverTiles(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
                       const PixelRect& area, const DepthTarget& depth) {
    DepthTiles& tiles = *depth.tiles;
    const uint16_t z = params.depth;
    RectKernelParams untested = params;
    untested.depthTest = untested.depthWrite = false;
    const PixelRect touched = DepthTiles::TilesOf(area);
    thread_local std::vector<TileWork> work;
    for (int row = touched.top; row < touched.bottom; ++row) {
        work.clear();
        for (int column = touched.left; column < touched.right; ++column) {
            TileWork w = Decide(params.depthFunc, z, tiles.Range(depth, column, row));
            if (w == TileWork::Untested && params.depthWrite && !tiles.HoldsOnly(column, row, z))
                w = tiles.PartOf(column, row, area).whole ? TileWork::Claim : TileWork::PerPixel;
            if (w == TileWork::PerPixel) tiles.Materialise(depth, column, row);
            work.push_back(w);
        }
        const int top = std::max(area.top, row << DepthTiles::kShift);
        const int bottom = std::min(area.bottom, (row + 1) << DepthTiles::kShift);
        const uint32_t* texelRows[DepthTiles::kSize];
        // Neighbouring tiles with the same work are one block for the kernel.
        for (int first = 0, end; first < static_cast<int>(work.size()); first = end) {
            const TileWork w = work[first];
            for (end = first + 1; end < static_cast<int>(work.size()) && work[end] == w;) ++end;
            if (w == TileWork::Skip) continue;
            const int left = std::max(area.left, (touched.left + first) << DepthTiles::kShift);
            const int right = std::min(area.right, (touched.left + end) << DepthTiles::kShift);
            for (int y = top; y < bottom; ++y)
                texelRows[y - top] = block.texelRows[y - area.top] + (left - area.left);
            const RectBlock run{
                block.color + (top - area.top) * block.colorPitch + (left - area.left),
                block.colorPitch,
                depth.values + top * depth.pitch + left,
                depth.pitch,
                texelRows,
                right - left,
                bottom - top};
            const bool kept = kernel(w == TileWork::PerPixel ? params : untested, run);
            if (!params.depthWrite || w == TileWork::Untested) continue;
            for (int column = touched.left + first; column < touched.left + end; ++column) {
                if (w == TileWork::Claim && kept) {
                    tiles.MarkUniform(column, row, z);
                    continue;
                }
                if (w == TileWork::Claim) {
                    tiles.Materialise(depth, column, row);
                    WriteKeptDepth(params, block, area, tiles.PartOf(column, row, area).rect,
                                   depth);
                }
                tiles.Include(column, row, z);
            }
        }
    }
}

}  // namespace platform::d3d9::raster
