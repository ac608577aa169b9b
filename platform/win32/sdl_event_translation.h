// Turns one SDL event into the window messages Windows would post for it. Internal
// to the win32 family.
#pragma once

#include <SDL.h>

namespace platform::win32 {

void TranslateSdlEvent(const SDL_Event& event);

}  // namespace platform::win32
