#pragma once
// Histogram and display levels of 16-bit frames, the stretch that applies the levels, and the
// small pixel blends of marker and background handling.

#include <cstdint>
#include <vector>

#include "frameview.h"

struct HistogramInfo {
    int32_t low = 0;
    int32_t high = 0;
    double maxLog = 0;
    std::vector<double> logHist; // log10(1.1 + pixel count) per grey value, 65536 entries
};

// Pixel counts per grey value (65536 entries).
std::vector<uint32_t> countHistogram(const FrameView& frame);

// logHist and maxLog from the frame; low 0, high 65535.
void computeLogHistogram(const FrameView& frame, HistogramInfo& info);

// Black and white points clipping `percent` of the pixels at each end. The white point loses a
// margin of 300 when the range exceeds 600; then low <= 60000 and high >= 2535.
void computeDisplayLevels(const FrameView& frame, double percent, HistogramInfo& info);
// The same without the white-point margin.
void computeDisplayLevelsPlain(const FrameView& frame, double percent, HistogramInfo& info);

// Clip values (before margin and clamps) from a count histogram of n pixels: the values at
// sorted positions k and n - k (n - 1 when k is 0), k = trunc(percent * n) bounded so that
// both positions lie inside the frame. An empty histogram gives 0 and 0.
struct ClipValues {
    int low = 0;
    int high = 0;
};
ClipValues clipValues(const std::vector<uint32_t>& counts, double percent);

// Pixels mapped onto 0..65535: below low 0, above high 65535, from low to high
// (v - low) / (high - low) * 65535 + 0.5 truncated, as in double precision (0 when low == high).
void stretchLevels(const FrameView& frame, int low, int high);
// The same from source into target (the same pixels, or ones that do not overlap); false when
// the sizes differ.
bool stretchLevels(const FrameView& source, const FrameView& target, int low, int high);
void autoLevelFrame(const FrameView& frame, double percent, HistogramInfo& info);
void autoLevelFramePlain(const FrameView& frame, double percent, HistogramInfo& info);

void invertImage(const FrameView& frame);
// a := trunc(a/65535 * b/65535 * 65535); b is inverted in place first when backgroundColor is 1.
// Returns false (nothing changed) when the sizes differ.
bool multiplyImage(const FrameView& a, const FrameView& b, int backgroundColor);
// Minimum and median of a 16-bit matrix (median of an even count: truncated mean of the two
// middle values), written to the log as "minValue: " and " median: ". Empty: both 0.
struct MinMedian {
    int minValue = 0;
    int median = 0;
};
MinMedian logMinAndMedian(const cv::Mat& image);
// dst[i] := src[i] wherever mask[i] is not 0 (count bytes each).
void copyMasked(size_t count, uint8_t* dst, const uint8_t* src, const uint8_t* mask);

// Screen blend of two 8-bit planes of width x height bytes into dst.
void mergeImages(int width, int height, uint8_t* dst, const uint8_t* src);
