// What the pages reach through the controller: the report with its end and its error, library
// deletion with its end, capture-page deletes and renames with their answers.
#include "controllertest.h"

#include "apppaths.h"
#include "enumobj.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "libraryfixture.h"
#include "testappdir.h"
#include "tsframe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtTest>

class ControllerFilesTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;

    static QStringList reportPictures()
    {
        return QDir(AppPaths::appDir()).entryList({QStringLiteral("*_ForWPS.tif")}, QDir::Files);
    }

private slots:
    void init() { rig = std::make_unique<ControllerRig>(); }
    void cleanup() { rig.reset(); }

    // A missing template ends the report once with its reason and sets no device error; the
    // template beside the program serves whatever the application folder is.
    void reportEndsOnceAndAMissingTemplateSaysSo()
    {
        IC_MainControl* ctrl = rig->ctrl.get();
        const QString elsewhere = AppPaths::appDir() + "/document/export.dotx";
        QFile::remove(elsewhere);
        ctrl->setReportTemplate(elsewhere);
        QSignalSpy finished(ctrl, &IC_MainControl::exportFinished);
        QSignalSpy errors(ctrl, &IC_MainControl::errorCodeChanged);
        const QString target = AppPaths::appDir() + "/missing.docx";
        ctrl->exportWPS(QUrl::fromLocalFile(target).toString(), "admin", QString());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(finished.at(0).at(2).toString(), "The report template is missing: " + elsewhere);
        QCOMPARE(errors.size(), 0);
        QCOMPARE(ctrl->errorCode(), EnumOBJ::NoErr);
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(reportPictures().isEmpty());

        ctrl->setReportTemplate(QString());
        const QString written = AppPaths::appDir() + "/written";
        ctrl->exportWPS(QUrl::fromLocalFile(written).toString(), "admin", QString());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 10000);
        QCOMPARE(finished.at(1).at(0).toBool(), true);
        QCOMPARE(finished.at(1).at(1).toString(), written + ".docx");
        QCOMPARE(ctrl->errorCode(), EnumOBJ::NoErr);
        QVERIFY(QFileInfo(written + ".docx").size() > 0);
        QVERIFY(reportPictures().isEmpty());
    }

    void libraryDeletionEndsWithDeleteFinished()
    {
        const PreparedExperiment gel = addExperiment(EnumOBJ::Gel, "2026-11-20", "Gel-ctrl", 2);
        QSignalSpy finished(rig->ctrl.get(), &IC_MainControl::deleteFinished);
        rig->ctrl->deleteFilesAndExps(EnumOBJ::Gel, {gel.files[0]});
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QVERIFY(!QFileInfo::exists(gel.files[0]));
        QCOMPARE(GelExperimentDB::getInstance()->selectByImageSavePath(gel.folder).value(4).toString(),
                 QStringLiteral("img_1.tif,"));
    }

    void captureDeletesAndRenamesAnswerThePage()
    {
        IC_MainControl* ctrl = rig->ctrl.get();
        const PreparedExperiment gel = addExperiment(EnumOBJ::Gel, "2026-11-21", "Gel-page", 3);
        H695ICECamCtrl* cam = ctrl->h695ICECamCtrl;
        cam->frameStore().clearFrameList();
        cam->setExpName("Gel-page");
        const uint16_t pixels[4] = {1, 2, 3, 4};
        TsFrameStore& frames = cam->frameStore();
        for (int i = 0; i < 3; ++i)
            frames.setFrameFileName(frames.appendFrame(TsFrame::fromPixels(2, 2, pixels)), QStringLiteral("img_%1.tif").arg(i));

        QVERIFY(ctrl->updateImageName(EnumOBJ::Gel, gel.files[2], gel.folder + "lane.tif"));
        QVERIFY(!ctrl->updateImageName(EnumOBJ::Gel, gel.files[0], gel.folder + "lane.tif"));
        ctrl->_GelTSDeleteImage({2, 1});
        QCOMPARE(cam->frameStore().frameCount(), 1);
        QVERIFY(QFileInfo::exists(gel.files[0]));
        QVERIFY(!QFileInfo::exists(gel.files[1]) && !QFileInfo::exists(gel.folder + "lane.tif"));
        QCOMPARE(GelExperimentDB::getInstance()->selectByImageSavePath(gel.folder).value(4).toString(),
                 QStringLiteral("img_0.tif,"));
        cam->frameStore().clearFrameList();
    }

    // A picture made from a frame (dyed, colour marker) is named by its path: it goes alone,
    // and the frames, their files and the row stay, whatever its place in the page's list.
    void gelDeleteOfAFileEntryKeepsTheFrames()
    {
        IC_MainControl* ctrl = rig->ctrl.get();
        const PreparedExperiment gel = addExperiment(EnumOBJ::Gel, "2026-11-22", "Gel-dyed", 2);
        H695ICECamCtrl* cam = ctrl->h695ICECamCtrl;
        cam->frameStore().clearFrameList();
        cam->setExpName("Gel-dyed");
        const uint16_t pixels[4] = {1, 2, 3, 4};
        TsFrameStore& frames = cam->frameStore();
        for (int i = 0; i < 2; ++i)
            frames.setFrameFileName(frames.appendFrame(TsFrame::fromPixels(2, 2, pixels)), QStringLiteral("img_%1.tif").arg(i));
        const QString dyed = gel.folder + "10-00-00-000_color.tif";
        QVERIFY(QFile::copy(gel.files[0], dyed));
        const QString row = GelExperimentDB::getInstance()->selectByImageSavePath(gel.folder).value(4).toString();

        // The page's list: frame 0, the dyed picture, frame 1.
        ctrl->_GelTSDeleteImage({dyed});
        QVERIFY(!QFileInfo::exists(dyed));
        QCOMPARE(cam->frameStore().frameCount(), 2);
        QVERIFY(QFileInfo::exists(gel.files[0]) && QFileInfo::exists(gel.files[1]));
        QCOMPARE(GelExperimentDB::getInstance()->selectByImageSavePath(gel.folder).value(4).toString(), row);
        // A path outside the image folders is refused.
        const QString outside = AppPaths::appDir() + "/outside.tif";
        QVERIFY(QFile::copy(gel.files[0], outside));
        ctrl->_GelTSDeleteImage({outside});
        QVERIFY(QFileInfo::exists(outside));
        QCOMPARE(cam->frameStore().frameCount(), 2);
        cam->frameStore().clearFrameList();
    }
};

QTEST_MAIN(ControllerFilesTest)
#include "controller_files_test.moc"
