#pragma once

#include "kh/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kh {

// Owned, 64-byte aligned host storage of n elements. Allocation happens at set-up only;
// failures (and sizes whose byte count would overflow) raise code 13.
template <typename T>
class HostBuffer {
public:
    HostBuffer() = default;
    explicit HostBuffer(std::size_t n) { allocate(n); }

    void allocate(std::size_t n)
    {
        if (n == m_size && m_data)
            return;
        constexpr std::size_t kAlign = 64;
        if (n > (SIZE_MAX - kAlign) / sizeof(T))
            throw ExceptionOutOfMemory("Insufficient system resources");
        const std::size_t bytes = ((n * sizeof(T) + kAlign - 1) / kAlign) * kAlign;
        void* p = std::aligned_alloc(kAlign, bytes == 0 ? kAlign : bytes);
        if (!p)
            throw ExceptionOutOfMemory("Insufficient system resources");
        m_data.reset(static_cast<T*>(p));
        m_size = n;
    }

    void fill(T value)
    {
        for (std::size_t i = 0; i < m_size; ++i)
            m_data.get()[i] = value;
    }
    void zero() { std::memset(static_cast<void*>(m_data.get()), 0, m_size * sizeof(T)); }

    T* data() { return m_data.get(); }
    const T* data() const { return m_data.get(); }
    T& operator[](std::size_t i) { return m_data.get()[i]; }
    const T& operator[](std::size_t i) const { return m_data.get()[i]; }
    std::size_t size() const { return m_size; }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T, Free> m_data;
    std::size_t m_size = 0;
};

}  // namespace kh
