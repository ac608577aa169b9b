// Every conformance image against its reference pixels, and every corrupt one
// refused without leaving anything behind.
#include "image/png_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image_test_fixture.h"
#include "texture_access.h"

namespace image_test {
namespace {

namespace fs = std::filesystem;

const fs::path SuiteFolder = PNGSUITE_DIR;

std::vector<fs::path> SuiteImages(bool corrupt)
{
    std::vector<fs::path> images;
    for (const auto& entry : fs::directory_iterator(SuiteFolder / "png")) {
        bool isCorrupt = entry.path().filename().string().front() == 'x';
        if (entry.path().extension() == ".png" && isCorrupt == corrupt) {
            images.push_back(entry.path());
        }
    }
    std::sort(images.begin(), images.end());
    return images;
}

// The reference: a flat array of red, green, blue, alpha samples, row by row.
std::vector<unsigned> ReferenceSamples(const fs::path& image)
{
    std::ifstream in(SuiteFolder / "json" / image.filename().replace_extension(".json"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<unsigned> samples;
    unsigned value = 0;
    bool inNumber = false;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            value = value * 10 + static_cast<unsigned>(c - '0');
            inNumber = true;
        } else if (inNumber) {
            samples.push_back(value);
            value = 0;
            inNumber = false;
        }
    }
    return samples;
}

// What the texture must hold: 16-bit samples cut to their high byte.
std::vector<uint32_t> ExpectedPixels(const fs::path& image)
{
    std::vector<uint8_t> file = ReadFileBytes(image);
    const int bitDepth = file.at(24);  // IHDR is always the first chunk
    std::vector<unsigned> samples = ReferenceSamples(image);
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 3 < samples.size(); i += 4) {
        uint32_t rgba[4];
        for (int c = 0; c < 4; ++c) {
            rgba[c] = bitDepth == 16 ? samples[i + c] >> 8 : samples[i + c];
        }
        pixels.push_back(rgba[3] << 24 | rgba[0] << 16 | rgba[1] << 8 | rgba[2]);
    }
    return pixels;
}

class PngSuiteTest : public ImageTest {
protected:
    // Probe, stage and decode as the loader does; the staging texture's pixels.
    std::vector<uint32_t> Decode(const fs::path& image)
    {
        ImageInfo info{};
        EXPECT_EQ(ProbePng(image.wstring().c_str(), &info), 1);
        EXPECT_EQ(info.format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(info.bitsPerPixel, 32);
        TextureRef texture = CreateStagingTexture(Device(), info.width, info.height, info.format);
        IDirect3DTexture9* slot = texture.get();
        EXPECT_EQ(LoadPng(image.wstring().c_str(), &slot), 1);
        EXPECT_FALSE(LevelIsLocked(texture.get()));
        return ReadLevel(texture.get());
    }
};

TEST_F(PngSuiteTest, EveryValidImageDecodesToItsReferencePixels)
{
    std::vector<fs::path> images = SuiteImages(false);
    ASSERT_GT(images.size(), 150u) << "suite missing at " << SuiteFolder;
    for (const fs::path& image : images) {
        SCOPED_TRACE(image.filename().string());
        std::vector<uint32_t> expected = ExpectedPixels(image);
        ASSERT_FALSE(expected.empty());
        std::vector<uint32_t> decoded = Decode(image);
        ASSERT_EQ(decoded.size(), expected.size());
        auto mismatch = std::mismatch(decoded.begin(), decoded.end(), expected.begin());
        EXPECT_TRUE(mismatch.first == decoded.end())
            << "first wrong pixel " << (mismatch.first - decoded.begin()) << ": " << std::hex
            << *mismatch.first << " instead of " << *mismatch.second;
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PngSuiteTest, InterlacedImagesEqualTheirTwins)
{
    int pairs = 0;
    for (const fs::path& image : SuiteImages(false)) {
        std::string name = image.filename().string();
        if (name[3] != 'i') {
            continue;
        }
        fs::path twin = image.parent_path() / (name.substr(0, 3) + 'n' + name.substr(4));
        if (!fs::exists(twin)) {
            continue;
        }
        SCOPED_TRACE(name);
        EXPECT_EQ(Decode(image), Decode(twin));
        ++pairs;
    }
    EXPECT_GE(pairs, 30);
}

TEST_F(PngSuiteTest, CorruptImagesAreRefusedWithNothingLeftOpenOrLocked)
{
    std::vector<fs::path> images = SuiteImages(true);
    ASSERT_GE(images.size(), 10u);
    int texturesBefore = LiveTextures();
    for (const fs::path& image : images) {
        SCOPED_TRACE(image.filename().string());
        ImageInfo info{};
        ProbePng(image.wstring().c_str(), &info);
        TextureRef texture = CreateStagingTexture(Device(), info.width, info.height, info.format);
        int filesBefore = OpenFileCount();
        IDirect3DTexture9* slot = texture.get();
        EXPECT_EQ(LoadPng(image.wstring().c_str(), &slot), 0);
        EXPECT_EQ(OpenFileCount(), filesBefore);
        EXPECT_FALSE(LevelIsLocked(texture.get()));
    }
    EXPECT_EQ(LiveTextures(), texturesBefore);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace image_test
