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

// The two agree to 1e-9 of the value (sums and square roots are taken in another order).
void sameValue(benchmark::State& state, const cv::Mat& roi)
{
    const double ours = focusMeasure(roi), peer = peerMeasure(roi);
    if (std::abs(ours - peer) > 1e-9 * std::abs(peer))
        mismatch("focus measures differ: " + std::to_string(ours) + " against " + std::to_string(peer));
    state.counters["value"] = ours;
}

void focus_measure_ours(benchmark::State& state)
{
    oneThread(state);
    const KernelPath path(state);
    if (!path.ok())
        return;
    cv::Mat roi;
    cropRoi(frame(), roi);
    sameValue(state, roi);
    for (auto _ : state)
        benchmark::DoNotOptimize(focusMeasure(roi));
}

void focus_measure_peer(benchmark::State& state)
{
    oneThread(state);
    cv::Mat roi;
    cropRoi(frame(), roi);
    sameValue(state, roi);
    for (auto _ : state)
        benchmark::DoNotOptimize(peerMeasure(roi));
}

} // namespace

BENCHMARK(focus_measure_ours)->Apply(perIsa)->Unit(benchmark::kMillisecond);
BENCHMARK(focus_measure_peer)->Apply(perIsa)->Unit(benchmark::kMillisecond);
FRAME_BENCH_MAIN();
