#include "d3d9/surface.h"

#include "d3d9/out_of_memory.h"
#include "gdi/surface_dc.h"

namespace platform::d3d9 {

using platform::testing::D3DCall;

Surface* Surface::CreateStandalone(Device& device, UINT width, UINT height, D3DFORMAT format,
                                   SurfaceKind kind) {
    return new Surface(device, nullptr, kind.pool == D3DPOOL_DEFAULT, 1, 0, width, height, format,
                       kind);
}

Surface* Surface::CreateBackBuffer(Device& device, UINT width, UINT height, D3DFORMAT format) {
    const SurfaceKind kind{D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, false};
    return new Surface(device, nullptr, true, 0, 1, width, height, format, kind);
}

Surface* Surface::CreateTextureLevel(Device& device, IDirect3DTexture9& texture, UINT width,
                                     UINT height, D3DFORMAT format, SurfaceKind kind) {
    return new Surface(device, &texture, false, 0, 1, width, height, format, kind);
}

Surface::Surface(Device& device, IDirect3DTexture9* container, bool blocksReset,
                 ULONG callerReferences, int bindings, UINT width, UINT height, D3DFORMAT format,
                 SurfaceKind kind)
    : DeviceChild(device, blocksReset, callerReferences, bindings),
      container_(container),
      kind_(kind),
      memory_(width, height, format,
              kind.lockable || (kind.usage & D3DUSAGE_RENDERTARGET) != 0 ? Allocation::Now
                                                                         : Allocation::OnFirstUse) {
}

Surface::~Surface() {
    if (memory_.dc) platform::gdi::ReleaseSurfaceDC(memory_.dc);
}

ULONG Surface::AddRef() { return container_ ? container_->AddRef() : DeviceChild::AddRef(); }

ULONG Surface::Release() { return container_ ? container_->Release() : DeviceChild::Release(); }

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    desc->Format = memory_.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = kind_.usage;
    desc->Pool = kind_.pool;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = static_cast<UINT>(memory_.width);
    desc->Height = static_cast<UINT>(memory_.height);
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD /*flags*/) {
    if (const HRESULT failure = InjectedFailure(D3DCall::SurfaceLockRect); failure != S_OK) {
        return failure;
    }
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] { return LockPixels(lockedRect, rect); });
}

HRESULT Surface::UnlockRect() { return UnlockPixels(); }

HRESULT Surface::LockPixels(D3DLOCKED_RECT* lockedRect, const RECT* rect) {
    if (!lockedRect || !kind_.lockable || memory_.Exposed()) return D3DERR_INVALIDCALL;
    RECT area{0, 0, memory_.width, memory_.height};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || rect->right > memory_.width ||
            rect->bottom > memory_.height) {
            return D3DERR_INVALIDCALL;
        }
        area = *rect;
    }
    memory_.locked = true;
    lockedRect->Pitch = memory_.PitchBytes();
    lockedRect->pBits =
        memory_.pixels.Write() + static_cast<size_t>(area.top) * memory_.width + area.left;
    return D3D_OK;
}

HRESULT Surface::UnlockPixels() {
    if (!memory_.locked) return D3DERR_INVALIDCALL;
    memory_.locked = false;
    return D3D_OK;
}

HRESULT Surface::GetDC(HDC* dc) {
    if (const HRESULT failure = InjectedFailure(D3DCall::SurfaceGetDC); failure != S_OK) {
        return failure;
    }
    if (!dc || !kind_.lockable || memory_.Exposed()) return D3DERR_INVALIDCALL;
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] {
        HDC created =
            platform::gdi::CreateSurfaceDC(reinterpret_cast<uint8_t*>(memory_.pixels.Write()),
                                           memory_.width, memory_.height, memory_.PitchBytes());
        if (!created) return D3DERR_INVALIDCALL;
        memory_.dc = created;
        *dc = created;
        return D3D_OK;
    });
}

HRESULT Surface::ReleaseDC(HDC dc) {
    if (!memory_.dc || dc != memory_.dc) return D3DERR_INVALIDCALL;
    platform::gdi::ReleaseSurfaceDC(memory_.dc);
    memory_.dc = nullptr;
    return D3D_OK;
}

}  // namespace platform::d3d9
