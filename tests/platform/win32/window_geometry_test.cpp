#include <windows.h>

#include <platform_testing.h>

#include <gtest/gtest.h>

#include <SDL.h>

#include "test_window.h"
#include "win32/window_bridge.h"

namespace {

using platform::testing::GetClientSize;
using win32_test::RecordingClass;

constexpr DWORD kGameStyle = 0x10CB0000;

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

RECT Adjusted(DWORD style, BOOL menu = FALSE) {
    RECT rect{0, 0, 640, 480};
    AdjustWindowRect(&rect, style, menu);
    return rect;
}

TEST(AdjustWindowRect, FrameDependsOnTheStyleOnly) {
    const RECT popup = Adjusted(WS_POPUP);
    EXPECT_EQ(popup.left, 0);
    EXPECT_EQ(popup.top, 0);
    EXPECT_EQ(popup.right, 640);
    EXPECT_EQ(popup.bottom, 480);

    const RECT game = Adjusted(kGameStyle);
    EXPECT_LT(game.left, 0);
    EXPECT_LT(game.top, game.left) << "the caption sits above the client area";
    EXPECT_GT(game.right, 640);
    EXPECT_GT(game.bottom, 480);
    EXPECT_EQ(-game.left, game.right - 640) << "side borders are equal";

    const RECT sizable = Adjusted(WS_OVERLAPPEDWINDOW);
    EXPECT_GT(Width(sizable), Width(game)) << "a sizing border is thicker than a fixed one";
    EXPECT_GT(Height(Adjusted(kGameStyle, TRUE)), Height(game)) << "a menu bar adds height";
    EXPECT_FALSE(AdjustWindowRect(nullptr, kGameStyle, FALSE));
}

TEST(WindowGeometry, AdjustedSizeGivesAnExactClientArea) {
    RecordingClass windowClass;
    const RECT adjusted = Adjusted(kGameStyle);
    const HWND hwnd = windowClass.Create(kGameStyle, CW_USEDEFAULT, CW_USEDEFAULT, Width(adjusted), Height(adjusted));
    ASSERT_NE(hwnd, nullptr);

    RECT client{};
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(GetClientSize(hwnd).cx, 640);
    EXPECT_EQ(GetClientSize(hwnd).cy, 480);

    int width = 0;
    int height = 0;
    SDL_GetWindowSize(platform::win32::SdlWindowOf(hwnd), &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);

    RECT window{};
    ASSERT_TRUE(GetWindowRect(hwnd, &window));
    EXPECT_EQ(Width(window), Width(adjusted));
    EXPECT_EQ(Height(window), Height(adjusted));
}

TEST(WindowGeometry, SetWindowPosMovesAndSizesTheOuterRectangle) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, 100, 50, 400, 300);
    ASSERT_NE(hwnd, nullptr);
    RECT window{};
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 50);

    ASSERT_TRUE(SetWindowPos(hwnd, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, 30);
    EXPECT_EQ(window.top, 40);
    EXPECT_EQ(Width(window), 400);
    EXPECT_EQ(Height(window), 300);

    ASSERT_TRUE(SetWindowPos(hwnd, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER));
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, 30);
    EXPECT_EQ(Width(window), 500);

    // Dropping the frame leaves the outer rectangle; the client area fills it.
    SetWindowLongW(hwnd, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 350);

    EXPECT_FALSE(SetWindowPos(nullptr, nullptr, 0, 0, 0, 0, 0));
    EXPECT_FALSE(GetWindowRect(nullptr, &window));
}

// The window manager may move the window (the user drags it); such moves reach the
// model, but the echo of the layer's own placement does not undo a SetWindowPos.
TEST(WindowGeometry, WindowManagerMovesReachTheModelButEchoesDoNot) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, 100, 100, 300, 200);
    ASSERT_NE(hwnd, nullptr);
    SDL_Event moved{};
    moved.type = SDL_WINDOWEVENT;
    moved.window.event = SDL_WINDOWEVENT_MOVED;
    moved.window.windowID = SDL_GetWindowID(platform::win32::SdlWindowOf(hwnd));

    SetWindowPos(hwnd, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    moved.window.data1 = 500;  // a stale report from before the move
    moved.window.data2 = 500;
    SDL_PushEvent(&moved);
    win32_test::DrainQueue();
    RECT window{};
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 50);

    SDL_Delay(600);  // past the time the layer's own placement may still echo
    moved.window.data1 = 200;
    moved.window.data2 = 150;
    SDL_PushEvent(&moved);
    win32_test::DrainQueue();
    const RECT frame = Adjusted(kGameStyle);
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, 200 + frame.left) << "the report is the client area's corner";
    EXPECT_EQ(window.top, 150 + frame.top);
    EXPECT_EQ(Width(window), 300);
}

TEST(WindowActivity, FocusAndMinimiseDecideWhetherTheWindowIsActive) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, 0, 0, 200, 200);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(platform::win32::IsWindowActive(hwnd));

    platform::testing::SetWindowFocus(hwnd, false);
    EXPECT_FALSE(platform::win32::IsWindowActive(hwnd));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    platform::testing::SetWindowFocus(hwnd, true);
    EXPECT_TRUE(platform::win32::IsWindowActive(hwnd));

    platform::testing::SetWindowMinimised(hwnd, true);
    EXPECT_FALSE(platform::win32::IsWindowActive(hwnd));
    EXPECT_TRUE(IsIconic(hwnd));
    platform::testing::SetWindowMinimised(hwnd, false);
    EXPECT_TRUE(platform::win32::IsWindowActive(hwnd));

    // The same state follows the window system's own events.
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(platform::win32::SdlWindowOf(hwnd));
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
    win32_test::DrainQueue();
    EXPECT_FALSE(platform::win32::IsWindowActive(hwnd));
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&event);
    win32_test::DrainQueue();
    EXPECT_TRUE(platform::win32::IsWindowActive(hwnd));

    EXPECT_FALSE(platform::win32::IsWindowActive(nullptr));
}

}  // namespace
