#include <windows.h>

#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "test_window.h"
#include "win32/window_bridge.h"

namespace {

using win32_test::DrainQueue;
using win32_test::RecordingClass;

constexpr LPARAM kExtended = LPARAM{1} << 24;
constexpr LPARAM kAltDown = LPARAM{1} << 29;
constexpr LPARAM kPrevious = LPARAM{1} << 30;
constexpr LPARAM kTransition = LPARAM{1} << 31;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        hwnd = windowClass.Create(WS_POPUP | WS_VISIBLE, 0, 0, 64, 64);
        ASSERT_NE(hwnd, nullptr);
        DrainQueue();
    }

    void Push(Uint32 type, SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = SDL_GetWindowID(platform::win32::SdlWindowOf(hwnd));
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    MSG PressOnce(SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        Push(SDL_KEYDOWN, scancode, mod, repeat);
        const std::vector<MSG> messages = DrainQueue();
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? MSG{} : messages[0];
    }

    RecordingClass windowClass;
    HWND hwnd = nullptr;
};

TEST_F(KeyboardTest, KeysBecomeTheirWindowsVirtualKeyCodes) {
    struct Case {
        SDL_Scancode scancode;
        WPARAM virtualKey;
    };
    const Case cases[] = {
        {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_SPACE, VK_SPACE},
        {SDL_SCANCODE_LEFT, VK_LEFT},     {SDL_SCANCODE_UP, VK_UP},         {SDL_SCANCODE_RIGHT, VK_RIGHT},
        {SDL_SCANCODE_DOWN, VK_DOWN},     {SDL_SCANCODE_F1, VK_F1},         {SDL_SCANCODE_F12, VK_F12},
        {SDL_SCANCODE_A, 'A'},            {SDL_SCANCODE_Z, 'Z'},            {SDL_SCANCODE_0, '0'},
        {SDL_SCANCODE_9, '9'},            {SDL_SCANCODE_KP_ENTER, VK_RETURN}, {SDL_SCANCODE_BACKSPACE, VK_BACK},
        {SDL_SCANCODE_TAB, VK_TAB},       {SDL_SCANCODE_HOME, VK_HOME},     {SDL_SCANCODE_LSHIFT, VK_SHIFT},
        {SDL_SCANCODE_RCTRL, VK_CONTROL},
    };
    for (const Case& c : cases) {
        const MSG msg = PressOnce(c.scancode);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN)) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(msg.wParam, c.virtualKey) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(msg.hwnd, hwnd);
        EXPECT_EQ(msg.lParam & 0xFFFF, 1) << "repeat count";
    }
}

TEST_F(KeyboardTest, LParamCarriesScanCodeExtendedAndRepeatBits) {
    const MSG escape = PressOnce(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(escape.lParam, (LPARAM{0x01} << 16) | 1);
    const MSG right = PressOnce(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(right.lParam, kExtended | (LPARAM{0x4D} << 16) | 1);
    const MSG repeated = PressOnce(SDL_SCANCODE_RIGHT, KMOD_NONE, 1);
    EXPECT_EQ(repeated.message, static_cast<UINT>(WM_KEYDOWN)) << "auto-repeat is another key-down";
    EXPECT_EQ(repeated.lParam, kPrevious | kExtended | (LPARAM{0x4D} << 16) | 1);

    Push(SDL_KEYUP, SDL_SCANCODE_RIGHT);
    const std::vector<MSG> up = DrainQueue();
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(up[0].wParam, static_cast<WPARAM>(VK_RIGHT));
    EXPECT_EQ(up[0].lParam, kTransition | kPrevious | kExtended | (LPARAM{0x4D} << 16) | 1);
}

TEST_F(KeyboardTest, AltCombinationsAndF10AreSystemKeys) {
    const MSG altEnter = PressOnce(SDL_SCANCODE_RETURN, KMOD_LALT);
    EXPECT_EQ(altEnter.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(altEnter.wParam, static_cast<WPARAM>(VK_RETURN));
    EXPECT_NE(altEnter.lParam & kAltDown, 0);

    const MSG f10 = PressOnce(SDL_SCANCODE_F10);
    EXPECT_EQ(f10.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(f10.wParam, static_cast<WPARAM>(VK_F10));
    EXPECT_EQ(f10.lParam & kAltDown, 0);

    const MSG alt = PressOnce(SDL_SCANCODE_LALT, KMOD_LALT);
    EXPECT_EQ(alt.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(alt.wParam, static_cast<WPARAM>(VK_MENU));

    const MSG altGr = PressOnce(SDL_SCANCODE_Q, KMOD_RALT | KMOD_LCTRL);
    EXPECT_EQ(altGr.message, static_cast<UINT>(WM_KEYDOWN)) << "Ctrl+Alt is AltGr, not the system menu";

    Push(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_LALT);
    const std::vector<MSG> up = DrainQueue();
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].message, static_cast<UINT>(WM_SYSKEYUP));
}

TEST_F(KeyboardTest, KeysWithoutACodeStillArrive) {
    const MSG msg = PressOnce(SDL_SCANCODE_MUTE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, 0xFFu);
}

TEST_F(KeyboardTest, TranslateMessagePostsTypedCharacters) {
    MSG keyDown = PressOnce(SDL_SCANCODE_A);
    EXPECT_TRUE(TranslateMessage(&keyDown));
    std::vector<MSG> chars = DrainQueue();
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('a'));

    MSG arrow = PressOnce(SDL_SCANCODE_LEFT);
    EXPECT_TRUE(TranslateMessage(&arrow));
    EXPECT_TRUE(DrainQueue().empty()) << "an arrow types nothing";

    MSG notAKey{};
    notAKey.message = WM_CLOSE;
    EXPECT_FALSE(TranslateMessage(&notAKey));
}

}  // namespace
