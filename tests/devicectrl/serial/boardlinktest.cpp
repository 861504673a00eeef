#include "boardlinktest.h"

#include "cabinetstate.h"
#include "serialportlocator.h"

#include <QMutex>
#include <QSerialPort>
#include <QStringList>
#include <QtTest>

namespace {

QMutex logMutex;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    {
        QMutexLocker lock(&logMutex);
        logLines.append(text);
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

} // namespace

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

bool logged(const QString& line)
{
    QMutexLocker lock(&logMutex);
    return logLines.contains(line);
}

LinkLog::LinkLog(ASyncSerialPortThread& link)
{
    connect(&link, &ASyncSerialPortThread::readData, this, [this](QByteArray data) { replies.append(data); });
    connect(&link, &ASyncSerialPortThread::sig_SerialPortErrorOccur, this, [this] { ++errors; });
}

void BoardLinkTest::captureLog()
{
    qRegisterMetaType<ModBusStatus>();
    static const bool installed = [] {
        previousHandler = qInstallMessageHandler(captureMessage);
        return true;
    }();
    Q_UNUSED(installed);
}

void BoardLinkTest::setUpLink()
{
    vcab::CabinetState::instance().reset();
    board = std::make_unique<vboard::VirtualBoard>();
    QVERIFY(board->start());
    control = std::make_unique<vboard::BoardTestControl>(*board);
    link = std::make_unique<ASyncSerialPortThread>();
    log = std::make_unique<LinkLog>(*link);
    QMutexLocker lock(&logMutex);
    logLines.clear();
}

void BoardLinkTest::tearDownLink()
{
    log.reset();
    link.reset();
    control.reset();
    board.reset();
    SerialPortLocator::setInstance(nullptr);
}

void BoardLinkTest::openLink()
{
    link->openPort(QString::fromStdString(board->slavePath()), QSerialPort::Baud1200);
}

void BoardLinkTest::sendFrame(const QByteArray& frame)
{
    link->writeData(frame);
    link->setCurCmd(frame);
}

QList<ModBusStatus> BoardLinkTest::decodedReplies() const
{
    QList<ModBusStatus> statuses;
    for (const QByteArray& reply : log->replies)
        statuses.append(ModbusMaster::parseReply(reply, link->curCmd()));
    return statuses;
}
