#include "exposureestimate.h"

#include "wbplan.h"

#include <QDebug>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace wbestimate {

namespace {

constexpr int kAttempts = 12;
constexpr int kThresholdPasses = 10;
constexpr int kTileWidth = 12;
constexpr int kTileHeight = 4;

bool wholeImage(const cv::Rect& r, const cv::Mat& image)
{
    return r.width == image.cols && r.height == image.rows;
}

// The sum of a box's 8-bit pixels, those below the threshold counted as the threshold itself:
// the threshold is a fraction after the first pass and must not be rounded to a grey level.
double sumAtLeast(const cv::Mat& box, double threshold)
{
    uint64_t above = 0;
    uint64_t below = 0;
    for (int y = 0; y < box.rows; ++y) {
        const uint8_t* row = box.ptr<uint8_t>(y);
        for (int x = 0; x < box.cols; ++x) {
            if (row[x] < threshold)
                ++below;
            else
                above += row[x];
        }
    }
    return double(above) + double(below) * threshold;
}

int formula(int curExp, double grey, const EstimateInput& in)
{
    if (grey <= 0) {
        qDebug() << "预估灰度值<=0，返回最大预估时间";
        return 300000;
    }
    return wbplan::calcExposureTime(curExp, grey, in.grayTarget, in.isFL9BW, in.binningIndex);
}

} // namespace

RegionSearch searchRegions(const cv::Mat& image, double threshold)
{
    RegionSearch out;
    out.threshold = threshold;
    cv::Mat binary;
    for (int pass = 1;; ++pass) {
        qDebug() << "CurStep:ToThreshold:" << out.threshold;
        cv::threshold(image, binary, out.threshold, 255, cv::THRESH_BINARY);
        qDebug() << "CurStep:ToFindContour.";
        out.contours.clear();
        cv::findContours(binary, out.contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
        int result = 2;
        for (const auto& c : out.contours) {
            const double area = cv::contourArea(c);
            const cv::Rect r = cv::boundingRect(c);
            if (area > kMaxArea && !wholeImage(r, binary)) {
                qDebug() << "1----" << "areaSize:" << area << "rectSize:" << r.x << r.y << r.width << r.height;
                result = 0;
                break;
            }
            if (area >= kMinArea && area <= kMaxArea) {
                qDebug() << "2----" << "areaSize:" << area << "rectSize:" << r.x << r.y << r.width << r.height;
                result = 1;
            }
        }
        if (result == 1) {
            qDebug() << "contourStep:AreaSizeBetweenMinToMax.";
            out.outcome = RegionSearch::Outcome::Regions;
            return out;
        }
        if (result == 2) {
            out.outcome = RegionSearch::Outcome::TooFew;
            out.binaryMean = cv::mean(binary)[0];
            return out;
        }
        double s = 0;
        double n = 0;
        for (const auto& c : out.contours) {
            const cv::Rect r = cv::boundingRect(c);
            if (cv::contourArea(c) <= kMaxArea || wholeImage(r, binary))
                continue;
            s += sumAtLeast(image(r), out.threshold);
            n += double(r.area());
        }
        const double average = n > 0 ? s / n : out.threshold;
        out.averages.push_back(average);
        qDebug() << "avgIntensity:" << average;
        if (std::abs(average - out.threshold) <= 1.0 || pass == kThresholdPasses) {
            qDebug() << "(qAbs(avgIntensity - curThreshold) <= 1) || (++findCount == 10)";
            out.outcome = RegionSearch::Outcome::Regions;
            return out;
        }
        out.threshold = average;
    }
}

Brightest brightestRegion(const cv::Mat& image, const RegionSearch& search)
{
    double s = 0;
    double n = 0;
    double best = 0;
    for (const auto& c : search.contours) {
        const cv::Rect r = cv::boundingRect(c);
        if (cv::contourArea(c) < kMinArea || wholeImage(r, image))
            continue;
        const double sb = cv::sum(image(r))[0];
        const double nb = double(r.area());
        s += sb;
        n += nb;
        best = std::max(best, sb / nb);
    }
    return {s != 0 && n != 0, best};
}

Tile brightestTile(const cv::Mat& image)
{
    Tile tile;
    if (image.empty())
        return tile;
    const cv::Mat m = image(cv::Rect(image.cols / 4, image.rows / 4, image.cols / 2, image.rows / 2));
    double best = -1;
    for (int y = 0; y + kTileHeight <= m.rows; y += kTileHeight) {
        for (int x = 0; x + kTileWidth <= m.cols; x += kTileWidth) {
            const double mean = cv::mean(m(cv::Rect(x, y, kTileWidth, kTileHeight)))[0];
            if (mean > best) {
                best = mean;
                tile = {true, x, y, mean};
            }
        }
    }
    return tile;
}

Estimate estimateExposure(const EstimateInput& in, const ReferenceImage& reference)
{
    Estimate out;
    out.exposure = in.maximum;
    int curExp = in.startExposure;
    double threshold = 8.0;
    cv::Mat image;
    int imageExp = curExp;
    RegionSearch search;
    bool regions = false;

    for (;;) {
        ++out.attempts;
        // The exposure this image was taken with; curExp may move on below.
        imageExp = curExp;
        image = reference(curExp);
        if (image.empty()) {
            // No frame: nothing to analyse; the next attempt uses the same exposure.
            if (out.attempts >= kAttempts)
                break;
            continue;
        }
        search = searchRegions(image, threshold);
        threshold = search.threshold;
        if (search.outcome == RegionSearch::Outcome::Regions) {
            regions = true;
            break;
        }
        qDebug() << "contourStep:AreaSizeLessThan2.";
        if (search.binaryMean > 128) {
            if (curExp > 20) {
                curExp -= 20;
                threshold = cv::mean(image)[0];
            }
        } else {
            curExp += 100;
        }
        if (out.attempts >= kAttempts)
            break;
    }
    out.referenceExposure = curExp;

    bool decided = false;
    if (regions) {
        qDebug() << "CurStep:ToCaclExpTime.";
        const Brightest brightest = brightestRegion(image, search);
        if (brightest.measured) {
            qDebug() << "curExpTime:" << imageExp << "avgIntensity:" << brightest.mean;
            out.exposure = std::min(in.maximum, formula(imageExp, brightest.mean, in));
            decided = true;
        }
    }
    if (!decided) {
        qDebug() << "执行再预估 曝光时间" << imageExp;
        const Tile tile = brightestTile(image);
        if (tile.found) {
            const int t = formula(imageExp, tile.mean, in);
            qDebug() << "找到符合条件的矩形区域: " << tile.x << tile.y << " 平均灰度: " << tile.mean << " 曝光时间: " << t;
            out.exposure = std::min(in.maximum, t);
        } else {
            qDebug() << "未找到符合条件的矩形区域";
        }
    }
    out.exposure = wbplan::clampEstimate(out.exposure, in.maximum);
    return out;
}

} // namespace wbestimate
