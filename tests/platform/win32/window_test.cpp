#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "test_window.h"

namespace {

using win32_test::messageLog;
using win32_test::LoggedMessages;
using win32_test::RecordingClass;

constexpr UINT kWmGetMinMaxInfo = 0x0024;
constexpr DWORD kGameStyle = 0x10CB0000;

bool Shown(HWND hwnd) {
    return (SDL_GetWindowFlags(platform::win32::SdlWindowOf(hwnd)) & SDL_WINDOW_SHOWN) != 0;
}

TEST(WindowClass, NamesAreRegisteredOnceAndIgnoreCase) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"ClassRules";
    EXPECT_NE(RegisterClassExW(&wc), 0);
    EXPECT_EQ(RegisterClassExW(&wc), 0) << "what makes a second Create of the program fail";
    EXPECT_TRUE(UnregisterClassW(L"CLASSRULES", nullptr));
    EXPECT_EQ(CreateWindowExW(0, L"ClassRules", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_NE(RegisterClassExW(&wc), 0) << "free again";
    EXPECT_TRUE(UnregisterClassW(L"ClassRules", nullptr));
}

// The program binds its object at WM_NCCREATE; the one message before it finds no binding.
TEST(WindowCreation, SendsCreationMessagesWithTheParameterBeforeReturning) {
    RecordingClass windowClass;
    int owner = 0;
    const HWND hwnd = windowClass.Create(WS_OVERLAPPED | WS_CAPTION, 10, 20, 300, 200, &owner);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_GE(messageLog.size(), 3u);
    const auto entry = [](size_t i) {
        return std::tuple(messageLog[i].hwnd, messageLog[i].message, messageLog[i].userDataAtArrival);
    };
    EXPECT_EQ(entry(0), std::tuple(hwnd, kWmGetMinMaxInfo, LONG_PTR{0}));
    EXPECT_EQ(entry(1), std::tuple(hwnd, UINT{WM_NCCREATE}, LONG_PTR{0}));
    EXPECT_EQ(entry(2), std::tuple(hwnd, UINT{WM_CREATE}, reinterpret_cast<LONG_PTR>(&owner)));
    EXPECT_FALSE(Shown(hwnd)) << "without WS_VISIBLE the window stays hidden";

    const HWND visible = windowClass.Create(kGameStyle, CW_USEDEFAULT, CW_USEDEFAULT, 646, 509);
    ASSERT_NE(visible, nullptr);
    EXPECT_TRUE(Shown(visible));
    EXPECT_TRUE(platform::win32::IsWindowActive(visible));
    EXPECT_EQ(GetForegroundWindow(), visible);
}

// The program's close box: the default handling of WM_CLOSE destroys the window.
TEST(WindowDestruction, CloseDestroysTheWindowAndForgetsEverythingAboutIt) {
    RecordingClass windowClass;
    const HWND hwnd = windowClass.Create(WS_POPUP, 0, 0, 64, 64);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(DefWindowProcW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    PostMessageW(hwnd, WM_NULL, 0, 0);
    messageLog.clear();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
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

    EXPECT_EQ(static_cast<DWORD>(SetWindowLongW(hwnd, GWL_STYLE, kGameStyle)), DWORD{WS_POPUP});
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE), static_cast<LONG>(kGameStyle));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 12345), 0);
    EXPECT_EQ(GetWindowLongPtrW(nullptr, GWLP_USERDATA), 0);
}

}  // namespace
