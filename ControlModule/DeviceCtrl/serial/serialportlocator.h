#pragma once
// Where the controller board is plugged in. The program walks availablePorts() and opens the
// first port with the board's product identifier; tests install a locator of their own.

#include <QList>
#include <QString>

#include <functional>

struct SerialPortEntry {
    QString portName;           // what QSerialPort::setPortName takes
    bool hasProductIdentifier = false;
    quint16 productIdentifier = 0;
};

class SerialPortLocator {
public:
    // USB product identifier of the board's serial adapter.
    static constexpr quint16 kBoardProductId = 0x7523;

    virtual ~SerialPortLocator();
    // The system's serial ports in the system's order.
    virtual QList<SerialPortEntry> availablePorts() = 0;

    // The installed locator, or the system locator when none is installed.
    static SerialPortLocator* instance();
    // Installs a locator (not owned); nullptr restores the system locator.
    static void setInstance(SerialPortLocator* locator);
    // Name of the first port of instance() with the given product identifier; empty when none.
    static QString findPort(quint16 productId);
};

// The real ports; when none carries the board's identifier, the port of the board's stand-in
// (handed in at start-up) is listed last with that identifier.
class SystemSerialPortLocator : public SerialPortLocator {
public:
    // Gives the port of the board's stand-in, "" when it has none. Asked only while no real port
    // carries the board's identifier, one caller at a time, so it may start the stand-in then.
    using StandIn = std::function<QString()>;
    // Hands the stand-in in for every system locator of the process; an empty one lists none.
    static void setStandIn(StandIn standIn);

    QList<SerialPortEntry> availablePorts() override;
};
