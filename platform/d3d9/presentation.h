// Presentation parameters: what the device accepts, and putting the window into
// the presentation they ask for.
#pragma once

#include <d3d9.h>

namespace platform::d3d9 {

// Checks `params` and resolves them in place as the device writes them back: a
// windowed 0 x 0 back buffer takes the window's client area, an unknown windowed
// format the desktop's, a count of 0 means one back buffer. A full-screen
// request switches the window to full screen at the back-buffer size; a windowed
// one switches it back when `leaveFullScreen` is set (a Reset may come from full
// screen). D3DERR_INVALIDCALL for what the device does not support.
HRESULT ApplyPresentation(HWND window, D3DPRESENT_PARAMETERS& params, bool leaveFullScreen);

}  // namespace platform::d3d9
