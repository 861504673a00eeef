// The pictures of the views and the image work against their peers, in one run, on the frame of
// the frame benchmarks (2688 x 2200, 16-bit). At the end each pair prints its PAIR line.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "benchframe.h"
#include "blends.h"
#include "displayimage.h"
#include "histograminfo.h"
#include "pairsummary.h"
#include "picturelevels.h"

namespace {

const QSize kItem(1280, 800);

cv::Mat& frame()
{
    static cv::Mat f = benchFrame();
    return f;
}

QImage& target()
{
    static QImage t(kItem, QImage::Format_ARGB32_Premultiplied);
    return t;
}

// The view's fit of the frame into the item, as the live view paints it.
PictureFit fit()
{
    return fitPicture(QSize(frame().cols, frame().rows), kItem, 1.0, true, false);
}

// One paint of the live view: display levels, scaling and conversion, drawn centred.
void paint_frame_ours(benchmark::State& state)
{
    oneThread(state);
    const PictureFit f = fit();
    for (auto _ : state) {
        QPainter painter(&target());
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        const QImage image = renderPicture(frame(), f.shown);
        painter.drawImage(QRect(f.topLeft, f.shown), image);
        benchmark::DoNotOptimize(target().constBits());
    }
}

// The same frame scaled by OpenCV and drawn by the toolkit as 16-bit grey.
void paint_frame_peer(benchmark::State& state)
{
    oneThread(state);
    const PictureFit f = fit();
    for (auto _ : state) {
        QPainter painter(&target());
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        cv::Mat scaled;
        cv::resize(frame(), scaled, cv::Size(f.shown.width(), f.shown.height()), 0, 0, cv::INTER_AREA);
        const QImage image(scaled.data, scaled.cols, scaled.rows, int(scaled.step), QImage::Format_Grayscale16);
        painter.drawImage(QRect(f.topLeft, f.shown), image);
        benchmark::DoNotOptimize(target().constBits());
    }
}

// Histogram record of a stored picture: counting, against OpenCV's histogram of all 65536 values.
void histogram_ours(benchmark::State& state)
{
    oneThread(state);
    HistogramInfo info;
    for (auto _ : state) {
        pictureHistogram(frame(), info);
        benchmark::DoNotOptimize(info.maxLog);
    }
}

void histogram_peer(benchmark::State& state)
{
    oneThread(state);
    const int channels[] = {0};
    const int size[] = {65536};
    const float range[] = {0, 65536};
    const float* ranges[] = {range};
    cv::Mat hist;
    for (auto _ : state) {
        cv::calcHist(&frame(), 1, channels, cv::Mat(), hist, 1, size, ranges);
        benchmark::DoNotOptimize(hist.data);
    }
}

// Screen blend of two colour pictures: the table against OpenCV's arithmetic,
// 255 - (255 - a)(255 - b) / 255 as two inversions and one scaled multiply. The program's rule
// truncates, OpenCV's multiply rounds: the two agree within 1.
constexpr const char* kBlendRounding = "ours truncates, OpenCV rounds: within 1";

void peerScreen(cv::Mat& acc, const cv::Mat& add)
{
    thread_local cv::Mat inverse;
    cv::bitwise_not(add, inverse);
    cv::bitwise_not(acc, acc);
    cv::multiply(acc, inverse, acc, 1.0 / 255);
    cv::bitwise_not(acc, acc);
}
struct Blend {
    cv::Mat a, b, work;
    Blend()
    {
        cv::Mat grey;
        frame().convertTo(grey, CV_8U, 1.0 / 256);
        cv::cvtColor(grey, a, cv::COLOR_GRAY2BGR);
        cv::flip(a, b, 1);
        work = a.clone();
    }
};

Blend& blend()
{
    static Blend d;
    return d;
}

void screen_blend_ours(benchmark::State& state)
{
    oneThread(state);
    Blend& d = blend();
    for (auto _ : state) {
        state.PauseTiming();
        d.a.copyTo(d.work);
        state.ResumeTiming();
        screenBlend(d.work, d.b);
        benchmark::ClobberMemory();
    }
    state.SetLabel(kBlendRounding);
}

void screen_blend_peer(benchmark::State& state)
{
    oneThread(state);
    Blend& d = blend();
    for (auto _ : state) {
        state.PauseTiming();
        d.a.copyTo(d.work);
        state.ResumeTiming();
        peerScreen(d.work, d.b);
        benchmark::ClobberMemory();
    }
    state.SetLabel(kBlendRounding);
}

// The record's log counts must be those of OpenCV's counts before the times mean anything.
bool histogramsAgree()
{
    HistogramInfo info;
    if (!pictureHistogram(frame(), info) || info.logHist.size() != 65536)
        return false;
    const int channels[] = {0};
    const int size[] = {65536};
    const float range[] = {0, 65536};
    const float* ranges[] = {range};
    cv::Mat hist;
    cv::calcHist(&frame(), 1, channels, cv::Mat(), hist, 1, size, ranges);
    for (int v = 0; v < 65536; ++v)
        if (std::abs(info.logHist[size_t(v)] - std::log10(1.1 + double(hist.at<float>(v)))) > 1e-12)
            return false;
    return true;
}

// Both blends must agree within their stated rounding before their times mean anything.
bool blendsAgree()
{
    Blend& d = blend();
    cv::Mat ours = d.a.clone(), peer = d.a.clone();
    screenBlend(ours, d.b);
    peerScreen(peer, d.b);
    return cv::norm(ours, peer, cv::NORM_INF) <= 1;
}

} // namespace

BENCHMARK(paint_frame_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(paint_frame_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(histogram_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(histogram_peer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(screen_blend_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(screen_blend_peer)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!blendsAgree())
        benchpairs::abortRun("screen blends differ");
    if (!histogramsAgree())
        benchpairs::abortRun("histogram records differ from OpenCV's counts");
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
