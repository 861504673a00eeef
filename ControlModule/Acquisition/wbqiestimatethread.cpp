#include "wbqiestimatethread.h"

#include "kestrixbuffer.h"
#include "kestrixctrl.h"
#include "wbqicommon.h"
#include "wbqiestimate.h"

#include <QDebug>
#include <QRandomGenerator>

#include <algorithm>

namespace {

constexpr int16_t kReferenceGain = 3;
const wbqi::WaitTexts kWaitTexts {"Processing aborted on camera est ", "Camera %d timed out waiting for a est frame"};

} // namespace

WBQIEstimateThread::WBQIEstimateThread(QObject* parent)
    : QThread(parent)
    , kx(KestrixCtrl::getInstance())
{
}

WBQIEstimateThread::~WBQIEstimateThread() = default;

void WBQIEstimateThread::reportError(const char* text)
{
    wbqi::logError("camera errorCode:", text);
    emit sig_CamErrorOccur();
}

int WBQIEstimateThread::randomOffset()
{
    return int(QRandomGenerator::global()->bounded(10000));
}

WBQIEstimateThread::Grab WBQIEstimateThread::captureReferenceImage(cv::Mat& image)
{
    image.release();
    KestrixCameraContext* ctx = kx->context();
    const int16_t h = ctx->hcam;
    if (kx_cam_register_callback_ex3(h, KX_EVENT_EOF, kestrixSequenceFrameReady, ctx) != KX_SUCCESS) {
        reportError("kx_cam_register_callback() error.");
        return Grab::Failed;
    }
    const int16_t gain = kReferenceGain;
    if (kx_set_param(h, PARAM_GAIN_INDEX, &gain) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_GAIN_INDEX) error.");
        return Grab::Failed;
    }
    const uint16_t b = uint16_t(qiestimate::kReferenceBinning);
    referenceRegion = rgn_type {0, 2687, b, 0, 2199, b};
    qDebug() << "开始采集参考图像：" << wbqi::now();
    uint32_t frameBytes = 0;
    if (kx_exp_setup_seq(h, 1, 1, &referenceRegion, KX_EXP_MODE_TIMED_OUT, uint32_t(std::max(curExpTime, 0)),
                         &frameBytes)
        != KX_SUCCESS) {
        reportError("kx_exp_setup_seq() error.");
        return Grab::Failed;
    }
    KestrixBuffer buffer(frameBytes);
    if (!buffer) {
        reportError("unable to allocate buffer for camera.");
        return Grab::Failed;
    }
    // A wake left by an earlier run is no frame of this one.
    ctx->sequence.clear();
    if (kx_exp_start_seq(h, buffer.data()) != KX_SUCCESS) {
        reportError("kx_exp_start_seq() error.");
        return Grab::Failed;
    }

    void* frame = nullptr;
    const KestrixFrameSet::WaitResult got =
        wbqi::waitForEofEvent(ctx->sequence, ctx->estimateAbort, frameTimeoutMs, h, kWaitTexts, &frame);
    if (got == KestrixFrameSet::Frame) {
        // The frame lies in the buffer, which this thread still owns: read it before anything else.
        KestrixFrame reference = KestrixFrame::fromBuffer(frame, referenceRegion);
        if (kx_exp_finish_seq(h, buffer.data(), 0) != KX_SUCCESS)
            reportError("kx_exp_finish_seq() error.");
        qDebug() << "结束采集图像：" << wbqi::now();
        bool stopped = false;
        if (!wbqi::stopAcquisition(h, &stopped))
            reportError("kx_exp_abort() error.");
        if (!stopped)
            buffer.abandon();
        image = kx->frameToMat8(reference);
        return image.empty() ? Grab::NoFrame : Grab::Frame;
    }
    // No frame: nothing to convert; the sequence ends and the buffer is released once.
    if (kx_exp_finish_seq(h, buffer.data(), 0) != KX_SUCCESS) {
        reportError("kx_exp_finish_seq() error.");
        bool stopped = false;
        wbqi::stopAcquisition(h, &stopped);
        if (!stopped)
            buffer.abandon();
        return Grab::Failed;
    }
    return got == KestrixFrameSet::Aborted ? Grab::Aborted : Grab::NoFrame;
}

void WBQIEstimateThread::run()
{
    qDebug() << "预估线程开始运行。";
    const int b = std::max<int>(kx->context()->region.pbin, 1);
    const int maximum = qiestimate::maximumFor(b, offsetSource ? offsetSource() : randomOffset());
    const qiestimate::Estimate estimate =
        qiestimate::estimateExposure(b, maximum, curExpTime, [this](int referenceMs, cv::Mat& image) {
            curExpTime = referenceMs;
            switch (captureReferenceImage(image)) {
            case Grab::Frame: return qiestimate::Reference::Image;
            case Grab::NoFrame: return qiestimate::Reference::Failed;
            case Grab::Aborted:
            case Grab::Failed: break;
            }
            return qiestimate::Reference::Stop;
        });
    curExpTime = estimate.referenceExposure;
    if (estimate.stopped)
        return;
    qDebug() << "预估时间：" << estimate.exposure;
    emit updateEstimateTime(estimate.exposure);
}
