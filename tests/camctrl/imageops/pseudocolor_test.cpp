// Pseudo colour: the bands of the colour scale for known decision values, the grey gap of the
// Tucsen scale, the colour bar's colours, ticks, numbers and labels, and the paste of coloured
// pixels.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "pseudocolor.h"

namespace {

// A decision picture of the given values whose mean is exactly 6 x split: bright or dark fillers
// and one last pixel make up the sum.
cv::Mat decisionOf(const std::vector<int>& values, int split)
{
    std::vector<int> all = values;
    auto rest = [&] {
        int sum = 0;
        for (int v : all)
            sum += v;
        return 6 * split * int(all.size() + 1) - sum;
    };
    while (rest() > 255)
        all.push_back(255);
    while (rest() < 0)
        all.push_back(0);
    all.push_back(rest());
    cv::Mat m(1, int(all.size()), CV_8UC1);
    for (size_t i = 0; i < all.size(); ++i)
        m.at<uint8_t>(int(i)) = uint8_t(all[i]);
    return m;
}

cv::Vec3b bgr(int b, int g, int r)
{
    return cv::Vec3b(uint8_t(b), uint8_t(g), uint8_t(r));
}

} // namespace

TEST(PseudoColor, SplitAndRatioFollowTheMean)
{
    const struct {
        int value, split, ratio;
    } cases[] = {{120, 20, 12}, {5, 0, 0}, {6, 1, 255}, {255, 42, 6}};
    for (const auto& c : cases) {
        const PseudoSplit s = pseudoSplit(cv::Mat(3, 3, CV_8UC1, cv::Scalar(c.value)));
        EXPECT_EQ(s.split, c.split) << c.value;
        EXPECT_EQ(s.ratio, c.ratio) << c.value;
    }
}

// s = 20, k = 12: one value in each band of the scale.
TEST(PseudoColor, EachBandColoursItsValues)
{
    const std::vector<int> values = {10, 30, 50, 70, 85, 95, 100, 105, 115, 200};
    const cv::Mat decision = decisionOf(values, 20);
    const PseudoSplit split = pseudoSplit(decision);
    ASSERT_EQ(split.split, 20);
    ASSERT_EQ(split.ratio, 12);
    const cv::Mat grey(decision.size(), CV_8UC1, cv::Scalar(77));
    const struct {
        int value;
        cv::Vec3b tucsen, kestrix;
    } cases[] = {
        {10, bgr(0, 120, 255), bgr(0, 120, 255)},        // red to orange
        {30, bgr(0, 185, 255), bgr(0, 185, 255)},        // orange to yellow
        {50, bgr(0, 255, 135), bgr(0, 255, 135)},        // yellow to green
        {70, bgr(120, 255, 0), bgr(120, 255, 0)},        // green to cyan
        {85, bgr(255, 195, 0), bgr(255, 195, 0)},        // cyan to blue
        {95, bgr(77, 77, 77), bgr(255, 75, 0)},          // 5s - 9 .. 5s: grey on the Tucsen scale
        {100, bgr(77, 77, 77), bgr(255, 15, 0)},
        {105, bgr(225, 10, 10), bgr(225, 10, 10)},       // blue to purple
        {115, bgr(77, 77, 77), bgr(77, 77, 77)},         // 6s - 9 and above: grey
        {200, bgr(77, 77, 77), bgr(77, 77, 77)},
    };
    const cv::Mat ts = pseudoColor(decision, grey, split, PseudoScale::Tucsen);
    const cv::Mat qi = pseudoColor(decision, grey, split, PseudoScale::Kestrix);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ts.at<cv::Vec3b>(int(i)), cases[i].tucsen) << cases[i].value;
        EXPECT_EQ(qi.at<cv::Vec3b>(int(i)), cases[i].kestrix) << cases[i].value;
    }
}

TEST(PseudoColor, DarkPictureLeavesOnlyZeroRed)
{
    cv::Mat decision(1, 3, CV_8UC1);
    decision.at<uint8_t>(0) = 0;
    decision.at<uint8_t>(1) = 5;
    decision.at<uint8_t>(2) = 10;
    const cv::Mat grey(1, 3, CV_8UC1, cv::Scalar(40));
    const PseudoSplit split = pseudoSplit(decision);
    ASSERT_EQ(split.split, 0);
    const cv::Mat out = pseudoColor(decision, grey, split, PseudoScale::Tucsen);
    EXPECT_EQ(out.at<cv::Vec3b>(0), bgr(0, 0, 255));
    EXPECT_EQ(out.at<cv::Vec3b>(1), bgr(40, 40, 40));
    EXPECT_EQ(out.at<cv::Vec3b>(2), bgr(40, 40, 40));
    EXPECT_TRUE(pseudoColor(decision, cv::Mat(2, 3, CV_8UC1), split, PseudoScale::Tucsen).empty());
}

// 1500 x 500: f = 0.5, bar from x 1425 to 1455, top 50, segments of 66 rows, ticks to x 1465.
TEST(PseudoColor, ColourBarHasItsStopsTicksAndLabels)
{
    cv::Mat picture(500, 1500, CV_8UC3, cv::Scalar(100, 100, 100));
    LegendStyle style;
    style.textColor = cv::Scalar(255, 255, 255);
    style.labelColor = cv::Scalar(255, 255, 255);
    style.labelThickness = 4;
    ASSERT_TRUE(drawPseudoColorLegend(picture, style));
    EXPECT_EQ(picture.at<cv::Vec3b>(50, 1430), bgr(0, 0, 255));          // stop 1
    EXPECT_EQ(picture.at<cv::Vec3b>(50 + 66, 1430), bgr(0, 165, 255));  // stop 2
    EXPECT_EQ(picture.at<cv::Vec3b>(50 + 5 * 66, 1430), bgr(255, 0, 0)); // stop 6
    // Half way down segment 1: (0, 82.5, 255), rounded by the drawing.
    EXPECT_EQ(picture.at<cv::Vec3b>(50 + 33, 1455), bgr(0, 82, 255));
    // Last row of the bar: from stop 6 towards purple, 65/66 of the way.
    EXPECT_EQ(picture.at<cv::Vec3b>(50 + 6 * 66, 1425), bgr(122, 10, 69));
    EXPECT_EQ(picture.at<cv::Vec3b>(50 + 6 * 66 + 2, 1430), bgr(100, 100, 100)); // below the bar
    EXPECT_EQ(picture.at<cv::Vec3b>(50, 1424), bgr(100, 100, 100));              // left of it
    for (int n = 0; n <= 6; ++n)
        EXPECT_EQ(picture.at<cv::Vec3b>(50 + n * 66, 1460), bgr(255, 255, 255)) << "tick " << n;

    // The numbers read 155, 130, 105, 80, 55, 30 and "0" for a picture of mean 100, each drawn
    // where its tick's number goes.
    cv::Mat expected(500, 1500, CV_8UC3, cv::Scalar(100, 100, 100));
    const char* numbers[] = {"155", "130", "105", "80", "55", "30", "0"};
    for (int n = 0; n <= 6; ++n)
        cv::putText(expected, numbers[n], cv::Point(1465, 50 + n * 66 + 2), cv::FONT_HERSHEY_SIMPLEX, 0.5,
                    cv::Scalar(255, 255, 255), 1, cv::LINE_AA);
    const cv::Rect numbersArea(1466, 0, 34, 500);
    EXPECT_EQ(cv::norm(picture(numbersArea), expected(numbersArea), cv::NORM_INF), 0);

    // "High" above the bar's top left, "Low" at nine tenths of the height; nothing elsewhere.
    auto marked = [&](const cv::Rect& r) {
        return cv::countNonZero(cv::Mat(picture(r) != cv::Scalar(100, 100, 100)).reshape(1));
    };
    EXPECT_GT(marked(cv::Rect(1357, 52, 40, 20)), 20);
    EXPECT_GT(marked(cv::Rect(1365, 432, 40, 18)), 20);
    EXPECT_EQ(marked(cv::Rect(0, 0, 1500, 35)), 0);
    EXPECT_EQ(marked(cv::Rect(0, 0, 1300, 500)), 0);
}

TEST(PseudoColor, KestrixBarHasNoTicksAndPastesEndInMagenta)
{
    cv::Mat picture(500, 1500, CV_8UC3, cv::Scalar(200, 200, 200));
    LegendStyle style;
    style.ticksAndNumbers = false;
    style.labelColor = cv::Scalar(0, 0, 0);
    ASSERT_TRUE(drawPseudoColorLegend(picture, style));
    EXPECT_EQ(picture.at<cv::Vec3b>(50, 1460), bgr(200, 200, 200));
    cv::Mat magenta(500, 1500, CV_8UC3, cv::Scalar(200, 200, 200));
    style.magentaEnd = true;
    drawPseudoColorLegend(magenta, style);
    EXPECT_EQ(magenta.at<cv::Vec3b>(50 + 6 * 66, 1425), bgr(255, 0, 251));
    cv::Mat grey(10, 10, CV_8UC1, cv::Scalar(3));
    EXPECT_FALSE(drawPseudoColorLegend(grey, style));
    EXPECT_EQ(cv::countNonZero(grey != 3), 0);
}

TEST(PseudoColor, PasteTakesOnlyColouredPixels)
{
    cv::Mat base(1, 3, CV_8UC3, cv::Scalar(5, 5, 5));
    cv::Mat pseudo(1, 3, CV_8UC3);
    pseudo.at<cv::Vec3b>(0) = bgr(0, 0, 255);
    pseudo.at<cv::Vec3b>(1) = bgr(90, 90, 90);
    pseudo.at<cv::Vec3b>(2) = bgr(1, 1, 2);
    ASSERT_TRUE(pasteColoured(base, pseudo));
    EXPECT_EQ(base.at<cv::Vec3b>(0), bgr(0, 0, 255));
    EXPECT_EQ(base.at<cv::Vec3b>(1), bgr(5, 5, 5));
    EXPECT_EQ(base.at<cv::Vec3b>(2), bgr(1, 1, 2));
    EXPECT_FALSE(pasteColoured(base, cv::Mat(1, 4, CV_8UC3)));
}
