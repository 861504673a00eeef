#include "kestrixprocessing.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace kestrix {

namespace {

constexpr int kWhite = 0;
constexpr int kBlack = 1;
constexpr int kBlackMinHigh = 2535;
constexpr int kWhiteMaxLow = 63000;

std::vector<uint32_t> counts(const FrameView& frame)
{
    std::vector<uint32_t> bins(65536, 0);
    const size_t n = frame.count();
    for (size_t i = 0; i < n; ++i)
        ++bins[frame.pixels[i]];
    return bins;
}

void fillLogHistogram(const std::vector<uint32_t>& bins, HistogramInfo& levels)
{
    levels.logHist.resize(65536);
    double largest = 0.0;
    for (size_t v = 0; v < bins.size(); ++v) {
        const double l = std::log10(1.1 + bins[v]);
        levels.logHist[v] = l;
        largest = std::max(largest, l);
    }
    levels.maxLog = largest;
}

// The value at position index of the sorted pixels, read from the counting histogram.
int valueAtRank(const std::vector<uint32_t>& bins, size_t index)
{
    size_t seen = 0;
    for (size_t v = 0; v < bins.size(); ++v) {
        seen += bins[v];
        if (seen > index)
            return static_cast<int>(v);
    }
    return 65535;
}

} // namespace

void invertImage(const FrameView& frame)
{
    const size_t n = frame.count();
    for (size_t i = 0; i < n; ++i)
        frame.pixels[i] = static_cast<uint16_t>(~frame.pixels[i]);
}

bool multiplyImage(const FrameView& a, const FrameView& b, bool backgroundBlack)
{
    if (a.width != b.width || a.height != b.height || a.empty() || b.empty())
        return false;
    if (backgroundBlack)
        kestrix::invertImage(b);
    const size_t n = a.count();
    for (size_t i = 0; i < n; ++i) {
        // In doubles, as stored images were made: an integer form rounds differently at some values.
        const double v = (a.pixels[i] / 65535.0) * (b.pixels[i] / 65535.0) * 65535.0;
        a.pixels[i] = static_cast<uint16_t>(v);
    }
    return true;
}

bool accumulate(const FrameView& cur, const FrameView& prev, int backgroundColor)
{
    if (cur.width != prev.width || cur.height != prev.height || cur.empty() || prev.empty())
        return false;
    const size_t n = cur.count();
    uint16_t* c = cur.pixels;
    const uint16_t* p = prev.pixels;
    if (backgroundColor == kBlack) {
        for (size_t i = 0; i < n; ++i) {
            const double v = (1.0 - (1.0 - c[i] / 65535.0) * (1.0 - p[i] / 65535.0)) * 65535.0;
            c[i] = static_cast<uint16_t>(v);
        }
    } else if (backgroundColor == kWhite) {
        for (size_t i = 0; i < n; ++i) {
            const double v = (p[i] / 65535.0) * (c[i] / 65535.0) * 65535.0;
            c[i] = static_cast<uint16_t>(v);
        }
    }
    return true;
}

void stretchLevels(const FrameView& frame, int low, int high)
{
    if (frame.empty())
        return;
    std::vector<uint16_t> lut(65536);
    const double range = static_cast<double>(high) - low;
    for (int v = 0; v < 65536; ++v) {
        if (v < low)
            lut[v] = 0;
        else if (v > high)
            lut[v] = 65535;
        else if (range <= 0.0)
            lut[v] = 0;
        else
            lut[v] = static_cast<uint16_t>(std::min(65535.0, (v - low) / range * 65535.0 + 0.5));
    }
    const size_t n = frame.count();
    for (size_t i = 0; i < n; ++i)
        frame.pixels[i] = lut[frame.pixels[i]];
}

void autoLevels(const FrameView& frame, HistogramInfo& levels)
{
    levels.low = 0;
    levels.high = 65535;
    fillLogHistogram(counts(frame), levels);
}

void percentileLevels(const FrameView& frame, int backgroundColor, HistogramInfo& levels)
{
    const std::vector<uint32_t> bins = counts(frame);
    const size_t n = frame.count();
    if (n == 0) {
        levels.low = 0;
        levels.high = 65535;
        fillLogHistogram(bins, levels);
        return;
    }
    const size_t k = static_cast<size_t>(n * kPercentileClip);
    // n - k lies one past the last pixel for small frames: keep it inside.
    const size_t highIndex = std::min(n - k, n - 1);
    int low = valueAtRank(bins, std::min(k, n - 1));
    int high = valueAtRank(bins, highIndex);
    if (backgroundColor == kBlack)
        high = std::max(high, kBlackMinHigh);
    else if (backgroundColor == kWhite)
        low = std::min(low, kWhiteMaxLow);
    levels.low = low;
    levels.high = high;
    fillLogHistogram(bins, levels);
}

void percentileStretch(const FrameView& frame, int backgroundColor, HistogramInfo& levels)
{
    kestrix::percentileLevels(frame, backgroundColor, levels);
    kestrix::stretchLevels(frame, levels.low, levels.high);
}

cv::Mat frameToMat8(const FrameView& frame)
{
    if (frame.empty())
        return cv::Mat();
    cv::Mat out(frame.height, frame.width, CV_8UC1);
    const size_t n = frame.count();
    uint8_t* dst = out.ptr<uint8_t>();
    for (size_t i = 0; i < n; ++i)
        dst[i] = static_cast<uint8_t>(frame.pixels[i] >> 8);
    return out;
}

std::vector<QRect> detectBands(const FrameView& frame, int binning, int backgroundColor)
{
    std::vector<QRect> bands;
    cv::Mat img = frameToMat8(frame);
    if (img.empty())
        return bands;
    if (backgroundColor == kWhite)
        cv::bitwise_not(img, img);
    const double s = std::max(1, binning) * std::max(1, binning);
    const double small = 100.0 / s;
    const double large = 10000.0 / s;
    const cv::Rect whole(0, 0, img.cols, img.rows);

    std::vector<cv::Rect> found;
    std::vector<std::vector<cv::Point>> contours;
    cv::Mat binary;
    double t = 3.0;
    for (int round = 0; round < 10; ++round) {
        cv::threshold(img, binary, t, 255, cv::THRESH_BINARY);
        contours.clear();
        cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
        double sum = 0.0;
        double area = 0.0;
        for (const auto& contour : contours) {
            const double a = cv::contourArea(contour);
            const cv::Rect box = cv::boundingRect(contour);
            if (a > large && box != whole) {
                sum += cv::sum(img(box))[0];
                area += box.area();
            }
            if (a >= small && a <= large && box.height > 0) {
                const double ratio = static_cast<double>(box.width) / box.height;
                if (ratio > 2.0 && ratio < 10.0)
                    found.push_back(box);
            }
        }
        // No large region to average: the threshold cannot move any more.
        if (area <= 0.0)
            break;
        const double next = sum / area;
        if (std::fabs(next - t) <= 1.0)
            break;
        t = next;
    }
    for (const auto& contour : contours) {
        const cv::Rect box = cv::boundingRect(contour);
        if (cv::contourArea(contour) > small && box != whole)
            found.push_back(box);
    }

    // Of two boxes one of which holds the other, the inner goes; of two equal ones, the earlier.
    std::vector<bool> removed(found.size(), false);
    for (size_t i = 0; i < found.size(); ++i) {
        for (size_t j = i + 1; j < found.size() && !removed[i]; ++j) {
            if (removed[j])
                continue;
            const cv::Rect& a = found[i];
            const cv::Rect& b = found[j];
            if ((a & b) == a)
                removed[i] = true;
            else if ((a & b) == b)
                removed[j] = true;
        }
    }
    for (size_t i = 0; i < found.size(); ++i)
        if (!removed[i])
            bands.emplace_back(found[i].x, found[i].y, found[i].width, found[i].height);
    return bands;
}

} // namespace kestrix
