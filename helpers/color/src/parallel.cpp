#include "parallel.h"

#include <algorithm>
#include <cstdint>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace khc {

namespace {

std::atomic<unsigned> g_limit{0};

// Persistent workers: a frame is a few milliseconds of work, so waking threads per call must cost
// microseconds, not tens of them. Workers spin briefly on the ticket after each job before they
// sleep; the caller always takes part, so a busy pool never blocks a call.
//
// A job is one 64-bit ticket (generation, helpers, band count, next band): a band is claimed by
// advancing the ticket of its own generation, so a worker that arrives late, even after the call
// has returned and another has begun, claims nothing of either. Nothing is allocated per call and
// no worker takes a lock on the way to its bands: one preempted inside a lock (as the shared
// pointer's atomic access takes) would hold up every other on a loaded machine.
class BandPool {
public:
    explicit BandPool(unsigned threads)
    {
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this, i] { loop(i); });
    }
    ~BandPool()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop.store(true);
        }
        m_wake.notify_all();
        for (auto& t : m_threads)
            t.join();
    }

    // Runs job(i) for i in [0, n) on the caller and at most `helpers` workers.
    void run(std::size_t n, unsigned helpers, CallRef<std::size_t> job)
    {
        std::unique_lock<std::mutex> busy(m_runMutex, std::try_to_lock);
        if (!busy.owns_lock() || helpers == 0 || m_threads.empty() || n > kField) {
            for (std::size_t i = 0; i < n; ++i)
                job(i);
            return;
        }
        m_job = &job;
        m_pending.store(n, std::memory_order_relaxed);
        m_generation = (m_generation + 1) & kGenerations;
        // Published after the function and the count; a sleeping worker is woken only when one
        // sleeps (the store and the load below pair with a sleeper's, so none is missed).
        m_ticket.store(pack(m_generation, std::min(helpers, kMaxHelpers), n));
        if (m_sleepers.load() > 0) {
            { std::lock_guard<std::mutex> lock(m_mutex); }
            m_wake.notify_all();
        }
        work(m_generation);
        spinUntil([&] { return m_pending.load(std::memory_order_acquire) == 0; });
    }

private:
    static constexpr unsigned kBits = 20;
    static constexpr uint64_t kField = (uint64_t(1) << kBits) - 1;
    static constexpr uint64_t kGenerations = kField;
    static constexpr unsigned kMaxHelpers = 15;

    static uint64_t pack(uint64_t generation, unsigned helpers, std::size_t count)
    {
        return generation << 44 | uint64_t(helpers) << 40 | uint64_t(count) << kBits;
    }
    static uint64_t generationOf(uint64_t t) { return t >> 44; }
    static unsigned helpersOf(uint64_t t) { return unsigned(t >> 40) & 15u; }
    static std::size_t countOf(uint64_t t) { return std::size_t(t >> kBits) & kField; }
    static std::size_t nextOf(uint64_t t) { return std::size_t(t) & kField; }

    // Claims and runs the bands of one generation until none is left.
    void work(uint64_t generation)
    {
        uint64_t t = m_ticket.load(std::memory_order_acquire);
        while (generationOf(t) == generation && nextOf(t) < countOf(t)) {
            if (!m_ticket.compare_exchange_weak(t, t + 1, std::memory_order_acq_rel, std::memory_order_acquire))
                continue;
            // The call cannot return before this band is counted, so its function is still there.
            (*m_job)(nextOf(t));
            m_pending.fetch_sub(1, std::memory_order_release);
            t = m_ticket.load(std::memory_order_acquire);
        }
    }

    template <class Done>
    static void spinUntil(Done done)
    {
        for (unsigned i = 0; !done(); ++i) {
            if (i < 4096)
                pause();
            else
                std::this_thread::yield();
        }
    }

    static void pause()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }

    void loop(unsigned index)
    {
        uint64_t seen = generationOf(m_ticket.load());
        auto fresh = [&] { return generationOf(m_ticket.load()) != seen; };
        for (;;) {
            // Spin a little (tens of microseconds): frames tend to come back to back. Longer
            // spins measured slower on a shared machine: the scheduler then makes busy workers
            // wait their turn behind other processes when a frame comes.
            for (unsigned i = 0; i < 2000 && !fresh() && !m_stop.load(std::memory_order_relaxed); ++i)
                pause();
            if (!fresh() && !m_stop.load()) {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_sleepers.fetch_add(1);
                m_wake.wait(lock, [&] { return m_stop.load() || fresh(); });
                m_sleepers.fetch_sub(1);
            }
            if (m_stop.load())
                return;
            const uint64_t t = m_ticket.load(std::memory_order_acquire);
            seen = generationOf(t);
            // Worker i helps only calls that asked for more than i helpers.
            if (index < helpersOf(t))
                work(seen);
        }
    }

    std::vector<std::thread> m_threads;
    std::mutex m_runMutex;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    // Both written by the caller under m_runMutex; workers read the job after claiming a band.
    const CallRef<std::size_t>* m_job = nullptr;
    uint64_t m_generation = 0;
    alignas(64) std::atomic<uint64_t> m_ticket{0};
    alignas(64) std::atomic<std::size_t> m_pending{0};
    alignas(64) std::atomic<int> m_sleepers{0};
    std::atomic<bool> m_stop{false};
};

BandPool& pool()
{
    static BandPool instance(workerCount() - 1);
    return instance;
}

} // namespace

unsigned workerCount()
{
    static const unsigned count = [] {
        const unsigned n = std::thread::hardware_concurrency();
        return std::clamp(n, 1u, 8u);
    }();
    return count;
}

void setWorkerLimit(unsigned limit) { g_limit.store(limit); }

void runBands(std::size_t rows, std::size_t align, std::size_t pixelsPerRow, std::size_t pixelsPerWorker,
              BandFn band)
{
    if (rows == 0)
        return;
    unsigned workers = workerCount();
    const unsigned limit = g_limit.load();
    if (limit)
        workers = std::min(workers, limit);
    const std::size_t worth = rows * pixelsPerRow / std::max<std::size_t>(pixelsPerWorker, 1);
    workers = unsigned(std::min<std::size_t>(workers, worth));
    if (workers <= 1 || rows <= align) {
        band(0, rows);
        return;
    }
    // A few bands per worker even out uneven progress; each band is whole multiples of align.
    const std::size_t units = (rows + align - 1) / align;
    const std::size_t bands = std::min<std::size_t>(units, std::size_t(workers) * 4);
    const std::size_t unitsPerBand = (units + bands - 1) / bands;
    const std::size_t count = (units + unitsPerBand - 1) / unitsPerBand;
    pool().run(count, workers - 1, [&](std::size_t i) {
        const std::size_t first = i * unitsPerBand * align;
        const std::size_t last = std::min(rows, first + unitsPerBand * align);
        if (first < last)
            band(first, last);
    });
}

} // namespace khc
