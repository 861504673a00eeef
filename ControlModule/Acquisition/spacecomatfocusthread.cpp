#include "spacecomatfocusthread.h"

#include "camopts.h"
#include "focussearch.h"
#include "h695icecamctrl.h"
#include "lenssweep.h"
#include "useropts.h"

#include <QDebug>

SpacecomAtFocusThread::SpacecomAtFocusThread(int focusMin, int focusMax, QObject* parent)
    : QThread(parent)
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , userOpt(UserOpts::getInstance())
    , camOpt(CamOpts::getInstance())
    , focusMin(focusMin)
    , focusMax(focusMax)
{
    userOpt->loadUserOptsByName(UserOpts::OPT_CurFocusValue);
    curFocusValue = userOpt->curFocusValue();
    userOpt->loadUserOptsByName(UserOpts::OPT_AfOffset);
    afOffset = userOpt->afOffset();
}

SpacecomAtFocusThread::~SpacecomAtFocusThread() = default;

void SpacecomAtFocusThread::setCurFocusValue(int value)
{
    curFocusValue = value;
}

void SpacecomAtFocusThread::run()
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    const acq::LensSweep sweep = acq::LensSweep::serialLens();
    acq::LensTurns turns(cam, stepBoundMs);
    curFocusValue += sweep.startOffset;
    cam->reversalCount = 0;

    while (!cam->isFocusStop) {
        if (turns.awaitTurn() != acq::LensTurns::Turn::Go)
            break;
        if (cam->isFocusDone) {
            qDebug() << "移动至最清晰位置.";
            curFocusValue =
                acq::finalPosition(sweep, curFocusValue, cam->focusDirection, afOffset, focusMin, focusMax);
            emit sig_FocusMove(curFocusValue);
            qDebug() << "sig_FocusMove:" << curFocusValue;
            camOpt->setAutoFocusPosition(curFocusValue);
            camOpt->saveCamOptsByName(CamOpts::AutoFocusPosition);
            cam->isFocusStop = true;
            break;
        }
        // Measuring before the move is asked for: a position report that comes back at once
        // must find the preview waiting for it.
        cam->isFocusMeasuring = true;
        emit sig_FocusMove(curFocusValue);
        qDebug() << "sig_FocusMove:" << curFocusValue;

        acq::SweepState state {curFocusValue, cam->focusDirection, cam->reversalCount, false};
        state = acq::nextStep(sweep, state, focusMin, focusMax);
        curFocusValue = state.position;
        cam->focusDirection = state.direction;
        cam->reversalCount = state.reversals;
        if (state.atUpperEnd) {
            cam->isFocusDone = true;
            cam->isFocusMeasuring = false;
            cam->sem1.release(1);
            qDebug() << "自动对焦至最大位置.";
        }
        // The board's position report gives the preview its turn (sem2), never this thread.
    }

    turns.finish();
    qDebug() << "SpacecomAtFocusThread退出.";
}
