#pragma once
// Pseudo colour of Western-blot frames: a colour scale chosen per pixel by a decision picture,
// the colour bar with its ticks, numbers and "High"/"Low" labels, and the paste of the coloured
// parts of a pseudo-colour picture onto another picture.

#include <cstdint>

#include <opencv2/core.hpp>

// Split value s = trunc(mean of the decision picture / 6) and ratio k = 255 / s (0 when s is 0).
struct PseudoSplit {
    int split = 0;
    uint8_t ratio = 0;
};
PseudoSplit pseudoSplit(const cv::Mat& decision);

// The Tucsen path keeps the values from 5s - 9 to 5s grey between the blue and purple bands;
// the Kestrix path colours them blue.
enum class PseudoScale { Tucsen, Kestrix };

// 8-bit BGR picture coloured by the 8-bit decision picture; pixels outside the bands take the
// grey picture's value. Empty, logged, unless both are 8-bit grey of one size.
cv::Mat pseudoColor(const cv::Mat& decision, const cv::Mat& grey, PseudoSplit split, PseudoScale scale);

struct LegendStyle {
    bool ticksAndNumbers = true;
    // The last colour stop: purple (120, 10, 70) on pseudo-colour pictures, magenta on pastes.
    bool magentaEnd = false;
    cv::Scalar textColor;        // ticks and numbers
    cv::Scalar labelColor;       // "High" and "Low"
    double labelThickness = 4.0; // times the picture's width / 3000
};

// Draws the colour bar near the right edge of an 8-bit BGR picture, in place. False (nothing
// drawn, logged) for another picture.
bool drawPseudoColorLegend(cv::Mat& image, const LegendStyle& style);

// Copies every pixel of pseudo whose three bytes are not all equal into base. False (base
// unchanged, logged) unless both are 8-bit BGR pictures of one size.
bool pasteColoured(cv::Mat& base, const cv::Mat& pseudo);
