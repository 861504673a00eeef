#pragma once
// Compile-time view of a colour format for the CPU loops, so that offsets and steps are
// constants the compiler can vectorise with.

#include "pixelrules.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace khc {

template <int F>
struct Format {
    static constexpr Layout L = formatLayout(F);
    using T = std::conditional_t<L.wide, uint16_t, uint8_t>;
    static constexpr bool planar = L.planar;
    static constexpr bool hasAlpha = L.a >= 0;
    static constexpr std::size_t step = L.step;
    static constexpr int off[4] = {L.r, L.g, L.b, L.a};

    // Pointer to channel c of pixel p (p counted over the whole frame).
    static T* at(T* base, std::size_t plane, std::size_t p, int c)
    {
        return planar ? base + std::size_t(off[c]) * plane + p : base + p * step + std::size_t(off[c]);
    }
    static const T* at(const T* base, std::size_t plane, std::size_t p, int c)
    {
        return planar ? base + std::size_t(off[c]) * plane + p : base + p * step + std::size_t(off[c]);
    }
};

// Bytes of a width x height frame in format F.
template <int F>
std::size_t frameBytes(std::size_t width, std::size_t height)
{
    using Fm = Format<F>;
    return width * height * (Fm::planar ? 3 : Fm::step) * sizeof(typename Fm::T);
}

// Calls fn(std::integral_constant<int, F>{}) for a runtime format 0..7.
template <class Fn>
void withFormat(int format, Fn&& fn)
{
    switch (format) {
    case 0: fn(std::integral_constant<int, 0>{}); break;
    case 1: fn(std::integral_constant<int, 1>{}); break;
    case 2: fn(std::integral_constant<int, 2>{}); break;
    case 3: fn(std::integral_constant<int, 3>{}); break;
    case 4: fn(std::integral_constant<int, 4>{}); break;
    case 5: fn(std::integral_constant<int, 5>{}); break;
    case 6: fn(std::integral_constant<int, 6>{}); break;
    case 7: fn(std::integral_constant<int, 7>{}); break;
    default: break;
    }
}

#define KH_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

} // namespace khc
