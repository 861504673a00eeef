// The band workers: every row of every call is done exactly once and before the call returns,
// whether the workers are spinning, asleep, capped or busy with another caller's frame.
#include <gtest/gtest.h>

#include "parallel.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct Rows {
    explicit Rows(std::size_t n) : count(new std::atomic<int>[n]), size(n) { clear(); }
    void clear()
    {
        for (std::size_t i = 0; i < size; ++i)
            count[i].store(0);
    }
    // The first row not done exactly once, or size when all were.
    std::size_t firstWrong() const
    {
        for (std::size_t i = 0; i < size; ++i)
            if (count[i].load() != 1)
                return i;
        return size;
    }
    std::unique_ptr<std::atomic<int>[]> count;
    std::size_t size;
};

// One call over `rows`; false (with the row) when a band was misaligned or a row not done once.
::testing::AssertionResult runOnce(Rows& r, std::size_t rows, std::size_t align, std::size_t width)
{
    r.clear();
    std::atomic<bool> misaligned{false};
    khc::runBands(rows, align, width, khc::kPixelsPerWorkerHeavy, [&](std::size_t y0, std::size_t y1) {
        if (y0 % align || (y1 % align && y1 != rows) || y1 > rows)
            misaligned = true;
        for (std::size_t y = y0; y < y1; ++y)
            r.count[y].fetch_add(1);
    });
    if (misaligned)
        return ::testing::AssertionFailure() << "band off its alignment, " << rows << " rows";
    const std::size_t wrong = r.firstWrong();
    // Rows past this call's count were cleared and must stay untouched.
    for (std::size_t y = rows; y < r.size; ++y)
        if (r.count[y].load() != 0)
            return ::testing::AssertionFailure() << "row " << y << " past the frame touched";
    if (wrong < rows)
        return ::testing::AssertionFailure() << "row " << wrong << " of " << rows << " done "
                                             << r.count[wrong].load() << " times";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(KhColorBands, EveryRowOnceBeforeTheCallReturns)
{
    Rows r(4096);
    const struct {
        std::size_t rows, align, width;
        unsigned limit;
    } cases[] = {
        {4096, 2, 4096, 0}, {1023, 2, 1024, 0}, {1024, 1, 1024, 0}, {7, 2, 65536, 0},
        {3000, 1, 2000, 3}, {2, 2, 1 << 20, 0},   {1, 1, 1 << 20, 0}, {4095, 1, 4096, 2},
    };
    for (const auto& c : cases) {
        khc::setWorkerLimit(c.limit);
        // Back to back (workers still spinning), then after idle spells long enough for them to
        // have gone to sleep.
        for (int i = 0; i < 200; ++i)
            ASSERT_TRUE(runOnce(r, c.rows, c.align, c.width)) << "call " << i << ", limit " << c.limit;
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ASSERT_TRUE(runOnce(r, c.rows, c.align, c.width)) << "after idling, limit " << c.limit;
        }
    }
    khc::setWorkerLimit(0);
}

TEST(KhColorBands, TwoCallersAtOnceEachGetEveryRow)
{
    // The second caller finds the workers taken and does its frame alone; neither may see a band
    // of the other's or return early.
    std::atomic<bool> failed{false};
    auto caller = [&](std::size_t rows) {
        Rows r(rows);
        for (int i = 0; i < 400 && !failed; ++i)
            if (!runOnce(r, rows - std::size_t(i % 7), 1, 4096))
                failed = true;
    };
    std::thread a(caller, 2048), b(caller, 1536);
    a.join();
    b.join();
    EXPECT_FALSE(failed);
}
