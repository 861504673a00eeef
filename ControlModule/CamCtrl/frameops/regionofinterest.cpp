#include "regionofinterest.h"

#include <cmath>

#include <QDebug>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kBinningScale[8] = {1, 2, 4, 6, 8, 12, 16, 24};

enum class Outcome { None, Found, TooLarge };

void removeNested(std::vector<cv::Rect>& rects)
{
    for (int i = 0; i < int(rects.size()) - 1; ++i) {
        int j = i + 1;
        while (j <= int(rects.size()) - 1) {
            const cv::Rect a = rects[i], b = rects[j];
            const cv::Rect in = a & b;
            if (b.x <= a.x && b.y <= a.y && in.width == a.width && in.height == a.height)
                rects.erase(rects.begin() + i);
            else if (b.x >= a.x && b.y >= a.y && in.width == b.width && in.height == b.height)
                rects.erase(rects.begin() + j);
            else
                ++j;
        }
    }
}

} // namespace

cv::Rect regionInFrame(const RegionOfInterest& roi, cv::Size frame)
{
    if (!roi.enabled)
        return {};
    // 64-bit: a stale or hostile rectangle must not overflow before it is clipped.
    const int64_t l = std::max<int64_t>(roi.left, 0);
    const int64_t t = std::max<int64_t>(roi.top, 0);
    const int64_t r = std::min<int64_t>(roi.right, int64_t(frame.width) - 1);
    const int64_t b = std::min<int64_t>(roi.bottom, int64_t(frame.height) - 1);
    if (r < l || b < t)
        return {};
    return cv::Rect(int(l), int(t), int(r - l + 1), int(b - t + 1));
}

cv::Mat highByteImage(const FrameView& frame)
{
    cv::Mat out;
    if (frame.empty())
        return out;
    out.create(frame.height, frame.width, CV_8UC1);
    const uint16_t* src = frame.pixels;
    uint8_t* dst = out.ptr<uint8_t>();
    const size_t n = frame.count();
    for (size_t i = 0; i < n; ++i)
        dst[i] = uint8_t(src[i] >> 8);
    return out;
}

std::vector<cv::Rect> autoCrop(const FrameView& frame, int sampleImageBkColor, int binningIndex)
{
    std::vector<cv::Rect> found;
    cv::Mat g = highByteImage(frame);
    if (g.empty())
        return found;
    if (sampleImageBkColor == 0)
        cv::bitwise_not(g, g);
    if (binningIndex < 0 || binningIndex > 7) {
        qWarning() << "autoCrop: binning index out of range" << binningIndex;
        binningIndex = 0;
    }
    const double s = kBinningScale[binningIndex];
    const double minArea = 100.0 / (s * s);
    const double maxArea = 10000.0 / (s * s);
    const cv::Rect whole(0, 0, g.cols, g.rows);

    double t = 3.0;
    std::vector<std::vector<cv::Point>> contours;
    bool finalScan = false;
    for (int pass = 0;; ++pass) {
        cv::Mat b;
        cv::threshold(g, b, t, 255, cv::THRESH_BINARY);
        contours.clear();
        cv::findContours(b, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);

        Outcome outcome = Outcome::None;
        for (const auto& contour : contours) {
            const double area = cv::contourArea(contour);
            const cv::Rect r = cv::boundingRect(contour);
            if (area > maxArea && r != whole) {
                outcome = Outcome::TooLarge;
                break;
            }
            if (area >= minArea && area <= maxArea)
                outcome = Outcome::Found;
        }
        if (outcome == Outcome::Found) {
            finalScan = true;
            break;
        }
        if (outcome == Outcome::None)
            break;

        double sum = 0, count = 0;
        for (const auto& contour : contours) {
            const double area = cv::contourArea(contour);
            const cv::Rect r = cv::boundingRect(contour);
            if (area > maxArea && r != whole) {
                sum += cv::sum(g(r))[0];
                count += double(r.area());
            } else if (area >= minArea && area <= maxArea) {
                const double aspect = double(r.width) / double(r.height);
                if (aspect > 2 && aspect < 10)
                    found.push_back(r);
            }
        }
        const double m = sum / count;
        if (std::abs(m - t) <= 1 || pass + 1 >= 10) {
            finalScan = true;
            break;
        }
        t = m;
    }
    if (finalScan) {
        for (const auto& contour : contours) {
            const cv::Rect r = cv::boundingRect(contour);
            if (cv::contourArea(contour) > minArea && r != whole)
                found.push_back(r);
        }
    }
    removeNested(found);
    return found;
}
