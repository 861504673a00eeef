#include "ic_maincontrol.h"

#include "asyncserialportthread.h"
#include "pacing.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "inith695icecamerathread.h"
#include "initlensthread.h"
#include "kestrixctrl.h"
#include "lightctrl.h"
#include "machinemodel.h"
#include "modbusmaster.h"
#include "serialportlocator.h"
#include "useropts.h"

#include <QDebug>
#include <QThread>

namespace {
// Summed-binning index of the gel configuration once the Tucsen camera is up.
constexpr int kSum2BinIndex = 7;
} // namespace

void IC_MainControl::pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(pacing::scaledMs(ms)));
}

void IC_MainControl::initDevice()
{
    const MachineModel::Row* row = MachineModel::rowOf(m_machineName);
    if (!row) {
        reportError(EnumOBJ::MachineErr);
        return;
    }
    const bool up = MachineModel::isKestrix(row->authorityType) ? initQIDevice() : initTSDevice();
    if (!up)
        return;
    qDebug() << row->bringUpLine;
    // Only after a good handshake, and after the success line.
    if (MachineModel::isGelTS20BW(row->authorityType))
        startLensThread();
}

void IC_MainControl::startLensThread()
{
    auto* thread = new InitLensThread(nullptr);
    connect(thread, &InitLensThread::sig_LensErrorOccur, this, [this] { reportError(EnumOBJ::LensErr); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::InheritPriority);
}

bool IC_MainControl::initTSDevice()
{
    auto* cameraThread = new InitH695ICECameraThread(authorityType(), nullptr);
    connect(cameraThread, &InitH695ICECameraThread::sig_CamErrorOccur, this,
            [this] { reportError(EnumOBJ::CameraErr); });
    connect(cameraThread, &QThread::finished, this, [this, cameraThread] {
        disconnect(cameraThread, &InitH695ICECameraThread::sig_CamErrorOccur, this, nullptr);
        cameraThread->deleteLater();
        cameraReady();
    });
    cameraThread->start(QThread::InheritPriority);

    if (!bringUpBoard())
        return false;

    if (MachineModel::hasSerialLens(authorityType())) {
        pause(300);
        lensCmd(CmdReadZoom, {});
        pause(300);
        lensCmd(CmdReadFocus, {});
    }
    return true;
}

void IC_MainControl::cameraReady()
{
    // The page reading sum2BinIndex on camInitFinish must already see the camera's index.
    h695ICECamCtrl->sum2BinIndex = kSum2BinIndex;
    setSum2BinIndex(kSum2BinIndex);
    emit camInitFinish();
}

bool IC_MainControl::initQIDevice()
{
    if (!kestrixCtrl->initCamera()) {
        qDebug() << "初始化和打开第一个QI695相机失败。";
        // Without an error the login page would wait for the camera for ever; the camera may
        // have reported it already.
        if (errorCode() != EnumOBJ::CameraErr)
            reportError(EnumOBJ::CameraErr);
        return false;
    }
    emit camInitFinish();

    if (!bringUpBoard())
        return false;

    m_context->sendLightCmd(CmdMainLight, {PowerOff, Filter0});
    return true;
}

bool IC_MainControl::bringUpBoard()
{
    if (!openSerialPort(SerialPortLocator::kBoardProductId)) {
        qDebug() << "初始化串口失败。";
        return false;
    }
    m_context->sendFrame(CmdInitStatus, {});
    pause(300);
    userOpt->loadUserOptsByName(UserOpts::OPT_LightAutoShutDownTime);
    qDebug() << "userOpt->lightAutoShutDownTime():" << userOpt->lightAutoShutDownTime();
    lightAutoShutDown(userOpt->lightAutoShutDownTime());
    pause(300);
    return true;
}

bool IC_MainControl::openSerialPort(quint16 productId)
{
    const QList<SerialPortEntry> ports = SerialPortLocator::instance()->availablePorts();
    for (const SerialPortEntry& entry : ports) {
        if (entry.hasProductIdentifier && entry.productIdentifier == productId) {
            serialPortFound = true;
            serialPortThread->openPort(entry.portName, QSerialPort::Baud1200);
            pause(100);
            break;
        }
    }
    if (!serialPortFound) {
        reportError(EnumOBJ::SerialPortErr);
        return false;
    }

    pause(200);
    const QByteArray handshake = ModbusMaster::packFrame(CmdHandShake, 0, QList<Data_Bits>());
    serialPortThread->setCurCmd(handshake);
    QByteArray reply;
    serialPortThread->echo(handshake, reply);
    if (reply.isEmpty()) {
        reportError(EnumOBJ::CommunicateErr);
        return false;
    }
    if (ModbusMaster::parseReply(reply, serialPortThread->curCmd()) == HandShake) {
        qDebug() << "握手成功。";
        return true;
    }
    qDebug() << "握手失败。";
    reportError(EnumOBJ::HandShakeErr);
    return false;
}
