#include "asyncserialportthread.h"

#include "modbusmaster.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QElapsedTimer>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {
// A reply is whatever arrives until the line stays silent this long.
constexpr int kReplyGapMs = 50;
constexpr int kPassPauseMs = 20;
// A line that never falls silent must not keep the loop from its quit check.
constexpr int kMaxReplyBytes = 4096;
// Frames kept for their echo, and how long: a board that stops answering must not make the list
// grow, nor a frame it let pass take the echo of the same frame sent again much later.
constexpr int kMaxUnechoed = 32;
constexpr int kForgetEchoMs = 10000;
// The board's request to send the last frame again: the answer to whatever is in flight.
constexpr quint8 kRepeatRequest = 0xEE;

quint8 replyCode(const QByteArray& reply)
{
    return reply.size() > 3 ? static_cast<quint8>(reply.at(3)) : 0;
}

quint8 frameCode(const QByteArray& frame)
{
    return frame.size() > 2 ? static_cast<quint8>(frame.at(2)) : 0;
}
// QSerialPort's blocking waits do not report a hung-up line (adapter unplugged, the other end
// of a pseudo-terminal closed): they just time out. Ask the descriptor.
bool lineHungUp(QSerialPort& serial)
{
#ifdef Q_OS_UNIX
    pollfd pfd{int(serial.handle()), 0, 0};
    return pfd.fd >= 0 && ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    Q_UNUSED(serial);
    return false;
#endif
}

} // namespace

QMutex ASyncSerialPortThread::mutex;

namespace {
ASyncSerialPortThread* g_instance = nullptr;

// The loop must have ended before the process tears down what it uses (its static mutex, the
// message handler): a thread still serving the line at exit crashed the program on its way out.
void stopAtExit()
{
    if (!g_instance || !g_instance->isRunning())
        return;
    g_instance->closePort();
    if (!g_instance->wait(5000))
        qWarning() << "serial thread did not end before exit";
}
} // namespace

ASyncSerialPortThread* ASyncSerialPortThread::getInstance()
{
    QMutexLocker lock(&mutex);
    if (!g_instance) {
        g_instance = new ASyncSerialPortThread();
        qAddPostRoutine(stopAtExit);
    }
    return g_instance;
}

ASyncSerialPortThread::ASyncSerialPortThread(QObject* parent)
    : QThread(parent)
{
}

ASyncSerialPortThread::~ASyncSerialPortThread()
{
    qDebug() << "~ASyncSerialPortThread";
    closePort();
    if (!wait(5000)) {
        qWarning() << "serial thread did not stop in time";
        wait();
    }
}

QByteArray ASyncSerialPortThread::curCmd() const
{
    QMutexLocker lock(&mutex);
    return m_curCmd;
}

void ASyncSerialPortThread::setCurCmd(const QByteArray& frame)
{
    QMutexLocker lock(&mutex);
    m_curCmd = frame;
}

void ASyncSerialPortThread::openPort(QString name, QSerialPort::BaudRate baudrate)
{
    {
        QMutexLocker lock(&mutex);
        if (loopActive || isRunning()) {
            qWarning() << "openPort: serial thread already running" << portName;
            return;
        }
        portName = name;
        baudRate = baudrate;
        quitRequested = false;
        fatalError = false;
        // Active from here on, so that an echo made before the port is open waits for it.
        loopActive = true;
    }
    start(QThread::InheritPriority);
}

void ASyncSerialPortThread::closePort()
{
    QMutexLocker lock(&mutex);
    quitRequested = true;
}

void ASyncSerialPortThread::writeData(QByteArray data)
{
    qDebug() << "发送数据:" << data.toHex();
    QMutexLocker lock(&mutex);
    if (txQueue.size() >= kMaxQueuedFrames) {
        qWarning() << "serial transmit queue full, dropping" << txQueue.head().frame.toHex();
        txQueue.dequeue();
    }
    txQueue.enqueue({data, 0});
    sendPending = true;
}

void ASyncSerialPortThread::echo(QByteArray data, QByteArray& reply)
{
    reply = syncExchange(data, true);
}

QByteArray ASyncSerialPortThread::exchange(const QByteArray& frame)
{
    return syncExchange(frame, false);
}

QByteArray ASyncSerialPortThread::syncExchange(const QByteArray& frame, bool endsLink)
{
    QMutexLocker lock(&mutex);
    if (!loopActive)
        return QByteArray();
    const quint64 id = ++lastSyncId;
    // Frames queued ahead are written first, each with its own reply window.
    QDeadlineTimer deadline(kSyncTimeoutMs + 1000 + txQueue.size() * (kSyncTimeoutMs / 4));
    txQueue.enqueue({frame, id, endsLink});
    sendPending = true;
    while (!syncReplies.contains(id) && loopActive) {
        if (!replyCondition.wait(&mutex, deadline))
            break;
    }
    const QByteArray reply = syncReplies.take(id);
    // Nobody waits for a frame that was still queued when the caller gave up.
    for (int i = 0; i < txQueue.size(); ++i) {
        if (txQueue.at(i).syncId == id) {
            txQueue.removeAt(i);
            break;
        }
    }
    return reply;
}

void ASyncSerialPortThread::errorHandle(QSerialPort::SerialPortError e)
{
    switch (e) {
    case QSerialPort::OpenError:
    // On this platform a port that is missing or not ours fails to open with these codes.
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
        qDebug() << "Err_OpenFail";
        emit sig_SerialPortErrorOccur();
        break;
    case QSerialPort::UnknownError:
        qDebug() << "Err_Unknow.";
        emit sig_SerialPortErrorOccur();
        break;
    case QSerialPort::ResourceError: {
        // The adapter is gone: every further read fails at once, so the loop must end.
        qDebug() << "Err_Unknow." << e;
        {
            QMutexLocker lock(&mutex);
            fatalError = true;
        }
        emit sig_SerialPortErrorOccur();
        break;
    }
    default:
        break;
    }
}

void ASyncSerialPortThread::run()
{
    qDebug() << "异步串口线程开始。";
    QString name;
    QSerialPort::BaudRate rate;
    {
        QMutexLocker lock(&mutex);
        name = portName;
        rate = baudRate;
    }
    QSerialPort serial;
    port = &serial;
    connect(&serial, &QSerialPort::errorOccurred, this, &ASyncSerialPortThread::errorHandle,
            Qt::DirectConnection);
    serial.setPortName(name);
    serial.setBaudRate(rate, QSerialPort::AllDirections);
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!serial.open(QIODevice::ReadWrite)) {
        qDebug() << "打开串口失败。";
        finishLoop();
        return;
    }
    qDebug() << "打开串口成功。";
    // Bytes the adapter held from before the port was ours answer nothing we will send; left
    // in place they would be taken for the first reply.
    serial.clear(QSerialPort::Input);
    serveLoop();
    finishLoop();
}

void ASyncSerialPortThread::serveLoop()
{
    QDeadlineTimer replyDeadline;
    // An asynchronous frame's reply window: a board that lets it pass unanswered is logged.
    QDeadlineTimer asyncDeadline;
    forever {
        Outgoing out;
        bool haveFrame = false;
        {
            QMutexLocker lock(&mutex);
            if (quitRequested || fatalError)
                return;
            // While a synchronous exchange waits for its answer nothing else goes out.
            if (!(syncMode && waitingReply) && !txQueue.isEmpty()) {
                out = txQueue.dequeue();
                haveFrame = true;
                sendPending = !txQueue.isEmpty();
                txData = out.frame;
                syncMode = out.syncId != 0;
                currentSyncId = out.syncId;
                silenceEndsLink = out.silenceEndsLink;
                replyReady = false;
            }
        }
        if (haveFrame) {
            if (unechoed.size() >= kMaxUnechoed)
                unechoed.removeFirst();
            unechoed.append({out.frame, out.syncId, QDeadlineTimer(kForgetEchoMs)});
            port->write(out.frame);
            // Only while bytes remain: a further wait would also swallow the start of the reply
            // and stretch its end-of-reply silence.
            while (port->bytesToWrite() > 0 && port->waitForBytesWritten(kReplyGapMs)) {
            }
            QMutexLocker lock(&mutex);
            waitingReply = true;
            emptyReadCount = 0;
            if (syncMode)
                replyDeadline.setRemainingTime(kSyncTimeoutMs);
            else
                asyncDeadline.setRemainingTime(kSyncTimeoutMs);
        }

        bool syncWaiting;
        {
            QMutexLocker lock(&mutex);
            if (quitRequested || fatalError)
                return;
            syncWaiting = syncMode && waitingReply;
        }
        if (syncWaiting && replyDeadline.hasExpired()) {
            qDebug() << "syncserialport timeout";
            QMutexLocker lock(&mutex);
            syncReplies.insert(currentSyncId, QByteArray());
            replyReady = true;
            syncMode = false;
            waitingReply = false;
            emptyReadCount = 0;
            replyCondition.wakeAll();
            if (silenceEndsLink)
                return;
            continue;
        }

        QElapsedTimer readTime;
        readTime.start();
        rxData = port->readAll();
        while (rxData.size() < kMaxReplyBytes && port->waitForReadyRead(kReplyGapMs)) {
            rxData += port->readAll();
            QMutexLocker lock(&mutex);
            if (quitRequested || fatalError)
                break;
        }
        if (rxData.isEmpty()) {
            if (lineHungUp(*port)) {
                errorHandle(QSerialPort::ResourceError);
                return;
            }
            QByteArray unanswered;
            {
                QMutexLocker lock(&mutex);
                if (syncWaiting)
                    ++emptyReadCount;
                if (waitingReply && !syncMode && asyncDeadline.hasExpired()) {
                    waitingReply = false;
                    unanswered = txData;
                }
            }
            if (!unanswered.isEmpty()) {
                qWarning() << "指令无应答:" << unanswered.toHex();
                emit frameUnanswered(unanswered);
            }
            // A port that fails its waits at once must not turn this into a busy loop.
            if (readTime.elapsed() < kReplyGapMs / 5)
                msleep(kPassPauseMs);
            continue;
        }

        // Whole replies go on one by one, whatever noise surrounds them. Bytes without one are
        // handed on only as the answer to the frame written last, and only when no longer than
        // a reply (a bad reply asks for a repeat); anything else cannot be a reply, and passing
        // it on would make every burst of a flooding board a repeat request queued ahead of the
        // next real command.
        QList<QByteArray> replies = ModbusMaster::wholeReplies(rxData);
        QList<QByteArray> passOn;
        {
            QMutexLocker lock(&mutex);
            if (replies.isEmpty()) {
                if (!waitingReply || rxData.size() > ModbusMaster::kLongestReply) {
                    lock.unlock();
                    qDebug() << "丢弃无法作为应答的数据:" << rxData.size() << "bytes";
                    continue;
                }
                if (syncMode)
                    syncReplies.insert(currentSyncId, rxData);
                else
                    passOn << rxData;
            }
            // A synchronous exchange takes the echo of its own frame, or an answer of its code
            // or a repeat request. The board may still be sending echoes of frames written
            // before, and reports of its own: those go on to the listeners, who would miss a
            // light or a wheel's end if the exchange took them.
            for (const QByteArray& reply : qAsConst(replies)) {
                Unechoed echoed;
                const bool isEcho = takeEchoed(reply, &echoed);
                const bool forExchange = syncMode && !syncReplies.contains(currentSyncId)
                    && (isEcho ? echoed.syncId == currentSyncId
                               : replyCode(reply) == frameCode(txData) || replyCode(reply) == kRepeatRequest);
                if (forExchange)
                    syncReplies.insert(currentSyncId, reply);
                else if (isEcho && echoed.syncId != 0)
                    qDebug() << "同步指令应答超时后到达，忽略:" << reply.toHex();
                else
                    passOn << reply;
            }
            emptyReadCount = 0;
            if (!syncMode) {
                waitingReply = false;
            } else if (syncReplies.contains(currentSyncId)) {
                waitingReply = false;
                replyReady = true;
                syncMode = false;
                replyCondition.wakeAll();
            }
        }
        for (const QByteArray& reply : qAsConst(passOn))
            emit readData(reply);
        msleep(kPassPauseMs);
    }
}

bool ASyncSerialPortThread::takeEchoed(const QByteArray& reply, Unechoed* echoed)
{
    while (!unechoed.isEmpty() && unechoed.first().forgetAt.hasExpired())
        unechoed.removeFirst();
    for (int i = 0; i < unechoed.size(); ++i) {
        if (reply.contains(unechoed.at(i).frame)) {
            *echoed = unechoed.takeAt(i);
            return true;
        }
    }
    return false;
}

void ASyncSerialPortThread::finishLoop()
{
    if (port && port->isOpen()) {
        port->close();
        qDebug() << "关闭串口成功。";
    }
    port = nullptr;
    qDebug() << "异步串口线程退出。";
    QMutexLocker lock(&mutex);
    loopActive = false;
    syncMode = false;
    waitingReply = false;
    replyCondition.wakeAll();
}
