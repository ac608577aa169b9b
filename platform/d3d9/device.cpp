#include "d3d9/device.h"

#include "d3d9/out_of_memory.h"

#include "d3d9/presentation.h"
#include "d3d9/texture.h"
#include "d3d9/vertex_buffer.h"
#include "win32/window_bridge.h"

namespace platform::d3d9 {

using platform::testing::D3DCall;

HRESULT Device::Create(IDirect3D9& direct3d, HWND focusWindow, D3DPRESENT_PARAMETERS* params,
                       IDirect3DDevice9** device) {
    if (!device) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (!params || !focusWindow) return D3DERR_INVALIDCALL;
    const HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
    if (!IsWindow(window)) return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS resolved = *params;
    if (const HRESULT result = ResolvePresentation(window, resolved, false); result != D3D_OK) {
        return result;
    }
    return FailingWhenOutOfMemory(D3DERR_OUTOFVIDEOMEMORY, [&] {
        // The buffers first: a device that cannot have them leaves the window alone.
        Device* made = new Device(direct3d, focusWindow, resolved);
        if (!SwitchPresentation(window, resolved, false)) {
            made->Release();
            return D3DERR_INVALIDCALL;
        }
        *params = resolved;
        *device = made;
        return D3D_OK;
    });
}

Device::Device(IDirect3D9& direct3d, HWND focusWindow, const D3DPRESENT_PARAMETERS& params)
    : direct3d_(direct3d), focusWindow_(focusWindow), params_(params) {
    Adopt(std::make_unique<SwapChain>(*this, PresentationWindow(), params_));
    direct3d_.AddRef();  // after the buffers, which may throw
}

Device::~Device() {
    UnbindAll();
    swapChain_.reset();
    direct3d_.Release();
}

HRESULT Device::GetDirect3D(IDirect3D9** direct3d) {
    if (!direct3d) return D3DERR_INVALIDCALL;
    direct3d_.AddRef();
    *direct3d = &direct3d_;
    return D3D_OK;
}

HWND Device::WindowFor(const D3DPRESENT_PARAMETERS& params) const {
    return params.hDeviceWindow ? params.hDeviceWindow : focusWindow_;
}

HWND Device::PresentationWindow() const { return WindowFor(params_); }

bool Device::IsLost() const {
    return lostByRequest_ ||
           (!params_.Windowed && !platform::win32::IsWindowActive(PresentationWindow()));
}

void Device::LoseByRequest() {
    lostByRequest_ = true;
    needsReset_ = true;
}

void Device::RestoreByRequest() { lostByRequest_ = false; }

HRESULT Device::TestCooperativeLevel() {
    if (const HRESULT failure = InjectedFailure(D3DCall::TestCooperativeLevel); failure != S_OK) {
        return failure;
    }
    if (IsLost()) {
        needsReset_ = true;
        return D3DERR_DEVICELOST;
    }
    return needsReset_ ? D3DERR_DEVICENOTRESET : D3D_OK;
}

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                        const RGNDATA* /*dirtyRegion*/) {
    if (const HRESULT failure = InjectedFailure(D3DCall::Present); failure != S_OK) {
        return failure;
    }
    // Partial presentation is outside what this device does.
    if (sourceRect || destRect) return D3DERR_INVALIDCALL;
    if (IsLost() || needsReset_) {
        needsReset_ = true;
        return D3DERR_DEVICELOST;
    }
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] {
        swapChain_->Present(destWindowOverride ? destWindowOverride : PresentationWindow());
        return D3D_OK;
    });
}

// As on Windows, a failed reset leaves a device that only Reset can revive; here it
// also leaves the window and the old buffers as they were.
HRESULT Device::Reset(D3DPRESENT_PARAMETERS* params) {
    D3DPRESENT_PARAMETERS resolved{};
    HRESULT result = CheckReset(params, resolved);
    if (result == D3D_OK) {
        result = FailingWhenOutOfMemory(D3DERR_OUTOFVIDEOMEMORY, [&] {
            auto swapChain = std::make_unique<SwapChain>(*this, WindowFor(resolved), resolved);
            if (!SwitchPresentation(WindowFor(resolved), resolved, true)) {
                return D3DERR_INVALIDCALL;
            }
            *params = resolved;
            params_ = resolved;
            UnbindAll();
            Adopt(std::move(swapChain));
            return D3D_OK;
        });
    }
    needsReset_ = result != D3D_OK;
    return result;
}

HRESULT Device::CheckReset(const D3DPRESENT_PARAMETERS* params,
                           D3DPRESENT_PARAMETERS& resolved) const {
    if (const HRESULT failure = InjectedFailure(D3DCall::Reset); failure != S_OK) return failure;
    if (!params) return D3DERR_INVALIDCALL;
    if (IsLost()) return D3DERR_DEVICELOST;
    if (resetBlockers_ > 0) return D3DERR_INVALIDCALL;
    resolved = *params;
    return ResolvePresentation(WindowFor(resolved), resolved, true);
}

void Device::Adopt(std::unique_ptr<SwapChain> swapChain) {
    swapChain_ = std::move(swapChain);
    state_.SetDefaults(swapChain_->Width(), swapChain_->Height(), swapChain_->HasDepth());
    fvf_ = 0;
    inScene_ = false;
}

void Device::UnbindAll() {
    for (Texture*& texture : textures_) {
        if (texture) {
            texture->Unbind();
            texture = nullptr;
        }
    }
    BindStream(nullptr, 0, 0);
}

void Device::BindStream(VertexBuffer* buffer, UINT offset, UINT stride) {
    if (buffer) buffer->Bind();
    if (stream_) stream_->Unbind();
    stream_ = buffer;
    streamOffset_ = offset;
    streamStride_ = stride;
}

HRESULT Device::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                              IDirect3DSurface9** surface) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swapChain != 0 || backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO) {
        return D3DERR_INVALIDCALL;
    }
    Surface& buffer = swapChain_->BackBuffer();
    buffer.AddRef();
    *surface = &buffer;
    return D3D_OK;
}

}  // namespace platform::d3d9
