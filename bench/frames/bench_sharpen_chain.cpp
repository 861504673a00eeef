// The sharpening of a sample picture (median 3, Gaussian 0.5, 3 x 3 sharpening weighted by the
// level) against the same chain composed of OpenCV calls; both write into buffers they keep.
#include <benchmark/benchmark.h>

#include <cstring>

#include <opencv2/imgproc.hpp>

#include "benchframe.h"
#include "imagefilters.h"

namespace {

constexpr int kLevel = 30;

struct Peer {
    cv::Mat median, blurred, sharp;
    void run(const cv::Mat& source)
    {
        static const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
        cv::medianBlur(source, median, 3);
        cv::GaussianBlur(median, blurred, cv::Size(5, 5), 0.5, 0.5, cv::BORDER_DEFAULT);
        cv::filter2D(blurred, sharp, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
        cv::addWeighted(blurred, 1.0 - kLevel / 100.0, sharp, kLevel / 100.0, 0, blurred, CV_16U);
    }
};

const cv::Mat& frame()
{
    static const cv::Mat f = benchFrame();
    return f;
}

void samePixels()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    cv::Mat ours = frame().clone();
    FilterScratch scratch;
    sharpen16U(FrameView::of(ours), true, kLevel, &scratch);
    Peer peer;
    peer.run(frame());
    if (cv::norm(ours, peer.blurred, cv::NORM_INF) != 0)
        mismatch("sharpened pictures differ");
}

// The chain works on the picture in place, so each round starts from a copy of the frame.
void sharpen_chain_ours(benchmark::State& state)
{
    oneThread(state);
    samePixels();
    cv::Mat work = frame().clone();
    FilterScratch scratch;
    for (auto _ : state) {
        std::memcpy(work.data, frame().data, frame().total() * 2);
        sharpen16U(FrameView::of(work), true, kLevel, &scratch);
        benchmark::ClobberMemory();
    }
}

void sharpen_chain_peer(benchmark::State& state)
{
    oneThread(state);
    samePixels();
    Peer peer;
    for (auto _ : state) {
        peer.run(frame());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(sharpen_chain_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(sharpen_chain_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
FRAME_BENCH_MAIN();
