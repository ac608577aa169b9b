#include "test_device.h"

namespace {

constexpr const wchar_t* kClassName = L"CorvaneTestDevice";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

}  // namespace

TestDevice::TestDevice() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClassName;
    // A second helper alive at once finds the class already there.
    registeredClass_ = RegisterClassExW(&windowClass) != 0;

    RECT frame{0, 0, 640, 480};
    AdjustWindowRect(&frame, kStyle, FALSE);
    window_ = CreateWindowExW(0, kClassName, L"Test device", kStyle, 0, 0, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
    if (!window_) return;

    direct3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    if (!direct3d_) return;

    presentParameters_.BackBufferFormat = D3DFMT_X8R8G8B8;
    presentParameters_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters_.Windowed = TRUE;
    presentParameters_.EnableAutoDepthStencil = TRUE;
    presentParameters_.AutoDepthStencilFormat = D3DFMT_D16;
    presentParameters_.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &presentParameters_,
                                &device_) != D3D_OK) {
        device_ = nullptr;
    }
}

TestDevice::~TestDevice() {
    if (device_) device_->Release();
    if (direct3d_) direct3d_->Release();
    if (window_) DestroyWindow(window_);
    if (registeredClass_) UnregisterClassW(kClassName, nullptr);
}
