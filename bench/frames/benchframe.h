#pragma once
// What the frame benchmarks share: a blot-like 16-bit camera frame (dark background with noise, a
// few bright bands, a saturated spot), the one-thread rule and the narrower kernel paths.

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include "simdlanes.h"

constexpr int kBenchWidth = 2688;
constexpr int kBenchHeight = 2200;

cv::Mat benchFrame(int width = kBenchWidth, int height = kBenchHeight);

// Every row runs on one thread, OpenCV's peers included, and says so in its label.
void oneThread(benchmark::State& state);

// Runs a row with the kernels held to a narrower instruction set (as on a machine without the
// wider one); false, with the row skipped, when this machine lacks that set.
class KernelPath {
public:
    KernelPath(benchmark::State& state, lanes::Isa isa);
    ~KernelPath();
    bool ok() const { return m_ok; }

private:
    int m_old;
    bool m_ok;
};
