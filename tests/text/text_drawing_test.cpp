#include <cstdlib>
#include <cstring>

#include "read_back_buffer.h"
#include "text_fixture.h"

namespace {

// DrawString's quads, compared with quads queued by hand on a second batch.
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
    void ExpectQuads(const std::vector<std::pair<SourceRect, float>>& quads) {
        for (const auto& [cell, x] : quads) expected.AddQuad(renderer->atlasTexture, cell, x, 0.0f);
        ASSERT_EQ(batch.entries.size(), expected.entries.size());
        for (size_t i = 0; i < batch.entries.size(); ++i) {
            EXPECT_EQ(std::memcmp(&batch.entries[i], &expected.entries[i], sizeof(QuadEntry)), 0) << i;
        }
    }

    SpriteBatch batch;
    SpriteBatch expected;
};

TEST_F(TextDrawingTest, EachCodeUnitQueuesOneCellWideQuadAlongTheLine) {
    EXPECT_EQ(renderer->DrawString(L"", &batch), 1);
    EXPECT_TRUE(batch.entries.empty());
    EXPECT_EQ(renderer->DrawString(L"60", &batch), 1);
    ExpectQuads({{Cell(0, 0), 0.0f}, {Cell(40, 0), 40.0f}});

    batch.entries.clear();
    expected.entries.clear();
    renderer->DrawString(L"100", &batch);
    ExpectQuads({{Cell(80, 0), 0.0f}, {Cell(40, 0), 40.0f}, {Cell(40, 0), 80.0f}});

    // Beyond the basic plane a character is two code units, as in UTF-16.
    renderer->DrawString(L"\U0001F600", &batch);
    EXPECT_EQ(renderer->glyphChars, (std::vector<char16_t>{u'6', u'0', u'1', 0xD83D, 0xDE00}));
}

TEST_F(TextDrawingTest, BatchWithoutDeviceStillCachesAndAnnounces) {
    SpriteBatch headless;
    EXPECT_EQ(renderer->DrawString(L"77", &headless), 1);
    EXPECT_TRUE(headless.entries.empty());
    EXPECT_EQ(renderer->glyphChars, std::vector<char16_t>{u'7'});
    EXPECT_EQ(debugLines, (std::vector<std::wstring>{L"7", L"\n"}));
}

TEST_F(TextDrawingTest, CachedStringTouchesNeitherBitmapNorTexture) {
    renderer->DrawString(L"60", &batch);
    // A mark in the 6's cell: redrawing the glyph would paint over it, an upload would copy it.
    BYTE* mark = Pixel(2, 2);
    mark[3] = 4;
    renderer->DrawString(L"60", &batch);
    EXPECT_EQ(batch.entries.size(), 4u);
    EXPECT_EQ(mark[3], 4);
    EXPECT_EQ(TexelMismatches(), (std::vector<std::pair<int, int>>{{2, 2}}));
}

TEST_F(TextDrawingTest, NewDigitsShowWhiteOverTheBoardInTheSameFrame) {
    IDirect3DDevice9* device = testDevice.device();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8080FF, 1.0f, 0);
    device->BeginScene();
    batch.Begin();
    renderer->DrawString(L"60", &batch);
    batch.End();
    device->EndScene();

    const platform::testing::Frame frame = ReadBackBuffer(device);
    ASSERT_EQ(frame.width, 640);
    // "6" is in atlas cell 0 and "0" in cell 1, so screen and atlas positions coincide.
    int white = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 96; ++x) {
            const int alpha = x < 80 && y < 40 ? Pixel(x, y)[3] : 0;
            const int redGreen = (alpha * 255 + (255 - alpha) * 0x80) / 255;
            const uint32_t seen = frame.At(x, y);
            ASSERT_LE(std::abs(static_cast<int>((seen >> 16) & 0xFF) - redGreen), 2) << x << "," << y;
            ASSERT_LE(std::abs(static_cast<int>((seen >> 8) & 0xFF) - redGreen), 2) << x << "," << y;
            ASSERT_EQ(seen & 0xFF, 0xFFu) << x << "," << y;
            white += (seen & 0xFFFFFF) == 0xFFFFFF;
        }
    }
    EXPECT_GT(white, 100);
}

}  // namespace
