#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "histograminfo.h"
#include "vectorpaths.h"

namespace {

// The straightforward formulation: sort all pixels and pick the clip positions.
ClipValues sortedClip(std::vector<uint16_t> v, double percent)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const size_t k = size_t(percent * double(n));
    return {v[k], k == 0 ? v[n - 1] : v[n - k]};
}

std::vector<uint16_t> randomPixels(size_t n, unsigned seed, int lo, int hi)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(lo, hi);
    std::vector<uint16_t> v(n);
    for (auto& p : v)
        p = uint16_t(d(rng));
    return v;
}

// The stretch written out in double precision.
uint16_t stretchedLevel(int v, int low, int high)
{
    return v < low ? 0 : v > high ? 65535 : uint16_t((double(v) - low) / (high - low) * 65535.0 + 0.5);
}

FrameView viewOf(std::vector<uint16_t>& v, int width)
{
    return {v.data(), width, int(v.size() / size_t(width))};
}

} // namespace

TEST(DisplayLevels, CountingMatchesSortOnRandomFrames)
{
    struct Case { unsigned seed; size_t n; int lo, hi; double percent; };
    const Case cases[] = {
        {1, 4096, 0, 65535, 0.0},   {2, 4096, 0, 65535, 0.001}, {3, 5000, 900, 1200, 0.01},
        {4, 777, 0, 10, 0.2},       {5, 1000, 3, 3, 0.05},      {6, 999, 0, 65535, 0.49},
        {7, 12, 100, 40000, 0.1},   {8, 64 * 64, 0, 4095, 0.0003},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> v = randomPixels(c.n, c.seed, c.lo, c.hi);
        const ClipValues want = sortedClip(v, c.percent);
        const ClipValues got = clipValues(countHistogram({v.data(), int(c.n), 1}), c.percent);
        EXPECT_EQ(got.low, want.low) << "seed " << c.seed;
        EXPECT_EQ(got.high, want.high) << "seed " << c.seed;
    }
}

TEST(DisplayLevels, ClipIndexStaysInsideTheFrame)
{
    std::vector<uint16_t> v = {10, 20, 30, 40, 50};
    const FrameView f = viewOf(v, 5);
    struct Case { double percent; int low, high; };
    const Case cases[] = {
        {0.5, 30, 40}, {0.7, 30, 40}, {1.0, 30, 40}, {7.0, 30, 40}, {-1.0, 10, 50}, {std::nan(""), 10, 50},
    };
    for (const Case& c : cases) {
        const ClipValues got = clipValues(countHistogram(f), c.percent);
        EXPECT_EQ(got.low, c.low) << c.percent;
        EXPECT_EQ(got.high, c.high) << c.percent;
        EXPECT_LE(got.low, got.high);
    }
    std::vector<uint16_t> one = {1234};
    EXPECT_EQ(clipValues(countHistogram(viewOf(one, 1)), 0.9).high, 1234);
    std::vector<uint16_t> two = {7, 9};
    const ClipValues pair = clipValues(countHistogram(viewOf(two, 2)), 0.5);
    EXPECT_EQ(pair.low, 7);
    EXPECT_EQ(pair.high, 9);
}

TEST(DisplayLevels, EmptyFrameGivesClampedDefaults)
{
    HistogramInfo info;
    computeDisplayLevels(FrameView{}, 0.01, info);
    EXPECT_EQ(info.low, 0);
    EXPECT_EQ(info.high, 2535);
    ASSERT_EQ(info.logHist.size(), 65536u);
    EXPECT_DOUBLE_EQ(info.maxLog, std::log10(1.1));
}

TEST(DisplayLevels, MarginAndClamps)
{
    struct Case { int a, b; bool plain; int low, high; };
    const Case cases[] = {
        {1000, 1500, false, 1000, 2535}, {3000, 3500, false, 3000, 3500}, {3000, 4000, false, 3000, 3700},
        {3000, 4000, true, 3000, 4000},  {3000, 3600, false, 3000, 3600}, {3000, 3601, false, 3000, 3301},
        {61000, 65000, true, 60000, 65000}, {100, 200, true, 100, 2535},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> v = {uint16_t(c.a), uint16_t(c.b), uint16_t(c.a), uint16_t(c.b)};
        HistogramInfo info;
        if (c.plain)
            computeDisplayLevelsPlain(viewOf(v, 2), 0.0, info);
        else
            computeDisplayLevels(viewOf(v, 2), 0.0, info);
        EXPECT_EQ(info.low, c.low) << c.a << " " << c.b;
        EXPECT_EQ(info.high, c.high) << c.a << " " << c.b;
    }
}

TEST(LogHistogram, CountsAndLevels)
{
    std::vector<uint16_t> v = {0, 0, 0, 65535, 7};
    HistogramInfo info;
    info.low = 5;
    computeLogHistogram(viewOf(v, 5), info);
    EXPECT_EQ(info.low, 0);
    EXPECT_EQ(info.high, 65535);
    EXPECT_DOUBLE_EQ(info.logHist[0], std::log10(4.1));
    EXPECT_DOUBLE_EQ(info.logHist[7], std::log10(2.1));
    EXPECT_DOUBLE_EQ(info.logHist[65535], std::log10(2.1));
    EXPECT_DOUBLE_EQ(info.logHist[1], std::log10(1.1));
    EXPECT_DOUBLE_EQ(info.maxLog, std::log10(4.1));
}

TEST(Stretch, MapsLevelsOntoFullRange)
{
    struct Case { int low, high, in, out; };
    const Case cases[] = {
        {100, 200, 100, 0}, {100, 200, 150, 32768}, {100, 200, 200, 65535}, {100, 200, 201, 65535},
        {100, 200, 99, 0},  {0, 65535, 12345, 12345}, {0, 65535, 65535, 65535},
        // low == high: a defined step, never a division by zero
        {500, 500, 499, 0}, {500, 500, 500, 0}, {500, 500, 501, 65535},
        // low above high: everything below low is 0, everything above high saturates
        {300, 200, 250, 0}, {300, 200, 301, 65535},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> v = {uint16_t(c.in)};
        stretchLevels(viewOf(v, 1), c.low, c.high);
        EXPECT_EQ(v[0], c.out) << c.low << ".." << c.high << " at " << c.in;
    }
}

// Every grey value through the vector kernel against the double formula, for level pairs with
// exact halves (even spans), odd spans, the narrowest and the widest range, and random pairs.
TEST(Stretch, EveryLevelMatchesTheDoubleFormula)
{
    std::vector<std::pair<int, int>> pairs = {{100, 200}, {0, 1}, {0, 65535}, {1, 65535}, {0, 2}, {1316, 51704},
                                              {2535, 60000}, {0, 131070 / 2}, {7, 7 + 255 * 2}, {65534, 65535}};
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> d(0, 65535);
    for (int i = 0; i < 40; ++i) {
        int a = d(rng), b = d(rng);
        if (a != b)
            pairs.emplace_back(std::min(a, b), std::max(a, b));
    }
    std::vector<uint16_t> all(65536);
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        for (auto [low, high] : pairs) {
            for (int v = 0; v < 65536; ++v)
                all[v] = uint16_t(v);
            stretchLevels({all.data(), 65536, 1}, low, high);
            int wrong = 0;
            for (int v = 0; v < 65536; ++v)
                wrong += all[v] != stretchedLevel(v, low, high);
            EXPECT_EQ(wrong, 0) << low << ".." << high;
        }
    }
}

// Frames whose length leaves every kind of tail behind the widest vectors, shuffled levels
// (so that neighbouring lanes differ), on every path.
TEST(Stretch, EveryPathAgreesOnRandomFramesOfAnyLength)
{
    const std::pair<int, int> pairs[] = {{1316, 51704}, {0, 65535}, {4000, 4001}, {123, 60000}, {65000, 65535}};
    const size_t lengths[] = {1, 2, 15, 16, 17, 31, 32, 33, 63, 64, 65, 1001, 2688 * 3 + 5};
    unsigned seed = 40;
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        for (auto [low, high] : pairs) {
            for (size_t n : lengths) {
                std::vector<uint16_t> v = randomPixels(n, seed++, 0, 65535);
                std::vector<uint16_t> want(n);
                for (size_t i = 0; i < n; ++i)
                    want[i] = stretchedLevel(v[i], low, high);
                stretchLevels({v.data(), int(n), 1}, low, high);
                EXPECT_EQ(v, want) << low << ".." << high << " n " << n;
            }
        }
    }
}

// Into another frame, the stretch gives what it gives in place and leaves its source alone, on
// the vector kernels and on the table (a span the kernel cannot take exactly, low >= high).
TEST(Stretch, IntoAnotherFrameAsInPlace)
{
    const std::pair<int, int> pairs[] = {{1316, 51704}, {0, 65535}, {4000, 4001}, {500, 500}, {900, 300}};
    const size_t lengths[] = {1, 17, 33, 65, 2688 + 7};
    unsigned seed = 90;
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        for (auto [low, high] : pairs) {
            for (size_t n : lengths) {
                const std::vector<uint16_t> source = randomPixels(n, seed++, 0, 65535);
                std::vector<uint16_t> inPlace = source, src = source, out(n, 7);
                stretchLevels({inPlace.data(), int(n), 1}, low, high);
                EXPECT_TRUE(stretchLevels({src.data(), int(n), 1}, {out.data(), int(n), 1}, low, high));
                EXPECT_EQ(out, inPlace) << low << ".." << high << " n " << n;
                EXPECT_EQ(src, source);
            }
        }
    }
    std::vector<uint16_t> a(6, 1), b(6, 2);
    EXPECT_FALSE(stretchLevels({a.data(), 3, 2}, {b.data(), 2, 3}, 0, 10));
    EXPECT_EQ(b, std::vector<uint16_t>(6, 2));
}

TEST(Stretch, AutoLevelStretchesWithTheComputedLevels)
{
    std::vector<uint16_t> v = randomPixels(10000, 11, 4000, 9000);
    std::vector<uint16_t> expected = v;
    HistogramInfo info;
    autoLevelFrame(viewOf(v, 100), 0.01, info);
    stretchLevels(viewOf(expected, 100), info.low, info.high);
    EXPECT_EQ(v, expected);
    EXPECT_GT(info.low, 4000);
    EXPECT_LT(info.high, 9000 - 300 + 1);
}

TEST(PixelBlends, InvertMultiplyMerge)
{
    std::vector<uint16_t> a = {0, 65535, 1000};
    invertImage(viewOf(a, 3));
    EXPECT_EQ(a, (std::vector<uint16_t>{65535, 0, 64535}));

    std::vector<uint16_t> x = {65535, 32768, 65535};
    std::vector<uint16_t> y = {65535, 65535, 0};
    ASSERT_TRUE(multiplyImage(viewOf(x, 3), viewOf(y, 3), 1));
    EXPECT_EQ(y, (std::vector<uint16_t>{0, 0, 65535})); // left inverted
    EXPECT_EQ(x, (std::vector<uint16_t>{0, 0, 65535}));

    std::vector<uint16_t> p = {65535, 32768};
    std::vector<uint16_t> q = {65535, 65535};
    ASSERT_TRUE(multiplyImage(viewOf(p, 2), viewOf(q, 2), 0));
    EXPECT_EQ(p, (std::vector<uint16_t>{65535, 32768}));
    std::vector<uint16_t> r = {1, 2, 3};
    EXPECT_FALSE(multiplyImage(viewOf(p, 2), viewOf(r, 3), 0));

    uint8_t dst[4] = {0, 128, 255, 10};
    const uint8_t src[4] = {77, 128, 255, 0};
    mergeImages(2, 2, dst, src);
    EXPECT_EQ(dst[0], 77);
    EXPECT_EQ(dst[1], 191);
    EXPECT_EQ(dst[2], 255);
    EXPECT_EQ(dst[3], 10);
}

TEST(SmallHelpers, MinMedianAndMaskedCopy)
{
    struct Case { std::vector<uint16_t> values; int min, median; };
    const Case cases[] = {
        {{5, 1, 9}, 1, 5}, {{4, 1, 9, 8}, 1, 6}, {{7, 8}, 7, 7}, {{42}, 42, 42}, {{65535, 65534}, 65534, 65534},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> v = c.values;
        const MinMedian got = logMinAndMedian(cv::Mat(1, int(v.size()), CV_16UC1, v.data()));
        EXPECT_EQ(got.minValue, c.min);
        EXPECT_EQ(got.median, c.median);
    }
    EXPECT_EQ(logMinAndMedian(cv::Mat()).median, 0);

    uint8_t dst[4] = {1, 2, 3, 4};
    const uint8_t src[4] = {9, 9, 9, 9}, mask[4] = {0, 1, 0, 255};
    copyMasked(4, dst, src, mask);
    EXPECT_EQ(std::vector<uint8_t>(dst, dst + 4), (std::vector<uint8_t>{1, 9, 3, 9}));
}
