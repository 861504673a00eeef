// The capture thread of the Kestrix camera on the stand-in with the virtual board: the frame
// plans with the light commands the board received, the files written, the row texts and the
// signals in order; accumulation and the white background; the readout speed of long exposures;
// cancels; a time-out; failing calls; a picture that cannot be written; the record kept to the end.
#include "wbqifixture.h"

#include "apppaths.h"
#include "experimentrecord.h"
#include "kestrixbuffer.h"
#include "testappdir.h"
#include "wbqicapturethread.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <opencv2/core.hpp>

#include <chrono>

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
    QStringList events;
    QString exposureText;
    int markers;                // "_Marker" files in each folder
    int merges;                 // "_Merge" files in each folder
    int samples;                // the other files
};

void connectRecorder(WBQICaptureThread& t, QiRecorder& r)
{
    QObject::connect(&t, &WBQICaptureThread::sig_CamErrorOccur, &r, &QiRecorder::onError);
    QObject::connect(&t, &WBQICaptureThread::sig_SaveFailed, &r, [&r](const QString&) { r.events << "save failed"; });
    QObject::connect(&t, &WBQICaptureThread::lightStatusChange, &r, &QiRecorder::onLight);
    QObject::connect(&t, &WBQICaptureThread::singleImageCaped, &r, &QiRecorder::onImage);
}

double meanOf(const KestrixFrame& f)
{
    return cv::mean(cv::Mat(f.height(), f.width(), CV_16UC1, const_cast<uint16_t*>(f.pixels.data())))[0];
}

} // namespace

class QiCapture : public QiCabinet {
protected:
    void configure(const PlanCase& c)
    {
        kx->singleCaptureVisible = c.single;
        setOption(UserOpts::OPT_SingleCapExpTime, [&](UserOpts* o) { o->setSingleCapExpTime(c.singleCapExpTime); });
        setOption(UserOpts::OPT_MarkerCapture, [&](UserOpts* o) { o->setMarkerCapture(c.markerCapture); });
        setOption(UserOpts::OPT_IntegralAccumulate, [&](UserOpts* o) { o->setIntegralAccumulate(c.integral); });
        setOption(UserOpts::OPT_MultiCapCount, [&](UserOpts* o) { o->setMultiCapCount(c.multiCapCount); });
        opts->setMultiCapFirstTime(c.first);
        opts->setMultiCapFirstTimeUnit(UserOpts::UnitType(c.firstUnit));
        opts->setMultiCapDeltaTime(c.delta);
        opts->setMultiCapDeltaTimeUnit(UserOpts::UnitType(c.deltaUnit));
        opts->saveMultiCapOpts();
        setOption(UserOpts::OPT_MultiCapExpTimesChanged,
                  [&](UserOpts* o) { o->setMultiCapExpTimesChanged(c.explicitList != nullptr); });
        setOption(UserOpts::OPT_MultiCapExpTimes, [&](UserOpts* o) { o->setMultiCapExpTimes(c.explicitList ? c.explicitList : ""); });
    }

    void start(WBQICaptureThread& t, QiRecorder& r)
    {
        t.lightCtrl = light.get();
        t.serialPort = link.get();
        connectRecorder(t, r);
        t.start();
    }

    std::unique_ptr<WesternBlotExperimentRecord> row() { return std::unique_ptr<WesternBlotExperimentRecord>(db->selectExperimentByName(expName)); }

    // Waits until the capture's exposure number n (1-based) is under way.
    bool waitForExposure(int n) { return waitFor([&] { return callsOf("kx_exp_start_seq") >= n; }, 20000); }
};

TEST_F(QiCapture, FramePlansGiveTheirLightsFilesRowsAndSignals)
{
    const std::vector<PlanCase> cases = {
        {"marker only", true, 0, false, 0, 0, 0, 0, 0, false, nullptr, {"01 02", "c1"},
         {"light 1", "image 4 40 3", "light 0"}, "40,", 1, 0, 0},
        {"sample only", true, 700, true, 0, 0, 0, 0, 0, false, nullptr, {"c1"}, {"light 0", "image 4 700 3"},
         "700,", 0, 0, 1},
        {"marker and sample, merged", true, 700, false, 0, 0, 0, 0, 0, false, nullptr, {"01 02", "c1"},
         {"light 1", "image 4 40 3", "light 0", "image 4 700 3", "image -1 -1 -1"}, "40,700,", 1, 1, 1},
        {"multiple", false, 0, false, 3, 1, 1, 2, 1, false, nullptr, {"01 02", "c1"},
         {"light 1", "image 4 40 3", "light 0", "image 4 1000 3", "image 4 3000 3", "image 4 5000 3"},
         "40,1000,3000,5000,", 1, 0, 3},
        // The list is first, delta, delta; each sample reports the exposure summed so far.
        {"multiple accumulated", false, 0, false, 3, 1, 1, 2, 1, true, nullptr, {"01 02", "c1"},
         {"light 1", "image 4 40 3", "light 0", "image 4 1000 3", "image 4 3000 3", "image 4 5000 3"},
         "40,1000,3000,5000,", 1, 0, 3},
        // Without a marker the light-off command goes out before every frame.
        {"explicit list, samples only", false, 0, true, 2, 0, 0, 0, 0, false, "300, 600", {"c1", "c1"},
         {"light 0", "image 4 300 3", "light 0", "image 4 600 3"}, "300,600,", 0, 0, 2},
        // The count asks for four samples, the list has two: the list bounds the plan.
        {"explicit list shorter than the count", false, 0, false, 4, 0, 0, 0, 0, false, "300,600", {"01 02", "c1"},
         {"light 1", "image 4 40 3", "light 0", "image 4 300 3", "image 4 600 3"}, "40,300,600,", 1, 0, 2},
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
        QiRecorder rec;
        WBQICaptureThread thread;
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.events, c.events);
        ASSERT_TRUE(waitForLightCommands(c.lights.size()));
        EXPECT_EQ(lightCommands(), c.lights);
        for (const QString& dir : {folder, userFolder}) {
            SCOPED_TRACE(dir.toStdString());
            const QStringList tifs = filesIn(dir, "*.tif");
            EXPECT_EQ(tifs.filter("_Marker").size(), c.markers);
            EXPECT_EQ(tifs.filter("_Merge").size(), c.merges);
            EXPECT_EQ(tifs.size(), c.markers + c.merges + c.samples);
        }
        // Every reported path is the file below the application directory.
        for (const QString& path : rec.paths)
            EXPECT_TRUE(QFile::exists(path) && path.startsWith(folder)) << path.toStdString();
        const std::unique_ptr<WesternBlotExperimentRecord> r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->exposureTime, c.exposureText);
        EXPECT_EQ(r->gain, QString("3,").repeated(c.exposureText.count(',')));
        const QStringList names = r->imageNames.split(',', Qt::SkipEmptyParts);
        EXPECT_EQ(names.size(), c.exposureText.count(','));
        for (const QString& name : names)
            EXPECT_TRUE(QFile::exists(folder + name)) << name.toStdString();
        EXPECT_EQ(kx->frameCount(), c.markers + c.merges + c.samples);
        EXPECT_EQ(kx->histogramCount(), kx->frameCount());
        EXPECT_EQ(thread.imageSavePath(), folder);
        EXPECT_EQ(KestrixBuffer::live(), 0);
        EXPECT_EQ(log->lines().contains(QStringLiteral("frame plan bounded by its exposure list: 3 frames, 2 exposures for 4")),
                  QString(c.name) == "explicit list shorter than the count");
    }
}

TEST_F(QiCapture, AccumulatedSamplesHoldTheRunningSumOnEitherBackground)
{
    for (UserOpts::BkColorType bk : {UserOpts::Black, UserOpts::White}) {
        SCOPED_TRACE(bk == UserOpts::Black ? "black" : "white");
        kx->clearFrames();
        setOption(UserOpts::OPT_SampleImageBkColor, [&](UserOpts* o) { o->setSampleImageBkColor(bk); });
        configure({"acc", false, 0, true, 3, 1, 1, 1, 1, true, nullptr, {}, {}, "", 0, 0, 0});
        insertExperiment(QStringLiteral("WBM-sum-%1").arg(int(bk)));
        QiRecorder rec;
        WBQICaptureThread thread;
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        ASSERT_EQ(kx->frameCount(), 3);
        const double m0 = meanOf(kx->frameAt(0)), m1 = meanOf(kx->frameAt(1)), m2 = meanOf(kx->frameAt(2));
        if (bk == UserOpts::Black) {
            // Each sample takes in the sum before it: brighter frame by frame.
            EXPECT_GT(m1, m0 * 1.5);
            EXPECT_GT(m2, m1 * 1.2);
        } else {
            // Stored inverted: the sum shows as ever darker frames on the white background.
            EXPECT_GT(m0, 32768.0);
            EXPECT_LT(m1, m0);
            EXPECT_LT(m2, m1);
        }
        EXPECT_EQ(row()->exposureTime, QString("1000,2000,3000,"));
    }
}

TEST_F(QiCapture, ExposuresAboveHalfAMinuteReadOutAtTheNextSpeed)
{
    for (int exposure : {30000, 30001}) {
        SCOPED_TRACE(exposure);
        kx->clearFrames();
        configure({"speed", true, exposure, true, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", 0, 0, 0});
        insertExperiment(QStringLiteral("WBS-speed-%1").arg(exposure));
        kxtest_clear_call_log();
        QiRecorder rec;
        WBQICaptureThread thread;
        start(thread, rec);
        // The speed is set before the exposure starts; the half minute need not run.
        ASSERT_TRUE(waitForExposure(1));
        int16_t speed = -1;
        ASSERT_EQ(kx_get_param(ctx->hcam, PARAM_SPDTAB_INDEX, KX_ATTR_CURRENT, &speed), KX_SUCCESS);
        EXPECT_EQ(speed, exposure > 30000 ? 2 : 1);
        kx->abortCapture();
        ASSERT_TRUE(runToEnd(thread));
        ctx->captureAbort = false;
    }
}

TEST_F(QiCapture, CancelInTheFirstFrameRemovesTheRowAndInALaterOneKeepsIt)
{
    struct Case {
        const char* name;
        int cancelInExposure;   // 1-based
        int framesKept;
        QStringList events;
    };
    const Case cases[] = {
        {"first frame", 1, 0, {"light 0", "light 0"}},
        {"third frame", 3, 2, {"light 0", "image 4 300 3", "light 0", "image 4 600 3", "light 0"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        // Samples only; the third is a minute of camera time, long enough to cancel in.
        configure({"cancel", false, 0, true, 3, 0, 0, 0, 0, false, "60000,300,600", {}, {}, "", 0, 0, 0});
        if (c.cancelInExposure > 1)
            setOption(UserOpts::OPT_MultiCapExpTimes, [](UserOpts* o) { o->setMultiCapExpTimes("300,600,60000"); });
        insertExperiment(QStringLiteral("WBM-cancel-%1").arg(n));
        QiRecorder rec;
        WBQICaptureThread thread;
        start(thread, rec);
        ASSERT_TRUE(waitForExposure(c.cancelInExposure));
        kx->abortCapture();
        ASSERT_TRUE(runToEnd(thread, 20000));
        EXPECT_EQ(rec.events, c.events);
        EXPECT_TRUE(logged(QStringLiteral("Processing aborted on camera cap  %1").arg(ctx->hcam.load())));
        EXPECT_EQ(kx->frameCount(), c.framesKept);
        EXPECT_EQ(filesIn(folder, "*.tif").size(), c.framesKept);
        const std::unique_ptr<WesternBlotExperimentRecord> r = row();
        EXPECT_EQ(bool(r), c.framesKept > 0);
        if (r) {
            EXPECT_EQ(r->exposureTime, QString("300,600,"));
        }
        EXPECT_EQ(KestrixBuffer::live(), 0);
        // The light was switched off, and nothing later switched it on.
        ASSERT_TRUE(waitForLightCommands(c.events.count("light 0")));
        EXPECT_EQ(lightCommands().last(), QString("c1"));
    }
}

TEST_F(QiCapture, ATimedOutFrameEndsTheCaptureAndReleasesItsBuffer)
{
    configure({"time-out", true, 500, true, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", 0, 0, 0});
    insertExperiment("WBS-timeout");
    kxtest_set_silent(1);
    QiRecorder rec;
    WBQICaptureThread thread;
    thread.frameTimeoutMs = 250;
    QElapsedTimer timer;
    timer.start();
    start(thread, rec);
    ASSERT_TRUE(waitForExposure(1));
    // The buffer of the running exposure.
    EXPECT_EQ(KestrixBuffer::live(), 1);
    ASSERT_TRUE(runToEnd(thread, 20000));
    kxtest_set_silent(0);
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_TRUE(logged(QStringLiteral("Camera %d timed out waiting for a cap frame %1").arg(ctx->hcam.load())));
    EXPECT_EQ(log->lines().filter(QRegularExpression(QStringLiteral("^相机错误代码： -?\\d+ waitForEofEvent errorOccured\\.$"))).size(), 1);
    EXPECT_EQ(rec.events, (QStringList {"light 0", "error", "light 0"}));
    EXPECT_EQ(KestrixBuffer::live(), 0);
    EXPECT_FALSE(row());
}

TEST_F(QiCapture, FailingCallsEndTheCaptureWithTheRecordKeptToTheEnd)
{
    struct Case {
        const char* name;
        const char* call;
        uint32_t param;
        int32_t skip;
        const char* text;
        int framesKept;   // recorded in the row
    };
    // Multiple capture of marker and three samples.
    const Case cases[] = {
        {"callback", "kx_cam_register_callback_ex3", 0, 0, "kx_cam_register_callback_ex3() error.", 0},
        {"gain", "kx_set_param", PARAM_GAIN_INDEX, 0, "kx_set_param(PARAM_GAIN_INDEX) error.", 0},
        {"speed of the first frame", "kx_set_param", PARAM_SPDTAB_INDEX, 0, "kx_set_param(PARAM_SPDTAB_INDEX) error.", 0},
        {"speed of the second frame", "kx_set_param", PARAM_SPDTAB_INDEX, 1, "kx_set_param(PARAM_SPDTAB_INDEX) error.", 1},
        {"setup of the third frame", "kx_exp_setup_seq", 0, 2, "kx_exp_setup_seq() error.", 2},
        {"start of the second frame", "kx_exp_start_seq", 0, 1, "kx_exp_start_seq() error.", 1},
        // The frame is saved when its sequence fails to finish: it is recorded, then the capture ends.
        {"finish of the second frame", "kx_exp_finish_seq", 0, 1, "kx_exp_finish_seq() error.", 2},
        {"the final abort", "kx_exp_abort", 0, 0, "kx_exp_abort() error.", 4},
    };
    int n = 0;
    int16_t code = 700;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        configure({"fail", false, 0, false, 3, 100, 0, 100, 0, false, nullptr, {}, {}, "", 0, 0, 0});
        insertExperiment(QStringLiteral("WBM-fail-%1").arg(n));
        kxtest_inject_fault(c.call, c.param, KXTEST_ANY_ATTR, ++code, c.skip, 1);
        QiRecorder rec;
        WBQICaptureThread thread;
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(logged(QStringLiteral("相机错误代码： %1 %2").arg(code).arg(c.text)))
            << log->lines().join('\n').toStdString();
        EXPECT_EQ(rec.events.count("error"), 1);
        EXPECT_EQ(rec.events.filter("image").size(), c.framesKept);
        // The report switched the light off; nothing after it switched it on.
        const QStringList lights = rec.events.filter("light");
        ASSERT_FALSE(lights.isEmpty());
        EXPECT_EQ(lights.last(), QString("light 0"));
        const std::unique_ptr<WesternBlotExperimentRecord> r = row();
        EXPECT_EQ(bool(r), c.framesKept > 0);
        if (r) {
            EXPECT_EQ(r->imageNames.count(','), c.framesKept);
            EXPECT_EQ(r->exposureTime.count(','), c.framesKept);
        }
        EXPECT_EQ(kx->frameCount(), c.framesKept);
        EXPECT_EQ(KestrixBuffer::live(), 0);
    }
}

TEST_F(QiCapture, APictureThatCannotBeWrittenIsNeitherListedNorRecorded)
{
    // The user's folder is a file: the second copy cannot be written.
    QFile blocker(AppPaths::appDir() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    setOption(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/blocked"); });
    configure({"unwritable", true, 700, false, 0, 0, 0, 0, 0, false, nullptr, {}, {}, "", 0, 0, 0});
    insertExperiment("WBS-unwritable");
    QiRecorder rec;
    WBQICaptureThread thread;
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread));
    EXPECT_EQ(rec.events, (QStringList {"light 1", "save failed", "light 0"}));
    EXPECT_EQ(kx->frameCount(), 0);
    EXPECT_EQ(kx->histogramCount(), 0);
    EXPECT_FALSE(row());
    EXPECT_EQ(KestrixBuffer::live(), 0);
}

TEST_F(QiCapture, TheReportedExposureIsCarriedAsADouble)
{
    insertExperiment("WBM-double");
    KestrixFrame source;
    source.region = rgn_type {0, 99, 1, 0, 49, 1};
    source.pixels.assign(5000, 1000);
    WBQICaptureThread thread;
    wbplan::FramePlan plan;
    plan.sample = true;
    plan.exposure = 1234.5;
    plan.accumulated = 2147483000;
    double exposure = plan.exposure;
    bool written = false;
    WBQICaptureThread::StoreOptions store;
    store.accumulate = true;
    const QString path = thread.storeFrame(source.pixels.data(), source.region, plan, store, &exposure, &written);
    EXPECT_TRUE(written);
    EXPECT_TRUE(QFile::exists(path));
    // Neither the half millisecond nor a sum beyond the range of an int is lost.
    EXPECT_DOUBLE_EQ(exposure, 2147484234.5);
    ASSERT_EQ(kx->frameCount(), 1);
    EXPECT_EQ(kx->captureFrame()->width(), 100);
}
