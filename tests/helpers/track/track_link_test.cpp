// Trajectory linking through kh_track_link_particles: multi-frame scenarios, the radius and
// gap rules, ties, reset, refused frames, and agreement with the full-table formulation.
#include "kestrix_helper_track.h"
#include "referencelinker.h"
#include "tracktestsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

using tracktest::Context;
using tracktest::event;
using tracktest::lastError;
using tracktest::numbered;
using tracktest::scene;

namespace {

struct Linked {
    int32_t code;
    std::vector<kh_track_particle> particles;
};

Linked link(Context& c, const std::vector<kh_track_event>& events)
{
    std::vector<kh_track_particle> out(events.size() + 1);
    int32_t count = -1;
    Linked l;
    // an empty frame still needs an event array: null is refused whatever the count
    const kh_track_event none{};
    l.code = kh_track_link_particles(c.ctx, events.empty() ? &none : events.data(),
                                     static_cast<int32_t>(events.size()), out.data(), &count);
    if (l.code == 0) {
        EXPECT_EQ(count, static_cast<int32_t>(events.size()));
        out.resize(static_cast<size_t>(count));
        l.particles = out;
    }
    return l;
}

// (identifier, output state, length) of each particle
struct Track {
    int32_t id, state, length;
    bool operator==(const Track& o) const { return id == o.id && state == o.state && length == o.length; }
};
std::ostream& operator<<(std::ostream& os, const Track& t)
{
    return os << "{" << t.id << "," << t.state << "," << t.length << "}";
}

std::vector<Track> tracks(const Linked& l)
{
    std::vector<Track> t;
    for (const auto& p : l.particles)
        t.push_back({p.id, p.state, p.length});
    return t;
}

TEST(TrackLink, FirstFrameNumbersEveryParticle)
{
    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 3, 5, 8), 0);
    const auto events = numbered({event(10.7, 20.2, 0.1, 2.5), event(-0.5, 3.9), event(100, 100)});
    const Linked l = link(c, events);
    ASSERT_EQ(l.code, 0) << lastError();
    EXPECT_EQ(tracks(l), (std::vector<Track>{{1, 0, 1}, {2, 0, 1}, {3, 0, 1}}));
    // coordinates are stored truncated, intensities at float precision
    EXPECT_EQ(l.particles[0].x, 10.0);
    EXPECT_EQ(l.particles[0].y, 20.0);
    EXPECT_EQ(l.particles[1].x, 0.0);
    EXPECT_EQ(l.particles[0].m0, static_cast<double>(0.1f));
    EXPECT_EQ(l.particles[0].m2, 2.5);
    EXPECT_EQ(l.particles[2].index, 2);
}

TEST(TrackLink, RadiusRule)
{
    // radius 5: a move is linked only when its cost stays below 25
    const struct {
        const char* name;
        double dx, dy;
        double m0Change;
        Track expected;
    } cases[] = {
        {"still", 0, 0, 0, {1, 2, 2}},
        {"four pixels", 4, 0, 0, {1, 2, 2}},
        {"three and four: exactly the radius", 3, 4, 0, {2, 0, 1}},
        {"exactly the radius", 0, -5, 0, {2, 0, 1}},
        {"beyond", 6, 0, 0, {2, 0, 1}},
        {"sub-pixel parts are cut off", 4.9, 0.99, 0, {1, 2, 2}},
        {"close but intensity differs greatly", 1, 0, 65535.0 * 5, {2, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Context ctx;
        ASSERT_EQ(tracktest::initLinking(ctx, 2, 5, 4), 0);
        ASSERT_EQ(link(ctx, numbered({event(50, 50, 1000)})).code, 0);
        const Linked l = link(ctx, numbered({event(50 + c.dx, 50 + c.dy, 1000 + c.m0Change)}));
        ASSERT_EQ(l.code, 0);
        EXPECT_EQ(tracks(l), std::vector<Track>{c.expected});
    }
}

TEST(TrackLink, RadiusSquaredBeyond32Bits)
{
    // 100000^2 does not fit 32 bits; a wrapped square would refuse this move
    Context c;
    int32_t out = 0;
    ASSERT_EQ(PrivateAPI_InitializeWithOrvoLocate(&c.ctx, 2, 100000, 1, 4, &out, 0, 0.0, 8, 8), 0);
    ASSERT_EQ(link(c, numbered({event(0, 0)})).code, 0);
    const Linked l = link(c, numbered({event(70000, -70000)}));
    ASSERT_EQ(l.code, 0);
    EXPECT_EQ(tracks(l), (std::vector<Track>{{1, 2, 2}}));
}

TEST(TrackLink, GapsAreBridgedWithinTheGrownRadius)
{
    // kh_track_init bridges maxFramesToLink - 1 frames; the locating initialiser one more
    const struct {
        const char* name;
        bool locating;
        uint16_t frames;
        double reappearDx;
        Track expected;
    } cases[] = {
        {"one-frame gap, within 2 R^2", false, 3, 7, {1, 1, 2}},
        {"one-frame gap, beyond 2 R^2", false, 3, 8, {2, 0, 1}},
        {"no gap bridging with two frames", false, 2, 0, {2, 0, 1}},
        {"locating context with two frames bridges one gap", true, 2, 7, {1, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Context ctx;
        if (c.locating)
            ASSERT_EQ(tracktest::initLocating(ctx, 8, 8, 4, c.frames, 5), 0);
        else
            ASSERT_EQ(tracktest::initLinking(ctx, c.frames, 5, 4), 0);
        ASSERT_EQ(link(ctx, numbered({event(50, 50)})).code, 0);
        ASSERT_EQ(link(ctx, {}).code, 0);
        const Linked l = link(ctx, numbered({event(50 + c.reappearDx, 50)}));
        ASSERT_EQ(l.code, 0);
        EXPECT_EQ(tracks(l), std::vector<Track>{c.expected});
    }
}

TEST(TrackLink, LongTrajectoryCountsItsFrames)
{
    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 4, 3, 4), 0);
    // moves 2 px per frame, vanishes for two frames, comes back
    const std::vector<std::vector<kh_track_event>> frames = {
        {event(10, 10)}, {event(12, 10)}, {event(14, 10)}, {}, {}, {event(18, 11)}, {event(19, 11)}};
    const std::vector<Track> expected = {{1, 0, 1}, {1, 2, 2}, {1, 2, 3}, {1, 1, 4}, {1, 2, 5}};
    std::vector<Track> got;
    for (const auto& f : frames) {
        const Linked l = link(c, numbered(f));
        ASSERT_EQ(l.code, 0);
        for (const auto& t : tracks(l))
            got.push_back(t);
    }
    EXPECT_EQ(got, expected);
}

TEST(TrackLink, TiesAndCompetingParticles)
{
    {
        SCOPED_TRACE("two new particles equally near: the earlier row wins");
        Context c;
        ASSERT_EQ(tracktest::initLinking(c, 2, 5, 4), 0);
        ASSERT_EQ(link(c, numbered({event(50, 50)})).code, 0);
        const Linked l = link(c, numbered({event(52, 50), event(48, 50)}));
        EXPECT_EQ(tracks(l), (std::vector<Track>{{1, 2, 2}, {2, 0, 1}}));
    }
    {
        SCOPED_TRACE("the old particle picks the nearer new one, whatever the row order");
        Context c;
        ASSERT_EQ(tracktest::initLinking(c, 2, 5, 4), 0);
        ASSERT_EQ(link(c, numbered({event(50, 50)})).code, 0);
        const Linked l = link(c, numbered({event(52, 50), event(51, 50)}));
        EXPECT_EQ(tracks(l), (std::vector<Track>{{2, 0, 1}, {1, 2, 2}}));
    }
    {
        SCOPED_TRACE("two old particles equally near: the earlier column wins");
        Context c;
        ASSERT_EQ(tracktest::initLinking(c, 2, 5, 4), 0);
        ASSERT_EQ(link(c, numbered({event(48, 50), event(52, 50)})).code, 0);
        const Linked l = link(c, numbered({event(50, 50)}));
        EXPECT_EQ(tracks(l), (std::vector<Track>{{1, 2, 2}}));
    }
}

TEST(TrackLink, ATrajectoryIsContinuedOnlyOnce)
{
    // frame 1 and 2 hold one trajectory; frame 3 has two candidates for it, one per gap
    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 3, 5, 4), 0);
    ASSERT_EQ(link(c, numbered({event(50, 50)})).code, 0);
    ASSERT_EQ(link(c, numbered({event(50, 50)})).code, 0);
    const Linked l = link(c, numbered({event(50, 50), event(51, 50)}));
    ASSERT_EQ(l.code, 0);
    EXPECT_EQ(tracks(l), (std::vector<Track>{{1, 2, 3}, {2, 0, 1}}));
}

TEST(TrackLink, ResetForgetsTheHistoryButKeepsCounting)
{
    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 3, 5, 4), 0);
    ASSERT_EQ(link(c, numbered({event(10, 10), event(30, 30)})).code, 0);
    ASSERT_EQ(kh_track_reset(c.ctx), 0);
    const Linked l = link(c, numbered({event(10, 10), event(30, 30)}));
    EXPECT_EQ(tracks(l), (std::vector<Track>{{3, 0, 1}, {4, 0, 1}}));
    const Linked next = link(c, numbered({event(10, 10)}));
    EXPECT_EQ(tracks(next), (std::vector<Track>{{3, 2, 2}}));
}

TEST(TrackLink, RefusedFramesLeaveOutputsAndHistoryUntouched)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<kh_track_event> events;
        int32_t count;  // -1: the events' size
        const char* text;
    } cases[] = {
        {"more events than capacity", numbered({event(1, 1), event(2, 2), event(3, 3)}), -1,
         "count exceeds the particle capacity of the context."},
        {"negative count", numbered({event(1, 1)}), -2, "count must not be negative."},
        {"x not a number", numbered({event(nan, 1)}), -1,
         "Event coordinates must be finite and within the 32-bit integer range."},
        {"infinite y", numbered({event(1, -inf)}), -1,
         "Event coordinates must be finite and within the 32-bit integer range."},
        {"x beyond 32 bits", numbered({event(3.0e9, 1)}), -1,
         "Event coordinates must be finite and within the 32-bit integer range."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Context ctx;
        ASSERT_EQ(tracktest::initLinking(ctx, 2, 5, 2), 0);
        ASSERT_EQ(link(ctx, numbered({event(50, 50)})).code, 0);

        std::vector<kh_track_particle> out(4);
        std::memset(out.data(), 0xAB, out.size() * sizeof out[0]);
        const std::vector<kh_track_particle> before = out;
        int32_t count = 1234;
        const int32_t n = c.count == -1 ? static_cast<int32_t>(c.events.size()) : c.count;
        EXPECT_EQ(kh_track_link_particles(ctx.ctx, c.events.data(), n, out.data(), &count), 4);
        EXPECT_EQ(lastError(), c.text);
        EXPECT_EQ(count, 1234);
        EXPECT_EQ(std::memcmp(out.data(), before.data(), out.size() * sizeof out[0]), 0);

        // the refused frame never entered the history
        const Linked l = link(ctx, numbered({event(51, 50)}));
        EXPECT_EQ(tracks(l), (std::vector<Track>{{1, 2, 2}}));
    }
    // the largest capacity takes as many events
    Context big;
    ASSERT_EQ(tracktest::initLinking(big, 2, 5, 32767), 0);
    std::vector<kh_track_event> many;
    for (int i = 0; i < 32767; ++i)
        many.push_back(event(i % 1000 * 10, i / 1000 * 10));
    const Linked l = link(big, numbered(many));
    ASSERT_EQ(l.code, 0) << lastError();
    EXPECT_EQ(l.particles.back().id, 32767);
}

bool sameRecord(const kh_track_particle& a, const kh_track_particle& b)
{
    return a.index == b.index && a.x == b.x && a.y == b.y && a.m0 == b.m0 && a.m2 == b.m2 &&
           a.id == b.id && a.state == b.state && a.length == b.length;
}

TEST(TrackLink, AgreesWithTheFullTableFormulation)
{
    const struct {
        uint16_t frames;
        uint16_t radius;
        int particles;
        int area;
    } cases[] = {{2, 5, 60, 60}, {3, 4, 80, 50}, {5, 6, 40, 40}, {10, 3, 60, 70}, {4, 0, 20, 20}, {3, 400, 30, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE("frames " + std::to_string(c.frames) + " radius " + std::to_string(c.radius));
        const auto frames = scene(c.frames * 100 + c.radius, 12, c.particles, c.area);
        int capacity = 0;
        for (const auto& f : frames)
            capacity = std::max(capacity, static_cast<int>(f.size()));
        ReferenceLinker reference(capacity, c.frames - 1, c.radius);
        Context tight, roomy;
        ASSERT_EQ(tracktest::initLinking(tight, c.frames, c.radius, capacity), 0);
        ASSERT_EQ(tracktest::initLinking(roomy, c.frames, c.radius, capacity * 10), 0);
        for (size_t f = 0; f < frames.size(); ++f) {
            if (f == 8) {
                reference.reset();
                ASSERT_EQ(kh_track_reset(tight.ctx), 0);
                ASSERT_EQ(kh_track_reset(roomy.ctx), 0);
            }
            const auto expected = reference.link(frames[f]);
            const Linked a = link(tight, frames[f]);
            const Linked b = link(roomy, frames[f]);
            ASSERT_EQ(a.code, 0);
            ASSERT_EQ(b.code, 0);
            ASSERT_EQ(a.particles.size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                SCOPED_TRACE("frame " + std::to_string(f) + " particle " + std::to_string(i));
                EXPECT_TRUE(sameRecord(a.particles[i], expected[i]))
                    << tracks(a)[i] << " expected {" << expected[i].id << "," << expected[i].state << ","
                    << expected[i].length << "}";
                EXPECT_TRUE(sameRecord(b.particles[i], expected[i]));
            }
            std::set<int32_t> ids;
            for (const auto& p : a.particles)
                ids.insert(p.id);
            EXPECT_EQ(ids.size(), a.particles.size()) << "a trajectory appears twice in one frame";
        }
    }
}

}  // namespace
