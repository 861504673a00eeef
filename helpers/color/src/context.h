#pragma once
// The context's private part and the checks every export runs first.

#include "kestrix_helper_color.h"

#include "colorcore.h"
#include "gpu.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace khc {

struct AutoExpWorker {
    const kh_color_context* applied = nullptr;
    std::vector<uint32_t> histogram[3];
    uint32_t level[3] = {0, 0, 0};
};

struct ContextPrivate {
    // Tells a context of this library from stray memory handed in by mistake.
    static constexpr uint32_t kMagic = 0x6B68636Fu;
    uint32_t magic = kMagic;
    std::unique_ptr<kh_color_context> applied;
    std::unique_ptr<LutBlock> luts;
    std::unique_ptr<AutoExpWorker> worker;
    std::atomic<int16_t> runningCamera{-1};
    std::atomic<uint8_t> abortFlag{0};
    bool usableGpu = false;
    std::unique_ptr<CudaContext> gpu;
};

struct FrameSize {
    uint32_t width;
    uint32_t height;
};

// Creates a context; gpuRuntime non-null gives it a GPU context on that runtime.
// Live contexts are registered: every other pointer is refused by validateContext and ignored by
// releaseContext (which returns false for it).
kh_color_context* createContext(CudaRuntime* gpuRuntime);
bool releaseContext(kh_color_context* ctx) noexcept;
void applyChanges(kh_color_context* ctx);

ContextPrivate& validateContext(kh_color_context* ctx);
FrameSize validateRegion(const ContextPrivate& priv, const rgn_type* region);
// True when frame work of this context goes to the GPU.
bool onGpu(const ContextPrivate& priv);
// Top of the output range for the applied settings (alpha channels).
uint32_t outputTop(const kh_color_context& applied);

// Processing with validated arguments.
void debayerFrame(ContextPrivate& priv, const void* raw, const rgn_type& region, FrameSize size, void* color,
                  bool whiteBalance);

} // namespace khc
