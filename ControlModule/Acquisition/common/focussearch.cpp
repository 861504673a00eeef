#include "focussearch.h"

#include "focusmeasure.h"
#include "pacing.h"
#include "h695icecamctrl.h"

#include <QDebug>
#include <QElapsedTimer>

#include <algorithm>

namespace acq {

namespace {
// A lens reply may never come: the wait is sliced so that a stopped preview or search is seen
// within this time.
constexpr int kLensWaitSliceMs = 50;
constexpr size_t kWindow = 5;
} // namespace

FocusStep focusDecision(const std::vector<double>& w, int reversals)
{
    const bool five = w.size() == kWindow;
    if (five && w[0] < w[1] && w[1] < w[2] && w[2] > w[3] && w[3] > w[4] && isFocusPeak(w))
        return FocusStep::Done;
    if (reversals == 3)
        return FocusStep::Done;
    if (five && w[0] >= w[1] && w[1] >= w[2] && w[2] >= w[3] && w[3] >= w[4] && w[0] != 0 && w[1] != 0
        && w[2] != 0 && w[3] != 0 && reversals <= 2)
        return FocusStep::Reverse;
    return FocusStep::Continue;
}

double frameSharpness(const FrameView& frame)
{
    if (frame.empty())
        return 0;
    cv::Mat centre;
    cropRoi(frame.mat(), centre);
    return focusMeasure(centre);
}

void FocusWindow::push(double value)
{
    const bool sliding = m_values.size() >= kWindow;
    if (sliding)
        m_values.erase(m_values.begin());
    m_values.push_back(value);
    if (sliding || m_log == Log::EveryValue) {
        QDebug line = qDebug();
        line << "valueList:";
        for (double v : m_values)
            line << v;
    }
}

FocusSearch::FocusSearch(H695ICECamCtrl* cam, FocusWindow::Log log)
    : m_cam(cam)
    , m_window(log)
{
}

void FocusSearch::beforeFrameWait()
{
    if (m_cam->isFocusMeasuring && !m_lensArrived && m_cam->sem2.tryAcquire(1))
        m_lensArrived = true;
}

void FocusSearch::onFrame(const TUCAM_FRAME* frame, const std::function<void()>& publish)
{
    if (!m_cam->isFocusMeasuring) {
        m_lensArrived = false;
        publish();
        return;
    }
    if (m_lensArrived) {
        // Rated first, so that the lens side moves on while the views get the frame.
        m_lensArrived = false;
        rate(frame);
        publish();
        return;
    }
    publish();
    m_lensArrived = waitForLens();
}

bool FocusSearch::waitForLens()
{
    for (;;) {
        if (m_cam->sem2.tryAcquire(1, kLensWaitSliceMs))
            return true;
        if (!m_cam->isRunning || !m_cam->isFocusMeasuring || m_cam->isFocusStop)
            return false;
    }
}

void FocusSearch::rate(const TUCAM_FRAME* frame)
{
    if (m_stale.exchange(false))
        m_window.clear();
    m_window.push(frameSharpness(H695ICECamCtrl::viewOf(frame)));
    switch (focusDecision(m_window.values(), m_cam->reversalCount)) {
    case FocusStep::Done:
        m_cam->isFocusDone = true;
        m_cam->isFocusMeasuring = false;
        m_window.clear();
        break;
    case FocusStep::Reverse:
        m_cam->focusDirection = !m_cam->focusDirection;
        ++m_cam->reversalCount;
        m_window.clear();
        qDebug() << "反转对焦";
        break;
    case FocusStep::Continue:
        break;
    }
    // A search stopped meanwhile takes no more turns: a permit left now would let the next
    // search move twice before its first rating.
    if (!m_cam->isFocusStop)
        m_cam->sem1.release(1);
}

void FocusSearch::endWithPreview()
{
    m_lensArrived = false;
    if (m_cam->isFocusMeasuring || !m_cam->isFocusStop) {
        m_cam->isFocusStop = true;
        m_cam->isFocusMeasuring = false;
        // Wakes a lens side waiting for either; it empties both when it ends.
        m_cam->sem1.release(1);
        m_cam->sem2.release(1);
    }
}

LensTurns::LensTurns(H695ICECamCtrl* cam, int stepBoundMs)
    : m_cam(cam)
    , m_boundMs(stepBoundMs > 0 ? stepBoundMs : LensTurns::stepBoundMs(cam))
{
}

int LensTurns::stepBoundMs(const H695ICECamCtrl* cam)
{
    // The board paces its replies in real time; travel and exposures run on cabinet time. Each
    // frame also has its read-out and the rating, which a busy machine stretches: a bound that
    // left them out stopped sound searches half-way.
    constexpr int kLinkMs = 2000;
    constexpr int kReadOutMs = 1000;
    constexpr double kTravelMs = 10000;
    constexpr int kFrames = 3;
    return kLinkMs + kFrames * kReadOutMs
        + pacing::scaledMs(kTravelMs + kFrames * std::max(0.0, cam->exposureTime.load()));
}

LensTurns::Turn LensTurns::awaitTurn()
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const bool got = m_cam->sem1.tryAcquire(1, kLensWaitSliceMs);
        if (m_cam->isFocusStop || !m_cam->isRunning)
            return Turn::Stopped;
        if (got)
            return Turn::Go;
        if (waited.elapsed() >= m_boundMs) {
            qWarning() << "autofocus step not answered within" << m_boundMs << "ms: search stopped";
            m_cam->isFocusStop = true;
            return Turn::TimedOut;
        }
    }
}

void LensTurns::finish()
{
    m_cam->isFocusMeasuring = false;
    qDebug() << "h695ICECamCtrl->sem1.available():" << m_cam->sem1.available();
    qDebug() << "h695ICECamCtrl->sem2.available():" << m_cam->sem2.available();
    m_cam->sem1.tryAcquire(m_cam->sem1.available());
    m_cam->sem2.tryAcquire(m_cam->sem2.available());
    m_cam->focusDirection = false;
    m_cam->isFocusDone = false;
}

} // namespace acq
