// What the virtual board does with the program's commands, through LightCtrl, the serial link
// and a real QSerialPort on the board's pseudo-terminal.

#include "boardlinktest.h"

#include "cabinetstate.h"
#include "lightctrl.h"

#include <QSerialPort>
#include <QtTest>

class BoardCommandsTest : public BoardLinkTest {
    Q_OBJECT
private slots:
    void initTestCase() { captureLog(); }
    void init() { setUpLink(); }
    void cleanup() { tearDownLink(); }

    void commandFramesByteForByte_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<DataList>("data");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QByteArray>("expectedFrame");
        QTest::addColumn<ModBusStatus>("expectedStatus");
        QTest::newRow("power and source on") << int(CmdMainLight) << DataList{PowerOn, SourceOn} << false
                                             << hex("68 A0 F2 02 01 02 3B") << NormalCmd;
        QTest::newRow("empty list") << int(CmdMainLight) << DataList{} << false << hex("68 A0 F2 00 3A") << NormalCmd;
        QTest::newRow("light off") << int(CmdMainLight) << DataList{PowerOff} << true << hex("68 A0 F2 01 C1 FA") << NormalCmd;
        QTest::newRow("blue percent 50") << int(CmdBluePercent) << DataList{Data_Bits(50)} << true
                                         << hex("68 A0 F4 01 32 0F") << BluePercentSetted;
        QTest::newRow("gel light list") << int(CmdGelLight) << DataList{UV302_1Off, UV302_2Off, UV254Off, UV365Off, SourceOn}
                                        << false << hex("68 A0 F1 05 C3 C4 C5 C6 02 3A") << NormalCmd;
    }

    void commandFramesByteForByte()
    {
        QFETCH(int, command);
        QFETCH(DataList, data);
        QFETCH(bool, single);
        QFETCH(QByteArray, expectedFrame);
        QFETCH(ModBusStatus, expectedStatus);
        openLink();
        LightCtrl lightCtrl(link.get(), nullptr);
        const QByteArray frame = single ? lightCtrl.sendCmd(Ctrl_Bits(command), data.first())
                                        : lightCtrl.sendCmd(Ctrl_Bits(command), data);
        link->setCurCmd(frame);
        QCOMPARE(frame.toHex(' '), expectedFrame.toHex(' '));
        QVERIFY(control->waitForReceived(1, 3000));
        QCOMPARE(control->receivedFrames().front().toHex(' '), expectedFrame.toHex(' '));
        QTRY_VERIFY_WITH_TIMEOUT(!log->replies.isEmpty(), 3000);
        QCOMPARE(log->replies.first().toHex(' '), (hex("68") + expectedFrame + "<<").toHex(' '));
        QCOMPARE(decodedReplies().first(), expectedStatus);
    }

    void boardCarriesOutCommands_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<StatusList>("expected");
        QTest::addColumn<QString>("check");
        QTest::newRow("state report") << ModbusMaster::packFrame(CmdInitStatus, 0, Data_Bits(0))
                                      << StatusList{NormalCmd, ReportInitStatus} << "";
        QTest::newRow("timed shut-down") << ModbusMaster::packFrame(CmdTimedShutDown, 1, Data_Bits(5))
                                         << StatusList{TimedShutDown} << "";
        QTest::newRow("plate query") << ModbusMaster::packFrame(CmdGelLight, 1, BoardTypeQuery)
                                     << StatusList{NormalCmd, PlateType} << "plate";
        QTest::newRow("filter turn") << ModbusMaster::packFrame(CmdGelLight, 1, Filter590)
                                     << StatusList{NormalCmd, FilterFinished} << "filter";
        QTest::newRow("door eject") << ModbusMaster::packFrame(CmdGelLight, 1, DoorEject)
                                    << StatusList{NormalCmd, DoorOpened} << "door";
        QTest::newRow("lens to 1000") << ModbusMaster::packFrame(CmdSetZoom, 2, {Data_Bits(0x03), Data_Bits(0xE8)})
                                      << StatusList{MSetZoom, MReadZoom} << "lens";
        QTest::newRow("lens read") << ModbusMaster::packFrame(CmdReadZoom, 0, Data_Bits(0))
                                   << StatusList{NormalCmd, MReadZoom} << "";
        QTest::newRow("second lens read") << ModbusMaster::packFrame(CmdReadFocus, 0, Data_Bits(0))
                                          << StatusList{NormalCmd, MReadFocus} << "";
        QTest::newRow("blue percent") << ModbusMaster::packFrame(CmdBluePercent, 1, Data_Bits(40))
                                      << StatusList{BluePercentSetted} << "blue";
        QTest::newRow("lights on") << ModbusMaster::packFrame(CmdMainLight, 2, {PowerOn, SourceOn})
                                   << StatusList{NormalCmd} << "lamps";
    }

    void boardCarriesOutCommands()
    {
        QFETCH(QByteArray, frame);
        QFETCH(StatusList, expected);
        QFETCH(QString, check);
        vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) {
            s.plateType = vcab::PlateBlue;
            s.coverPlaced = true;
        });
        // The cover report of the change above goes out before the port is open, so the link
        // never sees it.
        QTRY_COMPARE_WITH_TIMEOUT(control->sentFrames().size(), size_t(1), 3000);
        openLink();
        sendFrame(frame);
        QTRY_VERIFY_WITH_TIMEOUT(log->replies.size() >= expected.size(), 5000);
        QCOMPARE(decodedReplies().mid(0, expected.size()), expected);
        const vcab::CabinetSnapshot s = vcab::CabinetState::instance().snapshot();
        const QByteArray last = log->replies.at(expected.size() - 1);
        if (check == "plate") {
            QCOMPARE(quint8(last.at(5)), quint8(vcab::PlateBlue));
        } else if (check == "filter") {
            QCOMPARE(s.filterPos, 2);
            QVERIFY(!s.filterTurning);
        } else if (check == "door") {
            QVERIFY(s.doorOpen);
        } else if (check == "lens") {
            QCOMPARE(s.serialFocus, 1000);
            QCOMPARE(last.mid(5, last.size() - 8).toHex(), QByteArray("03e8"));
        } else if (check == "blue") {
            QCOMPARE(s.bluePercent, 40);
        } else if (check == "lamps") {
            QCOMPARE(s.lamps, uint32_t(vcab::LampPower | vcab::LampSource));
        }
        if (QTest::currentDataTag() == QLatin1String("state report")) {
            // Door closed (D1) anywhere, the cover at byte 14.
            const QByteArray text = last.toHex();
            QVERIFY(text.contains("d1"));
            QVERIFY(!text.contains("d0"));
            QCOMPARE(text.mid(28, 2), QByteArray("c1"));
        }
    }

    void spontaneousEvents_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<ModBusStatus>("expected");
        QTest::newRow("door opened") << 0 << DoorOpened;
        QTest::newRow("door closed") << 1 << DoorClosed;
        QTest::newRow("cover placed") << 2 << CutCoverPlaced;
        QTest::newRow("cover removed") << 3 << CutCoverRemoved;
        QTest::newRow("temperature alarm") << 4 << TempWarning;
    }

    void spontaneousEvents()
    {
        QFETCH(int, what);
        QFETCH(ModBusStatus, expected);
        auto& cabinet = vcab::CabinetState::instance();
        // Start from the opposite state so that the change is a change.
        cabinet.update([&](vcab::CabinetSnapshot& s) {
            s.doorOpen = what == 1;
            s.coverPlaced = what == 3;
        });
        openLink();
        // Reports of the set-up above may come first; the handshake echo marks their end.
        sendFrame(ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)));
        QTRY_VERIFY_WITH_TIMEOUT(decodedReplies().contains(HandShake), 3000);
        log->replies.clear();
        cabinet.update([&](vcab::CabinetSnapshot& s) {
            switch (what) {
            case 0: s.doorOpen = true; break;
            case 1: s.doorOpen = false; break;
            case 2: s.coverPlaced = true; break;
            case 3: s.coverPlaced = false; break;
            default: s.tempAlarm = true; break;
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 3000);
        QCOMPARE(decodedReplies().first(), expected);
    }

    void timedShutDownPutsTheLightsOut()
    {
        openLink();
        // One minute: 1.2 s at the tests' time scale.
        sendFrame(ModbusMaster::packFrame(CmdTimedShutDown, 1, Data_Bits(1)));
        LightCtrl lightCtrl(link.get(), nullptr);
        link->setCurCmd(lightCtrl.sendCmd(CmdMainLight, {PowerOn, SourceOn}));
        QTRY_VERIFY_WITH_TIMEOUT(vcab::CabinetState::instance().snapshot().lamps != 0, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(log->replies.size() >= 3, 10000);
        QCOMPARE(ModbusMaster::parseReply(log->replies.at(0), hex("68 A0 CC 01 01 04")), TimedShutDown);
        QCOMPARE(decodedReplies().at(1), NormalCmd);
        QCOMPARE(decodedReplies().at(2), TimeOutShutDown);
        QCOMPARE(vcab::CabinetState::instance().snapshot().lamps, 0u);
    }

    void badChecksumIsRepeatedOnRequest()
    {
        openLink();
        control->corruptNextReplies(1);
        const QByteArray lightOff = ModbusMaster::packFrame(CmdMainLight, 1, PowerOff);
        sendFrame(lightOff);
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 3000);
        QCOMPARE(decodedReplies().first(), ReceiveFail);
        // The program asks for a repeat without changing its current command.
        link->writeData(ModbusMaster::packFrame(CmdResend, 0, Data_Bits(0)));
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 2, 3000);
        QCOMPARE(decodedReplies().at(1), NormalCmd);
    }

    void repeatRequestIsAnsweredBySendingAgain()
    {
        openLink();
        control->requestRepeats(1);
        LightCtrl lightCtrl(link.get(), nullptr);
        link->setCurCmd(lightCtrl.sendCmd(CmdMainLight, {PowerOn, SourceOn}));
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 3000);
        QCOMPARE(decodedReplies().first(), ReSendCmd);
        QCOMPARE(vcab::CabinetState::instance().snapshot().lamps, 0u);
        link->writeData(link->curCmd());
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 2, 3000);
        QCOMPARE(decodedReplies().at(1), NormalCmd);
        QCOMPARE(vcab::CabinetState::instance().snapshot().lamps, uint32_t(vcab::LampPower | vcab::LampSource));
    }

    void garbledRequestGetsARepeatRequest()
    {
        openLink();
        QByteArray frame = ModbusMaster::packFrame(CmdMainLight, 1, PowerOff);
        frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 0x40);
        sendFrame(frame);
        QTRY_COMPARE_WITH_TIMEOUT(log->replies.size(), 1, 3000);
        QCOMPARE(decodedReplies().first(), ReSendCmd);
        QCOMPARE(control->badFrameCount(), 1);
    }

    void newerFilterTurnSupersedesTheFirst()
    {
        openLink();
        LightCtrl lightCtrl(link.get(), nullptr);
        // Two positions in one command: the wheel heads for the second before reaching the first.
        link->setCurCmd(lightCtrl.sendCmd(CmdGelLight, {Filter700, Filter535}));
        QTRY_VERIFY_WITH_TIMEOUT(decodedReplies().contains(FilterFinished), 5000);
        QCOMPARE(vcab::CabinetState::instance().snapshot().filterPos, 1);
        // The first turn would have ended long before this answer: it must not report.
        sendFrame(ModbusMaster::packFrame(CmdReadZoom, 0, Data_Bits(0)));
        QTRY_VERIFY_WITH_TIMEOUT(decodedReplies().contains(MReadZoom), 5000);
        QCOMPARE(decodedReplies().count(FilterFinished), 1);
    }
};

QTEST_GUILESS_MAIN(BoardCommandsTest)
#include "board_commands_test.moc"
