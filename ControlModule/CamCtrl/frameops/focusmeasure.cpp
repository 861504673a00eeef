#include "focusmeasure.h"

#include <cmath>

#include <opencv2/imgproc.hpp>

#include "simdlanes.h"

namespace {

double referenceMeasure(const cv::Mat& image)
{
    cv::Mat first = image;
    if (image.channels() > 1)
        cv::extractChannel(image, first, 0);
    cv::Mat gx, gy, mag;
    cv::Sobel(first, gx, CV_64F, 1, 0, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::Sobel(first, gy, CV_64F, 0, 1, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::magnitude(gx, gy, mag);
    return cv::mean(mag)[0];
}

// One row: up, row and down point at column 0 of the view; left and right say where the
// neighbours of the first and last column lie (-1/+1 inside the parent, +1/-1 when reflected).
template <typename T>
inline __attribute__((always_inline)) double rowSum(const T* up, const T* row, const T* down, int width, int leftAt, int rightAt)
{
    auto at = [](double gx, double gy) { return std::sqrt(gx * gx + gy * gy); };
    if (width == 1)
        return at(double(row[rightAt]) - double(row[leftAt]), double(down[0]) - double(up[0]));
    double sum = at(double(row[1]) - double(row[leftAt]), double(down[0]) - double(up[0]));
    for (int c = 1; c < width - 1; ++c) {
        const double gx = double(int(row[c + 1]) - int(row[c - 1]));
        const double gy = double(int(down[c]) - int(up[c]));
        sum += std::sqrt(gx * gx + gy * gy);
    }
    const int last = width - 1;
    sum += at(double(row[last + rightAt]) - double(row[last - 1]), double(down[last]) - double(up[last]));
    return sum;
}

// One instance per instruction set: the loop above vectorises to the widest lanes each allows
// (eight double square roots at a time on zmm registers).
LANES_AVX512 double rowSum16Avx512(const uint16_t* up, const uint16_t* row, const uint16_t* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt);
}
LANES_AVX2 double rowSum16Avx2(const uint16_t* up, const uint16_t* row, const uint16_t* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt);
}
double rowSum16Plain(const uint16_t* up, const uint16_t* row, const uint16_t* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt);
}
LANES_AVX512 double rowSum8Avx512(const uint8_t* up, const uint8_t* row, const uint8_t* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt);
}
LANES_AVX2 double rowSum8Avx2(const uint8_t* up, const uint8_t* row, const uint8_t* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt);
}
double rowSum8Plain(const uint8_t* up, const uint8_t* row, const uint8_t* down, int width, int leftAt, int rightAt)
{
    return rowSum(up, row, down, width, leftAt, rightAt);
}

template <typename T>
using RowSum = double (*)(const T*, const T*, const T*, int, int, int);

RowSum<uint16_t> rowSumFor(uint16_t)
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512: return rowSum16Avx512;
    case lanes::Isa::Avx2: return rowSum16Avx2;
    case lanes::Isa::Plain: break;
    }
    return rowSum16Plain;
}
RowSum<uint8_t> rowSumFor(uint8_t)
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512: return rowSum8Avx512;
    case lanes::Isa::Avx2: return rowSum8Avx2;
    case lanes::Isa::Plain: break;
    }
    return rowSum8Plain;
}

template <typename T>
double fastMeasure(const cv::Mat& image)
{
    cv::Size whole;
    cv::Point ofs;
    image.locateROI(whole, ofs);
    const int w = image.cols, h = image.rows;
    const ptrdiff_t step = ptrdiff_t(image.step[0] / sizeof(T));
    // Reflect-101 at the parent's edges; a single pixel line reflects onto itself.
    const int leftAt = ofs.x > 0 ? -1 : (whole.width > 1 ? 1 : 0);
    const int rightAt = ofs.x + w < whole.width ? 1 : (whole.width > 1 ? -1 : 0);
    const RowSum<T> rowSumOf = rowSumFor(T());
    double total = 0;
    for (int r = 0; r < h; ++r) {
        const T* row = image.ptr<T>(r);
        const int absRow = ofs.y + r;
        const ptrdiff_t upAt = absRow > 0 ? -step : (whole.height > 1 ? step : 0);
        const ptrdiff_t downAt = absRow + 1 < whole.height ? step : (whole.height > 1 ? -step : 0);
        total += rowSumOf(row + upAt, row, row + downAt, w, leftAt, rightAt);
    }
    return total / (double(w) * double(h));
}

} // namespace

void cropRoi(const cv::Mat& image, cv::Mat& out)
{
    const int x = image.cols / 4, y = image.rows / 4;
    out = image(cv::Rect(x, y, 2 * x, 2 * y));
}

double focusMeasure(const cv::Mat& image)
{
    if (image.empty())
        return 0;
    switch (image.type()) {
    case CV_16UC1:
        return fastMeasure<uint16_t>(image);
    case CV_8UC1:
        return fastMeasure<uint8_t>(image);
    default:
        return referenceMeasure(image);
    }
}

bool isFocusPeak(const std::vector<double>& values)
{
    if (values.size() != 5)
        return false;
    double mean = 0;
    for (double v : values)
        mean += v;
    mean /= 5;
    if (mean == 0 || !std::isfinite(mean))
        return false;
    double r[5];
    for (int i = 0; i < 5; ++i)
        r[i] = values[i] / mean;
    return r[2] - r[1] >= 0.005 || r[2] - r[3] >= 0.005 || r[3] - r[4] >= 0.005 || r[1] - r[0] >= 0.005;
}
