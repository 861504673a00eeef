#include <benchmark/benchmark.h>

#include <cstring>

#include "benchframe.h"
#include "histograminfo.h"

namespace {

struct Data {
    cv::Mat source = benchFrame();
    cv::Mat work = source.clone();
    int low = 0, high = 65535;
    Data()
    {
        HistogramInfo info;
        computeDisplayLevels(FrameView::of(source), 0.001, info);
        low = info.low;
        high = info.high;
    }
};

Data& data()
{
    static Data d;
    return d;
}

// The stretch works in place: the frame is restored outside the timed region.
void stretchRow(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    for (auto _ : state) {
        state.PauseTiming();
        d.source.copyTo(d.work);
        state.ResumeTiming();
        stretchLevels(FrameView::of(d.work), d.low, d.high);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
}

void stretch_levels_ours(benchmark::State& state)
{
    stretchRow(state);
}

void stretch_levels_ours_avx2(benchmark::State& state)
{
    const KernelPath path(state, lanes::Isa::Avx2);
    if (path.ok())
        stretchRow(state);
}

// The floor: the same bytes copied once.
void stretch_levels_memcpy(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    for (auto _ : state) {
        std::memcpy(d.work.data, d.source.data, d.source.total() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
}

// OpenCV's linear scale with saturation (rounding differs at the clip edges, so no equality check).
void stretch_levels_peer(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    const double scale = 65535.0 / (d.high - d.low);
    for (auto _ : state) {
        d.source.convertTo(d.work, CV_16U, scale, -d.low * scale);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
}

} // namespace

BENCHMARK(stretch_levels_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(stretch_levels_ours_avx2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(stretch_levels_memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(stretch_levels_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
