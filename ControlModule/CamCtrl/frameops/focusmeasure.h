#pragma once
// Sharpness of preview frames during the focus search.

#include <vector>

#include <opencv2/core.hpp>

// out := the middle half of image in each direction (a view, no copy).
void cropRoi(const cv::Mat& image, cv::Mat& out);

// Mean gradient magnitude (central differences, reflected borders) of the first channel. A view
// into a larger image takes its outer neighbours from that image, as OpenCV's filters do.
double focusMeasure(const cv::Mat& image);

// True when the last five sharpness values (oldest first) are not flat within 0.5 % of their mean.
// Any other count, or a mean of 0, gives false.
bool isFocusPeak(const std::vector<double>& values);
