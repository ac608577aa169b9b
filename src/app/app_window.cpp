#include "app/app_window.h"

namespace {

const wchar_t kClassName[] = L"CorvaneGame";
const wchar_t kWindowTitle[] = L"Corvane";

}  // namespace

// The presentation parameters and the saved position are filled before first use.
AppWindow::AppWindow() {
    hwnd = NULL;
    d3d = NULL;
    device = NULL;
    resetFailed = false;
    deviceLost = false;
    quit = false;
}

bool AppWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(NULL, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    windowClass.hIconSm = windowClass.hIcon;
    if (RegisterClassExW(&windowClass) == 0) {
        return false;
    }

    RECT rect = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&rect, kWindowStyle, FALSE);
    hwnd =
        CreateWindowExW(0, kClassName, kWindowTitle, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, instance, this);
    if (hwnd == NULL) {
        UnregisterClassW(kClassName, instance);
        return false;
    }
    return InitDevice();
}

bool AppWindow::RunLoopTurn() {
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return FrameStep();
}

int AppWindow::Exit() {
    Shutdown();
    return -1;
}

LRESULT AppWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
        case WM_DESTROY:
            quit = true;
            break;
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_RETURN:
                    ToggleFullScreen();
                    break;
                case VK_ESCAPE:
                    quit = true;
                    break;
                case VK_SPACE:
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN:
                    scene.OnKey(wParam);
                    break;
                case VK_F1:
                    OutputDebugStringW(L"x\n");
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The window carries its AppWindow in the pointer-sized user data slot, bound at
// WM_NCCREATE so that every later message of creation already reaches the object.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        AppWindow* app = static_cast<AppWindow*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
        return app->HandleMessage(window, message, wParam, lParam);
    }
    AppWindow* app = reinterpret_cast<AppWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (app == NULL) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return app->HandleMessage(window, message, wParam, lParam);
}
