#include "geltspreviewthread.h"

#include "camerarun.h"
#include "h695icecamctrl.h"
#include "previewloop.h"
#include "useropts.h"

#include <QDebug>

namespace {
// Where the GelTS20BW sample region starts on its sensor, and what its size adds.
constexpr int kOffsetX = 920, kOffsetY = 510, kExtraWidth = 3694, kExtraHeight = 2620;
} // namespace

GelTSPreviewThread::GelTSPreviewThread(QObject* parent)
    : QThread(parent)
    , camCtrl(H695ICECamCtrl::getInstance())
    , frameStore(&camCtrl->frameStore())
    , userOpts(UserOpts::getInstance())
    , focus(camCtrl, acq::FocusWindow::Log::EveryValue)
{
}

GelTSPreviewThread::~GelTSPreviewThread() = default;

acq::Region GelTSPreviewThread::sensorOffsetRegion(const acq::Region& s, bool halved)
{
    const double d = halved ? 2.0 : 1.0;
    return {int((s.x + kOffsetX) / d), int((s.y + kOffsetY) / d), int((s.width + kExtraWidth) / d),
            int((s.height + kExtraHeight) / d)};
}

void GelTSPreviewThread::setUpCamera(int index)
{
    if (isFL9BW)
        camCtrl->setBinning(index);
    else
        camCtrl->setResolution(index);
    camCtrl->setGain(double(camCtrl->gain.load()));
    camCtrl->setExposureTime(camCtrl->exposureTime);
    const acq::Region sample {roiX, roiY, roiW, roiH};
    if (isGelTS20BW) {
        camCtrl->setROI(acq::roiOf(sensorOffsetRegion(sample, index == camCtrl->sum2BinIndex)));
        camCtrl->setHorizontalMirror(1);
        camCtrl->setVerticalMirror(0);
    }
    camCtrl->isWhiteBoard = false;
    qDebug() << "h695ICECamCtrl->isWhiteBoard:" << (camCtrl->isWhiteBoard ? "true" : "false");
    camCtrl->setHorizontalMirror(1);
    camCtrl->setVerticalMirror(0);
    if (isGelTS20BW)
        return;
    const acq::Region r = acq::cameraRegion(isFL9BW, false, index, sample);
    if (isFL9BW)
        qDebug() << r.width << r.height;
    camCtrl->setROI(acq::roiOf(r));
}

void GelTSPreviewThread::run()
{
    // Reloaded on every run, also when the camera keeps its settings.
    const acq::Region sample = acq::loadRegion(userOpts, acq::RegionSet::Gel);
    roiX = sample.x;
    roiY = sample.y;
    roiW = sample.width;
    roiH = sample.height;

    const int index = camCtrl->binningIndex;
    if (acq::binningFactor(isFL9BW, index) == 0) {
        qWarning() << "gel preview refused: binning index outside the camera's table" << index
                   << (isFL9BW ? "(FL9BW)" : "");
        emit sig_CamErrorOccur();
        return;
    }
    if (!keepCameraSettings)
        setUpCamera(index);

    frame = acq::freshFrameRecord();
    const acq::PreviewEnd end = acq::runPreviewLoop(
        camCtrl, &frame, "预览线程 abort.",
        [this] {
            focus.onFrame(&frame, [this] {
                // The views get a copy: this record is refilled by the next wait.
                frameStore->setCurrentFrame(&frame);
                emit updatePreviewImage();
            });
        },
        [this] { emit sig_CamErrorOccur(); }, acq::StrayAbort::Leave);
    // A stopped capture has no frame to wait for: an abort is the end of this run, whoever sent it.
    if (end == acq::PreviewEnd::Aborted)
        qWarning() << "gel preview left on an aborted wait while still running";
    // No live frame outlives the preview, and a search cannot go on without frames.
    frameStore->clearCurrentFrame();
    focus.endWithPreview();
}
