// Renaming a picture (file, raw frame, mirror, row) and an experiment (folder, mirror folder,
// row): the file system first, the row only after, nothing changed on failure.
#include <gtest/gtest.h>

#include "apppaths.h"
#include "enumobj.h"
#include "filesflow.h"
#include "filesrig.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "libraryfixture.h"
#include "logcapture.h"
#include "multexperimentdb.h"
#include "testappdir.h"
#include "tsframe.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

using Rig = FilesRig;

} // namespace

TEST(RenameImage, FileRawFrameMirrorRowAndListedFrameTakeTheNewName)
{
    Rig rig;
    const auto mult = addExperiment(EnumOBJ::Mult, "2026-12-06", "Mult-r", 2);
    touch(mult.folder + "img_0.data");
    touch(rig.copy("/2026-12-06/Mult-r/img_0.tif"));
    const uint16_t pixels[4] = {1, 2, 3, 4};
    rig.frames().setFrameFileName(rig.frames().appendFrame(TsFrame::fromPixels(2, 2, pixels)), "img_0.tif");

    ASSERT_TRUE(rig.flow->updateImageName(EnumOBJ::Mult, mult.files[0], mult.folder + "lane A.tif"));
    EXPECT_FALSE(exists(mult.files[0]));
    EXPECT_TRUE(exists(mult.folder + "lane A.tif"));
    EXPECT_TRUE(exists(mult.folder + "lane A.data"));
    EXPECT_TRUE(exists(rig.copy("/2026-12-06/Mult-r/lane A.tif")));
    EXPECT_EQ(rig.frames().frameFileName(0), "lane A.tif");
    EXPECT_EQ(MultExperimentDB::getInstance()->selectByImageSavePath(mult.folder).value(4).toString(),
              "lane A.tif,img_1.tif,");

    // A picture without raw frame or mirror is renamed alone.
    ASSERT_TRUE(rig.flow->updateImageName(EnumOBJ::Mult, mult.files[1], mult.folder + "lane B.tif"));
    EXPECT_TRUE(exists(mult.folder + "lane B.tif"));
}

TEST(RenameImage, RefusedRenamesChangeNothing)
{
    Rig rig;
    LogCapture log;
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-12-07", "Gel-r", 2);
    const QVariantList row = GelExperimentDB::getInstance()->selectByImageSavePath(gel.folder);
    const QString outside = AppPaths::appDir() + "/loose.tif";
    touch(outside);
    struct Case {
        const char* what;
        QString from;
        QString to;
    };
    const Case cases[] = {
        {"onto an existing picture", gel.files[0], gel.files[1]},
        {"into another folder", gel.files[0], AppPaths::appDir() + "/Images/img_0.tif"},
        {"a name the row cannot hold", gel.files[0], gel.folder + "a,b.tif"},
        {"not a picture", gel.files[0], gel.folder + "img_0.txt"},
        {"a file outside the library", outside, AppPaths::appDir() + "/loose2.tif"},
        {"a missing file", gel.folder + "gone.tif", gel.folder + "back.tif"},
    };
    for (const Case& c : cases) {
        log.clear();
        EXPECT_FALSE(rig.flow->updateImageName(EnumOBJ::Gel, c.from, c.to)) << c.what;
        EXPECT_TRUE(log.contains("失败。")) << c.what;
    }
    EXPECT_TRUE(exists(gel.files[0]) && exists(gel.files[1]) && exists(outside));
    EXPECT_EQ(GelExperimentDB::getInstance()->selectByImageSavePath(gel.folder), row);
}

TEST(RenameExperiment, FolderThenRowThenMirrorFolder)
{
    Rig rig;
    LogCapture log;
    const auto wb = addExperiment(EnumOBJ::WB, "2026-12-08", "WBS-r", 1);
    touch(rig.copy("/2026-12-08/WBS-r/img_0.tif"));
    const QString renamed = AppPaths::appDir() + "/Images/2026-12-08/Blot 7/";

    ASSERT_TRUE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::WB, wb.uuid, "Blot 7", wb.folder, renamed));
    EXPECT_FALSE(exists(wb.folder));
    EXPECT_TRUE(exists(renamed + "img_0.tif"));
    EXPECT_TRUE(exists(rig.copy("/2026-12-08/Blot 7/img_0.tif")));
    EXPECT_TRUE(log.contains("文件夹" + wb.folder + "重命名为" + renamed + "成功。"));
    EXPECT_EQ(WesternBlotExperimentDB::getInstance()->selectByImageSavePath(renamed).value(0).toString(), wb.uuid);

    // Without its mirror folder the experiment is still renamed, and the missing folder logged.
    const QString again = AppPaths::appDir() + "/Images/2026-12-08/Blot 8/";
    QDir(rig.copy("/2026-12-08/Blot 7")).removeRecursively();
    log.clear();
    ASSERT_TRUE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::WB, wb.uuid, "Blot 8", renamed, again));
    EXPECT_TRUE(log.contains("文件夹" + rig.copy("/2026-12-08/Blot 7/") + "不存在。"));
    EXPECT_TRUE(exists(again + "img_0.tif"));
}

TEST(RenameExperiment, AFolderInTheWayOrARowThatCannotBeWrittenChangesNothing)
{
    Rig rig;
    const auto one = addExperiment(EnumOBJ::Gel, "2026-12-09", "Gel-one", 1);
    const auto two = addExperiment(EnumOBJ::Gel, "2026-12-09", "Gel-two", 1);

    // The new folder exists already.
    EXPECT_FALSE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::Gel, one.uuid, "Gel-two", one.folder, two.folder));
    EXPECT_TRUE(exists(one.files[0]) && exists(two.files[0]));

    // The row refuses the name (another experiment has it): the folder goes back.
    const QString free = AppPaths::appDir() + "/Images/2026-12-09/Gel-free/";
    EXPECT_FALSE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::Gel, one.uuid, "Gel-two", one.folder, free));
    EXPECT_TRUE(exists(one.files[0]));
    EXPECT_FALSE(exists(free));
    EXPECT_EQ(GelExperimentDB::getInstance()->selectByImageSavePath(one.folder).value(0).toString(), one.uuid);

    // A folder outside the library, or a new folder elsewhere.
    QTemporaryDir elsewhere;
    EXPECT_FALSE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::Gel, one.uuid, "x", elsewhere.path() + "/",
                                                          elsewhere.path() + "-x/"));
    EXPECT_TRUE(exists(elsewhere.path()));
    EXPECT_FALSE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::Gel, one.uuid, "Gel-moved", one.folder,
                                                          AppPaths::appDir() + "/Images/Gel-moved/"));
    EXPECT_TRUE(exists(one.files[0]));

    // Unknown mode, empty name.
    EXPECT_FALSE(rig.flow->updateNameAndImgSavePathByUuid(7, one.uuid, "x", one.folder, free));
    EXPECT_FALSE(rig.flow->updateNameAndImgSavePathByUuid(EnumOBJ::Gel, one.uuid, " ", one.folder, free));
    EXPECT_TRUE(exists(one.files[0]));
}
