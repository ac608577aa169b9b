#include <platform_testing.h>

#include <cstring>

#include "text/code_units.h"
#include "text_fixture.h"

namespace {

SourceRect FindCell(const TextRenderer& renderer, char16_t ch) {
    SourceRect rect{-7, -7, -7, -7};
    renderer.FindGlyph(ch, rect);
    return rect;
}

void ExpectCell(const SourceRect& rect, LONG left, LONG top) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, left + 40);
    EXPECT_EQ(rect.bottom, top + 40);
}

TEST_F(TextRendererTest, CharactersTakeCellsInOrderTwentyFiveToARow) {
    Make(false);
    const std::u16string text = ToCodeUnits(DistinctCharacters(26).c_str());
    EXPECT_TRUE(renderer->RasteriseString(text));
    ASSERT_EQ(renderer->glyphChars.size(), 26u);
    ExpectCell(FindCell(*renderer, text[0]), 0, 0);
    ExpectCell(FindCell(*renderer, text[24]), 960, 0);
    ExpectCell(FindCell(*renderer, text[25]), 0, 40);
    EXPECT_EQ(renderer->atlasColumn, 1);
    EXPECT_EQ(renderer->atlasRow, 1);
    // Each new character is announced once, with its own line end.
    ASSERT_EQ(debugLines.size(), 52u);
    EXPECT_EQ(debugLines[50], std::wstring(1, static_cast<wchar_t>(text[25])));
    EXPECT_EQ(debugLines[51], L"\n");
}

TEST_F(TextRendererTest, RepeatedAndKnownCharactersArePlacedOnce) {
    Make(false);
    EXPECT_TRUE(renderer->RasteriseString(u"11"));
    EXPECT_EQ(renderer->glyphChars, std::vector<char16_t>{u'1'});
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"1", L"\n"}));
    EXPECT_TRUE(renderer->RasteriseString(u"121"));
    EXPECT_EQ(renderer->glyphChars, (std::vector<char16_t>{u'1', u'2'}));
    ExpectCell(FindCell(*renderer, u'2'), 40, 0);
    EXPECT_EQ(renderer->AddCharacter(u'2'), 0);
    EXPECT_EQ(renderer->AddCharacter(u'3'), 1);

    const auto lines = debugLines.size();
    EXPECT_TRUE(renderer->RasteriseString(u""));
    EXPECT_EQ(debugLines.size(), lines);
    EXPECT_EQ(renderer->glyphChars.size(), 3u);
}

TEST_F(TextRendererTest, UnknownCharacterLeavesTheRectangleAlone) {
    Make(false);
    renderer->RasteriseString(u"5");
    const SourceRect rect = FindCell(*renderer, u'9');
    EXPECT_EQ(rect.left, -7);
    EXPECT_EQ(rect.top, -7);
    EXPECT_EQ(rect.right, -7);
    EXPECT_EQ(rect.bottom, -7);
}

TEST_F(TextRendererTest, ThirtyTwoPixelCellsLeaveTheLastExactFitEmpty) {
    Make(false);
    renderer->textMetrics.tmMaxCharWidth = 32;
    const std::u16string text = ToCodeUnits(DistinctCharacters(32).c_str());
    renderer->RasteriseString(text);
    SourceRect last{};
    renderer->FindGlyph(text[30], last);
    EXPECT_EQ(last.left, 960);
    EXPECT_EQ(last.right, 992);
    SourceRect wrapped{};
    renderer->FindGlyph(text[31], wrapped);
    EXPECT_EQ(wrapped.left, 0);
    EXPECT_EQ(wrapped.top, 40);
}

// Filling all 625 cells costs 625 whole-bitmap uploads, so one test walks through
// everything a full atlas does.
TEST_F(TextRendererTest, SixHundredTwentyFifthCharacterFillsTheAtlas) {
    Make();
    const std::u16string text = ToCodeUnits(DistinctCharacters(630).c_str());
    EXPECT_FALSE(renderer->RasteriseString(text));
    ASSERT_EQ(renderer->glyphChars.size(), 625u);
    EXPECT_EQ(debugLines.size(), 2u * 625);
    ExpectCell(FindCell(*renderer, text[624]), 960, 960);
    EXPECT_EQ(FindCell(*renderer, text[625]).left, -7);
    EXPECT_EQ(renderer->atlasColumn, 0);
    EXPECT_EQ(renderer->atlasRow, 25);

    // The 625th glyph reached the texture; beyond the last row and column nothing was drawn.
    EXPECT_TRUE(TexelMismatches(*renderer).empty());
    int inkedInLastCell = 0;
    for (int y = 960; y < 1000; ++y) {
        for (int x = 960; x < 1000; ++x) inkedInLastCell += Pixel(*renderer, x, y)[3] > 0;
    }
    EXPECT_GT(inkedInLastCell, 20);
    for (int y = 1000; y < 1024; ++y) {
        for (int x = 0; x < 1024; ++x) ASSERT_EQ(Pixel(*renderer, x, y)[3], 0) << x << "," << y;
    }
    for (int y = 0; y < 1000; ++y) {
        for (int x = 1000; x < 1024; ++x) ASSERT_EQ(Pixel(*renderer, x, y)[3], 0) << x << "," << y;
    }

    // Known characters are still served; new ones are refused without a line.
    debugLines.clear();
    EXPECT_TRUE(renderer->RasteriseString(text.substr(0, 10)));
    EXPECT_FALSE(renderer->RasteriseString(u"\x4E00Z"));
    EXPECT_EQ(renderer->glyphChars.size(), 625u);
    EXPECT_TRUE(debugLines.empty());

    // A refused character shows the cell at (0, 0) when first, else the cell before it.
    SpriteBatch batch;
    batch.Init(testDevice.device());
    SpriteBatch expected;
    expected.Init(testDevice.device());
    renderer->DrawString(L"Z\x4E01Z", &batch);
    expected.AddQuad(renderer->atlasTexture, SourceRect{0, 0, 40, 40}, 0.0f, 0.0f);
    expected.AddQuad(renderer->atlasTexture, SourceRect{40, 0, 80, 40}, 40.0f, 0.0f);
    expected.AddQuad(renderer->atlasTexture, SourceRect{40, 0, 80, 40}, 80.0f, 0.0f);
    ASSERT_EQ(batch.entries.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&batch.entries[i].texTransform, &expected.entries[i].texTransform, sizeof(D3DMATRIX)), 0) << i;
        EXPECT_EQ(std::memcmp(&batch.entries[i].world, &expected.entries[i].world, sizeof(D3DMATRIX)), 0) << i;
    }
    batch.ReleaseDeviceObjects();
    expected.ReleaseDeviceObjects();
}

}  // namespace
