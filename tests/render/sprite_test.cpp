// The sprite batch where the scene's own frames cannot show it: quads that overlap
// only in part, as the frame-rate figure does over the board. The rest of what the
// batch draws is checked through the scene and the text.
#include "render/sprite_batch.h"

#include <gtest/gtest.h>

#include "render/release_interface.h"
#include "render_harness.h"

namespace {

// Green's upper right half over red's diagonal: equal in depth only if every corner
// of the square is.
TEST(SpriteBatchTest, ALaterQuadCoversAnEarlierOneItOverlapsInPart) {
    RenderHarness gpu;
    SpriteBatch* batch = nullptr;
    CreateSpriteBatch(batch, gpu.device());
    ASSERT_NE(batch->vertexBuffer, nullptr);
    IDirect3DTexture9* red =
        gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int, int) { return 0xFFFF0000u; });
    IDirect3DTexture9* green =
        gpu.MakeTexture(64, 64, D3DFMT_A8R8G8B8, [](int, int) { return 0xFF00FF00u; });
    const platform::testing::Frame frame = gpu.RenderFrame([&] {
        batch->Begin();
        batch->AddQuad(red, {0, 0, 64, 64}, 200.0f, 100.0f);
        batch->AddQuad(green, {0, 0, 64, 64}, 168.0f, 100.0f);
        batch->End();
    });
    EXPECT_EQ(frame.At(210, 110), 0xFF00FF00u);
    EXPECT_EQ(frame.At(250, 110), 0xFFFF0000u);
    EXPECT_EQ(frame.At(170, 150), 0xFF00FF00u);
    batch->ReleaseDeviceObjects();
    delete batch;
    ReleaseInterface(red);
    ReleaseInterface(green);
}

}  // namespace
