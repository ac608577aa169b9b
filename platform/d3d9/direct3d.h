// IDirect3D9: the one adapter (the desktop SDL reports) and device creation.
#pragma once

#include <d3d9.h>

#include "d3d9/com_object.h"
#include "d3d9/hooks.h"

namespace platform::d3d9 {

class Direct3D final : public ComObject<IDirect3D9> {
public:
    // Null when SDL's video cannot start.
    static Direct3D* Create();

    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters,
                         IDirect3DDevice9** returnedDeviceInterface) override;

private:
    Direct3D() = default;
    ~Direct3D() override = default;

    LiveObject<LiveKind::Direct3D> live_;
};

}  // namespace platform::d3d9
