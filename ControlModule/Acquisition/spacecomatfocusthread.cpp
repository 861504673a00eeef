#include "spacecomatfocusthread.h"

#include "h695icecamctrl.h"
#include "useropts.h"

#include <QDebug>

namespace {
constexpr int kWaitSliceMs = 50;
}

SpacecomAtFocusThread::SpacecomAtFocusThread(int minFocus, int maxFocus, int start, QObject* parent)
    : QThread(parent)
    , camCtrl(H695ICECamCtrl::getInstance())
    , userOpts(UserOpts::getInstance())
    , minFocus(minFocus)
    , maxFocus(maxFocus)
    , startPosition(start)
{
}

SpacecomAtFocusThread::~SpacecomAtFocusThread() = default;

void SpacecomAtFocusThread::finishStopped()
{
    // The preview stops rating first; then both semaphores end at 0 so that the next search
    // starts clean. sem2 is never released here.
    camCtrl->isFocusMeasuring = false;
    while (camCtrl->sem1.tryAcquire(1)) {
    }
    while (camCtrl->sem2.tryAcquire(1)) {
    }
    camCtrl->focusDirection = false;
    camCtrl->isFocusDone = false;
}

void SpacecomAtFocusThread::run()
{
    camCtrl->reversalCount = 0;
    const bool limited = maxFocus > minFocus;
    int position = startPosition + kStartOffset;
    int lastMoved = position;
    while (!camCtrl->isFocusStop) {
        if (!camCtrl->sem1.tryAcquire(1, kWaitSliceMs))
            continue;
        if (camCtrl->isFocusDone) {
            // The preview ends the search two frames past the sharpest one.
            const int back = camCtrl->focusDirection ? -2 * kStep : 2 * kStep;
            int best = lastMoved + back;
            if (limited)
                best = qBound(minFocus, best, maxFocus);
            emit sig_FocusMove(best);
            userOpts->setCurFocusWB(best);
            userOpts->saveUserOptsByName(UserOpts::OPT_CurFocusWB);
            qDebug() << "focus found" << best;
            camCtrl->isFocusStop = true;
            camCtrl->isFocusDone = false;
            camCtrl->isFocusMeasuring = false;
            return;
        }
        emit sig_FocusMove(position);
        lastMoved = position;
        camCtrl->isFocusMeasuring = true;
        position += camCtrl->focusDirection ? kStep : -kStep;
        if (limited && position <= minFocus) {
            position = minFocus;
            ++camCtrl->reversalCount;
            camCtrl->focusDirection = true;
        } else if (!limited && position <= 0) {
            position = 0;
            ++camCtrl->reversalCount;
            camCtrl->focusDirection = true;
        } else if (limited && position >= maxFocus) {
            camCtrl->isFocusDone = true;
            camCtrl->sem1.release(1);
        }
    }
    finishStopped();
}
