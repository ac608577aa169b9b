#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace {

// A 32-bit DIB section, pixels as 0xAARRGGBB; a negative height stores the rows from the top.
HBITMAP MakeSection(int width, int height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr,
                            0);
}

TEST(GdiObjectsTest, ASectionOverOneGibibyteIsANullHandleWithNullBits) {
    uint32_t* bits = reinterpret_cast<uint32_t*>(1);
    EXPECT_EQ(MakeSection(16384, 16385, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
}

// White on black text in a marker-filled top-down section, as the text renderer sets it up.
TEST(TextOutTest,
     GothicFortyUnitCellsOpaqueHalfWidthOnTheBaselineWithFringesOnlyForSubPixelQuality) {
    constexpr int kWidth = 128, kHeight = 48, top = 4;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = MakeSection(kWidth, -kHeight, &bits);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap), previousFont = nullptr;
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    HFONT font = nullptr;
    auto useFont = [&](DWORD quality) {  // the system's font, on a freshly marked bitmap
        HFONT made =
            CreateFontW(40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, L"MS Gothic");
        HGDIOBJ displaced = SelectObject(dc, made);
        if (font == nullptr) previousFont = displaced;
        DeleteObject(font);
        font = made;
        std::fill(bits, bits + kWidth * kHeight, 0xEEEEEEEEu);
    };
    auto at = [&](int x, int y) { return reinterpret_cast<uint8_t*>(bits + y * kWidth + x); };
    useFont(CLEARTYPE_QUALITY);

    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(
        std::tuple(tm.tmHeight, tm.tmMaxCharWidth, tm.tmAveCharWidth, tm.tmAscent, tm.tmDescent),
        std::tuple(40, 40, 20, 35, 5));
    const std::string file = platform::testing::ResolvedFontFile(L"MS Gothic");
    EXPECT_FALSE(file.empty());
    EXPECT_EQ(file, platform::testing::ResolvedFontFile(L"IPAGothic"));
    EXPECT_EQ(file, platform::testing::ResolvedFontFile(L"ms gothic"));

    ASSERT_TRUE(TextOutW(dc, 0, top, L"60", 2));
    int lowestInk = -1, inked[2] = {};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Two half-width digits: 2 x 20 pixels wide, the cell height tall, alpha zeroed.
            if (x < 40 && y >= top && y < top + 40)
                ASSERT_EQ(at(x, y)[3], 0) << x << "," << y;
            else
                ASSERT_EQ(bits[y * kWidth + x], 0xEEEEEEEEu) << x << "," << y;
            const bool ink = at(x, y)[0] + at(x, y)[1] + at(x, y)[2] > 0 && at(x, y)[3] == 0;
            if (ink) lowestInk = std::max(lowestInk, y);
            inked[x >= 20] += ink;
        }
    }
    EXPECT_GT(std::min(inked[0], inked[1]), 50);
    EXPECT_GE(lowestInk, top + 35 - 2);  // the baseline is the ascent below the top
    EXPECT_LE(lowestInk, top + 35);
    // Cells hanging off every edge are clipped.
    EXPECT_TRUE(TextOutW(dc, -30, -25, L"\x6F22\x6F22\x6F22", 3));
    EXPECT_TRUE(TextOutW(dc, kWidth - 10, kHeight - 8, L"\x6F22\x6F22", 2));
    EXPECT_EQ(at(kWidth - 1, kHeight - 1)[3], 0);

    // Per quality: pixels whose blue and red differ, and partly covered pixels on row 20.
    auto draw = [&](DWORD quality) {
        useFont(quality);
        TextOutW(dc, 0, 0, L"\x6F22", 1);
        int colored = 0, partial = 0;
        for (int i = 0; i < 40 * 40; ++i) colored += at(i % 40, i / 40)[0] != at(i % 40, i / 40)[2];
        for (int x = 0; x < 40; ++x) partial += at(x, 20)[1] > 0 && at(x, 20)[1] < 255;
        return std::pair(colored, partial);
    };
    EXPECT_GT(draw(CLEARTYPE_QUALITY).first, 10);
    const auto grey = draw(ANTIALIASED_QUALITY);
    EXPECT_EQ(grey.first, 0);
    EXPECT_GT(grey.second, 0) << "grey is still anti-aliased";
    EXPECT_EQ(draw(NONANTIALIASED_QUALITY), std::pair(0, 0));
    EXPECT_GT(std::count(at(0, 20), at(40, 20), 255), 3) << "the row checked carries ink";

    SelectObject(dc, previousFont);
    SelectObject(dc, previousBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
