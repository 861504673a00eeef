// What leaving a mode drops from memory, and the folder clean-up.
#include "controllertest.h"

#include "experimentrecord.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "kestrixctrl.h"
#include "multflow.h"
#include "testappdir.h"
#include "wbqiflow.h"
#include "wbtsflow.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <unistd.h>

namespace {
TsFramePtr smallFrame()
{
    static const uint16_t pixels[4] = {1, 2, 3, 4};
    return TsFrame::fromPixels(2, 2, pixels);
}

// Two frames with their histograms, one selected and shown, and the marks of a capture.
void fillTucsen(H695ICECamCtrl* cam)
{
    for (int i = 0; i < 2; ++i) {
        cam->frameStore().appendFrame(smallFrame());
        cam->frameStore().appendHistogram(HistogramInfo {});
    }
    cam->frameStore().currentImageIndex = 1;
    cam->frameStore().showFrameAsCaptured();
    const OverExposureMask mask = std::make_shared<const std::vector<uint8_t>>(4, 1);
    cam->frameStore().appendOverExposureMark(mask);
    cam->frameStore().appendOverExposureMark(mask);
    cam->frameStore().setOverExposureSum(mask);
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}
} // namespace

class CacheTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;

private slots:
    void init() { rig = std::make_unique<ControllerRig>(); }
    void cleanup() { rig.reset(); }

    void leavingAModeDropsFramesHistogramsAndRecord_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("logs");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("gel") << int(EnumOBJ::Gel)
                             << QStringList {"删除上次采集图像缓存. 2", "删除上次直方图拉伸缓存.", "删除实验信息."}
                             << QStringList {"删除过曝标记缓存"};
        QTest::newRow("multi-fluorescence")
            << int(EnumOBJ::Mult)
            << QStringList {"删除上次采集图像缓存. 2", "删除上次直方图信息缓存.", "删除上次直方图拉伸缓存.", "删除实验信息."}
            << QStringList {"删除过曝标记缓存"};
        QTest::newRow("Western blot, Tucsen")
            << int(EnumOBJ::WB)
            << QStringList {"删除上次采集图像缓存. 2", "删除上次直方图信息缓存.", "删除上次直方图拉伸缓存.", "删除过曝标记缓存"}
            << QStringList {"删除实验信息."};
    }

    void leavingAModeDropsFramesHistogramsAndRecord()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, logs);
        QFETCH(QStringList, absent);
        IC_MainControl* ctrl = rig->ctrl.get();
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        fillTucsen(cam);
        ctrl->gel()->experiment = std::make_unique<GelExperimentRecord>();
        ctrl->mult()->experiment = std::make_unique<MultExperimentRecord>();
        ctrl->wbTS()->experiment = std::make_unique<WesternBlotExperimentRecord>();
        ctrl->wbTS()->markerList << 1;
        ctrl->wbTS()->colorMarkerList << 2;
        clearLog();

        if (mode == EnumOBJ::Gel)
            ctrl->gel()->clearCache();
        else if (mode == EnumOBJ::Mult)
            ctrl->mult()->clearCache();
        else
            ctrl->wbTS()->clearCache();

        QCOMPARE(cam->frameStore().frameCount(), 0);
        // A histogram kept beside a dropped frame would describe the next experiment's first one.
        QCOMPARE(cam->frameStore().histogramCount(), 0);
        QCOMPARE(cam->frameStore().currentImageIndex.load(), -1);
        QVERIFY(!cam->frameStore().stretchFrame());
        for (const QString& line : logs)
            QVERIFY2(logged(line), qPrintable(line + QStringLiteral(" missing:\n") + logLines().join('\n')));
        for (const QString& line : absent)
            QVERIFY2(!logged(line), qPrintable(line));
        QCOMPARE(ctrl->gel()->experiment == nullptr, mode == EnumOBJ::Gel);
        QCOMPARE(ctrl->mult()->experiment == nullptr, mode == EnumOBJ::Mult);
        QCOMPARE(ctrl->wbTS()->experiment == nullptr, mode == EnumOBJ::WB);
        QCOMPARE(ctrl->wbTS()->markerList.isEmpty(), mode == EnumOBJ::WB);
        QCOMPARE(ctrl->wbTS()->colorMarkerList.isEmpty(), mode == EnumOBJ::WB);
        QCOMPARE(cam->frameStore().overExposureMarkCount() == 0, mode == EnumOBJ::WB);

        // What this mode left, the next clean-up takes.
        ctrl->wbTS()->clearCache();
        ctrl->gel()->experiment.reset();
        ctrl->mult()->experiment.reset();
    }

    void leavingAModeWithNothingWritesNothing()
    {
        IC_MainControl* ctrl = rig->ctrl.get();
        clearLog();
        ctrl->gel()->clearCache();
        ctrl->mult()->clearCache();
        ctrl->wbTS()->clearCache();
        ctrl->wbQI()->clearCache();
        QCOMPARE(logLines(), QStringList());
        QCOMPARE(H695ICECamCtrl::getInstance()->frameStore().currentImageIndex.load(), -1);
    }

    void leavingKestrixWesternBlot()
    {
        IC_MainControl* ctrl = rig->ctrl.get();
        KestrixCtrl* kx = KestrixCtrl::getInstance();
        KestrixFrame frame;
        frame.region = {0, 1, 1, 0, 1, 1};
        frame.pixels = {1, 2, 3, 4};
        kx->appendFrame(frame);
        kx->appendFrame(frame);
        kx->displayFrame = frame;
        kx->curImageIndex = 1;
        ctrl->wbQI()->experiment = std::make_unique<WesternBlotExperimentRecord>();
        ctrl->wbQI()->markerList << 0;
        clearLog();

        ctrl->wbQI()->clearCache();

        QCOMPARE(kx->frameCount(), 0);
        QCOMPARE(kx->histogramCount(), 0);
        QVERIFY(kx->displayFrame.empty());
        QCOMPARE(kx->curImageIndex.load(), -1);
        QVERIFY(!ctrl->wbQI()->experiment);
        QVERIFY(ctrl->wbQI()->markerList.isEmpty());
        QVERIFY(logged(QStringLiteral("删除上次采集图像缓存. 2")));
        QVERIFY(logged(QStringLiteral("删除上次直方图拉伸缓存.")));
    }

    void removeDirFilesTakesFilesOnly()
    {
        const QString dir = appDir.filePath(QStringLiteral("clean"));
        QDir().mkpath(dir + QStringLiteral("/sub"));
        touch(dir + QStringLiteral("/a.tif"));
        touch(dir + QStringLiteral("/b.data"));
        touch(dir + QStringLiteral("/sub/c.tif"));
        IC_MainControl::removeDirFiles(dir);
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList());
        QVERIFY(QFile::exists(dir + QStringLiteral("/sub/c.tif")));

        clearLog();
        IC_MainControl::removeDirFiles(appDir.filePath(QStringLiteral("missing")));
        QCOMPARE(logLines(), QStringList());
    }

    // The first file that stays ends the clean-up: files after it are left too.
    void removeDirFilesStopsAtTheFirstFailure()
    {
        if (::geteuid() == 0)
            QSKIP("root removes files from a read-only folder");
        const QString dir = appDir.filePath(QStringLiteral("locked"));
        QDir().mkpath(dir);
        touch(dir + QStringLiteral("/a.tif"));
        touch(dir + QStringLiteral("/b.tif"));
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        clearLog();
        IC_MainControl::removeDirFiles(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(logLines().filter(QStringLiteral("Failed to remove file:")).size(), 1);
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 2);
    }
};

QTEST_MAIN(CacheTest)
#include "cache_test.moc"
