#include "texture_access.h"

#include <cstring>
#include <stdexcept>

#include "read_back_buffer.h"

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

std::vector<uint32_t> DrawnColours(IDirect3DDevice9* device, IDirect3DTexture9* texture)
{
    struct Vertex {
        float x, y, z, u, v;
    };
    D3DSURFACE_DESC desc = LevelDesc(texture);
    D3DSURFACE_DESC target{};
    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        throw std::runtime_error("no back buffer");
    }
    backBuffer->GetDesc(&target);
    backBuffer->Release();

    // Back-buffer pixels to clip space; pixel centres sit on integer coordinates,
    // so the half-pixel shift maps texel to pixel.
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    D3DMATRIX toClip{};
    toClip._11 = 2.0f / static_cast<float>(target.Width);
    toClip._22 = -2.0f / static_cast<float>(target.Height);
    toClip._33 = 1.0f;
    toClip._41 = -1.0f;
    toClip._42 = 1.0f;
    toClip._44 = 1.0f;
    const float left = -0.5f;
    const float top = -0.5f;
    const float right = static_cast<float>(desc.Width) - 0.5f;
    const float bottom = static_cast<float>(desc.Height) - 0.5f;
    const Vertex quad[4] = {
        {left, top, 0.5f, 0, 0},
        {right, top, 0.5f, 1, 0},
        {left, bottom, 0.5f, 0, 1},
        {right, bottom, 0.5f, 1, 1},
    };
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->BeginScene();
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &toClip);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTexture(0, texture);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device->SetTexture(0, nullptr);
    device->EndScene();

    platform::testing::Frame frame = ReadBackBuffer(device);
    if (frame.width < static_cast<int>(desc.Width) || frame.height < static_cast<int>(desc.Height)) {
        throw std::runtime_error("back buffer not readable");
    }
    std::vector<uint32_t> colours;
    for (UINT y = 0; y < desc.Height; ++y) {
        for (UINT x = 0; x < desc.Width; ++x) {
            colours.push_back(frame.At(static_cast<int>(x), static_cast<int>(y)) & 0x00FFFFFFu);
        }
    }
    return colours;
}

}  // namespace image_test
