// A windowed Direct3D 9 device on a hidden 640 x 480 window, for tests: X8R8G8B8
// back buffer, 16-bit depth buffer, immediate presentation. Everything is released
// when the helper goes out of scope.
#pragma once

#include <d3d9.h>
#include <windows.h>

class TestDevice {
public:
    TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;
    ~TestDevice();

    // Null when the window or the device could not be made.
    IDirect3DDevice9* device() const { return device_; }
    HWND window() const { return window_; }
    IDirect3D9* direct3d() const { return direct3d_; }
    // The parameters as CreateDevice wrote them back; handy for Reset.
    D3DPRESENT_PARAMETERS& presentParameters() { return presentParameters_; }

private:
    bool registeredClass_ = false;
    HWND window_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    D3DPRESENT_PARAMETERS presentParameters_{};
};
