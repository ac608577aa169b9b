#include "test_device.h"

#include "render/release_interface.h"

namespace {

const WCHAR kClassName[] = L"CorvaneTestWindow";

void RegisterTestClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClassName;
    registered = RegisterClassExW(&windowClass) != 0;
}

}  // namespace

TestDevice::TestDevice() {
    RegisterTestClass();
    RECT frame = {0, 0, 640, 480};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window = CreateWindowExW(0, kClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0,
                             frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                             NULL, NULL);
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!window || !direct3d) {
        return;
    }
    D3DDISPLAYMODE mode = {};
    direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    presentParams.BackBufferWidth = 640;
    presentParams.BackBufferHeight = 480;
    presentParams.BackBufferFormat = mode.Format;
    presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParams.hDeviceWindow = window;
    presentParams.Windowed = TRUE;
    presentParams.EnableAutoDepthStencil = TRUE;
    presentParams.AutoDepthStencilFormat = D3DFMT_D16;
    presentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING, &presentParams,
                                      &device))) {
        device = NULL;
    }
}

TestDevice::~TestDevice() {
    ReleaseInterface(device);
    ReleaseInterface(direct3d);
    if (window) {
        DestroyWindow(window);
        window = NULL;
    }
}

IDirect3DTexture9* TestDevice::MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                           const std::function<uint32_t(int x, int y)>& texel) {
    IDirect3DTexture9* staging = NULL;
    IDirect3DTexture9* texture = NULL;
    if (FAILED(device->CreateTexture(width, height, 1, 0, format, D3DPOOL_SYSTEMMEM, &staging,
                                     NULL)) ||
        FAILED(device->CreateTexture(width, height, 1, 0, format, D3DPOOL_DEFAULT, &texture,
                                     NULL))) {
        ReleaseInterface(staging);
        return NULL;
    }
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(staging->LockRect(0, &locked, NULL, 0))) {
        for (UINT y = 0; y < height; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                                        static_cast<size_t>(y) * locked.Pitch);
            for (UINT x = 0; x < width; ++x) {
                row[x] = texel(static_cast<int>(x), static_cast<int>(y));
            }
        }
        staging->UnlockRect(0);
    }
    device->UpdateTexture(staging, texture);
    ReleaseInterface(staging);
    return texture;
}

platform::testing::Frame TestDevice::RenderPass(
    const std::function<void(SpriteBatch& batch)>& addQuads) {
    SpriteBatch* batch = NULL;
    CreateSpriteBatch(batch, device);
    device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    device->BeginScene();
    batch->Begin();
    addQuads(*batch);
    batch->End();
    device->EndScene();
    device->Present(NULL, NULL, NULL, NULL);
    batch->ReleaseDeviceObjects();
    delete batch;
    return platform::testing::LastPresentedFrame();
}
