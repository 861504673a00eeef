#include "tiffencoder.h"

#include <algorithm>

namespace {

enum Type : uint16_t { Short = 3, Long = 4, Rational = 5 };

// Strips of about 8 KiB, at least one row each.
constexpr uint32_t kStripBytes = 8192;
constexpr uint32_t kDpi = 600;

struct Entry {
    uint16_t tag;
    Type type;
    std::vector<uint32_t> values; // one per item; a rational is numerator, denominator
};

uint32_t itemBytes(Type t)
{
    return t == Short ? 2 : t == Long ? 4 : 8;
}

uint32_t count(const Entry& e)
{
    return uint32_t(e.type == Rational ? e.values.size() / 2 : e.values.size());
}

uint32_t bytesOf(const Entry& e)
{
    return count(e) * itemBytes(e.type);
}

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putValues(std::vector<uint8_t>& out, const Entry& e)
{
    for (uint32_t v : e.values)
        e.type == Short ? put16(out, v) : put32(out, v);
}

Type shortOrLong(uint32_t largest)
{
    return largest <= 0xFFFF ? Short : Long;
}

} // namespace

TiffFrame tiffFrame(int width, int height, int samples, int bits)
{
    const uint32_t w = uint32_t(width), h = uint32_t(height), spp = uint32_t(samples);
    const uint32_t rowBytes = w * spp * uint32_t(bits) / 8;
    const uint32_t pixelBytes = rowBytes * h;
    const uint32_t rowsPerStrip = std::max(1u, std::min(h, kStripBytes / rowBytes));
    const uint32_t strips = (h + rowsPerStrip - 1) / rowsPerStrip;
    std::vector<uint32_t> offsets(strips), sizes(strips);
    for (uint32_t s = 0; s < strips; ++s) {
        offsets[s] = 8 + s * rowsPerStrip * rowBytes;
        sizes[s] = std::min(rowsPerStrip, h - s * rowsPerStrip) * rowBytes;
    }
    auto each = [&](uint32_t v) { return std::vector<uint32_t>(spp, v); };

    std::vector<Entry> entries = {
        {256, shortOrLong(w), {w}},
        {257, shortOrLong(h), {h}},
        {258, Short, each(uint32_t(bits))},
        {259, Short, {1}},                      // no compression
        {262, Short, {spp == 1 ? 1u : 2u}},     // black is zero, or RGB
        {273, Long, offsets},
        {277, Short, {spp}},
        {278, shortOrLong(rowsPerStrip), {rowsPerStrip}},
        {279, strips == 1 ? Long : shortOrLong(*std::max_element(sizes.begin(), sizes.end())), sizes},
        {282, Rational, {kDpi, 1}},
        {283, Rational, {kDpi, 1}},
        {284, Short, {1}},                      // samples interleaved
        {296, Short, {2}},                      // inch
        {339, Short, each(1)},                  // unsigned integers
    };

    TiffFrame out;
    // The directory starts on a word boundary after the pixels.
    const uint32_t pad = pixelBytes % 2;
    const uint32_t directoryAt = 8 + pixelBytes + pad;
    out.head = {'I', 'I', 42, 0, uint8_t(directoryAt), uint8_t(directoryAt >> 8), uint8_t(directoryAt >> 16),
                uint8_t(directoryAt >> 24)};

    // Arrays that do not fit in an entry follow the directory, in the order the library that
    // wrote the earlier pictures put them: resolutions, bits, strip sizes, strip offsets, formats.
    const uint16_t arrayOrder[] = {282, 283, 258, 279, 273, 339};
    const uint32_t directoryBytes = 2 + uint32_t(entries.size()) * 12 + 4;
    uint32_t next = directoryAt + directoryBytes;
    std::vector<uint32_t> placedAt(entries.size(), 0);
    for (uint16_t tag : arrayOrder) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].tag == tag && bytesOf(entries[i]) > 4) {
                placedAt[i] = next;
                next += bytesOf(entries[i]);
            }
        }
    }

    std::vector<uint8_t>& t = out.tail;
    t.reserve(pad + (next - directoryAt));
    if (pad)
        t.push_back(0);
    put16(t, uint32_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        put16(t, e.tag);
        put16(t, e.type);
        put32(t, count(e));
        if (bytesOf(e) > 4) {
            put32(t, placedAt[i]);
        } else {
            const size_t at = t.size();
            putValues(t, e);
            t.resize(at + 4, 0);
        }
    }
    put32(t, 0); // no further directory
    for (uint16_t tag : arrayOrder) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].tag == tag && placedAt[i])
                putValues(t, entries[i]);
        }
    }
    return out;
}
