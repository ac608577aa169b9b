#include "render_harness.h"

#include "render/release_interface.h"

IDirect3DTexture9* RenderHarness::MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                              const std::function<uint32_t(int x, int y)>& texel) {
    IDirect3DTexture9* staging = NULL;
    IDirect3DTexture9* texture = NULL;
    if (!device() ||
        FAILED(device()->CreateTexture(width, height, 1, 0, format, D3DPOOL_SYSTEMMEM, &staging,
                                       NULL)) ||
        FAILED(device()->CreateTexture(width, height, 1, 0, format, D3DPOOL_DEFAULT, &texture,
                                       NULL))) {
        ReleaseInterface(staging);
        return NULL;
    }
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(staging->LockRect(0, &locked, NULL, 0))) {
        for (UINT y = 0; y < height; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                                        static_cast<size_t>(y) * locked.Pitch);
            for (UINT x = 0; x < width; ++x) {
                row[x] = texel(static_cast<int>(x), static_cast<int>(y));
            }
        }
        staging->UnlockRect(0);
    }
    device()->UpdateTexture(staging, texture);
    ReleaseInterface(staging);
    return texture;
}

void RenderHarness::DrawFrame(const std::function<void()>& draw, bool present) {
    device()->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    device()->BeginScene();
    draw();
    device()->EndScene();
    if (present) {
        device()->Present(NULL, NULL, NULL, NULL);
    }
}

platform::testing::Frame RenderHarness::RenderFrame(const std::function<void()>& draw) {
    DrawFrame(draw);
    return platform::testing::LastPresentedFrame();
}

platform::testing::Frame RenderHarness::RenderPass(
    const std::function<void(SpriteBatch& batch)>& addQuads) {
    SpriteBatch* batch = NULL;
    CreateSpriteBatch(batch, device());
    const platform::testing::Frame frame = RenderFrame([&] {
        batch->Begin();
        addQuads(*batch);
        batch->End();
    });
    batch->ReleaseDeviceObjects();
    delete batch;
    return frame;
}
