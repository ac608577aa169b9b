#include <windows.h>

#include "app/app_window.h"

// The program's exit code is -1 however the run ends.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppWindow app;
    MSG msg;
    if (app.Create(instance)) {
        for (;;) {
            while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (app.FrameStep()) {
                break;
            }
        }
    }
    app.Shutdown();
    return -1;
}
