#include <cstring>

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
    EXPECT_TRUE(renderer->RasteriseString(u""));
    const std::u16string text = DistinctCharacters(25);
    EXPECT_TRUE(renderer->RasteriseString(text + u"1"));
    ASSERT_EQ(renderer->glyphChars.size(), 26u);
    EXPECT_EQ(debugLines.size(), 52u);
    EXPECT_EQ(Find(*renderer, u'1'), Cell(0, 0));
    EXPECT_EQ(Find(*renderer, text[23]), Cell(960, 0));
    EXPECT_EQ(Find(*renderer, text[24]), Cell(0, 40));
    EXPECT_EQ(Find(*renderer, u'9'), kUntouched);
    EXPECT_EQ(renderer->AddCharacter(u'1'), 0);

    // With 32-pixel cells the exact fit at x = 992 stays empty.
    Make(false);
    renderer->textMetrics.tmMaxCharWidth = 32;
    const std::u16string narrow = DistinctCharacters(32);
    renderer->RasteriseString(narrow);
    SourceRect rect{};
    renderer->FindGlyph(narrow[30], rect);
    EXPECT_EQ(rect.left, 960);
    renderer->FindGlyph(narrow[31], rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(renderer->atlasColumn, 1) << "the cursor agrees with the cell just filled";
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

    // Its glyph reached the texture; beyond the last row and column nothing was drawn.
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
    SpriteBatch batch;
    batch.Init(testDevice.device());
    SpriteBatch expected;
    expected.Init(testDevice.device());
    renderer->DrawString(L"Z\x4E01Z", &batch);
    expected.AddQuad(renderer->atlasTexture, Cell(0, 0), 0.0f, 0.0f);
    expected.AddQuad(renderer->atlasTexture, Cell(40, 0), 40.0f, 0.0f);
    expected.AddQuad(renderer->atlasTexture, Cell(40, 0), 80.0f, 0.0f);
    ASSERT_EQ(batch.entries.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&batch.entries[i], &expected.entries[i], sizeof(QuadEntry)), 0) << i;
    }
    batch.ReleaseDeviceObjects();
    expected.ReleaseDeviceObjects();
}

}  // namespace
