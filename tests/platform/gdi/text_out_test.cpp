#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <vector>

#include "gdi_test_helpers.h"

namespace {

using gdi_test::ReadPixel;

constexpr int kWidth = 128;
constexpr int kHeight = 48;

// A top-down section filled with a marker, in a memory context with a 40-unit font.
class TextOutTest : public ::testing::Test {
protected:
    void SetUp() override { Select(CLEARTYPE_QUALITY); }
    void TearDown() override {
        SelectObject(dc, previousFont);
        SelectObject(dc, previousBitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    void Select(DWORD quality) {
        if (dc == nullptr) {
            dc = CreateCompatibleDC(nullptr);
            bitmap = gdi_test::MakeSection(kWidth, -kHeight, &bits);
            previousBitmap = SelectObject(dc, bitmap);
        }
        HFONT made = CreateFontW(40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, L"MS Gothic");
        HGDIOBJ displaced = SelectObject(dc, made);
        if (font == nullptr) {
            previousFont = displaced;
        } else {
            DeleteObject(font);
        }
        font = made;
        std::fill(bits, bits + kWidth * kHeight * 4, static_cast<uint8_t>(0xEE));
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
    }
    uint8_t* At(int x, int y) const { return bits + (y * kWidth + x) * 4; }
    TEXTMETRICW Metrics() const {
        TEXTMETRICW tm{};
        EXPECT_TRUE(GetTextMetricsW(dc, &tm));
        return tm;
    }
    bool Inked(int x, int y) const { return At(x, y)[0] + At(x, y)[1] + At(x, y)[2] > 0; }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HGDIOBJ previousFont = nullptr;
    uint8_t* bits = nullptr;
};

TEST_F(TextOutTest, GothicFaceAtFortyUnitsHasFullWidthFortyPixelCells) {
    const TEXTMETRICW tm = Metrics();
    EXPECT_EQ(tm.tmHeight, 40);
    EXPECT_EQ(tm.tmMaxCharWidth, 40);
    EXPECT_EQ(tm.tmAveCharWidth, 20);
    EXPECT_EQ(tm.tmAscent, 35);
    EXPECT_EQ(tm.tmDescent, 5);
    EXPECT_EQ(tm.tmCharSet, SHIFTJIS_CHARSET);

    const std::string file = platform::testing::ResolvedFontFile(L"MS Gothic");
    EXPECT_FALSE(file.empty());
    EXPECT_EQ(file, platform::testing::ResolvedFontFile(L"IPAGothic"));
    EXPECT_EQ(file, platform::testing::ResolvedFontFile(L"ms gothic"));
}

TEST_F(TextOutTest, OpaqueCellCoversHalfWidthAdvancesAndZeroesAlpha) {
    ASSERT_TRUE(TextOutW(dc, 0, 0, L"60", 2));
    // Two half-width digits: 2 x 20 pixels wide, the cell height tall.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (x < 40 && y < 40) {
                ASSERT_EQ(At(x, y)[3], 0) << x << "," << y;
            } else {
                ASSERT_EQ(ReadPixel(At(x, y)), 0xEEEEEEEEu) << x << "," << y;
            }
        }
    }
    int inkedInFirstHalf = 0;
    int inkedInSecondHalf = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 20; ++x) inkedInFirstHalf += Inked(x, y);
        for (int x = 20; x < 40; ++x) inkedInSecondHalf += Inked(x, y);
    }
    EXPECT_GT(inkedInFirstHalf, 50);
    EXPECT_GT(inkedInSecondHalf, 50);
}

TEST_F(TextOutTest, GlyphSitsOnTheBaselineBelowTheReferencePoint) {
    const int top = 4;
    ASSERT_TRUE(TextOutW(dc, 10, top, L"0", 1));
    int lowestInk = -1;
    int highestInk = kHeight;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (At(x, y)[3] == 0 && Inked(x, y)) {
                lowestInk = std::max(lowestInk, y);
                highestInk = std::min(highestInk, y);
            }
        }
    }
    const int baseline = top + Metrics().tmAscent;
    EXPECT_GE(lowestInk, baseline - 2);
    EXPECT_LT(lowestInk, baseline + 1);
    EXPECT_GT(highestInk, top);
}

TEST_F(TextOutTest, SubPixelQualityLeavesColouredFringesOthersStayGrey) {
    auto countColoured = [&] {
        int coloured = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) coloured += At(x, y)[0] != At(x, y)[2];
        }
        return coloured;
    };
    TextOutW(dc, 0, 0, L"\x6F22", 1);
    EXPECT_GT(countColoured(), 10);

    Select(ANTIALIASED_QUALITY);
    TextOutW(dc, 0, 0, L"\x6F22", 1);
    EXPECT_EQ(countColoured(), 0);
    int partial = 0;
    for (int x = 0; x < 40; ++x) partial += At(x, 20)[0] > 0 && At(x, 20)[0] < 255;
    EXPECT_GT(partial, 0) << "grey quality is anti-aliased";

    Select(NONANTIALIASED_QUALITY);
    TextOutW(dc, 0, 0, L"\x6F22", 1);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) ASSERT_TRUE(At(x, y)[1] == 0 || At(x, y)[1] == 255) << x << "," << y;
    }
}

TEST_F(TextOutTest, TransparentModeTouchesOnlyInkInTheTextColour) {
    Select(ANTIALIASED_QUALITY);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    std::fill(bits, bits + kWidth * kHeight * 4, static_cast<uint8_t>(0));
    for (int i = 3; i < kWidth * kHeight * 4; i += 4) bits[i] = 0x55;
    TextOutW(dc, 0, 0, L"8", 1);
    int inked = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* pixel = At(x, y);
            EXPECT_EQ(pixel[0], 0);
            EXPECT_EQ(pixel[1], 0);
            if (pixel[2] > 0) {
                ++inked;
                EXPECT_EQ(pixel[3], 0);
            } else {
                EXPECT_EQ(pixel[3], 0x55) << "background left alone at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(inked, 50);
}

TEST_F(TextOutTest, DrawingPastEveryEdgeIsClipped) {
    const wchar_t text[] = L"\x6F22\x6F22\x6F22\x6F22";
    EXPECT_TRUE(TextOutW(dc, -30, -25, text, 4));
    EXPECT_TRUE(TextOutW(dc, kWidth - 10, kHeight - 8, text, 4));
    EXPECT_EQ(At(kWidth - 1, kHeight - 1)[3], 0) << "the corner lies in the second string's cell";
    EXPECT_EQ(ReadPixel(At(kWidth - 11, kHeight - 9)), 0xEEEEEEEEu) << "outside both cells";
}

TEST(TextOutDefaultsTest, ContextKeepsAUsableDefaultFontWhenCreationFails) {
    platform::testing::FailGdiCall(platform::testing::GdiCall::CreateFontW);
    EXPECT_EQ(CreateFontW(40, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 5, 0, L"MS Gothic"), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_TRUE(TextOutW(dc, 0, 0, L"x", 1)) << "drawing into the one-pixel default bitmap";
    DeleteDC(dc);
}

TEST(TextOutDefaultsTest, FontInUseCannotBeDeleted) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-12, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, L"MS Gothic");
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 12) << "a negative height is the em, which is this face's cell";
    EXPECT_FALSE(DeleteObject(font));
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteObject(font));
    DeleteDC(dc);
}

}  // namespace
