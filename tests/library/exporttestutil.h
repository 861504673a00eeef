#pragma once
// Reading exported files back: the TIFF tags with libtiff, the pixels with OpenCV.

#include <QString>
#include <opencv2/core.hpp>

struct TiffTags {
    bool ok = false;
    int width = 0;
    int height = 0;
    int samples = 0;
    int bits = 0;
    float xdpi = 0;
    float ydpi = 0;
    int unit = 0;
    int compression = 0;
};

TiffTags readTiffTags(const QString& path);
cv::Mat readBack(const QString& path);
// Pixels that differ between two pictures of one size and type inside rect.
int changedPixels(const cv::Mat& a, const cv::Mat& b, const cv::Rect& rect);
// The band of the overlay's three lines (bottom-left corner of a picture of that height).
cv::Rect overlayBand(int width, int height);
