// Every live window and its state, as the Windows model sees it. Internal to the
// win32 family.
#pragma once

#include <windows.h>

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "win32/gpu_presenter.h"
#include "win32/shm_presenter.h"

namespace platform::win32 {

struct SdlWindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

struct WindowRecord {
    HWND hwnd = nullptr;
    std::unique_ptr<SDL_Window, SdlWindowDeleter> sdlWindow;
    // Declared after the SDL window so that it goes first: a renderer must not
    // outlive its window.
    std::unique_ptr<GpuPresenter> presenter;
    // Frames straight to the X server, tried at the window's first frame; null where
    // SDL's window surface shows them.
    std::unique_ptr<ShmPresenter> shmPresenter;
    bool shmPresenterTried = false;
    // The surface memory lent to a device that draws a frame in place
    // (LendFrameMemory), as it was when lent; number 0 while nothing is lent.
    struct {
        uint64_t number = 0;
        const void* pixels = nullptr;
        int width = 0;
        int height = 0;
    } frameLoan;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR userData = 0;
    // The outer rectangle in screen coordinates while windowed; kept while full
    // screen so that the window can come back to it.
    RECT windowRect{};
    bool fullScreen = false;
    bool focused = false;
    bool minimised = false;
    bool destroying = false;
    // Until this SDL tick, moves and resizes reported by the window system are the
    // echo of the layer's own placement and are not taken into the model.
    uint32_t settleUntilTicks = 0;
};

// Takes ownership; returns the new window's handle (never reused).
HWND AddWindowRecord(std::unique_ptr<WindowRecord> record);
void RemoveWindowRecord(HWND hwnd);
// Null for an unknown or destroyed handle.
WindowRecord* FindWindowRecord(HWND hwnd);
WindowRecord* FindWindowRecordBySdlId(uint32_t windowId);
// The SDL window behind a window handle; null for an unknown handle.
SDL_Window* SdlWindowOf(HWND hwnd);
// The window with the input focus, else the only window; null if neither exists.
WindowRecord* FocusedOrOnlyWindow();

}  // namespace platform::win32
