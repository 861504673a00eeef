#pragma once
// Light, filter, door and lens commands of the main controller and the acquisition threads.

#include "devicecmd.h"

#include <QByteArray>
#include <QList>
#include <QObject>

class ASyncSerialPortThread;
class ModbusMaster;

class LightCtrl : public QObject {
    Q_OBJECT
public:
    // Sends through the process-wide serial link.
    explicit LightCtrl(QObject* parent = nullptr);
    // Sends through the given link (tests).
    LightCtrl(ASyncSerialPortThread* link, QObject* parent);

    // Frames command with every list element as a data byte, queues it on the link and returns
    // the frame. The caller stores it with setCurCmd so the echo can be matched.
    QByteArray sendCmd(Ctrl_Bits command, QList<Data_Bits> data);
    // The same with exactly one data byte.
    QByteArray sendCmd(Ctrl_Bits command, Data_Bits data);

private:
    ModbusMaster* modbusMaster;
    ASyncSerialPortThread* serialPortThread;
};
