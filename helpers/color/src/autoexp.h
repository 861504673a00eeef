#pragma once
// Auto-exposure against a kestrix64 camera and auto white balance from a colour frame.

#include "context.h"

namespace khc {

void autoExposure(ContextPrivate& priv, int16_t hcam, const rgn_type& region, FrameSize size, uint16_t* raw,
                  uint16_t* color, uint32_t* foundExposureTime);
// Scales for red, green (always 1) and blue from the channel means of a frame in the applied format.
void autoWhiteBalance(const ContextPrivate& priv, FrameSize size, const void* color, float scales[3]);

// One channel's histogram of 2^bitDepth bins; samples above the range count in the top bin.
// Returns the channel's level (its largest binned value).
uint32_t fillHistogram(const uint16_t* samples, std::size_t step, std::size_t pixels, unsigned bitDepth,
                       std::vector<uint32_t>& histogram);
// exposure x 2^bitDepth / E, E the highest bin where the count from the top first exceeds 1 % of the
// pixels; refuses (code 101) E = 0 and results that do not fit 32 bits.
uint32_t exposureFromHistogram(const std::vector<uint32_t>& histogram, std::size_t pixels, uint32_t exposure,
                               unsigned bitDepth);

} // namespace khc
