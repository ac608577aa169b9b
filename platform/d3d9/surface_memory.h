// The pixels behind a surface, with the locks that guard them. Every colour format
// of the device is 32 bits a pixel, stored 0xAARRGGBB (memory order blue, green,
// red, alpha), rows from the top and packed.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include "d3d9/pixel_store.h"

namespace platform::d3d9 {

// The largest texture or surface side; larger requests are refused so that a
// hostile image header cannot make the device allocate gigabytes.
inline constexpr UINT kMaxSurfaceSize = 8192;

inline bool IsColorFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

inline bool IsValidSurfaceSize(UINT width, UINT height) {
    return width >= 1 && height >= 1 && width <= kMaxSurfaceSize && height <= kMaxSurfaceSize;
}

struct SurfaceMemory {
    SurfaceMemory(UINT width, UINT height, D3DFORMAT format, Allocation allocation)
        : width(static_cast<int>(width)),
          height(static_cast<int>(height)),
          format(format),
          pixels(static_cast<size_t>(width) * height, allocation) {}

    int PitchBytes() const { return width * 4; }
    // Someone holds a pointer to the pixels: they must stay where they are.
    bool Exposed() const { return locked || dc != nullptr; }

    int width;
    int height;
    D3DFORMAT format;
    PixelStore pixels;
    bool locked = false;
    HDC dc = nullptr;  // set while GetDC holds the pixels
};

}  // namespace platform::d3d9
