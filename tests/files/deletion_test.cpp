// Deleting pictures: from the image library in a thread that keeps the rows in step, and from the
// capture pages by the name each frame was saved under.
#include <gtest/gtest.h>

#include "apppaths.h"
#include "enumobj.h"
#include "experimentrecord.h"
#include "filesflow.h"
#include "filesrig.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "libraryfixture.h"
#include "logcapture.h"
#include "multexperimentdb.h"
#include "testappdir.h"
#include "tsframe.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace {

void touch(const QString& path, const QDateTime& changed = QDateTime())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.flush();
    if (changed.isValid())
        file.setFileTime(changed, QFileDevice::FileModificationTime);
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

TsFramePtr tinyFrame()
{
    const uint16_t pixels[4] = {1, 2, 3, 4};
    return TsFrame::fromPixels(2, 2, pixels);
}

// A files flow on the process's tables, with a user's image folder of its own.
struct Rig : FilesRig {
    Rig()
        : FilesRig(KestrixCtrl::getInstance())
        , userFolder(copies.path())
    {
        QObject::connect(flow.get(), &FilesFlow::deleteFinished, [this] { ++finished; });
    }
    // The mirror of a picture of the program's Images folder.
    QString mirror(const QString& path) const
    {
        return userFolder + path.mid(path.lastIndexOf('/', path.lastIndexOf('/', path.lastIndexOf('/') - 1) - 1));
    }
    void deleteInLibrary(EnumOBJ::ExpMode mode, const QStringList& paths)
    {
        const int before = finished;
        flow->deleteFilesAndExps(mode, paths);
        ASSERT_TRUE(waitFor([&] { return finished == before + 1; }));
    }

    QString userFolder;
    int finished = 0;
};

QVariantList rowOf(ExperimentStore* table, const QString& folder)
{
    return table->selectByImageSavePath(folder);
}

} // namespace

TEST(DeleteFromLibrary, APicturesEntriesLeaveItsRowWithItsRawFrameAndItsCopyStays)
{
    Rig rig;
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-12-01", "Gel-lib", 3);
    const auto wb = addExperiment(EnumOBJ::WB, "2026-12-01", "WB-lib", 2);
    for (const QString& file : gel.files + wb.files)
        touch(rig.mirror(file));
    touch(gel.folder + "img_1.data");

    rig.deleteInLibrary(EnumOBJ::Gel, {gel.files[1]});
    EXPECT_FALSE(exists(gel.files[1]));
    EXPECT_FALSE(exists(gel.folder + "img_1.data"));
    EXPECT_TRUE(exists(rig.mirror(gel.files[1])));
    EXPECT_TRUE(exists(gel.files[0]) && exists(gel.files[2]) && exists(rig.mirror(gel.files[2])));
    EXPECT_EQ(rowOf(GelExperimentDB::getInstance(), gel.folder),
              (QVariantList{gel.uuid, "1*1,3*3,", "10,30,", "1,3,", "img_0.tif,img_2.tif,"}));

    // A Western-blot row keeps its one binning.
    rig.deleteInLibrary(EnumOBJ::WB, {wb.files[0]});
    EXPECT_EQ(rowOf(WesternBlotExperimentDB::getInstance(), wb.folder),
              (QVariantList{wb.uuid, "4*4,", "20,", "2,", "img_1.tif,"}));
}

TEST(DeleteFromLibrary, TheLastPictureTakesItsRowAndEmptyFolderButNoOtherEmptyRow)
{
    Rig rig;
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-12-02", "Gel-last", 1);
    // An experiment just begun has no pictures yet; it is no leftover of this deletion.
    const auto begun = addExperiment(EnumOBJ::Gel, "2026-12-02", "Gel-begun", 0);
    rig.deleteInLibrary(EnumOBJ::Gel, {gel.files[0]});
    EXPECT_TRUE(rowOf(GelExperimentDB::getInstance(), gel.folder).isEmpty());
    EXPECT_FALSE(exists(gel.folder));
    EXPECT_FALSE(rowOf(GelExperimentDB::getInstance(), begun.folder).isEmpty());
    EXPECT_TRUE(exists(begun.folder));
}

TEST(DeleteFromLibrary, MissingPathsAndPathsOutsideTheLibraryLeaveFilesAndRowsAlone)
{
    Rig rig;
    LogCapture log;
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-12-03", "Gel-keep", 2);
    const QVariantList before = rowOf(GelExperimentDB::getInstance(), gel.folder);
    const QString outside = AppPaths::appDir() + "/settings.tif";
    const QString sneaky = gel.folder + "../../../settings.tif";
    const QString notPicture = gel.folder + "notes.txt";
    touch(outside);
    touch(notPicture);
    const QString missing = gel.folder + "gone.tif";

    rig.deleteInLibrary(EnumOBJ::Gel, {missing, outside, sneaky, notPicture});
    EXPECT_TRUE(exists(outside));
    EXPECT_TRUE(exists(notPicture));
    EXPECT_TRUE(log.contains("文件" + missing + "不存在"));
    EXPECT_TRUE(log.contains("delete refused"));
    EXPECT_EQ(rowOf(GelExperimentDB::getInstance(), gel.folder), before);
}

TEST(DeleteOnCapturePage, AFrameGoesByItsOwnNameNotByItsPlaceInTheFolder)
{
    Rig rig;
    auto record = std::make_unique<WesternBlotExperimentRecord>();
    record->date = "2026-12-04";
    record->name = "WBM-1";
    record->imageSavePath = AppPaths::appDir() + "/Images/2026-12-04/WBM-1/";
    const QString a = record->imageSavePath;
    // Modification times in the opposite order of the frames: a listing by time picks wrongly.
    const QDateTime now = QDateTime::currentDateTime();
    touch(a + "f0.tif", now.addSecs(-10));
    touch(a + "f1.tif", now.addSecs(-20));
    touch(a + "f1_OE.tif", now.addSecs(-20));
    touch(a + "f1.data", now.addSecs(-20));
    touch(a + "f2.tif", now.addSecs(-30));
    touch(a + "p_Pseudo.tif", now.addSecs(-40));
    for (const char* name : {"f0.tif", "f1.tif", "f2.tif"})
        touch(rig.mirror(a + name));
    const char* names[] = {"f0.tif", "f1_OE.tif", "f2.tif"};
    for (const char* name : names)
        rig.frames().setFrameFileName(rig.frames().appendFrame(tinyFrame()), name);

    rig.flow->deleteTucsenFrame(record.get(), 1);
    EXPECT_EQ(rig.frames().frameCount(), 2);
    EXPECT_EQ(rig.frames().frameFileName(1), "f2.tif");
    for (const char* gone : {"f1.tif", "f1_OE.tif", "f1.data"})
        EXPECT_FALSE(exists(a + gone)) << gone;
    EXPECT_FALSE(exists(rig.mirror(a + "f1.tif")));
    for (const char* kept : {"f0.tif", "f2.tif", "p_Pseudo.tif"})
        EXPECT_TRUE(exists(a + kept)) << kept;
    EXPECT_TRUE(exists(rig.mirror(a + "f0.tif")) && exists(rig.mirror(a + "f2.tif")));

    // No record, or a position beyond the list: nothing happens.
    rig.flow->deleteTucsenFrame(nullptr, 0);
    rig.flow->deleteTucsenFrame(record.get(), 2);
    EXPECT_EQ(rig.frames().frameCount(), 2);
    EXPECT_TRUE(exists(a + "f0.tif") && exists(a + "f2.tif"));

    // A derived picture goes with its mirror; one outside the library stays.
    touch(rig.mirror(a + "p_Pseudo.tif"));
    rig.flow->deleteDerivedImage(record.get(), a + "p_Pseudo.tif");
    EXPECT_FALSE(exists(a + "p_Pseudo.tif"));
    EXPECT_FALSE(exists(rig.mirror(a + "p_Pseudo.tif")));
    const QString outside = AppPaths::appDir() + "/x_Pseudo.tif";
    touch(outside);
    rig.flow->deleteDerivedImage(record.get(), outside);
    EXPECT_TRUE(exists(outside));
}

TEST(DeleteOnCapturePage, GelFramesLeaveTheirRowsListsByName)
{
    Rig rig;
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-12-05", "Gel-cap", 3);
    for (const QString& file : gel.files)
        touch(rig.mirror(file));
    rig.cam.setExpName("Gel-cap");
    // A generated picture between the captures is listed but has no entry in the row.
    const QStringList frames{"img_0.tif", "img_1.tif", "x_Gen.tif", "img_2.tif"};
    touch(gel.folder + "x_Gen.tif");
    for (const QString& name : frames)
        rig.frames().setFrameFileName(rig.frames().appendFrame(tinyFrame()), name);

    rig.flow->deleteGelFrames({3, 2, 1});
    EXPECT_EQ(rig.frames().frameCount(), 1);
    EXPECT_EQ(rig.frames().frameFileName(0), "img_0.tif");
    EXPECT_TRUE(exists(gel.files[0]));
    EXPECT_FALSE(exists(gel.files[1]) || exists(gel.files[2]) || exists(gel.folder + "x_Gen.tif"));
    // The gel page deletes in the experiment's folder only: the copies stay.
    EXPECT_TRUE(exists(rig.mirror(gel.files[1])) && exists(rig.mirror(gel.files[2])));
    EXPECT_EQ(rowOf(GelExperimentDB::getInstance(), gel.folder),
              (QVariantList{gel.uuid, "1*1,", "10,", "1,", "img_0.tif,"}));
}

TEST(DeleteOnCapturePage, AKestrixFrameGoesWithItsDisplayLevelsAndPicture)
{
    Rig rig;
    KestrixCtrl* qi = KestrixCtrl::getInstance();
    qi->clearFrames();
    WesternBlotExperimentRecord record;
    record.date = "2026-12-10";
    record.name = "WBS-qi";
    record.imageSavePath = AppPaths::appDir() + "/Images/2026-12-10/WBS-qi/";
    for (int i = 0; i < 3; ++i) {
        KestrixFrame frame;
        frame.region = rgn_type {0, 1, 1, 0, 1, 1};
        frame.pixels = {uint16_t(100 * i), 200};
        const QString name = QStringLiteral("q%1.tif").arg(i);
        touch(record.imageSavePath + name);
        touch(rig.mirror(record.imageSavePath + name));
        const int index = qi->appendFrame(frame);
        qi->appendHistogram(HistogramInfo());
        qi->setFrameFileName(index, name);
    }

    rig.flow->deleteKestrixFrame(&record, 0);
    EXPECT_EQ(qi->frameCount(), 2);
    EXPECT_EQ(qi->histogramCount(), 2);
    EXPECT_EQ(qi->frameFileName(0), "q1.tif");
    EXPECT_FALSE(exists(record.imageSavePath + "q0.tif") || exists(rig.mirror(record.imageSavePath + "q0.tif")));
    EXPECT_TRUE(exists(record.imageSavePath + "q1.tif") && exists(record.imageSavePath + "q2.tif"));
    qi->clearFrames();
}

// A capture killed before its first frame leaves a row without pictures, often without its
// folder; the library lists it by its folder. That entry removes the row (and the empty folder);
// an entry whose folder holds pictures, or that names no row, is left and reported.
TEST(DeleteFromLibrary, AnExperimentWithoutPicturesLeavesByItsFolderEntry)
{
    Rig rig;
    LogCapture log;
    const auto phantom = addExperiment(EnumOBJ::Gel, "2026-12-04", "Gel-phantom", 0);
    QDir().rmdir(phantom.folder);
    const auto bare = addExperiment(EnumOBJ::WB, "2026-12-04", "WB-bare", 0);
    const auto full = addExperiment(EnumOBJ::Gel, "2026-12-04", "Gel-full", 1);
    const QString unknown = QFileInfo(phantom.folder + "..").absoluteFilePath() + "/Gel-none/";
    ASSERT_FALSE(exists(phantom.folder));

    rig.deleteInLibrary(EnumOBJ::Gel, {phantom.folder, full.folder, unknown});
    EXPECT_TRUE(rowOf(GelExperimentDB::getInstance(), phantom.folder).isEmpty());
    EXPECT_FALSE(rowOf(GelExperimentDB::getInstance(), full.folder).isEmpty());
    EXPECT_TRUE(exists(full.files[0]));
    EXPECT_TRUE(log.contains("实验" + unknown + "不存在"));
    const QVariantMap done = rig.flow->lastDeletion();
    EXPECT_EQ(done.value("deleted").toStringList(), QStringList());
    EXPECT_EQ(done.value("experiments").toStringList(), QStringList{phantom.folder});
    EXPECT_EQ(done.value("failed").toStringList(), (QStringList{full.folder, unknown}));

    // An empty folder goes with its row; the pictures of the same run are reported apart.
    const auto wb = addExperiment(EnumOBJ::WB, "2026-12-04", "WB-one", 2);
    rig.deleteInLibrary(EnumOBJ::WB, {bare.folder, wb.files[0]});
    EXPECT_TRUE(rowOf(WesternBlotExperimentDB::getInstance(), bare.folder).isEmpty());
    EXPECT_FALSE(exists(bare.folder));
    EXPECT_EQ(rig.flow->lastDeletion().value("deleted").toStringList(), QStringList{wb.files[0]});
    EXPECT_EQ(rig.flow->lastDeletion().value("experiments").toStringList(), QStringList{bare.folder});
}
