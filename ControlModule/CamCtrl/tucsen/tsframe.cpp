#include "tsframe.h"

#include <cstring>

namespace {

// A record describes a frame the program can read: a buffer, and pixel bytes for every pixel.
bool holdsFrame(const TUCAM_FRAME* record)
{
    return record && record->pBuffer && record->usWidth > 0 && record->usHeight > 0
           && uint64_t(record->uiImgSize) >= uint64_t(record->usWidth) * record->usHeight * 2;
}

} // namespace

std::shared_ptr<TsFrame> TsFrame::copyOf(const TUCAM_FRAME* record)
{
    auto frame = std::make_shared<TsFrame>();
    if (!frame->assign(record))
        return nullptr;
    return frame;
}

std::shared_ptr<TsFrame> TsFrame::fromPixels(int width, int height, const uint16_t* pixels)
{
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || !pixels)
        return nullptr;
    TUCAM_FRAME record {};
    record.usWidth = uint16_t(width);
    record.usHeight = uint16_t(height);
    record.uiImgSize = uint32_t(size_t(width) * size_t(height) * 2);
    record.uiWidthStep = uint32_t(width) * 2;
    record.ucDepth = 16;
    record.ucElemBytes = 2;
    record.ucChannels = 1;
    record.pBuffer = reinterpret_cast<uint8_t*>(const_cast<uint16_t*>(pixels));
    return copyOf(&record);
}

std::shared_ptr<TsFrame> TsFrame::clone() const
{
    return copyOf(&m_record);
}

bool TsFrame::assign(const TUCAM_FRAME* record)
{
    if (!holdsFrame(record))
        return false;
    const size_t bytes = size_t(record->usHeader) + record->uiImgSize;
    // No zero fill: every byte is copied below.
    if (!m_buffer.reserve(bytes))
        return false;
    std::memcpy(m_buffer.data(), record->pBuffer, bytes);
    m_record = *record;
    m_record.pBuffer = m_buffer.data();
    return true;
}

bool TsFrame::assignLayout(const TsFrame& source)
{
    const size_t bytes = source.bytes();
    if (!m_buffer.reserve(bytes))
        return false;
    const size_t header = source.m_record.usHeader;
    const size_t pixels = header + source.view().count() * 2;
    std::memcpy(m_buffer.data(), source.m_buffer.data(), header);
    std::memcpy(m_buffer.data() + pixels, source.m_buffer.data() + pixels, bytes - pixels);
    m_record = source.m_record;
    m_record.pBuffer = m_buffer.data();
    return true;
}
