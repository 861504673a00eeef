#include "geltscapturethread.h"

#include "asyncserialportthread.h"
#include "cabinetlights.h"
#include "cameraregion.h"
#include "camerarun.h"
#include "enumobj.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"
#include "useropts.h"

#include <QDateTime>
#include <QDebug>

namespace {

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

// The driver's second abort status: a wait broken by the capture's own stop.
const TUCAMRET kStoppedWait = TUCAMRET(0x80000209);

} // namespace

GelTSCaptureThread::GelTSCaptureThread(int lightType, QObject* parent)
    : QThread(parent)
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , frameStore(&h695ICECamCtrl->frameStore())
    , gelExpDB(GelExperimentDB::getInstance())
    , userOpt(UserOpts::getInstance())
    , m_lightType(lightType)
{
}

GelTSCaptureThread::~GelTSCaptureThread() = default;

ASyncSerialPortThread* GelTSCaptureThread::link()
{
    if (!serialPortThread)
        serialPortThread = ASyncSerialPortThread::getInstance();
    return serialPortThread;
}

void GelTSCaptureThread::cameraError()
{
    emit sig_CamErrorOccur();
}

void GelTSCaptureThread::run()
{
    // Whatever way run() is left: isCaptureFinished set, semCap emptied.
    acq::CaptureEnding ending(isCaptureFinished, h695ICECamCtrl->semCap);
    H695ICECamCtrl* cam = h695ICECamCtrl;

    const int index = cam->binningIndex;
    if (acq::binningFactor(isFL9BW, index) == 0) {
        qWarning() << "gel capture refused: binning index outside the camera's table" << index
                   << (isFL9BW ? "(FL9BW)" : "");
        cameraError();
        return;
    }
    // Freed on every way out.
    std::unique_ptr<GelExperimentRecord> expRecord(gelExpDB->selectExperimentByName(cam->expName()));
    if (!expRecord)
        qWarning() << "gel capture: no experiment row named" << cam->expName()
                   << "- the picture is saved and reported, no row is updated";

    if (!lightCtrl && !ownLightCtrl)
        ownLightCtrl = std::make_unique<LightCtrl>(link(), nullptr);
    lights = std::make_unique<acq::CabinetLights>(lightCtrl ? lightCtrl : ownLightCtrl.get(), link(), false);

    frame = acq::freshFrameRecord();
    qDebug() << "开始采集图像：" << now() << "当前采集时间：" << cam->exposureTime.load();
    bool stored = false;
    {
        // Stopped on every way out of the frame.
        acq::CameraRun run(cam, &frame);
        if (!run.start(captureMutex, true)) {
            cameraError();
            lights.reset();
            return;
        }
        qDebug() << "m_StartWaitFrame success";
        stored = takeFrame(run, expRecord.get());
    }

    if (stored && !cam->isAbort && userOpt->colorMarker()) {
        qDebug() << "开始彩色Marker，设置前景曝光时间: " << cam->exposureTime.load();
        cam->setExposureTime(cam->exposureTime);
        if (captureColorMarker())
            saveColorMarker();
    }
    // The marker may have changed the camera's gain; its exposure stays as auto-exposure left it.
    cam->setGain(double(cam->gain.load()));
    frameStore->captureIndex = -1;
    for (auto& record : markerFrames)
        record.reset();
    lights.reset();
    ownLightCtrl.reset();
}

bool GelTSCaptureThread::takeFrame(acq::CameraRun& run, GelExperimentRecord* expRecord)
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    if (cam->isAbort) {
        qDebug() << "Abort before m_WaitForFrame";
        run.stopLogged();
        return false;
    }
    if (run.waitForFrame("采集线程abort。", [this] { cameraError(); }, 0, kStoppedWait) != acq::CameraRun::Wait::Frame)
        return false;
    // A cancel that reached the exposure: the frame that ended it is not the user's picture.
    if (cam->isAbort)
        return false;

    cam->beautifyIfEnabled(&frame);
    std::shared_ptr<TsFrame> image = TsFrame::copyOf(&frame);
    if (!image) {
        qWarning() << "gel capture: the frame could not be copied";
        cameraError();
        return false;
    }
    // From here the frame is stored, recorded and reported even when a cancel arrives: the
    // cancel waits for the count to fall and applies to what follows.
    ++m_frameCopies;
    qDebug() << "停止等待帧。";
    run.stop();
    qDebug() << "停止采集图像：" << now();

    bool written = false;
    const QString path = storeFrame(image, &written);
    if (written)
        recordFrame(path, expRecord);
    else
        emit sig_SaveFailed(path);
    --m_frameCopies;
    return written;
}

QString GelTSCaptureThread::storeFrame(const std::shared_ptr<TsFrame>& image, bool* written)
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    if (written)
        *written = false;
    if (!image)
        return QString();
    if (cam->isFFC) {
        qDebug() << "采集图片校准开始";
        // The pair the view corrects with: the 590 nm pair while the wheel stands at 590 nm.
        const bool second = isGelAndWBTS && cam->references.ffcPairIsSecond();
        if (!cam->references.correct(image->view(), second))
            qWarning() << "flat-field references missing or smaller than the frame: saved uncorrected"
                       << (second ? "(590 nm pair)" : "");
    }
    const int index = frameStore->appendFrame(image);
    frameStore->captureIndex = index;
    frameStore->setCaptureFrame(image);
    bool saved = false;
    const QString path = cam->saveCaptureImage(image->record(), true, m_lightType, &saved);
    if (!saved) {
        // The list holds only frames whose pictures are on disk.
        qWarning() << "gel capture: the picture could not be written" << path;
        frameStore->removeFrame(index);
        frameStore->captureIndex = -1;
        return path;
    }
    frameStore->setFrameFileName(index, path.section(QLatin1Char('/'), -1));
    if (written)
        *written = true;
    return path;
}

void GelTSCaptureThread::recordFrame(const QString& path, GelExperimentRecord* expRecord)
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    const int index = cam->binningIndex;
    const int gain = cam->gain;
    int bin;
    int reportedGain = gain;
    if (isGelTS20BW) {
        bin = index == cam->sum2BinIndex ? 2 : 1;
    } else {
        bin = acq::binningFactor(isFL9BW, index);
        // The FL9BW camera counts its gain levels from 0; the pages show them from 1.
        if (isFL9BW)
            reportedGain = gain + 1;
    }
    const double exposure = cam->exposureTime;
    if (expRecord) {
        expRecord->binning += QStringLiteral("%1*%1,").arg(bin);
        expRecord->gain += QString::number(reportedGain) + QLatin1Char(',');
        expRecord->exposureTime += QString::number(exposure, 'g', 6) + QLatin1Char(',');
        expRecord->imageNames += path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + QLatin1Char(',');
        if (!gelExpDB->updateExperimentParams(expRecord))
            qWarning() << "gel capture: the row of" << expRecord->name << "was not updated";
    } else {
        qWarning() << "gel capture: no row to record" << path;
    }
    emit singleImageCaped(path, bin, exposure, reportedGain);
}

void GelTSCaptureThread::saveColorMarker()
{
    bool written = false;
    const QString path = h695ICECamCtrl->saveImages(markerMats[0], 3, &written);
    qDebug() << "colorMarker: " << path;
    if (!written) {
        qWarning() << "gel capture: the colour marker could not be written" << path;
        emit sig_SaveFailed(path);
        return;
    }
    emit colorMarkerCaped(path, -1, -1.0, -1);
}
