// The gel flow driven as the gel page drives it, on the virtual cabinet: preview start and
// restart with their options and flags, parameter changes, the capture out of the preview with
// its files, row and signals in order, the colour marker, refusals, cancels, leaving, one thread
// per role, and the flat-field and region entry points.
#include "controllertest.h"
#include "gelpage.h"

#include "apppaths.h"
#include "camopts.h"
#include "experimentrecord.h"
#include "gelexperimentdb.h"
#include "gelflow.h"
#include "geltscapturethread.h"
#include "geltspreviewthread.h"
#include "h695icecamctrl.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "useropts.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

namespace {
constexpr int kFlowDeadlineMs = 60000;
}

class GelFlowTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    UserOpts* opts = UserOpts::getInstance();
    CamOpts* camOpts = CamOpts::getInstance();
    QtCharts::QLineSeries series;

    IC_MainControl* ctrl() { return rig->ctrl.get(); }
    GelFlow* gel() { return rig->ctrl->gel(); }

    template <class F>
    void setOption(UserOpts::UserOptType type, F set)
    {
        set(opts);
        opts->saveUserOptsByName(type);
    }

    void useConfiguration(EnumOBJ::AuthorityType authority, tucamtest::Model model = tucamtest::Model::Cam695)
    {
        cam->closeCamera();
        tucamtest::Config config;
        config.model = model;
        tucamtest::reset(config);
        QVERIFY(cam->openCamera(authority));
        ctrl()->setAuthorityType(authority);
    }

    void gelOptions(int binning, double exposure, int gain, int gainIndex)
    {
        camOpts->setGelTSCurBinning(binning);
        camOpts->setGelTSCurExposurePre(exposure);
        camOpts->setGelTSCurGain(gain);
        camOpts->setGelTSCurGainIndex(gainIndex);
        camOpts->saveCurGelTSCamOpts();
    }

    QStringList commands(quint8 code)
    {
        QStringList out;
        for (const QByteArray& f : rig->control.receivedFrames())
            if (f.size() >= 5 && quint8(f[2]) == code)
                out << QString::fromLatin1(f.mid(4, quint8(f[3])).toHex(' '));
        return out;
    }

    QStringList tifsIn(const QString& folder) { return QDir(folder).entryList({"*.tif"}, QDir::Files); }

    void startPreview()
    {
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_GelTSPreviewStart();
        QVERIFY(gel()->preview.thread());
        QVERIFY(frames.wait(20000));
    }

    // Names are unique per second: a new experiment waits for a second whose name is free.
    void newExperiment()
    {
        auto taken = [] {
            const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
            std::unique_ptr<GelExperimentRecord> row(GelExperimentDB::getInstance()->selectExperimentByName("Gel" + stamp));
            return row != nullptr;
        };
        QVERIFY(waitFor([&] { return !taken(); }, 5000));
        ctrl()->_GelTSUpdateExpInfo();
        QVERIFY(gel()->experiment);
    }

    std::unique_ptr<GelExperimentRecord> row()
    {
        return std::unique_ptr<GelExperimentRecord>(GelExperimentDB::getInstance()->selectExperimentByName(ctrl()->curExpName()));
    }

    QString folderOf(const QString& name)
    {
        return AppPaths::appDir() + "/Images/" + QDate::currentDate().toString("yyyy-MM-dd") + "/" + name + "/";
    }

    bool idle() { return !gel()->preview.thread() && !gel()->captureThread; }

private slots:
    void init()
    {
        rig = std::make_unique<ControllerRig>();
        rig->openLink();
        useConfiguration(EnumOBJ::AllAuthorityTS);
        cam->frameStore().clearFrameCaches();
        cam->frameStore().clearRoiList();
        cam->resetFFC();
        cam->isFFC = false;
        cam->isAbort = false;
        cam->isFocusStop = true;
        cam->setRoiEnabled(false);
        ctrl()->setGelLineSeries(&series);
        gelOptions(2, 40, 5, 0);
        setOption(UserOpts::OPT_LastLoginUser, [](UserOpts* o) { o->setLastLoginUser("tester"); });
        setOption(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(false); });
        setOption(UserOpts::OPT_IsBeautifyPictures, [](UserOpts* o) { o->setIsBeautifyPictures(false); });
        for (auto t : {UserOpts::OPT_GelX, UserOpts::OPT_GelY, UserOpts::OPT_GelW, UserOpts::OPT_GelH}) {
            opts->setGelX(0);
            opts->setGelY(0);
            opts->setGelW(0);
            opts->setGelH(0);
            opts->saveUserOptsByName(t);
        }
        clearLog();
    }

    void cleanup()
    {
        if (gel()->preview.thread() || gel()->captureThread)
            ctrl()->_GelTSExitExperiment();
        QVERIFY(waitFor([&] { return idle(); }, kFlowDeadlineMs));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gel()->clearCache();
        rig.reset();
        cam->closeCamera();
    }

    void previewStartTakesTheGelOptionsAndFlags_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("gain");
        QTest::addColumn<bool>("is20BW");
        QTest::addColumn<bool>("isFL9BW");
        QTest::addColumn<bool>("keepOnRestart");
        QTest::newRow("695") << int(EnumOBJ::AllAuthorityTS) << int(tucamtest::Model::Cam695) << 7 << false << false
                             << false;
        QTest::newRow("FL9BW: the gain level") << int(EnumOBJ::GelAndWBTSFL9BW_Auto) << int(tucamtest::Model::FL9BW)
                                               << 1 << false << true << false;
        QTest::newRow("GelTS20BW: a restart keeps the camera")
            << int(EnumOBJ::GelTS20BW) << int(tucamtest::Model::S20Mini) << 7 << true << false << true;
    }
    void previewStartTakesTheGelOptionsAndFlags()
    {
        QFETCH(int, authority);
        QFETCH(int, model);
        QFETCH(int, gain);
        QFETCH(bool, is20BW);
        QFETCH(bool, isFL9BW);
        QFETCH(bool, keepOnRestart);
        useConfiguration(EnumOBJ::AuthorityType(authority), tucamtest::Model(model));
        gelOptions(1, 33.5, 7, 1);
        // What the controller held before is replaced by the options.
        cam->binningIndex = 4;
        cam->exposureTime = 99;
        startPreview();
        QCOMPARE(cam->binningIndex.load(), 1);
        QCOMPARE(cam->exposureTime.load(), 33.5);
        QCOMPARE(cam->gain.load(), gain);
        GelTSPreviewThread* thread = gel()->preview.thread();
        QCOMPARE(thread->isGelTS20BW, is20BW);
        QCOMPARE(thread->isFL9BW, isFL9BW);
        QCOMPARE(thread->keepCameraSettings, false);
        // A second start only refreshes the camera's values.
        ctrl()->_GelTSPreviewStart();
        QCOMPARE(gel()->preview.thread(), thread);

        // The page restarts the preview after a capture: the camera's values stay.
        ctrl()->_GelTSExitExperiment();
        QVERIFY(waitFor([&] { return idle(); }, 20000));
        cam->exposureTime = 12;
        ctrl()->_GelTSPreviewReStart();
        QCOMPARE(cam->exposureTime.load(), 12.0);
        QCOMPARE(gel()->preview.thread()->keepCameraSettings, keepOnRestart);
    }

    // Exposure and gain reach the camera only through a running preview, with their flags; a
    // binning or region change restarts the same thread.
    void previewParameterChanges()
    {
        cam->exposureTime = 40;
        cam->gain = 5;
        ctrl()->_GelTSPreExpChanged(123.4567);
        ctrl()->_GelTSGainChanged(9);
        ctrl()->_GelTSPreExpAndGainChanged(80, 11);
        QCOMPARE(cam->exposureTime.load(), 40.0);
        QCOMPARE(cam->gain.load(), 5);
        QVERIFY(!cam->isExposureChanged && !cam->isGainChanged);

        startPreview();
        ctrl()->_GelTSPreExpChanged(0.12345);
        QCOMPARE(cam->exposureTime.load(), 0.123);
        QVERIFY(cam->isExposureChanged);
        QVERIFY(waitFor([&] { return !cam->isExposureChanged; }, 20000));
        ctrl()->_GelTSPreExpChanged(5.5, false);
        QCOMPARE(cam->exposureTime.load(), 5.5);
        QVERIFY(!cam->isExposureChanged);
        ctrl()->_GelTSPreExpAndGainChanged(80, 11);
        QCOMPARE(cam->exposureTime.load(), 80.0);
        QCOMPARE(cam->gain.load(), 11);
        QVERIFY(!cam->isExposureChanged && !cam->isGainChanged);
        ctrl()->_GelTSPreExpChanged(30);
        ctrl()->_GelTSGainChanged(12);
        QVERIFY(waitFor([&] { return !cam->isExposureChanged && !cam->isGainChanged; }, 20000));
        QVERIFY(waitFor([&] { return std::abs(ctrl()->_GelTSGetExposure() - 30) < 0.5 && ctrl()->_GelTSGetGain() == 12; },
                        20000));

        // Binning: the same thread starts again on the new values; the page hears no stop.
        QSignalSpy stopped(ctrl(), &IC_MainControl::previewStoped);
        QPointer<GelTSPreviewThread> thread(gel()->preview.thread());
        tucamtest::clearCallLog();
        QSignalSpy frames(ctrl(), &IC_MainControl::imageChanged);
        ctrl()->_GelTSBinChanged(1, 60, 8);
        QVERIFY(waitFor([&] { return tucamtest::calls("TUCAM_Capa_SetValue", TUIDC_RESOLUTION).size() == 1; }, 20000));
        QVERIFY(frames.wait(20000));
        QCOMPARE(gel()->preview.thread(), thread.data());
        QCOMPARE(cam->binningIndex.load(), 1);
        QCOMPARE(cam->exposureTime.load(), 60.0);
        QCOMPARE(cam->gain.load(), 8);
        QCOMPARE(tucamtest::calls("TUCAM_Capa_SetValue", TUIDC_RESOLUTION)[0].args[1], 1.0);

        // Region: read again by the restarted thread.
        opts->setGelX(200);
        opts->saveUserOptsByName(UserOpts::OPT_GelX);
        tucamtest::clearCallLog();
        ctrl()->_GelTSROIChanged();
        QVERIFY(waitFor([&] { return !tucamtest::calls("TUCAM_Cap_SetROI").empty(); }, 20000));
        QCOMPARE(tucamtest::calls("TUCAM_Cap_SetROI")[0].args[1], double((200 + 60) / 2));
        QCOMPARE(gel()->preview.thread(), thread.data());
        QCOMPARE(stopped.size(), 0);
    }

    // The road of one capture: the preview stops, the capture runs under the page's light, the
    // page hears it in order and the newest frame is selected and drawn; a second capture of the
    // same visit adds to the same row.
    void captureRunsOutOfThePreview()
    {
        GelPage page(ctrl());
        QSignalSpy axis(ctrl(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QSignalSpy shown(ctrl(), &IC_MainControl::imageChanged);
        startPreview();
        newExperiment();
        const QString name = ctrl()->curExpName();
        QVERIFY(name.startsWith("Gel"));
        QCOMPARE(cam->expName(), name);
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_GelTSCaptureStart(EnumOBJ::UV302C);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QVERIFY(logged("_GelTSCapture."));
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "singleImageCaped", "captureFinished"}));
        QCOMPARE(page.reports, QStringList {"4 40 5"});
        QVERIFY(page.images[0].endsWith("_UV302.tif"));
        const QString folder = folderOf(name);
        QCOMPARE(page.finishedFolder, folder);
        QCOMPARE(tifsIn(folder).size(), 1);
        QVERIFY(idle());
        QCOMPARE(cam->frameStore().currentImageIndex.load(), 0);
        QVERIFY(!axis.isEmpty());
        QCOMPARE(axis.last()[0].toBool(), true);
        QCOMPARE(series.count(), 65536);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(cam->frameStore().stretchFrame(), cam->frameStore().frameAt(0));

        // The page restarts the preview and captures again: the same experiment grows.
        startPreview();
        ctrl()->_GelTSUpdateExpInfo();
        QCOMPARE(ctrl()->curExpName(), name);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        std::unique_ptr<GelExperimentRecord> r = row();
        QVERIFY(r);
        QCOMPARE(r->binning, QString("4*4,4*4,"));
        QCOMPARE(r->gain, QString("5,5,"));
        QCOMPARE(r->exposureTime, QString("40,40,"));
        QCOMPARE(r->imageNames.split(',', Qt::SkipEmptyParts).size(), 2);
        QCOMPARE(cam->frameStore().currentImageIndex.load(), 1);
        QCOMPARE(tifsIn(folder).size(), 2);
    }

    void colourMarkerFollowsThePicture()
    {
        setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
        GelPage page(ctrl());
        startPreview();
        newExperiment();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "singleImageCaped", "colorMarkerCaped",
                                             "captureFinished"}));
        QCOMPARE(page.reports, (QStringList {"4 40 5", "-1 -1 -1"}));
        QVERIFY(page.images[1].endsWith("_Color.tif"));
        QCOMPARE(tifsIn(page.finishedFolder).size(), 2);
        QCOMPARE(cam->frameStore().frameCount(), 1);
    }

    void refusals()
    {
        GelPage page(ctrl());
        // No preview: nothing starts.
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QCoreApplication::processEvents();
        QVERIFY(page.events.isEmpty());
        QVERIFY(!gel()->captureThread);

        // No experiment record: the preview runs on, and the page hears that no capture came.
        startPreview();
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(gel()->preview.thread() && !gel()->preview.stopping());
        QCOMPARE(page.events, QStringList {"captureFinished"});
        QCOMPARE(page.finishedFolder, QString());
        page.events.clear();

        // One record per visit, one row.
        newExperiment();
        GelExperimentRecord* record = gel()->experiment.get();
        ctrl()->_GelTSUpdateExpInfo();
        QCOMPARE(gel()->experiment.get(), record);

        // A second start while the preview stops, a preview start and a capture start while the
        // capture runs: one capture, one stop.
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(waitFor([&] { return gel()->captureThread != nullptr; }, kFlowDeadlineMs));
        ctrl()->_GelTSPreviewStart();
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(!gel()->preview.thread());
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!finished.last().first().toString().isEmpty());
        QCOMPARE(page.events.count("captureStart"), 1);
        QCOMPARE(page.events.count("previewStoped"), 1);
        QCOMPARE(page.events.count("singleImageCaped"), 1);
        std::unique_ptr<GelExperimentRecord> r = row();
        QCOMPARE(r->imageNames.count(','), 1);
    }

    // A cancel waits for the running exposure, aborts it and the capture ends without a picture;
    // a cancel after the capture has ended does nothing.
    void cancels()
    {
        ctrl()->_GelTSCancelCapture();
        QVERIFY(!logged("触发取消采集。"));

        gelOptions(2, 20000, 5, 0);
        GelPage page(ctrl());
        startPreview();
        newExperiment();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(waitFor([&] { return gel()->captureThread && cam->semCap.available() > 0; }, kFlowDeadlineMs));
        ctrl()->_GelTSCancelCapture();
        QVERIFY(logged("触发取消采集。"));
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "captureFinished"}));
        QCOMPARE(tifsIn(page.finishedFolder).size(), 0);
        QCOMPARE(row()->imageNames, QString());
        QVERIFY(cam->isAbort);

        clearLog();
        ctrl()->_GelTSCancelCapture();
        QVERIFY(!logged("触发取消采集。"));
    }

    // Leaving during a capture cancels it and waits for its end before the experiment goes; the
    // page still hears the folder the capture started with.
    void leavingDuringACaptureCancelsItAndWaits()
    {
        gelOptions(2, 20000, 5, 0);
        GelPage page(ctrl());
        startPreview();
        newExperiment();
        const QString folder = gel()->experiment->imageSavePath;
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(waitFor([&] { return gel()->captureThread && cam->semCap.available() > 0; }, kFlowDeadlineMs));
        const int lightsBefore = commands(0xF2).size();
        ctrl()->_GelTSExitExperiment();
        QVERIFY(logged("触发取消采集。"));
        // The capture still writes into the experiment: kept until it ends.
        QVERIFY(gel()->experiment);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(page.finishedFolder, folder);
        QVERIFY(!gel()->experiment);
        QCOMPARE(cam->frameStore().frameCount(), 0);
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "previewStoped", "captureFinished"}));
        QVERIFY(waitFor([&] { return commands(0xF2).size() > lightsBefore; }, 10000));
        QCOMPARE(commands(0xF2).last(), QString("c1"));
    }

    void leavingStopsThePreview()
    {
        GelPage page(ctrl());
        startPreview();
        newExperiment();
        ctrl()->_GelTSExitExperiment();
        QVERIFY(!gel()->experiment);
        QVERIFY(waitFor([&] { return idle(); }, 20000));
        QCOMPARE(page.events, QStringList {"previewStoped"});
        QVERIFY(!cam->frameStore().currentFrame());

        // The S20Mini puts out the light the page lit last.
        useConfiguration(EnumOBJ::GelTS20BW, tucamtest::Model::S20Mini);
        ctrl()->lightCmd(EnumOBJ::UV302, true);
        ctrl()->_GelTS20BWExitExperiment();
        QCOMPARE(page.events, (QStringList {"previewStoped", "previewStoped"}));
        QVERIFY(waitFor([&] { return commands(0xF1).contains("23"); }, 10000));
    }

    void flatFieldAndRegionEntryPoints()
    {
        ctrl()->setFFC(true);
        QVERIFY(ctrl()->isFFC() && cam->isFFC);
        ctrl()->setFFC(false);
        QVERIFY(!ctrl()->isFFC());
        ctrl()->setisInFFC(true);
        QVERIFY(ctrl()->isInFFC() && cam->isInFFC);
        ctrl()->setisInFFC(false);
        QVERIFY(!cam->isInFFC);
        ctrl()->setPercent(25);
        QCOMPARE(cam->histLevelPercent.load(), 0.0025);
        QVERIFY(logged("percent:  0.0025"));

        // References copy the live frame.
        startPreview();
        QVERIFY(!ctrl()->isAlreadyFFC());
        ctrl()->getStandardImage();
        QVERIFY(!ctrl()->isAlreadyFFC());
        ctrl()->getDarkImage();
        QVERIFY(ctrl()->isAlreadyFFC());
        ctrl()->getStandardImageFor535();
        ctrl()->getDarkImageFor590();
        const QString data = AppPaths::appDir() + "/CorrectionData/";
        for (const char* file : {"LightFrameData.data", "pBufferDark.data", "LightFrameData535.data", "pBufferDark590.data"})
            QVERIFY2(QFile::exists(data + file), file);
        // The filter pairs live on disk; the 590 nm pair stays in memory.
        QVERIFY(!cam->references.isPresent(FlatFieldReferences::Light535));
        QVERIFY(cam->references.isPresent(FlatFieldReferences::Dark590));
        ctrl()->calculateFFC();
        QCOMPARE(cam->ffcScale.load(), uint16_t(65535));
        ctrl()->resetFFC();
        QVERIFY(!ctrl()->isAlreadyFFC());
        QVERIFY(!cam->references.isPresent(FlatFieldReferences::Dark590));
        ctrl()->removeCorrectionData();
        QCOMPARE(QDir(data).entryList(QDir::Files).size(), 0);

        // The cut region of saved pictures.
        ctrl()->setRoi(10, 20, 300, 200);
        QVERIFY(logged("执行到此处，预备设置ROI"));
        QVERIFY(cam->roi().enabled);
        QCOMPARE((QList<int> {cam->roi().left, cam->roi().top, cam->roi().right, cam->roi().bottom}),
                 (QList<int> {10, 20, 309, 219}));
        newExperiment();
        QSignalSpy finished(ctrl(), &IC_MainControl::captureFinished);
        ctrl()->_GelTSCaptureStart(EnumOBJ::White);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(cam->frameStore().roiList().size(), 1u);
        QCOMPARE(cam->frameStore().roiList()[0].right, 309);
        ctrl()->clearRoiList();
        QVERIFY(cam->frameStore().roiList().empty());
        ctrl()->removeSetRoi();
        QVERIFY(logged("去除裁切"));
        QVERIFY(!cam->roi().enabled);
        QCOMPARE((QList<int> {cam->roi().left, cam->roi().top, cam->roi().right, cam->roi().bottom}),
                 (QList<int> {0, 0, -1, -1}));
    }

    void cameraSettingsOfThePage()
    {
        // Auto-exposure answers every request; the S20Mini's exposure threshold goes to the camera.
        GelPage page(ctrl());
        ctrl()->_GelTSAtExposure(1);
        ctrl()->_GelTSAtExposure(0);
        QVERIFY(waitFor([&] { return page.events.count("setAEFinished") == 2; }, 20000));
        tucamtest::clearCallLog();
        ctrl()->_GelTS20BWSetAverageGrayThd(77);
        const auto sets = tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_ATEXPOSURE_THRESHOLD);
        QVERIFY(!sets.empty());
        QCOMPARE(sets.back().args[1], 77.0);
    }
};

QTEST_MAIN(GelFlowTest)
#include "gelflow_test.moc"
