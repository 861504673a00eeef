#pragma once
// AVX-512 kernels of the same-depth conversions: one 64-byte permute per sixteen 8-bit pixels or
// per plane of thirty-two 16-bit pixels, with masked loads and stores for the head and tail, so
// a band needs no plain loop. Callers check avx512Enabled() first.

#include "pixelrules.h"

#include <cstddef>
#include <cstdint>

namespace khc {

// 8-bit interleaved layout s to 8-bit interleaved layout d, pixels [first, last). For a
// destination step of 4, `stream` writes whole aligned lines with non-temporal stores and fences.
void shuffle8Avx512(const uint8_t* src, uint8_t* dst, std::size_t first, std::size_t last, const Layout& s,
                    const Layout& d, uint8_t constAlpha, bool stream);

// 16-bit interleaved RGB to three planes of `plane` samples, pixels [first, last). `stream` as
// above; it needs planes of whole 64-byte lines and uses ordinary stores otherwise.
void splitPlanes16Avx512(const uint16_t* src, uint16_t* dst, std::size_t plane, std::size_t first,
                         std::size_t last, bool stream);

} // namespace khc
