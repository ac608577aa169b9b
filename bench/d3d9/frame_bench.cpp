// The frame workload three ways in one run: through the rasteriser (by route), through
// SDL2's software renderer as the peer baseline, and as hand-vectorised floors that do
// nothing but the arithmetic the frame needs: clear and blend every texel, or clear
// colour and depth and blend only the texels the alpha test keeps.
#include "frame_workload.h"

#include "d3d9/raster/color_math.h"
#include "d3d9/raster/draw_paths.h"
#include "d3d9/raster/target_fill.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// -- the rasteriser ----------------------------------------------------------------

void RasterFrame(benchmark::State& state, RasterPath path) {
    const FrameWorkload& workload = Workload();
    testing::Frame frame(kFrameWidth, kFrameHeight, kClearColor);
    FixedFunctionState pipeline = testing::SpriteBatchState();
    const PixelRect whole{0, 0, kFrameWidth, kFrameHeight};
    for (auto _ : state) {
        FillColor(frame.Color(), whole, kClearColor);
        FillDepth(frame.Depth(), whole, 0xFFFF);
        for (const QuadDraw& quad : workload.quads) {
            testing::PlaceSprite(pipeline, *quad.texture, quad.source, static_cast<float>(quad.x),
                                 static_cast<float>(quad.y));
            testing::DrawUnitSquare(pipeline, frame, path);
        }
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

// -- the floor: clear and source-over blend, nothing else -----------------------------

#if defined(__x86_64__)
template <typename T>
[[gnu::target("avx2")]] void ClearAvx2(T* pixels, size_t count, T value) {
    constexpr size_t kLanes = sizeof(__m256i) / sizeof(T);
    T pattern[kLanes];
    std::fill(pattern, pattern + kLanes, value);
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern));
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i), v);
    for (; i < count; ++i) pixels[i] = value;
}

[[gnu::target("avx2")]] __m256i Div255Avx2(__m256i x) {
    const __m256i biased = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(biased, _mm256_srli_epi16(biased, 8)), 8);
}

[[gnu::target("avx2")]] void BlendRowAvx2(uint32_t* dest, const uint32_t* source, int count,
                                          bool skipTransparent) {
    const __m256i fieldMask = _mm256_set1_epi32(0x00FF00FF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i));
        const __m256i alpha = _mm256_srli_epi32(s, 24);
        if (skipTransparent && _mm256_testz_si256(alpha, alpha)) continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dest + i));
        const __m256i a = _mm256_or_si256(alpha, _mm256_slli_epi32(alpha, 16));
        const __m256i ia = _mm256_sub_epi16(fieldMask, a);
        const __m256i low =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, fieldMask), a),
                             _mm256_mullo_epi16(_mm256_and_si256(d, fieldMask), ia));
        const __m256i high = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(s, 8), fieldMask), a),
            _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(d, 8), fieldMask), ia));
        const __m256i out =
            _mm256_or_si256(Div255Avx2(low), _mm256_slli_epi32(Div255Avx2(high), 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), out);
    }
    for (; i < count; ++i) {
        const uint32_t a = source[i] >> 24;
        if (skipTransparent && a == 0) continue;
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= Div255Round(Channel(source[i], shift) * a + Channel(dest[i], shift) * (255 - a))
                   << shift;
        dest[i] = out;
    }
}

// `skipTransparent`: clear the 16-bit depth buffer as well and leave out the groups
// of eight texels whose alpha is all 0, which the alpha test would discard.
void ClearBlendFloor(benchmark::State& state, bool skipTransparent) {
    if (!__builtin_cpu_supports("avx2")) {
        state.SkipWithError("no AVX2");
        return;
    }
    const FrameWorkload& workload = Workload();
    std::vector<uint32_t> frame(static_cast<size_t>(kFrameWidth) * kFrameHeight);
    std::vector<uint16_t> depth(frame.size());
    for (auto _ : state) {
        ClearAvx2(frame.data(), frame.size(), kClearColor);
        if (skipTransparent) ClearAvx2(depth.data(), depth.size(), uint16_t{0xFFFF});
        for (const QuadDraw& quad : workload.quads) {
            const int w = quad.source.right - quad.source.left;
            const int h = quad.source.bottom - quad.source.top;
            const Texture2D& t = quad.texture->desc;
            for (int r = 0; r < h; ++r)
                BlendRowAvx2(frame.data() + static_cast<size_t>(quad.y + r) * kFrameWidth + quad.x,
                             t.texels + (quad.source.top + r) * t.pitch + quad.source.left, w,
                             skipTransparent);
        }
        benchmark::DoNotOptimize(frame.data());
        benchmark::DoNotOptimize(depth.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state);
}

void BM_ClearBlendFloorAvx2(benchmark::State& state) { ClearBlendFloor(state, false); }
void BM_ClearDepthBlendSkipFloorAvx2(benchmark::State& state) { ClearBlendFloor(state, true); }
BENCHMARK(BM_ClearBlendFloorAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearDepthBlendSkipFloorAvx2)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
}  // namespace platform::d3d9::raster::bench

BENCHMARK_MAIN();
