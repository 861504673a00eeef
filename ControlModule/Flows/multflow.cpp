#include "multflow.h"

#include "camopts.h"
#include "experimentrecord.h"
#include "experimentrecords.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "imagerefresh.h"
#include "machinemodel.h"
#include "multexperimentdb.h"
#include "multtscapturethread.h"
#include "tucsenautoexposure.h"

#include <QDebug>
#include <QThread>

#include <cmath>

namespace {
// Exposures reach the camera in whole microseconds.
double roundedExposure(double value)
{
    return std::round(value * 1000.0) / 1000.0;
}
} // namespace

MultFlow::MultFlow(FlowContext& ctx, TucsenAutoExposure& autoExposure, QObject* parent)
    : QObject(parent)
    , preview(this, ctx.tucsen())
    , capture(this, ctx, captureThread)
    , m_ctx(ctx)
    , m_autoExposure(autoExposure)
{
}

MultFlow::~MultFlow() = default;

void MultFlow::configurePreview(MultTSPreviewThread* thread) const
{
    thread->isFL9BW = MachineModel::isMultFL9BW(m_ctx.authorityType());
}

void MultFlow::previewStart()
{
    // The camera's settings are the running capture's until it ends.
    if (captureThread) {
        qWarning() << "_MultTSPreviewStart refused while a capture runs";
        return;
    }
    CamOpts* camOpt = m_ctx.camOpts();
    H695ICECamCtrl* cam = m_ctx.tucsen();
    camOpt->loadCurMultTSCamOpts();
    const bool gainModes = MachineModel::cameraOf(m_ctx.authorityType()) == MachineModel::Camera::TucsenFL9BW;
    cam->binningIndex = camOpt->multTSCurBinning();
    cam->gain = gainModes ? camOpt->multTSCurGainIndex() : camOpt->multTSCurGain();
    cam->exposureTime = camOpt->multTSCurExposurePre();
    if (preview.thread())
        return;
    auto* thread = new MultTSPreviewThread(nullptr);
    connect(thread, &MultTSPreviewThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &MultTSPreviewThread::updatePreviewImage, this, [this] { emit m_ctx.imageChanged(); });
    configurePreview(thread);
    preview.start(thread);
}

void MultFlow::binChanged(int bin, int preExpTime, int gain)
{
    MultTSPreviewThread* thread = preview.thread();
    preview.restart("_MultTSBinChanged", [this, thread, bin, preExpTime, gain] {
        H695ICECamCtrl* cam = m_ctx.tucsen();
        cam->binningIndex = bin;
        cam->exposureTime = preExpTime;
        cam->gain = gain;
        configurePreview(thread);
    });
}

void MultFlow::preExpChanged(double value, bool needAdjust)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->exposureTime = roundedExposure(value);
    if (needAdjust) {
        m_ctx.tucsen()->isExposureChanged = true;
        m_autoExposure.exposureChosen();
    }
}

void MultFlow::preExpAndGainChanged(double exp, int gain)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->gain = gain;
    m_ctx.tucsen()->exposureTime = roundedExposure(exp);
}

void MultFlow::gainChanged(int value)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->gain = value;
    m_ctx.tucsen()->isGainChanged = true;
}

void MultFlow::atExposure(int aeVal)
{
    m_autoExposure.request(aeVal);
}

double MultFlow::getExposure()
{
    return m_ctx.tucsen()->getExposureTime();
}

double MultFlow::getGain()
{
    return m_ctx.tucsen()->getGain();
}

void MultFlow::captureStart(double expCap, int lightType)
{
    if (!preview.thread())
        return;
    // The thread records into the experiment's row: without a record it has none of its own.
    if (!experiment) {
        qWarning() << "_MultTSCaptureStart refused: no experiment record";
        emit m_ctx.captureFinished(QString());
        return;
    }
    preview.stop([this, expCap, lightType] { previewEnded(true, expCap, lightType); });
}

void MultFlow::previewEnded(bool startNext, double expCap, int lightType)
{
    if (startNext)
        startCapture(expCap, lightType);
    emit m_ctx.previewStoped();
}

void MultFlow::startCapture(double expCap, int lightType)
{
    if (captureThread) {
        qDebug() << "capture already running";
        return;
    }
    if (!experiment) {
        qWarning() << "capture not started: no experiment record";
        emit m_ctx.captureFinished(QString());
        return;
    }
    auto* thread = new MultTSCaptureThread(expCap, lightType, nullptr);
    thread->captureMutex = m_ctx.captureMutex();
    thread->isFL9BW = MachineModel::isMultFL9BW(m_ctx.authorityType());
    connect(thread, &MultTSCaptureThread::singleImageCaped, this, &MultFlow::imageCaped);
    // The thread's one permit exists once its exposure runs; no camera start is under way once
    // it was given, and none begins while the abort holds the mutex.
    CaptureRole::CancelRule cancel {[] { return 1; }, &thread->isCaptureFinished, true};
    capture.start(thread, experiment->imageSavePath, std::move(cancel), [this] {
        if (exitPending) {
            exitPending = false;
            m_ctx.tucsenFrames()->clearFrameList(true);
        }
    });
}

void MultFlow::imageCaped(const QString& imageName, int bin, double expCap, int gain)
{
    TsFrameStore* frames = m_ctx.tucsenFrames();
    frames->currentImageIndex = frames->frameCount() - 1;
    emit m_ctx.singleImageCaped(imageName, bin, expCap, gain);
    updateHisShowAndImageShow();
}

void MultFlow::updateExpInfo()
{
    if (experiment)
        return;
    std::unique_ptr<MultExperimentRecord> record =
        newExperimentRecord<MultExperimentRecord>(m_ctx, EnumOBJ::Mult, QStringLiteral("Mult"));
    m_ctx.tucsen()->setExpName(record->name);
    // The capture finds its row by name: without a row of its own it would write into whichever
    // experiment holds that name already, so the record is kept only with its row.
    if (!insertExperimentRow(m_ctx.multExpDB(), record.get())) {
        // Without its row the capture would do nothing visible: the operator is told why.
        m_ctx.reportError(EnumOBJ::StoreErr, m_ctx.multExpDB()->refusalText());
        return;
    }
    m_ctx.setCurExpName(record->name);
    experiment = std::move(record);
}

void MultFlow::updateExpName(const QString& newName, const QString& newImageSavePath)
{
    m_ctx.renameTucsenExperiment(experiment.get(), newName, newImageSavePath);
}

void MultFlow::cancelCapture()
{
    capture.cancel();
}

void MultFlow::updateCurImageName(const QString& imageName)
{
    curMultImageName = imageName;
}

void MultFlow::exitExperiment()
{
    const bool previewRunning = preview.thread() != nullptr;
    preview.stop([this] { previewEnded(false, 0.0, EnumOBJ::Unknow_LightType); });
    if (captureThread) {
        // The running capture may still add its frame: the frames go when it has ended. It
        // needs nothing of the record, which goes now so that a next visit starts its own.
        exitPending = true;
        cancelCapture();
        dropRecord();
    } else {
        clearCache();
    }
    m_ctx.lightChange(false);
    if (!previewRunning || m_ctx.errorCode() != EnumOBJ::NoErr)
        emit m_ctx.previewStoped();
}

void MultFlow::updateImageShow(int minInten, int maxInten)
{
    // One body with the Western-blot refresh.
    imagerefresh::showTucsenStretched(m_ctx, minInten, maxInten);
}

void MultFlow::imageListClicked(int index)
{
    if (imagerefresh::selectTucsenFrame(m_ctx.tucsenFrames(), index, "_MultTSImageListClicked"))
        updateHisShowAndImageShow();
}

void MultFlow::updateHisShowAndImageShow()
{
    HistogramInfo info;
    TsFrameStore* frames = m_ctx.tucsenFrames();
    if (!imagerefresh::tucsenHistogramAt(frames, frames->currentImageIndex, info))
        return;
    imagerefresh::drawHistogram(m_ctx, m_ctx.multLineSeries, info);
    updateImageShow(info.low, info.high);
}

void MultFlow::clearCache()
{
    m_ctx.tucsenFrames()->clearFrameList(true);
    dropRecord();
}

void MultFlow::dropRecord()
{
    if (experiment) {
        qDebug() << "删除实验信息.";
        experiment.reset();
    }
}

void MultFlow::clearFocusValues()
{
    if (MultTSPreviewThread* thread = preview.thread())
        thread->clearFocusValues();
}
