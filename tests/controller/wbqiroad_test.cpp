// The Western blot on the Kestrix camera along the whole road of the program: a cabinet brought
// up as model "S40Plus" from machine.ini, the page's calls only (preview, automatic capture),
// and what the operator finds afterwards: the TIFF files under the day's folder and the row in the
// database file.
#include "controllertest.h"

#include "apppaths.h"
#include "kestrix64_test.h"
#include "kestrixctrl.h"
#include "testappdir.h"
#include "useropts.h"

#include <QDate>
#include <QDir>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtCharts/QLineSeries>
#include <QtTest>

namespace {
constexpr int kFlowDeadlineMs = 60000;

void setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set)
{
    set(UserOpts::getInstance());
    UserOpts::getInstance()->saveUserOptsByName(type);
}

QStringList tifsIn(const QString& folder)
{
    return QDir(folder).entryList({"*.tif"}, QDir::Files);
}
} // namespace

class QiEndToEndTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    void automaticSingleCaptureOnTheS40Plus()
    {
        appDir.writeMachine(QStringLiteral("S40Plus"));
        kxtest_reset();
        ControllerRig rig;
        IC_MainControl* ctrl = rig.ctrl.get();
        QtCharts::QLineSeries series;
        ctrl->initMachine();
        QCOMPARE(ctrl->authorityType(), EnumOBJ::WBQI);
        QSignalSpy camInit(ctrl, &IC_MainControl::camInitFinish);
        ctrl->initDevice();
        QTRY_COMPARE_WITH_TIMEOUT(camInit.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("初始化S40Plus成功。")), 10000);
        QCOMPARE(ctrl->errorCode(), EnumOBJ::NoErr);
        setOption(UserOpts::OPT_LastLoginUser, [](UserOpts* o) { o->setLastLoginUser("operator"); });
        setOption(UserOpts::OPT_ImageSavePath, [this](UserOpts* o) { o->setImageSavePath(appDir.path() + "/user"); });
        setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(false); });
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(500); });
        // The page keeps the estimate as the exposure of the single capture.
        connect(ctrl, &IC_MainControl::updateEstimateTime, this, [](int t) {
            setOption(UserOpts::OPT_SingleCapExpTime, [t](UserOpts* o) { o->setSingleCapExpTime(t); });
        });
        ctrl->setLineSeries(&series);
        ctrl->setSingleCaptureVisible(true);
        ctrl->setExpMode(EnumOBJ::WB);

        QSignalSpy frames(ctrl, &IC_MainControl::imageChanged);
        QSignalSpy estimated(ctrl, &IC_MainControl::updateEstimateTime);
        QSignalSpy finished(ctrl, &IC_MainControl::captureFinished);
        ctrl->_WBQIPreviewStart();
        QVERIFY(frames.wait(20000));
        // The model's defaults: binning 2, gain 3.
        QCOMPARE(KestrixCtrl::getInstance()->liveFrame()->width(), 1344);
        ctrl->_WBQICaptureStart(true);
        QVERIFY(finished.wait(kFlowDeadlineMs));
        QCOMPARE(estimated.size(), 1);

        const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        const QString name = ctrl->curExpName();
        QVERIFY(name.startsWith(QStringLiteral("WBS")));
        const QString folder = appDir.path() + "/Images/" + date + "/" + name + "/";
        QCOMPARE(finished[0][0].toString(), folder);
        const QStringList tifs = tifsIn(folder);
        QCOMPARE(tifs.size(), 3);
        QCOMPARE(tifs.filter(QStringLiteral("_Marker")).size(), 1);
        QCOMPARE(tifs.filter(QStringLiteral("_Merge")).size(), 1);
        // The same pictures in the user's folder.
        QCOMPARE(tifsIn(appDir.path() + "/user/" + date + "/" + name + "/"), tifs);

        // The row, read from the database file by a connection of its own.
        {
            QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("e2e"));
            file.setDatabaseName(appDir.path() + "/Databases/Experiment.db");
            QVERIFY(file.open());
            QSqlQuery query(file);
            QVERIFY(query.prepare(QStringLiteral("SELECT binning, exposureTime, imageNames, imageSavePath, userName FROM "
                                                 "WesternBlotExperiment WHERE name = ?")));
            query.addBindValue(name);
            QVERIFY(query.exec());
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("2*2"));
            QCOMPARE(query.value(1).toString(), QStringLiteral("50,%1,").arg(estimated[0][0].toInt()));
            const QStringList names = query.value(2).toString().split(',', Qt::SkipEmptyParts);
            QCOMPARE(names.size(), 2);
            for (const QString& n : names)
                QVERIFY(tifs.contains(n));
            QCOMPARE(query.value(3).toString(), folder);
            QCOMPARE(query.value(4).toString(), QStringLiteral("operator"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("e2e"));

        ctrl->_WBQIExitExperiment();
        ctrl->_QICloseCamAndUnInit();
        QVERIFY(!KestrixCtrl::getInstance()->isLibraryInitialised());
    }
};

QTEST_MAIN(QiEndToEndTest)
#include "wbqiroad_test.moc"
