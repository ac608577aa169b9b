#include "image/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image_test_fixture.h"
#include "texture_access.h"

namespace image_test {
namespace {

class BmpDecoderTest : public ImageTest {
protected:
    // LoadBmp on a freshly opened stream, as the loader calls it.
    int Decode(const std::wstring& path, IDirect3DTexture9* texture)
    {
        FILE* file = _wfopen(path.c_str(), L"rb");
        EXPECT_NE(file, nullptr);
        IDirect3DTexture9* slot = texture;
        return LoadBmp(file, &slot);
    }
};

std::vector<uint32_t> OpaquePattern(int width, int height)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(PatternPixel(x, y) | 0xFF000000u);
        }
    }
    return pixels;
}

TEST_F(BmpDecoderTest, EveryRowPaddingAndBothRowOrdersDecodeToTheImage)
{
    for (int width = 1; width <= 5; ++width) {
        for (int height : {3, -3}) {
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            std::wstring path = folder.Write("image.bmp", BmpBytes({.width = width, .height = height}));

            ImageInfo info{};
            ASSERT_EQ(ProbeBmp(path.c_str(), &info), 1);
            EXPECT_EQ(info.width, static_cast<UINT>(width));
            EXPECT_EQ(info.height, 3u);
            EXPECT_EQ(info.levels, 1);
            EXPECT_EQ(info.format, D3DFMT_X8R8G8B8);

            TextureRef texture = CreateStagingTexture(Device(), info.width, info.height, info.format);
            int filesBefore = OpenFileCount();
            ASSERT_EQ(Decode(path, texture.get()), 1);
            EXPECT_EQ(OpenFileCount(), filesBefore) << "the stream stays open";
            EXPECT_EQ(ReadLevel(texture.get()), OpaquePattern(width, 3));
            EXPECT_FALSE(LevelIsLocked(texture.get()));
        }
    }
}

TEST_F(BmpDecoderTest, PixelOffsetIsHonoured)
{
    std::wstring path = folder.Write("gap.bmp", BmpBytes({.width = 2, .height = 2, .gapBeforePixels = 6}));
    TextureRef texture = CreateStagingTexture(Device(), 2, 2, D3DFMT_X8R8G8B8);
    ASSERT_EQ(Decode(path, texture.get()), 1);
    EXPECT_EQ(ReadLevel(texture.get()), OpaquePattern(2, 2));
}

struct RejectedBmp {
    const char* why;
    BmpFile file;
};

TEST_F(BmpDecoderTest, RejectedFilesWriteNothingAndCloseTheStream)
{
    const RejectedBmp rejected[] = {
        {"bit count 8", {.width = 4, .height = 4, .bitCount = 8}},
        {"bit count 32", {.width = 4, .height = 4, .bitCount = 32}},
        {"run-length compression", {.width = 4, .height = 4, .compression = 1}},
        {"not BM", {.width = 4, .height = 4, .type = 0x4142}},
        {"zero width", {.width = 0, .height = 4}},
        {"negative width", {.width = -4, .height = 4}},
        {"zero height", {.width = 4, .height = 0}},
        {"wider than any texture", {.width = 8193, .height = 1}},
        {"taller than any texture", {.width = 1, .height = -8193}},
        {"truncated info header", {.width = 4, .height = 4, .cutFromEnd = 4 * 12 + 20}},
        {"pixel block one byte short", {.width = 4, .height = 4, .cutFromEnd = 1}},
        {"pixel block missing", {.width = 4, .height = 4, .cutFromEnd = 4 * 12}},
    };
    for (const RejectedBmp& bmp : rejected) {
        SCOPED_TRACE(bmp.why);
        std::wstring path = folder.Write("rejected.bmp", BmpBytes(bmp.file));
        ImageInfo info{};
        EXPECT_EQ(ProbeBmp(path.c_str(), &info), 0) << "a texture would be made for it";

        TextureRef texture = CreateStagingTexture(Device(), 4, 4, D3DFMT_X8R8G8B8);
        int filesBefore = OpenFileCount();
        EXPECT_EQ(Decode(path, texture.get()), 0);
        EXPECT_EQ(OpenFileCount(), filesBefore);
        EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(16, 0u));
    }
    EXPECT_TRUE(debugLines.empty());
    EXPECT_TRUE(boxes.empty());
}

// A 1 x 1 file whose header claims another size.
std::vector<uint8_t> BmpClaiming(int32_t width, int32_t height)
{
    std::vector<uint8_t> bytes = BmpBytes({.width = 1, .height = 1});
    PutLittleEndian32(bytes, 18, static_cast<uint32_t>(width));
    PutLittleEndian32(bytes, 22, static_cast<uint32_t>(height));
    return bytes;
}

TEST_F(BmpDecoderTest, HugeHeaderOverATinyFileAllocatesNothing)
{
    // 8192 x 8192 claims 192 MiB of rows; the file holds none of them.
    std::wstring path = folder.Write("huge.bmp", BmpClaiming(8192, 8192));
    ImageInfo info{};
    EXPECT_EQ(ProbeBmp(path.c_str(), &info), 0);
    TextureRef texture = CreateStagingTexture(Device(), 8192, 8192, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Decode(path, texture.get()), 0);
}

TEST_F(BmpDecoderTest, MostNegativeHeightIsRefused)
{
    std::wstring path = folder.Write("negative.bmp", BmpClaiming(1, INT32_MIN));
    ImageInfo info{};
    EXPECT_EQ(ProbeBmp(path.c_str(), &info), 0);
}

TEST_F(BmpDecoderTest, ATextureOfAnotherSizeIsLeftAlone)
{
    std::wstring path = folder.Write("image.bmp", BmpBytes({.width = 4, .height = 4}));
    for (auto [width, height] : {std::pair{3u, 4u}, std::pair{4u, 5u}}) {
        TextureRef texture = CreateStagingTexture(Device(), width, height, D3DFMT_X8R8G8B8);
        EXPECT_EQ(Decode(path, texture.get()), 0);
        EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(width * height, 0u));
    }
}

TEST_F(BmpDecoderTest, FailedLockWritesNothingAndFreesTheRows)
{
    std::wstring path = folder.Write("image.bmp", BmpBytes({.width = 4, .height = 4}));
    TextureRef texture = CreateStagingTexture(Device(), 4, 4, D3DFMT_X8R8G8B8);
    platform::testing::FailD3DCall(platform::testing::D3DCall::TextureLockRect, E_FAIL);
    int filesBefore = OpenFileCount();
    EXPECT_EQ(Decode(path, texture.get()), 0);
    EXPECT_EQ(OpenFileCount(), filesBefore);
    EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(16, 0u));
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace image_test
