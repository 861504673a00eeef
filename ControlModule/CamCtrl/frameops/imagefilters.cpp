#include "imagefilters.h"

#include <cmath>
#include <iostream>
#include <vector>

#include <QDebug>
#include <opencv2/imgproc.hpp>

#include "histograminfo.h"

namespace {

const std::vector<uint16_t>& gammaTable()
{
    static const std::vector<uint16_t> table = [] {
        std::vector<uint16_t> t(65536);
        for (int v = 0; v < 65536; ++v)
            t[v] = uint16_t(std::pow(v / 65535.0, 1.2) * 65535.0 + 0.5);
        return t;
    }();
    return table;
}

const cv::Mat& sharpenKernel()
{
    static const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
    return kernel;
}

// One row of sharpen3x3; left and right are the neighbours of the first and last pixel.
__attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
void sharpenRow(const uint16_t* up, const uint16_t* row, const uint16_t* down, uint16_t* out, int width)
{
    auto at = [](int centre, int a, int b, int c, int d) {
        const int v = 5 * centre - a - b - c - d;
        return uint16_t(v < 0 ? 0 : v > 65535 ? 65535 : v);
    };
    if (width == 1) {
        out[0] = at(row[0], up[0], down[0], row[0], row[0]);
        return;
    }
    out[0] = at(row[0], up[0], down[0], row[1], row[1]);
    for (int c = 1; c < width - 1; ++c)
        out[c] = at(row[c], up[c], down[c], row[c - 1], row[c + 1]);
    out[width - 1] = at(row[width - 1], up[width - 1], down[width - 1], row[width - 2], row[width - 2]);
}

// m := (1 - weight) m + weight sharpen3x3(m), saturated, with the library's weighted sum.
void weightedSharpen(cv::Mat& m, double weight, LargeBuffer* scratch)
{
    LargeBuffer local;
    cv::Mat sharp = (scratch ? scratch : &local)->mat(m.rows, m.cols, CV_16UC1);
    if (m.type() != CV_16UC1 || sharp.empty()) {
        cv::filter2D(m, sharp, -1, sharpenKernel(), cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
    } else {
        sharpen3x3(m, sharp);
    }
    cv::addWeighted(m, 1.0 - weight, sharp, weight, 0, m, m.type());
}

__attribute__((target_clones("avx2", "default")))
void subtractSaturated(uint16_t* p, size_t n, uint16_t amount)
{
    for (size_t i = 0; i < n; ++i)
        p[i] = p[i] > amount ? uint16_t(p[i] - amount) : 0;
}

} // namespace

void applyGamma(const FrameView& frame)
{
    const uint16_t* lut = gammaTable().data();
    const size_t n = frame.count();
    for (size_t i = 0; i < n; ++i)
        frame.pixels[i] = lut[frame.pixels[i]];
}

void medianFrame(const FrameView& frame)
{
    if (frame.empty())
        return;
    cv::Mat m = frame.mat();
    cv::medianBlur(m, m, 3);
}

void gaussianFrame(const FrameView& frame, double sigma)
{
    if (frame.empty())
        return;
    cv::Mat m = frame.mat();
    cv::GaussianBlur(m, m, cv::Size(5, 5), sigma, sigma, cv::BORDER_DEFAULT);
}

void sharpen16U(const FrameView& frame, bool isBeautifyPictures, int sharpenLevel, FilterScratch* scratch)
{
    if (!isBeautifyPictures || frame.empty())
        return;
    FilterScratch local;
    FilterScratch& s = scratch ? *scratch : local;
    cv::Mat m = frame.mat();
    // Each filter reads one buffer and writes the other: in place the library would copy the
    // frame into fresh memory first.
    cv::Mat median = s.first.mat(m.rows, m.cols, CV_16UC1);
    if (median.empty()) {
        medianFrame(frame);
        median = m;
    } else {
        cv::medianBlur(m, median, 3);
    }
    if (sharpenLevel == 0) {
        if (median.data != m.data)
            median.copyTo(m);
        return;
    }
    cv::GaussianBlur(median, m, cv::Size(5, 5), 0.5, 0.5, cv::BORDER_DEFAULT);
    weightedSharpen(m, sharpenLevel / 100.0, &s.first);
}

// Every sum here is an integer below 2^24 in magnitude, which float holds exactly, so the
// library's float filter gives exactly these integers whatever order it adds them in.
void sharpen3x3(const cv::Mat& image, cv::Mat& out)
{
    CV_Assert(image.type() == CV_16UC1);
    out.create(image.size(), CV_16UC1);
    const int rows = image.rows, cols = image.cols;
    for (int r = 0; r < rows; ++r) {
        // Reflected at the edges without the edge row itself; a single row is its own neighbour.
        const int up = r > 0 ? r - 1 : (rows > 1 ? 1 : 0);
        const int down = r + 1 < rows ? r + 1 : (rows > 1 ? rows - 2 : 0);
        sharpenRow(image.ptr<uint16_t>(up), image.ptr<uint16_t>(r), image.ptr<uint16_t>(down), out.ptr<uint16_t>(r),
                   cols);
    }
}

void beautifyIfEnabled(const FrameView& frame, bool isBeautifyPictures)
{
    if (!isBeautifyPictures || frame.empty())
        return;
    cv::Mat m = frame.mat();
    cv::Mat sharp;
    cv::filter2D(m, sharp, -1, sharpenKernel(), cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
    cv::addWeighted(m, 0.9, sharp, 0.1, 0, m, m.type());
}

void detailSharpen(cv::Mat& image, bool isDetailSharpend, int detailLevel)
{
    if (!isDetailSharpend || image.empty())
        return;
    if (image.type() != CV_16UC1) {
        qWarning() << "detailSharpen: not a 16-bit grey image" << image.type();
        return;
    }
    cv::Mat small;
    image.convertTo(small, CV_8U, 0.00390625);
    cv::medianBlur(small, small, 7);
    small.convertTo(image, CV_16U, 257);
    if (detailLevel == 0)
        return;
    cv::GaussianBlur(image, image, cv::Size(5, 5), 0.5, 0.5, cv::BORDER_DEFAULT);
    weightedSharpen(image, detailLevel / 100.0, nullptr);
}

void subtractScalar(const FrameView& frame, int value)
{
    if (value == 1 || frame.empty())
        return;
    const int64_t amount = (int64_t(value) * value - 1) * 32;
    if (amount <= 0)
        return;
    if (amount >= 65535) {
        std::fill(frame.pixels, frame.pixels + frame.count(), uint16_t(0));
        return;
    }
    subtractSaturated(frame.pixels, frame.count(), uint16_t(amount));
}

cv::Mat adjust16UToTargetMean(const cv::Mat& img, double targetMean)
{
    if (img.type() != CV_16UC1)
        cv::error(cv::Error::StsAssert, "img.type() == CV_16UC1", "adjust16UToTargetMean", __FILE__, __LINE__);
    const double m = cv::mean(img)[0];
    if (m == 0) {
        std::cerr << "警告：原图平均灰度值为 0，无法调整！返回原图。" << std::endl;
        return img.clone();
    }
    cv::Mat out;
    img.convertTo(out, CV_16U, targetMean / m);
    return out;
}

bool toColorImage(const FrameView& frame, const cv::Mat& tint, cv::Mat& out, int sampleImageBkColor)
{
    if (frame.empty() || tint.type() != CV_8UC3 || tint.rows != frame.height || tint.cols != frame.width
        || !tint.isContinuous()) {
        qWarning() << "toColorImage: tint refused" << tint.cols << tint.rows << tint.type();
        return false;
    }
    if (sampleImageBkColor == 1)
        invertImage(frame);
    cv::Mat grey;
    frame.mat().convertTo(grey, CV_8U, 1.0 / 256);
    cv::Mat colour(frame.height, frame.width, CV_8UC3);
    cv::cvtColor(grey, colour, cv::COLOR_GRAY2BGR);
    // 256 x 256 products: the blend is a table look-up per byte.
    static const std::vector<uint8_t> blend = [] {
        std::vector<uint8_t> t(65536);
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b)
                t[a * 256 + b] = uint8_t((a / 255.0) * (b / 255.0) * 255.0);
        return t;
    }();
    const size_t n = colour.total() * 3;
    uint8_t* o = colour.ptr<uint8_t>();
    const uint8_t* t = tint.ptr<uint8_t>();
    for (size_t i = 0; i < n; ++i)
        o[i] = blend[t[i] * 256 + o[i]];
    out = colour;
    return true;
}
