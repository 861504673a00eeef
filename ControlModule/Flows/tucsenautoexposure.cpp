#include "tucsenautoexposure.h"

#include "flowcontext.h"
#include "seth695iceaethread.h"

#include <QDebug>

TucsenAutoExposure::TucsenAutoExposure(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

TucsenAutoExposure::~TucsenAutoExposure() = default;

void TucsenAutoExposure::request(int aeVal)
{
    m_waiting.push_back(aeVal);
    if (m_thread) {
        qDebug() << "auto-exposure setting already running, queued:" << aeVal;
        return;
    }
    startNext();
}

void TucsenAutoExposure::startNext()
{
    auto* thread = new SetH695ICEAEThread(nullptr);
    m_thread = thread;
    thread->aeVal = m_waiting.front();
    m_waiting.pop_front();
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->disconnect(this);
        thread->deleteLater();
        m_thread = nullptr;
        // A page may ask for the next setting from its handler of setAEFinished.
        emit m_ctx.setAEFinished();
        if (!m_thread && !m_waiting.empty())
            startNext();
    });
    thread->start(QThread::InheritPriority);
}
