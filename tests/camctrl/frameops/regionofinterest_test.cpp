#include <gtest/gtest.h>

#include <algorithm>

#include "regionofinterest.h"

namespace {

struct Canvas {
    cv::Mat m;
    Canvas(int w, int h, uint16_t background) : m(h, w, CV_16UC1, cv::Scalar(background)) {}
    Canvas& fill(cv::Rect r, uint16_t v)
    {
        m(r).setTo(v);
        return *this;
    }
    FrameView view() { return FrameView::of(m); }
};

std::vector<cv::Rect> sorted(std::vector<cv::Rect> v)
{
    std::sort(v.begin(), v.end(), [](const cv::Rect& a, const cv::Rect& b) {
        return std::tie(a.x, a.y, a.width, a.height) < std::tie(b.x, b.y, b.width, b.height);
    });
    return v;
}

} // namespace

TEST(RegionOfInterest, CropRectAndRemoval)
{
    RegionOfInterest roi;
    roi.enabled = true;
    roi.setCropRect(10, 20, 100, 50);
    EXPECT_EQ(roi.right, 109);
    EXPECT_EQ(roi.bottom, 69);
    EXPECT_EQ(roi.rect(), cv::Rect(10, 20, 100, 50));
    roi.enabled = false;
    roi.setCropRect(0, 0, 0, 0);
    EXPECT_EQ(roi.right, -1);
    EXPECT_EQ(roi.bottom, -1);
}

TEST(RegionOfInterest, IntersectedWithTheFrame)
{
    struct Case { bool enabled; int x, y, w, h; cv::Rect want; };
    const Case cases[] = {
        {true, 10, 20, 100, 50, {10, 20, 100, 50}},
        {true, 150, 20, 100, 50, {150, 20, 50, 50}},   // runs off the right edge
        {true, -5, -5, 20, 20, {0, 0, 15, 15}},
        {true, 300, 300, 10, 10, {}},                  // stale region of a larger binning
        {true, 0, 0, 0, 0, {}},
        {false, 10, 20, 100, 50, {}},
        {true, 2147483000, 0, 2000, 10, {}},           // no overflow past INT_MAX
    };
    for (const Case& c : cases) {
        RegionOfInterest roi;
        roi.enabled = c.enabled;
        roi.setCropRect(c.x, c.y, c.w, c.h);
        EXPECT_EQ(regionInFrame(roi, cv::Size(200, 100)), c.want) << c.x << "," << c.y;
    }
}

TEST(HighByte, TruncatesEachPixel)
{
    std::vector<uint16_t> px = {0, 255, 256, 65535, 0x1234};
    const cv::Mat g = highByteImage({px.data(), 5, 1});
    ASSERT_EQ(g.type(), CV_8UC1);
    EXPECT_EQ(g.at<uint8_t>(0, 0), 0);
    EXPECT_EQ(g.at<uint8_t>(0, 1), 0);
    EXPECT_EQ(g.at<uint8_t>(0, 2), 1);
    EXPECT_EQ(g.at<uint8_t>(0, 3), 255);
    EXPECT_EQ(g.at<uint8_t>(0, 4), 0x12);
    EXPECT_TRUE(highByteImage({}).empty());
}

TEST(AutoCrop, FindsBrightObjectsOnADarkBackground)
{
    Canvas c(200, 160, 0);
    c.fill({20, 20, 30, 10}, 60000).fill({100, 100, 15, 15}, 50000);
    EXPECT_EQ(sorted(autoCrop(c.view(), 1, 0)), (std::vector<cv::Rect>{{20, 20, 30, 10}, {100, 100, 15, 15}}));
}

TEST(AutoCrop, DarkBackgroundIsInvertedWhenTheSampleIsLight)
{
    Canvas c(200, 160, 65535);
    c.fill({40, 30, 20, 20}, 0);
    EXPECT_EQ(autoCrop(c.view(), 0, 0), (std::vector<cv::Rect>{{40, 30, 20, 20}}));
}

TEST(AutoCrop, EmptyCases)
{
    Canvas dark(120, 80, 700); // high byte 2: below threshold 3
    EXPECT_TRUE(autoCrop(dark.view(), 1, 0).empty());
    Canvas full(120, 80, 65535); // the only contour is the whole image
    EXPECT_TRUE(autoCrop(full.view(), 1, 0).empty());
    EXPECT_TRUE(autoCrop(FrameView{}, 1, 0).empty());
}

TEST(AutoCrop, NestedRectanglesLeaveTheOuterOne)
{
    Canvas c(200, 160, 0);
    c.fill({30, 30, 60, 60}, 60000).fill({40, 40, 40, 40}, 0); // a ring: outer and hole contours
    EXPECT_EQ(autoCrop(c.view(), 1, 0), (std::vector<cv::Rect>{{30, 30, 60, 60}}));
}

TEST(AutoCrop, BinningScalesTheAreaWindow)
{
    Canvas c(100, 80, 0);
    c.fill({10, 10, 4, 4}, 60000); // contour area 9: inside 6.25..625 at scale 4 only
    EXPECT_TRUE(autoCrop(c.view(), 1, 0).empty());
    EXPECT_EQ(autoCrop(c.view(), 1, 2), (std::vector<cv::Rect>{{10, 10, 4, 4}}));
    EXPECT_TRUE(autoCrop(c.view(), 1, 99).empty()); // out-of-range index falls back to scale 1
}
