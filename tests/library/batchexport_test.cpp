// The batch export: per-experiment folders, progress, the overlay from the rows, the overwrite
// question, the cancel (also one given before the thread runs) and folder URLs.
#include <gtest/gtest.h>

#include "enumobj.h"
#include "exportfilelistthread.h"
#include "exporttestutil.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "libraryfixture.h"
#include "libraryflow.h"
#include "multexperimentdb.h"
#include "testappdir.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <utility>
#include <vector>

namespace {

FlowContext::Devices devices()
{
    FlowContext::Devices d;
    d.gelExpDB = GelExperimentDB::getInstance();
    d.wbExpDB = WesternBlotExperimentDB::getInstance();
    d.multExpDB = MultExperimentDB::getInstance();
    d.userOpts = UserOpts::getInstance();
    return d;
}

void setWatermark(bool on)
{
    UserOpts::getInstance()->setIsExportWatermark(on);
}

QVariantList listOf(const QStringList& files)
{
    QVariantList list;
    for (const QString& f : files)
        list.append(f);
    return list;
}

struct BatchRun {
    std::vector<std::pair<int, int>> counts;
    int breaks = 0;
    QStringList asked;
};

// Starts the batch on flow and waits until it has ended.
void runBatch(LibraryFlow& flow, const QVariantList& list, const QString& folder, int mode, BatchRun& run,
              const std::function<void()>& afterStart = {})
{
    QObject guard;
    QObject::connect(&flow, &LibraryFlow::sig_exportCount, &guard,
                     [&](int i, int n) { run.counts.emplace_back(i, n); });
    QObject::connect(&flow, &LibraryFlow::sig_exportBreak, &guard, [&] { ++run.breaks; });
    flow.exportImage(list, folder, mode);
    if (afterStart)
        afterStart();
    ASSERT_TRUE(waitFor([&] { return !flow.exportRunning(); }, 10000));
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(BatchExport, OneSubFolderPerExperimentWithProgressAndPlainCopies)
{
    setWatermark(false);
    const auto a = addExperiment(EnumOBJ::Gel, "2026-10-01", "GelA", 2);
    const auto b = addExperiment(EnumOBJ::Gel, "2026-10-01", "GelB", 1);
    QTemporaryDir out;
    FlowContext ctx(devices());
    LibraryFlow flow(ctx);
    BatchRun run;
    runBatch(flow, listOf(a.files + b.files), QUrl::fromLocalFile(out.path()).toString(), EnumOBJ::Gel, run);

    EXPECT_EQ(run.counts, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}}));
    EXPECT_EQ(run.breaks, 0);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"GelA", "GelB"}));
    for (const QString& source : a.files + b.files) {
        const QFileInfo info(source);
        const QString target = out.path() + "/" + info.dir().dirName() + "/" + info.fileName();
        const TiffTags tags = readTiffTags(target);
        EXPECT_EQ(tags.xdpi, 600);
        EXPECT_EQ(tags.ydpi, 600);
        EXPECT_EQ(tags.compression, 1);
        EXPECT_EQ(cv::countNonZero(readBack(target) != readBack(source)), 0);
    }
}

// The overlay comes from the experiment's row: the Western blot's one binning, the gel's own
// entry, each picture's exposure and gain; each thread keeps its own texts.
TEST(BatchExport, OverlayFromTheRowsOfTheModesTable)
{
    setWatermark(true);
    const auto wb = addExperiment(EnumOBJ::WB, "2026-10-02", "WBM-ov", 3, 420, 300);
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-02", "Gel-ov", 2, 420, 300);
    QTemporaryDir out;
    ExportShared sharedWb, sharedGel;
    ExportFileListThread wbThread(listOf(wb.files), out.path() + "/wb", sharedWb, WesternBlotExperimentDB::getInstance(),
                                  true, UserOpts::getInstance());
    ExportFileListThread gelThread(listOf({gel.files.at(1)}), out.path() + "/gel", sharedGel,
                                   GelExperimentDB::getInstance(), false, UserOpts::getInstance());
    wbThread.start();
    gelThread.start();
    ASSERT_TRUE(wbThread.wait(10000));
    ASSERT_TRUE(gelThread.wait(10000));
    const WatermarkLines w = wbThread.lastOverlay();
    EXPECT_EQ(w.first, "Resolution/Sensitivity: 4*4");
    EXPECT_EQ(w.second, "Exposure: 30");
    EXPECT_EQ(w.third, "Gain: 3");
    const WatermarkLines g = gelThread.lastOverlay();
    EXPECT_EQ(g.first, "Resolution/Sensitivity: 2*2");
    EXPECT_EQ(g.second, "Exposure: 20");
    EXPECT_EQ(g.third, "Gain: 2");

    const cv::Mat source = readBack(gel.files.at(1));
    const cv::Mat marked = readBack(out.path() + "/gel/Gel-ov/img_1.tif");
    EXPECT_GT(changedPixels(source, marked, overlayBand(420, 300)), 50);
    EXPECT_EQ(changedPixels(source, marked, cv::Rect(0, 0, 420, 100)), 0);
    EXPECT_EQ(readTiffTags(out.path() + "/gel/Gel-ov/img_1.tif").xdpi, 600);
    setWatermark(false);
}

TEST(BatchExport, PictureMissingFromTheRowIsExportedWithoutOverlay)
{
    setWatermark(true);
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-03", "Gel-extra", 1, 420, 300);
    QFile::copy(gel.files.at(0), gel.folder + "unlisted.tif");
    QTemporaryDir out;
    FlowContext ctx(devices());
    LibraryFlow flow(ctx);
    BatchRun run;
    runBatch(flow, listOf({gel.folder + "unlisted.tif"}), out.path(), EnumOBJ::Gel, run);
    EXPECT_EQ(bytesOf(out.path() + "/Gel-extra/unlisted.tif"), bytesOf(gel.folder + "unlisted.tif"));
    setWatermark(false);
}

TEST(BatchExport, OverwriteQuestionNoThenYesAndYesToAll)
{
    setWatermark(false);
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-04", "Gel-ow", 3);
    struct Case {
        const char* name;
        std::vector<int> answers;
        int asked;
        std::vector<bool> overwritten;
    };
    const std::vector<Case> cases = {
        {"no then yes", {LibraryFlow::No, LibraryFlow::Yes, LibraryFlow::No}, 3, {false, true, false}},
        {"yes to all", {LibraryFlow::YesToAll}, 1, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir out;
        QDir().mkpath(out.path() + "/Gel-ow");
        for (int i = 0; i < 3; ++i) {
            QFile old(out.path() + QStringLiteral("/Gel-ow/img_%1.tif").arg(i));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        FlowContext ctx(devices());
        LibraryFlow flow(ctx);
        BatchRun run;
        flow.setOverwriteQuestion([&](const QString& name) {
            run.asked.append(name);
            return c.answers.at(std::min<size_t>(run.asked.size() - 1, c.answers.size() - 1));
        });
        runBatch(flow, listOf(gel.files), out.path(), EnumOBJ::Gel, run);
        EXPECT_EQ(run.asked.size(), c.asked);
        EXPECT_EQ(run.asked.value(0), "img_0.tif");
        for (int i = 0; i < 3; ++i) {
            const QByteArray now = bytesOf(out.path() + QStringLiteral("/Gel-ow/img_%1.tif").arg(i));
            EXPECT_EQ(now != "old", c.overwritten[i]) << i;
        }
        EXPECT_EQ(run.counts.size(), 3u);
    }
}

TEST(BatchExport, CancelDuringTheQuestionTakesEffectAfterTheAnswer)
{
    setWatermark(false);
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-05", "Gel-cancel", 3);
    QTemporaryDir out;
    QDir().mkpath(out.path() + "/Gel-cancel");
    QFile old(out.path() + "/Gel-cancel/img_0.tif");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    FlowContext ctx(devices());
    LibraryFlow flow(ctx);
    flow.setOverwriteQuestion([&](const QString&) {
        flow.setExportFlag(true);
        return int(LibraryFlow::Yes);
    });
    BatchRun run;
    runBatch(flow, listOf(gel.files), out.path(), EnumOBJ::Gel, run);
    EXPECT_NE(bytesOf(out.path() + "/Gel-cancel/img_0.tif"), QByteArray("old"));
    EXPECT_EQ(run.counts, (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_EQ(run.breaks, 1);
    EXPECT_FALSE(QFile::exists(out.path() + "/Gel-cancel/img_1.tif"));
}

// A cancel that reaches the controller before the thread runs is not cleared by the thread.
TEST(BatchExport, CancelBeforeTheThreadRunsIsKept)
{
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-06", "Gel-early", 2);
    QTemporaryDir out;
    ExportShared shared;
    shared.exportBreak = true;
    ExportFileListThread thread(listOf(gel.files), out.path(), shared, nullptr, false, nullptr);
    int breaks = 0, counts = 0;
    QObject::connect(&thread, &ExportFileListThread::sig_exportBreak, &thread, [&] { ++breaks; }, Qt::DirectConnection);
    QObject::connect(&thread, &ExportFileListThread::sig_exportCount, &thread, [&] { ++counts; }, Qt::DirectConnection);
    thread.start();
    ASSERT_TRUE(thread.wait(5000));
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(counts, 0);
    EXPECT_TRUE(QDir(out.path()).isEmpty());

    // Through the controller: the cancel right after the start stops the batch at its first
    // picture at the latest.
    FlowContext ctx(devices());
    LibraryFlow flow(ctx);
    BatchRun run;
    runBatch(flow, listOf(gel.files), out.path() + "/second", EnumOBJ::Gel, run, [&] { flow.setExportFlag(true); });
    EXPECT_EQ(run.breaks, 1);
    EXPECT_LE(run.counts.size(), 1u);
    // The next batch starts without the old cancel.
    BatchRun again;
    runBatch(flow, listOf(gel.files), out.path() + "/third", EnumOBJ::Gel, again);
    EXPECT_EQ(again.counts.size(), 2u);
    EXPECT_EQ(again.breaks, 0);
}

TEST(BatchExport, FolderUrlWithSpacesAndPercentIsALocalPath)
{
    setWatermark(false);
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-07", "Gel-url", 1);
    QTemporaryDir out;
    const QString folder = out.path() + "/chosen folder 50%";
    QDir().mkpath(folder);
    FlowContext ctx(devices());
    LibraryFlow flow(ctx);
    BatchRun run;
    runBatch(flow, listOf(gel.files), QUrl::fromLocalFile(folder).toString(), EnumOBJ::Gel, run);
    EXPECT_TRUE(QFile::exists(folder + "/Gel-url/img_0.tif"));
}

// An experiment without pictures is listed by its folder; ticked, it exports nothing and asks
// nothing, and the batch goes on.
TEST(BatchExport, FolderEntryOfAnEmptyExperimentIsSkipped)
{
    setWatermark(false);
    const auto empty = addExperiment(EnumOBJ::Gel, "2026-10-08", "Gel-none", 0);
    const auto gel = addExperiment(EnumOBJ::Gel, "2026-10-08", "Gel-one", 1);
    QTemporaryDir out;
    QDir().mkpath(out.path() + "/Gel-none");
    FlowContext ctx(devices());
    LibraryFlow flow(ctx);
    BatchRun run;
    flow.setOverwriteQuestion([&](const QString& name) {
        run.asked.append(name);
        return int(LibraryFlow::No);
    });
    runBatch(flow, listOf({empty.folder, gel.files.at(0)}), out.path(), EnumOBJ::Gel, run);
    EXPECT_TRUE(run.asked.isEmpty());
    EXPECT_EQ(run.counts, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
    EXPECT_TRUE(QFile::exists(out.path() + "/Gel-one/img_0.tif"));
}
