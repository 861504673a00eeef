#include "wbtspreviewthread.h"

#include "h695icecamctrl.h"
#include "useropts.h"
#include "wbplan.h"

#include <QDebug>

namespace {
// The lens reply that ends a focus wait may never come: the wait is sliced so that a stopped
// preview or search is seen within this time.
constexpr int kFocusWaitSliceMs = 50;
}

WBTSPreviewThread::WBTSPreviewThread(QObject* parent)
    : QThread(parent)
    , camCtrl(H695ICECamCtrl::getInstance())
    , userOpts(UserOpts::getInstance())
{
}

WBTSPreviewThread::~WBTSPreviewThread() = default;

void WBTSPreviewThread::loadWbRoi()
{
    userOpts->loadUserOptsByName(UserOpts::OPT_WBX);
    userOpts->loadUserOptsByName(UserOpts::OPT_WBY);
    userOpts->loadUserOptsByName(UserOpts::OPT_WBW);
    userOpts->loadUserOptsByName(UserOpts::OPT_WBH);
    wbX = userOpts->wbX();
    wbY = userOpts->wbY();
    wbW = userOpts->wbW();
    wbH = userOpts->wbH();
}

int WBTSPreviewThread::alignTo4(int v)
{
    return wbplan::alignTo4(v);
}

void WBTSPreviewThread::run()
{
    runPreview();
    // No live frame outlives the preview, whichever way the loop ended.
    camCtrl->clearCurrentFrame();
    // A search cannot go on without frames: the lens side sees the stop and empties both
    // semaphores instead of waiting for a measurement that will never come.
    if (camCtrl->isFocusMeasuring || !camCtrl->isFocusStop) {
        camCtrl->isFocusStop = true;
        camCtrl->isFocusMeasuring = false;
    }
}

void WBTSPreviewThread::runPreview()
{
    loadWbRoi();
    const int index = camCtrl->binningIndex;
    if (isFL9BW)
        camCtrl->setBinning(index);
    else
        camCtrl->setResolution(index);
    camCtrl->setGain(double(camCtrl->gain.load()));
    camCtrl->setExposureTime(camCtrl->exposureTime);
    camCtrl->setHorizontalMirror(1);
    camCtrl->setVerticalMirror(0);

    const wbplan::Region r = wbplan::cameraRegion(isFL9BW, isMini, index, wbX, wbY, wbW, wbH);
    if (isFL9BW)
        qDebug() << r.width << r.height;
    camCtrl->setROI(TUCAM_ROI_ATTR {1, r.x, r.y, r.width, r.height});

    frame = TUCAM_FRAME {};
    frame.ucFormatGet = TUFRM_FMT_RAW;
    frame.uiRsdSize = 1;
    frame.pBuffer = nullptr;
    if (!camCtrl->m_StartWaitFrame(&frame)) {
        emit sig_CamErrorOccur();
        return;
    }
    bool capturing = true;

    while (camCtrl->isRunning) {
        if (camCtrl->isExposureChanged.exchange(false))
            camCtrl->setExposureTime(camCtrl->exposureTime);
        if (camCtrl->isGainChanged.exchange(false))
            camCtrl->setGain(double(camCtrl->gain.load()));
        if (!capturing) {
            // A wait aborted while the preview was still wanted stopped the capture: start again.
            if (!camCtrl->m_StartWaitFrame(&frame)) {
                emit sig_CamErrorOccur();
                return;
            }
            capturing = true;
        }
        const TUCAMRET status = camCtrl->m_WaitForFrame(&frame);
        if (status == TUCAMRET_SUCCESS) {
            if (camCtrl->isFocusMeasuring && camCtrl->sem2.tryAcquire(1)) {
                // The lens has answered already: decide first, so that the lens side moves on
                // while the views get the frame (a next frame taken before the move would show
                // the old position).
                rateFrame();
                publishFrame();
            } else {
                publishFrame();
                if (camCtrl->isFocusMeasuring && waitForLens())
                    rateFrame();
            }
        } else if (status == TUCAMRET_ABORT) {
            qDebug() << "previewThread abort.";
            camCtrl->stopCapture();
            camCtrl->releaseBuffer();
            capturing = false;
        } else {
            emit sig_CamErrorOccur();
            qDebug() << "m_WaitForFrame failed.";
            return;
        }
    }
    if (capturing) {
        camCtrl->stopCapture();
        camCtrl->releaseBuffer();
    }
}

void WBTSPreviewThread::publishFrame()
{
    // The views get a copy: this record is refilled by the next wait.
    camCtrl->setCurrentFrame(&frame);
    emit updatePreviewImage();
}

bool WBTSPreviewThread::waitForLens()
{
    for (;;) {
        if (camCtrl->sem2.tryAcquire(1, kFocusWaitSliceMs))
            return true;
        if (!camCtrl->isRunning || !camCtrl->isFocusMeasuring || camCtrl->isFocusStop)
            return false;
    }
}

void WBTSPreviewThread::rateFrame()
{
    if (focusValuesStale.exchange(false))
        focusValues.clear();
    const FrameView view = H695ICECamCtrl::viewOf(&frame);
    double v = 0;
    if (!view.empty()) {
        cv::Mat centre;
        H695ICECamCtrl::cropRoi(view.mat(), centre);
        v = H695ICECamCtrl::focusMeasure(centre);
    }
    if (focusValues.size() > 4) {
        focusValues.erase(focusValues.begin());
        focusValues.push_back(v);
        QDebug line = qDebug();
        line << "valueList:";
        for (double value : focusValues)
            line << value;
    } else {
        focusValues.push_back(v);
    }
    switch (wbplan::focusDecision(focusValues, camCtrl->reversalCount)) {
    case wbplan::FocusStep::Done:
        camCtrl->isFocusDone = true;
        camCtrl->isFocusMeasuring = false;
        focusValues.clear();
        break;
    case wbplan::FocusStep::Reverse:
        camCtrl->focusDirection = !camCtrl->focusDirection;
        ++camCtrl->reversalCount;
        focusValues.clear();
        qDebug() << "反转对焦";
        break;
    case wbplan::FocusStep::Continue:
        break;
    }
    camCtrl->sem1.release(1);
}
