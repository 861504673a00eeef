#pragma once
// Overlays of the live and capture views, drawn at the picture's full resolution on an overlay
// canvas (displayimage.h), never on a camera frame.

#include <cstdint>
#include <vector>

#include <QList>
#include <QRect>
#include <QSize>
#include <opencv2/core.hpp>

class QPainter;

// The corners of the focus area: with X = w / 5, Y = h / 5 and arms A = w / 10, one horizontal
// and one vertical arm pointing inwards at (X, Y), (4X, Y), (X, 4Y) and (4X, 4Y). Black, pen
// width 15 / (binning index + 1).
void drawFocusMarks(QPainter& painter, QSize picture, int binningIndex);

// Analysis rectangles (x, y, width, height) in red, pen width 1.
void drawAnalysisRects(QPainter& painter, const QList<QRect>& rects);

// The operator's cut region in red, pen width 6 / (binning index + 1).
void drawCutRect(QPainter& painter, const QRect& cut, int binningIndex);

// Counts the ones of the over-exposure mask (one byte per pixel, row by row); when there are more
// than threshold, the marked pixels of the canvas (8-bit BGRA) turn red. Returns the count; a
// mask that is not one byte per canvas pixel changes nothing and returns -1.
long markOverExposure(cv::Mat& canvas, const std::vector<uint8_t>& mask, int threshold);
