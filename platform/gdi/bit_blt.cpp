// BitBlt with SRCCOPY: all four bytes of every pixel, clipped to both contexts.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/gdi_objects.h"

using namespace platform::gdi;

BOOL WINAPI BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
    const DeviceContext* destContext = FindDeviceContext(dest);
    const DeviceContext* srcContext = FindDeviceContext(src);
    if (destContext == nullptr || srcContext == nullptr || rop != SRCCOPY) return FALSE;
    const PixelView to = destContext->Target();
    const PixelView from = srcContext->Target();
    if (to.Empty() || from.Empty()) return TRUE;

    // Trim the rectangle where it leaves either context, keeping both corners in step.
    long long left =
        std::max<long long>({0, -static_cast<long long>(x), -static_cast<long long>(x1)});
    long long top =
        std::max<long long>({0, -static_cast<long long>(y), -static_cast<long long>(y1)});
    long long right = std::min<long long>(
        {cx, static_cast<long long>(to.width) - x, static_cast<long long>(from.width) - x1});
    long long bottom = std::min<long long>(
        {cy, static_cast<long long>(to.height) - y, static_cast<long long>(from.height) - y1});
    if (left >= right || top >= bottom) return TRUE;

    const size_t rowBytes = static_cast<size_t>(right - left) * 4;
    const int rows = static_cast<int>(bottom - top);
    // Within one context a downward move must start from the last row.
    const bool lastRowFirst = to.topRow == from.topRow && y > y1;
    for (int i = 0; i < rows; ++i) {
        const int row = static_cast<int>(top) + (lastRowFirst ? rows - 1 - i : i);
        std::memmove(to.Pixel(x + static_cast<int>(left), y + row),
                     from.Pixel(x1 + static_cast<int>(left), y1 + row), rowBytes);
    }
    return TRUE;
}
