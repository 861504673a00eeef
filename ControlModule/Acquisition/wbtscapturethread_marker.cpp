// Frame work of the capture thread: integral accumulation and the colour marker.

#include "wbtscapturethread.h"

#include "cabinetlights.h"
#include "camerarun.h"
#include "colormarker.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"
#include "useropts.h"

#include <QDebug>

#include <algorithm>

void WBTSCaptureThread::addOverExposureInfo(int index, TsFrame& frame)
{
    if (index < (userOpts->markerCapture() ? 1 : 2))
        return;
    // The frame before it already holds the sum of all earlier ones.
    const TsFramePtr previous = frameStore->frameAt(frameStore->frameCount() - 1);
    const FrameView a = previous ? previous->view() : FrameView {};
    const FrameView b = frame.view();
    if (a.count() != b.count() || a.empty()) {
        qWarning() << "accumulation skipped: frames of different sizes" << a.width << a.height << b.width << b.height;
        return;
    }
    const int d = isFL9BW ? 400 : 30;
    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    const int bk = int(userOpts->sampleImageBkColor());
    const size_t n = a.count();
    const uint16_t* pp = a.pixels;
    uint16_t* qq = b.pixels;
    if (bk == UserOpts::Black) {
        for (size_t i = 0; i < n; ++i) {
            const int s = int(pp[i]) + int(qq[i]);
            qq[i] = s <= d ? 0 : uint16_t(std::min(s - d, 65535));
        }
    } else if (bk == UserOpts::White) {
        // Stored inverted: the sum of the signals is the sum of the complements' excess.
        for (size_t i = 0; i < n; ++i) {
            const int s = int(pp[i]) + int(qq[i]) + d;
            qq[i] = s <= 65535 ? 0 : uint16_t(std::min(s - 65535, 65535));
        }
    }
}

bool WBTSCaptureThread::grabFrame(acq::CameraRun& run, int slot)
{
    return acq::grabColourFrame(camCtrl, run, isFL9BW, colorFrameRecords[size_t(slot)], colorPlanes[size_t(slot)], {},
                                [this] { cameraError(); });
}

void WBTSCaptureThread::staining(cv::Mat& image, const QColor& colour)
{
    acq::stainImage(image, colour);
}

bool WBTSCaptureThread::composeColorMarker()
{
    return acq::composeColorMarker(colorPlanes);
}

bool WBTSCaptureThread::captureColorMarker()
{
    qDebug() << "开始彩色Marker，设置前景曝光时间: " << camCtrl->exposureTime.load();
    camCtrl->setExposureTime(camCtrl->exposureTime);
    acq::pauseMs(300);
    const int index = camCtrl->binningIndex;
    if (isFL9BW) {
        camCtrl->setGain(index <= 0 ? 2 : index == 1 ? 1 : 0);
        camCtrl->setExposureThreshold(15);
    }
    for (cv::Mat& plane : colorPlanes)
        plane.release();
    acq::CameraRun run(camCtrl, &frame);
    if (!run.start(captureMutex, true)) {
        cameraError();
        return false;
    }

    struct Step {
        quint8 on;
        quint8 off;
    };
    const Step steps[3] = {{GreenLightOn, GreenLightOff}, {RedLightOn, RedLightOff}, {BlueLightOn, BlueLightOff}};
    for (int slot = 0; slot < 3; ++slot) {
        lights->send(steps[slot].on);
        acq::pauseMs(300);
        if (camCtrl->isAbort) {
            run.stop();
            lights->send(steps[slot].off);
            camCtrl->setGain(double(camCtrl->gain.load()));
            return false;
        }
        grabFrame(run, slot);
        // Each colour alone: the light of this step goes off before the next one comes on.
        if (slot < 2)
            lights->send(steps[slot].off);
    }
    run.stop();
    lights->send(BlueLightOff);
    acq::pauseMs(300);
    if (!composeColorMarker())
        return false;
    qDebug() << "结束拍摄彩色marker";
    return true;
}

bool WBTSCaptureThread::checkAbort(acq::CameraRun& run)
{
    if (!camCtrl->isAbort)
        return false;
    acq::endCancelledMarker(camCtrl, run, *lights, Filter0);
    return true;
}

bool WBTSCaptureThread::captureColorMarkerWithLight()
{
    qDebug() << "开始彩色Marker，设置前景曝光时间: " << camCtrl->exposureTime.load();
    camCtrl->setExposureTime(camCtrl->exposureTime);
    const int index = camCtrl->binningIndex;
    if (isFL9BW)
        camCtrl->setGain(index <= 0 ? 2 : index == 1 ? 1 : 0);
    for (cv::Mat& plane : colorPlanes)
        plane.release();
    acq::CameraRun run(camCtrl, &frame);
    if (!run.start(captureMutex, true)) {
        cameraError();
        return false;
    }
    lightOn();
    if (checkAbort(run))
        return false;
    struct Step {
        quint8 filter;
        int settleMs;
    };
    const Step steps[3] = {{Filter535, 1000}, {Filter605, 1000}, {Filter715_840, 2000}};
    for (int slot = 0; slot < 3; ++slot) {
        if (slot > 0 && checkAbort(run))
            return false;
        lights->send(steps[slot].filter);
        acq::pauseMs(steps[slot].settleMs);
        grabFrame(run, slot);
    }
    run.stop();
    lights->send(Filter0);
    if (!composeColorMarker())
        return false;
    qDebug() << "结束拍摄彩色marker";
    return true;
}
