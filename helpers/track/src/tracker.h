#pragma once

#include "gputracker.h"
#include "hostbuffer.h"
#include "imageanalysis.h"
#include "kestrix_helper_track.h"
#include "trajectorylinking.h"

#include <cstdint>
#include <memory>

namespace kh {

// Everything one context owns: the CPU locator and linker, or the GPU tracker.
class Tracker {
public:
    // The event index is 16-bit.
    static constexpr int32_t kMaxCapacity = 32767;

    // Linking only: gaps = maxFramesToLink - 1.
    static std::unique_ptr<Tracker> createLinking(int32_t maxFramesToLink, int64_t radius,
                                                  bool cpuOnly, int32_t capacity);
    // Locating and linking: gaps = maxFramesToLink.
    static std::unique_ptr<Tracker> createLocating(int32_t maxFramesToLink, int64_t radius,
                                                   bool cpuOnly, int32_t capacity,
                                                   int32_t backgroundFrames, double thresholdFactor,
                                                   int32_t width, int32_t height);
    ~Tracker();

    int32_t findParticles(const uint16_t* frame, kh_track_event** events);
    int32_t linkParticles(const kh_track_event* events, int32_t count, kh_track_particle* out);
    void reset();
    // Frees the device memory first so that its failure can be reported; host memory
    // goes with the object.
    void releaseDevice();

    // Wraps a given GPU tracker (tests stand a fake in for the device).
    static std::unique_ptr<Tracker> createWithGpu(std::unique_ptr<GpuTracker> gpu, int32_t capacity);

    bool onGpu() const { return m_gpu != nullptr; }
    bool locating() const { return m_width > 0; }

private:
    Tracker() = default;

    std::unique_ptr<ImageAnalysis> m_locator;
    std::unique_ptr<TrajectoryLinking> m_linker;
    std::unique_ptr<GpuTracker> m_gpu;
    HostBuffer<kh_track_event> m_events;
    int32_t m_capacity = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

}  // namespace kh

// The handle clients hold: the magic first, by which every call recognises a valid context.
struct kh_track_context {
    static constexpr uint32_t kMagic = 0xDBDBDBDBu;
    uint32_t magic;
    kh::Tracker* tracker;
};

namespace kh {

// Live contexts are registered: a context pointer that is not (released already, or never
// made here) is refused before anything reads it.
kh_track_context* newContext(std::unique_ptr<Tracker> tracker);
bool isLiveContext(const kh_track_context* ctx);

// Frees everything the context owns, clears *pContext and returns 0; whatever the device
// release throws, host memory is still freed, the handle still cleared, and the result is 1
// with the text as last error. A null *pContext is a no-op.
int32_t uninitContext(kh_track_context** pContext) noexcept;

}  // namespace kh
