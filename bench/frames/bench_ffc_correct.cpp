#include <benchmark/benchmark.h>

#include <cstring>

#include "benchframe.h"
#include "flatfieldreferences.h"

namespace {

struct Data {
    cv::Mat source = benchFrame();
    cv::Mat work = source.clone();
    cv::Mat light, dark;
    Data()
    {
        cv::Mat vignette(source.size(), CV_32F);
        for (int r = 0; r < source.rows; ++r)
            for (int c = 0; c < source.cols; ++c) {
                const double dx = (c - source.cols / 2.0) / source.cols, dy = (r - source.rows / 2.0) / source.rows;
                vignette.at<float>(r, c) = float(52000 * (1 - 0.8 * (dx * dx + dy * dy)));
            }
        vignette.convertTo(light, CV_16U);
        dark = cv::Mat(source.size(), CV_16UC1, cv::Scalar(300));
    }
};

Data& data()
{
    static Data d;
    return d;
}

void correctRow(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    for (auto _ : state) {
        state.PauseTiming();
        d.source.copyTo(d.work);
        state.ResumeTiming();
        correctFlatField(FrameView::of(d.work), d.light.ptr<uint16_t>(), d.dark.ptr<uint16_t>(), 65535);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
}

void ffc_correct_ours(benchmark::State& state)
{
    correctRow(state);
}

void ffc_correct_ours_avx2(benchmark::State& state)
{
    const KernelPath path(state, lanes::Isa::Avx2);
    if (path.ok())
        correctRow(state);
}

void ffc_correct_memcpy(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    for (auto _ : state) {
        std::memcpy(d.work.data, d.source.data, d.source.total() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
}

} // namespace

BENCHMARK(ffc_correct_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ffc_correct_ours_avx2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ffc_correct_memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
