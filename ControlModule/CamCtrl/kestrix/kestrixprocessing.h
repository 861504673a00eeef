#pragma once
// Pixel operations on 16-bit Kestrix frames: plain functions over a frame view, so that the
// controller, the threads and the tests share one implementation.

#include <cstdint>
#include <vector>

#include <QRect>
#include <opencv2/core.hpp>

#include "frameview.h"
#include "histograminfo.h"

namespace kestrix {

// Clip share of the percentile levels at each end.
constexpr double kPercentileClip = 0.001;

void invertImage(const FrameView& frame);
// a := trunc(a/65535 * b/65535 * 65535); b is inverted in place first when backgroundBlack.
// Refuses (false, nothing changed) frames of different sizes.
bool multiplyImage(const FrameView& a, const FrameView& b, bool backgroundBlack);
// v < low: 0; v > high: 65535; else trunc((v - low) / (high - low) * 65535 + 0.5). With
// high == low the one remaining value maps to 0, the continuation of the ramp below it.
// Integral accumulation of a growing exposure: cur takes in prev. Black background: the screen
// blend trunc((1 - (1 - cur/65535) * (1 - prev/65535)) * 65535); white background (frames stored
// inverted): the product trunc(prev/65535 * cur/65535 * 65535); another value leaves cur.
// Refuses (false, nothing changed) frames of different sizes.
bool accumulate(const FrameView& cur, const FrameView& prev, int backgroundColor);
void stretchLevels(const FrameView& frame, int low, int high);
// 65536 bins of log10(1.1 + count) and their largest value; low 0 and high 65535.
void autoLevels(const FrameView& frame, HistogramInfo& levels);
// low and high at the sorted positions k and n - k (k = trunc(n * 0.001), both kept inside the
// frame), then high >= 2535 on a black background, low <= 63000 on a white one; the log histogram.
void percentileLevels(const FrameView& frame, int backgroundColor, HistogramInfo& levels);
// percentileLevels, then stretchLevels with them.
void percentileStretch(const FrameView& frame, int backgroundColor, HistogramInfo& levels);
// The high byte of every pixel, as an 8-bit single-channel matrix of the frame's size.
cv::Mat frameToMat8(const FrameView& frame);
// Rectangular bands of a blot (x, y, width, height in frame pixels); binning scales the area
// limits. The threshold search stops when no contour is large enough to average.
std::vector<QRect> detectBands(const FrameView& frame, int binning, int backgroundColor);

} // namespace kestrix
