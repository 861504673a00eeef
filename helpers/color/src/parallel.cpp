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
// microseconds, not tens of them. Workers spin briefly on the generation after each job before
// they sleep; the caller always takes part, so a busy pool never blocks a call.
//
// A job's counters live in a shared block that late workers may still hold after the call has
// returned: the call waits only for its bands, never for a descheduled worker to leave. A worker
// calls the caller's function only for a band it claimed, and all bands are claimed before the
// call can return, so the function is never reached after that.
class BandPool {
public:
    explicit BandPool(unsigned threads)
    {
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { loop(); });
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
    void run(std::size_t n, unsigned helpers, const std::function<void(std::size_t)>& job)
    {
        std::unique_lock<std::mutex> busy(m_runMutex, std::try_to_lock);
        if (!busy.owns_lock() || helpers == 0 || m_threads.empty()) {
            for (std::size_t i = 0; i < n; ++i)
                job(i);
            return;
        }
        auto shared = std::make_shared<Job>(job, n, int(helpers));
        std::atomic_store(&m_job, shared);
        {
            // Under the mutex, so a worker about to sleep cannot miss the new generation.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_generation.fetch_add(1);
        }
        if (m_sleepers.load() > 0)
            m_wake.notify_all();
        shared->work();
        spinUntil([&] { return shared->pending.load() == 0; });
        std::atomic_store(&m_job, std::shared_ptr<Job>());
    }

private:
    struct Job {
        Job(const std::function<void(std::size_t)>& f, std::size_t n, int helpers)
            : fn(&f), count(n), pending(n), slots(helpers)
        {
        }
        void work()
        {
            for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
                (*fn)(i);
                pending.fetch_sub(1);
            }
        }
        const std::function<void(std::size_t)>* fn;
        const std::size_t count;
        std::atomic<std::size_t> next{0};
        std::atomic<std::size_t> pending;
        std::atomic<int> slots;
    };

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

    void loop()
    {
        uint64_t seen = m_generation.load();
        for (;;) {
            // Spin a little (tens of microseconds): frames tend to come back to back. Longer
            // spins measured slower on a shared machine: the scheduler then makes busy workers
            // wait their turn behind other processes when a frame comes.
            for (unsigned i = 0; i < 2000 && m_generation.load() == seen && !m_stop.load(); ++i)
                pause();
            if (m_generation.load() == seen && !m_stop.load()) {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_sleepers.fetch_add(1);
                m_wake.wait(lock, [&] { return m_stop.load() || m_generation.load() != seen; });
                m_sleepers.fetch_sub(1);
            }
            if (m_stop.load())
                return;
            seen = m_generation.load();
            // No lock on the way in: the workers of one call would queue on it.
            const std::shared_ptr<Job> job = std::atomic_load(&m_job);
            // Enter only while a slot is free; a job already done has no band left to claim.
            if (job && job->slots.fetch_sub(1) > 0)
                job->work();
        }
    }

    std::vector<std::thread> m_threads;
    std::mutex m_runMutex;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::shared_ptr<Job> m_job; // read and written atomically
    std::atomic<int> m_sleepers{0};
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_generation{0};
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
              const std::function<void(std::size_t, std::size_t)>& band)
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
