#pragma once
// In-place filters of 16-bit frames: gamma, noise reduction and sharpening, level subtraction,
// scaling to a mean, and the tinted colour picture. Switches and strengths come as arguments.

#include <opencv2/core.hpp>

#include "frameview.h"
#include "largebuffer.h"

// Frame-sized intermediates of the filters, kept by a caller that filters frame after frame.
struct FilterScratch {
    LargeBuffer first;
};

void applyGamma(const FrameView& frame);
void medianFrame(const FrameView& frame);
void gaussianFrame(const FrameView& frame, double sigma);
// Median 3, then (level > 0) Gaussian 0.5 and a sharpening weighted by level percent. The
// intermediates go to scratch when given.
void sharpen16U(const FrameView& frame, bool isBeautifyPictures, int sharpenLevel, FilterScratch* scratch = nullptr);
// The 3 x 3 sharpening (5 at the centre, -1 at the four sides, reflected borders) of a 16-bit
// grey image into out, saturated to 0..65535: OpenCV's filter2D with that kernel, pixel for pixel.
void sharpen3x3(const cv::Mat& image, cv::Mat& out);
// Fixed 10 % sharpening.
void beautifyIfEnabled(const FrameView& frame, bool isBeautifyPictures);
// 8-bit median 7 (the image keeps 256 grey levels), then sharpening by level percent.
void detailSharpen(cv::Mat& image, bool isDetailSharpend, int detailLevel);
// Every pixel minus (value x value - 1) x 32, saturated at 0; value 1 changes nothing.
void subtractScalar(const FrameView& frame, int value);
// The image scaled to the target mean; raises an OpenCV error for anything but 16-bit grey.
cv::Mat adjust16UToTargetMean(const cv::Mat& img, double targetMean);
// out := grey frame (inverted first when sampleImageBkColor is 1) multiplied with the tint.
// Refuses (false, out untouched) a tint that is not 8-bit three-channel of the frame's size.
bool toColorImage(const FrameView& frame, const cv::Mat& tint, cv::Mat& out, int sampleImageBkColor);
