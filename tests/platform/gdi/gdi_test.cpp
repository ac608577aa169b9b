#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gdi/surface_dc.h"

namespace {

using platform::testing::CountGdiLiveObjects;

// A 32-bit DIB section; a negative height stores the rows from the top.
HBITMAP MakeSection(int width, int height, uint8_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint8_t*>(pixels);
    return bitmap;
}

// The pixel's four bytes (blue, green, red, alpha in memory) as 0xAARRGGBB.
uint32_t ReadPixel(const uint8_t* pixel) {
    uint32_t value;
    std::memcpy(&value, pixel, 4);
    return value;
}

TEST(GdiObjectsTest, SelectionDisplacesAndPinsObjectsUntilReleased) {
    const auto before = CountGdiLiveObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    HDC other = CreateCompatibleDC(dc);
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
    uint8_t* bits = nullptr;
    HBITMAP bitmap = MakeSection(4, 4, &bits);
    EXPECT_EQ(CountGdiLiveObjects().deviceContexts, before.deviceContexts + 2);
    EXPECT_EQ(CountGdiLiveObjects().brushes, before.brushes + 2);
    EXPECT_EQ(CountGdiLiveObjects().bitmaps, before.bitmaps + 1);

    HGDIOBJ stockBrush = SelectObject(dc, first);
    ASSERT_NE(stockBrush, nullptr);
    EXPECT_EQ(SelectObject(dc, second), first);
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_FALSE(DeleteObject(first)) << "a deleted handle is no longer valid";
    EXPECT_FALSE(DeleteObject(second)) << "still selected";

    HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
    ASSERT_NE(stockBitmap, nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "a bitmap lives in one context at a time";
    SelectObject(dc, stockBitmap);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);

    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(second)) << "deleting a context releases what it held";
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(stockBrush)) << "stock objects shrug deletion off";
    const auto after = CountGdiLiveObjects();
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
    EXPECT_EQ(after.brushes, before.brushes);
    EXPECT_EQ(after.bitmaps, before.bitmaps);
}

TEST(GdiObjectsTest, FillRectFollowsRowOrderZeroesAlphaAndClips) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0x10, 0x20, 0x30));
    RECT lowerRows;
    SetRect(&lowerRows, -5, 2, 100, 100);
    for (int height : {4, -4}) {
        SCOPED_TRACE(height);
        uint8_t* bits = nullptr;
        HBITMAP bitmap = MakeSection(3, height, &bits);
        ASSERT_NE(bits, nullptr);
        for (int i = 0; i < 3 * 4 * 4; ++i) ASSERT_EQ(bits[i], 0) << "sections start zeroed";
        std::fill(bits, bits + 3 * 4 * 4, uint8_t{0xEE});
        HGDIOBJ previous = SelectObject(dc, bitmap);
        EXPECT_NE(FillRect(dc, &lowerRows, brush), 0);
        for (int imageRow = 0; imageRow < 4; ++imageRow) {
            // A positive height stores image row 0 last.
            const int memoryRow = height > 0 ? 3 - imageRow : imageRow;
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(ReadPixel(bits + (memoryRow * 3 + x) * 4), imageRow >= 2 ? 0x00102030u : 0xEEEEEEEEu)
                    << x << "," << imageRow;
            }
        }
        SelectObject(dc, previous);
        DeleteObject(bitmap);
    }
    DeleteObject(brush);
    DeleteDC(dc);
}

TEST(GdiObjectsTest, BitBltCopiesAllFourBytesUprightClippedToBothContexts) {
    constexpr int kSize = 8;
    HDC dc = CreateCompatibleDC(nullptr);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = MakeSection(kSize, kSize, &bits);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    auto source = [](int x, int imageRow) { return 0x80000000u + (imageRow << 16) + (x << 8) + x + imageRow; };
    for (int memoryRow = 0; memoryRow < kSize; ++memoryRow) {
        for (int x = 0; x < kSize; ++x) {
            const uint32_t value = source(x, kSize - 1 - memoryRow);
            std::memcpy(bits + (memoryRow * kSize + x) * 4, &value, 4);
        }
    }

    // A padded top-down surface; the copy starts off its top-left and runs past the source's edges.
    const int width = 6;
    const int pitch = width * 4 + 12;
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * width, 0xAB);
    HDC surfaceDc = platform::gdi::CreateSurfaceDC(surface.data(), width, width, pitch);
    ASSERT_NE(surfaceDc, nullptr);
    EXPECT_FALSE(DeleteDC(surfaceDc)) << "a surface's context goes back through the surface";
    ASSERT_TRUE(BitBlt(surfaceDc, -1, -2, 10, 10, dc, 3, 2, SRCCOPY));
    EXPECT_FALSE(BitBlt(surfaceDc, 0, 0, 2, 2, dc, 0, 0, 0x00EE0086)) << "only SRCCOPY";
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = x + 1 + 3;
            const int sy = y + 2 + 2;
            const uint32_t want = sx < kSize && sy < kSize ? source(sx, sy) : 0xABABABABu;
            EXPECT_EQ(ReadPixel(&surface[y * pitch + x * 4]), want) << x << "," << y;
        }
        for (int pad = width * 4; pad < pitch; ++pad) ASSERT_EQ(surface[y * pitch + pad], 0xAB);
    }
    platform::gdi::ReleaseSurfaceDC(surfaceDc);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

constexpr int kWidth = 128;
constexpr int kHeight = 48;

// A marker-filled top-down section in a memory context, white on black text.
class TextOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        bitmap = MakeSection(kWidth, -kHeight, &bits);
        previousBitmap = SelectObject(dc, bitmap);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
        UseFont(CLEARTYPE_QUALITY);
    }
    void TearDown() override {
        SelectObject(dc, previousFont);
        SelectObject(dc, previousBitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // The system's font at the given quality, on a freshly marked bitmap.
    void UseFont(DWORD quality) {
        HFONT made = CreateFontW(40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, L"MS Gothic");
        HGDIOBJ displaced = SelectObject(dc, made);
        if (font == nullptr) previousFont = displaced;
        DeleteObject(font);
        font = made;
        std::fill(bits, bits + kWidth * kHeight * 4, uint8_t{0xEE});
    }
    uint8_t* At(int x, int y) const { return bits + (y * kWidth + x) * 4; }
    bool Inked(int x, int y) const { return At(x, y)[0] + At(x, y)[1] + At(x, y)[2] > 0 && At(x, y)[3] == 0; }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HGDIOBJ previousFont = nullptr;
    uint8_t* bits = nullptr;
};

TEST_F(TextOutTest, GothicFaceAtFortyUnitsHasFullWidthFortyPixelCells) {
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 40);
    EXPECT_EQ(tm.tmMaxCharWidth, 40);
    EXPECT_EQ(tm.tmAveCharWidth, 20);
    EXPECT_EQ(tm.tmAscent, 35);
    EXPECT_EQ(tm.tmDescent, 5);

    const std::string file = platform::testing::ResolvedFontFile(L"MS Gothic");
    EXPECT_FALSE(file.empty());
    EXPECT_EQ(file, platform::testing::ResolvedFontFile(L"IPAGothic"));
    EXPECT_EQ(file, platform::testing::ResolvedFontFile(L"ms gothic"));
}

TEST_F(TextOutTest, OpaqueCellSpansHalfWidthAdvancesAndGlyphsSitOnTheBaseline) {
    const int top = 4;
    ASSERT_TRUE(TextOutW(dc, 0, top, L"60", 2));
    int lowestInk = -1;
    int inkedLeft = 0;
    int inkedRight = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Two half-width digits: 2 x 20 pixels wide, the cell height tall, alpha zeroed.
            if (x < 40 && y >= top && y < top + 40) {
                ASSERT_EQ(At(x, y)[3], 0) << x << "," << y;
            } else {
                ASSERT_EQ(ReadPixel(At(x, y)), 0xEEEEEEEEu) << x << "," << y;
            }
            if (Inked(x, y)) lowestInk = std::max(lowestInk, y);
            inkedLeft += Inked(x, y) && x < 20;
            inkedRight += Inked(x, y) && x >= 20;
        }
    }
    EXPECT_GT(inkedLeft, 50);
    EXPECT_GT(inkedRight, 50);
    const int baseline = top + 35;
    EXPECT_GE(lowestInk, baseline - 2);
    EXPECT_LE(lowestInk, baseline);

    // Cells hanging off every edge are clipped.
    EXPECT_TRUE(TextOutW(dc, -30, -25, L"\x6F22\x6F22\x6F22", 3));
    EXPECT_TRUE(TextOutW(dc, kWidth - 10, kHeight - 8, L"\x6F22\x6F22", 2));
    EXPECT_EQ(At(kWidth - 1, kHeight - 1)[3], 0);
}

TEST_F(TextOutTest, OnlySubPixelQualityLeavesColouredFringes) {
    auto countColoured = [&] {
        TextOutW(dc, 0, 0, L"\x6F22", 1);
        int coloured = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) coloured += At(x, y)[0] != At(x, y)[2];
        }
        return coloured;
    };
    EXPECT_GT(countColoured(), 10);
    UseFont(ANTIALIASED_QUALITY);
    EXPECT_EQ(countColoured(), 0);
    int partial = 0;
    for (int x = 0; x < 40; ++x) partial += At(x, 20)[1] > 0 && At(x, 20)[1] < 255;
    EXPECT_GT(partial, 0) << "grey is still anti-aliased";
    UseFont(NONANTIALIASED_QUALITY);
    EXPECT_EQ(countColoured(), 0);
    int full = 0;
    for (int x = 0; x < 40; ++x) {
        EXPECT_TRUE(At(x, 20)[1] == 0 || At(x, 20)[1] == 255) << x;
        full += At(x, 20)[1] == 255;
    }
    EXPECT_GT(full, 0) << "the row checked carries ink";
}

}  // namespace
