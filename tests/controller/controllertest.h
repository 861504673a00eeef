#pragma once
// Fixture of the controller tests: one virtual cabinet per test case (a started board, a port
// locator that lists it, a serial link of its own and a controller on that link), and the log
// lines the code under test wrote.

#include "asyncserialportthread.h"
#include "boardtestcontrol.h"
#include "ic_maincontrol.h"
#include "serialportlocator.h"
#include "virtualboard.h"

#include <QList>
#include <QStringList>

#include <memory>

QByteArray hex(const char* text);

// Installs the process's log capture (once); clearLog forgets what was written so far.
void captureLog();
void clearLog();
QStringList logLines();
// Whether a line with exactly this text was written since the last clearLog().
bool logged(const QString& line);

class ListLocator : public SerialPortLocator {
public:
    QList<SerialPortEntry> ports;
    QList<SerialPortEntry> availablePorts() override { return ports; }
};

class ControllerRig {
public:
    enum class Port { Listed, NotListed };
    explicit ControllerRig(Port port = Port::Listed);
    ~ControllerRig();

    // Opens the rig's link on the board without a handshake (tests of commands and replies).
    void openLink();
    // Every frame written since the last call, as hexadecimal text in order of writing: a
    // sentinel frame is written behind them and awaited, so none can still be on its way.
    QStringList written();

    vboard::VirtualBoard board;
    vboard::BoardTestControl control {board};
    ListLocator locator;
    std::unique_ptr<ASyncSerialPortThread> link;
    std::unique_ptr<IC_MainControl> ctrl;

private:
    size_t m_seen = 0;
};
