#pragma once
// The colour library's processing core: plain functions on dense frames, called by the export
// layer after validation and directly by the tests and benchmarks.

#include <cstddef>
#include <cstdint>

namespace khc {

// Multiplies sizes, refusing (code 4) a product that size_t cannot hold.
std::size_t checkedMul(std::size_t a, std::size_t b);

// Refuses a format that does not fit its bit depth (codes 4 and 2, in that order of checks).
void checkFormat(int64_t format, unsigned bitDepth);

// Lookup tables: three channels of 65536 entries and the scale each was built with.
struct LutBlock {
    float scale[3];
    uint16_t table[3][65536];
};
void buildTable(LutBlock& luts, int channel, float scale, unsigned bitDepth);
// Replaces every colour sample by its channel's table entry; alpha is left alone.
void applyTables(const LutBlock& luts, void* color, int format, uint32_t width, uint32_t height);

// Debayering into any format. raw holds 16-bit samples for formats 0-1, else 8-bit; pattern is
// the effective pattern of the frame's first pixel (2..5); alpha receives topValue.
void debayerFast(const void* raw, void* color, uint32_t width, uint32_t height, unsigned pattern,
                 int format, uint32_t alpha);
void debayerBilinear(const void* raw, void* color, uint32_t width, uint32_t height, unsigned pattern,
                     int format, uint32_t alpha);

// Converts between any two formats, shifting samples by the bit-depth difference; alphaValue
// feeds the alpha of destinations whose source has none.
void convertFormat(const void* src, int srcFormat, unsigned srcBitDepth, void* dst, int dstFormat,
                   unsigned dstBitDepth, uint32_t width, uint32_t height, uint32_t alphaValue);

} // namespace khc
