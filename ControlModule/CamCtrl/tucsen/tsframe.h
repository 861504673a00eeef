#pragma once
// A frame of the Tucsen camera kept by the program: the driver's 56-byte frame record and a
// buffer of its own (header followed by the pixels) that the record points at.
//
// Frames in the controller's lists are shared as std::shared_ptr<const TsFrame>: once handed
// over they are never written again, so any thread may read them without a lock. Whoever needs
// to change pixels works on a clone().

#include <cstddef>
#include <cstdint>
#include <memory>

#include "frameview.h"
#include "largebuffer.h"
#include "tucam.h"

class TsFrame {
public:
    TsFrame() = default;
    TsFrame(const TsFrame&) = delete;
    TsFrame& operator=(const TsFrame&) = delete;

    // Deep copy of a camera frame record and its buffer. Null when the record holds no frame
    // (no buffer, no pixels, or an image size too small for its width and height).
    static std::shared_ptr<TsFrame> copyOf(const TUCAM_FRAME* record);
    // A frame of the given 16-bit pixels, rows packed at width, no header.
    static std::shared_ptr<TsFrame> fromPixels(int width, int height, const uint16_t* pixels);
    std::shared_ptr<TsFrame> clone() const;

    // Refills this frame from record, reusing the buffer when it is large enough. False (and
    // the frame unchanged) when the record holds no frame.
    bool assign(const TUCAM_FRAME* record);
    // Takes source's record and every byte of its buffer except the pixels, which the caller
    // then writes through view(); the buffer is reused when large enough. False (the frame
    // unchanged) when the memory cannot be had.
    bool assignLayout(const TsFrame& source);

    const TUCAM_FRAME* record() const { return &m_record; }
    TUCAM_FRAME* record() { return &m_record; }
    // The pixels in place. Only the holder of an unshared frame writes through it.
    FrameView view() const { return framerecord::view(&m_record); }
    int width() const { return m_record.usWidth; }
    int height() const { return m_record.usHeight; }
    size_t bytes() const { return size_t(m_record.usHeader) + m_record.uiImgSize; }

private:
    TUCAM_FRAME m_record {};
    LargeBuffer m_buffer;
};

using TsFramePtr = std::shared_ptr<const TsFrame>;
