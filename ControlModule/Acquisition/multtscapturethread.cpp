#include "multtscapturethread.h"

#include "asyncserialportthread.h"
#include "pacing.h"
#include "camerarun.h"
#include "cameraregion.h"
#include "camopts.h"
#include "h695icecamctrl.h"
#include "multexperimentdb.h"
#include "useropts.h"
#include "wbplan.h"

#include <QDateTime>
#include <QDebug>
#include <QScopeGuard>

namespace {

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace

MultTSCaptureThread::MultTSCaptureThread(double expCap, int lightType, QObject* parent)
    : QThread(parent)
    , expCap(expCap)
    , lightType(lightType)
    , serialPortThread(ASyncSerialPortThread::getInstance())
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , frameStore(&h695ICECamCtrl->frameStore())
    , multExpDB(MultExperimentDB::getInstance())
    , userOpt(UserOpts::getInstance())
    , camOpt(CamOpts::getInstance())
{
}

MultTSCaptureThread::~MultTSCaptureThread() = default;

void MultTSCaptureThread::run()
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    // Whatever way run() is left: the camera stopped (the run below), isCaptureFinished set and
    // semCap emptied (ending), the record freed.
    acq::CaptureEnding ending(isCaptureFinished, cam->semCap);
    const auto freeRecord = qScopeGuard([this] { expRecord.reset(); });
    if (!expRecord) {
        const QString name = cam->expName();
        expRecord.reset(multExpDB->selectExperimentByName(name));
        if (!expRecord)
            qWarning() << "no multi-fluorescence experiment row named" << name
                       << ": the picture is kept, no row is updated";
    }
    frame = acq::freshFrameRecord();
    qDebug() << "开始采集图像：" << now() << "当前采集时间：" << expCap;

    const int index = cam->binningIndex;
    const int factor = acq::binningFactor(isFL9BW, index);
    if (factor == 0) {
        qWarning() << "multi-fluorescence capture refused: binning index" << index << "outside the table"
                   << (isFL9BW ? "of the FL9BW camera" : "");
        emit sig_CamErrorOccur();
        return;
    }
    cam->setExposureTime(expCap);

    acq::CameraRun run(cam, &frame);
    if (!run.start(captureMutex, true)) {
        emit sig_CamErrorOccur();
        return;
    }
    qDebug() << "m_StartWaitFrame success";
    if (cam->isAbort) {
        qDebug() << "Abort before m_WaitForFrame";
        run.stopLogged();
        return;
    }
    const acq::CameraRun::Wait wait = run.waitForFrame("采集线程abort。", [this] { emit sig_CamErrorOccur(); },
                                                       wbplan::frameWaitMs(expCap, pacing::scale()));
    if (wait != acq::CameraRun::Wait::Frame || cam->isAbort)
        return;

    cam->beautifyIfEnabled(&frame);
    std::shared_ptr<TsFrame> stored = TsFrame::copyOf(&frame);
    if (!stored) {
        qWarning() << "multi-fluorescence capture: the camera delivered no pixels";
        emit sig_CamErrorOccur();
        return;
    }
    const int listed = frameStore->appendFrame(stored);
    // The capture view shows the frame just taken, as on the gel page.
    frameStore->setCaptureFrame(stored);
    bool written = false;
    const QString imageName = cam->saveCaptureImage(stored->record(), true, lightType, &written);
    if (!written) {
        // The list holds only frames whose pictures are on disk.
        qWarning() << "multi-fluorescence capture: the picture could not be written" << imageName;
        frameStore->removeFrame(listed);
        emit sig_SaveFailed(imageName);
        return;
    }
    frameStore->setFrameFileName(listed, imageName.section(QLatin1Char('/'), -1));
    if (afterSave)
        afterSave();
    // From here on the frame is kept: a cancel arriving now concerns what follows it.
    qDebug() << "停止等待帧。";
    run.stop();
    qDebug() << "停止采集图像：" << now();
    recordAndReport(imageName, factor);
}

void MultTSCaptureThread::recordAndReport(const QString& imageName, int factor)
{
    const int cameraGain = h695ICECamCtrl->gain;
    // The FL9BW camera's gain modes count from 0; the row and the page count from 1.
    const int gain = isFL9BW ? cameraGain + 1 : cameraGain;
    if (expRecord) {
        expRecord->binning += QStringLiteral("%1*%1,").arg(factor);
        expRecord->gain += QString::number(gain) + QLatin1Char(',');
        expRecord->exposureTime += QString::number(expCap, 'g', 6) + QLatin1Char(',');
        expRecord->imageNames += imageName.section(QLatin1Char('/'), -1) + QLatin1Char(',');
        if (!multExpDB->updateExperimentParams(expRecord.get()))
            qWarning() << "multi-fluorescence capture: the row of" << expRecord->name << "was not updated";
    }
    emit singleImageCaped(imageName, factor, expCap, gain);
}
