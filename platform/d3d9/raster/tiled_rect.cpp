#include "d3d9/raster/tiled_rect.h"

#include "d3d9/raster/color_math.h"
#include "d3d9/raster/color_tiles.h"

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
        const bool less = z_ < range.high;
        const bool greater = z_ > range.low;
        const bool equal = !(z_ < range.low) && !(z_ > range.high);
        const bool all = (!less || less_) && (!equal || equal_) && (!greater || greater_);
        const bool none = (!less || !less_) && (!equal || !equal_) && (!greater || !greater_);
        return all ? TileWork::Untested : none ? TileWork::Skip : TileWork::PerPixel;
    }

private:
    uint16_t z_;
    bool less_, equal_, greater_;
};

// What the kernel does over one tile; neighbours that need the same are one block.
struct TileJob {
    TileWork work;
    bool overClear;  // every pixel is written, from `clearColor` where nothing is drawn
    uint32_t clearColor;
    bool operator==(const TileJob&) const = default;
};

// One rectangle's pass over the tiles it touches.
class TiledRect {
public:
    TiledRect(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
              const PixelRect& area, const ColorTarget& color, const DepthTarget& depth)
        : kernel_(kernel),
          params_(params),
          untested_(params),
          block_(block),
          area_(area),
          color_(color),
          depth_(depth),
          depthTiles_(params.depthTest ? depth.tiles : nullptr),
          touched_(TileGrid::TilesOf(area)),
          test_(params.depthFunc, params.depth) {
        untested_.depthTest = untested_.depthWrite = false;
    }

    void Draw() {
        // Usually the rectangle covers whole tiles that are all alike: one tile decides
        // for all, and the kernel takes the rectangle at once.
        if (AllAlike()) {
            const TileJob job = Classify(touched_.left, touched_.top);
            if (job.work != TileWork::PerPixel) return DrawWhole(job);
        }
        thread_local std::vector<TileJob> jobs;
        jobs.clear();
        for (int row = touched_.top; row < touched_.bottom; ++row)
            for (int column = touched_.left; column < touched_.right; ++column)
                jobs.push_back(Classify(column, row));
        if (std::all_of(jobs.begin(), jobs.end(), [&](const TileJob& j) { return j == jobs[0]; }))
            return DrawWhole(jobs[0]);
        const int columns = touched_.right - touched_.left;
        for (int row = touched_.top; row < touched_.bottom; ++row) {
            const TileJob* band = jobs.data() + (row - touched_.top) * columns;
            for (int first = 0, end; first < columns; first = end) {
                const TileJob& job = band[first];
                for (end = first + 1; end < columns && band[end] == job;) ++end;
                const bool kept = job.work != TileWork::Skip && DrawRun(row, first, end, job);
                for (int column = touched_.left + first; column < touched_.left + end; ++column)
                    Settle(column, row, job, kept);
            }
        }
    }

private:
    // Every touched tile lies whole inside the rectangle and holds what the first holds.
    bool AllAlike() const {
        const auto covers = [&](const TileGrid& grid) {
            const PixelRect c = grid.CoveredBy(area_);
            return c.left == touched_.left && c.top == touched_.top && c.right == touched_.right &&
                   c.bottom == touched_.bottom;
        };
        if (params_.depthTest && depthTiles_ == nullptr) return false;
        if (depthTiles_ && !(covers(*depthTiles_) && depthTiles_->Alike(touched_))) return false;
        return !color_.tiles || (covers(*color_.tiles) && color_.tiles->Alike(touched_));
    }

    void DrawWhole(const TileJob& job) {
        const bool kept = job.work != TileWork::Skip && Run(job, block_);
        for (int row = touched_.top; row < touched_.bottom; ++row)
            for (int column = touched_.left; column < touched_.right; ++column)
                Settle(column, row, job, kept);
    }

    TileJob Classify(int column, int row) {
        TileWork w = TileWork::Untested;
        if (params_.depthTest && depthTiles_ == nullptr) {
            w = TileWork::PerPixel;
        } else if (depthTiles_ != nullptr) {
            w = test_.Decide(depthTiles_->Range(depth_, column, row));
            if (w == TileWork::Untested && params_.depthWrite &&
                !depthTiles_->HoldsOnly(column, row, params_.depth))
                w = depthTiles_->PartOf(column, row, area_).whole ? TileWork::Claim
                                                                  : TileWork::PerPixel;
            if (w == TileWork::PerPixel) depthTiles_->Materialise(depth_, column, row);
        }
        if (color_.tiles == nullptr || w == TileWork::Skip || !color_.tiles->Cleared(column, row))
            return {w, false, 0};
        if (w != TileWork::PerPixel && color_.tiles->PartOf(column, row, area_).whole)
            return {w, true, color_.tiles->ClearColor(column, row)};
        color_.tiles->Materialise(color_, column, row);
        return {w, false, 0};
    }

    bool Run(const TileJob& job, const RectBlock& block) const {
        if (job.work == TileWork::PerPixel) return kernel_(params_, block);
        if (!job.overClear) return kernel_(untested_, block);
        RectKernelParams overClear = untested_;
        overClear.overClear = true;
        overClear.clearColor = job.clearColor;
        return kernel_(overClear, block);
    }

    // Tiles [first, end) of tile row `row`, counted from the first touched.
    bool DrawRun(int row, int first, int end, const TileJob& job) const {
        const int top = std::max(area_.top, row << TileGrid::kShift);
        const int bottom = std::min(area_.bottom, (row + 1) << TileGrid::kShift);
        const int left = std::max(area_.left, (touched_.left + first) << TileGrid::kShift);
        const int right = std::min(area_.right, (touched_.left + end) << TileGrid::kShift);
        const RectBlock run{
            block_.color + (top - area_.top) * block_.colorPitch + (left - area_.left),
            block_.colorPitch,
            depth_.values ? depth_.values + top * depth_.pitch + left : nullptr,
            depth_.pitch,
            block_.texels + (top - area_.top) * block_.texelPitch + (left - area_.left),
            block_.texelPitch,
            right - left,
            bottom - top};
        return Run(job, run);
    }

    // The tile's state after the kernel drew its part; `kept` when it kept every pixel.
    void Settle(int column, int row, const TileJob& job, bool kept) {
        if (job.overClear) color_.tiles->Written(column, row);
        const TileWork w = job.work;
        if (!params_.depthWrite || depthTiles_ == nullptr || w == TileWork::Skip ||
            w == TileWork::Untested)
            return;
        if (w == TileWork::Claim && kept) {
            depthTiles_->MarkUniform(column, row, params_.depth);
            return;
        }
        if (w == TileWork::Claim) {
            depthTiles_->Materialise(depth_, column, row);
            WriteKeptDepth(column, row);
        }
        depthTiles_->Include(column, row, params_.depth);
    }

    // The depth wherever the kernel kept a pixel of a tile it drew untested: the alpha
    // test alone decided.
    void WriteKeptDepth(int column, int row) const {
        const PixelRect part = depthTiles_->PartOf(column, row, area_).rect;
        for (int y = part.top; y < part.bottom; ++y) {
            const uint32_t* texels = block_.texels + (y - area_.top) * block_.texelPitch;
            uint16_t* values = depth_.values + y * depth_.pitch;
            for (int x = part.left; x < part.right; ++x) {
                const uint32_t alpha = (texels[x - area_.left] | params_.alphaOr) >> 24;
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
    const ColorTarget& color_;
    const DepthTarget& depth_;
    DepthTiles* depthTiles_;  // null when the depth test is off or values are all written
    PixelRect touched_;
    TileTest test_;
};

}  // namespace

void DrawRectOverTiles(RectKernel kernel, const RectKernelParams& params, const RectBlock& block,
                       const PixelRect& area, const ColorTarget& color, const DepthTarget& depth) {
    TiledRect(kernel, params, block, area, color, depth).Draw();
}

}  // namespace platform::d3d9::raster
