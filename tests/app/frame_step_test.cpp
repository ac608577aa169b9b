#include <gtest/gtest.h>

#include "app_fixture.h"

namespace {

using platform::testing::D3DCall;
using platform::testing::FailD3DCall;
using platform::testing::LastPresentedFrame;
using platform::testing::LoseDevice;
using platform::testing::PresentCount;
using platform::testing::RestoreLostDevice;
using FrameStep = AppFixture;

constexpr uint32_t kClearColour = 0xFF8080FF;

TEST_F(FrameStep, RenderingClearsTheFrameToTheBackgroundColour) {
    ASSERT_TRUE(Create());
    const int presents = PresentCount();
    EXPECT_FALSE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents + 1);
    EXPECT_TRUE(sleeps.empty()) << "rendering never sleeps";

    const platform::testing::Frame frame = LastPresentedFrame();
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    // Right of and below the board nothing else is drawn.
    EXPECT_EQ(frame.At(639, 479), kClearColour);
    EXPECT_EQ(frame.At(500, 240), kClearColour);
    EXPECT_EQ(frame.At(639, 0), kClearColour);
    EXPECT_EQ(frame.At(8, 479), kClearColour);
}

TEST_F(FrameStep, LostDevicePollsEveryHundredMillisecondsAndRecoversOneStepAfterTheReset) {
    ASSERT_TRUE(Create());
    LoseDevice(app.device);
    app.FrameStep();
    ASSERT_TRUE(app.deviceLost) << "Present reported the loss";
    const int presents = PresentCount();

    app.FrameStep();
    app.FrameStep();
    EXPECT_EQ(sleeps, (std::vector<DWORD>{100, 100}));
    EXPECT_EQ(PresentCount(), presents) << "nothing is drawn while lost";
    EXPECT_TRUE(app.deviceLost);

    RestoreLostDevice(app.device);
    app.FrameStep();
    EXPECT_EQ(CountDebugLines(L"Lost And Found\n"), 1);
    EXPECT_TRUE(app.deviceLost) << "the reset step does not render";
    EXPECT_EQ(PresentCount(), presents);

    app.FrameStep();
    EXPECT_FALSE(app.deviceLost);
    EXPECT_EQ(PresentCount(), presents + 1);
    EXPECT_EQ(sleeps.size(), 4u);
    EXPECT_EQ(LastPresentedFrame().At(639, 479), kClearColour);
    EXPECT_EQ(CountDebugLines(L"Lost And Found\n"), 1);
}

TEST_F(FrameStep, FailedRecoveryResetIsSilentAndRetried) {
    ASSERT_TRUE(Create());
    LoseDevice(app.device);
    app.FrameStep();
    RestoreLostDevice(app.device);
    FailD3DCall(D3DCall::Reset, D3DERR_DEVICELOST);
    app.FrameStep();
    EXPECT_EQ(CountDebugLines(L"Lost And Found\n"), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(app.deviceLost);

    app.FrameStep();
    EXPECT_EQ(CountDebugLines(L"Lost And Found\n"), 1);
    app.FrameStep();
    EXPECT_FALSE(app.deviceLost);
}

TEST_F(FrameStep, FailedToggleStopsRenderingUntilAnotherEnterSucceeds) {
    ASSERT_TRUE(Create());
    FailD3DCall(D3DCall::Reset, D3DERR_INVALIDCALL);
    Press(VK_RETURN);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"FAIL");
    EXPECT_EQ(boxes[0].caption, L"FAIL");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(app.resetFailed);
    EXPECT_FALSE(app.presentParams.Windowed) << "the new mode is kept";

    const int presents = PresentCount();
    EXPECT_FALSE(app.FrameStep());
    EXPECT_FALSE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents);
    EXPECT_TRUE(sleeps.empty()) << "the stopped state spins without sleeping";

    Press(VK_RETURN);
    EXPECT_FALSE(app.resetFailed);
    EXPECT_TRUE(app.presentParams.Windowed);
    app.FrameStep();
    EXPECT_EQ(PresentCount(), presents + 1);
    EXPECT_EQ(LastPresentedFrame().At(639, 479), kClearColour);
}

TEST_F(FrameStep, ToggleWhileLostFailsAndTheLaterToggleReturnsToPolling) {
    ASSERT_TRUE(Create());
    LoseDevice(app.device);
    app.FrameStep();
    Press(VK_RETURN);
    EXPECT_TRUE(app.resetFailed);
    EXPECT_EQ(boxes.size(), 1u);

    RestoreLostDevice(app.device);
    Press(VK_RETURN);
    EXPECT_FALSE(app.resetFailed);
    EXPECT_TRUE(app.deviceLost) << "the lost flag survives the toggle";
    app.FrameStep();
    EXPECT_FALSE(app.deviceLost);
    EXPECT_EQ(sleeps, (std::vector<DWORD>{100}));
}

}  // namespace
