// Autofocus on the virtual cabinet: the board-driven lens (the 695 camera of the S60 cabinet,
// the lens answered as the board answers it) and the SMBus lens (the S20Mini cabinet) each end
// within one step, plus the configured offset, of the scene's best focus, from below and from
// above; a lens that never reports, a preview that stops and a stop request end a search
// without leaving a turn behind; a failed final move of the SMBus lens keeps no focus.

#include "multfixture.h"

#include "atfocusthread.h"
#include "cabinetstate.h"
#include "hidsmbus.h"
#include "hidsmbus_test.h"
#include "logcapture.h"
#include "multtspreviewthread.h"
#include "smbuslensctrl.h"
#include "spacecomatfocusthread.h"
#include "testappdir.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {
constexpr int kSerialMin = 1000;
constexpr int kSerialMax = 3500;
constexpr int kSerialStep = 15;
constexpr int kSmbusStep = 50;
} // namespace

class Autofocus : public MultCabinet {
protected:
    void startPreview(MultTSPreviewThread& t, MultRecorder& r)
    {
        QObject::connect(&t, &MultTSPreviewThread::sig_CamErrorOccur, &r, &MultRecorder::onError);
        QObject::connect(&t, &MultTSPreviewThread::updatePreviewImage, &r, &MultRecorder::onPreview);
        ctrl->isRunning = true;
        t.start();
    }
    bool stopPreview(MultTSPreviewThread& t)
    {
        ctrl->isRunning = false;
        ctrl->frameStore().clearCurrentFrame();
        ctrl->abortWait();
        return runToEnd(t, 5000);
    }
    // As the main controller starts a search: permits left by an earlier stop go, then one turn
    // for the lens side, no stop.
    void kickOff()
    {
        ctrl->sem1.tryAcquire(ctrl->sem1.available());
        ctrl->sem2.tryAcquire(ctrl->sem2.available());
        ctrl->sem1.release(1);
        ctrl->isFocusStop = false;
    }
    // As the board and the status dispatcher answer each move of the board-driven lens: the
    // lens arrives, then its position report gives the preview its turn.
    void answerLensMoves(SpacecomAtFocusThread& focus, MultRecorder& rec)
    {
        QObject::connect(&focus, &SpacecomAtFocusThread::sig_FocusMove, &rec, [this, &rec](int position) {
            rec.onMove(position);
            vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) { s.serialFocus = position; });
            if (ctrl->isFocusMeasuring)
                ctrl->sem2.release(1);
        }, Qt::QueuedConnection);
    }
    void setBestFocus(int best, int serial, int smbus = 0)
    {
        vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
            s.bestFocus = best;
            s.serialFocus = serial;
            s.smbusFocus = smbus;
        });
    }
    void setAfOffset(int offset)
    {
        setOption(UserOpts::OPT_AfOffset, [offset](UserOpts* o) { o->setAfOffset(offset); });
    }
    void storeAutoFocusPosition(int value)
    {
        camOpts->setAutoFocusPosition(value);
        camOpts->saveCamOptsByName(CamOpts::AutoFocusPosition);
    }
    int storedAutoFocusPosition()
    {
        camOpts->loadCamOptsByName(CamOpts::AutoFocusPosition);
        return camOpts->autoFocusPosition();
    }
    // The search has left nothing behind for the next one. A stop from outside wakes both sides
    // with a permit each, which may outlive the search (the next start empties them).
    void expectClean(bool stoppedFromOutside = false)
    {
        EXPECT_TRUE(ctrl->isFocusStop);
        EXPECT_FALSE(ctrl->isFocusMeasuring);
        EXPECT_FALSE(ctrl->isFocusDone);
        EXPECT_FALSE(ctrl->focusDirection);
        EXPECT_LE(ctrl->sem1.available(), stoppedFromOutside ? 1 : 0);
        EXPECT_LE(ctrl->sem2.available(), stoppedFromOutside ? 1 : 0);
    }
    // The SMBus lens brought up as at start-up: limits read, drive initialised.
    void bringUpSmbusLens(int focusMin, int focusMax)
    {
        smbustest::Lens lens;
        lens.focusMin = uint16_t(focusMin);
        lens.focusMax = uint16_t(focusMax);
        lens.focusSpeed = 5000;
        smbustest::reset({smbustest::Bridge()}, lens);
        ASSERT_EQ(SmbusLensCtrl::open(0), 0);
        ASSERT_EQ(SmbusLensCtrl::configure(), 0);
        ASSERT_EQ(SmbusLensCtrl::readFocusLimits(), 0);
        ASSERT_EQ(SmbusLensCtrl::initFocus(), 0);
    }
    void TearDown() override
    {
        SmbusLensCtrl::close();
        MultCabinet::TearDown();
    }
};

// The board-driven lens with the multi-fluorescence preview on the 695 camera: starting below
// the best focus the search first walks away, reverses and comes back; starting above it walks
// straight through. The lens ends at the sharpest position plus the offset, which is kept.
TEST_F(Autofocus, TheBoardLensEndsAtTheBestFocusFromBelowAndAbove)
{
    struct Case { const char* name; int start; int afOffset; } cases[] = {
        {"below", 2140, 0}, {"above", 2240, 0}, {"below, offset 10", 2140, 10}, {"above, offset 10", 2240, 10},
    };
    const int best = 2200;
    ctrl->binningIndex = 2;
    ctrl->exposureTime = 20;
    light(vcab::LampBlue, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setAfOffset(c.afOffset);
        setBestFocus(best, c.start);
        MultRecorder rec;
        MultTSPreviewThread preview;
        startPreview(preview, rec);
        ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
        kickOff();
        LogCapture log;
        SpacecomAtFocusThread focus(kSerialMin, kSerialMax);
        focus.setCurFocusValue(c.start);
        answerLensMoves(focus, rec);
        focus.start();
        ASSERT_TRUE(runToEnd(focus, 30000));
        QCoreApplication::processEvents();
        ASSERT_GE(rec.moves.size(), 6);
        EXPECT_EQ(rec.moves.first(), c.start + 75);
        const int final = rec.moves.last();
        EXPECT_LE(std::abs(final - best), kSerialStep + c.afOffset) << final;
        EXPECT_TRUE(log.contains("移动至最清晰位置.")) << "the peak was found, the search did not just stop";
        EXPECT_FALSE(log.contains("not answered"));
        EXPECT_EQ(storedAutoFocusPosition(), final);
        EXPECT_EQ(vcab::CabinetState::instance().snapshot().serialFocus, final);
        expectClean();
        ASSERT_TRUE(stopPreview(preview));
        EXPECT_TRUE(rec.events.isEmpty());
    }
}

// The SMBus lens with the preview on the S20Mini camera, through the gel under UV light.
TEST_F(Autofocus, TheSmbusLensEndsAtTheBestFocusFromBelowAndAbove)
{
    struct Case { const char* name; int stored; int afOffset; } cases[] = {
        {"below", 3650, 0}, {"above", 4150, 0}, {"above, offset 30", 4150, 30},
    };
    const int best = 4000;
    openCamera(tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW);
    ctrl->binningIndex = 0;
    ctrl->exposureTime = 30;
    ctrl->gain = 0;
    // A thousand pixels square over the middle lanes.
    setFluRegion(1740, 1090, -1658, -1200);
    light(vcab::LampUV302_1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bringUpSmbusLens(1000, 9000);
        setAfOffset(c.afOffset);
        storeAutoFocusPosition(c.stored);
        setBestFocus(best, 0, int(smbustest::lens().focusPosition));
        MultRecorder rec;
        MultTSPreviewThread preview;
        startPreview(preview, rec);
        ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
        kickOff();
        LogCapture log;
        AtFocusThread focus(SmbusLensCtrl::focusMin(), SmbusLensCtrl::focusMax());
        QObject::connect(&focus, &AtFocusThread::sig_FocusMove, &rec, &MultRecorder::onMove);
        QObject::connect(&focus, &AtFocusThread::sig_LensErrorOccur, &rec, &MultRecorder::onLensError);
        focus.start();
        ASSERT_TRUE(runToEnd(focus, 30000));
        ASSERT_GE(rec.moves.size(), 6);
        EXPECT_EQ(rec.moves.first(), c.stored + 250);
        const int final = rec.moves.last();
        EXPECT_LE(std::abs(final - best), kSmbusStep + c.afOffset) << final;
        EXPECT_EQ(focus.position, final);
        EXPECT_EQ(focus.reachedPosition, final);
        EXPECT_FALSE(focus.lensFailed);
        EXPECT_TRUE(log.contains("移动至最清晰位置."));
        EXPECT_EQ(int(smbustest::lens().focusPosition), final);
        EXPECT_EQ(storedAutoFocusPosition(), final);
        expectClean();
        ASSERT_TRUE(stopPreview(preview));
        EXPECT_TRUE(rec.events.isEmpty());
    }
}

// A search that cannot go on ends by itself: the lens never reports its position (the bound of
// a step), the preview stops while the lens side waits, or a stop arrives (with the permits a
// stop gives to wake both sides). No final move, nothing kept, no turn left behind.
TEST_F(Autofocus, ASearchThatCannotGoOnEndsWithoutLeavingATurn)
{
    enum class Fault { LensSilent, PreviewStops, StopRequested };
    struct Case { const char* name; Fault fault; int withinMs; } cases[] = {
        {"the lens never reports", Fault::LensSilent, 15000},
        {"the preview stops", Fault::PreviewStops, 1500},
        {"a stop request", Fault::StopRequested, 1500},
    };
    ctrl->binningIndex = 2;
    light(vcab::LampBlue, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        storeAutoFocusPosition(1234);
        setBestFocus(2200, 2000);
        MultRecorder rec;
        MultTSPreviewThread preview;
        startPreview(preview, rec);
        ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
        kickOff();
        LogCapture log;
        SpacecomAtFocusThread focus(kSerialMin, kSerialMax);
        focus.setCurFocusValue(2000);
        if (c.fault != Fault::LensSilent)
            answerLensMoves(focus, rec);
        else
            QObject::connect(&focus, &SpacecomAtFocusThread::sig_FocusMove, &rec, &MultRecorder::onMove);
        focus.start();
        // Both sides are in the middle of the search, each waiting for the other.
        ASSERT_TRUE(waitFor([&] { return rec.moves.size() >= 3 || (c.fault == Fault::LensSilent && rec.moves.size() >= 1); },
                            10000));
        QElapsedTimer ending;
        ending.start();
        if (c.fault == Fault::PreviewStops) {
            ASSERT_TRUE(stopPreview(preview));
        } else if (c.fault == Fault::StopRequested) {
            ctrl->isFocusStop = true;
            ctrl->sem1.release(1);
            ctrl->sem2.release(1);
        }
        ASSERT_TRUE(runToEnd(focus, c.withinMs)) << "the search hangs";
        EXPECT_LT(ending.elapsed(), c.withinMs);
        EXPECT_FALSE(log.contains("移动至最清晰位置."));
        EXPECT_EQ(log.contains("not answered"), c.fault == Fault::LensSilent);
        EXPECT_EQ(storedAutoFocusPosition(), 1234);
        expectClean(c.fault != Fault::LensSilent);
        if (c.fault != Fault::PreviewStops) {
            ASSERT_TRUE(stopPreview(preview));
        }
        EXPECT_TRUE(rec.events.isEmpty());
    }
}

// Every move of the SMBus lens fails: the sweep goes on (each failure logged), the final move
// fails too, and that is the lens error: nothing is kept as the focus and no position reported.
TEST_F(Autofocus, AFailedFinalMoveOfTheSmbusLensIsTheLensErrorAndKeepsNoFocus)
{
    openCamera(tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW);
    ctrl->binningIndex = 0;
    ctrl->exposureTime = 5;
    setFluRegion(1740, 1090, -1658, -1200);
    light(vcab::LampUV302_1);
    // A short travel, so that the sweep meets both ends quickly.
    bringUpSmbusLens(1000, 2200);
    storeAutoFocusPosition(1500);
    smbustest::failAlways("HidSmbus_WriteRequest", HID_SMBUS_WRITE_ERROR);
    MultRecorder rec;
    MultTSPreviewThread preview;
    startPreview(preview, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
    kickOff();
    LogCapture log;
    AtFocusThread focus(SmbusLensCtrl::focusMin(), SmbusLensCtrl::focusMax());
    QObject::connect(&focus, &AtFocusThread::sig_FocusMove, &rec, &MultRecorder::onMove);
    QObject::connect(&focus, &AtFocusThread::sig_LensErrorOccur, &rec, &MultRecorder::onLensError);
    focus.start();
    ASSERT_TRUE(runToEnd(focus, 30000));
    EXPECT_TRUE(log.contains("AtFocusThread 2:"));
    EXPECT_TRUE(log.contains("AtFocusThread 1:"));
    EXPECT_TRUE(log.contains("mValue: "));
    EXPECT_EQ(rec.events, QStringList({"lens error"}));
    EXPECT_TRUE(rec.moves.isEmpty()) << "no position was reached";
    EXPECT_TRUE(focus.lensFailed);
    EXPECT_EQ(focus.reachedPosition, -1);
    EXPECT_EQ(storedAutoFocusPosition(), 1500);
    expectClean();
    smbustest::clearScripts();
    ASSERT_TRUE(stopPreview(preview));
}
