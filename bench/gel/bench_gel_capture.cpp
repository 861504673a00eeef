// Everything a full-resolution gel frame costs besides its exposure, as the capture thread does
// it: the copy out of the camera buffer, the flat-field correction, the listed frame with its
// histogram and the 16-bit picture in both folders; and, with the colour marker, the blend of its
// three frames into the colour picture and that picture in both folders. Against OpenCV doing
// the same jobs (the correction in floating point, the tints as a channel merge).
// Arguments: 0 the 695 sensor (2720 x 2220), 1 the S20Mini sensor (4656 x 3136; that cabinet has
// no filter wheel, so no colour marker).
// A gel frame with its colour marker costs gel_capture_frame + 3 x gel_marker_frame +
// gel_colour_marker.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>

#include "cabinetstate.h"
#include "colormarker.h"
#include "geltscapturethread.h"
#include "h695icecamctrl.h"
#include "pairsummary.h"
#include "peerwrite.h"
#include "useropts.h"
#include "virtualscene.h"

namespace {

struct Sensor {
    int width, height;
};
constexpr Sensor kSensors[] = {{2720, 2220}, {4656, 3136}};

cv::Mat render(const Sensor& s, uint32_t lamps, int filter, double exposureMs, uint64_t seed)
{
    vcab::SceneRequest r;
    r.sensorWidth = s.width;
    r.sensorHeight = s.height;
    r.width = s.width;
    r.height = s.height;
    r.exposureMs = exposureMs;
    r.blackLevel = 100;
    r.seed = seed;
    vcab::CabinetSnapshot c;
    c.lamps = lamps;
    c.filterPos = filter;
    cv::Mat m(s.height, s.width, CV_16UC1);
    vcab::renderScene(r, c, m.ptr<uint16_t>());
    return m;
}

// The frames of one sensor: the gel under UV, the flat-field pair, the three marker frames.
struct Frames {
    cv::Mat gel, light, dark;
    std::array<cv::Mat, 3> marker;
    std::shared_ptr<TsFrame> camera;   // the gel as the driver's record holds it
};

struct Data {
    QTemporaryDir dir;
    std::map<int, Frames> frames;
    Data() { qputenv("TAVRILL_APP_DIR", dir.path().toUtf8()); }
    Frames& of(int sensor)
    {
        Frames& f = frames[sensor];
        if (f.gel.empty()) {
            const Sensor& s = kSensors[sensor];
            f.gel = render(s, vcab::LampUV302_1, 0, 40, 1);
            f.light = render(s, vcab::LampWhiteLight, 0, 100, 2);
            f.dark = render(s, 0, 0, 100, 3);
            const int filters[3] = {1, 3, 5};
            for (int i = 0; i < 3; ++i)
                f.marker[size_t(i)] = render(s, vcab::LampPower | vcab::LampSource, filters[i], 300 + 150 * i, 4 + uint64_t(i));
            f.camera = TsFrame::fromPixels(s.width, s.height, f.gel.ptr<uint16_t>());
        }
        return f;
    }
    void clearPictures()
    {
        QDir(dir.path() + "/Images").removeRecursively();
        QDir(dir.path() + "/user").removeRecursively();
    }
};

Data& data()
{
    static Data d;
    return d;
}

const std::vector<int> kTiff = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI, 600,
                                cv::IMWRITE_TIFF_COMPRESSION, 1};

H695ICECamCtrl* preparedCamera(Frames& f)
{
    UserOpts* opts = UserOpts::getInstance();
    opts->setImageSavePath(data().dir.path() + "/user");
    opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    opts->setIsBeautifyPictures(false);
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    cam->setExpName("BENCH");
    cam->resetFFC();
    const std::shared_ptr<TsFrame> light = TsFrame::fromPixels(f.light.cols, f.light.rows, f.light.ptr<uint16_t>());
    const std::shared_ptr<TsFrame> dark = TsFrame::fromPixels(f.dark.cols, f.dark.rows, f.dark.ptr<uint16_t>());
    cam->references.copyFromCurrent(FlatFieldReferences::Light, light->record());
    cam->references.copyFromCurrent(FlatFieldReferences::Dark, dark->record());
    // The 535 nm pair lives on disk, as the calibration leaves it.
    cam->references.copyFromCurrent(FlatFieldReferences::Light535, light->record());
    cam->references.copyFromCurrent(FlatFieldReferences::Dark535, dark->record());
    cam->isFFC = true;
    return cam;
}

// The flat-field rule in floating point, as OpenCV does it. The reference pair is constant from
// frame to frame, so its float conversion and the reciprocal of its span (0 where the span is
// not positive) are made once, as a tuned caller would.
struct PeerReferences {
    cv::Mat dark, inverseSpan;
    PeerReferences(const cv::Mat& light, const cv::Mat& d)
    {
        cv::Mat l;
        light.convertTo(l, CV_32F);
        d.convertTo(dark, CV_32F);
        const cv::Mat span = l - dark;
        cv::divide(1.0, span, inverseSpan);
        inverseSpan.setTo(0, span <= 0);
    }
};

void peerCorrect(const cv::Mat& raw, const PeerReferences& refs, cv::Mat& out)
{
    thread_local cv::Mat q;
    raw.convertTo(q, CV_32F);
    cv::subtract(q, refs.dark, q);
    cv::multiply(q, refs.inverseSpan, q);
    cv::max(q, 0.0, q);
    cv::min(q, 1.0, q);
    q.convertTo(out, CV_16U, 65535.0);
}

cv::Mat peerCorrect(const cv::Mat& raw, const PeerReferences& refs)
{
    cv::Mat out;
    peerCorrect(raw, refs, out);
    return out;
}

// One encoding in memory, the same bytes to both folders.
void peerWriteTwice(const cv::Mat& picture, const std::string& a, const std::string& b)
{
    thread_local std::vector<uchar> bytes;
    if (!cv::imencode(".tif", picture, bytes, kTiff))
        benchpairs::abortRun("the peer could not encode its picture");
    for (const std::string& path : {a, b})
        if (!benchpairs::writeBytesAtomically(path, bytes))
            benchpairs::abortRun("the peer could not write its picture");
}

// The colour picture as an OpenCV composition: each frame evened to the first one's mean and
// brought to 8 bits in one scaling, the three put side by side as blue, green and red.
cv::Mat peerCompose(const std::array<cv::Mat, 3>& planes)
{
    const double target = cv::mean(planes[0])[0];
    std::vector<cv::Mat> channels(3);
    const int channelOf[3] = {1, 2, 0};
    for (int i = 0; i < 3; ++i) {
        const double m = cv::mean(planes[size_t(i)])[0];
        planes[size_t(i)].convertTo(channels[size_t(channelOf[i])], CV_8U, target / m / 257.0);
    }
    cv::Mat out;
    cv::merge(channels, out);
    return out;
}

void gel_capture_frame_ours(benchmark::State& state)
{
    Frames& f = data().of(int(state.range(0)));
    H695ICECamCtrl* cam = preparedCamera(f);
    GelTSCaptureThread thread(0);
    for (auto _ : state) {
        const std::shared_ptr<TsFrame> image = TsFrame::copyOf(f.camera->record());
        bool written = false;
        thread.storeFrame(image, &written);
        if (!written) {
            state.SkipWithError("picture not written");
            break;
        }
        state.PauseTiming();
        cam->frameStore().clearFrameCaches();
        cam->frameStore().clearRoiList();
        data().clearPictures();
        state.ResumeTiming();
    }
}

void gel_capture_frame_peer(benchmark::State& state)
{
    Frames& f = data().of(int(state.range(0)));
    const std::string a = (data().dir.path() + "/peer-a.tif").toStdString();
    const std::string b = (data().dir.path() + "/peer-b.tif").toStdString();
    const PeerReferences refs(f.light, f.dark);
    cv::Mat corrected;
    for (auto _ : state) {
        cv::Mat copy = f.gel.clone();
        peerCorrect(copy, refs, corrected);
        cv::Mat hist;
        const int channels[] = {0};
        const int bins[] = {65536};
        const float range[] = {0, 65536};
        const float* ranges[] = {range};
        cv::calcHist(&corrected, 1, channels, cv::Mat(), hist, 1, bins, ranges);
        cv::log(hist + 1.1, hist);
        peerWriteTwice(corrected, a, b);
    }
}

void gel_colour_marker_ours(benchmark::State& state)
{
    Frames& f = data().of(int(state.range(0)));
    H695ICECamCtrl* cam = preparedCamera(f);
    for (auto _ : state) {
        state.PauseTiming();
        std::array<cv::Mat, 3> planes = {f.marker[0].clone(), f.marker[1].clone(), f.marker[2].clone()};
        state.ResumeTiming();
        if (!acq::composeColorMarker(planes)) {
            state.SkipWithError("marker not composed");
            break;
        }
        bool written = false;
        cam->saveImages(planes[0], 3, &written);
        if (!written) {
            state.SkipWithError("picture not written");
            break;
        }
        state.PauseTiming();
        data().clearPictures();
        state.ResumeTiming();
    }
}

void gel_colour_marker_peer(benchmark::State& state)
{
    Frames& f = data().of(int(state.range(0)));
    const std::string a = (data().dir.path() + "/peer-a.tif").toStdString();
    const std::string b = (data().dir.path() + "/peer-b.tif").toStdString();
    for (auto _ : state) {
        const cv::Mat picture = peerCompose(f.marker);
        peerWriteTwice(picture, a, b);
    }
}

// One colour-marker frame after its exposure: the copy out of the camera buffer, the reference
// pair of its filter read from its files and brought to the frame's size, the correction, the
// plane the blend takes.
void gel_marker_frame_ours(benchmark::State& state)
{
    Frames& f = data().of(int(state.range(0)));
    H695ICECamCtrl* cam = preparedCamera(f);
    const std::shared_ptr<TsFrame> camera = TsFrame::fromPixels(f.marker[0].cols, f.marker[0].rows,
                                                                f.marker[0].ptr<uint16_t>());
    // Kept from frame to frame, as the capture thread keeps them.
    cv::Mat light, dark;
    for (auto _ : state) {
        const std::shared_ptr<TsFrame> record = TsFrame::copyOf(camera->record());
        if (!cam->calculateBySizeForColorMarker(record->record(), 1, light, dark)) {
            state.SkipWithError("no 535 nm pair");
            break;
        }
        correctFlatField(record->view(), light.ptr<uint16_t>(), dark.ptr<uint16_t>(), 65535);
        const cv::Mat plane = record->view().mat().clone();
        benchmark::DoNotOptimize(plane.data);
    }
}

void gel_marker_frame_peer(benchmark::State& state)
{
    Frames& f = data().of(int(state.range(0)));
    preparedCamera(f);
    const QString folder = data().dir.path() + "/CorrectionData/";
    const int n = f.marker[0].rows * f.marker[0].cols;
    auto readPixels = [&](const QString& name) {
        QFile file(folder + name);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        // The pixels are the file's last bytes, behind the driver's header.
        cv::Mat m(f.marker[0].rows, f.marker[0].cols, CV_16UC1);
        std::memcpy(m.data, bytes.constData() + bytes.size() - n * 2, size_t(n) * 2);
        return m;
    };
    for (auto _ : state) {
        const cv::Mat copy = f.marker[0].clone();
        const cv::Mat light = readPixels("pBufferLight535.data");
        const cv::Mat dark = readPixels("pBufferDark535.data");
        // Read from their files on every frame, as ours does: these references are not constant.
        const cv::Mat plane = peerCorrect(copy, PeerReferences(light, dark));
        benchmark::DoNotOptimize(plane.data);
    }
}

// Both sides do the same jobs: the results agree (to one grey level of rounding) or the run stops.
void checkPairs()
{
    for (int sensor = 0; sensor < 2; ++sensor) {
        Frames& f = data().of(sensor);
        H695ICECamCtrl* cam = preparedCamera(f);
        cv::Mat ours = f.gel.clone();
        cam->references.correct(FrameView::of(ours), false);
        if (cv::norm(ours, peerCorrect(f.gel, PeerReferences(f.light, f.dark)), cv::NORM_INF) > 1)
            benchpairs::abortRun("flat-field correction differs from the peer");
        std::array<cv::Mat, 3> planes = {f.marker[0].clone(), f.marker[1].clone(), f.marker[2].clone()};
        acq::composeColorMarker(planes);
        if (cv::norm(planes[0], peerCompose(f.marker), cv::NORM_INF) > 1)
            benchpairs::abortRun("colour marker differs from the peer");
    }
}

} // namespace

BENCHMARK(gel_capture_frame_ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(gel_capture_frame_peer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(gel_marker_frame_ours)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(gel_marker_frame_peer)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(gel_colour_marker_ours)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(gel_colour_marker_peer)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    checkPairs();
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
