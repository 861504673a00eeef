#include "tracker.h"

#include "gpudetect.h"
#include "hostmemory.h"
#include "locaterules.h"

#include "kh/lasterror.h"
#include "kh/registry.h"

#include <stdexcept>
#include <string>

namespace kh {

namespace {

ContextRegistry& liveContexts()
{
    static ContextRegistry registry;
    return registry;
}

}  // namespace

std::unique_ptr<Tracker> Tracker::createLinking(int32_t maxFramesToLink, int64_t radius,
                                                bool cpuOnly, int32_t capacity)
{
    std::unique_ptr<Tracker> t(new Tracker);
    t->m_capacity = capacity;
    const int32_t gaps = maxFramesToLink - 1;
    if (hasUsableGpu() && !cpuOnly) {
        GpuSetup setup;
        setup.capacity = capacity;
        setup.gaps = gaps;
        setup.radius = radius;
        t->m_gpu = createGpuTracker(setup);
    } else {
        t->m_linker = std::make_unique<TrajectoryLinking>(capacity, gaps, radius);
    }
    return t;
}

std::unique_ptr<Tracker> Tracker::createLocating(int32_t maxFramesToLink, int64_t radius,
                                                 bool cpuOnly, int32_t capacity,
                                                 int32_t backgroundFrames, double thresholdFactor,
                                                 int32_t width, int32_t height)
{
    // Every host buffer is filled as it is made: a frame size that cannot be held must fail
    // here, before gigabytes are touched (or the process is killed for them).
    const bool gpu = hasUsableGpu() && !cpuOnly;
    std::size_t bytes = saturatingMul(static_cast<std::size_t>(capacity), sizeof(kh_track_event));
    if (!gpu) {
        bytes = saturatingAdd(bytes, ImageAnalysis::hostBytes(width, height));
        bytes = saturatingAdd(bytes, TrajectoryLinking::hostBytes(capacity, maxFramesToLink));
    }
    checkHostMemory(bytes, hostMemoryBudget());

    std::unique_ptr<Tracker> t(new Tracker);
    t->m_capacity = capacity;
    t->m_width = width;
    t->m_height = height;
    t->m_events.allocate(static_cast<std::size_t>(capacity));
    t->m_events.zero();
    if (gpu) {
        GpuSetup setup;
        setup.capacity = capacity;
        setup.gaps = maxFramesToLink;
        setup.radius = radius;
        setup.locating = true;
        setup.width = width;
        setup.height = height;
        setup.backgroundFrames = backgroundFrames;
        setup.thresholdFactor = static_cast<float>(thresholdFactor);
        t->m_gpu = createGpuTracker(setup);
    } else {
        // the CPU keeps its own background count and threshold factor
        t->m_locator = std::make_unique<ImageAnalysis>(width, height, capacity,
                                                       locate::kCpuBackgroundFrames, 1.0);
        t->m_linker = std::make_unique<TrajectoryLinking>(capacity, maxFramesToLink, radius);
    }
    return t;
}

std::unique_ptr<Tracker> Tracker::createWithGpu(std::unique_ptr<GpuTracker> gpu, int32_t capacity)
{
    std::unique_ptr<Tracker> t(new Tracker);
    t->m_capacity = capacity;
    t->m_gpu = std::move(gpu);
    return t;
}

Tracker::~Tracker() = default;

int32_t Tracker::findParticles(const uint16_t* frame, kh_track_event** events)
{
    if (!locating())
        throw ExceptionNotSupported(
            "Context was created without a frame size: use PrivateAPI_InitializeWithOrvoLocate to "
            "locate particles.",
            CodeNotSupported);
    const int32_t count = m_gpu ? m_gpu->findParticles(frame, m_events.data())
                                : m_locator->findParticles(frame, m_events.data());
    *events = m_events.data();
    return count;
}

int32_t Tracker::linkParticles(const kh_track_event* events, int32_t count, kh_track_particle* out)
{
    if (!m_gpu)
        return m_linker->linkParticles(events, count, out);
    return m_gpu->linkParticles(events, count, out);
}

void Tracker::reset()
{
    if (m_gpu)
        m_gpu->reset();
    else
        m_linker->reset();
}

void Tracker::releaseDevice()
{
    if (m_gpu) {
        std::unique_ptr<GpuTracker> gpu = std::move(m_gpu);
        gpu->release();
    }
}

kh_track_context* newContext(std::unique_ptr<Tracker> tracker)
{
    kh_track_context* ctx = new kh_track_context{kh_track_context::kMagic, tracker.get()};
    tracker.release();
    liveContexts().add(ctx);
    return ctx;
}

bool isLiveContext(const kh_track_context* ctx) { return liveContexts().contains(ctx); }

int32_t uninitContext(kh_track_context** pContext) noexcept
{
    return exportFrame([&] {
        if (!pContext)
            throw ExceptionArgumentNull(
                "Must provide a valid pointer to a location with valid context. pContext was null.");
        kh_track_context* ctx = *pContext;
        if (!ctx)
            return;
        const char* invalid = "Not a valid context or corrupted memory in call to kh_track_uninit.";
        if (!isLiveContext(ctx) || ctx->magic != kh_track_context::kMagic)
            throw ExceptionArgument(invalid);
        // whoever takes it out of the registry frees it, once
        if (!liveContexts().remove(ctx))
            throw ExceptionArgument(invalid);
        std::string failure;
        try {
            ctx->tracker->releaseDevice();
        } catch (const std::exception& e) {
            failure = e.what();
        } catch (...) {
            failure = "Unknown exception";
        }
        delete ctx->tracker;
        ctx->magic = 0;
        delete ctx;
        *pContext = nullptr;
        if (!failure.empty())
            throw std::runtime_error(failure);
    });
}

}  // namespace kh
