#include <gtest/gtest.h>
#include <platform_testing.h>

#include "test_device.h"

namespace {

using platform::testing::CountD3DLiveObjects;

IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, D3DPOOL pool = D3DPOOL_DEFAULT) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, pool, &texture, nullptr), D3D_OK);
    return texture;
}

ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

TEST(ReferenceCount, DeviceHoldsItsDirect3DAndResourcesHoldTheDevice) {
    TestDevice test;
    ASSERT_NE(test.device(), nullptr);
    // The helper's own reference plus the device's.
    EXPECT_EQ(CountOf(test.direct3d()), 2u);

    IDirect3DDevice9* device = test.device();
    IDirect3DTexture9* texture = MakeTexture(device);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(96, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    EXPECT_EQ(CountOf(device), 3u);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(CountOf(device), 1u);

    IDirect3DDevice9* owner = nullptr;
    IDirect3D9* d3d = nullptr;
    ASSERT_EQ(device->GetDirect3D(&d3d), D3D_OK);
    EXPECT_EQ(d3d, test.direct3d());
    EXPECT_EQ(d3d->Release(), 2u);
    texture = MakeTexture(device);
    ASSERT_EQ(texture->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    EXPECT_EQ(owner->Release(), 2u);
    texture->Release();
}

TEST(ReferenceCount, SurfacesOfATextureCountOnTheTexture) {
    TestDevice test;
    ASSERT_NE(test.device(), nullptr);
    IDirect3DTexture9* texture = MakeTexture(test.device());
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(CountOf(texture), 2u);
    // The caller may let go of the texture first: the level keeps it alive.
    EXPECT_EQ(texture->Release(), 1u);
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(level->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(level->Release(), 0u);
    EXPECT_EQ(CountD3DLiveObjects().textures, 0);
}

TEST(ReferenceCount, BindingsKeepResourcesAliveWithoutShowingInTheCount) {
    TestDevice test;
    IDirect3DDevice9* device = test.device();
    ASSERT_NE(device, nullptr);
    IDirect3DTexture9* texture = MakeTexture(device);
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

    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(96, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 24), D3D_OK);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(CountD3DLiveObjects().vertexBuffers, 1);
    ASSERT_EQ(device->SetStreamSource(0, nullptr, 0, 0), D3D_OK);
    EXPECT_EQ(CountD3DLiveObjects().vertexBuffers, 0);
}

TEST(ReferenceCount, ReleasingTheDeviceFreesWhatIsStillBound) {
    const auto before = CountD3DLiveObjects();
    {
        TestDevice test;
        IDirect3DDevice9* device = test.device();
        ASSERT_NE(device, nullptr);
        IDirect3DTexture9* texture = MakeTexture(device);
        device->SetTexture(3, texture);
        texture->Release();
        IDirect3DSurface9* backBuffer = nullptr;
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        EXPECT_EQ(CountOf(device), 2u) << "a back-buffer reference holds the device";
        backBuffer->Release();
        const auto during = CountD3DLiveObjects();
        EXPECT_EQ(during.devices, before.devices + 1);
        EXPECT_EQ(during.direct3d, before.direct3d + 1);
        EXPECT_EQ(during.textures, before.textures + 1);
    }
    const auto after = CountD3DLiveObjects();
    EXPECT_EQ(after.direct3d, before.direct3d);
    EXPECT_EQ(after.devices, before.devices);
    EXPECT_EQ(after.textures, before.textures);
    EXPECT_EQ(after.surfaces, before.surfaces);
    EXPECT_EQ(after.vertexBuffers, before.vertexBuffers);
}

}  // namespace
