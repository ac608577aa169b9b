// Presentation parameters: what the device accepts, and putting the window into
// the presentation they ask for.
#pragma once

#include <d3d9.h>

namespace platform::d3d9 {

// Checks `params` and resolves them in place as the device writes them back: a
// windowed 0 x 0 back buffer takes the client area the window will have (its
// windowed one when `leaveFullScreen` is set: a Reset may come from full screen),
// an unknown windowed format the desktop's, a count of 0 means one back buffer.
// D3DERR_INVALIDCALL for what the device does not support. The window is not touched.
HRESULT ResolvePresentation(HWND window, D3DPRESENT_PARAMETERS& params, bool leaveFullScreen);

// Switches the window to full screen at the back-buffer size for a full-screen
// request, and back to windowed for a windowed one when `leaveFullScreen` is set.
// False when the window system refuses; the window is then as it was.
bool SwitchPresentation(HWND window, const D3DPRESENT_PARAMETERS& params, bool leaveFullScreen);

}  // namespace platform::d3d9
