#include "wbtsflow.h"

#include "camopts.h"
#include "experimentrecord.h"
#include "experimentrecords.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "imagerefresh.h"
#include "machinemodel.h"
#include "smbuslensctrl.h"
#include "tucsenautoexposure.h"
#include "useropts.h"
#include "wbplan.h"
#include "wbtscapturethread.h"
#include "wbtsestimatethread.h"
#include "wbtspreviewthread.h"
#include "westernblotexperimentdb.h"

#include <QDebug>
#include <QThread>

namespace {
constexpr int kFullRangeHigh = 65535;
} // namespace

WBTSFlow::WBTSFlow(FlowContext& ctx, TucsenAutoExposure& autoExposure, QObject* parent)
    : QObject(parent)
    , preview(this, ctx.tucsen())
    , capture(this, ctx, captureThread)
    , m_ctx(ctx)
    , m_autoExposure(autoExposure)
{
}

WBTSFlow::~WBTSFlow() = default;

QString WBTSFlow::binningText(int authorityType, int binningIndex)
{
    int factor = wbplan::binningFactor(MachineModel::isWBFL9BW(authorityType), binningIndex);
    // The threads treat an index outside the table as its first entry; the record says the same.
    if (factor == 0)
        factor = 1;
    return QStringLiteral("%1*%1").arg(factor);
}

void WBTSFlow::previewStart()
{
    // The cache holds the frames and record a running capture writes into.
    if (estimateThread || captureThread) {
        qWarning() << "_WBTSPreviewStart refused while a capture runs";
        return;
    }
    clearCache();
    CamOpts* camOpt = m_ctx.camOpts();
    H695ICECamCtrl* cam = m_ctx.tucsen();
    camOpt->loadCurWBTSCamOpts();
    const int authority = m_ctx.authorityType();
    const bool fl9bw = MachineModel::isWBFL9BW(authority);
    const int runningBinning = cam->binningIndex;
    cam->binningIndex = camOpt->wBTSCurBinning();
    cam->gain = fl9bw ? camOpt->wBTSCurGainIndex() : camOpt->wBTSCurGain();
    cam->exposureTime = camOpt->wBTSCurExposurePre();
    if (preview.thread()) {
        // The running preview takes the reloaded options: a new binning needs the camera set up
        // anew, exposure and gain go in between two frames.
        if (preview.stopping())
            return;
        if (runningBinning != cam->binningIndex.load()) {
            const int bin = cam->binningIndex.load();
            const double exposure = cam->exposureTime.load();
            const int gain = cam->gain.load();
            // The restart stops the thread first; it then runs with these.
            cam->binningIndex = runningBinning;
            preview.restart("_WBTSPreviewStart", [cam, bin, exposure, gain] {
                cam->binningIndex = bin;
                cam->exposureTime = exposure;
                cam->gain = gain;
            });
            return;
        }
        cam->isExposureChanged = true;
        cam->isGainChanged = true;
        return;
    }
    auto* thread = new WBTSPreviewThread(nullptr);
    connect(thread, &WBTSPreviewThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &WBTSPreviewThread::updatePreviewImage, this, [this] { emit m_ctx.imageChanged(); });
    thread->isFL9BW = fl9bw;
    thread->isMini = MachineModel::isMiniCabinet(authority);
    preview.start(thread);
}

void WBTSFlow::binChanged(int bin, int preExpTime, int gain)
{
    WBTSPreviewThread* thread = preview.thread();
    preview.restart("_WBTSBinChanged", [this, thread, bin, preExpTime, gain] {
        H695ICECamCtrl* cam = m_ctx.tucsen();
        cam->binningIndex = bin;
        cam->exposureTime = preExpTime;
        cam->gain = gain;
        thread->isFL9BW = MachineModel::isWBFL9BW(m_ctx.authorityType());
    });
}

void WBTSFlow::preExpChanged(double value, bool needAdjust)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->exposureTime = value;
    if (needAdjust) {
        m_ctx.tucsen()->isExposureChanged = true;
        m_autoExposure.exposureChosen();
    }
}

void WBTSFlow::preExpAndGainChanged(double exp, int gain)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->exposureTime = exp;
    m_ctx.tucsen()->gain = gain;
}

void WBTSFlow::gainChanged(int value)
{
    if (!preview.thread())
        return;
    m_ctx.tucsen()->gain = value;
    m_ctx.tucsen()->isGainChanged = true;
}

void WBTSFlow::atExposure(int aeVal)
{
    m_autoExposure.request(aeVal);
}

void WBTSFlow::captureStart(bool autoCapture)
{
    stopPreview(autoCapture, true);
}

void WBTSFlow::stopPreview(bool autoCapture, bool startNext)
{
    preview.stop([this, autoCapture, startNext] { previewEnded(autoCapture, startNext); });
}

void WBTSFlow::previewEnded(bool autoCapture, bool startNext)
{
    m_ctx.sendLightCmd(CmdMainLight, {PowerOff});
    emit m_ctx.lightStatusChange(false);
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

void WBTSFlow::startEstimate()
{
    m_ctx.lightChange(false);
    if (estimateThread) {
        qDebug() << "estimation already running";
        return;
    }
    auto* thread = new WBTSEstimateThread(nullptr);
    estimateThread = thread;
    connect(thread, &WBTSEstimateThread::sig_CamErrorOccur, this, [this] { m_ctx.cameraError(); });
    connect(thread, &WBTSEstimateThread::updateEstimateTime, this,
            [this](int estimateTime) { emit m_ctx.updateEstimateTime(estimateTime); });
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        estimateThread = nullptr;
        if (exitPending) {
            exitPending = false;
            clearCache();
            return;
        }
        startCapture();
    });
    thread->isFL9BW = MachineModel::isWBFL9BW(m_ctx.authorityType());
    thread->start(QThread::InheritPriority);
    emit m_ctx.estimateStart();
}

bool WBTSFlow::createExperiment()
{
    if (experiment)
        return true;
    const QString prefix = QLatin1String(m_ctx.singleCaptureVisible() ? "WBS" : "WBM");
    std::unique_ptr<WesternBlotExperimentRecord> record =
        newExperimentRecord<WesternBlotExperimentRecord>(m_ctx, EnumOBJ::WB, prefix);
    record->binning = binningText(m_ctx.authorityType(), m_ctx.tucsen()->binningIndex);
    m_ctx.tucsen()->setExpName(record->name);
    if (!insertExperimentRow(m_ctx.wbExpDB(), record.get())) {
        // Without its row the capture would do nothing visible: the operator is told why.
        m_ctx.reportError(EnumOBJ::StoreErr, m_ctx.wbExpDB()->refusalText());
        return false;
    }
    m_ctx.setCurExpName(record->name);
    experiment = std::move(record);
    return true;
}

void WBTSFlow::startCapture()
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
    auto* thread = new WBTSCaptureThread(nullptr);
    thread->serialPort = m_ctx.link();
    thread->captureMutex = m_ctx.captureMutex();
    const int authority = m_ctx.authorityType();
    thread->isFL9BW = MachineModel::isWBFL9BW(authority);
    thread->isMini = MachineModel::isMiniCabinet(authority);
    connect(thread, &WBTSCaptureThread::singleImageCaped, this, &WBTSFlow::imageCaped);
    connect(thread, &WBTSCaptureThread::lightStatusChange, this, [this](bool on) { emit m_ctx.lightStatusChange(on); });
    connect(thread, &WBTSCaptureThread::colorMarkerCaped, this,
            [this](QString imageName, int bin, double expCap, int gain) {
                emit m_ctx.colorMarkerCaped(imageName, bin, expCap, gain);
            });
    // One permit per started exposure: frameList + 1 of them exist only while the exposure of
    // the next frame runs, so the abort never lands between frames.
    TsFrameStore* frames = m_ctx.tucsenFrames();
    CaptureRole::CancelRule cancel {[frames] { return frames->frameCount() + 1; }, &thread->captureEnded, false};
    capture.start(thread, experiment->imageSavePath, std::move(cancel), [this] {
        if (exitPending) {
            exitPending = false;
            clearCache();
        }
    });
}

void WBTSFlow::cancelCapture()
{
    capture.cancel();
}

void WBTSFlow::exitExperiment()
{
    const bool previewRunning = preview.thread() != nullptr;
    stopPreview(false, false);
    if (estimateThread || captureThread) {
        // The running thread still writes into the cache: it is dropped when the thread ends.
        exitPending = true;
        cancelCapture();
    } else {
        clearCache();
    }
    m_ctx.lightChange(false);
    if (!previewRunning || m_ctx.errorCode() != EnumOBJ::NoErr)
        emit m_ctx.previewStoped();
}

void WBTSFlow::updateImageShow(int minInten, int maxInten)
{
    imagerefresh::showTucsenStretched(m_ctx, minInten, maxInten);
}

double WBTSFlow::getExposure()
{
    return m_ctx.tucsen()->getExposureTime();
}

double WBTSFlow::getGain()
{
    return m_ctx.tucsen()->getGain();
}

double WBTSFlow::getTem()
{
    return m_ctx.tucsen()->getTemperature();
}

void WBTSFlow::updateExpName(const QString& newName, const QString& newImageSavePath)
{
    m_ctx.renameTucsenExperiment(experiment.get(), newName, newImageSavePath);
}

void WBTSFlow::setEstimateRoi(double x, double y, double width, double height)
{
    m_ctx.tucsen()->setEstimateRoi(x, y, width, height);
}

void WBTSFlow::removeEstimateRoi()
{
    m_ctx.tucsen()->removeEstimateRoi();
}

void WBTSFlow::closeCamAndUnInit()
{
    m_ctx.tucsen()->closeCamera();
    SmbusLensCtrl::close();
}

void WBTSFlow::imageListClicked(int index)
{
    if (imagerefresh::selectTucsenFrame(m_ctx.tucsenFrames(), index, "_WBTSImageListClicked"))
        updateHisShowAndImageShow();
}

void WBTSFlow::updateHisShowAndImageShow()
{
    HistogramInfo info;
    TsFrameStore* frames = m_ctx.tucsenFrames();
    if (!imagerefresh::tucsenHistogramAt(frames, frames->currentImageIndex, info))
        return;
    imagerefresh::drawHistogram(m_ctx, m_ctx.wbLineSeries, info);
    // A capture without automatic stretch shows its frames as they came from the camera.
    if (!m_ctx.userOpts()->isAutoStretch() && captureThread)
        updateImageShow(0, kFullRangeHigh);
    else
        updateImageShow(info.low, info.high);
}

void WBTSFlow::imageCaped(const QString& imageName, int bin, double expCap, int gain)
{
    TsFrameStore* frames = m_ctx.tucsenFrames();
    // The frame this picture was saved from: the thread may already have listed the next one
    // (the merge), whose record is not written yet.
    const QString file = imageName.section(QLatin1Char('/'), -1);
    int index = frames->frameCount() - 1;
    for (int i = index; i >= 0; --i) {
        if (frames->frameFileName(i) == file) {
            index = i;
            break;
        }
    }
    frames->currentImageIndex = index;
    emit m_ctx.singleImageCaped(imageName, bin, expCap, gain);
    updateHisShowAndImageShow();
}

void WBTSFlow::clearCache()
{
    // Frames, their histograms and the shown frame go together: a histogram left behind would
    // describe a frame that no longer exists.
    m_ctx.tucsenFrames()->clearFrameList(true);
    experiment.reset();
    markerList.clear();
    colorMarkerList.clear();
    m_ctx.tucsenFrames()->clearOverExposure();
}

void WBTSFlow::clearFocusValues()
{
    if (WBTSPreviewThread* thread = preview.thread())
        thread->clearFocusValues();
}
