// Memory device contexts and their drawing attributes.
#include <windows.h>

#include <utility>

#include "crt/out_of_memory.h"
#include "gdi/gdi_failures.h"
#include "gdi/gdi_objects.h"

using platform::gdi::DeviceContext;
using platform::gdi::FindDeviceContext;

HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && FindDeviceContext(dc) == nullptr) return nullptr;
    if (platform::gdi::ConsumeFailure(platform::testing::GdiCall::CreateCompatibleDC))
        return nullptr;
    return platform::FailingWhenOutOfMemory(
        HDC{}, [] { return platform::gdi::AddDeviceContext(std::make_unique<DeviceContext>()); });
}

BOOL WINAPI DeleteDC(HDC dc) {
    const DeviceContext* context = FindDeviceContext(dc);
    // A context over a surface goes back through its surface, never through DeleteDC.
    if (context == nullptr || context->overSurface) return FALSE;
    platform::gdi::RemoveDeviceContext(dc);
    return TRUE;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDeviceContext(dc);
    if (context == nullptr) return CLR_INVALID;
    return std::exchange(context->textColor, color);
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDeviceContext(dc);
    if (context == nullptr) return CLR_INVALID;
    return std::exchange(context->backgroundColor, color);
}

int WINAPI SetMapMode(HDC dc, int mode) {
    DeviceContext* context = FindDeviceContext(dc);
    // Logical units are always pixels here.
    if (context == nullptr || mode != MM_TEXT) return 0;
    return std::exchange(context->mapMode, mode);
}
