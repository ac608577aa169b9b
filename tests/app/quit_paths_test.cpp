#include <gtest/gtest.h>

#include "app_fixture.h"

namespace {

using platform::testing::CountD3DLiveObjects;
using platform::testing::PresentCount;
using QuitPaths = AppFixture;

TEST_F(QuitPaths, CloseSetsQuitDestroysTheWindowAndTheNextStepStillRenders) {
    ASSERT_TRUE(Create());
    ASSERT_FALSE(app.FrameStep());
    PostMessageW(app.hwnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(app.quit);
    EXPECT_FALSE(IsWindow(app.hwnd)) << "the default handling of WM_CLOSE destroys the window";

    const int presents = PresentCount();
    EXPECT_TRUE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents + 1);
}

TEST_F(QuitPaths, DestroySetsQuit) {
    ASSERT_TRUE(Create());
    SendMessageW(app.hwnd, WM_DESTROY, 0, 0);
    EXPECT_TRUE(app.quit);
}

TEST_F(QuitPaths, EscapeEndsTheLoopAfterTheCurrentStep) {
    ASSERT_TRUE(Create());
    Press(VK_ESCAPE);
    const int presents = PresentCount();
    EXPECT_TRUE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents + 1);
    EXPECT_TRUE(IsWindow(app.hwnd));
}

TEST_F(QuitPaths, QuitIsNeverClearedAgain) {
    ASSERT_TRUE(Create());
    Press(VK_ESCAPE);
    Press(VK_RETURN);
    Press(VK_RETURN);
    EXPECT_TRUE(app.FrameStep());
    EXPECT_TRUE(app.FrameStep());
}

TEST_F(QuitPaths, ShutdownReleasesEveryDeviceObject) {
    ASSERT_TRUE(Create());
    app.FrameStep();
    Press(VK_RETURN);  // a reset in between must not leak either
    app.FrameStep();
    EXPECT_EQ(CountD3DLiveObjects().devices, 1);

    app.Shutdown();
    EXPECT_EQ(app.device, nullptr);
    EXPECT_EQ(app.d3d, nullptr);
    const auto live = CountD3DLiveObjects();
    EXPECT_EQ(live.direct3d, 0);
    EXPECT_EQ(live.devices, 0);
    EXPECT_EQ(live.textures, 0);
    EXPECT_EQ(live.surfaces, 0);
    EXPECT_EQ(live.vertexBuffers, 0);
}

TEST_F(QuitPaths, FailedDeviceCreationFailsCreateWithOneLineAndShutsDownCleanly) {
    platform::testing::FailD3DCall(platform::testing::D3DCall::CreateDevice, D3DERR_NOTAVAILABLE);
    const int presents = PresentCount();
    EXPECT_FALSE(Create());
    EXPECT_EQ(app.device, nullptr);
    EXPECT_EQ(CountDebugLines(L"CreateDevice Failed\n"), 1);
    EXPECT_EQ(PresentCount(), presents);

    Press(VK_RETURN);  // the window still exists; a key must not reach a null device
    app.Shutdown();
    EXPECT_EQ(CountD3DLiveObjects().direct3d, 0);
}

TEST_F(QuitPaths, MissingDirect3DFailsCreate) {
    platform::testing::FailD3DCall(platform::testing::D3DCall::Direct3DCreate9, E_FAIL);
    EXPECT_FALSE(Create());
    EXPECT_EQ(app.d3d, nullptr);
    EXPECT_EQ(app.device, nullptr);
    app.Shutdown();
}

TEST_F(QuitPaths, ASecondRegistrationOfTheClassFailsCreate) {
    ASSERT_TRUE(Create());
    AppWindow second;
    EXPECT_FALSE(second.Create(GetModuleHandleW(nullptr)));
    EXPECT_EQ(second.hwnd, nullptr);
    second.Shutdown();
}

}  // namespace
