// The status dispatcher: each row hands the controller board frames, with a current command and
// a configuration, and lists the signals, the frames written back to the board, the error code
// and the log lines that must follow.
#include "controllertest.h"

#include "h695icecamctrl.h"
#include "lensflow.h"
#include "testappdir.h"
#include "useropts.h"

#include <QMetaMethod>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
// A frame as the board sends it: start byte, the body with its checksum, two end bytes.
QString reply(quint8 code, quint8 status, const QByteArray& data = QByteArray())
{
    QByteArray body;
    body.append(char(0x68)).append(char(0xA0)).append(char(code)).append(char(status)).append(data);
    quint8 sum = 0;
    for (char byte : body)
        sum ^= quint8(byte);
    body.append(char(sum));
    return QString::fromLatin1((char(0x68) + body + "\x3c\x3c").toHex());
}

// The board's echo of a request.
QString echo(const char* request)
{
    return QStringLiteral("68") + QLatin1String(request) + QStringLiteral("3c3c");
}

const QString kBad = QStringLiteral("0102");
const QString kRepeat = reply(0xEE, 0);
const QString kResend = QStringLiteral("68a0ee0026");
const char* kWhiteOn = "68a0f1012018";

// Every emission of every signal of the controller, as "name(arguments)", grouped by signal in
// declaration order.
class SignalLog {
public:
    explicit SignalLog(QObject* object)
    {
        const QMetaObject& meta = IC_MainControl::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            names.push_back(QString::fromLatin1(method.name()));
            spies.push_back(std::make_unique<QSignalSpy>(object, QByteArray("2") + method.methodSignature()));
        }
    }
    QStringList emitted() const
    {
        QStringList out;
        for (size_t i = 0; i < spies.size(); ++i) {
            for (const QList<QVariant>& args : *spies[i]) {
                QStringList texts;
                for (const QVariant& arg : args)
                    texts << arg.toString();
                out << names[i] + QLatin1Char('(') + texts.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
        }
        return out;
    }

private:
    std::vector<QString> names;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
};
} // namespace

class DispatchTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;

private slots:
    void init()
    {
        rig = std::make_unique<ControllerRig>();
        rig->control.setSilent(true);
        rig->openLink();
    }
    void cleanup() { rig.reset(); }

    void statusTable_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<QString>("curCmd");
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("signalList");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("logs");

        const int ok = EnumOBJ::NoErr;
        const int all = EnumOBJ::AllAuthorityTS;
        const int lens = EnumOBJ::WBTS695_Auto;
        const QString white = QLatin1String(kWhiteOn);
        using L = QStringList;

        // Retries
        QTest::newRow("bad frame asks for a repeat")
            << all << white << L {kBad} << L {} << L {kResend} << ok << L {"接收数据: \"0102\""};
        QTest::newRow("third bad frame is the receive error")
            << all << white << L {kBad, kBad, kBad} << L {"errorCodeChanged()"} << L {kResend, kResend}
            << int(EnumOBJ::ReceiveErr) << L {};
        QTest::newRow("the count starts again after the error")
            << all << white << L {kBad, kBad, kBad, kBad} << L {"errorCodeChanged()"} << L {kResend, kResend, kResend}
            << int(EnumOBJ::ReceiveErr) << L {};
        QTest::newRow("a good frame between restarts the count")
            << all << white << L {kBad, kBad, reply(0xD0, 0), kBad, kBad} << L {"doorStatusChange(true)"}
            << L {kResend, kResend, kResend, kResend} << ok << L {};
        QTest::newRow("repeat request resends the current command")
            << all << white << L {kRepeat} << L {} << L {white} << ok << L {};
        QTest::newRow("third repeat request is the send error")
            << all << white << L {kRepeat, kRepeat, kRepeat} << L {"errorCodeChanged()"} << L {white, white}
            << int(EnumOBJ::SendErr) << L {};
        QTest::newRow("the two kinds are counted apart")
            << all << white << L {kBad, kRepeat, kBad, kRepeat} << L {} << L {kResend, white, kResend, white} << ok
            << L {};

        // Reports
        QTest::newRow("door opened") << all << white << L {reply(0xD0, 0)} << L {"doorStatusChange(true)"} << L {}
                                     << ok << L {"门已开。"};
        QTest::newRow("door closed") << all << white << L {reply(0xD1, 0)} << L {"doorStatusChange(false)"} << L {}
                                     << ok << L {"门已关。"};
        QTest::newRow("timed shut-down set") << all << white << L {reply(0xCC, 1, hex("02"))} << L {} << L {} << ok
                                             << L {"设置定时关机成功。"};
        QTest::newRow("timed shut-down happened") << all << white << L {reply(0xFF, 0)}
                                                  << L {"lightStatusChange(false)"} << L {} << ok << L {"定时关机成功。"};
        QTest::newRow("state report: door closed, no cover")
            << all << white << L {reply(0xAA, 0x0A, hex("d1a111000000000000c0"))}
            << L {"doorStatusChange(false)", "cutStatusChange(false)"} << L {} << ok << L {"反馈初始化状态。", "无切胶罩"};
        QTest::newRow("state report with both door bytes")
            << all << white << L {reply(0xAA, 0x0A, hex("d0d111000000000000c1"))}
            << L {"doorStatusChange(true)", "doorStatusChange(false)", "cutStatusChange(true)"} << L {} << ok
            << L {"存在切胶罩"};
        // 6D 0F reads "6d0f" as text: a "d0" that is no door byte.
        QTest::newRow("state report: door only on whole bytes")
            << all << white << L {reply(0xAA, 0x0A, hex("6d0f1100000000000001"))} << L {} << L {} << ok
            << L {"反馈初始化状态。"};
        QTest::newRow("short state report has no cover byte")
            << all << white << L {reply(0xAA, 0x03, hex("d01100"))} << L {"doorStatusChange(true)"} << L {} << ok << L {};
        QTest::newRow("handshake") << all << white << L {reply(0xA1, 0)} << L {} << L {} << ok << L {"握手成功。"};
        QTest::newRow("echo of the current command") << all << white << L {echo(kWhiteOn)} << L {} << L {} << ok
                                                     << L {"S20Mini白光开。"};
        QTest::newRow("echo of two data bytes") << all << QStringLiteral("68a0f20201023b")
                                                << L {echo("68a0f20201023b")} << L {} << L {} << ok
                                                << L {"电源打开。", "光源打开。"};
        QTest::newRow("echo of a byte without text") << all << QStringLiteral("68a0f1013008")
                                                     << L {echo("68a0f1013008")} << L {} << L {} << ok
                                                     << L {"未知Data_Bits。"};

        // Lens
        QTest::newRow("focus set") << lens << white << L {reply(0xB0, 2)} << L {} << L {} << ok << L {"设置Focus成功。"};
        QTest::newRow("second lens value read") << lens << white << L {reply(0xB1, 2, hex("07d0"))} << L {} << L {}
                                                << ok << L {"读取光圈成功: 2000"};
        QTest::newRow("second lens value without serial lens") << all << white << L {reply(0xB1, 2, hex("07d0"))}
                                                               << L {} << L {} << ok << L {};
        QTest::newRow("zoom set") << lens << white << L {reply(0xB2, 2)} << L {} << L {} << ok << L {"设置Zoom成功。"};
        QTest::newRow("focus position read") << lens << white << L {reply(0xB3, 2, hex("09c4"))} << L {"readZoom()"}
                                             << L {} << ok << L {"读取聚焦成功: 2500"};
        QTest::newRow("focus position without serial lens") << all << white << L {reply(0xB3, 2, hex("09c4"))}
                                                            << L {"readZoom()"} << L {} << ok << L {};
        QTest::newRow("focus times") << lens << white << L {reply(0xB4, 0)} << L {} << L {} << ok
                                     << L {"设置FocusTimes成功。"};
        QTest::newRow("zoom times") << lens << white << L {reply(0xB5, 0)} << L {} << L {} << ok
                                    << L {"设置ZoomTimes成功。"};
        QTest::newRow("iris times") << lens << white << L {reply(0xB6, 0)} << L {} << L {} << ok
                                    << L {"设置IrisTimes成功。"};

        // Lights, plate, cover, alarm, filter
        QTest::newRow("blue light set") << all << white << L {reply(0xCF, 1)} << L {} << L {} << ok
                                        << L {"BlueSetted success."};
        QTest::newRow("plate types") << all << white << L {reply(0xF1, 1, hex("a2a5"))}
                                     << L {"updateBoardType(2)", "updateBoardType(0)"} << L {} << ok
                                     << L {"紫外灯板。", "无板。"};
        QTest::newRow("plate type with an unknown byte") << all << white << L {reply(0xF1, 1, hex("a4b0"))}
                                                         << L {"updateBoardType(4)"} << L {} << ok << L {"黑板"};
        QTest::newRow("cover placed") << all << white << L {reply(0xC1, 0)} << L {"cutStatusChange(true)"} << L {}
                                      << ok << L {"放置切胶罩"};
        QTest::newRow("cover removed") << all << white << L {reply(0xC0, 0)} << L {"cutStatusChange(false)"} << L {}
                                       << ok << L {"拿开切胶罩"};
        QTest::newRow("temperature alarm") << all << white << L {reply(0xE1, 0)} << L {"tempWarning()"} << L {} << ok
                                           << L {"温度报警"};
        QTest::newRow("blue percentage set") << all << white << L {reply(0xF4, 1, hex("37"))} << L {} << L {} << ok
                                             << L {"蓝光百分比设置成功."};
        // The report names no turn: with no filter command of ours echoed it ends none (the
        // turns that do end are in the echoes test).
        QTest::newRow("filter wheel turned, no turn of ours") << all << white << L {reply(0xFA, 0)} << L {} << L {}
                                                              << ok << L {"滤光轮完成转动。", "滤光轮报告不属于当前转动，忽略。"};
    }

    void statusTable()
    {
        QFETCH(int, authority);
        QFETCH(QString, curCmd);
        QFETCH(QStringList, replies);
        QFETCH(QStringList, signalList);
        QFETCH(QStringList, written);
        QFETCH(int, error);
        QFETCH(QStringList, logs);

        IC_MainControl* ctrl = rig->ctrl.get();
        ctrl->setAuthorityType(EnumOBJ::AuthorityType(authority));
        rig->link->setCurCmd(QByteArray::fromHex(curCmd.toLatin1()));
        SignalLog signalLog(ctrl);
        clearLog();
        for (const QString& frame : replies)
            ctrl->readDataHandle(QByteArray::fromHex(frame.toLatin1()));

        QCOMPARE(signalLog.emitted(), signalList);
        QCOMPARE(rig->written(), written);
        QCOMPARE(int(ctrl->errorCode()), error);
        for (const QString& line : logs)
            QVERIFY2(logged(line), qPrintable(line + QStringLiteral(" not in:\n") + logLines().join(QLatin1Char('\n'))));
        // Lens numbers are logged only for the configurations with the board-driven lens.
        if (authority == EnumOBJ::AllAuthorityTS) {
            QVERIFY(logLines().filter(QStringLiteral("读取光圈成功")).isEmpty());
            QVERIFY(logLines().filter(QStringLiteral("读取聚焦成功")).isEmpty());
        }
        QVERIFY(logged(QStringLiteral("接收数据: \"%1\"").arg(replies.last())));
    }

    // The board's own timed shut-down puts the lamps out: the light it last confirmed is gone too,
    // or a guard waiting for that light would take the dark cabinet for a lit one.
    void timedShutDownForgetsTheLitLight()
    {
        IC_MainControl* ctrl = rig->ctrl.get();
        ctrl->setAuthorityType(EnumOBJ::GelTS20BW);
        rig->control.setSilent(false);
        ctrl->lightCmd(EnumOBJ::White, true);
        QVERIFY(waitFor([&] { return ctrl->litLight() == EnumOBJ::White; }));
        ctrl->readDataHandle(QByteArray::fromHex(reply(0xFF, 0).toLatin1()));
        QCOMPARE(ctrl->litLight(), int(EnumOBJ::Unknow_LightType));
    }

    // A focus position reply stores the position and, during a serial-lens autofocus step, lets
    // the preview thread measure the next frame: only the report of the search's own latest move
    // does, once (a late report of another move, or the same report twice, would put every
    // rating of the search one step out).
    void focusReplyStoresThePositionAndPacesAutofocus_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("focusing");
        QTest::addColumn<int>("searchMove");  // the search's latest move, -1 for none
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("released");
        QTest::newRow("autofocus step") << int(EnumOBJ::AllAuthorityTSFL9BW_Auto) << true << 2500 << 2500 << 1;
        QTest::newRow("report of another move") << int(EnumOBJ::AllAuthorityTSFL9BW_Auto) << true << 2515 << 2500 << 0;
        QTest::newRow("no move of the search") << int(EnumOBJ::AllAuthorityTSFL9BW_Auto) << true << -1 << 2500 << 0;
        QTest::newRow("no autofocus") << int(EnumOBJ::GelAndWBTS695_Auto) << false << 2500 << 2500 << 0;
        QTest::newRow("no serial lens") << int(EnumOBJ::AllAuthorityTS) << true << 2500 << 1234 << 0;
    }

    void focusReplyStoresThePositionAndPacesAutofocus()
    {
        QFETCH(int, authority);
        QFETCH(bool, focusing);
        QFETCH(int, searchMove);
        QFETCH(int, stored);
        QFETCH(int, released);

        UserOpts* opts = UserOpts::getInstance();
        opts->setCurFocusValue(1234);
        opts->saveUserOptsByName(UserOpts::OPT_CurFocusValue);
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        cam->sem2.tryAcquire(cam->sem2.available());
        rig->ctrl->setAuthorityType(EnumOBJ::AuthorityType(authority));
        if (searchMove >= 0)
            rig->ctrl->lens()->searchMove(searchMove);
        cam->isFocusMeasuring = focusing;

        const QByteArray report = QByteArray::fromHex(reply(0xB3, 2, hex("09c4")).toLatin1());
        rig->ctrl->readDataHandle(report);
        rig->ctrl->readDataHandle(report);
        cam->isFocusMeasuring = false;

        QCOMPARE(opts->curFocusValue(), stored);
        QSettings file(appDir.filePath(QStringLiteral("Ini/userOption.ini")), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("UserOption/curFocusValue")).toInt(), stored);
        QCOMPARE(cam->sem2.available(), released);
        cam->sem2.tryAcquire(cam->sem2.available());
    }
};

QTEST_MAIN(DispatchTest)
#include "dispatch_test.moc"
