#include "wbtspreviewthread.h"

#include "cameraregion.h"
#include "camerarun.h"
#include "h695icecamctrl.h"
#include "previewloop.h"
#include "useropts.h"

#include <QDebug>

WBTSPreviewThread::WBTSPreviewThread(QObject* parent)
    : QThread(parent)
    , camCtrl(H695ICECamCtrl::getInstance())
    , frameStore(&camCtrl->frameStore())
    , userOpts(UserOpts::getInstance())
    , focus(camCtrl, acq::FocusWindow::Log::WhenSliding)
{
}

WBTSPreviewThread::~WBTSPreviewThread() = default;

void WBTSPreviewThread::loadWbRoi()
{
    const acq::Region r = acq::loadRegion(userOpts, acq::RegionSet::WesternBlot);
    wbX = r.x;
    wbY = r.y;
    wbW = r.width;
    wbH = r.height;
}

int WBTSPreviewThread::alignTo4(int v)
{
    return acq::alignTo4(v);
}

void WBTSPreviewThread::run()
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

    const acq::Region r = acq::cameraRegion(isFL9BW, isMini, index, {wbX, wbY, wbW, wbH});
    if (isFL9BW)
        qDebug() << r.width << r.height;
    camCtrl->setROI(acq::roiOf(r));

    frame = acq::freshFrameRecord();
    acq::runPreviewLoop(
        camCtrl, &frame, "previewThread abort.",
        [this] {
            focus.onFrame(&frame, [this] {
                // The views get a copy: this record is refilled by the next wait.
                frameStore->setCurrentFrame(&frame);
                emit updatePreviewImage();
            });
        },
        [this] { emit sig_CamErrorOccur(); }, acq::StrayAbort::Restart, [this] { focus.beforeFrameWait(); });
    // No live frame outlives the preview, and a search cannot go on without frames.
    frameStore->clearCurrentFrame();
    focus.endWithPreview();
}
