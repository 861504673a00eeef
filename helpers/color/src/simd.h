#pragma once
// Run-time choices of the CPU loops: AVX2 and AVX-512 kernels where the processor has them, and
// stores that bypass the cache for outputs too large to stay there.

#include <cstddef>

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

} // namespace khc
