#include "parallel.h"

#include <algorithm>
#include <cstdint>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace khc {

namespace {

std::atomic<unsigned> g_limit{0};

// Persistent workers: a frame is a few milliseconds of work, so waking threads per call must cost
// microseconds, not tens of them. Workers spin briefly on the job counter after each job before
// they sleep; the caller always takes part, so a busy pool never blocks a call.
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
        m_job = &job;
        m_count = n;
        m_next.store(0);
        m_pending.store(n);
        m_slots.store(int(helpers));
        m_open.store(true);
        {
            // Under the mutex, so a worker about to sleep cannot miss the new generation.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_generation.fetch_add(1);
        }
        if (m_sleepers.load() > 0)
            m_wake.notify_all();
        work();
        spinUntil([&] { return m_pending.load() == 0; });
        // Close the job, then let every worker that got in leave before the job goes away.
        m_open.store(false);
        spinUntil([&] { return m_active.load() == 0; });
    }

private:
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

    void work()
    {
        for (std::size_t i = m_next.fetch_add(1); i < m_count; i = m_next.fetch_add(1)) {
            (*m_job)(i);
            m_pending.fetch_sub(1);
        }
    }

    void loop()
    {
        uint64_t seen = m_generation.load();
        for (;;) {
            // Spin a little: frames tend to come back to back.
            for (unsigned i = 0; i < 20000 && m_generation.load() == seen && !m_stop.load(); ++i)
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
            // Enter only while this generation's job is open and a slot is free.
            m_active.fetch_add(1);
            if (m_open.load() && m_generation.load() == seen && m_slots.fetch_sub(1) > 0)
                work();
            m_active.fetch_sub(1);
        }
    }

    std::vector<std::thread> m_threads;
    std::mutex m_runMutex;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    const std::function<void(std::size_t)>* m_job = nullptr;
    std::size_t m_count = 0;
    std::atomic<std::size_t> m_next{0};
    std::atomic<std::size_t> m_pending{0};
    std::atomic<int> m_slots{0};
    std::atomic<int> m_active{0};
    std::atomic<int> m_sleepers{0};
    std::atomic<bool> m_open{false};
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
