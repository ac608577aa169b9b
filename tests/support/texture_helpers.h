// Texture helpers shared by the device and image tests.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

inline IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT width, UINT height,
                                      DWORD usage, D3DPOOL pool,
                                      D3DFORMAT format = D3DFMT_A8R8G8B8) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, usage, format, pool, &texture, nullptr),
              D3D_OK);
    return texture;
}

// The reference count, read without changing it.
inline ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// Level 0 row by row; empty when it cannot be locked.
inline std::vector<uint32_t> ReadTexels(IDirect3DTexture9* texture) {
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    texture->GetLevelDesc(0, &desc);
    if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return {};
    std::vector<uint32_t> texels(desc.Width * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
        std::memcpy(&texels[y * desc.Width], static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch,
                    desc.Width * 4);
    texture->UnlockRect(0);
    return texels;
}

inline void FillTexels(IDirect3DTexture9* texture, uint32_t value) {
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    texture->GetLevelDesc(0, &desc);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < desc.Height; ++y)
        for (UINT x = 0; x < desc.Width; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] =
                value;
    texture->UnlockRect(0);
}
