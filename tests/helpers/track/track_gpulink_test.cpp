// Linking on the device, run through its host emulation: the same records as the CPU linker on
// seeded scenes and on ties, failures of every device call reported by step, allocation sizes
// in 64 bits, work bounded by the particles in use, and clean release.
#include "emulatedlinkdevice.h"
#include "gpulinking.h"
#include "tracktestsupport.h"
#include "trajectorylinking.h"

#include "kh/lasterror.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using tracktest::event;
using tracktest::numbered;
using tracktest::scene;

namespace {

bool sameRecord(const kh_track_particle& a, const kh_track_particle& b)
{
    return a.index == b.index && a.x == b.x && a.y == b.y && a.m0 == b.m0 && a.m2 == b.m2 &&
           a.id == b.id && a.state == b.state && a.length == b.length;
}

std::string describe(const kh_track_particle& p)
{
    return "{" + std::to_string(p.id) + "," + std::to_string(p.state) + "," + std::to_string(p.length) + "}";
}

// Links every frame on both linkers (resetting both before frame resetAt) and compares.
void expectSameAsCpu(const std::vector<std::vector<kh_track_event>>& frames, int32_t capacity, int32_t gaps,
                     int64_t radius, int threads, size_t resetAt = SIZE_MAX)
{
    kh::TrajectoryLinking cpu(capacity, gaps, radius);
    EmulatedLinkDevice device(threads);
    kh::GpuLinking gpu(device, capacity, gaps, radius);
    for (size_t f = 0; f < frames.size(); ++f) {
        if (f == resetAt) {
            cpu.reset();
            gpu.reset();
        }
        const auto& events = frames[f];
        const int32_t n = static_cast<int32_t>(events.size());
        std::vector<kh_track_particle> a(events.size() + 1), b(events.size() + 1);
        ASSERT_EQ(cpu.linkParticles(events.data(), n, a.data()), n);
        ASSERT_EQ(gpu.linkParticles(events.data(), n, b.data()), n);
        for (int32_t i = 0; i < n; ++i) {
            SCOPED_TRACE("frame " + std::to_string(f) + " particle " + std::to_string(i));
            EXPECT_TRUE(sameRecord(b[i], a[i])) << describe(b[i]) << " expected " << describe(a[i]);
        }
    }
    EXPECT_EQ(gpu.framesLinked(), cpu.framesLinked());
}

TEST(TrackGpuLink, EmulationAgreesWithTheCpuLinker)
{
    const struct {
        int32_t gaps;
        int64_t radius;
        int particles;
        int area;
        int threads;
    } cases[] = {
        {1, 5, 60, 60, 512}, {2, 4, 80, 50, 512}, {4, 6, 40, 40, 32},  {9, 3, 60, 70, 512},
        {10, 3, 50, 60, 8},  {3, 0, 20, 20, 512}, {2, 400, 30, 100, 512}, {3, 65535, 25, 200, 1},
        {5, 5, 700, 300, 512},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("gaps " + std::to_string(c.gaps) + " radius " + std::to_string(c.radius) + " threads " +
                     std::to_string(c.threads));
        const auto frames = scene(static_cast<unsigned>(c.gaps * 100 + c.radius), 12, c.particles, c.area);
        int32_t capacity = 0;
        for (const auto& f : frames)
            capacity = std::max(capacity, static_cast<int32_t>(f.size()));
        expectSameAsCpu(frames, capacity, c.gaps, c.radius, c.threads, 8);
        expectSameAsCpu(frames, capacity * 3, c.gaps, c.radius, c.threads);
    }
}

// Integer positions on a lattice with equal moments: equal costs everywhere, so only the
// tie rules decide, whatever the number of threads that share a search.
TEST(TrackGpuLink, TiesAreBrokenAsOnTheCpu)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> step(-1, 1), keep(0, 5);
    std::vector<std::vector<kh_track_event>> frames;
    std::vector<std::pair<int, int>> world;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            world.emplace_back(2 * x, 2 * y);
    for (int f = 0; f < 10; ++f) {
        std::vector<kh_track_event> frame;
        for (auto& p : world) {
            p.first += step(rng);
            p.second += step(rng);
            if (keep(rng) > 0)
                frame.push_back(event(p.first, p.second, 100.0, 1.0));
        }
        frames.push_back(numbered(frame));
    }
    for (int threads : {1, 2, 16, 512}) {
        SCOPED_TRACE("threads " + std::to_string(threads));
        for (int32_t gaps : {1, 3}) {
            expectSameAsCpu(frames, 64, gaps, 2, threads);
            expectSameAsCpu(frames, 64, gaps, 3, threads);
        }
    }
}

// The small cases the linking rules name, frame by frame.
TEST(TrackGpuLink, NamedCases)
{
    const struct {
        const char* name;
        int32_t gaps;
        int64_t radius;
        std::vector<std::vector<kh_track_event>> frames;
    } cases[] = {
        {"move of exactly the radius is not linked", 1, 5, {{event(10, 10)}, {event(15, 10)}}},
        {"move within the radius", 1, 5, {{event(10, 10)}, {event(14, 10)}}},
        {"gap bridged within twice the squared radius", 2, 5, {{event(10, 10)}, {}, {event(16, 10)}}},
        {"two new particles near one old", 1, 5, {{event(10, 10)}, {event(12, 10), event(8, 10)}}},
        {"a trajectory continues once", 2, 5, {{event(10, 10)}, {event(11, 10)}, {event(12, 10), event(11, 11)}}},
        {"empty frames", 3, 5, {{}, {event(1, 1)}, {}, {}, {event(2, 1)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<kh_track_event>> frames;
        for (const auto& f : c.frames)
            frames.push_back(numbered(f));
        expectSameAsCpu(frames, 4, c.gaps, c.radius, 512);
    }
}

// Fails one call of a frame at a time: the result is code 1 and the CUDA text of the failing
// host step, with the suffix of its stage; a construction failure frees what was allocated.
TEST(TrackGpuLink, DeviceFailuresAreReportedByStep)
{
    const auto frames = scene(5, 3, 6, 20);
    int32_t highestId = 0;
    auto linkFrame = [&highestId](kh::GpuLinking& gpu, const std::vector<kh_track_event>& events) {
        std::vector<kh_track_particle> out(events.size() + 1);
        return kh::exportFrame([&] {
            gpu.linkParticles(events.data(), static_cast<int32_t>(events.size()), out.data());
            for (size_t i = 0; i < events.size(); ++i)
                highestId = std::max(highestId, out[i].id);
        });
    };

    EmulatedLinkDevice dry;
    size_t frameStart = 0, frameEnd = 0;
    {
        kh::GpuLinking gpu(dry, 16, 3, 4);
        ASSERT_EQ(linkFrame(gpu, frames[0]), 0);
        ASSERT_EQ(linkFrame(gpu, frames[1]), 0);
        frameStart = dry.calls.size();
        ASSERT_EQ(linkFrame(gpu, frames[2]), 0);
        frameEnd = dry.calls.size();
    }
    const std::vector<std::string> setupSteps = {"shiftBuffer", "upload", "addToBuffer"};
    for (size_t k = frameStart; k < frameEnd; ++k) {
        SCOPED_TRACE(std::to_string(k) + " " + dry.calls[k]);
        EmulatedLinkDevice device;
        kh::GpuLinking gpu(device, 16, 3, 4);
        highestId = 0;
        ASSERT_EQ(linkFrame(gpu, frames[0]), 0);
        ASSERT_EQ(linkFrame(gpu, frames[1]), 0);
        device.failAt = static_cast<int>(k);
        ASSERT_EQ(linkFrame(gpu, frames[2]), 1);
        const std::string text = kh::lastError("");
        const bool setup = std::find(setupSteps.begin(), setupSteps.end(), dry.calls[k]) != setupSteps.end();
        const std::string suffix =
            setup ? "\nError during particle linking setup." : "\nError during particle linking processing.";
        EXPECT_EQ(text.rfind("CUDA error 700: emulated failure, in kh::", 0), 0u) << text;
        ASSERT_GE(text.size(), suffix.size());
        EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);

        // nothing continues from the half-done frame; identifiers are never handed out twice
        device.failAt = -1;
        std::vector<kh_track_particle> out(frames[2].size());
        ASSERT_EQ(gpu.linkParticles(frames[2].data(), static_cast<int32_t>(frames[2].size()), out.data()),
                  static_cast<int32_t>(frames[2].size()));
        for (const auto& p : out) {
            EXPECT_EQ(p.state, 0);
            EXPECT_EQ(p.length, 1);
            EXPECT_EQ(p.id, ++highestId);
        }
    }

    const struct {
        const char* call;
        const char* function;
    } named[] = {
        {"shiftBuffer", "kh::TrackingAlgorithm::ShiftBuffer_GPU"},
        {"addToBuffer", "kh::TrackingAlgorithm::AddToBuffer_GPU"},
        {"calcDistances", "kh::TrajectoryLinking::CalcDistances_GPU"},
        {"initializeG", "kh::TrajectoryLinking::InitializeG_GPU"},
        {"resetRowsFutureFrames", "kh::TrajectoryLinking::ResetSortedLinkedDistances_GPU"},
        {"setNewParticles", "kh::TrajectoryLinking::SetNewParticles_GPU"},
        {"download", "kh::DeviceMatrix<T>::ToHost"},
    };
    for (const auto& n : named) {
        SCOPED_TRACE(n.call);
        const auto at = std::find(dry.calls.begin() + static_cast<long>(frameStart), dry.calls.end(), n.call);
        ASSERT_NE(at, dry.calls.end());
        EmulatedLinkDevice device;
        kh::GpuLinking gpu(device, 16, 3, 4);
        ASSERT_EQ(linkFrame(gpu, frames[0]), 0);
        ASSERT_EQ(linkFrame(gpu, frames[1]), 0);
        device.failAt = static_cast<int>(at - dry.calls.begin());
        ASSERT_EQ(linkFrame(gpu, frames[2]), 1);
        EXPECT_NE(std::string(kh::lastError("")).find(std::string("in ") + n.function + ":"), std::string::npos)
            << kh::lastError("");
    }

    // every call of the set-up in turn: the allocations, then the clearing of the history
    EmulatedLinkDevice created;
    { kh::GpuLinking gpu(created, 16, 3, 4); }
    const size_t setupCalls = static_cast<size_t>(std::count(created.calls.begin(), created.calls.end(), "allocate") +
                                                  std::count(created.calls.begin(), created.calls.end(), "zero"));
    for (size_t k = 0; k < setupCalls; ++k) {
        SCOPED_TRACE(std::to_string(k) + " " + created.calls[k]);
        EmulatedLinkDevice device;
        device.failAt = static_cast<int>(k);
        const int32_t code = kh::exportFrame([&] { kh::GpuLinking gpu(device, 16, 3, 4); });
        EXPECT_EQ(code, 1);
        const std::string function = created.calls[k] == "allocate" ? "kh::TrajectoryLinking::Initialize_GPU"
                                                                    : "kh::TrackingAlgorithm::Reset_GPU";
        EXPECT_EQ(std::string(kh::lastError("")).rfind("CUDA error 700: emulated failure, in " + function + ":", 0), 0u);
        EXPECT_TRUE(device.live.empty());
    }
}

// Refused frames: the CPU's codes, and not one device call.
TEST(TrackGpuLink, RefusedFramesTouchNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<kh_track_event> events;
        int32_t count;
        int32_t lastIdentifier;
    } cases[] = {
        {"more than the capacity", numbered({event(1, 1), event(2, 2), event(3, 3), event(4, 4), event(5, 5)}), 5, 0},
        {"negative count", {event(1, 1)}, -1, 0},
        {"coordinate not a number", numbered({event(1, 1), event(nan, 2)}), 2, 0},
        {"coordinate beyond 32 bits", numbered({event(3e9, 1)}), 1, 0},
        {"identifiers exhausted", numbered({event(1, 1), event(9, 9)}), 2, std::numeric_limits<int32_t>::max() - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kh::TrajectoryLinking cpu(4, 2, 5);
        EmulatedLinkDevice device;
        kh::GpuLinking gpu(device, 4, 2, 5);
        cpu.setLastIdentifier(c.lastIdentifier);
        gpu.setLastIdentifier(c.lastIdentifier);
        std::vector<kh_track_particle> out(8);
        const size_t before = device.calls.size();
        const int32_t cpuCode = kh::exportFrame([&] { cpu.linkParticles(c.events.data(), c.count, out.data()); });
        const int32_t gpuCode = kh::exportFrame([&] { gpu.linkParticles(c.events.data(), c.count, out.data()); });
        EXPECT_NE(gpuCode, 0);
        EXPECT_EQ(gpuCode, cpuCode);
        EXPECT_EQ(device.calls.size(), before);
        EXPECT_EQ(gpu.framesLinked(), 0);
    }
}

// The tables of the largest context need more than 32 bits of bytes: the request must say so
// (and fail cleanly where memory is short), not wrap to a small size.
TEST(TrackGpuLink, TableSizesAreSixtyFourBit)
{
    EmulatedLinkDevice device;
    device.allocationLimit = 64u << 20;
    const int32_t code = kh::exportFrame([&] { kh::GpuLinking gpu(device, 32767, 10, 65535); });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(std::string(kh::lastError("")).rfind("CUDA error 2: out of memory, in kh::TrajectoryLinking::Initialize_GPU:", 0),
              0u);
    const std::size_t table = std::size_t(32768) * 32768 * 10 * 4;
    EXPECT_NE(std::find(device.requested.begin(), device.requested.end(), table), device.requested.end());
    EXPECT_TRUE(device.live.empty());
}

// A roomy context with few particles: a frame's work and clearing follow the particles in
// use, never the capacity (the full tables would be a million entries each).
TEST(TrackGpuLink, WorkFollowsTheParticlesNotTheCapacity)
{
    const int32_t capacity = 2000;
    EmulatedLinkDevice device;
    kh::GpuLinking gpu(device, capacity, 3, 6);
    const auto frames = scene(9, 6, 5, 30);
    for (const auto& events : frames) {
        device.entriesVisited = 0;
        device.bytesZeroed = 0;
        std::vector<kh_track_particle> out(events.size());
        ASSERT_EQ(gpu.linkParticles(events.data(), static_cast<int32_t>(events.size()), out.data()),
                  static_cast<int32_t>(events.size()));
        EXPECT_LT(device.entriesVisited, capacity);
        EXPECT_LT(device.bytesZeroed, capacity);
    }
}

// Release frees every block once; a failing free is reported with the release step, and what
// it left is freed with the object.
TEST(TrackGpuLink, ReleaseFreesEverything)
{
    for (int failing : {-1, 0, 5, 16}) {
        SCOPED_TRACE("failing free " + std::to_string(failing));
        EmulatedLinkDevice device;
        {
            kh::GpuLinking gpu(device, 8, 2, 5);
            const size_t first = device.calls.size();
            device.failAt = failing < 0 ? -1 : static_cast<int>(first) + failing;
            const int32_t code = kh::exportFrame([&] { gpu.release(); });
            EXPECT_EQ(code, failing < 0 ? 0 : 1);
            if (failing >= 0) {
                EXPECT_EQ(std::string(kh::lastError("")).rfind(
                              "CUDA error 700: emulated failure, in kh::TrackingAlgorithm::Release_GPU:", 0),
                          0u);
            } else {
                EXPECT_TRUE(device.live.empty());
            }
            kh_track_event e = event(1, 1);
            kh_track_particle out{};
            EXPECT_EQ(kh::exportFrame([&] { gpu.linkParticles(&e, 1, &out); }), 11);
        }
        // the failed block is lost to the device as it would be to CUDA; the rest is freed
        EXPECT_LE(device.live.size(), failing < 0 ? 0u : 1u);
        for (size_t k = 0; k < device.calls.size(); ++k)
            EXPECT_TRUE(device.calls[k] == "allocate" || device.calls[k] == "release" || device.calls[k] == "zero");
    }
}

}  // namespace
