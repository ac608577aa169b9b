#include <gtest/gtest.h>
#include <platform_testing.h>
#include <windows.h>

#include "gdi_test_helpers.h"

namespace {

using platform::testing::CountGdiLiveObjects;
using platform::testing::GdiCall;

class DeviceContextTest : public ::testing::Test {
protected:
    void TearDown() override { platform::testing::ClearGdiFailures(); }
};

TEST_F(DeviceContextTest, SelectReturnsDisplacedObjectAndCountsFollowLifetimes) {
    const auto before = CountGdiLiveObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_EQ(CountGdiLiveObjects().deviceContexts, before.deviceContexts + 1);
    EXPECT_EQ(CountGdiLiveObjects().brushes, before.brushes + 2);

    HGDIOBJ stock = SelectObject(dc, first);
    ASSERT_NE(stock, nullptr);
    EXPECT_NE(stock, first);
    EXPECT_EQ(SelectObject(dc, second), first);
    EXPECT_EQ(SelectObject(dc, stock), second);

    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_FALSE(DeleteObject(second)) << "a deleted handle is no longer valid";
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    const auto after = CountGdiLiveObjects();
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
    EXPECT_EQ(after.brushes, before.brushes);
}

TEST_F(DeviceContextTest, SelectedObjectCannotBeDeletedUntilDeselectedOrContextGone) {
    HDC dc = CreateCompatibleDC(nullptr);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = gdi_test::MakeSection(4, 4, &bits);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteObject(bitmap));

    HBRUSH brush = CreateSolidBrush(0);
    SelectObject(dc, brush);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(brush)) << "deleting the context releases its selections";
}

TEST_F(DeviceContextTest, BitmapLivesInOneContextAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = gdi_test::MakeSection(2, 2, &bits);
    HGDIOBJ firstPrevious = SelectObject(first, bitmap);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    SelectObject(first, firstPrevious);
    HGDIOBJ secondPrevious = SelectObject(second, bitmap);
    EXPECT_NE(secondPrevious, nullptr);
    SelectObject(second, secondPrevious);
    DeleteObject(bitmap);
    DeleteDC(first);
    DeleteDC(second);
}

TEST_F(DeviceContextTest, AttributeSettersReturnPreviousValues) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetTextColor(dc, RGB(255, 255, 255)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(dc, 0), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
    DeleteDC(dc);

    HDC stale = dc;
    EXPECT_EQ(SetTextColor(stale, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(stale, OPAQUE), 0);
}

TEST_F(DeviceContextTest, InjectedFailureHitsOnlyTheCountedCalls) {
    platform::testing::FailGdiCall(GdiCall::CreateCompatibleDC, 1);
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_NE(dc, nullptr);
    DeleteDC(dc);

    platform::testing::FailGdiCall(GdiCall::CreateDIBSection, -1);
    uint8_t* bits = reinterpret_cast<uint8_t*>(&dc);
    EXPECT_EQ(gdi_test::MakeSection(8, 8, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(gdi_test::MakeSection(8, 8, &bits), nullptr);
    platform::testing::ClearGdiFailures();
    HBITMAP bitmap = gdi_test::MakeSection(8, 8, &bits);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
}

}  // namespace
