#pragma once
// Eight-lane vectors written with the compiler's vector extensions, and the choice of instruction
// set at run time. A kernel body written with them is instantiated in one function per set
// (LANES_AVX2 and the plain build, which splits them into SSE2 halves); wider lanes are written
// with intrinsics under LANES_AVX512. Only used inside function bodies, never passed across calls
// (their ABI differs between targets).

#include <atomic>
#include <cstdint>
#include <cstring>

// The AVX-512 level of the common server and desktop parts (F, BW, VL, DQ); zmm registers are
// asked for explicitly because some tunings stop at 256 bits.
#define LANES_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512dq,fma,prefer-vector-width=512")))
#define LANES_AVX2 __attribute__((target("avx2,fma")))
#define LANES_INLINE inline __attribute__((always_inline))

namespace lanes {

typedef int32_t i8 __attribute__((vector_size(32)));
typedef uint32_t u8 __attribute__((vector_size(32)));
typedef float f8 __attribute__((vector_size(32)));
typedef uint16_t h8 __attribute__((vector_size(16)));

// The lanes of a zmm register, for the conversions the AVX-512 kernels write without intrinsics.
typedef int32_t i32x16 __attribute__((vector_size(64)));
typedef float f32x16 __attribute__((vector_size(64)));

// Widest instruction set a kernel may use, in rising order.
enum class Isa { Plain = 0, Avx2 = 1, Avx512 = 2 };

inline Isa detectedIsa()
{
    static const Isa isa = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
            && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
            return Isa::Avx512;
        if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
            return Isa::Avx2;
        return Isa::Plain;
    }();
    return isa;
}

// Tests lower the cap to run the narrower paths on a machine that has the wider ones.
inline std::atomic<int>& isaCap()
{
    static std::atomic<int> cap{int(Isa::Avx512)};
    return cap;
}

inline Isa activeIsa()
{
    const int detected = int(detectedIsa()), cap = isaCap().load(std::memory_order_relaxed);
    return Isa(detected < cap ? detected : cap);
}

} // namespace lanes

#define LANES_LOAD_U16(dst, src)                                                                   \
    do {                                                                                           \
        lanes::h8 raw_;                                                                            \
        std::memcpy(&raw_, (src), sizeof raw_);                                                    \
        (dst) = __builtin_convertvector(raw_, lanes::i8);                                          \
    } while (0)

#define LANES_STORE_U16(dst, src)                                                                  \
    do {                                                                                           \
        const lanes::h8 raw_ = __builtin_convertvector((src), lanes::h8);                          \
        std::memcpy((dst), &raw_, sizeof raw_);                                                    \
    } while (0)
