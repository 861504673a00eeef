#include "seth695iceaethread.h"

#include "h695icecamctrl.h"

SetH695ICEAEThread::SetH695ICEAEThread(QObject* parent)
    : QThread(parent)
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
{
}

SetH695ICEAEThread::~SetH695ICEAEThread() = default;

void SetH695ICEAEThread::run()
{
    h695ICECamCtrl->setAutoExposure(aeVal);
}
