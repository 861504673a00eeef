// The colour marker of a gel capture: the main white lamp on, three frames through the green,
// red and near-infrared filters, each after the camera's automatic exposure has settled and
// corrected against the reference pair of its filter, then tinted and blended.

#include "geltscapturethread.h"

#include "cabinetlights.h"
#include "camerarun.h"
#include "colormarker.h"
#include "enumobj.h"
#include "flatfieldreferences.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"

#include <QDebug>

namespace {
// The wheel turns and the lamp settles before a marker frame; the return needs less.
constexpr int kFilterSettleMs = 2000;
constexpr int kReturnSettleMs = 1000;
} // namespace

quint8 GelTSCaptureThread::backFilter() const
{
    return (m_lightType == EnumOBJ::UV302 || m_lightType == EnumOBJ::Blue) ? quint8(Filter590) : quint8(Filter0);
}

void GelTSCaptureThread::lightOn()
{
    if (lights)
        lights->lightOn();
}

void GelTSCaptureThread::lightOff()
{
    if (lights)
        lights->lightOff();
}

bool GelTSCaptureThread::checkMarkerAbort(acq::CameraRun& run)
{
    if (!h695ICECamCtrl->isAbort)
        return false;
    acq::endCancelledMarker(h695ICECamCtrl, run, *lights, backFilter());
    return true;
}

bool GelTSCaptureThread::captureFrame(acq::CameraRun& run, int slot, int filter)
{
    return acq::grabColourFrame(
        h695ICECamCtrl, run, isFL9BW, markerFrames[size_t(slot)], markerMats[size_t(slot)],
        [this, filter](TsFrame& f) { loadCalibration(f, filter); }, [this] { cameraError(); });
}

void GelTSCaptureThread::loadCalibration(TsFrame& f, int filter)
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    qDebug() << "fliter: " << filter << cam->references.ffcBinFactor();
    if (!cam->isFFC)
        return;
    qDebug() << "frame.usHeight, frame.usWidth: " << f.height() << f.width();
    // The pair's matrices are the frame's size each time: they are filled again, not made anew.
    if (!cam->calculateBySizeForColorMarker(f.record(), filter, markerLight, markerDark)) {
        qDebug() << "校准数据为空";
        return;
    }
    correctFlatField(f.view(), markerLight.ptr<uint16_t>(), markerDark.ptr<uint16_t>(), 65535);
}

bool GelTSCaptureThread::colorizeMarker()
{
    return acq::composeColorMarker(markerMats);
}

bool GelTSCaptureThread::captureColorMarker()
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    qDebug() << "开始拍摄彩色marker";
    if (isFL9BW) {
        const int index = cam->binningIndex;
        cam->setGain(index > 1 ? 0.0 : index == 1 ? 1.0 : 2.0);
    }
    for (cv::Mat& plane : markerMats)
        plane.release();

    acq::CameraRun run(cam, &frame);
    if (!run.start(captureMutex, true)) {
        cameraError();
        return false;
    }
    lightOn();
    if (checkMarkerAbort(run))
        return false;
    struct Step {
        quint8 position;
        int filter;
    };
    const Step steps[3] = {{Filter535, EnumOBJ::F_535nm}, {Filter605, EnumOBJ::F_605nm},
                           {Filter715_840, EnumOBJ::F_840nm}};
    for (int slot = 0; slot < 3; ++slot) {
        if (slot > 0 && checkMarkerAbort(run))
            return false;
        lights->send(steps[slot].position);
        acq::pauseMs(kFilterSettleMs);
        if (!captureFrame(run, slot, steps[slot].filter)) {
            // Blending needs all three frames: a missing one ends the marker as a cancel does,
            // and the plain picture stands.
            if (!checkMarkerAbort(run)) {
                qWarning() << "colour marker given up: frame" << slot << "failed";
                acq::endCancelledMarker(cam, run, *lights, backFilter());
            }
            return false;
        }
    }
    if (checkMarkerAbort(run))
        return false;
    qDebug() << "拍摄结束，切回0";
    lights->send(backFilter());
    acq::pauseMs(kReturnSettleMs);
    qDebug() << "切回0成功";
    run.stop();
    // The lamp was lit for the marker only.
    lightOff();
    return colorizeMarker();
}
