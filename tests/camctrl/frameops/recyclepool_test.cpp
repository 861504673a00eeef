// The pool the capture path takes its stored frames and masks from: an object is handed out
// again only once no one holds it, also when holders on other threads let go, and holders may
// outlive the pool.

#include "recyclepool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

TEST(RecyclePool, HandsOutOnlyWhatNoOneHoldsAndKeepsAFewIdle)
{
    RecyclePool<std::vector<int>> pool(2);
    std::shared_ptr<std::vector<int>> a = pool.take();
    a->assign(8, 1);
    const std::vector<int>* first = a.get();
    // A second holder of the first object keeps it out of the pool.
    std::shared_ptr<const std::vector<int>> view = a;
    a.reset();
    const std::shared_ptr<std::vector<int>> b = pool.take();
    EXPECT_NE(b.get(), first);
    EXPECT_EQ(*view, std::vector<int>(8, 1));
    view.reset();
    EXPECT_EQ(pool.idleCount(), 1u);
    // Given back whole: the next taker refills memory that is already there.
    const std::shared_ptr<std::vector<int>> again = pool.take();
    EXPECT_EQ(again.get(), first);
    EXPECT_EQ(again->capacity(), 8u);

    std::vector<std::shared_ptr<std::vector<int>>> many;
    for (int i = 0; i < 5; ++i)
        many.push_back(pool.take());
    many.clear();
    EXPECT_EQ(pool.idleCount(), 2u) << "no more than two kept idle";
}

TEST(RecyclePool, HoldersMayOutliveThePool)
{
    std::shared_ptr<std::vector<int>> kept;
    {
        RecyclePool<std::vector<int>> pool(1);
        kept = pool.take();
        kept->assign(4, 7);
    }
    EXPECT_EQ(*kept, std::vector<int>(4, 7));
    kept.reset(); // freed, with no pool to go back to
}

// Threads take, fill with their own number, check and let go: an object handed to two holders
// at once shows as another thread's number.
TEST(RecyclePool, NoObjectIsSharedBetweenThreadsThatTakeAndReleaseAtOnce)
{
    RecyclePool<std::vector<int>> pool(3);
    std::atomic<int> clashes {0};
    std::vector<std::thread> threads;
    for (int id = 0; id < 6; ++id)
        threads.emplace_back([&pool, &clashes, id] {
            for (int round = 0; round < 2000; ++round) {
                const std::shared_ptr<std::vector<int>> v = pool.take();
                v->assign(64, id);
                std::this_thread::yield();
                if (std::any_of(v->begin(), v->end(), [id](int x) { return x != id; }))
                    ++clashes;
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(clashes.load(), 0);
    EXPECT_LE(pool.idleCount(), 3u);
}
