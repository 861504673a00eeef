// The gel preview thread on the virtual cabinet: the camera set-up of each configuration (the
// settings and the region the driver received), parameter changes applied once before the next
// frame, a stray abort, a binning index outside the camera's table, and the rating of frames for
// an autofocus search.

#include "gelfixture.h"

#include "geltspreviewthread.h"
#include "logcapture.h"
#include "testappdir.h"

namespace {

// The regions the driver was given: enable, x, y, width, height.
std::vector<std::vector<double>> regionsSet()
{
    std::vector<std::vector<double>> out;
    for (const auto& c : tucamtest::calls("TUCAM_Cap_SetROI"))
        out.push_back(c.args);
    return out;
}

} // namespace

class GelPreview : public GelCabinet {
protected:
    void sampleRegion(int x, int y, int w, int h)
    {
        setOption(UserOpts::OPT_GelX, [&](UserOpts* o) { o->setGelX(x); });
        setOption(UserOpts::OPT_GelY, [&](UserOpts* o) { o->setGelY(y); });
        setOption(UserOpts::OPT_GelW, [&](UserOpts* o) { o->setGelW(w); });
        setOption(UserOpts::OPT_GelH, [&](UserOpts* o) { o->setGelH(h); });
    }
};

TEST_F(GelPreview, EachConfigurationSetsUpTheCameraForItsSensor)
{
    struct Case {
        const char* name;
        tucamtest::Model model;
        EnumOBJ::AuthorityType authority;
        bool is20BW, isFL9BW, keep;
        int index;
        int x, y, w, h;                      // gelX .. gelH
        std::vector<double> resolution;      // capability 0 set
        std::vector<double> binning;         // capability 37 set
        std::vector<std::vector<double>> regions;
        std::vector<double> mirrors;         // horizontal capability set
    };
    const Case cases[] = {
        {"695 at 4*4: margins added, divided", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS, false, false, false,
         2, 4, 6, -100, -200, {2}, {}, {{1, 16, 4, 639, 500}}, {1}},
        {"FL9BW at 2*2: offsets aligned to 4, negatives 0", tucamtest::Model::FL9BW, EnumOBJ::GelAndWBTSFL9BW_Auto,
         false, true, false, 1, -10, 2, 0, 0, {}, {1}, {{1, 0, 160, 1500, 1344}}, {1}},
        {"FL9BW at 8*8: the fixed region", tucamtest::Model::FL9BW, EnumOBJ::AllAuthorityTSFL9BW_Manual, false, true,
         false, 5, 40, 40, 40, 40, {}, {5}, {{1, 0, 36, 372, 336}}, {1}},
        {"GelTS20BW summed: the sensor offset halved", tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW, true, false,
         false, 7, 1, 3, 5, 7, {7}, {}, {{1, 460, 256, 1849, 1313}}, {1, 1}},
        {"GelTS20BW full resolution: the sensor offset", tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW, true, false,
         false, 3, 1, 3, 5, 7, {3}, {}, {{1, 921, 513, 3699, 2627}}, {1, 1}},
        {"GelTS20BW restarted: the camera keeps its settings", tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW, true,
         false, true, 7, 1, 3, 5, 7, {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useCamera(c.model, c.authority);
        sampleRegion(c.x, c.y, c.w, c.h);
        ctrl->binningIndex = c.index;
        ctrl->isWhiteBoard = true;
        LogCapture log;
        GelRecorder rec;
        GelTSPreviewThread preview;
        preview.isGelTS20BW = c.is20BW;
        preview.isFL9BW = c.isFL9BW;
        preview.keepCameraSettings = c.keep;
        start(preview, rec);
        ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 20000));
        ASSERT_TRUE(stopPreview(preview));
        EXPECT_EQ(rec.events, QStringList {});
        EXPECT_EQ(capabilitySets(TUIDC_RESOLUTION), c.resolution);
        EXPECT_EQ(capabilitySets(TUIDC_BINNING_SUM), c.binning);
        EXPECT_EQ(regionsSet(), c.regions);
        EXPECT_EQ(capabilitySets(TUIDC_HORIZONTAL), c.mirrors);
        EXPECT_EQ(capabilitySets(TUIDC_VERTICAL).size(), c.mirrors.size());
        // The sample region is read again on every run, kept settings or not.
        EXPECT_EQ(preview.sampleRegion().x, c.x);
        EXPECT_EQ(preview.sampleRegion().height, c.h);
        EXPECT_EQ(ctrl->isWhiteBoard.load(), c.keep);
        EXPECT_EQ(log.indexOf("h695ICECamCtrl->isWhiteBoard:") >= 0, !c.keep);
        EXPECT_TRUE(cameraIdle());
        EXPECT_FALSE(ctrl->frameStore().currentFrame()) << "no live frame outlives the preview";
    }
}

TEST_F(GelPreview, ExposureAndGainChangesReachTheCameraOnceBeforeTheNextFrame)
{
    GelRecorder rec;
    GelTSPreviewThread preview;
    start(preview, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 20000));
    tucamtest::clearCallLog();
    ctrl->exposureTime = 30;
    ctrl->gain = 9;
    ctrl->isExposureChanged = true;
    ctrl->isGainChanged = true;
    // Preview signals queued before the change would satisfy a bare frame count: wait for the
    // settings, then for frames after them, which must not set them again.
    ASSERT_TRUE(waitFor([&] { return !propertySets(TUIDP_EXPOSURETM).empty() && !propertySets(TUIDP_GLOBALGAIN).empty(); }, 20000));
    const int seen = rec.previews;
    ASSERT_TRUE(waitFor([&] { return rec.previews >= seen + 3; }, 20000));
    EXPECT_EQ(propertySets(TUIDP_EXPOSURETM), std::vector<double> {30});
    EXPECT_EQ(propertySets(TUIDP_GLOBALGAIN), std::vector<double> {9});
    EXPECT_FALSE(ctrl->isExposureChanged);
    EXPECT_FALSE(ctrl->isGainChanged);
    // Values changed without their flags wait for the next run.
    ctrl->exposureTime = 50;
    ASSERT_TRUE(waitFor([&] { return rec.previews >= seen + 5; }, 20000));
    EXPECT_EQ(propertySets(TUIDP_EXPOSURETM), std::vector<double> {30});
    ASSERT_TRUE(stopPreview(preview));
}

// A stopped capture has no frame to wait for: the preview ends on any aborted wait.
TEST_F(GelPreview, AnAbortWhileStillRunningEndsThePreview)
{
    LogCapture log;
    GelRecorder rec;
    GelTSPreviewThread preview;
    start(preview, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 20000));
    ctrl->abortWait();
    ASSERT_TRUE(runToEnd(preview, 10000));
    EXPECT_TRUE(ctrl->isRunning) << "nobody asked the preview to stop";
    EXPECT_GE(log.indexOf("预览线程 abort."), 0);
    EXPECT_EQ(rec.events, QStringList {});
    EXPECT_TRUE(cameraIdle());
    EXPECT_EQ(tucamtest::calls("TUCAM_Cap_Start").size(), 1u);
}

TEST_F(GelPreview, ABinningIndexOutsideTheTableIsRefused)
{
    struct Case {
        tucamtest::Model model;
        EnumOBJ::AuthorityType authority;
        bool isFL9BW;
        int index;
    };
    for (const Case& c : {Case {tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS, false, 8},
                          Case {tucamtest::Model::FL9BW, EnumOBJ::GelAndWBTSFL9BW_Manual, true, 6},
                          Case {tucamtest::Model::Cam695, EnumOBJ::GelAndWBTS, false, -2}}) {
        SCOPED_TRACE(c.index);
        useCamera(c.model, c.authority);
        ctrl->binningIndex = c.index;
        GelRecorder rec;
        GelTSPreviewThread preview;
        preview.isFL9BW = c.isFL9BW;
        start(preview, rec);
        ASSERT_TRUE(runToEnd(preview, 10000));
        EXPECT_EQ(rec.events, QStringList {"error"});
        EXPECT_EQ(rec.previews, 0);
        EXPECT_TRUE(tucamtest::calls("TUCAM_Cap_Start").empty());
        EXPECT_TRUE(tucamtest::calls("TUCAM_Cap_SetROI").empty());
    }
}

// While a search measures, each frame is rated once the lens side reports its position, every
// value is logged, and the lens side gets its turn back.
TEST_F(GelPreview, FramesAreRatedForTheLensSide)
{
    LogCapture log;
    GelRecorder rec;
    GelTSPreviewThread preview;
    start(preview, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 20000));
    ctrl->isFocusStop = false;
    ctrl->isFocusMeasuring = true;
    for (int step = 1; step <= 3; ++step) {
        ctrl->sem2.release(1);
        ASSERT_TRUE(waitFor([&] { return ctrl->sem1.tryAcquire(1); }, 10000)) << step;
    }
    EXPECT_EQ(preview.focusValues().size(), 3u);
    int logged = 0;
    for (const QString& line : log.lines())
        logged += line.startsWith("valueList:") ? 1 : 0;
    EXPECT_EQ(logged, 3);
    // An ended run empties the window before the next rating.
    preview.clearFocusValues();
    ctrl->sem2.release(1);
    ASSERT_TRUE(waitFor([&] { return ctrl->sem1.tryAcquire(1); }, 10000));
    EXPECT_EQ(preview.focusValues().size(), 1u);
    ASSERT_TRUE(stopPreview(preview));
    EXPECT_TRUE(ctrl->isFocusStop) << "the lens side sees the search end with the preview";
    EXPECT_FALSE(ctrl->isFocusMeasuring);
}
