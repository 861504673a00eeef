// The gel page's road through MainCtrl on a virtual cabinet brought up as the program brings it
// up: preview, autofocus of the lens on the preview's frames where the cabinet has a motorised
// lens (the S60's lens is turned by hand: its page shows no autofocus and the board reports no
// lens position, so there the road goes from the preview straight to the capture), the
// experiment record, capture under the page's light; the pictures are found in
// Images/<date>/<experiment>/ and the row in Databases/Experiment.db.
#include "controllertest.h"
#include "gelrig.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "lensflow.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "useropts.h"

#include <QDate>
#include <QDir>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtCharts/QLineSeries>
#include <QtTest>

class GelRoadTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    void pageRoadFromPreviewToFiles_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("autofocus");
        QTest::newRow("S60: preview, capture") << "S60" << int(EnumOBJ::AllAuthorityTS) << false;
        QTest::newRow("serial lens: preview, autofocus, capture")
            << "Ormivex_G_Auto695" << int(EnumOBJ::GelAndWBTS695_Auto) << true;
    }
    void pageRoadFromPreviewToFiles()
    {
        QFETCH(QString, model);
        QFETCH(int, authority);
        QFETCH(bool, autofocus);
        appDir.writeMachine(model);
        tucamtest::reset();
        GelRig gel;
        IC_MainControl* ctrl = gel.ctrl;
        QVERIFY2(gel.bringUp(), qPrintable(gel.failure));
        QCOMPARE(int(ctrl->authorityType()), authority);

        UserOpts* opts = UserOpts::getInstance();
        opts->setLastLoginUser(QStringLiteral("operator"));
        opts->saveUserOptsByName(UserOpts::OPT_LastLoginUser);
        opts->setLastFocusGel(1000);
        opts->saveUserOptsByName(UserOpts::OPT_LastFocusGel);
        // The gel is sharp at 1000; the lens stands where the last search left it, a little above.
        vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) {
            s.bestFocus = 1000;
            s.serialFocus = 1075;
        });

        // The page: gel mode, its chart, UV light, preview.
        QVERIFY2(gel.startPreview(), qPrintable(gel.failure));
        GelPage& page = *gel.page;

        // Autofocus: the lens side moves the lens through the board, the board's position reports
        // let the preview rate the next frame, until the sharpness has passed its peak.
        if (autofocus) {
            ctrl->_GelTSSpacecomAtFocus();
            QVERIFY(ctrl->lens()->atFocusThread);
            QTRY_VERIFY_WITH_TIMEOUT(page.events.contains("setAFFinished"), 60000);
            QVERIFY(!ctrl->lens()->atFocusThread);
            const int lens = vcab::CabinetState::instance().snapshot().serialFocus;
            QVERIFY2(std::abs(lens - 1000) <= 45, qPrintable(QString::number(lens)));
            QVERIFY(logLines().filter("valueList:").size() >= 5);
            QVERIFY(ctrl->gel()->preview.thread());
            page.events.clear();
        }

        // The capture: the record on the first capture of the visit, then the capture itself.
        ctrl->_GelTSUpdateExpInfo();
        const QString name = ctrl->curExpName();
        QSignalSpy finished(ctrl, &IC_MainControl::captureFinished);
        ctrl->_GelTSCaptureStart(EnumOBJ::UV302C);
        QVERIFY(finished.wait(60000));
        QCOMPARE(page.events, (QStringList {"captureStart", "previewStoped", "singleImageCaped", "captureFinished"}));

        const QString folder = AppPaths::appDir() + "/Images/" + QDate::currentDate().toString("yyyy-MM-dd") + "/" + name + "/";
        QCOMPARE(page.finishedFolder, folder);
        const QStringList tifs = QDir(folder).entryList({"*.tif"}, QDir::Files);
        QCOMPARE(tifs.size(), 1);
        QVERIFY(tifs[0].endsWith("_UV302.tif"));

        // The row, read from the file with a connection of the test's own.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("road"));
            db.setDatabaseName(AppPaths::appDir() + "/Databases/Experiment.db");
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.prepare(QStringLiteral(
                "SELECT userName, expType, imageSavePath, binning, exposureTime, gain, imageNames FROM GelExperiment "
                "WHERE name = ?")));
            query.addBindValue(name);
            QVERIFY(query.exec());
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QString("operator"));
            QCOMPARE(query.value(1).toInt(), int(EnumOBJ::Gel));
            QCOMPARE(query.value(2).toString(), folder);
            QVERIFY(!query.value(3).toString().isEmpty());
            QVERIFY(query.value(4).toString().endsWith(","));
            QVERIFY(query.value(5).toString().endsWith(","));
            QCOMPARE(query.value(6).toString(), tifs[0] + ",");
            QVERIFY(!query.next());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("road"));

        QVERIFY2(gel.finish(), qPrintable(gel.failure));
    }
};

QTEST_MAIN(GelRoadTest)
#include "gelflow_road_test.moc"
