#pragma once
// Frame layout of the controller board's protocol: request frames are built here and every
// received reply is decoded here, nowhere else.

#include "devicecmd.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// What a received reply means.
enum ModBusStatus {
    ReceiveFail = 0,
    ReSendCmd = 1,
    DoorOpened = 2,
    DoorClosed = 3,
    TimedShutDown = 4,
    TimeOutShutDown = 5,
    ReportInitStatus = 6,
    HandShake = 7,
    NormalCmd = 8,
    MSetFocus = 9,
    MReadFocus = 10,
    MSetZoom = 11,
    MReadZoom = 12,
    SetFocusTimes = 13,
    SetZoomTimes = 14,
    SetIrisTimes = 15,
    BlueSetted = 16,
    PlateType = 17,
    CutCoverPlaced = 18,
    CutCoverRemoved = 19,
    TempWarning = 20,
    BluePercentSetted = 21,
    FilterFinished = 22,
};

Q_DECLARE_METATYPE(ModBusStatus)

// Display text of 0 to 16; "Unknow ModBusStatus" for any other value.
QString modBusStatusToString(int status);
// Exact, case-sensitive inverse of modBusStatusToString; 23 for a text that matches none.
int modBusStatusFromString(const QString& text);

class ModbusMaster : public QObject {
    Q_OBJECT
public:
    explicit ModbusMaster(QObject* parent = nullptr);

    // 68 A0 <command> <length> [data] <xor>. Length 0 sends no data byte; any other length
    // sends the one data byte with length 1, so the length byte always matches the frame.
    static QByteArray packFrame(Ctrl_Bits command, char length, Data_Bits data);
    // The first min(length, data.size(), 255) list elements as data bytes, in list order.
    static QByteArray packFrame(Ctrl_Bits command, char length, const QList<Data_Bits>& data);
    // Decodes one reply against the last request sent. Any length and content is accepted:
    // whatever is not a whole, well-formed frame yields ReceiveFail.
    static ModBusStatus parseReply(const QByteArray& reply, const QByteArray& sentFrame);
    // The whole, well-formed replies found in bytes as the line delivered them, in order; the
    // bytes around them (line noise, a flooding board) are left out.
    static QList<QByteArray> wholeReplies(const QByteArray& bytes);
    // No reply of the board is longer: the state report is the longest.
    static constexpr int kLongestReply = 64;
};
