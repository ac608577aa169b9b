// The PNG decoder: every conformance image against its reference pixels, every
// corrupt or cut file refused without leaving anything behind, and its lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "image_test.h"

namespace image_test {
namespace {

namespace fs = std::filesystem;

const fs::path SuiteFolder = PNGSUITE_DIR;
const fs::path RgbaImage = SuiteFolder / "png" / "basn6a08.png";  // 32 x 32 RGBA

std::vector<fs::path> SuiteImages(bool corrupt)
{
    std::vector<fs::path> images;
    for (const auto& entry : fs::directory_iterator(SuiteFolder / "png")) {
        if (entry.path().extension() == ".png" && (entry.path().filename().string()[0] == 'x') == corrupt) {
            images.push_back(entry.path());
        }
    }
    std::sort(images.begin(), images.end());
    return images;
}

// The reference holds red, green, blue, alpha samples row by row; the texture
// holds 0xAARRGGBB with 16-bit samples cut to their high byte.
std::vector<uint32_t> ExpectedPixels(const fs::path& image)
{
    std::ifstream in(SuiteFolder / "json" / image.filename().replace_extension(".json"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const unsigned shift = ReadFileBytes(image).at(24) == 16 ? 8 : 0;  // IHDR's bit depth
    std::vector<unsigned> samples;
    bool inNumber = false;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            if (!inNumber) samples.push_back(0);
            samples.back() = samples.back() * 10 + static_cast<unsigned>(c - '0');
        }
        inNumber = std::isdigit(static_cast<unsigned char>(c));
    }
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 3 < samples.size(); i += 4) {
        pixels.push_back((samples[i + 3] >> shift) << 24 | (samples[i] >> shift) << 16 |
                         (samples[i + 1] >> shift) << 8 | (samples[i + 2] >> shift));
    }
    return pixels;
}

class PngTest : public ImageTest {
protected:
    // Probe, stage and decode as the loader does.
    TextureRef ProbeAndDecode(const fs::path& image, int expected)
    {
        ImageInfo info{};
        ProbePng(image.wstring().c_str(), &info);
        EXPECT_EQ(info.format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(info.bitsPerPixel, 32);
        TextureRef texture = Staging(info.width, info.height, info.format);
        EXPECT_EQ(Decode(image.wstring(), texture.get()), expected);
        return texture;
    }
};

TEST_F(PngTest, EveryValidImageDecodesToItsReferencePixelsAndInterlacedToItsTwin)
{
    std::vector<fs::path> images = SuiteImages(false);
    ASSERT_GT(images.size(), 150u) << "suite missing at " << SuiteFolder;
    std::map<std::string, std::vector<uint32_t>> decoded;
    for (const fs::path& image : images) {
        SCOPED_TRACE(image.filename().string());
        std::vector<uint32_t> expected = ExpectedPixels(image);
        ASSERT_FALSE(expected.empty());
        std::vector<uint32_t>& pixels = decoded[image.filename().string()];
        pixels = ReadTexels(ProbeAndDecode(image, 1).get());
        ASSERT_EQ(pixels.size(), expected.size());
        auto mismatch = std::mismatch(pixels.begin(), pixels.end(), expected.begin());
        EXPECT_TRUE(mismatch.first == pixels.end())
            << "first wrong pixel " << (mismatch.first - pixels.begin()) << ": " << std::hex
            << *mismatch.first << " instead of " << *mismatch.second;
    }
    int pairs = 0;
    for (const auto& [name, pixels] : decoded) {
        auto twin = decoded.find(name.substr(0, 3) + 'n' + name.substr(4));
        if (name[3] == 'i' && twin != decoded.end()) {
            EXPECT_EQ(pixels, twin->second) << name;
            ++pairs;
        }
    }
    EXPECT_GE(pairs, 30);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PngTest, CorruptImagesAreRefusedWithNothingLeftOpenOrLocked)
{
    std::vector<fs::path> images = SuiteImages(true);
    ASSERT_GE(images.size(), 10u);
    int texturesBefore = LiveTextures();
    for (const fs::path& image : images) {
        SCOPED_TRACE(image.filename().string());
        ProbeAndDecode(image, 0);
    }
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PngTest, CutFilesAndFilesWithoutTheSignatureAreRefused)
{
    std::vector<uint8_t> png = ReadFileBytes(RgbaImage);
    std::vector<uint8_t> bmp = BmpBytes({.width = 2, .height = 2});
    // Not a PNG at all, then cut inside the header, the image data, before IEND.
    const std::vector<uint8_t> files[] = {
        bmp, {bmp.begin(), bmp.begin() + 7}, {},
        {png.begin(), png.begin() + 20}, {png.begin(), png.begin() + png.size() / 2}, {png.begin(), png.end() - 12},
    };
    for (const std::vector<uint8_t>& bytes : files) {
        SCOPED_TRACE(bytes.size());
        std::wstring path = folder.Write("cut.png", bytes);
        ImageInfo info{};
        EXPECT_EQ(ProbePng(path.c_str(), &info), bytes.size() > 24 && bytes[0] == 0x89 ? 1 : 0);
        TextureRef texture = Staging(32, 32);
        EXPECT_EQ(Decode(path, texture.get()), 0);
        if (bytes.empty() || bytes[0] != 0x89) {
            EXPECT_TRUE(debugLines.empty()) << "a file that is no PNG is refused silently";
        }
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PngTest, SuccessfulDecodeWritesItsProgressLines)
{
    ProbeAndDecode(RgbaImage, 1);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"OK\n", L"OK2\n", L"OK3\n", L"OK4\n", L"OK4\n"}));
}

}  // namespace
}  // namespace image_test
