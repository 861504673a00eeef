#pragma once
// The search of the Western-blot exposure estimation as plain functions over 8-bit reference
// images (the high bytes of short, binned frames): threshold passes over the contours of bright
// regions, the brightest-tile fallback, and the attempts that move the reference exposure until
// an image decides.

#include <functional>
#include <vector>

#include <opencv2/core.hpp>

namespace wbestimate {

// Contour areas (pixels of the reference image) of a region worth measuring.
constexpr double kMinArea = 8.0;
constexpr double kMaxArea = 75.0;

// The threshold passes of one attempt.
struct RegionSearch {
    enum class Outcome {
        Regions,   // regions of a usable size, or passes that settled on a threshold
        TooFew,    // no contour decided: the exposure has to move
    };
    Outcome outcome = Outcome::TooFew;
    double threshold = 0;           // the threshold of the last pass
    std::vector<double> averages;   // the average grey of each pass that found too large regions
    std::vector<std::vector<cv::Point>> contours;   // the last pass's contours
    double binaryMean = 0;          // mean of the last binary image (TooFew)
};

// Passes from `threshold` on: the image's contours above the threshold are classified in the
// order found. A contour larger than kMaxArea (and not the whole image) ends the scan: the
// average grey of every such region's box, a pixel below the threshold counting as the
// threshold, becomes the next threshold, until it moves by 1 or less or after 10 passes
// (Regions). A contour of kMinArea..kMaxArea without a larger one gives Regions; no contour of
// either kind gives TooFew.
RegionSearch searchRegions(const cv::Mat& image, double threshold);

// The brightest region of a search: the largest box mean over its contours of at least
// kMinArea whose box is not the whole image. measured is false when there is none.
struct Brightest {
    bool measured = false;
    double mean = 0;
};
Brightest brightestRegion(const cv::Mat& image, const RegionSearch& search);

// The fallback: the middle half of the image tiled from its top-left corner with tiles 12 wide
// and 4 high; the tile with the largest mean (the first one wins a tie). Not found when the
// middle half is smaller than one tile.
struct Tile {
    bool found = false;
    int x = 0;   // in the middle half
    int y = 0;
    double mean = 0;
};
Tile brightestTile(const cv::Mat& image);

struct EstimateInput {
    int startExposure = 100;   // ms, the first reference exposure
    int maximum = 300000;      // ms, the ceiling of the estimate
    double grayTarget = 150;
    bool isFL9BW = false;
    int binningIndex = 0;      // the binning the user chose for the capture
};

struct Estimate {
    int exposure = 0;          // ms, within [1, maximum]
    int referenceExposure = 0; // ms, where the reference exposure ended (the next attempt's)
    int attempts = 0;          // reference images asked for
};

// A reference image taken at exposureMs: 8-bit, the estimation region already cut; empty when
// no frame came.
using ReferenceImage = std::function<cv::Mat(int exposureMs)>;

// Up to 12 attempts: an image with regions decides by the formula on its brightest region; an
// image whose binary picture is mostly bright lowers the exposure by 20 ms (not below 20) and
// moves the threshold to its mean, any other raises it by 100 ms. Without a decision the
// brightest tile of the last image does, scaled from the exposure that image was taken with.
Estimate estimateExposure(const EstimateInput& in, const ReferenceImage& reference);

} // namespace wbestimate
