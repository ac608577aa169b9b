#include "app_fixture.h"

namespace {

using platform::testing::CountD3DLiveObjects;
using platform::testing::D3DCall;
using platform::testing::PresentCount;
using KeyDispatch = AppFixture;

TEST_F(KeyDispatch, EveryKeyOfTheTableDoesItsActionAlsoOnAutoRepeat) {
    ASSERT_TRUE(Create());
    EXPECT_EQ(GetWindowLongPtrW(app.hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&app)) << "pointer-sized slot";
    // Each row: the key, whether it is a repeat, then the whole state it leaves.
    struct Step { WPARAM key; bool repeat; int col, row, selected, xLines; bool windowed, quit; };
    const Step steps[] = {
        {VK_SPACE, false, 0, 0, 1, 0, true, false},  // the cursor starts on the piece
        {VK_RIGHT, false, 1, 0, 1, 0, true, false},  {VK_RIGHT, true, 2, 0, 1, 0, true, false},
        {VK_DOWN, false, 2, 1, 1, 0, true, false},   {VK_DOWN, true, 2, 2, 1, 0, true, false},
        {VK_LEFT, false, 1, 2, 1, 0, true, false},   {VK_LEFT, true, 0, 2, 1, 0, true, false},
        {VK_UP, false, 0, 1, 1, 0, true, false},     {VK_UP, true, 0, 0, 1, 0, true, false},
        {VK_RIGHT, false, 1, 0, 1, 0, true, false},  {VK_SPACE, true, 1, 0, 0, 0, true, false},
        {VK_F1, false, 1, 0, 0, 1, true, false},     {VK_F1, true, 1, 0, 0, 2, true, false},
        {VK_RETURN, false, 1, 0, 0, 2, false, false}, {VK_RETURN, true, 1, 0, 0, 2, true, false},
        {VK_ESCAPE, true, 1, 0, 0, 2, true, true},
    };
    int index = 0;
    for (const Step& s : steps) {
        Press(s.key, s.repeat);
        EXPECT_EQ(std::tuple(app.scene.cursorCol, app.scene.cursorRow, app.scene.selected, Count(L"x\n"),
                             app.presentParams.Windowed != FALSE, app.quit),
                  std::tuple(s.col, s.row, s.selected, s.xLines, s.windowed, s.quit))
            << "step " << index++;
    }
    EXPECT_EQ(app.scene.pieceCol, 1) << "set down where the cursor stood";
    EXPECT_FALSE(app.resetFailed);
    EXPECT_TRUE(IsWindow(app.hwnd)) << "Escape leaves the window to the end of the run";
}

TEST_F(KeyDispatch, SystemKeysKeyUpsCharactersAndUnlistedKeysDoNothing) {
    ASSERT_TRUE(Create());
    const size_t linesBefore = debugLines.size();
    for (UINT message : {WM_SYSKEYDOWN, WM_KEYUP, WM_CHAR}) {
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_SPACE, VK_F1}) {
            PostMessageW(app.hwnd, message, key, LPARAM{1} << 29);
        }
    }
    Press(VK_F2);
    Press('A');
    EXPECT_TRUE(app.presentParams.Windowed);
    EXPECT_FALSE(app.quit);
    EXPECT_EQ(app.scene.cursorCol, 0);
    EXPECT_EQ(app.scene.selected, 0);
    EXPECT_EQ(debugLines.size(), linesBefore);
    EXPECT_TRUE(IsWindow(app.hwnd));
}

// With its slot still empty (as before WM_NCCREATE) a window gets the default
// handling: nothing reaches the AppWindow, and WM_CLOSE destroys the window.
TEST_F(KeyDispatch, MessagesWithoutABoundObjectGetTheDefaultHandling) {
    ASSERT_TRUE(Create());
    SetWindowLongPtrW(app.hwnd, GWLP_USERDATA, 0);
    EXPECT_EQ(WindowProc(app.hwnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    WindowProc(app.hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(app.quit);
    EXPECT_FALSE(IsWindow(app.hwnd));
}

// Every way the program is told to end.
struct QuitMessage { UINT message; WPARAM wParam; bool destroysWindow; };

class QuitPaths : public AppFixture, public ::testing::WithParamInterface<QuitMessage> {};

TEST_P(QuitPaths, SetQuitForGoodAndTheNextStepStillRendersOnce) {
    ASSERT_TRUE(Create());
    ASSERT_FALSE(app.FrameStep());
    SendMessageW(app.hwnd, GetParam().message, GetParam().wParam, 0);
    EXPECT_TRUE(app.quit);
    EXPECT_EQ(IsWindow(app.hwnd) == FALSE, GetParam().destroysWindow) << "only WM_CLOSE's default handling destroys";
    const int presents = PresentCount();
    EXPECT_TRUE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents + 1);
    EXPECT_TRUE(app.FrameStep()) << "quit is never cleared";
}

INSTANTIATE_TEST_SUITE_P(CloseDestroyEscape, QuitPaths,
                         ::testing::Values(QuitMessage{WM_CLOSE, 0, true}, QuitMessage{WM_DESTROY, 0, false},
                                           QuitMessage{WM_KEYDOWN, VK_ESCAPE, false}));

using Lifetime = AppFixture;

TEST_F(Lifetime, ShutdownReleasesEveryDeviceObjectAlsoAfterResets) {
    ASSERT_TRUE(Create());
    Press(VK_RETURN);
    Press(VK_RETURN);
    app.FrameStep();
    app.Shutdown();
    const auto live = CountD3DLiveObjects();
    EXPECT_EQ(std::tuple(live.direct3d, live.devices, live.textures, live.surfaces, live.vertexBuffers),
              std::tuple(0, 0, 0, 0, 0));
}

// WinMain then goes straight to Shutdown; only a failed device creation says so.
TEST_F(Lifetime, FailedDirect3DOrDeviceFailsCreateAndShutsDownCleanly) {
    struct Case { D3DCall call; HRESULT result; int lines; };
    for (const Case& c : {Case{D3DCall::Direct3DCreate9, E_FAIL, 0}, Case{D3DCall::CreateDevice, D3DERR_NOTAVAILABLE, 1}}) {
        platform::testing::FailD3DCall(c.call, c.result);
        EXPECT_FALSE(Create());
        EXPECT_EQ(app.device, nullptr);
        EXPECT_EQ(Count(L"CreateDevice Failed\n"), c.lines);
        Press(VK_RETURN);  // the window outlives the failure; a key must not reach a null device
        app.Shutdown();
        EXPECT_EQ(CountD3DLiveObjects().direct3d, 0);
        Destroy();
    }
}

TEST_F(Lifetime, ASecondRegistrationOfTheClassFailsCreate) {
    ASSERT_TRUE(Create());
    AppWindow second;
    EXPECT_FALSE(second.Create(GetModuleHandleW(nullptr)));
    EXPECT_EQ(second.hwnd, nullptr);
    second.Shutdown();
}

}  // namespace
