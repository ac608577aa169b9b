// IDirect3DSurface9: a texture level, the swap chain's back buffer or an offscreen
// plain surface.
#pragma once

#include <d3d9.h>

#include "d3d9/device_child.h"
#include "d3d9/hooks.h"
#include "d3d9/surface_memory.h"

namespace platform::d3d9 {

struct SurfaceKind {
    D3DPOOL pool;
    DWORD usage;
    bool lockable;
};

class Surface final : public DeviceChild<IDirect3DSurface9> {
public:
    // A surface of its own: the caller holds the one reference.
    static Surface* CreateStandalone(Device& device, UINT width, UINT height, D3DFORMAT format,
                                     SurfaceKind kind);
    // The swap chain's back buffer: bound by the device, no caller reference yet.
    static Surface* CreateBackBuffer(Device& device, UINT width, UINT height, D3DFORMAT format);
    // A level of a texture: references count on the texture, which binds the level.
    static Surface* CreateTextureLevel(Device& device, IDirect3DTexture9& texture, UINT width,
                                       UINT height, D3DFORMAT format, SurfaceKind kind);

    ULONG AddRef() override;
    ULONG Release() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;

    // Lock and unlock without consulting the injected failures (the texture's
    // LockRect has its own).
    HRESULT LockPixels(D3DLOCKED_RECT* lockedRect, const RECT* rect);
    HRESULT UnlockPixels();

    SurfaceMemory& Memory() { return memory_; }
    const SurfaceMemory& Memory() const { return memory_; }
    D3DPOOL Pool() const { return kind_.pool; }

private:
    Surface(Device& device, IDirect3DTexture9* container, bool blocksReset, ULONG callerReferences,
            int bindings, UINT width, UINT height, D3DFORMAT format, SurfaceKind kind);
    ~Surface() override;

    IDirect3DTexture9* container_;
    SurfaceKind kind_;
    SurfaceMemory memory_;
    LiveObject<LiveKind::Surface> live_;
};

}  // namespace platform::d3d9
