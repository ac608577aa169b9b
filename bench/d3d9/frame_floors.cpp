#include "frame_floors.h"

#include "d3d9/raster/color_math.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace platform::d3d9::raster::bench {
namespace {

const uint32_t* SourceRow(const QuadDraw& quad, int row) {
    const Texture2D& t = quad.texture->desc;
    return t.texels + (quad.source.top + row) * t.pitch + quad.source.left;
}

size_t TargetOffset(const QuadDraw& quad, int row) {
    return static_cast<size_t>(quad.y + row) * kFrameWidth + quad.x;
}

// The sprite state's alpha test (GREATER than 0), depth test (LESSEQUAL, with write)
// and source-over blend of all four channels; `depth` null when there is no buffer.
void DrawPixel(uint32_t& color, uint16_t* depth, uint32_t source) {
    const uint32_t a = source >> 24;
    if (a == 0) return;
    if (depth != nullptr) {
        if (kSpriteDepth > *depth) return;
        *depth = kSpriteDepth;
    }
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= Div255Round(Channel(source, shift) * a + Channel(color, shift) * (255 - a)) << shift;
    color = out;
}

}  // namespace

void ReferenceFrame(const FrameWorkload& workload, testing::Frame& frame, DepthWork depth) {
    std::fill(frame.color.begin(), frame.color.end(), kClearColor);
    if (depth == DepthWork::PerPixel) std::fill(frame.depth.begin(), frame.depth.end(), 0xFFFF);
    for (const QuadDraw& quad : workload.quads)
        for (int row = 0; row < quad.source.bottom - quad.source.top; ++row) {
            const size_t at = TargetOffset(quad, row);
            const uint32_t* source = SourceRow(quad, row);
            for (int x = 0; x < quad.source.right - quad.source.left; ++x)
                DrawPixel(frame.color[at + x],
                          depth == DepthWork::PerPixel ? &frame.depth[at + x] : nullptr, source[x]);
        }
}

#if defined(__x86_64__)
namespace {

template <typename T>
[[gnu::target("avx2")]] void ClearAvx2(std::vector<T>& pixels, T value) {
    constexpr size_t kLanes = sizeof(__m256i) / sizeof(T);
    T pattern[kLanes];
    std::fill(pattern, pattern + kLanes, value);
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern));
    size_t i = 0;
    for (; i < pixels.size() && reinterpret_cast<uintptr_t>(pixels.data() + i) % 32 != 0; ++i)
        pixels[i] = value;
    for (; i + kLanes <= pixels.size(); i += kLanes)
        _mm256_store_si256(reinterpret_cast<__m256i*>(pixels.data() + i), v);
    std::fill(pixels.begin() + static_cast<ptrdiff_t>(i), pixels.end(), value);
}

// Source over destination on four 8-bit channels of eight pixels; round(x / 255) is
// ((x + 128) * 257) >> 16, exact for every product of two bytes.
[[gnu::target("avx2")]] __m256i BlendAvx2(__m256i s, __m256i d) {
    // Each pixel's alpha into both of its 16-bit fields.
    const __m256i alphaFields =
        _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1,  //
                         3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i a = _mm256_shuffle_epi8(s, alphaFields);
    const __m256i ia = _mm256_xor_si256(a, lowBytes);
    const __m256i bias = _mm256_set1_epi16(128), scale = _mm256_set1_epi16(257);
    const __m256i low =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), a),
                                          _mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), ia)),
                         bias);
    const __m256i high =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 8), a),
                                          _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), ia)),
                         bias);
    return _mm256_or_si256(_mm256_mulhi_epu16(low, scale),
                           _mm256_slli_epi16(_mm256_mulhi_epu16(high, scale), 8));
}

template <DepthWork kDepth>
[[gnu::target("avx2")]] void DrawSpanAvx2(uint32_t* color, uint16_t* depth, const uint32_t* source,
                                          int count) {
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i everything = _mm256_set1_epi32(-1);
    const __m128i z = _mm_set1_epi16(static_cast<short>(kSpriteDepth));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* target = reinterpret_cast<__m256i*>(color + i);
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i));
        const __m256i alpha = _mm256_and_si256(s, alphaBits);
        if (_mm256_testz_si256(alpha, alpha)) continue;
        const bool opaque = _mm256_testc_si256(alpha, alphaBits);
        if constexpr (kDepth == DepthWork::None) {
            _mm256_storeu_si256(target, opaque ? s : BlendAvx2(s, _mm256_loadu_si256(target)));
        } else {
            auto* depthTarget = reinterpret_cast<__m128i*>(depth + i);
            const __m128i stored = _mm_loadu_si128(depthTarget);
            const __m256i nearer =
                _mm256_cvtepi16_epi32(_mm_cmpeq_epi16(_mm_min_epu16(z, stored), z));
            const __m256i keep =
                _mm256_andnot_si256(_mm256_cmpeq_epi32(alpha, _mm256_setzero_si256()), nearer);
            const __m128i keepDepth =
                _mm_packs_epi32(_mm256_castsi256_si128(keep), _mm256_extracti128_si256(keep, 1));
            _mm_storeu_si128(depthTarget, _mm_blendv_epi8(stored, z, keepDepth));
            if (opaque && _mm256_testc_si256(keep, everything)) {
                _mm256_storeu_si256(target, s);
            } else {
                const __m256i d = _mm256_loadu_si256(target);
                _mm256_storeu_si256(target,
                                    _mm256_blendv_epi8(d, opaque ? s : BlendAvx2(s, d), keep));
            }
        }
    }
    for (; i < count; ++i)
        DrawPixel(color[i], kDepth == DepthWork::PerPixel ? depth + i : nullptr, source[i]);
}

// Aligned, so that where the linker puts it does not move the floor.
template <DepthWork kDepth>
[[gnu::target("avx2"), gnu::aligned(64)]] void FloorFrame(const FrameWorkload& workload,
                                                          testing::Frame& frame) {
    ClearAvx2(frame.color, kClearColor);
    if constexpr (kDepth == DepthWork::PerPixel) ClearAvx2(frame.depth, uint16_t{0xFFFF});
    for (const QuadDraw& quad : workload.quads)
        for (int row = 0; row < quad.source.bottom - quad.source.top; ++row) {
            const size_t at = TargetOffset(quad, row);
            DrawSpanAvx2<kDepth>(frame.color.data() + at, frame.depth.data() + at,
                                 SourceRow(quad, row), quad.source.right - quad.source.left);
        }
}

}  // namespace

void FloorFrameAvx2(const FrameWorkload& workload, testing::Frame& frame, DepthWork depth) {
    if (depth == DepthWork::PerPixel)
        FloorFrame<DepthWork::PerPixel>(workload, frame);
    else
        FloorFrame<DepthWork::None>(workload, frame);
}
#endif

}  // namespace platform::d3d9::raster::bench
