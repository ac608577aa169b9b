#include <gtest/gtest.h>

#include "app_fixture.h"

namespace {

using platform::testing::GetClientSize;
using platform::testing::IsWindowFullScreen;
using platform::testing::LastPresentedFrame;
using Toggle = AppFixture;

constexpr LONG kWindowedStyle = 0x10CB0000;

TEST_F(Toggle, FullScreenAndBackRestoresStylePlaceClientAreaAndBackBuffer) {
    ASSERT_TRUE(Create());
    EXPECT_EQ(app.presentParams.BackBufferWidth, 640u) << "the device wrote the client size back";
    EXPECT_EQ(app.presentParams.BackBufferHeight, 480u);
    EXPECT_EQ(GetClientSize(app.hwnd).cx, 640);
    EXPECT_EQ(GetClientSize(app.hwnd).cy, 480);
    EXPECT_EQ(GetWindowLongW(app.hwnd, GWL_STYLE), kWindowedStyle);

    SetWindowPos(app.hwnd, nullptr, 57, 33, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before{};
    GetWindowRect(app.hwnd, &before);

    Press(VK_RETURN);
    ASSERT_FALSE(app.resetFailed);
    EXPECT_TRUE(IsWindowFullScreen(app.hwnd));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(app.hwnd, GWL_STYLE)), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(app.savedLeft, 57);
    EXPECT_EQ(app.savedTop, 33);
    EXPECT_EQ(app.presentParams.BackBufferWidth, 640u);
    EXPECT_EQ(app.presentParams.BackBufferHeight, 480u);
    app.FrameStep();
    EXPECT_EQ(LastPresentedFrame().width, 640);
    EXPECT_EQ(LastPresentedFrame().height, 480);

    Press(VK_RETURN);
    ASSERT_FALSE(app.resetFailed);
    EXPECT_FALSE(IsWindowFullScreen(app.hwnd));
    EXPECT_EQ(GetWindowLongW(app.hwnd, GWL_STYLE), kWindowedStyle);
    RECT after{};
    GetWindowRect(app.hwnd, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    RECT client{};
    GetClientRect(app.hwnd, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(GetClientSize(app.hwnd).cx, 640);
    EXPECT_EQ(GetClientSize(app.hwnd).cy, 480);
    EXPECT_EQ(app.presentParams.BackBufferWidth, 640u);
    EXPECT_EQ(app.presentParams.BackBufferHeight, 480u);
    app.FrameStep();
    EXPECT_EQ(LastPresentedFrame().width, 640);
    EXPECT_EQ(LastPresentedFrame().height, 480);
    EXPECT_EQ(LastPresentedFrame().At(639, 479), 0xFF8080FFu);
}

TEST_F(Toggle, EveryResetSetsTheCameraAgain) {
    ASSERT_TRUE(Create());
    Press(VK_RETURN);
    ASSERT_FALSE(app.resetFailed);
    D3DMATRIX projection{};
    app.device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_FLOAT_EQ(projection._11, 1.8106600f);
    EXPECT_FLOAT_EQ(projection._34, 1.0f);
    DWORD lighting = TRUE;
    app.device->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
}

TEST_F(Toggle, FullScreenDeviceIsLostWithTheFocusAndRecoveredAfterwards) {
    ASSERT_TRUE(Create());
    Press(VK_RETURN);
    ASSERT_FALSE(app.resetFailed);
    platform::testing::SetWindowFocus(app.hwnd, false);
    app.FrameStep();
    EXPECT_TRUE(app.deviceLost);
    app.FrameStep();
    EXPECT_TRUE(app.deviceLost) << "still unfocused";

    platform::testing::SetWindowFocus(app.hwnd, true);
    app.FrameStep();
    EXPECT_EQ(CountDebugLines(L"Lost And Found\n"), 1);
    app.FrameStep();
    EXPECT_FALSE(app.deviceLost);
}

}  // namespace
