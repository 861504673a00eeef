#include <gtest/gtest.h>

#include <random>

#include <opencv2/imgproc.hpp>

#include "focusmeasure.h"
#include "vectorpaths.h"

namespace {

double opencvMeasure(const cv::Mat& image)
{
    cv::Mat gx, gy, mag;
    cv::Sobel(image, gx, CV_64F, 1, 0, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::Sobel(image, gy, CV_64F, 0, 1, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::magnitude(gx, gy, mag);
    return cv::mean(mag)[0];
}

cv::Mat randomImage(int rows, int cols, int type, unsigned seed)
{
    cv::Mat m(rows, cols, type);
    cv::RNG rng(seed);
    rng.fill(m, cv::RNG::UNIFORM, 0, type == CV_8UC1 ? 256 : 65536);
    return m;
}

} // namespace

TEST(FocusMeasure, Fixtures)
{
    cv::Mat uniform(40, 30, CV_16UC1, cv::Scalar(1234));
    EXPECT_EQ(focusMeasure(uniform), 0.0);

    cv::Mat dot = cv::Mat::zeros(9, 9, CV_16UC1);
    dot.at<uint16_t>(4, 4) = 900;
    EXPECT_NEAR(focusMeasure(dot), 400.0 / 9, 1e-12);

    cv::Mat square = cv::Mat::zeros(9, 9, CV_16UC1);
    square(cv::Rect(3, 3, 3, 3)).setTo(100);
    EXPECT_NEAR(focusMeasure(square), 26.7, 0.05);
    EXPECT_NEAR(focusMeasure(square), opencvMeasure(square), 1e-12);

    EXPECT_EQ(focusMeasure(cv::Mat()), 0.0);
}

TEST(FocusMeasure, AgreesWithTheOpenCvFormulation)
{
    struct Case { int rows, cols, type; cv::Rect view; };
    const Case cases[] = {
        {64, 48, CV_16UC1, {}},                    // whole image, reflected borders everywhere
        {61, 101, CV_16UC1, {25, 15, 50, 30}},      // centre view: neighbours from the parent
        {50, 40, CV_16UC1, {0, 0, 20, 10}},         // view on the top-left corner
        {50, 40, CV_16UC1, {20, 40, 20, 10}},       // view on the bottom-right corner
        {1, 17, CV_16UC1, {}}, {17, 1, CV_16UC1, {}}, {1, 1, CV_16UC1, {}},
        {2, 2, CV_16UC1, {}},  {33, 35, CV_8UC1, {}}, {33, 35, CV_8UC1, {3, 4, 1, 20}},
        {20, 20, CV_32FC1, {}},
    };
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        unsigned seed = 1;
        for (const Case& c : cases) {
            cv::Mat whole = randomImage(c.rows, c.cols, c.type, seed++);
            cv::Mat image = c.view.empty() ? whole : whole(c.view);
            const double want = opencvMeasure(image);
            EXPECT_NEAR(focusMeasure(image), want, 1e-9 * std::max(1.0, want)) << c.rows << "x" << c.cols << " " << c.view;
        }
    }
}

// Rows of every length around the vector widths, and images where every pixel has the same
// gradient (so that a per-pixel rounding bias would add up instead of averaging out): a soft
// ramp, a checkerboard of 2 x 2 squares (the steepest 16-bit gradients), a step of 1.
TEST(FocusMeasure, EveryPathAgreesOnAnyWidthAndUniformGradients)
{
    cv::Mat ramp(37, 70, CV_16UC1), board(19, 45, CV_16UC1), step(16, 33, CV_16UC1);
    for (int r = 0; r < ramp.rows; ++r)
        for (int c = 0; c < ramp.cols; ++c)
            ramp.at<uint16_t>(r, c) = uint16_t(3 * c + 7 * r);
    for (int r = 0; r < board.rows; ++r)
        for (int c = 0; c < board.cols; ++c)
            board.at<uint16_t>(r, c) = (r / 2 + c / 2) % 2 ? 65535 : 0; // every gradient +-65535 both ways
    for (int r = 0; r < step.rows; ++r)
        for (int c = 0; c < step.cols; ++c)
            step.at<uint16_t>(r, c) = uint16_t(c);
    std::vector<cv::Mat> images = {ramp, board, step, ramp(cv::Rect(1, 1, 66, 30))};
    for (int cols = 1; cols <= 70; cols += 3)
        images.push_back(randomImage(5, cols, CV_16UC1, 100 + unsigned(cols)));
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        for (const cv::Mat& image : images) {
            const double want = opencvMeasure(image);
            EXPECT_NEAR(focusMeasure(image), want, 1e-9 * std::max(1.0, want)) << image.rows << "x" << image.cols;
        }
    }
}

// The vector paths take float roots and correct them from each pixel's exact residual; these
// images keep every gradient below 32768, so the wide lanes (not the double fallback) sum them:
// uniform gradients where a float rounding bias would add up (small ones, ones whose squares pass
// 2^24), the sensor's full width (the lanes are emptied into doubles on the way), and one steep
// edge that sends its rows back to doubles while the others stay on the lanes.
TEST(FocusMeasure, WideLanesKeepDoubleAccuracy)
{
    auto columnsRepeat = [](int rows, int cols, std::vector<uint16_t> pattern) {
        cv::Mat m(rows, cols, CV_16UC1);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                m.at<uint16_t>(r, c) = pattern[size_t(c) % pattern.size()];
        return m;
    };
    auto bounded = [](int rows, int cols, unsigned seed) {
        cv::Mat m(rows, cols, CV_16UC1);
        cv::RNG(seed).fill(m, cv::RNG::UNIFORM, 0, 32768);
        return m;
    };
    cv::Mat edge = bounded(9, 300, 3);
    edge(cv::Rect(150, 4, 150, 1)).setTo(65535);
    struct Case { const char* what; cv::Mat image; };
    const Case cases[] = {
        {"gradient 1 everywhere", columnsRepeat(6, 200, {0, 0, 1, 1})},
        {"gradient 5000: squares past 2^24", columnsRepeat(6, 200, {0, 0, 5000, 5000})},
        {"gradient 32767, the largest on the lanes", columnsRepeat(4, 130, {0, 0, 32767, 32767})},
        {"random below 32768, widths around the lanes", bounded(5, 97, 1)},
        {"random below 32768, the sensor's width", bounded(3, 4656, 2)},
        {"a steep edge in two rows", edge},
        {"8-bit, the sensor's width", randomImage(3, 4656, CV_8UC1, 4)},
    };
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        for (const Case& c : cases) {
            const double want = opencvMeasure(c.image);
            EXPECT_NEAR(focusMeasure(c.image), want, 1e-9 * std::max(1.0, want)) << c.what;
        }
    }
}

TEST(FocusMeasure, FirstChannelOfColourImages)
{
    cv::Mat colour = randomImage(20, 30, CV_16UC3, 5);
    cv::Mat first;
    cv::extractChannel(colour, first, 0);
    EXPECT_NEAR(focusMeasure(colour), opencvMeasure(first), 1e-9 * opencvMeasure(first));
}

TEST(CropRoi, MiddleHalfAsAView)
{
    struct Case { int cols, rows; cv::Rect want; };
    const Case cases[] = {{100, 60, {25, 15, 50, 30}}, {101, 61, {25, 15, 50, 30}}, {3, 3, {0, 0, 0, 0}}};
    for (const Case& c : cases) {
        cv::Mat image(c.rows, c.cols, CV_16UC1, cv::Scalar(0));
        cv::Mat out(5, 5, CV_8UC1);
        cropRoi(image, out);
        EXPECT_EQ(out.cols, c.want.width);
        EXPECT_EQ(out.rows, c.want.height);
        if (!out.empty()) {
            cv::Size whole;
            cv::Point ofs;
            out.locateROI(whole, ofs);
            EXPECT_EQ(ofs, c.want.tl());
            EXPECT_EQ(out.data, image.ptr(c.want.y, c.want.x)); // shares the pixels
        }
    }
}

TEST(FocusPeak, FlatWindowsAreNoPeak)
{
    struct Case { std::vector<double> values; bool peak; };
    const Case cases[] = {
        {{1, 1, 1, 1, 1}, false},
        {{1, 1.1, 1.2, 1.1, 1}, true},
        {{1, 1, 1.004, 1, 1}, false},       // within 0.5 % of the mean
        {{1, 1, 1, 1.01, 1}, true},         // R3 - R4
        {{0.98, 1, 1, 1, 1}, true},         // R1 - R0
        {{0, 0, 0, 0, 0}, false},           // mean 0
        {{1, 1.1, 1.2, 1.1}, false},        // not five values
    };
    for (const Case& c : cases)
        EXPECT_EQ(isFocusPeak(c.values), c.peak) << ::testing::PrintToString(c.values);
}
