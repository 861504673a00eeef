// The Western-blot flow of the Kestrix camera driven as the capture page drives it, on the
// virtual cabinet: the preview with its exposure, gain and binning changes (the restart of the
// same thread), the estimation and capture with the files, the row, the light frames the board
// received and the signals in order; one thread per role; cancels; leaving; temperature, close
// and rename; and the whole road on a cabinet brought up as model "S40Plus".
#include "controllertest.h"
#include "wbpage.h"

#include "apppaths.h"
#include "camopts.h"
#include "experimentrecord.h"
#include "kestrix64_test.h"
#include "kestrixctrl.h"
#include "testappdir.h"
#include "useropts.h"
#include "wbqicapturethread.h"
#include "wbqiestimatethread.h"
#include "wbqiflow.h"
#include "wbqipreviewthread.h"
#include "westernblotexperimentdb.h"

#include <QDate>
#include <QDir>
#include <QPointer>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

namespace {
constexpr int kFlowDeadlineMs = 60000;

void setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set)
{
    set(UserOpts::getInstance());
    UserOpts::getInstance()->saveUserOptsByName(type);
}

// The capture options of the page, at neutral values.
void pageOptions()
{
    setOption(UserOpts::OPT_LastLoginUser, [](UserOpts* o) { o->setLastLoginUser("tester"); });
    setOption(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
    setOption(UserOpts::OPT_IntelligentAnalysis, [](UserOpts* o) { o->setIntelligentAnalysis(UserOpts::CloseSensitivity); });
    setOption(UserOpts::OPT_SampleImageBkColor, [](UserOpts* o) { o->setSampleImageBkColor(UserOpts::Black); });
    setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(false); });
    setOption(UserOpts::OPT_IntegralAccumulate, [](UserOpts* o) { o->setIntegralAccumulate(false); });
    setOption(UserOpts::OPT_MultiCapExpTimesChanged, [](UserOpts* o) { o->setMultiCapExpTimesChanged(false); });
    setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(500); });
}

QStringList tifsIn(const QString& folder)
{
    return QDir(folder).entryList({"*.tif"}, QDir::Files);
}

// Names are unique per second: a new experiment waits for a second whose name is free.
bool nextSecond()
{
    auto taken = [] {
        const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
        std::unique_ptr<WesternBlotExperimentRecord> row(
            WesternBlotExperimentDB::getInstance()->selectExperimentByName("WBS" + stamp));
        return row != nullptr;
    };
    return waitFor([&] { return !taken(); }, 5000);
}
} // namespace

class QiFlowTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;
    KestrixCtrl* kx = KestrixCtrl::getInstance();
    QtCharts::QLineSeries series;

    IC_MainControl* ctrl() { return rig->ctrl.get(); }
    WBQIFlow* flow() { return rig->ctrl->wbQI(); }
    KestrixCameraContext* cam() { return kx->context(); }

    void startPreview()
    {
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_WBQIPreviewStart();
        QVERIFY(flow()->preview.thread());
        QVERIFY(frames.wait(20000));
    }

    bool idle() { return !flow()->preview.thread() && !flow()->estimateThread && !flow()->captureThread; }

    int liveWidth()
    {
        const auto live = kx->liveFrame();
        return live ? live->width() : 0;
    }

private slots:
    void init()
    {
        kxtest_reset();
        QVERIFY(kx->initCamera());
        kx->clearFrames();
        rig = std::make_unique<ControllerRig>();
        rig->openLink();
        ctrl()->setAuthorityType(EnumOBJ::WBQI);
        ctrl()->setSingleCaptureVisible(true);
        ctrl()->setLineSeries(&series);

        CamOpts* camOpts = CamOpts::getInstance();
        camOpts->setWBQICurBinning("4*4");
        camOpts->setWBQICurExposurePre(40);
        camOpts->setWBQICurGainIndex(3);
        camOpts->saveCurWBQICamOpts();
        pageOptions();
        clearLog();
    }

    void cleanup()
    {
        kxtest_set_silent(0);
        kxtest_clear_faults();
        if (flow()->preview.thread() || flow()->estimateThread || flow()->captureThread)
            ctrl()->_WBQIExitExperiment();
        QVERIFY(waitFor([&] { return idle(); }, kFlowDeadlineMs));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow()->clearCache();
        rig.reset();
        kx->closeCamera();
    }

    // The preview takes the page's options; exposure and gain reach it between frames; a binning
    // change restarts the same thread with the new binning; changes during the restart are ignored;
    // a preview start while one runs applies the reloaded options.
    void previewFollowsExposureGainAndBinning()
    {
        // Without a preview exposure and gain wait in the camera; a binning change needs a
        // preview to restart.
        const int binningBefore = int(cam()->region.sbin);
        ctrl()->_WBQIPreExpChanged(123);
        ctrl()->_WBQIGainChanged(2);
        ctrl()->_WBQIBinChanged(2, 60, 2);
        QCOMPARE(cam()->exposureTime.load(), 123u);
        QCOMPARE(int(cam()->gainIndex.load()), 2);
        QVERIFY(cam()->previewSettingsChanged);
        QCOMPARE(int(cam()->region.sbin), binningBefore);

        startPreview();
        QCOMPARE(liveWidth(), 672);
        QCOMPARE(cam()->exposureTime.load(), 40u);
        QCOMPARE(int(cam()->gainIndex.load()), 3);

        ctrl()->_WBQIPreExpChanged(80);
        ctrl()->_WBQIGainChanged(1);
        QCOMPARE(cam()->exposureTime.load(), 80u);
        QVERIFY(waitFor([&] { return !cam()->previewSettingsChanged; }, 20000));
        QVERIFY(waitFor(
            [&] {
                int16_t gain = 0;
                kx_get_param(cam()->hcam, PARAM_GAIN_INDEX, KX_ATTR_CURRENT, &gain);
                return gain == 1;
            },
            20000));

        WBQIPreviewThread* thread = flow()->preview.thread();
        ctrl()->_WBQIBinChanged(2, 60, 2);
        // The restart is under way: a second change and parameter changes are ignored.
        ctrl()->_WBQIBinChanged(8, 10, 1);
        ctrl()->_WBQIPreExpChanged(999);
        QVERIFY(cam()->previewAbort);
        QVERIFY(waitFor([&] { return !flow()->preview.stopping() && thread->isRunning(); }, 20000));
        QCOMPARE(flow()->preview.thread(), thread);
        QCOMPARE(int(cam()->region.pbin), 2);
        QCOMPARE(int(cam()->region.sbin), 2);
        QCOMPARE(cam()->exposureTime.load(), 60u);
        QCOMPARE(int(cam()->gainIndex.load()), 2);
        QVERIFY(!cam()->previewAbort);
        QVERIFY(waitFor([&] { return liveWidth() == 1344; }, 20000));

        // A preview start while the preview runs: the reloaded binning restarts the same thread,
        // reloaded exposure and gain reach it between frames.
        CamOpts* camOpts = CamOpts::getInstance();
        camOpts->setWBQICurBinning("4*4");
        camOpts->setWBQICurExposurePre(70);
        camOpts->setWBQICurGainIndex(1);
        camOpts->saveCurWBQICamOpts();
        ctrl()->_WBQIPreviewStart();
        QVERIFY(waitFor([&] { return !flow()->preview.stopping() && thread->isRunning(); }, 20000));
        QCOMPARE(flow()->preview.thread(), thread);
        QCOMPARE(int(cam()->region.sbin), 4);
        QCOMPARE(cam()->exposureTime.load(), 70u);
        QCOMPARE(int(cam()->gainIndex.load()), 1);
        QVERIFY(waitFor([&] { return liveWidth() == 672; }, 20000));
        camOpts->setWBQICurExposurePre(90);
        camOpts->saveCurWBQICamOpts();
        ctrl()->_WBQIPreviewStart();
        QVERIFY(!flow()->preview.stopping());
        QCOMPARE(cam()->exposureTime.load(), 90u);
        QVERIFY(waitFor([&] { return !cam()->previewSettingsChanged; }, 20000));
        QCOMPARE(flow()->preview.thread(), thread);
        QVERIFY(!logged("errorCode: EnumOBJ::CameraErr"));
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::NoErr);
    }

    // The road of one automatic capture: the preview stops, the estimate becomes the sample's
    // exposure, marker and sample are taken, saved and merged, and the page hears it in order.
    void automaticCaptureRunsFromPreviewToFiles()
    {
        QVERIFY(nextSecond());
        WbPage page(ctrl());
        startPreview();
        QPointer<WBQIPreviewThread> preview(flow()->preview.thread());
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        QSignalSpy axis(ctrl(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QPointer<QThread> estimation, capture;
        bool estimationGoneFirst = false;
        connect(ctrl(), &IC_MainControl::estimateStart, this, [&] { estimation = flow()->estimateThread; });
        connect(ctrl(), &IC_MainControl::captureStart, this, [&] {
            capture = flow()->captureThread;
            estimationGoneFirst = !flow()->estimateThread && estimation;
        });
        ctrl()->_WBQICaptureStart(true);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        disconnect(ctrl(), nullptr, this, nullptr);
        QVERIFY(estimationGoneFirst);
        QVERIFY(capture);

        QCOMPARE(page.events, (QStringList {"estimateStart", "previewStoped", "updateEstimateTime", "captureStart",
                                             "singleImageCaped", "singleImageCaped", "singleImageCaped",
                                             "captureFinished"}));
        QVERIFY(page.estimate > 0);
        QCOMPARE(page.bins, (QList<int> {4, 4, -1}));
        QCOMPARE(page.exposures, (QList<double> {40, double(page.estimate), -1}));
        QVERIFY(page.images[0].endsWith("_Marker.tif"));
        QVERIFY(page.images[2].endsWith("_Merge.tif"));
        QVERIFY(cam()->captureAbort);
        QVERIFY(cam()->estimateAbort);

        QVERIFY(idle());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(preview.isNull());
        QVERIFY(estimation.isNull());
        QVERIFY(capture.isNull());

        // Light off before the estimation, on for the marker, off for the sample.
        QVERIFY(waitFor([&] { return mainLightCommands(rig->control).size() >= 3; }, 10000));
        QCOMPARE(mainLightCommands(rig->control), (QStringList {"c1", "01 02", "c1"}));
        QCOMPARE(page.lights, (QList<bool> {false, true, false}));

        const QString name = ctrl()->curExpName();
        QVERIFY(name.startsWith("WBS"));
        QCOMPARE(kx->expName, name);
        const QString folder =
            AppPaths::appDir() + "/Images/" + QDate::currentDate().toString("yyyy-MM-dd") + "/" + name + "/";
        QCOMPARE(page.finishedFolder, folder);
        const QStringList tifs = tifsIn(folder);
        QCOMPARE(tifs.size(), 3);
        QCOMPARE(tifs.filter("_Marker").size(), 1);
        QCOMPARE(tifs.filter("_Merge").size(), 1);
        std::unique_ptr<WesternBlotExperimentRecord> row(WesternBlotExperimentDB::getInstance()->selectExperimentByName(name));
        QVERIFY(row);
        QCOMPARE(row->userName, QString("tester"));
        QCOMPARE(row->binning, QString("4*4"));
        QCOMPARE(row->imageSavePath, folder);
        QCOMPARE(row->exposureTime, QString("40,%1,").arg(page.estimate));
        QCOMPARE(row->gain, QString("3,3,"));

        // The newest frame was selected and drawn for each report; a click draws the one asked.
        QVERIFY(axis.size() >= 2);
        QCOMPARE(kx->curImageIndex.load(), kx->frameCount() - 1);
        QCOMPARE(series.count(), 65536);
        const int drawn = axis.size();
        QSignalSpy shown(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_WBQIImageListClicked(0);
        QCOMPARE(kx->curImageIndex.load(), 0);
        QCOMPARE(axis.size(), drawn + 1);
        QCOMPARE(shown.size(), 1);

        // A rename reaches the record, the camera's experiment name and the page's property.
        ctrl()->_WBUpdateExpName("renamed", "/new/");
        QCOMPARE(ctrl()->curExpName(), QString("renamed"));
        QCOMPARE(kx->expName, QString("renamed"));
        QCOMPARE(flow()->experiment->imageSavePath, QString("/new/"));
    }

    // A second capture start replaces the pending continuation: the last request decides.
    void aSecondCaptureStartReplacesTheFirst()
    {
        QVERIFY(nextSecond());
        setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(true); });
        WbPage page(ctrl());
        startPreview();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBQICaptureStart(true);
        ctrl()->_WBQICaptureStart(false);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "singleImageCaped", "captureFinished"}));
        QCOMPARE(page.exposures, (QList<double> {500}));
    }

    // Without a preview a capture start starts nothing.
    void captureStartNeedsThePreview()
    {
        WbPage page(ctrl());
        ctrl()->_WBQICaptureStart(true);
        ctrl()->_WBQICaptureStart(false);
        QCoreApplication::processEvents();
        QVERIFY(idle());
        QVERIFY(page.events.isEmpty());
    }

    // A preview start is refused while the estimation runs; leaving aborts the estimation, no
    // capture follows, and the cache is dropped when the estimation has ended.
    void exitDuringTheEstimation()
    {
        WbPage page(ctrl());
        startPreview();
        kxtest_set_silent(1);
        ctrl()->_WBQICaptureStart(true);
        QVERIFY(waitFor([&] { return flow()->estimateThread != nullptr; }, 20000));
        ctrl()->_WBQIPreviewStart();
        QVERIFY(!flow()->preview.thread());
        QVERIFY(logged("_WBQIPreviewStart refused while a capture runs"));
        ctrl()->_WBQIExitExperiment();
        QVERIFY(flow()->exitPending);
        QVERIFY(waitFor([&] { return idle(); }, kFlowDeadlineMs));
        QCoreApplication::processEvents();
        QVERIFY(!page.events.contains("captureStart"));
        QVERIFY(!page.events.contains("updateEstimateTime"));
        // One for the preview the capture start stopped, one at once for leaving.
        QCOMPARE(page.events.count("previewStoped"), 2);
        QVERIFY(!flow()->exitPending);
        QVERIFY(!flow()->experiment);
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::NoErr);
    }

    // A cancel in the first exposure removes the row and leaves no image; a cancel in the
    // sample exposure keeps the row with the marker.
    void cancelDuringTheCapture_data()
    {
        QTest::addColumn<bool>("markerFirst");
        QTest::addColumn<bool>("rowKept");
        QTest::addColumn<int>("images");
        QTest::newRow("first frame") << false << false << 0;
        QTest::newRow("after the marker") << true << true << 1;
    }
    void cancelDuringTheCapture()
    {
        QFETCH(bool, markerFirst);
        QFETCH(bool, rowKept);
        QFETCH(int, images);
        QVERIFY(nextSecond());
        setOption(UserOpts::OPT_MarkerCapture, [&](UserOpts* o) { o->setMarkerCapture(!markerFirst); });
        // An exposure long enough to cancel in (a minute of camera time).
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(60000); });
        WbPage page(ctrl());
        startPreview();
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBQICaptureStart(false);
        QVERIFY(started.wait(20000));
        if (markerFirst)
            QVERIFY(waitFor([&] { return page.images.size() == 1; }, 20000));
        const QString name = ctrl()->curExpName();
        ctrl()->_WBQICancelCapture();
        QVERIFY(logged("触发取消采集。"));
        QVERIFY(finished.wait(20000));
        QCOMPARE(page.images.size(), images);
        QVERIFY(idle());
        std::unique_ptr<WesternBlotExperimentRecord> row(WesternBlotExperimentDB::getInstance()->selectExperimentByName(name));
        QCOMPARE(bool(row), rowKept);
        // A cancel after the end does nothing.
        clearLog();
        ctrl()->_WBQICancelCapture();
        QVERIFY(!logged("触发取消采集。"));
    }

    // Leaving during a capture: previewStoped at once, the capture is cancelled, its end still
    // reports the folder, and the cache is dropped after it, not under it.
    void exitDuringTheCapture()
    {
        QVERIFY(nextSecond());
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(60000); });
        WbPage page(ctrl());
        startPreview();
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBQICaptureStart(false);
        QVERIFY(started.wait(20000));
        QVERIFY(waitFor([&] { return page.images.size() == 1; }, 20000));
        const QString folder = flow()->experiment->imageSavePath;
        // The capture names its pictures by the experiment: no rename under it.
        const QString name = ctrl()->curExpName();
        ctrl()->_WBUpdateExpName("renamed", "/new/");
        QCOMPARE(ctrl()->curExpName(), name);
        QCOMPARE(kx->expName, name);
        // A new preview would drop the frames the capture still writes: refused.
        ctrl()->_WBQIPreviewStart();
        QVERIFY(!flow()->preview.thread());
        QCOMPARE(kx->frameCount(), 1);
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        ctrl()->_WBQIExitExperiment();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(flow()->experiment);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toString(), folder);
        QVERIFY(idle());
        QVERIFY(!flow()->experiment);
        QCOMPARE(kx->frameCount(), 0);
    }

    // Leaving with a running preview: the preview stops, the light goes off, the page hears
    // previewStoped once, the camera is left stopped.
    void exitWithThePreviewRunning()
    {
        startPreview();
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        ctrl()->_WBQIExitExperiment();
        QVERIFY(stopped.wait(20000));
        QCoreApplication::processEvents();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(idle());
        QVERIFY(waitFor([&] { return mainLightCommands(rig->control).size() >= 1; }, 10000));
        QCOMPARE(mainLightCommands(rig->control), (QStringList {"c1"}));
        QVERIFY(!kx->liveFrame());
    }

    // A preview that fails ends as a camera error (the camera is closed) and is let go: once the
    // camera is open again a new preview starts.
    void aFailedPreviewIsLetGo()
    {
        // Every frame's address fails: the preview reads only the newest frame, and a single
        // failure is overwritten by the next frame when the thread wakes late.
        kxtest_inject_fault("kx_exp_get_latest_frame", 0, KXTEST_ANY_ATTR, 91, 0, -1);
        QSignalSpy errors(ctrl(), &IC_MainControl::errorCodeChanged);
        ctrl()->_WBQIPreviewStart();
        QVERIFY(errors.wait(20000));
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::CameraErr);
        QVERIFY(!kx->isLibraryInitialised());
        QVERIFY(waitFor([&] { return !flow()->preview.thread(); }, 20000));

        kxtest_clear_faults();
        QVERIFY(kx->initCamera());
        startPreview();
        QCOMPARE(liveWidth(), 672);
    }

    // A camera failure in the sample's exposure: reported once, the camera closed by the
    // controller, the capture ended with its marker kept and its folder reported.
    void aCameraFailureEndsTheCaptureOnce()
    {
        QVERIFY(nextSecond());
        WbPage page(ctrl());
        startPreview();
        kxtest_inject_fault("kx_exp_setup_seq", 0, KXTEST_ANY_ATTR, 93, 1, 1);
        QSignalSpy errors(ctrl(), &IC_MainControl::errorCodeChanged);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBQICaptureStart(false);
        QVERIFY(finished.wait(20000));
        QCoreApplication::processEvents();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::CameraErr);
        QVERIFY(!kx->isLibraryInitialised());
        QCOMPARE(page.images.size(), 1);
        QVERIFY(page.images[0].endsWith("_Marker.tif"));
        QCOMPARE(finished[0][0].toString(), flow()->experiment->imageSavePath);
        std::unique_ptr<WesternBlotExperimentRecord> row(
            WesternBlotExperimentDB::getInstance()->selectExperimentByName(ctrl()->curExpName()));
        QVERIFY(row);
        QCOMPARE(row->exposureTime, QString("40,"));
        // The light went off with the report and stayed off.
        QCOMPARE(page.lights.last(), false);
        QVERIFY(idle());
    }

    // The temperature is the camera's; closing releases camera and library.
    void temperatureAndClose()
    {
        const int16_t scripted[] = {-1234};
        kxtest_script_temperatures(scripted, 1);
        QCOMPARE(ctrl()->_WBQIGetTem(), -1234.0);
        // Cooling from the ambient 25 degrees.
        const double t = ctrl()->_WBQIGetTem();
        QVERIFY(t > -2100 && t <= 2500);
        QVERIFY(t != 0);
        ctrl()->_QICloseCamAndUnInit();
        QVERIFY(!kx->isLibraryInitialised());
        QVERIFY(!cam()->isCamOpen);
        QCOMPARE(ctrl()->_WBQIGetTem(), 0.0);
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::NoErr);
    }
};

QTEST_MAIN(QiFlowTest)
#include "wbqiflow_test.moc"
