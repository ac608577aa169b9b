#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_test_helpers.h"

namespace {

using gdi_test::MakeSection;
using gdi_test::ReadPixel;

TEST(DibSectionTest, PixelsStartZeroAndRowOrderFollowsHeightSign) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0x10, 0x20, 0x30));
    RECT topRow;
    SetRect(&topRow, 0, 0, 3, 1);

    for (int height : {2, -2}) {
        SCOPED_TRACE(height);
        uint8_t* bits = nullptr;
        HBITMAP bitmap = MakeSection(3, height, &bits);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_NE(bits, nullptr);
        for (int i = 0; i < 3 * 2 * 4; ++i) ASSERT_EQ(bits[i], 0);

        HGDIOBJ previous = SelectObject(dc, bitmap);
        for (int i = 0; i < 3 * 2 * 4; ++i) bits[i] = 0xEE;
        EXPECT_NE(FillRect(dc, &topRow, brush), 0);
        // Image row 0 is the last row in memory for a bottom-up section.
        const uint8_t* filled = height > 0 ? bits + 12 : bits;
        const uint8_t* untouched = height > 0 ? bits : bits + 12;
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(ReadPixel(filled + 4 * x), 0x00102030u) << "blue, green, red in memory, then a zero";
            EXPECT_EQ(ReadPixel(untouched + 4 * x), 0xEEEEEEEEu);
        }
        SelectObject(dc, previous);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    DeleteObject(brush);
    DeleteDC(dc);
}

TEST(DibSectionTest, RefusesWhatItCannotHold) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    info.bmiHeader.biBitCount = 24;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 1 << 20;
    info.bmiHeader.biHeight = 1 << 20;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

TEST(DibSectionTest, FillRectIsClippedToTheBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = MakeSection(4, -4, &bits);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    RECT rect;
    SetRect(&rect, -5, 2, 100, 100);
    FillRect(dc, &rect, brush);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(ReadPixel(bits + (y * 4 + x) * 4), y >= 2 ? 0x00FFFFFFu : 0u) << x << "," << y;
        }
    }
    SelectObject(dc, previous);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
