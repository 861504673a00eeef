// The stretch of a frame's levels against a copy of the same bytes: both read one cold frame and
// write another, so the pair shows what the arithmetic costs beyond moving the frame.
#include <benchmark/benchmark.h>

#include <cstring>

#include "benchframe.h"
#include "histograminfo.h"

namespace {

struct Data {
    cv::Mat source = benchFrame();
    int low = 0, high = 65535;
    std::vector<cv::Mat> from, to;
    size_t next = 0;
    Data()
    {
        HistogramInfo info;
        computeDisplayLevels(FrameView::of(source), 0.001, info);
        low = info.low;
        high = info.high;
        from = coldCopies(source, source.total() * 2);
        to = coldCopies(source, source.total() * 2);
    }
    size_t pick() { return next++ % from.size(); }
};

Data& data()
{
    static Data d;
    return d;
}

// The rule written out in double precision, level by level.
cv::Mat referenceStretch(const cv::Mat& source, int low, int high)
{
    cv::Mat out(source.size(), CV_16UC1);
    for (size_t i = 0; i < source.total(); ++i) {
        const int v = source.ptr<uint16_t>()[i];
        out.ptr<uint16_t>()[i] = v < low ? 0 : v > high ? 65535 : uint16_t((double(v) - low) / (high - low) * 65535.0 + 0.5);
    }
    return out;
}

void stretch_levels_ours(benchmark::State& state)
{
    oneThread(state);
    const KernelPath path(state);
    if (!path.ok())
        return;
    Data& d = data();
    cv::Mat out(d.source.size(), CV_16UC1);
    stretchLevels(FrameView::of(d.source), FrameView::of(out), d.low, d.high);
    if (cv::norm(out, referenceStretch(d.source, d.low, d.high), cv::NORM_INF) != 0)
        mismatch("stretch differs from the double-precision rule");
    for (auto _ : state) {
        const size_t k = d.pick();
        stretchLevels(FrameView::of(d.from[k]), FrameView::of(d.to[k]), d.low, d.high);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
    state.counters["copies"] = double(d.from.size());
}

// The floor: the same bytes copied from a cold frame into another.
void stretch_levels_peer(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    cv::Mat out(d.source.size(), CV_16UC1);
    std::memcpy(out.data, d.source.data, d.source.total() * 2);
    if (cv::norm(out, d.source, cv::NORM_INF) != 0)
        mismatch("copy differs");
    for (auto _ : state) {
        const size_t k = d.pick();
        std::memcpy(d.to[k].data, d.from[k].data, d.source.total() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
    state.counters["copies"] = double(d.from.size());
}

} // namespace

BENCHMARK(stretch_levels_ours)->Apply(perIsa)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(stretch_levels_peer)->Apply(perIsa)->Unit(benchmark::kMillisecond)->UseRealTime();
FRAME_BENCH_MAIN();
