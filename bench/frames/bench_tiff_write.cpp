// One picture written as TIFF into two folders: ours from memory, against OpenCV's encoder
// encoding once into memory and the bytes written to both files (each through a temporary file
// renamed over the target, as ours). rgb:0 a 16-bit grey picture, rgb:1 an 8-bit colour one (the over-exposure
// picture's kind).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <opencv2/imgcodecs.hpp>

#include <vector>

#include "benchframe.h"
#include "imagesaver.h"
#include "peerwrite.h"

namespace {

struct Data {
    QTemporaryDir dir;
    cv::Mat grey = benchFrame();
    cv::Mat colour;
    Data()
    {
        cv::Mat high;
        grey.convertTo(high, CV_8U, 1.0 / 257);
        cv::Mat planes[] = {high, 255 - high, high / 2};
        cv::merge(planes, 3, colour);
        QDir(dir.path()).mkpath("A");
        QDir(dir.path()).mkpath("B");
    }
    const cv::Mat& picture(const benchmark::State& state) const { return state.range(0) ? colour : grey; }
    QString path(const char* folder, const char* side) const
    {
        return dir.path() + "/" + folder + "/" + side + ".tif";
    }
};

Data& data()
{
    static Data d;
    return d;
}

const std::vector<int>& params()
{
    static const std::vector<int> p = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI, 600,
                                       cv::IMWRITE_TIFF_COMPRESSION, 1};
    return p;
}

void writeOurs(const cv::Mat& picture)
{
    Data& d = data();
    if (!writeTiff(d.path("A", "ours"), picture) || !writeTiff(d.path("B", "ours"), picture))
        mismatch("our picture was not written");
}

void writePeer(const cv::Mat& picture)
{
    Data& d = data();
    thread_local std::vector<uchar> bytes;
    if (!cv::imencode(".tif", picture, bytes, params()))
        mismatch("the peer's picture was not encoded");
    // One encoding, the same bytes to both folders.
    if (!benchpairs::writeBytesAtomically(d.path("A", "peer").toStdString(), bytes)
        || !benchpairs::writeBytesAtomically(d.path("B", "peer").toStdString(), bytes))
        mismatch("the peer's picture was not written");
}

// Both read back as the same pixels in both folders.
void samePictures(const benchmark::State& state)
{
    Data& d = data();
    writeOurs(d.picture(state));
    writePeer(d.picture(state));
    for (const char* folder : {"A", "B"}) {
        const cv::Mat ours = cv::imread(d.path(folder, "ours").toStdString(), cv::IMREAD_UNCHANGED);
        const cv::Mat peer = cv::imread(d.path(folder, "peer").toStdString(), cv::IMREAD_UNCHANGED);
        if (ours.empty() || ours.type() != peer.type() || ours.size() != peer.size()
            || cv::norm(ours, peer, cv::NORM_INF) != 0 || cv::norm(ours, d.picture(state), cv::NORM_INF) != 0)
            mismatch("written pictures differ");
    }
}

void tiff_write_ours(benchmark::State& state)
{
    samePictures(state);
    for (auto _ : state)
        writeOurs(data().picture(state));
}

void tiff_write_peer(benchmark::State& state)
{
    samePictures(state);
    for (auto _ : state)
        writePeer(data().picture(state));
}

} // namespace

BENCHMARK(tiff_write_ours)->ArgName("rgb")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(tiff_write_peer)->ArgName("rgb")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
FRAME_BENCH_MAIN();
