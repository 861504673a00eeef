// The per-pixel flat-field correction (vectorised, exact to the double-precision rule) and the
// block means of the binned references.

#include "flatfieldreferences.h"

#include <algorithm>
#include <cstring>

#include <immintrin.h>

#include "simdlanes.h"

namespace {

uint16_t correctOne(uint16_t raw, uint16_t light, uint16_t dark, double scale)
{
    const double d = dark;
    const double span = double(light) - d;
    if (span <= 0)
        return 0;
    double q = (double(raw) - d) / span;
    q = q < 0 ? 0 : (q > 1 ? 1 : q);
    return uint16_t(int(q * scale));
}

// Between the two references the double rule equals floor(num * scale / den), the quotient of
// the pixel's rise above dark over the reference's: a float estimate (within 0.02 of it) is off by
// at most one and the remainder, exact in wrapping 32-bit arithmetic, corrects it. Where that
// quotient is exact the double product may land just below it; for the white level 65535 it never
// does (every such pair is checked in the tests), for any other level a block holding one is
// redone from its raw values with the double rule.
constexpr size_t kBlock = 64;

template <bool kCheckExact>
LANES_INLINE void correctBlocks(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t& i, size_t n,
                                uint16_t scale)
{
    using namespace lanes;
    const i8 zero = {}, one = zero + 1, scaleV = zero + int(scale);
    const float scaleF = scale;
    for (; i + kBlock <= n; i += kBlock) {
        uint16_t raw[kBlock];
        if (kCheckExact)
            std::memcpy(raw, p + i, sizeof raw);
        i8 exact = zero;
        for (size_t j = i; j < i + kBlock; j += 8) {
            i8 r, l, d;
            LANES_LOAD_U16(r, p + j);
            LANES_LOAD_U16(l, light + j);
            LANES_LOAD_U16(d, dark + j);
            const i8 den = l - d, num = r - d;
            const i8 usable = den > zero;
            const i8 denM = usable ? den : one;
            // Pixels outside the references give quotients beyond int; they are replaced below,
            // the bounds only keep the conversion and the correction defined.
            f8 estimate = __builtin_convertvector(num, f8) * scaleF / __builtin_convertvector(denM, f8);
            estimate = estimate < -1.0f ? f8{} - 1.0f : estimate;
            estimate = estimate > 65536.0f ? f8{} + 65536.0f : estimate;
            i8 q = __builtin_convertvector(estimate, i8);
            const i8 t = (i8)((u8)num * uint32_t(scale) - (u8)q * (u8)denM);
            q = q - (t >= denM) + (t < zero);
            if (kCheckExact)
                exact |= (t == zero) | (t == denM) | (t == zero - denM); // corrected remainder 0
            q = num <= zero ? zero : q;
            q = num >= denM ? scaleV : q;
            LANES_STORE_U16(p + j, usable ? q : zero);
        }
        if (kCheckExact) {
            int any = 0;
            for (int k = 0; k < 8; ++k)
                any |= exact[k];
            if (any) {
                for (size_t j = 0; j < kBlock; ++j)
                    p[i + j] = correctOne(raw[j], light[i + j], dark[i + j], scale);
            }
        }
    }
}

LANES_INLINE void correctBody(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    size_t i = 0;
    if (scale == 65535)
        correctBlocks<false>(p, light, dark, i, n, scale);
    else
        correctBlocks<true>(p, light, dark, i, n, scale);
    for (; i < n; ++i)
        p[i] = correctOne(p[i], light[i], dark[i], scale);
}

// Frames arrive cold: the three streams are asked for well ahead, or the loop waits on each
// line in turn (the hardware's own prefetch keeps too few in flight for three streams).
constexpr size_t kAheadPixels = 1024;
LANES_INLINE void prefetchAhead(const uint16_t* p, const uint16_t* light, const uint16_t* dark)
{
    for (size_t k = 0; k < kBlock; k += 32) {
        _mm_prefetch(reinterpret_cast<const char*>(p + kAheadPixels + k), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(light + kAheadPixels + k), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(dark + kAheadPixels + k), _MM_HINT_T0);
    }
}

// The wide kernels lower their estimate by kBias: with a reciprocal good to 3e-7 it then lies
// within 0.05 below the quotient, so the remainder only ever raises it by one.
constexpr float kBias = 1.0f / 32;

// Sixteen quotients floor(num * scale / den) for 0 <= num <= den (32-bit lanes). A 14-bit
// reciprocal and one Newton step replace the division. den 0 (no usable span) makes the
// estimate NaN, which converts to the most negative int and packs to 0. exact collects the lanes
// below the reference (num < den) whose corrected remainder is 0.
LANES_AVX512 LANES_INLINE __m512i quotients512(__m512i num, __m512i den, __m512 scaleF, __m512i scaleI,
                                               __mmask16& exact)
{
    // The unmasked conversion and reciprocal intrinsics trip a false uninitialised warning in GCC 12.
    const __mmask16 all = 0xFFFF;
    const __m512 df = _mm512_maskz_cvtepi32_ps(all, den);
    __m512 y = _mm512_maskz_rcp14_ps(all, df);
    y = _mm512_mul_ps(y, _mm512_fnmadd_ps(df, y, _mm512_set1_ps(2.0f)));
    const __m512 nf = _mm512_maskz_cvtepi32_ps(all, num);
    const __m512 e = _mm512_fmsub_ps(nf, _mm512_mul_ps(scaleF, y), _mm512_set1_ps(kBias));
    const __m512i q = _mm512_maskz_cvttps_epi32(all, e);
    const __m512i t = _mm512_sub_epi32(_mm512_mullo_epi32(num, scaleI), _mm512_mullo_epi32(q, den));
    const __mmask16 inside = _mm512_cmplt_epi32_mask(num, den);
    exact |= _mm512_mask_cmpeq_epi32_mask(inside, t, _mm512_setzero_si512())
             | _mm512_mask_cmpeq_epi32_mask(inside, t, den);
    return _mm512_mask_add_epi32(q, _mm512_cmpge_epi32_mask(t, den), q, _mm512_set1_epi32(1));
}

// The same rule on 32 pixels per register. The rises saturate at 0 (a pixel at or below dark, a
// light reference at or below dark) and the pixel's is capped at the reference's (a pixel at or
// above light gives scale); the quotients are taken in two interleaved halves that the saturating
// pack puts back in order.
template <bool kCheckExact>
LANES_AVX512 LANES_INLINE void correctBlocks512(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t& i,
                                                size_t n, uint16_t scale)
{
    const __m512 scaleF = _mm512_set1_ps(scale);
    const __m512i scaleI = _mm512_set1_epi32(scale);
    const __m512i zero = _mm512_setzero_si512();
    for (; i + kBlock <= n; i += kBlock) {
        uint16_t raw[kBlock];
        if (kCheckExact)
            std::memcpy(raw, p + i, sizeof raw);
        __mmask16 exact = 0;
        prefetchAhead(p + i, light + i, dark + i);
        for (size_t j = i; j < i + kBlock; j += 32) {
            const __m512i r = _mm512_loadu_si512(p + j), l = _mm512_loadu_si512(light + j),
                          d = _mm512_loadu_si512(dark + j);
            const __m512i den = _mm512_subs_epu16(l, d), num = _mm512_min_epu16(_mm512_subs_epu16(r, d), den);
            const __m512i qLo = quotients512(_mm512_unpacklo_epi16(num, zero), _mm512_unpacklo_epi16(den, zero),
                                             scaleF, scaleI, exact);
            const __m512i qHi = quotients512(_mm512_unpackhi_epi16(num, zero), _mm512_unpackhi_epi16(den, zero),
                                             scaleF, scaleI, exact);
            _mm512_storeu_si512(p + j, _mm512_packus_epi32(qLo, qHi));
        }
        if (kCheckExact && exact) {
            for (size_t j = 0; j < kBlock; ++j)
                p[i + j] = correctOne(raw[j], light[i + j], dark[i + j], scale);
        }
    }
}

LANES_AVX512 void correctAvx512(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    size_t i = 0;
    if (scale == 65535)
        correctBlocks512<false>(p, light, dark, i, n, scale);
    else
        correctBlocks512<true>(p, light, dark, i, n, scale);
    for (; i < n; ++i)
        p[i] = correctOne(p[i], light[i], dark[i], scale);
}

// The same on ymm registers, with a 12-bit reciprocal.
LANES_AVX2 LANES_INLINE __m256i quotients256(__m256i num, __m256i den, __m256 scaleF, __m256i scaleI,
                                             __m256i& exact)
{
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(1);
    const __m256 df = _mm256_cvtepi32_ps(den);
    __m256 y = _mm256_rcp_ps(df);
    y = _mm256_mul_ps(y, _mm256_fnmadd_ps(df, y, _mm256_set1_ps(2.0f)));
    const __m256 e = _mm256_fmsub_ps(_mm256_cvtepi32_ps(num), _mm256_mul_ps(scaleF, y), _mm256_set1_ps(kBias));
    const __m256i q = _mm256_cvttps_epi32(e);
    const __m256i t = _mm256_sub_epi32(_mm256_mullo_epi32(num, scaleI), _mm256_mullo_epi32(q, den));
    const __m256i inside = _mm256_cmpgt_epi32(den, num);
    exact = _mm256_or_si256(exact, _mm256_and_si256(inside, _mm256_or_si256(_mm256_cmpeq_epi32(t, zero),
                                                                            _mm256_cmpeq_epi32(t, den))));
    return _mm256_sub_epi32(q, _mm256_cmpgt_epi32(t, _mm256_sub_epi32(den, one))); // true lanes are -1
}

template <bool kCheckExact>
LANES_AVX2 LANES_INLINE void correctBlocks256(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t& i,
                                              size_t n, uint16_t scale)
{
    const __m256 scaleF = _mm256_set1_ps(scale);
    const __m256i scaleI = _mm256_set1_epi32(scale);
    const __m256i zero = _mm256_setzero_si256();
    for (; i + kBlock <= n; i += kBlock) {
        uint16_t raw[kBlock];
        if (kCheckExact)
            std::memcpy(raw, p + i, sizeof raw);
        __m256i exact = zero;
        prefetchAhead(p + i, light + i, dark + i);
        for (size_t j = i; j < i + kBlock; j += 16) {
            const __m256i r = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + j));
            const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(light + j));
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dark + j));
            const __m256i den = _mm256_subs_epu16(l, d), num = _mm256_min_epu16(_mm256_subs_epu16(r, d), den);
            const __m256i qLo = quotients256(_mm256_unpacklo_epi16(num, zero), _mm256_unpacklo_epi16(den, zero),
                                             scaleF, scaleI, exact);
            const __m256i qHi = quotients256(_mm256_unpackhi_epi16(num, zero), _mm256_unpackhi_epi16(den, zero),
                                             scaleF, scaleI, exact);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + j), _mm256_packus_epi32(qLo, qHi));
        }
        if (kCheckExact && !_mm256_testz_si256(exact, exact)) {
            for (size_t j = 0; j < kBlock; ++j)
                p[i + j] = correctOne(raw[j], light[i + j], dark[i + j], scale);
        }
    }
}

LANES_AVX2 void correctAvx2(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    size_t i = 0;
    if (scale == 65535)
        correctBlocks256<false>(p, light, dark, i, n, scale);
    else
        correctBlocks256<true>(p, light, dark, i, n, scale);
    for (; i < n; ++i)
        p[i] = correctOne(p[i], light[i], dark[i], scale);
}

void correctPlain(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    correctBody(p, light, dark, n, scale);
}

void correctPixels(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512:
        return correctAvx512(p, light, dark, n, scale);
    case lanes::Isa::Avx2:
        return correctAvx2(p, light, dark, n, scale);
    case lanes::Isa::Plain:
        return correctPlain(p, light, dark, n, scale);
    }
}

} // namespace

void correctFlatField(const FrameView& frame, const uint16_t* light, const uint16_t* dark, uint16_t scale)
{
    if (frame.empty() || !light || !dark)
        return;
    correctPixels(frame.pixels, light, dark, frame.count(), scale);
}

void binBlocks(const uint16_t* ref, int refWidth, int factor, uint16_t* out, int outWidth, int outHeight)
{
    if (factor <= 0) {
        std::fill(out, out + size_t(outWidth) * outHeight, uint16_t(0));
        return;
    }
    const uint64_t area = uint64_t(factor) * factor;
    std::vector<uint64_t> sums(outWidth);
    for (int r = 0; r < outHeight; ++r) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int dy = 0; dy < factor; ++dy) {
            const uint16_t* row = ref + size_t(r * factor + dy) * refWidth;
            for (int c = 0; c < outWidth; ++c) {
                const uint16_t* block = row + size_t(c) * factor;
                uint64_t s = 0;
                for (int dx = 0; dx < factor; ++dx)
                    s += block[dx];
                sums[c] += s;
            }
        }
        uint16_t* dst = out + size_t(r) * outWidth;
        for (int c = 0; c < outWidth; ++c)
            dst[c] = uint16_t(sums[c] / area);
    }
}
