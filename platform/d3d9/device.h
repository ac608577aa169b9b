// IDirect3DDevice9: a software device drawing into memory and presenting into an
// SDL window. Its member functions are split by concern: device.cpp (life,
// presentation, lost and reset), device_resources.cpp, device_state.cpp and
// device_draw.cpp.
#pragma once

#include <d3d9.h>

#include <array>
#include <memory>

#include "d3d9/com_object.h"
#include "d3d9/hooks.h"
#include "d3d9/state_block.h"
#include "d3d9/swap_chain.h"

namespace platform::d3d9 {

class Texture;
class VertexBuffer;

class Device final : public ComObject<IDirect3DDevice9> {
public:
    // Checks and resolves `params` (writing the actual values back) and makes the
    // device; it keeps a reference on `direct3d`.
    static HRESULT Create(IDirect3D9& direct3d, HWND focusWindow, D3DPRESENT_PARAMETERS* params,
                          IDirect3DDevice9** device);

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDirect3D(IDirect3D9** direct3d) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** vertexBuffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* sourceTexture,
                          IDirect3DBaseTexture9* destinationTexture) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget,
                                IDirect3DSurface9* destSurface) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                          UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                            const void* vertexStreamZeroData, UINT vertexStreamZeroStride) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                            UINT offsetInBytes, UINT stride) override;

    // Objects that block Reset while the caller holds them (default-pool resources
    // and the back buffer) report here.
    void AddResetBlocker() { ++resetBlockers_; }
    void RemoveResetBlocker() { --resetBlockers_; }

    // The test hooks' lost device, as a full-screen device is lost on Windows.
    void LoseByRequest();
    void RestoreByRequest();

private:
    Device(IDirect3D9& direct3d, HWND focusWindow, const D3DPRESENT_PARAMETERS& params);
    ~Device() override;

    // Everything Reset checks; `resolved` gets the parameters as they will be written back.
    HRESULT CheckReset(const D3DPRESENT_PARAMETERS* params, D3DPRESENT_PARAMETERS& resolved) const;
    HWND WindowFor(const D3DPRESENT_PARAMETERS& params) const;
    HWND PresentationWindow() const;
    // Lost now: by request, or full screen while the window is not active.
    bool IsLost() const;
    // Takes new buffers and puts the state back as after creation.
    void Adopt(std::unique_ptr<SwapChain> swapChain);
    void UnbindAll();
    void BindStream(VertexBuffer* buffer, UINT offset, UINT stride);
    HRESULT Draw(D3DPRIMITIVETYPE type, const raster::VertexStream& stream, UINT startVertex,
                 UINT primitiveCount);

    IDirect3D9& direct3d_;
    HWND focusWindow_;
    D3DPRESENT_PARAMETERS params_;
    std::unique_ptr<SwapChain> swapChain_;
    StateBlock state_;
    std::array<Texture*, StateBlock::kStages> textures_{};
    VertexBuffer* stream_ = nullptr;
    UINT streamOffset_ = 0;
    UINT streamStride_ = 0;
    DWORD fvf_ = 0;
    bool inScene_ = false;
    bool lostByRequest_ = false;
    bool needsReset_ = false;
    int resetBlockers_ = 0;
    LiveObject<LiveKind::Device> live_;
};

}  // namespace platform::d3d9
