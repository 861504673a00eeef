// A sample frame's whole picture set (levels, stretch, sharpening, the over-exposure picture,
// both 16-bit pictures and the data file) by the program's saver, against the same steps and
// files made the plain OpenCV way (peersave).
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "benchframe.h"
#include "imagesaver.h"
#include "peersave.h"

namespace {

constexpr int kLevel = 30;
constexpr double kPercent = 0.001;

struct Data {
    cv::Mat frame = benchFrame();
    std::vector<uint8_t> marks;
    cv::Mat markImage;
    QTemporaryDir dir;
    SaveContext ctx;
    WBSaveOptions opts;
    Data()
    {
        marks.assign(frame.total(), 0);
        const uint16_t* p = frame.ptr<uint16_t>();
        for (size_t i = 0; i < frame.total(); ++i)
            marks[i] = p[i] >= 65000 ? 1 : 0;
        markImage = cv::Mat(frame.size(), CV_8UC1, marks.data());
        ctx = {dir.path(), "BENCH", dir.path() + "/user", QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9, 42))};
        opts.autoLevel = true;
        opts.kind = 1;
        opts.isAutoStretch = true;
        opts.isExposure = true;
        opts.isBeautifyPictures = true;
        opts.sharpenLevel = kLevel;
        opts.histLevelPercent = kPercent;
        opts.overExposureSum = &marks;
    }
    PeerFiles peerFiles() const
    {
        const std::string base = dir.path().toStdString() + "/peer";
        return {base + ".tif", base + "-copy.tif", base + "_OE.tif", base + ".data"};
    }
    PeerFiles ourFiles() const
    {
        const std::string a = folderA(ctx).toStdString() + "14-05-09-042", b = folderB(ctx).toStdString() + "14-05-09-042";
        return {a + ".tif", b + ".tif", a + "_OE.tif", a + ".data"};
    }
};

Data& data()
{
    static Data d;
    return d;
}

void samePictureSets()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Data& d = data();
    SaveScratch scratch;
    if (!saveWBImages(FrameView::of(d.frame), d.ctx, d.opts, &scratch).ok)
        mismatch("our pictures were not written");
    const bool marked = peerSave(d.frame, d.markImage, d.opts.overExposureThreshold, kLevel, kPercent, d.peerFiles());
    if (!marked)
        mismatch("the bench frame should be over-exposed");
    checkSameFiles(d.ourFiles(), d.peerFiles(), marked);
}

void save_capture_ours(benchmark::State& state)
{
    oneThread(state);
    samePictureSets();
    Data& d = data();
    SaveScratch scratch;
    for (auto _ : state) {
        const WBSaveResult r = saveWBImages(FrameView::of(d.frame), d.ctx, d.opts, &scratch);
        if (!r.ok || !r.path.endsWith("_OE.tif"))
            mismatch("save failed");
    }
}

void save_capture_peer(benchmark::State& state)
{
    oneThread(state);
    samePictureSets();
    Data& d = data();
    for (auto _ : state)
        peerSave(d.frame, d.markImage, d.opts.overExposureThreshold, kLevel, kPercent, d.peerFiles());
}

} // namespace

BENCHMARK(save_capture_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(save_capture_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
FRAME_BENCH_MAIN();
