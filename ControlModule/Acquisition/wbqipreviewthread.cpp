#include "wbqipreviewthread.h"

#include "camerarun.h"
#include "kestrixbuffer.h"
#include "kestrixctrl.h"
#include "wbqicommon.h"

#include <QDebug>

#include <cstdint>
#include <memory>

namespace {

constexpr uint64_t kRingFrames = 10;
// The camera settles after an abort before it takes new settings.
constexpr int kRestartPauseMs = 100;

const wbqi::WaitTexts kWaitTexts {"Processing aborted on camera preview ",
                                  "Camera %d timed out waiting for a preview frame"};

} // namespace

WBQIPreviewThread::WBQIPreviewThread(QObject* parent)
    : QThread(parent)
    , kx(KestrixCtrl::getInstance())
{
}

WBQIPreviewThread::~WBQIPreviewThread() = default;

void WBQIPreviewThread::reportError(const char* text)
{
    wbqi::logError("相机错误代码:", text);
    emit sig_CamErrorOccur();
}

void WBQIPreviewThread::run()
{
    KestrixCameraContext* ctx = kx->context();
    // A wake left by an earlier stop is no frame of this run.
    ctx->preview.clear();
    ctx->previewSettingsChanged = false;
    const int16_t h = ctx->hcam;
    const rgn_type region = ctx->region;

    if (kx_cam_register_callback_ex3(h, KX_EVENT_EOF, kestrixPreviewFrameReady, ctx) != KX_SUCCESS) {
        reportError("kx_cam_register_callback()  error.");
        return;
    }
    const int16_t speed = int16_t(ctx->spdTabIndex);
    if (kx_set_param(h, PARAM_SPDTAB_INDEX, &speed) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_SPDTAB_INDEX) error.");
        return;
    }
    uint32_t frameBytes = 0;
    if (kx_exp_setup_cont(h, 1, &region, KX_EXP_MODE_TIMED_OUT, ctx->exposureTime, &frameBytes, KX_BUFFER_CIRCULAR)
        != KX_SUCCESS) {
        reportError("kx_exp_setup_cont() error.");
        return;
    }
    int16_t gain = int16_t(ctx->gainIndex.load());
    if (kx_set_param(h, PARAM_GAIN_INDEX, &gain) != KX_SUCCESS) {
        reportError("kx_set_param(PARAM_GAIN_INDEX) error.");
        return;
    }
    // The driver takes the ring's size in 32 bits: a larger ring is refused like a failed allocation.
    const uint64_t ringBytes = uint64_t(frameBytes) * kRingFrames;
    KestrixBuffer ring(ringBytes <= UINT32_MAX ? size_t(ringBytes) : 0);
    if (!ring) {
        reportError("unable to allocate buffer for camera.");
        return;
    }
    if (kx_exp_start_cont(h, ring.data(), uint32_t(ring.size())) != KX_SUCCESS) {
        reportError("kx_exp_start_cont() error.");
        return;
    }

    // From here the camera writes into the ring: it is stopped before the ring is released.
    bool stopped = false;
    auto stop = [&] {
        const bool aborted = wbqi::stopAcquisition(h, &stopped);
        if (!stopped)
            ring.abandon();
        return aborted;
    };
    for (;;) {
        void* frame = nullptr;
        const KestrixFrameSet::WaitResult got =
            wbqi::waitForEofEvent(ctx->preview, ctx->previewAbort, frameTimeoutMs, h, kWaitTexts, &frame);
        if (got != KestrixFrameSet::Frame) {
            if (!stop())
                reportError("kx_exp_abort() error.");
            else if (got != KestrixFrameSet::Aborted)
                reportError("waitForEofEvent errorOccured.");
            break;
        }
        // The views get a copy: the ring's slot is written again a few frames later.
        kx->setLiveFrame(std::make_shared<const KestrixFrame>(KestrixFrame::fromBuffer(frame, region)));

        if (ctx->previewSettingsChanged.exchange(false)) {
            if (!stop()) {
                reportError("kx_exp_abort() error.");
                break;
            }
            // A frame announced just before the abort would point into a slot the restart refills.
            ctx->preview.clear();
            acq::pauseMs(kRestartPauseMs);
            gain = int16_t(ctx->gainIndex.load());
            if (kx_set_param(h, PARAM_GAIN_INDEX, &gain) != KX_SUCCESS) {
                reportError("kx_set_param(PARAM_GAIN_INDEX) error.");
                break;
            }
            if (kx_exp_setup_cont(h, 1, &region, KX_EXP_MODE_TIMED_OUT, ctx->exposureTime, &frameBytes,
                                  KX_BUFFER_CIRCULAR)
                != KX_SUCCESS) {
                reportError("kx_exp_setup_cont() error.");
                break;
            }
            // The ring keeps its size: the region, and so the frame, is the same.
            if (kx_exp_start_cont(h, ring.data(), uint32_t(ring.size())) != KX_SUCCESS) {
                reportError("kx_exp_start_cont() error.");
                break;
            }
            stopped = false;
        }
        emit updatePreviewImage();
    }
    // No live frame outlives the preview.
    kx->setLiveFrame(nullptr);
}
