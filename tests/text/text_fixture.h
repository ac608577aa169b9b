// What the text renderer's tests share: a device, a scratch working directory for
// "text.bmp", captured debug lines, and views of the bitmap and the atlas texture.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "render/release_interface.h"
#include "scratch_working_directory.h"
#include "test_device.h"
#include "text/text_renderer.h"

class TextRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testDevice.device(), nullptr);
        platform::testing::SetDebugSink([this](const std::wstring& text) { debugLines.push_back(text); });
    }
    void TearDown() override {
        batch.ReleaseDeviceObjects();
        Destroy(renderer);
        platform::testing::ResetAllHooks();
    }

    // A renderer in `renderer` on the test device, or on none.
    void Make(bool withDevice = true) { CreateTextRenderer(withDevice ? testDevice.device() : nullptr, &renderer); }
    // As the scene does it: the texture first, then the renderer.
    static void Destroy(TextRenderer*& doomed) {
        if (doomed == nullptr) return;
        ReleaseInterface(doomed->atlasTexture);
        delete doomed;
        doomed = nullptr;
    }

    // The bitmap pixel at an image position (row 0 at the top, stored last).
    BYTE* Pixel(int x, int y) const {
        return renderer->glyphBits + (static_cast<size_t>(renderer->bitmapHeight - 1 - y) * renderer->bitmapWidth + x) * 4;
    }

    // Image positions where level 0 of the atlas differs from the bitmap in any byte.
    std::vector<std::pair<int, int>> TexelMismatches() const {
        D3DLOCKED_RECT locked{};
        if (FAILED(renderer->atlasTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return {{-1, -1}};
        std::vector<std::pair<int, int>> mismatches;
        for (int y = 0; y < renderer->bitmapHeight; ++y) {
            const BYTE* texels = static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
            for (int x = 0; x < renderer->bitmapWidth; ++x) {
                if (std::memcmp(texels + x * 4, Pixel(x, y), 4) != 0) mismatches.emplace_back(x, y);
            }
        }
        renderer->atlasTexture->UnlockRect(0);
        return mismatches;
    }

    // `batch` holds exactly these cells of the atlas at these x positions on row 0.
    void ExpectQuads(const std::vector<std::pair<SourceRect, float>>& quads) {
        SpriteBatch expected;
        expected.Init(testDevice.device());
        for (const auto& [cell, x] : quads) expected.AddQuad(renderer->atlasTexture, cell, x, 0.0f);
        ASSERT_EQ(batch.entries.size(), expected.entries.size());
        for (size_t i = 0; i < batch.entries.size(); ++i) {
            EXPECT_EQ(std::memcmp(&batch.entries[i], &expected.entries[i], sizeof(QuadEntry)), 0) << i;
        }
        expected.ReleaseDeviceObjects();
    }

    std::vector<std::wstring> debugLines;
    ScratchWorkingDirectory scratch;
    TestDevice testDevice;
    TextRenderer* renderer = nullptr;
    SpriteBatch batch;  // Init it to queue quads
};

// `count` distinct ideographs as UTF-16 code units.
inline std::u16string DistinctCharacters(int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += static_cast<char16_t>(0x4E00 + i);
    return text;
}

// A rectangle that FindGlyph would never write.
constexpr SourceRect kUntouched = {-7, -7, -7, -7};
inline SourceRect Cell(LONG left, LONG top) { return SourceRect{left, top, left + 40, top + 40}; }
inline bool operator==(const SourceRect& a, const SourceRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
