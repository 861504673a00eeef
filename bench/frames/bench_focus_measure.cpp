#include <benchmark/benchmark.h>

#include <cmath>

#include <opencv2/imgproc.hpp>

#include "benchframe.h"
#include "focusmeasure.h"

namespace {

double peerMeasure(const cv::Mat& image)
{
    cv::Mat gx, gy, mag;
    cv::Sobel(image, gx, CV_64F, 1, 0, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::Sobel(image, gy, CV_64F, 0, 1, 1, 1, 0, cv::BORDER_DEFAULT);
    cv::magnitude(gx, gy, mag);
    return cv::mean(mag)[0];
}

const cv::Mat& frame()
{
    static const cv::Mat f = benchFrame();
    return f;
}

bool sameValue(benchmark::State& state, const cv::Mat& roi)
{
    const double ours = focusMeasure(roi), peer = peerMeasure(roi);
    if (std::abs(ours - peer) > 1e-9 * std::abs(peer)) {
        state.SkipWithError("focus measures differ");
        return false;
    }
    state.counters["value"] = ours;
    return true;
}

void focusRow(benchmark::State& state)
{
    oneThread(state);
    cv::Mat roi;
    cropRoi(frame(), roi);
    if (!sameValue(state, roi))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(focusMeasure(roi));
}

void focus_measure_ours(benchmark::State& state)
{
    focusRow(state);
}

void focus_measure_ours_avx2(benchmark::State& state)
{
    const KernelPath path(state, lanes::Isa::Avx2);
    if (path.ok())
        focusRow(state);
}

void focus_measure_peer(benchmark::State& state)
{
    oneThread(state);
    cv::Mat roi;
    cropRoi(frame(), roi);
    if (!sameValue(state, roi))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(peerMeasure(roi));
}

} // namespace

BENCHMARK(focus_measure_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(focus_measure_ours_avx2)->Unit(benchmark::kMillisecond);
BENCHMARK(focus_measure_peer)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
