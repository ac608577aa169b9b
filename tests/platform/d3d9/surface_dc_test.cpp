#include <gtest/gtest.h>
#include <platform_testing.h>

#include "test_device.h"

namespace {

class SurfaceDC : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                        &texture, nullptr),
                  D3D_OK);
        ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    }
    void TearDown() override {
        if (level) level->Release();
        if (texture) texture->Release();
        platform::testing::ResetAllHooks();
    }

    uint32_t Texel(int x, int y) {
        D3DLOCKED_RECT locked{};
        if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return 0xBAD;
        const uint32_t value = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch)[x];
        texture->UnlockRect(0);
        return value;
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* level = nullptr;
};

TEST_F(SurfaceDC, DrawsIntoTheSurfacePixelsRowsFromTheTop) {
    HDC dc = nullptr;
    ASSERT_EQ(level->GetDC(&dc), D3D_OK);
    ASSERT_NE(dc, nullptr);
    HBRUSH red = CreateSolidBrush(0x000000FF);  // COLORREF is 0x00BBGGRR
    const RECT area{1, 0, 3, 1};
    EXPECT_NE(FillRect(dc, &area, red), 0);
    DeleteObject(red);
    ASSERT_EQ(level->ReleaseDC(dc), D3D_OK);

    EXPECT_EQ(Texel(1, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(Texel(2, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(Texel(0, 0), 0u);
    EXPECT_EQ(Texel(1, 1), 0u);
    EXPECT_EQ(Texel(1, 3), 0u);
}

TEST_F(SurfaceDC, ALockAndADcExcludeEachOther) {
    HDC dc = nullptr;
    ASSERT_EQ(level->GetDC(&dc), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(level->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    HDC second = nullptr;
    EXPECT_EQ(level->GetDC(&second), D3DERR_INVALIDCALL);
    EXPECT_EQ(level->ReleaseDC(nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(level->ReleaseDC(dc), D3D_OK);
    EXPECT_EQ(level->ReleaseDC(dc), D3DERR_INVALIDCALL);

    ASSERT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(level->GetDC(&dc), D3DERR_INVALIDCALL);
    level->UnlockRect();

    IDirect3DTexture9* unlockable = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &unlockable,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* unlockableLevel = nullptr;
    unlockable->GetSurfaceLevel(0, &unlockableLevel);
    EXPECT_EQ(unlockableLevel->GetDC(&dc), D3DERR_INVALIDCALL);
    unlockableLevel->Release();
    unlockable->Release();
}

TEST_F(SurfaceDC, ADcStillHeldGoesWithItsSurface) {
    const int contexts = platform::testing::CountGdiLiveObjects().deviceContexts;
    HDC dc = nullptr;
    ASSERT_EQ(level->GetDC(&dc), D3D_OK);
    EXPECT_EQ(platform::testing::CountGdiLiveObjects().deviceContexts, contexts + 1);
    level->Release();
    level = nullptr;
    texture->Release();
    texture = nullptr;
    EXPECT_EQ(platform::testing::CountGdiLiveObjects().deviceContexts, contexts);
}

TEST_F(SurfaceDC, InjectedFailuresCountDownAndClear) {
    using platform::testing::D3DCall;
    HDC dc = nullptr;
    platform::testing::FailD3DCall(D3DCall::SurfaceGetDC, E_FAIL, 2);
    EXPECT_EQ(level->GetDC(&dc), E_FAIL);
    EXPECT_EQ(level->GetDC(&dc), E_FAIL);
    ASSERT_EQ(level->GetDC(&dc), D3D_OK);
    level->ReleaseDC(dc);

    platform::testing::FailD3DCall(D3DCall::TextureLockRect, D3DERR_INVALIDCALL, -1);
    D3DLOCKED_RECT locked{};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    // The texture's lock and the surface's lock are separate calls to fail.
    ASSERT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
    level->UnlockRect();
    platform::testing::ClearD3DFailures();
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    texture->UnlockRect(0);
}

}  // namespace
