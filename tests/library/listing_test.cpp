// The library's folder listings, the thread that reports them, the table queries of the pages
// and the hand-off to the image-analysis program.
#include <gtest/gtest.h>

#include "apppaths.h"
#include "enumobj.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "libraryfiles.h"
#include "libraryfixture.h"
#include "libraryflow.h"
#include "logcapture.h"
#include "multexperimentdb.h"
#include "testappdir.h"
#include "updateimagebyispthread.h"
#include "westernblotexperimentdb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <tuple>
#include <vector>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

FlowContext::Devices storeDevices()
{
    FlowContext::Devices devices;
    devices.gelExpDB = GelExperimentDB::getInstance();
    devices.wbExpDB = WesternBlotExperimentDB::getInstance();
    devices.multExpDB = MultExperimentDB::getInstance();
    return devices;
}

using Report = std::tuple<int, int, QString>;

} // namespace

TEST(TifFileNames, ListsTiffFilesOnlySortedIgnoringCaseAndOneEmptyNameOtherwise)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    QDir().mkpath(root + "mixed/folder.tif");
    touch(root + "mixed/b.tif");
    touch(root + "mixed/A.tif");
    touch(root + "mixed/notes.txt");
    QDir().mkpath(root + "empty");
    touch(root + "other.txt");

    EXPECT_EQ(tifFileNames(root + "mixed/"), (QStringList{"A.tif", "b.tif"}));
    EXPECT_EQ(tifFileNames(root + "empty/"), QStringList{QString()});
    EXPECT_EQ(tifFileNames(root + "missing/"), QStringList{QString()});
    EXPECT_EQ(tifFileNames(QString()), QStringList{QString()});
}

TEST(UpdateImageByISPThread, ReportsEachFileAsFolderAndNameWithTheFoldersPosition)
{
    QTemporaryDir dir;
    const QString one = dir.path() + "/one/";
    const QString two = dir.path() + "/two/";
    QDir().mkpath(one);
    QDir().mkpath(two);
    touch(one + "b.tif");
    touch(one + "a.tif");
    touch(one + "c.txt");
    touch(two + "z.tif");
    const QString missing = dir.path() + "/gone/";

    struct Case {
        QVariantList folders;
        std::vector<Report> expected;
    };
    const std::vector<Case> cases = {
        {{}, {}},
        {{one, two}, {{7, 0, one + "a.tif"}, {7, 0, one + "b.tif"}, {7, 1, two + "z.tif"}}},
        {{missing, two}, {{7, 0, missing}, {7, 1, two + "z.tif"}}},
    };
    for (const Case& c : cases) {
        UpdateImageByISPThread thread;
        thread.index = 7;
        thread.imageSavePathList = c.folders;
        std::vector<Report> reports;
        QObject::connect(&thread, &UpdateImageByISPThread::updateListView, &thread,
                         [&](int index, int j, const QString& name) { reports.emplace_back(index, j, name); },
                         Qt::DirectConnection);
        thread.start();
        ASSERT_TRUE(thread.wait(5000));
        EXPECT_EQ(reports, c.expected);
    }
}

TEST(LibraryFlow, ClosesTheLoadingDialogOfARowAfterItsLastReport)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/exp/";
    QDir().mkpath(folder);
    for (int i = 0; i < 40; ++i)
        touch(folder + QStringLiteral("f%1.tif").arg(i, 3, 10, QLatin1Char('0')));
    FlowContext ctx(storeDevices());
    LibraryFlow flow(ctx);
    std::vector<QString> order;
    QObject::connect(&flow, &LibraryFlow::updateListView,
                     [&](int index, int, const QString& name) { order.push_back(QString::number(index) + name); });
    QObject::connect(&flow, &LibraryFlow::closeLoadingDialog,
                     [&](int index) { order.push_back(QStringLiteral("close%1").arg(index)); });
    flow.updateImageByISP(3, {folder});
    flow.updateImageByISP(4, {});
    ASSERT_TRUE(waitFor([&] { return order.size() == 42; }));
    EXPECT_EQ(std::count(order.begin(), order.end(), QStringLiteral("close4")), 1);
    EXPECT_EQ(order.back() == QStringLiteral("close3") || order.back() == QStringLiteral("close4"), true);
    const auto close3 = std::find(order.begin(), order.end(), QStringLiteral("close3"));
    EXPECT_EQ(std::count_if(close3, order.end(), [](const QString& s) { return s.startsWith("3"); }), 0);
}

TEST(LibraryFlow, AnswersThePagesQueriesFromTheModesTable)
{
    const auto gelOld = addExperiment(EnumOBJ::Gel, "2026-11-02", "GelOld", 1);
    const auto gelNew = addExperiment(EnumOBJ::Gel, "2026-11-05", "GelNew", 3);
    addExperiment(EnumOBJ::Gel, "2026-11-05", "GelOther", 1, 64, 48, "operator");
    const auto wb = addExperiment(EnumOBJ::WB, "2026-11-04", "WBS-1", 2);
    const auto mult = addExperiment(EnumOBJ::Mult, "2026-11-03", "Mult-1", 2);
    FlowContext ctx(storeDevices());
    LibraryFlow flow(ctx);

    EXPECT_EQ(flow.loadAllDate(EnumOBJ::Gel, "", "", "2026-11-01", "2026-11-30"),
              (QVariantList{"2026-11-05", "2026-11-02"}));
    EXPECT_EQ(flow.loadAllDate(EnumOBJ::Gel, "admin", "GelOld", "2026-11-01", "2026-11-30"),
              (QVariantList{"2026-11-02"}));
    EXPECT_EQ(flow.loadAllDate(EnumOBJ::Gel, "", "", "2026-11-03", "2026-11-04"), QVariantList());
    EXPECT_EQ(flow.loadAllDate(EnumOBJ::WB, "", "", "2026-11-01", "2026-11-30"), (QVariantList{"2026-11-04"}));
    EXPECT_EQ(flow.loadAllDate(EnumOBJ::Unknow_ExpMode, "", "", "2026-11-01", "2026-11-30"), QVariantList());

    const QVariantList day = flow.loadByDate(EnumOBJ::Gel, "2026-11-05", "admin", "");
    ASSERT_EQ(day.size(), 1);
    EXPECT_EQ(day.at(0).toString(), gelNew.uuid + ",GelNew," + gelNew.folder);

    const QVariantList params = flow.loadExpParamByImageSavePath(EnumOBJ::Gel, gelNew.folder);
    EXPECT_EQ(params, (QVariantList{gelNew.uuid, "1*1,2*2,3*3,", "10,20,30,", "1,2,3,", "img_0.tif,img_1.tif,img_2.tif,"}));
    EXPECT_EQ(flow.getDirFilesName(gelNew.folder), (QStringList{"img_0.tif", "img_1.tif", "img_2.tif"}));

    const QVariantList all = flow.loadAllImageSavePath();
    const int posGel = all.indexOf(gelOld.folder);
    const int posWb = all.indexOf(wb.folder);
    const int posMult = all.indexOf(mult.folder);
    ASSERT_GE(posGel, 0);
    EXPECT_LT(posGel, posWb);
    EXPECT_LT(posWb, posMult);
}

TEST(ImageAnalysisHandOff, KindFlagFollowsConfigurationAndMode)
{
    FlowContext ctx(FlowContext::Devices{});
    LibraryFlow flow(ctx);
    struct Case {
        EnumOBJ::AuthorityType type;
        EnumOBJ::ExpMode mode;
        int kind;
    };
    const Case cases[] = {
        {EnumOBJ::WBQI, EnumOBJ::WB, 1},          {EnumOBJ::WBQI, EnumOBJ::Gel, 0},
        {EnumOBJ::WBQI, EnumOBJ::Mult, 0},        {EnumOBJ::AllAuthorityTS, EnumOBJ::WB, 1},
        {EnumOBJ::AllAuthorityTS, EnumOBJ::Mult, 1}, {EnumOBJ::AllAuthorityTS, EnumOBJ::Gel, 0},
        {EnumOBJ::WBTS695Mini, EnumOBJ::WB, 1},    {EnumOBJ::Unknow_AuthorityType, EnumOBJ::WB, 0},
    };
    for (const Case& c : cases) {
        ctx.setAuthorityType(c.type);
        EXPECT_EQ(flow.analysisKind(c.mode), c.kind) << c.type << " " << c.mode;
    }
}

TEST(ImageAnalysisHandOff, StartsTheProgramOfTheApplicationFolderDetachedOrSaysItIsMissing)
{
    FlowContext ctx(FlowContext::Devices{});
    LibraryFlow flow(ctx);
    EXPECT_EQ(LibraryFlow::analysisProgram(), AppPaths::appDir() + "/Veldrin_boxed");

    LogCapture log;
    QFile::remove(LibraryFlow::analysisProgram());
    EXPECT_FALSE(flow.startAnalysis("/data/a b.tif", 1));
    EXPECT_TRUE(log.contains("image-analysis program not found:"));

    // A stand-in that writes its arguments, one a line, beside itself.
    const QString out = AppPaths::appDir() + "/analysis-args.txt";
    QFile script(LibraryFlow::analysisProgram());
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + out + ".tmp' && mv '" + out + ".tmp' '" + out + "'\n")
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(flow.startAnalysis("/data/a b.tif", 1));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(out); }));
    QFile args(out);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), QStringLiteral("/data/a b.tif\n1\n1\n"));
}
