#include "pseudocolor.h"

#include <algorithm>
#include <array>
#include <string>

#include <QDebug>
#include <opencv2/imgproc.hpp>

namespace {

struct Colour {
    uint8_t b = 0, g = 0, r = 0;
    bool grey = false; // take the grey picture's value instead
};

uint8_t byteOf(int v)
{
    return uint8_t(std::min(255, std::max(0, v)));
}

// The colour of decision value v: the first band that holds it.
Colour colourOf(int v, int s, int k, PseudoScale scale)
{
    if (v <= s)
        return {0, byteOf(k * v), 255, false};
    if (v <= 2 * s)
        return {0, byteOf(165 + 2 * (v - s)), 255, false};
    if (v <= 3 * s)
        return {0, 255, byteOf(255 - k * (v - 2 * s)), false};
    if (v <= 4 * s)
        return {byteOf(k * (v - 3 * s)), 255, 0, false};
    if (scale == PseudoScale::Tucsen ? v < 5 * s - 9 : v <= 5 * s)
        return {255, byteOf(255 - k * (v - 4 * s)), 0, false};
    if (v <= 5 * s)
        return {0, 0, 0, true};
    if (v < 6 * s - 9)
        return {byteOf(255 - int(k * (v - 5 * s) / 2)), 10, byteOf(2 * (v - 5 * s)), false};
    return {0, 0, 0, true};
}

const cv::Scalar kStops[7] = {
    {0, 0, 255}, {0, 165, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}, {120, 10, 70},
};
const cv::Scalar kMagenta(255, 0, 255);

} // namespace

PseudoSplit pseudoSplit(const cv::Mat& decision)
{
    PseudoSplit out;
    if (decision.empty() || decision.type() != CV_8UC1)
        return out;
    out.split = int(cv::mean(decision)[0] / 6);
    out.ratio = out.split ? uint8_t(255 / out.split) : 0;
    return out;
}

cv::Mat pseudoColor(const cv::Mat& decision, const cv::Mat& grey, PseudoSplit split, PseudoScale scale)
{
    if (decision.empty() || decision.type() != CV_8UC1 || grey.type() != CV_8UC1 || grey.size() != decision.size()) {
        qWarning() << "pseudo colour needs two 8-bit grey pictures of one size" << decision.type() << grey.type();
        return cv::Mat();
    }
    std::array<Colour, 256> table;
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = colourOf(v, split.split, split.ratio, scale);
    cv::Mat out(decision.size(), CV_8UC3);
    for (int y = 0; y < decision.rows; ++y) {
        const uint8_t* d = decision.ptr<uint8_t>(y);
        const uint8_t* g = grey.ptr<uint8_t>(y);
        uint8_t* o = out.ptr<uint8_t>(y);
        for (int x = 0; x < decision.cols; ++x) {
            const Colour& c = table[d[x]];
            o[3 * x] = c.grey ? g[x] : c.b;
            o[3 * x + 1] = c.grey ? g[x] : c.g;
            o[3 * x + 2] = c.grey ? g[x] : c.r;
        }
    }
    return out;
}

bool drawPseudoColorLegend(cv::Mat& image, const LegendStyle& style)
{
    if (image.empty() || image.type() != CV_8UC3) {
        qWarning() << "colour bar needs an 8-bit colour picture; type" << image.type();
        return false;
    }
    const int width = image.cols, height = image.rows;
    const double f = width / 3000.0;
    const int barWidth = int(60 * f);
    const int x1 = int(width - 150 * f);
    const int x2 = x1 + barWidth;
    const int top = height / 10;
    const int segment = (4 * (height / 5)) / 6;
    // The numbers describe the picture as it was before the bar covered part of it.
    const int mean = int(cv::mean(image)[0]);

    cv::Scalar stops[7];
    std::copy(std::begin(kStops), std::end(kStops), stops);
    if (style.magentaEnd)
        stops[6] = kMagenta;
    for (int j = 0; j < 6 && segment > 0; ++j) {
        for (int i = 0; i < segment; ++i) {
            const double t = double(i) / segment;
            const cv::Scalar c = stops[j] * (1 - t) + stops[j + 1] * t;
            const int y = top + j * segment + i;
            cv::rectangle(image, cv::Point(x1, y), cv::Point(x2, y + 1), c, cv::FILLED);
        }
    }

    if (style.ticksAndNumbers) {
        const int thickness = std::max(1, int(2 * f));
        const int valueTop = mean >= 128 ? mean : 255 - mean;
        for (int n = 0; n <= 6; ++n) {
            const int y = top + n * segment;
            cv::line(image, cv::Point(x2, y), cv::Point(int(x2 + 20 * f), y), style.textColor, thickness, cv::LINE_8);
            const std::string number = n == 6 ? std::string("0") : std::to_string(valueTop - n * (valueTop / 6));
            cv::putText(image, number, cv::Point(int(x2 + 20 * f), int(y + 5 * f)), cv::FONT_HERSHEY_SIMPLEX, f,
                        style.textColor, thickness, cv::LINE_AA);
        }
    }
    // OpenCV draws nothing sensible below one pixel of stroke.
    const int labelThickness = std::max(1, int(style.labelThickness * f));
    cv::putText(image, "High", cv::Point(int(x1 - 135 * f), int(top + 45 * f)), cv::FONT_HERSHEY_SIMPLEX, 1.8 * f,
                style.labelColor, labelThickness, cv::LINE_AA);
    cv::putText(image, "Low", cv::Point(int(x1 - 120 * f), 9 * (height / 10)), cv::FONT_HERSHEY_SIMPLEX, 1.8 * f,
                style.labelColor, labelThickness, cv::LINE_AA);
    return true;
}

bool pasteColoured(cv::Mat& base, const cv::Mat& pseudo)
{
    if (base.empty() || base.type() != CV_8UC3 || pseudo.type() != CV_8UC3 || base.size() != pseudo.size()) {
        qWarning() << "paste needs two 8-bit colour pictures of one size" << base.cols << base.rows << pseudo.cols
                   << pseudo.rows;
        return false;
    }
    for (int y = 0; y < base.rows; ++y) {
        const uint8_t* p = pseudo.ptr<uint8_t>(y);
        uint8_t* b = base.ptr<uint8_t>(y);
        for (int x = 0; x < base.cols; ++x, p += 3, b += 3) {
            if (p[0] != p[1] || p[1] != p[2]) {
                b[0] = p[0];
                b[1] = p[1];
                b[2] = p[2];
            }
        }
    }
    return true;
}
