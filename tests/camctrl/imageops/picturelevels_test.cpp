// Grey levels of stored pictures: the stretch of the detail view, the histogram with a bin for
// every 16-bit value, the automatic range from cumulative counts, and the other picture types.
#include <gtest/gtest.h>

#include <cmath>

#include "picturelevels.h"

namespace {

cv::Mat row16(std::initializer_list<int> values)
{
    cv::Mat m(1, int(values.size()), CV_16UC1);
    int i = 0;
    for (int v : values)
        m.at<uint16_t>(i++) = uint16_t(v);
    return m;
}

std::vector<int> valuesOf(const cv::Mat& m)
{
    std::vector<int> out;
    for (int i = 0; i < int(m.total()); ++i)
        out.push_back(m.depth() == CV_16U ? m.at<uint16_t>(i) : m.at<uint8_t>(i));
    return out;
}

} // namespace

TEST(PictureLevels, StretchMapsTheRangeOntoTheFullScale)
{
    const struct {
        const char* name;
        int low, high;
        std::vector<int> want;
    } cases[] = {
        {"1000..2000", 1000, 2000, {0, 0, 32768, 65535, 65535}},
        {"full range leaves values", 0, 65535, {999, 1000, 1500, 2000, 2001}},
        {"low = high is a step", 1500, 1500, {0, 0, 0, 65535, 65535}},
    };
    const cv::Mat source = row16({999, 1000, 1500, 2000, 2001});
    for (const auto& c : cases) {
        cv::Mat out;
        ASSERT_TRUE(stretchPicture(source, c.low, c.high, out)) << c.name;
        EXPECT_EQ(valuesOf(out), c.want) << c.name;
    }
    EXPECT_EQ(valuesOf(source), (std::vector<int> {999, 1000, 1500, 2000, 2001})) << "source changed";
}

TEST(PictureLevels, EightBitGreyIsStretchedOnItsOwnScale)
{
    cv::Mat grey(1, 4, CV_8UC1);
    grey.at<uint8_t>(0) = 0;
    grey.at<uint8_t>(1) = 100;
    grey.at<uint8_t>(2) = 150;
    grey.at<uint8_t>(3) = 255;
    cv::Mat out;
    ASSERT_TRUE(stretchPicture(grey, 100 * 257, 200 * 257, out));
    ASSERT_EQ(out.type(), CV_8UC1);
    EXPECT_EQ(valuesOf(out), (std::vector<int> {0, 0, 128, 255}));
}

TEST(PictureLevels, ColourPicturesAreShownUnstretched)
{
    const cv::Mat colour(2, 2, CV_8UC3, cv::Scalar(1, 2, 3));
    cv::Mat out;
    EXPECT_FALSE(stretchPicture(colour, 10, 20, out));
    EXPECT_EQ(out.at<cv::Vec3b>(1, 1), cv::Vec3b(1, 2, 3));
    HistogramInfo info;
    EXPECT_FALSE(pictureHistogram(colour, info));
    EXPECT_FALSE(pictureDisplayLevels(cv::Mat(), 0.01, info));
    // No picture (its matrix reports 8-bit grey) stretches to no picture.
    out = colour;
    EXPECT_FALSE(stretchPicture(cv::Mat(), 0, 65535, out));
    EXPECT_TRUE(out.empty());
}

TEST(PictureLevels, HistogramHasABinForEverySixteenBitValue)
{
    const cv::Mat picture = row16({0, 65535, 65535, 7, 65534});
    HistogramInfo info;
    ASSERT_TRUE(pictureHistogram(picture, info));
    ASSERT_EQ(info.logHist.size(), 65536u);
    EXPECT_DOUBLE_EQ(info.logHist[65535], std::log10(3.1));
    EXPECT_DOUBLE_EQ(info.logHist[65534], std::log10(2.1));
    EXPECT_DOUBLE_EQ(info.logHist[1], std::log10(1.1));
    EXPECT_DOUBLE_EQ(info.maxLog, std::log10(3.1));
    EXPECT_EQ(info.low, 0);
    EXPECT_EQ(info.high, 65535);
    // 8-bit values sit on the 16-bit scale: 255 is the top bin.
    cv::Mat grey(1, 2, CV_8UC1, cv::Scalar(255));
    ASSERT_TRUE(pictureHistogram(grey, info));
    EXPECT_DOUBLE_EQ(info.logHist[65535], std::log10(3.1));
}

TEST(PictureLevels, AutomaticRangeComesFromCumulativeCounts)
{
    // 1000 pixels: 100 x 100, 800 x 500, 100 x 1000; one per mille clipped at each end.
    cv::Mat picture(1, 1000, CV_16UC1, cv::Scalar(500));
    picture.colRange(0, 100).setTo(100);
    picture.colRange(900, 1000).setTo(1000);
    const struct {
        const char* name;
        double percent;
        int low, high;
    } cases[] = {
        {"100 and 1000: high lowered by 300, then raised to 2535", 0.001, 100, 2535},
        {"nothing clipped: the last value", 0.0, 100, 2535},
        {"half clipped: the middle", 0.5, 500, 2535},
    };
    for (const auto& c : cases) {
        HistogramInfo info;
        ASSERT_TRUE(pictureDisplayLevels(picture, c.percent, info)) << c.name;
        EXPECT_EQ(info.low, c.low) << c.name;
        EXPECT_EQ(info.high, c.high) << c.name;
    }
    cv::Mat bright(1, 10, CV_16UC1, cv::Scalar(62000));
    bright.at<uint16_t>(9) = 65535;
    HistogramInfo info;
    ASSERT_TRUE(pictureDisplayLevels(bright, 0.0, info));
    EXPECT_EQ(info.low, 60000);
    EXPECT_EQ(info.high, 65235);
}
