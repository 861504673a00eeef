// The colour helper's kernels against OpenCV doing the same job, like with like:
// - both sides run on the same number of threads: cv::setNumThreads matches our worker limit, and
//   OpenCV calls that do not thread themselves (split, multiply, min, the composed fast debayer)
//   run in row bands under cv::parallel_for_;
// - fresh:1 (the headline) cycles through copies of the frames that together exceed the
//   last-level cache, so every round reads and writes memory as a camera stream does; fresh:0
//   (warm) reuses one frame that stays in cache between rounds;
// - before timing, every pair checks that both sides give the same output (white balance: within
//   its stated rounding difference) and aborts the run when they do not.
#include "colorcore.h"
#include "../common/pairsummary.h"
#include "parallel.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using benchpairs::abortRun;

int allThreads() { return int(khc::workerCount()); }

void setThreads(int n)
{
    cv::setNumThreads(n);
    khc::setWorkerLimit(unsigned(n));
}

// Runs body(firstRow, lastRow) over `rows` in bands on OpenCV's threads (as many bands as
// threads, each a multiple of `align` rows).
void peerBands(int rows, int align, const std::function<void(int, int)>& body)
{
    const int threads = std::max(cv::getNumThreads(), 1);
    const int units = (rows + align - 1) / align;
    const int bands = std::min(units, threads);
    if (bands <= 1) {
        body(0, rows);
        return;
    }
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& r) {
        for (int b = r.start; b < r.end; ++b) {
            const int first = int(int64_t(units) * b / bands) * align;
            const int last = std::min(rows, int(int64_t(units) * (b + 1) / bands) * align);
            if (first < last)
                body(first, last);
        }
    }, bands);
}

// ---- frames ------------------------------------------------------------------------------------

// Sources and destinations of one case; fresh ones hold enough copies to defeat the cache.
struct FrameSet {
    std::vector<cv::Mat> src, dst;
    std::size_t next = 0;
    std::size_t pick() { return next++ % src.size(); }
};

// One set is kept at a time: ours and the peer of a case run back to back on the same frames.
FrameSet& frameSet(const std::string& key, int w, int h, int srcType, unsigned top, int dstRows, int dstType,
                   bool fresh)
{
    static std::string current;
    static std::unique_ptr<FrameSet> set;
    const std::string full = key + (fresh ? "/fresh" : "/warm");
    if (set && current == full)
        return *set;
    set.reset();
    auto s = std::make_unique<FrameSet>();
    cv::Mat first(h, w, srcType);
    cv::theRNG().state = 7;
    cv::randu(first, 0, double(top) + 1);
    const std::size_t bytes = first.total() * first.elemSize() +
                              (dstRows ? std::size_t(dstRows) * w * CV_ELEM_SIZE(dstType) : 0);
    const std::size_t copies = fresh ? benchpairs::freshCopies(bytes) : 1;
    for (std::size_t i = 0; i < copies; ++i) {
        s->src.push_back(i == 0 ? first : first.clone());
        if (dstRows) {
            // Written once, so the pages exist before anything is timed.
            s->dst.emplace_back(dstRows, w, dstType, cv::Scalar::all(0));
        }
    }
    set = std::move(s);
    current = full;
    return *set;
}

// Runs check() once per pair and configuration; both sides call it so either can run alone.
void checkOnce(const std::string& key, const std::function<void()>& check)
{
    static std::set<std::string> done;
    if (done.insert(key).second)
        check();
}

void report(benchmark::State& state, int w, int h, const FrameSet& set)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(w) * h * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    state.counters["copies"] = double(set.src.size());
}

std::string caseKey(const char* name, const benchmark::State& s)
{
    return std::string(name) + "/" + std::to_string(s.range(0)) + "x" + std::to_string(s.range(1)) + "/t" +
           std::to_string(s.range(2));
}

// ---- debayer -----------------------------------------------------------------------------------

// Our pattern 2 (red first) is what OpenCV calls BayerBG; the checks below confirm the pairing.
constexpr unsigned kPattern = 2;

FrameSet& rawFrames(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    return frameSet("raw16->rgb16/" + std::to_string(w) + "x" + std::to_string(h), w, h, CV_16UC1, 0xFFFF, h,
                    CV_16UC3, state.range(3) != 0);
}

// The bilinear rule's interior is OpenCV's bilinear demosaicing; borders follow our own rule.
void checkBilinear(const cv::Mat& raw)
{
    const int w = raw.cols, h = raw.rows;
    cv::Mat ours(h, w, CV_16UC3), peer;
    khc::debayerBilinear(raw.data, ours.data, uint32_t(w), uint32_t(h), kPattern, 0, 0xFFFF);
    cv::cvtColor(raw, peer, cv::COLOR_BayerBG2RGB);
    const cv::Rect in(1, 1, w - 2, h - 2);
    if (cv::norm(ours(in), peer(in), cv::NORM_INF) != 0)
        abortRun("bilinear debayer: interior differs from OpenCV");
}

void debayer_bilinear_16u_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = rawFrames(state);
    checkOnce(caseKey("bilinear", state), [&] { checkBilinear(f.src[0]); });
    for (auto _ : state) {
        const std::size_t i = f.pick();
        khc::debayerBilinear(f.src[i].data, f.dst[i].data, uint32_t(w), uint32_t(h), kPattern, 0, 0xFFFF);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

void debayer_bilinear_16u_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = rawFrames(state);
    checkOnce(caseKey("bilinear", state), [&] { checkBilinear(f.src[0]); });
    // cvtColor's demosaicing runs in bands on OpenCV's threads by itself.
    for (auto _ : state) {
        const std::size_t i = f.pick();
        cv::cvtColor(f.src[i], f.dst[i], cv::COLOR_BayerBG2RGB);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

// OpenCV has no 2 x 2 block demosaicing: the peer builds the fast rule from OpenCV calls over
// each band of cell rows (red and the first green, the second green and blue as two-channel
// views; green = (g1 + g2 + 1) / 2, exact through addWeighted's rounding of g1/2 + g2/2 + 1/4;
// one colour per cell, spread to its four pixels by nearest-neighbour resize). Read this pair as
// "the rule from OpenCV building blocks", not as two equal kernels.
void peerFast(const cv::Mat& raw, cv::Mat& out)
{
    const int w = raw.cols, h = raw.rows, cw = w / 2;
    peerBands(h / 2, 1, [&](int c0, int c1) {
        const int cells = c1 - c0;
        const std::size_t pairStep = raw.step[0] * 2;
        const cv::Mat rg(cells, cw, CV_16UC2, const_cast<uchar*>(raw.ptr(2 * c0)), pairStep);
        const cv::Mat gb(cells, cw, CV_16UC2, const_cast<uchar*>(raw.ptr(2 * c0 + 1)), pairStep);
        // Per thread and reused, as a tuned caller would: no allocation inside the timing.
        thread_local cv::Mat r, g1, g2, b, g, cell;
        cv::extractChannel(rg, r, 0);
        cv::extractChannel(rg, g1, 1);
        cv::extractChannel(gb, g2, 0);
        cv::extractChannel(gb, b, 1);
        cv::addWeighted(g1, 0.5, g2, 0.5, 0.25, g, CV_16U);
        cv::merge(std::vector<cv::Mat>{r, g, b}, cell);
        cv::Mat dst = out.rowRange(2 * c0, 2 * c1);
        cv::resize(cell, dst, dst.size(), 0, 0, cv::INTER_NEAREST);
    });
}

void checkFast(const cv::Mat& raw)
{
    const int w = raw.cols, h = raw.rows;
    cv::Mat ours(h, w, CV_16UC3), peer(h, w, CV_16UC3);
    khc::debayerFast(raw.data, ours.data, uint32_t(w), uint32_t(h), kPattern, 0, 0xFFFF);
    peerFast(raw, peer);
    if (cv::norm(ours, peer, cv::NORM_INF) != 0)
        abortRun("fast debayer: differs from the rule built from OpenCV");
}

void debayer_fast_16u_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = rawFrames(state);
    checkOnce(caseKey("fast", state), [&] { checkFast(f.src[0]); });
    for (auto _ : state) {
        const std::size_t i = f.pick();
        khc::debayerFast(f.src[i].data, f.dst[i].data, uint32_t(w), uint32_t(h), kPattern, 0, 0xFFFF);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

void debayer_fast_16u_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = rawFrames(state);
    checkOnce(caseKey("fast", state), [&] { checkFast(f.src[0]); });
    for (auto _ : state) {
        const std::size_t i = f.pick();
        peerFast(f.src[i], f.dst[i]);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

// The fast rule against the next best thing OpenCV offers, its bilinear demosaicing (a different
// picture: each side is checked against its own definition above, not against the other), and
// against a copy that moves the same bytes: each band reads its raw rows once and writes its
// output rows (three copies of the raw rows), so both sides are bound by the same memory traffic.
void debayer_fast_vs_bilinear_16u_ours(benchmark::State& state) { debayer_fast_16u_ours(state); }

void debayer_fast_vs_bilinear_16u_peer(benchmark::State& state)
{
    FrameSet& f = rawFrames(state);
    checkOnce(caseKey("bilinear", state), [&] { checkBilinear(f.src[0]); });
    debayer_bilinear_16u_peer(state);
}

void debayer_fast_vs_copy_16u_ours(benchmark::State& state) { debayer_fast_16u_ours(state); }

void debayer_fast_vs_copy_16u_peer(benchmark::State& state)
{
    const int h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = rawFrames(state);
    for (auto _ : state) {
        const std::size_t i = f.pick();
        const cv::Mat& raw = f.src[i];
        uchar* out = f.dst[i].data;
        peerBands(h, 1, [&](int y0, int y1) {
            const std::size_t rowBytes = raw.step[0], bytes = rowBytes * std::size_t(y1 - y0);
            uchar* at = out + 3 * rowBytes * std::size_t(y0);
            for (int k = 0; k < 3; ++k)
                std::memcpy(at + std::size_t(k) * bytes, raw.ptr(y0), bytes);
        });
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, int(state.range(0)), h, f);
}

// ---- white balance -----------------------------------------------------------------------------

// Rounding differs by design: our tables hold min(top, v x scale) truncated (the library's
// rule), OpenCV's multiply rounds to nearest before its saturation; the two agree within 1.
// Both work in place on 12-bit interleaved RGB; the cost of neither depends on the values.
constexpr float kScales[3] = {1.7f, 1.0f, 2.3f};
constexpr const char* kWbRounding = "ours truncates, OpenCV rounds: within 1";

FrameSet& wbFrames(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    return frameSet("rgb16 12-bit/" + std::to_string(w) + "x" + std::to_string(h), w, h, CV_16UC3, 0xFFF, 0, 0,
                    state.range(3) != 0);
}

std::unique_ptr<khc::LutBlock> wbTables()
{
    auto luts = std::make_unique<khc::LutBlock>();
    for (int c = 0; c < 3; ++c)
        khc::buildTable(*luts, c, kScales[c], 12);
    return luts;
}

void peerWhiteBalance(cv::Mat& img)
{
    peerBands(img.rows, 1, [&](int y0, int y1) {
        cv::Mat band = img.rowRange(y0, y1);
        cv::multiply(band, cv::Scalar(kScales[0], kScales[1], kScales[2]), band);
        cv::min(band, cv::Scalar::all(4095), band);
    });
}

double checkWhiteBalance(const cv::Mat& frame)
{
    cv::Mat ours = frame.clone(), peer = frame.clone();
    const auto luts = wbTables();
    khc::applyTables(*luts, ours.data, 0, uint32_t(ours.cols), uint32_t(ours.rows));
    peerWhiteBalance(peer);
    const double diff = cv::norm(ours, peer, cv::NORM_INF);
    if (diff > 1)
        abortRun("white balance: more than the stated rounding difference from OpenCV");
    return diff;
}

void white_balance_16u_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = wbFrames(state);
    double diff = 0;
    checkOnce(caseKey("wb", state), [&] { diff = checkWhiteBalance(f.src[0]); });
    const auto luts = wbTables();
    for (auto _ : state) {
        cv::Mat& img = f.src[f.pick()];
        khc::applyTables(*luts, img.data, 0, uint32_t(w), uint32_t(h));
        benchmark::DoNotOptimize(img.data);
    }
    report(state, w, h, f);
    state.SetLabel(kWbRounding);
    state.counters["max_rounding_diff"] = diff;
}

void white_balance_16u_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = wbFrames(state);
    double diff = 0;
    checkOnce(caseKey("wb", state), [&] { diff = checkWhiteBalance(f.src[0]); });
    for (auto _ : state) {
        cv::Mat& img = f.src[f.pick()];
        peerWhiteBalance(img);
        benchmark::DoNotOptimize(img.data);
    }
    report(state, w, h, f);
    state.SetLabel(kWbRounding);
    state.counters["max_rounding_diff"] = diff;
}

// ---- format conversion -------------------------------------------------------------------------

FrameSet& bgraFrames(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    return frameSet("rgb8->bgra8/" + std::to_string(w) + "x" + std::to_string(h), w, h, CV_8UC3, 0xFF, h, CV_8UC4,
                    state.range(3) != 0);
}

void checkBgra(const cv::Mat& src)
{
    cv::Mat ours(src.rows, src.cols, CV_8UC4), peer;
    khc::convertFormat(src.data, 2, 8, ours.data, 6, 8, uint32_t(src.cols), uint32_t(src.rows), 0xFFFF);
    cv::cvtColor(src, peer, cv::COLOR_RGB2BGRA);
    if (cv::norm(ours, peer, cv::NORM_INF) != 0)
        abortRun("RGB8 to BGRA differs from OpenCV");
}

void convert_rgb8_bgra_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = bgraFrames(state);
    checkOnce(caseKey("bgra", state), [&] { checkBgra(f.src[0]); });
    for (auto _ : state) {
        const std::size_t i = f.pick();
        khc::convertFormat(f.src[i].data, 2, 8, f.dst[i].data, 6, 8, uint32_t(w), uint32_t(h), 0xFFFF);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

void convert_rgb8_bgra_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = bgraFrames(state);
    checkOnce(caseKey("bgra", state), [&] { checkBgra(f.src[0]); });
    // cvtColor threads this conversion by itself.
    for (auto _ : state) {
        const std::size_t i = f.pick();
        cv::cvtColor(f.src[i], f.dst[i], cv::COLOR_RGB2BGRA);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

// Planar output: one (3 h) x w matrix, the three planes one after another, as the format has it.
FrameSet& planarFrames(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    return frameSet("rgb16->planar16/" + std::to_string(w) + "x" + std::to_string(h), w, h, CV_16UC3, 0xFFFF,
                    3 * h, CV_16UC1, state.range(3) != 0);
}

void peerSplit(const cv::Mat& src, cv::Mat& planar)
{
    const int h = src.rows;
    peerBands(h, 1, [&](int y0, int y1) {
        cv::Mat planes[3];
        for (int c = 0; c < 3; ++c)
            planes[c] = planar.rowRange(c * h + y0, c * h + y1);
        cv::split(src.rowRange(y0, y1), planes);
    });
}

void checkPlanar(const cv::Mat& src)
{
    cv::Mat ours(3 * src.rows, src.cols, CV_16UC1), peer(3 * src.rows, src.cols, CV_16UC1);
    khc::convertFormat(src.data, 0, 16, ours.data, 1, 16, uint32_t(src.cols), uint32_t(src.rows), 0xFFFF);
    peerSplit(src, peer);
    if (cv::norm(ours, peer, cv::NORM_INF) != 0)
        abortRun("RGB16 to planar differs from OpenCV");
}

void convert_rgb16_planar_ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = planarFrames(state);
    checkOnce(caseKey("planar", state), [&] { checkPlanar(f.src[0]); });
    for (auto _ : state) {
        const std::size_t i = f.pick();
        khc::convertFormat(f.src[i].data, 0, 16, f.dst[i].data, 1, 16, uint32_t(w), uint32_t(h), 0xFFFF);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

void convert_rgb16_planar_peer(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    setThreads(int(state.range(2)));
    FrameSet& f = planarFrames(state);
    checkOnce(caseKey("planar", state), [&] { checkPlanar(f.src[0]); });
    for (auto _ : state) {
        const std::size_t i = f.pick();
        peerSplit(f.src[i], f.dst[i]);
        benchmark::DoNotOptimize(f.dst[i].data);
    }
    report(state, w, h, f);
}

// Ours and the peer of each configuration are registered side by side, so that without random
// interleaving they run back to back on one frame set; with it (scripts/bench) their
// repetitions mix, and each run makes its frame set afresh outside the timing.
void registerPairs()
{
    using Fn = void (*)(benchmark::State&);
    using Size = std::pair<int, int>;
    const std::vector<Size> large = {{2048, 2048}, {5472, 3648}}, all = {{1024, 1024}, {2048, 2048}, {5472, 3648}};
    const struct {
        const char* name;
        Fn ours, peer;
        const std::vector<Size>& sizes;
    } pairs[] = {
        {"debayer_bilinear_16u", debayer_bilinear_16u_ours, debayer_bilinear_16u_peer, large},
        {"debayer_fast_16u", debayer_fast_16u_ours, debayer_fast_16u_peer, large},
        {"debayer_fast_vs_bilinear_16u", debayer_fast_vs_bilinear_16u_ours, debayer_fast_vs_bilinear_16u_peer, large},
        {"debayer_fast_vs_copy_16u", debayer_fast_vs_copy_16u_ours, debayer_fast_vs_copy_16u_peer, large},
        {"white_balance_16u", white_balance_16u_ours, white_balance_16u_peer, large},
        {"convert_rgb8_bgra", convert_rgb8_bgra_ours, convert_rgb8_bgra_peer, all},
        {"convert_rgb16_planar", convert_rgb16_planar_ours, convert_rgb16_planar_peer, all},
    };
    for (const auto& p : pairs)
        for (auto [w, h] : p.sizes)
            for (int fresh : {1, 0})
                for (int t : {1, allThreads()})
                    for (int side = 0; side < 2; ++side)
                        benchmark::RegisterBenchmark((std::string(p.name) + (side ? "_peer" : "_ours")).c_str(),
                                                     side ? p.peer : p.ours)
                            ->Args({w, h, t, fresh})
                            ->ArgNames({"w", "h", "threads", "fresh"})
                            ->UseRealTime()
                            ->MinTime(0.2)
                            ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerPairs();
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
