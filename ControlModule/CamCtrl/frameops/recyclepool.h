#pragma once
// Frame-sized objects (stored frames, over-exposure masks) handed out as shared pointers and
// taken back when their last holder lets go, so that the next frame refills memory that is
// already mapped and faulted in instead of touching fresh pages. An object is never handed out
// again while anyone holds it: it comes back only from its deleter. The pool keeps at most
// `keep` idle objects; one given back beyond that is freed. Holders may outlive the pool.
//
// A taken object holds whatever its last user left in it: the taker refills all of it.
// The pool's lock guards only its idle list and is never held while anything else is called.

#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

template <class T>
class RecyclePool {
public:
    explicit RecyclePool(std::size_t keep)
        : m_home(std::make_shared<Home>())
    {
        m_home->keep = keep;
        // Reserved now, so that giving back never allocates.
        m_home->idle.reserve(keep);
    }
    RecyclePool(const RecyclePool&) = delete;
    RecyclePool& operator=(const RecyclePool&) = delete;

    // An idle object, or a new default-constructed one when none is idle.
    std::shared_ptr<T> take()
    {
        std::unique_ptr<T> object;
        {
            std::lock_guard<std::mutex> lock(m_home->lock);
            if (!m_home->idle.empty()) {
                object = std::move(m_home->idle.back());
                m_home->idle.pop_back();
            }
        }
        if (!object)
            object = std::make_unique<T>();
        std::weak_ptr<Home> home = m_home;
        return std::shared_ptr<T>(object.release(), [home](T* p) {
            std::unique_ptr<T> back(p);
            if (const std::shared_ptr<Home> h = home.lock())
                h->giveBack(std::move(back));
        });
    }

    std::size_t idleCount() const
    {
        std::lock_guard<std::mutex> lock(m_home->lock);
        return m_home->idle.size();
    }

private:
    struct Home {
        std::mutex lock;
        std::vector<std::unique_ptr<T>> idle;
        std::size_t keep = 0;

        void giveBack(std::unique_ptr<T> object)
        {
            {
                std::lock_guard<std::mutex> guard(lock);
                if (idle.size() < keep) {
                    idle.push_back(std::move(object));
                    return;
                }
            }
            // Beyond the idle count: freed here, outside the lock.
        }
    };
    std::shared_ptr<Home> m_home;
};
