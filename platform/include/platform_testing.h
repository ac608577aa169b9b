// Hooks into the platform layer for tests, tools and benchmarks only; the program
// never includes this header. Every hook is process-wide and runs on the thread
// that uses the layer. ResetAllHooks() puts every hook back to its default.
#pragma once

#include <d3d9.h>
#include <mmsystem.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::testing {

// --- Debugger output and message boxes (platform/win32) ---------------------------

// Receives each OutputDebugStringW call's text unchanged; an empty function restores
// the default sink (UTF-8 on standard error).
void SetDebugSink(std::function<void(const std::wstring& text)> sink);

struct MessageBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};
// Answers MessageBoxW instead of showing a box; the handler's result is the answer.
// An empty function restores the default (an SDL box, or standard error when headless).
void SetMessageBoxHandler(std::function<int(const MessageBoxCall& call)> handler);

// Replaces Sleep: the handler receives the milliseconds instead of the thread sleeping.
void SetSleepHandler(std::function<void(DWORD milliseconds)> handler);

// --- Window events (platform/win32) -----------------------------------------------

// Makes the window lose or regain the input focus, or be minimised and restored,
// as the user would; a full-screen device on it is lost while it is unfocused or
// minimised.
void SetWindowFocus(HWND hwnd, bool focused);
void SetWindowMinimised(HWND hwnd, bool minimised);

// The window system refuses the next `count` switches into or out of full screen.
void RefuseFullScreenSwitches(int count);

// Receives SIGTERM or SIGINT as the program's handler does, without the handler
// being installed; false when the real process would end here at once (a second
// signal). ClearTerminationSignals forgets every signal received.
bool DeliverTerminationSignal();
void ClearTerminationSignals();

// Client-area size in pixels as the window system sees it.
SIZE GetClientSize(HWND hwnd);

// Whether the window is presented full screen (borderless, covering the display).
bool IsWindowFullScreen(HWND hwnd);

// --- Millisecond clock (platform/winmm) -------------------------------------------

// Replaces the clock behind timeGetTime; an empty function restores the monotonic
// clock. The last period given to timeBeginPeriod is readable for tests.
void SetClock(std::function<DWORD()> clock);
UINT LastTimerPeriod();

// --- Direct3D 9 device (platform/d3d9) --------------------------------------------

enum class D3DCall {
    Direct3DCreate9,
    CreateDevice,
    Present,
    TestCooperativeLevel,
    Reset,
    CreateTexture,
    TextureLockRect,
    SurfaceLockRect,
    GetLevelDesc,
    GetSurfaceLevel,
    SurfaceGetDC,
    UpdateTexture,
    CreateVertexBuffer,
    VertexBufferLock,
};

// The next `count` calls of `call` fail with `result` instead of doing their work
// (Direct3DCreate9 returns null for any failure). A negative count fails every
// call until ClearD3DFailures().
void FailD3DCall(D3DCall call, HRESULT result, int count = 1);
void ClearD3DFailures();

// Loses the device as a full-screen device is lost on Windows: Present and
// TestCooperativeLevel report D3DERR_DEVICELOST until RestoreLostDevice(), then
// TestCooperativeLevel reports D3DERR_DEVICENOTRESET until a successful Reset.
void LoseDevice(IDirect3DDevice9* device);
void RestoreLostDevice(IDirect3DDevice9* device);

// A frame as Present showed it, one 0xAARRGGBB value per pixel, rows from the top.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// While capture is on, each Present keeps a copy of its frame; LastPresentedFrame
// returns the last one (empty before the first). Switching either way forgets it.
void CapturePresentedFrames(bool capture);
Frame LastPresentedFrame();
int PresentCount();
int DrawPrimitiveCount();

// Objects alive right now, across all devices.
struct D3DLiveObjects {
    int direct3d = 0;
    int devices = 0;
    int textures = 0;
    int surfaces = 0;
    int vertexBuffers = 0;
};
D3DLiveObjects CountD3DLiveObjects();

// --- GDI (platform/gdi) -----------------------------------------------------------

enum class GdiCall { CreateFontW, CreateDIBSection, CreateCompatibleDC };
void FailGdiCall(GdiCall call, int count = 1);
void ClearGdiFailures();

struct GdiLiveObjects {
    int deviceContexts = 0;
    int fonts = 0;
    int bitmaps = 0;
    int brushes = 0;
};
GdiLiveObjects CountGdiLiveObjects();

// The font file the layer chose for a face name (after substitution).
std::string ResolvedFontFile(const std::wstring& faceName);

// --- Memory (platform/crt) --------------------------------------------------------

// The next `count` calls into the layer that allocate (creating a texture, a font,
// a device...) run out of memory and answer as the call does on Windows.
void FailAllocations(int count);

// --- Everything -------------------------------------------------------------------

void ResetAllHooks();

}  // namespace platform::testing
