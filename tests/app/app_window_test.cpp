// The shell on the dummy video driver, in a scratch working directory (shutdown
// writes the glyph dump), with debug output, message boxes and sleeps captured:
// key dispatch, the ways to quit, frame-step states, the toggle and the camera.
#include <windows.h>

#include <gtest/gtest.h>
#include <captured_output.h>
#include <live_objects.h>
#include <platform_testing.h>
#include <scratch_working_directory.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/app_window.h"
#include "shell_events.h"

namespace {

using platform::testing::CountD3DLiveObjects;
using platform::testing::D3DCall;
using platform::testing::FailD3DCall;
using platform::testing::PresentCount;

// The camera to the last bit: projection for 640 x 480, view from (0, 0, -3).
constexpr float kDepthScale = std::bit_cast<float>(0x3F800347u),
                kDepthOffset = std::bit_cast<float>(0xBDCCD20Bu);
constexpr float kProjection[16] = {1.8106600f, 0,           0, 0, 0, 2.4142134f,   0, 0, 0,
                                   0,          kDepthScale, 1, 0, 0, kDepthOffset, 0};
constexpr float kView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1};

// Bit-exact.
void ExpectMatrix(const D3DMATRIX& actual, const float (&expected)[16]) {
    for (int i = 0; i < 16; ++i) {
        const float a = actual.m[i / 4][i % 4];
        EXPECT_EQ(std::bit_cast<uint32_t>(a), std::bit_cast<uint32_t>(expected[i]))
            << i << ": " << a;
    }
}

// What every created or reset device must carry: a reset returns states to defaults.
void ExpectProgramCamera(IDirect3DDevice9* device) {
    D3DMATRIX projection{}, view{};
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetTransform(D3DTS_VIEW, &view);
    ExpectMatrix(projection, kProjection);
    ExpectMatrix(view, kView);
    DWORD lighting = TRUE;
    device->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, DWORD{FALSE});
}

class AppFixture : public ::testing::Test, protected CapturedOutput {
protected:
    void SetUp() override {
        platform::testing::ResetAllHooks();
        Capture();
        platform::testing::CapturePresentedFrames(true);
        platform::testing::SetSleepHandler(
            [this](DWORD milliseconds) { sleeps.push_back(milliseconds); });
    }
    void TearDown() override {
        Destroy();
        platform::testing::ResetAllHooks();
    }

    bool Create() { return app.Create(GetModuleHandleW(nullptr)); }
    // Everything WinMain's end and the process exit would release, so Create can run again.
    void Destroy() {
        app.Shutdown();
        if (IsWindow(app.hwnd)) DestroyWindow(app.hwnd);
        UnregisterClassW(L"CorvaneGame", GetModuleHandleW(nullptr));
        Drain(false);
    }
    void Drain(bool dispatch = true) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (dispatch) TranslateMessage(&msg), DispatchMessageW(&msg);
    }
    // Posts a key-down (bit 30 marks an auto-repeat) and runs WinMain's drain.
    void Press(WPARAM virtualKey, bool autoRepeat = false) {
        PostMessageW(app.hwnd, WM_KEYDOWN, virtualKey, (autoRepeat ? LPARAM{1} << 30 : 0) | 1);
        Drain();
    }
    int Count(const std::wstring& line) const {
        return int(std::count(debugLines.begin(), debugLines.end(), line));
    }

    // One more frame presented, 640 x 480 and cleared to the background colour where
    // the board does not reach.
    void ExpectOneMoreClearedFrame(int presentsBefore) {
        EXPECT_EQ(PresentCount(), presentsBefore + 1);
        const platform::testing::Frame frame = platform::testing::LastPresentedFrame();
        ASSERT_EQ(std::pair(frame.width, frame.height), std::pair(640, 480));
        for (const auto& [x, y] : {std::pair(639, 479), {500, 240}, {639, 0}, {8, 479}})
            EXPECT_EQ(frame.At(x, y), 0xFF8080FFu) << x << "," << y;
        int inked = 0;  // the frame rate's digits, the scene's one drawing without the images
        for (int i = 0; i < 64 * 40; ++i) inked += frame.At(i % 64, i / 64) != 0xFF8080FFu;
        EXPECT_GT(inked, 20);
    }

    ScratchWorkingDirectory directory;
    AppWindow app;
    std::vector<DWORD> sleeps;
};

using KeyDispatch = AppFixture;

TEST_F(KeyDispatch, EveryKeyOfTheTableDoesItsActionAlsoOnAutoRepeat) {
    ASSERT_TRUE(Create());
    EXPECT_EQ(GetWindowLongPtrW(app.hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&app))
        << "pointer-sized slot";
    // Each row: the key, whether it is a repeat, then the whole state it leaves (cursor
    // column and row, held, "x" lines written, windowed, quit).
    const std::tuple<WPARAM, bool, int, int, int, int, bool, bool> steps[] = {
        {VK_SPACE, false, 0, 0, 1, 0, true, false},  // the cursor starts on the piece
        {VK_RIGHT, false, 1, 0, 1, 0, true, false},   {VK_RIGHT, true, 2, 0, 1, 0, true, false},
        {VK_DOWN, false, 2, 1, 1, 0, true, false},    {VK_DOWN, true, 2, 2, 1, 0, true, false},
        {VK_LEFT, false, 1, 2, 1, 0, true, false},    {VK_LEFT, true, 0, 2, 1, 0, true, false},
        {VK_UP, false, 0, 1, 1, 0, true, false},      {VK_UP, true, 0, 0, 1, 0, true, false},
        {VK_RIGHT, false, 1, 0, 1, 0, true, false},   {VK_SPACE, true, 1, 0, 0, 0, true, false},
        {VK_F1, false, 1, 0, 0, 1, true, false},      {VK_F1, true, 1, 0, 0, 2, true, false},
        {VK_RETURN, false, 1, 0, 0, 2, false, false}, {VK_RETURN, true, 1, 0, 0, 2, true, false},
        {VK_ESCAPE, true, 1, 0, 0, 2, true, true}};
    int index = 0;
    for (const auto& [key, repeat, col, row, selected, xLines, windowed, quit] : steps) {
        Press(key, repeat);
        EXPECT_EQ(std::tuple(app.scene.cursorCol, app.scene.cursorRow, app.scene.selected,
                             Count(L"x\n"), app.presentParams.Windowed != FALSE, app.quit),
                  std::tuple(col, row, selected, xLines, windowed, quit))
            << "step " << index++;
    }
    EXPECT_EQ(app.scene.pieceCol, 1) << "set down where the cursor stood";
    EXPECT_FALSE(app.resetFailed);
    EXPECT_TRUE(IsWindow(app.hwnd)) << "Escape leaves the window to the end of the run";
}

TEST_F(KeyDispatch, SystemKeysKeyUpsCharactersUnlistedKeysAndUnboundWindowsDoNothing) {
    ASSERT_TRUE(Create());
    const size_t linesBefore = debugLines.size();
    for (UINT message : {WM_SYSKEYDOWN, WM_KEYUP, WM_CHAR})
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_SPACE, VK_F1})
            PostMessageW(app.hwnd, message, key, LPARAM{1} << 29);
    Press(VK_F2);
    Press('A');
    EXPECT_EQ(
        std::tuple(app.presentParams.Windowed, app.quit, app.scene.cursorCol, app.scene.selected),
        std::tuple(TRUE, false, 0, 0));
    EXPECT_EQ(debugLines.size(), linesBefore);
    // With its slot still empty (as before WM_NCCREATE) a window gets the default
    // handling: nothing reaches the AppWindow, and WM_CLOSE destroys the window.
    SetWindowLongPtrW(app.hwnd, GWLP_USERDATA, 0);
    EXPECT_EQ(WindowProc(app.hwnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    WindowProc(app.hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(app.quit);
    EXPECT_FALSE(IsWindow(app.hwnd));
}

// Every way the program is told to end: the message, its wParam, and whether the
// window is destroyed (only by WM_CLOSE's default handling).
class QuitPaths : public AppFixture,
                  public ::testing::WithParamInterface<std::tuple<UINT, WPARAM, bool>> {};

TEST_P(QuitPaths, SetQuitForGoodAndTheNextStepStillRendersOnce) {
    const auto [message, wParam, destroysWindow] = GetParam();
    ASSERT_TRUE(Create());
    ASSERT_FALSE(app.FrameStep());
    SendMessageW(app.hwnd, message, wParam, 0);
    EXPECT_TRUE(app.quit);
    EXPECT_EQ(IsWindow(app.hwnd) == FALSE, destroysWindow);
    const int presents = PresentCount();
    EXPECT_TRUE(app.FrameStep());
    EXPECT_EQ(PresentCount(), presents + 1);
    EXPECT_TRUE(app.FrameStep()) << "quit is never cleared";
}

INSTANTIATE_TEST_SUITE_P(CloseDestroyEscape, QuitPaths,
                         ::testing::Values(std::tuple(WM_CLOSE, 0, true),
                                           std::tuple(WM_DESTROY, 0, false),
                                           std::tuple(WM_KEYDOWN, VK_ESCAPE, false)));

using Lifetime = AppFixture;

// WinMain then goes straight to Shutdown; only a failed device creation says so.
TEST_F(Lifetime, FailedDirect3DDeviceOrClassFailsCreateAndShutsDownCleanly) {
    for (const auto& [call, result, lines] :
         {std::tuple(D3DCall::Direct3DCreate9, E_FAIL, 0),
          std::tuple(D3DCall::CreateDevice, D3DERR_NOTAVAILABLE, 1)}) {
        FailD3DCall(call, result);
        EXPECT_FALSE(Create());
        EXPECT_EQ(app.device, nullptr);
        EXPECT_EQ(Count(L"CreateDevice Failed\n"), lines);
        Press(VK_RETURN);  // the window outlives the failure; a key must not reach a null device
        app.Shutdown();
        EXPECT_EQ(CountD3DLiveObjects().direct3d, 0);
        Destroy();
    }
    ASSERT_TRUE(Create());
    AppWindow second;  // the class is taken
    EXPECT_FALSE(second.Create(GetModuleHandleW(nullptr)));
    EXPECT_EQ(second.hwnd, nullptr);
    second.Shutdown();
}

// After a failed switch no step renders, so the close box destroys the window (and
// the memory its last frame was drawn in) before the device goes.
TEST_F(Lifetime, CloseAfterAFailedToggleEndsTheRunAndShutsDownAfterTheWindowIsGone) {
    ASSERT_TRUE(Create());
    app.FrameStep();
    FailD3DCall(D3DCall::Reset, D3DERR_INVALIDCALL);
    Press(VK_RETURN);
    ASSERT_TRUE(app.resetFailed);
    PostMessageW(app.hwnd, WM_CLOSE, 0, 0);
    Drain();
    EXPECT_FALSE(IsWindow(app.hwnd));
    EXPECT_TRUE(app.FrameStep());
    app.Shutdown();
    EXPECT_EQ(CountD3DLiveObjects().devices, 0);
    EXPECT_EQ(std::filesystem::file_size("text.bmp"), 4194358u) << "the whole glyph dump";
}

// WinMain's end releases what a failed start made: the Direct3D object.
TEST_F(Lifetime, WinMainShutsDownAfterAFailedStart) {
    FailD3DCall(D3DCall::CreateDevice, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWDEFAULT), -1);
    EXPECT_EQ(CountD3DLiveObjects().direct3d, 0);
    app.hwnd = GetForegroundWindow();  // left behind with its AppWindow gone: Destroy takes it
    SetWindowLongPtrW(app.hwnd, GWLP_USERDATA, 0);
}

using FrameStep = AppFixture;

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
    ExpectOneBox(L"FAIL", L"FAIL");
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

// Also the plain rendering step, and shutdown after resets releasing everything.
TEST_F(FrameStep, ToggleRestoresStylePlaceClientAreaBackBufferAndCamera) {
    ASSERT_TRUE(Create());
    const auto expectMode = [&](bool fullScreen, LONG style) {
        ASSERT_FALSE(app.resetFailed);
        EXPECT_EQ(platform::testing::IsWindowFullScreen(app.hwnd), fullScreen);
        EXPECT_EQ(GetWindowLongW(app.hwnd, GWL_STYLE), style);
        EXPECT_EQ(std::pair(app.presentParams.BackBufferWidth, app.presentParams.BackBufferHeight),
                  std::pair(640u, 480u))
            << "written back by the device when windowed";
        ExpectProgramCamera(app.device);
        const int presents = PresentCount();
        EXPECT_FALSE(app.FrameStep());
        ExpectOneMoreClearedFrame(presents);
        EXPECT_TRUE(sleeps.empty());
        RECT client{};  // as the model and as the window system see it
        GetClientRect(app.hwnd, &client);
        const SIZE shown = platform::testing::GetClientSize(app.hwnd);
        if (!fullScreen) {
            EXPECT_EQ(std::tuple(client.right, client.bottom, shown.cx, shown.cy),
                      std::tuple(640, 480, 640, 480));
        }
    };
    // Overlapped, visible, no sizing border: the value itself, not the program's constant.
    constexpr LONG kWindowed = 0x10CB0000;
    expectMode(false, kWindowed);
    SetWindowPos(app.hwnd, nullptr, 57, 33, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before{}, after{};
    GetWindowRect(app.hwnd, &before);
    Press(VK_RETURN);
    expectMode(true, static_cast<LONG>(WS_POPUP));
    Press(VK_RETURN);
    expectMode(false, kWindowed);
    GetWindowRect(app.hwnd, &after);
    EXPECT_EQ(std::tuple(after.left, after.top, after.right, after.bottom),
              std::tuple(before.left, before.top, before.right, before.bottom));

    app.Shutdown();
    const auto live = LiveObjects();  // Direct3D's five come first
    EXPECT_EQ(std::vector(live.begin(), live.begin() + 5), std::vector<int>(5, 0));
}

// The fuzzer's decoding is what keeps its regression inputs meaning the same events.
TEST(EventSequences, BytesDecodeIntoTheListTheReaderSees) {
    // clang-format off
    const uint8_t bytes[] = {0, 0,  0, 0x14, 1, 3, 2, 3, 4, 1, 5, 0, 6, 1, 7, 8, 9, 2,
                             10, 4, 58, 11, 10, 12, 1, 0, 127, 13};
    // clang-format on
    EXPECT_EQ(shell_events::Describe(shell_events::Decode(bytes, sizeof(bytes))),
              "0: key Enter down\n1: key Up down, auto-repeat\n2: frame steps x4\n3: close box\n"
              "4: WM_CLOSE\n5: SIGINT\n6: focus lost\n7: minimised\n8: device lost\n"
              "9: device not reset\n10: refuse the next 3 full-screen switches\n"
              "11: fail Reset with D3DERR_DEVICELOST, every call\n"
              "12: fail CreateDIBSection, next 4 calls\n13: fail the next 2 allocations\n"
              "14: key unmapped up, auto-repeat, Alt held\n15: key Enter down\n");
}

// What the fuzzer found, replayed with its checks on the program's images.
TEST(EventSequences, FoundByTheFuzzerKeepEveryInvariant) {
    using K = shell_events::Kind;
    const std::filesystem::path assets = CORVANE_ASSETS_DIR;
    ScratchWorkingDirectory directory{assets / "Kai_Orisa05.png", assets / "Velmo_Grid.png",
                                      assets / "TBX_Cursor.png"};
    using shell_events::kEnter, shell_events::kAltHeld;
    // One row per file in fuzz/regressions/events.
    // clang-format off
    const std::vector<shell_events::Event> found[] = {
        // close-after-refused-switch: the close box after a refused switch destroyed
        // the window surface the swap chain still pointed at.
        {{K::FrameSteps, 1}, {K::RefuseFullScreen, 1}, {K::Key, kEnter}, {K::FrameSteps, 2},
         {K::Key, kEnter, kAltHeld}, {K::FrameSteps, 1}},
    };
    // clang-format on
    for (const auto& events : found)
        EXPECT_EQ(shell_events::Run(events), "") << shell_events::Describe(events);
}

}  // namespace
