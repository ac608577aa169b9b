#include "d3d9/raster/target_fill.h"

#include "d3d9/raster/color_tiles.h"
#include "d3d9/raster/depth_tiles.h"
#include "d3d9/raster/rect_kernels.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace platform::d3d9::raster {
namespace {

typedef uint32_t Block16 __attribute__((vector_size(16)));
typedef uint32_t Block32 __attribute__((vector_size(32)));

// `count` elements, all `value`, stored a Block at a time in the middle.
template <typename Block, typename T>
[[gnu::always_inline]] inline void StoreRun(T* row, int count, T value) {
    constexpr int kPerBlock = sizeof(Block) / sizeof(T);
    T pattern[kPerBlock];
    std::fill(pattern, pattern + kPerBlock, value);
    Block block;
    std::memcpy(&block, pattern, sizeof block);
    if (count < kPerBlock) {
        std::fill_n(row, count, value);
        return;
    }
    // Aligned blocks never straddle two cache lines; the first and the last block, which
    // may, overlap their neighbours instead of being stored a value at a time.
    std::memcpy(row, &block, sizeof block);
    const int head =
        static_cast<int>((sizeof(Block) - reinterpret_cast<uintptr_t>(row) % sizeof(Block)) %
                         sizeof(Block) / sizeof(T));
    for (int x = head; x + kPerBlock <= count; x += kPerBlock)
        std::memcpy(row + x, &block, sizeof block);
    std::memcpy(row + count - kPerBlock, &block, sizeof block);
}

template <typename T>
void StoreRunSse2(T* row, int count, T value) {
    StoreRun<Block16>(row, count, value);
}

#if defined(__x86_64__) || defined(__i386__)
template <typename T>
[[gnu::target("avx2")]] void StoreRunAvx2(T* row, int count, T value) {
    StoreRun<Block32>(row, count, value);
}
#else
template <typename T>
void StoreRunAvx2(T* row, int count, T value) {
    StoreRun<Block16>(row, count, value);
}
#endif

template <typename T>
void FillRow(T* row, int count, T value) {
    if (sizeof(T) == 2 ? (value >> 8) == (value & 0xFF) : value == (value & 0xFF) * 0x01010101u) {
        std::memset(row, value & 0xFF, sizeof(T) * count);  // a byte pattern
        return;
    }
    if (BestKernelIsa() == KernelIsa::Avx2)
        StoreRunAvx2(row, count, value);
    else
        StoreRunSse2(row, count, value);
}

PixelRect Cut(const PixelRect& rect, int width, int height) {
    return {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width),
            std::min(rect.bottom, height)};
}

template <typename T>
void FillRect(T* base, ptrdiff_t pitch, int width, int height, const PixelRect& rect, T value) {
    if (base == nullptr) return;
    const PixelRect r = Cut(rect, width, height);
    if (r.left >= r.right || r.top >= r.bottom) return;
    // Whole rows of a packed target are one run.
    if (r.left == 0 && r.right == width && pitch == width) {
        FillRow(base + r.top * pitch, width * (r.bottom - r.top), value);
        return;
    }
    for (int y = r.top; y < r.bottom; ++y)
        FillRow(base + y * pitch + r.left, r.right - r.left, value);
}

// Marks the tiles `rect` covers whole as holding `value`, and fills the part of it in
// each other tile it touches, once that tile's values are written out.
template <typename Target, typename T, typename Tiles>
void FillOverTiles(const Target& target, T* base, Tiles* tiles, const PixelRect& rect, T value) {
    const PixelRect r = Cut(rect, target.width, target.height);
    if (tiles == nullptr || base == nullptr || r.left >= r.right || r.top >= r.bottom) {
        FillRect(base, target.pitch, target.width, target.height, rect, value);
        return;
    }
    const PixelRect covered = tiles->MarkWhole(r, value);
    const PixelRect touched = TileGrid::TilesOf(r);
    for (int row = touched.top; row < touched.bottom; ++row)
        for (int column = touched.left; column < touched.right; ++column) {
            if (row >= covered.top && row < covered.bottom && column >= covered.left &&
                column < covered.right) {
                column = covered.right - 1;
                continue;
            }
            tiles->Materialise(target, column, row);
            FillRect(base, target.pitch, target.width, target.height,
                     tiles->PartOf(column, row, r).rect, value);
            // A depth tile's range takes the value in.
            if constexpr (std::is_same_v<Tiles, DepthTiles>) tiles->Include(column, row, value);
        }
}

}  // namespace

void FillColor(const ColorTarget& target, const PixelRect& rect, uint32_t value) {
    FillOverTiles(target, target.pixels, target.tiles, rect, value);
}

void FillDepth(const DepthTarget& target, const PixelRect& rect, uint16_t value) {
    FillOverTiles(target, target.values, target.tiles, rect, value);
}

}  // namespace platform::d3d9::raster
