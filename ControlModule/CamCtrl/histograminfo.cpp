#include "histograminfo.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include <QDebug>

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
LANES_INLINE void stretchBody(uint16_t* p, size_t n, int low, int high)
{
    using namespace lanes;
    const int span = high - low;
    const float k = 65535.0f / float(span);
    const u16x16 lowV = u16x16{} + uint16_t(low), highV = u16x16{} + uint16_t(high);
    const i32x16 spanV = i32x16{} + span;
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        u16x16 v;
        std::memcpy(&v, p + i, sizeof v);
        v = v < lowV ? lowV : v;
        v = v > highV ? highV : v;
        const i32x16 d = __builtin_convertvector(u16x16(v - lowV), i32x16);
        i32x16 r = __builtin_convertvector(__builtin_convertvector(d, f32x16) * k + 0.484375f, i32x16);
        const i32x16 t = (i32x16)((u32x16)d * 131070u - (u32x16)r * uint32_t(2 * span));
        r -= t >= spanV;
        const u16x16 out = __builtin_convertvector(r, u16x16);
        std::memcpy(p + i, &out, sizeof out);
    }
    for (; i < n; ++i) {
        const int64_t d = std::min(std::max(int(p[i]) - low, 0), span);
        p[i] = uint16_t((d * 131070 + span) / (2 * int64_t(span)));
    }
}

LANES_AVX512 void stretchAvx512(uint16_t* p, size_t n, int low, int high)
{
    stretchBody(p, n, low, high);
}

LANES_AVX2 void stretchAvx2(uint16_t* p, size_t n, int low, int high)
{
    stretchBody(p, n, low, high);
}

void stretchPlain(uint16_t* p, size_t n, int low, int high)
{
    stretchBody(p, n, low, high);
}

void stretchKernel(uint16_t* p, size_t n, int low, int high)
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512:
        return stretchAvx512(p, n, low, high);
    case lanes::Isa::Avx2:
        return stretchAvx2(p, n, low, high);
    case lanes::Isa::Plain:
        return stretchPlain(p, n, low, high);
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

void lookUp(uint16_t* p, size_t n, const uint16_t* lut)
{
    for (size_t i = 0; i < n; ++i)
        p[i] = lut[p[i]];
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
    if (frame.empty())
        return;
    if (low >= 0 && low < high && high <= 65535 && stretchKernelIsExact(high - low)) {
        stretchKernel(frame.pixels, frame.count(), low, high);
        return;
    }
    const std::vector<uint16_t> lut = stretchTable(low, high);
    lookUp(frame.pixels, frame.count(), lut.data());
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
