#include <gtest/gtest.h>

#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <memory>
#include <type_traits>
#include <thread>
#include <vector>

#include "storetestutil.h"

namespace {

ExperimentStore* const* allStores()
{
    static ExperimentStore* stores[3] = {WesternBlotExperimentDB::getInstance(), GelExperimentDB::getInstance(),
                                         MultExperimentDB::getInstance()};
    return stores;
}

void clearAll()
{
    for (int i = 0; i < 3; ++i) {
        ExperimentStore* store = allStores()[i];
        ASSERT_TRUE(QSqlQuery(store->database()).exec(QStringLiteral("DELETE FROM ") + store->tableName()));
    }
}

// What a capture thread does: fetch its row by name, then append and write after every image.
template <class Store>
bool captureImages(Store* store, const QString& name, int images)
{
    std::unique_ptr<std::remove_pointer_t<decltype(store->selectExperimentByName(QString()))>> record(store->selectExperimentByName(name));
    if (!record)
        return false;
    bool ok = true;
    for (int i = 0; i < images; ++i) {
        record->exposureTime += QString::number(100 + i) + QLatin1Char(',');
        record->gain += QStringLiteral("1,");
        record->imageNames += name + QLatin1Char('-') + QString::number(i) + QStringLiteral(".tif,");
        ok = store->updateExperimentParams(record.get()) && ok;
    }
    return ok;
}

} // namespace

// Runs first in this process: the instance does not exist yet.
TEST(StoreThreads, FirstCallsFromSeveralThreadsMakeOneInstance)
{
    LogCapture log;
    constexpr int kThreads = 6;
    std::vector<WesternBlotExperimentDB*> seen(kThreads, nullptr);
    std::vector<std::unique_ptr<QThread>> threads;
    QSemaphore go;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            go.acquire();
            seen[i] = WesternBlotExperimentDB::getInstance();
            seen[i]->selectAllImageSavePaths();
        }));
        threads.back()->start();
    }
    go.release(kThreads);
    for (auto& t : threads)
        ASSERT_TRUE(t->wait(10000));
    ASSERT_NE(seen.front(), nullptr);
    for (WesternBlotExperimentDB* instance : seen)
        EXPECT_EQ(instance, seen.front());
    EXPECT_EQ(log.lines().count(QStringLiteral("连接数据库Experiment.db.")), 1);
    // the opening thread has ended: the main thread gets a connection of its own
    EXPECT_TRUE(WesternBlotExperimentDB::getInstance()->selectAllImageSavePaths().isEmpty());
}

TEST(StoreThreads, CaptureUpdatesFromSeveralThreadsLoseNothing)
{
    clearAll();
    constexpr int kPerTable = 2;
    constexpr int kImages = 25;
    auto* wb = WesternBlotExperimentDB::getInstance();
    auto* gel = GelExperimentDB::getInstance();
    auto* mult = MultExperimentDB::getInstance();
    for (int i = 0; i < kPerTable; ++i) {
        const QString n = QStringLiteral("E") + QString::number(i);
        const auto w = makeRecord<WesternBlotExperimentRecord>(n, "u", "2026-03-01 09:00:00", "");
        const auto g = makeRecord<GelExperimentRecord>(n, "u", "2026-03-01 09:00:00", "");
        const auto m = makeRecord<MultExperimentRecord>(n, "u", "2026-03-01 09:00:00", "");
        ASSERT_TRUE(wb->insertExperiment(&w) && gel->insertExperiment(&g) && mult->insertExperiment(&m));
    }

    std::atomic<int> failures{0};
    std::atomic<bool> capturing{true};
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < kPerTable; ++i) {
        const QString n = QStringLiteral("E") + QString::number(i);
        threads.emplace_back(QThread::create([&, n] { failures += !captureImages(wb, n, kImages); }));
        threads.emplace_back(QThread::create([&, n] { failures += !captureImages(gel, n, kImages); }));
        threads.emplace_back(QThread::create([&, n] { failures += !captureImages(mult, n, kImages); }));
    }
    // Meanwhile the library browses and a deletion rewrites rows inside its own transaction.
    std::atomic<int> browses{0};
    std::thread browser([&] {
        do {
            wb->selectDates("", "", "2026-01-01", "2026-12-31");
            gel->selectExperimentsByDate("2026-03-01", "", "");
            ++browses;
        } while (capturing);
    });
    const auto other = makeRecord<MultExperimentRecord>("D", "u", "2026-03-01 08:00:00", "d.tif,");
    ASSERT_TRUE(mult->insertExperiment(&other));
    std::atomic<int> rewrites{0};
    std::thread deleter([&] {
        do {
            StoreTransaction transaction(mult->database(), StoreTransaction::Write);
            const QVariantList row = mult->selectByImageSavePath(other.imageSavePath);
            if (row.size() != 5
                || !mult->updateBinningExposureGainImages(QUuid(row.at(0).toString()), row.at(1).toString(),
                                                          row.at(2).toString(), row.at(3).toString(),
                                                          row.at(4).toString()))
                ++failures;
            ++rewrites;
        } while (capturing);
    });
    for (auto& t : threads)
        t->start();
    for (auto& t : threads)
        EXPECT_TRUE(t->wait(60000));
    capturing = false;
    browser.join();
    deleter.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(browses.load(), 0);
    EXPECT_GT(rewrites.load(), 0);
    for (ExperimentStore* store : {static_cast<ExperimentStore*>(wb), static_cast<ExperimentStore*>(gel), static_cast<ExperimentStore*>(mult)}) {
        for (int i = 0; i < kPerTable; ++i) {
            SCOPED_TRACE(store->tableName().toStdString());
            const QString names = scalar(store, QStringLiteral("SELECT imageNames FROM %1 WHERE name = 'E%2'")
                                                     .arg(store->tableName()).arg(i))
                                      .toString();
            EXPECT_EQ(names.count(QLatin1Char(',')), kImages);
            EXPECT_TRUE(names.endsWith(QStringLiteral("-") + QString::number(kImages - 1) + QStringLiteral(".tif,")));
        }
    }
}

TEST(StoreThreads, AWriteWaitsOutAnotherThreadsTransaction)
{
    clearAll();
    auto* wb = WesternBlotExperimentDB::getInstance();
    auto record = makeRecord<WesternBlotExperimentRecord>("W", "u", "2026-03-01 09:00:00", "");
    ASSERT_TRUE(wb->insertExperiment(&record));

    QSemaphore locked, release;
    std::thread holder([&] {
        StoreTransaction transaction(wb->database(), StoreTransaction::Write);
        locked.release();
        release.tryAcquire(1, 10000);
    });
    ASSERT_TRUE(locked.tryAcquire(1, 10000));
    record.imageNames = QStringLiteral("a.tif,");
    std::atomic<bool> done{false};
    bool updated = false;
    std::thread capture([&] {
        updated = wb->updateExperimentParams(&record);
        done = true;
    });
    // The capture's write blocks on the lock instead of failing with "database is locked".
    EXPECT_FALSE(waitFor([&] { return done.load(); }, 300));
    release.release();
    capture.join();
    holder.join();
    EXPECT_TRUE(updated);
    EXPECT_EQ(scalar(wb, "SELECT imageNames FROM WesternBlotExperiment").toString(), QStringLiteral("a.tif,"));
}

TEST(StoreThreads, OperationsJoinTheCallersTransaction)
{
    clearAll();
    auto* gel = GelExperimentDB::getInstance();
    const auto record = makeRecord<GelExperimentRecord>("J", "u", "2026-03-01 09:00:00", "a.tif,");
    ASSERT_TRUE(gel->insertExperiment(&record));
    auto seenElsewhere = [gel] {
        bool seen = false;
        std::thread other([&] { seen = std::unique_ptr<GelExperimentRecord>(gel->selectExperimentByName("J")) != nullptr; });
        other.join();
        return seen;
    };

    QSqlDatabase db = gel->database();
    ASSERT_TRUE(db.transaction());
    EXPECT_EQ(gel->deleteByName({"J"}).size(), 1);
    EXPECT_TRUE(gel->selectDates("", "", "2026-03-01", "2026-03-01").isEmpty());
    // deleteByName did not commit the caller's transaction: other threads still see the row
    EXPECT_TRUE(StoreTransaction::inTransaction(db));
    EXPECT_TRUE(seenElsewhere());
    ASSERT_TRUE(db.commit());
    EXPECT_FALSE(seenElsewhere());
}

TEST(StoreThreads, AThreadsConnectionsGoWhenItEnds)
{
    auto* wb = WesternBlotExperimentDB::getInstance();
    auto* gel = GelExperimentDB::getInstance();
    auto* mult = MultExperimentDB::getInstance();
    const int before = QSqlDatabase::connectionNames().size();
    auto work = [&] {
        wb->selectAllImageSavePaths();
        gel->selectAllImageSavePaths();
        mult->selectAllImageSavePaths();
    };

    std::unique_ptr<QThread> qthread(QThread::create(work));
    qthread->start();
    ASSERT_TRUE(qthread->wait(10000));
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before);

    std::thread plain(work);
    plain.join();
    EXPECT_TRUE(waitFor([&] { return QSqlDatabase::connectionNames().size() == before; }, 5000));
    // the names a thread used are never handed to another live thread
    EXPECT_TRUE(QSqlDatabase::connectionNames().contains(QStringLiteral("GelExperiment")));
}
