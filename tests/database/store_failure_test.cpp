#include <gtest/gtest.h>

#include <QThread>

#include <functional>
#include <memory>

#include "storetestutil.h"

// Every operation on a table that is gone reports the failure to its caller and logs the
// statement with its SQL error; re-creating the table makes the store usable again.
TEST(StoreFailure, EveryOperationOnADroppedTableFailsLoudly)
{
    GelExperimentDB* store = GelExperimentDB::getInstance();
    ASSERT_NE(store, nullptr);
    GelExperimentRecord record = makeRecord<GelExperimentRecord>("G1", "alice", "2026-03-01 09:00:00", "a.tif,");
    ASSERT_TRUE(store->insertExperiment(&record));
    ASSERT_TRUE(QSqlQuery(store->database()).exec(QStringLiteral("DROP TABLE GelExperiment")));

    struct Case {
        const char* what;
        const char* statement; // start of the logged SQL text
        std::function<bool()> failed;
    };
    const Case cases[] = {
        {"insertExperiment", "INSERT INTO GelExperiment(uuid", [&] { return !store->insertExperiment(&record); }},
        {"updateExperimentParams", "UPDATE GelExperiment SET binning", [&] { return !store->updateExperimentParams(&record); }},
        {"updateBinningExposureGainImages", "UPDATE GelExperiment SET binning",
         [&] { return !store->updateBinningExposureGainImages(record.uuid, "", "", "", ""); }},
        {"updateNameAndImageSavePath", "UPDATE GelExperiment SET name",
         [&] { return !store->updateNameAndImageSavePath(record.uuid.toString(), "n", "/p/"); }},
        {"updateImageNames", "SELECT imageNames FROM GelExperiment where imageSavePath = :imageSavePath failed.",
         [&] { return !store->updateImageNames(record.imageSavePath + "a.tif", record.imageSavePath + "b.tif"); }},
        {"selectExperimentByUuid", "SELECT * FROM GelExperiment where uuid", [&] { return !store->selectExperimentByUuid(record.uuid); }},
        {"selectExperimentByName", "SELECT * FROM GelExperiment where name", [&] { return !store->selectExperimentByName("G1"); }},
        {"selectAllExperiments", "SELECT * FROM GelExperiment failed.", [&] { return !store->selectAllExperiments(); }},
        {"selectEmptyImageSavePaths", "SELECT imageSavePath FROM GelExperiment where", [&] { return store->selectEmptyImageSavePaths().isEmpty(); }},
        {"selectAllImageSavePaths", "SELECT imageSavePath FROM GelExperiment failed.", [&] { return store->selectAllImageSavePaths().isEmpty(); }},
        {"selectByImageSavePath", "SELECT uuid, binning", [&] { return store->selectByImageSavePath(record.imageSavePath).isEmpty(); }},
        {"selectDates without filters",
         "SELECT date FROM GelExperiment WHERE date >= :startDate And date <= :endDate GROUP BY date HAVING COUNT(*) >= 1 ORDER BY date DESC failed.",
         [&] { return store->selectDates("", "", "2026-01-01", "2026-12-31").isEmpty(); }},
        {"selectDates with both filters",
         "SELECT date FROM GelExperiment WHERE userName = :userName And name = :name And date >= :startDate And date <= :endDate GROUP BY date HAVING COUNT(*) >= 1 ORDER BY date DESC failed.",
         [&] { return store->selectDates("alice", "G1", "2026-01-01", "2026-12-31").isEmpty(); }},
        {"selectExperimentsByDate without filters",
         "SELECT uuid, name, imageSavePath FROM GelExperiment WHERE date = :date ORDER BY dateTime DESC failed.",
         [&] { return store->selectExperimentsByDate("2026-03-01", "", "").isEmpty(); }},
        {"selectExperimentsByDate with both filters",
         "SELECT uuid, name, imageSavePath FROM GelExperiment WHERE date = :date AND userName = :userName And name = :name ORDER BY dateTime DESC failed.",
         [&] { return store->selectExperimentsByDate("2026-03-01", "alice", "G1").isEmpty(); }},
        {"deleteExperimentByUuid", "DELETE FROM GelExperiment where uuid", [&] { return !store->deleteExperimentByUuid(record.uuid); }},
        {"deleteByName", "SELECT imageSavePath FROM GelExperiment where name", [&] { return store->deleteByName({"G1"}).isEmpty(); }},
        {"deleteEmptyExperiments", "DELETE FROM GelExperiment where imageNames IS NULL OR imageNames = '' failed.",
         [&] { return !store->deleteEmptyExperiments(); }},
        {"selectUuidsBefore", "SELECT uuid FROM GelExperiment where dateTime", [&] { return !store->selectUuidsBefore(at("2027-01-01 00:00:00")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogCapture log;
        EXPECT_TRUE(c.failed());
        EXPECT_TRUE(log.contains(QString::fromUtf8(c.statement))) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("no such table: GelExperiment")));
        // no transaction is left open on the failure paths
        EXPECT_FALSE(StoreTransaction::inTransaction(store->database()));
    }

    // a capture thread sees its lost update
    bool captureUpdated = true;
    std::unique_ptr<QThread> capture(QThread::create([&] { captureUpdated = store->updateExperimentParams(&record); }));
    capture->start();
    ASSERT_TRUE(capture->wait(10000));
    EXPECT_FALSE(captureUpdated);

    ASSERT_TRUE(store->createTable());
    EXPECT_TRUE(store->insertExperiment(&record));
    EXPECT_EQ(rowCount(store), 1);
}

TEST(StoreFailure, TableCreationFailureIsLogged)
{
    MultExperimentDB* store = MultExperimentDB::getInstance();
    ASSERT_NE(store, nullptr);
    LogCapture log;
    // the table exists: a second CREATE fails, and the check-then-create path logs nothing
    EXPECT_FALSE(store->createTable());
    EXPECT_TRUE(log.contains(QStringLiteral("CREATE TABLE MultExperiment(")));
    const int lines = log.lines().size();
    store->createTableIfMissing();
    EXPECT_EQ(log.lines().size(), lines);
}
