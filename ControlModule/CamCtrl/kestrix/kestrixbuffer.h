#pragma once
// Memory an acquisition thread hands to kestrix64 for its frames. Allocated without throwing (a
// failed allocation is an empty buffer the thread reports), released exactly once by its owner,
// and counted, so that a test sees a buffer left behind by any way out of a run.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

class KestrixBuffer {
public:
    KestrixBuffer() = default;
    explicit KestrixBuffer(size_t bytes)
        : m_data(bytes ? new (std::nothrow) uint8_t[bytes] : nullptr)
        , m_size(m_data ? bytes : 0)
    {
        if (m_data)
            ++s_live;
    }
    ~KestrixBuffer() { reset(); }
    KestrixBuffer(KestrixBuffer&& other) noexcept
        : m_data(std::move(other.m_data))
        , m_size(other.m_size)
    {
        other.m_size = 0;
    }
    KestrixBuffer& operator=(KestrixBuffer&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_data = std::move(other.m_data);
            m_size = other.m_size;
            other.m_size = 0;
        }
        return *this;
    }
    KestrixBuffer(const KestrixBuffer&) = delete;
    KestrixBuffer& operator=(const KestrixBuffer&) = delete;

    uint8_t* data() const { return m_data.get(); }
    size_t size() const { return m_size; }
    explicit operator bool() const { return m_data != nullptr; }
    void reset()
    {
        if (m_data) {
            m_data.reset();
            m_size = 0;
            --s_live;
        }
    }

    // Leaves the memory to a camera that could not be stopped: it may still write there, so it is
    // never freed (and stays counted).
    void abandon()
    {
        (void)m_data.release();
        m_size = 0;
    }

    // Buffers allocated and not yet released, over the process.
    static int live() { return s_live.load(); }

private:
    std::unique_ptr<uint8_t[]> m_data;
    size_t m_size = 0;
    static inline std::atomic<int> s_live{0};
};
