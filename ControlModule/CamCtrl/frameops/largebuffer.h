#pragma once
// Memory for whole frames and their working copies. A frame-sized buffer from the ordinary heap
// is faulted in one 4 KiB page at a time the first time it is written, which costs more than
// the work done on it (tens of milliseconds for one camera frame on a virtual machine). These
// buffers are mapped on 2 MiB boundaries and asked for transparent huge pages, so a fresh one
// costs a few faults, and they are meant to be kept and refilled rather than freed per frame.

#include <cstddef>
#include <cstdint>

#include <opencv2/core.hpp>

class LargeBuffer {
public:
    LargeBuffer() = default;
    explicit LargeBuffer(size_t bytes) { reserve(bytes); }
    ~LargeBuffer();
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;

    // At least bytes of storage; the contents are kept only when nothing had to be mapped anew.
    // False (the old storage kept) when the memory cannot be had.
    bool reserve(size_t bytes);
    uint8_t* data() const { return m_data; }
    size_t capacity() const { return m_capacity; }

    // A matrix header over the storage (grown as needed); empty when the memory cannot be had.
    cv::Mat mat(int rows, int cols, int type);

private:
    void release();

    uint8_t* m_data = nullptr;
    size_t m_capacity = 0;
    size_t m_mapped = 0; // 0: taken from the heap
};
