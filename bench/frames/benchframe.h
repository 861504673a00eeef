#pragma once
// A blot-like 16-bit camera frame: dark background with noise, a few bright bands, a saturated spot.

#include <opencv2/core.hpp>

constexpr int kBenchWidth = 2688;
constexpr int kBenchHeight = 2200;

cv::Mat benchFrame(int width = kBenchWidth, int height = kBenchHeight);
