// SDL keys as Windows sees them. Internal to the win32 family.
#pragma once

#include <windows.h>

#include <SDL.h>

namespace platform::win32 {

struct WindowsKey {
    BYTE virtualKey;  // 0xFF when Windows has no code for the key
    BYTE scanCode;    // set-1 make code
    bool extended;    // the E0-prefixed keys
};

WindowsKey WindowsKeyFor(SDL_Scancode scancode);

}  // namespace platform::win32
