#include "convert512.h"

#include "simd.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KH_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#endif

namespace khc {

#if defined(KH_AVX512)

namespace {

// The low n bits set, n <= 64.
inline uint64_t lowBits(std::size_t n) { return n >= 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1; }

template <bool Stream>
KH_AVX512 inline void put512(void* at, __m512i v)
{
    if constexpr (Stream)
        _mm512_stream_si512(static_cast<__m512i*>(at), v);
    else
        _mm512_storeu_si512(at, v);
}

// Sixteen pixels of layout s to layout d: a byte index per output byte, the output bytes that
// come from the source, and the constant alpha for the rest.
struct Shuffle16 {
    __m512i index;
    __m512i fill;
    __mmask64 keep;
};

KH_AVX512 Shuffle16 shuffle16(const Layout& s, const Layout& d, uint8_t constAlpha)
{
    alignas(64) uint8_t index[64] = {};
    alignas(64) uint8_t fill[64] = {};
    uint8_t kept[64] = {};
    shuffleTables(s, d, constAlpha, 16, index, kept, fill);
    uint64_t keep = 0;
    for (int at = 0; at < 64; ++at)
        if (kept[at])
            keep |= uint64_t(1) << at;
    return {_mm512_load_si512(index), _mm512_load_si512(fill), keep};
}

// n <= 16 pixels with masked loads and stores.
KH_AVX512 inline void shufflePart(const uint8_t* src, uint8_t* dst, std::size_t n, std::size_t sstep,
                                  std::size_t dstep, const Shuffle16& m)
{
    const __m512i v = _mm512_maskz_loadu_epi8(lowBits(n * sstep), src);
    _mm512_mask_storeu_epi8(dst, lowBits(n * dstep), _mm512_mask_permutexvar_epi8(m.fill, m.keep, m.index, v));
}

KH_AVX512 inline __m512i shuffleGroup(const uint8_t* src, __mmask64 in, const Shuffle16& m)
{
    return _mm512_mask_permutexvar_epi8(m.fill, m.keep, m.index, _mm512_maskz_loadu_epi8(in, src));
}

// Measured on the shuffle: one page ahead raised the single-thread rate by a tenth; the split,
// with its three output streams, ran no faster with it.
constexpr std::size_t kPrefetchAhead = 4096;

template <bool Stream>
KH_AVX512 std::size_t shuffleLoop4(const uint8_t* src, uint8_t* dst, std::size_t p, std::size_t last,
                                   std::size_t sstep, const Shuffle16& m)
{
    // Each masked load reads only its own sixteen pixels, so no margin at the frame's end.
    const __mmask64 in = lowBits(16 * sstep);
    for (; p + 32 <= last; p += 32) {
        // The hardware prefetchers stop at page ends; asking a page ahead keeps the source
        // stream going across them.
        _mm_prefetch(reinterpret_cast<const char*>(src + p * sstep) + kPrefetchAhead, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(src + p * sstep) + kPrefetchAhead + 64, _MM_HINT_T0);
        const __m512i a = shuffleGroup(src + p * sstep, in, m);
        const __m512i b = shuffleGroup(src + (p + 16) * sstep, in, m);
        put512<Stream>(dst + p * 4, a);
        put512<Stream>(dst + p * 4 + 64, b);
    }
    for (; p + 16 <= last; p += 16)
        put512<Stream>(dst + p * 4, shuffleGroup(src + p * sstep, in, m));
    return p;
}

// One step of 32 pixels: word i of source vector k belongs to channel (32k + i) mod 3, so each
// channel holds each word position in exactly one source. Two blends gather a channel, one byte
// permute orders it.
struct Split32 {
    __mmask32 from1[3], from2[3]; // [channel]
    __m512i order[3];
};

KH_AVX512 Split32 split32()
{
    Split32 m{};
    for (int c = 0; c < 3; ++c) {
        uint32_t f1 = 0, f2 = 0;
        for (int i = 0; i < 32; ++i) {
            if ((32 + i) % 3 == c)
                f1 |= uint32_t(1) << i;
            if ((64 + i) % 3 == c)
                f2 |= uint32_t(1) << i;
        }
        m.from1[c] = f1;
        m.from2[c] = f2;
        alignas(64) uint8_t order[64];
        for (int j = 0; j < 32; ++j) {
            const int word = (3 * j + c) % 32;
            order[2 * j] = uint8_t(2 * word);
            order[2 * j + 1] = uint8_t(2 * word + 1);
        }
        m.order[c] = _mm512_load_si512(order);
    }
    return m;
}

template <bool Stream>
KH_AVX512 inline void splitStep(const __m512i v[3], uint16_t* dst, std::size_t plane, const Split32& m)
{
    for (int c = 0; c < 3; ++c) {
        const __m512i mixed =
            _mm512_mask_blend_epi16(m.from2[c], _mm512_mask_blend_epi16(m.from1[c], v[0], v[1]), v[2]);
        put512<Stream>(dst + std::size_t(c) * plane, _mm512_maskz_permutexvar_epi8(~__mmask64(0), m.order[c], mixed));
    }
}

// n <= 32 pixels with masked loads and stores.
KH_AVX512 inline void splitPart(const uint16_t* src, uint16_t* dst, std::size_t plane, std::size_t n,
                                const Split32& m)
{
    const std::size_t words = 3 * n;
    __m512i v[3];
    for (std::size_t k = 0; k < 3; ++k)
        v[k] = _mm512_maskz_loadu_epi16(__mmask32(lowBits(words > 32 * k ? words - 32 * k : 0)), src + 32 * k);
    for (int c = 0; c < 3; ++c) {
        const __m512i mixed =
            _mm512_mask_blend_epi16(m.from2[c], _mm512_mask_blend_epi16(m.from1[c], v[0], v[1]), v[2]);
        _mm512_mask_storeu_epi16(dst + std::size_t(c) * plane, __mmask32(lowBits(n)),
                                 _mm512_maskz_permutexvar_epi8(~__mmask64(0), m.order[c], mixed));
    }
}

template <bool Stream>
KH_AVX512 inline void splitAt(const uint16_t* src, uint16_t* dst, std::size_t plane, std::size_t p, const Split32& m)
{
    const __m512i v[3] = {_mm512_loadu_si512(src + 3 * p), _mm512_loadu_si512(src + 3 * p + 32),
                          _mm512_loadu_si512(src + 3 * p + 64)};
    splitStep<Stream>(v, dst + p, plane, m);
}

// Two input streams in turn, up to 256 K pixels (1.5 MB of input) apart: measured on one core
// they keep more lines in flight than one stream and the split ran a tenth faster at 1 and 20 MP.
// Streams a few KB apart ran slower than one, halves of a 20 MP band gained less; four streams
// gained no more, eight ran far slower (the output streams outgrow the write combining).
constexpr std::size_t kSplitSpan = std::size_t(1) << 18;

template <bool Stream>
KH_AVX512 std::size_t splitLoop(const uint16_t* src, uint16_t* dst, std::size_t plane, std::size_t p,
                                std::size_t last, const Split32& m)
{
    for (;;) {
        const std::size_t steps = std::min((last - p) / 32, 2 * kSplitSpan / 32);
        if (steps < 2)
            break;
        const std::size_t half = 32 * (steps / 2);
        for (std::size_t q = p; q < p + half; q += 32) {
            splitAt<Stream>(src, dst, plane, q, m);
            splitAt<Stream>(src, dst, plane, q + half, m);
        }
        p += 2 * half;
    }
    if (p + 32 <= last) {
        splitAt<Stream>(src, dst, plane, p, m);
        p += 32;
    }
    return p;
}

} // namespace

KH_AVX512 void shuffle8Avx512(const uint8_t* src, uint8_t* dst, std::size_t first, std::size_t last,
                              const Layout& s, const Layout& d, uint8_t constAlpha, bool stream)
{
    const Shuffle16 m = shuffle16(s, d, constAlpha);
    std::size_t p = first;
    if (d.step == 4) {
        // Both store kinds want whole lines: ordinary masked stores up to the first one.
        const std::size_t line = alignedPixel(dst, p, last, 4, 64);
        for (; p < line; p += std::min<std::size_t>(16, line - p))
            shufflePart(src + p * s.step, dst + p * 4, std::min<std::size_t>(16, line - p), s.step, 4, m);
        if (stream) {
            p = shuffleLoop4<true>(src, dst, p, last, s.step, m);
            streamFence();
        } else {
            p = shuffleLoop4<false>(src, dst, p, last, s.step, m);
        }
    }
    for (; p < last; p += 16)
        shufflePart(src + p * s.step, dst + p * d.step, std::min<std::size_t>(16, last - p), s.step, d.step, m);
}

KH_AVX512 void splitPlanes16Avx512(const uint16_t* src, uint16_t* dst, std::size_t plane, std::size_t first,
                                   std::size_t last, bool stream)
{
    static const Split32 m = split32();
    std::size_t p = first;
    // Whole lines from here on, in all three planes when a plane is whole 64-byte lines.
    const std::size_t line = alignedPixel(dst, p, last, 2, 64);
    for (; p < line; p += std::min<std::size_t>(32, line - p))
        splitPart(src + 3 * p, dst + p, plane, std::min<std::size_t>(32, line - p), m);
    if (stream && (plane * 2) % 64 == 0) {
        p = splitLoop<true>(src, dst, plane, p, last, m);
        streamFence();
    } else {
        p = splitLoop<false>(src, dst, plane, p, last, m);
    }
    if (p < last)
        splitPart(src + 3 * p, dst + p, plane, last - p, m);
}

#else

// Never called: avx512Enabled() is false off x86.
void shuffle8Avx512(const uint8_t*, uint8_t*, std::size_t, std::size_t, const Layout&, const Layout&, uint8_t, bool) {}
void splitPlanes16Avx512(const uint16_t*, uint16_t*, std::size_t, std::size_t, std::size_t, bool) {}

#endif

} // namespace khc
