// The thumbnails of a day of 1,400 stored pictures: time to the first screenful and to all of
// them. Ours is what the library page does: `Image`s loading "image://thumbnail/<path>"
// asynchronously at their shown size through ThumbnailProvider, the screenful asked first and
// the rest once none of it is loading. The peer is the plain way: QImageReader at the fitted
// scaled size, one picture after the other. Both give the same images (checked first).
#include "pairsummary.h"

#include "imagesaver.h"
#include "thumbnailprovider.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QUrl>

#include <opencv2/core.hpp>

#include <memory>
#include <vector>

namespace {

constexpr int kDay = 1400;
constexpr int kExperiments = 20;
// A binned frame of the cabinet's camera, as the captures store it (16-bit grey TIFF, ~1 MB).
constexpr int kWidth = 1040;
constexpr int kHeight = 520;
// The library page at 1280 x 800: four experiment strips of six thumbnails are on screen.
constexpr int kScreenful = 24;
// The page's thumbnail box (150 x 112) less its 3-pixel frame on each side.
const QSize kShown(144, 106);

QTemporaryDir* g_root = nullptr;
QStringList g_pictures; // in the order the page lists them

void prepare()
{
    g_root = new QTemporaryDir;
    cv::Mat picture(kHeight, kWidth, CV_16UC1);
    cv::theRNG().state = 11;
    for (int e = 0; e < kExperiments; ++e) {
        const QString folder = g_root->path() + QStringLiteral("/Images/2026-12-01/Exp%1/").arg(e);
        QDir().mkpath(folder);
        for (int i = 0; i < kDay / kExperiments; ++i) {
            cv::randu(picture, cv::Scalar(500 + e), cv::Scalar(60000));
            const QString path = folder + QStringLiteral("%1-%2_Gen.tif").arg(i, 3, 10, QLatin1Char('0')).arg(e);
            if (!writeTiff(path, picture))
                benchpairs::abortRun("fixture picture not written");
            g_pictures.append(path);
        }
    }
}

// ---- ours: the page's Image items on the engine's image reader ------------------------------

// Counts the items that finished loading, from their status reports.
class LoadCounter : public QObject {
    Q_OBJECT
public:
    int ready = 0, failed = 0;
public Q_SLOTS:
    void count()
    {
        const int status = sender()->property("status").toInt();
        ready += status == 1;  // Image.Ready
        failed += status == 3; // Image.Error
    }
};

class PageLoader {
public:
    PageLoader()
    {
        m_engine.addImageProvider(QStringLiteral("thumbnail"), new ThumbnailProvider);
        m_component.setData("import QtQuick 2.15\n"
                            "Image { asynchronous: true; cache: false; fillMode: Image.PreserveAspectFit }",
                            QUrl());
        if (!m_component.isReady())
            benchpairs::abortRun("thumbnail item: " + m_component.errorString().toStdString());
    }

    // Drops the items of the last round: the page's engine stays, as it does while the page runs.
    void clear()
    {
        m_items.clear();
        m_counter.ready = m_counter.failed = 0;
        m_done = 0;
    }

    // Asks for pictures [first, last) as the page's thumbnails do and waits until all are shown.
    void load(int first, int last)
    {
        const int target = m_done + (last - first);
        for (int i = first; i < last; ++i) {
            QObject* object = m_component.beginCreate(m_engine.rootContext());
            auto* item = qobject_cast<QQuickItem*>(object);
            if (!item)
                benchpairs::abortRun("thumbnail item not made");
            item->setProperty("sourceSize", kShown);
            // As the page builds it: the path as in a file URL after the provider's name.
            item->setProperty("source", QStringLiteral("image://thumbnail") +
                                            QUrl::fromLocalFile(g_pictures.at(i)).toString(QUrl::FullyEncoded).mid(7));
            QObject::connect(item, SIGNAL(statusChanged(QQuickImageBase::Status)), &m_counter, SLOT(count()));
            m_component.completeCreate();
            m_items.emplace_back(item);
        }
        QElapsedTimer deadline;
        deadline.start();
        while (m_counter.ready + m_counter.failed < target) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            if (deadline.elapsed() > 600000)
                benchpairs::abortRun("thumbnails did not arrive");
        }
        m_done = target;
        if (m_counter.failed)
            benchpairs::abortRun("a thumbnail was not loaded");
    }

    // The size each item was given, in listing order.
    std::vector<QSize> sizes() const
    {
        std::vector<QSize> out;
        for (const auto& item : m_items)
            out.push_back(QSize(item->property("implicitWidth").toInt(), item->property("implicitHeight").toInt()));
        return out;
    }

private:
    QQmlEngine m_engine;
    QQmlComponent m_component{&m_engine};
    LoadCounter m_counter;
    std::vector<std::unique_ptr<QQuickItem>> m_items;
    int m_done = 0;
};

// Made on first use and dropped by main while the application still exists: the engine's image
// reader thread cannot be stopped after that.
std::unique_ptr<PageLoader> g_page;

PageLoader& pageLoader()
{
    if (!g_page)
        g_page = std::make_unique<PageLoader>();
    return *g_page;
}

// ---- the peer -----------------------------------------------------------------------------

QImage peerThumbnail(const QString& path)
{
    QImageReader reader(path);
    reader.setScaledSize(reader.size().scaled(kShown, Qt::KeepAspectRatio));
    return reader.read();
}

void peerLoad(int first, int last)
{
    for (int i = first; i < last; ++i) {
        const QImage image = peerThumbnail(g_pictures.at(i));
        if (image.isNull())
            benchpairs::abortRun("peer thumbnail not decoded");
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Every picture: the provider's image is the peer's, and the page's items got that size.
void checkSame()
{
    ThumbnailProvider provider;
    const QString prefix = QStringLiteral("image://thumbnail/");
    for (const QString& path : g_pictures) {
        QSize size;
        const QImage ours = provider.requestImage(
            QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).mid(8), &size, kShown);
        const QImage peer = peerThumbnail(path);
        if (ours.isNull() || ours != peer)
            benchpairs::abortRun("provider and plain reader differ: " + path.toStdString());
    }
    PageLoader& page = pageLoader();
    page.load(0, kDay);
    const std::vector<QSize> sizes = page.sizes();
    page.clear();
    const QSize expected = peerThumbnail(g_pictures.first()).size();
    for (const QSize& s : sizes)
        if (s != expected)
            benchpairs::abortRun("a page thumbnail has another size than the plain reader's");
}

void thumbnails_screen_ours(benchmark::State& state)
{
    PageLoader& page = pageLoader();
    for (auto _ : state) {
        page.load(0, kScreenful);
        state.PauseTiming();
        page.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kScreenful);
}

void thumbnails_screen_peer(benchmark::State& state)
{
    for (auto _ : state)
        peerLoad(0, kScreenful);
    state.SetItemsProcessed(state.iterations() * kScreenful);
}

void thumbnails_day_ours(benchmark::State& state)
{
    PageLoader& page = pageLoader();
    for (auto _ : state) {
        page.load(0, kScreenful);
        page.load(kScreenful, kDay);
        state.PauseTiming();
        page.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kDay);
}

void thumbnails_day_peer(benchmark::State& state)
{
    for (auto _ : state) {
        peerLoad(0, kScreenful);
        peerLoad(kScreenful, kDay);
    }
    state.SetItemsProcessed(state.iterations() * kDay);
}

} // namespace

BENCHMARK(thumbnails_screen_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thumbnails_screen_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thumbnails_day_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(thumbnails_day_peer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    prepare();
    checkSame();
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_page.reset();
    delete g_root;
    return 0;
}

#include "bench_library_thumbnails.moc"
