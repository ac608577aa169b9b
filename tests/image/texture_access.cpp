#include "texture_access.h"

#include <cstring>
#include <stdexcept>

namespace image_test {

TextureRef CreateStagingTexture(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format)
{
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(width, height, 1, 0, format, D3DPOOL_SYSTEMMEM, &texture,
                                     nullptr))) {
        throw std::runtime_error("staging texture refused");
    }
    return TextureRef(texture);
}

D3DSURFACE_DESC LevelDesc(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc{};
    if (FAILED(texture->GetLevelDesc(0, &desc))) {
        throw std::runtime_error("no level 0");
    }
    return desc;
}

std::vector<uint32_t> ReadLevel(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc = LevelDesc(texture);
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
        throw std::runtime_error("level 0 cannot be locked");
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        std::memcpy(&pixels[static_cast<size_t>(y) * desc.Width],
                    static_cast<const uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch,
                    desc.Width * 4);
    }
    texture->UnlockRect(0);
    return pixels;
}

bool LevelIsLocked(IDirect3DTexture9* texture)
{
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        return true;
    }
    texture->UnlockRect(0);
    return false;
}

}  // namespace image_test
