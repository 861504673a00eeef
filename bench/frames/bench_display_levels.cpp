#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <opencv2/imgproc.hpp>

#include "benchframe.h"
#include "histograminfo.h"

namespace {

constexpr double kPercent = 0.001;

// The plain OpenCV way: counts from calcHist, then one cumulative scan that reads off the log
// histogram and both clip values (positions k and n - k, n - 1 when k is 0).
void peerLevels(cv::Mat& frame, HistogramInfo& info)
{
    cv::Mat hist;
    const int channels[] = {0}, bins[] = {65536};
    const float range[] = {0, 65536};
    const float* ranges[] = {range};
    cv::calcHist(&frame, 1, channels, cv::Mat(), hist, 1, bins, ranges);
    const uint64_t n = frame.total();
    const uint64_t k = std::min<uint64_t>(uint64_t(std::floor(kPercent * double(n))), (n - 1) / 2);
    const uint64_t highAt = k == 0 ? n - 1 : n - k;
    info.logHist.resize(65536);
    info.maxLog = 0;
    uint64_t seen = 0;
    int low = -1, high = -1;
    const float* counts = hist.ptr<float>();
    for (int v = 0; v < 65536; ++v) {
        const uint64_t count = uint64_t(counts[v]);
        info.logHist[v] = std::log10(1.1 + double(count));
        info.maxLog = std::max(info.maxLog, info.logHist[v]);
        seen += count;
        if (low < 0 && seen > k)
            low = v;
        if (high < 0 && seen > highAt)
            high = v;
    }
    if (high - low > 600)
        high -= 300;
    info.low = std::min(low, 60000);
    info.high = std::max(high, 2535);
}

cv::Mat& frame()
{
    static cv::Mat f = benchFrame();
    return f;
}

bool sameLevels(benchmark::State& state)
{
    HistogramInfo ours, peer;
    computeDisplayLevels(FrameView::of(frame()), kPercent, ours);
    peerLevels(frame(), peer);
    if (ours.low != peer.low || ours.high != peer.high || ours.maxLog != peer.maxLog || ours.logHist != peer.logHist)
        mismatch("display levels differ");
    state.counters["low"] = ours.low;
    state.counters["high"] = ours.high;
    return true;
}

void display_levels_ours(benchmark::State& state)
{
    if (!sameLevels(state))
        return;
    HistogramInfo info;
    for (auto _ : state) {
        computeDisplayLevels(FrameView::of(frame()), kPercent, info);
        benchmark::DoNotOptimize(info.high);
    }
}

void display_levels_peer(benchmark::State& state)
{
    if (!sameLevels(state))
        return;
    HistogramInfo info;
    for (auto _ : state) {
        peerLevels(frame(), info);
        benchmark::DoNotOptimize(info.high);
    }
}

} // namespace

BENCHMARK(display_levels_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(display_levels_peer)->Unit(benchmark::kMillisecond);
FRAME_BENCH_MAIN();
