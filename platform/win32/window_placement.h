// Keeps the SDL window where the Windows model says it is. Internal to the win32
// family.
#pragma once

#include <windows.h>

#include "win32/window_registry.h"

namespace platform::win32 {

// Client rectangle in screen coordinates: the display while full screen, else the
// model's window rectangle less its frame.
RECT ClientScreenRect(const WindowRecord& record);

// From now until the window system has caught up, its reports of the window's
// place are echoes of the layer's own change and do not move the model.
void MarkPlacementSettling(WindowRecord& record);

// Makes the window a borderless one over its whole display, so that it covers the
// display even where no window manager acts on a full-screen request.
void CoverDisplay(WindowRecord& record);

// Moves, sizes and decorates the SDL window after the model changed (windowed only).
void ApplyPlacement(WindowRecord& record);

}  // namespace platform::win32
