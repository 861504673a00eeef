#include "wbqiestimate.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <opencv2/imgproc.hpp>

namespace qiestimate {

namespace {

constexpr double kTargetGrey = 150.0;
constexpr double kCeiling = 240000.0;
constexpr double kShare = 0.2;

std::vector<Contour> contoursAbove(const cv::Mat& image, double threshold)
{
    cv::Mat binary;
    cv::threshold(image, binary, threshold, 255, cv::THRESH_BINARY);
    std::vector<Contour> contours;
    cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
    return contours;
}

// Sum of the image's pixels inside each box and of the boxes' areas, over the contours whose area
// is above minArea and whose box is not the whole image.
void boxSums(const cv::Mat& image, const std::vector<Contour>& contours, double minArea, double& sum, double& area)
{
    const cv::Rect whole(0, 0, image.cols, image.rows);
    sum = 0.0;
    area = 0.0;
    for (const Contour& contour : contours) {
        const cv::Rect box = cv::boundingRect(contour);
        if (cv::contourArea(contour) > minArea && box != whole) {
            sum += cv::sum(image(box))[0];
            area += box.area();
        }
    }
}

} // namespace

Contours classify(const std::vector<Contour>& contours, cv::Size image)
{
    const cv::Rect whole(0, 0, image.width, image.height);
    Contours result = Contours::None;
    for (const Contour& contour : contours) {
        const double area = cv::contourArea(contour);
        const cv::Rect box = cv::boundingRect(contour);
        if (area > kLargeArea && box != whole)
            return Contours::Large;
        if (area >= kSmallArea && area <= kLargeArea)
            result = Contours::Small;
    }
    return result;
}

Search searchRegions(const cv::Mat& image)
{
    Search s;
    if (image.empty() || image.type() != CV_8UC1)
        return s;
    for (;;) {
        s.contours = contoursAbove(image, s.threshold);
        if (s.contours.empty())
            return s;
        const Contours kind = classify(s.contours, image.size());
        if (kind == Contours::None)
            return s;
        if (kind == Contours::Small) {
            s.decided = true;
            return s;
        }
        double sum = 0.0;
        double area = 0.0;
        boxSums(image, s.contours, kLargeArea, sum, area);
        const double average = sum / area;
        if (std::fabs(average - s.threshold) <= 1.0) {
            s.decided = true;
            return s;
        }
        // After the last pass its own contours decide, at the threshold they were found with.
        if (++s.rounds >= kMaxRounds) {
            s.decided = true;
            return s;
        }
        s.threshold = average;
    }
}

int maximumFor(int binning, int offset)
{
    return int((kCeiling - offset) / std::max(binning, 1));
}

int exposureFromAverage(double average, int binning, int referenceMs, int maximum)
{
    const double b = std::max(binning, 1);
    // 256 is the reference's 16 x 16 binning: in integers 256 / (b x b) is 0 from binning 17 on.
    const double t = kTargetGrey / average * (double(kReferenceBinning * kReferenceBinning) / (b * b)) * referenceMs * kShare;
    if (!(t < double(maximum)))
        return maximum;
    return int(t);
}

int exposureFromRegions(const cv::Mat& image, const std::vector<Contour>& contours, int binning, int referenceMs,
                        int maximum)
{
    double sum = 0.0;
    double area = 0.0;
    boxSums(image, contours, kSmallArea, sum, area);
    if (area == 0.0 || sum == 0.0)
        return maximum;
    return exposureFromAverage(sum / area, binning, referenceMs, maximum);
}

Estimate estimateExposure(int binning, int maximum, int referenceMs, const ReferenceImage& reference)
{
    Estimate e;
    e.exposure = maximum;
    e.referenceExposure = referenceMs;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        cv::Mat image;
        ++e.attempts;
        const Reference got = reference(e.referenceExposure, image);
        if (got == Reference::Stop) {
            e.stopped = true;
            return e;
        }
        if (got == Reference::Image) {
            const Search s = searchRegions(image);
            if (s.decided) {
                e.exposure = exposureFromRegions(image, s.contours, binning, e.referenceExposure, maximum);
                return e;
            }
        }
        e.referenceExposure += kExposureStep;
    }
    return e;
}

} // namespace qiestimate
