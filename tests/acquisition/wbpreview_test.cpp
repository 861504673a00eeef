// The preview, estimation and autofocus threads on the virtual cabinet: settings applied at
// start and while running, a bounded focus wait, a whole focus search, and an estimate that
// follows the scene and the chosen binning within its bounds.

#include "wbfixture.h"

#include "cabinetstate.h"
#include "spacecomatfocusthread.h"
#include "logcapture.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "wbtsestimatethread.h"
#include "wbtspreviewthread.h"

#include <QCoreApplication>

class WbPreview : public WbCabinet {
protected:
    void startPreview(WBTSPreviewThread& t, Recorder& r)
    {
        QObject::connect(&t, &WBTSPreviewThread::sig_CamErrorOccur, &r, &Recorder::onError);
        QObject::connect(&t, &WBTSPreviewThread::updatePreviewImage, &r, &Recorder::onPreview);
        ctrl->isRunning = true;
        t.start();
    }
    // As the main controller stops a preview.
    bool stopPreview(WBTSPreviewThread& t)
    {
        ctrl->frameStore().clearCurrentFrame();
        ctrl->isRunning = false;
        ctrl->abortWait();
        return runToEnd(t, 5000);
    }
    double gainSet() const
    {
        const auto c = tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_GLOBALGAIN);
        return c.empty() ? -1 : c.back().args[1];
    }
};

TEST_F(WbPreview, AppliesBinningAtStartAndExposureAndGainWhileRunning)
{
    struct Case { int binningIndex; int binning; int width; int height; } cases[] = {
        {2, 4, 664, 550}, {1, 2, 1329, 1100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.binningIndex);
        ctrl->binningIndex = c.binningIndex;
        ctrl->exposureTime = 30;
        ctrl->gain = 7;
        Recorder rec;
        WBTSPreviewThread thread;
        startPreview(thread, rec);
        ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
        EXPECT_EQ(tucamtest::state().binning, c.binning);
        EXPECT_DOUBLE_EQ(tucamtest::state().exposureMs, 30);
        EXPECT_EQ(gainSet(), 7);
        const TsFramePtr live = ctrl->frameStore().currentFrame();
        ASSERT_TRUE(live);
        EXPECT_EQ(live->width(), c.width);
        EXPECT_EQ(live->height(), c.height);

        ctrl->exposureTime = 55;
        ctrl->isExposureChanged = true;
        ctrl->gain = 9;
        ctrl->isGainChanged = true;
        // Preview signals already queued before the change would satisfy a frame count, so
        // the wait is on the camera's settings themselves; frames go on after them.
        ASSERT_TRUE(waitFor([&] { return tucamtest::state().exposureMs == 55 && gainSet() == 9; }, 10000));
        EXPECT_FALSE(ctrl->isExposureChanged);
        EXPECT_FALSE(ctrl->isGainChanged);
        const int seen = rec.previews;
        ASSERT_TRUE(waitFor([&] { return rec.previews > seen; }, 10000));
        ASSERT_TRUE(stopPreview(thread));
        EXPECT_TRUE(rec.events.isEmpty());
        EXPECT_FALSE(tucamtest::state().capturing);
    }
}

// The live frame the views hold stays as it was while the preview takes the next ones (the
// camera refills its own record with every frame).
TEST_F(WbPreview, ALiveFrameHeldByTheViewsKeepsItsPixels)
{
    Recorder rec;
    WBTSPreviewThread thread;
    startPreview(thread, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
    const TsFramePtr held = ctrl->frameStore().currentFrame();
    ASSERT_TRUE(held);
    const FrameView v = held->view();
    const std::vector<uint16_t> seen(v.pixels, v.pixels + v.count());
    const int count = rec.previews;
    ASSERT_TRUE(waitFor([&] { return rec.previews >= count + 3; }, 10000));
    const FrameView after = held->view();
    EXPECT_EQ(std::vector<uint16_t>(after.pixels, after.pixels + after.count()), seen);
    const TsFramePtr latest = ctrl->frameStore().currentFrame();
    ASSERT_TRUE(latest);
    EXPECT_NE(latest, held) << "newer frames arrive as frames of their own";
    ASSERT_TRUE(stopPreview(thread));
}

TEST_F(WbPreview, AnAbortedWaitWhileThePreviewIsWantedRestartsTheCapture)
{
    Recorder rec;
    WBTSPreviewThread thread;
    startPreview(thread, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
    ctrl->abortWait();   // e.g. a cancel that was meant for another thread
    const int seen = rec.previews;
    ASSERT_TRUE(waitFor([&] { return rec.previews >= seen + 2; }, 10000)) << "the preview goes on";
    ASSERT_TRUE(stopPreview(thread));
}

TEST_F(WbPreview, AFocusWaitWithoutLensReplyEndsWhenThePreviewStops)
{
    ctrl->isFocusStop = false;
    ctrl->isFocusMeasuring = true;   // a search whose lens never answers
    Recorder rec;
    WBTSPreviewThread thread;
    startPreview(thread, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
    EXPECT_TRUE(stopPreview(thread)) << "the preview must not hang on the lens";
    EXPECT_TRUE(ctrl->isFocusStop) << "the lens side is told that the search is over";
    EXPECT_FALSE(ctrl->isFocusMeasuring);
}

TEST_F(WbPreview, AFocusSearchWithThePreviewFindsTheSharpPosition)
{
    const int best = 1500;
    vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
        s.bestFocus = best;
        s.serialFocus = 1600;
        s.lamps = vcab::LampPower | vcab::LampSource;
    });
    // A preview exposure the lit membrane does not saturate at: the bands keep their detail.
    ctrl->exposureTime = 25;
    Recorder rec;
    WBTSPreviewThread preview;
    startPreview(preview, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));

    // As the main controller starts a search and answers each lens move.
    ctrl->sem1.release(1);
    ctrl->isFocusStop = false;
    // The search starts 75 above the last position and walks down through the sharp one.
    SpacecomAtFocusThread focus(1000, 3500);
    focus.setCurFocusValue(1560);
    int lastMove = -1;
    // The lens reply reaches the GUI thread after the move was ordered, as over the serial link.
    QObject::connect(&focus, &SpacecomAtFocusThread::sig_FocusMove, &rec, [&](int position) {
        lastMove = position;
        vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) { s.serialFocus = position; });
        if (ctrl->isFocusMeasuring)
            ctrl->sem2.release(1);
    }, Qt::QueuedConnection);
    focus.start();
    ASSERT_TRUE(runToEnd(focus, 60000));
    EXPECT_TRUE(ctrl->isFocusStop);
    EXPECT_FALSE(ctrl->isFocusMeasuring);
    EXPECT_LE(std::abs(lastMove - best), 60) << lastMove;
    ASSERT_TRUE(stopPreview(preview));
}

TEST_F(WbPreview, AStoppedSearchLeavesBothSemaphoresEmpty)
{
    Recorder rec;
    WBTSPreviewThread preview;
    startPreview(preview, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
    ctrl->sem1.release(1);
    ctrl->isFocusStop = false;
    SpacecomAtFocusThread focus(1000, 3500);
    focus.setCurFocusValue(1350);
    focus.start();
    ASSERT_TRUE(waitFor([&] { return ctrl->isFocusMeasuring.load(); }, 5000));
    ctrl->sem2.release(3);   // late lens replies
    ctrl->isFocusStop = true;
    ASSERT_TRUE(runToEnd(focus, 5000));
    EXPECT_EQ(ctrl->sem1.available(), 0);
    EXPECT_EQ(ctrl->sem2.available(), 0);
    EXPECT_FALSE(ctrl->isFocusMeasuring);
    ASSERT_TRUE(stopPreview(preview));
}

namespace {
int estimate(WbCabinet*, H695ICECamCtrl* ctrl, int binningIndex, Recorder& rec)
{
    ctrl->binningIndex = binningIndex;
    WBTSEstimateThread thread;
    QObject::connect(&thread, &WBTSEstimateThread::sig_CamErrorOccur, &rec, &Recorder::onError);
    QObject::connect(&thread, &WBTSEstimateThread::updateEstimateTime, &rec, &Recorder::onEstimate);
    thread.start();
    waitFor([&] { return thread.isFinished(); }, 120000);
    QCoreApplication::processEvents();
    return rec.lastEstimate;
}
} // namespace

TEST_F(WbPreview, TheEstimateFollowsTheChosenBinningWithinItsBounds)
{
    Recorder fine, coarse;
    const int atFull = estimate(this, ctrl, 0, fine);
    const int atBin4 = estimate(this, ctrl, 2, coarse);
    EXPECT_EQ(fine.estimates, 1);
    EXPECT_EQ(coarse.estimates, 1);
    EXPECT_TRUE(fine.events.isEmpty());
    EXPECT_GE(atFull, 1);
    EXPECT_LE(atFull, 300000);
    EXPECT_GE(atBin4, 1);
    // 16 times the pixel area at twice the correction: an eighth of the exposure.
    EXPECT_NEAR(double(atFull) / atBin4, 8.0, 1.0) << atFull << " " << atBin4;
}

TEST_F(WbPreview, AnEstimateWithoutFramesStillEndsInItsBounds)
{
    tucamtest::failAlways("TUCAM_Buf_WaitForFrame", 0x80000000);
    Recorder rec;
    const int value = estimate(this, ctrl, 2, rec);
    EXPECT_EQ(rec.estimates, 1);
    EXPECT_TRUE(rec.events.contains("error"));
    EXPECT_GE(value, 1);
    EXPECT_LE(value, 300000);
}

// The ceiling of the estimate: 300000 ms less the offset, divided by the chosen binning (by 1 up
// to binning 2). Without a frame nothing lowers the estimate from it.
TEST_F(WbPreview, TheCeilingFollowsTheOffsetAndTheBinning)
{
    tucamtest::failAlways("TUCAM_Buf_WaitForFrame", 0x80000000);
    struct Case { int offset; int binningIndex; int ceiling; } cases[] = {
        {0, 2, 75000}, {1234, 1, 298766}, {9999, 3, 48333}, {0, 0, 300000},
    };
    for (const Case& c : cases) {
        ctrl->binningIndex = c.binningIndex;
        WBTSEstimateThread thread;
        thread.offsetSource = [&] { return c.offset; };
        Recorder rec;
        QObject::connect(&thread, &WBTSEstimateThread::updateEstimateTime, &rec, &Recorder::onEstimate);
        thread.start();
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.estimates, 1);
        EXPECT_EQ(rec.lastEstimate, c.ceiling) << c.offset << " " << c.binningIndex;
    }
}

TEST_F(WbPreview, AnEstimationRegionOutsideTheImageIsIgnored)
{
    ctrl->setEstimateRoi(1.5, 0.2, 0.5, 0.5);
    Recorder outside;
    const int value = estimate(this, ctrl, 2, outside);
    ctrl->removeEstimateRoi();
    Recorder whole;
    const int reference = estimate(this, ctrl, 2, whole);
    EXPECT_EQ(outside.estimates, 1);
    EXPECT_NEAR(double(value), double(reference), reference * 0.15);
}

TEST_F(WbPreview, AFrameAtTheEstimateReachesTheTargetGrey)
{
    // The brightest bands of a sample frame taken as the capture takes it (light off, gain 60,
    // the user's binning) at the estimated exposure.
    auto brightAt = [&](int exposure) {
        ctrl->setResolution(2);
        ctrl->setGain(60);
        ctrl->setExposureTime(exposure);
        TUCAM_FRAME frame {};
        frame.ucFormatGet = TUFRM_FMT_RAW;
        frame.uiRsdSize = 1;
        EXPECT_TRUE(ctrl->m_StartWaitFrame(&frame));
        EXPECT_EQ(ctrl->m_WaitForFrame(&frame), TUCAMRET_SUCCESS);
        cv::Mat high;
        H695ICECamCtrl::viewOf(&frame).mat().convertTo(high, CV_8U, 1.0 / 256);
        ctrl->stopAll();
        cv::Mat sorted = high.reshape(1, 1).clone();
        cv::sort(sorted, sorted, cv::SORT_ASCENDING);
        return double(sorted.at<uint8_t>(0, int(sorted.total() * 0.999)));
    };
    struct Case { int target; int estimate; double bright; } cases[] = {{100, 0, 0}, {40, 0, 0}};
    for (Case& c : cases) {
        setOption(UserOpts::OPT_GrayTarget, [&](UserOpts* o) { o->setGrayTarget(c.target); });
        Recorder rec;
        c.estimate = estimate(this, ctrl, 2, rec);
        ASSERT_EQ(rec.estimates, 1);
        c.bright = brightAt(c.estimate);
        EXPECT_GT(c.bright, c.target / 3.0) << c.target;
        EXPECT_LT(c.bright, c.target * 1.5) << c.target;
    }
    EXPECT_NEAR(double(cases[0].estimate) / cases[1].estimate, 2.5, 0.3);
    EXPECT_NEAR(cases[0].bright / cases[1].bright, 2.5, 0.6);
}

TEST_F(WbPreview, ABrightSceneWithoutBandsStillGivesAPositiveEstimate)
{
    // White light through the plate: no band of the expected size is found, the reference
    // exposure moves from attempt to attempt, and the block search decides on the last image.
    vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) {
        s.lamps = vcab::LampPower | vcab::LampSource | vcab::LampWhiteLight;
    });
    LogCapture log;
    Recorder rec;
    const int value = estimate(this, ctrl, 2, rec);
    EXPECT_EQ(rec.estimates, 1);
    EXPECT_GE(value, 1);
    const int at = log.indexOf("执行再预估 曝光时间");
    ASSERT_GE(at, 0);
    // The block search scales the exposure its image was really taken with.
    const double used = log.lines()[at].section(' ', -1).toDouble();
    const std::vector<double> set = exposuresSet();
    ASSERT_FALSE(set.empty());
    EXPECT_DOUBLE_EQ(used, set.back());
}

TEST_F(WbPreview, ACameraErrorEndsThePreviewWithoutLeavingItsFrameBehind)
{
    tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {TUCAMRET_SUCCESS, 0x80000000});
    Recorder rec;
    WBTSPreviewThread thread;
    startPreview(thread, rec);
    ASSERT_TRUE(runToEnd(thread, 10000));
    EXPECT_EQ(rec.previews, 1);
    EXPECT_EQ(rec.events, QStringList({"error"}));
    EXPECT_EQ(ctrl->frameStore().currentFrame(), nullptr) << "no live frame outlives the preview";
}

TEST_F(WbPreview, TheEstimateTakesItsReferencesInEachCamerasReferenceMode)
{
    struct Case {
        const char* name;
        tucamtest::Model model;
        int authorityType;
        bool fl9bw;
        std::vector<std::string> expected;   // "C<id>=<v>", "P<id>=<v>", "R<x>,<y>,<w>,<h>" in order
    };
    const std::vector<Case> cases = {
        {"other camera", tucamtest::Model::Cam695, 0, false, {"P3=0", "C0=4", "P0=30"}},
        {"FL9BW", tucamtest::Model::FL9BW, 7, true, {"C37=5", "P0=3", "R0,36,372,336"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctrl->closeCamera();
        tucamtest::Config config;
        config.model = c.model;
        tucamtest::reset(config);
        ASSERT_TRUE(ctrl->openCamera(c.authorityType));
        ctrl->binningIndex = 1;
        tucamtest::clearCallLog();
        WBTSEstimateThread thread;
        thread.isFL9BW = c.fl9bw;
        Recorder rec;
        QObject::connect(&thread, &WBTSEstimateThread::updateEstimateTime, &rec, &Recorder::onEstimate);
        thread.start();
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.estimates, 1);
        std::vector<std::string> setUp;
        for (const auto& call : tucamtest::callLog()) {
            auto n = [](double v) { return std::to_string(int(v)); };
            if (call.function == "TUCAM_Capa_SetValue")
                setUp.push_back("C" + n(call.args[0]) + "=" + n(call.args[1]));
            else if (call.function == "TUCAM_Prop_SetValue" && call.args[0] != TUIDP_EXPOSURETM)
                setUp.push_back("P" + n(call.args[0]) + "=" + n(call.args[1]));
            else if (call.function == "TUCAM_Cap_SetROI")
                setUp.push_back("R" + n(call.args[1]) + "," + n(call.args[2]) + "," + n(call.args[3]) + "," + n(call.args[4]));
        }
        EXPECT_EQ(setUp, c.expected);
    }
}
