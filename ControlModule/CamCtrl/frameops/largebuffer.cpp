#include "largebuffer.h"

#include <new>
#include <utility>

#include <sys/mman.h>

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
// Below this a buffer comes from the heap: a huge page would mostly go unused.
constexpr size_t kMapFrom = size_t(1) << 20;

size_t roundUp(size_t n, size_t to)
{
    return (n + to - 1) / to * to;
}

} // namespace

LargeBuffer::~LargeBuffer()
{
    release();
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_capacity(std::exchange(other.m_capacity, 0))
    , m_mapped(std::exchange(other.m_mapped, 0))
{
}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_mapped = std::exchange(other.m_mapped, 0);
    }
    return *this;
}

bool LargeBuffer::reserve(size_t bytes)
{
    if (bytes <= m_capacity)
        return true;
    if (bytes < kMapFrom) {
        auto* p = new (std::nothrow) uint8_t[bytes];
        if (!p)
            return false;
        release();
        m_data = p;
        m_capacity = bytes;
        return true;
    }
    // Map one huge page more than needed and give back the unaligned ends, so that the kernel
    // can back every 2 MiB of the buffer with one page.
    const size_t size = roundUp(bytes, kHugePage);
    void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return false;
    auto* begin = static_cast<uint8_t*>(raw);
    auto* aligned = reinterpret_cast<uint8_t*>(roundUp(reinterpret_cast<uintptr_t>(begin), kHugePage));
    if (aligned > begin)
        ::munmap(begin, size_t(aligned - begin));
    const size_t tail = size_t(begin + size + kHugePage - (aligned + size));
    if (tail > 0)
        ::munmap(aligned + size, tail);
    // Only a hint: without transparent huge pages the buffer works with small pages.
    ::madvise(aligned, size, MADV_HUGEPAGE);
    release();
    m_data = aligned;
    m_capacity = size;
    m_mapped = size;
    return true;
}

cv::Mat LargeBuffer::mat(int rows, int cols, int type)
{
    if (rows <= 0 || cols <= 0)
        return cv::Mat();
    const size_t bytes = size_t(rows) * size_t(cols) * CV_ELEM_SIZE(type);
    if (!reserve(bytes))
        return cv::Mat();
    return cv::Mat(rows, cols, type, m_data);
}

void LargeBuffer::release()
{
    if (m_mapped)
        ::munmap(m_data, m_mapped);
    else
        delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_mapped = 0;
}
