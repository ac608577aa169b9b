#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "test_window.h"

namespace {

using win32_test::DrainQueue;

constexpr UINT kUserMessage = 0x0400;
constexpr LPARAM kExtended = LPARAM{1} << 24;
constexpr LPARAM kAltDown = LPARAM{1} << 29;
constexpr LPARAM kPrevious = LPARAM{1} << 30;
constexpr LPARAM kTransition = LPARAM{1} << 31;

LPARAM Scan(LPARAM code) { return (code << 16) | 1; }  // repeat count 1

// One visible window, the queue empty.
class MessageQueue : public ::testing::Test {
protected:
    void SetUp() override {
        hwnd = windowClass.Create(WS_POPUP | WS_VISIBLE, 0, 0, 64, 64);
        ASSERT_NE(hwnd, nullptr);
        DrainQueue();
    }
    // One SDL key event in, exactly one message out.
    MSG Key(Uint32 type, SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = SDL_GetWindowID(platform::win32::SdlWindowOf(hwnd));
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym = {scancode, SDL_GetKeyFromScancode(scancode), mod, 0};
        SDL_PushEvent(&event);
        const std::vector<MSG> messages = DrainQueue();
        EXPECT_EQ(messages.size(), 1u) << SDL_GetScancodeName(scancode);
        return messages.empty() ? MSG{} : messages[0];
    }

    win32_test::RecordingClass windowClass;
    HWND hwnd = nullptr;
};

auto Fields(const MSG& msg) { return std::tuple(msg.hwnd, msg.message, msg.wParam, msg.lParam); }

TEST_F(MessageQueue, PostedMessagesComeBackInOrderAndOnlyOnceWithRemove) {
    ASSERT_TRUE(PostMessageW(hwnd, kUserMessage, 1, 10));
    ASSERT_TRUE(PostMessageW(hwnd, kUserMessage + 1, 2, 20));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(Fields(msg), std::tuple(hwnd, kUserMessage, WPARAM{1}, LPARAM{10}));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(Fields(msg), std::tuple(hwnd, kUserMessage, WPARAM{1}, LPARAM{10}));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(Fields(msg), std::tuple(hwnd, kUserMessage + 1, WPARAM{2}, LPARAM{20}));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x1234), kUserMessage, 0, 0)) << "unknown window";
}

TEST_F(MessageQueue, FiltersSelectByWindowAndRange) {
    const HWND first = hwnd;
    const HWND second = windowClass.Create(WS_POPUP, 40, 0, 32, 32);
    ASSERT_NE(second, nullptr);
    DrainQueue();
    PostMessageW(first, kUserMessage, 0, 0);
    PostMessageW(second, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(nullptr, kUserMessage + 5, 0, 0);

    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
    EXPECT_FALSE(PeekMessageW(&msg, second, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) << "thread messages only";
    EXPECT_EQ(msg.message, kUserMessage + 5);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, kUserMessage, kUserMessage, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, first);
}

TEST_F(MessageQueue, CloseBoxBecomesOneWmCloseForItsWindow) {
    win32_test::PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    const std::vector<MSG> messages = DrainQueue();
    ASSERT_EQ(messages.size(), 1u) << "SDL's quit event adds nothing to the close";
    EXPECT_EQ(Fields(messages[0]), std::tuple(hwnd, UINT{WM_CLOSE}, WPARAM{0}, LPARAM{0}));
    EXPECT_TRUE(IsWindow(hwnd)) << "closing is the window procedure's decision";
}

// Every key the program acts on, a sample of the rest, and each lParam bit.
TEST_F(MessageQueue, KeysBecomeWindowsMessagesWithVirtualKeyAndLParam) {
    struct Case { Uint32 type; SDL_Scancode scancode; Uint16 mod; Uint8 repeat; UINT message; WPARAM vk; LPARAM lParam; };
    const Case cases[] = {
        {SDL_KEYDOWN, SDL_SCANCODE_RETURN, 0, 0, WM_KEYDOWN, VK_RETURN, Scan(0x1C)},
        {SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0, 0, WM_KEYDOWN, VK_ESCAPE, Scan(0x01)},
        {SDL_KEYDOWN, SDL_SCANCODE_SPACE, 0, 0, WM_KEYDOWN, VK_SPACE, Scan(0x39)},
        {SDL_KEYDOWN, SDL_SCANCODE_LEFT, 0, 0, WM_KEYDOWN, VK_LEFT, kExtended | Scan(0x4B)},
        {SDL_KEYDOWN, SDL_SCANCODE_UP, 0, 0, WM_KEYDOWN, VK_UP, kExtended | Scan(0x48)},
        {SDL_KEYDOWN, SDL_SCANCODE_RIGHT, 0, 0, WM_KEYDOWN, VK_RIGHT, kExtended | Scan(0x4D)},
        {SDL_KEYDOWN, SDL_SCANCODE_DOWN, 0, 0, WM_KEYDOWN, VK_DOWN, kExtended | Scan(0x50)},
        {SDL_KEYDOWN, SDL_SCANCODE_F1, 0, 0, WM_KEYDOWN, VK_F1, Scan(0x3B)},
        {SDL_KEYDOWN, SDL_SCANCODE_A, 0, 0, WM_KEYDOWN, 'A', Scan(0x1E)},
        {SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, 0, 0, WM_KEYDOWN, VK_RETURN, kExtended | Scan(0x1C)},
        {SDL_KEYDOWN, SDL_SCANCODE_RCTRL, 0, 0, WM_KEYDOWN, VK_CONTROL, kExtended | Scan(0x1D)},
        {SDL_KEYDOWN, SDL_SCANCODE_MUTE, 0, 0, WM_KEYDOWN, 0xFF, Scan(0)},  // no code still arrives
        // Auto-repeat is another key-down with the previous-state bit.
        {SDL_KEYDOWN, SDL_SCANCODE_RIGHT, 0, 1, WM_KEYDOWN, VK_RIGHT, kPrevious | kExtended | Scan(0x4D)},
        {SDL_KEYUP, SDL_SCANCODE_RIGHT, 0, 0, WM_KEYUP, VK_RIGHT, kTransition | kPrevious | kExtended | Scan(0x4D)},
        // Alt combinations, Alt itself and F10 are system keys; Ctrl+Alt is AltGr.
        {SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, 0, WM_SYSKEYDOWN, VK_RETURN, kAltDown | Scan(0x1C)},
        {SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_LALT, 0, WM_SYSKEYUP, VK_RETURN,
         kTransition | kPrevious | kAltDown | Scan(0x1C)},
        {SDL_KEYDOWN, SDL_SCANCODE_F10, 0, 0, WM_SYSKEYDOWN, VK_F10, Scan(0x44)},
        {SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT, 0, WM_SYSKEYDOWN, VK_MENU, kAltDown | Scan(0x38)},
        {SDL_KEYDOWN, SDL_SCANCODE_Q, KMOD_RALT | KMOD_LCTRL, 0, WM_KEYDOWN, 'Q', kAltDown | Scan(0x10)},
    };
    for (const Case& c : cases) {
        const MSG msg = Key(c.type, c.scancode, c.mod, c.repeat);
        EXPECT_EQ(Fields(msg), std::tuple(hwnd, c.message, c.vk, c.lParam))
            << SDL_GetScancodeName(c.scancode) << " mod " << c.mod << " repeat " << int{c.repeat};
    }
}

TEST_F(MessageQueue, TranslateMessagePostsTypedCharactersOnly) {
    MSG keyDown = Key(SDL_KEYDOWN, SDL_SCANCODE_A);
    EXPECT_TRUE(TranslateMessage(&keyDown));
    const std::vector<MSG> chars = DrainQueue();
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(std::tuple(chars[0].message, chars[0].wParam), std::tuple(UINT{WM_CHAR}, WPARAM{'a'}));
    MSG arrow = Key(SDL_KEYDOWN, SDL_SCANCODE_LEFT);
    EXPECT_TRUE(TranslateMessage(&arrow));
    EXPECT_TRUE(DrainQueue().empty()) << "an arrow types nothing";
}

}  // namespace
