// The AppWindow's device: creation, its camera, one frame, recovery of a lost device
// and the full-screen switch, each reset bracketed by the scene's release and reload.
#include "app/app_window.h"
#include "app/camera_matrices.h"
#include "app/debug_trace.h"

namespace {

const D3DCOLOR kClearColor = 0xFF8080FF;
const DWORD kLostPollMilliseconds = 100;
const float kFieldOfViewY = 3.14159265358979323846f / 4.0f;
const float kNearPlane = 0.1f;
const float kFarPlane = 1000.0f;

}  // namespace

bool AppWindow::InitDevice() {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == NULL) {
        return false;
    }
    D3DDISPLAYMODE displayMode;
    ZeroMemory(&displayMode, sizeof(displayMode));
    d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode);

    ZeroMemory(&presentParams, sizeof(presentParams));
    presentParams.BackBufferWidth = 0;  // the client area
    presentParams.BackBufferHeight = 0;
    presentParams.BackBufferFormat = displayMode.Format;
    presentParams.BackBufferCount = 0;
    presentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    presentParams.MultiSampleQuality = 0;
    presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParams.hDeviceWindow = NULL;
    presentParams.Windowed = TRUE;
    presentParams.EnableAutoDepthStencil = TRUE;
    presentParams.AutoDepthStencilFormat = D3DFMT_D16;
    presentParams.Flags = 0;
    presentParams.FullScreen_RefreshRateInHz = 0;
    presentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    // Every later step needs the device: without one the program ends.
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd,
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &presentParams, &device)) ||
        device == NULL) {
        device = NULL;
        DebugTrace(L"CreateDevice Failed\n");
        return false;
    }
    SetTransforms();
    scene.LoadResources(device);
    return true;
}

bool AppWindow::FrameStep() {
    if (resetFailed) {
        return quit;
    }
    if (!deviceLost) {
        RenderFrame();
    } else {
        RecoverLostDevice();
    }
    return quit;
}

void AppWindow::RenderFrame() {
    device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    device->BeginScene();
    scene.Draw();
    device->EndScene();
    if (device->Present(NULL, NULL, NULL, NULL) == D3DERR_DEVICELOST) {
        deviceLost = true;
    }
}

// After a successful reset the flag stays set: the next step tests once more and
// only then renders.
void AppWindow::RecoverLostDevice() {
    Sleep(kLostPollMilliseconds);
    const HRESULT cooperativeLevel = device->TestCooperativeLevel();
    if (SUCCEEDED(cooperativeLevel)) {
        deviceLost = false;
        RenderFrame();
    } else if (cooperativeLevel == D3DERR_DEVICENOTRESET) {
        scene.ReleaseResources();
        if (SUCCEEDED(device->Reset(&presentParams))) {
            SetTransforms();
            scene.LoadResources(device);
            OutputDebugStringW(L"Lost And Found\n");
        }
    }
}

void AppWindow::ToggleFullScreen() {
    // The window outlives a failed device creation and may still receive keys.
    if (device == NULL) {
        return;
    }
    presentParams.Windowed = !presentParams.Windowed;
    DWORD style;
    if (!presentParams.Windowed) {
        RECT windowRect;
        GetWindowRect(hwnd, &windowRect);
        savedLeft = windowRect.left;
        savedTop = windowRect.top;
        presentParams.BackBufferHeight = kClientHeight;
        presentParams.BackBufferWidth = kClientWidth;
        style = WS_POPUP;
    } else {
        RECT rect = {0, 0, kClientWidth, kClientHeight};
        AdjustWindowRect(&rect, kWindowStyle, FALSE);
        SetWindowPos(hwnd, NULL, savedLeft, savedTop, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER);
        style = kWindowStyle;
    }
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style));
    SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);

    scene.ReleaseResources();
    if (FAILED(device->Reset(&presentParams))) {
        MessageBoxW(NULL, L"FAIL", L"FAIL", MB_OK);
        resetFailed = true;
        return;
    }
    resetFailed = false;
    SetTransforms();
    scene.LoadResources(device);
}

// The fixed camera, which every created or reset device needs again.
void AppWindow::SetTransforms() {
    const float aspect = static_cast<float>(presentParams.BackBufferWidth) /
                         static_cast<float>(presentParams.BackBufferHeight);
    const D3DMATRIX projection = PerspectiveFovMatrix(kFieldOfViewY, aspect, kNearPlane, kFarPlane);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    const Vector4 eye = {0.0f, 0.0f, -3.0f, 0.0f};
    const Vector4 focus = {0.0f, 0.0f, 0.0f, 0.0f};
    const Vector4 up = {0.0f, 1.0f, 0.0f, 0.0f};
    const Vector4 direction = {focus.x - eye.x, focus.y - eye.y, focus.z - eye.z, 0.0f};
    const D3DMATRIX view = LookToMatrix(eye, direction, up);
    device->SetTransform(D3DTS_VIEW, &view);

    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void AppWindow::Shutdown() {
    scene.ReleaseResources();
    if (device != NULL) {
        device->Release();
        device = NULL;
    }
    if (d3d != NULL) {
        d3d->Release();
        d3d = NULL;
    }
}
