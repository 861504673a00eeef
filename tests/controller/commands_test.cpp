// Light, filter and lens commands: the exact frame each call puts on the line (as the board
// received it), the current command left for the reply, the camera flags the light commands
// set, and the lens-move and autofocus starts.
#include "controllertest.h"

#include "cabinetstate.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "hidsmbus_test.h"
#include "lensflow.h"
#include "smbuslensctrl.h"
#include "testappdir.h"
#include "useropts.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <vector>

namespace {
// "f1 c3 02" → the whole request frame 68 A0 F1 02 C3 02 <xor>, as hexadecimal text.
QString frame(const char* codeAndData)
{
    const QByteArray bytes = QByteArray::fromHex(QByteArray(codeAndData).replace(' ', ""));
    QByteArray out;
    out.append(char(0x68)).append(char(0xA0)).append(bytes.at(0)).append(char(bytes.size() - 1)).append(bytes.mid(1));
    quint8 sum = 0;
    for (char byte : out)
        sum ^= quint8(byte);
    out.append(char(sum));
    return QString::fromLatin1(out.toHex());
}

struct Case {
    const char* name;
    EnumOBJ::AuthorityType authority;
    std::function<void(IC_MainControl&)> call;
    QStringList frames;  // code and data bytes of each frame written
};

using E = EnumOBJ;
const std::vector<Case>& cases()
{
    static const std::vector<Case> table {
        {"light on", E::AllAuthorityTS, [](IC_MainControl& c) { c.lightChange(true); }, {"f2 01 02"}},
        {"light off", E::AllAuthorityTS, [](IC_MainControl& c) { c.lightChange(false); }, {"f2 c1"}},
        {"Mini light on", E::WBTSFL9BWMini, [](IC_MainControl& c) { c.lightChange(true); }, {"f2 2c"}},
        {"Mini light off", E::WBTS695Mini, [](IC_MainControl& c) { c.lightChange(false); }, {"f2 2d"}},
        {"white on", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::White, true); }, {"f1 20"}},
        {"white off", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::White, false); }, {"f1 21"}},
        {"UV254 on", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV254, true); }, {"f1 05"}},
        {"UV254 off", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV254, false); }, {"f1 c5"}},
        {"UV365 on", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV365, true); }, {"f1 06"}},
        {"UV365 off", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV365, false); }, {"f1 c6"}},
        {"UV302 on", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV302, true); }, {"f1 22"}},
        {"UV302 off", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV302, false); }, {"f1 23"}},
        {"blue on", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::Blue, true); }, {"f1 24"}},
        {"blue off", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::Blue, false); }, {"f1 25"}},
        {"UV302C has no single-light byte", E::GelTS20BW, [](IC_MainControl& c) { c.lightCmd(E::UV302C, true); }, {}},
        {"gel white with an unknown filter", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._GelTSLightChanged(E::White, true, 9); }, {"f1 c3 c4 c5 c6 02 2e"}},
        {"gel UV302C without filter", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._GelTSLightChanged(E::UV302C, false, 3); }, {"f1 c2 c4 c5 c6 03"}},
        {"gel UV254 with 840 nm", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._GelTSLightChanged(E::UV254, true, E::F_840nm); }, {"f1 c2 c3 c4 c6 05 16"}},
        {"gel UV365 with 590 nm", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._GelTSLightChanged(E::UV365, true, E::F_590nm); }, {"f1 c2 c3 c4 c5 06 13"}},
        {"gel light without a list", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._GelTSLightChanged(E::R625nm, false, 0); }, {"f1"}},
        {"mult white with no filter", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultTSLightChanged(E::White, true, E::NoFilter); }, {"f3 c7 c8 c9 cb ca 02 11"}},
        {"mult red", E::AllAuthorityTS, [](IC_MainControl& c) { c._MultTSLightChanged(E::R625nm, false, 0); },
         {"f3 c8 c9 cb ca c2 07"}},
        {"mult green with 535 nm", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultTSLightChanged(E::G520nm, true, E::F_535nm); }, {"f3 c7 c9 cb ca c2 08 12"}},
        {"mult blue with 605 nm", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultTSLightChanged(E::B470nm, true, E::F_605nm); }, {"f3 c7 c8 cb ca c2 09 14"}},
        {"mult NIR660 with 715 nm", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultTSLightChanged(E::IR660nm, true, E::F_715nm); }, {"f3 c7 c8 c9 c2 ca 1b 16"}},
        {"mult NIR740 with 810 nm", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultTSLightChanged(E::IR740nm, true, E::F_810nm); }, {"f3 c7 c8 c9 c2 cb 0a 17"}},
        {"multi light on AllAuthorityTS", E::AllAuthorityTS, [](IC_MainControl& c) { c._MultiLightCmd(E::R625nm, true); },
         {"f3 07"}},
        {"multi light off AllAuthorityTS", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultiLightCmd(E::IR660nm, false); }, {"f3 cb"}},
        {"multi white on AllAuthorityTS", E::AllAuthorityTS, [](IC_MainControl& c) { c._MultiLightCmd(E::White, true); },
         {"f3 02"}},
        {"multi light of another light type", E::AllAuthorityTS,
         [](IC_MainControl& c) { c._MultiLightCmd(E::UV254, true); }, {}},
        {"multi light elsewhere is empty", E::AllAuthorityTS695_Auto,
         [](IC_MainControl& c) { c._MultiLightCmd(E::R625nm, true); }, {"f3"}},
        {"filters 0 to 8", E::AllAuthorityTS,
         [](IC_MainControl& c) {
             for (int pos = 0; pos <= 8; ++pos)
                 c._GelTSFilterChanged(pos);
         },
         {"f1 11", "f1 12", "f1 13", "f1 14", "f1 15", "f1 16", "f1 16", "f1 17", "f1 18"}},
        {"unknown filter", E::AllAuthorityTS, [](IC_MainControl& c) { c._GelTSFilterChanged(-1); }, {"f1 2e"}},
        {"mult filter", E::AllAuthorityTS, [](IC_MainControl& c) { c._MultTSFilterChanged(E::F_700nm); }, {"f1 15"}},
        {"lens to 0", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCtrl(0); }, {"b2 00 00"}},
        {"lens to 255", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCtrl(255); }, {"b2 00 ff"}},
        {"lens to 1000", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCtrl(1000); }, {"b2 03 e8"}},
        {"lens to 4096", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCtrl(4096); }, {"b2 10 00"}},
        // Beyond two bytes the frame would change its length; below 0 it would be garbage.
        {"lens above its range", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCtrl(70000); }, {"b2 ff ff"}},
        {"lens below its range", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCtrl(-5); }, {"b2 00 00"}},
        {"lens read", E::AllAuthorityTS695_Auto, [](IC_MainControl& c) { c.lensCmd(CmdReadZoom, {}); }, {"b3"}},
        {"shut-down time", E::AllAuthorityTS, [](IC_MainControl& c) { c.lightAutoShutDown(3); }, {"cc 03"}},
        {"shut-down time above a byte", E::AllAuthorityTS, [](IC_MainControl& c) { c.lightAutoShutDown(300); },
         {"cc ff"}},
        {"negative shut-down time", E::AllAuthorityTS, [](IC_MainControl& c) { c.lightAutoShutDown(-1); }, {"cc 00"}},
        {"blue percentage", E::GelTS20BW, [](IC_MainControl& c) { c._GelTS20BWOpenBlueLight(55); }, {"f4 37"}},
        {"blue percentage above 100", E::GelTS20BW, [](IC_MainControl& c) { c._GelTS20BWOpenBlueLight(150); },
         {"f4 64"}},
        {"negative blue percentage", E::GelTS20BW, [](IC_MainControl& c) { c._GelTS20BWOpenBlueLight(-3); },
         {"f4 00"}},
        {"board type", E::GelTS20BW, [](IC_MainControl& c) { c.requestBoardType(); }, {"f1 00"}},
        {"door release", E::GelTS20BW, [](IC_MainControl& c) { c._GelTS20BWReleaseDoor(); }, {"f1 1a"}},
    };
    return table;
}
} // namespace

class CommandsTest : public QObject {
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

    void exactFrames_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << int(i);
    }

    void exactFrames()
    {
        QFETCH(int, index);
        const Case& c = cases()[size_t(index)];
        QStringList expected;
        for (const QString& bytes : c.frames)
            expected << frame(bytes.toLatin1().constData());
        const QByteArray before = QByteArray::fromHex("68a0b6007e");
        rig->link->setCurCmd(before);
        rig->ctrl->setAuthorityType(c.authority);

        c.call(*rig->ctrl);

        QCOMPARE(rig->written(), expected);
        // The reply of the last frame is decoded against it.
        QCOMPARE(QString::fromLatin1(rig->link->curCmd().toHex()),
                 expected.isEmpty() ? QString::fromLatin1(before.toHex()) : expected.last());
    }

    void unknownFilterIsLogged()
    {
        clearLog();
        rig->ctrl->_GelTSLightChanged(EnumOBJ::White, true, 9);
        QVERIFY(logged(QStringLiteral("Unknow FilterType.")));
    }

    void lightChangeTellsThePages()
    {
        QSignalSpy light(rig->ctrl.get(), &IC_MainControl::lightStatusChange);
        rig->ctrl->lightChange(true);
        rig->ctrl->lightChange(false);
        QCOMPARE(light.count(), 2);
        QCOMPARE(light.at(0).at(0).toBool(), true);
        QCOMPARE(light.at(1).at(0).toBool(), false);
    }

    void lightCmdMarksTheWhiteBoard_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("lightType");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("white on GelTS20BW") << int(EnumOBJ::GelTS20BW) << int(EnumOBJ::White) << false << true;
        QTest::newRow("UV254 on GelTS20BW") << int(EnumOBJ::GelTS20BW) << int(EnumOBJ::UV254) << true << false;
        QTest::newRow("white elsewhere clears") << int(EnumOBJ::WBTS695Mini) << int(EnumOBJ::White) << true << false;
        QTest::newRow("unsent UV302C clears") << int(EnumOBJ::GelTS20BW) << int(EnumOBJ::UV302C) << true << false;
        QTest::newRow("AllAuthorityTS leaves it") << int(EnumOBJ::AllAuthorityTS) << int(EnumOBJ::White) << true << true;
        QTest::newRow("WBTS leaves it") << int(EnumOBJ::WBTS) << int(EnumOBJ::UV254) << false << false;
        QTest::newRow("unknown configuration leaves it") << int(EnumOBJ::Unknow_AuthorityType) << int(EnumOBJ::UV254)
                                                         << true << true;
    }

    void lightCmdMarksTheWhiteBoard()
    {
        QFETCH(int, authority);
        QFETCH(int, lightType);
        QFETCH(bool, before);
        QFETCH(bool, after);
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        cam->isWhiteBoard = before;
        rig->ctrl->setAuthorityType(EnumOBJ::AuthorityType(authority));
        rig->ctrl->lightCmd(lightType, true);
        QCOMPARE(cam->isWhiteBoard.load(), after);
        QCOMPARE(rig->ctrl->context()->curLightType(), lightType);
    }

    // One lens move at a time: a second start while the first travels is refused, the first
    // one still reports its end once.
    void lensMovesOneAtATime()
    {
        smbustest::reset();
        QCOMPARE(SmbusLensCtrl::open(0), 0);
        QCOMPARE(SmbusLensCtrl::configure(), 0);
        QCOMPARE(SmbusLensCtrl::readFocusLimits(), 0);
        QCOMPARE(SmbusLensCtrl::initFocus(), 0);
        QSignalSpy moved(rig->ctrl.get(), &IC_MainControl::focusMoved);
        QSignalSpy errors(rig->ctrl.get(), &IC_MainControl::errorCodeChanged);
        clearLog();

        rig->ctrl->_FocusChanged(8000);
        rig->ctrl->_FocusChanged(2000);
        QVERIFY(logged(QStringLiteral("lens move already running, ignored: 2000")));
        QVERIFY(moved.wait(30000));
        QCOMPARE(vcab::CabinetState::instance().snapshot().smbusFocus, 8000);
        QCOMPARE(errors.count(), 0);

        // Once the first has ended the next one runs.
        rig->ctrl->_FocusChanged(3000);
        QVERIFY(moved.wait(30000));
        QCOMPARE(moved.count(), 2);
        QCOMPARE(vcab::CabinetState::instance().snapshot().smbusFocus, 3000);
        SmbusLensCtrl::close();
    }

    void lensMoveFailureIsTheLensError()
    {
        smbustest::reset();
        QCOMPARE(SmbusLensCtrl::open(0), 0);
        QCOMPARE(SmbusLensCtrl::configure(), 0);
        QCOMPARE(SmbusLensCtrl::readFocusLimits(), 0);
        QCOMPARE(SmbusLensCtrl::initFocus(), 0);
        smbustest::setBusy(smbustest::Busy::NeverRises);
        QSignalSpy moved(rig->ctrl.get(), &IC_MainControl::focusMoved);
        rig->ctrl->_FocusChanged(6000);
        QVERIFY(moved.wait(30000));
        QCOMPARE(rig->ctrl->errorCode(), EnumOBJ::LensErr);
        QVERIFY(!rig->ctrl->lens()->focusMoveThread);
    }

    // Without the mode's preview there is no frame to judge: the start does nothing at all.
    void autofocusNeedsTheModesPreview()
    {
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        cam->sem1.tryAcquire(cam->sem1.available());
        cam->isFocusStop = true;
        clearLog();
        rig->ctrl->setAuthorityType(EnumOBJ::AllAuthorityTSFL9BW_Auto);
        rig->ctrl->_WBTSSpacecomAtFocus();
        rig->ctrl->_GelTSSpacecomAtFocus();
        rig->ctrl->_MultTSSpacecomAtFocus();
        QCOMPARE(cam->sem1.available(), 0);
        QCOMPARE(cam->isFocusStop.load(), true);
        QCOMPARE(logLines().filter(QStringLiteral("autofocus needs a running preview")).size(), 3);
        QCOMPARE(rig->written(), QStringList());

        // stopAutoFocus without a preview leaves the stop flag as it is.
        cam->isFocusStop = false;
        rig->ctrl->stopAutoFocus();
        QCOMPARE(cam->isFocusStop.load(), false);
        cam->isFocusStop = true;
    }

    void autofocusRangeAndStart_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("focusPosition");
        QTest::addColumn<int>("focusMin");
        QTest::addColumn<int>("focusMax");
        QTest::addColumn<int>("startOption");
        const int wb = EnumOBJ::WB, gel = EnumOBJ::Gel, mult = EnumOBJ::Mult;
        QTest::newRow("WB upper position") << wb << int(EnumOBJ::WBTS695_Auto) << 1 << 1000 << 3500
                                           << int(UserOpts::OPT_LastFocusUpWb);
        QTest::newRow("WB lower position") << wb << int(EnumOBJ::WBTSFL9BW_Auto) << 0 << 1000 << 3500
                                           << int(UserOpts::OPT_LastFocusDownWb);
        QTest::newRow("WB manual lens") << wb << int(EnumOBJ::WBTS695_Manual) << 0 << 0 << 0
                                        << int(UserOpts::OPT_LastFocusDownWb);
        QTest::newRow("gel on a WB-only Auto") << gel << int(EnumOBJ::WBTSFL9BW_Auto) << 0 << 0 << 0
                                               << int(UserOpts::OPT_LastFocusGel);
        QTest::newRow("gel on GelAndWBTS695_Auto") << gel << int(EnumOBJ::GelAndWBTS695_Auto) << 0 << 1000 << 3500
                                                   << int(UserOpts::OPT_LastFocusGel);
        QTest::newRow("gel on AllAuthorityTSFL9BW_Auto") << gel << int(EnumOBJ::AllAuthorityTSFL9BW_Auto) << 0 << 1000
                                                         << 3500 << int(UserOpts::OPT_LastFocusGel);
        QTest::newRow("mult on GelAndWBTSFL9BW_Auto") << mult << int(EnumOBJ::GelAndWBTSFL9BW_Auto) << 0 << 0 << 0
                                                      << int(UserOpts::OPT_LastFocusFul);
        QTest::newRow("mult on AllAuthorityTS695_Auto") << mult << int(EnumOBJ::AllAuthorityTS695_Auto) << 0 << 1000
                                                        << 3500 << int(UserOpts::OPT_LastFocusFul);
        QTest::newRow("mult on AllAuthorityTS") << mult << int(EnumOBJ::AllAuthorityTS) << 0 << 0 << 0
                                                << int(UserOpts::OPT_LastFocusFul);
    }

    void autofocusRangeAndStart()
    {
        QFETCH(int, mode);
        QFETCH(int, authority);
        QFETCH(int, focusPosition);
        QFETCH(int, focusMin);
        QFETCH(int, focusMax);
        QFETCH(int, startOption);
        const LensFlow::AtFocusPlan plan = LensFlow::atFocusPlan(EnumOBJ::ExpMode(mode), authority, focusPosition);
        QCOMPARE(plan.focusMin, focusMin);
        QCOMPARE(plan.focusMax, focusMax);
        QCOMPARE(plan.startOption, startOption);
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
