// A gel capture whose picture cannot be written (the chosen image folder cannot be made, as on a
// full or read-only disk): the capture ends, the operator is told which folder and why, nothing
// is left under a picture's name, and the camera takes the next picture once the folder is sound.
#include "controllertest.h"
#include "gelrig.h"

#include "apppaths.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "useropts.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtCharts/QLineSeries>
#include <QtTest>

class GelSaveFailureTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    void failedWriteEndsTheCaptureAndKeepsTheCamera()
    {
        appDir.writeMachine(QStringLiteral("S60"));
        tucamtest::reset();
        GelRig gel;
        IC_MainControl* ctrl = gel.ctrl;
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        QVERIFY2(gel.bringUp(), qPrintable(gel.failure));

        // The chosen image folder's day folder is taken by a plain file.
        const QString chosen = AppPaths::appDir() + QStringLiteral("/chosen");
        const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QVERIFY(QDir().mkpath(chosen));
        QFile blocker(chosen + QLatin1Char('/') + date);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        UserOpts* opts = UserOpts::getInstance();
        opts->setLastLoginUser(QStringLiteral("operator"));
        opts->saveUserOptsByName(UserOpts::OPT_LastLoginUser);
        opts->setImageSavePath(chosen);
        opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);

        QVERIFY2(gel.startPreview(), qPrintable(gel.failure));
        GelPage& page = *gel.page;
        QSignalSpy& frames = gel.frames;
        ctrl->_GelTSUpdateExpInfo();
        const QString name = ctrl->curExpName();
        const QString folderA = AppPaths::appDir() + "/Images/" + date + "/" + name + "/";
        const QString folderB = chosen + "/" + date + "/" + name;

        QSignalSpy errors(ctrl, &IC_MainControl::errorCodeChanged);
        QSignalSpy finished(ctrl, &IC_MainControl::captureFinished);
        ctrl->_GelTSCaptureStart(EnumOBJ::UV302C);
        QVERIFY(finished.wait(60000));
        QTRY_VERIFY_WITH_TIMEOUT(ctrl->errorCode() == EnumOBJ::SaveErr, 20000);
        QVERIFY2(ctrl->errorDetail().contains(QStringLiteral("文件夹不存在且无法创建：") + folderB),
                 qPrintable(ctrl->errorDetail()));
        QVERIFY2(ctrl->errorDetail().contains(QStringLiteral("The folder is missing and cannot be created: ") + folderB),
                 qPrintable(ctrl->errorDetail()));
        QVERIFY(!page.events.contains("singleImageCaped"));
        QCOMPARE(QDir(folderA).entryList({"*.tif"}, QDir::Files), QStringList());
        QVERIFY(!logged(QStringLiteral("errorCode: CameraErr")));
        QVERIFY(cam->handle() != nullptr);

        // Room again: the same camera, without a restart, takes the next picture into both folders.
        QVERIFY(QFile::remove(blocker.fileName()));
        QTRY_VERIFY_WITH_TIMEOUT(!ctrl->gel()->captureThread, 20000);
        if (!ctrl->gel()->preview.thread()) {
            frames.clear();
            ctrl->_GelTSPreviewStart();
            QVERIFY(frames.wait(20000));
        }
        page.events.clear();
        finished.clear();
        ctrl->_GelTSCaptureStart(EnumOBJ::UV302C);
        QVERIFY(finished.wait(60000));
        QTRY_VERIFY_WITH_TIMEOUT(page.events.contains("singleImageCaped"), 20000);
        QCOMPARE(QDir(folderA).entryList({"*.tif"}, QDir::Files).size(), 1);
        QCOMPARE(QDir(folderB).entryList({"*.tif"}, QDir::Files).size(), 1);

        QVERIFY2(gel.finish(), qPrintable(gel.failure));
    }
};

QTEST_MAIN(GelSaveFailureTest)
#include "gelflow_savefail_test.moc"
