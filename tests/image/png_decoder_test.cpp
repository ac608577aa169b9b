#include "image/png_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image_test_fixture.h"
#include "texture_access.h"

namespace image_test {
namespace {

namespace fs = std::filesystem;

// 32 x 32, 8-bit RGB with alpha.
const fs::path RgbaImage = fs::path(PNGSUITE_DIR) / "png" / "basn6a08.png";

class PngDecoderTest : public ImageTest {
protected:
    int Load(const std::wstring& path, IDirect3DTexture9* texture)
    {
        IDirect3DTexture9* slot = texture;
        return LoadPng(path.c_str(), &slot);
    }
};

TEST_F(PngDecoderTest, MissingFileWritesItsTwoLinesAndKeepsTheDefaults)
{
    std::wstring path = folder.PathOf("absent.png");
    ImageInfo info{1, 2, 3, 4, D3DFMT_X8R8G8B8};
    EXPECT_EQ(ProbePng(path.c_str(), &info), 0);
    EXPECT_EQ(info.width, 256u);
    EXPECT_EQ(info.height, 256u);
    EXPECT_EQ(info.bitsPerPixel, 32);
    EXPECT_EQ(info.levels, 1);
    EXPECT_EQ(info.format, D3DFMT_A8R8G8B8);

    TextureRef texture = CreateStagingTexture(Device(), 256, 256);
    EXPECT_EQ(Load(path, texture.get()), 0);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"LoadPng : No File\n", L"\n",
                                                     L"LoadPng : No File\n", L"\n"}));
}

TEST_F(PngDecoderTest, AFileWithoutTheSignatureIsRefusedSilently)
{
    std::vector<uint8_t> notPng = BmpBytes({.width = 2, .height = 2});
    for (size_t length : {notPng.size(), size_t{7}, size_t{0}}) {
        std::wstring path = folder.Write("fake.png", std::vector<uint8_t>(notPng.begin(), notPng.begin() + length));
        ImageInfo info{};
        int filesBefore = OpenFileCount();
        EXPECT_EQ(ProbePng(path.c_str(), &info), 0);
        EXPECT_EQ(info.width, 256u);
        TextureRef texture = CreateStagingTexture(Device(), 2, 2);
        EXPECT_EQ(Load(path, texture.get()), 0);
        EXPECT_EQ(OpenFileCount(), filesBefore);
    }
    EXPECT_TRUE(debugLines.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PngDecoderTest, SuccessfulDecodeWritesItsProgressLines)
{
    TextureRef texture = CreateStagingTexture(Device(), 32, 32);
    int filesBefore = OpenFileCount();
    EXPECT_EQ(Load(RgbaImage.wstring(), texture.get()), 1);
    EXPECT_EQ(OpenFileCount(), filesBefore);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"OK\n", L"OK2\n", L"OK3\n", L"OK4\n", L"OK4\n"}));
}

TEST_F(PngDecoderTest, TruncatedFilesEndInTheRecovery)
{
    std::vector<uint8_t> whole = ReadFileBytes(RgbaImage);
    // Inside the header, inside the image data, and just before the end chunk.
    for (size_t length : {size_t{20}, whole.size() / 2, whole.size() - 12}) {
        SCOPED_TRACE(length);
        std::wstring path = folder.Write("cut.png", std::vector<uint8_t>(whole.begin(), whole.begin() + length));
        TextureRef texture = CreateStagingTexture(Device(), 32, 32);
        int filesBefore = OpenFileCount();
        EXPECT_EQ(Load(path, texture.get()), 0);
        EXPECT_EQ(OpenFileCount(), filesBefore);
        EXPECT_FALSE(LevelIsLocked(texture.get()));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PngDecoderTest, FailedLockShowsOneBoxAndWritesNothing)
{
    TextureRef texture = CreateStagingTexture(Device(), 32, 32);
    platform::testing::FailD3DCall(platform::testing::D3DCall::TextureLockRect, E_FAIL);
    int filesBefore = OpenFileCount();
    EXPECT_EQ(Load(RgbaImage.wstring(), texture.get()), 0);
    EXPECT_EQ(OpenFileCount(), filesBefore);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].text, L"FAIL");
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(32 * 32, 0u));
}

TEST_F(PngDecoderTest, ATextureOfAnotherSizeIsLeftAlone)
{
    for (auto [width, height] : {std::pair{31u, 32u}, std::pair{32u, 33u}, std::pair{256u, 256u}}) {
        TextureRef texture = CreateStagingTexture(Device(), width, height);
        EXPECT_EQ(Load(RgbaImage.wstring(), texture.get()), 0);
        EXPECT_FALSE(LevelIsLocked(texture.get()));
        EXPECT_EQ(ReadLevel(texture.get()), std::vector<uint32_t>(width * height, 0u));
    }
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace image_test
