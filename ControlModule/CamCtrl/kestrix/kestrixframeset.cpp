#include "kestrixframeset.h"

#include <QDebug>

#include <chrono>
#include <cstring>

void KestrixFrameSet::deliver(int16_t hcam, const kx_frame_info& info)
{
    void* frame = nullptr;
    if (kx_exp_get_latest_frame(hcam, &frame) != KX_SUCCESS) {
        qDebug() << "kx_exp_get_latest_frame() error.";
        frame = nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex);
    frameInfo = info;
    latestFrame = frame;
    frameReady = true;
    cond.notify_all();
}

KestrixFrameSet::WaitResult KestrixFrameSet::wait(const std::atomic<bool>& abort, int timeoutMs, void** frame)
{
    if (frame)
        *frame = nullptr;
    // A steady clock: a system-clock change must not cut a long exposure short or stretch it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::unique_lock<std::mutex> lock(mutex);
    cond.wait_until(lock, deadline, [&] { return frameReady || abort.load(); });
    if (abort.load()) {
        // The stop's wake is used up here, or the next wait would take it for a frame.
        frameReady = false;
        return Aborted;
    }
    if (!frameReady)
        return TimedOut;
    frameReady = false;
    if (!latestFrame)
        return FrameMissing;
    if (frame)
        *frame = latestFrame;
    return Frame;
}

void KestrixFrameSet::interrupt()
{
    std::lock_guard<std::mutex> lock(mutex);
    frameReady = true;
    latestFrame = nullptr;
    cond.notify_all();
}

void KestrixFrameSet::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    frameReady = false;
    latestFrame = nullptr;
    std::memset(&frameInfo, 0, sizeof frameInfo);
}

void KestrixCameraContext::fillOpened(const char* name, int16_t handle)
{
    std::memset(camName, 0, sizeof camName);
    std::strncpy(camName, name, sizeof camName - 1);
    isCamOpen = true;
    hcam = handle;
    region = rgn_type{0, 2687, 1, 0, 2199, 1};
    spdTabIndex = 1;
    gainIndex = 1;
    clearMode = 1;
    tempSetpoint = -2000;
    exposureTime = 200;
    secondExposure = 200;
    preview.clear();
    sequence.clear();
    previewAbort = false;
    previewSettingsChanged = false;
    captureAbort = false;
    estimateAbort = false;
}

void KestrixCameraContext::resetData()
{
    std::memset(camName, 0, sizeof camName);
    isCamOpen = false;
    hcam = -1;
    region = rgn_type{};
    spdTabIndex = 0;
    gainIndex = 0;
    clearMode = 0;
    tempSetpoint = 0;
    exposureTime = 0;
    secondExposure = 0;
    preview.clear();
    sequence.clear();
    previewSettingsChanged = false;
}

void KestrixCameraContext::setAbortFlags()
{
    previewAbort = true;
    captureAbort = true;
    estimateAbort = true;
}

void KestrixCameraContext::wakeAll()
{
    preview.interrupt();
    sequence.interrupt();
}

// The handle comes with the frame information, so a close resetting the context cannot race it.
extern "C" void kestrixPreviewFrameReady(const kx_frame_info* info, void* context)
{
    if (!info || !context)
        return;
    auto* ctx = static_cast<KestrixCameraContext*>(context);
    ctx->preview.deliver(info->hcam, *info);
}

extern "C" void kestrixSequenceFrameReady(const kx_frame_info* info, void* context)
{
    if (!info || !context)
        return;
    auto* ctx = static_cast<KestrixCameraContext*>(context);
    ctx->sequence.deliver(info->hcam, *info);
}
