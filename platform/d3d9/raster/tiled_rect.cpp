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

// Whether the comparison of `z` passes, fails or depends on the pixel for stored
// values in a range: the outcomes (less, equal, greater) the range allows must agree.
class TileTest {
public:
    TileTest(DWORD func, uint16_t z)
        : z_(z),
          less_(PassesComparison(func, 0, 1)),
          equal_(PassesComparison(func, 0, 0)),
          greater_(PassesComparison(func, 1, 0)) {}

    TileWork Decide(DepthRange range) const {
        const bool less = z_<range.high, greater = z_> range.low;
        const bool equal = !(z_ < range.low) && !(z_ > range.high);
        const bool all = (!less || less_) && (!equal || equal_) && (!greater || greater_);
        const bool none = (!less || !less_) && (!equal || !equal_) && (!greater || !greater_);
        return all ? TileWork::Untested : none ? TileWork::Skip : TileWork::PerPixel;
    }

private:
    uint16_t z_;
    bool less_, equal_, greater_;
};

// One rectangle's pass over the tiles it touches.
class TiledRect {
public:
    TiledRect(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
              const PixelRect& area, const DepthTarget& depth)
        : kernel_(kernel),
          params_(params),
          untested_(params),
          block_(block),
          area_(area),
          depth_(depth),
          tiles_(*depth.tiles),
          touched_(DepthTiles::TilesOf(area)),
          test_(params.depthFunc, params.depth) {
        untested_.depthTest = untested_.depthWrite = false;
    }

    void Draw() {
        thread_local std::vector<TileWork> work;
        work.clear();
        tiles_.Prefetch(touched_);
        for (int row = touched_.top; row < touched_.bottom; ++row)
            for (int column = touched_.left; column < touched_.right; ++column)
                work.push_back(Classify(column, row));
        // Usually every tile has the same work: then the kernel takes the rectangle at once.
        if (std::all_of(work.begin(), work.end(), [&](TileWork w) { return w == work[0]; })) {
            const bool kept = work[0] != TileWork::Skip && kernel_(ParamsFor(work[0]), block_);
            for (int row = touched_.top; row < touched_.bottom; ++row)
                for (int column = touched_.left; column < touched_.right; ++column)
                    Settle(column, row, work[0], kept);
            return;
        }
        const int columns = touched_.right - touched_.left;
        for (int row = touched_.top; row < touched_.bottom; ++row) {
            const TileWork* band = work.data() + (row - touched_.top) * columns;
            // Neighbouring tiles with the same work are one block for the kernel.
            for (int first = 0, end; first < columns; first = end) {
                const TileWork w = band[first];
                for (end = first + 1; end < columns && band[end] == w;) ++end;
                const bool kept = w != TileWork::Skip && DrawRun(row, first, end, w);
                for (int column = touched_.left + first; column < touched_.left + end; ++column)
                    Settle(column, row, w, kept);
            }
        }
    }

private:
    TileWork Classify(int column, int row) {
        TileWork w = test_.Decide(tiles_.Range(depth_, column, row));
        if (w == TileWork::Untested && params_.depthWrite &&
            !tiles_.HoldsOnly(column, row, params_.depth))
            w = tiles_.PartOf(column, row, area_).whole ? TileWork::Claim : TileWork::PerPixel;
        if (w == TileWork::PerPixel) tiles_.Materialise(depth_, column, row);
        return w;
    }

    const RectKernelParams& ParamsFor(TileWork w) const {
        return w == TileWork::PerPixel ? params_ : untested_;
    }

    // Tiles [first, end) of tile row `row`, counted from the first touched.
    bool DrawRun(int row, int first, int end, TileWork w) const {
        const int top = std::max(area_.top, row << DepthTiles::kShift);
        const int bottom = std::min(area_.bottom, (row + 1) << DepthTiles::kShift);
        const int left = std::max(area_.left, (touched_.left + first) << DepthTiles::kShift);
        const int right = std::min(area_.right, (touched_.left + end) << DepthTiles::kShift);
        const uint32_t* texelRows[DepthTiles::kSize];
        for (int y = top; y < bottom; ++y)
            texelRows[y - top] = block_.texelRows[y - area_.top] + (left - area_.left);
        const RectBlock run{
            block_.color + (top - area_.top) * block_.colorPitch + (left - area_.left),
            block_.colorPitch,
            depth_.values + top * depth_.pitch + left,
            depth_.pitch,
            texelRows,
            right - left,
            bottom - top};
        return kernel_(ParamsFor(w), run);
    }

    // The tile's depths after the kernel drew its part; `kept` when it kept every pixel.
    void Settle(int column, int row, TileWork w, bool kept) {
        if (!params_.depthWrite || w == TileWork::Skip || w == TileWork::Untested) return;
        if (w == TileWork::Claim && kept) {
            tiles_.MarkUniform(column, row, params_.depth);
            return;
        }
        if (w == TileWork::Claim) {
            tiles_.Materialise(depth_, column, row);
            WriteKeptDepth(column, row);
        }
        tiles_.Include(column, row, params_.depth);
    }

    // The depth wherever the kernel kept a pixel of a tile it drew untested: the alpha
    // test alone decided.
    void WriteKeptDepth(int column, int row) const {
        const PixelRect part = tiles_.PartOf(column, row, area_).rect;
        for (int y = part.top; y < part.bottom; ++y) {
            const uint32_t* texels = block_.texelRows[y - area_.top] - area_.left;
            uint16_t* values = depth_.values + y * depth_.pitch;
            for (int x = part.left; x < part.right; ++x) {
                const uint32_t alpha = (texels[x] | params_.alphaOr) >> 24;
                if (!params_.alphaTest ||
                    PassesComparison(params_.alphaFunc, alpha, params_.alphaRef))
                    values[x] = params_.depth;
            }
        }
    }

    RectKernel kernel_;
    const RectKernelParams& params_;
    RectKernelParams untested_;
    const RectBlock& block_;
    const PixelRect& area_;
    const DepthTarget& depth_;
    DepthTiles& tiles_;
    PixelRect touched_;
    TileTest test_;
};

}  // namespace

void DrawRectOverTiles(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
                       const PixelRect& area, const DepthTarget& depth) {
    TiledRect(kernel, params, block, area, depth).Draw();
}

}  // namespace platform::d3d9::raster
