#include "app_fixture.h"

namespace {

using platform::testing::D3DCall;
using platform::testing::FailD3DCall;
using platform::testing::LastPresentedFrame;
using platform::testing::PresentCount;
using FrameStep = AppFixture;

// One more frame was presented, 640 x 480 and cleared to the background colour
// where the board does not reach.
void ExpectOneMoreClearedFrame(int presentsBefore) {
    EXPECT_EQ(PresentCount(), presentsBefore + 1);
    const platform::testing::Frame frame = LastPresentedFrame();
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    const int points[][2] = {{639, 479}, {500, 240}, {639, 0}, {8, 479}};
    for (const auto& p : points) {
        EXPECT_EQ(frame.At(p[0], p[1]), 0xFF8080FFu) << p[0] << "," << p[1];
    }
}

TEST_F(FrameStep, RenderingPresentsAClearedFrameWithoutSleeping) {
    ASSERT_TRUE(Create());
    const int presents = PresentCount();
    EXPECT_FALSE(app.FrameStep());
    ExpectOneMoreClearedFrame(presents);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(FrameStep, LostDevicePollsEveryHundredMillisecondsAndRendersOneStepAfterTheReset) {
    ASSERT_TRUE(Create());
    platform::testing::LoseDevice(app.device);
    app.FrameStep();
    ASSERT_TRUE(app.deviceLost) << "Present reported the loss";
    const int presents = PresentCount();
    app.FrameStep();
    app.FrameStep();
    EXPECT_EQ(sleeps, (std::vector<DWORD>{100, 100}));
    EXPECT_EQ(PresentCount(), presents) << "nothing is drawn while lost";

    platform::testing::RestoreLostDevice(app.device);
    FailD3DCall(D3DCall::Reset, D3DERR_DEVICELOST);
    app.FrameStep();
    EXPECT_EQ(Count(L"Lost And Found\n"), 0) << "a failed reset is silent and retried";
    EXPECT_TRUE(boxes.empty());
    app.FrameStep();
    EXPECT_EQ(Count(L"Lost And Found\n"), 1);
    EXPECT_TRUE(app.deviceLost) << "the reset step does not render";
    EXPECT_EQ(PresentCount(), presents);
    ExpectProgramCamera(app.device);

    app.FrameStep();
    EXPECT_FALSE(app.deviceLost);
    ExpectOneMoreClearedFrame(presents);
    EXPECT_EQ(sleeps.size(), 5u);
    EXPECT_EQ(Count(L"Lost And Found\n"), 1);
}

TEST_F(FrameStep, FailedToggleStopsRenderingUntilAnotherEnterSucceeds) {
    ASSERT_TRUE(Create());
    FailD3DCall(D3DCall::Reset, D3DERR_INVALIDCALL);
    Press(VK_RETURN);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(std::tuple(boxes[0].owner, boxes[0].text, boxes[0].caption, boxes[0].type),
              std::tuple(HWND{}, std::wstring(L"FAIL"), std::wstring(L"FAIL"), UINT{MB_OK}));
    EXPECT_FALSE(app.presentParams.Windowed) << "the new mode is kept";

    const int presents = PresentCount();
    EXPECT_FALSE(app.FrameStep());
    EXPECT_FALSE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents);
    EXPECT_TRUE(sleeps.empty()) << "the stopped state spins without sleeping";
    Press(VK_RIGHT);
    EXPECT_EQ(app.scene.cursorCol, 1) << "board keys still act";

    Press(VK_RETURN);
    EXPECT_TRUE(app.presentParams.Windowed);
    app.FrameStep();
    ExpectOneMoreClearedFrame(presents);
}

TEST_F(FrameStep, ToggleRestoresStylePlaceClientAreaBackBufferAndCamera) {
    ASSERT_TRUE(Create());
    const LONG windowedStyle = 0x10CB0000;
    const auto expectMode = [&](bool fullScreen, LONG style) {
        ASSERT_FALSE(app.resetFailed);
        EXPECT_EQ(platform::testing::IsWindowFullScreen(app.hwnd), fullScreen);
        EXPECT_EQ(GetWindowLongW(app.hwnd, GWL_STYLE), style);
        EXPECT_EQ(app.presentParams.BackBufferWidth, 640u) << "written back by the device when windowed";
        EXPECT_EQ(app.presentParams.BackBufferHeight, 480u);
        ExpectProgramCamera(app.device);
        const int presents = PresentCount();
        app.FrameStep();
        ExpectOneMoreClearedFrame(presents);
        if (!fullScreen) {
            RECT client{};  // as the model and as the window system see it
            GetClientRect(app.hwnd, &client);
            const SIZE shown = platform::testing::GetClientSize(app.hwnd);
            EXPECT_EQ(std::tuple(client.right, client.bottom, shown.cx, shown.cy), std::tuple(640, 480, 640, 480));
        }
    };
    expectMode(false, windowedStyle);
    SetWindowPos(app.hwnd, nullptr, 57, 33, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before{};
    GetWindowRect(app.hwnd, &before);

    Press(VK_RETURN);
    expectMode(true, static_cast<LONG>(WS_POPUP));
    Press(VK_RETURN);
    expectMode(false, windowedStyle);
    RECT after{};
    GetWindowRect(app.hwnd, &after);
    EXPECT_EQ(std::tuple(after.left, after.top, after.right, after.bottom),
              std::tuple(before.left, before.top, before.right, before.bottom));
}

}  // namespace
