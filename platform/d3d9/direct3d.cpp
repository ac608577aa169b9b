#include "d3d9/direct3d.h"

#include <SDL.h>

#include "d3d9/device.h"
#include "win32/sdl_video.h"

namespace platform::d3d9 {

using platform::testing::D3DCall;

Direct3D* Direct3D::Create() {
    // The window family starts SDL's video with the hints the whole layer relies on,
    // and keeps it for the process.
    if (!platform::win32::EnsureSdlVideo()) return nullptr;
    return new Direct3D();
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return D3DERR_NOTAVAILABLE;
    mode->Width = static_cast<UINT>(desktop.w);
    mode->Height = static_cast<UINT>(desktop.h);
    mode->RefreshRate = static_cast<UINT>(desktop.refresh_rate);
    mode->Format = D3DFMT_X8R8G8B8;
    return D3D_OK;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                               DWORD /*behaviorFlags*/,
                               D3DPRESENT_PARAMETERS* presentationParameters,
                               IDirect3DDevice9** returnedDeviceInterface) {
    if (returnedDeviceInterface) *returnedDeviceInterface = nullptr;
    if (const HRESULT failure = InjectedFailure(D3DCall::CreateDevice); failure != S_OK) {
        return failure;
    }
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    return Device::Create(*this, focusWindow, presentationParameters, returnedDeviceInterface);
}

}  // namespace platform::d3d9

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    if (platform::d3d9::InjectedFailure(platform::testing::D3DCall::Direct3DCreate9) != S_OK) {
        return nullptr;
    }
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return platform::d3d9::Direct3D::Create();
}
