// Everything a captured 2688 x 2200 frame costs besides its exposure: the correction in the
// camera buffer, the stored copy, the over-exposure mask, levels and histogram, both 16-bit
// pictures, the over-exposure picture and the image-data file, as the capture thread does it;
// against OpenCV doing the same pixel steps and writes (peersave). Before timing, both make
// their files once from the same frame and the files are checked to hold the same pixels.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <utility>

#include "h695icecamctrl.h"
#include "pairsummary.h"
#include "peersave.h"
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

constexpr int kSharpenLevel = 30;
constexpr double kPercent = 0.001; // the controller's histLevelPercent
constexpr int kThreshold = 300;    // its overExposureThreshold

void resetFiles()
{
    // A capture keeps its frames; here they go, with their files, so that every round starts
    // from the same memory and disk state.
    H695ICECamCtrl::getInstance()->frameStore().clearFrameCaches();
    QDir(data().dir.path() + "/Images").removeRecursively();
    QDir(data().dir.path() + "/user").removeRecursively();
}

void setOptions()
{
    Data& d = data();
    UserOpts* opts = UserOpts::getInstance();
    opts->setIsExposure(true);
    opts->setIsAutoStretch(true);
    opts->setIsBeautifyPictures(true);
    opts->setSharpenLevel(kSharpenLevel);
    opts->setSampleImageBkColor(UserOpts::Black);
    opts->setImageSavePath(d.dir.path() + "/user");
    opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    H695ICECamCtrl* ctrl = H695ICECamCtrl::getInstance();
    ctrl->setExpName("BENCH");
    ctrl->binningIndex = 1;
}

void peerRound(bool marked, const PeerFiles& files)
{
    Data& d = data();
    std::memcpy(d.camera.data(), (marked ? d.overExposed : d.pristine).data(), d.camera.size());
    cv::Mat camera(kHeight, kWidth, CV_16UC1, d.camera.data() + kHeader);
    cv::subtract(camera, cv::Scalar(96), camera);
    const cv::Mat stored = camera.clone();
    const cv::Mat mask = stored > 65000;
    peerSave(stored, mask, kThreshold, kSharpenLevel, kPercent, files);
}

PeerFiles peerFiles()
{
    const std::string base = (data().dir.path() + "/peer").toStdString();
    return {base + ".tif", base + "-copy.tif", base + "_OE.tif", base + ".data"};
}

// The frame's files from both sides, once per kind of frame.
void sameFiles(bool marked)
{
    static bool done[2] = {false, false};
    if (std::exchange(done[marked], true))
        return;
    Data& d = data();
    setOptions();
    resetFiles();
    std::memcpy(d.camera.data(), (marked ? d.overExposed : d.pristine).data(), d.camera.size());
    WBTSCaptureThread thread;
    wbplan::FramePlan plan;
    plan.sample = true;
    QString path = thread.processFrame(&d.record, plan, 1, false, UserOpts::Black);
    if (path.isEmpty() || path.endsWith("_OE.tif") != marked)
        benchpairs::abortRun("the frame was not stored as expected: " + path.toStdString());
    path.remove(QStringLiteral("_OE"));
    const QString stem = path.chopped(4), name = QFileInfo(path).fileName();
    // Folder B: <imageSavePath>/<date>/BENCH/, the date being folder A's parent's name.
    const QString date = QFileInfo(QFileInfo(path).path()).dir().dirName();
    const QString copy = d.dir.path() + "/user/" + date + "/BENCH/" + name;
    const PeerFiles ours = {path.toStdString(), copy.toStdString(), (stem + "_OE.tif").toStdString(),
                            (stem + ".data").toStdString()};
    peerRound(marked, peerFiles());
    checkSameFiles(ours, peerFiles(), marked);
    resetFiles();
}

void wb_capture_overhead_ours(benchmark::State& state)
{
    Data& d = data();
    sameFiles(state.range(0) != 0);
    setOptions();
    H695ICECamCtrl* ctrl = H695ICECamCtrl::getInstance();
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
        resetFiles();
        state.ResumeTiming();
    }
    (void)ctrl;
}

// The same steps with OpenCV calls: subtract, copy, mask, then peersave's picture set.
void wb_capture_overhead_peer(benchmark::State& state)
{
    Data& d = data();
    sameFiles(state.range(0) != 0);
    const PeerFiles files = peerFiles();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(d.camera.data(), (state.range(0) ? d.overExposed : d.pristine).data(), d.camera.size());
        state.ResumeTiming();
        cv::Mat camera(kHeight, kWidth, CV_16UC1, d.camera.data() + kHeader);
        cv::subtract(camera, cv::Scalar(96), camera);
        const cv::Mat stored = camera.clone();
        const cv::Mat mask = stored > 65000;
        peerSave(stored, mask, kThreshold, kSharpenLevel, kPercent, files);
    }
}

} // namespace

// Argument 0: a sample frame as the estimate aims for; 1: one with more over-exposed pixels than
// the threshold, which adds the marked picture. Each run is one frame, as the cabinet captures
// them: ten runs give the median and the slowest frame (max) per side.
static void perFrame(benchmark::internal::Benchmark* b)
{
    b->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(10);
    b->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}
BENCHMARK(wb_capture_overhead_ours)->Apply(perFrame);
BENCHMARK(wb_capture_overhead_peer)->Apply(perFrame);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
