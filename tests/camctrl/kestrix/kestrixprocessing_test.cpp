#include "kestrixprocessing.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr int kWhite = 0;
constexpr int kBlack = 1;

struct Frame {
    std::vector<uint16_t> px;
    int w, h;
    Frame(int w_, int h_, uint16_t fill = 0) : px(size_t(w_) * h_, fill), w(w_), h(h_) {}
    FrameView view() { return {px.data(), w, h}; }
    cv::Mat mat() { return cv::Mat(h, w, CV_16UC1, px.data()); }
};

} // namespace

TEST(KestrixProcessing, StretchMapsTheRangeOntoTheFullScale)
{
    struct Case { int low, high, in, out; };
    for (const Case& c : {Case{1000, 3000, 999, 0}, Case{1000, 3000, 1000, 0}, Case{1000, 3000, 2000, 32768},
                          Case{1000, 3000, 3000, 65535}, Case{1000, 3000, 3001, 65535},
                          Case{0, 65535, 12345, 12345}, Case{0, 65535, 65535, 65535},
                          // Equal levels: a threshold, the level itself on the dark side, no division by zero.
                          Case{500, 500, 499, 0}, Case{500, 500, 500, 0}, Case{500, 500, 501, 65535},
                          // Reversed levels: everything is either below low or above high.
                          Case{3000, 1000, 2000, 0}, Case{3000, 1000, 3500, 65535}}) {
        Frame f(1, 1, static_cast<uint16_t>(c.in));
        kestrix::stretchLevels(f.view(), c.low, c.high);
        EXPECT_EQ(f.px[0], c.out) << c.low << ".." << c.high << " at " << c.in;
    }
}

TEST(KestrixProcessing, MultiplyFollowsTheBackground)
{
    struct Case { uint16_t a, b; bool black; uint16_t out, bAfter; };
    for (const Case& c : {Case{65535, 65535, false, 65535, 65535}, Case{65535, 65535, true, 0, 0},
                          Case{32768, 32768, false, 16384, 32768}, Case{40000, 0, true, 40000, 65535},
                          Case{0, 65535, false, 0, 65535}, Case{1, 1, false, 0, 1}}) {
        Frame a(2, 1, c.a), b(2, 1, c.b);
        ASSERT_TRUE(kestrix::multiplyImage(a.view(), b.view(), c.black));
        EXPECT_EQ(a.px[1], c.out) << c.a << " x " << c.b << (c.black ? " black" : " white");
        EXPECT_EQ(b.px[1], c.bAfter);
    }
    Frame a(2, 2, 7), b(4, 1, 9);
    EXPECT_FALSE(kestrix::multiplyImage(a.view(), b.view(), true));
    EXPECT_EQ(a.px[0], 7);
    EXPECT_EQ(b.px[0], 9);
}

TEST(KestrixProcessing, InvertAndHighByte)
{
    Frame f(3, 1);
    f.px = {0, 0x12FF, 65535};
    kestrix::invertImage(f.view());
    EXPECT_EQ(f.px, (std::vector<uint16_t>{65535, 0xED00, 0}));
    const cv::Mat m = kestrix::frameToMat8(f.view());
    ASSERT_EQ(m.type(), CV_8UC1);
    EXPECT_EQ(m.at<uint8_t>(0, 0), 0xFF);
    EXPECT_EQ(m.at<uint8_t>(0, 1), 0xED);
    EXPECT_EQ(m.at<uint8_t>(0, 2), 0);
    EXPECT_TRUE(kestrix::frameToMat8(FrameView{}).empty());
}

TEST(KestrixProcessing, LogHistogramCountsEveryPixel)
{
    Frame f(10, 10, 100);
    f.px[0] = 7;
    HistogramInfo info;
    kestrix::autoLevels(f.view(), info);
    EXPECT_EQ(info.low, 0);
    EXPECT_EQ(info.high, 65535);
    ASSERT_EQ(info.logHist.size(), 65536u);
    EXPECT_DOUBLE_EQ(info.logHist[100], std::log10(1.1 + 99));
    EXPECT_DOUBLE_EQ(info.logHist[7], std::log10(2.1));
    EXPECT_DOUBLE_EQ(info.logHist[8], std::log10(1.1));
    EXPECT_DOUBLE_EQ(info.maxLog, std::log10(100.1));
}

TEST(KestrixProcessing, PercentileLevelsOfUniformAndSmallFrames)
{
    struct Case { const char* name; int w, h; uint16_t fill; int background; int low, high; };
    for (const Case& c : {Case{"uniform black", 100, 100, 500, kBlack, 500, 2535},
                          Case{"uniform white", 100, 100, 500, kWhite, 500, 500},
                          Case{"bright white", 100, 100, 64000, kWhite, 63000, 64000},
                          Case{"bright black", 100, 100, 64000, kBlack, 64000, 64000},
                          // Fewer than 1000 pixels: k is 0 and n - k would be past the end.
                          Case{"single pixel", 1, 1, 800, kWhite, 800, 800},
                          Case{"small", 20, 20, 800, kBlack, 800, 2535}}) {
        Frame f(c.w, c.h, c.fill);
        HistogramInfo info;
        kestrix::percentileLevels(f.view(), c.background, info);
        EXPECT_EQ(info.low, c.low) << c.name;
        EXPECT_EQ(info.high, c.high) << c.name;
        EXPECT_EQ(info.logHist.size(), 65536u) << c.name;
    }
}

TEST(KestrixProcessing, PercentileLevelsMatchTheSortedPositions)
{
    // 2000 pixels 0..1999 in shuffled order: k = 2, low = sorted[2], high = sorted[1998].
    Frame f(40, 50);
    std::iota(f.px.begin(), f.px.end(), uint16_t(0));
    std::reverse(f.px.begin(), f.px.end());
    HistogramInfo info;
    kestrix::percentileLevels(f.view(), kWhite, info);
    EXPECT_EQ(info.low, 2);
    EXPECT_EQ(info.high, 1998);

    Frame s = f;
    HistogramInfo stretched;
    kestrix::percentileStretch(s.view(), kWhite, stretched);
    EXPECT_EQ(stretched.low, 2);
    EXPECT_EQ(stretched.high, 1998);
    EXPECT_EQ(s.px[f.px.size() - 1], 0);      // value 0
    EXPECT_EQ(s.px[0], 65535);                // value 1999
    EXPECT_EQ(s.px[f.px.size() - 1001], 32768);  // value 1000
}

TEST(KestrixProcessing, DetectsRectangularBandsOnAWhiteBackground)
{
    // White background (bright), dark bands: the detection inverts so that bands are bright. No
    // contour is large enough to average, which ends the threshold search at once.
    Frame f(400, 300, 65000);
    const std::vector<cv::Rect> bands = {{40, 50, 80, 20}, {200, 60, 90, 25}, {40, 150, 100, 30}};
    for (const cv::Rect& r : bands)
        cv::rectangle(f.mat(), r, cv::Scalar(20000), cv::FILLED);
    const std::vector<QRect> found = kestrix::detectBands(f.view(), 1, kWhite);
    ASSERT_EQ(found.size(), bands.size());
    for (const cv::Rect& r : bands) {
        const bool seen = std::any_of(found.begin(), found.end(), [&](const QRect& q) {
            return q == QRect(r.x, r.y, r.width, r.height);
        });
        EXPECT_TRUE(seen) << r.x << "," << r.y;
    }
}

TEST(KestrixProcessing, BandDetectionDropsNestedBoxesAndScalesWithBinning)
{
    // A large dim region (high byte 78) with a dark hole holding a bright band (234). The first
    // round averages the region's box (about 79), which lifts the threshold above the region; the
    // hole's edge (box 59,59 82x22, from the first round) and the band inside it are candidates,
    // and the band, lying inside the hole's box, is removed.
    Frame f(400, 300, 0);
    cv::rectangle(f.mat(), cv::Rect(20, 20, 300, 200), cv::Scalar(20000), cv::FILLED);
    cv::rectangle(f.mat(), cv::Rect(60, 60, 80, 20), cv::Scalar(0), cv::FILLED);
    cv::rectangle(f.mat(), cv::Rect(64, 64, 72, 12), cv::Scalar(60000), cv::FILLED);
    const std::vector<QRect> found = kestrix::detectBands(f.view(), 1, kBlack);
    EXPECT_EQ(found, std::vector<QRect>{QRect(59, 59, 82, 22)});

    // A 6 x 3 band (area 10) is below the limit at binning 1 (100) and above it at binning 4 (6.25).
    Frame small(100, 100, 0);
    cv::rectangle(small.mat(), cv::Rect(10, 10, 7, 3), cv::Scalar(50000), cv::FILLED);
    EXPECT_TRUE(kestrix::detectBands(small.view(), 1, kBlack).empty());
    EXPECT_EQ(kestrix::detectBands(small.view(), 4, kBlack).size(), 1u);
}

TEST(KestrixProcessing, BandDetectionOnFramesWithoutLargeContours)
{
    // Nothing above the threshold, and nothing but a uniform field: no division by zero, no bands.
    for (uint16_t fill : {uint16_t(0), uint16_t(65535)}) {
        Frame f(64, 48, fill);
        EXPECT_TRUE(kestrix::detectBands(f.view(), 1, kBlack).empty()) << fill;
    }
    EXPECT_TRUE(kestrix::detectBands(FrameView{}, 1, kBlack).empty());
}
