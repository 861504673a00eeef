// The exposure estimation's search as tables over small reference images: the threshold passes,
// the brightest region, the tile fallback and the attempts that move the reference exposure.

#include <gtest/gtest.h>

#include "exposureestimate.h"

#include <opencv2/imgproc.hpp>

using namespace wbestimate;

namespace {

// A 64 x 48 reference, black but for the given filled rectangles.
cv::Mat referenceWith(std::initializer_list<std::pair<cv::Rect, int>> boxes, int background = 0)
{
    cv::Mat image(48, 64, CV_8UC1, cv::Scalar(background));
    for (const auto& b : boxes)
        image(b.first).setTo(b.second);
    return image;
}

// A 12 x 12 square of 100 whose 3 x 3 corners stay at 5: one region larger than kMaxArea whose
// box holds 36 pixels below any threshold above 5.
cv::Mat notchedSquare()
{
    cv::Mat image = referenceWith({{cv::Rect(20, 10, 12, 12), 100}});
    for (const cv::Point corner : {cv::Point(20, 10), cv::Point(29, 10), cv::Point(20, 19), cv::Point(29, 19)})
        image(cv::Rect(corner, cv::Size(3, 3))).setTo(5);
    return image;
}

// Bright at 200 but for a dark pixel on every third row and column: more than half of it stays
// above its own mean, and its only contours are the whole image and single-pixel holes.
cv::Mat brightWithoutBands()
{
    cv::Mat image(48, 64, CV_8UC1, cv::Scalar(200));
    for (int y = 0; y < image.rows; y += 3)
        for (int x = 0; x < image.cols; x += 3)
            image.at<uint8_t>(y, x) = 0;
    return image;
}

} // namespace

TEST(ExposureEstimate, ThresholdPassesClassifyTheRegions)
{
    struct Case {
        const char* name;
        cv::Mat image;
        double threshold;
        RegionSearch::Outcome outcome;
        double finalThreshold;
        size_t averagingPasses;
        double binaryMean;   // TooFew only
    };
    const Case cases[] = {
        {"dark", referenceWith({}), 8, RegionSearch::Outcome::TooFew, 8, 0, 0},
        // One contour, the whole image: never too large, never measured.
        {"bright everywhere", referenceWith({}, 200), 8, RegionSearch::Outcome::TooFew, 8, 0, 255},
        {"bands of a usable size", referenceWith({{cv::Rect(4, 4, 5, 5), 90}, {cv::Rect(30, 30, 6, 4), 120}}), 8,
         RegionSearch::Outcome::Regions, 8, 0, 0},
        // A too large region of one grey: its box averages to that grey, above which nothing is left.
        {"flat large region", referenceWith({{cv::Rect(10, 10, 20, 20), 200}}), 8, RegionSearch::Outcome::TooFew, 200,
         1, 0},
        // Thresholds that converge: each pass averages the box with the notches counted at the threshold.
        {"notched square", notchedSquare(), 10.4, RegionSearch::Outcome::Regions, 99.65, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RegionSearch r = searchRegions(c.image, c.threshold);
        EXPECT_EQ(int(r.outcome), int(c.outcome));
        EXPECT_NEAR(r.threshold, c.finalThreshold, 1e-9);
        EXPECT_EQ(r.averages.size(), c.averagingPasses);
        if (c.outcome == RegionSearch::Outcome::TooFew) {
            EXPECT_NEAR(r.binaryMean, c.binaryMean, 1e-9);
        }
    }
}

// A pixel below the threshold counts as the threshold itself, not as the threshold rounded to
// a grey level: 36 notch pixels at 10.4 and 108 at 100 average to 77.6, not 77.5.
TEST(ExposureEstimate, PixelsBelowAFractionalThresholdCountAsIt)
{
    const RegionSearch r = searchRegions(notchedSquare(), 10.4);
    ASSERT_GE(r.averages.size(), 2u);
    EXPECT_DOUBLE_EQ(r.averages[0], (108 * 100 + 36 * 10.4) / 144);
    EXPECT_DOUBLE_EQ(r.averages[1], (108 * 100 + 36 * r.averages[0]) / 144);
}

TEST(ExposureEstimate, TheBrightestRegionAndTheBrightestTile)
{
    const cv::Mat bands = referenceWith({{cv::Rect(4, 4, 5, 5), 90}, {cv::Rect(30, 30, 6, 4), 120}});
    const Brightest b = brightestRegion(bands, searchRegions(bands, 8));
    EXPECT_TRUE(b.measured);
    EXPECT_DOUBLE_EQ(b.mean, 120);
    EXPECT_FALSE(brightestRegion(referenceWith({}), searchRegions(referenceWith({}), 8)).measured);

    struct Case {
        const char* name;
        cv::Mat image;
        Tile tile;
    };
    // The middle half of 64 x 48 is 32 x 24 at (16, 12): 2 x 6 tiles of 12 x 4.
    const Case cases[] = {
        {"one bright tile", referenceWith({{cv::Rect(16 + 12, 12 + 8, 12, 4), 80}}), {true, 12, 8, 80}},
        {"a tie: the first in reading order", referenceWith({{cv::Rect(16, 12 + 4, 24, 4), 50}}), {true, 0, 4, 50}},
        {"dark: the first tile", referenceWith({}), {true, 0, 0, 0}},
        // Outside the middle half nothing counts.
        {"bright margin only", referenceWith({{cv::Rect(0, 0, 64, 10), 255}}), {true, 0, 0, 0}},
        {"smaller than a tile", cv::Mat(7, 40, CV_8UC1, cv::Scalar(9)), {false, 0, 0, 0}},
        {"no image", cv::Mat(), {false, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Tile t = brightestTile(c.image);
        EXPECT_EQ(t.found, c.tile.found);
        EXPECT_EQ(t.x, c.tile.x);
        EXPECT_EQ(t.y, c.tile.y);
        EXPECT_DOUBLE_EQ(t.mean, c.tile.mean);
    }
}

TEST(ExposureEstimate, AttemptsMoveTheReferenceExposureUntilAnImageDecides)
{
    // Other camera, binning index 0 (k 0.6), target 150: 64 x curExp x 150 / grey x 0.5 x 0.6.
    struct Case {
        const char* name;
        std::function<cv::Mat(int)> reference;
        int maximum;
        std::vector<int> exposures;   // the reference exposures asked for
        int estimate;
        int referenceExposure;
    };
    const cv::Mat bands = referenceWith({{cv::Rect(4, 4, 5, 5), 90}, {cv::Rect(30, 30, 6, 4), 120}});
    const std::vector<int> rising = {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200};
    const std::vector<int> same(12, 100);
    const std::vector<int> falling = {100, 80, 60, 40, 20, 20, 20, 20, 20, 20, 20, 20};
    const Case cases[] = {
        {"bands at once", [&](int) { return bands; }, 290000, {100}, 64 * 100 * 150 / 120 / 2 * 6 / 10, 100},
        {"the ceiling bounds it", [&](int) { return bands; }, 1000, {100}, 1000, 100},
        // A dark reference: brighter and brighter, then the tile fallback finds grey 0.
        {"dark", [](int) { return referenceWith({}); }, 290000, rising, 290000, 1300},
        // No frame at all: the same exposure twelve times, nothing decides.
        {"no frames", [](int) { return cv::Mat(); }, 290000, same, 290000, 100},
        // Mostly bright without bands: darker in steps of 20, never below 20; the last image's
        // brightest tile decides with the exposure it was taken with.
        // (The brightest tile holds 4 dark pixels of 48.)
        {"bright without bands", [](int) { return brightWithoutBands(); }, 290000, falling,
         int(64.0 * 20 * 150 / (200.0 * 44 / 48) * 0.5 * 0.6), 20},
        // Bands appear once the exposure is long enough.
        {"bands from 300 ms", [&](int e) { return e >= 300 ? bands : referenceWith({}); }, 290000, {100, 200, 300},
         int(64.0 * 300 * 150 / 120 * 0.5 * 0.6), 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> asked;
        EstimateInput in;
        in.maximum = c.maximum;
        const Estimate e = estimateExposure(in, [&](int exposure) {
            asked.push_back(exposure);
            return c.reference(exposure);
        });
        EXPECT_EQ(asked, c.exposures);
        EXPECT_EQ(e.exposure, c.estimate);
        EXPECT_EQ(e.referenceExposure, c.referenceExposure);
        EXPECT_EQ(e.attempts, int(c.exposures.size()));
    }
}
