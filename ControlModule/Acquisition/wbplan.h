#pragma once
// The rules of the Western-blot acquisition with the Tucsen camera as plain functions: binning
// tables, the camera region, the exposure list and frame plan of a capture, the exposure
// formula of the estimation and the focus-search decisions of the preview.

#include <QString>

#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

#include "cameraregion.h"
#include "focussearch.h"

namespace wbplan {

// The binning tables, the camera region and the focus decision are those of every mode.
using acq::alignTo4;
using acq::binningFactor;
using acq::focusDecision;
using acq::FocusStep;
using acq::Region;
// The camera region of the preview and the capture from the user's offsets (unbinned pixels).
inline Region cameraRegion(bool isFL9BW, bool isMini, int binningIndex, int wbX, int wbY, int wbW, int wbH)
{
    return acq::cameraRegion(isFL9BW, isMini, binningIndex, {wbX, wbY, wbW, wbH});
}

// Exposure list of a multiple capture. Units: 0 ms, 1 s, 2 min; others give 0.
struct ExpListInput {
    bool listChanged = false;     // multiCapExpTimesChanged: the explicit list wins
    QString explicitList;         // multiCapExpTimes, comma-separated
    int count = 0;                // multiCapCount
    int first = 0;
    int firstUnit = 0;
    int delta = 0;
    int deltaUnit = 0;
    bool integralAccumulate = false;
};
int toMilliseconds(int value, int unit);
std::vector<int> buildExpTimeList(const ExpListInput& in);

// Frame count of a capture, bounded by what the exposure list can feed (multiple capture).
struct PlanInput {
    bool single = true;           // singleCaptureVisible
    double singleExposure = 0;    // 0: marker frame only
    bool markerCapture = false;   // true: no marker frame
    int multiCapCount = 0;
    std::vector<int> expTimeList;
    double previewExposure = 0;
};
int framesToAcquire(const PlanInput& in, bool* bounded = nullptr);

enum class Light { Keep, On, Off };
struct FramePlan {
    bool sample = false;          // taken with the light off
    Light light = Light::Keep;
    int accumulated = 0;          // exposure of the frames summed before this one (ms)
    double exposure = 0;          // this frame's exposure (ms)
    bool savedAsMarker = false;   // saved as "_Marker" (kind 0)
};
// Plan of frame i (0-based) of a capture; i must be below framesToAcquire().
FramePlan planFrame(const PlanInput& in, int i);

// Time-out of the frame wait of an exposure of exposureMs (camera time, scaled by timeScale):
// the exposure plus a margin for readout, never below the camera's fixed hour.
int32_t frameWaitMs(double exposureMs, double timeScale);

// Estimated exposure (ms, truncated) for a reference taken at curExp (ms) whose bright regions
// average grey; 300000 for grey <= 0. target is the target grey.
int calcExposureTime(int curExp, double grey, double target, bool isFL9BW, int binningIndex);
// The estimate kept within [1, maximum].
int clampEstimate(int estimate, int maximum);

// The estimation region (fractions of the image) in pixels, clipped to the image. Empty when
// nothing of it lies inside.
cv::Rect estimationRect(cv::Size image, double x, double y, double width, double height);

} // namespace wbplan
