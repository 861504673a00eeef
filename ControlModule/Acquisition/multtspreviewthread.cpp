#include "multtspreviewthread.h"

#include "cameraregion.h"
#include "camerarun.h"
#include "h695icecamctrl.h"
#include "previewloop.h"
#include "useropts.h"

#include <QDebug>

MultTSPreviewThread::MultTSPreviewThread(QObject* parent)
    : QThread(parent)
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , frameStore(&h695ICECamCtrl->frameStore())
    , userOpt(UserOpts::getInstance())
    , focus(h695ICECamCtrl, acq::FocusWindow::Log::EveryValue)
{
}

MultTSPreviewThread::~MultTSPreviewThread() = default;

void MultTSPreviewThread::run()
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    const acq::Region sample = acq::loadRegion(userOpt, acq::RegionSet::MultiFluorescence);
    roiX = sample.x;
    roiY = sample.y;
    roiW = sample.width;
    roiH = sample.height;

    const int index = cam->binningIndex;
    // An index outside the camera's table has no region and no binning to set.
    if (acq::binningFactor(isFL9BW, index) == 0) {
        qWarning() << "multi-fluorescence preview refused: binning index" << index << "outside the table"
                   << (isFL9BW ? "of the FL9BW camera" : "");
        emit sig_CamErrorOccur();
        focus.endWithPreview();
        return;
    }
    if (isFL9BW)
        cam->setBinning(index);
    else
        cam->setResolution(index);
    cam->setGain(double(cam->gain.load()));
    cam->setExposureTime(cam->exposureTime);
    cam->setHorizontalMirror(1);
    cam->setVerticalMirror(0);
    const acq::Region region = acq::cameraRegion(isFL9BW, false, index, {roiX, roiY, roiW, roiH});
    if (isFL9BW)
        qDebug() << region.width << region.height;
    cam->setROI(acq::roiOf(region));

    frame = acq::freshFrameRecord();
    // An abort while the preview is still wanted leaves the loop: the run it aborted is gone.
    acq::runPreviewLoop(
        cam, &frame, "previewThread abort.",
        [this, cam] {
            focus.onFrame(&frame, [this, cam] {
                // The views get a copy: this record is refilled by the next wait.
                frameStore->setCurrentFrame(&frame);
                emit updatePreviewImage();
            });
        },
        [this] { emit sig_CamErrorOccur(); }, acq::StrayAbort::Leave, [this] { focus.beforeFrameWait(); });
    // No live frame outlives the preview, and a search cannot go on without frames.
    frameStore->clearCurrentFrame();
    focus.endWithPreview();
}
