// IDirect3DTexture9: a chain of 32-bit levels, each one a Surface.
#pragma once

#include <d3d9.h>

#include <vector>

#include "d3d9/device_child.h"
#include "d3d9/hooks.h"
#include "d3d9/surface.h"
#include "d3d9/raster/pipeline.h"

namespace platform::d3d9 {

class Texture final : public DeviceChild<IDirect3DTexture9> {
public:
    // D3DERR_INVALIDCALL for what the device does not make: sizes outside
    // 1..kMaxSurfaceSize, more levels than the full chain, formats other than
    // A8R8G8B8 and X8R8G8B8, usages other than 0 and D3DUSAGE_DYNAMIC, pools other
    // than DEFAULT, SYSTEMMEM and MANAGED (which behaves as SYSTEMMEM).
    static HRESULT Create(Device& device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    D3DPOOL Pool() const { return pool_; }
    D3DFORMAT Format() const { return levels_.front()->Memory().format; }
    const std::vector<Surface*>& Levels() const { return levels_; }
    // Level 0 as the rasteriser samples it. UpdateTexture and copy-on-write can
    // move the pixels, so the view follows them at each draw.
    const raster::Texture2D& View() const;

private:
    Texture(Device& device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);
    ~Texture() override;

    D3DPOOL pool_;
    std::vector<Surface*> levels_;  // bound by the texture for its whole life
    mutable raster::Texture2D view_;
    LiveObject<LiveKind::Texture> live_;
};

// The number of levels of a full chain down to 1 x 1.
UINT FullChainLevels(UINT width, UINT height);

}  // namespace platform::d3d9
