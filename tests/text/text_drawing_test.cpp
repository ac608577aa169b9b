#include <platform_testing.h>

#include <cstdlib>
#include <cstring>

#include "read_back_buffer.h"
#include "text_fixture.h"

namespace {

// Quads DrawString queued, compared with quads queued by hand on a second batch.
class TextDrawingTest : public TextRendererTest {
protected:
    void SetUp() override {
        TextRendererTest::SetUp();
        Make();
        batch.Init(testDevice.device());
        expected.Init(testDevice.device());
    }
    void TearDown() override {
        batch.ReleaseDeviceObjects();
        expected.ReleaseDeviceObjects();
        TextRendererTest::TearDown();
    }
    void Expect(const SourceRect& cell, float x) { expected.AddQuad(renderer->atlasTexture, cell, x, 0.0f); }
    void ExpectSameQuads() {
        ASSERT_EQ(batch.entries.size(), expected.entries.size());
        for (size_t i = 0; i < batch.entries.size(); ++i) {
            EXPECT_EQ(batch.entries[i].texture, renderer->atlasTexture);
            EXPECT_EQ(std::memcmp(&batch.entries[i].world, &expected.entries[i].world, sizeof(D3DMATRIX)), 0) << i;
            EXPECT_EQ(std::memcmp(&batch.entries[i].texTransform, &expected.entries[i].texTransform, sizeof(D3DMATRIX)), 0)
                << i;
        }
    }
    SourceRect Cell(char16_t ch) const {
        SourceRect rect{};
        renderer->FindGlyph(ch, rect);
        return rect;
    }

    SpriteBatch batch;
    SpriteBatch expected;
};

TEST_F(TextDrawingTest, SixtyQueuesTwoCellWideQuadsWithTheirCells) {
    EXPECT_EQ(renderer->DrawString(L"60", &batch), 1);
    EXPECT_EQ(Cell(u'6').left, 0);
    EXPECT_EQ(Cell(u'0').left, 40);
    Expect(Cell(u'6'), 0.0f);
    Expect(Cell(u'0'), 40.0f);
    ExpectSameQuads();
}

TEST_F(TextDrawingTest, HundredRepeatsTheCellOfTheZero) {
    EXPECT_EQ(renderer->DrawString(L"100", &batch), 1);
    EXPECT_EQ(renderer->glyphChars.size(), 2u);
    Expect(Cell(u'1'), 0.0f);
    Expect(Cell(u'0'), 40.0f);
    Expect(Cell(u'0'), 80.0f);
    ExpectSameQuads();
}

TEST_F(TextDrawingTest, EmptyStringQueuesNothing) {
    EXPECT_EQ(renderer->DrawString(L"", &batch), 1);
    EXPECT_TRUE(batch.entries.empty());
    EXPECT_TRUE(renderer->glyphChars.empty());
}

TEST_F(TextDrawingTest, BatchWithoutDeviceStillCachesAndAnnounces) {
    SpriteBatch headless;
    EXPECT_EQ(renderer->DrawString(L"77", &headless), 1);
    EXPECT_TRUE(headless.entries.empty());
    EXPECT_EQ(renderer->glyphChars, std::vector<char16_t>{u'7'});
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"7", L"\n"}));
}

TEST_F(TextDrawingTest, CharactersBeyondTheBasicPlaneTakeOneCellPerCodeUnit) {
    renderer->DrawString(L"\U0001F600", &batch);
    EXPECT_EQ(renderer->glyphChars, (std::vector<char16_t>{0xD83D, 0xDE00}));
    EXPECT_EQ(batch.entries.size(), 2u);
}

TEST_F(TextDrawingTest, CachedStringTouchesNeitherBitmapNorTexture) {
    renderer->DrawString(L"60", &batch);
    // A mark in the 6's cell: redrawing the glyph would paint over it, an upload would copy it.
    BYTE* mark = const_cast<BYTE*>(Pixel(*renderer, 2, 2));
    mark[0] = 1, mark[1] = 2, mark[2] = 3, mark[3] = 4;
    batch.entries.clear();
    renderer->DrawString(L"60", &batch);
    EXPECT_EQ(batch.entries.size(), 2u);
    EXPECT_EQ(mark[3], 4);
    EXPECT_EQ(TexelMismatches(*renderer), (std::vector<std::pair<int, int>>{{2, 2}}));
}

TEST_F(TextDrawingTest, NewDigitsShowWhiteOverTheBoardInTheSameFrame) {
    IDirect3DDevice9* device = testDevice.device();
    const D3DCOLOR board = 0xFF8080FF;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, board, 1.0f, 0);
    device->BeginScene();
    batch.Begin();
    renderer->DrawString(L"60", &batch);
    batch.End();
    device->EndScene();

    const platform::testing::Frame frame = ReadBackBuffer(device);
    ASSERT_EQ(frame.width, 640);
    // "6" is in atlas cell 0 and "0" in cell 1, so screen and atlas positions coincide.
    int white = 0;
    int wrong = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 96; ++x) {
            const int alpha = x < 80 && y < 40 ? Pixel(*renderer, x, y)[3] : 0;
            const uint32_t seen = frame.At(x, y);
            const int red = (alpha * 255 + (255 - alpha) * 0x80) / 255;
            const int blue = 255;
            const bool close = std::abs(static_cast<int>((seen >> 16) & 0xFF) - red) <= 2 &&
                               std::abs(static_cast<int>((seen >> 8) & 0xFF) - red) <= 2 &&
                               std::abs(static_cast<int>(seen & 0xFF) - blue) <= 2;
            wrong += !close;
            white += (seen & 0xFFFFFF) == 0xFFFFFF;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(white, 100);
}

}  // namespace
