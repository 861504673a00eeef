// The exposure estimation rules of the Kestrix camera as tables: how contours decide, where the
// threshold passes end, the formula in floating point, the ceiling, and the attempts.
#include "wbqiestimate.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <deque>

namespace {

// A 168 x 137 reference image (the sensor at 16 x 16 binning) with rectangles drawn on black.
struct Shape {
    cv::Rect box;
    int grey;
};
cv::Mat referenceImage(std::initializer_list<Shape> shapes)
{
    cv::Mat image(137, 168, CV_8UC1, cv::Scalar(0));
    for (const Shape& s : shapes)
        cv::rectangle(image, s.box, cv::Scalar(s.grey), cv::FILLED);
    return image;
}

} // namespace

TEST(WbqiEstimateRules, ContoursDecideByAreaInTheOrderFound)
{
    struct Case {
        const char* name;
        cv::Mat image;
        qiestimate::Contours expected;
    };
    const Case cases[] = {
        {"nothing above the threshold", referenceImage({}), qiestimate::Contours::None},
        {"a spot of area 4", referenceImage({{{20, 20, 3, 3}, 200}}), qiestimate::Contours::Small},
        {"a speck below area 2", referenceImage({{{20, 20, 1, 2}, 200}}), qiestimate::Contours::None},
        {"a band of area 19 x 9", referenceImage({{{20, 20, 20, 10}, 200}}), qiestimate::Contours::Large},
        {"a band beside a spot", referenceImage({{{5, 5, 3, 3}, 200}, {{60, 60, 30, 8}, 200}}),
         qiestimate::Contours::Large},
        // The outline of a bright whole image is no region.
        {"the whole image", referenceImage({{{0, 0, 168, 137}, 200}}), qiestimate::Contours::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat binary;
        cv::threshold(c.image, binary, qiestimate::kStartThreshold, 255, cv::THRESH_BINARY);
        std::vector<qiestimate::Contour> contours;
        cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
        EXPECT_EQ(qiestimate::classify(contours, c.image.size()), c.expected);
    }
}

TEST(WbqiEstimateRules, ThresholdPassesFollowTheLargeRegionsAverage)
{
    struct Case {
        const char* name;
        cv::Mat image;
        bool decided;
        double threshold;
        int rounds;
    };
    const Case cases[] = {
        {"small spots decide at once", referenceImage({{{20, 20, 3, 3}, 90}}), true, 10.0, 0},
        {"a dark image decides nothing", referenceImage({{{20, 20, 3, 3}, 9}}), false, 10.0, 0},
        // The band's average is within 1 of the threshold: it stays.
        {"a band at the threshold", referenceImage({{{20, 20, 30, 10}, 11}}), true, 10.0, 0},
        // The band's average moves the threshold to 30, above which nothing is left.
        {"a flat band moves the threshold past itself", referenceImage({{{20, 20, 30, 10}, 30}}), false, 30.0, 1},
        // 10 -> about 35 (the halo's box average) -> the core alone, small: decided.
        {"a halo around a small core", referenceImage({{{40, 40, 20, 20}, 30}, {{49, 49, 3, 3}, 255}}), true, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qiestimate::Search s = qiestimate::searchRegions(c.image);
        EXPECT_EQ(s.decided, c.decided);
        EXPECT_EQ(s.rounds, c.rounds);
        if (c.threshold > 0) {
            EXPECT_DOUBLE_EQ(s.threshold, c.threshold);
        }
    }
    // An image of the wrong type is refused, not read.
    EXPECT_FALSE(qiestimate::searchRegions(cv::Mat(10, 10, CV_16UC1, cv::Scalar(1000))).decided);
}

TEST(WbqiEstimateRules, ExposureFormulaInFloatingPointUnderItsCeiling)
{
    struct Case {
        const char* name;
        double average;
        int binning;
        int referenceMs;
        int maximum;
        int expected;
    };
    const Case cases[] = {
        {"binning 1 at the target grey", 150, 1, 100, 240000, 5120},
        {"binning 2", 150, 2, 100, 120000, 1280},
        {"binning 4, a darker region", 75, 4, 300, 60000, 1920},
        // 256 / (17 x 17) is 0 in integers; 150/150 x 0.8858 x 100 x 0.2 = 17.7.
        {"binning 17", 150, 17, 100, 14117, 17},
        {"binning 24", 30, 24, 100, 10000, 44},
        {"never above the ceiling", 1, 1, 1000, 240000, 240000},
        {"the ceiling of binning 4", 2, 4, 1100, 60000, 60000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(qiestimate::exposureFromAverage(c.average, c.binning, c.referenceMs, c.maximum), c.expected);
    }
    EXPECT_EQ(qiestimate::maximumFor(1, 0), 240000);
    EXPECT_EQ(qiestimate::maximumFor(4, 0), 60000);
    EXPECT_EQ(qiestimate::maximumFor(1, 9999), 230001);
    EXPECT_EQ(qiestimate::maximumFor(7, 1), 34285);
    EXPECT_EQ(qiestimate::maximumFor(0, 0), 240000);

    // The final value averages the boxes above area 2 that are not the whole image.
    const cv::Mat image = referenceImage({{{20, 20, 3, 3}, 150}, {{60, 60, 3, 3}, 150}});
    const qiestimate::Search s = qiestimate::searchRegions(image);
    ASSERT_TRUE(s.decided);
    EXPECT_EQ(qiestimate::exposureFromRegions(image, s.contours, 1, 100, 240000), 5120);
    EXPECT_EQ(qiestimate::exposureFromRegions(image, {}, 1, 100, 240000), 240000);
}

TEST(WbqiEstimateRules, AttemptsLengthenTheReferenceUntilAnImageDecides)
{
    using R = qiestimate::Reference;
    const cv::Mat dark = referenceImage({});
    const cv::Mat spots = referenceImage({{{20, 20, 3, 3}, 150}});
    struct Case {
        const char* name;
        std::vector<R> script;     // what each attempt gets; an Image is `spots` from `firstBright` on
        int firstBright;
        bool stopped;
        int exposure;
        int referenceExposure;
        int attempts;
    };
    const Case cases[] = {
        {"decided at once", {R::Image}, 0, false, 5120, 100, 1},
        {"two dark images first", {R::Image, R::Image, R::Image}, 2, false, 15360, 300, 3},
        // A frame that never came fails the attempt like a dark image.
        {"a missing frame first", {R::Failed, R::Image}, 1, false, 10240, 200, 2},
        {"ten dark images keep the ceiling", std::vector<R>(10, R::Image), 10, false, 240000, 1100, 10},
        {"ten missing frames keep the ceiling", std::vector<R>(10, R::Failed), 10, false, 240000, 1100, 10},
        {"an abort gives no estimate", {R::Image, R::Stop}, 5, true, 240000, 200, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> asked;
        const qiestimate::Estimate e =
            qiestimate::estimateExposure(1, 240000, 100, [&](int referenceMs, cv::Mat& image) {
                const int n = int(asked.size());
                asked.push_back(referenceMs);
                const R r = c.script.at(size_t(n));
                if (r == R::Image)
                    image = (n >= c.firstBright ? spots : dark).clone();
                return r;
            });
        EXPECT_EQ(e.stopped, c.stopped);
        EXPECT_EQ(e.exposure, c.exposure);
        EXPECT_EQ(e.referenceExposure, c.referenceExposure);
        EXPECT_EQ(e.attempts, c.attempts);
        for (size_t k = 0; k < asked.size(); ++k)
            EXPECT_EQ(asked[k], 100 + 100 * int(k));
    }
}
