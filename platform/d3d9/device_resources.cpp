// The device's resource creation and the copies between resources.
#include <algorithm>

#include "d3d9/device.h"
#include "d3d9/out_of_memory.h"
#include "d3d9/texture.h"
#include "d3d9/vertex_buffer.h"

namespace platform::d3d9 {

using platform::testing::D3DCall;

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) {
    if (const HRESULT failure = InjectedFailure(D3DCall::CreateTexture); failure != S_OK) {
        if (texture) *texture = nullptr;
        return failure;
    }
    if (sharedHandle) return D3DERR_INVALIDCALL;
    return Texture::Create(*this, width, height, levels, usage, format, pool, texture);
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle) {
    if (const HRESULT failure = InjectedFailure(D3DCall::CreateVertexBuffer); failure != S_OK) {
        if (vertexBuffer) *vertexBuffer = nullptr;
        return failure;
    }
    if (sharedHandle) return D3DERR_INVALIDCALL;
    return VertexBuffer::Create(*this, length, usage, fvf, pool, vertexBuffer);
}

HRESULT Device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DSurface9** surface, HANDLE* sharedHandle) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    const bool knownPool = pool == D3DPOOL_DEFAULT || pool == D3DPOOL_SYSTEMMEM;
    if (sharedHandle || !knownPool || !IsColorFormat(format) ||
        !IsValidSurfaceSize(width, height)) {
        return D3DERR_INVALIDCALL;
    }
    return FailingWhenOutOfMemory(OutOfMemoryFor(pool), [&] {
        *surface =
            Surface::CreateStandalone(*this, width, height, format, SurfaceKind{pool, 0, true});
        return D3D_OK;
    });
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture9* sourceTexture,
                              IDirect3DBaseTexture9* destinationTexture) {
    if (const HRESULT failure = InjectedFailure(D3DCall::UpdateTexture); failure != S_OK) {
        return failure;
    }
    auto* source = dynamic_cast<Texture*>(sourceTexture);
    auto* destination = dynamic_cast<Texture*>(destinationTexture);
    if (!source || !destination || &source->OwnerDevice() != this ||
        &destination->OwnerDevice() != this) {
        return D3DERR_INVALIDCALL;
    }
    const SurfaceMemory& sourceTop = source->Levels().front()->Memory();
    const SurfaceMemory& destinationTop = destination->Levels().front()->Memory();
    const bool pools =
        source->Pool() == D3DPOOL_SYSTEMMEM && destination->Pool() == D3DPOOL_DEFAULT;
    const bool shapes = sourceTop.format == destinationTop.format &&
                        sourceTop.width == destinationTop.width &&
                        sourceTop.height == destinationTop.height &&
                        source->Levels().size() >= destination->Levels().size();
    if (!pools || !shapes) return D3DERR_INVALIDCALL;
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] {
        for (size_t level = 0; level < destination->Levels().size(); ++level) {
            const SurfaceMemory& from = source->Levels()[level]->Memory();
            SurfaceMemory& to = destination->Levels()[level]->Memory();
            // A pointer still handed out keeps each side on pixels of its own.
            if (from.Exposed() || to.Exposed()) {
                std::copy_n(from.pixels.Read(), from.pixels.size(), to.pixels.Write());
            } else {
                to.pixels.Share(from.pixels);
            }
        }
        return D3D_OK;
    });
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* renderTarget,
                                    IDirect3DSurface9* destSurface) {
    auto* destination = dynamic_cast<Surface*>(destSurface);
    if (!renderTarget || renderTarget != &swapChain_->BackBuffer() || !destination ||
        &destination->OwnerDevice() != this || destination->Pool() != D3DPOOL_SYSTEMMEM) {
        return D3DERR_INVALIDCALL;
    }
    const SurfaceMemory& from = swapChain_->BackBuffer().Memory();
    SurfaceMemory& to = destination->Memory();
    if (from.width != to.width || from.height != to.height || from.format != to.format) {
        return D3DERR_INVALIDCALL;
    }
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] {
        std::copy_n(swapChain_->Pixels(), from.pixels.size(), to.pixels.Write());
        return D3D_OK;
    });
}

}  // namespace platform::d3d9
