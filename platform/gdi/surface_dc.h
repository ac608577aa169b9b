// A device context over pixels that another family owns (a Direct3D surface):
// 32-bit, rows from the top, `pitch` bytes apart. Internal to the platform layer.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::gdi {

// The context draws into and reads from the given memory until ReleaseSurfaceDC.
HDC CreateSurfaceDC(uint8_t* pixels, int width, int height, int pitch);
void ReleaseSurfaceDC(HDC dc);

}  // namespace platform::gdi
