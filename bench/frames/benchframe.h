#pragma once
// What the frame benchmarks share: a blot-like 16-bit camera frame (dark background with noise, a
// few bright bands, a saturated spot), the one-thread rule, the narrower kernel paths, cold
// copies of frames, the check that stops a run whose pair disagrees, and the closing line per
// pair (<case>_ours against <case>_peer).

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <string>
#include <vector>

#include "pairsummary.h"
#include "simdlanes.h"

constexpr int kBenchWidth = 2688;
constexpr int kBenchHeight = 2200;

cv::Mat benchFrame(int width = kBenchWidth, int height = kBenchHeight);

// Every row runs on one thread, OpenCV's peers included, and says so in its label.
void oneThread(benchmark::State& state);

// Copies of frame, together with bytesBeside bytes of other buffers per copy, that exceed the
// last-level cache: cycling through them, every round reads and writes memory, as frames
// arriving from the camera do.
std::vector<cv::Mat> coldCopies(const cv::Mat& frame, size_t bytesBeside = 0);

// Stops the whole run, loudly: a pair whose outputs differ measures nothing worth reading.
[[noreturn]] void mismatch(const std::string& what);

// Rows that run once per instruction set ("isa:2" AVX-512, "isa:1" AVX2, "isa:0" plain).
void perIsa(benchmark::internal::Benchmark* b);

// Runs a row with the kernels held to a narrower instruction set (as on a machine without the
// wider one); false, with the row skipped, when this machine lacks that set.
class KernelPath {
public:
    // The set from the row's first argument.
    explicit KernelPath(benchmark::State& state);
    KernelPath(benchmark::State& state, lanes::Isa isa);
    ~KernelPath();
    bool ok() const { return m_ok; }

private:
    int m_old;
    bool m_ok;
};

// main() of a frame benchmark: the console output and one line per pair at the end.
#define FRAME_BENCH_MAIN()                                                                         \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchpairs::PairReporter reporter;                                                         \
        benchmark::RunSpecifiedBenchmarks(&reporter);                                              \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
