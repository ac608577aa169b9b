#include <platform_testing.h>

#include <algorithm>

#include "render/release_interface.h"
#include "text/coverage_pixel.h"
#include "text_fixture.h"

namespace {

using platform::testing::CountGdiLiveObjects;

TEST(CoveragePixelTest, ChannelMeanBecomesAlphaOverWhite) {
    // Blue, green, red, alpha in; the same out.
    const BYTE cases[][2][4] = {
        {{0, 0, 0, 77}, {0, 0, 0, 77}},  // black is left exactly as it is
        {{255, 255, 255, 0}, {255, 255, 255, 255}},
        {{1, 0, 0, 0}, {255, 255, 255, 0}},
        {{0, 1, 1, 9}, {255, 255, 255, 0}},
        {{90, 150, 210, 0}, {255, 255, 255, 150}},
    };
    for (const auto& c : cases) {
        BYTE pixel[4] = {c[0][0], c[0][1], c[0][2], c[0][3]};
        ConvertToCoverage(pixel);
        EXPECT_TRUE(std::equal(pixel, pixel + 4, c[1])) << int(c[0][0]) << "," << int(c[0][1]) << "," << int(c[0][2]);
    }
}

TEST_F(TextRendererTest, NewRendererHasFortyPixelCellsAnEmptyAtlasAndNoBrushLeft) {
    const auto before = CountGdiLiveObjects();
    Make();
    EXPECT_EQ(renderer->textMetrics.tmHeight, 40);
    EXPECT_EQ(renderer->textMetrics.tmMaxCharWidth, 40);
    ASSERT_NE(renderer->glyphBits, nullptr);
    EXPECT_TRUE(std::all_of(renderer->glyphBits, renderer->glyphBits + 4194304, [](BYTE b) { return b == 0; }));
    EXPECT_TRUE(TexelMismatches().empty());
    EXPECT_TRUE(debugLines.empty()) << "nothing is rasterised in advance";
    const auto during = CountGdiLiveObjects();
    EXPECT_EQ(during.deviceContexts, before.deviceContexts + 1);
    EXPECT_EQ(during.fonts, before.fonts + 1);
    EXPECT_EQ(during.bitmaps, before.bitmaps + 1);
    EXPECT_EQ(during.brushes, before.brushes);
}

TEST_F(TextRendererTest, DrawGlyphConvertsItsWholeCellAndNothingElse) {
    Make(false);
    for (const LONG cell : {0, 24}) {
        SCOPED_TRACE(cell);
        renderer->atlasColumn = renderer->atlasRow = cell;
        const int corner = cell * 40;
        auto set = [&](int x, int y, BYTE value) { std::fill(Pixel(x, y), Pixel(x, y) + 4, value); };
        // The right half of a half-width digit's cell is outside its opaque background.
        for (int x = corner + 20; x < corner + 40; ++x) {
            set(x, corner, 255);
            set(x, corner + 39, 255);
        }
        set(corner + 30, corner + 10, 1);
        set(corner + 40, corner + 5, 9);
        set(corner + 5, corner + 40, 9);

        renderer->DrawGlyph(u'6');

        int inked = 0;
        for (int y = corner; y < corner + 40; ++y) {
            for (int x = corner; x < corner + 40; ++x) {
                const BYTE* p = Pixel(x, y);
                ASSERT_TRUE(std::all_of(p, p + 4, [](BYTE b) { return b == 0; }) ||
                            (p[0] == 255 && p[1] == 255 && p[2] == 255))
                    << x << "," << y;
                inked += p[3] > 0 && x < corner + 20;
            }
        }
        EXPECT_GT(inked, 50);
        EXPECT_EQ(Pixel(corner + 25, corner)[3], 255);
        EXPECT_EQ(Pixel(corner + 25, corner + 39)[3], 255);
        EXPECT_EQ(Pixel(corner + 30, corner + 10)[3], 1);
        EXPECT_EQ(Pixel(corner + 40, corner + 5)[3], 9);
        EXPECT_EQ(Pixel(corner + 5, corner + 40)[3], 9);
    }
}

TEST_F(TextRendererTest, SetUpFailuresAreReportedAndNothingMissingIsTouched) {
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateFontW);
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateDIBSection);
    Make();
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"CreateFont Failed\n", L"Bitmap Failed\n"}));
    EXPECT_EQ(renderer->glyphBits, nullptr);
    EXPECT_EQ(renderer->textMetrics.tmHeight, 16) << "the context's own font stands in";
    debugLines.clear();
    EXPECT_EQ(renderer->DrawString(L"a", nullptr), 1);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"a", L"\n"}));
    Destroy(renderer);
    EXPECT_FALSE(std::filesystem::exists("text.bmp")) << "no pixels, no dump";

    platform::testing::FailD3DCall(platform::testing::D3DCall::CreateTexture, D3DERR_OUTOFVIDEOMEMORY);
    Make();
    EXPECT_EQ(renderer->atlasTexture, nullptr);
    EXPECT_TRUE(renderer->RasteriseString(u"7"));
    EXPECT_EQ(renderer->glyphChars.size(), 1u);
}

TEST_F(TextRendererTest, ThousandResetCyclesLeaveNoGdiOrDeviceObjectBehind) {
    Make();
    Destroy(renderer);
    const auto gdiBefore = CountGdiLiveObjects();
    const auto d3dBefore = platform::testing::CountD3DLiveObjects();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        Make();
        if (cycle % 100 == 0) renderer->RasteriseString(u"42");
        Destroy(renderer);
    }
    const auto gdiAfter = CountGdiLiveObjects();
    EXPECT_EQ(gdiAfter.deviceContexts, gdiBefore.deviceContexts);
    EXPECT_EQ(gdiAfter.fonts, gdiBefore.fonts);
    EXPECT_EQ(gdiAfter.bitmaps, gdiBefore.bitmaps);
    EXPECT_EQ(gdiAfter.brushes, gdiBefore.brushes);
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().textures, d3dBefore.textures);
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().surfaces, d3dBefore.surfaces);
}

}  // namespace
