#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include <vector>

#include "gdi/surface_dc.h"
#include "gdi_test_helpers.h"

namespace {

using gdi_test::ReadPixel;

// A bottom-up section in a memory context, each pixel holding its own position.
class BlitSourceTest : public ::testing::Test {
protected:
    static constexpr int kSize = 8;

    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        bitmap = gdi_test::MakeSection(kSize, kSize, &bits);
        previous = SelectObject(dc, bitmap);
        for (int memoryRow = 0; memoryRow < kSize; ++memoryRow) {
            for (int x = 0; x < kSize; ++x) {
                uint8_t* pixel = bits + (memoryRow * kSize + x) * 4;
                const int imageRow = kSize - 1 - memoryRow;
                pixel[0] = static_cast<uint8_t>(x);
                pixel[1] = static_cast<uint8_t>(imageRow);
                pixel[2] = 0x77;
                pixel[3] = static_cast<uint8_t>(0x80 + x + imageRow);
            }
        }
    }
    void TearDown() override {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    static uint32_t Expected(int x, int imageRow) {
        return static_cast<uint32_t>(x) | static_cast<uint32_t>(imageRow) << 8 | 0x770000u |
               static_cast<uint32_t>(0x80 + x + imageRow) << 24;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint8_t* bits = nullptr;
};

TEST_F(BlitSourceTest, CopiesAllFourBytesUprightIntoAPaddedSurface) {
    const int pitch = kSize * 4 + 12;
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * kSize, 0xAB);
    const auto before = platform::testing::CountGdiLiveObjects();
    HDC surfaceDc = platform::gdi::CreateSurfaceDC(surface.data(), kSize, kSize, pitch);
    ASSERT_NE(surfaceDc, nullptr);
    EXPECT_EQ(platform::testing::CountGdiLiveObjects().deviceContexts, before.deviceContexts + 1);
    EXPECT_FALSE(DeleteDC(surfaceDc)) << "a surface's context goes back through the surface";

    ASSERT_TRUE(BitBlt(surfaceDc, 0, 0, kSize, kSize, dc, 0, 0, SRCCOPY));
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) ASSERT_EQ(ReadPixel(&surface[y * pitch + x * 4]), Expected(x, y)) << x << "," << y;
        for (int pad = kSize * 4; pad < pitch; ++pad) ASSERT_EQ(surface[y * pitch + pad], 0xAB);
    }
    platform::gdi::ReleaseSurfaceDC(surfaceDc);
    EXPECT_EQ(platform::testing::CountGdiLiveObjects().deviceContexts, before.deviceContexts);
}

TEST_F(BlitSourceTest, ClipsToBothContextsKeepingCornersInStep) {
    std::vector<uint8_t> surface(4 * 4 * 4, 0);
    HDC surfaceDc = platform::gdi::CreateSurfaceDC(surface.data(), 4, 4, 16);
    // Destination starts off the left/top edge, source runs past its right/bottom edge.
    ASSERT_TRUE(BitBlt(surfaceDc, -1, -2, 10, 10, dc, 5, 4, SRCCOPY));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int sx = x + 1 + 5;
            const int sy = y + 2 + 4;
            const uint32_t want = sx < kSize && sy < kSize ? Expected(sx, sy) : 0u;
            EXPECT_EQ(ReadPixel(&surface[(y * 4 + x) * 4]), want) << x << "," << y;
        }
    }
    platform::gdi::ReleaseSurfaceDC(surfaceDc);
}

TEST_F(BlitSourceTest, OverlappingMoveWithinOneContextKeepsSourceRows) {
    ASSERT_TRUE(BitBlt(dc, 0, 1, kSize, kSize - 1, dc, 0, 0, SRCCOPY));
    for (int y = 1; y < kSize; ++y) {
        EXPECT_EQ(ReadPixel(bits + ((kSize - 1 - y) * kSize + 3) * 4), Expected(3, y - 1)) << y;
    }
}

TEST_F(BlitSourceTest, RejectsUnknownContextsAndOtherOperations) {
    std::vector<uint8_t> surface(16, 0);
    HDC surfaceDc = platform::gdi::CreateSurfaceDC(surface.data(), 2, 2, 8);
    EXPECT_FALSE(BitBlt(surfaceDc, 0, 0, 2, 2, dc, 0, 0, 0x00EE0086));
    EXPECT_FALSE(BitBlt(surfaceDc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    for (uint8_t byte : surface) EXPECT_EQ(byte, 0);
    platform::gdi::ReleaseSurfaceDC(surfaceDc);
    EXPECT_EQ(platform::gdi::CreateSurfaceDC(surface.data(), 2, 2, 4), nullptr) << "pitch shorter than a row";
}

}  // namespace
