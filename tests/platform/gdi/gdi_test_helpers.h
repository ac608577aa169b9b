// Small helpers shared by the GDI tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace gdi_test {

// A 32-bit DIB section; a negative height stores the rows from the top.
inline HBITMAP MakeSection(int width, int height, uint8_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint8_t*>(pixels);
    return bitmap;
}

// The pixel's four bytes (blue, green, red, alpha in memory) as 0xAARRGGBB.
inline uint32_t ReadPixel(const uint8_t* pixel) {
    uint32_t value;
    std::memcpy(&value, pixel, 4);
    return value;
}

}  // namespace gdi_test
