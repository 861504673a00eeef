#pragma once
// Where the controller board is plugged in. The program walks availablePorts() and opens the
// first port with the board's product identifier; tests install a locator of their own.

#include <QList>
#include <QString>

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

// The real ports; when none carries the board's identifier, the in-process virtual board's
// pseudo-terminal is listed last with that identifier (the board starts on first need).
class SystemSerialPortLocator : public SerialPortLocator {
public:
    QList<SerialPortEntry> availablePorts() override;
};
