// The exported C functions: argument checks in the documented order, then the tracker.
// No exception leaves this file.
#include "kestrix_helper_track.h"

#include "tracker.h"

#include "kh/exception.h"
#include "kh/lasterror.h"

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

using kh::Tracker;

namespace {

constexpr uint16_t kVersionMajor = 1;
constexpr uint16_t kVersionMinor = 2;
constexpr uint16_t kVersionBuild = 62;

// Initialisation failures carry a second line saying where they happened.
template <class Body>
void initialization(Body&& body)
{
    static const std::string suffix = "\nError occurred during initialization.";
    try {
        body();
    } catch (const kh::Exception& e) {
        throw kh::withSuffix(e, suffix);
    } catch (const std::bad_alloc&) {
        throw kh::ExceptionOutOfMemory("Insufficient system resources" + suffix);
    } catch (const std::exception& e) {
        throw std::runtime_error(e.what() + suffix);
    }
}

kh::Tracker& trackerOf(kh_track_context* ctx)
{
    if (!ctx)
        throw kh::ExceptionArgument("Context not yet initialized.");
    if (!kh::isLiveContext(ctx) || ctx->magic != kh_track_context::kMagic)
        throw kh::ExceptionArgument("Not a valid context or corrupted memory.");
    return *ctx->tracker;
}

void checkFramesToLink(uint32_t maxFramesToLink)
{
    if (maxFramesToLink < 2 || maxFramesToLink > 10)
        throw kh::ExceptionArgumentOutOfRange("maxFramesToLink must be between 2 and 10.");
}

void checkCapacity(int32_t capacity, const char* name)
{
    if (capacity < 1 || capacity > Tracker::kMaxCapacity)
        throw kh::ExceptionArgumentOutOfRange(std::string(name) + " must be between 1 and 32767.");
}

}  // namespace

extern "C" {

KH_TRACK_API int32_t NvOptimusEnablementCuda = 1;

KH_TRACK_API int32_t kh_track_get_lib_version(uint16_t* major, uint16_t* minor, uint16_t* build)
{
    return kh::writeVersion(major, minor, build, kVersionMajor, kVersionMinor, kVersionBuild);
}

KH_TRACK_API int32_t kh_track_get_last_error_message(char* buffer, uint32_t* inOutLength)
{
    // "No error" is what a thread that was running before the library was loaded reads.
    return kh::copyLastError(buffer, inOutLength, "No error", kh::CodeTrackBufferTooSmall);
}

KH_TRACK_API const char* kh_track_get_error_message(int32_t code)
{
    return kh::trackErrorMessage(code);
}

KH_TRACK_API int32_t kh_track_init(kh_track_context** pContext, uint16_t maxFramesToLink,
                                   uint16_t maxDistancePerFrame, uint16_t cpuOnly,
                                   int32_t maxParticles, int32_t* pMaxOutputParticles)
{
    return kh::exportFrame([&] {
        initialization([&] {
            if (!pContext)
                throw kh::ExceptionArgumentNull(
                    "Must provide a valid pointer to a location for new context. pContext was null.");
            checkFramesToLink(maxFramesToLink);
            if (!pMaxOutputParticles)
                throw kh::ExceptionArgumentNull("Must provide a valid pointer for max. particles count. "
                                                "pMaxOutputParticles was null.");
            checkCapacity(maxParticles, "maxParticles");
            std::unique_ptr<Tracker> tracker =
                Tracker::createLinking(maxFramesToLink, maxDistancePerFrame, cpuOnly != 0, maxParticles);
            *pContext = kh::newContext(std::move(tracker));
            *pMaxOutputParticles = maxParticles;
        });
    });
}

KH_TRACK_API int32_t PrivateAPI_InitializeWithOrvoLocate(
    kh_track_context** pContext, uint32_t maxFramesToLink, int32_t maxDistancePerFrame,
    int16_t cpuOnly, int32_t maxTrajectories, int32_t* pMaxTrajectoriesOutput,
    int32_t locateParam1, double locateParam2, int32_t width, int32_t height)
{
    return kh::exportFrame([&] {
        initialization([&] {
            if (!pContext)
                throw kh::ExceptionArgumentNull(
                    "Must provide a valid pointer to a location for new context. pContext was null.");
            checkFramesToLink(maxFramesToLink);
            if (!pMaxTrajectoriesOutput)
                throw kh::ExceptionArgumentNull("Must provide a valid pointer for max. particles count. "
                                                "pMaxTrajectoriesOutput was null.");
            checkCapacity(maxTrajectories, "maxTrajectories");
            if (maxDistancePerFrame < 0)
                throw kh::ExceptionArgumentOutOfRange("maxDistancePerFrame must not be negative.");
            if (width < 1 || height < 1)
                throw kh::ExceptionArgumentOutOfRange("width and height must be at least 1.");
            if (locateParam1 < 0)
                throw kh::ExceptionArgumentOutOfRange("locateParam1 must not be negative.");
            if (!std::isfinite(locateParam2) || locateParam2 < 0.0 || locateParam2 > 65535.0)
                throw kh::ExceptionArgumentOutOfRange("locateParam2 must be between 0 and 65535.");
            std::unique_ptr<Tracker> tracker = Tracker::createLocating(
                static_cast<int32_t>(maxFramesToLink), maxDistancePerFrame, cpuOnly != 0,
                maxTrajectories, locateParam1, locateParam2, width, height);
            *pContext = kh::newContext(std::move(tracker));
            *pMaxTrajectoriesOutput = maxTrajectories;
        });
    });
}

KH_TRACK_API int32_t PrivateAPI_Find_Particles(kh_track_context* ctx, const uint16_t* pFrame,
                                               kh_track_event** ppParticles,
                                               int32_t* pParticleCount)
{
    return kh::exportFrame([&] {
        if (!pFrame)
            throw kh::ExceptionArgumentNull(
                "Must provide a valid pointer to raw frame data. pFrame was null.");
        if (!ppParticles)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to an array to receive "
                                            "particle events. ppParticles was null.");
        if (!pParticleCount)
            throw kh::ExceptionArgumentNull(
                "Must provide a valid pointer for particle event count. pParticleCount was null.");
        Tracker& tracker = trackerOf(ctx);
        kh_track_event* events = nullptr;
        const int32_t count = tracker.findParticles(pFrame, &events);
        *ppParticles = events;
        *pParticleCount = count;
    });
}

KH_TRACK_API int32_t kh_track_link_particles(kh_track_context* ctx, const kh_track_event* pEvents,
                                             int32_t count, kh_track_particle* pParticles,
                                             int32_t* pParticlesCount)
{
    return kh::exportFrame([&] {
        Tracker& tracker = trackerOf(ctx);
        if (!pEvents)
            throw kh::ExceptionArgumentNull(
                "Must provide a valid pointer to input particle event array. pEvents was null.");
        if (!pParticles)
            throw kh::ExceptionArgumentNull(
                "Must provide a valid pointer to output particle array. pParticles was null.");
        if (!pParticlesCount)
            throw kh::ExceptionArgumentNull(
                "Must provide a valid pointer for particle count. pParticlesCount was null.");
        *pParticlesCount = tracker.linkParticles(pEvents, count, pParticles);
    });
}

KH_TRACK_API int32_t kh_track_reset(kh_track_context* ctx)
{
    return kh::exportFrame([&] { trackerOf(ctx).reset(); });
}

KH_TRACK_API int32_t kh_track_uninit(kh_track_context** pContext)
{
    return kh::uninitContext(pContext);
}

}  // extern "C"
