#include "d3d9/raster/rect_kernels.h"

#include "d3d9/raster/color_math.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace platform::d3d9::raster {
namespace {

#define RECT_INLINE [[gnu::always_inline]] inline

enum class DepthMode { Off, AlwaysPasses, Compare };

// With a constant incoming depth the comparison may pass whatever is stored, as with
// the sprite batch's quads at depth 0 under less-or-equal.
DepthMode DepthModeOf(const RectKernelParams& p) {
    if (!p.depthTest) return DepthMode::Off;
    const bool always = PassesComparison(p.depthFunc, p.depth, 0) &&
                        PassesComparison(p.depthFunc, p.depth, p.depth) &&
                        PassesComparison(p.depthFunc, p.depth, 0xFFFF);
    return always ? DepthMode::AlwaysPasses : DepthMode::Compare;
}

// One algorithm for every width: GCC vector extensions over `Bytes` bytes of pixels,
// compiled inside each kernel with that kernel's instruction set. A pixel's channels
// are split into two 16-bit fields per 32-bit lane (blue and red, then green and
// alpha), so every product fits its field and no lane needs a 32-bit multiply.
template <int Bytes>
struct VectorTypes;

template <>
struct VectorTypes<4> {
    typedef uint32_t U32 __attribute__((vector_size(4)));
    typedef int32_t I32 __attribute__((vector_size(4)));
    typedef uint16_t U16 __attribute__((vector_size(4)));
    typedef uint16_t DepthLanes;  // one pixel: no vector
};

template <>
struct VectorTypes<16> {
    typedef uint32_t U32 __attribute__((vector_size(16)));
    typedef int32_t I32 __attribute__((vector_size(16)));
    typedef uint16_t U16 __attribute__((vector_size(16)));
    typedef uint16_t DepthLanes __attribute__((vector_size(8)));
};

template <>
struct VectorTypes<32> {
    typedef uint32_t U32 __attribute__((vector_size(32)));
    typedef int32_t I32 __attribute__((vector_size(32)));
    typedef uint16_t U16 __attribute__((vector_size(32)));
    typedef uint16_t DepthLanes __attribute__((vector_size(16)));
};

// Bit i set when lane i of a comparison result is all ones: one instruction where
// the processor has it, as the lane tests run for every group of pixels. By
// reference, as a 256-bit value may not cross into an AVX2 function from code
// compiled without AVX.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] inline int LaneBits(const VectorTypes<32>::I32& v) {
    return _mm256_movemask_ps(reinterpret_cast<__m256>(v));
}
inline int LaneBits(const VectorTypes<16>::I32& v) {
    return _mm_movemask_ps(reinterpret_cast<__m128>(v));
}
#else
inline int LaneBits(const VectorTypes<16>::I32& v) {
    return (v[0] & 1) | (v[1] & 2) | (v[2] & 4) | (v[3] & 8);
}
#endif
inline int LaneBits(const VectorTypes<4>::I32& v) { return v[0] & 1; }

// Every pixel's alpha is 255: one instruction with AVX2, a few without.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] inline bool AllOpaque(const VectorTypes<32>::U32& v) {
    return _mm256_testc_si256(reinterpret_cast<__m256i>(v), _mm256_set1_epi32(-0x1000000));
}
#endif
inline bool AllOpaque(const VectorTypes<16>::U32& v) {
    return LaneBits((VectorTypes<16>::I32)((v | 0x00FFFFFFu) == 0xFFFFFFFFu)) == 0xF;
}
inline bool AllOpaque(const VectorTypes<4>::U32& v) { return v[0] >> 24 == 0xFF; }

// round(x / 255) in every 16-bit field, for x up to 255 * 255: ((x + 128) * 257) >> 16,
// one multiply where the processor has it.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] inline void Div255RoundFields(VectorTypes<32>::U16& x) {
    x = (VectorTypes<32>::U16)_mm256_mulhi_epu16(reinterpret_cast<__m256i>(x + 128),
                                                 _mm256_set1_epi16(257));
}
inline void Div255RoundFields(VectorTypes<16>::U16& x) {
    x = (VectorTypes<16>::U16)_mm_mulhi_epu16(reinterpret_cast<__m128i>(x + 128),
                                              _mm_set1_epi16(257));
}
#endif
template <typename U16>
inline void Div255RoundFields(U16& x) {
    const U16 biased = x + 128;
    x = (biased + (biased >> 8)) >> 8;
}

template <int Bytes>
struct Lanes {
    using U32 = typename VectorTypes<Bytes>::U32;
    using I32 = typename VectorTypes<Bytes>::I32;
    using U16 = typename VectorTypes<Bytes>::U16;
    using DepthLanes = typename VectorTypes<Bytes>::DepthLanes;
    static constexpr int kPixels = Bytes / 4;

    RECT_INLINE static U32 Splat(uint32_t value) { return U32{} + value; }

    RECT_INLINE static U32 Load(const uint32_t* p) {
        U32 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }

    RECT_INLINE static void Store(uint32_t* p, U32 v) { std::memcpy(p, &v, sizeof v); }

    RECT_INLINE static U32 LoadDepth(const uint16_t* p) {
        if constexpr (kPixels == 1) {
            return U32{p[0]};
        } else {
            DepthLanes v;
            std::memcpy(&v, p, sizeof v);
            return __builtin_convertvector(v, U32);
        }
    }

    RECT_INLINE static void StoreDepth(uint16_t* p, U32 v) {
        if constexpr (kPixels == 1) {
            p[0] = static_cast<uint16_t>(v[0]);
        } else {
            const DepthLanes narrow = __builtin_convertvector(v, DepthLanes);
            std::memcpy(p, &narrow, sizeof narrow);
        }
    }

    RECT_INLINE static U16 Div255Round(U16 x) {
        Div255RoundFields(x);
        return x;
    }

    RECT_INLINE static U32 Join(U16 low, U16 high) { return (U32)low | ((U32)high << 8); }

    // round(s * f / 255) per channel, `factors` holding one 8-bit factor per channel.
    RECT_INLINE static U32 Modulate(U32 source, U32 factors) {
        const U32 fieldMask = Splat(0x00FF00FF);
        const U32 sLow = source & fieldMask, sHigh = (source >> 8) & fieldMask;
        const U32 fLow = factors & fieldMask, fHigh = (factors >> 8) & fieldMask;
        return Join(Div255Round((U16)sLow * (U16)fLow), Div255Round((U16)sHigh * (U16)fHigh));
    }

    // round((s * a + d * (255 - a)) / 255) per channel, a the source alpha.
    RECT_INLINE static U32 BlendOver(U32 source, U32 dest) {
        const U32 fieldMask = Splat(0x00FF00FF);
        const U32 alpha = source >> 24;
        const U32 a2 = alpha | (alpha << 16);
        const U32 ia2 = fieldMask - a2;
        const U32 sLow = source & fieldMask, sHigh = (source >> 8) & fieldMask;
        const U32 dLow = dest & fieldMask, dHigh = (dest >> 8) & fieldMask;
        const U16 a = (U16)a2;
        const U16 ia = (U16)ia2;
        const U16 low = (U16)sLow * a + (U16)dLow * ia;
        const U16 high = (U16)sHigh * a + (U16)dHigh * ia;
        return Join(Div255Round(low), Div255Round(high));
    }

    // The per-block values, splatted once: a comparison is the union of the outcomes
    // (less, equal, greater) its function accepts, which needs no branch per pixel.
    struct Constants {
        U32 alphaOr, diffuse, alphaRef, depth, clear;
        I32 alphaLess, alphaEqual, alphaGreater;
        I32 depthLess, depthEqual, depthGreater;
        bool opaqueKept;  // an opaque pixel passes the alpha test
    };

    RECT_INLINE static Constants Prepare(const RectKernelParams& p) {
        Constants k;
        k.alphaOr = Splat(p.alphaOr);
        k.diffuse = Splat(p.diffuse | 0xFF000000u);
        k.alphaRef = Splat(p.alphaRef);
        k.depth = Splat(p.depth);
        k.clear = Splat(p.clearColor);
        const DWORD alphaFunc = p.alphaTest ? p.alphaFunc : DWORD{D3DCMP_ALWAYS};
        k.opaqueKept = PassesComparison(alphaFunc, 0xFF, p.alphaRef);
        k.alphaLess = Outcome(alphaFunc, 0, 1);
        k.alphaEqual = Outcome(alphaFunc, 0, 0);
        k.alphaGreater = Outcome(alphaFunc, 1, 0);
        k.depthLess = Outcome(p.depthFunc, 0, 1);
        k.depthEqual = Outcome(p.depthFunc, 0, 0);
        k.depthGreater = Outcome(p.depthFunc, 1, 0);
        return k;
    }

    RECT_INLINE static I32 Outcome(DWORD func, uint32_t incoming, uint32_t stored) {
        return (I32)Splat(PassesComparison(func, incoming, stored) ? 0xFFFFFFFFu : 0u);
    }

    // Lanes hold values below 2^16, so the signed comparisons are exact.
    RECT_INLINE static I32 Passes(U32 incoming, U32 stored, I32 less, I32 equal, I32 greater) {
        const I32 lt = (I32)incoming < (I32)stored;
        const I32 gt = (I32)incoming > (I32)stored;
        return (lt & less) | (gt & greater) | (~(lt | gt) & equal);
    }

    static constexpr int kAllLanes = (1 << kPixels) - 1;

    // Whether every pixel passed both tests. Over a cleared block every pixel is
    // written, from the clear colour where nothing is drawn.
    template <DepthMode Mode, bool Blend, bool AlphaGreater, bool OverClear>
    RECT_INLINE static bool Pixels(const Constants& k, bool modulate, bool depthWrite,
                                   uint32_t* color, uint16_t* depth, const uint32_t* texels) {
        U32 source = Load(texels) | k.alphaOr;
        if (modulate) source = Modulate(source, k.diffuse);
        // The common group, opaque throughout, replaces what is there.
        if (Mode != DepthMode::Compare && k.opaqueKept && AllOpaque(source)) {
            if (Mode == DepthMode::AlwaysPasses && depthWrite) StoreDepth(depth, k.depth);
            Store(color, source);
            return true;
        }
        const U32 alpha = source >> 24;
        I32 pass = AlphaGreater
                       ? (I32)alpha > (I32)k.alphaRef
                       : Passes(alpha, k.alphaRef, k.alphaLess, k.alphaEqual, k.alphaGreater);
        int passing = 0;
        if constexpr (Mode == DepthMode::Compare) {
            const U32 stored = LoadDepth(depth);
            pass &= Passes(k.depth, stored, k.depthLess, k.depthEqual, k.depthGreater);
            passing = LaneBits(pass);
            if (passing == 0) return false;
            if (depthWrite) StoreDepth(depth, pass ? k.depth : stored);
        } else {
            // Whole groups of transparent texels are common and leave everything as it was.
            passing = LaneBits(pass);
            if (passing == 0) {
                if (OverClear) Store(color, k.clear);
                return false;
            }
            if constexpr (Mode == DepthMode::AlwaysPasses) {
                if (depthWrite) {
                    if (passing == kAllLanes) {
                        StoreDepth(depth, k.depth);
                    } else {
                        StoreDepth(depth, pass ? k.depth : LoadDepth(depth));
                    }
                }
            }
        }
        // An opaque group replaces what is there, blended or not: the blend would
        // return the source exactly. Where opaque groups were taken above, this is not one.
        const bool tested = Mode != DepthMode::Compare && k.opaqueKept;
        const bool opaque = !Blend || (!tested && LaneBits((I32)(alpha == 0xFF)) == kAllLanes);
        if (opaque && passing == kAllLanes) {
            Store(color, source);
            return true;
        }
        const U32 dest = OverClear ? k.clear : Load(color);
        const U32 result = opaque ? source : BlendOver(source, dest);
        Store(color, pass ? result : dest);
        return passing == kAllLanes;
    }
};

template <int Bytes, DepthMode Mode, bool Blend, bool AlphaGreater, bool OverClear>
RECT_INLINE bool RunRows(const RectKernelParams& params, const RectBlock& block) {
    using Wide = Lanes<Bytes>;
    using Single = Lanes<4>;
    // Local copies: the pixel stores could otherwise alias the parameters.
    const typename Wide::Constants wide = Wide::Prepare(params);
    const typename Single::Constants single = Single::Prepare(params);
    const bool modulate = params.modulate;
    const bool depthWrite = params.depthWrite;
    const int width = block.width;
    bool kept = true;
    for (int row = 0; row < block.height; ++row) {
        uint32_t* color = block.color + row * block.colorPitch;
        uint16_t* depth = Mode != DepthMode::Off ? block.depth + row * block.depthPitch : nullptr;
        const uint32_t* texels = block.texels + row * block.texelPitch;
        const auto depthAt = [depth](int x) {
            return Mode == DepthMode::Off ? nullptr : depth + x;
        };
        int x = 0;
        for (; x + Wide::kPixels <= width; x += Wide::kPixels)
            kept &= Wide::template Pixels<Mode, Blend, AlphaGreater, OverClear>(
                wide, modulate, depthWrite, color + x, depthAt(x), texels + x);
        for (; x < width; ++x)
            kept &= Single::template Pixels<Mode, Blend, AlphaGreater, OverClear>(
                single, modulate, depthWrite, color + x, depthAt(x), texels + x);
    }
    return kept;
}

// The sprite batch's alpha test (greater than the reference) is one comparison; the
// general form takes a few more operations a pixel.
template <int Bytes, DepthMode Mode, bool OverClear = false>
RECT_INLINE bool RunRowsBlending(const RectKernelParams& params, const RectBlock& block) {
    const bool greater = params.alphaTest && params.alphaFunc == D3DCMP_GREATER;
    if (params.blend)
        return greater ? RunRows<Bytes, Mode, true, true, OverClear>(params, block)
                       : RunRows<Bytes, Mode, true, false, OverClear>(params, block);
    return greater ? RunRows<Bytes, Mode, false, true, OverClear>(params, block)
                   : RunRows<Bytes, Mode, false, false, OverClear>(params, block);
}

template <int Bytes>
RECT_INLINE bool RunRect(const RectKernelParams& params, const RectBlock& block) {
    switch (DepthModeOf(params)) {
        case DepthMode::Off:
            return params.overClear ? RunRowsBlending<Bytes, DepthMode::Off, true>(params, block)
                                    : RunRowsBlending<Bytes, DepthMode::Off>(params, block);
        case DepthMode::AlwaysPasses:
            return RunRowsBlending<Bytes, DepthMode::AlwaysPasses>(params, block);
        default:
            return RunRowsBlending<Bytes, DepthMode::Compare>(params, block);
    }
}

bool RectKernelScalar(const RectKernelParams& params, const RectBlock& block) {
    return RunRect<4>(params, block);
}

bool RectKernelSse2(const RectKernelParams& params, const RectBlock& block) {
    return RunRect<16>(params, block);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] bool RectKernelAvx2(const RectKernelParams& params,
                                            const RectBlock& block) {
    return RunRect<32>(params, block);
}

bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#else
bool RectKernelAvx2(const RectKernelParams& params, const RectBlock& block) {
    return RunRect<16>(params, block);
}

bool HasAvx2() { return false; }
#endif

#undef RECT_INLINE

}  // namespace

KernelIsa BestKernelIsa() {
    static const KernelIsa best = HasAvx2() ? KernelIsa::Avx2 : KernelIsa::Sse2;
    return best;
}

RectKernel SelectRectKernel(KernelIsa isa) {
    switch (isa) {
        case KernelIsa::Scalar:
            return RectKernelScalar;
        case KernelIsa::Avx2:
            return BestKernelIsa() == KernelIsa::Avx2 ? RectKernelAvx2 : RectKernelSse2;
        default:
            return RectKernelSse2;
    }
}

}  // namespace platform::d3d9::raster
