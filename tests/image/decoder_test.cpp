// The BMP and TGA decoders on files the tests write, and the rules every decoder
// keeps: a texture of another size or a refused lock gets nothing written.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "image_test.h"

namespace image_test {
namespace {

using DecoderTest = ImageTest;

TEST_F(DecoderTest, BmpEveryRowPaddingBothRowOrdersAndThePixelOffset)
{
    for (int width = 1; width <= 5; ++width) {
        for (int height : {3, -3}) {
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            // A gap before the pixels for odd widths: the pixel offset is honoured.
            std::wstring path = folder.Write(
                "image.bmp", BmpBytes({.width = width, .height = height, .gapBeforePixels = uint32_t(width % 2 * 6)}));
            ImageInfo info{};
            ASSERT_EQ(ProbeBmp(path.c_str(), &info), 1);
            EXPECT_EQ(std::tuple(info.width, info.height, info.levels, info.format),
                      std::tuple(UINT(width), 3u, 1, D3DFMT_X8R8G8B8));
            TextureRef texture = Staging(info.width, info.height, info.format);
            ASSERT_EQ(Decode(path, texture.get()), 1);
            EXPECT_EQ(ReadTexels(texture.get()), Pattern(width, 3, false));
        }
    }
}

TEST_F(DecoderTest, TgaBothDepthsBottomRowFirstAtEveryWidth)
{
    for (uint8_t depth : {24, 32}) {
        for (uint16_t width = 1; width <= 5; ++width) {
            SCOPED_TRACE(testing::Message() << int{depth} << " bits, width " << width);
            // The top-first descriptor bit is ignored: rows are still read bottom first.
            uint8_t descriptor = width == 2 ? 0x28 : 0;
            std::wstring path = folder.Write(
                "image.tga", TgaBytes({.width = width, .height = 3, .depth = depth, .descriptor = descriptor}));
            ImageInfo info{};
            ASSERT_EQ(ProbeTga(path.c_str(), &info), 1);
            EXPECT_EQ(std::tuple(info.width, info.height, info.levels, info.format),
                      std::tuple(UINT(width), 3u, 1, depth == 24 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8));
            TextureRef texture = Staging(info.width, info.height, info.format);
            ASSERT_EQ(Decode(path, texture.get()), 1);
            EXPECT_EQ(ReadTexels(texture.get()), Pattern(width, 3, depth == 32));
        }
    }
}

// A 1 x 1 BMP whose header claims another size.
std::vector<uint8_t> BmpClaiming(int32_t width, int32_t height)
{
    std::vector<uint8_t> bytes = BmpBytes({.width = 1, .height = 1});
    std::memcpy(&bytes[18], &width, 4);  // little-endian host, as the file
    std::memcpy(&bytes[22], &height, 4);
    return bytes;
}

// A 4 x 4 TGA whose header claims 65535 x 65535 over a few bytes of data.
std::vector<uint8_t> TgaClaimingTheMost()
{
    std::vector<uint8_t> bytes = TgaBytes({.width = 4, .height = 4});
    bytes[12] = bytes[13] = bytes[14] = bytes[15] = 0xFF;
    return bytes;
}

struct Rejected {
    const char* why;
    const char* name;
    std::vector<uint8_t> bytes;
    bool probeAccepts;  // the TGA probe reads only size and depth
};

TEST_F(DecoderTest, RejectedFilesWriteNothing)
{
    const Rejected rejected[] = {
        {"bit count 8", "a.bmp", BmpBytes({.width = 4, .height = 4, .bitCount = 8}), false},
        {"bit count 32", "a.bmp", BmpBytes({.width = 4, .height = 4, .bitCount = 32}), false},
        {"compression", "a.bmp", BmpBytes({.width = 4, .height = 4, .compression = 1}), false},
        {"not BM", "a.bmp", BmpBytes({.width = 4, .height = 4, .type = 0x4142}), false},
        {"zero width", "a.bmp", BmpBytes({.width = 0, .height = 4}), false},
        {"negative width", "a.bmp", BmpBytes({.width = -4, .height = 4}), false},
        {"zero height", "a.bmp", BmpBytes({.width = 4, .height = 0}), false},
        {"wider than any texture", "a.bmp", BmpBytes({.width = 8193, .height = 1}), false},
        {"taller than any texture", "a.bmp", BmpBytes({.width = 1, .height = -8193}), false},
        {"most negative height", "a.bmp", BmpClaiming(1, INT32_MIN), false},
        {"8192 x 8192 over one pixel", "a.bmp", BmpClaiming(8192, 8192), false},
        {"truncated info header", "a.bmp", BmpBytes({.width = 4, .height = 4, .cutFromEnd = 4 * 12 + 20}), false},
        {"pixels one byte short", "a.bmp", BmpBytes({.width = 4, .height = 4, .cutFromEnd = 1}), false},
        {"no pixels", "a.bmp", BmpBytes({.width = 4, .height = 4, .cutFromEnd = 4 * 12}), false},
        {"image ID", "a.tga", TgaBytes({.idLength = 1, .width = 4, .height = 4}), true},
        {"colour map", "a.tga", TgaBytes({.colorMapType = 1, .width = 4, .height = 4}), true},
        {"run-length encoded", "a.tga", TgaBytes({.imageType = 10, .width = 4, .height = 4}), true},
        {"grey", "a.tga", TgaBytes({.imageType = 3, .width = 4, .height = 4}), true},
        {"x origin", "a.tga", TgaBytes({.xOrigin = 1, .width = 4, .height = 4}), true},
        {"y origin", "a.tga", TgaBytes({.yOrigin = 1, .width = 4, .height = 4}), true},
        {"one byte short", "a.tga", TgaBytes({.width = 4, .height = 4, .depth = 32, .cutFromEnd = 1}), true},
        {"no pixels", "a.tga", TgaBytes({.width = 4, .height = 4, .cutFromEnd = 48}), true},
        {"zero width", "a.tga", TgaBytes({.width = 0, .height = 4}), true},
        {"zero height", "a.tga", TgaBytes({.width = 4, .height = 0}), true},
        {"65535 x 65535 over 4 x 4", "a.tga", TgaClaimingTheMost(), true},
        {"16 bits", "a.tga", TgaBytes({.width = 4, .height = 4, .depth = 16}), false},
        {"8 bits", "a.tga", TgaBytes({.width = 4, .height = 4, .depth = 8}), false},
        {"header cut inside the size", "a.tga", TgaBytes({.width = 4, .height = 4, .cutFromEnd = 48 + 3}), false},
    };
    for (const Rejected& file : rejected) {
        SCOPED_TRACE(std::string(file.name) + ": " + file.why);
        std::wstring path = folder.Write(file.name, file.bytes);
        ImageInfo info{};
        int probed = path.ends_with(L".bmp") ? ProbeBmp(path.c_str(), &info) : ProbeTga(path.c_str(), &info);
        EXPECT_EQ(probed, file.probeAccepts ? 1 : 0);
        TextureRef texture = Staging(4, 4);
        EXPECT_EQ(Decode(path, texture.get()), 0);
        EXPECT_EQ(ReadTexels(texture.get()), std::vector<uint32_t>(16, 0u));
    }
    EXPECT_TRUE(debugLines.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DecoderTest, ATextureOfAnotherSizeOrARefusedLockGetsNothing)
{
    // 4 x 4 BMP and TGA, 32 x 32 PNG.
    const std::wstring files[] = {
        folder.Write("image.bmp", BmpBytes({.width = 4, .height = 4})),
        folder.Write("image.tga", TgaBytes({.width = 4, .height = 4, .depth = 32})),
        (std::filesystem::path(PNGSUITE_DIR) / "png" / "basn6a08.png").wstring(),
    };
    for (const std::wstring& path : files) {
        SCOPED_TRACE(std::filesystem::path(path).filename().string());
        const UINT side = path.ends_with(L".png") ? 32 : 4;
        for (auto [width, height] : {std::pair{side - 1, side}, std::pair{side, side + 1}, std::pair{256u, 256u}}) {
            TextureRef texture = Staging(width, height);
            EXPECT_EQ(Decode(path, texture.get()), 0);
            EXPECT_EQ(ReadTexels(texture.get()), std::vector<uint32_t>(width * height, 0u));
        }
        EXPECT_TRUE(boxes.empty());
        TextureRef texture = Staging(side, side);
        platform::testing::FailD3DCall(platform::testing::D3DCall::TextureLockRect, E_FAIL);
        EXPECT_EQ(Decode(path, texture.get()), 0);
        EXPECT_EQ(ReadTexels(texture.get()), std::vector<uint32_t>(side * side, 0u));
        // Only the PNG decoder reports a refused lock, with its "FAIL" box.
        if (path.ends_with(L".png")) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].owner, nullptr);
            EXPECT_EQ(boxes[0].text, L"FAIL");
            EXPECT_EQ(boxes[0].caption, L"");
            EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

}  // namespace
}  // namespace image_test
