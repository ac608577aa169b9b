#include "gdi/surface_dc.h"

#include "gdi/gdi_objects.h"

namespace platform::gdi {

HDC CreateSurfaceDC(uint8_t* pixels, int width, int height, int pitch) {
    if (pixels == nullptr || width <= 0 || height <= 0 || pitch < width * 4) return nullptr;
    auto context = std::make_unique<DeviceContext>();
    context->overSurface = true;
    context->surface = PixelView{pixels, pitch, width, height};
    return AddDeviceContext(std::move(context));
}

void ReleaseSurfaceDC(HDC dc) {
    const DeviceContext* context = FindDeviceContext(dc);
    if (context != nullptr && context->overSurface) RemoveDeviceContext(dc);
}

}  // namespace platform::gdi
