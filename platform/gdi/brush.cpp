// Solid brushes, rectangles and FillRect.
#include <windows.h>

#include <algorithm>

#include "crt/out_of_memory.h"
#include "gdi/gdi_objects.h"

using namespace platform::gdi;

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return platform::FailingWhenOutOfMemory(HBRUSH{}, [&] {
        return static_cast<HBRUSH>(AddObject(std::make_unique<BrushObject>(color)));
    });
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* brush) {
    // Only solid brushes are offered.
    if (brush == nullptr || brush->lbStyle != BS_SOLID) return nullptr;
    return CreateSolidBrush(brush->lbColor);
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) return FALSE;
    rect->left = left;
    rect->top = top;
    rect->right = right;
    rect->bottom = bottom;
    return TRUE;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const DeviceContext* context = FindDeviceContext(dc);
    const auto* fill = FindObjectOf<BrushObject>(brush, ObjectKind::Brush);
    if (context == nullptr || rect == nullptr || fill == nullptr) return 0;

    const PixelView target = context->Target();
    const int left = std::max<int>(rect->left, 0);
    const int top = std::max<int>(rect->top, 0);
    const int right = std::min<int>(rect->right, target.width);
    const int bottom = std::min<int>(rect->bottom, target.height);
    // GDI leaves the fourth byte of every pixel it paints at zero.
    const uint8_t pixel[4] = {GetBValue(fill->color), GetGValue(fill->color),
                              GetRValue(fill->color), 0};
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) std::copy(pixel, pixel + 4, target.Pixel(x, y));
    }
    return 1;
}
