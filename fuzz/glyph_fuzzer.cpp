// Feeds each input to TextRenderer::DrawString as UTF-16 code units (two bytes
// each, little-endian, any value but 0). One renderer lives across inputs so the
// atlas fills up; it is rebuilt once full, as a device reset would. Every rebuild
// writes "text.bmp" into the working directory.
#include <platform_testing.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/release_interface.h"
#include "render/sprite_batch.h"
#include "test_device.h"
#include "text/text_renderer.h"

namespace {

TestDevice* device = nullptr;
SpriteBatch* batch = nullptr;
TextRenderer* renderer = nullptr;

void Rebuild() {
    if (renderer != nullptr) {
        ReleaseInterface(renderer->atlasTexture);
    }
    CreateTextRenderer(device->device(), &renderer);
}

bool AtlasFull() {
    return (renderer->atlasRow + 1) * renderer->textMetrics.tmHeight >= renderer->bitmapHeight;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    static TestDevice testDevice;
    device = &testDevice;
    static SpriteBatch spriteBatch;
    batch = &spriteBatch;
    batch->Init(device->device());
    platform::testing::SetDebugSink([](const std::wstring&) {});
    Rebuild();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit != 0) {
            text.push_back(unit);
        }
    }
    batch->Begin();
    renderer->DrawString(text.c_str(), batch);
    // One quad per code unit, and every cached cell inside the atlas.
    if (batch->entries.size() != text.size()) {
        std::abort();
    }
    for (const wchar_t unit : text) {
        SourceRect cell = {0, 0, 0, 0};
        renderer->FindGlyph(static_cast<char16_t>(unit), cell);
        if (cell.left < 0 || cell.top < 0 || cell.right > renderer->bitmapWidth ||
            cell.bottom > renderer->bitmapHeight) {
            std::abort();
        }
    }
    batch->End();
    if (AtlasFull()) {
        Rebuild();
    }
    return 0;
}
