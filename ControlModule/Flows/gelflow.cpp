#include "gelflow.h"

#include "camopts.h"
#include "experimentrecord.h"
#include "experimentrecords.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "geltscapturethread.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "imagerefresh.h"
#include "machinemodel.h"
#include "tucsenautoexposure.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {
// The blue light's brightness is a percentage.
constexpr int kMaxBluePercent = 100;
} // namespace

GelFlow::GelFlow(FlowContext& ctx, TucsenAutoExposure& autoExposure, QObject* parent)
    : QObject(parent)
    , preview(this, ctx.tucsen())
    , capture(this, ctx, captureThread)
    , m_ctx(ctx)
    , m_autoExposure(autoExposure)
{
}

GelFlow::~GelFlow() = default;

void GelFlow::configurePreview(GelTSPreviewThread* thread, bool keep)
{
    const int authority = m_ctx.authorityType();
    thread->isGelTS20BW = MachineModel::isGelTS20BW(authority);
    thread->isFL9BW = MachineModel::isGelFL9BW(authority);
    thread->keepCameraSettings = keep && thread->isGelTS20BW;
}

void GelFlow::startPreview(bool restart)
{
    // The camera's binning, exposure and gain are those the running capture records.
    if (captureThread) {
        qWarning() << (restart ? "_GelTSPreviewReStart" : "_GelTSPreviewStart") << "refused while a capture runs";
        return;
    }
    H695ICECamCtrl* cam = m_ctx.tucsen();
    if (!restart) {
        CamOpts* camOpt = m_ctx.camOpts();
        camOpt->loadCurGelTSCamOpts();
        cam->binningIndex = camOpt->gelTSCurBinning();
        cam->gain = MachineModel::isGelFL9BW(m_ctx.authorityType()) ? camOpt->gelTSCurGainIndex() : camOpt->gelTSCurGain();
        cam->exposureTime = camOpt->gelTSCurExposurePre();
    }
    if (preview.thread())
        return;
    auto* thread = new GelTSPreviewThread(nullptr);
    connect(thread, &GelTSPreviewThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &GelTSPreviewThread::updatePreviewImage, this, [this] { emit m_ctx.imageChanged(); });
    configurePreview(thread, restart);
    preview.start(thread);
}

void GelFlow::previewStart()
{
    startPreview(false);
}

void GelFlow::previewReStart()
{
    startPreview(true);
}

void GelFlow::binChanged(int bin, int preExpTime, int gain)
{
    GelTSPreviewThread* thread = preview.thread();
    preview.restart("_GelTSBinChanged", [this, thread, bin, preExpTime, gain] {
        H695ICECamCtrl* cam = m_ctx.tucsen();
        cam->binningIndex = bin;
        cam->exposureTime = preExpTime;
        cam->gain = gain;
        configurePreview(thread, false);
    });
}

void GelFlow::roiChanged()
{
    GelTSPreviewThread* thread = preview.thread();
    preview.restart("_GelTSROIChanged", [this, thread] { configurePreview(thread, false); });
}

void GelFlow::preExpChanged(double value, bool needAdjust)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->exposureTime = std::round(value * 1000.0) / 1000.0;
    if (needAdjust) {
        m_ctx.tucsen()->isExposureChanged = true;
        m_autoExposure.exposureChosen();
    }
}

void GelFlow::preExpAndGainChanged(double exp, int gain)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->exposureTime = exp;
    m_ctx.tucsen()->gain = gain;
}

void GelFlow::gainChanged(int value)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->gain = value;
    m_ctx.tucsen()->isGainChanged = true;
}

void GelFlow::atExposure(int aeVal)
{
    m_autoExposure.request(aeVal);
}

double GelFlow::getExposure()
{
    return m_ctx.tucsen()->getExposureTime();
}

double GelFlow::getGain()
{
    return m_ctx.tucsen()->getGain();
}

void GelFlow::updateExpInfo()
{
    if (experiment)
        return;
    std::unique_ptr<GelExperimentRecord> record =
        newExperimentRecord<GelExperimentRecord>(m_ctx, EnumOBJ::Gel, QStringLiteral("Gel"));
    // The capture finds its row by name: a record whose row is not in (a store that refused it)
    // would have it write into another experiment's row.
    if (!insertExperimentRow(m_ctx.gelExpDB(), record.get())) {
        // Without its row the capture would do nothing visible: the operator is told why.
        m_ctx.reportError(EnumOBJ::StoreErr, m_ctx.gelExpDB()->refusalText());
        return;
    }
    m_ctx.tucsen()->setExpName(record->name);
    m_ctx.setCurExpName(record->name);
    experiment = std::move(record);
}

void GelFlow::updateExpName(const QString& newName, const QString& newImageSavePath)
{
    m_ctx.renameTucsenExperiment(experiment.get(), newName, newImageSavePath);
}

void GelFlow::updateCurImageName(const QString& imageName)
{
    curGelImageName = imageName;
}

void GelFlow::captureStart(int lightType)
{
    if (!preview.thread())
        return;
    // The thread names its pictures and row after the record: without one there is nothing to
    // write into. A refusal still answers the page, which waits for the end of its capture.
    if (!experiment) {
        qWarning() << "_GelTSCaptureStart refused: no experiment record (_GelTSUpdateExpInfo first)";
        emit m_ctx.captureFinished(QString());
        return;
    }
    if (captureThread) {
        qWarning() << "_GelTSCaptureStart refused: a capture runs";
        emit m_ctx.captureFinished(QString());
        return;
    }
    stopPreview(lightType, true);
}

void GelFlow::stopPreview(int lightType, bool startNext)
{
    preview.stop([this, lightType, startNext] {
        if (startNext)
            startCapture(lightType);
        emit m_ctx.previewStoped();
    });
}

void GelFlow::startCapture(int lightType)
{
    qDebug() << "_GelTSCapture.";
    if (captureThread) {
        qDebug() << "capture already running";
        return;
    }
    if (!experiment) {
        qWarning() << "gel capture not started: no experiment record";
        emit m_ctx.captureFinished(QString());
        return;
    }
    auto* thread = new GelTSCaptureThread(lightType, nullptr);
    thread->serialPortThread = m_ctx.link();
    thread->captureMutex = m_ctx.captureMutex();
    const int authority = m_ctx.authorityType();
    thread->isGelTS20BW = MachineModel::isGelTS20BW(authority);
    thread->isFL9BW = MachineModel::isGelFL9BW(authority);
    thread->isGelAndWBTS = MachineModel::isGelAndWBTS(authority);
    connect(thread, &GelTSCaptureThread::singleImageCaped, this, &GelFlow::imageCaped);
    connect(thread, &GelTSCaptureThread::colorMarkerCaped, this,
            [this](QString imageName, int bin, double expCap, int gain) {
                emit m_ctx.colorMarkerCaped(imageName, bin, expCap, gain);
            });
    // One permit per started exposure: the frames being stored + 1 of them exist only while an
    // exposure runs that no stored frame accounts for, so the abort never lands on a frame that
    // has arrived.
    CaptureRole::CancelRule cancel {[thread] { return thread->frameCopyCount() + 1; }, &thread->isCaptureFinished, true};
    capture.start(thread, experiment->imageSavePath, std::move(cancel), [this] {
        if (exitPending) {
            exitPending = false;
            clearCache();
        }
    });
}

void GelFlow::cancelCapture()
{
    capture.cancel();
}

void GelFlow::leave(const std::function<void()>& lightsOff)
{
    const bool previewRunning = preview.thread() != nullptr;
    stopPreview(EnumOBJ::Unknow_LightType, false);
    if (captureThread) {
        // The running capture still writes into the cache: it is dropped when the thread ends.
        exitPending = true;
        cancelCapture();
    } else {
        clearCache();
    }
    lightsOff();
    if (!previewRunning || m_ctx.errorCode() != EnumOBJ::NoErr)
        emit m_ctx.previewStoped();
}

void GelFlow::exitExperiment()
{
    leave([this] { m_ctx.lightChange(false); });
}

void GelFlow::exitExperiment20BW()
{
    leave([this] { m_ctx.lightCmd(m_ctx.curLightType(), false); });
}

void GelFlow::updateImageShow()
{
    TsFrameStore* frames = m_ctx.tucsenFrames();
    const int index = frames->currentImageIndex;
    if (index == -1)
        return;
    if (!frames->showFrameAsCaptured()) {
        qWarning() << "_GelTSUpdateImageShow: no image" << index;
        return;
    }
    emit m_ctx.imageChanged();
}

void GelFlow::imageListClicked(int index)
{
    if (!imagerefresh::selectTucsenFrame(m_ctx.tucsenFrames(), index, "_GelTSImageListClicked"))
        return;
    updateHisShowAndImageShow();
    updateImageShow();
}

void GelFlow::updateHisShowAndImageShow()
{
    HistogramInfo info;
    TsFrameStore* frames = m_ctx.tucsenFrames();
    if (imagerefresh::tucsenHistogramAt(frames, frames->currentImageIndex, info))
        imagerefresh::drawHistogram(m_ctx, m_ctx.gelLineSeries, info);
}

void GelFlow::imageCaped(const QString& imageName, int bin, double expCap, int gain)
{
    TsFrameStore* frames = m_ctx.tucsenFrames();
    frames->currentImageIndex = frames->frameCount() - 1;
    emit m_ctx.singleImageCaped(imageName, bin, expCap, gain);
    updateHisShowAndImageShow();
    updateImageShow();
}

void GelFlow::openBlueLight20BW(int percent)
{
    m_ctx.sendLightCmd(CmdBluePercent, {static_cast<Data_Bits>(std::clamp(percent, 0, kMaxBluePercent))});
}

void GelFlow::requestBoardType()
{
    m_ctx.sendFrame(CmdGelLight, {BoardTypeQuery});
}

void GelFlow::releaseDoor20BW()
{
    m_ctx.sendFrame(CmdGelLight, {DoorEject});
}

void GelFlow::setAverageGrayThd20BW(int value)
{
    m_ctx.tucsen()->setExposureThreshold(value);
}

void GelFlow::clearCache()
{
    // Frames, their histograms and the shown frame go together: a histogram left behind would
    // describe a frame that no longer exists.
    m_ctx.tucsenFrames()->clearFrameList(false);
    m_ctx.tucsenFrames()->captureIndex = -1;
    if (experiment) {
        qDebug() << "删除实验信息.";
        experiment.reset();
    }
}

void GelFlow::clearFocusValues()
{
    if (GelTSPreviewThread* thread = preview.thread())
        thread->clearFocusValues();
}
