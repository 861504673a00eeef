#pragma once
// The board's side of the serial protocol: requests in, echoes and reports out.
//   request: 68 A0 <code> <length> <data...> <xor of all before>
//   reply:   68 | 68 A0 <code> <status> <data...> <xor of the bytes after the first> | 3C 3C
// An echo is the request itself wrapped as a reply, so its length byte sits where a report
// keeps its status.

#include <QByteArray>

#include <vector>

namespace vboard {

struct Request {
    quint8 code = 0;
    QByteArray data;
    QByteArray frame;  // exactly as received
};

// Reply codes the board reports on its own.
enum ReportCode : quint8 {
    ReportDoorOpened = 0xD0,
    ReportDoorClosed = 0xD1,
    ReportCoverRemoved = 0xC0,
    ReportCoverPlaced = 0xC1,
    ReportTempAlarm = 0xE1,
    ReportRepeatRequest = 0xEE,
    ReportFilterDone = 0xFA,
    ReportShutDownDone = 0xFF,
};

QByteArray echoFrame(const QByteArray& request);
QByteArray reportFrame(quint8 code, quint8 status, const QByteArray& data = QByteArray());

// Splits the byte stream from the program into requests. Bytes before a start pair are skipped;
// a frame with a wrong checksum is counted and dropped.
class RequestParser {
public:
    struct Result {
        std::vector<Request> requests;
        int badFrames = 0;
    };
    Result feed(const QByteArray& bytes);
    // Drops a partial frame (the program paused in mid-frame).
    void reset() { m_buffer.clear(); }
    bool hasPartial() const { return !m_buffer.isEmpty(); }

private:
    QByteArray m_buffer;
};

} // namespace vboard
