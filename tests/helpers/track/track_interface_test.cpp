// The exported interface: records, versions, messages, argument checks, context handling and
// the symbol set of the shared library.
#include "kestrix_helper_track.h"
#include "tracktestsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <dlfcn.h>
#include <sys/resource.h>

using tracktest::Context;
using tracktest::lastError;

extern "C" int khTrackHeaderCompilesAsC(void);

namespace {

const char* const kInitSuffix = "\nError occurred during initialization.";

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char chunk[4096];
    std::size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        out.append(chunk, n);
    pclose(pipe);
    return out;
}

TEST(TrackRecords, LayoutIsTheDocumentedOne)
{
    EXPECT_EQ(sizeof(kh_track_event), 40u);
    EXPECT_EQ(offsetof(kh_track_event, index), 0u);
    EXPECT_EQ(offsetof(kh_track_event, x), 8u);
    EXPECT_EQ(offsetof(kh_track_event, y), 16u);
    EXPECT_EQ(offsetof(kh_track_event, m0), 24u);
    EXPECT_EQ(offsetof(kh_track_event, m2), 32u);

    EXPECT_EQ(sizeof(kh_track_particle), 56u);
    EXPECT_EQ(offsetof(kh_track_particle, index), 0u);
    EXPECT_EQ(offsetof(kh_track_particle, x), 8u);
    EXPECT_EQ(offsetof(kh_track_particle, y), 16u);
    EXPECT_EQ(offsetof(kh_track_particle, m0), 24u);
    EXPECT_EQ(offsetof(kh_track_particle, m2), 32u);
    EXPECT_EQ(offsetof(kh_track_particle, id), 40u);
    EXPECT_EQ(offsetof(kh_track_particle, state), 44u);
    EXPECT_EQ(offsetof(kh_track_particle, length), 48u);

    EXPECT_EQ(khTrackHeaderCompilesAsC(), 0);
}

TEST(TrackVersion, WritesVersionOrRefusesNullPointers)
{
    uint16_t major = 0, minor = 0, build = 0;
    ASSERT_EQ(kh_track_get_lib_version(&major, &minor, &build), 0);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 2);
    EXPECT_EQ(build, 62);

    uint16_t untouched = 7;
    EXPECT_EQ(kh_track_get_lib_version(&untouched, nullptr, &build), 3);
    EXPECT_EQ(untouched, 7);
    EXPECT_EQ(lastError(), "Must provide a valid pointer for major, minor and build version.");
}

TEST(TrackMessages, EveryCodeHasItsText)
{
    const struct {
        int32_t code;
        const char* text;
    } cases[] = {
        {0, "No errors"},
        {1, "Unspecified error"},
        {2, "An invalid argument supplied"},
        {3, "A null argument supplied"},
        {4, "Argument value out of range"},
        {11, "Operation not supported"},
        {13, "Insufficient system resources"},
        {1000, "Output buffer is too small"},
        {100, "Unknown error code"},
        {0x7F0000, "Unknown error code"},
        {-1, "Unknown error code"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(kh_track_get_error_message(c.code), c.text) << c.code;
}

TEST(TrackLastError, BufferProtocol)
{
    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 1, 5, 10), 4);
    const std::string text = std::string("maxFramesToLink must be between 2 and 10.") + kInitSuffix;
    ASSERT_EQ(lastError(), text);

    char buffer[256];
    uint32_t length = 0;
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(kh_track_get_last_error_message(buffer, &length), 1000);
    EXPECT_EQ(length, text.size() + 1);
    EXPECT_EQ(buffer[0], 'x');

    length = static_cast<uint32_t>(text.size());  // one byte short
    EXPECT_EQ(kh_track_get_last_error_message(buffer, &length), 1000);
    EXPECT_EQ(std::string(buffer), text.substr(0, text.size() - 1));
    EXPECT_EQ(length, text.size() + 1);

    length = static_cast<uint32_t>(text.size() + 1);
    EXPECT_EQ(kh_track_get_last_error_message(buffer, &length), 0);
    EXPECT_EQ(std::string(buffer), text);

    EXPECT_EQ(kh_track_get_last_error_message(nullptr, &length), 3);
    EXPECT_EQ(kh_track_get_last_error_message(buffer, nullptr), 3);

    // a success keeps the last failure's text
    uint16_t a, b, d;
    ASSERT_EQ(kh_track_get_lib_version(&a, &b, &d), 0);
    EXPECT_EQ(lastError(), text);
}

TEST(TrackLastError, EachThreadKeepsItsOwn)
{
    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 11, 5, 10), 4);
    std::string other;
    std::thread worker([&] {
        other = lastError();
        kh_track_reset(nullptr);
    });
    worker.join();
    // a thread started after the library was loaded has a buffer from its start
    EXPECT_EQ(other, "No error.");
    EXPECT_EQ(lastError(), std::string("maxFramesToLink must be between 2 and 10.") + kInitSuffix);
}

// A second copy of the library, loaded while a thread is already running: that thread has no
// buffer ("No error"), the loading thread and threads started later have one ("No error.").
TEST(TrackLastError, ThreadsRunningBeforeLoadHaveNoBuffer)
{
    namespace fs = std::filesystem;
    std::string dirTemplate = (fs::temp_directory_path() / "kh_track_copy_XXXXXX").string();
    ASSERT_NE(mkdtemp(dirTemplate.data()), nullptr);
    const fs::path dir = dirTemplate;
    const fs::path copy = dir / "libkestrix_helper_track_copy.so";
    fs::copy_file(KH_TRACK_LIBRARY_FILE, copy);

    using Read = int32_t (*)(char*, uint32_t*);
    std::mutex mutex;
    std::condition_variable changed;
    Read read = nullptr;
    std::string early;
    bool earlyDone = false;
    auto readWith = [](Read fn) {
        char text[64] = {};
        uint32_t length = sizeof text;
        return fn(text, &length) == 0 ? std::string(text) : std::string("(failed)");
    };
    std::thread before([&] {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return read != nullptr; }));
        early = readWith(read);
        earlyDone = true;
        changed.notify_all();
    });

    void* lib = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    const auto fn = reinterpret_cast<Read>(dlsym(lib, "kh_track_get_last_error_message"));
    ASSERT_NE(fn, nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex);
        read = fn;
    }
    changed.notify_all();
    {
        std::unique_lock<std::mutex> lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return earlyDone; }));
    }
    before.join();
    std::string later;
    std::thread([&] { later = readWith(fn); }).join();

    EXPECT_EQ(early, "No error");
    EXPECT_EQ(readWith(fn), "No error.");
    EXPECT_EQ(later, "No error.");
    dlclose(lib);
    fs::remove_all(dir);
}

TEST(TrackInit, ArgumentTable)
{
    kh_track_context* ctx = nullptr;
    int32_t out = -1;
    const struct {
        const char* name;
        kh_track_context** pContext;
        uint16_t frames;
        int32_t capacity;
        int32_t* pOut;
        int32_t code;
        const char* text;
    } cases[] = {
        {"null context", nullptr, 5, 10, &out, 3,
         "Must provide a valid pointer to a location for new context. pContext was null."},
        {"null context checked first", nullptr, 1, 10, nullptr, 3,
         "Must provide a valid pointer to a location for new context. pContext was null."},
        {"one frame", &ctx, 1, 10, &out, 4, "maxFramesToLink must be between 2 and 10."},
        {"eleven frames", &ctx, 11, 10, &out, 4, "maxFramesToLink must be between 2 and 10."},
        {"frames before output pointer", &ctx, 0, 10, nullptr, 4, "maxFramesToLink must be between 2 and 10."},
        {"null output", &ctx, 2, 10, nullptr, 3,
         "Must provide a valid pointer for max. particles count. pMaxOutputParticles was null."},
        {"no capacity", &ctx, 2, 0, &out, 4, "maxParticles must be between 1 and 32767."},
        {"negative capacity", &ctx, 2, -5, &out, 4, "maxParticles must be between 1 and 32767."},
        {"beyond 16-bit index", &ctx, 2, 32768, &out, 4, "maxParticles must be between 1 and 32767."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kh_track_init(c.pContext, c.frames, 5, 1, c.capacity, c.pOut), c.code);
        EXPECT_EQ(lastError(), std::string(c.text) + kInitSuffix);
        EXPECT_EQ(ctx, nullptr);
        EXPECT_EQ(out, -1);
    }

    for (uint16_t frames : {2, 10}) {
        for (int32_t capacity : {1, 32767}) {
            Context c;
            int32_t max = 0;
            ASSERT_EQ(kh_track_init(&c.ctx, frames, 5, 1, capacity, &max), 0) << lastError();
            EXPECT_NE(c.ctx, nullptr);
            EXPECT_EQ(max, capacity);
        }
    }
}

TEST(TrackInit, LocatingArgumentTable)
{
    kh_track_context* ctx = nullptr;
    int32_t out = -1;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        uint32_t frames;
        int32_t radius;
        int32_t capacity;
        int32_t* pOut;
        int32_t param1;
        double param2;
        int32_t width;
        int32_t height;
        int32_t code;
        const char* text;
    } cases[] = {
        {"eleven frames", 11, 5, 10, &out, 0, 0.0, 64, 64, 4, "maxFramesToLink must be between 2 and 10."},
        {"huge frame count", 0x10002u, 5, 10, &out, 0, 0.0, 64, 64, 4, "maxFramesToLink must be between 2 and 10."},
        {"null output", 2, 5, 10, nullptr, 0, 0.0, 64, 64, 3,
         "Must provide a valid pointer for max. particles count. pMaxTrajectoriesOutput was null."},
        {"no capacity", 2, 5, 0, &out, 0, 0.0, 64, 64, 4, "maxTrajectories must be between 1 and 32767."},
        {"too many", 2, 5, 40000, &out, 0, 0.0, 64, 64, 4, "maxTrajectories must be between 1 and 32767."},
        {"negative radius", 2, -1, 10, &out, 0, 0.0, 64, 64, 4, "maxDistancePerFrame must not be negative."},
        {"zero width", 2, 5, 10, &out, 0, 0.0, 0, 64, 4, "width and height must be at least 1."},
        {"negative height", 2, 5, 10, &out, 0, 0.0, 64, -3, 4, "width and height must be at least 1."},
        {"negative background count", 2, 5, 10, &out, -1, 0.0, 64, 64, 4, "locateParam1 must not be negative."},
        {"negative factor", 2, 5, 10, &out, 0, -0.5, 64, 64, 4, "locateParam2 must be between 0 and 65535."},
        {"factor not a number", 2, 5, 10, &out, 0, nan, 64, 64, 4, "locateParam2 must be between 0 and 65535."},
        {"infinite factor", 2, 5, 10, &out, 0, HUGE_VAL, 64, 64, 4, "locateParam2 must be between 0 and 65535."},
        // 10^12 samples: a 32-bit size would wrap to a small allocation
        {"frame beyond memory", 2, 5, 10, &out, 0, 0.0, 1000000, 1000000, 13, "Insufficient system resources"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PrivateAPI_InitializeWithOrvoLocate(&ctx, c.frames, c.radius, 1, c.capacity, c.pOut,
                                                      c.param1, c.param2, c.width, c.height),
                  c.code);
        EXPECT_EQ(lastError(), std::string(c.text) + kInitSuffix);
        EXPECT_EQ(ctx, nullptr);
        EXPECT_EQ(out, -1);
    }

    Context c;
    ASSERT_EQ(PrivateAPI_InitializeWithOrvoLocate(&c.ctx, 10, 0, 1, 32767, &out, 3, 1.5, 1, 1), 0)
        << lastError();
    EXPECT_EQ(out, 32767);
}

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Frame sizes whose buffers cannot be held fail before any of them is filled: no gigabytes
// touched on the way to code 13, no process killed for memory.
TEST(TrackInit, FramesBeyondMemoryFailBeforeTouchingIt)
{
    const struct {
        const char* name;
        int32_t width;
        int32_t height;
    } cases[] = {
        // 24 GiB of images alone: more than any of our machines has
        {"65536 x 65536", 65536, 65536},
        // the row rings alone would take 40 GiB
        {"one row of 2^31 - 1", 2147483647, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kh_track_context* ctx = nullptr;
        int32_t out = -1;
        const long before = peakResidentKb();
        EXPECT_EQ(PrivateAPI_InitializeWithOrvoLocate(&ctx, 2, 5, 1, 100, &out, 0, 0.0, c.width, c.height), 13);
        EXPECT_EQ(lastError(), std::string("Insufficient system resources") + kInitSuffix);
        EXPECT_EQ(ctx, nullptr);
        EXPECT_EQ(out, -1);
        EXPECT_LT(peakResidentKb() - before, 64 * 1024) << "memory was filled before the refusal";
    }
}

TEST(TrackContext, NullAndForeignContextsAreRefused)
{
    kh_track_event events[1] = {};
    kh_track_particle particles[1];
    int32_t count = 0;
    kh_track_event* located = nullptr;
    uint16_t frame[64] = {};

    EXPECT_EQ(kh_track_link_particles(nullptr, nullptr, 0, nullptr, nullptr), 2);
    EXPECT_EQ(lastError(), "Context not yet initialized.");
    EXPECT_EQ(kh_track_reset(nullptr), 2);
    EXPECT_EQ(lastError(), "Context not yet initialized.");
    EXPECT_EQ(PrivateAPI_Find_Particles(nullptr, frame, &located, &count), 2);
    EXPECT_EQ(lastError(), "Context not yet initialized.");
    // the frame pointers are checked before the context
    EXPECT_EQ(PrivateAPI_Find_Particles(nullptr, nullptr, &located, &count), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to raw frame data. pFrame was null.");

    Context c;
    ASSERT_EQ(tracktest::initLinking(c, 3, 5, 4), 0);
    const struct {
        const kh_track_event* events;
        kh_track_particle* particles;
        int32_t* count;
        const char* text;
    } nulls[] = {
        {nullptr, particles, &count, "Must provide a valid pointer to input particle event array. pEvents was null."},
        {events, nullptr, &count, "Must provide a valid pointer to output particle array. pParticles was null."},
        {events, particles, nullptr, "Must provide a valid pointer for particle count. pParticlesCount was null."},
    };
    for (const auto& n : nulls) {
        EXPECT_EQ(kh_track_link_particles(c.ctx, n.events, 1, n.particles, n.count), 3);
        EXPECT_EQ(lastError(), n.text);
    }
    EXPECT_EQ(PrivateAPI_Find_Particles(c.ctx, frame, nullptr, &count), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to an array to receive particle events. ppParticles was null.");
    EXPECT_EQ(PrivateAPI_Find_Particles(c.ctx, frame, &located, nullptr), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer for particle event count. pParticleCount was null.");

    // a linking-only context has no frame size to locate in
    EXPECT_EQ(PrivateAPI_Find_Particles(c.ctx, frame, &located, &count), 11);
    EXPECT_NE(lastError().find("PrivateAPI_InitializeWithOrvoLocate"), std::string::npos);
    EXPECT_EQ(located, nullptr);
}

TEST(TrackContext, OverwrittenMagicIsRefusedByEveryCall)
{
    Context c;
    ASSERT_EQ(tracktest::initLocating(c, 16, 16, 8), 0);
    uint32_t saved;
    std::memcpy(&saved, c.ctx, 4);
    EXPECT_EQ(saved, 0xDBDBDBDBu);
    const uint32_t garbage = 0x12345678u;
    std::memcpy(c.ctx, &garbage, 4);

    kh_track_event events[1] = {};
    kh_track_particle particles[1];
    kh_track_event* located = nullptr;
    int32_t count = 0;
    uint16_t frame[256] = {};
    const char* text = "Not a valid context or corrupted memory.";
    EXPECT_EQ(kh_track_link_particles(c.ctx, events, 1, particles, &count), 2);
    EXPECT_EQ(lastError(), text);
    EXPECT_EQ(kh_track_reset(c.ctx), 2);
    EXPECT_EQ(lastError(), text);
    EXPECT_EQ(PrivateAPI_Find_Particles(c.ctx, frame, &located, &count), 2);
    EXPECT_EQ(lastError(), text);
    kh_track_context* copy = c.ctx;
    EXPECT_EQ(kh_track_uninit(&copy), 2);
    EXPECT_EQ(lastError(), "Not a valid context or corrupted memory in call to kh_track_uninit.");
    EXPECT_EQ(copy, c.ctx);

    std::memcpy(c.ctx, &saved, 4);
}

// Pointers that are not live contexts are refused before anything reads them: a released one
// (a copy kept by the client), and memory that only looks like a context.
TEST(TrackContext, ReleasedAndForeignPointersAreRefused)
{
    Context live;
    ASSERT_EQ(tracktest::initLocating(live, 16, 16, 8), 0);
    kh_track_context* released = nullptr;
    {
        int32_t out = 0;
        ASSERT_EQ(PrivateAPI_InitializeWithOrvoLocate(&released, 2, 5, 1, 8, &out, 0, 0.0, 16, 16), 0);
        kh_track_context* handle = released;
        ASSERT_EQ(kh_track_uninit(&handle), 0);
        ASSERT_EQ(handle, nullptr);
    }
    // the magic first, then what would be the library's own pointers
    alignas(16) unsigned char lookalike[256] = {};
    const uint32_t magic = 0xDBDBDBDBu;
    std::memcpy(lookalike, &magic, sizeof magic);
    auto* foreign = reinterpret_cast<kh_track_context*>(lookalike);

    kh_track_event events[1] = {};
    kh_track_particle particles[1];
    kh_track_event* located = nullptr;
    int32_t count = 0;
    uint16_t frame[256] = {};
    const char* text = "Not a valid context or corrupted memory.";
    for (kh_track_context* ctx : {released, foreign}) {
        SCOPED_TRACE(ctx == released ? "released" : "foreign");
        EXPECT_EQ(kh_track_link_particles(ctx, events, 1, particles, &count), 2);
        EXPECT_EQ(lastError(), text);
        EXPECT_EQ(kh_track_reset(ctx), 2);
        EXPECT_EQ(lastError(), text);
        EXPECT_EQ(PrivateAPI_Find_Particles(ctx, frame, &located, &count), 2);
        EXPECT_EQ(lastError(), text);
        kh_track_context* handle = ctx;
        EXPECT_EQ(kh_track_uninit(&handle), 2) << "a second release must not free again";
        EXPECT_EQ(lastError(), "Not a valid context or corrupted memory in call to kh_track_uninit.");
        EXPECT_EQ(handle, ctx);
    }
    // the live context is untouched by all this
    EXPECT_EQ(PrivateAPI_Find_Particles(live.ctx, frame, &located, &count), 0) << lastError();
    EXPECT_EQ(kh_track_reset(live.ctx), 0);
}

TEST(TrackContext, UninitClearsThePointerAndToleratesNull)
{
    EXPECT_EQ(kh_track_uninit(nullptr), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to a location with valid context. pContext was null.");

    kh_track_context* ctx = nullptr;
    EXPECT_EQ(kh_track_uninit(&ctx), 0);

    int32_t out = 0;
    ASSERT_EQ(kh_track_init(&ctx, 2, 5, 1, 16, &out), 0);
    EXPECT_EQ(kh_track_uninit(&ctx), 0);
    EXPECT_EQ(ctx, nullptr);
    EXPECT_EQ(kh_track_uninit(&ctx), 0);
}

TEST(TrackLibrary, ExportsOnlyTheInterface)
{
    const std::string listing = run(std::string("nm -D --defined-only ") + KH_TRACK_LIBRARY_FILE);
    ASSERT_FALSE(listing.empty());
    std::set<std::string> names;
    char line[1024];
    FILE* in = fmemopen(const_cast<char*>(listing.data()), listing.size(), "r");
    ASSERT_NE(in, nullptr);
    while (std::fgets(line, sizeof line, in)) {
        char address[64], type[8], name[512];
        if (std::sscanf(line, "%63s %7s %511s", address, type, name) == 3)
            names.insert(name);
    }
    std::fclose(in);
    const std::set<std::string> expected = {
        "NvOptimusEnablementCuda", "PrivateAPI_Find_Particles", "PrivateAPI_InitializeWithOrvoLocate",
        "kh_track_get_error_message", "kh_track_get_last_error_message", "kh_track_get_lib_version",
        "kh_track_init", "kh_track_link_particles", "kh_track_reset", "kh_track_uninit"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(NvOptimusEnablementCuda, 1);

    // shipped beside the camera SDK: no Qt, no OpenCV, and the CUDA runtime linked in
    const std::string needed = run(std::string("readelf -d -W ") + KH_TRACK_LIBRARY_FILE);
    ASSERT_NE(needed.find("NEEDED"), std::string::npos);
    for (const char* library : {"libQt", "libopencv", "libcudart"})
        EXPECT_EQ(needed.find(library), std::string::npos) << library;
}

TEST(TrackLibrary, CarriesTheKernelsWhenCudaIsBuilt)
{
    const std::string sections = run(std::string("readelf -S -W ") + KH_TRACK_LIBRARY_FILE);
    ASSERT_NE(sections.find(".text"), std::string::npos);
#if defined(KH_TRACK_EXPECT_KERNELS)
    EXPECT_NE(sections.find(".nv_fatbin"), std::string::npos);
#else
    EXPECT_EQ(sections.find(".nv_fatbin"), std::string::npos);
#endif
}

}  // namespace
