// The periodic clean-up: whole days, the same for folders and rows, and only a sane age.
#include <gtest/gtest.h>

#include "apppaths.h"
#include "enumobj.h"
#include "gelexperimentdb.h"
#include "libraryfixture.h"
#include "logcapture.h"
#include "multexperimentdb.h"
#include "regularremovethread.h"
#include "testappdir.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString day(int daysAgo)
{
    return QDate::currentDate().addDays(-daysAgo).toString("yyyy-MM-dd");
}

void touch(const QString& path, const QDateTime& changed)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.flush();
    file.setFileTime(changed, QFileDevice::FileModificationTime);
}

void runPass(UserOpts& opts, bool clean, int days)
{
    opts.setImageClean(clean);
    opts.setImageCleanTime(days);
    opts.saveUserOptsByName(UserOpts::OPT_ImageClean);
    opts.saveUserOptsByName(UserOpts::OPT_ImageCleanTime);
    RegularRemoveThread thread(&opts, GelExperimentDB::getInstance(), WesternBlotExperimentDB::getInstance(),
                               MultExperimentDB::getInstance());
    thread.start();
    ASSERT_TRUE(thread.wait(10000));
}

bool hasRow(ExperimentStore* table, const PreparedExperiment& exp)
{
    return !table->selectByImageSavePath(exp.folder).isEmpty();
}

} // namespace

TEST(RegularRemove, LimitIsTheStartOfTheFirstDayKept)
{
    EXPECT_EQ(RegularRemoveThread::limitFor(QDate(2026, 12, 10), 7), QDateTime(QDate(2026, 12, 3), QTime(0, 0)));
}

TEST(RegularRemove, OnlyASaneAgeCleansAndThenFoldersAndRowsOfEarlierDaysGoTogether)
{
    QTemporaryDir ini;
    UserOpts opts(ini.filePath("user.ini"));
    LogCapture log;
    const auto old8 = addExperiment(EnumOBJ::Gel, day(8), "Gel-8", 1);
    const auto wb8 = addExperiment(EnumOBJ::WB, day(8), "WB-8", 1);
    const auto mult8 = addExperiment(EnumOBJ::Mult, day(8), "Mult-8", 1);
    const auto kept7 = addExperiment(EnumOBJ::Gel, day(7), "Gel-7", 1);
    const auto kept6 = addExperiment(EnumOBJ::WB, day(6), "WB-6", 1);
    const auto today = addExperiment(EnumOBJ::Gel, day(0), "Gel-0", 1);
    const QString images = AppPaths::appDir() + "/Images/";
    touch(images + "stray-old.tif", QDateTime::currentDateTime().addDays(-9));
    touch(images + "stray-new.tif", QDateTime::currentDateTime().addDays(-1));
    auto everythingThere = [&] {
        return QFileInfo::exists(old8.files[0]) && QFileInfo::exists(images + "stray-old.tif")
               && hasRow(GelExperimentDB::getInstance(), old8);
    };

    // Switched off, or an age outside 7..60 (0 would take today's images): nothing happens.
    runPass(opts, false, 7);
    EXPECT_TRUE(everythingThere());
    EXPECT_FALSE(log.contains("Regular remove dir success."));
    for (int days : {0, 6, 61, -3}) {
        log.clear();
        runPass(opts, true, days);
        EXPECT_TRUE(everythingThere()) << days;
        EXPECT_TRUE(log.contains("image clean-up skipped")) << days;
    }

    runPass(opts, true, 7);
    EXPECT_TRUE(log.contains("Regular remove dir success."));
    EXPECT_FALSE(QFileInfo::exists(images + day(8)));
    EXPECT_FALSE(QFileInfo::exists(images + "stray-old.tif"));
    EXPECT_FALSE(hasRow(GelExperimentDB::getInstance(), old8));
    EXPECT_FALSE(hasRow(WesternBlotExperimentDB::getInstance(), wb8));
    EXPECT_FALSE(hasRow(MultExperimentDB::getInstance(), mult8));
    for (const auto* kept : {&kept7, &today})
        EXPECT_TRUE(QFileInfo::exists(kept->files[0]) && hasRow(GelExperimentDB::getInstance(), *kept));
    EXPECT_TRUE(QFileInfo::exists(kept6.files[0]) && hasRow(WesternBlotExperimentDB::getInstance(), kept6));
    EXPECT_TRUE(QFileInfo::exists(images + "stray-new.tif"));
}

TEST(RegularRemove, AMissingImagesFolderEndsThePass)
{
    QTemporaryDir ini;
    UserOpts opts(ini.filePath("user.ini"));
    LogCapture log;
    QDir(AppPaths::appDir() + "/Images").removeRecursively();
    runPass(opts, true, 7);
    EXPECT_TRUE(log.contains("定期删除的文件夹不存在。"));
    EXPECT_FALSE(log.contains("Regular remove dir success."));
}
