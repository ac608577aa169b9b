// No Windows function: SDL's video subsystem, started on first use.
#include "win32/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "win32/present_path.h"
#include "win32/process_ending.h"

namespace platform::win32 {

bool EnsureSdlVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        return true;
    }
    // When frames go through the window surface, a GL-backed surface would only
    // add a copy to the software device's own.
    if (std::getenv("SDL_FRAMEBUFFER_ACCELERATION") == nullptr) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    // The program's entry turns SIGINT and SIGTERM into WM_CLOSE itself; elsewhere
    // they end the process as they end any other.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    EndWhenDisplayIsLost();
    DecidePresentPath();
    return true;
}

bool HasRealDisplay() {
    if (!EnsureSdlVideo()) {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 &&
           std::strcmp(driver, "offscreen") != 0;
}

}  // namespace platform::win32
