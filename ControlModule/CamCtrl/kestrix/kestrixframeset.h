#pragma once
// The Kestrix camera context and its two frame hand-over sets: the library's end-of-frame
// callback (on the library's thread) fills a set, an acquisition thread waits on it with a
// time-out and an abort flag.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "kestrix64.h"

struct KestrixFrameSet {
    std::mutex mutex;
    std::condition_variable cond;
    bool frameReady = false;        // guarded by mutex
    kx_frame_info frameInfo{};      // guarded by mutex
    void* latestFrame = nullptr;    // guarded by mutex; points into the acquiring thread's buffer

    enum WaitResult {
        Frame,        // a frame is ready; latestFrame points at it
        Aborted,      // the abort flag was set (a stop, not an error)
        TimedOut,     // no frame before the deadline
        FrameMissing, // the library signalled a frame but its address could not be fetched
    };

    // Called by the end-of-frame callback: copies the frame information, fetches the newest frame
    // of hcam and wakes every waiter.
    void deliver(int16_t hcam, const kx_frame_info& info);
    // Waits for a frame, the abort flag or the deadline (measured on the steady clock); consumes the
    // frame-ready flag (also on abort). frame (may be null) receives the frame's address, read under
    // the lock: the callback of the next frame may replace latestFrame at any time.
    WaitResult wait(const std::atomic<bool>& abort, int timeoutMs, void** frame = nullptr);
    // Wakes every waiter without a frame: the caller has set the waiter's abort flag before.
    void interrupt();
    // Back to no frame; the synchronisation objects stay as they are.
    void clear();
};

// The flags are those the flows of the main controller drive: the preview abort flag is also set
// while a stop or a binning change of the preview is pending, and the estimation abort flag is set
// again when an estimation has finished. Exposure, gain and handle are read by the acquisition
// threads while the GUI thread may write them.
struct KestrixCameraContext {
    char camName[KX_NAME_LEN] = {};
    bool isCamOpen = false;
    std::atomic<int16_t> hcam{-1};
    rgn_type region{};   // written only while no acquisition thread runs
    uint16_t spdTabIndex = 0;
    std::atomic<uint16_t> gainIndex{0};
    uint32_t clearMode = 0;
    int16_t tempSetpoint = 0;
    std::atomic<uint32_t> exposureTime{0};
    KestrixFrameSet preview;
    std::atomic<bool> previewAbort{false};
    std::atomic<bool> previewSettingsChanged{false};
    uint32_t secondExposure = 0;
    KestrixFrameSet sequence;
    std::atomic<bool> captureAbort{false};
    std::atomic<bool> estimateAbort{false};

    // Values of an opened camera: full sensor at binning 1, speed 1, gain 1, clear mode 1,
    // set point -20.00 degrees, exposure 200 ms, no frame, no abort.
    void fillOpened(const char* name, int16_t handle);
    // Zeroes every value but the abort flags (a woken thread may not have seen them yet); the
    // frame sets' mutexes and condition variables stay because threads may still wait on them.
    void resetData();
    // Sets every abort flag; wakeAll then wakes every waiter of both sets.
    void setAbortFlags();
    void wakeAll();
};

// End-of-frame callbacks for kx_cam_register_callback_ex3, context = KestrixCameraContext*.
// The preview's fills the preview set, the estimation's and the capture's the sequence set.
extern "C" void kestrixPreviewFrameReady(const kx_frame_info* info, void* context);
extern "C" void kestrixSequenceFrameReady(const kx_frame_info* info, void* context);
