#include "colorcore.h"
#include "formattraits.h"
#include "parallel.h"
#include "simd.h"

#include <cstring>
#include <initializer_list>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace khc {

namespace {

template <int F>
inline void putPixel(typename Format<F>::T* out, std::size_t plane, std::size_t p, uint32_t r, uint32_t g,
                     uint32_t b, uint32_t alpha)
{
    using Fm = Format<F>;
    using T = typename Fm::T;
    *Fm::at(out, plane, p, 0) = static_cast<T>(r);
    *Fm::at(out, plane, p, 1) = static_cast<T>(g);
    *Fm::at(out, plane, p, 2) = static_cast<T>(b);
    if constexpr (Fm::hasAlpha)
        *Fm::at(out, plane, p, 3) = static_cast<T>(alpha);
}

#if defined(__x86_64__) || defined(__i386__)
#define KH_AVX2 __attribute__((target("avx2")))

// Writes eight pixel pairs of 16-bit RGB (48 words) from three vectors of 32-bit lanes: lane i of
// rg, br, gb holds words (R, G), (B, R'), (G', B') of pair i. Each source is permuted once so
// that three blends per output vector gather the stride-3 order.
template <bool Stream>
KH_AVX2 inline void put256(uint16_t* at, __m256i v)
{
    if constexpr (Stream)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(at), v);
    else
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v);
}

template <bool Stream>
KH_AVX2 inline void storeRgb16x16(uint16_t* out, __m256i rg, __m256i br, __m256i gb)
{
    const __m256i p0 = _mm256_permutevar8x32_epi32(rg, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5));
    const __m256i p1 = _mm256_permutevar8x32_epi32(br, _mm256_setr_epi32(5, 0, 3, 6, 1, 4, 7, 2));
    const __m256i p2 = _mm256_permutevar8x32_epi32(gb, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7));
    const __m256i o0 = _mm256_blend_epi32(_mm256_blend_epi32(p0, p1, 0x92), p2, 0x24);
    const __m256i o1 = _mm256_blend_epi32(_mm256_blend_epi32(p0, p1, 0x24), p2, 0x49);
    const __m256i o2 = _mm256_blend_epi32(_mm256_blend_epi32(p0, p1, 0x49), p2, 0x92);
    put256<Stream>(out, o0);
    put256<Stream>(out + 16, o1);
    put256<Stream>(out + 32, o2);
}

// Fast rule for 16-bit output, eight cells (sixteen pixels) per step, both rows of the pair.
// xr: the raw row holding red, yr: the other; lane i of either is cell i. Returns the cells done.
// Stream: non-temporal stores, for 32-byte aligned rows.
template <bool Planar, bool Stream>
KH_AVX2 std::size_t fastPair16Avx2(const uint16_t* xr, const uint16_t* yr, unsigned rc, std::size_t cells,
                                   uint16_t* row0, uint16_t* row1, std::size_t plane)
{
    const __m256i low = _mm256_set1_epi32(0xFFFF);
    std::size_t i = 0;
    for (; i + 8 <= cells; i += 8) {
        __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xr + 2 * i));
        __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(yr + 2 * i));
        if (rc) {
            // Red in the odd column: swap the words of each cell so red and the second green lead.
            x = _mm256_or_si256(_mm256_srli_epi32(x, 16), _mm256_slli_epi32(x, 16));
            y = _mm256_or_si256(_mm256_srli_epi32(y, 16), _mm256_slli_epi32(y, 16));
        }
        const __m256i r = _mm256_and_si256(x, low);
        const __m256i b = _mm256_srli_epi32(y, 16);
        // avg rounds half up like the rule; the high words average to zero.
        const __m256i g = _mm256_and_si256(_mm256_avg_epu16(_mm256_srli_epi32(x, 16), y), low);
        const std::size_t px = 2 * i;
        if constexpr (Planar) {
            const __m256i rr = _mm256_or_si256(r, _mm256_slli_epi32(r, 16));
            const __m256i gg = _mm256_or_si256(g, _mm256_slli_epi32(g, 16));
            const __m256i bb = _mm256_or_si256(b, _mm256_slli_epi32(b, 16));
            for (uint16_t* row : {row0, row1}) {
                put256<Stream>(row + px, rr);
                put256<Stream>(row + plane + px, gg);
                put256<Stream>(row + 2 * plane + px, bb);
            }
        } else {
            const __m256i rg = _mm256_or_si256(r, _mm256_slli_epi32(g, 16));
            const __m256i br = _mm256_or_si256(b, _mm256_slli_epi32(r, 16));
            const __m256i gb = _mm256_or_si256(g, _mm256_slli_epi32(b, 16));
            storeRgb16x16<Stream>(row0 + 3 * px, rg, br, gb);
            storeRgb16x16<Stream>(row1 + 3 * px, rg, br, gb);
        }
    }
    return i;
}

KH_AVX2 inline __m256i load16(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// Four-value average rounded half up without leaving 16 bits: from the floor averages h and v of
// the two pairs, (h + v + 1 + (both sums odd)) / 2; v + 1 cannot overflow when both sums are odd.
KH_AVX2 inline __m256i avg4x16(__m256i a, __m256i b, __m256i c, __m256i d)
{
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i ab = _mm256_xor_si256(a, b), cd = _mm256_xor_si256(c, d);
    const __m256i h = _mm256_add_epi16(_mm256_and_si256(a, b), _mm256_srli_epi16(ab, 1));
    const __m256i v = _mm256_add_epi16(_mm256_and_si256(c, d), _mm256_srli_epi16(cd, 1));
    const __m256i odd = _mm256_and_si256(_mm256_and_si256(ab, cd), one);
    return _mm256_avg_epu16(h, _mm256_add_epi16(v, odd));
}

// Bilinear interior of one row for 16-bit interleaved RGB, sixteen pixels per step from pixel 1.
// Returns the first pixel not done (odd, so the pair loop continues in step).
template <bool OwnIsRed, bool FirstIsColour>
KH_AVX2 std::size_t bilinearRow16Avx2(const uint16_t* up, const uint16_t* c, const uint16_t* dn, uint16_t* out,
                                      std::size_t w)
{
    // Word parity of the colour pixels within each vector (pixel x0 is word 0).
    constexpr int colourWords = FirstIsColour ? 0x55 : 0xAA;
    std::size_t x = 1;
    for (; x + 17 <= w; x += 16) {
        const __m256i cm = load16(c + x - 1), c0 = load16(c + x), cp = load16(c + x + 1);
        const __m256i um = load16(up + x - 1), u0 = load16(up + x), upp = load16(up + x + 1);
        const __m256i dm = load16(dn + x - 1), d0 = load16(dn + x), dp = load16(dn + x + 1);
        const __m256i cross = avg4x16(cm, cp, u0, d0);
        const __m256i diag = avg4x16(um, upp, dm, dp);
        const __m256i h2 = _mm256_avg_epu16(cm, cp);
        const __m256i v2 = _mm256_avg_epu16(u0, d0);
        // blend_epi16 takes the second operand where the mask bit is set.
        const __m256i own = _mm256_blend_epi16(h2, c0, colourWords);
        const __m256i g = _mm256_blend_epi16(c0, cross, colourWords);
        const __m256i other = _mm256_blend_epi16(v2, diag, colourWords);
        const __m256i r = OwnIsRed ? own : other;
        const __m256i b = OwnIsRed ? other : own;
        // Pairs of pixels (even word, odd word) as three 32-bit lanes: (R, G), (B, R'), (G', B').
        const __m256i rg = _mm256_blend_epi16(r, _mm256_slli_epi32(g, 16), 0xAA);
        const __m256i br = _mm256_blend_epi16(b, r, 0xAA);
        const __m256i gb = _mm256_blend_epi16(_mm256_srli_epi32(g, 16), b, 0xAA);
        storeRgb16x16<false>(out + 3 * x, rg, br, gb);
    }
    return x;
}
#endif

// ---- fast 2x2 algorithm -------------------------------------------------------------------

// One row pair (y, y + 1) with y even: every cell gives its colour to its four pixels.
template <int F>
KH_VECTOR_CLONES void fastPair(const typename Format<F>::T* raw, typename Format<F>::T* out, std::size_t w,
                               std::size_t plane, std::size_t y, unsigned pattern, uint32_t alpha,
                               [[maybe_unused]] bool stream)
{
    using Fm = Format<F>;
    using T = typename Fm::T;
    const unsigned rr = redRow(pattern), rc = redCol(pattern);
    const T* a = raw + y * w;
    const T* b = a + w;
    const T* pr = (rr ? b : a) + rc;
    const T* pb = (rr ? a : b) + (1 - rc);
    const T* pg1 = (rr ? b : a) + (1 - rc);
    const T* pg2 = (rr ? a : b) + rc;
    const std::size_t p0 = y * w;
    const std::size_t p1 = p0 + w;
    const std::size_t cells = w / 2;
    constexpr std::size_t s = Fm::step;
    T* r0 = Fm::at(out, plane, p0, 0);
    T* g0 = Fm::at(out, plane, p0, 1);
    T* b0 = Fm::at(out, plane, p0, 2);
    std::size_t i = 0;
#if defined(KH_AVX2)
    if constexpr (Fm::L.wide) {
        if (avx2Enabled()) {
            // Writes both rows of the cells it does.
            T* row0 = out + (Fm::planar ? p0 : p0 * s);
            T* row1 = out + (Fm::planar ? p1 : p1 * s);
            const bool aligned = ((reinterpret_cast<uintptr_t>(row0) | reinterpret_cast<uintptr_t>(row1) |
                                   (Fm::planar ? plane * sizeof(T) : 0)) & 31) == 0;
            const T* xr = rr ? b : a;
            const T* yr = rr ? a : b;
            i = stream && aligned ? fastPair16Avx2<Fm::planar, true>(xr, yr, rc, cells, row0, row1, plane)
                                  : fastPair16Avx2<Fm::planar, false>(xr, yr, rc, cells, row0, row1, plane);
        }
    }
#endif
    const std::size_t done = i;
    for (; i < cells; ++i) {
        const T R = pr[2 * i];
        const T B = pb[2 * i];
        const T G = static_cast<T>((uint32_t(pg1[2 * i]) + pg2[2 * i] + 1) >> 1);
        const std::size_t x0 = 2 * i * s, x1 = (2 * i + 1) * s;
        r0[x0] = R; g0[x0] = G; b0[x0] = B;
        r0[x1] = R; g0[x1] = G; b0[x1] = B;
        if constexpr (Fm::hasAlpha) {
            T* a0 = Fm::at(out, plane, p0, 3);
            a0[x0] = a0[x1] = static_cast<T>(alpha);
        }
    }
    // Both rows of a cell row are the same colours: copy instead of computing twice.
    const std::size_t from = done * 2, n = (cells - done) * 2;
    if constexpr (Fm::planar) {
        for (int c = 0; c < 3; ++c)
            std::memcpy(Fm::at(out, plane, p1 + from, c), Fm::at(out, plane, p0 + from, c), n * sizeof(T));
    } else {
        std::memcpy(out + (p1 + from) * s, out + (p0 + from) * s, n * s * sizeof(T));
    }
}

// The block with top-left (bx, by) coloured by the fast rule.
template <typename T>
Rgb blockColour(const T* raw, std::size_t w, std::size_t bx, std::size_t by, unsigned pattern)
{
    const unsigned p = effectivePattern(pattern, bx & 1, by & 1);
    const T* a = raw + by * w + bx;
    return fastCell(p, a[0], a[1], a[w], a[w + 1]);
}

template <int F>
void fastRows(const void* rawv, void* outv, uint32_t width, uint32_t height, unsigned pattern, uint32_t alpha,
              bool stream, std::size_t first, std::size_t last)
{
    using T = typename Format<F>::T;
    const T* raw = static_cast<const T*>(rawv);
    T* out = static_cast<T*>(outv);
    const std::size_t w = width, h = height, plane = w * h;
    for (std::size_t y = first; y < last; y += 2) {
        if (y + 1 < h) {
            fastPair<F>(raw, out, w, plane, y, pattern, alpha, stream);
            if (w & 1) {
                // Odd width: the last column borrows the column to its left.
                const Rgb c = blockColour(raw, w, w - 2, y, pattern);
                putPixel<F>(out, plane, y * w + w - 1, c.r, c.g, c.b, alpha);
                putPixel<F>(out, plane, (y + 1) * w + w - 1, c.r, c.g, c.b, alpha);
            }
        } else {
            // Odd height: the last row borrows the row above, the last pixel the block up-left.
            for (std::size_t x = 0; x + 1 < w; x += 2) {
                const Rgb c = blockColour(raw, w, x, y - 1, pattern);
                putPixel<F>(out, plane, y * w + x, c.r, c.g, c.b, alpha);
                putPixel<F>(out, plane, y * w + x + 1, c.r, c.g, c.b, alpha);
            }
            if (w & 1) {
                const Rgb c = blockColour(raw, w, w - 2, y - 1, pattern);
                putPixel<F>(out, plane, y * w + w - 1, c.r, c.g, c.b, alpha);
            }
        }
    }
    if (stream)
        streamFence();
}

// ---- bilinear algorithm -------------------------------------------------------------------

// Border and corner pixels, one at a time (a few thousand per frame).
template <typename T>
Rgb bilinearEdge(const T* raw, std::size_t w, std::size_t h, unsigned pattern, std::size_t x, std::size_t y)
{
    auto s = [&](std::size_t xx, std::size_t yy) -> uint32_t { return raw[yy * w + xx]; };
    auto ch = [&](std::size_t xx, std::size_t yy) { return channelAt(pattern, unsigned(xx), unsigned(yy)); };
    uint32_t v[3] = {0, 0, 0};
    const Channel own = ch(x, y);
    v[own] = s(x, y);
    const bool vertEdge = x == 0 || x == w - 1;  // left or right column
    const bool horzEdge = y == 0 || y == h - 1;  // top or bottom row
    const std::size_t xin = x == 0 ? 1 : x - 1;  // inward neighbour column (for a column edge)
    const std::size_t yin = y == 0 ? 1 : y - 1;
    if (vertEdge && horzEdge) {
        if (own == ChGreen) {
            v[ch(xin, y)] = s(xin, y);
            v[ch(x, yin)] = s(x, yin);
        } else {
            v[ChGreen] = avg2(s(xin, y), s(x, yin));
            v[own == ChRed ? ChBlue : ChRed] = s(xin, yin);
        }
    } else if (vertEdge) {
        if (own == ChGreen) {
            v[ch(x, y - 1)] = avg2(s(x, y - 1), s(x, y + 1));
            v[ch(xin, y)] = s(xin, y);
        } else {
            v[ChGreen] = avg3(s(x, y - 1), s(x, y + 1), s(xin, y));
            v[own == ChRed ? ChBlue : ChRed] = avg2(s(xin, y - 1), s(xin, y + 1));
        }
    } else {
        if (own == ChGreen) {
            v[ch(x - 1, y)] = avg2(s(x - 1, y), s(x + 1, y));
            v[ch(x, yin)] = s(x, yin);
        } else {
            v[ChGreen] = avg3(s(x - 1, y), s(x + 1, y), s(x, yin));
            v[own == ChRed ? ChBlue : ChRed] = avg2(s(x - 1, yin), s(x + 1, yin));
        }
    }
    return Rgb{v[0], v[1], v[2]};
}

// Interior of one row, pixels 1 .. w-2. ownIsRed: the row holds red (else blue) pixels;
// firstIsColour: pixel 1 is the red or blue one (else green).
template <int F, bool ownIsRed, bool firstIsColour>
KH_VECTOR_CLONES void bilinearInterior(const typename Format<F>::T* up, const typename Format<F>::T* c,
                                       const typename Format<F>::T* dn, typename Format<F>::T* out,
                                       std::size_t plane, std::size_t p0, std::size_t w, uint32_t alpha)
{
    using Fm = Format<F>;
    using T = typename Fm::T;
    constexpr std::size_t s = Fm::step;
    constexpr int ownCh = ownIsRed ? 0 : 2;
    constexpr int otherCh = ownIsRed ? 2 : 0;
    T* po = Fm::at(out, plane, p0, ownCh);
    T* pg = Fm::at(out, plane, p0, 1);
    T* pt = Fm::at(out, plane, p0, otherCh);
    auto colour = [&](std::size_t x) {
        po[x * s] = c[x];
        pg[x * s] = static_cast<T>((uint32_t(c[x - 1]) + c[x + 1] + up[x] + dn[x] + 2) >> 2);
        pt[x * s] = static_cast<T>((uint32_t(up[x - 1]) + up[x + 1] + dn[x - 1] + dn[x + 1] + 2) >> 2);
    };
    auto green = [&](std::size_t x) {
        pg[x * s] = c[x];
        po[x * s] = static_cast<T>((uint32_t(c[x - 1]) + c[x + 1] + 1) >> 1);
        pt[x * s] = static_cast<T>((uint32_t(up[x]) + dn[x] + 1) >> 1);
    };
    const std::size_t pairs = (w - 2) / 2;
    std::size_t k = 0;
#if defined(KH_AVX2)
    if constexpr (F == 0) {
        if (avx2Enabled())
            k = (bilinearRow16Avx2<ownIsRed, firstIsColour>(up, c, dn, out + p0 * s, w) - 1) / 2;
    }
#endif
    for (; k < pairs; ++k) {
        const std::size_t x = 1 + 2 * k;
        if (firstIsColour) {
            colour(x);
            green(x + 1);
        } else {
            green(x);
            colour(x + 1);
        }
    }
    if ((w - 2) & 1) {
        const std::size_t x = w - 2;
        if (firstIsColour)
            colour(x);
        else
            green(x);
    }
    if constexpr (Fm::hasAlpha) {
        T* pa = Fm::at(out, plane, p0, 3);
        for (std::size_t x = 1; x + 1 < w; ++x)
            pa[x * s] = static_cast<T>(alpha);
    }
}

template <int F>
void bilinearRows(const void* rawv, void* outv, uint32_t width, uint32_t height, unsigned pattern,
                  uint32_t alpha, std::size_t first, std::size_t last)
{
    using T = typename Format<F>::T;
    const T* raw = static_cast<const T*>(rawv);
    T* out = static_cast<T*>(outv);
    const std::size_t w = width, h = height, plane = w * h;
    const unsigned rr = redRow(pattern), rc = redCol(pattern);
    for (std::size_t y = first; y < last; ++y) {
        if (y == 0 || y == h - 1) {
            for (std::size_t x = 0; x < w; ++x) {
                const Rgb v = bilinearEdge(raw, w, h, pattern, x, y);
                putPixel<F>(out, plane, y * w + x, v.r, v.g, v.b, alpha);
            }
            continue;
        }
        const bool redInRow = (y & 1) == rr;
        const unsigned colourParity = redInRow ? rc : 1 - rc;
        const bool firstIsColour = colourParity == 1;
        const T* c = raw + y * w;
        if (w > 2) {
            if (redInRow && firstIsColour)
                bilinearInterior<F, true, true>(c - w, c, c + w, out, plane, y * w, w, alpha);
            else if (redInRow)
                bilinearInterior<F, true, false>(c - w, c, c + w, out, plane, y * w, w, alpha);
            else if (firstIsColour)
                bilinearInterior<F, false, true>(c - w, c, c + w, out, plane, y * w, w, alpha);
            else
                bilinearInterior<F, false, false>(c - w, c, c + w, out, plane, y * w, w, alpha);
        }
        for (std::size_t x : {std::size_t(0), w - 1}) {
            const Rgb v = bilinearEdge(raw, w, h, pattern, x, y);
            putPixel<F>(out, plane, y * w + x, v.r, v.g, v.b, alpha);
        }
    }
}

} // namespace

void debayerFast(const void* raw, void* color, uint32_t width, uint32_t height, unsigned pattern, int format,
                 uint32_t alpha)
{
    withFormat(format, [&](auto f) {
        constexpr int F = decltype(f)::value;
        const bool stream = frameBytes<F>(width, height) >= streamThreshold();
        runBands(height, 2, width, kPixelsPerWorkerHeavy, [&](std::size_t y0, std::size_t y1) {
            fastRows<F>(raw, color, width, height, pattern, alpha, stream, y0, y1);
        });
    });
}

void debayerBilinear(const void* raw, void* color, uint32_t width, uint32_t height, unsigned pattern,
                     int format, uint32_t alpha)
{
    withFormat(format, [&](auto f) {
        constexpr int F = decltype(f)::value;
        runBands(height, 1, width, kPixelsPerWorkerHeavy, [&](std::size_t y0, std::size_t y1) {
            bilinearRows<F>(raw, color, width, height, pattern, alpha, y0, y1);
        });
    });
}

} // namespace khc
