#include "focusmeasure.h"

#include <cmath>

#include <immintrin.h>

#include <opencv2/imgproc.hpp>

#include "simdlanes.h"

namespace {

double referenceMeasure(const cv::Mat& image)
{
    cv::Mat first = image;
    if (image.channels() > 1)
        cv::extractChannel(image, first, 0);
    cv::Mat gx, gy, mag;
    cv::Sobel(first, gx, CV_64F, 1, 0, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::Sobel(first, gy, CV_64F, 0, 1, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::magnitude(gx, gy, mag);
    return cv::mean(mag)[0];
}

LANES_INLINE double magnitude(double gx, double gy)
{
    return std::sqrt(gx * gx + gy * gy);
}

// Columns [from, to) of one row with double square roots.
template <typename T>
LANES_INLINE double exactColumns(const T* up, const T* row, const T* down, int from, int to)
{
    double sum = 0;
    for (int c = from; c < to; ++c)
        sum += magnitude(double(int(row[c + 1]) - int(row[c - 1])), double(int(down[c]) - int(up[c])));
    return sum;
}

// One row: up, row and down point at column 0 of the view; left and right say where the
// neighbours of the first and last column lie (-1/+1 inside the parent, +1/-1 when reflected).
// inner() sums the columns 1 .. width-2.
template <typename T, typename Inner>
LANES_INLINE double rowSum(const T* up, const T* row, const T* down, int width, int leftAt, int rightAt, Inner inner)
{
    if (width == 1)
        return magnitude(double(row[rightAt]) - double(row[leftAt]), double(down[0]) - double(up[0]));
    const int last = width - 1;
    return magnitude(double(row[1]) - double(row[leftAt]), double(down[0]) - double(up[0])) + inner()
        + magnitude(double(row[last + rightAt]) - double(row[last - 1]), double(down[last]) - double(up[last]));
}

template <typename T>
double rowSumPlain(const T* up, const T* row, const T* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt, [&] { return exactColumns(up, row, down, 1, width - 1); });
}

constexpr int kFlushSteps = 64;

#pragma GCC push_options
#pragma GCC target("avx2,fma")
namespace avx2 {

struct Lanes {
    using I = __m256i;
    using F = __m256;
    static constexpr int kPixels = 16; // 16-bit lanes per step

    static I load(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const I*>(p)); }
    static I load(const uint8_t* p) { return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))); }
    static I absDiff(I a, I b) { return _mm256_sub_epi16(_mm256_max_epu16(a, b), _mm256_min_epu16(a, b)); }
    static I orI(I a, I b) { return _mm256_or_si256(a, b); }
    // (gx, gy) pairs of the even and of the odd pixels, squared and summed in 32 bits.
    static I squaresEven(I ax, I ay)
    {
        const I p = _mm256_blend_epi16(ax, _mm256_slli_epi32(ay, 16), 0xAA);
        return _mm256_madd_epi16(p, p);
    }
    static I squaresOdd(I ax, I ay)
    {
        const I p = _mm256_blend_epi16(_mm256_srli_epi32(ax, 16), ay, 0xAA);
        return _mm256_madd_epi16(p, p);
    }
    static bool anyHigh(I bits) { return (unsigned(_mm256_movemask_epi8(bits)) & 0xAAAAAAAAu) != 0; }
    static F zeroF() { return _mm256_setzero_ps(); }
    static I zeroI() { return _mm256_setzero_si256(); }
    static F set(float v) { return _mm256_set1_ps(v); }
    static F toF(I v) { return _mm256_cvtepi32_ps(v); }
    static I toI(F v) { return _mm256_cvttps_epi32(v); }
    // A zero square gets the root of 1, so that s = 0 * r stays 0.
    static F rsqrt(F v) { return _mm256_rsqrt_ps(_mm256_max_ps(v, _mm256_set1_ps(1.0f))); }
    static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
    static F add(F a, F b) { return _mm256_add_ps(a, b); }
    static F fma(F a, F b, F c) { return _mm256_fmadd_ps(a, b, c); }
    static F fnma(F a, F b, F c) { return _mm256_fnmadd_ps(a, b, c); }
    static I subI(I a, I b) { return _mm256_sub_epi32(a, b); }
    struct Roots { __m256d a, b; };
    static Roots zeroRoots() { return {_mm256_setzero_pd(), _mm256_setzero_pd()}; }
    static void addRoots(Roots& r, F s)
    {
        r.a = _mm256_add_pd(r.a, _mm256_cvtps_pd(_mm256_castps256_ps128(s)));
        r.b = _mm256_add_pd(r.b, _mm256_cvtps_pd(_mm256_extractf128_ps(s, 1)));
    }
    static double sumRoots(const Roots& r)
    {
        alignas(32) double l[4];
        _mm256_store_pd(l, _mm256_add_pd(r.a, r.b));
        return (l[0] + l[1]) + (l[2] + l[3]);
    }
    static double sumF(F v)
    {
        const __m256d d = _mm256_add_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(v)), _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1)));
        alignas(32) double l[4];
        _mm256_store_pd(l, d);
        return (l[0] + l[1]) + (l[2] + l[3]);
    }
};

#include "focuscolumns.inc"

} // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512dq,fma,prefer-vector-width=512")
namespace avx512 {

struct Lanes {
    using I = __m512i;
    using F = __m512;
    static constexpr int kPixels = 32;
    // The zero-masked forms: the plain ones pass an undefined vector that GCC 12 reports as unset.
    static constexpr __mmask16 kAll = 0xFFFF;

    static I load(const uint16_t* p) { return _mm512_loadu_si512(p); }
    static I load(const uint8_t* p) { return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))); }
    static I absDiff(I a, I b) { return _mm512_sub_epi16(_mm512_max_epu16(a, b), _mm512_min_epu16(a, b)); }
    static I orI(I a, I b) { return _mm512_or_si512(a, b); }
    static I squaresEven(I ax, I ay)
    {
        const I p = _mm512_mask_blend_epi16(0xAAAAAAAAu, ax, _mm512_maskz_slli_epi32(kAll, ay, 16));
        return _mm512_madd_epi16(p, p);
    }
    static I squaresOdd(I ax, I ay)
    {
        const I p = _mm512_mask_blend_epi16(0xAAAAAAAAu, _mm512_maskz_srli_epi32(kAll, ax, 16), ay);
        return _mm512_madd_epi16(p, p);
    }
    static bool anyHigh(I bits) { return _mm512_movepi16_mask(bits) != 0; }
    static F zeroF() { return _mm512_setzero_ps(); }
    static I zeroI() { return _mm512_setzero_si512(); }
    static F set(float v) { return _mm512_set1_ps(v); }
    static F toF(I v) { return _mm512_maskz_cvtepi32_ps(kAll, v); }
    static I toI(F v) { return _mm512_maskz_cvttps_epi32(kAll, v); }
    static F rsqrt(F v) { return _mm512_maskz_rsqrt14_ps(kAll, _mm512_maskz_max_ps(kAll, v, _mm512_set1_ps(1.0f))); }
    static F mul(F a, F b) { return _mm512_mul_ps(a, b); }
    static F add(F a, F b) { return _mm512_add_ps(a, b); }
    static F fma(F a, F b, F c) { return _mm512_fmadd_ps(a, b, c); }
    static F fnma(F a, F b, F c) { return _mm512_fnmadd_ps(a, b, c); }
    static I subI(I a, I b) { return _mm512_sub_epi32(a, b); }
    struct Roots { __m512d a, b; };
    static Roots zeroRoots() { return {_mm512_setzero_pd(), _mm512_setzero_pd()}; }
    static void addRoots(Roots& r, F s)
    {
        r.a = _mm512_add_pd(r.a, _mm512_maskz_cvtps_pd(0xFF, _mm512_maskz_extractf32x8_ps(0xFF, s, 0)));
        r.b = _mm512_add_pd(r.b, _mm512_maskz_cvtps_pd(0xFF, _mm512_maskz_extractf32x8_ps(0xFF, s, 1)));
    }
    static double sumRoots(const Roots& r)
    {
        alignas(64) double l[8];
        _mm512_store_pd(l, _mm512_add_pd(r.a, r.b));
        double sum = 0;
        for (double x : l)
            sum += x;
        return sum;
    }
    static double sumF(F v)
    {
        alignas(64) float l[16];
        _mm512_store_ps(l, v);
        double sum = 0;
        for (float x : l)
            sum += double(x);
        return sum;
    }
};

#include "focuscolumns.inc"

} // namespace avx512
#pragma GCC pop_options

template <typename T>
using RowSum = double (*)(const T*, const T*, const T*, int, int, int);

template <typename T>
RowSum<T> rowSumFor()
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512: return avx512::rowSumWide<T>;
    case lanes::Isa::Avx2: return avx2::rowSumWide<T>;
    case lanes::Isa::Plain: break;
    }
    return rowSumPlain<T>;
}

template <typename T>
double fastMeasure(const cv::Mat& image)
{
    cv::Size whole;
    cv::Point ofs;
    image.locateROI(whole, ofs);
    const int w = image.cols, h = image.rows;
    const ptrdiff_t step = ptrdiff_t(image.step[0] / sizeof(T));
    // Reflect-101 at the parent's edges; a single pixel line reflects onto itself.
    const int leftAt = ofs.x > 0 ? -1 : (whole.width > 1 ? 1 : 0);
    const int rightAt = ofs.x + w < whole.width ? 1 : (whole.width > 1 ? -1 : 0);
    const RowSum<T> rowSumOf = rowSumFor<T>();
    double total = 0;
    for (int r = 0; r < h; ++r) {
        const T* row = image.ptr<T>(r);
        const int absRow = ofs.y + r;
        const ptrdiff_t upAt = absRow > 0 ? -step : (whole.height > 1 ? step : 0);
        const ptrdiff_t downAt = absRow + 1 < whole.height ? step : (whole.height > 1 ? -step : 0);
        total += rowSumOf(row + upAt, row, row + downAt, w, leftAt, rightAt);
    }
    return total / (double(w) * double(h));
}

} // namespace

void cropRoi(const cv::Mat& image, cv::Mat& out)
{
    const int x = image.cols / 4, y = image.rows / 4;
    out = image(cv::Rect(x, y, 2 * x, 2 * y));
}

double focusMeasure(const cv::Mat& image)
{
    if (image.empty())
        return 0;
    switch (image.type()) {
    case CV_16UC1:
        return fastMeasure<uint16_t>(image);
    case CV_8UC1:
        return fastMeasure<uint8_t>(image);
    default:
        return referenceMeasure(image);
    }
}

bool isFocusPeak(const std::vector<double>& values)
{
    if (values.size() != 5)
        return false;
    double mean = 0;
    for (double v : values)
        mean += v;
    mean /= 5;
    if (mean == 0 || !std::isfinite(mean))
        return false;
    double r[5];
    for (int i = 0; i < 5; ++i)
        r[i] = values[i] / mean;
    return r[2] - r[1] >= 0.005 || r[2] - r[3] >= 0.005 || r[3] - r[4] >= 0.005 || r[1] - r[0] >= 0.005;
}
