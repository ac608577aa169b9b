#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <algorithm>

#include "gdi_test_helpers.h"

namespace {

using gdi_test::ReadPixel;

constexpr int kWidth = 128;
constexpr int kHeight = 48;

// A marker-filled top-down section in a memory context, white on black text.
class TextOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        bitmap = gdi_test::MakeSection(kWidth, -kHeight, &bits);
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
    for (int x = 0; x < 40; ++x) EXPECT_TRUE(At(x, 20)[1] == 0 || At(x, 20)[1] == 255) << x;
}

}  // namespace
