#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <vector>

#include "gdi/surface_dc.h"
#include "gdi_test_helpers.h"

namespace {

using gdi_test::MakeSection;
using gdi_test::ReadPixel;
using platform::testing::CountGdiLiveObjects;

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

}  // namespace
