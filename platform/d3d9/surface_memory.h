// The pixels behind a surface, with the locks that guard them. Every colour format
// of the device is 32 bits a pixel, stored 0xAARRGGBB (memory order blue, green,
// red, alpha), rows from the top and packed.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

namespace d3d9sw {

// The largest texture or surface side; larger requests are refused so that a
// hostile image header cannot make the device allocate gigabytes.
inline constexpr UINT kMaxSurfaceSize = 8192;

inline bool IsColorFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

inline bool IsValidSurfaceSize(UINT width, UINT height) {
    return width >= 1 && height >= 1 && width <= kMaxSurfaceSize && height <= kMaxSurfaceSize;
}

// Pixel storage that starts zeroed. calloc hands large blocks over as fresh zero
// pages, so a new texture is not cleared a second time by hand.
class ZeroedPixels {
public:
    explicit ZeroedPixels(size_t count)
        : count_(count), data_(static_cast<uint32_t*>(std::calloc(count, sizeof(uint32_t)))) {
        if (!data_) {
            throw std::bad_alloc();
        }
    }

    uint32_t* data() { return data_.get(); }
    const uint32_t* data() const { return data_.get(); }
    size_t size() const { return count_; }
    uint32_t* begin() { return data(); }
    uint32_t* end() { return data() + count_; }
    const uint32_t* begin() const { return data(); }
    const uint32_t* end() const { return data() + count_; }

private:
    struct Free {
        void operator()(uint32_t* block) const { std::free(block); }
    };
    size_t count_;
    std::unique_ptr<uint32_t[], Free> data_;
};

struct SurfaceMemory {
    SurfaceMemory(UINT width, UINT height, D3DFORMAT format)
        : width(static_cast<int>(width)),
          height(static_cast<int>(height)),
          format(format),
          pixels(static_cast<size_t>(width) * height) {}

    int PitchBytes() const { return width * 4; }
    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }

    int width;
    int height;
    D3DFORMAT format;
    ZeroedPixels pixels;
    bool locked = false;
    HDC dc = nullptr;  // set while GetDC holds the pixels
};

}  // namespace d3d9sw
