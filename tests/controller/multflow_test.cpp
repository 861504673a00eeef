// The multi-fluorescence flow driven through MainCtrl as its page drives it, on the virtual
// cabinet: preview, three channel captures under their lights and filters with the files, rows
// and signals they leave; parameter changes; refusals; cancels; leaving during a capture; one
// thread per role; the auto-exposure setting.
#include "controllertest.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "camopts.h"
#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "multexperimentdb.h"
#include "multflow.h"
#include "multtscapturethread.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "tucsenautoexposure.h"
#include "useropts.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

namespace {
constexpr int kDeadlineMs = 30000;

// What the page hears, in order.
class Page : public QObject {
public:
    explicit Page(IC_MainControl* ctrl)
    {
        connect(ctrl, &IC_MainControl::previewStoped, this, [this] { events << "previewStoped"; });
        connect(ctrl, &IC_MainControl::captureStart, this, [this] { events << "captureStart"; });
        connect(ctrl, &IC_MainControl::singleImageCaped, this, [this](QString name, int bin, double exp, int gain) {
            events << "singleImageCaped";
            images << name;
            reports << QStringLiteral("%1 %2 %3").arg(bin).arg(exp).arg(gain);
        });
        connect(ctrl, &IC_MainControl::captureFinished, this, [this](QString folder) {
            events << "captureFinished";
            folders << folder;
        });
        connect(ctrl, &IC_MainControl::filterFin, this, [this] { ++filterTurns; });
    }
    QStringList events;
    QStringList images;
    QStringList reports;
    QStringList folders;
    int filterTurns = 0;
};
} // namespace

class MultFlowTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    UserOpts* opts = UserOpts::getInstance();
    QtCharts::QLineSeries series;

    IC_MainControl* ctrl() { return rig->ctrl.get(); }
    MultFlow* mult() { return ctrl()->mult(); }

    bool idle() { return !mult()->preview.thread() && !mult()->captureThread; }

    void startPreview()
    {
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_MultTSPreviewStart();
        QVERIFY(mult()->preview.thread());
        QVERIFY(frames.wait(20000));
    }

    // A channel as the page chooses it: its light with its filter, the wheel's turn awaited.
    void chooseChannel(Page& page, int lightType, int filterPos)
    {
        const int turns = page.filterTurns;
        ctrl()->_MultTSLightChanged(lightType, true, filterPos);
        QVERIFY(waitFor([&] { return page.filterTurns > turns; }, 20000));
    }

    // One channel captured as the page captures it; the page restarts the preview afterwards.
    void captureChannel(Page& page, double exposure, int lightType)
    {
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_MultTSCaptureStart(exposure, lightType);
        QVERIFY(finished.wait(kDeadlineMs));
        QVERIFY(waitFor([&] { return idle(); }, kDeadlineMs));
        Q_UNUSED(page);
    }

    // Names are unique per second: a new experiment waits for a second whose name is free.
    void nextSecond()
    {
        auto taken = [] {
            const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
            std::unique_ptr<MultExperimentRecord> row(MultExperimentDB::getInstance()->selectExperimentByName("Mult" + stamp));
            return row != nullptr;
        };
        QVERIFY(waitFor([&] { return !taken(); }, 5000));
    }

    // Data bytes of every 0xF3 command the board received, in order.
    QStringList multLightCommands()
    {
        QStringList out;
        for (const QByteArray& f : rig->control.receivedFrames())
            if (f.size() >= 5 && quint8(f[2]) == 0xF3)
                out << QString::fromLatin1(f.mid(4, quint8(f[3])).toHex(' '));
        return out;
    }

private slots:
    void init()
    {
        tucamtest::reset();
        QVERIFY(cam->openCamera(EnumOBJ::AllAuthorityTS));
        cam->frameStore().clearFrameCaches();
        cam->isAbort = false;
        cam->isFocusStop = true;
        rig = std::make_unique<ControllerRig>();
        rig->openLink();
        ctrl()->setAuthorityType(EnumOBJ::AllAuthorityTS);
        ctrl()->setMultLineSeries(&series);

        CamOpts* camOpts = CamOpts::getInstance();
        camOpts->setMultTSCurBinning(1);
        camOpts->setMultTSCurExposurePre(50);
        camOpts->setMultTSCurGain(45);
        camOpts->setMultTSCurGainIndex(1);
        camOpts->saveCurMultTSCamOpts();
        opts->setLastLoginUser("tester");
        opts->saveUserOptsByName(UserOpts::OPT_LastLoginUser);
        opts->setImageSavePath(AppPaths::appDir() + "/B");
        opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
        opts->setIsBeautifyPictures(false);
        opts->saveUserOptsByName(UserOpts::OPT_IsBeautifyPictures);
        for (auto t : {UserOpts::OPT_FluX, UserOpts::OPT_FluY, UserOpts::OPT_FluW, UserOpts::OPT_FluH})
            opts->saveUserOptsByName(t);
        clearLog();
    }

    void cleanup()
    {
        if (mult()->preview.thread() || mult()->captureThread)
            ctrl()->_MultTSExitExperiment();
        QVERIFY(waitFor([&] { return idle(); }, kDeadlineMs));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        mult()->clearCache();
        rig.reset();
        cam->closeCamera();
    }

    // The road of an experiment of three channels: each capture stops the preview, takes one
    // frame under the channel's light and filter and reports it; the page restarts the preview
    // for the next. The pictures are in Images/<date>/<experiment>/, one per light, and the
    // experiment's row in Databases/Experiment.db lists them with their parameters.
    void threeChannelsFromPreviewToFilesAndRow()
    {
        nextSecond();
        Page page(ctrl());
        QSignalSpy axis(ctrl(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        startPreview();
        ctrl()->_MultTSUpdateExpInfo();
        const QString name = ctrl()->curExpName();
        QVERIFY(name.startsWith("Mult"));
        struct Shot { int lightType; int filterPos; double exposure; const char* suffix; };
        const Shot shots[] = {{EnumOBJ::R625nm, EnumOBJ::F_700nm, 50, "_Red"},
                              {EnumOBJ::G520nm, EnumOBJ::F_590nm, 20, "_Green"},
                              {EnumOBJ::B470nm, EnumOBJ::F_535nm, 35, "_Blue"}};
        for (const Shot& s : shots) {
            chooseChannel(page, s.lightType, s.filterPos);
            QCOMPARE(vcab::CabinetState::instance().snapshot().filterPos, s.filterPos);
            captureChannel(page, s.exposure, s.lightType);
            startPreview();
        }
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "singleImageCaped", "captureFinished",
                                             "captureStart", "previewStoped", "singleImageCaped", "captureFinished",
                                             "captureStart", "previewStoped", "singleImageCaped", "captureFinished"}));
        QCOMPARE(page.reports, (QStringList {"2 50 45", "2 20 45", "2 35 45"}));
        QCOMPARE(multLightCommands(), (QStringList {"c8 c9 cb ca c2 07 15", "c7 c9 cb ca c2 08 13", "c7 c8 cb ca c2 09 12"}));

        const QString date = QDate::currentDate().toString("yyyy-MM-dd");
        const QString folder = AppPaths::appDir() + "/Images/" + date + "/" + name + "/";
        QCOMPARE(page.folders, (QStringList {folder, folder, folder}));
        const QStringList tifs = QDir(folder).entryList({"*.tif"}, QDir::Files, QDir::Name);
        QCOMPARE(tifs.size(), 3);
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(page.images[i], folder + page.images[i].section('/', -1));
            QVERIFY2(page.images[i].endsWith(QString(shots[i].suffix) + ".tif"), qPrintable(page.images[i]));
            names << page.images[i].section('/', -1);
        }

        // The row as another reader of the database file sees it.
        const QString dbFile = AppPaths::appDir() + "/Databases/Experiment.db";
        QVERIFY(QFile::exists(dbFile));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "multflow-reader");
            db.setDatabaseName(dbFile);
            QVERIFY(db.open());
            QSqlQuery q(db);
            q.prepare("SELECT userName, expType, imageSavePath, binning, exposureTime, gain, imageNames "
                      "FROM MultExperiment WHERE name = :name");
            q.bindValue(":name", name);
            QVERIFY(q.exec());
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), QString("tester"));
            QCOMPARE(q.value(1).toInt(), 2);
            QCOMPARE(q.value(2).toString(), folder);
            QCOMPARE(q.value(3).toString(), QString("2*2,2*2,2*2,"));
            QCOMPARE(q.value(4).toString(), QString("50,20,35,"));
            QCOMPARE(q.value(5).toString(), QString("45,45,45,"));
            QCOMPARE(q.value(6).toString(), names.join(',') + ",");
            QVERIFY(!q.next());
        }
        QSqlDatabase::removeDatabase("multflow-reader");

        // Each report selected the newest frame and drew its histogram.
        QCOMPARE(cam->frameStore().frameCount(), 3);
        QCOMPARE(cam->frameStore().currentImageIndex.load(), 2);
        QCOMPARE(axis.size(), 3);
        QCOMPARE(series.count(), 65536);
    }

    // Exposure and gain reach the camera only through a running preview; exposures are kept to
    // three decimals; a binning change restarts the same preview thread with its settings.
    void previewParametersNeedThePreview()
    {
        cam->exposureTime = 40;
        ctrl()->_MultTSPreExpChanged(12.5);
        ctrl()->_MultTSGainChanged(9);
        ctrl()->_MultTSPreExpAndGainChanged(0.1236, 3);
        QCOMPARE(cam->exposureTime.load(), 40.0);
        QVERIFY(!cam->isExposureChanged && !cam->isGainChanged);

        startPreview();
        QCOMPARE(cam->binningIndex.load(), 1);
        QCOMPARE(cam->gain.load(), 45);
        QCOMPARE(cam->exposureTime.load(), 50.0);
        ctrl()->_MultTSPreExpAndGainChanged(0.1236, 3);
        QCOMPARE(cam->exposureTime.load(), 0.124);
        QCOMPARE(cam->gain.load(), 3);
        QVERIFY(!cam->isExposureChanged && !cam->isGainChanged);
        ctrl()->_MultTSPreExpChanged(0.12345, false);
        QCOMPARE(cam->exposureTime.load(), 0.123);
        QVERIFY(!cam->isExposureChanged);
        ctrl()->_MultTSPreExpChanged(30.0004);
        ctrl()->_MultTSGainChanged(12);
        QCOMPARE(cam->exposureTime.load(), 30.0);
        QVERIFY(waitFor([&] { return !cam->isExposureChanged && !cam->isGainChanged; }, 20000));
        QVERIFY(waitFor([&] { return std::abs(ctrl()->_MultTSGetExposure() - 30) < 1 && ctrl()->_MultTSGetGain() == 12; },
                        20000));

        MultTSPreviewThread* preview = mult()->preview.thread();
        ctrl()->_MultTSBinChanged(3, 25, 7);
        QVERIFY(waitFor([&] { return !mult()->preview.stopping() && preview->isRunning(); }, 20000));
        QCOMPARE(mult()->preview.thread(), preview);
        QCOMPARE(cam->binningIndex.load(), 3);
        QCOMPARE(cam->gain.load(), 7);
        QCOMPARE(cam->exposureTime.load(), 25.0);
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        QVERIFY(frames.wait(20000));
        QCOMPARE(tucamtest::state().binning, 6);
    }

    // The FL9BW configurations set the preview's FL9BW flag and take the gain mode.
    void fl9bwConfigurationsTakeTheGainMode()
    {
        cam->closeCamera();
        tucamtest::Config config;
        config.model = tucamtest::Model::FL9BW;
        tucamtest::reset(config);
        QVERIFY(cam->openCamera(EnumOBJ::AllAuthorityTSFL9BW_Auto));
        ctrl()->setAuthorityType(EnumOBJ::AllAuthorityTSFL9BW_Auto);
        startPreview();
        QVERIFY(mult()->preview.thread()->isFL9BW);
        QCOMPARE(cam->gain.load(), 1);
        QCOMPARE(tucamtest::state().binning, 2);
    }

    // A capture needs the preview it stops, and an experiment record of its own: without the
    // preview nothing happens; without a record nothing starts, the page hears the end at once
    // and its preview goes on.
    void captureNeedsThePreviewAndARecord()
    {
        Page page(ctrl());
        ctrl()->_MultTSCaptureStart(50, EnumOBJ::B470nm);
        QCoreApplication::processEvents();
        QVERIFY(idle());
        QVERIFY(page.events.isEmpty());

        startPreview();
        ctrl()->_MultTSCaptureStart(50, EnumOBJ::B470nm);
        QCoreApplication::processEvents();
        QCOMPARE(page.events, QStringList {"captureFinished"});
        QCOMPARE(page.folders, QStringList {QString()});
        QVERIFY(!mult()->captureThread);
        QVERIFY(mult()->preview.thread() && !mult()->preview.stopping());
        QVERIFY(logLines().filter("_MultTSCaptureStart refused: no experiment record").size() == 1);
    }

    // A cancel while the exposure runs takes its permit and aborts the frame wait: no picture,
    // the row unchanged, the end still reported with the folder. A cancel after the end returns
    // at once.
    void cancelDuringTheExposure()
    {
        nextSecond();
        Page page(ctrl());
        startPreview();
        ctrl()->_MultTSUpdateExpInfo();
        const QString folder = mult()->experiment->imageSavePath;
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_MultTSCaptureStart(100000, EnumOBJ::B470nm);
        QVERIFY(started.wait(20000));
        ctrl()->_MultTSCancelCapture();
        QVERIFY(logged("触发取消采集。"));
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toString(), folder);
        QVERIFY(page.images.isEmpty());
        QVERIFY(QDir(folder).entryList({"*.tif"}, QDir::Files).isEmpty());
        std::unique_ptr<MultExperimentRecord> row(
            MultExperimentDB::getInstance()->selectExperimentByName(ctrl()->curExpName()));
        QVERIFY(row);
        QCOMPARE(row->imageNames, QString());
        QVERIFY(idle());
        clearLog();
        QElapsedTimer timer;
        timer.start();
        ctrl()->_MultTSCancelCapture();
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(!logged("触发取消采集。"));
    }

    // Leaving during a capture: previewStoped at once, the capture cancelled, its end still
    // reports the folder copied when it started; the record goes at once (a next visit makes
    // its own), the frames when the capture has ended.
    void exitDuringTheCapture()
    {
        nextSecond();
        startPreview();
        ctrl()->_MultTSUpdateExpInfo();
        const QString folder = mult()->experiment->imageSavePath;
        QSignalSpy started(ctrl(), &IC_MainControl::captureStart);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_MultTSCaptureStart(100000, EnumOBJ::R625nm);
        QVERIFY(started.wait(20000));
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        ctrl()->_MultTSExitExperiment();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!mult()->experiment);
        QVERIFY(mult()->exitPending);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toString(), folder);
        QVERIFY(idle());
        QVERIFY(!mult()->exitPending);
        QCOMPARE(cam->frameStore().frameCount(), 0);
        // The light went off (0xF2 0xC1) as the page left.
        QVERIFY(waitFor(
            [&] {
                for (const QByteArray& f : rig->control.receivedFrames())
                    if (f.size() >= 5 && quint8(f[2]) == 0xF2 && quint8(f[4]) == 0xC1)
                        return true;
                return false;
            },
            10000));
    }

    // Leaving with only the preview: it stops, the page hears previewStoped once, the cache and
    // the record go.
    void exitWithThePreviewRunning()
    {
        nextSecond();
        startPreview();
        ctrl()->_MultTSUpdateExpInfo();
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        ctrl()->_MultTSExitExperiment();
        QVERIFY(stopped.wait(20000));
        QCoreApplication::processEvents();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(idle());
        QVERIFY(!mult()->experiment);
        QVERIFY(!cam->isRunning);
        // Without a preview the page hears it at once.
        ctrl()->_MultTSExitExperiment();
        QCOMPARE(stopped.size(), 2);
    }

    // One thread per role: a second capture start while the first one's preview stops starts no
    // second capture, a preview start during the capture is refused, one record per experiment.
    void eachRoleKeepsOneThread()
    {
        nextSecond();
        Page page(ctrl());
        startPreview();
        const int rows = MultExperimentDB::getInstance()->selectAllImageSavePaths().size();
        ctrl()->_MultTSUpdateExpInfo();
        ctrl()->_MultTSUpdateExpInfo();
        const QString name = ctrl()->curExpName();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_MultTSCaptureStart(2000, EnumOBJ::B470nm);
        ctrl()->_MultTSCaptureStart(2000, EnumOBJ::B470nm);
        QVERIFY(waitFor([&] { return mult()->captureThread != nullptr; }, 20000));
        ctrl()->_MultTSPreviewStart();
        QVERIFY(!mult()->preview.thread());
        QVERIFY(finished.wait(kDeadlineMs));
        QCOMPARE(page.events.count("captureStart"), 1);
        QCOMPARE(page.events.count("previewStoped"), 1);
        QCOMPARE(page.events.count("singleImageCaped"), 1);
        QCOMPARE(MultExperimentDB::getInstance()->selectAllImageSavePaths().size(), rows + 1);
        QCOMPARE(ctrl()->curExpName(), name);
    }

    // The auto-exposure setting of the mode: answered with setAEFinished, its thread gone.
    void autoExposureIsAnswered()
    {
        QSignalSpy done(ctrl(), &IC_MainControl::setAEFinished);
        ctrl()->_MultTSAtExposure(1);
        QVERIFY(ctrl()->autoExposure()->thread());
        QVERIFY(done.wait(20000));
        QCoreApplication::processEvents();
        QVERIFY(!ctrl()->autoExposure()->thread());
    }

    // A rename reaches the record, the camera's experiment name and the page's property.
    void renameFollowsTheCurrentExperiment()
    {
        ctrl()->_MultTSUpdateExpName("renamed", "/new/");
        QCOMPARE(ctrl()->curExpName(), QString());
        nextSecond();
        ctrl()->_MultTSUpdateExpInfo();
        ctrl()->_MultTSUpdateExpName("renamed", "/new/");
        QCOMPARE(ctrl()->curExpName(), QString("renamed"));
        QCOMPARE(cam->expName(), QString("renamed"));
        QCOMPARE(mult()->experiment->imageSavePath, QString("/new/"));
        ctrl()->_MultUpdateCurImageName("a.tif");
        QCOMPARE(mult()->curMultImageName, QString("a.tif"));
    }
};

QTEST_MAIN(MultFlowTest)
#include "multflow_test.moc"
