#include <cstdlib>

#include "read_back_buffer.h"
#include "text_fixture.h"

namespace {

SourceRect Find(const TextRenderer& renderer, char16_t ch) {
    SourceRect rect = kUntouched;
    renderer.FindGlyph(ch, rect);
    return rect;
}

TEST_F(TextRendererTest, NewCharactersTakeCellsInOrderAndAreAnnouncedOnce) {
    Make(false);
    EXPECT_TRUE(renderer->RasteriseString(u"11"));
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"1", L"\n"}));
    const std::u16string text = DistinctCharacters(25);
    EXPECT_TRUE(renderer->RasteriseString(text + u"1"));
    ASSERT_EQ(renderer->glyphChars.size(), 26u);
    EXPECT_EQ(debugLines.size(), 52u);
    EXPECT_EQ(Find(*renderer, u'1'), Cell(0, 0));
    EXPECT_EQ(Find(*renderer, text[23]), Cell(960, 0));
    EXPECT_EQ(Find(*renderer, text[24]), Cell(0, 40));
    EXPECT_EQ(Find(*renderer, u'9'), kUntouched);

    // With 32-pixel cells the exact fit at x = 992 stays empty, for placing and finding alike.
    Make(false);
    renderer->textMetrics.tmMaxCharWidth = 32;
    const std::u16string narrow = DistinctCharacters(32);
    renderer->RasteriseString(narrow);
    EXPECT_EQ(Find(*renderer, narrow[30]), (SourceRect{960, 0, 992, 40}));
    EXPECT_EQ(Find(*renderer, narrow[31]), (SourceRect{0, 40, 32, 80}));
    EXPECT_EQ(renderer->atlasColumn, 1);
    EXPECT_EQ(renderer->atlasRow, 1);
}

// 625 whole-bitmap uploads: one test walks through everything a full atlas does.
TEST_F(TextRendererTest, SixHundredTwentyFifthCharacterFillsTheAtlas) {
    Make();
    const std::u16string text = DistinctCharacters(630);
    EXPECT_FALSE(renderer->RasteriseString(text));
    ASSERT_EQ(renderer->glyphChars.size(), 625u);
    EXPECT_EQ(debugLines.size(), 2u * 625);
    EXPECT_EQ(Find(*renderer, text[624]), Cell(960, 960));
    EXPECT_EQ(Find(*renderer, text[625]), kUntouched);

    // Every glyph reached the texture; beyond the last row and column nothing was drawn.
    EXPECT_TRUE(TexelMismatches().empty());
    int inkedInLastCell = 0;
    for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (x >= 1000 || y >= 1000) {
                ASSERT_EQ(Pixel(x, y)[3], 0) << x << "," << y;
            }
            inkedInLastCell += x >= 960 && y >= 960 && Pixel(x, y)[3] > 0;
        }
    }
    EXPECT_GT(inkedInLastCell, 20);

    // Known characters are still served; new ones are refused without a line.
    debugLines.clear();
    EXPECT_TRUE(renderer->RasteriseString(text.substr(0, 10)));
    EXPECT_FALSE(renderer->RasteriseString(u"Z"));
    EXPECT_EQ(renderer->glyphChars.size(), 625u);
    EXPECT_TRUE(debugLines.empty());

    // A refused character shows the cell at (0, 0) when first, else the cell before it.
    batch.Init(testDevice.device());
    renderer->DrawString(L"Z\x4E01Z", &batch);
    ExpectQuads({{Cell(0, 0), 0.0f}, {Cell(40, 0), 40.0f}, {Cell(40, 0), 80.0f}});
}

TEST_F(TextRendererTest, DrawStringQueuesCellWideQuadsShowsNewGlyphsAtOnceAndCachedOnesCostNothing) {
    Make();
    batch.Init(testDevice.device());
    IDirect3DDevice9* device = testDevice.device();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8080FF, 1.0f, 0);
    device->BeginScene();
    batch.Begin();
    EXPECT_EQ(renderer->DrawString(L"", &batch), 1);
    EXPECT_TRUE(batch.entries.empty());
    EXPECT_EQ(renderer->DrawString(L"60", &batch), 1);
    ExpectQuads({{Cell(0, 0), 0.0f}, {Cell(40, 0), 40.0f}});
    batch.End();
    device->EndScene();

    // The first occurrence is in this very frame. "6" is in atlas cell 0 and "0" in
    // cell 1, so screen and atlas positions coincide.
    const platform::testing::Frame frame = ReadBackBuffer(device);
    ASSERT_EQ(frame.width, 640);
    int white = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 96; ++x) {
            const int alpha = x < 80 && y < 40 ? Pixel(x, y)[3] : 0;
            const int red = (alpha * 255 + (255 - alpha) * 0x80) / 255;
            const uint32_t seen = frame.At(x, y);
            ASSERT_LE(std::abs(static_cast<int>((seen >> 16) & 0xFF) - red), 2) << x << "," << y;
            ASSERT_EQ(seen & 0xFF, 0xFFu) << x << "," << y;
            white += (seen & 0xFFFFFF) == 0xFFFFFF;
        }
    }
    EXPECT_GT(white, 100);

    batch.entries.clear();
    renderer->DrawString(L"100", &batch);
    ExpectQuads({{Cell(80, 0), 0.0f}, {Cell(40, 0), 40.0f}, {Cell(40, 0), 80.0f}});

    // A mark in the 6's cell: redrawing the glyph would paint over it, an upload would copy it.
    Pixel(2, 2)[3] = 4;
    renderer->DrawString(L"60", &batch);
    EXPECT_EQ(batch.entries.size(), 5u);
    EXPECT_EQ(Pixel(2, 2)[3], 4);
    EXPECT_EQ(TexelMismatches(), (std::vector<std::pair<int, int>>{{2, 2}}));

    // Beyond the basic plane a character is two code units, as in UTF-16.
    renderer->DrawString(L"\U0001F600", &batch);
    EXPECT_EQ(renderer->glyphChars, (std::vector<char16_t>{u'6', u'0', u'1', 0xD83D, 0xDE00}));

    // A batch without a device queues nothing, but the characters are still cached.
    SpriteBatch headless;
    debugLines.clear();
    EXPECT_EQ(renderer->DrawString(L"77", &headless), 1);
    EXPECT_TRUE(headless.entries.empty());
    EXPECT_EQ(renderer->glyphChars.back(), u'7');
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"7", L"\n"}));
}

}  // namespace
