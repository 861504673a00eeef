// Everything a captured full frame of the kestrix64 stand-in (2688 x 2200) costs on the capture
// path besides its exposure: the copy out of the camera's buffer, the stored frame, the display
// levels with their logarithmic histogram, the stretch of a sample (and its band detection when
// the analysis is on), and the two TIFF files; against OpenCV doing the same steps and writes.
// Argument 0: the marker frame (saved as taken); 1: a sample; 2: a sample with band detection.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <vector>

#include "apppaths.h"
#include "cabinetstate.h"
#include "kestrixctrl.h"
#include "pairsummary.h"
#include "peerwrite.h"
#include "useropts.h"
#include "virtualscene.h"
#include "wbqicapturethread.h"

namespace {

constexpr int kWidth = 2688;
constexpr int kHeight = 2200;
constexpr int kWarmUp = 3;

struct Data {
    QTemporaryDir dir;
    std::vector<uint16_t> camera;   // the driver's buffer after a chemiluminescence exposure
    rgn_type region {0, kWidth - 1, 1, 0, kHeight - 1, 1};
    Data()
    {
        camera.resize(size_t(kWidth) * kHeight);
        vcab::SceneRequest r;
        r.sensorWidth = kWidth;
        r.sensorHeight = kHeight;
        r.width = kWidth;
        r.height = kHeight;
        r.exposureMs = 5000;
        r.gain = 4;
        r.blackLevel = 100;
        vcab::CabinetSnapshot lampsOff = vcab::CabinetState::instance().snapshot();
        lampsOff.lamps = 0;
        r.lensPosition = lampsOff.bestFocus;
        vcab::renderScene(r, lampsOff, camera.data());
    }
};

Data& data()
{
    static Data d;
    return d;
}

void setOptions(const Data& d, bool analyse)
{
    UserOpts* opts = UserOpts::getInstance();
    opts->setImageSavePath(d.dir.path() + "/user");
    opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    opts->setSampleImageBkColor(UserOpts::Black);
    opts->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    opts->setIntelligentAnalysis(analyse ? UserOpts::OpenSensitivity : UserOpts::CloseSensitivity);
    opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
}

void clearOutputs(const Data& d)
{
    KestrixCtrl::getInstance()->clearFrames();
    QDir(AppPaths::appDir() + "/Images").removeRecursively();
    QDir(d.dir.path() + "/user").removeRecursively();
    QDir(d.dir.path() + "/peer").removeRecursively();
}

// The peer's display levels: a counting histogram, the values at the 0.1 % ranks from each end
// (the black background's floor for the high one) and the logarithmic histogram.
void peerLevels(const cv::Mat& frame, int& low, int& high, cv::Mat& logHist)
{
    cv::Mat hist;
    const int channels[] = {0};
    const int bins[] = {65536};
    const float range[] = {0, 65536};
    const float* ranges[] = {range};
    cv::calcHist(&frame, 1, channels, cv::Mat(), hist, 1, bins, ranges);
    const size_t n = frame.total();
    const size_t k = size_t(double(n) * 0.001);
    auto valueAtRank = [&](size_t index) {
        double seen = 0;
        for (int v = 0; v < 65536; ++v) {
            seen += hist.at<float>(v);
            if (seen > double(index))
                return v;
        }
        return 65535;
    };
    low = valueAtRank(k);
    high = std::max(valueAtRank(std::min(n - k, n - 1)), 2535);
    cv::log(hist + 1.1, logHist);
    logHist /= std::log(10.0);
    double largest = 0;
    cv::minMaxLoc(logHist, nullptr, &largest);
}

// The peer's steps up to its picture: the stored frame, the working copy, the levels, and for a
// sample the band search and the stretch.
cv::Mat peerPicture(const Data& d, int kind)
{
    cv::Mat stored = cv::Mat(kHeight, kWidth, CV_16UC1, const_cast<uint16_t*>(d.camera.data())).clone();
    cv::Mat work = stored.clone();
    int low = 0, high = 65535;
    cv::Mat logHist;
    peerLevels(work, low, high, logHist);
    if (kind != 0) {
        if (kind == 2) {
            cv::Mat grey8, binary;
            work.convertTo(grey8, CV_8U, 1.0 / 256);
            std::vector<std::vector<cv::Point>> contours;
            cv::threshold(grey8, binary, 3, 255, cv::THRESH_BINARY);
            cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
            benchmark::DoNotOptimize(contours.data());
        }
        const double scale = 65535.0 / std::max(1, high - low);
        work.convertTo(work, CV_16U, scale, -low * scale);
    }
    return work;
}

void wbqi_capture_frame_ours(benchmark::State& state)
{
    Data& d = data();
    const int kind = int(state.range(0));
    setOptions(d, kind == 2);
    KestrixCtrl* kx = KestrixCtrl::getInstance();
    kx->expName = "BENCH";
    WBQICaptureThread thread;
    wbplan::FramePlan plan;
    plan.sample = kind != 0;
    plan.savedAsMarker = kind == 0;
    WBQICaptureThread::StoreOptions store;
    store.backgroundColor = UserOpts::Black;
    bool checked = false, filesChecked = false;
    auto once = [&] {
        double exposure = 5000;
        bool written = false;
        const QString path = thread.storeFrame(d.camera.data(), d.region, plan, store, &exposure, &written);
        // The first picture ours writes (a warm-up round, untimed) holds the peer's pixels,
        // within the stretch's rounding.
        if (!filesChecked && written && !path.isEmpty()) {
            filesChecked = true;
            const cv::Mat file = cv::imread(QFile::encodeName(path).toStdString(), cv::IMREAD_UNCHANGED);
            const cv::Mat peer = peerPicture(d, kind);
            if (file.empty() || file.type() != peer.type() || file.size() != peer.size()
                || cv::norm(file, peer, cv::NORM_INF) > (kind == 0 ? 0 : 1))
                benchpairs::abortRun("our picture differs from the peer's: " + path.toStdString());
        }
        return written && !path.isEmpty();
    };
    // The first rounds of a process pay for fresh memory and files; the figure is the steady state.
    for (int i = 0; i < kWarmUp; ++i) {
        once();
        clearOutputs(d);
    }
    for (auto _ : state) {
        const bool saved = once();
        state.PauseTiming();
        if (!saved) {
            state.SkipWithError("frame not saved");
            break;
        }
        // Ours and the peer find the same levels for a sample.
        if (!checked && kind != 0) {
            int low = 0, high = 0;
            cv::Mat logHist;
            peerLevels(cv::Mat(kHeight, kWidth, CV_16UC1, d.camera.data()), low, high, logHist);
            const HistogramInfo ours = kx->histogramAt(0);
            if (ours.low != low || ours.high != high)
                benchpairs::abortRun("display levels differ from the peer's");
            checked = true;
        }
        // A capture keeps its frames; here they go, with their files, so that every round
        // starts from the same memory and disk state.
        clearOutputs(d);
        state.ResumeTiming();
    }
}

void wbqi_capture_frame_peer(benchmark::State& state)
{
    Data& d = data();
    const int kind = int(state.range(0));
    const std::vector<int> params = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI, 600,
                                     cv::IMWRITE_TIFF_COMPRESSION, 1};
    const QString a = d.dir.path() + "/peer/a", b = d.dir.path() + "/peer/b";
    auto once = [&] {
        const cv::Mat work = peerPicture(d, kind);
        QDir().mkpath(a);
        QDir().mkpath(b);
        // One encoding, the same bytes in both folders.
        thread_local std::vector<uchar> bytes;
        if (!cv::imencode(".tif", work, bytes, params) || !benchpairs::writeBytesAtomically((a + "/frame.tif").toStdString(), bytes)
            || !benchpairs::writeBytesAtomically((b + "/frame.tif").toStdString(), bytes))
            benchpairs::abortRun("the peer's pictures were not written");
    };
    for (int i = 0; i < kWarmUp; ++i) {
        once();
        clearOutputs(d);
    }
    for (auto _ : state) {
        once();
        state.PauseTiming();
        clearOutputs(d);
        state.ResumeTiming();
    }
}

} // namespace

// Ours and the peer of each kind side by side, so that they run back to back under the same
// state of memory and disk.
void registerPairs()
{
    for (int kind : {0, 1, 2}) {
        for (auto [name, fn] : {std::pair {"wbqi_capture_frame_ours", &wbqi_capture_frame_ours},
                                std::pair {"wbqi_capture_frame_peer", &wbqi_capture_frame_peer}})
            benchmark::RegisterBenchmark(name, fn)
                ->Arg(kind)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(12);
    }
}

int main(int argc, char** argv)
{
    // The saved pictures go below a folder of the benchmark's own.
    QTemporaryDir appDir;
    qputenv("TAVRILL_APP_DIR", appDir.path().toUtf8());
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerPairs();
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
