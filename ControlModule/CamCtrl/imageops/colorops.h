#pragma once
// Colour operations of the fluorescence and gel pages: channel pictures for the merge, staining
// with one colour, and the dye colour map.

#include <QColor>
#include <QString>
#include <opencv2/core.hpp>

// A channel picture as 8-bit BGR: a colour picture as read; any other picture read again as
// 8-bit grey and expanded to three channels. Empty, logged, when the file cannot be read.
cv::Mat readChannelPicture(const QString& path);

// Every pixel's grey, the mean of its three bytes, scaled by the colour's components:
// channel' = trunc(grey x component / 255). In place on an 8-bit BGR picture; false otherwise.
bool stainPicture(cv::Mat& bgr, const QColor& color);
// "_SRed", "_SGreen", "_SBlue" for the three staining colours, "" for any other.
QString stainSuffix(Qt::GlobalColor color);

// The dye colour map: 256 entries from the colour (entry 0) lightening towards white,
// entry i = c + (255 - c) x i / 256 per channel, truncated; 256 x 1, 8-bit BGR.
cv::Mat dyeTable(const QColor& color);
// The picture through the colour map (each pixel's grey value picks the entry), in place on an
// 8-bit BGR picture; false, logged, otherwise.
bool dyePicture(cv::Mat& bgr, const QColor& color);
