#include "controllertest.h"

#include "cabinetstate.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex g_logMutex;
QStringList g_log;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_log << message;
    }
    // Warnings still reach the test output.
    if (type != QtDebugMsg && g_previous)
        g_previous(type, context, message);
}

// A request the program never sends: its arrival shows that everything before it arrived.
const QByteArray kSentinel = QByteArray::fromHex("68a0b6007e");
} // namespace

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

void captureLog()
{
    static bool installed = false;
    if (!installed) {
        g_previous = qInstallMessageHandler(collect);
        installed = true;
    }
}

void clearLog()
{
    QMutexLocker lock(&g_logMutex);
    g_log.clear();
}

QStringList logLines()
{
    QMutexLocker lock(&g_logMutex);
    return g_log;
}

bool logged(const QString& line)
{
    return logLines().contains(line);
}

ControllerRig::ControllerRig(Port port)
    : link(std::make_unique<ASyncSerialPortThread>())
{
    vcab::CabinetState::instance().reset();
    board.start();
    if (port == Port::Listed) {
        SerialPortEntry entry;
        entry.portName = QString::fromStdString(board.slavePath());
        entry.hasProductIdentifier = true;
        entry.productIdentifier = SerialPortLocator::kBoardProductId;
        locator.ports << entry;
    }
    SerialPortLocator::setInstance(&locator);
    ctrl = std::make_unique<IC_MainControl>(nullptr, link.get());
    captureLog();
    clearLog();
}

ControllerRig::~ControllerRig()
{
    ctrl.reset();
    link.reset();
    SerialPortLocator::setInstance(nullptr);
    board.stop();
}

void ControllerRig::openLink()
{
    link->openPort(QString::fromStdString(board.slavePath()), QSerialPort::Baud1200);
}

QStringList ControllerRig::written()
{
    link->writeData(kSentinel);
    const std::vector<QByteArray> before = control.receivedFrames();
    size_t count = before.size();
    // The sentinel is the first frame of its kind after m_seen.
    auto sentinelAt = [this](const std::vector<QByteArray>& frames) {
        for (size_t i = m_seen; i < frames.size(); ++i)
            if (frames[i] == kSentinel)
                return i;
        return frames.size();
    };
    std::vector<QByteArray> frames = before;
    size_t at = sentinelAt(frames);
    while (at == frames.size() && control.waitForReceived(count + 1, 5000)) {
        frames = control.receivedFrames();
        count = frames.size();
        at = sentinelAt(frames);
    }
    QStringList out;
    for (size_t i = m_seen; i < at; ++i)
        out << QString::fromLatin1(frames[i].toHex());
    m_seen = at + 1;
    return out;
}
