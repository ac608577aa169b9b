// Windows on SDL: creation and destruction messages, geometry, the window manager's
// events and the message queue, through a class whose procedure records every
// message (and the user data the window held when it arrived); debug output and
// message boxes.
#include <windows.h>

#include <SDL.h>
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "win32/process_ending.h"
#include "win32/sdl_video.h"
#include "win32/window_bridge.h"
#include "win32/window_registry.h"

namespace {

using platform::win32::IsWindowActive;
using platform::win32::SdlWindowOf;

constexpr DWORD kGameStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT kUserMessage = 0x0400;

struct Received {
    HWND hwnd;
    UINT message;
    LONG_PTR userDataAtArrival;
};
std::vector<Received> messageLog;

// Binds the creation parameter at WM_NCCREATE, as the program's procedure does.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog.push_back({hwnd, message, GetWindowLongPtrW(hwnd, GWLP_USERDATA)});
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Pulls every queued message without dispatching it.
std::vector<MSG> DrainQueue() {
    std::vector<MSG> drained;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) drained.push_back(msg);
    return drained;
}

auto Fields(const MSG& msg) { return std::tuple(msg.hwnd, msg.message, msg.wParam, msg.lParam); }

auto Place(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The recording class registered for one test; its windows destroyed and the queue
// emptied at the end.
class Win32Window : public ::testing::Test {
protected:
    Win32Window() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = L"RecordingWindow";
        RegisterClassExW(&wc);
        messageLog.clear();
    }
    ~Win32Window() override {
        for (HWND hwnd : windows_) DestroyWindow(hwnd);
        UnregisterClassW(L"RecordingWindow", nullptr);
        DrainQueue();
        platform::testing::ResetAllHooks();
    }
    HWND Create(DWORD style, int x, int y, int width, int height, void* param = nullptr) {
        const HWND hwnd = CreateWindowExW(0, L"RecordingWindow", L"Test", style, x, y, width,
                                          height, nullptr, nullptr, nullptr, param);
        EXPECT_NE(hwnd, nullptr);
        windows_.push_back(hwnd);
        return hwnd;
    }
    // As the window system would report it about this window.
    static void PushWindowEvent(HWND hwnd, Uint8 kind) {
        SDL_Event event{};
        event.window = {
            SDL_WINDOWEVENT, 0, SDL_GetWindowID(SdlWindowOf(hwnd)), kind, 0, 0, 0, 0, 0};
        SDL_PushEvent(&event);
    }

private:
    std::vector<HWND> windows_;
};

// The program binds its object at WM_NCCREATE; the one message before it finds no binding.
TEST_F(Win32Window, CreationSendsItsMessagesWithTheParameterBeforeReturning) {
    int owner = 0;
    const HWND hwnd = Create(WS_OVERLAPPED | WS_CAPTION, 10, 20, 300, 200, &owner);
    ASSERT_GE(messageLog.size(), 3u);
    const auto entry = [](size_t i) {
        return std::tuple(messageLog[i].hwnd, messageLog[i].message,
                          messageLog[i].userDataAtArrival);
    };
    EXPECT_EQ(entry(0), std::tuple(hwnd, UINT{0x0024 /* WM_GETMINMAXINFO */}, LONG_PTR{0}));
    EXPECT_EQ(entry(1), std::tuple(hwnd, UINT{WM_NCCREATE}, LONG_PTR{0}));
    EXPECT_EQ(entry(2), std::tuple(hwnd, UINT{WM_CREATE}, reinterpret_cast<LONG_PTR>(&owner)));
    EXPECT_FALSE(SDL_GetWindowFlags(SdlWindowOf(hwnd)) & SDL_WINDOW_SHOWN)
        << "no WS_VISIBLE: hidden";
    const HWND visible = Create(kGameStyle, CW_USEDEFAULT, CW_USEDEFAULT, 646, 509);
    EXPECT_TRUE(SDL_GetWindowFlags(SdlWindowOf(visible)) & SDL_WINDOW_SHOWN);
    SDL_Rect desktop{};  // a default position centres the window
    SDL_GetDisplayUsableBounds(0, &desktop);
    EXPECT_EQ(Place(visible), std::tuple(desktop.x + (desktop.w - 646) / 2,
                                         desktop.y + (desktop.h - 509) / 2, 646, 509));
    EXPECT_TRUE(IsWindowActive(visible));
}

// The program's close box: the default handling of WM_CLOSE destroys the window.
TEST_F(Win32Window, CloseDestroysTheWindowAndForgetsEverythingAboutIt) {
    const HWND hwnd = Create(WS_POPUP, 0, 0, 64, 64);
    EXPECT_EQ(DefWindowProcW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    PostMessageW(hwnd, WM_NULL, 0, 0);
    messageLog.clear();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    std::vector<UINT> messages;
    for (const Received& r : messageLog) messages.push_back(r.message);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(SdlWindowOf(hwnd), nullptr);
    EXPECT_TRUE(DrainQueue().empty()) << "a destroyed window's posted messages are dropped";
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
}

// The frame around a client rectangle, as Windows has it at 96 DPI: a sizing, fixed or
// thin border, a caption of 23 and a menu of 20 pixels.
TEST(WindowFrame, AdjustWindowRectAddsEachStylesBorderCaptionAndMenu) {
    // clang-format off
    const std::tuple<DWORD, BOOL, std::array<LONG, 4>> cases[] = {
        {WS_POPUP, FALSE, {10, 20, 110, 220}},  {WS_POPUP | WS_BORDER, FALSE, {9, 19, 111, 221}},
        {kGameStyle, FALSE, {7, -6, 113, 223}}, {WS_OVERLAPPEDWINDOW, TRUE, {2, -31, 118, 228}}};
    // clang-format on
    for (const auto& [style, menu, expected] : cases) {
        RECT r{10, 20, 110, 220};
        EXPECT_TRUE(AdjustWindowRect(&r, style, menu));
        EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), expected) << std::hex << style;
    }
}

// A full-screen device is lost while its window is unfocused or minimised.
TEST_F(Win32Window, FocusAndMinimiseEventsDecideWhetherTheWindowIsActive) {
    const HWND hwnd = Create(kGameStyle, 0, 0, 200, 200);
    ASSERT_TRUE(IsWindowActive(hwnd));
    const std::pair<Uint8, bool> events[] = {
        {SDL_WINDOWEVENT_FOCUS_LOST, false}, {SDL_WINDOWEVENT_FOCUS_GAINED, true},
        {SDL_WINDOWEVENT_MINIMIZED, false},  {SDL_WINDOWEVENT_RESTORED, true},
        {SDL_WINDOWEVENT_MINIMIZED, false},  {SDL_WINDOWEVENT_MAXIMIZED, true}};
    for (const auto& [event, active] : events) {
        PushWindowEvent(hwnd, event);
        DrainQueue();
        EXPECT_EQ(IsWindowActive(hwnd), active) << "event " << int{event};
    }
    EXPECT_FALSE(IsWindowActive(nullptr));
}

// SDL's quit event adds nothing to the close box's WM_CLOSE; closing is the window
// procedure's decision.
TEST_F(Win32Window, PostedMessagesAndTheCloseBoxComeBackInOrder) {
    const HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 64, 64);
    DrainQueue();
    ASSERT_TRUE(PostMessageW(hwnd, kUserMessage, 1, 10));
    ASSERT_TRUE(PostMessageW(nullptr, kUserMessage + 1, 2, 20));
    PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    std::vector<std::tuple<HWND, UINT, WPARAM, LPARAM>> drained;
    for (const MSG& msg : DrainQueue()) drained.push_back(Fields(msg));
    EXPECT_EQ(drained, (std::vector<std::tuple<HWND, UINT, WPARAM, LPARAM>>{
                           {hwnd, kUserMessage, 1, 10},
                           {nullptr, kUserMessage + 1, 2, 20},
                           {hwnd, WM_CLOSE, 0, 0}}));
    EXPECT_TRUE(IsWindow(hwnd)) << "closing is the window procedure's decision";
    // Alt+F4's default handling and SIGTERM close it too (a second signal would end the
    // process at once).
    EXPECT_EQ(DefWindowProcW(hwnd, WM_SYSKEYDOWN, VK_F4, 0), 0);
    platform::win32::CloseOnTerminationSignals();
    std::raise(SIGTERM);
    drained.clear();
    for (const MSG& msg : DrainQueue()) drained.push_back(Fields(msg));
    EXPECT_EQ(drained, (std::vector(2, std::tuple(hwnd, UINT{WM_CLOSE}, WPARAM{0}, LPARAM{0}))));
}

// A signal while a box waits for its answer (in a child process, as SDL's boxes do)
// ends the box as OK would, then closes the window. The exit code's bits name what
// went wrong; the signal stays counted for the process, hence its own process.
TEST_F(Win32Window, TerminationSignalEndsAnOpenBoxWithOkThenCloses) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto run = [this] {
        platform::win32::CloseOnTerminationSignals();
        const HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 64, 64);
        DrainQueue();
        bool killed = false;
        platform::testing::SetMessageBoxHandler([&](const platform::testing::MessageBoxCall&) {
            const pid_t box = fork();
            if (box == 0) {
                sleep(10);
                _exit(0);
            }
            raise(SIGTERM);
            int status = 0;
            killed = waitpid(box, &status, 0) == box && WIFSIGNALED(status);
            return IDCANCEL;
        });
        const bool ok = MessageBoxW(nullptr, L"FAIL", L"FAIL", MB_OKCANCEL) == IDOK;
        const std::vector<MSG> next = DrainQueue();
        const bool closed = next.size() == 1 && Fields(next[0]) == std::tuple(hwnd, UINT{WM_CLOSE},
                                                                              WPARAM{0}, LPARAM{0});
        std::_Exit((ok ? 0 : 1) | (killed ? 0 : 2) | (closed ? 0 : 4));
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

// Every key the program acts on, a sample of the rest, and each lParam bit; then
// TranslateMessage types characters only.
TEST_F(Win32Window, KeysBecomeWindowsMessagesWithVirtualKeyAndLParam) {
    const HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 64, 64);
    DrainQueue();
    // One SDL key event in, exactly one message out.
    const auto key = [&](Uint32 type, SDL_Scancode scancode, Uint16 mod = KMOD_NONE,
                         Uint8 repeat = 0) {
        SDL_Event event{};
        const Uint8 state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        const SDL_Keysym keysym{scancode, SDL_GetKeyFromScancode(scancode), mod, 0};
        event.key = {type, 0, SDL_GetWindowID(SdlWindowOf(hwnd)), state, repeat, 0, 0, keysym};
        SDL_PushEvent(&event);
        const std::vector<MSG> messages = DrainQueue();
        EXPECT_EQ(messages.size(), 1u) << SDL_GetScancodeName(scancode);
        return messages.empty() ? MSG{} : messages[0];
    };
    constexpr LPARAM ext = LPARAM{1} << 24, alt = LPARAM{1} << 29, prev = LPARAM{1} << 30,
                     up = LPARAM{1} << 31;
    const auto scan = [](LPARAM code) { return code << 16 | 1; };  // repeat count 1
    // clang-format off
    const std::tuple<Uint32, SDL_Scancode, Uint16, Uint8, UINT, WPARAM, LPARAM> cases[] = {
        {SDL_KEYDOWN, SDL_SCANCODE_RETURN, 0, 0, WM_KEYDOWN, VK_RETURN, scan(0x1C)},
        {SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0, 0, WM_KEYDOWN, VK_ESCAPE, scan(0x01)},
        {SDL_KEYDOWN, SDL_SCANCODE_SPACE, 0, 0, WM_KEYDOWN, VK_SPACE, scan(0x39)},
        {SDL_KEYDOWN, SDL_SCANCODE_LEFT, 0, 0, WM_KEYDOWN, VK_LEFT, ext | scan(0x4B)},
        {SDL_KEYDOWN, SDL_SCANCODE_UP, 0, 0, WM_KEYDOWN, VK_UP, ext | scan(0x48)},
        {SDL_KEYDOWN, SDL_SCANCODE_RIGHT, 0, 0, WM_KEYDOWN, VK_RIGHT, ext | scan(0x4D)},
        {SDL_KEYDOWN, SDL_SCANCODE_DOWN, 0, 0, WM_KEYDOWN, VK_DOWN, ext | scan(0x50)},
        {SDL_KEYDOWN, SDL_SCANCODE_F1, 0, 0, WM_KEYDOWN, VK_F1, scan(0x3B)},
        {SDL_KEYDOWN, SDL_SCANCODE_A, 0, 0, WM_KEYDOWN, 'A', scan(0x1E)},
        {SDL_KEYDOWN, SDL_SCANCODE_X, 0, 0, WM_KEYDOWN, 'X', scan(0x2D)},
        // One scan code for two keys: the numpad's is extended.
        {SDL_KEYDOWN, SDL_SCANCODE_SLASH, 0, 0, WM_KEYDOWN, 0xBF, scan(0x35)},
        {SDL_KEYDOWN, SDL_SCANCODE_KP_DIVIDE, 0, 0, WM_KEYDOWN, 0x6F, ext | scan(0x35)},
        // Auto-repeat is another key-down with the previous-state bit.
        {SDL_KEYDOWN, SDL_SCANCODE_RIGHT, 0, 1, WM_KEYDOWN, VK_RIGHT, prev | ext | scan(0x4D)},
        {SDL_KEYUP, SDL_SCANCODE_RIGHT, 0, 0, WM_KEYUP, VK_RIGHT, up | prev | ext | scan(0x4D)},
        // Alt combinations and F10 are system keys.
        {SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, 0, WM_SYSKEYDOWN, VK_RETURN,
         alt | scan(0x1C)},
        {SDL_KEYDOWN, SDL_SCANCODE_F10, 0, 0, WM_SYSKEYDOWN, VK_F10, scan(0x44)},
    };
    // clang-format on
    for (const auto& [type, scancode, mod, repeat, message, vk, lParam] : cases)
        EXPECT_EQ(Fields(key(type, scancode, mod, repeat)), std::tuple(hwnd, message, vk, lParam))
            << SDL_GetScancodeName(scancode) << " mod " << mod << " repeat " << int{repeat};
    for (const auto& [scancode, typed] :
         {std::pair(SDL_SCANCODE_A, WPARAM{'a'}), {SDL_SCANCODE_LEFT, WPARAM{0}}}) {
        MSG keyDown = key(SDL_KEYDOWN, scancode);
        EXPECT_TRUE(TranslateMessage(&keyDown));
        const std::vector<MSG> chars = DrainQueue();
        std::vector<std::tuple<UINT, WPARAM>> expected;  // an arrow types nothing
        if (typed) expected.emplace_back(WM_CHAR, typed);
        std::vector<std::tuple<UINT, WPARAM>> posted;
        for (const MSG& c : chars) posted.emplace_back(c.message, c.wParam);
        EXPECT_EQ(posted, expected);
    }
}

// Debug output and message boxes reach the test hooks unchanged, or standard error
// (UTF-8) once the hooks are cleared; the program's headless runs rely on the latter.
TEST(KernelServices, DebugOutputAndMessageBoxesGoToTheHooksOrToStandardError) {
    std::vector<std::wstring> lines;
    std::vector<platform::testing::MessageBoxCall> calls;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    platform::testing::SetMessageBoxHandler([&](const platform::testing::MessageBoxCall& call) {
        calls.push_back(call);
        return IDCANCEL;
    });
    for (const wchar_t* text : {L"x\n", L"\u76e4", static_cast<const wchar_t*>(nullptr)})
        OutputDebugStringW(text);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"x\n", L"\u76e4"}));
    EXPECT_EQ(MessageBoxW(nullptr, L"FAIL", nullptr, MB_OKCANCEL), IDCANCEL)
        << "the handler's answer";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(std::tuple(calls[0].text, calls[0].caption, calls[0].type),
              std::tuple(std::wstring(L"FAIL"), std::wstring(), UINT{MB_OKCANCEL}));

    platform::testing::ResetAllHooks();
    EXPECT_FALSE(platform::win32::HasRealDisplay()) << "the dummy driver shows no box";
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"Lost And Found\n");
    OutputDebugStringW(L"\u76e4\n");
    EXPECT_EQ(MessageBoxW(nullptr, L"Failed", L"MB", MB_OK), IDOK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written.substr(0, 19), "Lost And Found\n\xE7\x9B\xA4\n");
    EXPECT_NE(written.find("Failed", 19), std::string::npos);
    EXPECT_NE(written.find("MB", 19), std::string::npos);
    EXPECT_EQ(std::pair(lines.size(), calls.size()), (std::pair<size_t, size_t>(2, 1)))
        << "old hooks no longer fed";
}

}  // namespace
