#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "test_window.h"

namespace {

using win32_test::PushWindowEvent;
using win32_test::RecordingClass;

constexpr DWORD kGameStyle = 0x10CB0000;

auto Place(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

RECT Adjusted(DWORD style) {
    RECT rect{0, 0, 640, 480};
    AdjustWindowRect(&rect, style, FALSE);
    return rect;
}

// The program sizes its window with AdjustWindowRect and relies on getting a
// client area of exactly 640 x 480, as the model and as the window system see it.
TEST(WindowGeometry, AdjustedSizeGivesAnExactClientArea) {
    const RECT popup = Adjusted(WS_POPUP);
    EXPECT_EQ(std::tuple(popup.left, popup.top, popup.right, popup.bottom), std::tuple(0, 0, 640, 480));
    const RECT frame = Adjusted(kGameStyle);
    EXPECT_LT(frame.top, frame.left) << "the caption sits above the client area";
    EXPECT_LT(frame.left, 0);
    EXPECT_EQ(-frame.left, frame.right - 640) << "side borders are equal";
    EXPECT_GT(frame.bottom, 480);
    EXPECT_FALSE(AdjustWindowRect(nullptr, kGameStyle, FALSE));

    RecordingClass windowClass;
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    const HWND hwnd = windowClass.Create(kGameStyle, CW_USEDEFAULT, CW_USEDEFAULT, width, height);
    ASSERT_NE(hwnd, nullptr);
    RECT client{};
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(std::tuple(client.left, client.top, client.right, client.bottom), std::tuple(0, 0, 640, 480));
    const SIZE shown = platform::testing::GetClientSize(hwnd);
    EXPECT_EQ(std::tuple(shown.cx, shown.cy), std::tuple(640, 480));
    EXPECT_EQ(std::get<2>(Place(hwnd)), width);
    EXPECT_EQ(std::get<3>(Place(hwnd)), height);
}

// The moves and style changes of the full-screen toggle.
TEST(WindowGeometry, SetWindowPosMovesAndSizesTheOuterRectangle) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, 100, 50, 400, 300);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Place(hwnd), std::tuple(100, 50, 400, 300));
    ASSERT_TRUE(SetWindowPos(hwnd, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(Place(hwnd), std::tuple(30, 40, 400, 300));
    ASSERT_TRUE(SetWindowPos(hwnd, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(Place(hwnd), std::tuple(30, 40, 500, 350));

    // Dropping the frame leaves the outer rectangle; the client area fills it.
    SetWindowLongW(hwnd, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(std::tuple(client.right, client.bottom), std::tuple(500, 350));
    EXPECT_FALSE(SetWindowPos(nullptr, nullptr, 0, 0, 0, 0, 0));
    EXPECT_FALSE(GetWindowRect(nullptr, &client));
}

// The user may drag the window: such moves reach the model, but the echo of the
// layer's own placement must not undo a SetWindowPos (the toggle's restore).
TEST(WindowGeometry, WindowManagerMovesReachTheModelButEchoesDoNot) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, 100, 100, 300, 200);
    ASSERT_NE(hwnd, nullptr);
    SetWindowPos(hwnd, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PushWindowEvent(hwnd, SDL_WINDOWEVENT_MOVED, 500, 500);  // a stale report from before the move
    win32_test::DrainQueue();
    EXPECT_EQ(Place(hwnd), std::tuple(40, 50, 300, 200));

    SDL_Delay(600);  // past the time the layer's own placement may still echo
    PushWindowEvent(hwnd, SDL_WINDOWEVENT_MOVED, 200, 150);
    win32_test::DrainQueue();
    const RECT frame = Adjusted(kGameStyle);
    EXPECT_EQ(Place(hwnd), std::tuple(200 + frame.left, 150 + frame.top, 300, 200)) << "reported: the client corner";
}

// A full-screen device is lost while its window is unfocused or minimised.
TEST(WindowActivity, FocusAndMinimiseEventsDecideWhetherTheWindowIsActive) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, 0, 0, 200, 200);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(platform::win32::IsWindowActive(hwnd));
    const Uint8 events[] = {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_MINIMIZED,
                            SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_MAXIMIZED};
    const bool active[] = {false, true, false, true, false, true};
    for (int i = 0; i < 6; ++i) {
        PushWindowEvent(hwnd, events[i]);
        win32_test::DrainQueue();
        EXPECT_EQ(platform::win32::IsWindowActive(hwnd), active[i]) << "event " << i;
    }
    EXPECT_FALSE(platform::win32::IsWindowActive(nullptr));
}

}  // namespace
