#pragma once
// A frame run of the Tucsen camera as every acquisition thread uses it: started once, its waits
// told apart as the threads need them, and stopped on every way out; and the one ending of a
// capture run.

#include <QSemaphore>

#include <atomic>
#include <functional>

#include "tucam.h"

class H695ICECamCtrl;
class QMutex;

namespace acq {

// A fixed pause of the cabinet's procedures, shortened by the time scale in tests.
void pauseMs(int ms);

// The thread's own frame record, prepared as every run wants it: raw format, one reserved frame,
// the buffer left to the driver.
TUCAM_FRAME freshFrameRecord();

class CameraRun {
public:
    enum class Wait { Frame, Aborted, Failed };

    CameraRun(H695ICECamCtrl* cam, TUCAM_FRAME* frame);
    ~CameraRun();
    CameraRun(const CameraRun&) = delete;
    CameraRun& operator=(const CameraRun&) = delete;

    // Starts the run (m_StartWaitFrame), under captureMutex when one is given. With announce,
    // one semCap permit is released once it runs (still under the mutex): a cancel may then take
    // the exposure that has started. False when the camera refused; nothing then runs.
    bool start(QMutex* captureMutex = nullptr, bool announce = false);
    bool running() const { return m_running; }
    TUCAM_FRAME* frame() const { return m_frame; }

    // One frame, told apart: a frame; an aborted wait (the abort status, or alsoAbort when a
    // caller counts another status as one), logged with abortText, run stopped and buffer
    // released with their log lines; any other status, logged "m_WaitForFrame failed." and
    // reported through cameraError. timeoutMs 0: the camera's fixed hour.
    Wait waitForFrame(const char* abortText, const std::function<void()>& cameraError, int32_t timeoutMs = 0,
                      TUCAMRET alsoAbort = TUCAMRET_ABORT);

    // stopAll, once (nothing logged).
    void stop();
    // stopCapture and releaseBuffer with their log lines (the abort ways out).
    void stopLogged();

private:
    H695ICECamCtrl* m_cam;
    TUCAM_FRAME* m_frame;
    bool m_running = false;
};

// The one ending of a capture run: whatever way run() leaves, `ended` is set and semCap emptied,
// so that a cancel waiting for the next exposure gives up and the next capture starts at 0.
class CaptureEnding {
public:
    CaptureEnding(std::atomic<bool>& ended, QSemaphore& semCap);
    ~CaptureEnding();
    CaptureEnding(const CaptureEnding&) = delete;
    CaptureEnding& operator=(const CaptureEnding&) = delete;

private:
    std::atomic<bool>& m_ended;
    QSemaphore& m_semCap;
};

} // namespace acq
