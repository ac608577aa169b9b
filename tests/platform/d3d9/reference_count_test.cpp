#include <gtest/gtest.h>
#include <platform_testing.h>

#include "test_device.h"

namespace {

using platform::testing::CountD3DLiveObjects;

TEST(ReferenceCount, DeviceHoldsItsDirect3DAndResourcesHoldTheDevice) {
    TestDevice test;
    ASSERT_NE(test.device(), nullptr);
    IDirect3D9* d3d = test.direct3d();
    // The helper's own reference plus the device's.
    EXPECT_EQ(d3d->AddRef(), 3u);
    EXPECT_EQ(d3d->Release(), 2u);

    IDirect3DDevice9* device = test.device();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    EXPECT_EQ(device->AddRef(), 3u);
    EXPECT_EQ(device->Release(), 2u);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(device->AddRef(), 2u);
    EXPECT_EQ(device->Release(), 1u);
}

}  // namespace
