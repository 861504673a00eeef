// Everything a captured 2688 x 2200 frame costs besides its exposure: the correction in the
// camera buffer, the stored copy, the over-exposure mask, levels and histogram, both 16-bit
// pictures, the over-exposure picture and the image-data file, as the capture thread does it;
// against OpenCV doing the same pixel steps and writes.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <fstream>
#include <random>

#include "h695icecamctrl.h"
#include "useropts.h"
#include "wbtscapturethread.h"

namespace {

constexpr int kWidth = 2688;
constexpr int kHeight = 2200;
constexpr int kHeader = 64;

struct Data {
    QTemporaryDir dir;
    std::vector<uint8_t> camera;   // header + pixels, as the driver's buffer
    std::vector<uint8_t> pristine;
    std::vector<uint8_t> overExposed; // the same with a saturated spot of 3000 pixels
    TUCAM_FRAME record {};
    Data()
    {
        qputenv("TAVRILL_APP_DIR", dir.path().toUtf8());
        camera.assign(kHeader + size_t(kWidth) * kHeight * 2, 0);
        auto* px = reinterpret_cast<uint16_t*>(camera.data() + kHeader);
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0, 40);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                double v = 600 + noise(rng);
                if ((y / 200) % 3 == 1 && (x / 300) % 2 == 0)
                    v += 20000 + 200 * ((x / 300) % 5);
                px[size_t(y) * kWidth + x] = uint16_t(std::clamp(v, 0.0, 65535.0));
            }
        pristine = camera;
        overExposed = camera;
        auto* spot = reinterpret_cast<uint16_t*>(overExposed.data() + kHeader);
        for (int y = 1000; y < 1030; ++y)
            for (int x = 1000; x < 1100; ++x)
                spot[size_t(y) * kWidth + x] = 65535;
        record.usHeader = kHeader;
        record.usWidth = kWidth;
        record.usHeight = kHeight;
        record.uiImgSize = uint32_t(size_t(kWidth) * kHeight * 2);
        record.pBuffer = camera.data();
    }
};

Data& data()
{
    static Data d;
    return d;
}

void wb_capture_overhead_ours(benchmark::State& state)
{
    Data& d = data();
    UserOpts* opts = UserOpts::getInstance();
    opts->setIsExposure(true);
    opts->setIsAutoStretch(true);
    opts->setIsBeautifyPictures(true);
    opts->setSharpenLevel(30);
    opts->setSampleImageBkColor(UserOpts::Black);
    opts->setImageSavePath(d.dir.path() + "/user");
    opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    H695ICECamCtrl* ctrl = H695ICECamCtrl::getInstance();
    ctrl->setExpName("BENCH");
    ctrl->binningIndex = 1;
    WBTSCaptureThread thread;
    wbplan::FramePlan plan;
    plan.sample = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(d.camera.data(), (state.range(0) ? d.overExposed : d.pristine).data(), d.camera.size());
        state.ResumeTiming();
        const QString path = thread.processFrame(&d.record, plan, 1, false, UserOpts::Black);
        if (path.isEmpty()) {
            state.SkipWithError("frame not stored");
            break;
        }
        state.PauseTiming();
        // A capture keeps its frames; here they go, with their files, so that every round
        // starts from the same memory and disk state.
        ctrl->clearFrameCaches();
        QDir(d.dir.path() + "/Images").removeRecursively();
        QDir(d.dir.path() + "/user").removeRecursively();
        state.ResumeTiming();
    }
}

// The same steps with OpenCV calls: subtract, copy, mask, levels by a counting histogram, stretch, blur
// and sharpen, the three TIFF writes and the raw file.
void wb_capture_overhead_peer(benchmark::State& state)
{
    Data& d = data();
    const std::vector<int> params = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI, 600,
                                     cv::IMWRITE_TIFF_COMPRESSION, 1};
    const std::string base = (d.dir.path() + "/peer").toStdString();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(d.camera.data(), (state.range(0) ? d.overExposed : d.pristine).data(), d.camera.size());
        const bool marked = state.range(0) != 0;
        state.ResumeTiming();
        cv::Mat camera(kHeight, kWidth, CV_16UC1, d.camera.data() + kHeader);
        cv::subtract(camera, cv::Scalar(96), camera);
        cv::Mat stored = camera.clone();
        cv::Mat mask = stored > 65000;
        cv::Mat hist;
        const int channels[] = {0};
        const int bins[] = {65536};
        const float range[] = {0, 65536};
        const float* ranges[] = {range};
        cv::calcHist(&stored, 1, channels, cv::Mat(), hist, 1, bins, ranges);
        const double clip = 0.001 * double(stored.total());
        double low = 0, high = 65535, seen = 0;
        for (int v = 0; v < 65536; ++v) {
            seen += hist.at<float>(v);
            if (seen > clip) {
                low = v;
                break;
            }
        }
        seen = 0;
        for (int v = 65535; v >= 0; --v) {
            seen += hist.at<float>(v);
            if (seen > clip) {
                high = v;
                break;
            }
        }
        cv::Mat work;
        stored.convertTo(work, CV_16U, 65535.0 / std::max(1.0, high - low), -low * 65535.0 / std::max(1.0, high - low));
        cv::medianBlur(work, work, 3);
        cv::GaussianBlur(work, work, cv::Size(5, 5), 0.5);
        if (marked) {
            cv::Mat oe;
            cv::Mat grey8;
            work.convertTo(grey8, CV_8U, 1.0 / 257);
            cv::cvtColor(grey8, oe, cv::COLOR_GRAY2BGR);
            oe.setTo(cv::Scalar(0, 0, 255), mask);
            cv::imwrite(base + "_OE.tif", oe, params);
        }
        cv::imwrite(base + "-a.tif", work, params);
        cv::imwrite(base + "-b.tif", work, params);
        std::ofstream raw(base + ".data", std::ios::binary | std::ios::trunc);
        raw.write(reinterpret_cast<const char*>(stored.data), std::streamsize(stored.total() * 2));
    }
}

} // namespace

// Argument 0: a sample frame as the estimate aims for; 1: one with more over-exposed pixels than
// the threshold, which adds the marked picture.
BENCHMARK(wb_capture_overhead_ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK(wb_capture_overhead_peer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
