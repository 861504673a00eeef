#pragma once

#include "hostdevice.h"

#include <math.h>
#include <stdint.h>

// Per-pixel rules of particle location, shared by the CPU locator and the GPU kernels.
namespace kh {
namespace locate {

constexpr int kBorder = 2;          // moments use a 5 x 5 window
constexpr int kMaxHalfCols = 3;     // local maxima compare a 7-column ...
constexpr int kMaxHalfRows = 2;     // ... by 5-row window
constexpr int kCpuBackgroundFrames = 50;
constexpr double kThresholdConstant = 2.1;
constexpr uint16_t kNoThreshold = 65535;  // before the first background no sample can pass

// Order-statistics factor of the minimum of n frames, times 16 and rounded.
KH_HD int zFactor16(int n)
{
    const double z = n <= 7 ? 1.165 : n <= 32 ? 1.738 : n <= 150 ? 2.25 : n <= 625 ? 2.818
                   : n <= 1750 ? 3.243 : n <= 6250 ? 3.494 : n <= 17500 ? 3.852 : 4.075;
    return static_cast<int>(z * 16.0 + 0.5);
}

// Threshold factor q times 16, rounded; q is validated non-negative and finite by the caller.
KH_HD int64_t qFactor16(double q)
{
    return static_cast<int64_t>(q * 16.0 + 0.5);
}

// Noise estimate D from the running minimum m; k = floor(p^0.06 * 1.125) is 1 for p = 2.1.
KH_HD int64_t noiseLevel(uint32_t m, int k)
{
    return static_cast<int64_t>(k) + static_cast<int64_t>(floorf(sqrtf(static_cast<float>(m))));
}

KH_HD uint16_t backgroundFromMinimum(uint32_t m, int64_t d, int z16)
{
    const int64_t b = static_cast<int64_t>(m) + (d * z16) / 16;
    return static_cast<uint16_t>(b < 0 ? 0 : b > 65535 ? 65535 : b);
}

// D * round(16 q) / 16, rounded half up.
KH_HD uint16_t thresholdFromNoise(int64_t d, int64_t q16)
{
    const int64_t t = (d * q16 + 8) / 16;
    return static_cast<uint16_t>(t > 65535 ? 65535 : t);
}

// Local maximum in the 7-column by 5-row window around column c of rows[2]: above every
// neighbour before it in row-major order and not below any after it, so that of equal
// values the first wins. The threshold is checked by the caller.
template <typename Sample>
KH_HD bool winsWindow(const Sample* const rows[5], int64_t c)
{
    const Sample v = rows[2][c];
    for (int r = 0; r < 5; ++r) {
        for (int dc = -kMaxHalfCols; dc <= kMaxHalfCols; ++dc) {
            if (r == 2 && dc == 0)
                continue;
            const Sample u = rows[r][c + dc];
            const bool before = r < 2 || (r == 2 && dc < 0);
            if (before ? u >= v : u > v)
                return false;
        }
    }
    return true;
}

// Moment weights (dx^2 + dy^2) / 25 with 19 fractional bits. The table's uneven rounding
// (104857 beside 104858) is kept so that results match earlier ones bit for bit.
// Index [dx + 2][dy + 2], dx along the row.
struct MomentWeights {
    uint32_t w[5][5];
};

KH_HD MomentWeights momentWeights()
{
    return MomentWeights{{{167772, 104858, 83886, 104858, 167772},
                          {104858, 41943, 20971, 41943, 104857},
                          {83886, 20972, 0, 20972, 83886},
                          {104857, 41943, 20972, 41943, 104857},
                          {167772, 104858, 83886, 104858, 167772}}};
}

// m0 and m2 of the 5 x 5 window centred on column col of rows[2].
template <typename Sample>
KH_HD void moments(const Sample* const rows[5], int col, float& m0Out, float& m2Out)
{
    const MomentWeights weights = momentWeights();
    uint32_t m0 = 0;
    uint64_t s = 0;
    for (int dy = -2; dy <= 2; ++dy) {
        const Sample* row = rows[dy + 2];
        for (int dx = -2; dx <= 2; ++dx) {
            const uint32_t v = static_cast<uint32_t>(row[col + dx]);
            m0 += v;
            s += static_cast<uint64_t>(v) * weights.w[dx + 2][dy + 2];
        }
    }
    m0Out = static_cast<float>(m0);
    // a flagged maximum lies above a threshold, so m0 is positive; 0 would divide by zero
    m2Out = m0 == 0 ? 0.0f : static_cast<float>((25u * s) / m0) / 524288.0f;
}

}  // namespace locate
}  // namespace kh
