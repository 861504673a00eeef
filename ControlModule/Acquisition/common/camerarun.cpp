#include "camerarun.h"

#include "pacing.h"
#include "h695icecamctrl.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <memory>

namespace acq {

void pauseMs(int ms)
{
    QThread::msleep(unsigned(pacing::scaledMs(ms)));
}

TUCAM_FRAME freshFrameRecord()
{
    TUCAM_FRAME frame {};
    frame.ucFormatGet = TUFRM_FMT_RAW;
    frame.uiRsdSize = 1;
    frame.pBuffer = nullptr;
    return frame;
}

CameraRun::CameraRun(H695ICECamCtrl* cam, TUCAM_FRAME* frame)
    : m_cam(cam)
    , m_frame(frame)
{
}

CameraRun::~CameraRun()
{
    stop();
}

bool CameraRun::start(QMutex* captureMutex, bool announce)
{
    // A cancel that holds the mutex never sets its abort in the middle of a start.
    std::unique_ptr<QMutexLocker> lock;
    if (captureMutex)
        lock = std::make_unique<QMutexLocker>(captureMutex);
    m_running = m_cam->m_StartWaitFrame(m_frame);
    if (m_running && announce)
        m_cam->semCap.release(1);
    return m_running;
}

CameraRun::Wait CameraRun::waitForFrame(const char* abortText, const std::function<void()>& cameraError,
                                        int32_t timeoutMs, TUCAMRET alsoAbort)
{
    const TUCAMRET status = timeoutMs > 0 ? m_cam->m_WaitForFrame(m_frame, timeoutMs) : m_cam->m_WaitForFrame(m_frame);
    if (status == TUCAMRET_SUCCESS)
        return Wait::Frame;
    if (status == TUCAMRET_ABORT || status == alsoAbort) {
        qDebug() << abortText;
        stopLogged();
        return Wait::Aborted;
    }
    qDebug() << "m_WaitForFrame failed.";
    if (cameraError)
        cameraError();
    return Wait::Failed;
}

void CameraRun::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_cam->stopAll();
}

void CameraRun::stopLogged()
{
    m_running = false;
    m_cam->stopCapture();
    m_cam->releaseBuffer();
}

CaptureEnding::CaptureEnding(std::atomic<bool>& ended, QSemaphore& semCap)
    : m_ended(ended)
    , m_semCap(semCap)
{
    m_ended = false;
}

CaptureEnding::~CaptureEnding()
{
    m_ended = true;
    while (m_semCap.tryAcquire(1)) {
    }
}

} // namespace acq
