#pragma once
// A captured frame of the Kestrix camera together with the region it was taken with, so that
// its size never follows a binning change made after the capture.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "frameview.h"
#include "kestrix64.h"

// Pixels of a region: ((s2 + 1 - s1) / sbin) x ((p2 + 1 - p1) / pbin); 0 for an empty or
// malformed region.
inline int regionWidth(const rgn_type& r)
{
    return (r.sbin > 0 && r.s2 >= r.s1) ? (r.s2 + 1 - r.s1) / r.sbin : 0;
}
inline int regionHeight(const rgn_type& r)
{
    return (r.pbin > 0 && r.p2 >= r.p1) ? (r.p2 + 1 - r.p1) / r.pbin : 0;
}

struct KestrixFrame {
    rgn_type region{};
    std::vector<uint16_t> pixels;

    int width() const { return regionWidth(region); }
    int height() const { return regionHeight(region); }
    size_t bytes() const { return pixels.size() * sizeof(uint16_t); }
    bool empty() const { return pixels.empty(); }
    FrameView view() { return {pixels.data(), width(), height()}; }

    // Copies the pixels of a camera buffer taken with region (the bytes past the pixels, if the
    // camera adds any, are not part of the frame).
    static KestrixFrame fromBuffer(const void* buffer, const rgn_type& region)
    {
        KestrixFrame frame;
        frame.region = region;
        const size_t count = size_t(regionWidth(region)) * size_t(regionHeight(region));
        if (buffer && count) {
            // One pass: a resize would clear the pixels before the copy writes them.
            const auto* first = static_cast<const uint16_t*>(buffer);
            frame.pixels.assign(first, first + count);
        }
        return frame;
    }
};
