#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SDL.h>

#include "test_window.h"
#include "win32/window_bridge.h"

namespace {

using win32_test::DrainQueue;
using win32_test::Log;
using win32_test::RecordingClass;

constexpr UINT kUserMessage = 0x0400;

TEST(MessageQueue, PostedMessagesComeBackInOrderAndOnlyOnceWithRemove) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(WS_POPUP, 0, 0, 32, 32);
    ASSERT_NE(hwnd, nullptr);
    DrainQueue();

    ASSERT_TRUE(PostMessageW(hwnd, kUserMessage, 1, 10));
    ASSERT_TRUE(PostMessageW(hwnd, kUserMessage + 1, 2, 20));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, kUserMessage);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, kUserMessage);
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.lParam, 10);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x1234), kUserMessage, 0, 0)) << "unknown window";
}

TEST(MessageQueue, FiltersSelectByWindowAndRange) {
    RecordingClass windowClass;
    const HWND first = windowClass.Create(WS_POPUP, 0, 0, 32, 32);
    const HWND second = windowClass.Create(WS_POPUP, 40, 0, 32, 32);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    DrainQueue();

    PostMessageW(first, kUserMessage, 0, 0);
    PostMessageW(second, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(nullptr, kUserMessage + 5, 0, 0);

    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(PeekMessageW(&msg, second, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) << "thread messages only";
    EXPECT_EQ(msg.message, kUserMessage + 5);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, kUserMessage, kUserMessage, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, first);
}

TEST(MessageQueue, CloseBoxBecomesWmCloseForItsWindow) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(WS_POPUP, 0, 0, 32, 32);
    ASSERT_NE(hwnd, nullptr);
    DrainQueue();

    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(platform::win32::SdlWindowOf(hwnd));
    SDL_PushEvent(&event);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);

    const std::vector<MSG> messages = DrainQueue();
    ASSERT_EQ(messages.size(), 1u) << "SDL's quit event adds nothing to the close";
    EXPECT_EQ(messages[0].hwnd, hwnd);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_TRUE(IsWindow(hwnd)) << "closing is the window procedure's decision";
}

}  // namespace
