#include "colorcore.h"
#include "convert512.h"
#include "formattraits.h"
#include "parallel.h"
#include "simd.h"

#include "kh/log.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace khc {

namespace {

// Sample loop of one format pair; Shift false when the depths match (the common case, a pure
// shuffle). Arithmetic stays in the wider of the two sample types so the vectors stay narrow.
template <int SF, int DF, bool Shift>
KH_VECTOR_CLONES void convertLoop(const typename Format<SF>::T* __restrict src, typename Format<DF>::T* __restrict dst,
                                  std::size_t plane, std::size_t first, std::size_t last, unsigned shl, unsigned shr,
                                  uint32_t constAlpha)
{
    using S = Format<SF>;
    using D = Format<DF>;
    using DT = typename D::T;
    using W = std::conditional_t<(sizeof(typename S::T) > sizeof(DT)), typename S::T, DT>;
    constexpr std::size_t ss = S::step, ds = D::step;
    constexpr bool planarS = S::planar, planarD = D::planar;
    auto si = [&](std::size_t p, int c) { return planarS ? std::size_t(S::off[c]) * plane + p : p * ss + S::off[c]; };
    auto di = [&](std::size_t p, int c) { return planarD ? std::size_t(D::off[c]) * plane + p : p * ds + D::off[c]; };
    auto conv = [&](W v) -> DT {
        if constexpr (Shift)
            return static_cast<DT>(static_cast<W>(static_cast<W>(v >> shr) << shl));
        else
            return static_cast<DT>(v);
    };
    for (std::size_t p = first; p < last; ++p) {
        dst[di(p, 0)] = conv(src[si(p, 0)]);
        dst[di(p, 1)] = conv(src[si(p, 1)]);
        dst[di(p, 2)] = conv(src[si(p, 2)]);
        if constexpr (D::hasAlpha) {
            if constexpr (S::hasAlpha)
                dst[di(p, 3)] = conv(src[si(p, 3)]);
            else
                dst[di(p, 3)] = static_cast<DT>(constAlpha);
        }
    }
}

// Byte shuffles for the hot same-depth cases; the compiler's own interleave code for stride 3
// and 4 is several times slower than one shuffle per four pixels.
typedef uint8_t V16u8 __attribute__((vector_size(16)));
typedef uint16_t V8u16 __attribute__((vector_size(16)));

// Channel c of eight interleaved 16-bit pixels (three source vectors) lies in each word position
// of exactly one source vector: select by masks (cheap logic ops), then one byte shuffle puts the
// words in pixel order. The shuffle unit is the bottleneck, so it runs once per plane.
struct SplitMasks {
    V16u8 select[3][3]; // [channel][source vector]
    V16u8 order[3];     // [channel]
};

SplitMasks splitMasks()
{
    SplitMasks m{};
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 8; ++i)
                if ((8 * k + i) % 3 == c)
                    m.select[c][k][2 * i] = m.select[c][k][2 * i + 1] = 0xFF;
        for (int j = 0; j < 8; ++j) {
            const int word = (3 * j + c) % 8;
            m.order[c][2 * j] = uint8_t(2 * word);
            m.order[c][2 * j + 1] = uint8_t(2 * word + 1);
        }
    }
    return m;
}

// Byte masks that move four pixels of layout s into layout d: shuffle, keep the shuffled bytes,
// or in the constant alpha.
void shuffleMasks(const Layout& s, const Layout& d, uint8_t constAlpha, V16u8& mask, V16u8& keep, V16u8& fill)
{
    uint8_t index[16] = {}, kept[16] = {}, filled[16] = {};
    shuffleTables(s, d, constAlpha, 4, index, kept, filled);
    std::memcpy(&mask, index, 16);
    std::memcpy(&keep, kept, 16);
    std::memcpy(&fill, filled, 16);
}

// 8-bit interleaved to 8-bit interleaved, four pixels per shuffle.
KH_VECTOR_CLONES void shuffle8(const uint8_t* __restrict src, uint8_t* __restrict dst, std::size_t first,
                               std::size_t last, std::size_t srcSamples, const Layout& s, const Layout& d,
                               uint8_t constAlpha, std::size_t& done)
{
    V16u8 mask, keep, fill;
    shuffleMasks(s, d, constAlpha, mask, keep, fill);
    std::size_t p = first;
    // A 16-byte load reads up to four bytes past the four pixels: stop while they are in the frame.
    // Two groups per turn keep two shuffles in flight.
    for (; p + 8 <= last && p * s.step + 4 * s.step + 16 <= srcSamples; p += 8) {
        V16u8 v0, v1;
        std::memcpy(&v0, src + p * s.step, 16);
        std::memcpy(&v1, src + (p + 4) * s.step, 16);
        const V16u8 o0 = (__builtin_shuffle(v0, mask) & keep) | fill;
        const V16u8 o1 = (__builtin_shuffle(v1, mask) & keep) | fill;
        if (d.step == 4) {
            std::memcpy(dst + p * 4, &o0, 16);
            std::memcpy(dst + p * 4 + 16, &o1, 16);
        } else {
            std::memcpy(dst + p * 3, &o0, 12);
            std::memcpy(dst + p * 3 + 12, &o1, 12);
        }
    }
    for (; p + 4 <= last && p * s.step + 16 <= srcSamples; p += 4) {
        V16u8 v;
        std::memcpy(&v, src + p * s.step, 16);
        const V16u8 out = (__builtin_shuffle(v, mask) & keep) | fill;
        // Constant sizes: a variable one would be a library call per four pixels.
        if (d.step == 4)
            std::memcpy(dst + p * 4, &out, 16);
        else
            std::memcpy(dst + p * 3, &out, 12);
    }
    done = p;
}

// 16-bit interleaved RGB to planar, eight pixels per step.
KH_VECTOR_CLONES void splitPlanes16(const uint16_t* __restrict src, uint16_t* __restrict dst, std::size_t plane,
                                    std::size_t first, std::size_t last, std::size_t& done)
{
    static const SplitMasks m = splitMasks();
    std::size_t p = first;
    for (; p + 8 <= last; p += 8) {
        V16u8 v[3];
        std::memcpy(&v[0], src + 3 * p, 16);
        std::memcpy(&v[1], src + 3 * p + 8, 16);
        std::memcpy(&v[2], src + 3 * p + 16, 16);
        for (int c = 0; c < 3; ++c) {
            const V16u8 mixed = (v[0] & m.select[c][0]) | (v[1] & m.select[c][1]) | (v[2] & m.select[c][2]);
            const V16u8 out = __builtin_shuffle(mixed, m.order[c]);
            std::memcpy(dst + std::size_t(c) * plane + p, &out, 16);
        }
    }
    done = p;
}

#if defined(__x86_64__) || defined(__i386__)
#define KH_AVX2 __attribute__((target("avx2")))

KH_AVX2 inline __m256i loadLanes(const void* lo, const void* hi)
{
    const __m128i a = _mm_loadu_si128(static_cast<const __m128i*>(lo));
    const __m128i b = _mm_loadu_si128(static_cast<const __m128i*>(hi));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1);
}

template <bool Stream>
KH_AVX2 inline void put256(void* at, __m256i v)
{
    if constexpr (Stream)
        _mm256_stream_si256(static_cast<__m256i*>(at), v);
    else
        _mm256_storeu_si256(static_cast<__m256i*>(at), v);
}

KH_AVX2 inline __m256i shuffleGroup(const uint8_t* s0, std::size_t sstep, __m256i m, __m256i k, __m256i f)
{
    const __m256i v = loadLanes(s0, s0 + 4 * sstep);
    return _mm256_or_si256(_mm256_and_si256(_mm256_shuffle_epi8(v, m), k), f);
}

// 8-bit interleaved (step 3 or 4) to 8-bit step 4, eight pixels per shuffle: each 128-bit lane
// takes the 16 bytes starting at its four pixels and shuffles them like shuffle8.
template <bool Stream>
KH_AVX2 std::size_t shuffle8To4Avx2(const uint8_t* src, uint8_t* dst, std::size_t p, std::size_t last,
                                    std::size_t srcSamples, std::size_t sstep, const V16u8& mask,
                                    const V16u8& keep, const V16u8& fill)
{
    __m128i m128, k128, f128;
    std::memcpy(&m128, &mask, 16);
    std::memcpy(&k128, &keep, 16);
    std::memcpy(&f128, &fill, 16);
    const __m256i m = _mm256_broadcastsi128_si256(m128);
    const __m256i k = _mm256_broadcastsi128_si256(k128);
    const __m256i f = _mm256_broadcastsi128_si256(f128);
    // The last lane's load reads up to four bytes past its pixels: stay inside the frame.
    for (; p + 16 <= last && (p + 12) * sstep + 16 <= srcSamples; p += 16) {
        const __m256i a = shuffleGroup(src + p * sstep, sstep, m, k, f);
        const __m256i b = shuffleGroup(src + (p + 8) * sstep, sstep, m, k, f);
        put256<Stream>(dst + p * 4, a);
        put256<Stream>(dst + p * 4 + 32, b);
    }
    for (; p + 8 <= last && (p + 4) * sstep + 16 <= srcSamples; p += 8)
        put256<Stream>(dst + p * 4, shuffleGroup(src + p * sstep, sstep, m, k, f));
    return p;
}

template <bool Stream>
KH_AVX2 inline void splitStep16(const uint16_t* src, uint16_t* dst, std::size_t plane, const __m256i* order)
{
    // Three full loads, then regroup the 128-bit halves so lane 1 is the next eight pixels.
    const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 16));
    const __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32));
    const __m256i a = _mm256_blend_epi32(v0, v1, 0xF0);
    const __m256i b = _mm256_permute2x128_si256(v0, v2, 0x21);
    const __m256i c = _mm256_blend_epi32(v1, v2, 0xF0);
    // Word i of source k belongs to channel (8k + i) mod 3.
    const __m256i r = _mm256_blend_epi16(_mm256_blend_epi16(a, b, 0x92), c, 0x24);
    const __m256i g = _mm256_blend_epi16(_mm256_blend_epi16(a, b, 0x24), c, 0x49);
    const __m256i bl = _mm256_blend_epi16(_mm256_blend_epi16(a, b, 0x49), c, 0x92);
    put256<Stream>(dst, _mm256_shuffle_epi8(r, order[0]));
    put256<Stream>(dst + plane, _mm256_shuffle_epi8(g, order[1]));
    put256<Stream>(dst + 2 * plane, _mm256_shuffle_epi8(bl, order[2]));
}

// 16-bit interleaved RGB to three planes, sixteen pixels per step. In eight pixels (three
// 128-bit words) each channel holds each word position in exactly one source: two word blends
// gather a channel, one byte shuffle orders it. Lane 1 carries the next eight pixels.
template <bool Stream>
KH_AVX2 std::size_t splitPlanes16Avx2(const uint16_t* src, uint16_t* dst, std::size_t plane, std::size_t p,
                                      std::size_t last)
{
    static const SplitMasks sm = splitMasks();
    __m256i order[3];
    for (int c = 0; c < 3; ++c) {
        __m128i o;
        std::memcpy(&o, &sm.order[c], 16);
        order[c] = _mm256_broadcastsi128_si256(o);
    }
    // Two steps per turn: 64 bytes per plane, whole cache lines for the write combining.
    for (; p + 32 <= last; p += 32) {
        splitStep16<Stream>(src + 3 * p, dst + p, plane, order);
        splitStep16<Stream>(src + 3 * p + 48, dst + p + 16, plane, order);
    }
    for (; p + 16 <= last; p += 16)
        splitStep16<Stream>(src + 3 * p, dst + p, plane, order);
    return p;
}
#endif

template <int SF, int DF>
void convertRange(const typename Format<SF>::T* src, typename Format<DF>::T* dst, std::size_t plane,
                  std::size_t first, std::size_t last, unsigned shl, unsigned shr, uint32_t constAlpha, bool stream)
{
    if (shl == 0 && shr == 0) {
        constexpr Layout ls = Format<SF>::L, ld = Format<DF>::L;
        if constexpr (!ls.wide && !ld.wide && !ls.planar && !ld.planar) {
            if (avx512Enabled()) {
                shuffle8Avx512(src, dst, first, last, ls, ld, uint8_t(constAlpha), stream);
                return;
            }
#if defined(KH_AVX2)
            if (ld.step == 4 && avx2Enabled()) {
                V16u8 mask{}, keep{}, fill{};
                shuffleMasks(ls, ld, uint8_t(constAlpha), mask, keep, fill);
                std::size_t p = first;
                if (stream) {
                    // Non-temporal stores need aligned addresses: plain loop up to the first one.
                    p = alignedPixel(dst, first, last, 4, 32);
                    convertLoop<SF, DF, false>(src, dst, plane, first, p, 0, 0, constAlpha);
                    first = shuffle8To4Avx2<true>(src, dst, p, last, plane * ls.step, ls.step, mask, keep, fill);
                    streamFence();
                } else {
                    first = shuffle8To4Avx2<false>(src, dst, p, last, plane * ls.step, ls.step, mask, keep, fill);
                }
            }
#endif
            shuffle8(src, dst, first, last, plane * ls.step, ls, ld, uint8_t(constAlpha), first);
        } else if constexpr (SF == 0 && DF == 1) {
            if (avx512Enabled()) {
                splitPlanes16Avx512(src, dst, plane, first, last, stream);
                return;
            }
#if defined(KH_AVX2)
            if (avx2Enabled()) {
                // The three planes share one alignment only when a plane is whole 32-byte blocks.
                if (stream && (plane * 2) % 32 == 0) {
                    const std::size_t p = alignedPixel(dst, first, last, 2, 32);
                    convertLoop<SF, DF, false>(src, dst, plane, first, p, 0, 0, constAlpha);
                    first = splitPlanes16Avx2<true>(src, dst, plane, p, last);
                    streamFence();
                } else {
                    first = splitPlanes16Avx2<false>(src, dst, plane, first, last);
                }
            }
#endif
            splitPlanes16(src, dst, plane, first, last, first);
        }
        convertLoop<SF, DF, false>(src, dst, plane, first, last, 0, 0, constAlpha);
    }
    else
        convertLoop<SF, DF, true>(src, dst, plane, first, last, shl, shr, constAlpha);
}

} // namespace

void convertFormat(const void* src, int srcFormat, unsigned srcBitDepth, void* dst, int dstFormat,
                   unsigned dstBitDepth, uint32_t width, uint32_t height, uint32_t alphaValue)
{
    const int s = int(dstBitDepth) - int(srcBitDepth);
    const unsigned shl = s > 0 ? unsigned(s) : 0u;
    const unsigned shr = s < 0 ? unsigned(-s) : 0u;
    // The constant alpha is a value of the source range, shifted like a sample.
    const uint32_t a = topValue(dstBitDepth, alphaValue);
    const uint32_t constAlpha = s > 0 ? (a >> s) << s : a;
    const std::size_t plane = std::size_t(width) * height;
    bool known = false;
    withFormat(srcFormat, [&](auto sf) {
        withFormat(dstFormat, [&](auto df) {
            constexpr int SF = decltype(sf)::value;
            constexpr int DF = decltype(df)::value;
            known = true;
            const auto* sp = static_cast<const typename Format<SF>::T*>(src);
            auto* dp = static_cast<typename Format<DF>::T*>(dst);
            // The split's three output streams pay for their line reads sooner than one stream
            // does: measured, streaming them was faster from 6 MB (a 1 MP frame) up.
            const std::size_t streamFrom = SF == 0 && DF == 1 ? streamThreshold() / 4 : streamThreshold();
            const bool stream = frameBytes<DF>(width, height) >= streamFrom;
            runBands(height, 1, width, kPixelsPerWorkerLight, [&](std::size_t y0, std::size_t y1) {
                convertRange<SF, DF>(sp, dp, plane, y0 * width, y1 * width, shl, shr, constAlpha, stream);
            });
        });
    });
    if (!known)
        KH_ASSERT_LOG("ImageUtilities", "Unsupported 16-bit RGB format");
}

} // namespace khc
