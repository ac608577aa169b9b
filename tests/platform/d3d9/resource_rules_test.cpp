#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

#include "texture_helpers.h"
#include "test_device.h"

namespace {

class ResourceRules : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }

    HRESULT Create(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                   D3DPOOL pool, IDirect3DTexture9** texture) {
        return device->CreateTexture(width, height, levels, usage, format, pool, texture, nullptr);
    }
    IDirect3DTexture9* Make(UINT width, UINT height, DWORD usage, D3DPOOL pool,
                            D3DFORMAT format = D3DFMT_A8R8G8B8) {
        return MakeTexture(device, width, height, usage, pool, format);
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

TEST_F(ResourceRules, TexturesOutsideWhatTheDeviceMakesAreRefused) {
    struct Request {
        UINT width, height, levels;
        DWORD usage;
        D3DFORMAT format;
        D3DPOOL pool;
    };
    const Request refused[] = {
        {0, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM},
        {16, 0, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM},
        {8193, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM},
        {1, 8193, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM},
        {0x40000000, 0x40000000, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT},
        {16, 16, 6, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM},  // the full chain has 5
        {16, 16, 1, 0, D3DFMT_R5G6B5, D3DPOOL_SYSTEMMEM},
        {16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT},
        {16, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
        {16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH},
    };
    for (const Request& r : refused) {
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(uintptr_t{1});
        EXPECT_EQ(Create(r.width, r.height, r.levels, r.usage, r.format, r.pool, &texture),
                  D3DERR_INVALIDCALL)
            << r.width << " x " << r.height << ", " << r.levels << " levels";
        EXPECT_EQ(texture, nullptr);
    }
    IDirect3DTexture9* largest = Make(8192, 1, 0, D3DPOOL_SYSTEMMEM);
    ASSERT_NE(largest, nullptr);
    largest->Release();
}

TEST_F(ResourceRules, LevelsAreAsAskedZeroMeansTheFullChainAndFreshTexturesHoldZeros) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(Create(64, 16, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 7u);
    for (UINT level = 0; level < 7; ++level) {
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, 64u >> level);
        EXPECT_EQ(desc.Height, std::max(16u >> level, 1u));
        EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
    }
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);
    texture->Release();
    ASSERT_EQ(Create(64, 16, 2, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 2u);
    texture->Release();

    // Zeros even where an earlier texture was written and released.
    for (int round = 0; round < 2; ++round) {
        texture = Make(64, 64, 0, D3DPOOL_SYSTEMMEM);
        EXPECT_EQ(ReadTexels(texture), std::vector<uint32_t>(64 * 64, 0u)) << "round " << round;
        FillTexels(texture, 0xDEADBEEF);
        texture->Release();
    }
}

TEST_F(ResourceRules, LockingRules) {
    IDirect3DTexture9* staticDefault = Make(8, 8, 0, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(staticDefault->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    staticDefault->Release();

    IDirect3DTexture9* dynamic = Make(8, 8, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    EXPECT_EQ(dynamic->UnlockRect(0), D3DERR_INVALIDCALL) << "nothing is locked yet";
    ASSERT_EQ(dynamic->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);
    D3DLOCKED_RECT again{};
    EXPECT_EQ(dynamic->LockRect(0, &again, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(dynamic->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(level->LockRect(&again, nullptr, 0), D3DERR_INVALIDCALL)
        << "the level and the texture share one lock";
    auto* const whole = static_cast<uint8_t*>(locked.pBits);
    EXPECT_EQ(dynamic->UnlockRect(0), D3D_OK);

    const RECT part{2, 3, 5, 8};
    ASSERT_EQ(level->LockRect(&locked, &part, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(locked.pBits), whole + 3 * 32 + 2 * 4);
    EXPECT_EQ(level->UnlockRect(), D3D_OK);
    const RECT outside{4, 4, 9, 8};
    EXPECT_EQ(level->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);
    const RECT empty{4, 4, 4, 8};
    EXPECT_EQ(level->LockRect(&locked, &empty, 0), D3DERR_INVALIDCALL);
    level->Release();
    dynamic->Release();
}

TEST_F(ResourceRules, UpdateTextureCopiesSystemMemoryIntoTheDefaultPoolOnly) {
    IDirect3DTexture9* staging = Make(16, 8, 0, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Make(16, 8, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    FillTexels(staging, 0xFF112233);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    EXPECT_EQ(ReadTexels(target), std::vector<uint32_t>(16 * 8, 0xFF112233u));

    IDirect3DTexture9* otherSize = Make(8, 16, 0, D3DPOOL_DEFAULT);
    IDirect3DTexture9* otherFormat = Make(16, 8, 0, D3DPOOL_DEFAULT, D3DFMT_X8R8G8B8);
    IDirect3DTexture9* secondStaging = Make(16, 8, 0, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(device->UpdateTexture(staging, otherSize), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(staging, otherFormat), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(staging, secondStaging), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(target, staging), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(staging, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(ReadTexels(secondStaging), std::vector<uint32_t>(16 * 8, 0u));

    IDirect3DTexture9* chain = nullptr;
    ASSERT_EQ(Create(16, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &chain), D3D_OK);
    EXPECT_EQ(device->UpdateTexture(staging, chain), D3DERR_INVALIDCALL)
        << "the source has fewer levels than the destination";
    for (IDirect3DTexture9* texture : {staging, target, otherSize, otherFormat, secondStaging, chain}) {
        texture->Release();
    }
}

TEST_F(ResourceRules, UpdatedTexturesKeepTheirPixelsWhicheverSideWritesOrGoesNext) {
    const std::vector<uint32_t> first(16 * 8, 0xFF112233u);
    const std::vector<uint32_t> second(16 * 8, 0xFF445566u);
    const std::vector<uint32_t> third(16 * 8, 0xFF778899u);
    IDirect3DTexture9* staging = Make(16, 8, 0, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Make(16, 8, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    IDirect3DTexture9* other = Make(16, 8, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);

    FillTexels(staging, first[0]);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    ASSERT_EQ(device->UpdateTexture(staging, other), D3D_OK);
    FillTexels(staging, second[0]);
    EXPECT_EQ(ReadTexels(target), first) << "a later write to the source stays in the source";
    FillTexels(target, third[0]);
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
    D3DLOCKED_RECT source{};
    ASSERT_EQ(staging->LockRect(0, &source, nullptr, 0), D3D_OK);
    std::fill_n(static_cast<uint32_t*>(source.pBits), 16, 0xFF0000FFu);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    std::fill_n(static_cast<uint32_t*>(source.pBits), 16, 0xFFFF0000u);
    staging->UnlockRect(0);
    EXPECT_EQ(ReadTexels(target), std::vector<uint32_t>(16, 0xFF0000FFu))
        << "writes through the source's lock after the update stay in the source";
    EXPECT_EQ(ReadTexels(staging), std::vector<uint32_t>(16, 0xFFFF0000u));

    D3DLOCKED_RECT destination{};
    ASSERT_EQ(target->LockRect(0, &destination, nullptr, 0), D3D_OK);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    EXPECT_EQ(static_cast<uint32_t*>(destination.pBits)[15], 0xFFFF0000u)
        << "the destination's open lock sees the update";
    target->UnlockRect(0);
    staging->Release();
    target->Release();
}

TEST_F(ResourceRules, VertexBuffersLockWhollyOrInPartWithinTheirLength) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, 0x142, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    D3DVERTEXBUFFER_DESC desc{};
    ASSERT_EQ(buffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(std::tuple(desc.Size, desc.FVF, desc.Pool, desc.Type),
              std::tuple(96u, DWORD{0x142}, D3DPOOL_DEFAULT, D3DRTYPE_VERTEXBUFFER));

    void* whole = nullptr;
    void* tail = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK);
    std::memset(whole, 0xAB, 96);
    ASSERT_EQ(buffer->Lock(24, 0, &tail, 0), D3D_OK);  // locks nest
    EXPECT_EQ(static_cast<uint8_t*>(tail), static_cast<uint8_t*>(whole) + 24);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);

    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(96, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(72, 25, &data, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(buffer->Lock(72, 24, &data, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(data)[23], 0xAB) << "a lock sees what an earlier one wrote";
    buffer->Unlock();
    buffer->Release();
}

}  // namespace
