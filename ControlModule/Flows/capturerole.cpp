#include "capturerole.h"

#include "flowcontext.h"
#include "h695icecamctrl.h"

#include <QDebug>
#include <QMutexLocker>
#include <QThread>

namespace {
// Poll of a cancel waiting for the running exposure to have started.
constexpr unsigned long kCancelPollMs = 50;
} // namespace

void CaptureRole::launch(QThread* thread, const QString& folder, CancelRule rule, std::function<void()> ended)
{
    m_keep(thread);
    m_rule = std::move(rule);
    QObject::connect(thread, &QThread::finished, m_owner, [this, thread, folder, ended] {
        m_ctx.tucsen()->isAbort = true;
        thread->deleteLater();
        m_keep(nullptr);
        m_rule = CancelRule();
        emit m_ctx.captureFinished(folder);
        ended();
    });
    H695ICECamCtrl* cam = m_ctx.tucsen();
    cam->isAbort = false;
    // Permits left by another run would let a cancel through before this run's exposure.
    while (cam->semCap.tryAcquire(1)) {
    }
    thread->start(QThread::InheritPriority);
    emit m_ctx.captureStart();
}

void CaptureRole::cancel()
{
    QThread* thread = m_current();
    if (!thread || !m_rule.permits || !m_rule.ended)
        return;
    H695ICECamCtrl* cam = m_ctx.tucsen();
    // The mutex is not held while waiting: the thread takes it to start the camera and release
    // the permits.
    for (;;) {
        if (cam->semCap.tryAcquire(m_rule.permits()))
            break;
        if (m_rule.ended->load() || thread->isFinished())
            return;
        QThread::msleep(kCancelPollMs);
    }
    qDebug() << "触发取消采集。";
    QMutexLocker lock(m_rule.underCaptureMutex ? m_ctx.captureMutex() : nullptr);
    cam->isAbort = true;
    cam->abortWait();
}

void CaptureRole::cameraError()
{
    m_ctx.cameraError();
}

void CaptureRole::saveFailed(const QString& path)
{
    m_ctx.saveFailed(path);
}
