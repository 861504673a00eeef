#pragma once

#include "kestrix_helper_track.h"

#include <cstdint>
#include <memory>

namespace kh {

struct GpuSetup {
    int32_t capacity = 0;
    int32_t gaps = 1;
    int64_t radius = 0;
    bool locating = false;
    int32_t width = 0;
    int32_t height = 0;
    int32_t backgroundFrames = 0;  // 0: no background, a constant threshold
    float thresholdFactor = 1.0f;
};

// Location and linking on the CUDA device; same results as the CPU path.
class GpuTracker {
public:
    virtual ~GpuTracker() = default;
    virtual int32_t findParticles(const uint16_t* frame, kh_track_event* events) = 0;
    // The history shifts here, once per linked frame, whether or not the events were located
    // on the device: a frame located twice is still one frame of history.
    virtual int32_t linkParticles(const kh_track_event* events, int32_t count,
                                  kh_track_particle* out) = 0;
    virtual void reset() = 0;
    // Frees the device memory; raises the CUDA error text on failure.
    virtual void release() = 0;
};

// Only called when a usable GPU was detected; refuses with code 11 when built without CUDA.
std::unique_ptr<GpuTracker> createGpuTracker(const GpuSetup& setup);

}  // namespace kh
