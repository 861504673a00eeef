#pragma once
// The exposure estimation of a Western blot on the Kestrix camera as plain functions over 8-bit
// reference images (the high bytes of 16 x 16 binned frames): threshold passes over the contours
// of bright regions, the exposure formula, and the attempts that lengthen the reference exposure
// until an image decides.

#include <functional>
#include <vector>

#include <opencv2/core.hpp>

namespace qiestimate {

constexpr double kStartThreshold = 10.0;
constexpr double kLargeArea = 75.0;   // contour area (reference pixels) of a region to average
constexpr double kSmallArea = 2.0;    // smallest contour area that counts at all
constexpr int kMaxRounds = 10;        // threshold passes of one attempt
constexpr int kMaxAttempts = 10;
constexpr int kExposureStep = 100;    // ms added to the reference exposure after a failed attempt
constexpr int kReferenceBinning = 16;

using Contour = std::vector<cv::Point>;

// How the contours of one threshold pass decide, in the order found: a large one (not the whole
// image) ends the scan, a small one (kSmallArea..kLargeArea) counts, anything else nothing.
enum class Contours { Large = 0, Small = 1, None = 2 };
Contours classify(const std::vector<Contour>& contours, cv::Size image);

// The threshold passes of one attempt from kStartThreshold on. Large regions move the threshold
// to the average grey of their boxes until it moves by 1 or less or after kMaxRounds passes;
// small regions decide at once. decided is false when a pass found nothing that decides.
struct Search {
    bool decided = false;
    double threshold = kStartThreshold;
    int rounds = 0;
    std::vector<Contour> contours;   // of the last pass
};
Search searchRegions(const cv::Mat& image);

// The ceiling of the estimate: int((240000 - offset) / binning).
int maximumFor(int binning, int offset);

// The exposure (ms) that brings regions of average grey to 150 at the capture's binning:
// 150 / average x 256 / (binning x binning) x referenceMs x 0.2, in floating point, truncated, and
// never above maximum.
int exposureFromAverage(double average, int binning, int referenceMs, int maximum);

// The final value of a decided attempt: the average grey of the boxes of the contours above
// kSmallArea (not the whole image) through exposureFromAverage; maximum without any.
int exposureFromRegions(const cv::Mat& image, const std::vector<Contour>& contours, int binning, int referenceMs,
                        int maximum);

// A reference image at referenceMs: Image (image set), Failed (no frame came: the attempt fails
// like a dark image), Stop (an abort or a camera error: no estimate).
enum class Reference { Image, Failed, Stop };
using ReferenceImage = std::function<Reference(int referenceMs, cv::Mat& image)>;

struct Estimate {
    bool stopped = false;     // the reference asked to stop: no estimate
    int exposure = 0;         // ms
    int referenceExposure = 0;   // ms, where the reference exposure ended
    int attempts = 0;
};

// Up to kMaxAttempts attempts starting at referenceMs: a failed attempt adds kExposureStep; a
// decided one gives exposureFromRegions. Without a decision the estimate is maximum.
Estimate estimateExposure(int binning, int maximum, int referenceMs, const ReferenceImage& reference);

} // namespace qiestimate
