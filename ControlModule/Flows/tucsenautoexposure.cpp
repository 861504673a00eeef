#include "tucsenautoexposure.h"

#include "boardechoes.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "seth695iceaethread.h"

#include <QDebug>

TucsenAutoExposure::TucsenAutoExposure(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
    // Every light awaited was sent before the wait began, so each is answered, let pass or no
    // longer on its way by then.
    m_lightWait.setSingleShot(true);
    m_lightWait.setInterval(BoardEchoes::longestAnswerMs() + 100);
    connect(&m_lightWait, &QTimer::timeout, this, [this] { endLightWait(false); });
    connect(&m_ctx, &FlowContext::lightCommandAnswered, this, &TucsenAutoExposure::lightAnswered);
    connect(&m_ctx, &FlowContext::lightCommandUnanswered, this, &TucsenAutoExposure::lightMissed);
}

TucsenAutoExposure::~TucsenAutoExposure() = default;

void TucsenAutoExposure::request(int aeVal)
{
    m_waiting.push_back(aeVal);
    if (m_thread || waitingForLight()) {
        qDebug() << "auto-exposure setting already running, queued:" << aeVal;
        return;
    }
    startNext();
}

void TucsenAutoExposure::exposureChosen()
{
    if (!idle())
        m_exposureAgain = true;
}

void TucsenAutoExposure::startNext()
{
    if (m_waiting.front() != 0 && m_ctx.lightCommandPending()) {
        qDebug() << "auto-exposure waits for the light command's echo";
        m_lightMissed = false;
        m_lightWait.start();
        return;
    }
    auto* thread = new SetH695ICEAEThread(nullptr);
    m_thread = thread;
    thread->aeVal = m_waiting.front();
    m_cameraValue = thread->aeVal;
    m_waiting.pop_front();
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->disconnect(this);
        thread->deleteLater();
        m_thread = nullptr;
        settingEnded();
    });
    thread->start(QThread::InheritPriority);
}

void TucsenAutoExposure::lightAnswered()
{
    if (waitingForLight() && !m_ctx.lightCommandPending())
        endLightWait(!m_lightMissed);
}

void TucsenAutoExposure::lightMissed()
{
    if (!waitingForLight())
        return;
    m_lightMissed = true;
    if (!m_ctx.lightCommandPending())
        endLightWait(false);
}

void TucsenAutoExposure::endLightWait(bool lit)
{
    m_lightWait.stop();
    if (lit) {
        startNext();
        return;
    }
    qWarning() << "灯光指令无应答，自动曝光未开启:" << m_waiting.front();
    m_waiting.pop_front();
    settingEnded();
}

void TucsenAutoExposure::settingEnded()
{
    // A page may ask for the next setting from its handler of setAEFinished.
    emit m_ctx.setAEFinished();
    if (!m_thread && !waitingForLight() && !m_waiting.empty())
        startNext();
    if (idle() && m_exposureAgain) {
        m_exposureAgain = false;
        if (m_cameraValue == 0)
            m_ctx.tucsen()->isExposureChanged = true;
    }
}
