#include <windows.h>

#include <platform_testing.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SDL.h>

#include "test_window.h"
#include "win32/window_bridge.h"

namespace {

using ::testing::ElementsAre;
using win32_test::Log;
using win32_test::MessagesOf;
using win32_test::RecordingClass;

constexpr UINT kWmGetMinMaxInfo = 0x0024;
constexpr DWORD kGameStyle = 0x10CB0000;

TEST(WindowClass, RegistrationRulesAndUnregister) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"ClassRules";
    const ATOM atom = RegisterClassExW(&wc);
    EXPECT_NE(atom, 0);
    EXPECT_EQ(RegisterClassExW(&wc), 0) << "a name is registered once";

    WNDCLASSEXW wrongSize = wc;
    wrongSize.lpszClassName = L"WrongSize";
    wrongSize.cbSize = 48;  // the 32-bit record's size is not this record's
    EXPECT_EQ(RegisterClassExW(&wrongSize), 0);
    WNDCLASSEXW noProc = wc;
    noProc.lpszClassName = L"NoProc";
    noProc.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassExW(&noProc), 0);

    EXPECT_TRUE(UnregisterClassW(L"CLASSRULES", nullptr)) << "class names ignore case";
    EXPECT_FALSE(UnregisterClassW(L"ClassRules", nullptr));
    EXPECT_EQ(CreateWindowExW(0, L"ClassRules", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST(WindowCreation, SendsCreationMessagesWithTheParameterBeforeReturning) {
    RecordingClass windowClass;
    int owner = 0;
    const HWND hwnd = windowClass.Create(WS_OVERLAPPED | WS_CAPTION, 10, 20, 300, 200, &owner);
    ASSERT_NE(hwnd, nullptr);

    const auto& log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].message, kWmGetMinMaxInfo);
    EXPECT_EQ(log[0].userDataAtArrival, 0) << "no binding exists before WM_NCCREATE";
    EXPECT_EQ(log[1].message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(log[1].hwnd, hwnd);
    EXPECT_EQ(log[2].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(log[2].userDataAtArrival, reinterpret_cast<LONG_PTR>(&owner));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&owner));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(SDL_GetWindowFlags(platform::win32::SdlWindowOf(hwnd)) & SDL_WINDOW_SHOWN, 0u)
        << "without WS_VISIBLE the window stays hidden";
}

LRESULT CALLBACK RefusingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({hwnd, message, wParam, lParam, 0});
    return message == WM_CREATE ? -1 : DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(WindowCreation, RefusedCreationDestroysTheWindowAndFails) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RefusingProc;
    wc.lpszClassName = L"Refusing";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    Log().clear();
    EXPECT_EQ(CreateWindowExW(0, L"Refusing", L"", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr), nullptr);
    const std::vector<UINT> messages = MessagesOf(Log());
    EXPECT_THAT(messages, ElementsAre(kWmGetMinMaxInfo, static_cast<UINT>(WM_NCCREATE),
                                      static_cast<UINT>(WM_CREATE), static_cast<UINT>(WM_DESTROY),
                                      static_cast<UINT>(WM_NCDESTROY)));
    UnregisterClassW(L"Refusing", nullptr);
}

TEST(WindowCreation, VisibleStyleShowsAndFocusesTheWindow) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(kGameStyle, CW_USEDEFAULT, CW_USEDEFAULT, 646, 509);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(platform::win32::SdlWindowOf(hwnd)) & SDL_WINDOW_SHOWN, 0u);
    EXPECT_TRUE(platform::win32::IsWindowActive(hwnd));
    EXPECT_EQ(GetForegroundWindow(), hwnd);
}

TEST(WindowDestruction, SendsDestroyThenNcDestroyAndForgetsTheHandle) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(WS_POPUP, 0, 0, 64, 64);
    ASSERT_NE(hwnd, nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
    Log().clear();

    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_THAT(MessagesOf(Log()), ElementsAre(static_cast<UINT>(WM_DESTROY), static_cast<UINT>(WM_NCDESTROY)));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(platform::win32::SdlWindowOf(hwnd), nullptr);
    EXPECT_TRUE(win32_test::DrainQueue().empty()) << "a destroyed window's posted messages are dropped";
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
}

TEST(WindowLongs, PointerSizedSlotKeepsAPointerTheThirtyTwoBitOneTruncates) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(WS_POPUP, 0, 0, 64, 64);
    ASSERT_NE(hwnd, nullptr);

    const LONG_PTR pointer = static_cast<LONG_PTR>(0x00007FFD12345678);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, pointer), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), pointer);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_USERDATA), 0x12345678);
    EXPECT_EQ(SetWindowLongW(hwnd, GWL_USERDATA, 7), 0x12345678);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 7);

    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(static_cast<DWORD>(SetWindowLongW(hwnd, GWL_STYLE, kGameStyle)), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE), static_cast<LONG>(kGameStyle));

    EXPECT_EQ(GetWindowLongPtrW(hwnd, 12345), 0);
    EXPECT_EQ(GetWindowLongPtrW(nullptr, GWLP_USERDATA), 0);
}

TEST(DefaultHandling, CloseDestroysTheWindowOtherMessagesReturnZero) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(WS_POPUP, 0, 0, 64, 64);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(DefWindowProcW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd));
    Log().clear();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_THAT(MessagesOf(Log()), ElementsAre(static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_DESTROY),
                                               static_cast<UINT>(WM_NCDESTROY)));
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
