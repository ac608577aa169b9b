#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "address_space_cap.h"
#include "gdi/surface_dc.h"

namespace {

// A 32-bit DIB section, pixels as 0xAARRGGBB; a negative height stores the rows from the top.
HBITMAP MakeSection(int width, int height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr,
                            0);
}

auto Live() {
    const auto gdi = platform::testing::CountGdiLiveObjects();
    return std::tuple(gdi.deviceContexts, gdi.brushes, gdi.bitmaps);
}

TEST(GdiObjectsTest, SelectionDisplacesAndPinsObjectsUntilReleased) {
    const auto [contexts, brushes, bitmaps] = Live();
    HDC dc = CreateCompatibleDC(nullptr), other = CreateCompatibleDC(dc);
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3)), second = CreateSolidBrush(RGB(4, 5, 6));
    uint32_t* bits = nullptr;
    HBITMAP bitmap = MakeSection(4, 4, &bits);
    EXPECT_EQ(Live(), std::tuple(contexts + 2, brushes + 2, bitmaps + 1));

    HGDIOBJ stockBrush = SelectObject(dc, first);
    ASSERT_NE(stockBrush, nullptr);
    EXPECT_EQ(SelectObject(dc, second), first);
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_FALSE(DeleteObject(first)) << "a deleted handle is no longer valid";
    EXPECT_FALSE(DeleteObject(second)) << "still selected";
    HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "a bitmap lives in one context at a time";
    SelectObject(dc, stockBitmap);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);

    EXPECT_TRUE(DeleteDC(dc) && DeleteDC(other));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(second)) << "deleting a context releases what it held";
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(stockBrush)) << "stock objects shrug deletion off";
    EXPECT_EQ(Live(), std::tuple(contexts, brushes, bitmaps));
}

// Through the real allocation, with the address space capped 160 MiB above what the
// process uses: a 1 GiB section is a null handle with null bits, as on Windows.
TEST(GdiObjectsTest, ASectionWhosePixelsCannotBeHadIsANullHandleAndLeavesNothing) {
    uint32_t* bits = reinterpret_cast<uint32_t*>(1);
    EXPECT_EQ(MakeSection(16384, 16385, &bits), nullptr) << "over 1 GiB: refused unallocated";
    if (!AddressSpaceCap::Possible())
        GTEST_SKIP() << "AddressSanitizer's shadow memory cannot live under an address-space cap";
    const auto before = Live();
    AddressSpaceCap cap(160 << 20);
    ASSERT_TRUE(cap.Set());
    bits = reinterpret_cast<uint32_t*>(1);
    EXPECT_EQ(MakeSection(16384, 16384, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(Live(), before);
}

TEST(GdiObjectsTest, FillRectFollowsRowOrderZeroesAlphaAndClips) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0x10, 0x20, 0x30));
    const RECT lowerRows{-5, 2, 100, 100};
    for (int height : {4, -4}) {
        SCOPED_TRACE(height);
        uint32_t* bits = nullptr;
        HBITMAP bitmap = MakeSection(3, height, &bits);
        ASSERT_NE(bits, nullptr);
        ASSERT_EQ(std::count(bits, bits + 3 * 4, 0u), 3 * 4) << "sections start zeroed";
        std::fill(bits, bits + 3 * 4, 0xEEEEEEEEu);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        EXPECT_NE(FillRect(dc, &lowerRows, brush), 0);
        for (int i = 0; i < 3 * 4; ++i) {
            // A positive height stores image row 0 last.
            const int imageRow = height > 0 ? 3 - i / 3 : i / 3;
            EXPECT_EQ(bits[i], imageRow >= 2 ? 0x00102030u : 0xEEEEEEEEu) << i;
        }
        SelectObject(dc, previous);
        DeleteObject(bitmap);
    }
    DeleteObject(brush);
    DeleteDC(dc);
}

TEST(GdiObjectsTest, BitBltCopiesAllFourBytesUprightClippedToBothContexts) {
    constexpr int kSize = 8, kWidth = 6, kPitch = kWidth * 4 + 12;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = MakeSection(kSize, kSize, &bits);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    auto source = [](int x, int imageRow) {
        return 0x80000000u + (imageRow << 16) + (x << 8) + x + imageRow;
    };
    for (int i = 0; i < kSize * kSize; ++i) bits[i] = source(i % kSize, kSize - 1 - i / kSize);

    // A padded top-down surface; the copy starts left of it and above the source, and runs
    // past the source's right and bottom edges.
    std::vector<uint32_t> surface(kPitch / 4 * kWidth, 0xABABABABu);
    HDC surfaceDc = platform::gdi::CreateSurfaceDC(reinterpret_cast<uint8_t*>(surface.data()),
                                                   kWidth, kWidth, kPitch);
    ASSERT_NE(surfaceDc, nullptr);
    EXPECT_FALSE(DeleteDC(surfaceDc)) << "a surface's context goes back through the surface";
    ASSERT_TRUE(BitBlt(surfaceDc, -1, 2, 10, 10, dc, 3, -2, SRCCOPY));
    EXPECT_FALSE(BitBlt(surfaceDc, 0, 0, 2, 2, dc, 0, 0, 0x00EE0086)) << "only SRCCOPY";
    for (int y = 0; y < kWidth; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int sx = x + 4, sy = y - 4;
            const uint32_t want = sx < kSize && sy >= 0 ? source(sx, sy) : 0xABABABABu;
            EXPECT_EQ(surface[y * kPitch / 4 + x], want) << x << "," << y;
        }
        for (int pad = kWidth; pad < kPitch / 4; ++pad)
            ASSERT_EQ(surface[y * kPitch / 4 + pad], 0xABABABABu);
    }
    platform::gdi::ReleaseSurfaceDC(surfaceDc);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
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
    // Transparent text leaves the cell's background as it was.
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    draw(NONANTIALIASED_QUALITY);
    EXPECT_EQ(std::count(bits, bits + 40, 0xEEEEEEEEu), 40) << "the cell's top row";

    SelectObject(dc, previousFont);
    SelectObject(dc, previousBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
