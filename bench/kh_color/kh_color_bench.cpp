// Debayer, white balance and format conversion of the colour helper against OpenCV doing the
// same job on the same frame with the same number of threads. Counters: megapixels per second.
#include "colorcore.h"
#include "parallel.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <map>
#include <tuple>
#include <thread>
#include <vector>

namespace {

int allThreads() { return int(khc::workerCount()); }

void setThreads(int n)
{
    cv::setNumThreads(n);
    khc::setWorkerLimit(unsigned(n));
}

// Frames are made once per size and shared by ours and the peer: Google Benchmark calls each case
// several times while it sizes the run, and filling 60 M samples each time dominated the run time.
const cv::Mat& rawFrame(int w, int h, int type, unsigned top)
{
    static std::map<std::tuple<int, int, int, unsigned>, cv::Mat> frames;
    cv::Mat& m = frames[{w, h, type, top}];
    if (m.empty()) {
        m.create(h, w, type);
        cv::theRNG().state = 7;
        cv::randu(m, 0, double(top) + 1);
    }
    return m;
}

void report(benchmark::State& state, int w, int h)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(w) * h * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : {std::pair<int, int>{2048, 2048}, {5472, 3648}})
        for (int t : {1, allThreads()})
            b->Args({w, h, t});
    b->ArgNames({"w", "h", "threads"})->UseRealTime()->MinTime(0.1)->Unit(benchmark::kMillisecond);
}

// ---- debayer ---------------------------------------------------------------------------------

void debayer_bilinear_16u_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    const cv::Mat raw = rawFrame(w, h, CV_16UC1, 0xFFFF);
    cv::Mat ours(h, w, CV_16UC3), peer;
    // Same algorithm as the peer: the interiors must agree before anything is timed.
    khc::debayerBilinear(raw.data, ours.data, uint32_t(w), uint32_t(h), 2, 0, 0xFFFF);
    cv::cvtColor(raw, peer, cv::COLOR_BayerBG2RGB);
    const cv::Rect in(1, 1, w - 2, h - 2);
    if (cv::norm(ours(in), peer(in), cv::NORM_INF) != 0) {
        state.SkipWithError("interior differs from OpenCV");
        return;
    }
    for (auto _ : state) {
        khc::debayerBilinear(raw.data, ours.data, uint32_t(w), uint32_t(h), 2, 0, 0xFFFF);
        benchmark::DoNotOptimize(ours.data);
    }
    report(state, w, h);
}

void debayer_bilinear_16u_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    const cv::Mat raw = rawFrame(w, h, CV_16UC1, 0xFFFF);
    cv::Mat peer(h, w, CV_16UC3);
    cv::cvtColor(raw, peer, cv::COLOR_BayerBG2RGB);
    for (auto _ : state) {
        cv::cvtColor(raw, peer, cv::COLOR_BayerBG2RGB);
        benchmark::DoNotOptimize(peer.data);
    }
    report(state, w, h);
}

void debayer_fast_16u_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    const cv::Mat raw = rawFrame(w, h, CV_16UC1, 0xFFFF);
    cv::Mat ours(h, w, CV_16UC3);
    khc::debayerFast(raw.data, ours.data, uint32_t(w), uint32_t(h), 2, 0, 0xFFFF);
    for (auto _ : state) {
        khc::debayerFast(raw.data, ours.data, uint32_t(w), uint32_t(h), 2, 0, 0xFFFF);
        benchmark::DoNotOptimize(ours.data);
    }
    report(state, w, h);
}

// ---- white balance ---------------------------------------------------------------------------

constexpr float kScales[3] = {1.7f, 1.0f, 2.3f};

void white_balance_16u_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    auto luts = std::make_unique<khc::LutBlock>();
    for (int c = 0; c < 3; ++c)
        khc::buildTable(*luts, c, kScales[c], 12);
    // In place, again and again: the cost of either does not depend on the values.
    cv::Mat img = rawFrame(w * 3, h, CV_16UC1, 0xFFF).clone().reshape(3);
    for (auto _ : state) {
        khc::applyTables(*luts, img.data, 0, uint32_t(w), uint32_t(h));
        benchmark::DoNotOptimize(img.data);
    }
    report(state, w, h);
}

void white_balance_16u_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    cv::Mat img = rawFrame(w * 3, h, CV_16UC1, 0xFFF).clone().reshape(3);
    for (auto _ : state) {
        cv::multiply(img, cv::Scalar(kScales[0], kScales[1], kScales[2]), img);
        cv::min(img, cv::Scalar::all(4095), img);
        benchmark::DoNotOptimize(img.data);
    }
    report(state, w, h);
}

// ---- format conversion -----------------------------------------------------------------------

void convert_format_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    const bool planar = state.range(3) != 0;
    if (planar) {
        const cv::Mat src = rawFrame(w * 3, h, CV_16UC1, 0xFFFF);
        std::vector<uint16_t> dst(std::size_t(w) * h * 3);
        khc::convertFormat(src.data, 0, 16, dst.data(), 1, 16, uint32_t(w), uint32_t(h), 0xFFFF);
        for (auto _ : state) {
            khc::convertFormat(src.data, 0, 16, dst.data(), 1, 16, uint32_t(w), uint32_t(h), 0xFFFF);
            benchmark::DoNotOptimize(dst.data());
        }
    } else {
        const cv::Mat src = rawFrame(w * 3, h, CV_8UC1, 0xFF);
        cv::Mat dst(h, w, CV_8UC4);
        khc::convertFormat(src.data, 2, 8, dst.data, 6, 8, uint32_t(w), uint32_t(h), 0xFFFF);
        cv::Mat peer;
        cv::cvtColor(src.reshape(3), peer, cv::COLOR_RGB2BGRA);
        if (cv::norm(dst, peer, cv::NORM_INF) != 0) {
            state.SkipWithError("RGB to BGRA differs from OpenCV");
            return;
        }
        for (auto _ : state) {
            khc::convertFormat(src.data, 2, 8, dst.data, 6, 8, uint32_t(w), uint32_t(h), 0xFFFF);
            benchmark::DoNotOptimize(dst.data);
        }
    }
    report(state, w, h);
}

void convert_format_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    const bool planar = state.range(3) != 0;
    if (planar) {
        const cv::Mat src = rawFrame(w * 3, h, CV_16UC1, 0xFFFF).reshape(3);
        std::vector<cv::Mat> planes{cv::Mat(h, w, CV_16UC1), cv::Mat(h, w, CV_16UC1), cv::Mat(h, w, CV_16UC1)};
        cv::split(src, planes);
        for (auto _ : state) {
            cv::split(src, planes);
            benchmark::DoNotOptimize(planes[0].data);
        }
    } else {
        const cv::Mat src = rawFrame(w * 3, h, CV_8UC1, 0xFF).reshape(3);
        cv::Mat dst(h, w, CV_8UC4);
        cv::cvtColor(src, dst, cv::COLOR_RGB2BGRA);
        for (auto _ : state) {
            cv::cvtColor(src, dst, cv::COLOR_RGB2BGRA);
            benchmark::DoNotOptimize(dst.data);
        }
    }
    report(state, w, h);
}

void convertArgs(benchmark::internal::Benchmark* b)
{
    for (int planar : {0, 1})
        for (auto [w, h] : {std::pair<int, int>{2048, 2048}, {5472, 3648}})
            for (int t : {1, allThreads()})
                b->Args({w, h, t, planar});
    b->ArgNames({"w", "h", "threads", "planar"})->UseRealTime()->MinTime(0.1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(debayer_bilinear_16u_ours)->Apply(sizes);
BENCHMARK(debayer_bilinear_16u_peer)->Apply(sizes);
BENCHMARK(debayer_fast_16u_ours)->Apply(sizes);
BENCHMARK(white_balance_16u_ours)->Apply(sizes);
BENCHMARK(white_balance_16u_peer)->Apply(sizes);
BENCHMARK(convert_format_ours)->Apply(convertArgs);
BENCHMARK(convert_format_peer)->Apply(convertArgs);

} // namespace

BENCHMARK_MAIN();
