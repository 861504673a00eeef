// The core behind the exports: GPU detection against a fake runtime, and context release
// when the device side fails.
#include "gpudetect.h"
#include "hostmemory.h"
#include "imageanalysis.h"
#include "locaterules.h"
#include "tracker.h"
#include "trajectorylinking.h"

#include "kh/lasterror.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A scripted runtime: device count result, devices by compute-capability major number.
struct FakeRuntime {
    int countResult = 0;
    std::vector<int> majors;
    int failingSetDevice = -1;
    int selected = -1;
};
FakeRuntime fake;

int fakeCount(int* count)
{
    *count = static_cast<int>(fake.majors.size());
    return fake.countResult;
}
int fakeVersion(int* version)
{
    *version = 13000;
    return 0;
}
int fakeSetDevice(int d)
{
    if (d == fake.failingSetDevice)
        return 46;
    fake.selected = d;
    return 0;
}
int fakeProperties(int d, std::string* name, int* major, int* minor)
{
    *name = "Fake GPU " + std::to_string(d);
    *major = fake.majors[static_cast<size_t>(d)];
    *minor = 5;
    return 0;
}
const char* fakeText(int) { return "fake failure"; }

const kh::CudaRuntimeCalls kFakeCalls{fakeCount, fakeVersion, fakeSetDevice, fakeProperties, fakeText};

TEST(TrackGpuDetection, ScriptedRuntimes)
{
    const struct {
        const char* name;
        int countResult;
        std::vector<int> majors;
        int failingSetDevice;
        bool usable;
        int device;
        std::string lastLine;
    } cases[] = {
        {"old driver", 35, {7}, -1, false, -1, "DetectUsableGpu: GPU driver version is insufficient for CUDA"},
        {"no device", 100, {}, -1, false, -1, "DetectUsableGpu: No usable and enabled GPU found"},
        {"other error", 999, {}, -1, false, -1, "DetectUsableGpu: cudaGetDeviceCount error code 999 - fake failure"},
        {"none listed", 0, {}, -1, false, -1, "DetectUsableGpu: There are no available devices that support CUDA"},
        {"too old", 0, {1}, -1, false, -1,
         "DetectUsableGpu: WARNING: Your CUDA device must support at least 2.0 compute capability, "
         "falling back to processing on CPU"},
        {"first of the newest", 0, {3, 8, 8, 6}, -1, true, 1, "DetectUsableGpu: Device compute capability: 8.5"},
        {"selection fails", 0, {7, 7}, 1, false, -1, "CUDA error 46: fake failure, in DetectUsableGpu:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake = FakeRuntime{c.countResult, c.majors, c.failingSetDevice, -1};
        const kh::GpuDetection found = kh::detectGpu(kFakeCalls);
        EXPECT_EQ(found.usable, c.usable);
        EXPECT_EQ(found.device, c.device);
        ASSERT_FALSE(found.lines.empty());
        EXPECT_EQ(found.lines.back().substr(0, c.lastLine.size()), c.lastLine);
        if (c.usable) {
            EXPECT_EQ(fake.selected, c.device);
            EXPECT_EQ(found.lines[1], "DetectUsableGpu: Using CUDA runtime version 13.0 (13000)");
            EXPECT_EQ(found.lines[2], "DetectUsableGpu: Using CUDA device: Fake GPU 1");
        }
    }
}

TEST(TrackGpuDetection, ThisMachineRunsOnTheCpu)
{
    const kh::GpuDetection found = kh::detectGpu(kh::cudaRuntimeCalls());
    EXPECT_FALSE(found.usable);
    EXPECT_FALSE(found.lines.empty());
    EXPECT_FALSE(kh::hasUsableGpu());
}

// A device side whose release fails in the given way; counts its destruction.
struct FailingGpu : kh::GpuTracker {
    enum Failure { None, Runtime, Foreign };
    Failure failure;
    int* destroyed;
    FailingGpu(Failure f, int* d) : failure(f), destroyed(d) {}
    ~FailingGpu() override { ++*destroyed; }
    int32_t findParticles(const uint16_t*, kh_track_event*) override { return 0; }
    int32_t linkParticles(const kh_track_event*, int32_t, kh_track_particle*) override { return 0; }
    void reset() override {}
    void release() override
    {
        if (failure == Runtime)
            throw std::runtime_error("CUDA error 4: unloading, in kh::GpuTracker::release:1");
        if (failure == Foreign)
            throw 42;
    }
};

TEST(TrackUninit, DeviceFailuresStillFreeTheContext)
{
    const struct {
        const char* name;
        FailingGpu::Failure failure;
        int32_t code;
        const char* text;
    } cases[] = {
        {"clean", FailingGpu::None, 0, nullptr},
        {"runtime error", FailingGpu::Runtime, 1, "CUDA error 4: unloading, in kh::GpuTracker::release:1"},
        {"not a standard exception", FailingGpu::Foreign, 1, "Unknown exception"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int destroyed = 0;
        kh_track_context* ctx = kh::newContext(
            kh::Tracker::createWithGpu(std::make_unique<FailingGpu>(c.failure, &destroyed), 8));
        EXPECT_EQ(kh::uninitContext(&ctx), c.code);
        EXPECT_EQ(ctx, nullptr);
        EXPECT_EQ(destroyed, 1);
        if (c.text) {
            EXPECT_STREQ(kh::lastError("No error"), c.text);
        }
    }
}

// Set-up sizes never wrap, and a set-up larger than the budget is refused with code 13.
TEST(TrackHostMemory, SizesSaturateAndTheBudgetRefuses)
{
    const std::size_t gib = std::size_t(1) << 30;
    EXPECT_GE(kh::ImageAnalysis::hostBytes(65536, 65536), 24 * gib);
    EXPECT_GE(kh::ImageAnalysis::hostBytes(2147483647, 1), 40 * gib);
    EXPECT_EQ(kh::ImageAnalysis::hostBytes(2147483647, 2147483647), SIZE_MAX);
    EXPECT_LT(kh::ImageAnalysis::hostBytes(640, 480), std::size_t(4) << 20);
    EXPECT_LT(kh::TrajectoryLinking::hostBytes(32767, 10), std::size_t(64) << 20);

    const struct {
        std::size_t bytes, budget;
        bool refused;
    } cases[] = {
        {100, 100, false},
        {101, 100, true},
        {SIZE_MAX, SIZE_MAX - 1, true},
        {0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bytes) + " of " + std::to_string(c.budget));
        if (c.refused) {
            try {
                kh::checkHostMemory(c.bytes, c.budget);
                ADD_FAILURE() << "not refused";
            } catch (const kh::Exception& e) {
                EXPECT_EQ(e.code(), 13);
                EXPECT_STREQ(e.what(), "Insufficient system resources");
            }
        } else {
            EXPECT_NO_THROW(kh::checkHostMemory(c.bytes, c.budget));
        }
    }
    // this machine's budget is known and below what 65536 x 65536 needs
    const std::size_t budget = kh::hostMemoryBudget();
    EXPECT_GT(budget, std::size_t(64) << 20);
    EXPECT_LT(budget, kh::ImageAnalysis::hostBytes(65536, 65536));
}

TEST(TrackLinkCore, IdentifiersNeverWrap)
{
    kh::TrajectoryLinking linker(4, 1, 5);
    linker.setLastIdentifier(INT32_MAX - 2);
    kh_track_event events[3] = {};
    for (int i = 0; i < 3; ++i) {
        events[i].index = static_cast<int16_t>(i);
        events[i].x = 100.0 * i;
    }
    kh_track_particle out[3];
    EXPECT_EQ(linker.linkParticles(events, 2, out), 2);
    EXPECT_EQ(out[1].id, INT32_MAX);
    try {
        linker.linkParticles(events, 3, out);
        FAIL() << "a frame that could need identifiers beyond the range was accepted";
    } catch (const kh::Exception& e) {
        EXPECT_EQ(e.code(), 11);
        EXPECT_STREQ(e.what(), "Trajectory identifiers are exhausted: create a new context.");
    }
}

// The row-streaming CPU locator against the per-pixel rules the GPU kernels run, on frames
// full of ties: with a background count of 2 the second frame is the first located.
std::vector<kh_track_event> locateByRules(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b,
                                          int w, int h, int capacity)
{
    namespace L = kh::locate;
    std::vector<uint16_t> work(a.size()), threshold(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const uint32_t m = std::min(a[i], b[i]);
        const int64_t d = L::noiseLevel(m, 1);
        const uint16_t background = L::backgroundFromMinimum(m, d, L::zFactor16(2));
        threshold[i] = L::thresholdFromNoise(d, L::qFactor16(1.0));
        work[i] = b[i] > background ? uint16_t(b[i] - background) : 0;
    }
    std::vector<kh_track_event> events;
    for (int y = 2; y < h - 2; ++y)
        for (int x = 3; x < w - 3; ++x) {
            const uint16_t* rows[5];
            for (int d = 0; d < 5; ++d)
                rows[d] = work.data() + size_t(y - 2 + d) * w;
            if (rows[2][x] <= threshold[size_t(y) * w + x] || !L::winsWindow(rows, x))
                continue;
            if (static_cast<int>(events.size()) == capacity)
                return events;
            kh_track_event e{};
            e.index = static_cast<int16_t>(events.size());
            e.x = x;
            e.y = y;
            float m0, m2;
            L::moments(rows, x, m0, m2);
            e.m0 = m0;
            e.m2 = m2;
            events.push_back(e);
        }
    return events;
}

TEST(TrackLocateCore, StreamingLocatorFollowsThePixelRules)
{
    const struct {
        int w, h, capacity;
    } cases[] = {{7, 5, 10}, {8, 6, 10}, {13, 9, 50}, {64, 33, 1000}, {257, 130, 32767}, {200, 100, 17}};
    std::mt19937 rng(7);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        std::vector<uint16_t> a(size_t(c.w) * c.h), b(a.size());
        for (size_t i = 0; i < a.size(); ++i) {
            a[i] = static_cast<uint16_t>(90 + rng() % 20);
            b[i] = static_cast<uint16_t>(a[i] + (rng() % 4) * 30 + (i % 97 == 0 ? 60000 - a[i] : 0));
        }
        kh::ImageAnalysis locator(c.w, c.h, c.capacity, 2, 1.0);
        std::vector<kh_track_event> events(static_cast<size_t>(c.capacity));
        ASSERT_EQ(locator.findParticles(a.data(), events.data()), 0);
        const int32_t n = locator.findParticles(b.data(), events.data());
        const std::vector<kh_track_event> expected = locateByRules(a, b, c.w, c.h, c.capacity);
        if (c.w >= 64) {
            EXPECT_GT(n, 0);
        }
        ASSERT_EQ(n, static_cast<int32_t>(expected.size()));
        for (int32_t i = 0; i < n; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(events[i].index, expected[i].index);
            EXPECT_EQ(events[i].x, expected[i].x);
            EXPECT_EQ(events[i].y, expected[i].y);
            EXPECT_EQ(events[i].m0, expected[i].m0);
            EXPECT_EQ(events[i].m2, expected[i].m2);
        }
    }
}

}  // namespace
