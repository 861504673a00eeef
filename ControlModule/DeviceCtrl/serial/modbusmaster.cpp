#include "modbusmaster.h"

#include <algorithm>

namespace {

constexpr quint8 kStart1 = 0x68;
constexpr quint8 kStart2 = 0xA0;
constexpr quint8 kEnd = 0x3C;  // '<', twice at the end of every reply
// 0x68 start byte, two bytes, code, status, checksum, "<<": the shortest reply that holds a
// code and a status.
constexpr int kShortestReply = 8;

quint8 byteAt(const QByteArray& bytes, int index)
{
    return static_cast<quint8>(bytes.at(index));
}

QByteArray finishFrame(QByteArray frame)
{
    quint8 sum = 0;
    for (char c : frame)
        sum ^= static_cast<quint8>(c);
    frame.append(static_cast<char>(sum));
    return frame;
}

const char* const kStatusTexts[] = {
    "Receive Fail", "ReSendCmd", "DoorOpened", "DoorClosed", "Timed ShutDown", "TimeOut ShutDown",
    "Report InitStatus", "HandShake", "Normal Cmd", "MSetFocus", "MReadFocus", "MSetZoom",
    "MReadZoom", "SetFocusTimes", "SetZoomTimes", "SetIrisTimes", "BlueSetted",
};
constexpr int kTextCount = int(sizeof(kStatusTexts) / sizeof(kStatusTexts[0]));

} // namespace

QString modBusStatusToString(int status)
{
    if (status < 0 || status >= kTextCount)
        return QStringLiteral("Unknow ModBusStatus");
    return QString::fromLatin1(kStatusTexts[status]);
}

int modBusStatusFromString(const QString& text)
{
    for (int i = 0; i < kTextCount; ++i) {
        if (text == QLatin1String(kStatusTexts[i]))
            return i;
    }
    return 23;
}

ModbusMaster::ModbusMaster(QObject* parent)
    : QObject(parent)
{
}

QByteArray ModbusMaster::packFrame(Ctrl_Bits command, char length, Data_Bits data)
{
    QByteArray frame;
    frame.reserve(6);
    frame.append(static_cast<char>(kStart1));
    frame.append(static_cast<char>(kStart2));
    frame.append(static_cast<char>(command));
    if (length != 0) {
        frame.append(char(1));
        frame.append(static_cast<char>(data));
    } else {
        frame.append(char(0));
    }
    return finishFrame(frame);
}

QByteArray ModbusMaster::packFrame(Ctrl_Bits command, char length, const QList<Data_Bits>& data)
{
    int count = static_cast<quint8>(length);
    if (count > data.size())
        count = data.size();
    QByteArray frame;
    frame.reserve(5 + count);
    frame.append(static_cast<char>(kStart1));
    frame.append(static_cast<char>(kStart2));
    frame.append(static_cast<char>(command));
    frame.append(static_cast<char>(count));
    for (int i = 0; i < count; ++i)
        frame.append(static_cast<char>(data.at(i)));
    return finishFrame(frame);
}

QList<QByteArray> ModbusMaster::wholeReplies(const QByteArray& bytes)
{
    static const QByteArray start("\x68\x68\xA0", 3);
    QList<QByteArray> replies;
    const int n = bytes.size();
    int from = 0;
    while (from < n) {
        const int head = bytes.indexOf(start, from);
        if (head < 0)
            break;
        // The first end mark after the head that closes a sound frame; a frame's data may hold
        // the end bytes, so a mark that fails the checksum is not the end yet.
        int next = head + 1;
        const int last = std::min(n, head + kLongestReply);
        for (int end = head + kShortestReply; end <= last; ++end) {
            if (byteAt(bytes, end - 1) != kEnd || byteAt(bytes, end - 2) != kEnd)
                continue;
            const QByteArray candidate = bytes.mid(head, end - head);
            if (parseReply(candidate, QByteArray()) != ReceiveFail) {
                replies.append(candidate);
                next = end;
                break;
            }
        }
        from = next;
    }
    return replies;
}

ModBusStatus ModbusMaster::parseReply(const QByteArray& reply, const QByteArray& sentFrame)
{
    const int n = reply.size();
    if (n < kShortestReply || byteAt(reply, 0) != kStart1)
        return ReceiveFail;
    if (byteAt(reply, n - 1) != kEnd || byteAt(reply, n - 2) != kEnd)
        return ReceiveFail;

    // The body runs from byte 1 to the checksum at n-3.
    const QByteArray body = reply.mid(1, n - 3);
    quint8 sum = 0;
    for (int i = 0; i < body.size() - 1; ++i)
        sum ^= byteAt(body, i);
    if (sum != byteAt(body, body.size() - 1))
        return ReceiveFail;

    const quint8 code = byteAt(reply, 3);
    const quint8 status = byteAt(reply, 4);
    // Byte 5 is a data byte only when the reply holds one; in an eight-byte reply it is the checksum.
    const bool hasData = n > kShortestReply;
    const quint8 firstData = hasData ? byteAt(reply, 5) : 0;

    switch (status) {
    case 0:
        switch (code) {
        case 0xA1: return HandShake;
        case 0xB4: return SetFocusTimes;
        case 0xB5: return SetZoomTimes;
        case 0xB6: return SetIrisTimes;
        case 0xC0: return CutCoverRemoved;
        case 0xC1: return CutCoverPlaced;
        case 0xD0: return DoorOpened;
        case 0xD1: return DoorClosed;
        case 0xE1: return TempWarning;
        case 0xEE: return ReSendCmd;
        case 0xFA: return FilterFinished;
        case 0xFF: return TimeOutShutDown;
        default: break;
        }
        break;
    case 1:
        // Order matters: a plate byte wins over the blue-percentage code.
        if (code == 0xCC)
            return TimedShutDown;
        if (code == 0xCF)
            return BlueSetted;
        if (hasData && firstData >= 0xA1 && firstData <= 0xA5)
            return PlateType;
        if (code == 0xF4)
            return BluePercentSetted;
        break;
    case 2:
        switch (code) {
        case 0xB0: return MSetFocus;
        case 0xB1: return MReadFocus;
        case 0xB2: return MSetZoom;
        case 0xB3: return MReadZoom;
        default: break;
        }
        break;
    default:
        break;
    }
    return body.indexOf(sentFrame) >= 0 ? NormalCmd : ReportInitStatus;
}
