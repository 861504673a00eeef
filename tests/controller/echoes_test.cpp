// Light, filter-wheel, lens and door commands the board lets pass unanswered, and the wheel's reports of
// an earlier turn: the controller on a link to the virtual board over a pseudo-terminal.
#include "controllertest.h"

#include "boardechoes.h"
#include "cabinetstate.h"
#include "testappdir.h"
#include "useropts.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <functional>

using Command = std::function<void(IC_MainControl&, int)>;
using Confirmed = std::function<int(const IC_MainControl&)>;
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Confirmed)

namespace {
constexpr int kDeadlineMs = 20000;
// What follows the missed command (column after).
constexpr int kQuiet = 0;
constexpr int kLightCommand = 1;
constexpr int kBoardReport = 2;

int filterReports(const vboard::BoardTestControl& control)
{
    int count = 0;
    for (const QByteArray& frame : control.sentFrames())
        if (frame.size() > 4 && quint8(frame.at(3)) == 0xFA)
            ++count;
    return count;
}
// A report of the board's own within the reply window of the frame it misses (the board has
// read it: received frames came before).
bool coverReportedMeanwhile(ControllerRig& rig, size_t received)
{
    if (!rig.control.waitForReceived(received + 1, kDeadlineMs))
        return false;
    QSignalSpy cover(rig.ctrl.get(), &IC_MainControl::cutStatusChange);
    vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) { s.coverPlaced = true; });
    return cover.wait(kDeadlineMs);
}
} // namespace

class EchoesTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    // A command the board misses leaves what it last confirmed: the pages hear that once, it is
    // logged, and it is no device error (that would keep the experiments closed). The same
    // command goes through once the board answers again.
    void missedCommandsKeepWhatTheBoardConfirmed_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<Confirmed>("confirmed");
        QTest::addColumn<QByteArray>("unansweredSignal");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("first");   // answered before the missed one; -1 for none
        QTest::addColumn<int>("missed");  // what the missed command asked for
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<bool>("turnsWheel");
        // What breaks the silence of the missed frame's reply window, which alone makes the link
        // tell it: a light command right behind it (its window ends as the next frame is written;
        // the board's next echo tells the miss), or a report of the board's own (the cover put
        // in place; only the time an echo may take tells it).
        QTest::addColumn<int>("after");

        const Command filter = [](IC_MainControl& c, int pos) { c._GelTSFilterChanged(pos); };
        const Confirmed wheel = [](const IC_MainControl& c) { return c.confirmedFilter(); };
        QTest::newRow("filter") << filter << wheel << QByteArray(SIGNAL(filterCommandUnanswered(int,bool))) << 0xF1
                                << int(EnumOBJ::F_590nm) << int(EnumOBJ::F_535nm) << int(EnumOBJ::F_590nm)
                                << "滤光轮指令无应答，滤光轮保持原位置:" << true << kQuiet;
        QTest::newRow("filter, none confirmed yet") << filter << wheel << QByteArray(SIGNAL(filterCommandUnanswered(int,bool)))
                                                    << 0xF1 << -1 << int(EnumOBJ::F_700nm) << -1
                                                    << "滤光轮指令无应答，滤光轮保持原位置:" << true << kQuiet;
        QTest::newRow("filter with a light") << Command([](IC_MainControl& c, int pos) {
            c._MultTSLightChanged(EnumOBJ::G520nm, true, pos);
        }) << wheel << QByteArray(SIGNAL(filterCommandUnanswered(int,bool))) << 0xF3 << int(EnumOBJ::NoFilter)
                                             << int(EnumOBJ::F_840nm) << int(EnumOBJ::NoFilter)
                                             << "滤光轮指令无应答，滤光轮保持原位置:" << true << kQuiet;
        const Command lens = [](IC_MainControl& c, int position) { c.lensCtrl(position); };
        const Confirmed lensAt = [](const IC_MainControl& c) { return c.confirmedLens(); };
        const char* lensRows[] = {"lens", "lens, a light command right after", "lens, a cover report meanwhile"};
        for (int after : {kQuiet, kLightCommand, kBoardReport})
            QTest::newRow(lensRows[after])
                << lens << lensAt << QByteArray(SIGNAL(lensCommandUnanswered(int))) << 0xB2 << 1500 << 2200 << 1500
                << "镜头指令无应答，镜头保持原位置:" << false << after;
        QTest::newRow("door") << Command([](IC_MainControl& c, int) { c._GelTS20BWReleaseDoor(); })
                              << Confirmed([](const IC_MainControl& c) { return int(c.confirmedDoorOpen()); })
                              << QByteArray(SIGNAL(doorCommandUnanswered(bool))) << 0xF1 << -1 << 1 << 0
                              << "门指令无应答，门保持原状态:" << false << kQuiet;
        QTest::newRow("door, a light command right after")
            << Command([](IC_MainControl& c, int) { c._GelTS20BWReleaseDoor(); })
            << Confirmed([](const IC_MainControl& c) { return int(c.confirmedDoorOpen()); })
            << QByteArray(SIGNAL(doorCommandUnanswered(bool))) << 0xF1 << -1 << 1 << 0 << "门指令无应答，门保持原状态:"
            << false << kLightCommand;
    }
    void missedCommandsKeepWhatTheBoardConfirmed()
    {
        QFETCH(Command, command);
        QFETCH(Confirmed, confirmed);
        QFETCH(QByteArray, unansweredSignal);
        QFETCH(int, code);
        QFETCH(int, first);
        QFETCH(int, missed);
        QFETCH(int, kept);
        QFETCH(QString, logLine);
        QFETCH(bool, turnsWheel);
        QFETCH(int, after);

        ControllerRig rig;
        IC_MainControl& ctrl = *rig.ctrl;
        ctrl.setAuthorityType(EnumOBJ::AllAuthorityTS695_Auto);
        rig.openLink();
        UserOpts* opts = UserOpts::getInstance();
        QSignalSpy unanswered(&ctrl, unansweredSignal.constData());
        QSignalSpy turned(&ctrl, &IC_MainControl::filterFin);
        if (first >= 0) {
            command(ctrl, first);
            QVERIFY(waitFor([&] { return confirmed(ctrl) == first; }, kDeadlineMs));
        }
        QCOMPARE(confirmed(ctrl), kept);
        // The board reports the lens where it stands; the page stores where it sends it.
        if (code == 0xB2) {
            QVERIFY(waitFor([&] { return opts->curFocusValue() == first; }, kDeadlineMs));
            opts->setCurFocusValue(missed);
        }
        QVERIFY(waitFor([&] { return turned.size() == (first >= 0 && turnsWheel ? 1 : 0); }, kDeadlineMs));
        clearLog();

        rig.control.ignoreRequests(quint8(code), 1);
        const size_t received = rig.control.receivedFrames().size();
        command(ctrl, missed);
        if (after == kLightCommand)
            ctrl.lightCmd(EnumOBJ::White, true);
        if (after == kBoardReport)
            QVERIFY(coverReportedMeanwhile(rig, received));
        QVERIFY(unanswered.wait(kDeadlineMs));
        QCOMPARE(unanswered.size(), 1);
        QCOMPARE(unanswered.at(0).at(0).toInt(), kept);
        QCOMPARE(confirmed(ctrl), kept);
        QVERIFY2(!logLines().filter(logLine).isEmpty(), qPrintable(logLines().join('\n')));
        QCOMPARE(ctrl.errorCode(), EnumOBJ::NoErr);
        if (code == 0xB2)
            QCOMPARE(opts->curFocusValue(), kept);

        // Answered this time; the missed one is not said again, and no turn of it ended.
        const int turns = turned.size();
        command(ctrl, missed);
        QVERIFY(waitFor([&] { return confirmed(ctrl) == missed; }, kDeadlineMs));
        if (turnsWheel)
            QVERIFY(waitFor([&] { return turned.size() == turns + 1; }, kDeadlineMs));
        QCOMPARE(unanswered.size(), 1);
        QCOMPARE(ctrl.errorCode(), EnumOBJ::NoErr);
    }

    // A light the board misses leaves the one it last confirmed lit, whatever comes next on the
    // line: the pages hear it once (with the light asked for), and the exposure guard is not left
    // waiting for an echo that will never come.
    void missedLightKeepsTheLitOne_data()
    {
        QTest::addColumn<int>("litFirst");
        QTest::addColumn<int>("missedLight");
        QTest::addColumn<bool>("missedOn");
        QTest::addColumn<int>("after");
        QTest::newRow("quiet") << int(EnumOBJ::UV302) << int(EnumOBJ::White) << true << kQuiet;
        QTest::newRow("a lens move right after") << int(EnumOBJ::UV302) << int(EnumOBJ::White) << true << kLightCommand;
        QTest::newRow("off, a lens move right after") << int(EnumOBJ::Blue) << int(EnumOBJ::Blue) << false << kLightCommand;
        QTest::newRow("a cover report meanwhile") << int(EnumOBJ::White) << int(EnumOBJ::UV365) << true << kBoardReport;
    }
    void missedLightKeepsTheLitOne()
    {
        QFETCH(int, litFirst);
        QFETCH(int, missedLight);
        QFETCH(bool, missedOn);
        QFETCH(int, after);

        ControllerRig rig;
        IC_MainControl& ctrl = *rig.ctrl;
        ctrl.setAuthorityType(EnumOBJ::AllAuthorityTS695_Auto);
        rig.openLink();
        QSignalSpy unanswered(&ctrl, &IC_MainControl::lightCommandUnanswered);
        ctrl.lightCmd(litFirst, true);
        QVERIFY(waitFor([&] { return ctrl.litLight() == litFirst; }, kDeadlineMs));
        clearLog();

        rig.control.ignoreRequests(0xF1, 1);
        const size_t received = rig.control.receivedFrames().size();
        ctrl.lightCmd(missedLight, missedOn);
        if (after == kLightCommand)
            ctrl.lensCtrl(1800);
        if (after == kBoardReport)
            QVERIFY(coverReportedMeanwhile(rig, received));
        QVERIFY(unanswered.wait(kDeadlineMs));
        QCOMPARE(unanswered.size(), 1);
        QCOMPARE(unanswered.at(0).at(0).toInt(), missedLight);
        QCOMPARE(unanswered.at(0).at(1).toBool(), missedOn);
        QCOMPARE(ctrl.litLight(), litFirst);
        QVERIFY2(!logLines().filter(QStringLiteral("灯光指令无应答，灯光保持原状态:")).isEmpty(), qPrintable(logLines().join(QLatin1Char('\n'))));
        QCOMPARE(ctrl.errorCode(), EnumOBJ::NoErr);

        // Answered this time, and the missed one is not said again.
        ctrl.lightCmd(missedLight, missedOn);
        const int lit = missedOn ? missedLight : int(EnumOBJ::Unknow_LightType);
        QVERIFY(waitFor([&] { return ctrl.litLight() == lit; }, kDeadlineMs));
        QCOMPARE(unanswered.size(), 1);
    }

    // The blue light's brightness is a percentage, not a light byte, whatever its value: the
    // light the board has lit stays the one shown (32 % reads as the white lamp's byte).
    void aBrightnessIsNoLightSwitch()
    {
        ControllerRig rig;
        IC_MainControl& ctrl = *rig.ctrl;
        ctrl.setAuthorityType(EnumOBJ::GelTS20BW);
        rig.openLink();
        ctrl.lightCmd(EnumOBJ::Blue, true);
        QVERIFY(waitFor([&] { return ctrl.litLight() == EnumOBJ::Blue; }, kDeadlineMs));
        for (int percent : {32, 2, 34})
            ctrl._GelTS20BWOpenBlueLight(percent);
        // The board answers in order: once the lens move is echoed, so are the brightnesses.
        ctrl.lensCtrl(1700);
        QVERIFY(waitFor([&] { return ctrl.confirmedLens() == 1700; }, kDeadlineMs));
        QCOMPARE(ctrl.litLight(), int(EnumOBJ::Blue));
    }

    // A board slower than the echo's deadline carries the command out after all: the miss was
    // told, and the pages then hear that the cabinet has what was asked.
    void aLateEchoIsTakenAfterAll_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<Confirmed>("confirmed");
        QTest::addColumn<QByteArray>("unansweredSignal");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("asked");
        QTest::newRow("light") << Command([](IC_MainControl& c, int light) { c.lightCmd(light, true); })
                               << Confirmed([](const IC_MainControl& c) { return c.litLight(); })
                               << QByteArray(SIGNAL(lightCommandUnanswered(int,bool))) << int(EnumOBJ::UV302)
                               << int(EnumOBJ::White);
        QTest::newRow("filter") << Command([](IC_MainControl& c, int pos) { c._GelTSFilterChanged(pos); })
                                << Confirmed([](const IC_MainControl& c) { return c.confirmedFilter(); })
                                << QByteArray(SIGNAL(filterCommandUnanswered(int,bool))) << int(EnumOBJ::F_535nm)
                                << int(EnumOBJ::F_605nm);
    }
    void aLateEchoIsTakenAfterAll()
    {
        QFETCH(Command, command);
        QFETCH(Confirmed, confirmed);
        QFETCH(QByteArray, unansweredSignal);
        QFETCH(int, first);
        QFETCH(int, asked);

        ControllerRig rig;
        IC_MainControl& ctrl = *rig.ctrl;
        ctrl.setAuthorityType(EnumOBJ::AllAuthorityTS695_Auto);
        rig.openLink();
        command(ctrl, first);
        QVERIFY(waitFor([&] { return confirmed(ctrl) == first; }, kDeadlineMs));

        QSignalSpy unanswered(&ctrl, unansweredSignal.constData());
        QSignalSpy late(&ctrl, &IC_MainControl::boardConfirmedLate);
        rig.control.delayRequests(0xF1, BoardEchoes::longestAnswerMs() + 1000, 1);
        command(ctrl, asked);
        QVERIFY(unanswered.wait(kDeadlineMs));
        QCOMPARE(confirmed(ctrl), first);
        QCOMPARE(late.size(), 0);
        QVERIFY(late.wait(kDeadlineMs));
        QCOMPARE(confirmed(ctrl), asked);
        QCOMPARE(unanswered.size(), 1);
        QCOMPARE(ctrl.errorCode(), EnumOBJ::NoErr);
    }

    // The wheel's report names no turn. A report the board sent before it read the next filter
    // command reaches the program after that command was sent: it must not end the new turn
    // (the pages would close its dialog early). Only the latest turn's report does, once.
    void aReportOfAnEarlierTurnEndsNoNewerOne()
    {
        ControllerRig rig;
        IC_MainControl& ctrl = *rig.ctrl;
        ctrl.setAuthorityType(EnumOBJ::AllAuthorityTS);
        rig.openLink();
        // The board's frames leave far apart: the first turn's short report is still on its way
        // when the second command is sent.
        rig.control.setFrameGapMs(700);
        QList<int> endedAt;
        connect(&ctrl, &IC_MainControl::filterFin, this, [&] { endedAt << ctrl.confirmedFilter(); });

        ctrl._GelTSFilterChanged(EnumOBJ::F_535nm);
        QVERIFY(waitFor([&] { return ctrl.confirmedFilter() == EnumOBJ::F_535nm; }, kDeadlineMs));
        ctrl._GelTSFilterChanged(EnumOBJ::F_590nm);

        QVERIFY(waitFor([&] { return logLines().count(QStringLiteral("滤光轮完成转动。")) == 2; }, kDeadlineMs));
        QCOMPARE(filterReports(rig.control), 2);
        // One end, of the second turn, after its echo.
        QCOMPARE(endedAt, QList<int>{EnumOBJ::F_590nm});
        QVERIFY(logged(QStringLiteral("滤光轮报告不属于当前转动，忽略。")));
        QCOMPARE(vcab::CabinetState::instance().snapshot().filterPos, int(EnumOBJ::F_590nm));

        // A second report of the same turn ends nothing either.
        const std::vector<QByteArray> sent = rig.control.sentFrames();
        ctrl.readDataHandle(*std::find_if(sent.rbegin(), sent.rend(), [](const QByteArray& f) { return quint8(f.at(3)) == 0xFA; }));
        QCOMPARE(endedAt.size(), 1);
    }
};

QTEST_MAIN(EchoesTest)
#include "echoes_test.moc"
