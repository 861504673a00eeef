#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <opencv2/imgcodecs.hpp>

#include "benchframe.h"
#include "imagesaver.h"

namespace {

struct Data {
    cv::Mat frame = benchFrame();
    std::vector<uint8_t> marks;
    QTemporaryDir dir;
    Data()
    {
        marks.assign(frame.total(), 0);
        const uint16_t* p = frame.ptr<uint16_t>();
        for (size_t i = 0; i < frame.total(); ++i)
            marks[i] = p[i] >= 65000 ? 1 : 0;
    }
};

Data& data()
{
    static Data d;
    return d;
}

// A sample frame with every step switched on: levels, stretch, sharpening, over-exposure
// picture, both 16-bit pictures and the image-data file.
void save_capture_ours(benchmark::State& state)
{
    Data& d = data();
    SaveContext ctx{d.dir.path(), "BENCH", d.dir.path() + "/user", QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9, 42))};
    WBSaveOptions opts;
    opts.autoLevel = true;
    opts.kind = 1;
    opts.isAutoStretch = true;
    opts.isExposure = true;
    opts.isBeautifyPictures = true;
    opts.sharpenLevel = 30;
    opts.histLevelPercent = 0.001;
    opts.overExposureSum = &d.marks;
    for (auto _ : state) {
        const WBSaveResult r = saveWBImages(FrameView::of(d.frame), ctx, opts);
        if (!r.ok || !r.path.endsWith("_OE.tif")) {
            state.SkipWithError("save failed");
            break;
        }
    }
}

// The plain OpenCV write of the same 16-bit picture to the two folders.
void save_capture_peer(benchmark::State& state)
{
    Data& d = data();
    const std::vector<int> params = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI, 600,
                                     cv::IMWRITE_TIFF_COMPRESSION, 1};
    const std::string a = (d.dir.path() + "/peer-a.tif").toStdString(), b = (d.dir.path() + "/peer-b.tif").toStdString();
    for (auto _ : state) {
        cv::imwrite(a, d.frame, params);
        cv::imwrite(b, d.frame, params);
    }
}

} // namespace

BENCHMARK(save_capture_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(save_capture_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
