#include "image/tga_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image_test_fixture.h"
#include "texture_access.h"

namespace image_test {
namespace {

using TgaDecoderTest = ImageTest;

std::vector<uint32_t> Pattern(int width, int height, bool keepAlpha)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(PatternPixel(x, y) | (keepAlpha ? 0u : 0xFF000000u));
        }
    }
    return pixels;
}

int Load(const std::wstring& path, IDirect3DTexture9* texture)
{
    IDirect3DTexture9* slot = texture;
    return LoadTga(path.c_str(), &slot);
}

TEST_F(TgaDecoderTest, BothDepthsDecodeBottomRowFirstAtEveryWidth)
{
    for (uint8_t depth : {24, 32}) {
        for (uint16_t width = 1; width <= 5; ++width) {
            SCOPED_TRACE(testing::Message() << int{depth} << " bits, width " << width);
            std::wstring path = folder.Write("image.tga", TgaBytes({.width = width, .height = 3, .depth = depth}));

            ImageInfo info{};
            ASSERT_EQ(ProbeTga(path.c_str(), &info), 1);
            EXPECT_EQ(info.width, width);
            EXPECT_EQ(info.height, 3u);
            EXPECT_EQ(info.bitsPerPixel, depth);
            EXPECT_EQ(info.levels, 1);
            EXPECT_EQ(info.format, depth == 24 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8);

            TextureRef texture = CreateStagingTexture(Device(), info.width, info.height, info.format);
            int filesBefore = OpenFileCount();
            ASSERT_EQ(Load(path, texture.get()), 1);
            EXPECT_EQ(OpenFileCount(), filesBefore);
            EXPECT_EQ(ReadLevel(texture.get()), Pattern(width, 3, depth == 32));
            EXPECT_FALSE(LevelIsLocked(texture.get()));
        }
    }
}

TEST_F(TgaDecoderTest, TopFirstDescriptorIsStillReadBottomFirst)
{
    std::wstring path = folder.Write("top.tga", TgaBytes({.width = 2, .height = 2, .depth = 32, .descriptor = 0x28}));
    TextureRef texture = CreateStagingTexture(Device(), 2, 2);
    ASSERT_EQ(Load(path, texture.get()), 1);
    EXPECT_EQ(ReadLevel(texture.get()), Pattern(2, 2, true));
}

struct RejectedTga {
    const char* why;
    TgaFile file;
    bool probeAccepts;
};

TEST_F(TgaDecoderTest, RejectedFilesWriteNothingAndCloseTheStream)
{
    const RejectedTga rejected[] = {
        {"image ID", {.idLength = 1, .width = 4, .height = 4}, true},
        {"colour map", {.colorMapType = 1, .width = 4, .height = 4}, true},
        {"run-length encoded", {.imageType = 10, .width = 4, .height = 4}, true},
        {"grey", {.imageType = 3, .width = 4, .height = 4}, true},
        {"x origin", {.xOrigin = 1, .width = 4, .height = 4}, true},
        {"y origin", {.yOrigin = 1, .width = 4, .height = 4}, true},
        {"one byte short", {.width = 4, .height = 4, .depth = 32, .cutFromEnd = 1}, true},
        {"no pixels", {.width = 4, .height = 4, .cutFromEnd = 48}, true},
        {"zero width", {.width = 0, .height = 4}, true},
        {"zero height", {.width = 4, .height = 0}, true},
        {"16 bits", {.width = 4, .height = 4, .depth = 16}, false},
        {"8 bits", {.width = 4, .height = 4, .depth = 8}, false},
        {"header cut inside the size", {.width = 4, .height = 4, .cutFromEnd = 48 + 3}, false},
    };
    for (const RejectedTga& tga : rejected) {
        SCOPED_TRACE(tga.why);
        std::wstring path = folder.Write("rejected.tga", TgaBytes(tga.file));
        ImageInfo info{};
        EXPECT_EQ(ProbeTga(path.c_str(), &info), tga.probeAccepts ? 1 : 0);

        TextureRef texture = CreateStagingTexture(Device(), 4, 4);
        int filesBefore = OpenFileCount();
        EXPECT_EQ(Load(path, texture.get()), 0);
        EXPECT_EQ(OpenFileCount(), filesBefore);
        EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(16, 0u));
    }
    EXPECT_TRUE(debugLines.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TgaDecoderTest, ProbeOfAnUnreadableDepthSetsTheSizeButNoFormat)
{
    std::wstring path = folder.Write("grey.tga", TgaBytes({.width = 6, .height = 7, .depth = 16}));
    ImageInfo info{0, 0, 0, 0, D3DFMT_UNKNOWN};
    EXPECT_EQ(ProbeTga(path.c_str(), &info), 0);
    EXPECT_EQ(info.width, 6u);
    EXPECT_EQ(info.height, 7u);
    EXPECT_EQ(info.bitsPerPixel, 16);
    EXPECT_EQ(info.format, D3DFMT_UNKNOWN);

    ImageInfo untouched{1, 2, 3, 4, D3DFMT_R5G6B5};
    EXPECT_EQ(ProbeTga(folder.PathOf("absent.tga").c_str(), &untouched), 0);
    EXPECT_EQ(untouched.width, 1u);
    EXPECT_EQ(untouched.format, D3DFMT_R5G6B5);
}

TEST_F(TgaDecoderTest, ATextureOfAnotherSizeIsLeftAlone)
{
    // The header claims the largest size a TGA can hold over a few bytes of data:
    // no texture of that size exists, so nothing is allocated for it either.
    std::vector<uint8_t> bytes = TgaBytes({.width = 4, .height = 4});
    bytes[12] = bytes[13] = bytes[14] = bytes[15] = 0xFF;
    std::wstring huge = folder.Write("huge.tga", bytes);
    std::wstring small = folder.Write("small.tga", TgaBytes({.width = 4, .height = 4}));

    TextureRef texture = CreateStagingTexture(Device(), 4, 3);
    EXPECT_EQ(Load(huge, texture.get()), 0);
    EXPECT_EQ(Load(small, texture.get()), 0);
    EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(12, 0u));
}

TEST_F(TgaDecoderTest, FailedLockWritesNothing)
{
    std::wstring path = folder.Write("image.tga", TgaBytes({.width = 4, .height = 4, .depth = 32}));
    TextureRef texture = CreateStagingTexture(Device(), 4, 4);
    platform::testing::FailD3DCall(platform::testing::D3DCall::TextureLockRect, E_FAIL);
    int filesBefore = OpenFileCount();
    EXPECT_EQ(Load(path, texture.get()), 0);
    EXPECT_EQ(OpenFileCount(), filesBefore);
    EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(16, 0u));
}

}  // namespace
}  // namespace image_test
