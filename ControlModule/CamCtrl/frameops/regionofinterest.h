#pragma once
// The region of interest that saved pictures are cut to, and the search for the rectangles of
// bright objects in a captured frame.

#include <algorithm>
#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

#include "frameview.h"

// Right and bottom are inclusive; (0, 0, -1, -1) is "no region" / the whole frame.
struct RegionOfInterest {
    bool enabled = false;
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    void setCropRect(int x, int y, int width, int height)
    {
        left = x;
        top = y;
        right = clamped(int64_t(x) + width - 1);
        bottom = clamped(int64_t(y) + height - 1);
    }
    static int clamped(int64_t v) { return int(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX)); }
    cv::Rect rect() const { return cv::Rect(left, top, right - left + 1, bottom - top + 1); }
};

// The region intersected with a frame of the given size; empty when it is switched off, has
// no area, or lies outside the frame.
cv::Rect regionInFrame(const RegionOfInterest& roi, cv::Size frame);

// High byte of every 16-bit pixel, as a new 8-bit image.
cv::Mat highByteImage(const FrameView& frame);

// Bounding rectangles of the bright objects of frame (background dark when sampleImageBkColor
// is not 0), nested rectangles removed. binningIndex 0..7 scales the expected object sizes.
std::vector<cv::Rect> autoCrop(const FrameView& frame, int sampleImageBkColor, int binningIndex);
