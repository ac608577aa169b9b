#include <platform_testing.h>

#include <algorithm>

#include "render/release_interface.h"
#include "text/coverage_pixel.h"
#include "text_fixture.h"

namespace {

using platform::testing::CountGdiLiveObjects;

TEST(CoveragePixelTest, ChannelMeanBecomesAlphaOverWhite) {
    struct Case {
        BYTE in[4];
        BYTE out[4];
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {0, 0, 0, 0}},
        {{0, 0, 0, 77}, {0, 0, 0, 77}},  // black is left exactly as it is
        {{255, 255, 255, 0}, {255, 255, 255, 255}},
        {{1, 0, 0, 0}, {255, 255, 255, 0}},
        {{0, 1, 1, 9}, {255, 255, 255, 0}},
        {{90, 150, 210, 0}, {255, 255, 255, 150}},
        {{0, 0, 5, 0}, {255, 255, 255, 1}},
    };
    for (const Case& c : cases) {
        BYTE pixel[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
        ConvertToCoverage(pixel);
        EXPECT_TRUE(std::equal(pixel, pixel + 4, c.out))
            << int(c.in[0]) << "," << int(c.in[1]) << "," << int(c.in[2]) << " gave " << int(pixel[0]) << ","
            << int(pixel[1]) << "," << int(pixel[2]) << "," << int(pixel[3]);
    }
}

TEST_F(TextRendererTest, NewRendererHasTheGothicCellAndEmptyAtlas) {
    const auto before = CountGdiLiveObjects();
    Make();
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(renderer->d3dDevice, testDevice.device());
    EXPECT_EQ(renderer->textMetrics.tmHeight, 40);
    EXPECT_EQ(renderer->textMetrics.tmMaxCharWidth, 40);
    EXPECT_EQ(renderer->bitmapWidth, 1024);
    EXPECT_EQ(renderer->bitmapHeight, 1024);
    EXPECT_EQ(renderer->atlasColumn, 0);
    EXPECT_EQ(renderer->atlasRow, 0);
    EXPECT_TRUE(renderer->glyphChars.empty());
    ASSERT_NE(renderer->glyphBits, nullptr);
    EXPECT_TRUE(BitmapIsZero(*renderer));
    EXPECT_TRUE(TexelMismatches(*renderer).empty());
    EXPECT_TRUE(debugLines.empty()) << "nothing is rasterised in advance";

    D3DSURFACE_DESC description{};
    ASSERT_EQ(renderer->atlasTexture->GetLevelDesc(0, &description), D3D_OK);
    EXPECT_EQ(description.Width, 1024u);
    EXPECT_EQ(description.Height, 1024u);
    EXPECT_EQ(description.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(description.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(description.Usage, static_cast<DWORD>(D3DUSAGE_DYNAMIC));
    EXPECT_EQ(renderer->atlasTexture->GetLevelCount(), 1u);

    // The context, the font and the section are kept; the fill's brush is not.
    const auto during = CountGdiLiveObjects();
    EXPECT_EQ(during.deviceContexts, before.deviceContexts + 1);
    EXPECT_EQ(during.fonts, before.fonts + 1);
    EXPECT_EQ(during.bitmaps, before.bitmaps + 1);
    EXPECT_EQ(during.brushes, before.brushes);
}

TEST_F(TextRendererTest, DrawGlyphConvertsItsWholeCellAndNothingElse) {
    Make(false);
    const int w = 40;
    const int h = 40;
    // Preset: a fringe pixel and near-black pixels in the right half of the cell,
    // which a half-width digit's opaque background does not reach; marks outside.
    for (const auto& [column, row] : {std::pair{0, 0}, std::pair{24, 24}}) {
        SCOPED_TRACE(row);
        renderer->atlasColumn = column;
        renderer->atlasRow = row;
        const int left = column * w;
        const int top = row * h;
        auto set = [&](int x, int y, BYTE b, BYTE g, BYTE r, BYTE a) {
            BYTE* pixel = const_cast<BYTE*>(Pixel(*renderer, x, y));
            pixel[0] = b, pixel[1] = g, pixel[2] = r, pixel[3] = a;
        };
        set(left + 30, top + 10, 90, 150, 210, 0);
        set(left + 31, top + 10, 1, 0, 0, 0);
        set(left + 32, top + 10, 1, 0, 1, 0);
        for (int x = left + 20; x < left + w; ++x) {
            set(x, top, 255, 255, 255, 0);          // the cell's first row
            set(x, top + h - 1, 255, 255, 255, 0);  // and its last
        }
        if (left > 0) set(left - 1, top + 5, 9, 9, 9, 9);
        if (left + w < 1024) set(left + w, top + 5, 9, 9, 9, 9);
        if (top > 0) set(left + 5, top - 1, 9, 9, 9, 9);
        if (top + h < 1024) set(left + 5, top + h, 9, 9, 9, 9);

        renderer->DrawGlyph(u'6');

        EXPECT_EQ(renderer->atlasColumn, column) << "drawing does not move the cursor";
        int inked = 0;
        for (int y = top; y < top + h; ++y) {
            for (int x = left; x < left + w; ++x) {
                const BYTE* p = Pixel(*renderer, x, y);
                const bool zero = p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
                const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
                ASSERT_TRUE(zero || white) << x << "," << y;
                inked += white && x < left + 20;
            }
        }
        EXPECT_GT(inked, 50) << "the digit itself";
        EXPECT_EQ(Pixel(*renderer, left + 30, top + 10)[3], 150);
        EXPECT_EQ(Pixel(*renderer, left + 31, top + 10)[3], 0);
        EXPECT_EQ(Pixel(*renderer, left + 32, top + 10)[3], 0);
        EXPECT_EQ(Pixel(*renderer, left + 32, top + 10)[0], 255);
        EXPECT_EQ(Pixel(*renderer, left + 25, top)[3], 255);
        EXPECT_EQ(Pixel(*renderer, left + 25, top + h - 1)[3], 255);
        if (left > 0) {
            EXPECT_EQ(Pixel(*renderer, left - 1, top + 5)[0], 9);
        }
        if (left + w < 1024) {
            EXPECT_EQ(Pixel(*renderer, left + w, top + 5)[0], 9);
        }
        if (top > 0) {
            EXPECT_EQ(Pixel(*renderer, left + 5, top - 1)[0], 9);
        }
        if (top + h < 1024) {
            EXPECT_EQ(Pixel(*renderer, left + 5, top + h)[3], 9);
        }
    }
}

TEST_F(TextRendererTest, UploadCopiesEveryByteOfTheBitmapUpright) {
    Make();
    renderer->RasteriseString(u"60\x6F22" u"g");
    // Bytes the glyphs never produce, to prove nothing is re-encoded on the way.
    BYTE* corner = const_cast<BYTE*>(Pixel(*renderer, 1023, 1023));
    corner[0] = 1, corner[1] = 2, corner[2] = 3, corner[3] = 4;
    const_cast<BYTE*>(Pixel(*renderer, 0, 1023))[3] = 0x5A;
    renderer->UploadAtlas();
    EXPECT_TRUE(TexelMismatches(*renderer).empty());
}

TEST_F(TextRendererTest, SetUpFailuresAreReportedAndNothingMissingIsTouched) {
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateFontW);
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateDIBSection);
    Make();
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"CreateFont Failed\n", L"Bitmap Failed\n"}));
    EXPECT_EQ(renderer->gdiFont, nullptr);
    EXPECT_EQ(renderer->glyphBits, nullptr);
    EXPECT_EQ(renderer->textMetrics.tmHeight, 16) << "the context's own font stands in";

    debugLines.clear();
    EXPECT_EQ(renderer->DrawString(L"ab", nullptr), 1);
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"a", L"\n", L"b", L"\n"}));
    Destroy(renderer);
    EXPECT_FALSE(std::filesystem::exists("text.bmp")) << "no pixels, no dump";
}

TEST_F(TextRendererTest, WithoutATextureTheCacheStillWorks) {
    platform::testing::FailD3DCall(platform::testing::D3DCall::CreateTexture, D3DERR_OUTOFVIDEOMEMORY);
    Make();
    EXPECT_EQ(renderer->atlasTexture, nullptr);
    EXPECT_TRUE(renderer->RasteriseString(u"7"));
    SourceRect rect{-1, -1, -1, -1};
    renderer->FindGlyph(u'7', rect);
    EXPECT_EQ(rect.right, 40);

    Destroy(renderer);
    Make(false);
    EXPECT_EQ(renderer->d3dDevice, nullptr);
    EXPECT_EQ(renderer->atlasTexture, nullptr);
}

TEST_F(TextRendererTest, ReplacingARendererDestroysTheOldOneFirst) {
    Make();
    TextRenderer* first = renderer;
    first->RasteriseString(u"6");
    ReleaseInterface(first->atlasTexture);
    const auto before = CountGdiLiveObjects();
    Make();
    EXPECT_NE(renderer, nullptr);
    EXPECT_EQ(std::filesystem::file_size("text.bmp"), 4194358u) << "the old renderer's dump";
    EXPECT_TRUE(renderer->glyphChars.empty());
    const auto after = CountGdiLiveObjects();
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
    EXPECT_EQ(after.fonts, before.fonts);
    EXPECT_EQ(after.bitmaps, before.bitmaps);
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
    const auto d3dAfter = platform::testing::CountD3DLiveObjects();
    EXPECT_EQ(d3dAfter.textures, d3dBefore.textures);
    EXPECT_EQ(d3dAfter.surfaces, d3dBefore.surfaces);
}

}  // namespace
