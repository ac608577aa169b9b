// The device's own frame costs on a 640 x 480 window: clearing colour and depth, and
// presenting 1:1 or stretched, as the program's empty-scene loop does. Headless on
// SDL's dummy driver unless the caller chose another; on a real X server the window
// is shown, so that presenting does what it does for the program.
#include <benchmark/benchmark.h>

#include "test_device.h"

namespace {

void SetFrameRate(benchmark::State& state) {
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void ClearOnly(benchmark::State& state) {
    TestDevice test;
    IDirect3DDevice9* device = test.device();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8080FF, 1.0f, 0);
    }
    SetFrameRate(state);
}
BENCHMARK(ClearOnly);

// state.range(0): the back buffer's width (the window's client area is 640 x 480).
void ClearAndPresent(benchmark::State& state) {
    TestDevice test;
    IDirect3DDevice9* device = test.device();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    ShowWindow(test.window(), SW_SHOW);
    D3DPRESENT_PARAMETERS params = test.presentParameters();
    params.BackBufferWidth = static_cast<UINT>(state.range(0));
    params.BackBufferHeight = static_cast<UINT>(state.range(0) * 3 / 4);
    if (device->Reset(&params) != D3D_OK) {
        state.SkipWithError("reset refused");
        return;
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8080FF, 1.0f, 0);
        device->BeginScene();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    SetFrameRate(state);
}
BENCHMARK(ClearAndPresent)->Arg(640)->Arg(320)->Arg(1280);

}  // namespace

int main(int argc, char** argv) {
    // Headless unless the caller chose a video driver.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
