#include "simd.h"

#include <atomic>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KH_HAVE_X86 1
#endif

namespace khc {

namespace {

bool cpuHasAvx2()
{
#if defined(KH_HAVE_X86)
    // Called from a static initialiser, possibly before the feature table is filled.
    __builtin_cpu_init();
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

bool cpuHasAvx512()
{
#if defined(KH_HAVE_X86)
    __builtin_cpu_init();
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return has;
#else
    return false;
#endif
}

std::atomic<bool> g_avx2{cpuHasAvx2()};
std::atomic<bool> g_avx512{cpuHasAvx512()};
// Measured from 16 MB up, streaming was faster or even at one thread and at eight; smaller
// outputs may still be in cache when the caller reads them.
std::atomic<std::size_t> g_streamBytes{std::size_t(16) << 20};

} // namespace

bool avx2Enabled() { return g_avx2.load(std::memory_order_relaxed); }
void setAvx2Enabled(bool on) { g_avx2.store(on && cpuHasAvx2()); }

bool avx512Enabled() { return g_avx512.load(std::memory_order_relaxed); }
void setAvx512Enabled(bool on) { g_avx512.store(on && cpuHasAvx512()); }

std::size_t streamThreshold() { return g_streamBytes.load(std::memory_order_relaxed); }
void setStreamThreshold(std::size_t bytes) { g_streamBytes.store(bytes); }

void streamFence()
{
#if defined(KH_HAVE_X86)
    _mm_sfence();
#endif
}

} // namespace khc
