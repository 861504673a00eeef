#pragma once
// Pictures on screen: the conversion of 16-bit grey, 8-bit grey and 8-bit colour pictures into
// images the painter draws, the smooth scaling to the shown size, the fitting rule of the views,
// and the full-resolution canvas that overlays are drawn on.

#include <cstdint>

#include <QImage>
#include <QPoint>
#include <QSize>
#include <opencv2/core.hpp>

// The 8-bit display level of a 16-bit grey value: v x 255 / 65535, rounded.
inline uint8_t displayLevel(uint16_t v)
{
    return uint8_t((uint32_t(v) + 128) / 257);
}

// 16-bit grey, 8-bit grey, 8-bit BGR and 8-bit BGRA pictures can be shown.
bool isDisplayable(const cv::Mat& picture);

// The picture at target size: area averaging when it shrinks, bilinear when it grows, the picture
// itself at its own size. Empty for an empty or unsupported picture or an empty target.
cv::Mat scalePicture(const cv::Mat& picture, cv::Size target);

// An image the painter draws: Grayscale8 for grey pictures (16-bit through displayLevel), RGB32
// for colour ones. Null, logged, for any other picture.
QImage displayImage(const cv::Mat& picture);

// scalePicture and displayImage in the cheaper order (the conversion on the fewer pixels).
QImage renderPicture(const cv::Mat& picture, QSize target);

// An 8-bit BGRA copy of the picture to draw overlays on at full resolution; empty when the
// picture cannot be shown. canvasImage is a QImage (RGB32) over the canvas's own pixels.
cv::Mat overlayCanvas(const cv::Mat& picture);
QImage canvasImage(cv::Mat& canvas);

// Where a picture of picture size goes in a display box, and the item's size after it.
struct PictureFit {
    double scale = 1.0; // the view's scale after the fit
    QSize shown;        // the scaled picture
    QPoint topLeft;     // where it is drawn, in item pixels
    QSize itemSize;     // the item's size
};

// The capture and library views: adapt fits the picture into the box, origin shows it 1:1
// when it fits and fits it otherwise (both one-shot; the scale is kept otherwise). The scaled
// picture keeps its aspect ratio and is centred when it fits in the box; otherwise the item
// takes the picture's size and the picture is drawn at (0, 0).
PictureFit fitPicture(QSize picture, QSize box, double scale, bool adapt, bool origin);

// The Kestrix view: unscaled when the box is larger in both directions, else fitted into the
// box; drawn at (0, 0) with the item at the shown size.
PictureFit fitIntoBox(QSize picture, QSize box);
