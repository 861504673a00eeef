// The serial link thread and the port locator against the virtual board, through a real
// QSerialPort on the board's pseudo-terminal.

#include "boardlinktest.h"

#include "cabinetstate.h"
#include "lightctrl.h"
#include "serialportlocator.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <random>
#include <thread>

class FakeLocator : public SerialPortLocator {
public:
    QList<SerialPortEntry> ports;
    QList<SerialPortEntry> availablePorts() override { return ports; }
};

class SerialLinkTest : public BoardLinkTest {
    Q_OBJECT
private slots:
    void initTestCase() { captureLog(); }
    void init() { setUpLink(); }
    void cleanup() { tearDownLink(); }

    void handshake_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("expectedReply");
        QTest::addColumn<ModBusStatus>("expectedStatus");
        QTest::newRow("board answers") << int(vboard::HandshakeMode::Normal) << hex("68 68 A0 A1 00 69 3C 3C") << HandShake;
        QTest::newRow("wrong answer") << int(vboard::HandshakeMode::Wrong) << QByteArray() << ReportInitStatus;
    }

    void handshake()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, expectedReply);
        QFETCH(ModBusStatus, expectedStatus);
        control->setHandshake(vboard::HandshakeMode(mode));
        openLink();
        const QByteArray frame = ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0));
        link->setCurCmd(frame);
        QByteArray reply;
        link->echo(frame, reply);
        QVERIFY(!reply.isEmpty());
        if (!expectedReply.isEmpty())
            QCOMPARE(reply.toHex(' '), expectedReply.toHex(' '));
        QCOMPARE(ModbusMaster::parseReply(reply, link->curCmd()), expectedStatus);
        QVERIFY(link->isRunning());
        QVERIFY(log->replies.isEmpty());  // a synchronous reply is not also emitted
    }

    void bytesFromBeforeTheOpenAreNoReply()
    {
        // A door report the board sent while nobody had the port open.
        control->sendRaw(hex("68 68 A0 D0 00 18 3C 3C"));
        QTRY_COMPARE_WITH_TIMEOUT(control->sentFrames().size(), size_t(1), 3000);
        openLink();
        const QByteArray frame = ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0));
        QByteArray reply;
        link->echo(frame, reply);
        QCOMPARE(reply.toHex(' '), hex("68 68 A0 A1 00 69 3C 3C").toHex(' '));
    }

    void silentBoardTimesOutAndEndsTheLink()
    {
        control->setHandshake(vboard::HandshakeMode::Silent);
        openLink();
        QElapsedTimer timer;
        timer.start();
        QByteArray reply("stale");
        link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply);
        const qint64 elapsed = timer.elapsed();
        QVERIFY(reply.isEmpty());
        QVERIFY2(elapsed >= 900 && elapsed < 3000, qPrintable(QString::number(elapsed)));
        QVERIFY(link->wait(2000));
        QVERIFY(logged("syncserialport timeout"));
        QVERIFY(logged(QStringLiteral("关闭串口成功。")));
        QVERIFY(logged(QStringLiteral("异步串口线程退出。")));
        // With the loop gone a later exchange returns at once instead of waiting forever.
        timer.restart();
        link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply);
        QVERIFY(reply.isEmpty());
        QVERIFY(timer.elapsed() < 200);
        QCOMPARE(control->receivedFrames().size(), size_t(1));
    }

    void closingWakesAPendingEcho()
    {
        control->setSilent(true);
        openLink();
        QByteArray reply("stale");
        QElapsedTimer timer;
        std::thread caller([&] { link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply); });
        QVERIFY(control->waitForReceived(1, 3000));
        timer.start();
        link->closePort();
        caller.join();
        QVERIFY(reply.isEmpty());
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    }

    void echoWaitsBehindQueuedFramesForItsOwnReply()
    {
        openLink();
        LightCtrl lightCtrl(link.get(), nullptr);
        link->setCurCmd(lightCtrl.sendCmd(CmdMainLight, {PowerOn, SourceOn}));
        const QByteArray handshake = ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0));
        QByteArray reply;
        link->echo(handshake, reply);
        QCOMPARE(ModbusMaster::parseReply(reply, handshake), HandShake);
        const auto received = control->receivedFrames();
        QCOMPARE(received.size(), size_t(2));
        QCOMPARE(received.back(), handshake);
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 3000);
        QCOMPARE(ModbusMaster::parseReply(log->replies.first(), hex("68 A0 F2 02 01 02 3B")), NormalCmd);
    }

    // The board may still be sending the echo of a frame written before, and reports of its own,
    // when an exchange's frame goes out. The exchange takes its own echo; the rest reaches the
    // listeners, who would otherwise miss a light or the end of a wheel's turn.
    void exchangeTakesItsOwnEchoAndPassesTheRestOn()
    {
        openLink();
        // Serving: what the board sends now is read, not cleared as left over from before.
        sendFrame(ModbusMaster::packFrame(CmdGelLight, 1, MiniWhiteOff));
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 5000);
        log->replies.clear();
        // A wheel report ahead on the line holds the light's echo back past its reply window.
        control->setFrameGapMs(300);
        const QByteArray report = hex("68 68 A0 FA 00 32 3C 3C");
        control->sendRaw(report);
        const QByteArray light = ModbusMaster::packFrame(CmdGelLight, 1, MiniWhiteOn);
        sendFrame(light);
        const QByteArray lamp = ModbusMaster::packFrame(CmdMainLight, 1, PowerOff);
        QByteArray reply;
        std::thread caller([&] { reply = link->exchange(lamp); });
        QVERIFY(control->waitForReceived(2, 5000));
        control->sendRaw(report);
        caller.join();
        QCOMPARE(reply.toHex(' '), (hex("68") + lamp + hex("3C 3C")).toHex(' '));
        // Both reports and the light's echo, none taken by the exchange.
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 3, 5000);
        QCOMPARE(log->replies.count(report), 2);
        QVERIFY(log->replies.contains(hex("68") + light + hex("3C 3C")));
        QVERIFY(link->isRunning());
    }

    // A lamp command the board lets pass ends its exchange empty; the link goes on serving.
    void anExchangeLetPassLeavesTheLinkRunning()
    {
        openLink();
        control->ignoreRequests(CmdMainLight, 1);
        const QByteArray reply = link->exchange(ModbusMaster::packFrame(CmdMainLight, 1, PowerOff));
        QVERIFY(reply.isEmpty());
        QVERIFY(link->isRunning());
        const QByteArray light = ModbusMaster::packFrame(CmdGelLight, 1, MiniWhiteOn);
        sendFrame(light);
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 5000);
        QCOMPARE(log->replies.first(), hex("68") + light + hex("3C 3C"));
    }

    void echoReturnsAtOnceWhenNeverOpened()
    {
        QElapsedTimer timer;
        timer.start();
        QByteArray reply("stale");
        link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply);
        QVERIFY(reply.isEmpty());
        QVERIFY(timer.elapsed() < 200);
    }

    void missingPortReportsItsError()
    {
        link->openPort(QStringLiteral("/dev/tavrill-no-such-port"), QSerialPort::Baud1200);
        QByteArray reply("stale");
        QElapsedTimer timer;
        timer.start();
        // Made while the thread may still be trying to open: it must not wait for a time-out.
        link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply);
        QVERIFY(reply.isEmpty());
        QVERIFY2(timer.elapsed() < 900, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(link->wait(2000));
        QTRY_COMPARE_WITH_TIMEOUT(log->errors, 1, 2000);
        QVERIFY(logged(QStringLiteral("异步串口线程开始。")));
        QVERIFY(logged("Err_OpenFail"));
        QVERIFY(logged(QStringLiteral("打开串口失败。")));
        QVERIFY(logged(QStringLiteral("异步串口线程退出。")));
        QVERIFY(!logged(QStringLiteral("打开串口成功。")));
        QVERIFY(!logged(QStringLiteral("关闭串口成功。")));
    }

    void splitReplies_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("expectedReplies");
        QTest::newRow("short gap joins") << 10 << 1;
        // The first piece is taken for the awaited reply; the rest answers nothing and is dropped.
        QTest::newRow("long gap splits") << 150 << 1;
    }

    void splitReplies()
    {
        QFETCH(int, gapMs);
        QFETCH(int, expectedReplies);
        openLink();
        control->splitNextReply({3}, gapMs);
        const QByteArray lightOff = ModbusMaster::packFrame(CmdMainLight, 1, PowerOff);
        sendFrame(lightOff);
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), expectedReplies, 3000);
        if (gapMs < 50) {
            QCOMPARE(log->replies.first().toHex(' '), (hex("68") + lightOff + "<<").toHex(' '));
            QCOMPARE(decodedReplies().first(), NormalCmd);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("丢弃无法作为应答的数据: %1 bytes")
                                                .arg(lightOff.size())),
                                     3000);
            QCOMPARE(log->replies.size(), 1);
            QCOMPARE(log->replies.first().size(), 3);
            QCOMPARE(decodedReplies(), (StatusList{ReceiveFail}));
        }
    }

    // A flooding board: what cannot be a reply reaches the program not at all (it would answer
    // each burst with a repeat request queued ahead of its next command), a reply inside the
    // noise reaches it alone, and a command after the flood is answered within the usual time.
    void floodIsDroppedAndTheNextCommandAnsweredInTime()
    {
        openLink();
        std::mt19937 rng(29);
        auto junk = [&rng] {
            QByteArray bytes(1000, '\0');
            for (char& c : bytes)
                c = char(rng());
            return bytes;
        };
        // Piece by piece, with hardly a pause: more at once than the line holds.
        control->setFrameGapMs(1);
        const QByteArray doorOpened = hex("68 68 A0 D0 00 18 3C 3C");
        for (int i = 0; i < 60; ++i)
            control->sendRaw(junk());
        control->sendRaw(junk() + doorOpened + junk());
        for (int i = 0; i < 60; ++i)
            control->sendRaw(junk());
        QTRY_VERIFY_WITH_TIMEOUT(!log->replies.isEmpty(), 10000);
        QCOMPARE(log->replies.first().toHex(' '), doorOpened.toHex(' '));
        QCOMPARE(decodedReplies().first(), DoorOpened);

        const QByteArray lightOff = ModbusMaster::packFrame(CmdMainLight, 1, PowerOff);
        QVERIFY(control->receivedFrames().empty());
        log->replies.clear();
        QElapsedTimer answered;
        answered.start();
        sendFrame(lightOff);
        QTRY_VERIFY_WITH_TIMEOUT(!log->replies.isEmpty(), 10000);
        QCOMPARE(log->replies.first().toHex(' '), (hex("68") + lightOff + "<<").toHex(' '));
        QCOMPARE(decodedReplies(), StatusList{NormalCmd});
        QVERIFY2(answered.elapsed() < ASyncSerialPortThread::kSyncTimeoutMs,
                 qPrintable(QString::number(answered.elapsed())));
        QVERIFY(!logged(QStringLiteral("指令无应答: \"%1\"").arg(QString::fromLatin1(lightOff.toHex()))));
    }

    // A command the board never answers is logged once its reply window has passed.
    void unansweredCommandIsLogged()
    {
        openLink();
        control->setSilent(true);
        const QByteArray lightOff = ModbusMaster::packFrame(CmdMainLight, 1, PowerOff);
        sendFrame(lightOff);
        QTRY_VERIFY_WITH_TIMEOUT(
            logged(QStringLiteral("指令无应答: \"%1\"").arg(QString::fromLatin1(lightOff.toHex()))), 5000);
        QCOMPARE(log->replies.size(), 0);
    }

    void burstsFromTwoThreadsKeepTheirOrder()
    {
        openLink();
        constexpr int kPerThread = 8;
        auto burst = [this](Ctrl_Bits command, int first) {
            for (int i = 0; i < kPerThread; ++i)
                link->writeData(ModbusMaster::packFrame(command, 1, Data_Bits(first + i)));
        };
        std::thread a(burst, CmdMainLight, 0x40);
        std::thread b(burst, CmdMultLight, 0x60);
        a.join();
        b.join();
        QVERIFY(control->waitForReceived(2 * kPerThread, 10000));
        const auto received = control->receivedFrames();
        QList<QByteArray> fromA, fromB;
        for (const QByteArray& frame : received)
            (quint8(frame.at(2)) == CmdMainLight ? fromA : fromB).append(frame);
        QList<QByteArray> expectedA, expectedB;
        for (int i = 0; i < kPerThread; ++i) {
            expectedA.append(ModbusMaster::packFrame(CmdMainLight, 1, Data_Bits(0x40 + i)));
            expectedB.append(ModbusMaster::packFrame(CmdMultLight, 1, Data_Bits(0x60 + i)));
        }
        QCOMPARE(fromA, expectedA);
        QCOMPARE(fromB, expectedB);
        // Each frame has its own reply window, so every echo arrives alone, in the order the
        // frames went out, and echoes the frame sent in its window.
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 2 * kPerThread, 5000);
        for (int i = 0; i < log->replies.size(); ++i) {
            const QByteArray& reply = log->replies.at(i);
            QVERIFY2(ModbusMaster::parseReply(reply, received.at(size_t(i))) == NormalCmd,
                     qPrintable(QStringLiteral("reply %1: %2, sent %3")
                                    .arg(i)
                                    .arg(QString::fromLatin1(reply.toHex(' ')),
                                         QString::fromLatin1(received.at(size_t(i)).toHex(' ')))));
        }
    }

    void closeWhileIdleEndsTheThread()
    {
        openLink();
        QByteArray reply;
        link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply);
        QVERIFY(!reply.isEmpty());
        QElapsedTimer timer;
        timer.start();
        link->closePort();
        QVERIFY(link->wait(1000));
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(logged(QStringLiteral("关闭串口成功。")));
        QVERIFY(logged(QStringLiteral("异步串口线程退出。")));
    }

    void boardGoneEndsTheLink()
    {
        openLink();
        QByteArray reply;
        link->echo(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), reply);
        QVERIFY(!reply.isEmpty());
        board->stop();
        QVERIFY(link->wait(3000));
        QTRY_VERIFY_WITH_TIMEOUT(log->errors >= 1, 2000);
    }

    void locatorTakesTheFirstBoardPort()
    {
        FakeLocator fake;
        SerialPortEntry noId{QStringLiteral("ttyS0"), false, 0};
        SerialPortEntry other{QStringLiteral("ttyUSB0"), true, 0x6001};
        SerialPortEntry first{QStringLiteral("ttyUSB1"), true, 0x7523};
        SerialPortEntry second{QStringLiteral("ttyUSB2"), true, 0x7523};
        fake.ports = {noId, other, first, second};
        SerialPortLocator::setInstance(&fake);
        QCOMPARE(SerialPortLocator::findPort(SerialPortLocator::kBoardProductId), QStringLiteral("ttyUSB1"));
        fake.ports = {noId, other};
        QCOMPARE(SerialPortLocator::findPort(SerialPortLocator::kBoardProductId), QString());
    }

    void systemLocatorFallsBackToTheVirtualBoard()
    {
        SystemSerialPortLocator system;
        const QList<SerialPortEntry> ports = system.availablePorts();
        QVERIFY(!ports.isEmpty());
        QString boardPort;
        for (const SerialPortEntry& entry : ports) {
            if (entry.hasProductIdentifier && entry.productIdentifier == SerialPortLocator::kBoardProductId) {
                boardPort = entry.portName;
                break;
            }
        }
        QVERIFY(!boardPort.isEmpty());
        // Whatever was found, the program opens it at the board's framing and shakes hands.
        ASyncSerialPortThread programLink;
        programLink.openPort(boardPort, QSerialPort::Baud1200);
        QByteArray reply;
        const QByteArray frame = ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0));
        programLink.echo(frame, reply);
        QCOMPARE(ModbusMaster::parseReply(reply, frame), HandShake);
    }
};

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "serial_link_test.moc"
