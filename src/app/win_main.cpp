#include <windows.h>

#include "app/app_window.h"

// The program's exit code is -1 however the run ends.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppWindow app;
    if (app.Create(instance)) {
        while (!app.RunLoopTurn()) {
        }
    }
    return app.Exit();
}
