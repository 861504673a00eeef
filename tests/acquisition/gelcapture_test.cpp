// The gel capture thread on the virtual cabinet: the row texts, files and signals of each
// configuration; flat-field correction of the saved frame; the colour marker with the lamp and
// filter commands the board received, its three tinted frames and the blended picture; cancels
// before, during and after the frame; and every way out leaving the camera stopped.

#include "gelfixture.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "geltscapturethread.h"
#include "logcapture.h"
#include "testappdir.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <opencv2/imgcodecs.hpp>

namespace {

constexpr uint32_t kFailure = TUCAMRET_FAILURE;

// A reference frame record of w x h pixels, left half at leftValue and right half at rightValue.
std::shared_ptr<TsFrame> halves(int w, int h, uint16_t leftValue, uint16_t rightValue)
{
    std::vector<uint16_t> px(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[size_t(y) * size_t(w) + size_t(x)] = x < w / 2 ? leftValue : rightValue;
    return TsFrame::fromPixels(w, h, px.data());
}

bool allZero(const cv::Mat& m)
{
    return cv::countNonZero(m) == 0;
}

} // namespace

class GelCapture : public GelCabinet {
protected:
    // One capture to its end; the recorder hears its signals.
    void capture(GelRecorder& rec, int lightType = EnumOBJ::White,
                 const std::function<void(GelTSCaptureThread&)>& configure = {})
    {
        GelTSCaptureThread thread(lightType);
        if (configure)
            configure(thread);
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(thread.isCaptureFinished);
        EXPECT_EQ(thread.frameCopyCount(), 0);
    }

    cv::Mat left(int index) const
    {
        const cv::Mat m = ctrl->frameStore().frameAt(index)->view().mat();
        return m.colRange(0, m.cols / 2);
    }
    cv::Mat right(int index) const
    {
        const cv::Mat m = ctrl->frameStore().frameAt(index)->view().mat();
        return m.colRange(m.cols / 2 + 1, m.cols);
    }
};

TEST_F(GelCapture, EachConfigurationRecordsItsBinningGainAndExposure)
{
    struct Case {
        const char* name;
        tucamtest::Model model;
        EnumOBJ::AuthorityType authority;
        bool is20BW, isFL9BW;
        int index, gain;
        double exposure;
        int lightType;
        QString binning, gainText, exposureText, event, suffix;
    };
    const Case cases[] = {
        {"695 at 4*4", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS, false, false, 2, 5, 40, EnumOBJ::UV302C,
         "4*4,", "5,", "40,", "image 4 40 5", "_UV302.tif"},
        {"FL9BW at 3*3: gain levels counted from 1", tucamtest::Model::FL9BW, EnumOBJ::GelAndWBTSFL9BW_Manual, false,
         true, 2, 1, 40, EnumOBJ::White, "3*3,", "2,", "40,", "image 3 40 2", "_White.tif"},
        {"GelTS20BW at the summed binning", tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW, true, false, 7, 5, 1500,
         EnumOBJ::Blue, "2*2,", "5,", "1500,", "image 2 1500 5", "_Blue.tif"},
        {"GelTS20BW at full resolution", tucamtest::Model::S20Mini, EnumOBJ::GelTS20BW, true, false, 3, 5, 0.25,
         EnumOBJ::UV302, "1*1,", "5,", "0.25,", "image 1 0.25 5", "_UV.tif"},
        {"695 with a long exposure in the record", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS, false, false, 5,
         7, 1234567.0, EnumOBJ::UV254, "12*12,", "7,", "1.23457e+06,", "image 12 1.23457e+06 7", "_UV254.tif"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useCamera(c.model, c.authority);
        insertExperiment(QStringLiteral("Gel-config-%1").arg(++n));
        ctrl->binningIndex = c.index;
        ctrl->gain = c.gain;
        // Only the record's exposure: the camera keeps the short one the preview left.
        ctrl->exposureTime = c.exposure;
        GelRecorder rec;
        capture(rec, c.lightType, [&](GelTSCaptureThread& t) {
            t.isGelTS20BW = c.is20BW;
            t.isFL9BW = c.isFL9BW;
        });
        EXPECT_EQ(rec.events, QStringList {c.event});
        ASSERT_EQ(rec.paths.size(), 1);
        EXPECT_TRUE(rec.paths[0].startsWith(folder)) << rec.paths[0].toStdString();
        EXPECT_TRUE(rec.paths[0].endsWith(c.suffix)) << rec.paths[0].toStdString();
        const QString file = rec.paths[0].mid(folder.size());
        EXPECT_EQ(filesIn(folder), QStringList {file});
        EXPECT_EQ(filesIn(folderB()), QStringList {file});
        std::unique_ptr<GelExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->binning, c.binning);
        EXPECT_EQ(r->gain, c.gainText);
        EXPECT_EQ(r->exposureTime, c.exposureText);
        EXPECT_EQ(r->imageNames, file + ",");
        // The frame, its histogram and its crop region are listed together; the view shows it.
        EXPECT_EQ(ctrl->frameStore().frameCount(), 1);
        EXPECT_EQ(ctrl->frameStore().histogramCount(), 1);
        EXPECT_EQ(ctrl->frameStore().roiList().size(), 1u);
        EXPECT_EQ(ctrl->frameStore().captureFrame(), ctrl->frameStore().frameAt(0));
        EXPECT_EQ(ctrl->frameStore().captureIndex, -1) << "between captures";
        EXPECT_EQ(ctrl->semCap.available(), 0);
        EXPECT_TRUE(cameraIdle());
    }
}

TEST_F(GelCapture, TheCaptureIndexNamesTheFrameWhileItIsShown)
{
    insertExperiment("Gel-index");
    std::vector<int> seen;
    GelRecorder rec;
    GelTSCaptureThread thread(EnumOBJ::White);
    // Read where the page reads it: when the frame is reported.
    QObject::connect(&thread, &GelTSCaptureThread::singleImageCaped, &rec,
                     [&] { seen.push_back(ctrl->frameStore().captureIndex); }, Qt::DirectConnection);
    ctrl->frameStore().appendFrame(TsFrame::fromPixels(2, 2, std::vector<uint16_t>(4, 1).data()));
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread));
    EXPECT_EQ(seen, std::vector<int> {1});
}

TEST_F(GelCapture, FlatFieldCorrectionOfTheSavedFrame)
{
    // Frames of 680 x 555 (binning 4); references of the whole sensor, left half light = dark.
    struct Case {
        const char* name;
        bool ffc;
        int refWidth, refHeight;
        bool gelAndWBTS;
        bool secondPrepared;
        bool leftZero, rightZero;
    };
    const Case cases[] = {
        {"off: as taken", false, 2720, 2220, false, false, false, false},
        {"on: light equal to dark gives 0", true, 2720, 2220, false, false, true, false},
        {"on, references smaller than the frame: as taken", true, 400, 300, false, false, false, false},
        {"on, 590 nm pair in the light path: that pair", true, 2720, 2220, true, true, true, true},
        {"590 nm pair prepared, other configuration: the plain pair", true, 2720, 2220, false, true, true, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n > 0)
            nextCase();
        insertExperiment(QStringLiteral("Gel-ffc-%1").arg(++n));
        FlatFieldReferences& refs = ctrl->references;
        ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Light, halves(c.refWidth, c.refHeight, 1000, 60000)->record()));
        ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Dark, halves(c.refWidth, c.refHeight, 1000, 0)->record()));
        ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Light590, halves(c.refWidth, c.refHeight, 500, 500)->record()));
        ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Dark590, halves(c.refWidth, c.refHeight, 500, 500)->record()));
        if (c.secondPrepared) {
            // As the live view leaves it with the wheel at 590 nm.
            std::vector<uint16_t> px(680 * 555);
            ASSERT_TRUE(refs.applyFFCSecond({px.data(), 680, 555}));
        }
        ctrl->isFFC = c.ffc;
        GelRecorder rec;
        capture(rec, EnumOBJ::White, [&](GelTSCaptureThread& t) { t.isGelAndWBTS = c.gelAndWBTS; });
        EXPECT_EQ(rec.events, QStringList {"image 4 40 5"});
        ASSERT_EQ(ctrl->frameStore().frameCount(), 1);
        EXPECT_EQ(ctrl->frameStore().frameAt(0)->width(), 680);
        EXPECT_EQ(allZero(left(0)), c.leftZero);
        EXPECT_EQ(allZero(right(0)), c.rightZero);
        // The picture on disk is the frame of the list.
        const cv::Mat saved = cv::imread(rec.paths.value(0).toStdString(), cv::IMREAD_UNCHANGED);
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(cv::norm(saved, ctrl->frameStore().frameAt(0)->view().mat(), cv::NORM_INF), 0.0);
    }
}

TEST_F(GelCapture, ColourMarkerLampFiltersFramesAndPicture)
{
    struct Case {
        const char* name;
        int lightType;
        QString back;
    };
    const Case cases[] = {
        {"white light: the wheel returns to no filter", EnumOBJ::White, "11"},
        {"UV302: the wheel returns to 590 nm", EnumOBJ::UV302, "13"},
        {"blue light: the wheel returns to 590 nm", EnumOBJ::Blue, "13"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n > 0)
            nextCase();
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
        insertExperiment(QStringLiteral("Gel-color-%1").arg(++n));
        GelRecorder rec;
        capture(rec, c.lightType);
        EXPECT_EQ(rec.events, (QStringList {"image 4 40 5", "color -1 -1 -1"}));
        const QStringList expected = {"01 02", "12", "14", "16", c.back, "c1"};
        ASSERT_TRUE(waitForCommands(expected.size()));
        EXPECT_EQ(commands(), expected);
        // The camera's own exposure settled before each frame; the preview's gain is back.
        EXPECT_EQ(capabilitySets(TUIDC_ATEXPOSURE), (std::vector<double> {1, 0, 1, 0, 1, 0}));
        ASSERT_FALSE(propertySets(TUIDP_GLOBALGAIN).empty());
        EXPECT_EQ(propertySets(TUIDP_GLOBALGAIN).back(), 5);
        EXPECT_TRUE(cameraIdle());
        EXPECT_TRUE(waitFor([] { return vcab::CabinetState::instance().snapshot().lamps == 0; }, 5000));

        ASSERT_EQ(rec.paths.size(), 2);
        EXPECT_TRUE(rec.paths[1].endsWith("_Color.tif"));
        EXPECT_EQ(filesIn(folder).size(), 2);
        EXPECT_EQ(filesIn(folderB()).size(), 2);
        // The blended picture: three channels, each frame evened to the first one's mean.
        const cv::Mat picture = cv::imread(rec.paths[1].toStdString(), cv::IMREAD_UNCHANGED);
        ASSERT_EQ(picture.type(), CV_8UC3);
        const cv::Scalar mean = cv::mean(picture);
        EXPECT_NEAR(mean[1], mean[2], mean[1] * 0.1);
        EXPECT_NEAR(mean[1], mean[0], mean[1] * 0.1);
        // The plain picture is listed; the colour picture is a file only.
        EXPECT_EQ(ctrl->frameStore().frameCount(), 1);
        std::unique_ptr<GelExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->imageNames.count(','), 1);
    }
}

TEST_F(GelCapture, FL9BWMarkerGainFollowsTheBinningAndIsRestored)
{
    struct Case { int index; double markerGain; };
    const Case cases[] = {{0, 2.0}, {1, 1.0}, {2, 0.0}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        useCamera(tucamtest::Model::FL9BW, EnumOBJ::AllAuthorityTSFL9BW_Manual);
        // A dim target keeps the automatic exposures of this weak camera short.
        ctrl->setAutoExposureTarget(32);
        tucamtest::clearCallLog();
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
        insertExperiment(QStringLiteral("Gel-fl9bw-%1").arg(++n));
        ctrl->binningIndex = c.index;
        ctrl->gain = 3;
        GelRecorder rec;
        capture(rec, EnumOBJ::White, [](GelTSCaptureThread& t) { t.isFL9BW = true; });
        EXPECT_EQ(rec.events.size(), 2) << rec.events.join(", ").toStdString();
        EXPECT_EQ(propertySets(TUIDP_GLOBALGAIN), (std::vector<double> {c.markerGain, 3}));
    }
}

TEST_F(GelCapture, MarkerFramesAreCorrectedWithTheirFilterPair)
{
    setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
    insertExperiment("Gel-color-ffc");
    // Only the 535 nm pair, light equal to dark: the first frame becomes 0 and the others are
    // not evened to it; the plain pair is missing, so the main frame is saved as taken.
    FlatFieldReferences& refs = ctrl->references;
    ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Light535, halves(2720, 2220, 800, 800)->record()));
    ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Dark535, halves(2720, 2220, 800, 800)->record()));
    ctrl->isFFC = true;
    LogCapture log;
    GelRecorder rec;
    capture(rec);
    ASSERT_EQ(rec.events, (QStringList {"image 4 40 5", "color -1 -1 -1"}));
    EXPECT_FALSE(allZero(ctrl->frameStore().frameAt(0)->view().mat()));
    const cv::Mat picture = cv::imread(rec.paths[1].toStdString(), cv::IMREAD_UNCHANGED);
    std::vector<cv::Mat> bgr;
    cv::split(picture, bgr);
    EXPECT_TRUE(allZero(bgr[1]));
    EXPECT_FALSE(allZero(bgr[2]));
    EXPECT_FALSE(allZero(bgr[0]));
    int empty = 0;
    for (const QString& line : log.lines())
        empty += line.contains("校准数据为空") ? 1 : 0;
    EXPECT_EQ(empty, 2) << "605 and 715 nm pairs missing";
}

// A marker step that fails without a cancel leaves the devices as a cancel does; the plain
// picture stands.
TEST_F(GelCapture, AFailedMarkerStepPutsTheDevicesBackAndKeepsThePicture)
{
    struct Case {
        const char* name;
        const char* call;
        std::vector<uint32_t> statuses;
        QStringList commands;
    };
    // Every wait after the first fails: the settling reads nothing new, the frame wait fails.
    std::vector<uint32_t> frameThenFailures(60, kFailure);
    frameThenFailures[0] = TUCAMRET_SUCCESS;
    const Case cases[] = {
        {"the first marker frame fails", "TUCAM_Buf_WaitForFrame", frameThenFailures, {"01 02", "12", "11", "c1"}},
        {"the marker's camera start fails", "TUCAM_Cap_Start", {TUCAMRET_SUCCESS, kFailure}, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n > 0)
            nextCase();
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
        insertExperiment(QStringLiteral("Gel-marker-fails-%1").arg(++n));
        tucamtest::scriptResults(c.call, c.statuses);
        GelRecorder rec;
        capture(rec);
        EXPECT_EQ(rec.events, (QStringList {"image 4 40 5", "error"}));
        if (!c.commands.isEmpty()) {
            ASSERT_TRUE(waitForCommands(c.commands.size()));
        }
        EXPECT_EQ(commands(), c.commands);
        EXPECT_TRUE(cameraIdle());
        // Exposure and gain of the preview are on the camera again.
        ASSERT_FALSE(propertySets(TUIDP_EXPOSURETM).empty());
        EXPECT_EQ(propertySets(TUIDP_EXPOSURETM).back(), 40);
        EXPECT_EQ(propertySets(TUIDP_GLOBALGAIN).back(), 5);
        EXPECT_EQ(filesIn(folder).size(), 1);
        EXPECT_FALSE(filesIn(folder).value(0).contains("_Color"));
        std::unique_ptr<GelExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->imageNames.count(','), 1);
        EXPECT_EQ(vcab::CabinetState::instance().snapshot().lamps, 0u);
    }
}

TEST_F(GelCapture, EveryWayOutLeavesTheCameraStopped)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QStringList events;
        int files;
        int listed;
    };
    const Case cases[] = {
        {"the frame wait fails",
         [] { tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {kFailure}); }, {"error"}, 0, 0},
        {"the driver aborts the wait",
         [] { tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {TUCAMRET_ABORT}); }, {}, 0, 0},
        {"the wait ends on the capture's stop",
         [] { tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {0x80000209u}); }, {}, 0, 0},
        {"the picture cannot be written",
         [this] {
             // A file where the experiment's folder belongs.
             const QString path = folder.chopped(1);
             QDir().mkpath(QFileInfo(path).path());
             QFile blocker(path);
             ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
         },
         {"save failed"}, 0, 0},
        {"a normal frame", [] {}, {"image 4 40 5"}, 1, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n > 0)
            nextCase();
        insertExperiment(QStringLiteral("Gel-ways-%1").arg(++n));
        c.arrange();
        GelRecorder rec;
        capture(rec);
        EXPECT_EQ(rec.events, c.events);
        EXPECT_EQ(QFileInfo(folder).isDir() ? filesIn(folder).size() : 0, c.files);
        EXPECT_EQ(ctrl->frameStore().frameCount(), c.listed);
        EXPECT_EQ(ctrl->frameStore().histogramCount(), c.listed);
        std::unique_ptr<GelExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->imageNames.count(','), c.listed);
        EXPECT_TRUE(cameraIdle());
        EXPECT_EQ(ctrl->semCap.available(), 0);
    }
}

TEST_F(GelCapture, WithoutARowThePictureIsKeptAndReported)
{
    nameExperimentWithoutRow("Gel-no-row");
    LogCapture log;
    GelRecorder rec;
    capture(rec);
    EXPECT_EQ(rec.events, QStringList {"image 4 40 5"});
    EXPECT_EQ(filesIn(folder).size(), 1);
    EXPECT_EQ(ctrl->frameStore().frameCount(), 1);
    EXPECT_FALSE(row());
    EXPECT_GE(log.indexOf("no experiment row named"), 0);
    EXPECT_TRUE(cameraIdle());
}

TEST_F(GelCapture, ABinningIndexOutsideTheTableIsRefused)
{
    struct Case {
        const char* name;
        tucamtest::Model model;
        EnumOBJ::AuthorityType authority;
        bool isFL9BW;
        int index;
    };
    const Case cases[] = {
        {"695, index 8", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS, false, 8},
        {"695, index -1", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS, false, -1},
        {"FL9BW, index 6", tucamtest::Model::FL9BW, EnumOBJ::GelAndWBTSFL9BW_Auto, true, 6},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useCamera(c.model, c.authority);
        insertExperiment(QStringLiteral("Gel-bin-%1").arg(++n));
        ctrl->binningIndex = c.index;
        LogCapture log;
        GelRecorder rec;
        capture(rec, EnumOBJ::White, [&](GelTSCaptureThread& t) { t.isFL9BW = c.isFL9BW; });
        EXPECT_EQ(rec.events, QStringList {"error"});
        EXPECT_TRUE(tucamtest::calls("TUCAM_Cap_Start").empty());
        EXPECT_TRUE(filesIn(folder).isEmpty());
        EXPECT_GE(log.indexOf("binning index outside the camera's table"), 0);
    }
}

TEST_F(GelCapture, CancelsBeforeDuringAndAfterTheFrame)
{
    enum class When { Before, During, AfterTheFrame };
    struct Case {
        const char* name;
        When when;
        bool colorMarker;
        QStringList events;
        int files;
    };
    const Case cases[] = {
        {"before the wait", When::Before, true, {}, 0},
        {"during the exposure", When::During, true, {}, 0},
        // The frame is on disk: its row and report are finished, the colour marker is not.
        {"after the frame was saved", When::AfterTheFrame, true, {"image 4 40 5"}, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n > 0)
            nextCase();
        setOption(UserOpts::OPT_ColorMarker, [&](UserOpts* o) { o->setColorMarker(c.colorMarker); });
        insertExperiment(QStringLiteral("Gel-cancel-%1").arg(++n));
        if (c.when == When::During) {
            // Long enough for the cancel to find the exposure running.
            ctrl->setExposureTime(20000);
            ctrl->exposureTime = 20000;
        }
        LogCapture log;
        GelRecorder rec;
        GelTSCaptureThread thread(EnumOBJ::White);
        if (c.when == When::Before)
            ctrl->isAbort = true;
        start(thread, rec);
        if (c.when == When::During) {
            ASSERT_TRUE(waitFor([] { return tucamtest::state().capturing; }, 10000));
            EXPECT_EQ(cancelCapture(thread), Cancel::Aborted);
        } else if (c.when == When::AfterTheFrame) {
            ASSERT_TRUE(waitFor([&] { return !filesIn(folder).isEmpty(); }, 20000));
            EXPECT_EQ(cancelCapture(thread), Cancel::Aborted);
        }
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.events, c.events);
        EXPECT_EQ(filesIn(folder).size(), c.files);
        std::unique_ptr<GelExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->imageNames.count(','), c.files);
        EXPECT_EQ(ctrl->frameStore().frameCount(), c.files);
        EXPECT_TRUE(cameraIdle());
        EXPECT_EQ(ctrl->semCap.available(), 0);
        if (c.when == When::Before) {
            EXPECT_GE(log.indexOf("Abort before m_WaitForFrame"), 0);
        }
        // A marker that had begun put the wheel back and the lamp out.
        ASSERT_TRUE(flushBoard());
        const QStringList sent = commands();
        if (!sent.isEmpty()) {
            EXPECT_EQ(sent.mid(sent.size() - 2), (QStringList {"11", "c1"})) << sent.join(", ").toStdString();
        }
        ctrl->isAbort = false;
    }
}

// A cancel at any moment either takes the exposure (nothing stored) or finds the frame taken and
// waits until its picture, row and report are all done: never a picture without its row.
TEST_F(GelCapture, ACancelAtAnyMomentNeverSplitsAFrame)
{
    int n = 0;
    for (int delayMs : {0, 5, 15, 30, 45, 60, 90}) {
        SCOPED_TRACE(delayMs);
        if (n > 0)
            nextCase();
        insertExperiment(QStringLiteral("Gel-any-%1").arg(++n));
        ctrl->setExposureTime(2000);
        ctrl->exposureTime = 2000;
        GelRecorder rec;
        GelTSCaptureThread thread(EnumOBJ::White);
        start(thread, rec);
        QThread::msleep(unsigned(delayMs));
        const Cancel outcome = cancelCapture(thread);
        ASSERT_NE(outcome, Cancel::TimedOut);
        ASSERT_TRUE(runToEnd(thread));
        const int files = filesIn(folder).size();
        std::unique_ptr<GelExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->imageNames.count(','), files);
        EXPECT_EQ(rec.events.size(), files);
        EXPECT_EQ(ctrl->frameStore().frameCount(), files);
        EXPECT_TRUE(cameraIdle());
        ctrl->isAbort = false;
    }
}
