#include <gtest/gtest.h>
#include <platform_testing.h>

#include "texture_helpers.h"
#include "test_device.h"

namespace {

using platform::testing::CountD3DLiveObjects;

class ReferenceCount : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }
    IDirect3DTexture9* Texture() { return MakeTexture(device, 4, 4, 0, D3DPOOL_DEFAULT); }
    IDirect3DVertexBuffer9* Buffer() {
        IDirect3DVertexBuffer9* buffer = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(96, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
        return buffer;
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

TEST_F(ReferenceCount, DeviceHoldsItsDirect3DAndResourcesHoldTheDevice) {
    // The helper's own reference plus the device's.
    EXPECT_EQ(CountOf(test.direct3d()), 2u);
    IDirect3DTexture9* texture = Texture();
    IDirect3DVertexBuffer9* buffer = Buffer();
    EXPECT_EQ(CountOf(device), 3u);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);

    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(texture->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    EXPECT_EQ(owner->Release(), 3u);
    IDirect3D9* d3d = nullptr;
    ASSERT_EQ(device->GetDirect3D(&d3d), D3D_OK);
    EXPECT_EQ(d3d, test.direct3d());
    EXPECT_EQ(d3d->Release(), 2u);

    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(CountOf(device), 1u);
}

TEST_F(ReferenceCount, ALevelKeepsItsTextureAlive) {
    IDirect3DTexture9* texture = Texture();
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(CountOf(texture), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(level->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(level->Release(), 0u);
    EXPECT_EQ(CountD3DLiveObjects().textures, 0);
}

TEST_F(ReferenceCount, BindingsKeepResourcesAliveWithoutShowingInTheCount) {
    IDirect3DTexture9* texture = Texture();
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(CountOf(texture), 1u);
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, texture);
    EXPECT_EQ(bound->Release(), 1u);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(CountD3DLiveObjects().textures, 1) << "a bound texture must not dangle";
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_EQ(CountD3DLiveObjects().textures, 0);

    IDirect3DVertexBuffer9* buffer = Buffer();
    ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 24), D3D_OK);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(CountD3DLiveObjects().vertexBuffers, 1);
    ASSERT_EQ(device->SetStreamSource(0, nullptr, 0, 0), D3D_OK);
    EXPECT_EQ(CountD3DLiveObjects().vertexBuffers, 0);
}

TEST(ReferenceCountOfDevice, ReleasingTheDeviceFreesWhatIsStillBound) {
    const auto before = CountD3DLiveObjects();
    {
        TestDevice test;
        IDirect3DDevice9* device = test.device();
        ASSERT_NE(device, nullptr);
        IDirect3DTexture9* texture = MakeTexture(device, 4, 4, 0, D3DPOOL_DEFAULT);
        device->SetTexture(3, texture);
        texture->Release();
        IDirect3DSurface9* backBuffer = nullptr;
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        EXPECT_EQ(CountOf(device), 2u) << "a back-buffer reference holds the device";
        backBuffer->Release();
        EXPECT_EQ(CountD3DLiveObjects().textures, before.textures + 1);
    }
    const auto after = CountD3DLiveObjects();
    EXPECT_EQ(after.direct3d, before.direct3d);
    EXPECT_EQ(after.devices, before.devices);
    EXPECT_EQ(after.textures, before.textures);
    EXPECT_EQ(after.surfaces, before.surfaces);
    EXPECT_EQ(after.vertexBuffers, before.vertexBuffers);
}

}  // namespace
