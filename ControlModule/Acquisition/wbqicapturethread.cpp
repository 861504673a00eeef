#include "wbqicapturethread.h"

#include "asyncserialportthread.h"
#include "cabinetlights.h"
#include "pacing.h"
#include "experimentrecord.h"
#include "kestrixbuffer.h"
#include "kestrixctrl.h"
#include "kestrixprocessing.h"
#include "lightctrl.h"
#include "useropts.h"
#include "wbqicommon.h"
#include "westernblotexperimentdb.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

// Exposures above this read out at the next, slower speed of the table.
constexpr double kSlowReadoutAboveMs = 30000.0;
const wbqi::WaitTexts kWaitTexts {"Processing aborted on camera cap ", "Camera %d timed out waiting for a cap frame"};

} // namespace

WBQICaptureThread::WBQICaptureThread(QObject* parent)
    : QThread(parent)
    , kx(KestrixCtrl::getInstance())
    , experimentDB(WesternBlotExperimentDB::getInstance())
    , userOpts(UserOpts::getInstance())
{
}

WBQICaptureThread::~WBQICaptureThread() = default;

ASyncSerialPortThread* WBQICaptureThread::link()
{
    if (!serialPort)
        serialPort = ASyncSerialPortThread::getInstance();
    return serialPort;
}

void WBQICaptureThread::lightOn()
{
    if (lights)
        lights->lightOn();
}

void WBQICaptureThread::lightOff()
{
    if (lights)
        lights->lightOff();
}

void WBQICaptureThread::reportError(const char* text)
{
    wbqi::logError("相机错误代码：", text);
    emit sig_CamErrorOccur();
    lightOff();
}

void WBQICaptureThread::buildExpTimeList()
{
    wbplan::ExpListInput in;
    userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapExpTimesChanged);
    in.listChanged = userOpts->multiCapExpTimesChanged();
    if (in.listChanged) {
        userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapExpTimes);
        in.explicitList = userOpts->multiCapExpTimes();
    } else {
        userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapCount);
        userOpts->loadUserOptsByName(UserOpts::OPT_IntegralAccumulate);
        userOpts->loadMultiCapOpts();
        in.count = userOpts->multiCapCount();
        in.first = userOpts->multiCapFirstTime();
        in.firstUnit = int(userOpts->multiCapFirstTimeUnit());
        in.delta = userOpts->multiCapDeltaTime();
        in.deltaUnit = int(userOpts->multiCapDeltaTimeUnit());
        in.integralAccumulate = userOpts->integralAccumulate();
    }
    m_expTimeList = wbplan::buildExpTimeList(in);
    qDebug() << "expTimeList:" << QVector<int>(m_expTimeList.begin(), m_expTimeList.end());
}

void WBQICaptureThread::run()
{
    if (!lightCtrl && !ownLightCtrl)
        ownLightCtrl = std::make_unique<LightCtrl>(link(), nullptr);
    lights = std::make_unique<acq::CabinetLights>(lightCtrl ? lightCtrl : ownLightCtrl.get(), link(), false,
                                                  [this](bool on) { emit lightStatusChange(on); });
    if (!record)
        record.reset(experimentDB->selectExperimentByName(kx->expName));
    if (!record) {
        qWarning() << "capture refused: no experiment record named" << kx->expName;
        lights.reset();
        ownLightCtrl.reset();
        return;
    }
    m_imageSavePath = record->imageSavePath;

    KestrixCameraContext* ctx = kx->context();
    m_hcam = ctx->hcam;
    m_region = ctx->region;
    m_speedIndex = ctx->spdTabIndex;
    m_gainIndex = int16_t(ctx->gainIndex.load());
    m_waitError = false;
    // The merge takes the first and the last frame this run added.
    const int firstIndex = kx->frameCount();

    wbplan::PlanInput plan;
    plan.single = kx->singleCaptureVisible;
    int completed = 0;
    bool stopped = false;
    bool failed = false;
    int frames = 0;
    if (kx_cam_register_callback_ex3(m_hcam, KX_EVENT_EOF, kestrixSequenceFrameReady, ctx) != KX_SUCCESS) {
        reportError("kx_cam_register_callback_ex3() error.");
        failed = true;
    } else if (kx_set_param(m_hcam, PARAM_GAIN_INDEX, &m_gainIndex) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_GAIN_INDEX) error.");
        failed = true;
    } else {
        userOpts->loadUserOptsByName(UserOpts::OPT_MarkerCapture);
        plan.markerCapture = userOpts->markerCapture();
        plan.previewExposure = double(ctx->exposureTime.load());
        if (plan.single) {
            userOpts->loadUserOptsByName(UserOpts::OPT_SingleCapExpTime);
            singleExposure = double(userOpts->singleCapExpTime());
            plan.singleExposure = singleExposure;
        } else {
            userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapCount);
            plan.multiCapCount = userOpts->multiCapCount();
            buildExpTimeList();
            plan.expTimeList = m_expTimeList;
        }
        bool bounded = false;
        frames = wbplan::framesToAcquire(plan, &bounded);
        if (bounded)
            qWarning() << "frame plan bounded by its exposure list:" << frames << "frames," << m_expTimeList.size()
                       << "exposures for" << plan.multiCapCount;
        qDebug() << "采集帧数：" << frames;
        userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
        const int bk = int(userOpts->sampleImageBkColor());

        for (int i = 0; i < frames; ++i) {
            if (ctx->captureAbort) {
                stopped = true;
                break;
            }
            const FrameResult result = captureFrame(i, plan, bk);
            if (result == FrameResult::Stored || result == FrameResult::StoredLast)
                ++completed;
            if (result == FrameResult::Aborted)
                stopped = true;
            if (result == FrameResult::Failed || result == FrameResult::StoredLast)
                failed = true;
            if (result != FrameResult::Stored)
                break;
        }
        bool cameraStopped = false;
        if (!wbqi::stopAcquisition(m_hcam, &cameraStopped))
            reportError("kx_exp_abort() error.");
        if (m_waitError)
            reportError("waitForEofEvent errorOccured.");
    }

    if ((stopped || failed) && completed == 0) {
        // Nothing of this experiment reached the disk: no row is left behind.
        experimentDB->deleteExperimentByUuid(record->uuid);
        if (stopped)
            lightOff();
    }
    // A single marker frame leaves the light on, and nothing else may leave the lamp burning,
    // whatever way the run ends.
    if (lights->isOn())
        lightOff();

    if (plan.single && singleExposure != 0 && !plan.markerCapture && kx->frameCount() - firstIndex > 1)
        mergeImages(firstIndex);

    record.reset();
    lights.reset();
    ownLightCtrl.reset();
}

WBQICaptureThread::FrameResult WBQICaptureThread::captureFrame(int i, const wbplan::PlanInput& plan, int bk)
{
    qDebug() << "开始采集图像：" << wbqi::now();
    const wbplan::FramePlan p = wbplan::planFrame(plan, i);
    isSampleFrame = p.sample;
    if (p.light == wbplan::Light::On)
        lightOn();
    else if (p.light == wbplan::Light::Off)
        lightOff();
    double exposure = p.exposure;

    const int16_t speed = int16_t(m_speedIndex + (exposure > kSlowReadoutAboveMs ? 1 : 0));
    if (kx_set_param(m_hcam, PARAM_SPDTAB_INDEX, &speed) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_SPDTAB_INDEX) error.");
        return FrameResult::Failed;
    }
    qDebug() << "当前采集时间：" << exposure;
    // The camera takes whole milliseconds; the record keeps the exposure as planned.
    const uint32_t cameraExposure = uint32_t(std::lround(std::clamp(exposure, 0.0, double(UINT32_MAX))));
    uint32_t frameBytes = 0;
    if (kx_exp_setup_seq(m_hcam, 1, 1, &m_region, KX_EXP_MODE_TIMED_OUT, cameraExposure, &frameBytes) != KX_SUCCESS) {
        reportError("kx_exp_setup_seq() error.");
        return FrameResult::Failed;
    }
    kx->frameSize = int(frameBytes);
    KestrixBuffer buffer(frameBytes);
    if (!buffer) {
        reportError("unable to allocate buffer for camera.");
        return FrameResult::Failed;
    }
    KestrixCameraContext* ctx = kx->context();
    // A wake left by an earlier run is no frame of this one; an abort flag set meanwhile still is.
    ctx->sequence.clear();
    if (kx_exp_start_seq(m_hcam, buffer.data()) != KX_SUCCESS) {
        reportError("kx_exp_start_seq() error.");
        return FrameResult::Failed;
    }

    const int timeoutMs = frameTimeoutMs > 0 ? frameTimeoutMs : wbplan::frameWaitMs(exposure, pacing::scale());
    void* frame = nullptr;
    const KestrixFrameSet::WaitResult got =
        wbqi::waitForEofEvent(ctx->sequence, ctx->captureAbort, timeoutMs, m_hcam, kWaitTexts, &frame);
    if (got != KestrixFrameSet::Frame) {
        // The camera may still write into the buffer until it is stopped; then the buffer goes.
        bool stopped = false;
        wbqi::stopAcquisition(m_hcam, &stopped);
        if (!stopped)
            buffer.abandon();
        if (got == KestrixFrameSet::Aborted)
            return FrameResult::Aborted;
        m_waitError = true;
        return FrameResult::Failed;
    }

    StoreOptions store;
    store.accumulate = !plan.single && userOpts->integralAccumulate();
    // The first sample starts the sum; each later one takes in the frame before it.
    store.blend = store.accumulate && i >= (plan.markerCapture ? 1 : 2);
    store.backgroundColor = bk;
    bool written = false;
    const QString path = storeFrame(frame, m_region, p, store, &exposure, &written);
    bool finished = true;
    if (kx_exp_finish_seq(m_hcam, buffer.data(), 0) != KX_SUCCESS) {
        reportError("kx_exp_finish_seq() error.");
        finished = false;
    }
    if (path.isEmpty() || !written) {
        qWarning() << "capture ends: a picture could not be written" << path;
        emit sig_SaveFailed(path);
        return FrameResult::Failed;
    }

    exposure = std::round(exposure * 1000.0) / 1000.0;
    const int bin = record->binning.mid(record->binning.lastIndexOf(QLatin1Char('*')) + 1).toInt();
    emit singleImageCaped(path, bin, exposure, m_gainIndex);
    qDebug() << "结束采集图像：" << wbqi::now();
    record->exposureTime += QString::number(exposure, 'g', 6) + QLatin1Char(',');
    record->gain += QString::number(m_gainIndex) + QLatin1Char(',');
    record->imageNames += path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + QLatin1Char(',');
    experimentDB->updateExperimentParams(record.get());
    return finished ? FrameResult::Stored : FrameResult::StoredLast;
}

QString WBQICaptureThread::storeFrame(const void* buffer, const rgn_type& region, const wbplan::FramePlan& p,
                                      const StoreOptions& options, double* exposure, bool* written)
{
    const int bk = options.backgroundColor;
    *written = false;
    KestrixFrame frame = KestrixFrame::fromBuffer(buffer, region);
    if (frame.empty())
        return QString();
    if (p.sample && bk == UserOpts::White)
        kx->invertImage(frame);
    if (options.blend) {
        // The frame before it already holds the sum of all earlier samples.
        KestrixFrame previous = kx->frameAt(kx->frameCount() - 1);
        userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
        if (!kestrix::accumulate(frame.view(), previous.view(), int(userOpts->sampleImageBkColor())))
            qWarning() << "accumulation skipped: no earlier frame of this size";
    }
    if (options.accumulate)
        *exposure += p.accumulated;
    // The list and the capture view share the one stored frame.
    auto shown = std::make_shared<const KestrixFrame>(std::move(frame));
    const int index = kx->appendFrame(shown);
    kx->setCaptureFrame(shown);
    const QString path = kx->processAndSaveImage(*shown, !p.savedAsMarker,
                                                 p.savedAsMarker ? KestrixCtrl::KindMarker : KestrixCtrl::KindSignal,
                                                 written);
    // The list holds only frames whose pictures are on disk.
    if (!*written)
        kx->removeFrame(index);
    else
        kx->setFrameFileName(index, path.section(QLatin1Char('/'), -1));
    return path;
}

void WBQICaptureThread::mergeImages(int firstIndex)
{
    qDebug() << "开始合成图像:" << wbqi::now();
    KestrixFrame marker = kx->frameAt(firstIndex);
    KestrixFrame sample = kx->frameAt(kx->frameCount() - 1);
    int low = 0;
    int high = 65535;
    kx->lastLevels(&low, &high);
    kx->stretchLevels(sample, low, high);
    if (!kx->multiplyImage(marker, sample))
        return;
    const int index = kx->appendFrame(marker);
    bool written = false;
    const QString path = kx->processAndSaveImage(marker, false, KestrixCtrl::KindMerge, &written);
    if (!written) {
        kx->removeFrame(index);
        qWarning() << "merge not kept: its picture could not be written" << path;
        emit sig_CamErrorOccur();
        return;
    }
    kx->setFrameFileName(index, path.section(QLatin1Char('/'), -1));
    qDebug() << "结束合成图像:" << wbqi::now();
    emit singleImageCaped(path, -1, -1.0, -1);
}
