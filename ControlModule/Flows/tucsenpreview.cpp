#include "tucsenpreview.h"

#include "h695icecamctrl.h"

#include <QDebug>
#include <QThread>

TucsenPreviewRole::TucsenPreviewRole(QObject* owner, H695ICECamCtrl* camera)
    : m_owner(owner)
{
    m_camera.run = [camera] { camera->isRunning = true; };
    m_camera.stop = [camera] {
        camera->isRunning = false;
        camera->frameStore().clearCurrentFrame();
        camera->abortWait();
    };
}

TucsenPreviewRole::TucsenPreviewRole(QObject* owner, CameraSwitch camera)
    : m_owner(owner)
    , m_camera(std::move(camera))
{
}

void TucsenPreviewRole::start(QThread* thread)
{
    m_thread = thread;
    m_stopping = false;
    m_camera.run();
    thread->start(QThread::InheritPriority);
}

void TucsenPreviewRole::restart(const char* caller, std::function<void()> configure)
{
    QThread* thread = m_thread;
    if (!thread)
        return;
    // A stop already under way decides what follows the preview.
    if (m_stopping) {
        qDebug() << caller << "ignored while the preview stops";
        return;
    }
    whenFinished([this, thread, configure] {
        m_stopping = false;
        configure();
        m_camera.run();
        thread->start(QThread::InheritPriority);
    });
    stopCamera();
}

void TucsenPreviewRole::stop(std::function<void()> ended)
{
    QThread* thread = m_thread;
    if (!thread)
        return;
    QObject::disconnect(thread, nullptr, m_owner, nullptr);
    whenFinished([this, thread, ended] {
        thread->deleteLater();
        m_thread = nullptr;
        m_stopping = false;
        ended();
    });
    if (!m_stopping)
        stopCamera();
}

void TucsenPreviewRole::whenFinished(std::function<void()> continuation)
{
    QThread* thread = m_thread;
    QObject::disconnect(m_end);
    const quint64 id = ++m_requestId;
    auto run = [this, thread, id, continuation] {
        if (id != m_requestId || m_thread != thread)
            return;
        ++m_requestId;
        QObject::disconnect(m_end);
        continuation();
    };
    m_end = QObject::connect(thread, &QThread::finished, m_owner, run);
    // A thread that ended on its own (a camera error) sends no further finished.
    if (thread->isFinished())
        QMetaObject::invokeMethod(m_owner, run, Qt::QueuedConnection);
}

void TucsenPreviewRole::stopCamera()
{
    m_stopping = true;
    m_camera.stop();
}
