// The fixture every image test shares: a device, a scratch folder, captured
// debugger lines and message boxes, and the decoders' textures read back.
#pragma once

#include <d3d9.h>
#include <platform_testing.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/bmp_decoder.h"
#include "image/png_decoder.h"
#include "image/tga_decoder.h"
#include "texture_helpers.h"  // ReadTexels: level 0 as 0xAARRGGBB, rows from the top
#include "image_files.h"
#include "test_device.h"

namespace image_test {

struct ReleaseTexture {
    void operator()(IDirect3DTexture9* texture) const { texture->Release(); }
};
using TextureRef = std::unique_ptr<IDirect3DTexture9, ReleaseTexture>;

// A second lock is refused while one is held.
inline bool LevelIsLocked(IDirect3DTexture9* texture)
{
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        return true;
    }
    texture->UnlockRect(0);
    return false;
}

// The written pattern, rows from the top; opaque unless alpha is kept.
inline std::vector<uint32_t> Pattern(int width, int height, bool keepAlpha)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(PatternPixel(x, y) | (keepAlpha ? 0u : 0xFF000000u));
        }
    }
    return pixels;
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::testing::SetDebugSink([this](const std::wstring& text) { debugLines.push_back(text); });
        platform::testing::SetMessageBoxHandler([this](const platform::testing::MessageBoxCall& call) {
            boxes.push_back(call);
            return IDOK;
        });
    }
    void TearDown() override { platform::testing::ResetAllHooks(); }

    IDirect3DDevice9* Device() { return testDevice.device(); }
    int LiveTextures() const { return platform::testing::CountD3DLiveObjects().textures; }

    // A system-memory texture as the loader stages into: one level, fresh zeros.
    TextureRef Staging(UINT width, UINT height, D3DFORMAT format = D3DFMT_A8R8G8B8)
    {
        IDirect3DTexture9* texture = nullptr;
        if (FAILED(Device()->CreateTexture(width, height, 1, 0, format, D3DPOOL_SYSTEMMEM, &texture, nullptr))) {
            throw std::runtime_error("staging texture refused");
        }
        return TextureRef(texture);
    }

    // The decoder the extension names, called as the loader calls it; also checks
    // that the decoder closed its file.
    int Decode(const std::wstring& path, IDirect3DTexture9* texture)
    {
        int filesBefore = OpenFileCount();
        IDirect3DTexture9* slot = texture;
        int result = 0;
        if (path.ends_with(L".bmp")) {
            FILE* file = _wfopen(path.c_str(), L"rb");
            EXPECT_NE(file, nullptr);
            result = file != nullptr ? LoadBmp(file, &slot) : 0;
        } else if (path.ends_with(L".tga")) {
            result = LoadTga(path.c_str(), &slot);
        } else {
            result = LoadPng(path.c_str(), &slot);
        }
        EXPECT_EQ(OpenFileCount(), filesBefore) << "the decoder left its file open";
        EXPECT_FALSE(LevelIsLocked(texture)) << "the decoder left the level locked";
        return result;
    }

    TestDevice testDevice;
    ScratchFolder folder;
    std::vector<std::wstring> debugLines;
    std::vector<platform::testing::MessageBoxCall> boxes;
};

}  // namespace image_test
