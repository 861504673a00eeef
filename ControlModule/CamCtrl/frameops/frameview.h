#pragma once
// A 16-bit monochrome frame seen in place: the camera buffer (or any other) without a copy.
// Rows are packed at width pixels; the camera's row step is never used.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <opencv2/core.hpp>

struct FrameView {
    uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;

    size_t count() const
    {
        return (pixels && width > 0 && height > 0) ? size_t(width) * size_t(height) : 0;
    }
    bool empty() const { return count() == 0; }
    // A matrix over the same pixels; writing to it writes the frame.
    cv::Mat mat() const { return empty() ? cv::Mat() : cv::Mat(height, width, CV_16UC1, pixels); }

    static FrameView of(cv::Mat& m)
    {
        if (m.empty() || m.type() != CV_16UC1 || !m.isContinuous())
            return {};
        return {m.ptr<uint16_t>(), m.cols, m.rows};
    }
};

// The camera's 56-byte frame record: the fields the program relies on, read at their offsets.
namespace framerecord {
constexpr size_t kSize = 56;
constexpr size_t kHeaderSizeAt = 8;
constexpr size_t kWidthAt = 12;
constexpr size_t kHeightAt = 14;
constexpr size_t kImageSizeAt = 32;
constexpr size_t kBufferAt = 48;

inline uint16_t u16(const void* record, size_t at)
{
    uint16_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(record) + at, sizeof v);
    return v;
}
inline uint32_t u32(const void* record, size_t at)
{
    uint32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(record) + at, sizeof v);
    return v;
}
inline uint8_t* buffer(const void* record)
{
    uint8_t* p;
    std::memcpy(&p, static_cast<const uint8_t*>(record) + kBufferAt, sizeof p);
    return p;
}
// The frame's pixels (buffer + header size) as a view; empty for a null record or buffer.
inline FrameView view(const void* record)
{
    if (!record || !buffer(record))
        return {};
    return {reinterpret_cast<uint16_t*>(buffer(record) + u16(record, kHeaderSizeAt)),
            u16(record, kWidthAt), u16(record, kHeightAt)};
}
} // namespace framerecord
