#include "d3d9/texture.h"

#include <algorithm>
#include <new>

#include "d3d9/out_of_memory.h"

namespace platform::d3d9 {

using platform::testing::D3DCall;

UINT FullChainLevels(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT side = std::max(width, height); side > 1; side /= 2) ++levels;
    return levels;
}

HRESULT Texture::Create(Device& device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    const bool knownPool =
        pool == D3DPOOL_DEFAULT || pool == D3DPOOL_SYSTEMMEM || pool == D3DPOOL_MANAGED;
    const bool knownUsage = usage == 0 || (usage == D3DUSAGE_DYNAMIC && pool != D3DPOOL_MANAGED);
    if (!knownPool || !knownUsage || !IsColorFormat(format) || !IsValidSurfaceSize(width, height)) {
        return D3DERR_INVALIDCALL;
    }
    const UINT fullChain = FullChainLevels(width, height);
    if (levels > fullChain) return D3DERR_INVALIDCALL;
    return FailingWhenOutOfMemory(OutOfMemoryFor(pool), [&] {
        *texture = new Texture(device, width, height, levels == 0 ? fullChain : levels, usage,
                               format, pool);
        return D3D_OK;
    });
}

Texture::Texture(Device& device, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device, pool == D3DPOOL_DEFAULT), pool_(pool) {
    const SurfaceKind kind{pool, usage, pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0};
    try {
        levels_.reserve(levels);
        for (UINT level = 0; level < levels; ++level) {
            levels_.push_back(
                Surface::CreateTextureLevel(device, *this, std::max(width >> level, 1u),
                                            std::max(height >> level, 1u), format, kind));
        }
    } catch (const std::bad_alloc&) {
        for (Surface* level : levels_) level->Unbind();
        throw;
    }
    const SurfaceMemory& top = levels_.front()->Memory();
    view_.width = top.width;
    view_.height = top.height;
    view_.pitch = top.width;
    view_.hasAlpha = format == D3DFMT_A8R8G8B8;
}

const raster::Texture2D& Texture::View() const {
    view_.texels = levels_.front()->Memory().pixels.Read();
    return view_;
}

Texture::~Texture() {
    for (Surface* level : levels_) level->Unbind();
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (const HRESULT failure = InjectedFailure(D3DCall::GetLevelDesc); failure != S_OK) {
        return failure;
    }
    if (level >= levels_.size()) return D3DERR_INVALIDCALL;
    return levels_[level]->GetDesc(desc);
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (const HRESULT failure = InjectedFailure(D3DCall::GetSurfaceLevel); failure != S_OK) {
        if (surface) *surface = nullptr;
        return failure;
    }
    if (!surface || level >= levels_.size()) return D3DERR_INVALIDCALL;
    levels_[level]->AddRef();
    *surface = levels_[level];
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                          DWORD /*flags*/) {
    if (const HRESULT failure = InjectedFailure(D3DCall::TextureLockRect); failure != S_OK) {
        return failure;
    }
    if (level >= levels_.size()) return D3DERR_INVALIDCALL;
    return FailingWhenOutOfMemory(E_OUTOFMEMORY,
                                  [&] { return levels_[level]->LockPixels(lockedRect, rect); });
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= levels_.size()) return D3DERR_INVALIDCALL;
    return levels_[level]->UnlockPixels();
}

}  // namespace platform::d3d9
