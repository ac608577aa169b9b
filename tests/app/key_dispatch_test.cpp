#include <gtest/gtest.h>

#include "app_fixture.h"

namespace {

using KeyDispatch = AppFixture;

TEST_F(KeyDispatch, ArrowsAndSpaceReachTheSceneAndAutoRepeatActsEachTime) {
    ASSERT_TRUE(Create());
    Press(VK_SPACE);
    EXPECT_EQ(app.scene.selected, 1) << "the cursor starts on the piece";
    Press(VK_RIGHT);
    Press(VK_DOWN);
    EXPECT_EQ(app.scene.cursorCol, 1);
    EXPECT_EQ(app.scene.cursorRow, 1);
    for (int i = 0; i < 10; ++i) {
        Press(VK_RIGHT, true);
    }
    EXPECT_EQ(app.scene.cursorCol, 6) << "held key walks the cursor to the edge";
    Press(VK_LEFT);
    Press(VK_UP);
    EXPECT_EQ(app.scene.cursorCol, 5);
    EXPECT_EQ(app.scene.cursorRow, 0);
}

TEST_F(KeyDispatch, F1WritesExactlyOneDebugLine) {
    ASSERT_TRUE(Create());
    const size_t before = debugLines.size();
    Press(VK_F1);
    ASSERT_EQ(debugLines.size(), before + 1);
    EXPECT_EQ(debugLines.back(), L"x\n");
    Press(VK_F1, true);
    EXPECT_EQ(CountDebugLines(L"x\n"), 2);
}

TEST_F(KeyDispatch, EscapeQuitsWithoutDestroyingTheWindow) {
    ASSERT_TRUE(Create());
    Press(VK_ESCAPE);
    EXPECT_TRUE(app.quit);
    EXPECT_TRUE(IsWindow(app.hwnd));
}

TEST_F(KeyDispatch, EnterTogglesAndEachRepeatTogglesAgain) {
    ASSERT_TRUE(Create());
    Press(VK_RETURN);
    EXPECT_FALSE(app.presentParams.Windowed);
    Press(VK_RETURN, true);
    EXPECT_TRUE(app.presentParams.Windowed);
    EXPECT_FALSE(app.resetFailed);
}

TEST_F(KeyDispatch, SystemKeysAndUnlistedKeysDoNothing) {
    ASSERT_TRUE(Create());
    const size_t linesBefore = debugLines.size();
    const UINT messages[] = {WM_SYSKEYDOWN, WM_KEYUP, WM_CHAR};
    const WPARAM keys[] = {VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_SPACE, VK_F1};
    for (UINT message : messages) {
        for (WPARAM key : keys) {
            PostMessageW(app.hwnd, message, key, LPARAM{1} << 29);
        }
    }
    Press(VK_F2);
    Press('A');
    Pump();
    EXPECT_TRUE(app.presentParams.Windowed);
    EXPECT_FALSE(app.quit);
    EXPECT_EQ(app.scene.cursorCol, 0);
    EXPECT_EQ(app.scene.selected, 0);
    EXPECT_EQ(debugLines.size(), linesBefore);
    EXPECT_TRUE(IsWindow(app.hwnd));
}

TEST_F(KeyDispatch, BoardKeysActWhileRenderingIsStopped) {
    ASSERT_TRUE(Create());
    platform::testing::FailD3DCall(platform::testing::D3DCall::Reset, D3DERR_INVALIDCALL);
    Press(VK_RETURN);
    ASSERT_TRUE(app.resetFailed);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    EXPECT_EQ(app.scene.cursorCol, 1);
    EXPECT_EQ(app.scene.cursorRow, 1);
}

TEST_F(KeyDispatch, TheWindowIsBoundThroughThePointerSizedSlot) {
    ASSERT_TRUE(Create());
    EXPECT_EQ(GetWindowLongPtrW(app.hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&app));
}

// A window whose slot is still empty gets the default handling: here WM_CLOSE
// destroys it instead of reaching any AppWindow.
TEST_F(KeyDispatch, MessagesWithoutABoundObjectGetTheDefaultHandling) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"Unbound";
    ASSERT_NE(RegisterClassExW(&windowClass), 0);
    const HWND unbound =
        CreateWindowExW(0, L"Unbound", L"", WS_POPUP, 0, 0, 32, 32, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(unbound, nullptr);
    EXPECT_EQ(WindowProc(unbound, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    WindowProc(unbound, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(unbound));
    UnregisterClassW(L"Unbound", nullptr);
}

}  // namespace
