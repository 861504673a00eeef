#pragma once
// Grey levels of stored pictures, which come as 16-bit grey, 8-bit grey or colour: the stretch
// and the histogram dispatch on the picture's type and refuse colour pictures with a log line.

#include <opencv2/core.hpp>

#include "frameview.h"
#include "histograminfo.h"

// A 16-bit grey view of a grey picture: the picture's own pixels when it is continuous 16-bit
// grey, else a copy in holder (8-bit values v become v x 257, so 255 stays the top level). Empty
// for colour and other pictures.
FrameView greyView(const cv::Mat& picture, cv::Mat& holder);

// out := source stretched to low..high as the frame operations stretch (low = high is a step):
// 16-bit grey directly; 8-bit grey through the same map on v x 257, shown back at 8 bits. Other
// pictures: out is a copy of source and the result false (logged).
bool stretchPicture(const cv::Mat& source, int low, int high, cv::Mat& out);

// The histogram record of a grey picture (65536 bins, low 0, high 65535); false for others.
bool pictureHistogram(const cv::Mat& picture, HistogramInfo& info);
// The same with the automatic display range: percent of the pixels clipped at each end, read from
// the cumulative counts, then the margin and clamps of the capture path.
bool pictureDisplayLevels(const cv::Mat& picture, double percent, HistogramInfo& info);
