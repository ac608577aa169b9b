// The frame workload three ways in one run: through the rasteriser (by route), through
// SDL2's software renderer as the peer baseline, and as hand-vectorised floors that do
// nothing but the work the frame needs, with per-pixel depth and without a depth buffer.
// Before timing, the rasteriser and the floors are checked against plain loops: a route
// that draws a different frame reports an error, not a time.
#include "frame_floors.h"

#include "d3d9/raster/draw_paths.h"
#include "d3d9/raster/target_fill.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace platform::d3d9::raster::bench {
namespace {

const FrameWorkload& Workload() {
    static const FrameWorkload workload;
    return workload;
}

void SetCounters(benchmark::State& state) {
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

testing::Frame Reference(DepthWork depth) {
    testing::Frame reference(kFrameWidth, kFrameHeight, kClearColor,
                             testing::TargetStore::PerPixel);
    ReferenceFrame(Workload(), reference, depth);
    return reference;
}

// Where `drawn` first differs from `expected`, depth included when `drawn` has it.
std::string Mismatch(testing::Frame& drawn, testing::Frame& expected, DepthWork depth,
                     const char* expectedName) {
    const std::vector<uint16_t>& drawnDepth = drawn.Depths();
    const std::vector<uint16_t>& expectedDepth = expected.Depths();
    for (size_t i = 0; i < drawn.color.size(); ++i)
        if (drawn.color[i] != expected.color[i] ||
            (depth == DepthWork::PerPixel && drawnDepth[i] != expectedDepth[i]))
            return "differs from " + std::string(expectedName) + " at (" +
                   std::to_string(i % kFrameWidth) + ", " + std::to_string(i / kFrameWidth) + ")";
    return {};
}

// -- the rasteriser ----------------------------------------------------------------

void DrawDeviceFrame(testing::Frame& frame, FixedFunctionState& pipeline, RasterPath path) {
    const PixelRect whole{0, 0, kFrameWidth, kFrameHeight};
    FillColor(frame.Color(), whole, kClearColor);
    FillDepth(frame.Depth(), whole, 0xFFFF);
    for (const QuadDraw& quad : Workload().quads) {
        testing::PlaceSprite(pipeline, *quad.texture, quad.source, static_cast<float>(quad.x),
                             static_cast<float>(quad.y));
        testing::DrawUnitSquare(pipeline, frame, path);
    }
    // What presenting the frame does first.
    frame.colorTiles.MaterialiseAll(frame.Color());
}

void RasterFrame(benchmark::State& state, RasterPath path) {
    testing::Frame frame(kFrameWidth, kFrameHeight, kClearColor);
    FixedFunctionState pipeline = testing::SpriteBatchState();
    DrawDeviceFrame(frame, pipeline, path);
    testing::Frame reference = Reference(DepthWork::PerPixel);
    if (const std::string wrong = Mismatch(frame, reference, DepthWork::PerPixel, "the reference");
        !wrong.empty()) {
        state.SkipWithError(wrong.c_str());
        return;
    }
    for (auto _ : state) {
        DrawDeviceFrame(frame, pipeline, path);
        benchmark::DoNotOptimize(frame.color.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state);
}

void BM_RasterFrame_Automatic(benchmark::State& state) {
    RasterFrame(state, RasterPath::Automatic);
}
void BM_RasterFrame_RectSse2(benchmark::State& state) { RasterFrame(state, RasterPath::RectSse2); }
void BM_RasterFrame_RectScalar(benchmark::State& state) {
    RasterFrame(state, RasterPath::RectScalar);
}
void BM_RasterFrame_GeneralOnly(benchmark::State& state) {
    RasterFrame(state, RasterPath::GeneralOnly);
}
BENCHMARK(BM_RasterFrame_Automatic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrame_RectSse2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrame_RectScalar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrame_GeneralOnly)->Unit(benchmark::kMicrosecond);

// -- SDL2's software renderer, the peer baseline -------------------------------------

void BM_SdlSoftwareFrame(benchmark::State& state) {
    const FrameWorkload& workload = Workload();
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, kFrameWidth, kFrameHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (renderer == nullptr) {
        state.SkipWithError(SDL_GetError());
        if (surface) SDL_FreeSurface(surface);
        return;
    }
    std::vector<std::pair<const TestTexture*, SDL_Texture*>> textures;
    auto textureFor = [&](const TestTexture* texture) {
        for (auto& [source, made] : textures)
            if (source == texture) return made;
        SDL_Texture* made =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                              texture->desc.width, texture->desc.height);
        SDL_UpdateTexture(made, nullptr, texture->texels.data(), texture->desc.width * 4);
        SDL_SetTextureBlendMode(made, SDL_BLENDMODE_BLEND);
        textures.emplace_back(texture, made);
        return made;
    };
    for (const QuadDraw& quad : workload.quads) textureFor(quad.texture);

    for (auto _ : state) {
        SDL_SetRenderDrawColor(renderer, 0x80, 0x80, 0xFF, 0xFF);
        SDL_RenderClear(renderer);
        for (const QuadDraw& quad : workload.quads) {
            const SDL_Rect source{quad.source.left, quad.source.top,
                                  quad.source.right - quad.source.left,
                                  quad.source.bottom - quad.source.top};
            const SDL_Rect dest{quad.x, quad.y, source.w, source.h};
            SDL_RenderCopy(renderer, textureFor(quad.texture), &source, &dest);
        }
        SDL_RenderFlush(renderer);
        benchmark::DoNotOptimize(surface->pixels);
        benchmark::ClobberMemory();
    }
    SetCounters(state);
    for (auto& entry : textures) SDL_DestroyTexture(entry.second);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
}
BENCHMARK(BM_SdlSoftwareFrame)->Unit(benchmark::kMicrosecond);

// -- the floors ------------------------------------------------------------------------

#if defined(__x86_64__)
void FloorFrame(benchmark::State& state, DepthWork depth) {
    if (!__builtin_cpu_supports("avx2")) {
        state.SkipWithError("no AVX2");
        return;
    }
    testing::Frame frame(kFrameWidth, kFrameHeight, kClearColor, testing::TargetStore::PerPixel);
    FloorFrameAvx2(Workload(), frame, depth);
    testing::Frame device(kFrameWidth, kFrameHeight);
    FixedFunctionState pipeline = testing::SpriteBatchState();
    DrawDeviceFrame(device, pipeline, RasterPath::Automatic);
    testing::Frame reference = Reference(depth);
    std::string wrong = Mismatch(frame, reference, depth, "the reference");
    if (wrong.empty()) wrong = Mismatch(frame, device, depth, "the device's frame");
    if (!wrong.empty()) {
        state.SkipWithError(wrong.c_str());
        return;
    }
    for (auto _ : state) {
        FloorFrameAvx2(Workload(), frame, depth);
        benchmark::DoNotOptimize(frame.color.data());
        benchmark::DoNotOptimize(frame.depth.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state);
}

void BM_FloorDepthAvx2(benchmark::State& state) { FloorFrame(state, DepthWork::PerPixel); }
void BM_FloorNoDepthAvx2(benchmark::State& state) { FloorFrame(state, DepthWork::None); }
BENCHMARK(BM_FloorDepthAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorNoDepthAvx2)->Unit(benchmark::kMicrosecond);
#endif
}  // namespace
}  // namespace platform::d3d9::raster::bench

BENCHMARK_MAIN();
