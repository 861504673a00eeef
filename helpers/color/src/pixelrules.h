#pragma once
// Per-cell and per-pixel rules shared by the CPU code (g++) and the CUDA kernels (nvcc), so that
// the CPU tests cover the arithmetic of the kernels.

#include <cstdint>

#if defined(__CUDACC__)
#define KH_HD __host__ __device__ __forceinline__
#else
#define KH_HD inline
#endif

namespace khc {

enum Channel : uint8_t { ChRed = 0, ChGreen = 1, ChBlue = 2 };

// Integer averages rounded half up.
KH_HD uint32_t avg2(uint32_t a, uint32_t b) { return (a + b + 1) / 2; }
KH_HD uint32_t avg3(uint32_t a, uint32_t b, uint32_t c) { return (a + b + c + 1) / 3; }
KH_HD uint32_t avg4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return (a + b + c + d + 2) / 4; }

// Patterns 2..5 are RGGB, GRBG, GBRG, BGGR: the red pixel's row and column in the cell.
KH_HD unsigned redRow(unsigned pattern) { return ((pattern - 2) >> 1) & 1; }
KH_HD unsigned redCol(unsigned pattern) { return (pattern - 2) & 1; }
KH_HD bool validPattern(unsigned pattern) { return pattern >= 2 && pattern <= 5; }

// A region starting on an odd column or row sees the mosaic shifted by one.
KH_HD unsigned effectivePattern(unsigned pattern, bool oddColumn, bool oddRow)
{
    const unsigned rr = redRow(pattern) ^ (oddRow ? 1u : 0u);
    const unsigned rc = redCol(pattern) ^ (oddColumn ? 1u : 0u);
    return 2 + rr * 2 + rc;
}

KH_HD Channel channelAt(unsigned pattern, unsigned x, unsigned y)
{
    const bool rowHit = (y & 1) == redRow(pattern);
    const bool colHit = (x & 1) == redCol(pattern);
    if (rowHit && colHit)
        return ChRed;
    if (!rowHit && !colHit)
        return ChBlue;
    return ChGreen;
}

struct Rgb {
    uint32_t r, g, b;
};

// Fast rule: one colour for the whole 2x2 block whose top-left pixel has the given pattern.
KH_HD Rgb fastCell(unsigned pattern, uint32_t s00, uint32_t s01, uint32_t s10, uint32_t s11)
{
    const unsigned rr = redRow(pattern), rc = redCol(pattern);
    const uint32_t s[2][2] = {{s00, s01}, {s10, s11}};
    return Rgb{s[rr][rc], avg2(s[rr][1 - rc], s[1 - rr][rc]), s[1 - rr][1 - rc]};
}

// Top of the output range: 2^bitDepth - 1 in 16-bit arithmetic, capped by alphaValue.
KH_HD uint32_t topValue(unsigned bitDepth, uint32_t alphaValue)
{
    const uint32_t top = static_cast<uint16_t>((1u << bitDepth) - 1u);
    return alphaValue < top ? alphaValue : top;
}

// GPU white balance rounds to nearest (the CPU tables truncate).
KH_HD uint32_t scaleRounded(uint32_t v, float scale, float top)
{
    const float x = static_cast<float>(v) * scale + 0.5f;
    return static_cast<uint32_t>(x < top ? x : top);
}

// One lookup-table entry: min(top, i * s) truncated. i * s for i = 0 and s = +inf is NaN and
// would make the truncation undefined; 0 is the sound value there.
KH_HD uint16_t tableEntry(uint32_t i, float scale, float top)
{
    const float x = static_cast<float>(i) * scale;
    if (!(x == x))
        return 0;
    return static_cast<uint16_t>(x < top ? x : top);
}

// Where each channel of a colour format lies: sample offsets within a pixel and the step between
// pixels, or planes (offset counts in planes of width x height samples).
struct Layout {
    int8_t r, g, b, a; // a < 0: no alpha
    uint8_t step;
    bool planar;
    bool wide; // 16-bit samples
    bool valid;
};

KH_HD constexpr Layout formatLayout(int format)
{
    switch (format) {
    case 0: return Layout{0, 1, 2, -1, 3, false, true, true};
    case 1: return Layout{0, 1, 2, -1, 1, true, true, true};
    case 2: return Layout{0, 1, 2, -1, 3, false, false, true};
    case 3: return Layout{2, 1, 0, -1, 3, false, false, true};
    case 4: return Layout{0, 1, 2, -1, 1, true, false, true};
    case 5: return Layout{1, 2, 3, 0, 4, false, false, true};
    case 6: return Layout{2, 1, 0, 3, 4, false, false, true};
    case 7: return Layout{0, 1, 2, 3, 4, false, false, true};
    default: return Layout{0, 0, 0, -1, 0, false, false, false};
    }
}

// Byte tables that move `pixels` pixels of 8-bit layout s into layout d with one byte shuffle:
// for each output byte the source byte (index) and whether it is taken (keep 0xFF), or the
// constant alpha it gets instead (fill). Each table holds pixels * d.step bytes at least.
inline void shuffleTables(const Layout& s, const Layout& d, uint8_t constAlpha, int pixels, uint8_t* index,
                          uint8_t* keep, uint8_t* fill)
{
    const int offs[4] = {d.r, d.g, d.b, d.a};
    const int srcOffs[4] = {s.r, s.g, s.b, s.a};
    for (int k = 0; k < pixels; ++k)
        for (int c = 0; c < 4; ++c) {
            if (offs[c] < 0)
                continue;
            const int at = k * d.step + offs[c];
            if (c == 3 && srcOffs[3] < 0) {
                fill[at] = constAlpha;
            } else {
                index[at] = uint8_t(k * s.step + srcOffs[c]);
                keep[at] = 0xFF;
            }
        }
}

} // namespace khc
