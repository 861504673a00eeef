#pragma once
// Runs a check once per vector path this machine can take, from the plain build up to the widest.

#include <vector>

#include <gtest/gtest.h>

#include "simdlanes.h"

// Caps the kernels' instruction set for the scope.
class VectorPath {
public:
    explicit VectorPath(lanes::Isa isa)
        : m_old(lanes::isaCap().exchange(int(isa)))
        , m_trace(__FILE__, __LINE__, name(isa))
    {
    }
    ~VectorPath() { lanes::isaCap().store(m_old); }
    VectorPath(const VectorPath&) = delete;
    VectorPath& operator=(const VectorPath&) = delete;

    static const char* name(lanes::Isa isa)
    {
        switch (isa) {
        case lanes::Isa::Avx512: return "AVX-512 path";
        case lanes::Isa::Avx2: return "AVX2 path";
        case lanes::Isa::Plain: break;
        }
        return "plain path";
    }

private:
    int m_old;
    ::testing::ScopedTrace m_trace;
};

inline std::vector<lanes::Isa> vectorPaths()
{
    std::vector<lanes::Isa> out;
    for (int i = 0; i <= int(lanes::detectedIsa()); ++i)
        out.push_back(lanes::Isa(i));
    return out;
}
