#include "inith695icecamerathread.h"

#include "h695icecamctrl.h"

#include <QDebug>

InitH695ICECameraThread::InitH695ICECameraThread(int authorityType, QObject* parent)
    : QThread(parent)
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , authorityType(authorityType)
{
}

InitH695ICECameraThread::~InitH695ICECameraThread() = default;

void InitH695ICECameraThread::run()
{
    if (!h695ICECamCtrl->openCamera(authorityType)) {
        qDebug() << "初始化和打开H695ICE相机失败。";
        emit sig_CamErrorOccur();
    }
}
