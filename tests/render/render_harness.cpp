#include "render_harness.h"

#include "render/release_interface.h"

IDirect3DTexture9* RenderHarness::MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                              const std::function<uint32_t(int x, int y)>& texel) {
    IDirect3DTexture9* staging = NULL;
    IDirect3DTexture9* texture = NULL;
    D3DLOCKED_RECT locked = {};
    if (device() &&
        SUCCEEDED(device()->CreateTexture(width, height, 1, 0, format, D3DPOOL_SYSTEMMEM, &staging,
                                          NULL)) &&
        SUCCEEDED(device()->CreateTexture(width, height, 1, 0, format, D3DPOOL_DEFAULT, &texture,
                                          NULL)) &&
        SUCCEEDED(staging->LockRect(0, &locked, NULL, 0))) {
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                            size_t{y} * locked.Pitch)[x] =
                    texel(static_cast<int>(x), static_cast<int>(y));
        staging->UnlockRect(0);
        device()->UpdateTexture(staging, texture);
    }
    ReleaseInterface(staging);
    return texture;
}

void RenderHarness::DrawFrame(const std::function<void()>& draw, bool present) {
    device()->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    device()->BeginScene();
    draw();
    device()->EndScene();
    if (present) device()->Present(NULL, NULL, NULL, NULL);
}

platform::testing::Frame RenderHarness::RenderFrame(const std::function<void()>& draw) {
    platform::testing::CapturePresentedFrames(true);
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
    batch->ReleaseDeviceObjects();  // the destructor only says goodbye
    delete batch;
    return frame;
}
