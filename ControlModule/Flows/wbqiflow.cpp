#include "wbqiflow.h"

#include "camopts.h"
#include "experimentrecord.h"
#include "experimentrecords.h"
#include "flowcontext.h"
#include "histograminfo.h"
#include "imagerefresh.h"
#include "kestrixctrl.h"
#include "wbqicapturethread.h"
#include "wbqiestimatethread.h"
#include "wbqipreviewthread.h"
#include "westernblotexperimentdb.h"

#include <QDebug>
#include <QThread>

#include <algorithm>

namespace {

PreviewRole<WBQIPreviewThread>::CameraSwitch kestrixSwitch(KestrixCtrl* kx)
{
    // The preview abort flag is also the flag of a pending stop or binning change.
    return {[kx] { kx->context()->previewAbort = false; }, [kx] { kx->abortPreview(); }};
}

} // namespace

WBQIFlow::WBQIFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , preview(this, kestrixSwitch(ctx.kestrix()))
    , m_ctx(ctx)
{
}

WBQIFlow::~WBQIFlow() = default;

int WBQIFlow::binningOf(const QString& text)
{
    bool ok = false;
    const int b = text.section(QLatin1Char('*'), 0, 0).trimmed().toInt(&ok);
    return ok && b > 0 ? b : 1;
}

void WBQIFlow::applySettings(const PreviewSettings& s)
{
    KestrixCameraContext* cam = m_ctx.kestrix()->context();
    const uint16_t b = uint16_t(std::clamp(s.binning, 1, 65535));
    cam->region.sbin = b;
    cam->region.pbin = b;
    cam->exposureTime = uint32_t(std::max(s.exposure, 0));
    cam->gainIndex = uint16_t(std::max(s.gainIndex, 0));
}

void WBQIFlow::applyPendingSettings()
{
    if (m_pendingSettings)
        applySettings(*m_pendingSettings);
    m_pendingSettings.reset();
}

void WBQIFlow::previewStart()
{
    // The cache holds the frames and record a running capture writes into.
    if (estimateThread || captureThread) {
        qWarning() << "_WBQIPreviewStart refused while a capture runs";
        return;
    }
    clearCache();
    CamOpts* camOpt = m_ctx.camOpts();
    camOpt->loadCurWBQICamOpts();
    PreviewSettings s;
    s.binning = binningOf(camOpt->wBQICurBinning());
    s.exposure = camOpt->wBQICurExposurePre();
    s.gainIndex = camOpt->wBQICurGainIndex();
    if (preview.thread()) {
        // The running preview takes the reloaded options: a new binning needs the camera set up
        // anew, exposure and gain go in between two frames.
        if (preview.stopping())
            return;
        KestrixCameraContext* cam = m_ctx.kestrix()->context();
        if (int(cam->region.sbin) != s.binning) {
            m_pendingSettings = s;
            preview.restart("_WBQIPreviewStart", [this] { applyPendingSettings(); });
            return;
        }
        cam->exposureTime = uint32_t(std::max(s.exposure, 0));
        cam->gainIndex = uint16_t(std::max(s.gainIndex, 0));
        cam->previewSettingsChanged = true;
        return;
    }
    m_pendingSettings.reset();
    applySettings(s);

    auto* thread = new WBQIPreviewThread(nullptr);
    connect(thread, &WBQIPreviewThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &WBQIPreviewThread::updatePreviewImage, this, [this] { emit m_ctx.imageChanged(); });
    connect(thread, &QThread::finished, this, [this] { previewThreadEnded(); });
    preview.start(thread);
}

void WBQIFlow::previewThreadEnded()
{
    // A preview that ended by itself (a camera failure) is let go, so that a later start makes a
    // new one; a stop or a restart under way decides for itself.
    if (preview.thread() && !preview.stopping() && preview.thread()->isFinished())
        preview.stop([] {});
}

void WBQIFlow::binChanged(int bin, int preExpTime, int gainIndex)
{
    if (!preview.thread() || preview.stopping()) {
        qDebug() << "_WBQIBinChanged ignored: no preview to restart";
        return;
    }
    m_pendingSettings = PreviewSettings {bin, preExpTime, gainIndex};
    preview.restart("_WBQIBinChanged", [this] { applyPendingSettings(); });
}

// Exposure and gain are ignored only while the camera is being set up anew (a stop or a
// binning change under way); without a preview they wait for the next one.
void WBQIFlow::preExpChanged(int value)
{
    if (preview.stopping())
        return;
    KestrixCameraContext* cam = m_ctx.kestrix()->context();
    cam->exposureTime = uint32_t(std::max(value, 0));
    cam->previewSettingsChanged = true;
}

void WBQIFlow::gainChanged(int gainIndex)
{
    if (preview.stopping())
        return;
    KestrixCameraContext* cam = m_ctx.kestrix()->context();
    cam->gainIndex = uint16_t(std::max(gainIndex, 0));
    cam->previewSettingsChanged = true;
}

void WBQIFlow::finishHandle()
{
    WBQIPreviewThread* thread = preview.thread();
    if (!thread || preview.stopping() || !thread->isFinished())
        return;
    applyPendingSettings();
    m_ctx.kestrix()->context()->previewAbort = false;
    thread->start(QThread::InheritPriority);
}

void WBQIFlow::captureStart(bool autoCapture)
{
    stopPreview(autoCapture, true);
}

void WBQIFlow::stopPreview(bool autoCapture, bool startNext)
{
    preview.stop([this, autoCapture, startNext] { previewEnded(autoCapture, startNext); });
}

void WBQIFlow::previewEnded(bool autoCapture, bool startNext)
{
    // A binning change overtaken by this stop still holds for what follows.
    applyPendingSettings();
    if (exitPending) {
        exitPending = false;
        clearCache();
    } else if (autoCapture) {
        startEstimate();
    } else if (startNext) {
        startCapture();
    }
    emit m_ctx.previewStoped();
}

void WBQIFlow::startEstimate()
{
    m_ctx.lightChange(false);
    if (estimateThread) {
        qDebug() << "estimation already running";
        return;
    }
    KestrixCtrl* kx = m_ctx.kestrix();
    auto* thread = new WBQIEstimateThread(nullptr);
    estimateThread = thread;
    connect(thread, &WBQIEstimateThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &WBQIEstimateThread::updateEstimateTime, this,
            [this](int estimateTime) { emit m_ctx.updateEstimateTime(estimateTime); });
    connect(thread, &QThread::finished, this, [this, thread, kx] {
        kx->context()->estimateAbort = true;
        thread->deleteLater();
        estimateThread = nullptr;
        if (exitPending) {
            exitPending = false;
            clearCache();
            return;
        }
        startCapture();
    });
    kx->context()->estimateAbort = false;
    thread->start(QThread::InheritPriority);
    emit m_ctx.estimateStart();
}

bool WBQIFlow::createExperiment()
{
    if (experiment)
        return true;
    const QString prefix = QLatin1String(m_ctx.singleCaptureVisible() ? "WBS" : "WBM");
    std::unique_ptr<WesternBlotExperimentRecord> record =
        newExperimentRecord<WesternBlotExperimentRecord>(m_ctx, EnumOBJ::WB, prefix);
    KestrixCtrl* kx = m_ctx.kestrix();
    const rgn_type& region = kx->context()->region;
    record->binning = QStringLiteral("%1*%2").arg(region.pbin).arg(region.sbin);
    kx->expName = record->name;
    if (!insertExperimentRow(m_ctx.wbExpDB(), record.get())) {
        // Without its row the capture would do nothing visible: the operator is told why.
        m_ctx.reportError(EnumOBJ::StoreErr, m_ctx.wbExpDB()->refusalText());
        return false;
    }
    m_ctx.setCurExpName(record->name);
    experiment = std::move(record);
    return true;
}

void WBQIFlow::startCapture()
{
    if (captureThread) {
        qDebug() << "capture already running";
        return;
    }
    // The thread finds its row by name: without a row of its own it would write into whichever
    // experiment holds that name already.
    if (!createExperiment()) {
        qWarning() << "capture not started: the experiment row could not be saved";
        emit m_ctx.captureFinished(QString());
        return;
    }
    // The record may be freed (a new preview, an exit) before the thread ends.
    const QString folder = experiment->imageSavePath;
    KestrixCtrl* kx = m_ctx.kestrix();
    auto* thread = new WBQICaptureThread(nullptr);
    captureThread = thread;
    thread->serialPort = m_ctx.link();
    connect(thread, &QThread::finished, this, [this, thread, kx, folder] {
        kx->context()->captureAbort = true;
        thread->deleteLater();
        captureThread = nullptr;
        emit m_ctx.captureFinished(folder);
        if (exitPending) {
            exitPending = false;
            clearCache();
        }
    });
    connect(thread, &WBQICaptureThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &WBQICaptureThread::sig_SaveFailed, this, [this](const QString& path) { m_ctx.saveFailed(path); });
    connect(thread, &WBQICaptureThread::singleImageCaped, this, &WBQIFlow::imageCaped);
    connect(thread, &WBQICaptureThread::lightStatusChange, this, [this](bool on) { emit m_ctx.lightStatusChange(on); });
    kx->context()->captureAbort = false;
    thread->start(QThread::InheritPriority);
    emit m_ctx.captureStart();
}

void WBQIFlow::cancelCapture()
{
    if (!captureThread)
        return;
    qDebug() << "触发取消采集。";
    m_ctx.kestrix()->abortCapture();
}

void WBQIFlow::exitExperiment()
{
    const bool previewRunning = preview.thread() != nullptr;
    stopPreview(false, false);
    if (estimateThread || captureThread) {
        // The running thread still writes into the cache: it is dropped when the thread ends.
        exitPending = true;
        if (estimateThread)
            m_ctx.kestrix()->abortEstimate();
        cancelCapture();
    } else {
        clearCache();
    }
    m_ctx.lightChange(false);
    if (!previewRunning || m_ctx.errorCode() != EnumOBJ::NoErr)
        emit m_ctx.previewStoped();
}

double WBQIFlow::getTem()
{
    return double(m_ctx.kestrix()->getTemperature());
}

void WBQIFlow::closeCamAndUnInit()
{
    m_ctx.kestrix()->closeCamera();
}

void WBQIFlow::updateExpName(const QString& newName, const QString& newImageSavePath)
{
    if (!experiment)
        return;
    // The running capture reads the camera's experiment name for every picture it saves.
    if (captureThread) {
        qWarning() << "_WBUpdateExpName refused while a capture runs";
        return;
    }
    qDebug() << "更新实验名称：" << newName << "实验路径：" << newImageSavePath;
    experiment->name = newName;
    experiment->imageSavePath = newImageSavePath;
    m_ctx.kestrix()->expName = newName;
    m_ctx.setCurExpName(newName);
}

void WBQIFlow::imageCaped(const QString& imageName, int bin, double expCap, int gain)
{
    KestrixCtrl* kx = m_ctx.kestrix();
    kx->curImageIndex = kx->frameCount() - 1;
    emit m_ctx.singleImageCaped(imageName, bin, expCap, gain);
    updateHisShowAndImageShow();
}

void WBQIFlow::updateImageShow(int minInten, int maxInten)
{
    KestrixCtrl* kx = m_ctx.kestrix();
    kx->stretchLow = minInten;
    kx->stretchHigh = maxInten;
    const int index = kx->curImageIndex;
    if (index < 0 || index >= kx->frameCount()) {
        qWarning() << "_WBQIUpdateImageShow: no image" << index;
        return;
    }
    kx->displayFrame = kx->frameAt(index);
    kx->displayIndex = index;
    kx->stretchLevels(kx->displayFrame, minInten, maxInten);
    emit m_ctx.imageChanged();
}

void WBQIFlow::imageListClicked(int index)
{
    KestrixCtrl* kx = m_ctx.kestrix();
    if (index < 0 || index >= kx->frameCount()) {
        qWarning() << "_WBQIImageListClicked: no image" << index;
        return;
    }
    kx->curImageIndex = index;
    updateHisShowAndImageShow();
}

void WBQIFlow::updateHisShowAndImageShow()
{
    KestrixCtrl* kx = m_ctx.kestrix();
    const int index = kx->curImageIndex;
    if (index < 0 || index >= kx->histogramCount()) {
        qWarning() << "no histogram for image index" << index << "of" << kx->histogramCount();
        return;
    }
    const HistogramInfo info = kx->histogramAt(index);
    imagerefresh::drawHistogram(m_ctx, m_ctx.wbLineSeries, info);
    updateImageShow(info.low, info.high);
}

void WBQIFlow::clearCache()
{
    KestrixCtrl* kx = m_ctx.kestrix();
    const int frames = kx->frameCount();
    if (frames > 0)
        qDebug() << "删除上次采集图像缓存." << frames;
    if (kx->histogramCount() > 0)
        qDebug() << "删除上次直方图信息缓存.";
    if (!kx->displayFrame.empty())
        qDebug() << "删除上次直方图拉伸缓存.";
    kx->clearFrames();
    experiment.reset();
    markerList.clear();
}
