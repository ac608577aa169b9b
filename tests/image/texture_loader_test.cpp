#include "image/texture_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image_test_fixture.h"
#include "refusing_device.h"
#include "texture_access.h"

namespace image_test {
namespace {

namespace fs = std::filesystem;

// 39 x 39 palette image and 32 x 32 RGB with alpha.
const fs::path OddPng = fs::path(PNGSUITE_DIR) / "png" / "s39n3p04.png";
const fs::path RgbaPng = fs::path(PNGSUITE_DIR) / "png" / "basn6a08.png";

class TextureLoaderTest : public ImageTest {
protected:
    TextureRef Load(const std::wstring& path)
    {
        IDirect3DTexture9* const stale = reinterpret_cast<IDirect3DTexture9*>(0x1);
        IDirect3DTexture9* texture = stale;
        LoadTexture(Device(), path.c_str(), &texture);
        if (texture == stale) {
            ADD_FAILURE() << "the caller's pointer was left as it was";
            return nullptr;
        }
        return TextureRef(texture);
    }

    void ExpectTexture(const TextureRef& texture, UINT width, UINT height, D3DFORMAT format)
    {
        ASSERT_NE(texture, nullptr);
        D3DSURFACE_DESC desc = LevelDesc(texture.get());
        EXPECT_EQ(desc.Width, width);
        EXPECT_EQ(desc.Height, height);
        EXPECT_EQ(desc.Format, format);
        EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
        EXPECT_EQ(desc.Usage, 0u);
        EXPECT_EQ(texture->GetLevelCount(), 1u);
    }
};

TEST_F(TextureLoaderTest, EachFormatGivesADefaultPoolTextureOfTheImagesSize)
{
    int texturesBefore = LiveTextures();
    {
        TextureRef png = Load(OddPng.wstring());
        ExpectTexture(png, 39, 39, D3DFMT_A8R8G8B8);
        TextureRef bmp = Load(folder.Write("board.bmp", BmpBytes({.width = 5, .height = -3})));
        ExpectTexture(bmp, 5, 3, D3DFMT_X8R8G8B8);
        TextureRef tga24 = Load(folder.Write("rgb.tga", TgaBytes({.width = 3, .height = 2, .depth = 24})));
        ExpectTexture(tga24, 3, 2, D3DFMT_X8R8G8B8);
        TextureRef tga32 = Load(folder.Write("rgba.tga", TgaBytes({.width = 2, .height = 3, .depth = 32})));
        ExpectTexture(tga32, 2, 3, D3DFMT_A8R8G8B8);
        // Only the final textures remain: every staging texture was released.
        EXPECT_EQ(LiveTextures(), texturesBefore + 4);
    }
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
}

// The pattern's colours, rows from the top, without alpha.
std::vector<uint32_t> PatternColours(int width, int height)
{
    std::vector<uint32_t> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            colours.push_back(PatternPixel(x, y) & 0x00FFFFFFu);
        }
    }
    return colours;
}

TEST_F(TextureLoaderTest, DecodedPixelsReachTheFinalTexture)
{
    TextureRef bmp = Load(folder.Write("image.bmp", BmpBytes({.width = 5, .height = 4})));
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(DrawnColours(Device(), bmp.get()), PatternColours(5, 4));
    TextureRef tga = Load(folder.Write("image.tga", TgaBytes({.width = 3, .height = 6, .depth = 32})));
    ASSERT_NE(tga, nullptr);
    EXPECT_EQ(DrawnColours(Device(), tga.get()), PatternColours(3, 6));
}

TEST_F(TextureLoaderTest, ExtensionIsFoundAnywhereInLowerCaseBmpFirst)
{
    std::vector<uint8_t> png = ReadFileBytes(RgbaPng);
    std::vector<uint8_t> bmp = BmpBytes({.width = 4, .height = 2});

    ExpectTexture(Load(folder.Write("picture.bmp.png", bmp)), 4, 2, D3DFMT_X8R8G8B8);
    ExpectTexture(Load(folder.Write("sheet.pngx", png)), 32, 32, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Load(folder.Write("image.PNG", png)), nullptr);
    EXPECT_EQ(Load(folder.Write("notes.txt", png)), nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TextureLoaderTest, MissingPngStillGivesTheDefaultTextureWithoutABox)
{
    TextureRef texture = Load(folder.PathOf("Kai_Orisa05.png"));
    ExpectTexture(texture, 256, 256, D3DFMT_A8R8G8B8);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"LoadPng : No File\n", L"\n",
                                                     L"LoadPng : No File\n", L"\n"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TextureLoaderTest, UnreadableRecordsMakeNoTexture)
{
    int texturesBefore = LiveTextures();
    EXPECT_EQ(Load(folder.PathOf("absent.bmp")), nullptr);
    EXPECT_EQ(Load(folder.PathOf("absent.tga")), nullptr);
    EXPECT_EQ(Load(folder.Write("grey.tga", TgaBytes({.width = 4, .height = 4, .depth = 16}))), nullptr);
    EXPECT_EQ(Load(folder.Write("palette.bmp", BmpBytes({.width = 4, .height = 4, .bitCount = 8}))), nullptr);
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(debugLines.empty());
}

TEST_F(TextureLoaderTest, FailedDecodeStillCopiesAndReleasesTheStaging)
{
    int texturesBefore = LiveTextures();
    {
        TextureRef rle = Load(folder.Write("rle.tga", TgaBytes({.imageType = 10, .width = 6, .height = 5})));
        ExpectTexture(rle, 6, 5, D3DFMT_X8R8G8B8);
        TextureRef corrupt = Load((fs::path(PNGSUITE_DIR) / "png" / "xcsn0g01.png").wstring());
        ExpectTexture(corrupt, 32, 32, D3DFMT_A8R8G8B8);
        EXPECT_EQ(LiveTextures(), texturesBefore + 2);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TextureLoaderTest, RefusedSizeShowsOneBoxAndLeavesNull)
{
    int texturesBefore = LiveTextures();
    for (int failures : {1, 2}) {
        platform::testing::FailD3DCall(platform::testing::D3DCall::CreateTexture, D3DERR_INVALIDCALL, failures);
        boxes.clear();
        EXPECT_EQ(Load(RgbaPng.wstring()), nullptr);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].text, L"Failed");
        EXPECT_EQ(boxes[0].caption, L"MB");
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
        platform::testing::ClearD3DFailures();
    }
    // The staging texture is made, the final one refused: the staging is let go.
    DefaultPoolRefusingDevice refusing(Device());
    boxes.clear();
    IDirect3DTexture9* texture = nullptr;
    LoadTexture(&refusing, RgbaPng.wstring().c_str(), &texture);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(LiveTextures(), texturesBefore);

    // A header larger than the device takes: the device refuses, once per call.
    boxes.clear();
    EXPECT_EQ(Load(folder.Write("wide.tga", TgaBytes({.width = 9000, .height = 1, .depth = 32}))), nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(LiveTextures(), texturesBefore);
}

}  // namespace
}  // namespace image_test
