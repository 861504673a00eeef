#pragma once
// The one thread that owns the serial port to the controller board. Other threads hand it frames:
// writeData queues them (written in order, one per pass, each followed by its reply window); echo
// and exchange make a bounded synchronous exchange, which takes the echo of its own frame.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QHash>
#include <QMutex>
#include <QQueue>
#include <QSerialPort>
#include <QString>
#include <QThread>
#include <QWaitCondition>

class ASyncSerialPortThread : public QThread {
    Q_OBJECT
    Q_PROPERTY(QByteArray curCmd READ curCmd WRITE setCurCmd)
public:
    // The process-wide link; created on first call, never deleted during the run.
    static ASyncSerialPortThread* getInstance();
    // Tests make links of their own; the program uses getInstance().
    explicit ASyncSerialPortThread(QObject* parent = nullptr);
    ~ASyncSerialPortThread() override;

    QByteArray curCmd() const;
    void setCurCmd(const QByteArray& frame);

    // A synchronous exchange gives up when nothing has come back this long after its frame was
    // written (the board answers within ~100 ms).
    static constexpr int kSyncTimeoutMs = 1050;
    // Frames waiting beyond this are dropped oldest first: a board that stopped reading must not
    // make the queue grow without end.
    static constexpr int kMaxQueuedFrames = 256;

    // The exchange of echo for a command the board may let pass: the link goes on after a
    // time-out. Must not be called on the serial thread.
    QByteArray exchange(const QByteArray& frame);

public slots:
    void openPort(QString portName, QSerialPort::BaudRate baudrate);
    void closePort();
    void writeData(QByteArray data);
    // Sends data and waits for the reply. reply is empty after a time-out, and at once when the
    // link is not running; a time-out ends the link (a board that does not answer the handshake
    // is not the one expected). Must not be called on the serial thread.
    void echo(QByteArray data, QByteArray& reply);
    void errorHandle(QSerialPort::SerialPortError e);

signals:
    void readData(QByteArray data);
    // An asynchronous frame whose reply window passed without a byte from the board.
    void frameUnanswered(QByteArray frame);
    void sig_SerialPortErrorOccur();

protected:
    void run() override;

private:
    struct Outgoing {
        QByteArray frame;
        quint64 syncId = 0;  // 0 for an asynchronous frame
        bool silenceEndsLink = false;
    };
    QByteArray syncExchange(const QByteArray& frame, bool silenceEndsLink);
    // A frame written and not yet echoed: the board echoes what it carries out in the order it
    // received it, reports of its own in between.
    struct Unechoed {
        QByteArray frame;
        quint64 syncId = 0;
        QDeadlineTimer forgetAt;  // an echo this late is taken for none
    };
    void serveLoop();
    void finishLoop();
    // Takes the oldest frame reply echoes off the unechoed list; false when it echoes none.
    bool takeEchoed(const QByteArray& reply, Unechoed* echoed);

    // Guards every field below that another thread touches.
    static QMutex mutex;
    QWaitCondition replyCondition;

    QString portName;
    QSerialPort::BaudRate baudRate = QSerialPort::Baud1200;
    QQueue<Outgoing> txQueue;
    QByteArray txData;           // the frame written last
    QByteArray rxData;           // the reply being collected (serial thread only)
    QHash<quint64, QByteArray> syncReplies;  // handed to the echo callers under the mutex
    QByteArray m_curCmd;
    bool syncMode = false;       // a synchronous exchange is in flight
    bool sendPending = false;    // frames wait in txQueue
    bool waitingReply = false;   // written, no reply yet
    bool replyReady = false;     // syncReplies holds the answer of the exchange in flight
    bool quitRequested = false;
    bool loopActive = false;     // from openPort until the loop has ended
    bool fatalError = false;     // the port reported an error the loop cannot recover from
    quint16 emptyReadCount = 0;
    quint64 lastSyncId = 0;      // tells each echo caller its own reply
    quint64 currentSyncId = 0;   // the exchange in flight
    bool silenceEndsLink = false; // of the exchange in flight
    QSerialPort* port = nullptr; // lives on the serial thread only
    QList<Unechoed> unechoed;    // serial thread only
};
