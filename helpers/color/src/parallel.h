#pragma once

#include <cstddef>
#include <functional>

namespace khc {

// Worker count for frame bands: hardware concurrency, 1 to 8, fixed per process.
unsigned workerCount();
// Caps the workers used by runBands (0 = no cap); for benchmarks that compare at one thread.
void setWorkerLimit(unsigned limit);

// Splits rows [0, rows) into bands of whole multiples of `align` rows and runs band(first, last)
// for each, in parallel on the process's band workers; returns when all have finished. Frames of
// fewer than minParallelPixels pixels run as one band on the caller's thread.
void runBands(std::size_t rows, std::size_t align, std::size_t pixelsPerRow,
              const std::function<void(std::size_t, std::size_t)>& band);

} // namespace khc
