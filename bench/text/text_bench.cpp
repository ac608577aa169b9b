// The text renderer's costs: a whole-atlas upload (paid once per new character),
// drawing one glyph into its cell, and drawing an already cached "60" (searches
// and quads only).
#include <benchmark/benchmark.h>
#include <platform_testing.h>

#include "render/release_interface.h"
#include "test_device.h"
#include "text/text_renderer.h"

namespace {

// A renderer on a test device, torn down the way the scene does it.
class BenchRenderer {
public:
    BenchRenderer() {
        platform::testing::SetDebugSink([](const std::wstring&) {});
        CreateTextRenderer(device.device(), &renderer);
    }
    ~BenchRenderer() {
        ReleaseInterface(renderer->atlasTexture);
        delete renderer;
        renderer = nullptr;
        platform::testing::SetDebugSink({});
    }
    BenchRenderer(const BenchRenderer&) = delete;
    BenchRenderer& operator=(const BenchRenderer&) = delete;

    TestDevice device;
    TextRenderer* renderer = nullptr;
};

void BM_UploadAtlas(benchmark::State& state) {
    BenchRenderer bench;
    for (auto _ : state) bench.renderer->UploadAtlas();
    state.SetBytesProcessed(state.iterations() * 1024 * 1024 * 4);
}
BENCHMARK(BM_UploadAtlas)->Unit(benchmark::kMicrosecond);

void BM_DrawGlyph(benchmark::State& state) {
    BenchRenderer bench;
    const char16_t glyph = static_cast<char16_t>(state.range(0));
    for (auto _ : state) bench.renderer->DrawGlyph(glyph);
}
BENCHMARK(BM_DrawGlyph)->Arg(u'6')->Arg(0x6F22)->Unit(benchmark::kMicrosecond);

void BM_DrawStringCached(benchmark::State& state) {
    BenchRenderer bench;
    SpriteBatch batch;
    batch.Init(bench.device.device());
    bench.renderer->DrawString(L"60", &batch);
    for (auto _ : state) {
        batch.entries.clear();
        bench.renderer->DrawString(L"60", &batch);
        benchmark::DoNotOptimize(batch.entries.data());
    }
    batch.ReleaseDeviceObjects();
}
BENCHMARK(BM_DrawStringCached)->Unit(benchmark::kNanosecond);

}  // namespace
