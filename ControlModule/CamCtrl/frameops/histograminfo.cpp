#include "histograminfo.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include <QDebug>

#include <immintrin.h>

#include "simdlanes.h"

namespace {

constexpr int kLevels = 65536;

std::vector<uint16_t> stretchTable(int low, int high)
{
    std::vector<uint16_t> lut(kLevels);
    const double span = double(high) - double(low);
    for (int v = 0; v < kLevels; ++v) {
        if (v < low)
            lut[v] = 0;
        else if (v > high)
            lut[v] = 65535;
        else if (span <= 0)
            lut[v] = 0; // low == high: the one level left joins the pixels below it
        else
            lut[v] = uint16_t((double(v) - low) / span * 65535.0 + 0.5);
    }
    return lut;
}

// The stretch as exact rational rounding, floor(((v - low) * 131070 + span) / (2 * span)) with v
// clamped to the levels. The float estimate, biased down by 1/64 (its error stays below 0.008),
// is that value or one less; the remainder, exact in wrapping 32-bit arithmetic because its true
// value is small, says which.
LANES_INLINE void stretchBody(const uint16_t* s, uint16_t* p, size_t n, int low, int high)
{
    using namespace lanes;
    const int span = high - low;
    const float k = 65535.0f / float(span);
    const i8 zero = {}, spanV = zero + span;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        i8 d;
        LANES_LOAD_U16(d, s + i);
        d -= low;
        d = d < zero ? zero : d;
        d = d > spanV ? spanV : d;
        i8 r = __builtin_convertvector(__builtin_convertvector(d, f8) * k + 0.484375f, i8);
        const i8 t = (i8)((u8)d * 131070u - (u8)r * uint32_t(2 * span));
        r -= t >= spanV;
        LANES_STORE_U16(p + i, r);
    }
    for (; i < n; ++i) {
        const int64_t d = std::min(std::max(int(s[i]) - low, 0), span);
        p[i] = uint16_t((d * 131070 + span) / (2 * int64_t(span)));
    }
}

// Cold frames: both lines are asked for well ahead of the loop.
LANES_INLINE void prefetchAhead(const uint16_t* s, uint16_t* p)
{
    constexpr size_t kAhead = 1024;
    _mm_prefetch(reinterpret_cast<const char*>(s + kAhead), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(p + kAhead), _MM_HINT_T0);
}

// Sixteen of the rounded quotients above from d as 32-bit lanes.
LANES_AVX512 LANES_INLINE __m512i stretch512(__m512i d, __m512 k, __m512i twoSpan, __m512i span)
{
    const __m512 f = (__m512)__builtin_convertvector((lanes::i32x16)d, lanes::f32x16);
    const __m512 e = _mm512_fmadd_ps(f, k, _mm512_set1_ps(0.484375f));
    const __m512i r = (__m512i)__builtin_convertvector((lanes::f32x16)e, lanes::i32x16);
    const __m512i t = _mm512_sub_epi32(_mm512_mullo_epi32(d, _mm512_set1_epi32(131070)), _mm512_mullo_epi32(r, twoSpan));
    return _mm512_mask_add_epi32(r, _mm512_cmpge_epi32_mask(t, span), r, _mm512_set1_epi32(1));
}

// 32 pixels per register: clamped and offset as 16-bit values, widened in two interleaved halves
// that the saturating pack puts back in order.
LANES_AVX512 void stretchAvx512(const uint16_t* s, uint16_t* p, size_t n, int low, int high)
{
    const int span = high - low;
    const __m512 k = _mm512_set1_ps(65535.0f / float(span));
    const __m512i lowV = _mm512_set1_epi16(short(low)), highV = _mm512_set1_epi16(short(high));
    const __m512i spanV = _mm512_set1_epi32(span), twoSpan = _mm512_set1_epi32(2 * span);
    const __m512i zero = _mm512_setzero_si512();
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        prefetchAhead(s + i, p + i);
        __m512i v = _mm512_loadu_si512(s + i);
        v = _mm512_sub_epi16(_mm512_min_epu16(_mm512_max_epu16(v, lowV), highV), lowV);
        const __m512i lo = stretch512(_mm512_unpacklo_epi16(v, zero), k, twoSpan, spanV);
        const __m512i hi = stretch512(_mm512_unpackhi_epi16(v, zero), k, twoSpan, spanV);
        _mm512_storeu_si512(p + i, _mm512_packus_epi32(lo, hi));
    }
    stretchBody(s + i, p + i, n - i, low, high);
}

// The same on ymm registers, 16 pixels at a time.
LANES_AVX2 LANES_INLINE __m256i stretch256(__m256i d, __m256 k, __m256i twoSpan, __m256i spanLess1)
{
    const __m256 e = _mm256_fmadd_ps(_mm256_cvtepi32_ps(d), k, _mm256_set1_ps(0.484375f));
    const __m256i r = _mm256_cvttps_epi32(e);
    const __m256i t = _mm256_sub_epi32(_mm256_mullo_epi32(d, _mm256_set1_epi32(131070)), _mm256_mullo_epi32(r, twoSpan));
    return _mm256_sub_epi32(r, _mm256_cmpgt_epi32(t, spanLess1)); // true lanes are -1
}

LANES_AVX2 void stretchAvx2(const uint16_t* s, uint16_t* p, size_t n, int low, int high)
{
    const int span = high - low;
    const __m256 k = _mm256_set1_ps(65535.0f / float(span));
    const __m256i lowV = _mm256_set1_epi16(short(low)), highV = _mm256_set1_epi16(short(high));
    const __m256i spanLess1 = _mm256_set1_epi32(span - 1), twoSpan = _mm256_set1_epi32(2 * span);
    const __m256i zero = _mm256_setzero_si256();
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        if (i % 32 == 0)
            prefetchAhead(s + i, p + i);
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        v = _mm256_sub_epi16(_mm256_min_epu16(_mm256_max_epu16(v, lowV), highV), lowV);
        const __m256i lo = stretch256(_mm256_unpacklo_epi16(v, zero), k, twoSpan, spanLess1);
        const __m256i hi = stretch256(_mm256_unpackhi_epi16(v, zero), k, twoSpan, spanLess1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_packus_epi32(lo, hi));
    }
    stretchBody(s + i, p + i, n - i, low, high);
}

void stretchPlain(const uint16_t* s, uint16_t* p, size_t n, int low, int high)
{
    stretchBody(s, p, n, low, high);
}

// s and p are the same pixels (in place) or do not overlap.
void stretchKernel(const uint16_t* s, uint16_t* p, size_t n, int low, int high)
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512:
        return stretchAvx512(s, p, n, low, high);
    case lanes::Isa::Avx2:
        return stretchAvx2(s, p, n, low, high);
    case lanes::Isa::Plain:
        return stretchPlain(s, p, n, low, high);
    }
}

int64_t gcd64(int64_t a, int64_t b)
{
    while (b) {
        const int64_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// Inverse of a modulo m (a and m coprime, m >= 1).
int64_t inverseMod(int64_t a, int64_t m)
{
    int64_t r0 = m, r1 = a % m, t0 = 0, t1 = 1;
    while (r1) {
        const int64_t q = r0 / r1;
        std::tie(r0, r1) = std::make_pair(r1, r0 - q * r1);
        std::tie(t0, t1) = std::make_pair(t1, t0 - q * t1);
    }
    return ((t0 % m) + m) % m;
}

// The double formula (v - low) / span * 65535 + 0.5 stays within 1e-11 of the rational value, so
// the two truncate alike except where the rational value is an exact integer:
// d * 131070 + span = 0 (mod 2 span). Those d form one arithmetic progression; each is checked,
// so the kernel runs only when it gives the double formula's result for every level.
bool stretchKernelIsExact(int span)
{
    const int64_t a = 131070, c = 2 * int64_t(span), b = span;
    const int64_t g = gcd64(a, c);
    if (b % g != 0)
        return true;
    const int64_t step = c / g;
    const int64_t d0 = ((-(b / g) % step + step) % step) * inverseMod((a / g) % step, step) % step;
    for (int64_t d = d0; d <= span; d += step) {
        if ((d * a + b) / c != int64_t(double(d) / span * 65535.0 + 0.5))
            return false;
    }
    return true;
}

void lookUp(const uint16_t* s, uint16_t* p, size_t n, const uint16_t* lut)
{
    for (size_t i = 0; i < n; ++i)
        p[i] = lut[s[i]];
}

__attribute__((target_clones("avx2", "default")))
void invertPixels(uint16_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        p[i] = uint16_t(~p[i]);
}

// The counters start at 1.1 so that no entry is 0 before the logarithm.
void fillLogHistogram(const std::vector<uint32_t>& counts, HistogramInfo& info)
{
    info.logHist.resize(kLevels);
    double maxLog = 0;
    for (int v = 0; v < kLevels; ++v) {
        info.logHist[v] = std::log10(1.1 + counts[v]);
        maxLog = std::max(maxLog, info.logHist[v]);
    }
    info.maxLog = maxLog;
}

void displayLevels(const FrameView& frame, double percent, HistogramInfo& info, bool margin)
{
    const std::vector<uint32_t> counts = countHistogram(frame);
    fillLogHistogram(counts, info);
    ClipValues c = clipValues(counts, percent);
    if (margin && c.high - c.low > 600)
        c.high -= 300;
    info.low = std::min(c.low, 60000);
    info.high = std::max(c.high, 2535);
}

} // namespace

std::vector<uint32_t> countHistogram(const FrameView& frame)
{
    // Two tables halve the store-to-load chains on runs of equal values.
    std::vector<uint32_t> a(kLevels, 0), b(kLevels, 0);
    const uint16_t* p = frame.pixels;
    const size_t n = frame.count();
    size_t i = 0;
    for (; i + 1 < n; i += 2) {
        ++a[p[i]];
        ++b[p[i + 1]];
    }
    if (i < n)
        ++a[p[i]];
    for (int v = 0; v < kLevels; ++v)
        a[v] += b[v];
    return a;
}

void computeLogHistogram(const FrameView& frame, HistogramInfo& info)
{
    fillLogHistogram(countHistogram(frame), info);
    info.low = 0;
    info.high = 65535;
}

ClipValues clipValues(const std::vector<uint32_t>& counts, double percent)
{
    uint64_t n = 0;
    for (uint32_t c : counts)
        n += c;
    if (n == 0) {
        qWarning() << "display levels of an empty frame";
        return {};
    }
    // k at most (n - 1) / 2 keeps n - k above k and inside the frame, whatever the fraction.
    uint64_t k = 0;
    if (percent > 0) {
        const double kd = std::floor(percent * double(n));
        k = kd >= double(n) ? n : uint64_t(kd);
    }
    k = std::min(k, (n - 1) / 2);
    const uint64_t highAt = k == 0 ? n - 1 : n - k;

    ClipValues out;
    bool lowFound = false;
    uint64_t seen = 0;
    for (int v = 0; v < int(counts.size()); ++v) {
        seen += counts[v];
        if (!lowFound && seen > k) {
            out.low = v;
            lowFound = true;
        }
        if (seen > highAt) {
            out.high = v;
            break;
        }
    }
    return out;
}

void computeDisplayLevels(const FrameView& frame, double percent, HistogramInfo& info)
{
    displayLevels(frame, percent, info, true);
}

void computeDisplayLevelsPlain(const FrameView& frame, double percent, HistogramInfo& info)
{
    displayLevels(frame, percent, info, false);
}

void stretchLevels(const FrameView& frame, int low, int high)
{
    stretchLevels(frame, frame, low, high);
}

bool stretchLevels(const FrameView& source, const FrameView& target, int low, int high)
{
    if (source.width != target.width || source.height != target.height) {
        qWarning() << "stretchLevels: sizes differ" << source.width << source.height << target.width << target.height;
        return false;
    }
    if (source.empty())
        return true;
    if (low >= 0 && low < high && high <= 65535 && stretchKernelIsExact(high - low)) {
        stretchKernel(source.pixels, target.pixels, source.count(), low, high);
        return true;
    }
    const std::vector<uint16_t> lut = stretchTable(low, high);
    lookUp(source.pixels, target.pixels, source.count(), lut.data());
    return true;
}

void autoLevelFrame(const FrameView& frame, double percent, HistogramInfo& info)
{
    computeDisplayLevels(frame, percent, info);
    stretchLevels(frame, info.low, info.high);
}

void autoLevelFramePlain(const FrameView& frame, double percent, HistogramInfo& info)
{
    computeDisplayLevelsPlain(frame, percent, info);
    stretchLevels(frame, info.low, info.high);
}

void invertImage(const FrameView& frame)
{
    invertPixels(frame.pixels, frame.count());
}

bool multiplyImage(const FrameView& a, const FrameView& b, int backgroundColor)
{
    if (a.width != b.width || a.height != b.height || a.empty()) {
        qWarning() << "multiplyImage: sizes differ" << a.width << a.height << b.width << b.height;
        return false;
    }
    if (backgroundColor == 1)
        invertImage(b);
    const size_t n = a.count();
    for (size_t i = 0; i < n; ++i)
        a.pixels[i] = uint16_t(double(a.pixels[i]) / 65535.0 * (double(b.pixels[i]) / 65535.0) * 65535.0);
    return true;
}

void mergeImages(int width, int height, uint8_t* dst, const uint8_t* src)
{
    if (width <= 0 || height <= 0 || !dst || !src)
        return;
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i) {
        const double x = dst[i] / 255.0;
        const double y = src[i] / 255.0;
        if (x * y == 0)
            dst[i] = uint8_t(std::min(255, dst[i] + src[i]));
        else
            dst[i] = uint8_t((1.0 - (1.0 - y) * (1.0 - x)) * 255.0);
    }
}

MinMedian logMinAndMedian(const cv::Mat& image)
{
    MinMedian out;
    if (image.empty() || image.depth() != CV_16U || image.channels() != 1) {
        qWarning() << "logMinAndMedian: not a 16-bit grey image";
        return out;
    }
    cv::Mat m = image.isContinuous() ? image : image.clone();
    const std::vector<uint32_t> counts = countHistogram({m.ptr<uint16_t>(), m.cols, m.rows});
    const uint64_t n = m.total();
    // Values at sorted positions (n - 1) / 2 and n / 2, read off the counts.
    int lower = -1, upper = -1;
    uint64_t seen = 0;
    for (int v = 0; v < kLevels && upper < 0; ++v) {
        if (counts[v] == 0)
            continue;
        if (seen == 0)
            out.minValue = v;
        seen += counts[v];
        if (lower < 0 && seen > (n - 1) / 2)
            lower = v;
        if (seen > n / 2)
            upper = v;
    }
    out.median = (lower + upper) / 2;
    qDebug() << "minValue: " << out.minValue << " median: " << out.median;
    return out;
}

void copyMasked(size_t count, uint8_t* dst, const uint8_t* src, const uint8_t* mask)
{
    for (size_t i = 0; i < count; ++i)
        dst[i] = mask[i] ? src[i] : dst[i];
}
