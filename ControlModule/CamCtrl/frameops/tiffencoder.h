#pragma once
// Uncompressed TIFF pictures written straight from the pixels in memory. The file keeps the
// layout the program's pictures have always had (little-endian, strips of about 8 KiB, inch and
// 600 dpi, no compression, unsigned samples): an 8-byte head, the pixels row after row, and a
// tail with the directory and its arrays. Only the head and the tail are built; the pixels go
// to the file as they lie.

#include <array>
#include <cstdint>
#include <vector>

struct TiffFrame {
    std::array<uint8_t, 8> head {};
    std::vector<uint8_t> tail;
};

// The head and tail of a picture of width x height pixels with `samples` samples (1 grey, 3 RGB)
// of `bits` bits (8 or 16) each. Sizes must be positive and the pixels fit in 4 GiB.
TiffFrame tiffFrame(int width, int height, int samples, int bits);
