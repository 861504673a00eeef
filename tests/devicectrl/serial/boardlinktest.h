#pragma once
// Fixture of the link tests: a fresh virtual board and a serial link on its pseudo-terminal
// for every test case, and the log lines the code under test wrote.

#include "asyncserialportthread.h"
#include "boardtestcontrol.h"
#include "modbusmaster.h"
#include "virtualboard.h"

#include <QList>
#include <QObject>

#include <memory>

QByteArray hex(const char* text);
// Whether a log line with exactly this text was written since the current test case began.
bool logged(const QString& line);

using DataList = QList<Data_Bits>;
using StatusList = QList<ModBusStatus>;

// Collects what the serial thread emits, on the test thread (queued), so that reading it needs
// no lock.
class LinkLog : public QObject {
    Q_OBJECT
public:
    explicit LinkLog(ASyncSerialPortThread& link);
    QList<QByteArray> replies;
    int errors = 0;
};

class BoardLinkTest : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<vboard::VirtualBoard> board;
    std::unique_ptr<vboard::BoardTestControl> control;
    std::unique_ptr<ASyncSerialPortThread> link;
    std::unique_ptr<LinkLog> log;

    // Installs the log capture once per process.
    static void captureLog();
    // A clean cabinet, a started board and an unopened link.
    void setUpLink();
    void tearDownLink();
    void openLink();
    // Sends a frame the way the program does: handed over, then stored as the current command.
    void sendFrame(const QByteArray& frame);
    // Every reply so far, decoded against the current command.
    QList<ModBusStatus> decodedReplies() const;
};
