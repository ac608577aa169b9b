// LoadTexture against a plain decode of the same file into memory, for a
// 1024 x 1024 PNG, BMP and TGA written at start-up. The loader's own cost (probe,
// staging texture, copy) is reported as a share of the plain decode.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <platform_testing.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/image_decoding.h"
#include "image/texture_loader.h"
#include "image_files.h"
#include "scratch_working_directory.h"
#include "test_device.h"

namespace {

const int Side = 1024;

struct BenchFiles {
    ScratchWorkingDirectory folder;
    std::wstring png;
    std::wstring bmp;
    std::wstring tga;
};

BenchFiles* files = nullptr;
TestDevice* testDevice = nullptr;

std::wstring WritePng(const ScratchWorkingDirectory& folder) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            pixels.push_back(image_test::PatternPixel(x, y));
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = Side;
    image.height = Side;
    image.format = PNG_FORMAT_BGRA;
    std::wstring path = folder.PathOf("bench.png");
    std::string narrow = std::filesystem::path(path).string();
    if (!png_image_write_to_file(&image, narrow.c_str(), 0, pixels.data(), 0, nullptr)) {
        throw std::runtime_error(image.message);
    }
    return path;
}

std::string Narrow(const std::wstring& path) { return std::filesystem::path(path).string(); }

void LoadThroughTheLoader(benchmark::State& state, const std::wstring& path) {
    for (auto _ : state) {
        IDirect3DTexture9* texture = nullptr;
        LoadTexture(testDevice->device(), path.c_str(), &texture);
        if (texture == nullptr) {
            state.SkipWithError("no texture");
            break;
        }
        texture->Release();
    }
}

void BM_LoadTexturePng(benchmark::State& state) { LoadThroughTheLoader(state, files->png); }
void BM_LoadTextureBmp(benchmark::State& state) { LoadThroughTheLoader(state, files->bmp); }
void BM_LoadTextureTga(benchmark::State& state) { LoadThroughTheLoader(state, files->tga); }

void BM_DecodePng(benchmark::State& state) {
    std::string path = Narrow(files->png);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) {
            state.SkipWithError(image.message);
            break;
        }
        image.format = PNG_FORMAT_BGRA;
        std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
            state.SkipWithError(image.message);
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
}

// Reads the pixel block that follows `headerBytes` and converts it as the
// decoders do, into a plain buffer.
void DecodeStored(benchmark::State& state, const std::wstring& path, long headerBytes,
                  UINT bytesPerPixel, size_t stride) {
    std::string narrow = Narrow(path);
    for (auto _ : state) {
        FILE* file = std::fopen(narrow.c_str(), "rb");
        std::vector<BYTE> stored(stride * Side);
        bool read = file != nullptr && std::fseek(file, headerBytes, SEEK_SET) == 0 &&
                    std::fread(stored.data(), stored.size(), 1, file) == 1;
        if (file != nullptr) {
            std::fclose(file);
        }
        if (!read) {
            state.SkipWithError("cannot read");
            break;
        }
        // Two fresh blocks of the same size sit a multiple of 4 KiB apart, and a copy
        // between such addresses stalls on false store-to-load dependencies; the
        // shift keeps that artefact from slowing the reference down.
        const size_t shift = 64;
        std::vector<BYTE> pixels(static_cast<size_t>(Side) * Side * 4 + shift);
        StoredRows rows = {stored.data(), stride, bytesPerPixel, Side, Side, TRUE};
        CopyStoredRowsToBgra(rows, pixels.data() + shift, Side * 4);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void BM_DecodeBmp(benchmark::State& state) { DecodeStored(state, files->bmp, 54, 3, Side * 3); }
void BM_DecodeTga(benchmark::State& state) { DecodeStored(state, files->tga, 18, 4, Side * 4); }

BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTexturePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTextureBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTextureTga)->Unit(benchmark::kMillisecond);

// Prints, after the table, each loader's time beyond the plain decode. CPU time:
// the machine is shared, and wall time there measures the neighbours.
class OverheadReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark.
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((median || run.run_type == Run::RT_Iteration) && !run.error_occurred) {
                times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* kind : {"Png", "Bmp", "Tga"}) {
            auto decode = times_.find(std::string("BM_Decode") + kind);
            auto load = times_.find(std::string("BM_LoadTexture") + kind);
            if (decode != times_.end() && load != times_.end()) {
                std::printf("%s loader overhead: %.1f %% of the plain decode (goal under 25 %%)\n",
                            kind, 100.0 * (load->second - decode->second) / decode->second);
            }
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    platform::testing::SetDebugSink([](const std::wstring&) {});
    // Keep freed 4 MiB blocks in the heap: otherwise whether a run pays fresh page
    // faults depends on the allocator's history, not on the code measured.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    benchmark::Initialize(&argc, argv);
    BenchFiles benchFiles;
    benchFiles.png = WritePng(benchFiles.folder);
    benchFiles.bmp =
        benchFiles.folder.Write("bench.bmp", image_test::BmpBytes({.width = Side, .height = Side}));
    benchFiles.tga = benchFiles.folder.Write(
        "bench.tga", image_test::TgaBytes({.width = Side, .height = Side, .depth = 32}));
    files = &benchFiles;
    TestDevice device;
    testDevice = &device;

    OverheadReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
