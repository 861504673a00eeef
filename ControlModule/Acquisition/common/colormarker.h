#pragma once
// The colour marker as the Western-blot and gel captures take it: three frames of the sample in
// three colours (lamps or filters), each after the camera's automatic exposure has settled,
// evened to one brightness, tinted green, red and blue and blended into one 8-bit picture; and
// what a cancelled colour marker leaves behind.

#include <QColor>
#include <QtGlobal>

#include <array>
#include <functional>
#include <memory>

#include <opencv2/core.hpp>

#include "tsframe.h"
#include "tucam.h"

class H695ICECamCtrl;

namespace acq {

class CabinetLights;
class CameraRun;

// Automatic exposure on until the exposure (and, off the FL9BW camera, the gain) read after
// three frames in a row agree; at most 20 frames, 1 s after the first and 500 ms after each
// later one; a set abort flag ends it early. Automatic exposure off again, the values logged.
void settleAutoExposure(H695ICECamCtrl* cam, TUCAM_FRAME* frame, bool isFL9BW);

// One colour frame of a running camera: the exposure settles, then the next frame becomes
// record (a copy with its own buffer), is corrected (the gel's reference correction; may be
// empty), filtered as the pictures are (beautifyIfEnabled), and copied into plane as a 16-bit
// image. False after an aborted or failed wait (logged; a failure also calls cameraError).
bool grabColourFrame(H695ICECamCtrl* cam, CameraRun& run, bool isFL9BW, std::shared_ptr<TsFrame>& record,
                     cv::Mat& plane, const std::function<void(TsFrame&)>& correct,
                     const std::function<void()>& cameraError);

// A 16-bit grey image becomes an 8-bit BGR picture tinted with colour, in place.
void stainImage(cv::Mat& image, const QColor& colour);

// planes: the green, red and blue frames, 16-bit and of one size. Evened to the mean of the
// first (unless it is 0), tinted green, red and blue, and screen-blended into planes[0]; the other
// two are released. False (planes emptied) when a plane is missing or of another size or type.
bool composeColorMarker(std::array<cv::Mat, 3>& planes);

// A cancelled colour marker: the camera stopped, the filter wheel back at backFilter, the light
// off, the preview's gain and exposure back on the camera.
void endCancelledMarker(H695ICECamCtrl* cam, CameraRun& run, CabinetLights& lights, quint8 backFilter);

} // namespace acq
