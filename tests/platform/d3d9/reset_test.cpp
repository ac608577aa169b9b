#include <gtest/gtest.h>
#include <platform_testing.h>

#include <cstring>
#include <utility>

#include "texture_helpers.h"
#include "test_device.h"

namespace {

using platform::testing::CountD3DLiveObjects;

class DeviceReset : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }
    void TearDown() override { platform::testing::ResetAllHooks(); }

    // Windowed at 0 x 0 takes the client area.
    D3DPRESENT_PARAMETERS Windowed(UINT width = 0, UINT height = 0) { return Params(TRUE, width, height); }
    D3DPRESENT_PARAMETERS FullScreen(UINT width, UINT height) { return Params(FALSE, width, height); }
    D3DPRESENT_PARAMETERS Params(BOOL windowed, UINT width, UINT height) {
        D3DPRESENT_PARAMETERS params = test.presentParameters();
        params.Windowed = windowed;
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        return params;
    }

    HRESULT ResetWith(D3DPRESENT_PARAMETERS params) { return device->Reset(&params); }

    void ExpectState(HRESULT cooperative, HRESULT present) {
        EXPECT_EQ(device->TestCooperativeLevel(), cooperative);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), present);
    }
    // What every failed or refused reset must leave: not lost, not reset.
    void ExpectNeedsReset() { ExpectState(D3DERR_DEVICENOTRESET, D3DERR_DEVICELOST); }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

TEST_F(DeviceReset, RefusedWhileTheCallerHoldsADefaultPoolResourceOrTheBackBuffer) {
    IDirect3DTexture9* texture = MakeTexture(device, 8, 8, 0, D3DPOOL_DEFAULT);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(96, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    // Each one alone stands in the way.
    for (IUnknown* held : std::initializer_list<IUnknown*>{texture, buffer, backBuffer}) {
        EXPECT_EQ(ResetWith(Windowed()), D3DERR_INVALIDCALL);
        ExpectNeedsReset();
        held->Release();
    }
    // System-memory resources and released-but-bound ones do not.
    IDirect3DTexture9* staging = MakeTexture(device, 8, 8, 0, D3DPOOL_SYSTEMMEM);
    texture = MakeTexture(device, 8, 8, 0, D3DPOOL_DEFAULT);
    device->SetTexture(0, texture);
    texture->Release();
    EXPECT_EQ(ResetWith(Windowed()), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(CountD3DLiveObjects().textures, 1) << "the reset unbinds and frees the released one";
    staging->Release();
}

TEST_F(DeviceReset, LostDeviceWaitsForRestoreThenForAReset) {
    platform::testing::LoseDevice(device);
    ExpectState(D3DERR_DEVICELOST, D3DERR_DEVICELOST);
    EXPECT_EQ(ResetWith(Windowed()), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);

    platform::testing::RestoreLostDevice(device);
    ExpectNeedsReset();
    platform::testing::FailD3DCall(platform::testing::D3DCall::Reset, E_FAIL);
    EXPECT_EQ(ResetWith(Windowed()), E_FAIL);
    ExpectNeedsReset();
    EXPECT_EQ(ResetWith(Windowed()), D3D_OK);
    ExpectState(D3D_OK, D3D_OK);
}

TEST_F(DeviceReset, FullScreenDeviceIsLostWhileItsWindowIsInactive) {
    platform::testing::SetWindowFocus(test.window(), true);
    ASSERT_EQ(ResetWith(FullScreen(640, 480)), D3D_OK);
    EXPECT_TRUE(platform::testing::IsWindowFullScreen(test.window()));
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    platform::testing::SetWindowFocus(test.window(), false);
    ExpectState(D3DERR_DEVICELOST, D3DERR_DEVICELOST);
    EXPECT_EQ(ResetWith(FullScreen(640, 480)), D3DERR_DEVICELOST);
    platform::testing::SetWindowFocus(test.window(), true);
    ExpectNeedsReset();
    ASSERT_EQ(ResetWith(FullScreen(640, 480)), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    platform::testing::SetWindowMinimised(test.window(), true);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    platform::testing::SetWindowMinimised(test.window(), false);
    ExpectNeedsReset();
    ASSERT_EQ(ResetWith(Windowed()), D3D_OK);
    EXPECT_FALSE(platform::testing::IsWindowFullScreen(test.window()));

    // A windowed device does not care about focus.
    platform::testing::SetWindowFocus(test.window(), false);
    ExpectState(D3D_OK, D3D_OK);
}

TEST_F(DeviceReset, WritesTheActualSizesBackAndRemakesTheBuffers) {
    EXPECT_EQ(test.presentParameters().BackBufferWidth, 640u);
    EXPECT_EQ(test.presentParameters().BackBufferHeight, 480u);
    EXPECT_EQ(test.presentParameters().BackBufferCount, 1u);
    platform::testing::SetWindowFocus(test.window(), true);
    const SIZE client = platform::testing::GetClientSize(test.window());
    const std::pair<D3DPRESENT_PARAMETERS, std::pair<UINT, UINT>> resets[] = {
        {FullScreen(800, 600), {800, 600}},
        {Windowed(320, 200), {320, 200}},
        {Windowed(), {static_cast<UINT>(client.cx), static_cast<UINT>(client.cy)}},
    };
    for (auto [params, size] : resets) {
        ASSERT_EQ(device->Reset(&params), D3D_OK);
        EXPECT_EQ(std::pair(params.BackBufferWidth, params.BackBufferHeight), size);
        IDirect3DSurface9* backBuffer = nullptr;
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        backBuffer->GetDesc(&desc);
        backBuffer->Release();
        EXPECT_EQ(std::pair(desc.Width, desc.Height), size);
        D3DVIEWPORT9 viewport{};
        device->GetViewport(&viewport);
        EXPECT_EQ(std::pair(viewport.Width, viewport.Height), size);
    }
    EXPECT_EQ(ResetWith(FullScreen(0, 0)), D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS params = Windowed();
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL);
}

TEST_F(DeviceReset, ReturnsEveryStateToItsDefault) {
    struct Snapshot {
        DWORD cull, zenable, colorOp1, texCoord2, magFilter5, transformFlags, fvf;
        D3DMATRIX texture0;
        D3DVIEWPORT9 viewport;
    };
    auto snapshot = [&] {
        Snapshot s{};
        device->GetRenderState(D3DRS_CULLMODE, &s.cull);
        device->GetRenderState(D3DRS_ZENABLE, &s.zenable);
        device->GetTextureStageState(1, D3DTSS_COLOROP, &s.colorOp1);
        device->GetTextureStageState(2, D3DTSS_TEXCOORDINDEX, &s.texCoord2);
        device->GetSamplerState(5, D3DSAMP_MAGFILTER, &s.magFilter5);
        device->GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, &s.transformFlags);
        device->GetFVF(&s.fvf);
        device->GetTransform(D3DTS_TEXTURE0, &s.texture0);
        device->GetViewport(&s.viewport);
        return s;
    };
    const Snapshot defaults = snapshot();
    EXPECT_EQ(defaults.cull, static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(defaults.zenable, static_cast<DWORD>(D3DZB_TRUE)) << "the device has a depth buffer";
    EXPECT_EQ(defaults.colorOp1, static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(defaults.texCoord2, 2u);
    EXPECT_EQ(defaults.texture0._11, 1.0f);

    D3DMATRIX scaled{};
    scaled._11 = scaled._44 = 2.0f;
    const D3DVIEWPORT9 small{10, 10, 100, 100, 0.0f, 1.0f};
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(2, D3DTSS_TEXCOORDINDEX, 0);
    device->SetSamplerState(5, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetFVF(0x142);
    device->SetTransform(D3DTS_TEXTURE0, &scaled);
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    // Every field changed, so a state the reset forgets shows.
    const Snapshot changed = snapshot();
    const auto* c = reinterpret_cast<const DWORD*>(&changed);
    const auto* d = reinterpret_cast<const DWORD*>(&defaults);
    for (size_t i = 0; i < 7; ++i) EXPECT_NE(c[i], d[i]) << "field " << i;

    D3DPRESENT_PARAMETERS params = test.presentParameters();
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    const Snapshot after = snapshot();
    EXPECT_EQ(std::memcmp(&after, &defaults, sizeof defaults), 0);
}

}  // namespace
