#include "serialportlocator.h"

#include "virtualboard.h"

#include <QDebug>
#include <QSerialPortInfo>

#include <atomic>
#include <mutex>

namespace {
std::atomic<SerialPortLocator*> installed{nullptr};
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
        // Two threads looking at once must not start the board twice.
        static std::mutex startMutex;
        std::lock_guard<std::mutex> lock(startMutex);
        vboard::VirtualBoard& board = vboard::VirtualBoard::processBoard();
        if (board.start()) {
            SerialPortEntry entry;
            entry.portName = QString::fromStdString(board.slavePath());
            entry.hasProductIdentifier = true;
            entry.productIdentifier = vboard::VirtualBoard::kProductId;
            ports.append(entry);
        } else {
            qWarning() << "virtual board could not start";
        }
    }
    return ports;
}
