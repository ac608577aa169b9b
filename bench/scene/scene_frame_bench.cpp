// The program's frame on the real device, headless (SDL's dummy video driver):
// the sprite batch's workload alone, render only and with Present; the whole
// program frame through AppWindow; and one full-screen switch with its reset.
#include <benchmark/benchmark.h>
#include <platform_testing.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_window.h"
#include "image/texture_loader.h"
#include "render/release_interface.h"
#include "render/sprite_batch.h"
#include "render_harness.h"
#include "scratch_working_directory.h"

namespace {

const std::filesystem::path kAssets = CORVANE_ASSETS_DIR;

std::wstring AssetPath(const char* name) { return (kAssets / name).wstring(); }

void SetFrameRate(benchmark::State& state) {
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The quads of the program's frame: 49 cells, the piece, the cursor and two 40 x 40
// glyph cells of a 1024 x 1024 atlas.
class ProgramWorkload {
public:
    explicit ProgramWorkload(RenderHarness& gpu) : gpu_(gpu) {
        LoadTexture(gpu.device(), AssetPath("Velmo_Grid.png").c_str(), &cell_);
        LoadTexture(gpu.device(), AssetPath("Kai_Orisa05.png").c_str(), &piece_);
        LoadTexture(gpu.device(), AssetPath("TBX_Cursor.png").c_str(), &cursor_);
        // White glyph cells whose coverage ramps across each cell.
        atlas_ = gpu.MakeTexture(1024, 1024, D3DFMT_A8R8G8B8, [](int x, int y) {
            const uint32_t coverage = x < 80 && y < 40 ? static_cast<uint32_t>((x % 40) * 6) : 0;
            return (coverage << 24) | 0x00FFFFFFu;
        });
        CreateSpriteBatch(batch_, gpu.device());
    }

    ~ProgramWorkload() {
        batch_->ReleaseDeviceObjects();
        delete batch_;
        batch_ = NULL;
        ReleaseInterface(cell_);
        ReleaseInterface(piece_);
        ReleaseInterface(cursor_);
        ReleaseInterface(atlas_);
    }

    bool Ready() const { return cell_ && piece_ && cursor_ && atlas_; }

    void Render(bool present) {
        gpu_.DrawFrame([this] { AddQuads(); }, present);
    }

private:
    void AddQuads() {
        batch_->Begin();
        const SourceRect whole = {0, 0, 64, 64};
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 7; ++col) {
                batch_->AddQuad(cell_, whole, 16.0f + 64.0f * col, 16.0f + 64.0f * row);
            }
        }
        batch_->AddQuad(piece_, whole, 144.0f, 80.0f);
        batch_->AddQuad(cursor_, whole, 144.0f, 80.0f);
        batch_->AddQuad(atlas_, {0, 0, 40, 40}, 0.0f, 0.0f);
        batch_->AddQuad(atlas_, {40, 0, 80, 40}, 40.0f, 0.0f);
        batch_->End();
    }

    RenderHarness& gpu_;
    IDirect3DTexture9* cell_ = NULL;
    IDirect3DTexture9* piece_ = NULL;
    IDirect3DTexture9* cursor_ = NULL;
    IDirect3DTexture9* atlas_ = NULL;
    SpriteBatch* batch_ = NULL;
};

void ProgramFrame(benchmark::State& state, bool present) {
    RenderHarness gpu;
    if (!gpu.device()) {
        state.SkipWithError("no device");
        return;
    }
    ProgramWorkload workload(gpu);
    if (!workload.Ready()) {
        state.SkipWithError("images did not load");
        return;
    }
    for (auto _ : state) {
        workload.Render(present);
    }
    SetFrameRate(state);
}

void BM_SpriteBatchFrame_RenderOnly(benchmark::State& state) { ProgramFrame(state, false); }
void BM_SpriteBatchFrame_WithPresent(benchmark::State& state) { ProgramFrame(state, true); }
BENCHMARK(BM_SpriteBatchFrame_RenderOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpriteBatchFrame_WithPresent)->Unit(benchmark::kMicrosecond);

// The whole program, created as WinMain creates it, in a scratch directory that
// holds its images (the dump of every reset lands there too).
class ProgramInScratch {
public:
    ProgramInScratch() {
        platform::testing::SetDebugSink([](const std::wstring&) {});
        created_ = app.Create(NULL);
        if (created_) {
            platform::testing::SetWindowFocus(app.hwnd, true);
        }
    }

    // Shutdown as WinMain ends; the window and its class go too, so that the next
    // run of a benchmark can create them again in this process.
    ~ProgramInScratch() {
        app.Shutdown();
        if (app.hwnd) {
            DestroyWindow(app.hwnd);
            app.hwnd = NULL;
        }
        UnregisterClassW(L"CorvaneGame", NULL);
        platform::testing::ResetAllHooks();
    }

    bool Created() const { return created_; }

    // First: the program runs inside it and is gone before it is removed.
    ScratchWorkingDirectory scratch{kAssets / "Kai_Orisa05.png", kAssets / "Velmo_Grid.png",
                                    kAssets / "TBX_Cursor.png"};
    AppWindow app;

private:
    bool created_ = false;
};

void BM_AppWindowRenderFrame(benchmark::State& state) {
    ProgramInScratch program;
    if (!program.Created()) {
        state.SkipWithError("the program could not create its window and device");
        return;
    }
    for (auto _ : state) {
        program.app.RenderFrame();
    }
    SetFrameRate(state);
}
BENCHMARK(BM_AppWindowRenderFrame)->Unit(benchmark::kMicrosecond);

// Release, reset, reload of three images and the text renderer, and the 4 MiB dump.
void BM_FullScreenToggle(benchmark::State& state) {
    ProgramInScratch program;
    if (!program.Created()) {
        state.SkipWithError("the program could not create its window and device");
        return;
    }
    for (auto _ : state) {
        program.app.ToggleFullScreen();
        if (program.app.resetFailed) {
            state.SkipWithError("the reset of the switch failed");
            return;
        }
    }
}
BENCHMARK(BM_FullScreenToggle)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);  // headless unless the caller chose a driver
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
