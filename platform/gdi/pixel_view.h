// A window onto 32-bit pixels (blue, green, red, alpha in memory) addressed by image
// position, whichever way up the rows are stored.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::gdi {

struct PixelView {
    uint8_t* topRow = nullptr;  // image row 0
    ptrdiff_t rowStep = 0;  // bytes from one image row to the next; negative when stored bottom-up
    int width = 0;
    int height = 0;

    bool Empty() const { return topRow == nullptr || width <= 0 || height <= 0; }
    uint8_t* Row(int y) const { return topRow + y * rowStep; }
    uint8_t* Pixel(int x, int y) const { return Row(y) + static_cast<ptrdiff_t>(x) * 4; }
};

}  // namespace platform::gdi
