// The device's state: what StateBlock keeps, plus the bindings that hold resources.
#include "d3d9/device.h"
#include "d3d9/texture.h"
#include "d3d9/vertex_buffer.h"

namespace platform::d3d9 {

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    return state_.SetTransform(state, matrix);
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    return state_.GetTransform(state, matrix);
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport) {
    return state_.SetViewport(viewport, swapChain_->Width(), swapChain_->Height());
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) { return state_.GetViewport(viewport); }

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    return state_.SetRenderState(state, value);
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    return state_.GetRenderState(state, value);
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return state_.SetTextureStageState(stage, type, value);
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    return state_.GetTextureStageState(stage, type, value);
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    return state_.SetSamplerState(sampler, type, value);
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    return state_.GetSamplerState(sampler, type, value);
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= textures_.size()) return D3DERR_INVALIDCALL;
    auto* bound = dynamic_cast<Texture*>(texture);
    // A system-memory texture is a staging copy: the device cannot sample it.
    if (texture &&
        (!bound || &bound->OwnerDevice() != this || bound->Pool() == D3DPOOL_SYSTEMMEM)) {
        return D3DERR_INVALIDCALL;
    }
    if (bound) bound->Bind();
    if (textures_[stage]) textures_[stage]->Unbind();
    textures_[stage] = bound;
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (!texture || stage >= textures_.size()) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetVertexShader(IDirect3DVertexShader9* shader) {
    // Only the fixed-function pipeline exists here.
    return shader ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf) {
    fvf_ = fvf;
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf) {
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = fvf_;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                UINT offsetInBytes, UINT stride) {
    auto* buffer = dynamic_cast<VertexBuffer*>(streamData);
    if (streamNumber != 0 || (streamData && (!buffer || &buffer->OwnerDevice() != this))) {
        return D3DERR_INVALIDCALL;
    }
    BindStream(buffer, offsetInBytes, stride);
    return D3D_OK;
}

}  // namespace platform::d3d9
