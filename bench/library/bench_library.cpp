// The batch export of 300 stored pictures against cp of the same files, with and without the
// overlay; the listing of a day's folders with 1,400 pictures against a bare directory read;
// the decoding of one thumbnail at its shown size as the pages do it against OpenCV.
#include "pairsummary.h"

#include "apppaths.h"
#include "experimentrecord.h"
#include "exportfilelistthread.h"
#include "gelexperimentdb.h"
#include "imagesaver.h"
#include "libraryfiles.h"
#include "updateimagebyispthread.h"
#include "useropts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kBatch = 300;
constexpr int kDay = 1400;
// A binned frame of the cabinet's camera (about 1 MB as 16-bit TIFF).
constexpr int kWidth = 1040;
constexpr int kHeight = 520;

QTemporaryDir* g_root = nullptr;
QStringList g_batch;         // the stored pictures
QString g_day;               // folder of the day's listing
QStringList g_dayFolders;    // experiment folders of that day

cv::Mat picture(int seed)
{
    cv::Mat m(kHeight, kWidth, CV_16UC1);
    cv::randu(m, cv::Scalar(1000 + seed), cv::Scalar(60000));
    return m;
}

void prepare()
{
    g_root = new QTemporaryDir;
    qputenv("TAVRILL_APP_DIR", g_root->path().toUtf8());
    // 300 pictures of 10 experiments, each with its row (the overlay reads them).
    GelExperimentDB* gel = GelExperimentDB::getInstance();
    for (int e = 0; e < 10; ++e) {
        const QString folder = g_root->path() + QStringLiteral("/Images/2026-12-01/Exp%1/").arg(e);
        QDir().mkpath(folder);
        GelExperimentRecord record;
        record.userName = "admin";
        record.expType = 0;
        record.name = QStringLiteral("Exp%1").arg(e);
        record.date = "2026-12-01";
        record.dateTime = QDateTime::currentDateTime();
        record.imageSavePath = folder;
        for (int i = 0; i < kBatch / 10; ++i) {
            const QString name = QStringLiteral("img_%1.tif").arg(i, 3, 10, QLatin1Char('0'));
            if (!writeTiff(folder + name, picture(e * 100 + i)))
                benchpairs::abortRun("fixture picture not written");
            g_batch.append(folder + name);
            record.binning += "2*2,";
            record.exposureTime += QString::number(100 + i) + ",";
            record.gain += "1,";
            record.imageNames += name + ",";
        }
        gel->insertExperiment(&record);
    }
    // A day of 1,400 pictures in 20 experiments; the listing only reads names.
    g_day = g_root->path() + "/day";
    for (int e = 0; e < 20; ++e) {
        const QString folder = g_day + QStringLiteral("/Exp%1/").arg(e);
        QDir().mkpath(folder);
        g_dayFolders.append(folder);
        for (int i = 0; i < kDay / 20; ++i) {
            QFile f(folder + QStringLiteral("%1-%2_Gen.tif").arg(i, 3, 10, QLatin1Char('0')).arg(e));
            f.open(QIODevice::WriteOnly);
        }
    }
}

QString freshTarget(const char* side)
{
    static int n = 0;
    const QString out = g_root->path() + QStringLiteral("/out_%1_%2").arg(side).arg(++n);
    QDir().mkpath(out);
    return out;
}

void removeTree(const QString& path)
{
    QDir(path).removeRecursively();
}

void runExport(const QString& out, bool overlay)
{
    UserOpts::getInstance()->setIsExportWatermark(overlay);
    ExportShared shared;
    QVariantList list;
    for (const QString& s : g_batch)
        list.append(s);
    ExportFileListThread thread(list, out, shared, GelExperimentDB::getInstance(), false, UserOpts::getInstance());
    thread.start();
    thread.wait();
}

void runCp(const QString& out)
{
    // One cp per experiment folder, as the export writes one sub-folder per experiment.
    for (int e = 0; e < 10; ++e) {
        const QString sub = out + QStringLiteral("/Exp%1").arg(e);
        QDir().mkpath(sub);
        QStringList args = g_batch.mid(e * (kBatch / 10), kBatch / 10);
        args.append(sub);
        if (QProcess::execute(QStringLiteral("cp"), args) != 0)
            benchpairs::abortRun("cp failed");
    }
}

// Every exported picture against its copy by cp.
void checkSame(const QString& a, const QString& b)
{
    for (const QString& picture : g_batch) {
        const QFileInfo info(picture);
        const QString rel = "/" + info.dir().dirName() + "/" + info.fileName();
        if (!QFileInfo::exists(a + rel) || !QFileInfo::exists(b + rel))
            benchpairs::abortRun("exported file missing: " + rel.toStdString());
        const cv::Mat p = cv::imread(QFile::encodeName(a + rel).toStdString(), cv::IMREAD_UNCHANGED);
        const cv::Mat q = cv::imread(QFile::encodeName(b + rel).toStdString(), cv::IMREAD_UNCHANGED);
        if (p.empty() || p.type() != q.type() || p.size() != q.size() || cv::norm(p, q, cv::NORM_INF) != 0)
            benchpairs::abortRun("the export and cp give different pictures: " + rel.toStdString());
    }
}

void batch_export_ours(benchmark::State& state)
{
    const bool overlay = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString out = freshTarget("ours");
        state.ResumeTiming();
        runExport(out, overlay);
        state.PauseTiming();
        removeTree(out);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void batch_export_peer(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString out = freshTarget("peer");
        state.ResumeTiming();
        runCp(out);
        state.PauseTiming();
        removeTree(out);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

// The thread's reports as the page receives them, to the last one.
void day_listing_ours(benchmark::State& state)
{
    QVariantList folders;
    for (const QString& f : g_dayFolders)
        folders.append(f);
    for (auto _ : state) {
        UpdateImageByISPThread thread;
        thread.imageSavePathList = folders;
        int reports = 0;
        QObject::connect(&thread, &UpdateImageByISPThread::updateListView, &thread,
                         [&reports](int, int, const QString& name) { reports += !name.isEmpty(); },
                         Qt::DirectConnection);
        thread.start();
        thread.wait();
        if (reports != kDay)
            benchpairs::abortRun("listing lost files");
    }
}

void day_listing_peer(benchmark::State& state)
{
    for (auto _ : state) {
        int count = 0;
        for (const QString& folder : g_dayFolders) {
            std::vector<std::string> names;
            DIR* dir = opendir(QFile::encodeName(folder).constData());
            while (dirent* e = readdir(dir)) {
                const std::string n = e->d_name;
                if (n.size() > 4 && n.compare(n.size() - 4, 4, ".tif") == 0)
                    names.push_back(folder.toStdString() + n);
            }
            closedir(dir);
            std::sort(names.begin(), names.end());
            count += int(names.size());
        }
        benchmark::DoNotOptimize(count);
    }
}

// One thumbnail as the pages decode it (the toolkit's reader at the shown size) and as OpenCV
// would (read, then shrink).
void thumbnail_ours(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        QImageReader reader(g_batch.at(i++ % g_batch.size()));
        reader.setScaledSize(QSize(144, 72));
        const QImage image = reader.read();
        if (image.isNull())
            benchpairs::abortRun("thumbnail not decoded");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void thumbnail_peer(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const cv::Mat full = cv::imread(QFile::encodeName(g_batch.at(i++ % g_batch.size())).toStdString(),
                                        cv::IMREAD_UNCHANGED);
        cv::Mat small;
        cv::resize(full, small, cv::Size(144, 72), 0, 0, cv::INTER_AREA);
        benchmark::DoNotOptimize(small.data);
    }
}

} // namespace

BENCHMARK(batch_export_ours)->ArgName("overlay")->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(batch_export_peer)->ArgName("overlay")->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(batch_export_ours)->ArgName("overlay")->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(batch_export_peer)->ArgName("overlay")->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(day_listing_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(day_listing_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thumbnail_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thumbnail_peer)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepare();
    {
        // Both sides give the same pictures before anything is timed.
        const QString a = freshTarget("check"), b = freshTarget("check");
        runExport(a, false);
        runCp(b);
        checkSame(a, b);
        removeTree(a);
        removeTree(b);
    }
    benchmark::Initialize(&argc, argv);
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    delete g_root;
    return 0;
}
