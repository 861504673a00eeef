#pragma once

#include "kestrix_helper_track.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Small helpers for calling the tracking library from tests.
namespace tracktest {

inline std::string lastError()
{
    char text[4096] = {};
    uint32_t length = sizeof text;
    kh_track_get_last_error_message(text, &length);
    return text;
}

// Owns a context; uninit at scope end.
struct Context {
    kh_track_context* ctx = nullptr;
    Context() = default;
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    ~Context() { kh_track_uninit(&ctx); }
};

// A linking-only context on the CPU; fails the calling test when creation fails.
inline int32_t initLinking(Context& c, uint16_t frames, uint16_t radius, int32_t capacity)
{
    int32_t out = 0;
    return kh_track_init(&c.ctx, frames, radius, 1, capacity, &out);
}

// A locating context on the CPU for width x height frames.
inline int32_t initLocating(Context& c, int32_t width, int32_t height, int32_t capacity,
                            uint32_t frames = 2, int32_t radius = 5)
{
    int32_t out = 0;
    return PrivateAPI_InitializeWithOrvoLocate(&c.ctx, frames, radius, 1, capacity, &out, 0, 0.0,
                                               width, height);
}

inline kh_track_event event(double x, double y, double m0 = 100.0, double m2 = 1.0)
{
    kh_track_event e{};
    e.x = x;
    e.y = y;
    e.m0 = m0;
    e.m2 = m2;
    return e;
}

// Events numbered in list order.
inline std::vector<kh_track_event> numbered(std::vector<kh_track_event> events)
{
    for (std::size_t i = 0; i < events.size(); ++i)
        events[i].index = static_cast<int16_t>(i);
    return events;
}

// Seeded scenes of particles that drift, vanish, reappear and are born, close enough to
// compete for each other.
inline std::vector<std::vector<kh_track_event>> scene(unsigned seed, int frames, int particles, int area)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> pos(0, area), step(-3.5, 3.5), unit(0, 1);
    std::vector<kh_track_event> world;
    for (int i = 0; i < particles; ++i)
        world.push_back(event(pos(rng), pos(rng), 500 + 50 * unit(rng), 1 + unit(rng)));
    std::vector<std::vector<kh_track_event>> out;
    for (int f = 0; f < frames; ++f) {
        std::vector<kh_track_event> frame;
        for (auto& p : world) {
            p.x += step(rng);
            p.y += step(rng);
            if (unit(rng) < 0.15)
                continue;  // missed in this frame
            frame.push_back(p);
        }
        if (unit(rng) < 0.5)
            std::shuffle(frame.begin(), frame.end(), rng);
        for (int b = 0; b < 3; ++b)
            frame.push_back(event(pos(rng), pos(rng), 400, 2));
        out.push_back(numbered(frame));
    }
    return out;
}

}  // namespace tracktest
