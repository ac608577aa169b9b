// Textures, their locks, device contexts and UpdateTexture; vertex buffers.
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

#include "texture_helpers.h"
#include "test_device.h"

namespace {

using Texels = std::vector<uint32_t>;

class ResourceRules : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }

    IDirect3DTexture9* Make(UINT width, UINT height, DWORD usage, D3DPOOL pool,
                            D3DFORMAT format = D3DFMT_A8R8G8B8) {
        return MakeTexture(device, width, height, usage, pool, format);
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

TEST_F(ResourceRules, TexturesOutsideWhatTheDeviceMakesAreRefused) {
    constexpr D3DFORMAT argb = D3DFMT_A8R8G8B8;
    constexpr D3DPOOL sys = D3DPOOL_SYSTEMMEM, def = D3DPOOL_DEFAULT;
    // Width, height, levels (the full chain of 16 x 16 has 5), usage, format, pool.
    // clang-format off
    const std::tuple<UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL> refused[] = {
        {0, 16, 1, 0, argb, sys},    {16, 0, 1, 0, argb, sys}, {8193, 1, 1, 0, argb, sys},
        {1, 8193, 1, 0, argb, sys},  {0x40000000, 0x40000000, 1, 0, argb, def},
        {16, 16, 6, 0, argb, sys},   {16, 16, 1, 0, D3DFMT_R5G6B5, sys},
        {16, 16, 1, 0, argb, D3DPOOL_SCRATCH}, {16, 16, 1, D3DUSAGE_RENDERTARGET, argb, def},
        {16, 16, 1, D3DUSAGE_DYNAMIC, argb, D3DPOOL_MANAGED}};
    // clang-format on
    for (const auto& [width, height, levels, usage, format, pool] : refused) {
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(uintptr_t{1});
        EXPECT_EQ(
            device->CreateTexture(width, height, levels, usage, format, pool, &texture, nullptr),
            D3DERR_INVALIDCALL)
            << width << " x " << height << ", " << levels << " levels";
        EXPECT_EQ(texture, nullptr);
    }
    IDirect3DTexture9* largest = Make(8192, 1, 0, D3DPOOL_SYSTEMMEM);
    ASSERT_NE(largest, nullptr);
    largest->Release();
}

TEST_F(ResourceRules, FreshTexturesHoldZerosEvenWhereAnEarlierOneWasWrittenAndReleased) {
    for (int round = 0; round < 2; ++round) {
        IDirect3DTexture9* texture = Make(64, 64, 0, D3DPOOL_SYSTEMMEM);
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(std::tuple(desc.Width, desc.Height, desc.Format, desc.Pool),
                  std::tuple(64u, 64u, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM));
        EXPECT_EQ(texture->GetLevelDesc(1, &desc), D3DERR_INVALIDCALL) << "one level, as asked";
        EXPECT_EQ(ReadTexels(texture), Texels(64 * 64, 0u)) << "round " << round;
        FillTexels(texture, 0xDEADBEEF);
        texture->Release();
    }
}

TEST_F(ResourceRules, LocksAndDeviceContextsNeedALockableTextureAndExcludeEachOther) {
    IDirect3DTexture9* texture = Make(4, 4, 0, D3DPOOL_DEFAULT);
    IDirect3DSurface9* level = nullptr;
    HDC dc = nullptr, second = nullptr;
    D3DLOCKED_RECT locked{}, again{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL)
        << "a default-pool texture needs DYNAMIC";
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(level->GetDC(&dc), D3DERR_INVALIDCALL);
    level->Release();
    texture->Release();

    texture = Make(4, 4, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL) << "nothing is locked yet";
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    EXPECT_EQ(texture->LockRect(0, &again, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(level->LockRect(&again, nullptr, 0), D3DERR_INVALIDCALL)
        << "the level and the texture share one lock";
    EXPECT_EQ(level->GetDC(&dc), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    const RECT outside{2, 2, 5, 4}, empty{2, 2, 2, 4};
    EXPECT_EQ(level->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(level->LockRect(&locked, &empty, 0), D3DERR_INVALIDCALL);

    // A device context draws rows from the top and holds the lock until released.
    ASSERT_EQ(level->GetDC(&dc), D3D_OK);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(level->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(level->GetDC(&second), D3DERR_INVALIDCALL);
    HBRUSH red = CreateSolidBrush(0x000000FF);  // COLORREF is 0x00BBGGRR
    const RECT area{1, 0, 3, 1};
    EXPECT_NE(FillRect(dc, &area, red), 0);
    DeleteObject(red);
    EXPECT_EQ(level->ReleaseDC(nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(level->ReleaseDC(dc), D3D_OK);
    EXPECT_EQ(level->ReleaseDC(dc), D3DERR_INVALIDCALL);
    Texels texels = ReadTexels(texture);
    for (uint32_t& texel : texels) texel &= 0xFFFFFFu;  // GDI leaves alpha to itself
    EXPECT_EQ(texels, (Texels{0, 0xFF0000u, 0xFF0000u, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    // A context still held goes when its surface does.
    const int contexts = platform::testing::CountGdiLiveObjects().deviceContexts;
    ASSERT_EQ(level->GetDC(&dc), D3D_OK);
    EXPECT_EQ(platform::testing::CountGdiLiveObjects().deviceContexts, contexts + 1);
    level->Release();
    texture->Release();
    EXPECT_EQ(platform::testing::CountGdiLiveObjects().deviceContexts, contexts);
}

// Refusals are tried while the source holds pixels, so a refused copy would show.
TEST_F(ResourceRules, UpdateTextureCopiesSystemMemoryIntoTheDefaultPoolOnlyAndCopiesStayApart) {
    const Texels first(16 * 8, 0xFF112233u), second(16 * 8, 0xFF445566u);
    IDirect3DTexture9* staging = Make(16, 8, 0, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Make(16, 8, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    IDirect3DTexture9* other = Make(16, 8, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    FillTexels(staging, first[0]);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    ASSERT_EQ(device->UpdateTexture(staging, other), D3D_OK);

    IDirect3DTexture9* otherSize = Make(8, 16, 0, D3DPOOL_DEFAULT);
    IDirect3DTexture9* otherFormat = Make(16, 8, 0, D3DPOOL_DEFAULT, D3DFMT_X8R8G8B8);
    IDirect3DTexture9* secondStaging = Make(16, 8, 0, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* chain = nullptr;  // more levels than the source
    ASSERT_EQ(device->CreateTexture(16, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &chain, nullptr),
              D3D_OK);
    IDirect3DTexture9* const refused[][2] = {{staging, otherSize},     {staging, otherFormat},
                                             {staging, secondStaging}, {target, staging},
                                             {staging, nullptr},       {staging, chain}};
    for (auto [source, destination] : refused)
        EXPECT_EQ(device->UpdateTexture(source, destination), D3DERR_INVALIDCALL);
    EXPECT_EQ(ReadTexels(secondStaging), Texels(16 * 8, 0u));
    for (IDirect3DTexture9* texture : {otherSize, otherFormat, secondStaging, chain})
        texture->Release();

    FillTexels(staging, second[0]);
    EXPECT_EQ(ReadTexels(target), first) << "a later write to the source stays in the source";
    FillTexels(target, 0xFF778899u);
    EXPECT_EQ(ReadTexels(other), first) << "a write to one destination stays in it";
    EXPECT_EQ(ReadTexels(staging), second);

    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    staging->Release();
    EXPECT_EQ(ReadTexels(target), second) << "the pixels outlive the source";
    target->Release();
    EXPECT_EQ(ReadTexels(other), first);
    other->Release();
}

TEST_F(ResourceRules, UpdateTextureLeavesPixelsUnderAnOpenLockWhereTheLockPoints) {
    IDirect3DTexture9* staging = Make(4, 4, 0, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Make(4, 4, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT source{}, destination{};
    ASSERT_EQ(staging->LockRect(0, &source, nullptr, 0), D3D_OK);
    std::fill_n(static_cast<uint32_t*>(source.pBits), 16, 0xFF0000FFu);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    std::fill_n(static_cast<uint32_t*>(source.pBits), 16, 0xFFFF0000u);
    staging->UnlockRect(0);
    EXPECT_EQ(ReadTexels(target), Texels(16, 0xFF0000FFu))
        << "writes through the source's lock after the update stay in the source";
    EXPECT_EQ(ReadTexels(staging), Texels(16, 0xFFFF0000u));

    ASSERT_EQ(target->LockRect(0, &destination, nullptr, 0), D3D_OK);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    EXPECT_EQ(static_cast<uint32_t*>(destination.pBits)[15], 0xFFFF0000u)
        << "the destination's open lock sees the update";
    target->UnlockRect(0);
    staging->Release();
    target->Release();
}

TEST_F(ResourceRules, VertexBuffersLockWithinTheirLengthAndKeepWhatWasWritten) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, 0x142, D3DPOOL_DEFAULT, &buffer,
                                         nullptr),
              D3D_OK);
    D3DVERTEXBUFFER_DESC desc{};
    ASSERT_EQ(buffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(std::tuple(desc.Size, desc.FVF, desc.Pool, desc.Type),
              std::tuple(96u, DWORD{0x142}, D3DPOOL_DEFAULT, D3DRTYPE_VERTEXBUFFER));

    void *whole = nullptr, *data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK);
    std::memset(whole, 0xAB, 96);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(96, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(72, 25, &data, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(buffer->Lock(72, 24, &data, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(data)[23], 0xAB) << "a lock sees what an earlier one wrote";
    buffer->Unlock();
    buffer->Release();
}

}  // namespace
