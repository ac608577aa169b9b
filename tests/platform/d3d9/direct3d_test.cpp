#include <gtest/gtest.h>
#include <platform_testing.h>

#include "test_device.h"

namespace {

using platform::testing::D3DCall;

class Direct3DObject : public ::testing::Test {
protected:
    void TearDown() override { platform::testing::ResetAllHooks(); }
    TestDevice test;
};

TEST_F(Direct3DObject, ReportsTheDesktopModeOfItsOneAdapter) {
    IDirect3D9* d3d = test.direct3d();
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->GetAdapterCount(), 1u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_GT(mode.Width, 0u);
    EXPECT_GT(mode.Height, 0u);
    EXPECT_EQ(d3d->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
}

TEST_F(Direct3DObject, CreationFailsAsAskedOrForWhatItCannotMake) {
    platform::testing::FailD3DCall(D3DCall::Direct3DCreate9, E_FAIL);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION - 1), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);

    D3DPRESENT_PARAMETERS params = test.presentParameters();
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(uintptr_t{1});
    platform::testing::FailD3DCall(D3DCall::CreateDevice, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, test.window(), 0, &params,
                                &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &device),
              D3DERR_INVALIDCALL)
        << "a device needs a focus window";
    EXPECT_EQ(d3d->CreateDevice(1, D3DDEVTYPE_HAL, test.window(), 0, &params, &device),
              D3DERR_INVALIDCALL);
    params.MultiSampleType = D3DMULTISAMPLE_NONMASKABLE;
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, test.window(), 0, &params,
                                &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
}

}  // namespace
