#pragma once
// Byte blends of 8-bit pictures through 256 x 256 tables filled once from the per-byte formulas,
// so that each table read is the formula's exact result.

#include <cstdint>

#include <opencv2/core.hpp>

// Screen: a + b when a x b is 0, else trunc((1 - (1 - a/255)(1 - b/255)) x 255); [a * 256 + b].
const uint8_t* screenTable();
// Multiply: trunc(a/255 x b/255 x 255); [a * 256 + b].
const uint8_t* multiplyTable();

// acc := screen(acc, add) byte by byte. Both must be 8-bit pictures of one size and channel
// count; otherwise false, logged, and acc unchanged.
bool screenBlend(cv::Mat& acc, const cv::Mat& add);
// b := multiply(b, a) byte by byte, under the same rule.
bool multiplyBytes(cv::Mat& b, const cv::Mat& a);
