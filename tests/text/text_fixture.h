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

    // A renderer in `renderer` on the test device, or on none.
    void Make(bool withDevice = true);
    // As the scene does it: the texture first, then the renderer.
    static void Destroy(TextRenderer*& renderer);

    // The bitmap pixel at an image position (row 0 at the top).
    BYTE* Pixel(int x, int y) const;
    // Image positions where level 0 of the atlas differs from the bitmap in any byte.
    std::vector<std::pair<int, int>> TexelMismatches() const;

    std::vector<std::wstring> debugLines;
    ScratchDirectory scratch;
    TestDevice testDevice;
    TextRenderer* renderer = nullptr;
};

// `count` distinct ideographs as UTF-16 code units.
std::u16string DistinctCharacters(int count);

// A rectangle that FindGlyph would never write.
constexpr SourceRect kUntouched = {-7, -7, -7, -7};
inline SourceRect Cell(LONG left, LONG top) { return SourceRect{left, top, left + 40, top + 40}; }
inline bool operator==(const SourceRect& a, const SourceRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
