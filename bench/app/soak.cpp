// Soak run of the whole program, headless: N full-screen switches, then N lost-device
// recoveries, each followed by a frame. Prints the live Direct3D and GDI objects and
// the resident memory at the start, between the two runs and at the end; both must
// stay flat. Usage: soak [N, default 10000]
#include <platform_testing.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/app_window.h"
#include "scratch_working_directory.h"

namespace {

const std::filesystem::path kAssets = CORVANE_ASSETS_DIR;

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Report(const char* when, double seconds) {
    const platform::testing::D3DLiveObjects d3d = platform::testing::CountD3DLiveObjects();
    const platform::testing::GdiLiveObjects gdi = platform::testing::CountGdiLiveObjects();
    std::printf(
        "%-16s %8.1f s  Direct3D: %d direct3d, %d devices, %d textures, %d surfaces, %d vertex "
        "buffers;"
        "  GDI: %d DCs, %d fonts, %d bitmaps, %d brushes;  resident %ld KiB\n",
        when, seconds, d3d.direct3d, d3d.devices, d3d.textures, d3d.surfaces, d3d.vertexBuffers,
        gdi.deviceContexts, gdi.fonts, gdi.bitmaps, gdi.brushes, ResidentKiB());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10000;
    int recoveries = 0;
    platform::testing::SetDebugSink([&recoveries](const std::wstring& text) {
        if (text == L"Lost And Found\n") ++recoveries;
    });
    platform::testing::SetSleepHandler([](DWORD) {});  // the lost-device poll waits for nothing

    ScratchWorkingDirectory scratch{kAssets / "Kai_Orisa05.png", kAssets / "Velmo_Grid.png",
                                    kAssets / "TBX_Cursor.png"};
    AppWindow app;
    if (!app.Create(NULL)) {
        std::fprintf(stderr, "soak: the program could not create its window and device\n");
        return 1;
    }
    platform::testing::SetWindowFocus(app.hwnd, true);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    app.FrameStep();
    Report("start", elapsed());

    for (int i = 0; i < rounds; ++i) {
        app.ToggleFullScreen();
        if (app.resetFailed) {
            std::fprintf(stderr, "soak: switch %d: the reset failed\n", i + 1);
            return 1;
        }
        app.FrameStep();
    }
    Report("after switches", elapsed());

    // Lost: the next Present says so. Restored: the next step resets and reloads,
    // the one after renders again.
    for (int i = 0; i < rounds; ++i) {
        platform::testing::LoseDevice(app.device);
        app.FrameStep();
        platform::testing::RestoreLostDevice(app.device);
        app.FrameStep();
        app.FrameStep();
    }
    Report("after recoveries", elapsed());

    app.Shutdown();
    if (recoveries != rounds || app.deviceLost) {
        std::fprintf(stderr, "soak: %d of %d recoveries completed\n", recoveries, rounds);
        return 1;
    }
    return 0;
}
