#pragma once
// Run-time choices of the CPU loops: AVX2 and AVX-512 kernels where the processor has them, and
// stores that bypass the cache for outputs too large to stay there.

#include <cstddef>
#include <cstdint>

namespace khc {

bool avx2Enabled();
// Tests switch the AVX2 kernels off to cover the plain loops; switching on never enables them on
// a processor without AVX2.
void setAvx2Enabled(bool on);

// AVX-512 kernels (foundation, byte and word ops, byte permutes) where the processor has them.
// Tests and benchmarks switch them off to cover and measure the AVX2 ones; as above, switching
// on never enables them on a processor without them.
bool avx512Enabled();
void setAvx512Enabled(bool on);

// Outputs of at least this many bytes are written with non-temporal stores: they would only push
// the input out of the cache, and skipping the line reads saves a third of the memory traffic.
std::size_t streamThreshold();
void setStreamThreshold(std::size_t bytes);

// Orders a band's non-temporal stores before it reports done, so the caller sees the data.
void streamFence();

// First pixel at or after p whose destination starts on a `boundary`-byte line (the streaming
// stores' width), or `last` when the pixel size never meets one.
inline std::size_t alignedPixel(const void* dst, std::size_t p, std::size_t last, std::size_t pixelBytes,
                                std::size_t boundary)
{
    const uintptr_t at = reinterpret_cast<uintptr_t>(dst) + p * pixelBytes;
    for (std::size_t k = 0; k < boundary && p + k < last; ++k)
        if ((at + k * pixelBytes) % boundary == 0)
            return p + k;
    return last;
}

} // namespace khc
