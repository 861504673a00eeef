#include "lightctrl.h"

#include "asyncserialportthread.h"
#include "modbusmaster.h"

LightCtrl::LightCtrl(QObject* parent)
    : LightCtrl(ASyncSerialPortThread::getInstance(), parent)
{
}

LightCtrl::LightCtrl(ASyncSerialPortThread* link, QObject* parent)
    : QObject(parent)
    , modbusMaster(new ModbusMaster(this))
    , serialPortThread(link)
{
}

QByteArray LightCtrl::sendCmd(Ctrl_Bits command, QList<Data_Bits> data)
{
    const QByteArray frame = modbusMaster->packFrame(command, static_cast<char>(qMin(data.size(), 255)), data);
    serialPortThread->writeData(frame);
    return frame;
}

QByteArray LightCtrl::sendCmd(Ctrl_Bits command, Data_Bits data)
{
    const QByteArray frame = modbusMaster->packFrame(command, char(1), data);
    serialPortThread->writeData(frame);
    return frame;
}
