// Textures for the decoders to fill, and their pixels read back.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace image_test {

struct ReleaseTexture {
    void operator()(IDirect3DTexture9* texture) const { texture->Release(); }
};
using TextureRef = std::unique_ptr<IDirect3DTexture9, ReleaseTexture>;

// A system-memory texture as the loader stages into: one level, fresh zeros.
TextureRef CreateStagingTexture(IDirect3DDevice9* device, UINT width, UINT height,
                                D3DFORMAT format = D3DFMT_A8R8G8B8);

// Level 0 as 0xAARRGGBB values, rows from the top (the memory order blue, green,
// red, alpha read as one little-endian value).
std::vector<uint32_t> ReadLevel(IDirect3DTexture9* texture);

// Whether level 0 is still locked: a second lock is refused while one is held.
bool LevelIsLocked(IDirect3DTexture9* texture);

D3DSURFACE_DESC LevelDesc(IDirect3DTexture9* texture);

// A default-pool texture cannot be locked: draws it texel for pixel at the back
// buffer's top-left corner and reads it back, as 0x00RRGGBB values (the back
// buffer keeps no alpha).
std::vector<uint32_t> DrawnColours(IDirect3DDevice9* device, IDirect3DTexture9* texture);

}  // namespace image_test
