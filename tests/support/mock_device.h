// A gmock of the Direct3D 9 device, for checking calls and arguments that a
// rendered frame cannot show; set it to pass calls through to a real device.
#pragma once

#include <d3d9.h>
#include <gmock/gmock.h>

class MockDevice : public IDirect3DDevice9 {
public:
    MOCK_METHOD(HRESULT, QueryInterface, (REFIID, void**), (override));
    MOCK_METHOD(ULONG, AddRef, (), (override));
    MOCK_METHOD(ULONG, Release, (), (override));
    MOCK_METHOD(HRESULT, TestCooperativeLevel, (), (override));
    MOCK_METHOD(HRESULT, GetDirect3D, (IDirect3D9**), (override));
    MOCK_METHOD(HRESULT, Reset, (D3DPRESENT_PARAMETERS*), (override));
    MOCK_METHOD(HRESULT, Present, (const RECT*, const RECT*, HWND, const RGNDATA*), (override));
    MOCK_METHOD(HRESULT, GetBackBuffer, (UINT, UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface9**),
                (override));
    MOCK_METHOD(HRESULT, CreateTexture,
                (UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**, HANDLE*),
                (override));
    MOCK_METHOD(HRESULT, CreateVertexBuffer,
                (UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9**, HANDLE*), (override));
    MOCK_METHOD(HRESULT, CreateOffscreenPlainSurface,
                (UINT, UINT, D3DFORMAT, D3DPOOL, IDirect3DSurface9**, HANDLE*), (override));
    MOCK_METHOD(HRESULT, UpdateTexture, (IDirect3DBaseTexture9*, IDirect3DBaseTexture9*),
                (override));
    MOCK_METHOD(HRESULT, GetRenderTargetData, (IDirect3DSurface9*, IDirect3DSurface9*), (override));
    MOCK_METHOD(HRESULT, BeginScene, (), (override));
    MOCK_METHOD(HRESULT, EndScene, (), (override));
    MOCK_METHOD(HRESULT, Clear, (DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD), (override));
    MOCK_METHOD(HRESULT, SetTransform, (D3DTRANSFORMSTATETYPE, const D3DMATRIX*), (override));
    MOCK_METHOD(HRESULT, GetTransform, (D3DTRANSFORMSTATETYPE, D3DMATRIX*), (override));
    MOCK_METHOD(HRESULT, SetViewport, (const D3DVIEWPORT9*), (override));
    MOCK_METHOD(HRESULT, GetViewport, (D3DVIEWPORT9*), (override));
    MOCK_METHOD(HRESULT, SetRenderState, (D3DRENDERSTATETYPE, DWORD), (override));
    MOCK_METHOD(HRESULT, GetRenderState, (D3DRENDERSTATETYPE, DWORD*), (override));
    MOCK_METHOD(HRESULT, GetTexture, (DWORD, IDirect3DBaseTexture9**), (override));
    MOCK_METHOD(HRESULT, SetTexture, (DWORD, IDirect3DBaseTexture9*), (override));
    MOCK_METHOD(HRESULT, GetTextureStageState, (DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*),
                (override));
    MOCK_METHOD(HRESULT, SetTextureStageState, (DWORD, D3DTEXTURESTAGESTATETYPE, DWORD),
                (override));
    MOCK_METHOD(HRESULT, GetSamplerState, (DWORD, D3DSAMPLERSTATETYPE, DWORD*), (override));
    MOCK_METHOD(HRESULT, SetSamplerState, (DWORD, D3DSAMPLERSTATETYPE, DWORD), (override));
    MOCK_METHOD(HRESULT, DrawPrimitive, (D3DPRIMITIVETYPE, UINT, UINT), (override));
    MOCK_METHOD(HRESULT, DrawPrimitiveUP, (D3DPRIMITIVETYPE, UINT, const void*, UINT), (override));
    MOCK_METHOD(HRESULT, SetVertexShader, (IDirect3DVertexShader9*), (override));
    MOCK_METHOD(HRESULT, SetFVF, (DWORD), (override));
    MOCK_METHOD(HRESULT, GetFVF, (DWORD*), (override));
    MOCK_METHOD(HRESULT, SetStreamSource, (UINT, IDirect3DVertexBuffer9*, UINT, UINT), (override));
};
