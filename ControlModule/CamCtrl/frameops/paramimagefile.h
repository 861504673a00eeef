#pragma once
// The raw image of a result with the display parameters that were in force (".data" beside
// the picture): rows, cols, type code, pixels, then five optional parameters.

#include <cstdint>

#include <QString>
#include <opencv2/core.hpp>

struct ParamImage {
    cv::Mat image;          // empty when the file was refused; then the rest is meaningless
    int sharpLevel = 0;     // -> curDetailSharpenLevel
    bool sharpen = false;   // -> isDetailSharpend
    bool stretch = true;    // -> isDetailStretch
    int stretchLow = 0;     // -> curDetailMinInten
    int stretchHigh = 0;    // -> curDetailMaxInten
};

// Writes the file through a temporary name in the same folder; true when it is in place.
bool writeDataFile(const QString& path, const cv::Mat& image, int sharpLevel, bool sharpen, bool stretch,
                   int stretchLow, int stretchHigh);

// Reads a file; a missing, truncated or malformed header or pixel block gives an empty image.
ParamImage readParamFile(const QString& path);
