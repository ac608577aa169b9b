#include "image/texture_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "mock_device.h"
#include "image_test.h"

namespace image_test {
namespace {

namespace fs = std::filesystem;

const fs::path Suite = fs::path(PNGSUITE_DIR) / "png";

// Loads through a device that forwards to the real one, records what the staging
// texture held when it was copied, and can refuse the final (default-pool) texture.
class TextureLoaderTest : public ImageTest {
protected:
    void SetUp() override
    {
        ImageTest::SetUp();
        ON_CALL(spy, CreateTexture)
            .WillByDefault([this](UINT w, UINT h, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE* shared) {
                if (pool == D3DPOOL_DEFAULT && refuseFinal) {
                    *texture = nullptr;
                    return D3DERR_OUTOFVIDEOMEMORY;
                }
                return Device()->CreateTexture(w, h, levels, usage, format, pool, texture, shared);
            });
        ON_CALL(spy, UpdateTexture).WillByDefault([this](IDirect3DBaseTexture9* from, IDirect3DBaseTexture9* to) {
            copied = ReadTexels(static_cast<IDirect3DTexture9*>(from));
            copiedTo = to;
            return Device()->UpdateTexture(from, to);
        });
    }

    TextureRef Load(const std::wstring& path)
    {
        IDirect3DTexture9* const stale = reinterpret_cast<IDirect3DTexture9*>(0x1);
        IDirect3DTexture9* texture = stale;
        LoadTexture(&spy, path.c_str(), &texture);
        if (texture == stale) {
            ADD_FAILURE() << "the caller's pointer was left as it was";
            return nullptr;
        }
        return TextureRef(texture);
    }

    void ExpectTexture(const TextureRef& texture, UINT width, UINT height, D3DFORMAT format)
    {
        ASSERT_NE(texture, nullptr);
        D3DSURFACE_DESC d{};
        ASSERT_EQ(texture->GetLevelDesc(0, &d), D3D_OK);
        EXPECT_EQ(std::tuple(d.Width, d.Height, d.Format, d.Pool, d.Usage, texture->GetLevelCount()),
                  std::tuple(width, height, format, D3DPOOL_DEFAULT, DWORD{0}, DWORD{1}));
    }

    testing::NiceMock<MockDevice> spy;
    bool refuseFinal = false;
    std::vector<uint32_t> copied;
    IDirect3DBaseTexture9* copiedTo = nullptr;
};

TEST_F(TextureLoaderTest, EachFormatGivesADefaultPoolTextureHoldingWhatWasDecoded)
{
    struct Case {
        std::wstring path;
        UINT width, height;
        D3DFORMAT format;
        std::optional<std::vector<uint32_t>> pixels;  // what the staging held when copied
    };
    const Case cases[] = {
        {(Suite / "s39n3p04.png").wstring(), 39, 39, D3DFMT_A8R8G8B8, std::nullopt},
        {folder.Write("board.bmp", BmpBytes({.width = 5, .height = -3})), 5, 3, D3DFMT_X8R8G8B8, Pattern(5, 3, false)},
        {folder.Write("rgb.tga", TgaBytes({.width = 3, .height = 2})), 3, 2, D3DFMT_X8R8G8B8, Pattern(3, 2, false)},
        {folder.Write("rgba.tga", TgaBytes({.width = 2, .height = 3, .depth = 32})), 2, 3, D3DFMT_A8R8G8B8,
         Pattern(2, 3, true)},
        // A failed decode is still copied and its staging released.
        {folder.Write("rle.tga", TgaBytes({.imageType = 10, .width = 6, .height = 5})), 6, 5, D3DFMT_X8R8G8B8,
         std::vector<uint32_t>(30, 0u)},
        {(Suite / "xcsn0g01.png").wstring(), 32, 32, D3DFMT_A8R8G8B8, std::nullopt},
    };
    int texturesBefore = LiveTextures();
    {
        std::vector<TextureRef> loaded;
        for (const Case& c : cases) {
            SCOPED_TRACE(fs::path(c.path).filename().string());
            loaded.push_back(Load(c.path));
            ExpectTexture(loaded.back(), c.width, c.height, c.format);
            EXPECT_EQ(copiedTo, loaded.back().get());
            if (c.pixels) {
                EXPECT_EQ(copied, *c.pixels);
            }
        }
        // Only the final textures remain: every staging texture was released.
        EXPECT_EQ(LiveTextures(), texturesBefore + static_cast<int>(std::size(cases)));
    }
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TextureLoaderTest, ExtensionIsFoundAnywhereInLowerCaseBmpFirst)
{
    std::vector<uint8_t> png = ReadFileBytes(Suite / "basn6a08.png");
    std::vector<uint8_t> bmp = BmpBytes({.width = 4, .height = 2});
    ExpectTexture(Load(folder.Write("picture.bmp.png", bmp)), 4, 2, D3DFMT_X8R8G8B8);
    ExpectTexture(Load(folder.Write("sheet.pngx", png)), 32, 32, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Load(folder.Write("image.PNG", png)), nullptr);
    EXPECT_EQ(Load(folder.Write("notes.txt", png)), nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TextureLoaderTest, MissingPngStillGivesTheDefaultTextureWithoutABox)
{
    ExpectTexture(Load(folder.PathOf("Kai_Orisa05.png")), 256, 256, D3DFMT_A8R8G8B8);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"LoadPng : No File\n", L"\n", L"LoadPng : No File\n", L"\n"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TextureLoaderTest, UnreadableRecordsMakeNoTextureAndNoBox)
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

TEST_F(TextureLoaderTest, RefusedTextureShowsOneFailedBoxAndLeavesNull)
{
    using platform::testing::D3DCall;
    const std::wstring rgba = (Suite / "basn6a08.png").wstring();
    const std::wstring wide = folder.Write("wide.tga", TgaBytes({.width = 9000, .height = 1, .depth = 32}));
    const std::pair<const char*, std::function<std::wstring()>> refusals[] = {
        {"staging refused", [&] { platform::testing::FailD3DCall(D3DCall::CreateTexture, D3DERR_INVALIDCALL); return rgba; }},
        {"both refused", [&] { platform::testing::FailD3DCall(D3DCall::CreateTexture, D3DERR_INVALIDCALL, 2); return rgba; }},
        {"final refused after the staging was made", [&] { refuseFinal = true; return rgba; }},
        {"larger than the device takes", [&] { return wide; }},
    };
    int texturesBefore = LiveTextures();
    for (const auto& [why, arrange] : refusals) {
        SCOPED_TRACE(why);
        boxes.clear();
        EXPECT_EQ(Load(arrange()), nullptr);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].text, L"Failed");
        EXPECT_EQ(boxes[0].caption, L"MB");
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(LiveTextures(), texturesBefore);
        platform::testing::ClearD3DFailures();
        refuseFinal = false;
    }
}

}  // namespace
}  // namespace image_test
