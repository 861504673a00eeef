// The capture thread on the virtual cabinet: the frame plans with the light commands the board
// received, the exposures the camera was given, the files written, the row texts and the
// signals in order; cancels; a failed camera start; the colour marker and the merges.

#include "wbfixture.h"

#include "cabinetstate.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "wbtscapturethread.h"

#include <QImage>

#include <opencv2/imgcodecs.hpp>

namespace {

struct PlanCase {
    const char* name;
    bool single;
    int singleCapExpTime;
    bool markerCapture;
    int multiCapCount;
    int first, firstUnit, delta, deltaUnit;
    bool integral;
    const char* explicitList;   // null: first and delta
    QStringList lights;         // data bytes of the 0xF2 commands
    std::vector<double> exposures;
    QString exposureText;
    QString gainText;
    int tifs;                   // in folder A
    int dataFiles;
    QStringList events;
};

void connectRecorder(WBTSCaptureThread& t, Recorder& r)
{
    QObject::connect(&t, &WBTSCaptureThread::sig_CamErrorOccur, &r, &Recorder::onError);
    QObject::connect(&t, &WBTSCaptureThread::sig_SaveFailed, &r, [&r](const QString&) { r.events << "save failed"; });
    QObject::connect(&t, &WBTSCaptureThread::lightStatusChange, &r, &Recorder::onLight);
    QObject::connect(&t, &WBTSCaptureThread::singleImageCaped, &r, &Recorder::onImage);
    QObject::connect(&t, &WBTSCaptureThread::colorMarkerCaped, &r, &Recorder::onColor);
}

} // namespace

class WbCapture : public WbCabinet {
protected:
    void configure(const PlanCase& c)
    {
        ctrl->singleCaptureVisible = c.single;
        setOption(UserOpts::OPT_SingleCapExpTime, [&](UserOpts* o) { o->setSingleCapExpTime(c.singleCapExpTime); });
        setOption(UserOpts::OPT_MarkerCapture, [&](UserOpts* o) { o->setMarkerCapture(c.markerCapture); });
        setOption(UserOpts::OPT_IntegralAccumulate, [&](UserOpts* o) { o->setIntegralAccumulate(c.integral); });
        opts->setMultiCapCount(c.multiCapCount);
        opts->setMultiCapFirstTime(c.first);
        opts->setMultiCapFirstTimeUnit(UserOpts::UnitType(c.firstUnit));
        opts->setMultiCapDeltaTime(c.delta);
        opts->setMultiCapDeltaTimeUnit(UserOpts::UnitType(c.deltaUnit));
        opts->saveMultiCapOpts();
        setOption(UserOpts::OPT_MultiCapExpTimesChanged, [&](UserOpts* o) { o->setMultiCapExpTimesChanged(c.explicitList != nullptr); });
        setOption(UserOpts::OPT_MultiCapExpTimes, [&](UserOpts* o) { o->setMultiCapExpTimes(c.explicitList ? c.explicitList : ""); });
    }

    void start(WBTSCaptureThread& t, Recorder& r, bool mini = false)
    {
        t.lightCtrl = light.get();
        t.serialPort = link.get();
        t.isMini = mini;
        connectRecorder(t, r);
        t.start();
    }
};

TEST_F(WbCapture, FramePlansGiveTheirLightsExposuresFilesRowsAndSignals)
{
    const std::vector<PlanCase> cases = {
        {"marker only", true, 0, false, 0, 0, 0, 0, 0, false, nullptr,
         {"01 02", "c1"}, {40}, "40,", "5,", 1, 0, {"light 1", "image 4 40 5", "light 0"}},
        {"sample only", true, 700, true, 0, 0, 0, 0, 0, false, nullptr,
         {"c1"}, {700}, "700,", "60,", 1, 1, {"light 0", "image 4 700 60"}},
        {"marker and sample", true, 700, false, 0, 0, 0, 0, 0, false, nullptr,
         {"01 02", "c1"}, {40, 700}, "40,700,", "5,60,", 3, 1,
         {"light 1", "image 4 40 5", "light 0", "image 4 700 60", "image -1 -1 -1"}},
        {"multiple", false, 0, false, 3, 1, 1, 2, 1, false, nullptr,
         {"01 02", "c1"}, {40, 1000, 3000, 5000}, "40,1000,3000,5000,", "5,60,60,60,", 4, 3,
         {"light 1", "image 4 40 5", "light 0", "image 4 1000 60", "image 4 3000 60", "image 4 5000 60"}},
        {"multiple accumulated", false, 0, false, 3, 1, 1, 2, 1, true, nullptr,
         {"01 02", "c1"}, {40, 1000, 2000, 2000}, "40,1000,3000,5000,", "5,60,60,60,", 4, 3,
         {"light 1", "image 4 40 5", "light 0", "image 4 1000 60", "image 4 3000 60", "image 4 5000 60"}},
        {"explicit list, samples only", false, 0, true, 2, 0, 0, 0, 0, false, "300, 600",
         {"c1", "c1"}, {300, 600}, "300,600,", "60,60,", 2, 2,
         {"light 0", "image 4 300 60", "light 0", "image 4 600 60"}},
        // The count asks for four samples, the list has two: the list bounds the plan.
        {"explicit list shorter than the count", false, 0, false, 4, 0, 0, 0, 0, false, "300,600",
         {"01 02", "c1"}, {40, 300, 600}, "40,300,600,", "5,60,60,", 3, 2,
         {"light 1", "image 4 40 5", "light 0", "image 4 300 60", "image 4 600 60"}},
    };
    int n = 0;
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure(c);
        insertExperiment(QStringLiteral("WBS-plan-%1").arg(n));
        Recorder rec;
        WBTSCaptureThread thread;
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(thread.captureEnded);
        EXPECT_EQ(ctrl->semCap.available(), 0);
        EXPECT_EQ(rec.events, c.events);
        ASSERT_TRUE(waitForLightCommands(c.lights.size()));
        EXPECT_EQ(lightCommands(), c.lights);
        EXPECT_EQ(exposuresSet(), c.exposures);
        EXPECT_EQ(filesIn(folder, "*.tif").size(), c.tifs);
        EXPECT_EQ(filesIn(folder, "*.data").size(), c.dataFiles);
        EXPECT_EQ(filesIn(opts->imageSavePath() + "/" + QDate::currentDate().toString("yyyy-MM-dd") + "/" + expName,
                          "*.tif").size(), c.tifs);
        std::unique_ptr<WesternBlotExperimentRecord> row(db->selectExperimentByName(expName));
        ASSERT_TRUE(row);
        EXPECT_EQ(row->exposureTime, c.exposureText);
        EXPECT_EQ(row->gain, c.gainText);
        EXPECT_EQ(row->imageNames.count(','), int(c.exposures.size()));
        EXPECT_EQ(thread.imageSavePath(), folder);
    }
}

TEST_F(WbCapture, AccumulatedSamplesHoldTheRunningSum)
{
    configure({"acc", false, 0, true, 3, 1, 1, 1, 1, true, nullptr, {}, {}, "", "", 0, 0, {}});
    insertExperiment("WBM-sum");
    Recorder rec;
    WBTSCaptureThread thread;
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread));
    ASSERT_EQ(ctrl->frameStore().frameCount(), 3);
    // Each sample adds its own exposure, so the integral grows frame by frame.
    const auto mean = [&](int i) { return cv::mean(ctrl->frameStore().frameAt(i)->view().mat())[0]; };
    EXPECT_GT(mean(1), mean(0) * 1.5);
    EXPECT_GT(mean(2), mean(1) * 1.2);
}

TEST_F(WbCapture, CancelDuringTheFirstFrameRemovesTheRowAndALaterOneKeepsIt)
{
    struct Case {
        const char* name;
        const char* list;   // the long exposure is the one cancelled
        int framesKept;
    } cases[] = {{"first", "100000,20", 0}, {"later", "20,100000", 1}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure({c.name, false, 0, true, 2, 0, 0, 0, 0, false, c.list, {}, {}, "", "", 0, 0, {}});
        insertExperiment(QStringLiteral("WBM-cancel-%1").arg(n));
        Recorder rec;
        WBTSCaptureThread thread;
        start(thread, rec);
        if (c.framesKept > 0) {
            ASSERT_TRUE(waitFor([&] { return ctrl->frameStore().frameCount() == c.framesKept; }, 20000));
        }
        ASSERT_EQ(cancelCapture(thread), Cancel::Aborted) << "the cancel lands in the running exposure";
        ASSERT_TRUE(runToEnd(thread, 20000)) << "a cancelled exposure ends at once";
        EXPECT_TRUE(ctrl->isAbort);
        EXPECT_EQ(ctrl->frameStore().frameCount(), c.framesKept);
        EXPECT_EQ(ctrl->semCap.available(), 0);
        std::unique_ptr<WesternBlotExperimentRecord> row(db->selectExperimentByName(expName));
        EXPECT_EQ(row != nullptr, c.framesKept > 0);
        if (row) {
            EXPECT_EQ(row->imageNames.count(','), c.framesKept);
        }
        EXPECT_FALSE(rec.events.contains("error"));
        ASSERT_TRUE(waitForLightCommands(2));
        EXPECT_EQ(lightCommands().last(), "c1");
    }
}

TEST_F(WbCapture, AFailedCameraStartEndsTheRunSoThatACancelDoesNotSpin)
{
    configure({"start", true, 700, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
    insertExperiment("WBS-nostart");
    tucamtest::failAlways("TUCAM_Cap_Start", 0x80000000);
    Recorder rec;
    WBTSCaptureThread thread;
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread, 20000));
    EXPECT_TRUE(thread.captureEnded);
    EXPECT_EQ(ctrl->semCap.available(), 0);
    EXPECT_TRUE(rec.events.contains("error"));
    EXPECT_EQ(rec.events.last(), "light 0");
    std::unique_ptr<WesternBlotExperimentRecord> row(db->selectExperimentByName(expName));
    EXPECT_FALSE(row) << "no frame completed: the row goes";
    // The page's cancel returns at once instead of looping.
    EXPECT_EQ(cancelCapture(thread, 1000), Cancel::CaptureEnded);
    EXPECT_FALSE(ctrl->isAbort);
    ASSERT_TRUE(waitForLightCommands(2));
    EXPECT_EQ(lightCommands(), QStringList({"01 02", "c1"}));
}

TEST_F(WbCapture, ColourMarkerSwitchesItsLightsOrFiltersInOrder)
{
    struct Case {
        const char* name;
        bool mini;
        QStringList lights;
    } cases[] = {
        {"mini: red, green and blue lights", true, {"2c", "2d", "28", "29", "26", "27", "2a", "2b"}},
        {"filters under white light", false, {"01 02", "c1", "01 02", "12", "14", "16", "11", "c1"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure({c.name, true, 0, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
        insertExperiment(QStringLiteral("WBS-colour-%1").arg(n));
        Recorder rec;
        WBTSCaptureThread thread;
        start(thread, rec, c.mini);
        ASSERT_TRUE(runToEnd(thread));
        ASSERT_TRUE(waitForLightCommands(c.lights.size()));
        EXPECT_EQ(lightCommands(), c.lights);
        ASSERT_TRUE(rec.events.contains("color -1"));
        const QString colour = rec.paths.last();
        EXPECT_TRUE(colour.endsWith("_Color.tif"));
        const cv::Mat picture = cv::imread(colour.toStdString(), cv::IMREAD_UNCHANGED);
        ASSERT_FALSE(picture.empty());
        EXPECT_EQ(picture.type(), CV_8UC3);
        EXPECT_EQ(picture.cols, 664);
        EXPECT_EQ(picture.rows, 550);
        EXPECT_FALSE(thread.colorMarkerImage().empty());
    }
}

TEST_F(WbCapture, MergesOfASingleCapture)
{
    struct Case {
        const char* name;
        bool colorMarker;
        bool failColourFrames;
        QStringList tail;     // the last signals
        int framesKept;
    } cases[] = {
        {"plain merge", false, false, {"image 4 700 60", "image -1 -1 -1"}, 3},
        {"coloured merge", true, false, {"color -1", "light 0", "color -1"}, 2},
        // Colour frames that never arrive leave no marker: the plain merge stands.
        {"incomplete colour marker", true, true, {"image -1 -1 -1"}, 3},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure({c.name, true, 700, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
        setOption(UserOpts::OPT_ColorMarker, [&](UserOpts* o) { o->setColorMarker(c.colorMarker); });
        insertExperiment(QStringLiteral("WBS-merge-%1").arg(n));
        Recorder rec;
        WBTSCaptureThread thread;
        if (c.failColourFrames) {
            // The colour marker switches the white light on a second time: from then on no frame comes.
            auto ons = std::make_shared<int>(0);
            QObject::connect(&thread, &WBTSCaptureThread::lightStatusChange, &thread, [ons](bool on) {
                if (on && ++*ons == 2)
                    tucamtest::failAlways("TUCAM_Buf_WaitForFrame", 0x80000000);
            }, Qt::DirectConnection);
        }
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread, 90000));
        ASSERT_GE(rec.events.size(), c.tail.size());
        EXPECT_EQ(rec.events.mid(rec.events.size() - c.tail.size()), c.tail);
        EXPECT_EQ(ctrl->frameStore().frameCount(), c.framesKept);
        const QString merge = rec.paths.last();
        EXPECT_TRUE(merge.endsWith("_Merge.tif")) << merge.toStdString();
        const cv::Mat picture = cv::imread(merge.toStdString(), cv::IMREAD_UNCHANGED);
        ASSERT_FALSE(picture.empty());
        EXPECT_EQ(picture.type(), c.colorMarker && !c.failColourFrames ? CV_8UC3 : CV_16UC1);
        EXPECT_EQ(filesIn(folder, "*_Color.tif").size(), c.colorMarker && !c.failColourFrames ? 1 : 0);
    }
}

TEST_F(WbCapture, OverExposedSampleNamesItsPlainAndMarkedPictures)
{
    configure({"oe", true, 200000, true, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
    setOption(UserOpts::OPT_IsExposure, [](UserOpts* o) { o->setIsExposure(true); });
    insertExperiment("WBS-oe");
    Recorder rec;
    WBTSCaptureThread thread;
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread));
    std::unique_ptr<WesternBlotExperimentRecord> row(db->selectExperimentByName(expName));
    ASSERT_TRUE(row);
    const QStringList names = row->imageNames.split(',', Qt::SkipEmptyParts);
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(names[1], QString(names[0]).replace(".tif", "_OE.tif"));
    EXPECT_EQ(row->exposureTime, "200000,200000,");
    EXPECT_EQ(row->gain, "60,60,");
    ASSERT_EQ(ctrl->frameStore().overExposureMarkCount(), 1);
    EXPECT_EQ(ctrl->frameStore().overExposureMarkAt(0)->size(), size_t(664 * 550)) << "one byte per pixel";
}

// Stored frames and masks live in reused memory. A frame and mask a view still holds keep their
// pixels while later frames are captured; each later mask marks its own frame's saturated square
// and nothing an earlier frame left in the recycled buffer.
TEST_F(WbCapture, HeldFramesAndMasksKeepTheirPixelsWhileLaterFramesReuseTheMemory)
{
    constexpr int kW = 96, kH = 64, kHeader = 32;
    // Frame k: a gentle ramp and a saturated square that shrinks and moves with k.
    auto square = [](int k) { return cv::Rect(4 + 5 * k, 3 + 3 * k, 24 - 3 * k, 24 - 3 * k); };
    auto frameBytes = [&](int k) {
        std::vector<uint8_t> bytes(kHeader + size_t(kW) * kH * 2, uint8_t(0xA5));
        auto* px = reinterpret_cast<uint16_t*>(bytes.data() + kHeader);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                px[y * kW + x] = square(k).contains({x, y}) ? 65535 : uint16_t(1000 + (7 * x + 13 * y + 31 * k) % 500);
        return bytes;
    };
    auto expectedMask = [&](int k, bool marks) {
        std::vector<uint8_t> m(size_t(kW) * kH, 0);
        for (int y = 0; marks && y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                m[y * kW + x] = square(k).contains({x, y});
        return m;
    };
    struct Case {
        const char* name;
        int bk;
        bool marks;
    } cases[] = {
        {"black background", UserOpts::Black, true},
        // Stored inverted: the saturated square is the darkest part.
        {"white background", UserOpts::White, true},
        // A background of no known kind marks nothing, whatever the buffer held before.
        {"unknown background", 2, false},
    };
    setOption(UserOpts::OPT_IsExposure, [](UserOpts* o) { o->setIsExposure(true); });
    insertExperiment("WBS-reuse");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WBTSCaptureThread thread;
        wbplan::FramePlan plan;
        plan.sample = true;
        auto capture = [&](int k) {
            std::vector<uint8_t> bytes = frameBytes(k);
            TUCAM_FRAME record {};
            record.usHeader = kHeader;
            record.usWidth = kW;
            record.usHeight = kH;
            record.uiImgSize = uint32_t(kW * kH * 2);
            record.pBuffer = bytes.data();
            bool written = false;
            return !thread.processFrame(&record, plan, k, false, c.bk, &written).isEmpty() && written;
        };
        ctrl->frameStore().clearFrameCaches();
        ASSERT_TRUE(capture(0));
        const TsFramePtr heldFrame = ctrl->frameStore().captureFrame();
        const OverExposureMask heldMask = ctrl->frameStore().overExposureMarkAt(0);
        ASSERT_TRUE(heldFrame && heldMask);
        const FrameView view = heldFrame->view();
        const std::vector<uint16_t> framePixels(view.pixels, view.pixels + view.count());
        const std::vector<uint8_t> maskBytes = *heldMask;
        EXPECT_EQ(maskBytes, expectedMask(0, c.marks));

        // More frames than the pools keep, each list cleared as a new experiment does.
        for (int k = 1; k <= 6; ++k) {
            SCOPED_TRACE(k);
            ctrl->frameStore().clearFrameCaches();
            ASSERT_TRUE(capture(k));
            const OverExposureMask mask = ctrl->frameStore().overExposureMarkAt(0);
            ASSERT_TRUE(mask);
            EXPECT_EQ(*mask, expectedMask(k, c.marks));
        }
        const FrameView after = heldFrame->view();
        EXPECT_EQ(std::vector<uint16_t>(after.pixels, after.pixels + after.count()), framePixels);
        EXPECT_EQ(*heldMask, maskBytes);
    }
}

TEST_F(WbCapture, EveryColourMarkerEndsWithItsLampsOff)
{
    struct Case {
        const char* name;
        bool cancel;
    } cases[] = {{"complete", false}, {"cancelled", true}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure({c.name, true, 0, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
        insertExperiment(QStringLiteral("WBS-lamps-%1").arg(n));
        Recorder rec;
        WBTSCaptureThread thread;
        start(thread, rec, true);
        if (c.cancel) {
            // After the marker frame the colour marker's camera start is the exposure a cancel takes.
            ASSERT_TRUE(waitFor([&] { return ctrl->frameStore().frameCount() == 1; }, 20000));
            ASSERT_EQ(cancelCapture(thread), Cancel::Aborted);
        }
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.events.contains("color -1"), !c.cancel);
        EXPECT_EQ(filesIn(folder, "*_Color.tif").isEmpty(), c.cancel);
        // A last command behind the thread's ones: once the board has it, it has them all.
        const int sent = lightCommands().size();
        light->sendCmd(CmdMainLight, Filter0);
        ASSERT_TRUE(waitFor([&] { return lightCommands().size() > sent && lightCommands().last() == "11"; }, 20000));
        const uint32_t coloured = vcab::LampRedLight | vcab::LampGreenLight | vcab::LampBlueLight | vcab::LampWhiteLight;
        EXPECT_EQ(vcab::CabinetState::instance().snapshot().lamps & coloured, 0u)
            << lightCommands().join(' ').toStdString();
        EXPECT_TRUE(ctrl->frameStore().frameCount() == 1);
    }
}

TEST_F(WbCapture, TheFl9bwCameraRecordsItsGainIndexesAndAlignedRegion)
{
    ctrl->closeCamera();
    tucamtest::Config config;
    config.model = tucamtest::Model::FL9BW;
    tucamtest::reset(config);
    ASSERT_TRUE(ctrl->openCamera(7));
    ctrl->binningIndex = 2;   // factor 3
    ctrl->gain = 1;           // gain index
    configure({"fl9bw", true, 700, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
    setOption(UserOpts::OPT_WBX, [](UserOpts* o) { o->setWbX(6); });
    insertExperiment("WBS-fl9bw");
    tucamtest::clearCallLog();
    Recorder rec;
    WBTSCaptureThread thread;
    thread.isFL9BW = true;
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread));
    std::unique_ptr<WesternBlotExperimentRecord> row(db->selectExperimentByName(expName));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->gain, "2,3,");
    const auto rois = tucamtest::calls("TUCAM_Cap_SetROI");
    ASSERT_FALSE(rois.empty());
    // x 6 / 3 = 2, aligned up to 4; y (0 + 312) / 3 = 104; 3000 / 3 = 1000; 2688 / 3 = 896.
    EXPECT_EQ(rois.front().args, std::vector<double>({1, 4, 104, 1000, 896}));
    EXPECT_EQ(tucamtest::calls("TUCAM_Capa_SetValue", TUIDC_BINNING_SUM).front().args[1], 2.0);
}

TEST_F(WbCapture, AFailedPictureWriteEndsTheCaptureAndRecordsNoMissingFile)
{
    struct Case {
        const char* name;
        bool fromTheStart;     // else from the sample frame on
        int framesKept;
        QStringList events;
    } cases[] = {
        // The experiment's own folder cannot be made: the marker is never on disk.
        {"first frame", true, 0, {"light 1", "save failed", "light 0"}},
        // The second folder goes away before the sample: the marker stays, the sample is not recorded.
        {"sample frame", false, 1, {"light 1", "image 4 40 5", "light 0", "save failed"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure({c.name, true, 700, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", "", 0, 0, {}});
        insertExperiment(QStringLiteral("WBS-nowrite-%1").arg(n));
        const QString folderB = opts->imageSavePath() + "/" + QDate::currentDate().toString("yyyy-MM-dd") + "/" + expName;
        // A plain file where a folder has to be: nothing can be written below it.
        auto block = [](const QString& dir) {
            QDir(dir).removeRecursively();
            QDir().mkpath(QFileInfo(dir).path());
            QFile file(dir);
            return file.open(QIODevice::WriteOnly);
        };
        Recorder rec;
        WBTSCaptureThread thread;
        if (c.fromTheStart) {
            ASSERT_TRUE(block(folder.chopped(1)));
        } else {
            QObject::connect(&thread, &WBTSCaptureThread::lightStatusChange, &thread, [&](bool on) {
                if (!on)
                    block(folderB);
            }, Qt::DirectConnection);
        }
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(thread.captureEnded);
        EXPECT_EQ(ctrl->semCap.available(), 0);
        EXPECT_EQ(rec.events, c.events);
        EXPECT_EQ(ctrl->frameStore().frameCount(), c.framesKept) << "a frame without its pictures leaves the list";
        EXPECT_EQ(exposuresSet().size(), size_t(c.framesKept + 1)) << "no exposure after the failed one";
        ASSERT_TRUE(waitForLightCommands(2));
        EXPECT_EQ(lightCommands().last(), "c1");
        std::unique_ptr<WesternBlotExperimentRecord> row(db->selectExperimentByName(expName));
        EXPECT_EQ(row != nullptr, c.framesKept > 0);
        if (row) {
            const QStringList names = row->imageNames.split(',', Qt::SkipEmptyParts);
            EXPECT_EQ(names.size(), c.framesKept);
            for (const QString& name : names)
                EXPECT_TRUE(QFile::exists(folder + name)) << name.toStdString();
        }
    }
}
