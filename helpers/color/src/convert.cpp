#include "colorcore.h"
#include "formattraits.h"
#include "parallel.h"

#include "kh/log.h"

#include <cstring>

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

// 8-bit interleaved to 8-bit interleaved, four pixels per shuffle.
KH_VECTOR_CLONES void shuffle8(const uint8_t* __restrict src, uint8_t* __restrict dst, std::size_t first,
                               std::size_t last, std::size_t srcSamples, const Layout& s, const Layout& d,
                               uint8_t constAlpha, std::size_t& done)
{
    V16u8 mask{}, keep{}, fill{};
    for (int k = 0; k < 4; ++k) {
        const int offs[4] = {d.r, d.g, d.b, d.a};
        const int srcOffs[4] = {s.r, s.g, s.b, s.a};
        for (int c = 0; c < 4; ++c) {
            if (offs[c] < 0)
                continue;
            const int at = k * d.step + offs[c];
            if (c == 3 && srcOffs[3] < 0) {
                fill[at] = constAlpha;
            } else {
                mask[at] = uint8_t(k * s.step + srcOffs[c]);
                keep[at] = 0xFF;
            }
        }
    }
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

template <int SF, int DF>
void convertRange(const typename Format<SF>::T* src, typename Format<DF>::T* dst, std::size_t plane,
                  std::size_t first, std::size_t last, unsigned shl, unsigned shr, uint32_t constAlpha)
{
    if (shl == 0 && shr == 0) {
        constexpr Layout ls = Format<SF>::L, ld = Format<DF>::L;
        if constexpr (!ls.wide && !ld.wide && !ls.planar && !ld.planar) {
            shuffle8(src, dst, first, last, plane * ls.step, ls, ld, uint8_t(constAlpha), first);
        } else if constexpr (SF == 0 && DF == 1) {
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
            runBands(height, 1, width, [&](std::size_t y0, std::size_t y1) {
                convertRange<SF, DF>(sp, dp, plane, y0 * width, y1 * width, shl, shr, constAlpha);
            });
        });
    });
    if (!known)
        KH_ASSERT_LOG("ImageUtilities", "Unsupported 16-bit RGB format");
}

} // namespace khc
