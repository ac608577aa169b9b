// The adapter's mode, and the device's reset and lost states.
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <cstring>
#include <functional>
#include <tuple>
#include <utility>

#include "address_space_cap.h"
#include "texture_helpers.h"
#include "test_device.h"

namespace {

using platform::testing::CountD3DLiveObjects;
using platform::testing::D3DCall;

class Device : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }
    void TearDown() override { platform::testing::ResetAllHooks(); }

    // Windowed at 0 x 0 takes the client area.
    HRESULT ResetWith(BOOL windowed, UINT width = 0, UINT height = 0,
                      D3DPRESENT_PARAMETERS* out = nullptr) {
        D3DPRESENT_PARAMETERS params = test.presentParameters();
        params.Windowed = windowed;
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        const HRESULT result = device->Reset(&params);
        if (out) *out = params;
        return result;
    }
    void ExpectState(HRESULT cooperative, HRESULT present) {
        EXPECT_EQ(device->TestCooperativeLevel(), cooperative);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), present);
    }
    // What every failed or refused reset must leave: not lost, not reset.
    void ExpectNeedsReset() { ExpectState(D3DERR_DEVICENOTRESET, D3DERR_DEVICELOST); }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

// A full-screen back buffer takes the adapter's format.
TEST_F(Device, TheAdapterIsInTheDesktopMode) {
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(test.direct3d()->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_TRUE(mode.Format == D3DFMT_X8R8G8B8 && mode.Width > 0 && mode.Height > 0);
}

// A caller that asks for what is not there gets a null pointer and a failure, never a
// stale pointer with success.
TEST_F(Device, BackBuffersBeyondTheFirstAndOtherInterfacesAreRefused) {
    IDirect3DSurface9* surface = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_EQ(device->GetBackBuffer(0, 1, D3DBACKBUFFER_TYPE_MONO, &surface), D3DERR_INVALIDCALL);
    EXPECT_EQ(surface, nullptr);
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
    void* other = &other;
    EXPECT_EQ(surface->QueryInterface(IID{}, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    surface->Release();
}

TEST_F(Device, ResetRefusedWhileTheCallerHoldsADefaultPoolResourceOrTheBackBuffer) {
    // Each one alone stands in the way.
    const std::function<IUnknown*()> holds[] = {
        [&] { return MakeTexture(device, 4, 4, 0, D3DPOOL_DEFAULT); },
        [&] {
            IDirect3DVertexBuffer9* buffer = nullptr;
            EXPECT_EQ(device->CreateVertexBuffer(96, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr),
                      D3D_OK);
            return buffer;
        },
        [&] {
            IDirect3DSurface9* backBuffer = nullptr;
            EXPECT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
            return backBuffer;
        }};
    for (const auto& hold : holds) {
        IUnknown* held = hold();
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(ResetWith(TRUE), D3DERR_INVALIDCALL);
        ExpectNeedsReset();
        held->Release();
        EXPECT_EQ(ResetWith(TRUE), D3D_OK);
    }
    // System-memory resources and released-but-bound ones do not.
    IDirect3DTexture9* staging = MakeTexture(device, 4, 4, 0, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* texture = MakeTexture(device, 4, 4, 0, D3DPOOL_DEFAULT);
    device->SetTexture(0, texture);
    texture->Release();
    EXPECT_EQ(ResetWith(TRUE), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(CountD3DLiveObjects().textures, 1) << "the reset unbinds and frees the released one";
    platform::testing::FailD3DCall(platform::testing::D3DCall::TestCooperativeLevel, E_FAIL);
    EXPECT_EQ(device->TestCooperativeLevel(), E_FAIL) << "an injected failure is what it says";
    staging->Release();
}

TEST_F(Device, ALostDeviceRefusesResetsUntilItsCauseEndsAndAFailedResetLeavesItNeedingOne) {
    namespace hooks = platform::testing;
    const HWND window = test.window();
    hooks::SetWindowFocus(window, true);
    // A windowed device is lost only when told; a full-screen one also while its
    // window is inactive or minimised.
    const std::tuple<BOOL, std::function<void(bool)>> causes[] = {
        {TRUE,
         [&](bool lost) { lost ? hooks::LoseDevice(device) : hooks::RestoreLostDevice(device); }},
        {FALSE, [&](bool lost) { hooks::SetWindowFocus(window, !lost); }},
        {FALSE, [&](bool lost) { hooks::SetWindowMinimised(window, lost); }}};
    for (const auto& [windowed, cause] : causes) {
        ASSERT_EQ(ResetWith(windowed, 640, 480), D3D_OK);
        EXPECT_EQ(hooks::IsWindowFullScreen(window), !windowed);
        cause(true);
        ExpectState(D3DERR_DEVICELOST, D3DERR_DEVICELOST);
        EXPECT_EQ(ResetWith(windowed, 640, 480), D3DERR_DEVICELOST);
        EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
        cause(false);
        ExpectNeedsReset();
        hooks::FailD3DCall(D3DCall::Reset, E_FAIL);
        EXPECT_EQ(ResetWith(windowed, 640, 480), E_FAIL);
        ExpectNeedsReset();
    }
    ASSERT_EQ(ResetWith(TRUE), D3D_OK);
    EXPECT_FALSE(hooks::IsWindowFullScreen(window));
    hooks::SetWindowFocus(window, false);  // a windowed device does not care
    ExpectState(D3D_OK, D3D_OK);
}

// With the address space capped, a reset that cannot make its buffers leaves a device
// that needs one and the window as it was: nothing is switched before the memory is had.
TEST_F(Device, AResetThatCannotHaveItsMemoryLeavesTheWindowAsItWas) {
    if (!AddressSpaceCap::Possible())
        GTEST_SKIP() << "AddressSanitizer's shadow memory cannot live under an address-space cap";
    {
        AddressSpaceCap cap(160 << 20);
        ASSERT_TRUE(cap.Set());
        for (BOOL windowed : {TRUE, FALSE}) {
            EXPECT_EQ(ResetWith(windowed, 8192, 8192), D3DERR_OUTOFVIDEOMEMORY);
            ExpectNeedsReset();
            EXPECT_FALSE(platform::testing::IsWindowFullScreen(test.window()));
            const SIZE client = platform::testing::GetClientSize(test.window());
            EXPECT_EQ(std::pair(client.cx, client.cy), std::pair(640, 480));
        }
    }
    EXPECT_EQ(ResetWith(TRUE), D3D_OK);
    ExpectState(D3D_OK, D3D_OK);
}

TEST_F(Device, ResetWritesTheActualSizesBackAndRemakesTheBuffers) {
    const D3DPRESENT_PARAMETERS& created = test.presentParameters();
    EXPECT_EQ(
        std::tuple(created.BackBufferWidth, created.BackBufferHeight, created.BackBufferCount),
        std::tuple(640u, 480u, 1u));
    platform::testing::SetWindowFocus(test.window(), true);
    const SIZE client = platform::testing::GetClientSize(test.window());
    // clang-format off
    const std::tuple<BOOL, UINT, UINT, UINT, UINT> resets[] = {
        {FALSE, 800, 600, 800, 600}, {FALSE, 640, 1, 640, 1}, {TRUE, 320, 200, 320, 200},
        {TRUE, 0, 0, UINT(client.cx), UINT(client.cy)}};
    // clang-format on
    for (auto [windowed, width, height, actualWidth, actualHeight] : resets) {
        D3DPRESENT_PARAMETERS params{};
        ASSERT_EQ(ResetWith(windowed, width, height, &params), D3D_OK);
        const auto size = std::pair(actualWidth, actualHeight);
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
}

TEST_F(Device, ResetReturnsEveryStateToItsDefault) {
    struct Snapshot {
        DWORD cull, zenable, colorOp1, texCoord2, magFilter5, fvf;
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
        device->GetFVF(&s.fvf);
        device->GetTransform(D3DTS_TEXTURE0, &s.texture0);
        device->GetViewport(&s.viewport);
        return s;
    };
    const Snapshot defaults = snapshot();
    EXPECT_EQ(std::tuple(defaults.cull, defaults.zenable, defaults.colorOp1, defaults.texCoord2),
              std::tuple(DWORD{D3DCULL_CCW}, DWORD{D3DZB_TRUE}, DWORD{D3DTOP_DISABLE}, 2u));
    EXPECT_EQ(defaults.texture0._11, 1.0f);

    D3DMATRIX scaled{};
    scaled._11 = scaled._44 = 2.0f;
    const D3DVIEWPORT9 small{10, 10, 100, 100, 0.0f, 1.0f};
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(2, D3DTSS_TEXCOORDINDEX, 0);
    device->SetSamplerState(5, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetFVF(0x142);
    device->SetTransform(D3DTS_TEXTURE0, &scaled);
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    // Every field changed, so a state the reset forgets shows.
    const Snapshot changed = snapshot();
    const auto* c = reinterpret_cast<const DWORD*>(&changed);
    const auto* d = reinterpret_cast<const DWORD*>(&defaults);
    for (size_t i = 0; i < 6; ++i) EXPECT_NE(c[i], d[i]) << "field " << i;

    ASSERT_EQ(device->Reset(&test.presentParameters()), D3D_OK);
    const Snapshot after = snapshot();
    EXPECT_EQ(std::memcmp(&after, &defaults, sizeof defaults), 0);
}

}  // namespace
