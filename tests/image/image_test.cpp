// Texture loading: the PNG, BMP and TGA decoders on the conformance images and on
// files the tests write, and LoadTexture's extension, staging and failure rules.
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <malloc.h>
#include <zlib.h>

#include "image/bmp_decoder.h"
#include "image/png_decoder.h"
#include "image/texture_loader.h"
#include "image/tga_decoder.h"
#include "captured_output.h"
#include "image_files.h"
#include "mock_device.h"
#include "scratch_working_directory.h"
#include "test_device.h"
#include "texture_helpers.h"

namespace image_test {
namespace {

namespace fs = std::filesystem;
using platform::testing::D3DCall;
using platform::testing::FailD3DCall;

const fs::path Suite = PNGSUITE_DIR;
const fs::path RgbaPng = Suite / "png" / "basn6a08.png";  // 32 x 32 RGBA
constexpr D3DFORMAT kA8 = D3DFMT_A8R8G8B8, kX8 = D3DFMT_X8R8G8B8, kNone = D3DFMT_UNKNOWN;

using TextureRef =
    std::unique_ptr<IDirect3DTexture9, decltype([](IDirect3DTexture9* t) { t->Release(); })>;

// The written pattern, rows from the top; opaque unless alpha is kept.
std::vector<uint32_t> Pattern(int width, int height, bool keepAlpha) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(PatternPixel(x, y) | (keepAlpha ? 0u : 0xFF000000u));
    return pixels;
}

// The reference holds red, green, blue, alpha samples row by row; the texture
// holds 0xAARRGGBB with 16-bit samples cut to their high byte.
std::vector<uint32_t> ExpectedPixels(const fs::path& image) {
    std::ifstream in(Suite / "json" / image.filename().replace_extension(".json"));
    const unsigned shift = ReadFileBytes(image).at(24) == 16 ? 8 : 0;  // IHDR's bit depth
    std::vector<unsigned> s;
    char separator = 0;
    in >> separator;
    for (unsigned value; in >> value; in >> separator) s.push_back(value >> shift);
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 3 < s.size(); i += 4)
        pixels.push_back(s[i + 3] << 24 | s[i] << 16 | s[i + 1] << 8 | s[i + 2]);
    return pixels;
}

// Bytes the C heap holds (0 under AddressSanitizer, whose heap this does not see).
size_t HeapInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

// A device, captured debugger lines and message boxes, and a device spy that
// forwards to the real one for LoadTexture: it records what the staging texture
// held when it was copied, and can refuse the final (default-pool) texture.
class ImageTest : public ::testing::Test, protected CapturedOutput {
protected:
    void SetUp() override {
        Capture();
        ON_CALL(spy, CreateTexture)
            .WillByDefault([this](UINT w, UINT h, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
                if (pool == D3DPOOL_DEFAULT && refuseFinal)
                    return *texture = nullptr, D3DERR_OUTOFVIDEOMEMORY;
                return testDevice.device()->CreateTexture(w, h, levels, usage, format, pool,
                                                          texture, shared);
            });
        ON_CALL(spy, UpdateTexture)
            .WillByDefault([this](IDirect3DBaseTexture9* from, IDirect3DBaseTexture9* to) {
                copied = ReadTexels(static_cast<IDirect3DTexture9*>(from));
                copiedTo = to;
                return testDevice.device()->UpdateTexture(from, to);
            });
    }
    void TearDown() override { platform::testing::ResetAllHooks(); }

    static int LiveTextures() { return platform::testing::CountD3DLiveObjects().textures; }

    // A system-memory texture as the loader stages into: one level, fresh zeros.
    TextureRef Staging(UINT width, UINT height, D3DFORMAT format = D3DFMT_A8R8G8B8) {
        return TextureRef(
            MakeTexture(testDevice.device(), width, height, 0, D3DPOOL_SYSTEMMEM, format));
    }

    // The decoder the extension names, called as the loader calls it; also checks
    // that it closed its file and left the level unlocked.
    int Decode(const std::wstring& path, IDirect3DTexture9* texture) {
        auto openFiles = [] {
            auto fds = fs::directory_iterator("/proc/self/fd");
            return std::distance(begin(fds), end(fds));
        };
        const auto filesBefore = openFiles();
        const size_t heapBefore = HeapInUse();
        IDirect3DTexture9* slot = texture;
        int result = 0;
        if (FILE* file = path.ends_with(L".bmp") ? _wfopen(path.c_str(), L"rb") : nullptr)
            result = LoadBmp(file, &slot);
        else if (path.ends_with(L".tga"))
            result = LoadTga(path.c_str(), &slot);
        else if (path.ends_with(L".png"))
            result = LoadPng(path.c_str(), &slot);
        EXPECT_EQ(openFiles(), filesBefore) << "the decoder left its file open";
        EXPECT_LT(long(HeapInUse()) - long(heapBefore), 8192) << "the decoder kept memory";
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK)
            << "the decoder left the level locked";
        texture->UnlockRect(0);
        return result;
    }

    TextureRef Load(const std::wstring& path) {
        IDirect3DTexture9* const stale = reinterpret_cast<IDirect3DTexture9*>(0x1);
        IDirect3DTexture9* texture = stale;
        LoadTexture(&spy, path.c_str(), &texture);
        EXPECT_NE(texture, stale) << "the caller's pointer was left as it was";
        return TextureRef(texture == stale ? nullptr : texture);
    }

    TestDevice testDevice;
    ScratchWorkingDirectory folder;
    testing::NiceMock<MockDevice> spy;
    bool refuseFinal = false;
    std::vector<uint32_t> copied;
    IDirect3DBaseTexture9* copiedTo = nullptr;
};

// A good PNG whose header is made to claim another size.
std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes = ReadFileBytes(RgbaPng);
    for (int i = 0; i < 4; ++i) {
        bytes[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
        bytes[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, &bytes[12], 17);  // the IHDR chunk's type and data
    for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return bytes;
}

// Corrupt files, named x*, include four cuts of a good one: empty, inside the
// header, inside the image data, before IEND.
TEST_F(ImageTest,
       PngsDecodeToTheirReferencePixelsInterlacedToTheirTwinsAndCorruptOrCutOnesToNothing) {
    std::vector<fs::path> images(fs::directory_iterator(Suite / "png"), fs::directory_iterator());
    const std::vector<uint8_t> png = ReadFileBytes(RgbaPng);
    for (size_t keep : {size_t{0}, size_t{20}, png.size() / 2, png.size() - 12})
        images.push_back(folder.Write("xcut" + std::to_string(keep) + ".png",
                                      {png.begin(), png.begin() + keep}));
    images.push_back(folder.Write("xtall.png", PngClaiming(32, 2048)));  // fails past its rows
    // Every chunk the reader skips, each too short to be read without a warning.
    std::vector<uint8_t> skipping(png.begin(), png.begin() + 33);  // signature and IHDR
    for (std::string chunk : {"iCCP", "iTXt", "tEXt", "zTXt", "pCAL", "sCAL", "sPLT", "eXIf"}) {
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>((chunk += '?').data()), 5);
        skipping.insert(skipping.end(), {0, 0, 0, 1});
        skipping.insert(skipping.end(), chunk.begin(), chunk.end());
        for (int i = 0; i < 4; ++i) skipping.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
    }
    skipping.insert(skipping.end(), png.begin() + 33, png.end());
    images.push_back(folder.Write("basn6a08.png", skipping));  // decodes as the original
    const std::vector<std::wstring> progress{L"OK\n", L"OK2\n", L"OK3\n", L"OK4\n", L"OK4\n"};
    const int texturesBefore = LiveTextures();
    std::map<std::string, std::vector<uint32_t>> decoded;
    int corrupt = 0;
    for (const fs::path& image : images) {
        const std::string name = image.filename().string();
        SCOPED_TRACE(name);
        debugLines.clear();
        ImageInfo info{};  // probed, staged and decoded as the loader does; the record is RGBA
        ProbePng(image.wstring().c_str(), &info);
        EXPECT_EQ(std::tuple(info.format, info.bitsPerPixel), std::tuple(D3DFMT_A8R8G8B8, 32));
        TextureRef texture = Staging(info.width, info.height, info.format);
        testing::internal::CaptureStderr();  // libpng's warnings
        EXPECT_EQ(Decode(image.wstring(), texture.get()), name[0] == 'x' ? 0 : 1);
        const std::string warnings = testing::internal::GetCapturedStderr();
        std::vector<uint32_t> pixels = ReadTexels(texture.get());
        if (name[0] == 'x') {
            ++corrupt;
            const bool signature = !name.starts_with("xs") && name != "xcut0.png";
            EXPECT_TRUE(signature || debugLines.empty()) << "no signature, no line";
            continue;
        }
        EXPECT_EQ(debugLines, progress);
        EXPECT_EQ(warnings, "");
        const std::vector<uint32_t> expected = ExpectedPixels(image);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(pixels, expected);
        decoded[name] = std::move(pixels);
    }
    ASSERT_GT(decoded.size(), 150u) << "suite missing at " << Suite;
    EXPECT_GE(corrupt, 10 + 4);
    int pairs = 0;
    for (const auto& [name, pixels] : decoded) {
        auto twin = decoded.find(name.substr(0, 3) + 'n' + name.substr(4));
        if (name[3] == 'i' && twin != decoded.end()) {
            EXPECT_EQ(pixels, twin->second) << name;
            ++pairs;
        }
    }
    EXPECT_GE(pairs, 30);
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
}

// The probe's record from these headers is checked through LoadTexture below.
TEST_F(ImageTest, BmpAndTgaDecodeEveryRowPaddingRowOrderAndDepth) {
    // So many that a leaked pixel block (from width 4) outgrows Decode's allowance.
    const int rows = 600;
    for (int width = 1; width <= 5; ++width) {
        // Odd widths: a gap before the BMP pixels (the offset is honoured), and the TGA
        // top-first descriptor bit, which is ignored (rows still read bottom first).
        const uint32_t gap = width % 2 * 6;
        const uint16_t w = static_cast<uint16_t>(width);
        const uint8_t top = width % 2 ? 0x28 : 0;
        // clang-format off
        const std::tuple<const char*, std::vector<uint8_t>, D3DFORMAT> cases[] = {
            {"a.bmp", BmpBytes({.width = width, .height = rows, .gapBeforePixels = gap}), kX8},
            {"a.bmp", BmpBytes({.width = width, .height = -rows, .gapBeforePixels = gap}), kX8},
            {"a.tga", TgaBytes({.width = w, .height = uint16_t(rows), .descriptor = top}), kX8},
            {"a.tga", TgaBytes({.width = w, .height = uint16_t(rows), .depth = 32, .descriptor = top}),
             kA8}};
        // clang-format on
        int index = 0;
        for (const auto& [name, bytes, format] : cases) {
            SCOPED_TRACE(testing::Message() << "width " << width << ", case " << index++);
            TextureRef texture = Staging(width, rows, format);
            ASSERT_EQ(Decode(folder.Write(name, bytes), texture.get()), 1);
            EXPECT_EQ(ReadTexels(texture.get()), Pattern(width, rows, format == D3DFMT_A8R8G8B8));
        }
    }
}

// A 1 x 1 BMP whose header claims another size.
std::vector<uint8_t> BmpClaiming(int32_t width, int32_t height) {
    std::vector<uint8_t> bytes = BmpBytes({.width = 1, .height = 1});
    std::memcpy(&bytes[18], &width, 4);  // little-endian host, as the file
    std::memcpy(&bytes[22], &height, 4);
    return bytes;
}

// Every file here is refused by the decoder into a 4 x 4 texture: its header, or its
// size, which must match the texture's.
TEST_F(ImageTest, RejectedFilesAndFilesOfAnotherSizeWriteNothing) {
    std::vector<uint8_t> tgaClaimingTheMost = TgaBytes({.width = 4, .height = 4});
    std::fill_n(tgaClaimingTheMost.begin() + 12, 4, 0xFF);
    // clang-format off
    const std::tuple<const char*, const char*, std::vector<uint8_t>, bool> rejected[] = {
        // why, name, bytes, whether the probe accepts it (the TGA probe reads only size and depth)
        {"bit count 8", "a.bmp", BmpBytes({.width = 4, .height = 4, .bitCount = 8}), false},
        {"bit count 32", "a.bmp", BmpBytes({.width = 4, .height = 4, .bitCount = 32}), false},
        {"compression", "a.bmp", BmpBytes({.width = 4, .height = 4, .compression = 1}), false},
        {"not BM", "a.bmp", BmpBytes({.width = 4, .height = 4, .type = 0x4142}), false},
        {"zero width", "a.bmp", BmpBytes({.width = 0, .height = 4}), false},
        {"negative width", "a.bmp", BmpBytes({.width = -4, .height = 4}), false},
        {"zero height", "a.bmp", BmpBytes({.width = 4, .height = 0}), false},
        {"wider than any texture", "a.bmp", BmpBytes({.width = 8193, .height = 1}), true},
        {"taller than any texture", "a.bmp", BmpBytes({.width = 1, .height = -8193}), true},
        {"most negative height", "a.bmp", BmpClaiming(1, INT32_MIN), false},
        {"8192 x 8192 over one pixel", "a.bmp", BmpClaiming(8192, 8192), false},
        {"truncated info header", "a.bmp",
         BmpBytes({.width = 4, .height = 4, .cutFromEnd = 4 * 12 + 20}), false},
        {"pixels one byte short", "a.bmp",
         BmpBytes({.width = 4, .height = 4, .cutFromEnd = 1}), false},
        {"image ID", "a.tga", TgaBytes({.idLength = 1, .width = 4, .height = 4}), true},
        {"colour map", "a.tga", TgaBytes({.colorMapType = 1, .width = 4, .height = 4}), true},
        {"run-length encoded", "a.tga", TgaBytes({.imageType = 10, .width = 4, .height = 4}), true},
        {"origin", "a.tga", TgaBytes({.xOrigin = 1, .width = 4, .height = 4}), true},
        {"one byte short", "a.tga",
         TgaBytes({.width = 4, .height = 4, .depth = 32, .cutFromEnd = 1}), true},
        {"zero width", "a.tga", TgaBytes({.width = 0, .height = 4}), true},
        {"zero height", "a.tga", TgaBytes({.width = 4, .height = 0}), true},
        {"65535 x 65535 over 4 x 4", "a.tga", tgaClaimingTheMost, true},
        {"16 bits", "a.tga", TgaBytes({.width = 4, .height = 4, .depth = 16}), false},
        {"header cut inside the size", "a.tga",
         TgaBytes({.width = 4, .height = 4, .cutFromEnd = 48 + 3}), false},
        {"3 x 4", "a.bmp", BmpBytes({.width = 3, .height = 4}), true},
        {"4 x 5", "a.bmp", BmpBytes({.width = 4, .height = -5}), true},
        {"5 x 4", "a.tga", TgaBytes({.width = 5, .height = 4, .depth = 32}), true},
        {"4 x 3", "a.tga", TgaBytes({.width = 4, .height = 3}), true},
        {"3 x 3", "a.png", ReadFileBytes(Suite / "png" / "s03n3p01.png"), true},
        {"5 x 5", "a.png", ReadFileBytes(Suite / "png" / "s05n3p02.png"), true},
    };
    // clang-format on
    for (const auto& [why, name, bytes, probeAccepts] : rejected) {
        SCOPED_TRACE(std::string(name) + ": " + why);
        const std::wstring path = folder.Write(name, bytes);
        ImageInfo info{};
        auto probe = path.ends_with(L".bmp")   ? ProbeBmp
                     : path.ends_with(L".tga") ? ProbeTga
                                               : ProbePng;
        EXPECT_EQ(probe(path.c_str(), &info), probeAccepts ? 1 : 0);
        TextureRef texture = Staging(4, 4);
        EXPECT_EQ(Decode(path, texture.get()), 0);
        EXPECT_EQ(ReadTexels(texture.get()), std::vector<uint32_t>(16, 0u));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ImageTest, ARefusedLockGetsNothingWrittenAndOnlyThePngDecoderSaysFail) {
    for (const std::wstring& path :
         {folder.Write("a.bmp", BmpBytes({.width = 4, .height = 4})),
          folder.Write("a.tga", TgaBytes({.width = 4, .height = 4, .depth = 32})),
          (Suite / "png" / "s04n3p01.png").wstring()}) {
        SCOPED_TRACE(fs::path(path).filename().string());
        boxes.clear();
        TextureRef texture = Staging(4, 4);
        FailD3DCall(D3DCall::TextureLockRect, E_FAIL);
        EXPECT_EQ(Decode(path, texture.get()), 0);
        EXPECT_EQ(ReadTexels(texture.get()), std::vector<uint32_t>(16, 0u));
        if (path.ends_with(L".png"))
            ExpectOneBox(L"FAIL", L"");
        else
            EXPECT_TRUE(boxes.empty());
    }
}

// Each case holds on to its texture while the live count is checked: only the
// final texture remains, the staging one was released.
TEST_F(ImageTest,
       LoadTextureChoosesTheDecoderByExtensionAndCopiesTheStagingIntoADefaultPoolTexture) {
    const fs::path odd = Suite / "png" / "s39n3p04.png";
    const std::vector<uint8_t> png = ReadFileBytes(RgbaPng),
                               bmp = BmpBytes({.width = 4, .height = -2});
    const auto blank = [](size_t texels) { return std::vector<uint32_t>(texels); };
    // Name, contents (none: no such file), the texture expected, and what the staging
    // held when copied. A TGA the decoder refuses is still copied, blank. The missing
    // Kai_Orisa05.png keeps its probe's default record, and both opens report it; it
    // comes last for the debug lines checked below.
    // clang-format off
    const std::tuple<const char*, std::optional<std::vector<uint8_t>>, UINT, UINT, D3DFORMAT,
                     std::vector<uint32_t>> cases[] = {
        {"odd.png", ReadFileBytes(odd), 39, 39, kA8, ExpectedPixels(odd)},
        {"picture.bmp.png", bmp, 4, 2, kX8, Pattern(4, 2, false)},
        {"sheet.pngx", png, 32, 32, kA8, ExpectedPixels(RgbaPng)},
        {"rgba.tga", TgaBytes({.width = 2, .height = 3, .depth = 32}), 2, 3, kA8,
         Pattern(2, 3, true)},
        {"rle.tga", TgaBytes({.imageType = 10, .width = 6, .height = 5}), 6, 5, kX8, blank(30)},
        {"image.PNG", png, 0, 0, kNone, {}}, {"notes.txt", png, 0, 0, kNone, {}},
        {"absent.bmp", std::nullopt, 0, 0, kNone, {}},
        {"absent.tga", std::nullopt, 0, 0, kNone, {}},
        {"grey.tga", TgaBytes({.width = 4, .height = 4, .depth = 16}), 0, 0, kNone, {}},
        {"palette.bmp", BmpBytes({.width = 4, .height = 4, .bitCount = 8}), 0, 0, kNone, {}},
        {"Kai_Orisa05.png", std::nullopt, 256, 256, kA8, blank(256 * 256)}};
    // clang-format on
    const int texturesBefore = LiveTextures();
    for (const auto& [name, bytes, width, height, format, pixels] : cases) {
        SCOPED_TRACE(name);
        copied.clear();
        debugLines.clear();
        TextureRef texture = Load(bytes ? folder.Write(name, *bytes) : folder.PathOf(name));
        EXPECT_EQ(LiveTextures(), texturesBefore + (texture ? 1 : 0));
        EXPECT_EQ(copied, pixels);
        if (format == kNone) {
            EXPECT_EQ(texture, nullptr);
            continue;
        }
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(copiedTo, texture.get());
        D3DSURFACE_DESC d{};
        ASSERT_EQ(texture->GetLevelDesc(0, &d), D3D_OK);
        EXPECT_EQ(
            std::tuple(d.Width, d.Height, d.Format, d.Pool, d.Usage, texture->GetLevelCount()),
            std::tuple(width, height, format, D3DPOOL_DEFAULT, DWORD{0}, DWORD{1}));
    }
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"LoadPng : No File\n", L"\n",
                                                     L"LoadPng : No File\n", L"\n"}));
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
}

// The staging texture refused for want of memory, then the final one after it.
TEST_F(ImageTest, RefusedTextureShowsOneFailedBoxAndLeavesNull) {
    const int texturesBefore = LiveTextures();
    for (const bool final : {false, true}) {
        SCOPED_TRACE(final);
        boxes.clear();
        if (final)
            refuseFinal = true;
        else
            FailD3DCall(D3DCall::CreateTexture, E_OUTOFMEMORY);
        EXPECT_EQ(Load(RgbaPng.wstring()), nullptr);
        ExpectOneBox(L"Failed", L"MB");
        EXPECT_EQ(LiveTextures(), texturesBefore);
    }
}

}  // namespace
}  // namespace image_test
