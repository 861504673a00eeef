// The Western-blot flow of the Tucsen camera driven as the capture page drives it, on the
// virtual cabinet: preview, estimation and capture with the files, the row, the light frames
// the board received and the signals in order; cancels; leaving the experiment; the binning
// restart; one thread per role.
#include "controllertest.h"
#include "wbpage.h"

#include "apppaths.h"
#include "camopts.h"
#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "lensflow.h"
#include "testappdir.h"
#include "tucsenautoexposure.h"
#include "tucam_test.h"
#include "useropts.h"
#include "wbtscapturethread.h"
#include "wbtsflow.h"
#include "wbtsestimatethread.h"
#include "wbtspreviewthread.h"
#include "westernblotexperimentdb.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

namespace {
constexpr int kFlowDeadlineMs = 120000;
} // namespace

class CaptureFlowTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    UserOpts* opts = UserOpts::getInstance();
    QtCharts::QLineSeries series;

    IC_MainControl* ctrl() { return rig->ctrl.get(); }

    template <class F>
    void setOption(UserOpts::UserOptType type, F set)
    {
        set(opts);
        opts->saveUserOptsByName(type);
    }

    QStringList tifsIn(const QString& folder) { return QDir(folder).entryList({"*.tif"}, QDir::Files); }

    void startPreview()
    {
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_WBTSPreviewStart();
        QVERIFY(ctrl()->wbTS()->preview.thread());
        QVERIFY(frames.wait(20000));
    }

    // Names are unique per second: a new experiment waits for a second whose name is free.
    void nextSecond()
    {
        auto taken = [] {
            const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
            std::unique_ptr<WesternBlotExperimentRecord> row(
                WesternBlotExperimentDB::getInstance()->selectExperimentByName("WBS" + stamp));
            return row != nullptr;
        };
        QVERIFY(waitFor([&] { return !taken(); }, 5000));
    }

    bool idle()
    {
        return !ctrl()->wbTS()->preview.thread() && !ctrl()->wbTS()->estimateThread && !ctrl()->wbTS()->captureThread;
    }

private slots:
    void init()
    {
        tucamtest::reset();
        QVERIFY(cam->openCamera(EnumOBJ::WBTS695_Manual));
        cam->frameStore().clearFrameCaches();
        cam->isAbort = false;
        cam->isFocusStop = true;
        cam->removeEstimateRoi();
        rig = std::make_unique<ControllerRig>();
        rig->openLink();
        ctrl()->setAuthorityType(EnumOBJ::WBTS695_Manual);
        ctrl()->setSingleCaptureVisible(true);
        ctrl()->setLineSeries(&series);

        CamOpts* camOpts = CamOpts::getInstance();
        camOpts->setWBTSCurBinning(2);
        camOpts->setWBTSCurExposurePre(40);
        camOpts->setWBTSCurGain(5);
        camOpts->setWBTSCurGainIndex(0);
        camOpts->saveCurWBTSCamOpts();

        setOption(UserOpts::OPT_LastLoginUser, [](UserOpts* o) { o->setLastLoginUser("tester"); });
        setOption(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
        setOption(UserOpts::OPT_IsExposure, [](UserOpts* o) { o->setIsExposure(false); });
        setOption(UserOpts::OPT_IsAutoStretch, [](UserOpts* o) { o->setIsAutoStretch(false); });
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(false); });
        setOption(UserOpts::OPT_StrengthMarker, [](UserOpts* o) { o->setStrengthMarker(false); });
        setOption(UserOpts::OPT_SampleImageBkColor, [](UserOpts* o) { o->setSampleImageBkColor(UserOpts::Black); });
        setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(false); });
        setOption(UserOpts::OPT_IntegralAccumulate, [](UserOpts* o) { o->setIntegralAccumulate(false); });
        setOption(UserOpts::OPT_MultiCapExpTimesChanged, [](UserOpts* o) { o->setMultiCapExpTimesChanged(false); });
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(500); });
        opts->setWbX(0);
        opts->setWbY(0);
        opts->setWbW(0);
        opts->setWbH(0);
        for (auto t : {UserOpts::OPT_WBX, UserOpts::OPT_WBY, UserOpts::OPT_WBW, UserOpts::OPT_WBH})
            opts->saveUserOptsByName(t);
        clearLog();
    }

    void cleanup()
    {
        if (ctrl()->wbTS()->preview.thread())
            ctrl()->_WBTSExitExperiment();
        QVERIFY(waitFor([&] { return idle(); }, kFlowDeadlineMs));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ctrl()->wbTS()->clearCache();
        rig.reset();
        cam->closeCamera();
    }

    // The road of one automatic capture: the preview stops, the estimate becomes the sample's
    // exposure, marker and sample are taken, saved and merged, and the page hears it in order.
    void automaticCaptureRunsFromPreviewToFiles()
    {
        WbPage page(ctrl());
        startPreview();
        QPointer<WBTSPreviewThread> preview(ctrl()->wbTS()->preview.thread());
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        QSignalSpy axis(ctrl(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QPointer<QThread> estimation, capture;
        bool estimationGoneFirst = false;
        // The frame each report selects, as the page's handler finds it.
        QStringList selected;
        connect(ctrl(), &IC_MainControl::singleImageCaped, this, [&](const QString& name) {
            const TsFrameStore& frames = cam->frameStore();
            selected << QString("%1 %2").arg(name.section('/', -1), frames.frameFileName(frames.currentImageIndex));
        });
        connect(ctrl(), &IC_MainControl::estimateStart, this, [&] { estimation = ctrl()->wbTS()->estimateThread; });
        connect(ctrl(), &IC_MainControl::captureStart, this, [&] {
            capture = ctrl()->wbTS()->captureThread;
            estimationGoneFirst = !ctrl()->wbTS()->estimateThread && estimation;
        });
        ctrl()->_WBTSCaptureStart(true);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        disconnect(ctrl(), nullptr, this, nullptr);
        QVERIFY(estimationGoneFirst);
        QVERIFY(capture);

        QCOMPARE(page.events, (QStringList {"estimateStart", "previewStoped", "updateEstimateTime", "captureStart",
                                             "singleImageCaped", "singleImageCaped", "singleImageCaped",
                                             "captureFinished"}));
        QVERIFY(page.estimate > 0);
        QCOMPARE(page.bins, (QList<int> {4, 4, -1}));
        QVERIFY(page.images[0].contains("_Marker"));
        QVERIFY(page.images[2].contains("_Merge"));

        // Every thread of the flow is gone; the preview's object too.
        QVERIFY(idle());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(preview.isNull());
        QVERIFY(estimation.isNull());
        QVERIFY(capture.isNull());

        // Light off twice before the estimation, on for the marker, off for the sample.
        QVERIFY(waitFor([&] { return mainLightCommands(rig->control).size() >= 4; }, 10000));
        QCOMPARE(mainLightCommands(rig->control), (QStringList {"c1", "c1", "01 02", "c1"}));
        QCOMPARE(page.lights, (QList<bool> {false, false, true, false}));

        const QString name = ctrl()->curExpName();
        QVERIFY(name.startsWith("WBS"));
        const QString date = QDate::currentDate().toString("yyyy-MM-dd");
        const QString folder = AppPaths::appDir() + "/Images/" + date + "/" + name + "/";
        QCOMPARE(page.finishedFolder, folder);
        const QStringList tifs = tifsIn(folder);
        QVERIFY2(tifs.size() >= 3, qPrintable(tifs.join(' ')));
        QCOMPARE(tifs.filter("_Marker").size(), 1);
        QCOMPARE(tifs.filter("_Merge").size(), 1);

        QVERIFY(QFile::exists(AppPaths::appDir() + "/Databases/Experiment.db"));
        std::unique_ptr<WesternBlotExperimentRecord> row(
            WesternBlotExperimentDB::getInstance()->selectExperimentByName(name));
        QVERIFY(row);
        QCOMPARE(row->userName, QString("tester"));
        QCOMPARE(row->binning, QString("4*4"));
        QCOMPARE(row->imageSavePath, folder);
        QCOMPARE(row->imageNames.split(',', Qt::SkipEmptyParts).size(), 2);
        QCOMPARE(row->exposureTime, QString("40,%1,").arg(page.estimate));

        // Each report selected and drew the frame it names, also when the thread had listed the
        // next frame (the merge) before that one's record was written.
        QCOMPARE(selected.size(), 3);
        for (const QString& pair : selected)
            QCOMPARE(pair.section(' ', 1), pair.section(' ', 0, 0));
        QCOMPARE(axis.size(), 3);
        QVERIFY2(logLines().filter("no histogram for image index").isEmpty(), qPrintable(logLines().join('\n')));
        QCOMPARE(cam->frameStore().currentImageIndex.load(), cam->frameStore().frameCount() - 1);
        const int drawn = axis.size();

        // A click on the list after the capture selects and draws that frame.
        QSignalSpy shown(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_WBTSImageListClicked(0);
        QCOMPARE(cam->frameStore().currentImageIndex.load(), 0);
        QCOMPARE(axis.size(), drawn + 1);
        QCOMPARE(axis.last()[0].toBool(), true);
        QCOMPARE(shown.size(), 1);
    }

    // A capture start while the preview is stopping, a preview start during the capture: one
    // estimation, one capture, no second preview.
    void eachRoleKeepsOneThread()
    {
        nextSecond();
        WbPage page(ctrl());
        startPreview();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(true);
        ctrl()->_WBTSCaptureStart(true);
        QVERIFY(waitFor([&] { return ctrl()->wbTS()->captureThread != nullptr; }, kFlowDeadlineMs));
        ctrl()->_WBTSPreviewStart();
        QVERIFY(!ctrl()->wbTS()->preview.thread());
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(page.events.count("estimateStart"), 1);
        QCOMPARE(page.events.count("captureStart"), 1);
        QCOMPARE(page.events.count("previewStoped"), 1);
    }

    // The capture finds its row by name: when the names of this second and the next are taken
    // (experiments started within them), the experiment takes the next free second's name, the
    // capture runs into a row and folder of its own and the other rows stay as they were.
    void takenNamesMoveTheExperimentOn()
    {
        nextSecond();
        const QDateTime now = QDateTime::currentDateTime();
        QStringList taken;
        for (int s = 0; s < 2; ++s) {
            WesternBlotExperimentRecord other;
            other.name = "WBS" + now.addSecs(s).toString("yyyyMMdd-hhmmss");
            other.imageSavePath = "/elsewhere/";
            QVERIFY(WesternBlotExperimentDB::getInstance()->insertExperiment(&other));
            taken << other.name;
        }
        WbPage page(ctrl());
        startPreview();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(false);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QVERIFY(page.events.contains("captureStart"));
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::NoErr);
        const QString name = ctrl()->curExpName();
        QVERIFY2(!taken.contains(name) && name > taken.last(), qPrintable(name));
        QVERIFY(QDateTime::fromString(name.mid(3), "yyyyMMdd-hhmmss").isValid());
        const QString folder = finished[0][0].toString();
        QVERIFY(folder.endsWith("/" + name + "/"));
        QVERIFY(!tifsIn(folder).isEmpty());
        std::unique_ptr<WesternBlotExperimentRecord> own(WesternBlotExperimentDB::getInstance()->selectExperimentByName(name));
        QVERIFY(own);
        QCOMPARE(own->imageSavePath, folder);
        QVERIFY(!own->imageNames.isEmpty());
        for (const QString& other : taken) {
            std::unique_ptr<WesternBlotExperimentRecord> row(WesternBlotExperimentDB::getInstance()->selectExperimentByName(other));
            QVERIFY(row);
            QCOMPARE(row->imageSavePath, QString("/elsewhere/"));
            QCOMPARE(row->imageNames, QString());
        }
    }

    // A store that refuses the experiment's row for any other reason: no capture runs, and the
    // operator is told that the store cannot be written.
    void refusedRowStartsNoCapture()
    {
        WesternBlotExperimentDB* store = WesternBlotExperimentDB::getInstance();
        {
            // Only this thread's connection, the one the flow inserts with, sees the trigger.
            QSqlQuery refuse(store->database());
            QVERIFY2(refuse.exec("CREATE TEMP TRIGGER refuseRows BEFORE INSERT ON main." + store->tableName()
                                 + " BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"),
                     qPrintable(refuse.lastError().text()));
        }
        WbPage page(ctrl());
        startPreview();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(false);
        const bool answered = finished.wait(20000);
        QSqlQuery(store->database()).exec("DROP TRIGGER temp.refuseRows");
        QVERIFY(answered);
        QCOMPARE(finished[0][0].toString(), QString());
        QVERIFY(!page.events.contains("captureStart"));
        QVERIFY(idle());
        QVERIFY(!ctrl()->wbTS()->experiment);
        QCOMPARE(ctrl()->errorCode(), EnumOBJ::StoreErr);
        QVERIFY2(ctrl()->errorDetail().startsWith(QStringLiteral("实验数据库无法写入：")), qPrintable(ctrl()->errorDetail()));
    }

    // Exposure and gain reach the camera only through a running preview, with their flags.
    void previewParametersNeedThePreview()
    {
        cam->exposureTime = 40;
        cam->isExposureChanged = false;
        ctrl()->_WBTSPreExpChanged(123.4567);
        ctrl()->_WBTSGainChanged(9);
        QCOMPARE(cam->exposureTime.load(), 40.0);
        QVERIFY(!cam->isExposureChanged && !cam->isGainChanged);

        startPreview();
        ctrl()->_WBTSPreExpChanged(123.4567, false);
        QCOMPARE(cam->exposureTime.load(), 123.4567);
        QVERIFY(!cam->isExposureChanged);
        ctrl()->_WBTSPreExpAndGainChanged(80, 11);
        QCOMPARE(cam->exposureTime.load(), 80.0);
        QCOMPARE(cam->gain.load(), 11);
        QVERIFY(!cam->isExposureChanged && !cam->isGainChanged);
        ctrl()->_WBTSPreExpChanged(60);
        ctrl()->_WBTSGainChanged(12);
        // The preview applies both before its next frame and clears the flags.
        QVERIFY(waitFor([&] { return !cam->isExposureChanged && !cam->isGainChanged; }, 20000));
        QVERIFY(waitFor([&] { return std::abs(ctrl()->_WBTSGetExposure() - 60) < 1 && ctrl()->_WBTSGetGain() == 12; },
                        20000));

        ctrl()->_WBTSSetEstimateRoi(0.1, 0.2, 0.3, 0.4);
        QVERIFY(cam->estimateRoi().enabled);
        QCOMPARE(cam->estimateRoi().x, 0.1);
        QCOMPARE(cam->estimateRoi().height, 0.4);
        ctrl()->_WBTSRemoveEstimateRoi();
        const EstimateRoi removed = cam->estimateRoi();
        QVERIFY(!removed.enabled);
        QCOMPARE(removed.x + removed.y + removed.width + removed.height, 0.0);
    }

    // A rename reaches the record, the camera's experiment name and the page's property; with
    // no experiment it does nothing.
    void renameFollowsTheCurrentExperiment()
    {
        ctrl()->_WBUpdateExpName("renamed", "/new/");
        QCOMPARE(ctrl()->curExpName(), QString());
        nextSecond();
        setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(true); });
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(50); });
        startPreview();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(false);
        QVERIFY(finished.wait(20000));
        clearLog();
        ctrl()->_WBUpdateExpName("renamed", "/new/");
        QCOMPARE(ctrl()->curExpName(), QString("renamed"));
        QCOMPARE(cam->expName(), QString("renamed"));
        QCOMPARE(ctrl()->wbTS()->experiment->imageSavePath, QString("/new/"));
        QVERIFY(logLines().filter("更新实验名称：").size() == 1);
    }

    // Without a preview a capture start starts nothing.
    void captureStartNeedsThePreview()
    {
        WbPage page(ctrl());
        ctrl()->_WBTSCaptureStart(true);
        ctrl()->_WBTSCaptureStart(false);
        QCoreApplication::processEvents();
        QVERIFY(idle());
        QVERIFY(page.events.isEmpty());
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
        nextSecond();
        setOption(UserOpts::OPT_MarkerCapture, [&](UserOpts* o) { o->setMarkerCapture(!markerFirst); });
        // An exposure long enough to cancel in (a minute of camera time).
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(60000); });
        WbPage page(ctrl());
        startPreview();
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(false);
        QVERIFY(started.wait(20000));
        if (markerFirst)
            QVERIFY(waitFor([&] { return page.images.size() == 1; }, 20000));
        const QString name = ctrl()->curExpName();
        ctrl()->_WBTSCancelCapture();
        QVERIFY(logged("触发取消采集。"));
        QVERIFY(finished.wait(20000));
        QCOMPARE(page.images.size(), images);
        QVERIFY(idle());

        std::unique_ptr<WesternBlotExperimentRecord> row(
            WesternBlotExperimentDB::getInstance()->selectExperimentByName(name));
        QCOMPARE(bool(row), rowKept);
        // A cancel after the end returns at once and aborts nothing.
        clearLog();
        ctrl()->_WBTSCancelCapture();
        QVERIFY(!logged("触发取消采集。"));
    }

    // A cancel arriving when the frames are done returns at once without aborting: the thread
    // has ended its run but is still the controller's (its end has not been handled yet).
    void cancelAfterTheFramesDoesNotSpin()
    {
        nextSecond();
        setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(true); });
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(50); });
        startPreview();
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(false);
        QVERIFY(started.wait(20000));
        WBTSCaptureThread* thread = ctrl()->wbTS()->captureThread;
        QVERIFY(thread);
        // No events meanwhile: the handler of the thread's end, which would forget the thread,
        // cannot run, so the cancel below meets a thread that is done but still there.
        QDeadlineTimer deadline(20000);
        while (!thread->captureEnded && !deadline.hasExpired())
            QThread::msleep(1);
        QVERIFY(thread->captureEnded);
        QCOMPARE(ctrl()->wbTS()->captureThread, thread);
        clearLog();
        QElapsedTimer timer;
        timer.start();
        ctrl()->_WBTSCancelCapture();
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!logged("触发取消采集。"));
        QVERIFY(!cam->isAbort);
        QVERIFY(finished.wait(20000));
        QCOMPARE(cam->frameStore().frameCount(), 1);
    }

    // Leaving with a running preview: the preview stops, the light goes off, the page hears
    // previewStoped once, the cache is dropped.
    void exitWithThePreviewRunning()
    {
        startPreview();
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        ctrl()->_WBTSExitExperiment();
        QVERIFY(stopped.wait(20000));
        QCoreApplication::processEvents();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(idle());
        QVERIFY(waitFor([&] { return mainLightCommands(rig->control).size() >= 2; }, 10000));
        QCOMPARE(mainLightCommands(rig->control), (QStringList {"c1", "c1"}));
        QVERIFY(!cam->isRunning);
    }

    // Leaving during a capture: previewStoped at once, the capture is cancelled, its end still
    // reports the folder, and the cache is dropped after it, not under it.
    void exitDuringTheCapture()
    {
        nextSecond();
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(60000); });
        WbPage page(ctrl());
        startPreview();
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_WBTSCaptureStart(false);
        QVERIFY(started.wait(20000));
        QVERIFY(waitFor([&] { return page.images.size() == 1; }, 20000));
        const QString folder = ctrl()->wbTS()->experiment->imageSavePath;
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        ctrl()->_WBTSExitExperiment();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toString(), folder);
        QVERIFY(idle());
        QVERIFY(!ctrl()->wbTS()->experiment);
        QCOMPARE(cam->frameStore().frameCount(), 0);
    }

    // Leaving during the estimation: no capture follows, the cache is dropped when it ends.
    void exitDuringTheEstimation()
    {
        nextSecond();
        WbPage page(ctrl());
        startPreview();
        ctrl()->_WBTSCaptureStart(true);
        QVERIFY(waitFor([&] { return ctrl()->wbTS()->estimateThread != nullptr; }, 20000));
        ctrl()->_WBTSExitExperiment();
        QVERIFY(waitFor([&] { return idle(); }, kFlowDeadlineMs));
        QCoreApplication::processEvents();
        QVERIFY(!page.events.contains("captureStart"));
        // One for the preview the capture start stopped, one at once for leaving.
        QCOMPARE(page.events.count("previewStoped"), 2);
        QVERIFY(!ctrl()->wbTS()->exitPending);
        QVERIFY(!ctrl()->wbTS()->experiment);
    }

    // The auto-exposure setting: one at a time; a second request follows the first, each is
    // answered with setAEFinished and its thread is gone afterwards.
    void autoExposureSettingKeepsOneThread()
    {
        QSignalSpy done(ctrl(), &IC_MainControl::setAEFinished);
        ctrl()->_WBTSAtExposure(1);
        QThread* first = ctrl()->autoExposure()->thread();
        QVERIFY(first);
        QPointer<QThread> watched(first);
        ctrl()->_WBTSAtExposure(0);
        QCOMPARE(ctrl()->autoExposure()->thread(), first);
        QVERIFY(waitFor([&] { return done.size() == 2; }, 20000));
        QCoreApplication::processEvents();
        QCOMPARE(done.size(), 2);
        QVERIFY(!ctrl()->autoExposure()->thread());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watched.isNull());
    }

    // An exposure chosen after auto-exposure was asked off, while the setting that switches it on
    // still runs: the camera's auto-exposure moves the exposure until the off setting comes, and
    // the chosen exposure is set again after it.
    void exposureChosenDuringTheAutoExposureSettingIsKept()
    {
        startPreview();
        QSignalSpy done(ctrl(), &IC_MainControl::setAEFinished);
        ctrl()->_WBTSAtExposure(1);
        QVERIFY(ctrl()->autoExposure()->thread());
        ctrl()->_WBTSAtExposure(0);
        ctrl()->_WBTSPreExpChanged(55);
        // No events: the off setting cannot start before the auto-exposure has lengthened the
        // exposure in the dark cabinet.
        QDeadlineTimer deadline(20000);
        while (ctrl()->_WBTSGetExposure() < 60 && !deadline.hasExpired())
            QThread::msleep(5);
        QVERIFY2(!deadline.hasExpired(), "auto-exposure lengthens the exposure");
        QVERIFY(waitFor([&] { return done.size() == 2; }, 20000));
        QVERIFY2(waitFor([&] { return std::abs(ctrl()->_WBTSGetExposure() - 55) < 0.001; }, 5000),
                 qPrintable(QString::number(ctrl()->_WBTSGetExposure())));
    }

    // A binning change restarts the same preview thread with the new settings.
    void binningChangeRestartsThePreview()
    {
        startPreview();
        WBTSPreviewThread* preview = ctrl()->wbTS()->preview.thread();
        ctrl()->_WBTSBinChanged(3, 30, 7);
        QVERIFY(waitFor([&] { return !ctrl()->wbTS()->preview.stopping() && preview->isRunning(); }, 20000));
        QCOMPARE(ctrl()->wbTS()->preview.thread(), preview);
        QCOMPARE(cam->binningIndex.load(), 3);
        QCOMPARE(cam->gain.load(), 7);
        QCOMPARE(cam->exposureTime.load(), 30.0);
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        QVERIFY(frames.wait(20000));
    }

    // The serial-lens autofocus: one thread at a time, stopped through isFocusStop, deleted at
    // its end with setAFFinished.
    void autofocusKeepsOneThread()
    {
        ctrl()->setAuthorityType(EnumOBJ::WBTS695_Auto);
        startPreview();
        QSignalSpy done(ctrl(), &IC_MainControl::setAFFinished);
        ctrl()->_WBTSSpacecomAtFocus();
        QVERIFY(ctrl()->lens()->atFocusThread);
        QThread* first = ctrl()->lens()->atFocusThread;
        ctrl()->_WBTSSpacecomAtFocus();
        QCOMPARE(ctrl()->lens()->atFocusThread, first);
        QVERIFY(logLines().filter("autofocus already running").size() == 1);
        // Its lens moves go out as position commands.
        QVERIFY(waitFor(
            [&] {
                for (const QByteArray& f : rig->control.receivedFrames())
                    if (f.size() > 2 && quint8(f[2]) == 0xB2)
                        return true;
                return false;
            },
            20000));
        ctrl()->stopAutoFocus();
        QVERIFY(done.size() == 1 || done.wait(20000));
        QVERIFY(!ctrl()->lens()->atFocusThread);
        QCOMPARE(done.size(), 1);
    }
};

QTEST_MAIN(CaptureFlowTest)
#include "wbflow_capture_test.moc"
