#pragma once

#include <cstddef>

namespace khc {

// Worker count for frame bands: hardware concurrency, 1 to 8, fixed per process.
unsigned workerCount();
// Caps the workers used by runBands (0 = no cap); for benchmarks that compare at one thread.
void setWorkerLimit(unsigned limit);

// Pixels each worker needs to be worth waking (several microseconds): measured crossovers for
// per-pixel work like a debayer or a table lookup, and for a byte shuffle (a 1 MP frame still
// takes all eight workers, as OpenCV's own conversions do).
constexpr std::size_t kPixelsPerWorkerHeavy = 16384;
constexpr std::size_t kPixelsPerWorkerLight = 65536;

// A callable taken by reference for the length of one call: no copy, no allocation per frame
// (a std::function of a lambda with several captures allocates).
template <class... Args>
class CallRef {
public:
    template <class F>
    CallRef(const F& f) // NOLINT: implicit, so callers hand lambdas straight in
        : m_object(&f), m_call([](const void* o, Args... a) { (*static_cast<const F*>(o))(a...); })
    {
    }
    void operator()(Args... a) const { m_call(m_object, a...); }

private:
    const void* m_object;
    void (*m_call)(const void*, Args...);
};

using BandFn = CallRef<std::size_t, std::size_t>;

// Splits rows [0, rows) into bands of whole multiples of `align` rows and runs band(first, last)
// for each, in parallel on the process's band workers; returns when all have finished. Only as
// many workers take part as have pixelsPerWorker pixels each; a frame too small for two runs as
// one band on the caller's thread.
void runBands(std::size_t rows, std::size_t align, std::size_t pixelsPerRow, std::size_t pixelsPerWorker,
              BandFn band);

} // namespace khc
