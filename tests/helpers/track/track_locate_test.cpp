// Particle location through PrivateAPI_Find_Particles on synthetic frames.
#include "kestrix_helper_track.h"
#include "tracktestsupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using tracktest::Context;
using tracktest::lastError;

namespace {

constexpr uint16_t kLevel = 100;
// With a running minimum of 100: D = 1 + floor(sqrt(100)) = 11, so the background is
// 100 + floor(11 * 36 / 16) = 124 and the threshold 11.
constexpr int kBackground = 124;
constexpr int kThreshold = 11;
constexpr int kWarmUp = 49;

struct Frame {
    int width, height;
    std::vector<uint16_t> samples;
    Frame(int w, int h, uint16_t level = kLevel) : width(w), height(h), samples(size_t(w) * h, level) {}
    uint16_t& at(int x, int y) { return samples[size_t(y) * width + x]; }
    // a sample that is `above` the background after subtraction
    void spot(int x, int y, int above) { at(x, y) = static_cast<uint16_t>(kBackground + above); }
};

struct Located {
    int32_t code;
    std::vector<kh_track_event> events;
};

Located find(Context& c, const Frame& f)
{
    kh_track_event* events = nullptr;
    int32_t count = -1;
    Located out;
    out.code = PrivateAPI_Find_Particles(c.ctx, f.samples.data(), &events, &count);
    if (out.code == 0)
        out.events.assign(events, events + count);
    return out;
}

// A context past its warm-up: 49 flat frames, so the next frame computes the background.
void warmUp(Context& c, int width, int height, int capacity = 64)
{
    ASSERT_EQ(tracktest::initLocating(c, width, height, capacity), 0) << lastError();
    const Frame flat(width, height);
    for (int i = 0; i < kWarmUp; ++i) {
        const Located l = find(c, flat);
        ASSERT_EQ(l.code, 0);
        ASSERT_TRUE(l.events.empty()) << "frame " << i;
    }
}

std::vector<std::pair<int, int>> positions(const std::vector<kh_track_event>& events)
{
    std::vector<std::pair<int, int>> p;
    for (const auto& e : events)
        p.emplace_back(static_cast<int>(e.x), static_cast<int>(e.y));
    return p;
}

// m2 by the documented rule: floor(25 * sum(v * weight) / m0) / 2^19.
float expectedM2(uint64_t weightedSum, uint32_t m0)
{
    return static_cast<float>((25 * weightedSum) / m0) / 524288.0f;
}

TEST(TrackLocate, NoEventsBeforeTheFiftiethFrameThenExactSpots)
{
    Context c;
    ASSERT_EQ(tracktest::initLocating(c, 64, 48, 64), 0) << lastError();
    Frame f(64, 48);
    f.spot(20, 10, 1000);
    f.spot(40, 30, 500);
    f.spot(7, 40, 20);
    for (int i = 0; i < kWarmUp; ++i)
        ASSERT_TRUE(find(c, f).events.empty()) << "frame " << i;

    // spots present in every frame are part of the minimum; after flat warm-up frames the
    // 50th frame shows them in full
    Context fresh;
    warmUp(fresh, 64, 48);
    const Located l = find(fresh, f);
    ASSERT_EQ(l.code, 0);
    ASSERT_EQ(positions(l.events), (std::vector<std::pair<int, int>>{{20, 10}, {40, 30}, {7, 40}}));
    const double m0[] = {1000, 500, 20};
    for (size_t i = 0; i < l.events.size(); ++i) {
        EXPECT_EQ(l.events[i].index, static_cast<int16_t>(i));
        EXPECT_EQ(l.events[i].m0, m0[i]);
        EXPECT_EQ(l.events[i].m2, 0.0);
    }
}

TEST(TrackLocate, MomentsFollowTheWeightTable)
{
    // The weight table is not symmetric in its last digit: a neighbour on the left weighs
    // 20971, on the right 20972; two rows up and one left 104858, two down and one left 104857.
    const struct {
        const char* name;
        int dx, dy;
        uint32_t weight;
    } cases[] = {
        {"right", 1, 0, 20972},      {"left", -1, 0, 20971},      {"above", 0, -1, 20972},
        {"below", 0, 1, 20972},      {"up-left", -1, -2, 104858}, {"down-left", -1, 2, 104857},
        {"corner", 2, 2, 167772},    {"two right", 2, 0, 83886},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Context ctx;
        warmUp(ctx, 32, 32);
        Frame f(32, 32);
        f.spot(16, 16, 976);
        f.spot(16 + c.dx, 16 + c.dy, 500);
        const Located l = find(ctx, f);
        ASSERT_EQ(l.code, 0);
        ASSERT_EQ(l.events.size(), 1u);
        EXPECT_EQ(l.events[0].x, 16.0);
        EXPECT_EQ(l.events[0].y, 16.0);
        EXPECT_EQ(l.events[0].m0, 1476.0);
        EXPECT_EQ(l.events[0].m2, expectedM2(uint64_t(500) * c.weight, 1476));
    }
}

TEST(TrackLocate, ThresholdAndFlatFrames)
{
    Context c;
    warmUp(c, 40, 40);
    Frame f(40, 40);
    f.spot(10, 10, kThreshold);      // equal to the threshold: not above it
    f.spot(20, 20, kThreshold + 1);  // just above
    const Located l = find(c, f);
    ASSERT_EQ(l.code, 0);
    EXPECT_EQ(positions(l.events), (std::vector<std::pair<int, int>>{{20, 20}}));

    // a frame equal to the background subtracts to nothing
    Frame background(40, 40, kBackground);
    EXPECT_TRUE(find(c, background).events.empty());
}

TEST(TrackLocate, TiesGoToTheFirstInRowMajorOrder)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> equal;  // pixels of one value
        std::pair<int, int> winner;
    } cases[] = {
        {"same row", {{10, 10}, {11, 10}}, {10, 10}},
        {"three columns apart", {{13, 10}, {10, 10}}, {10, 10}},
        {"same column", {{10, 11}, {10, 10}}, {10, 10}},
        {"two rows apart", {{10, 12}, {10, 10}}, {10, 10}},
        {"diagonal, later row to the left", {{10, 10}, {7, 12}}, {10, 10}},
        {"diagonal, later row to the right", {{10, 10}, {13, 11}}, {10, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Context ctx;
        warmUp(ctx, 32, 32);
        Frame f(32, 32);
        for (const auto& p : c.equal)
            f.spot(p.first, p.second, 300);
        const Located l = find(ctx, f);
        ASSERT_EQ(l.code, 0);
        EXPECT_EQ(positions(l.events), (std::vector<std::pair<int, int>>{c.winner}));
    }

    // outside the 7 x 5 window both are maxima
    Context ctx;
    warmUp(ctx, 32, 32);
    Frame f(32, 32);
    f.spot(10, 10, 300);
    f.spot(14, 10, 300);
    f.spot(10, 13, 300);
    EXPECT_EQ(positions(find(ctx, f).events),
              (std::vector<std::pair<int, int>>{{10, 10}, {14, 10}, {10, 13}}));
}

TEST(TrackLocate, BorderPixelsAreNeverMaxima)
{
    const int w = 24, h = 20;
    const struct {
        int x, y;
        bool found;
    } cases[] = {
        {3, 2, true},   {w - 4, 2, true},   {3, h - 3, true}, {w - 4, h - 3, true},
        {2, 10, false}, {w - 3, 10, false}, {12, 1, false},   {12, h - 2, false},
        {0, 0, false},  {w - 1, h - 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        Context ctx;
        warmUp(ctx, w, h);
        Frame f(w, h);
        f.spot(c.x, c.y, 800);
        const Located l = find(ctx, f);
        ASSERT_EQ(l.code, 0);
        EXPECT_EQ(l.events.size(), c.found ? 1u : 0u);
    }
}

TEST(TrackLocate, CapacityKeepsTheFirstInRowMajorOrder)
{
    Context c;
    warmUp(c, 64, 64, 5);
    Frame f(64, 64);
    std::vector<std::pair<int, int>> all;
    for (int y = 50; y >= 5; y -= 9)
        for (int x = 5; x < 60; x += 10)
            f.spot(x, y, 400);
    for (int y = 5; y <= 50; y += 9)
        for (int x = 5; x < 60; x += 10)
            all.emplace_back(x, y);
    const Located l = find(c, f);
    ASSERT_EQ(l.code, 0);
    all.resize(5);
    EXPECT_EQ(positions(l.events), all);
}

TEST(TrackLocate, BackgroundIsRecomputedEveryFiftyFrames)
{
    Context c;
    warmUp(c, 32, 32);
    ASSERT_TRUE(find(c, Frame(32, 32)).events.empty());  // frame 50: background 124

    // frames 51..100 sit at 1000; their minimum makes the next background
    // 1000 + floor(32 * 36 / 16) = 1072 at frame 100
    Frame bright(32, 32, 1000);
    Frame faint = bright;
    faint.at(16, 16) = 1050;
    for (int i = 51; i < 99; ++i)
        ASSERT_EQ(find(c, bright).code, 0);
    EXPECT_EQ(find(c, faint).events.size(), 1u) << "frame 99 still uses the first background";
    EXPECT_TRUE(find(c, faint).events.empty()) << "frame 100 uses the new one";
}

TEST(TrackLocate, TinyFramesStayInsideTheirSamples)
{
    // the smallest frame with a maximum is 7 x 5; smaller ones never yield events
    const struct {
        int w, h;
        size_t events;
    } cases[] = {{1, 1, 0}, {1, 9, 0}, {9, 1, 0}, {6, 5, 0}, {7, 4, 0}, {7, 5, 1}, {8, 6, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Context ctx;
        warmUp(ctx, c.w, c.h);
        Frame f(c.w, c.h);
        if (c.w >= 7 && c.h >= 5)
            f.spot(3, 2, 900);
        const Located l = find(ctx, f);
        ASSERT_EQ(l.code, 0);
        EXPECT_EQ(l.events.size(), c.events);
    }
}

TEST(TrackLocate, WithoutAUsableGpuEveryContextRunsOnTheCpu)
{
    // cpuOnly 0 asks for the GPU; detection finds none here, and the GPU's own locate
    // parameters (no background, constant threshold) must not leak into the CPU path
    Context gpu, cpu;
    int32_t out = 0;
    ASSERT_EQ(PrivateAPI_InitializeWithOrvoLocate(&gpu.ctx, 2, 5, 0, 16, &out, 0, 3.0, 32, 32), 0);
    ASSERT_EQ(tracktest::initLocating(cpu, 32, 32, 16), 0);
    Frame f(32, 32);
    f.spot(12, 12, 40);
    for (int i = 0; i < kWarmUp; ++i) {
        ASSERT_TRUE(find(gpu, Frame(32, 32)).events.empty());
        ASSERT_TRUE(find(cpu, Frame(32, 32)).events.empty());
    }
    const Located a = find(gpu, f);
    const Located b = find(cpu, f);
    ASSERT_EQ(a.events.size(), 1u);
    ASSERT_EQ(b.events.size(), 1u);
    EXPECT_EQ(a.events[0].m0, b.events[0].m0);
}

TEST(TrackLocate, LocatedEventsFeedTheLinker)
{
    Context c;
    warmUp(c, 48, 48);
    std::vector<int32_t> ids;
    for (int frame = 0; frame < 3; ++frame) {
        Frame f(48, 48);
        f.spot(10 + frame, 20, 700);
        f.spot(30, 30 + frame, 600);
        kh_track_event* events = nullptr;
        int32_t count = 0;
        ASSERT_EQ(PrivateAPI_Find_Particles(c.ctx, f.samples.data(), &events, &count), 0);
        ASSERT_EQ(count, 2);
        std::vector<kh_track_particle> particles(2);
        int32_t linked = 0;
        ASSERT_EQ(kh_track_link_particles(c.ctx, events, count, particles.data(), &linked), 0) << lastError();
        ASSERT_EQ(linked, 2);
        EXPECT_EQ(particles[0].length, frame + 1);
        EXPECT_EQ(particles[1].length, frame + 1);
        ids = {particles[0].id, particles[1].id};
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2}));
}

}  // namespace
