// The text renderer on the test device: coverage conversion, the glyph cache and
// its full atlas, drawing, the atlas upload, clean-up and the "text.bmp" dump.
#include <gmock/gmock.h>
#include <platform_testing.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "captured_output.h"
#include "live_objects.h"
#include "read_back_buffer.h"
#include "render/release_interface.h"
#include "scratch_working_directory.h"
#include "test_device.h"
#include "texture_helpers.h"
#include "text/text_renderer.h"

bool operator==(const SourceRect& a, const SourceRect& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

namespace {

// A rectangle that FindGlyph would never write.
constexpr SourceRect kUntouched = {-7, -7, -7, -7};
SourceRect Cell(LONG left, LONG top) { return SourceRect{left, top, left + 40, top + 40}; }

class TextRendererTest : public ::testing::Test, protected CapturedOutput {
protected:
    void SetUp() override {
        ASSERT_NE(testDevice.device(), nullptr);
        Capture();
    }
    void TearDown() override {
        batch.ReleaseDeviceObjects();
        Destroy(renderer);
        platform::testing::ResetAllHooks();
    }

    // A renderer in `renderer` on the test device, or on none.
    void Make(bool withDevice = true) {
        CreateTextRenderer(withDevice ? testDevice.device() : nullptr, &renderer);
    }
    // As the scene does it: the texture first, then the renderer.
    static void Destroy(TextRenderer*& doomed) {
        if (doomed == nullptr) return;
        ReleaseInterface(doomed->atlasTexture);
        delete doomed;
        doomed = nullptr;
    }
    SourceRect Find(char16_t ch) const {
        SourceRect rect = kUntouched;
        return renderer->FindGlyph(ch, rect), rect;
    }

    // The bitmap pixel at an image position (row 0 at the top, stored last) as 0xAARRGGBB.
    uint32_t& Pixel(int x, int y) const {
        return reinterpret_cast<uint32_t*>(
            renderer->glyphBits)[(renderer->bitmapHeight - 1 - y) * renderer->bitmapWidth + x];
    }

    // Image positions (y * 1024 + x) where the atlas differs from the bitmap in any byte.
    std::vector<int> TexelMismatches() const {
        const std::vector<uint32_t> texels = ReadTexels(renderer->atlasTexture);
        if (texels.size() != 1024u * 1024u) return {-1};
        std::vector<int> mismatches;
        for (int i = 0; i < 1024 * 1024; ++i)
            if (texels[i] != Pixel(i % 1024, i / 1024)) mismatches.push_back(i);
        return mismatches;
    }

    // `batch` holds exactly these cells of the atlas at these x positions on row 0.
    void ExpectQuads(const std::vector<std::pair<SourceRect, float>>& quads) {
        SpriteBatch expected;
        expected.Init(testDevice.device());
        for (const auto& [cell, x] : quads) expected.AddQuad(renderer->atlasTexture, cell, x, 0.0f);
        ASSERT_EQ(batch.entries.size(), expected.entries.size());
        for (size_t i = 0; i < batch.entries.size(); ++i)
            EXPECT_EQ(std::memcmp(&batch.entries[i], &expected.entries[i], sizeof(QuadEntry)), 0)
                << i;
        expected.ReleaseDeviceObjects();
    }

    ScratchWorkingDirectory scratch;  // for "text.bmp"
    TestDevice testDevice;
    TextRenderer* renderer = nullptr;
    SpriteBatch batch;  // Init it to queue quads
};

TEST_F(TextRendererTest, DrawGlyphConvertsItsWholeCellAndNothingElse) {
    Make(false);
    EXPECT_EQ(std::pair(renderer->textMetrics.tmHeight, renderer->textMetrics.tmMaxCharWidth),
              std::pair(LONG{40}, LONG{40}));
    constexpr uint32_t kFringe = 0x00D2965A;  // blue 90, green 150, red 210, alpha 0
    // The first and the last cell of the atlas: image row 0 is the bitmap's last memory row.
    for (const int cell : {0, 24}) {
        SCOPED_TRACE(cell);
        renderer->atlasColumn = renderer->atlasRow = cell;
        const int c = cell * 40, from = std::max(c - 1, 0);
        auto inCell = [c](int x, int y) { return x >= c && x < c + 40 && y >= c && y < c + 40; };
        // Fringe right of a half-width digit's opaque background and in a ring around the cell.
        for (int y = from; y <= c + 40; ++y)
            for (int x = from; x <= c + 40; ++x)
                if (x >= c + 20 || !inCell(x, y)) Pixel(x, y) = kFringe;
        renderer->DrawGlyph(u'6');
        int inked = 0;
        for (int y = from; y <= c + 40; ++y) {
            for (int x = from; x <= c + 40; ++x) {
                const uint32_t p = Pixel(x, y);
                if (!inCell(x, y))
                    ASSERT_EQ(p, kFringe) << x << "," << y;
                else if (x >= c + 20)
                    ASSERT_EQ(p, 0x96FFFFFFu) << x << "," << y;
                else
                    ASSERT_TRUE(p == 0 || (p & 0xFFFFFF) == 0xFFFFFF) << x << "," << y;
                inked += inCell(x, y) && x < c + 20 && p != 0;
            }
        }
        EXPECT_GT(inked, 50);
    }
}

// 625 whole-bitmap uploads: one test walks through everything a full atlas does.
TEST_F(TextRendererTest, CharactersTakeCellsInOrderOnceEachUntilTheAtlasIsFull) {
    Make();
    // '1' twice, then 630 new characters: cells 1st, 25th, 26th and 625th, the 626th refused.
    std::u16string text;
    for (char16_t ch = 0x4E00; ch < 0x4E00 + 630; ++ch) text += ch;
    // Corner marks no glyph covers (alpha 0): every upload must carry them too.
    Pixel(0, 1023) = Pixel(1023, 1023) = Pixel(1023, 0) = 0x00ABCDEF;
    EXPECT_FALSE(renderer->RasteriseString(u"11" + text));
    ASSERT_EQ(renderer->glyphChars.size(), 625u);
    ASSERT_EQ(debugLines.size(), 2u * 625);
    EXPECT_EQ(std::vector(debugLines.begin(), debugLines.begin() + 4),
              (std::vector<std::wstring>{L"1", L"\n", L"\x4E00", L"\n"}));
    EXPECT_EQ(Find(u'1'), Cell(0, 0));
    EXPECT_EQ(Find(text[23]), Cell(960, 0));
    EXPECT_EQ(Find(text[24]), Cell(0, 40));
    EXPECT_EQ(Find(text[623]), Cell(960, 960));
    EXPECT_EQ(Find(text[624]), kUntouched);

    // Every glyph reached the texture; beyond the last row and column nothing was drawn.
    EXPECT_TRUE(TexelMismatches().empty());
    int inkedInLastCell = 0;
    for (int i = 0; i < 1024 * 1024; ++i) {
        const int x = i % 1024, y = i / 1024;
        ASSERT_TRUE((x < 1000 && y < 1000) || Pixel(x, y) >> 24 == 0) << x << "," << y;
        inkedInLastCell += x >= 960 && y >= 960 && Pixel(x, y) >> 24 > 0;
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
    renderer->DrawString(L"Z\x4E00Z", &batch);
    ExpectQuads({{Cell(0, 0), 0.0f}, {Cell(40, 0), 40.0f}, {Cell(40, 0), 80.0f}});

    // With 32-pixel cells the exact fit at x = 992 stays empty, for placing and finding alike.
    Destroy(renderer);
    Make(false);
    renderer->textMetrics.tmMaxCharWidth = 32;
    renderer->RasteriseString(text.substr(0, 32));
    EXPECT_EQ(Find(text[30]), (SourceRect{960, 0, 992, 40}));
    EXPECT_EQ(Find(text[31]), (SourceRect{0, 40, 32, 80}));
    EXPECT_EQ(std::pair(renderer->atlasColumn, renderer->atlasRow), std::pair(LONG{1}, LONG{1}));
    // Nor the row that would end exactly at the bottom: with 32-pixel rows the 31st is the last.
    renderer->textMetrics.tmHeight = 32;
    renderer->atlasRow = 30;
    EXPECT_FALSE(renderer->RasteriseString(text.substr(32, 31)));
    EXPECT_EQ(renderer->glyphChars.size(), 32u + 30);
}

TEST_F(TextRendererTest,
       DrawStringQueuesCellWideQuadsShowsNewGlyphsAtOnceAndCachedOnesCostNothing) {
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
            const int alpha = x < 80 && y < 40 ? int(Pixel(x, y) >> 24) : 0;
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
    Pixel(2, 2) = (Pixel(2, 2) & 0xFFFFFF) | 4u << 24;
    renderer->DrawString(L"60", &batch);
    EXPECT_EQ(batch.entries.size(), 5u);
    EXPECT_EQ(Pixel(2, 2) >> 24, 4u);
    EXPECT_EQ(TexelMismatches(), std::vector<int>{2 * 1024 + 2});

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

    platform::testing::FailD3DCall(platform::testing::D3DCall::CreateTexture,
                                   D3DERR_OUTOFVIDEOMEMORY);
    Make();
    ASSERT_EQ(renderer->atlasTexture, nullptr);
    EXPECT_TRUE(renderer->RasteriseString(u"7"));
    EXPECT_EQ(renderer->glyphChars.size(), 1u);
}

// Renderers are rebuilt after every device reset, so a replaced or destroyed one
// must also give back every GDI and device object (the scene's tests run 2,000 resets).
TEST_F(TextRendererTest, DumpIsWrittenWholeOnReplacementAndOnDestructionAndNothingIsLeftBehind) {
    const auto before = LiveObjects();
    auto expectDumpOf = [](const std::vector<char>& memory) {
        std::ifstream in("text.bmp", std::ios::binary);
        const std::vector<char> file{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
        ASSERT_EQ(file.size(), 4194358u);
        EXPECT_EQ(std::string(file.data(), 2), "BM");
        // bfSize and the reserved words stay 0; one plane of 32 bits, bottom-up, uncompressed.
        uint32_t fields[13];
        std::memcpy(fields, file.data() + 2, sizeof(fields));
        EXPECT_THAT(fields,
                    ::testing::ElementsAre(0, 0, 54, 40, 1024, 1024, 0x200001, 0, 0, 0, 0, 0, 0));
        EXPECT_TRUE(std::equal(memory.begin(), memory.end(), file.begin() + 54));
    };
    std::ofstream("text.bmp", std::ios::binary) << std::string(5000000, 'x');
    Make();
    renderer->DrawString(L"60", nullptr);
    const std::vector<char> drawn(renderer->glyphBits, renderer->glyphBits + 4194304);
    ASSERT_GT(std::count_if(drawn.begin(), drawn.end(), [](char b) { return b != 0; }), 100)
        << "ink to compare";
    ReleaseInterface(renderer->atlasTexture);
    Make();  // replaces the renderer, which writes its dump first
    expectDumpOf(drawn);

    Destroy(renderer);
    expectDumpOf(std::vector<char>(4194304, 0));
    EXPECT_EQ(LiveObjects(), before);
}

}  // namespace
