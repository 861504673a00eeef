#include "colorcore.h"
#include "formattraits.h"
#include "parallel.h"

#include <cstring>

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

// ---- fast 2x2 algorithm -------------------------------------------------------------------

// One row pair (y, y + 1) with y even: every cell gives its colour to its four pixels.
template <int F>
KH_VECTOR_CLONES void fastPair(const typename Format<F>::T* raw, typename Format<F>::T* out, std::size_t w,
                               std::size_t plane, std::size_t y, unsigned pattern, uint32_t alpha)
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
    for (std::size_t i = 0; i < cells; ++i) {
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
    const std::size_t n = cells * 2;
    if constexpr (Fm::planar) {
        for (int c = 0; c < 3; ++c)
            std::memcpy(Fm::at(out, plane, p1, c), Fm::at(out, plane, p0, c), n * sizeof(T));
    } else {
        std::memcpy(out + p1 * s, out + p0 * s, n * s * sizeof(T));
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
              std::size_t first, std::size_t last)
{
    using T = typename Format<F>::T;
    const T* raw = static_cast<const T*>(rawv);
    T* out = static_cast<T*>(outv);
    const std::size_t w = width, h = height, plane = w * h;
    for (std::size_t y = first; y < last; y += 2) {
        if (y + 1 < h) {
            fastPair<F>(raw, out, w, plane, y, pattern, alpha);
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
    for (std::size_t k = 0; k < pairs; ++k) {
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
        runBands(height, 2, width, [&](std::size_t y0, std::size_t y1) {
            fastRows<F>(raw, color, width, height, pattern, alpha, y0, y1);
        });
    });
}

void debayerBilinear(const void* raw, void* color, uint32_t width, uint32_t height, unsigned pattern,
                     int format, uint32_t alpha)
{
    withFormat(format, [&](auto f) {
        constexpr int F = decltype(f)::value;
        runBands(height, 1, width, [&](std::size_t y0, std::size_t y1) {
            bilinearRows<F>(raw, color, width, height, pattern, alpha, y0, y1);
        });
    });
}

} // namespace khc
