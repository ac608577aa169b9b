#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "text/coverage_pixel.h"
#include "text_fixture.h"

namespace {

using platform::testing::CountGdiLiveObjects;

TEST(CoveragePixelTest, ChannelMeanBecomesAlphaOverWhite) {
    // 0xAARRGGBB in memory order: black stays exactly as it is, sums of 1 or 2 become alpha 0.
    const uint32_t cases[][2] = {{0x4D000000, 0x4D000000}, {0x00FFFFFF, 0xFFFFFFFF}, {0x00000001, 0x00FFFFFF},
                                 {0x09010100, 0x00FFFFFF}, {0x00D2965A, 0x96FFFFFF}};
    for (const auto& [in, out] : cases) {
        uint32_t pixel = in;
        ConvertToCoverage(reinterpret_cast<BYTE*>(&pixel));
        EXPECT_EQ(pixel, out) << std::hex << in;
    }
}

TEST_F(TextRendererTest, DrawGlyphConvertsItsWholeCellAndNothingElse) {
    Make(false);
    EXPECT_EQ(renderer->textMetrics.tmHeight, 40);
    EXPECT_EQ(renderer->textMetrics.tmMaxCharWidth, 40);
    constexpr uint32_t kFringe = 0x00D2965A;  // blue 90, green 150, red 210, alpha 0
    // The first and the last cell of the atlas: image row 0 is the bitmap's last memory row.
    for (const int cell : {0, 24}) {
        SCOPED_TRACE(cell);
        renderer->atlasColumn = renderer->atlasRow = cell;
        const int c = cell * 40;
        const int from = std::max(c - 1, 0);
        auto inCell = [c](int x, int y) { return x >= c && x < c + 40 && y >= c && y < c + 40; };
        // Fringe right of a half-width digit's opaque background and in a ring around the cell.
        for (int y = from; y <= c + 40; ++y) {
            for (int x = from; x <= c + 40; ++x) {
                if (x >= c + 20 || !inCell(x, y)) std::memcpy(Pixel(x, y), &kFringe, 4);
            }
        }
        renderer->DrawGlyph(u'6');
        int inked = 0;
        for (int y = from; y <= c + 40; ++y) {
            for (int x = from; x <= c + 40; ++x) {
                uint32_t p;
                std::memcpy(&p, Pixel(x, y), 4);
                if (!inCell(x, y)) {
                    ASSERT_EQ(p, kFringe) << x << "," << y;
                } else if (x >= c + 20) {
                    ASSERT_EQ(p, 0x96FFFFFFu) << x << "," << y;
                } else {
                    ASSERT_TRUE(p == 0 || (p & 0xFFFFFF) == 0xFFFFFF) << x << "," << y;
                    inked += p != 0;
                }
            }
        }
        EXPECT_GT(inked, 50);
    }
}

TEST_F(TextRendererTest, SetUpFailuresAreReportedAndNothingMissingIsTouched) {
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateFontW);
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateDIBSection);
    Make();
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"CreateFont Failed\n", L"Bitmap Failed\n"}));
    ASSERT_EQ(renderer->glyphBits, nullptr);
    debugLines.clear();
    EXPECT_EQ(renderer->DrawString(L"a", nullptr), 1);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"a", L"\n"}));
    Destroy(renderer);
    EXPECT_FALSE(std::filesystem::exists("text.bmp")) << "no pixels, no dump";

    platform::testing::FailD3DCall(platform::testing::D3DCall::CreateTexture, D3DERR_OUTOFVIDEOMEMORY);
    Make();
    ASSERT_EQ(renderer->atlasTexture, nullptr);
    EXPECT_TRUE(renderer->RasteriseString(u"7"));
    EXPECT_EQ(renderer->glyphChars.size(), 1u);
}

// Renderers are rebuilt after every device reset.
TEST_F(TextRendererTest, ThousandResetCyclesLeaveNoGdiOrDeviceObjectBehind) {
    auto live = [] {
        const auto gdi = CountGdiLiveObjects();
        const auto d3d = platform::testing::CountD3DLiveObjects();
        return std::vector<int>{gdi.deviceContexts, gdi.fonts, gdi.bitmaps, gdi.brushes, d3d.textures, d3d.surfaces};
    };
    Make();
    Destroy(renderer);
    const std::vector<int> before = live();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        Make();
        if (cycle % 100 == 0) renderer->RasteriseString(u"42");
        Destroy(renderer);
    }
    EXPECT_EQ(live(), before) << "contexts, fonts, bitmaps, brushes, textures, surfaces";
}

TEST_F(TextRendererTest, DumpIsWrittenWholeOnReplacementAndOnDestruction) {
    auto expectDumpOf = [](const std::vector<char>& memory) {
        std::ifstream in("text.bmp", std::ios::binary);
        const std::vector<char> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_EQ(file.size(), 4194358u);
        EXPECT_EQ(std::string(file.data(), 2), "BM");
        // bfSize and the reserved words stay 0; one plane of 32 bits, bottom-up, uncompressed.
        uint32_t fields[13];
        std::memcpy(fields, file.data() + 2, sizeof(fields));
        EXPECT_THAT(fields, ::testing::ElementsAre(0, 0, 54, 40, 1024, 1024, 0x200001, 0, 0, 0, 0, 0, 0));
        EXPECT_TRUE(std::equal(memory.begin(), memory.end(), file.begin() + 54));
    };
    std::ofstream("text.bmp", std::ios::binary) << std::string(5000000, 'x');
    Make();
    renderer->DrawString(L"60", nullptr);
    const std::vector<char> drawn(renderer->glyphBits, renderer->glyphBits + 4194304);
    ASSERT_GT(std::count_if(drawn.begin(), drawn.end(), [](char b) { return b != 0; }), 100) << "ink to compare";
    ReleaseInterface(renderer->atlasTexture);
    Make();  // replaces the renderer, which writes its dump first
    expectDumpOf(drawn);

    Destroy(renderer);
    expectDumpOf(std::vector<char>(4194304, 0));
}

}  // namespace
