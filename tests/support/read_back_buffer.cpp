#include "read_back_buffer.h"

#include <cstring>

platform::testing::Frame ReadBackBuffer(IDirect3DDevice9* device) {
    platform::testing::Frame frame;
    if (!device) return frame;
    IDirect3DSurface9* backBuffer = nullptr;
    if (device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer) != D3D_OK) return frame;
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    if (device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                            &copy, nullptr) == D3D_OK) {
        D3DLOCKED_RECT locked{};
        if (device->GetRenderTargetData(backBuffer, copy) == D3D_OK &&
            copy->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK) {
            frame.width = static_cast<int>(desc.Width);
            frame.height = static_cast<int>(desc.Height);
            frame.pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
            const auto* source = static_cast<const uint8_t*>(locked.pBits);
            for (UINT y = 0; y < desc.Height; ++y)
                std::memcpy(&frame.pixels[static_cast<size_t>(y) * desc.Width],
                            source + static_cast<size_t>(y) * locked.Pitch, desc.Width * 4);
            copy->UnlockRect();
        }
        copy->Release();
    }
    backBuffer->Release();
    return frame;
}
