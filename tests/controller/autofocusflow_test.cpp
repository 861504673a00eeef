// The autofocus runs of the controller on the virtual cabinet: the board-driven lens through
// MainCtrl with the multi-fluorescence preview (the board moves the lens and reports its
// position, the status dispatcher gives the preview its turn), a board that falls silent, a
// stop; the SMBus lens's run with its end kept as the lens position, and its failure.
#include "controllertest.h"

#include "cabinetstate.h"
#include "camopts.h"
#include "flowcontext.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "hidsmbus.h"
#include "hidsmbus_test.h"
#include "lensflow.h"
#include "multflow.h"
#include "smbuslensctrl.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "useropts.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
constexpr int kDeadlineMs = 30000;
constexpr int kBest = 2200;
} // namespace

class AutofocusFlowTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    UserOpts* opts = UserOpts::getInstance();
    CamOpts* camOpts = CamOpts::getInstance();

    IC_MainControl* ctrl() { return rig->ctrl.get(); }
    MultFlow* mult() { return ctrl()->mult(); }

    void openCamera(tucamtest::Model model, EnumOBJ::AuthorityType authority)
    {
        cam->closeCamera();
        tucamtest::Config config;
        config.model = model;
        tucamtest::reset(config);
        QVERIFY(cam->openCamera(authority));
        ctrl()->setAuthorityType(authority);
    }

    void startPreview()
    {
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_MultTSPreviewStart();
        QVERIFY(mult()->preview.thread());
        QVERIFY(frames.wait(20000));
    }

    // The blue channel through its filter, as the page chooses it.
    void chooseBlueChannel()
    {
        QSignalSpy turned(ctrl(), &IC_MainControl::filterFin);
        ctrl()->_MultTSLightChanged(EnumOBJ::B470nm, true, EnumOBJ::F_535nm);
        QVERIFY(turned.wait(20000));
    }

    // Positions of every lens move (0xB2) the board received, in order.
    QList<int> lensMoves()
    {
        QList<int> out;
        for (const QByteArray& f : rig->control.receivedFrames())
            if (f.size() >= 7 && quint8(f[2]) == 0xB2)
                out << (quint8(f[4]) << 8 | quint8(f[5]));
        return out;
    }

    int storedAutoFocusPosition()
    {
        camOpts->loadCamOptsByName(CamOpts::AutoFocusPosition);
        return camOpts->autoFocusPosition();
    }

    void setStoredOptions(int lastFocusFul, int afOffset)
    {
        opts->setLastFocusFul(lastFocusFul);
        opts->saveUserOptsByName(UserOpts::OPT_LastFocusFul);
        opts->setAfOffset(afOffset);
        opts->saveUserOptsByName(UserOpts::OPT_AfOffset);
        camOpts->setAutoFocusPosition(1234);
        camOpts->saveCamOptsByName(CamOpts::AutoFocusPosition);
    }

    // The SMBus lens brought up as at start-up.
    void bringUpSmbusLens(int focusMin, int focusMax)
    {
        smbustest::Lens lens;
        lens.focusMin = uint16_t(focusMin);
        lens.focusMax = uint16_t(focusMax);
        lens.focusSpeed = 5000;
        smbustest::reset({smbustest::Bridge()}, lens);
        QCOMPARE(SmbusLensCtrl::open(0), 0);
        QCOMPARE(SmbusLensCtrl::configure(), 0);
        QCOMPARE(SmbusLensCtrl::readFocusLimits(), 0);
        QCOMPARE(SmbusLensCtrl::initFocus(), 0);
    }

    void expectSearchOver()
    {
        QVERIFY(cam->isFocusStop);
        QVERIFY(!cam->isFocusMeasuring);
        QVERIFY(!cam->isFocusDone);
        QVERIFY(!cam->focusDirection);
    }

private slots:
    void init()
    {
        tucamtest::reset();
        rig = std::make_unique<ControllerRig>();
        rig->openLink();
        openCamera(tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS695_Auto);
        cam->frameStore().clearFrameCaches();
        cam->isFocusStop = true;
        CamOpts* c = CamOpts::getInstance();
        c->setMultTSCurBinning(2);
        c->setMultTSCurExposurePre(20);
        c->setMultTSCurGain(45);
        c->setMultTSCurGainIndex(1);
        c->saveCurMultTSCamOpts();
        for (auto t : {UserOpts::OPT_FluX, UserOpts::OPT_FluY, UserOpts::OPT_FluW, UserOpts::OPT_FluH})
            opts->saveUserOptsByName(t);
        clearLog();
    }

    void cleanup()
    {
        cam->isFocusStop = true;
        QVERIFY(waitFor([&] { return !ctrl()->lens()->atFocusThread; }, kDeadlineMs));
        if (mult()->preview.thread())
            ctrl()->_MultTSExitExperiment();
        QVERIFY(waitFor([&] { return !mult()->preview.thread(); }, kDeadlineMs));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SmbusLensCtrl::close();
        rig.reset();
        cam->closeCamera();
    }

    // The whole road of the board-driven lens: every step goes out as a lens command, the
    // board moves the lens and reports it, the preview rates the frame that follows. The lens
    // ends at the sharpest position plus the offset, which is kept; the page hears the end once.
    void boardLensThroughTheController_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("afOffset");
        // Both sides and offsets are tested on the threads alone; one road through the board here.
        QTest::newRow("below, offset 10") << kBest - 60 << 10;
    }
    void boardLensThroughTheController()
    {
        QFETCH(int, start);
        QFETCH(int, afOffset);
        setStoredOptions(start, afOffset);
        vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
            s.bestFocus = kBest;
            s.serialFocus = start;
        });
        startPreview();
        chooseBlueChannel();
        QSignalSpy done(ctrl(), &IC_MainControl::setAFFinished);
        ctrl()->_MultTSSpacecomAtFocus();
        QVERIFY(ctrl()->lens()->atFocusThread);
        QVERIFY(done.wait(kDeadlineMs));
        QCoreApplication::processEvents();
        QCOMPARE(done.size(), 1);
        QVERIFY(!ctrl()->lens()->atFocusThread);
        QVERIFY(logged("移动至最清晰位置."));
        // The final move is on its way to the board when the search has ended.
        const int final = storedAutoFocusPosition();
        QVERIFY2(std::abs(final - kBest) <= 15 + afOffset, qPrintable(QString::number(final)));
        QVERIFY(waitFor([&] { return !lensMoves().isEmpty() && lensMoves().last() == final; }, 10000));
        const QList<int> moves = lensMoves();
        QVERIFY(moves.size() >= 6);
        QCOMPARE(moves.first(), start + 75);
        // The board reports where the lens arrived; the dispatcher keeps it.
        QVERIFY(waitFor([&] { return vcab::CabinetState::instance().snapshot().serialFocus == final; }, 10000));
        QVERIFY(waitFor([&] {
            opts->loadUserOptsByName(UserOpts::OPT_CurFocusValue);
            return opts->curFocusValue() == final;
        }, 10000));
        expectSearchOver();
    }

    // A board that falls silent (no position report ever comes) or a stop request: the search
    // ends without a final move and without keeping a position, and the page hears the end.
    void searchEndsWhenTheBoardFallsSilentOrOnAStop_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::newRow("board silent") << true;
        QTest::newRow("stop requested") << false;
    }
    void searchEndsWhenTheBoardFallsSilentOrOnAStop()
    {
        QFETCH(bool, silent);
        setStoredOptions(kBest, 0);
        startPreview();
        QSignalSpy done(ctrl(), &IC_MainControl::setAFFinished);
        ctrl()->_MultTSSpacecomAtFocus();
        QVERIFY(waitFor([&] { return lensMoves().size() >= 2; }, kDeadlineMs));
        QElapsedTimer ending;
        ending.start();
        if (silent)
            rig->control.setSilent(true);
        else
            ctrl()->stopAutoFocus();
        QVERIFY(done.wait(kDeadlineMs));
        QVERIFY(ending.elapsed() < (silent ? 15000 : 2000));
        QVERIFY(!logged("移动至最清晰位置."));
        QCOMPARE(!logLines().filter("not answered").isEmpty(), silent);
        QCOMPARE(storedAutoFocusPosition(), 1234);
        expectSearchOver();
        rig->control.setSilent(false);
        // The next search starts with one turn for the lens, whatever the stop left behind.
        QSignalSpy again(ctrl(), &IC_MainControl::setAFFinished);
        const int before = lensMoves().size();
        ctrl()->_MultTSSpacecomAtFocus();
        QVERIFY(waitFor([&] { return lensMoves().size() >= before + 2; }, kDeadlineMs));
        // One step after the other, none skipped.
        QCOMPARE(lensMoves()[before + 1], lensMoves()[before] - 15);
        ctrl()->stopAutoFocus();
        QVERIFY(again.wait(kDeadlineMs));
    }

    // The SMBus lens's run with the running preview as its partner: the end keeps the lens's
    // position as focusCurrentAddr and the autofocus position, the controller passes each
    // position on, the page hears aFFinished; one run at a time, none without the preview.
    void smbusLensRunKeepsWhereTheLensWent()
    {
        openCamera(tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW);
        opts->setFluX(1740);
        opts->setFluY(1090);
        opts->setFluW(-1658);
        opts->setFluH(-1200);
        for (auto t : {UserOpts::OPT_FluX, UserOpts::OPT_FluY, UserOpts::OPT_FluW, UserOpts::OPT_FluH})
            opts->saveUserOptsByName(t);
        CamOpts* c = CamOpts::getInstance();
        c->setMultTSCurBinning(0);
        c->setMultTSCurExposurePre(30);
        c->setMultTSCurGain(0);
        c->saveCurMultTSCamOpts();
        bringUpSmbusLens(1000, 9000);
        setStoredOptions(0, 0);
        camOpts->setAutoFocusPosition(3650);
        camOpts->saveCamOptsByName(CamOpts::AutoFocusPosition);
        opts->setFocusCurrentAddr(777);
        opts->saveUserOptsByName(UserOpts::OPT_FocusCurrentAddr);
        vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
            s.bestFocus = 4000;
            s.lamps = vcab::LampUV302_1;
        });

        QThread* role = nullptr;
        FlowContext& ctx = *ctrl()->context();
        LensFlow::startSmbusAtFocus(ctx, *mult(), mult(), role);
        QVERIFY(!role);
        QVERIFY(logLines().filter("autofocus needs a running preview").size() == 1);

        startPreview();
        QSignalSpy done(ctrl(), &IC_MainControl::aFFinished);
        QSignalSpy moved(ctrl(), &IC_MainControl::sig_FocusMove);
        LensFlow::startSmbusAtFocus(ctx, *mult(), mult(), role);
        QVERIFY(role);
        QThread* first = role;
        LensFlow::startSmbusAtFocus(ctx, *mult(), mult(), role);
        QCOMPARE(role, first);
        QVERIFY(done.wait(kDeadlineMs));
        QVERIFY(!role);
        QVERIFY(moved.size() >= 6);
        const int final = moved.last()[0].toInt();
        QVERIFY2(std::abs(final - 4000) <= 50, qPrintable(QString::number(final)));
        opts->loadUserOptsByName(UserOpts::OPT_FocusCurrentAddr);
        QCOMPARE(opts->focusCurrentAddr(), final);
        QCOMPARE(storedAutoFocusPosition(), final);
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::NoErr);
        expectSearchOver();
    }

    // A final move that fails is the lens error: nothing is kept, the page hears the end.
    void smbusLensFailureIsTheLensError()
    {
        openCamera(tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW);
        CamOpts* c = CamOpts::getInstance();
        c->setMultTSCurBinning(0);
        c->setMultTSCurExposurePre(5);
        c->saveCurMultTSCamOpts();
        opts->setFluX(1740);
        opts->setFluY(1090);
        opts->setFluW(-1658);
        opts->setFluH(-1200);
        for (auto t : {UserOpts::OPT_FluX, UserOpts::OPT_FluY, UserOpts::OPT_FluW, UserOpts::OPT_FluH})
            opts->saveUserOptsByName(t);
        bringUpSmbusLens(1000, 2200);
        setStoredOptions(0, 0);
        opts->setFocusCurrentAddr(777);
        opts->saveUserOptsByName(UserOpts::OPT_FocusCurrentAddr);
        smbustest::failAlways("HidSmbus_WriteRequest", HID_SMBUS_WRITE_ERROR);
        startPreview();
        QThread* role = nullptr;
        QSignalSpy done(ctrl(), &IC_MainControl::aFFinished);
        QSignalSpy errors(ctrl(), &IC_MainControl::errorCodeChanged);
        LensFlow::startSmbusAtFocus(*ctrl()->context(), *mult(), mult(), role);
        QVERIFY(done.wait(kDeadlineMs));
        smbustest::clearScripts();
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::LensErr);
        QVERIFY(errors.size() >= 1);
        opts->loadUserOptsByName(UserOpts::OPT_FocusCurrentAddr);
        QCOMPARE(opts->focusCurrentAddr(), 777);
        QCOMPARE(storedAutoFocusPosition(), 1234);
    }

    // The S20Mini's invokable needs the gel preview.
    void smbusAutofocusInvokableNeedsTheGelPreview()
    {
        ctrl()->_GelTS20BWAtFocus();
        QVERIFY(!ctrl()->gel()->atFocusThread);
        QVERIFY(logLines().filter("autofocus needs a running preview").size() == 1);
    }
};

QTEST_MAIN(AutofocusFlowTest)
#include "autofocusflow_test.moc"
