#include <gtest/gtest.h>
#include <platform_testing.h>

#include "texture_helpers.h"
#include "test_device.h"

namespace {

class SurfaceDC : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(device, nullptr);
        texture = MakeTexture(device, 4, 4, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
        ASSERT_NE(texture, nullptr);
        ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    }
    void TearDown() override {
        if (level) level->Release();
        if (texture) texture->Release();
        platform::testing::ResetAllHooks();
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

    std::vector<uint32_t> texels = ReadTexels(texture);
    ASSERT_EQ(texels.size(), 16u);
    for (uint32_t& texel : texels) texel &= 0xFFFFFFu;  // GDI leaves alpha to itself
    std::vector<uint32_t> expected(16, 0u);
    expected[1] = expected[2] = 0xFF0000u;
    EXPECT_EQ(texels, expected);
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

    IDirect3DTexture9* unlockable = MakeTexture(device, 4, 4, 0, D3DPOOL_DEFAULT);
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

}  // namespace
