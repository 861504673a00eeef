#include "atfocusthread.h"

#include "camopts.h"
#include "focussearch.h"
#include "h695icecamctrl.h"
#include "lenssweep.h"
#include "smbuslensctrl.h"
#include "useropts.h"

#include <QDebug>

AtFocusThread::AtFocusThread(int focusMin, int focusMax, QObject* parent)
    : QThread(parent)
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , userOpt(UserOpts::getInstance())
    , camOpt(CamOpts::getInstance())
    , focusMin(focusMin)
    , focusMax(focusMax)
{
    userOpt->loadUserOptsByName(UserOpts::OPT_AfOffset);
    afOffset = userOpt->afOffset();
}

AtFocusThread::~AtFocusThread() = default;

bool AtFocusThread::moveLens(const char* failureText)
{
    const int status = SmbusLensCtrl::isPosition(position) ? SmbusLensCtrl::moveFocus(uint16_t(position))
                                                            : SmbusLensCtrl::kInvalidParameter;
    if (status != 0) {
        qDebug() << failureText << SmbusLensCtrl::errorText(status);
        return false;
    }
    reachedPosition = position;
    return true;
}

void AtFocusThread::run()
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    const acq::LensSweep sweep = acq::LensSweep::smbusLens();
    acq::LensTurns turns(cam, stepBoundMs);
    camOpt->loadCamOptsByName(CamOpts::AutoFocusPosition);
    position = acq::smbusStartPosition(camOpt->autoFocusPosition(), focusMin, focusMax);
    cam->reversalCount = 0;
    qDebug() << "自动对焦开始执行 Focus: " << position;

    while (!cam->isFocusStop) {
        if (turns.awaitTurn() != acq::LensTurns::Turn::Go)
            break;
        if (cam->isFocusDone) {
            qDebug() << "移动至最清晰位置.";
            position = acq::finalPosition(sweep, position, cam->focusDirection, afOffset, focusMin, focusMax);
            if (moveLens("AtFocusThread 1:")) {
                camOpt->setAutoFocusPosition(position);
                camOpt->saveCamOptsByName(CamOpts::AutoFocusPosition);
                emit sig_FocusMove(position);
            } else {
                // The lens is not at the sharpest position: nothing is kept as the focus.
                qDebug() << "mValue: " << position;
                lensFailed = true;
                emit sig_LensErrorOccur();
            }
            cam->isFocusStop = true;
            break;
        }
        if (moveLens("AtFocusThread 2:"))
            emit sig_FocusMove(position);
        cam->isFocusMeasuring = true;

        acq::SweepState state {position, cam->focusDirection, cam->reversalCount, false};
        state = acq::nextStep(sweep, state, focusMin, focusMax);
        position = state.position;
        cam->focusDirection = state.direction;
        cam->reversalCount = state.reversals;
        if (state.atUpperEnd) {
            cam->isFocusDone = true;
            cam->isFocusMeasuring = false;
            cam->sem1.release(1);
            qDebug() << "自动对焦至最大位置.";
        }
        // The lens is at rest: the preview may rate the next frame.
        cam->sem2.release(1);
    }

    turns.finish();
    qDebug() << "AtFocusThread退出";
}
