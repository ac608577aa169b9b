// What the text renderer's tests share: a device, a scratch working directory for
// "text.bmp", captured debug lines, and views of the bitmap and the atlas texture.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_device.h"
#include "text/text_renderer.h"

// Makes a fresh directory the working directory for the object's lifetime.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};

class TextRendererTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // As the scene does it: the texture first, then the renderer.
    static void Destroy(TextRenderer*& renderer);
    // A renderer on the test device (or on none).
    TextRenderer* Make(bool withDevice = true);

    // The four bytes of the bitmap pixel at an image position (row 0 at the top).
    static const BYTE* Pixel(const TextRenderer& renderer, int x, int y);
    // Positions where level 0 of the atlas differs from the bitmap, all four bytes compared.
    static std::vector<std::pair<int, int>> TexelMismatches(const TextRenderer& renderer);
    static bool BitmapIsZero(const TextRenderer& renderer);

    std::vector<std::wstring> debugLines;
    ScratchDirectory scratch;
    TestDevice testDevice;
    TextRenderer* renderer = nullptr;
};

// `count` distinct characters that the font has, none of them digits.
std::wstring DistinctCharacters(int count, wchar_t first = 0x4E00);
