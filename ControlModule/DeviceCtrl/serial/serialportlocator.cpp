#include "serialportlocator.h"

#include <QSerialPortInfo>

#include <atomic>
#include <mutex>

namespace {
std::atomic<SerialPortLocator*> installed{nullptr};

// Held in functions so that a stand-in handed in before main() finds them built.
std::mutex& standInMutex()
{
    static std::mutex mutex;
    return mutex;
}

SystemSerialPortLocator::StandIn& standIn()
{
    static SystemSerialPortLocator::StandIn function;
    return function;
}
} // namespace

SerialPortLocator::~SerialPortLocator() = default;

SerialPortLocator* SerialPortLocator::instance()
{
    static SystemSerialPortLocator systemLocator;
    SerialPortLocator* locator = installed.load();
    return locator ? locator : &systemLocator;
}

void SerialPortLocator::setInstance(SerialPortLocator* locator)
{
    installed.store(locator);
}

QString SerialPortLocator::findPort(quint16 productId)
{
    const QList<SerialPortEntry> ports = instance()->availablePorts();
    for (const SerialPortEntry& entry : ports) {
        if (entry.hasProductIdentifier && entry.productIdentifier == productId)
            return entry.portName;
    }
    return QString();
}

QList<SerialPortEntry> SystemSerialPortLocator::availablePorts()
{
    QList<SerialPortEntry> ports;
    bool boardFound = false;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        entry.portName = info.portName();
        entry.hasProductIdentifier = info.hasProductIdentifier();
        entry.productIdentifier = info.productIdentifier();
        boardFound = boardFound || (entry.hasProductIdentifier && entry.productIdentifier == kBoardProductId);
        ports.append(entry);
    }
    if (!boardFound) {
        // Two threads looking at once must not start the stand-in twice.
        std::lock_guard<std::mutex> lock(standInMutex());
        const QString port = standIn() ? standIn()() : QString();
        if (!port.isEmpty()) {
            SerialPortEntry entry;
            entry.portName = port;
            entry.hasProductIdentifier = true;
            entry.productIdentifier = kBoardProductId;
            ports.append(entry);
        }
    }
    return ports;
}

void SystemSerialPortLocator::setStandIn(StandIn function)
{
    std::lock_guard<std::mutex> lock(standInMutex());
    standIn() = std::move(function);
}
