// track_locate_*: location of 16-bit frames after the 50 warm-up frames, ours against the same
// rule composed from OpenCV (running minimum by cv::min, maxima by cv::dilate + cv::compare,
// the two moments summed only around the flagged pixels, as the rule needs them nowhere else),
// both on one thread (the library locates on the caller's thread); before timing, the first
// measured frame must give identical events from both, else the run aborts.
// track_link_ours: linking cost per frame for n events at capacity n and 10 n (at most 32767):
// the two must cost alike and give identical records. There is no outside linker to pair it with.
#include "kestrix_helper_track.h"
#include "locaterules.h"

#include "../common/pairsummary.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWarmUpFrames = 50;
constexpr uint16_t kLevel = 400;
constexpr int kFrames = 4;

// Noisy frames with Gaussian spots on a flat level. Ties among samples above the level are
// removed (a later equal sample in a 7 x 5 window is lowered) so both rules see the same maxima.
std::vector<cv::Mat> makeFrames(int size, int spots, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(30.0, 12.0);
    std::uniform_real_distribution<double> pos(4, size - 5), amp(300, 3000);
    std::vector<cv::Mat> frames;
    for (int f = 0; f < kFrames; ++f) {
        cv::Mat m(size, size, CV_16U);
        for (int y = 0; y < size; ++y) {
            uint16_t* row = m.ptr<uint16_t>(y);
            for (int x = 0; x < size; ++x)
                row[x] = static_cast<uint16_t>(kLevel + std::clamp(noise(rng), 0.0, 200.0));
        }
        for (int s = 0; s < spots; ++s) {
            const double cx = pos(rng), cy = pos(rng), a = amp(rng);
            for (int y = int(cy) - 4; y <= int(cy) + 4; ++y)
                for (int x = int(cx) - 4; x <= int(cx) + 4; ++x) {
                    const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                    const double v = m.at<uint16_t>(y, x) + a * std::exp(-r2 / (2 * 1.3 * 1.3));
                    m.at<uint16_t>(y, x) = static_cast<uint16_t>(std::min(v, 65535.0));
                }
        }
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                uint16_t& v = m.ptr<uint16_t>(y)[x];
                for (bool tied = true; tied && v > kLevel;) {
                    tied = false;
                    for (int dy = -2; dy <= 0 && !tied; ++dy) {
                        if (y + dy < 0)
                            continue;
                        const uint16_t* row = m.ptr<uint16_t>(y + dy);
                        const int last = dy == 0 ? x - 1 : std::min(x + 3, size - 1);
                        for (int xx = std::max(x - 3, 0); xx <= last && !tied; ++xx)
                            tied = row[xx] == v;
                    }
                    if (tied)
                        --v;
                }
            }
        frames.push_back(m);
    }
    return frames;
}

struct Event {
    int x, y;
    double m0, m2;
    bool operator==(const Event& o) const { return x == o.x && y == o.y && m0 == o.m0 && m2 == o.m2; }
};

// The same location rule from OpenCV building blocks.
class PeerLocator {
public:
    PeerLocator(int size, int capacity)
        : m_capacity(capacity), m_minimum(size, size, CV_16U, cv::Scalar(65535)),
          m_background(size, size, CV_16U, cv::Scalar(0)), m_threshold(size, size, CV_16U, cv::Scalar(65535)),
          m_kernel(cv::getStructuringElement(cv::MORPH_RECT, cv::Size(7, 5)))
    {
    }

    std::vector<Event> locate(const cv::Mat& frame)
    {
        cv::min(frame, m_minimum, m_minimum);
        if (++m_count == kWarmUpFrames) {
            for (int y = 0; y < frame.rows; ++y) {
                const uint16_t* minimum = m_minimum.ptr<uint16_t>(y);
                uint16_t* background = m_background.ptr<uint16_t>(y);
                uint16_t* threshold = m_threshold.ptr<uint16_t>(y);
                for (int x = 0; x < frame.cols; ++x) {
                    const int64_t d = kh::locate::noiseLevel(minimum[x], 1);
                    background[x] = kh::locate::backgroundFromMinimum(minimum[x], d, 36);
                    threshold[x] = kh::locate::thresholdFromNoise(d, 16);
                }
            }
            m_minimum.setTo(65535);
            m_count = 0;
            m_ready = true;
        }
        std::vector<Event> events;
        if (!m_ready)
            return events;
        cv::subtract(frame, m_background, m_work);
        cv::dilate(m_work, m_dilated, m_kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
        cv::compare(m_work, m_dilated, m_isMax, cv::CMP_GE);
        cv::compare(m_work, m_threshold, m_above, cv::CMP_GT);
        cv::bitwise_and(m_isMax, m_above, m_mask);
        const int w = frame.cols, h = frame.rows;
        m_mask.rowRange(0, 2).setTo(0);
        m_mask.rowRange(h - 2, h).setTo(0);
        m_mask.colRange(0, 3).setTo(0);
        m_mask.colRange(w - 3, w).setTo(0);
        cv::findNonZero(m_mask, m_points);
        const kh::locate::MomentWeights weights = kh::locate::momentWeights();
        for (const cv::Point& p : m_points) {
            if (static_cast<int>(events.size()) == m_capacity)
                break;
            // both moments from the 5 x 5 window of the flagged pixel only
            uint32_t m0 = 0;
            uint64_t s = 0;
            for (int dy = -2; dy <= 2; ++dy) {
                const uint16_t* row = m_work.ptr<uint16_t>(p.y + dy);
                for (int dx = -2; dx <= 2; ++dx) {
                    m0 += row[p.x + dx];
                    s += uint64_t(row[p.x + dx]) * weights.w[dx + 2][dy + 2];
                }
            }
            events.push_back({p.x, p.y, double(float(m0)), double(float((25 * s) / m0) / 524288.0f)});
        }
        return events;
    }

private:
    int m_capacity;
    cv::Mat m_minimum, m_background, m_threshold, m_kernel;
    cv::Mat m_work, m_dilated, m_isMax, m_above, m_mask;
    std::vector<cv::Point> m_points;
    int m_count = 0;
    bool m_ready = false;
};

class OurLocator {
public:
    OurLocator(int size, int capacity)
    {
        int32_t out = 0;
        PrivateAPI_InitializeWithOrvoLocate(&m_ctx, 3, 5, 1, capacity, &out, 0, 0.0, size, size);
    }
    ~OurLocator() { kh_track_uninit(&m_ctx); }
    std::vector<Event> locate(const cv::Mat& frame)
    {
        kh_track_event* events = nullptr;
        int32_t count = 0;
        PrivateAPI_Find_Particles(m_ctx, frame.ptr<uint16_t>(), &events, &count);
        std::vector<Event> out;
        for (int32_t i = 0; i < count; ++i)
            out.push_back({int(events[i].x), int(events[i].y), events[i].m0, events[i].m2});
        return out;
    }
    int32_t locateOnly(const cv::Mat& frame)
    {
        kh_track_event* events = nullptr;
        int32_t count = 0;
        PrivateAPI_Find_Particles(m_ctx, frame.ptr<uint16_t>(), &events, &count);
        return count;
    }

private:
    kh_track_context* m_ctx = nullptr;
};

struct LocateData {
    cv::Mat flat;
    std::vector<cv::Mat> frames;
    std::vector<Event> reference;  // the first measured frame, by both
};

LocateData& locateData(int size, int spots)
{
    static std::map<std::pair<int, int>, std::unique_ptr<LocateData>> cache;
    auto& slot = cache[{size, spots}];
    if (!slot) {
        slot = std::make_unique<LocateData>();
        slot->flat = cv::Mat(size, size, CV_16U, cv::Scalar(kLevel));
        slot->frames = makeFrames(size, spots, unsigned(size * 31 + spots));
    }
    return *slot;
}

constexpr int kCapacity = 32767;

template <typename Locator>
void warmUp(Locator& locator, const LocateData& data)
{
    for (int i = 0; i + 1 < kWarmUpFrames; ++i)
        locator.locate(data.flat);
}

void checkSame(const std::vector<Event>& ours, const std::vector<Event>& peer)
{
    if (ours != peer)
        benchpairs::abortRun("particle location: ours and the peer differ, " + std::to_string(ours.size()) +
                             " against " + std::to_string(peer.size()) + " events");
}

void track_locate_ours(benchmark::State& state)
{
    const int size = int(state.range(0)), spots = int(state.range(1));
    LocateData& data = locateData(size, spots);
    OurLocator ours(size, kCapacity);
    PeerLocator peer(size, kCapacity);
    warmUp(ours, data);
    warmUp(peer, data);
    // the 50th frame makes the background; both must then find the same events
    const std::vector<Event> a = ours.locate(data.frames[0]);
    const std::vector<Event> b = peer.locate(data.frames[0]);
    checkSame(a, b);
    size_t i = 1, events = 0;
    for (auto _ : state) {
        events += static_cast<size_t>(ours.locateOnly(data.frames[i++ % kFrames]));
    }
    state.counters["events_first_frame"] = double(a.size());
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(events);
}

void track_locate_peer(benchmark::State& state)
{
    cv::setNumThreads(1);
    const int size = int(state.range(0)), spots = int(state.range(1));
    LocateData& data = locateData(size, spots);
    PeerLocator peer(size, kCapacity);
    OurLocator ours(size, kCapacity);
    warmUp(peer, data);
    warmUp(ours, data);
    const std::vector<Event> a = peer.locate(data.frames[0]);
    checkSame(ours.locate(data.frames[0]), a);
    size_t i = 1, events = 0;
    for (auto _ : state)
        events += peer.locate(data.frames[i++ % kFrames]).size();
    state.counters["events_first_frame"] = double(a.size());
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(events);
}

// Particles drifting a pixel or two per frame over an area that keeps their density fixed.
std::vector<std::vector<kh_track_event>> linkFrames(int n, int frames)
{
    std::mt19937 rng{static_cast<unsigned>(n)};
    const double side = std::sqrt(double(n)) * 25.0;
    std::uniform_real_distribution<double> pos(0, side), step(-2.0, 2.0), unit(0, 1);
    std::vector<kh_track_event> world(static_cast<size_t>(n));
    for (auto& p : world) {
        p.x = pos(rng);
        p.y = pos(rng);
        p.m0 = 1000 + 200 * unit(rng);
        p.m2 = 1 + unit(rng);
    }
    std::vector<std::vector<kh_track_event>> out;
    for (int f = 0; f < frames; ++f) {
        std::vector<kh_track_event> frame;
        for (auto& p : world) {
            p.x += step(rng);
            p.y += step(rng);
            if (unit(rng) < 0.05 && int(frame.size()) + 1 < n)
                continue;
            kh_track_event e = p;
            e.index = static_cast<int16_t>(frame.size());
            frame.push_back(e);
        }
        out.push_back(frame);
    }
    return out;
}

void track_link_ours(benchmark::State& state)
{
    const int n = int(state.range(0));
    const int capacity = std::min<int64_t>(int64_t(n) * state.range(1), 32767);
    constexpr int kLinkFrames = 32;
    const auto frames = linkFrames(n, kLinkFrames);
    kh_track_context* ctx = nullptr;
    kh_track_context* tight = nullptr;
    int32_t out = 0;
    if (kh_track_init(&ctx, 3, 5, 1, capacity, &out) != 0 || kh_track_init(&tight, 3, 5, 1, n, &out) != 0) {
        state.SkipWithError("init failed");
        return;
    }
    std::vector<kh_track_particle> particles(static_cast<size_t>(n)), check(static_cast<size_t>(n));
    int32_t count = 0, checkCount = 0;
    bool same = true;
    size_t f = 0, linked = 0;
    for (auto _ : state) {
        if (f % kLinkFrames == 0 && f > 0) {
            state.PauseTiming();
            kh_track_reset(ctx);
            state.ResumeTiming();
        }
        const auto& frame = frames[f % kLinkFrames];
        kh_track_link_particles(ctx, frame.data(), int32_t(frame.size()), particles.data(), &count);
        if (f < kLinkFrames) {
            state.PauseTiming();
            kh_track_link_particles(tight, frame.data(), int32_t(frame.size()), check.data(), &checkCount);
            same = same && count == checkCount &&
                   std::memcmp(particles.data(), check.data(), sizeof(kh_track_particle) * size_t(count)) == 0;
            state.ResumeTiming();
        }
        linked += size_t(count);
        ++f;
    }
    if (!same)
        state.SkipWithError("capacity changed the records");
    state.counters["capacity"] = capacity;
    state.counters["events_per_s"] = benchmark::Counter(double(linked), benchmark::Counter::kIsRate);
    kh_track_uninit(&ctx);
    kh_track_uninit(&tight);
}

// Ours and the peer of each configuration side by side, so they run under the same load.
void registerAll()
{
    for (auto [size, spots] : {std::pair<int, int>{512, 100}, {512, 1000}, {2048, 100}, {2048, 1000}})
        for (int side = 0; side < 2; ++side)
            benchmark::RegisterBenchmark(side ? "track_locate_peer" : "track_locate_ours",
                                         side ? track_locate_peer : track_locate_ours)
                ->Args({size, spots})
                ->ArgNames({"size", "spots"})
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.3);
    benchmark::RegisterBenchmark("track_link_ours", track_link_ours)
        ->Args({100, 1})->Args({100, 10})->Args({1000, 1})->Args({1000, 10})->Args({5000, 1})->Args({5000, 10})
        ->ArgNames({"n", "capacity_factor"})
        ->Unit(benchmark::kMicrosecond)
        ->MinTime(0.3);
}

}  // namespace

int main(int argc, char** argv)
{
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll();
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
