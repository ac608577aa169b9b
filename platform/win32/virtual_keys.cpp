// No Windows function: SDL keys as virtual-key codes and scan codes.
#include "win32/virtual_keys.h"

#include <algorithm>
#include <array>

namespace platform::win32 {

namespace {

// Codes the program itself never names, so the Windows header leaves them out.
constexpr BYTE kVkCapital = 0x14;
constexpr BYTE kVkSnapshot = 0x2C;
constexpr BYTE kVkLWin = 0x5B;
constexpr BYTE kVkRWin = 0x5C;
constexpr BYTE kVkApps = 0x5D;
constexpr BYTE kVkNumpad0 = 0x60;
constexpr BYTE kVkMultiply = 0x6A;
constexpr BYTE kVkAdd = 0x6B;
constexpr BYTE kVkSubtract = 0x6D;
constexpr BYTE kVkDecimal = 0x6E;
constexpr BYTE kVkDivide = 0x6F;
constexpr BYTE kVkNumLock = 0x90;
constexpr BYTE kVkScroll = 0x91;
constexpr BYTE kVkOem1 = 0xBA;       // ;:
constexpr BYTE kVkOemPlus = 0xBB;    // =+
constexpr BYTE kVkOemComma = 0xBC;   // ,<
constexpr BYTE kVkOemMinus = 0xBD;   // -_
constexpr BYTE kVkOemPeriod = 0xBE;  // .>
constexpr BYTE kVkOem2 = 0xBF;       // /?
constexpr BYTE kVkOem3 = 0xC0;       // `~
constexpr BYTE kVkOem4 = 0xDB;       // [{
constexpr BYTE kVkOem5 = 0xDC;       // backslash
constexpr BYTE kVkOem6 = 0xDD;       // ]}
constexpr BYTE kVkOem7 = 0xDE;       // '"
constexpr BYTE kVkOem102 = 0xE2;     // the extra key left of Z
constexpr BYTE kNoVirtualKey = 0xFF;

struct KeyRow {
    SDL_Scancode scancode;
    WindowsKey key;
};

constexpr KeyRow Row(SDL_Scancode scancode, BYTE vk, BYTE scan, bool extended = false) {
    return KeyRow{scancode, WindowsKey{vk, scan, extended}};
}

// Letters and digits follow the US layout's positions, as the physical keys do.
// clang-format off
constexpr std::array kKeyTable = {
    Row(SDL_SCANCODE_A, 'A', 0x1E), Row(SDL_SCANCODE_B, 'B', 0x30), Row(SDL_SCANCODE_C, 'C', 0x2E),
    Row(SDL_SCANCODE_D, 'D', 0x20), Row(SDL_SCANCODE_E, 'E', 0x12), Row(SDL_SCANCODE_F, 'F', 0x21),
    Row(SDL_SCANCODE_G, 'G', 0x22), Row(SDL_SCANCODE_H, 'H', 0x23), Row(SDL_SCANCODE_I, 'I', 0x17),
    Row(SDL_SCANCODE_J, 'J', 0x24), Row(SDL_SCANCODE_K, 'K', 0x25), Row(SDL_SCANCODE_L, 'L', 0x26),
    Row(SDL_SCANCODE_M, 'M', 0x32), Row(SDL_SCANCODE_N, 'N', 0x31), Row(SDL_SCANCODE_O, 'O', 0x18),
    Row(SDL_SCANCODE_P, 'P', 0x19), Row(SDL_SCANCODE_Q, 'Q', 0x10), Row(SDL_SCANCODE_R, 'R', 0x13),
    Row(SDL_SCANCODE_S, 'S', 0x1F), Row(SDL_SCANCODE_T, 'T', 0x14), Row(SDL_SCANCODE_U, 'U', 0x16),
    Row(SDL_SCANCODE_V, 'V', 0x2F), Row(SDL_SCANCODE_W, 'W', 0x11), Row(SDL_SCANCODE_X, 'X', 0x2D),
    Row(SDL_SCANCODE_Y, 'Y', 0x15), Row(SDL_SCANCODE_Z, 'Z', 0x2C),
    Row(SDL_SCANCODE_1, '1', 0x02), Row(SDL_SCANCODE_2, '2', 0x03), Row(SDL_SCANCODE_3, '3', 0x04),
    Row(SDL_SCANCODE_4, '4', 0x05), Row(SDL_SCANCODE_5, '5', 0x06), Row(SDL_SCANCODE_6, '6', 0x07),
    Row(SDL_SCANCODE_7, '7', 0x08), Row(SDL_SCANCODE_8, '8', 0x09), Row(SDL_SCANCODE_9, '9', 0x0A),
    Row(SDL_SCANCODE_0, '0', 0x0B),
    Row(SDL_SCANCODE_RETURN, VK_RETURN, 0x1C), Row(SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true),
    Row(SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01), Row(SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E),
    Row(SDL_SCANCODE_TAB, VK_TAB, 0x0F), Row(SDL_SCANCODE_SPACE, VK_SPACE, 0x39),
    Row(SDL_SCANCODE_MINUS, kVkOemMinus, 0x0C), Row(SDL_SCANCODE_EQUALS, kVkOemPlus, 0x0D),
    Row(SDL_SCANCODE_LEFTBRACKET, kVkOem4, 0x1A), Row(SDL_SCANCODE_RIGHTBRACKET, kVkOem6, 0x1B),
    Row(SDL_SCANCODE_BACKSLASH, kVkOem5, 0x2B), Row(SDL_SCANCODE_SEMICOLON, kVkOem1, 0x27),
    Row(SDL_SCANCODE_APOSTROPHE, kVkOem7, 0x28), Row(SDL_SCANCODE_GRAVE, kVkOem3, 0x29),
    Row(SDL_SCANCODE_COMMA, kVkOemComma, 0x33), Row(SDL_SCANCODE_PERIOD, kVkOemPeriod, 0x34),
    Row(SDL_SCANCODE_SLASH, kVkOem2, 0x35), Row(SDL_SCANCODE_NONUSBACKSLASH, kVkOem102, 0x56),
    Row(SDL_SCANCODE_CAPSLOCK, kVkCapital, 0x3A),
    Row(SDL_SCANCODE_F1, VK_F1, 0x3B), Row(SDL_SCANCODE_F2, VK_F2, 0x3C),
    Row(SDL_SCANCODE_F3, VK_F3, 0x3D), Row(SDL_SCANCODE_F4, VK_F4, 0x3E),
    Row(SDL_SCANCODE_F5, VK_F5, 0x3F), Row(SDL_SCANCODE_F6, VK_F6, 0x40),
    Row(SDL_SCANCODE_F7, VK_F7, 0x41), Row(SDL_SCANCODE_F8, VK_F8, 0x42),
    Row(SDL_SCANCODE_F9, VK_F9, 0x43), Row(SDL_SCANCODE_F10, VK_F10, 0x44),
    Row(SDL_SCANCODE_F11, VK_F11, 0x57), Row(SDL_SCANCODE_F12, VK_F12, 0x58),
    Row(SDL_SCANCODE_PRINTSCREEN, kVkSnapshot, 0x37, true),
    Row(SDL_SCANCODE_SCROLLLOCK, kVkScroll, 0x46), Row(SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45),
    Row(SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true), Row(SDL_SCANCODE_HOME, VK_HOME, 0x47, true),
    Row(SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true), Row(SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true),
    Row(SDL_SCANCODE_END, VK_END, 0x4F, true), Row(SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true),
    Row(SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true), Row(SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true),
    Row(SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true), Row(SDL_SCANCODE_UP, VK_UP, 0x48, true),
    Row(SDL_SCANCODE_NUMLOCKCLEAR, kVkNumLock, 0x45, true),
    Row(SDL_SCANCODE_KP_DIVIDE, kVkDivide, 0x35, true),
    Row(SDL_SCANCODE_KP_MULTIPLY, kVkMultiply, 0x37), Row(SDL_SCANCODE_KP_MINUS, kVkSubtract, 0x4A),
    Row(SDL_SCANCODE_KP_PLUS, kVkAdd, 0x4E), Row(SDL_SCANCODE_KP_PERIOD, kVkDecimal, 0x53),
    Row(SDL_SCANCODE_KP_0, kVkNumpad0 + 0, 0x52), Row(SDL_SCANCODE_KP_1, kVkNumpad0 + 1, 0x4F),
    Row(SDL_SCANCODE_KP_2, kVkNumpad0 + 2, 0x50), Row(SDL_SCANCODE_KP_3, kVkNumpad0 + 3, 0x51),
    Row(SDL_SCANCODE_KP_4, kVkNumpad0 + 4, 0x4B), Row(SDL_SCANCODE_KP_5, kVkNumpad0 + 5, 0x4C),
    Row(SDL_SCANCODE_KP_6, kVkNumpad0 + 6, 0x4D), Row(SDL_SCANCODE_KP_7, kVkNumpad0 + 7, 0x47),
    Row(SDL_SCANCODE_KP_8, kVkNumpad0 + 8, 0x48), Row(SDL_SCANCODE_KP_9, kVkNumpad0 + 9, 0x49),
    Row(SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A), Row(SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36),
    Row(SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D), Row(SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, true),
    Row(SDL_SCANCODE_LALT, VK_MENU, 0x38), Row(SDL_SCANCODE_RALT, VK_MENU, 0x38, true),
    Row(SDL_SCANCODE_LGUI, kVkLWin, 0x5B, true), Row(SDL_SCANCODE_RGUI, kVkRWin, 0x5C, true),
    Row(SDL_SCANCODE_APPLICATION, kVkApps, 0x5D, true),
};
// clang-format on

}  // namespace

WindowsKey WindowsKeyFor(SDL_Scancode scancode) {
    const auto found =
        std::find_if(kKeyTable.begin(), kKeyTable.end(),
                     [scancode](const KeyRow& row) { return row.scancode == scancode; });
    return found != kKeyTable.end() ? found->key : WindowsKey{kNoVirtualKey, 0, false};
}

}  // namespace platform::win32
