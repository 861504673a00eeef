#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "benchframe.h"
#include "histograminfo.h"

namespace {

constexpr double kPercent = 0.001;

// Log histogram by counting, levels by sorting a copy of every pixel.
void peerLevels(cv::Mat& frame, HistogramInfo& info)
{
    std::vector<double> counters(65536, 1.1);
    const uint16_t* p = frame.ptr<uint16_t>();
    const size_t n = frame.total();
    for (size_t i = 0; i < n; ++i)
        counters[p[i]] += 1;
    info.logHist.resize(65536);
    info.maxLog = 0;
    for (int v = 0; v < 65536; ++v) {
        info.logHist[v] = std::log10(counters[v]);
        info.maxLog = std::max(info.maxLog, info.logHist[v]);
    }
    std::vector<uint16_t> sorted(p, p + n);
    std::sort(sorted.begin(), sorted.end());
    const size_t k = size_t(kPercent * double(n));
    int low = sorted[k];
    int high = k == 0 ? sorted[n - 1] : sorted[n - k];
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
    if (ours.low != peer.low || ours.high != peer.high)
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
