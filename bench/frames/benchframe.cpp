#include "benchframe.h"

#include <opencv2/imgproc.hpp>

cv::Mat benchFrame(int width, int height)
{
    cv::Mat f(height, width, CV_32F, cv::Scalar(1500));
    for (int i = 0; i < 8; ++i) {
        const int x = width / 10 + i * width / 10;
        for (int j = 0; j < 5; ++j)
            cv::rectangle(f, cv::Rect(x, height / 6 + j * height / 7, width / 14, height / 60), cv::Scalar(4000 + 6000 * i + 1500 * j), -1);
    }
    cv::circle(f, cv::Point(width / 2, height / 2), 40, cv::Scalar(70000), -1);
    cv::GaussianBlur(f, f, cv::Size(0, 0), 3);
    cv::Mat noise(height, width, CV_32F);
    cv::RNG(7).fill(noise, cv::RNG::NORMAL, 0, 60);
    f += noise;
    cv::Mat out;
    f.convertTo(out, CV_16U);
    return out;
}

std::vector<cv::Mat> coldCopies(const cv::Mat& frame, size_t bytesBeside)
{
    const size_t copies = benchpairs::freshCopies(frame.total() * frame.elemSize() + bytesBeside);
    std::vector<cv::Mat> out;
    out.reserve(copies);
    for (size_t i = 0; i < copies; ++i)
        out.push_back(frame.clone());
    return out;
}

void mismatch(const std::string& what)
{
    benchpairs::abortRun(what);
}

void perIsa(benchmark::internal::Benchmark* b)
{
    b->ArgName("isa");
    for (int isa = int(lanes::Isa::Avx512); isa >= int(lanes::Isa::Plain); --isa)
        b->Arg(isa);
}

void oneThread(benchmark::State& state)
{
    cv::setNumThreads(1);
    state.SetLabel("1 thread");
}

KernelPath::KernelPath(benchmark::State& state)
    : KernelPath(state, lanes::Isa(state.range(0)))
{
}

KernelPath::KernelPath(benchmark::State& state, lanes::Isa isa)
    : m_old(lanes::isaCap().exchange(int(isa)))
    , m_ok(lanes::detectedIsa() >= isa)
{
    if (!m_ok)
        state.SkipWithError("this machine lacks the instruction set");
}

KernelPath::~KernelPath()
{
    lanes::isaCap().store(m_old);
}
