// The flat-field correction of a frame in its buffer against a copy of the same bytes, both on
// cold frames (the references are one pair, as in the program, and fall out of cache too).
#include <benchmark/benchmark.h>

#include <cstring>

#include "benchframe.h"
#include "flatfieldreferences.h"

namespace {

constexpr uint16_t kScale = 65535; // the program's white level

struct Data {
    cv::Mat source = benchFrame();
    cv::Mat light, dark;
    std::vector<cv::Mat> frames;
    size_t next = 0;
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
        frames = coldCopies(source);
    }
    size_t pick() { return next++ % frames.size(); }
};

Data& data()
{
    static Data d;
    return d;
}

// The rule in double precision, pixel by pixel.
cv::Mat referenceCorrection(const Data& d)
{
    cv::Mat out(d.source.size(), CV_16UC1);
    for (size_t i = 0; i < d.source.total(); ++i) {
        const double r = d.source.ptr<uint16_t>()[i], l = d.light.ptr<uint16_t>()[i], k = d.dark.ptr<uint16_t>()[i];
        double q = l - k <= 0 ? 0 : (r - k) / (l - k);
        q = q < 0 ? 0 : q > 1 ? 1 : q;
        out.ptr<uint16_t>()[i] = l - k <= 0 ? 0 : uint16_t(int(q * kScale));
    }
    return out;
}

// Each round corrects the next cold frame where it lies; frames come round again already
// corrected, which costs the same (at the full white level the kernel has no data-dependent step).
void ffc_correct_ours(benchmark::State& state)
{
    oneThread(state);
    const KernelPath path(state);
    if (!path.ok())
        return;
    Data& d = data();
    cv::Mat once = d.source.clone();
    correctFlatField(FrameView::of(once), d.light.ptr<uint16_t>(), d.dark.ptr<uint16_t>(), kScale);
    if (cv::norm(once, referenceCorrection(d), cv::NORM_INF) != 0)
        mismatch("flat-field correction differs from the double-precision rule");
    for (auto _ : state) {
        correctFlatField(FrameView::of(d.frames[d.pick()]), d.light.ptr<uint16_t>(), d.dark.ptr<uint16_t>(), kScale);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
    state.counters["copies"] = double(d.frames.size());
}

// The floor: a cold frame's bytes copied into the next one.
void ffc_correct_peer(benchmark::State& state)
{
    oneThread(state);
    Data& d = data();
    cv::Mat out(d.source.size(), CV_16UC1);
    std::memcpy(out.data, d.source.data, d.source.total() * 2);
    if (cv::norm(out, d.source, cv::NORM_INF) != 0)
        mismatch("copy differs");
    for (auto _ : state) {
        const size_t k = d.pick();
        std::memcpy(d.frames[(k + 1) % d.frames.size()].data, d.frames[k].data, d.source.total() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.source.total() * 2));
    state.counters["copies"] = double(d.frames.size());
}

} // namespace

BENCHMARK(ffc_correct_ours)->Apply(perIsa)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ffc_correct_peer)->Apply(perIsa)->Unit(benchmark::kMillisecond)->UseRealTime();
FRAME_BENCH_MAIN();
