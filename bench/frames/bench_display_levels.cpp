#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <opencv2/imgproc.hpp>

#include "benchframe.h"
#include "histograminfo.h"
#include "peersave.h"

namespace {

constexpr double kPercent = 0.001;

cv::Mat& frame()
{
    static cv::Mat f = benchFrame();
    return f;
}

bool sameLevels(benchmark::State& state)
{
    HistogramInfo ours, peer;
    computeDisplayLevels(FrameView::of(frame()), kPercent, ours);
    peerLevels(frame(), kPercent, peer);
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
        peerLevels(frame(), kPercent, info);
        benchmark::DoNotOptimize(info.high);
    }
}

} // namespace

BENCHMARK(display_levels_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(display_levels_peer)->Unit(benchmark::kMillisecond);
FRAME_BENCH_MAIN();
