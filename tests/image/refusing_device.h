// A device that forwards everything to a real one but refuses textures in the
// default pool, so the loader's second creation can fail after the first worked.
#pragma once

#include <d3d9.h>

namespace image_test {

class DefaultPoolRefusingDevice final : public IDirect3DDevice9 {
public:
    explicit DefaultPoolRefusingDevice(IDirect3DDevice9* real) : real_(real) {}
    virtual ~DefaultPoolRefusingDevice() = default;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) override
    {
        if (pool == D3DPOOL_DEFAULT) {
            *texture = nullptr;
            return D3DERR_OUTOFVIDEOMEMORY;
        }
        return real_->CreateTexture(width, height, levels, usage, format, pool, texture, shared);
    }

    HRESULT QueryInterface(REFIID riid, void** object) override { return real_->QueryInterface(riid, object); }
    ULONG AddRef() override { return real_->AddRef(); }
    ULONG Release() override { return real_->Release(); }
    HRESULT TestCooperativeLevel() override { return real_->TestCooperativeLevel(); }
    HRESULT GetDirect3D(IDirect3D9** d3d) override { return real_->GetDirect3D(d3d); }
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override { return real_->Reset(parameters); }
    HRESULT Present(const RECT* source, const RECT* dest, HWND window, const RGNDATA* dirty) override
    {
        return real_->Present(source, dest, window, dirty);
    }
    HRESULT GetBackBuffer(UINT chain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override
    {
        return real_->GetBackBuffer(chain, index, type, surface);
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* shared) override
    {
        return real_->CreateVertexBuffer(length, usage, fvf, pool, buffer, shared);
    }
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* shared) override
    {
        return real_->CreateOffscreenPlainSurface(width, height, format, pool, surface, shared);
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9* from, IDirect3DBaseTexture9* to) override
    {
        return real_->UpdateTexture(from, to);
    }
    HRESULT GetRenderTargetData(IDirect3DSurface9* target, IDirect3DSurface9* dest) override
    {
        return real_->GetRenderTargetData(target, dest);
    }
    HRESULT BeginScene() override { return real_->BeginScene(); }
    HRESULT EndScene() override { return real_->EndScene(); }
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override
    {
        return real_->Clear(count, rects, flags, color, z, stencil);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* m) override { return real_->SetTransform(state, m); }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* m) override { return real_->GetTransform(state, m); }
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override { return real_->SetViewport(viewport); }
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override { return real_->GetViewport(viewport); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override { return real_->SetRenderState(state, value); }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override { return real_->GetRenderState(state, value); }
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override { return real_->GetTexture(stage, texture); }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override { return real_->SetTexture(stage, texture); }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override
    {
        return real_->GetTextureStageState(stage, type, value);
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override
    {
        return real_->SetTextureStageState(stage, type, value);
    }
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override
    {
        return real_->GetSamplerState(sampler, type, value);
    }
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override
    {
        return real_->SetSamplerState(sampler, type, value);
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override
    {
        return real_->DrawPrimitive(type, start, count);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data, UINT stride) override
    {
        return real_->DrawPrimitiveUP(type, count, data, stride);
    }
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override { return real_->SetVertexShader(shader); }
    HRESULT SetFVF(DWORD fvf) override { return real_->SetFVF(fvf); }
    HRESULT GetFVF(DWORD* fvf) override { return real_->GetFVF(fvf); }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* data, UINT offset, UINT stride) override
    {
        return real_->SetStreamSource(stream, data, offset, stride);
    }

private:
    IDirect3DDevice9* real_;
};

}  // namespace image_test
