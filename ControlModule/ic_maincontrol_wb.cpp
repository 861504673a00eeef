#include "ic_maincontrol.h"

#include "apppaths.h"
#include "asyncserialportthread.h"
#include "camopts.h"
#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "seth695iceaethread.h"
#include "smbuslensctrl.h"
#include "useropts.h"
#include "wbplan.h"
#include "wbtscapturethread.h"
#include "wbtsestimatethread.h"
#include "wbtspreviewthread.h"
#include "westernblotexperimentdb.h"

#include <QDateTime>
#include <QDebug>
#include <QThread>

#include <memory>

namespace {
// Poll of a cancel waiting for the running exposure to have started.
constexpr unsigned long kCancelPollMs = 50;
} // namespace

bool IC_MainControl::isWBFL9BW(int authorityType)
{
    switch (authorityType) {
    case EnumOBJ::WBTSFL9BW_Manual:
    case EnumOBJ::WBTSFL9BW_Auto:
    case EnumOBJ::GelAndWBTSFL9BW_Manual:
    case EnumOBJ::GelAndWBTSFL9BW_Auto:
    case EnumOBJ::AllAuthorityTSFL9BW_Manual:
    case EnumOBJ::AllAuthorityTSFL9BW_Auto:
    case EnumOBJ::WBTSFL9BWMini:
        return true;
    default:
        return false;
    }
}

bool IC_MainControl::isMiniCabinet(int authorityType)
{
    return authorityType == EnumOBJ::WBTSFL9BWMini || authorityType == EnumOBJ::WBTS695Mini;
}

QString IC_MainControl::wbTSBinningText(int authorityType, int binningIndex)
{
    int factor = wbplan::binningFactor(isWBFL9BW(authorityType), binningIndex);
    // The threads treat an index outside the table as its first entry; the record says the same.
    if (factor == 0)
        factor = 1;
    return QStringLiteral("%1*%1").arg(factor);
}

void IC_MainControl::_WBTSPreviewStart()
{
    // The cache holds the frames and record a running capture writes into.
    if (wbTSEstimateThread || wbTSCaptureThread) {
        qWarning() << "_WBTSPreviewStart refused while a capture runs";
        return;
    }
    clearWBTSCache();
    camOpt->loadCurWBTSCamOpts();
    const bool fl9bw = isWBFL9BW(m_authorityType);
    h695ICECamCtrl->binningIndex = camOpt->wBTSCurBinning();
    h695ICECamCtrl->gain = fl9bw ? camOpt->wBTSCurGainIndex() : camOpt->wBTSCurGain();
    h695ICECamCtrl->exposureTime = camOpt->wBTSCurExposurePre();
    if (wbTSPreviewThread)
        return;
    auto* thread = new WBTSPreviewThread(nullptr);
    wbTSPreviewThread = thread;
    wbTSPreviewStopping = false;
    connect(thread, &WBTSPreviewThread::sig_CamErrorOccur, this, &IC_MainControl::slot_CamErrorOccur);
    connect(thread, &WBTSPreviewThread::updatePreviewImage, this, &IC_MainControl::updateImageHandle);
    h695ICECamCtrl->isRunning = true;
    thread->isFL9BW = fl9bw;
    thread->isMini = isMiniCabinet(m_authorityType);
    thread->start(QThread::InheritPriority);
}

void IC_MainControl::_WBTSBinChanged(int bin, int preExpTime, int gain)
{
    WBTSPreviewThread* thread = wbTSPreviewThread;
    if (!thread)
        return;
    // A stop already under way decides what follows the preview.
    if (wbTSPreviewStopping) {
        qDebug() << "_WBTSBinChanged ignored while the preview stops";
        return;
    }
    wbTSPreviewStopping = true;
    const quint64 id = ++wbTSPreviewStopId;
    auto restart = [this, thread, bin, preExpTime, gain, id] {
        if (id != wbTSPreviewStopId || wbTSPreviewThread != thread)
            return;
        ++wbTSPreviewStopId;
        QObject::disconnect(wbTSPreviewEnd);
        wbTSPreviewStopping = false;
        h695ICECamCtrl->binningIndex = bin;
        h695ICECamCtrl->exposureTime = preExpTime;
        h695ICECamCtrl->gain = gain;
        h695ICECamCtrl->isRunning = true;
        thread->isFL9BW = isWBFL9BW(m_authorityType);
        thread->start(QThread::InheritPriority);
    };
    wbTSPreviewEnd = connect(thread, &QThread::finished, this, restart);
    h695ICECamCtrl->isRunning = false;
    h695ICECamCtrl->clearCurrentFrame();
    h695ICECamCtrl->abortWait();
    // A preview that ended on its own (camera error) sends no further finished.
    if (thread->isFinished())
        QMetaObject::invokeMethod(this, restart, Qt::QueuedConnection);
}

void IC_MainControl::_WBTSPreExpChanged(double value, bool needAdjust)
{
    if (!wbTSPreviewThread)
        return;
    h695ICECamCtrl->exposureTime = value;
    if (needAdjust)
        h695ICECamCtrl->isExposureChanged = true;
}

void IC_MainControl::_WBTSPreExpAndGainChanged(double exp, int gain)
{
    if (!wbTSPreviewThread)
        return;
    h695ICECamCtrl->exposureTime = exp;
    h695ICECamCtrl->gain = gain;
}

void IC_MainControl::_WBTSGainChanged(int value)
{
    if (!wbTSPreviewThread)
        return;
    h695ICECamCtrl->gain = value;
    h695ICECamCtrl->isGainChanged = true;
}

void IC_MainControl::_WBTSAtExposure(int aeVal)
{
    // Two of them would set the camera against each other.
    if (setAEThread) {
        qDebug() << "auto-exposure setting already running, ignored:" << aeVal;
        return;
    }
    auto* thread = new SetH695ICEAEThread(nullptr);
    setAEThread = thread;
    thread->aeVal = aeVal;
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->disconnect(this);
        setAEThread = nullptr;
        emit setAEFinished();
        thread->deleteLater();
    });
    thread->start(QThread::InheritPriority);
}

void IC_MainControl::_WBTSCaptureStart(bool autoCapture)
{
    stopWBTSPreview(autoCapture, true);
}

void IC_MainControl::stopWBTSPreview(bool autoCapture, bool startNext)
{
    WBTSPreviewThread* thread = wbTSPreviewThread;
    if (!thread)
        return;
    // The last request wins: a stop under way (a binning restart, an earlier capture start)
    // hands over to this one instead of stopping twice.
    QObject::disconnect(wbTSPreviewEnd);
    disconnect(thread, &WBTSPreviewThread::sig_CamErrorOccur, this, nullptr);
    disconnect(thread, &WBTSPreviewThread::updatePreviewImage, this, nullptr);
    const quint64 id = ++wbTSPreviewStopId;
    auto ended = [this, thread, autoCapture, startNext, id] {
        if (id != wbTSPreviewStopId || wbTSPreviewThread != thread)
            return;
        ++wbTSPreviewStopId;
        wbTSPreviewEnded(autoCapture, startNext);
    };
    wbTSPreviewEnd = connect(thread, &QThread::finished, this, ended);
    if (!wbTSPreviewStopping) {
        wbTSPreviewStopping = true;
        h695ICECamCtrl->isRunning = false;
        h695ICECamCtrl->clearCurrentFrame();
        h695ICECamCtrl->abortWait();
    }
    if (thread->isFinished())
        QMetaObject::invokeMethod(this, ended, Qt::QueuedConnection);
}

void IC_MainControl::wbTSPreviewEnded(bool autoCapture, bool startNext)
{
    QObject::disconnect(wbTSPreviewEnd);
    if (wbTSPreviewThread)
        wbTSPreviewThread->deleteLater();
    wbTSPreviewThread = nullptr;
    wbTSPreviewStopping = false;
    sendLightCmd(CmdMainLight, {PowerOff});
    emit lightStatusChange(false);
    if (wbTSExitPending) {
        wbTSExitPending = false;
        clearWBTSCache();
    } else if (autoCapture) {
        startWBTSEstimate();
    } else if (startNext) {
        startWBTSCapture();
    }
    emit previewStoped();
}

void IC_MainControl::startWBTSEstimate()
{
    lightChange(false);
    if (wbTSEstimateThread) {
        qDebug() << "estimation already running";
        return;
    }
    auto* thread = new WBTSEstimateThread(nullptr);
    wbTSEstimateThread = thread;
    connect(thread, &WBTSEstimateThread::sig_CamErrorOccur, this, &IC_MainControl::slot_CamErrorOccur);
    connect(thread, &WBTSEstimateThread::updateEstimateTime, this,
            [this](int estimateTime) { emit updateEstimateTime(estimateTime); });
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        wbTSEstimateThread = nullptr;
        if (wbTSExitPending) {
            wbTSExitPending = false;
            clearWBTSCache();
            return;
        }
        startWBTSCapture();
    });
    thread->isFL9BW = isWBFL9BW(m_authorityType);
    thread->start(QThread::InheritPriority);
    emit estimateStart();
}

bool IC_MainControl::createWBTSExperiment()
{
    if (wbExp)
        return true;
    auto record = std::make_unique<WesternBlotExperimentRecord>();
    userOpt->loadUserOptsByName(UserOpts::OPT_LastLoginUser);
    record->userName = userOpt->lastLoginUser();
    record->expType = 1;
    // One reading of the clock: the date folder and the name never straddle midnight.
    const QDateTime now = QDateTime::currentDateTime();
    record->date = now.date().toString(QStringLiteral("yyyy-MM-dd"));
    record->dateTime = now;
    record->name = QLatin1String(m_singleCaptureVisible ? "WBS" : "WBM") + now.toString(QStringLiteral("yyyyMMdd-hhmmss"));
    record->imageSavePath = AppPaths::appDir() + QStringLiteral("/Images/") + record->date + QLatin1Char('/') + record->name
                            + QLatin1Char('/');
    record->binning = wbTSBinningText(m_authorityType, h695ICECamCtrl->binningIndex);
    h695ICECamCtrl->setExpName(record->name);
    const bool saved = wbExpDB->insertExperiment(record.get());
    qDebug() << record->name << " 保存 " << (saved ? "true" : "false");
    if (!saved)
        return false;
    m_curExpName = record->name;
    wbExp = record.release();
    return true;
}

void IC_MainControl::startWBTSCapture()
{
    if (wbTSCaptureThread) {
        qDebug() << "capture already running";
        return;
    }
    // The thread finds its row by name: without a row of its own it would write into whichever
    // experiment holds that name already.
    if (!createWBTSExperiment()) {
        qWarning() << "capture not started: the experiment row could not be saved";
        emit captureFinished(QString());
        return;
    }
    // The record may be freed (a new preview, an exit) before the thread ends.
    const QString folder = wbExp->imageSavePath;
    auto* thread = new WBTSCaptureThread(nullptr);
    wbTSCaptureThread = thread;
    thread->serialPort = serialPortThread;
    thread->captureMutex = captureMutex;
    connect(thread, &QThread::finished, this, [this, thread, folder] {
        h695ICECamCtrl->isAbort = true;
        thread->deleteLater();
        wbTSCaptureThread = nullptr;
        emit captureFinished(folder);
        if (wbTSExitPending) {
            wbTSExitPending = false;
            clearWBTSCache();
        }
    });
    connect(thread, &WBTSCaptureThread::sig_CamErrorOccur, this, &IC_MainControl::slot_CamErrorOccur);
    connect(thread, &WBTSCaptureThread::singleImageCaped, this, &IC_MainControl::wbTSImageCaped);
    connect(thread, &WBTSCaptureThread::lightStatusChange, this, [this](bool on) { emit lightStatusChange(on); });
    connect(thread, &WBTSCaptureThread::colorMarkerCaped, this,
            [this](QString imageName, int bin, double expCap, int gain) {
                emit colorMarkerCaped(imageName, bin, expCap, gain);
            });
    h695ICECamCtrl->isAbort = false;
    // Permits left by another run would let a cancel through before this run's exposure.
    while (h695ICECamCtrl->semCap.tryAcquire(1)) {
    }
    thread->isFL9BW = isWBFL9BW(m_authorityType);
    thread->isMini = isMiniCabinet(m_authorityType);
    thread->start(QThread::InheritPriority);
    emit captureStart();
}

void IC_MainControl::_WBTSCancelCapture()
{
    WBTSCaptureThread* thread = wbTSCaptureThread;
    if (!thread)
        return;
    // One permit per started exposure: frameList + 1 of them exist only while the exposure of
    // the next frame runs, so the abort never lands between frames.
    for (;;) {
        if (h695ICECamCtrl->semCap.tryAcquire(h695ICECamCtrl->frameCount() + 1))
            break;
        if (thread->captureEnded || thread->isFinished())
            return;
        QThread::msleep(kCancelPollMs);
    }
    qDebug() << "触发取消采集。";
    h695ICECamCtrl->isAbort = true;
    h695ICECamCtrl->abortWait();
}

void IC_MainControl::_WBTSExitExperiment()
{
    const bool previewRunning = wbTSPreviewThread != nullptr;
    stopWBTSPreview(false, false);
    if (wbTSEstimateThread || wbTSCaptureThread) {
        // The running thread still writes into the cache: it is dropped when the thread ends.
        wbTSExitPending = true;
        _WBTSCancelCapture();
    } else {
        clearWBTSCache();
    }
    lightChange(false);
    if (!previewRunning || m_errorCode != EnumOBJ::NoErr)
        emit previewStoped();
}

void IC_MainControl::_WBTSUpdateImageShow(int minInten, int maxInten)
{
    if (h695ICECamCtrl->updateStretchFrame(minInten, maxInten))
        emit imageChanged();
}

void IC_MainControl::_MultTSUpdateImageShow(int minInten, int maxInten)
{
    _WBTSUpdateImageShow(minInten, maxInten);
}

double IC_MainControl::_WBTSGetExposure()
{
    return h695ICECamCtrl->getExposureTime();
}

double IC_MainControl::_WBTSGetGain()
{
    return h695ICECamCtrl->getGain();
}

double IC_MainControl::_WBTSGetTem()
{
    return h695ICECamCtrl->getTemperature();
}

void IC_MainControl::_WBUpdateExpName(QString newName, QString newImageSavePath)
{
    if (!wbExp)
        return;
    qDebug() << "更新实验名称：" << newName << "实验路径：" << newImageSavePath;
    wbExp->name = newName;
    wbExp->imageSavePath = newImageSavePath;
    h695ICECamCtrl->setExpName(newName);
    m_curExpName = newName;
}

void IC_MainControl::_WBTSSetEstimateRoi(double x_percent, double y_percent, double width_percent,
                                         double height_percent)
{
    h695ICECamCtrl->setEstimateRoi(x_percent, y_percent, width_percent, height_percent);
}

void IC_MainControl::_WBTSRemoveEstimateRoi()
{
    h695ICECamCtrl->removeEstimateRoi();
}

void IC_MainControl::_TSCloseCamAndUnInit()
{
    h695ICECamCtrl->closeCamera();
    SmbusLensCtrl::close();
}
