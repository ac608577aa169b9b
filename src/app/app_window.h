// The application: its window, the Direct3D object and device, the run flags and
// the board scene, with the window's message handling and the device's life.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "scene/board_scene.h"

// An overlapped window without a sizing border, visible from creation (0x10CB0000):
// the style of creation, of its size, and of the return from full screen.
const DWORD kWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
// The client area, which is also the back buffer's size in both modes.
const LONG kClientWidth = 640;
const LONG kClientHeight = 480;

// Window, message handling and window procedure: app_window.cpp; the device's life
// and the camera it carries: app_window_device.cpp.
class AppWindow {
public:
    AppWindow();
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    // Window class, window, then device; false ends the program.
    bool Create(HINSTANCE instance);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool InitDevice();
    // One turn of WinMain's loop: every waiting message, then a frame step; true ends it.
    bool RunLoopTurn();
    // One step of the run loop after the message drain; true ends the loop.
    bool FrameStep();
    void RenderFrame();
    void RecoverLostDevice();
    void ToggleFullScreen();
    void SetTransforms();
    // Releases the scene's resources, the device and the Direct3D object.
    void Shutdown();
    // The end of every run, created or not: Shutdown, then WinMain's exit code.
    int Exit();

    HWND hwnd;
    IDirect3D9* d3d;
    IDirect3DDevice9* device;
    D3DPRESENT_PARAMETERS presentParams;
    bool resetFailed;
    bool deviceLost;
    bool quit;
    LONG savedLeft;
    LONG savedTop;
    BoardScene scene;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
