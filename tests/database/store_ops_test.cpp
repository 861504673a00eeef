#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "storetestutil.h"

namespace {

template <class Store>
using RecordOf = std::remove_pointer_t<decltype(std::declval<Store&>().selectExperimentByName(QString()))>;

template <class Store>
class StoreOps : public ::testing::Test {
protected:
    using Record = RecordOf<Store>;

    void SetUp() override
    {
        store = Store::getInstance();
        ASSERT_NE(store, nullptr);
        for (ExperimentStore* s : std::initializer_list<ExperimentStore*>{
                 WesternBlotExperimentDB::getInstance(), GelExperimentDB::getInstance(), MultExperimentDB::getInstance()})
            ASSERT_TRUE(QSqlQuery(s->database()).exec(QStringLiteral("DELETE FROM ") + s->tableName()));
    }

    // Five experiments over four days and two users, inserted out of order.
    void insertFixture()
    {
        a = makeRecord<Record>("WBS20260228-235959", "bob", "2026-02-28 23:59:59", "a.tif,");
        b = makeRecord<Record>("WBS20260301-090000", "alice", "2026-03-01 09:00:00", "a.tif,c.tif,");
        c = makeRecord<Record>("WBM20260301-143000", "bob", "2026-03-01 14:30:00", "x.tif,");
        d = makeRecord<Record>("WBS20260302-080000", "alice", "2026-03-02 08:00:00", "");
        e = makeRecord<Record>("WBS20260305-120000", "alice", "2026-03-05 12:00:00", ",");
        for (const Record* r : {&e, &a, &c, &b, &d})
            ASSERT_TRUE(store->insertExperiment(r));
    }

    static QString entry(const Record& r)
    {
        return r.uuid.toString() + QLatin1Char(',') + r.name + QLatin1Char(',') + r.imageSavePath;
    }

    QVariant column(const Record& r, const char* name)
    {
        return scalar(store, QStringLiteral("SELECT %1 FROM %2 WHERE name = '%3'")
                                 .arg(QLatin1String(name), store->tableName(), r.name));
    }

    Store* store = nullptr;
    Record a, b, c, d, e;
};

using Stores = ::testing::Types<WesternBlotExperimentDB, GelExperimentDB, MultExperimentDB>;
TYPED_TEST_SUITE(StoreOps, Stores);

QVariantList texts(std::initializer_list<QString> items)
{
    QVariantList list;
    for (const QString& item : items)
        list << item;
    return list;
}

void expectSameRecord(const ExperimentRecord& got, const ExperimentRecord& want)
{
    EXPECT_EQ(got.uuid, want.uuid);
    EXPECT_EQ(got.userName, want.userName);
    EXPECT_EQ(got.expType, want.expType);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.date, want.date);
    EXPECT_EQ(got.dateTime, want.dateTime);
    EXPECT_EQ(got.imageSavePath, want.imageSavePath);
    EXPECT_EQ(got.binning, want.binning);
    EXPECT_EQ(got.exposureTime, want.exposureTime);
    EXPECT_EQ(got.gain, want.gain);
    EXPECT_EQ(got.imageNames, want.imageNames);
}

} // namespace

TEST(StoreRecord, FreshRecordIsEmptyWithItsOwnUuid)
{
    const GelExperimentRecord first;
    const WesternBlotExperimentRecord second;
    EXPECT_TRUE(first.name.isEmpty());
    EXPECT_TRUE(first.imageNames.isEmpty());
    EXPECT_TRUE(first.dateTime.isNull());
    EXPECT_FALSE(first.uuid.isNull());
    EXPECT_NE(first.uuid, second.uuid);
}

TYPED_TEST(StoreOps, RecordRoundTripsThroughEveryRead)
{
    auto record = makeRecord<typename TestFixture::Record>("GEL20260301-090000", "alice", "2026-03-01 09:00:00",
                                                           "a.tif,c.tif,");
    record.expType = 2;
    ASSERT_TRUE(this->store->insertExperiment(&record));

    std::unique_ptr<typename TestFixture::Record> byName(this->store->selectExperimentByName(record.name));
    std::unique_ptr<typename TestFixture::Record> byUuid(this->store->selectExperimentByUuid(record.uuid));
    std::unique_ptr<QList<typename TestFixture::Record>> all(this->store->selectAllExperiments());
    ASSERT_TRUE(byName && byUuid && all);
    ASSERT_EQ(all->size(), 1);
    expectSameRecord(*byName, record);
    expectSameRecord(*byUuid, record);
    expectSameRecord(all->first(), record);
    // binning is declared INTEGER but keeps its text; the uuid text is braced
    EXPECT_EQ(this->column(record, "binning"), QVariant(QStringLiteral("2*2")));
    EXPECT_EQ(this->column(record, "uuid").toString().size(), 38);
    EXPECT_EQ(this->column(record, "dateTime").toString(), QStringLiteral("2026-03-01 09:00:00"));
}

TYPED_TEST(StoreOps, FreshRecordStoresNullTimeAndEmptyTexts)
{
    typename TestFixture::Record fresh;
    fresh.name = QStringLiteral("fresh");
    ASSERT_TRUE(this->store->insertExperiment(&fresh));
    EXPECT_EQ(this->column(fresh, "dateTime IS NULL").toInt(), 1);
    EXPECT_EQ(this->column(fresh, "imageNames IS NULL").toInt(), 0);
    EXPECT_EQ(this->column(fresh, "typeof(imageNames)").toString(), QStringLiteral("text"));

    std::unique_ptr<typename TestFixture::Record> read(this->store->selectExperimentByName(QStringLiteral("fresh")));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->dateTime.isNull());
    EXPECT_EQ(read->uuid, fresh.uuid);
}

TYPED_TEST(StoreOps, NamesAreUniquePerTableOnly)
{
    const auto first = makeRecord<typename TestFixture::Record>("N1", "alice", "2026-03-01 09:00:00", "a.tif,");
    auto second = makeRecord<typename TestFixture::Record>("N1", "bob", "2026-03-02 09:00:00", "b.tif,");
    ASSERT_TRUE(this->store->insertExperiment(&first));
    {
        LogCapture log;
        EXPECT_FALSE(this->store->insertExperiment(&second));
        EXPECT_TRUE(log.contains(QStringLiteral("INSERT INTO ") + this->store->tableName() + QStringLiteral("(uuid")));
        EXPECT_TRUE(log.contains(QStringLiteral("UNIQUE")));
    }
    EXPECT_EQ(rowCount(this->store), 1);
    std::unique_ptr<typename TestFixture::Record> kept(this->store->selectExperimentByName(QStringLiteral("N1")));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->userName, QStringLiteral("alice"));

    // the same name in each of the other tables
    const WesternBlotExperimentRecord wb = makeRecord<WesternBlotExperimentRecord>("N1", "x", "2026-03-01 09:00:00", "");
    const GelExperimentRecord gel = makeRecord<GelExperimentRecord>("N1", "x", "2026-03-01 09:00:00", "");
    const MultExperimentRecord mult = makeRecord<MultExperimentRecord>("N1", "x", "2026-03-01 09:00:00", "");
    int inserted = WesternBlotExperimentDB::getInstance()->insertExperiment(&wb)
        + GelExperimentDB::getInstance()->insertExperiment(&gel) + MultExperimentDB::getInstance()->insertExperiment(&mult);
    EXPECT_EQ(inserted, 2);

    EXPECT_FALSE(this->store->insertExperiment(nullptr));
    EXPECT_FALSE(this->store->updateExperimentParams(nullptr));
}

TYPED_TEST(StoreOps, ParameterUpdatesWriteBinningOutsideWesternBlot)
{
    auto record = makeRecord<typename TestFixture::Record>("P1", "alice", "2026-03-01 09:00:00", "a.tif,");
    ASSERT_TRUE(this->store->insertExperiment(&record));
    record.binning = QStringLiteral("2*2,4*4,");
    record.exposureTime = QStringLiteral("100,250,");
    record.gain = QStringLiteral("1,2,");
    record.imageNames = QStringLiteral("a.tif,b.tif,");
    record.name = QStringLiteral("not written");
    ASSERT_TRUE(this->store->updateExperimentParams(&record));

    const bool westernBlot = std::is_same<TypeParam, WesternBlotExperimentDB>::value;
    std::unique_ptr<typename TestFixture::Record> read(this->store->selectExperimentByUuid(record.uuid));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->binning, westernBlot ? QStringLiteral("2*2") : QStringLiteral("2*2,4*4,"));
    EXPECT_EQ(read->exposureTime, QStringLiteral("100,250,"));
    EXPECT_EQ(read->gain, QStringLiteral("1,2,"));
    EXPECT_EQ(read->imageNames, QStringLiteral("a.tif,b.tif,"));
    EXPECT_EQ(read->name, QStringLiteral("P1"));

    // all four columns by uuid, for every table
    ASSERT_TRUE(this->store->updateBinningExposureGainImages(record.uuid, "1*1,", "5,", "3,", "z.tif,"));
    EXPECT_EQ(this->store->selectByImageSavePath(record.imageSavePath),
              texts({record.uuid.toString(), "1*1,", "5,", "3,", "z.tif,"}));
    // a row that is not there is not a failure
    EXPECT_TRUE(this->store->updateBinningExposureGainImages(QUuid::createUuid(), "", "", "", ""));
}

TYPED_TEST(StoreOps, SelectDatesGivesEachDayOnceNewestFirst)
{
    this->insertFixture();
    struct Case {
        const char* what;
        QString userName, name, start, end;
        QVariantList expected;
    };
    const Case cases[] = {
        {"whole range", "", "", "2026-01-01", "2026-12-31", texts({"2026-03-05", "2026-03-02", "2026-03-01", "2026-02-28"})},
        {"bounds are inclusive", "", "", "2026-03-01", "2026-03-02", texts({"2026-03-02", "2026-03-01"})},
        {"one user", "alice", "", "2026-01-01", "2026-12-31", texts({"2026-03-05", "2026-03-02", "2026-03-01"})},
        {"user and name", "bob", "WBM20260301-143000", "2026-01-01", "2026-12-31", texts({"2026-03-01"})},
        {"name only", "", "WBS20260228-235959", "2026-01-01", "2026-12-31", texts({"2026-02-28"})},
        {"name of another user", "alice", "WBM20260301-143000", "2026-01-01", "2026-12-31", {}},
        {"empty range", "", "", "", "", {}},
        {"reversed range", "", "", "2026-12-31", "2026-01-01", {}},
        {"quote in a filter is a value", "bob' OR '1'='1", "", "2026-01-01", "2026-12-31", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(this->store->selectDates(c.userName, c.name, c.start, c.end), c.expected);
    }
}

TYPED_TEST(StoreOps, SelectExperimentsByDateGivesTheDaysRowsLatestFirst)
{
    this->insertFixture();
    const QString b = this->entry(this->b), c = this->entry(this->c);
    struct Case {
        const char* what;
        QString date, userName, name;
        QVariantList expected;
    };
    const Case cases[] = {
        {"whole day", "2026-03-01", "", "", texts({c, b})},
        {"one user", "2026-03-01", "alice", "", texts({b})},
        {"user and name", "2026-03-01", "bob", "WBM20260301-143000", texts({c})},
        {"name only", "2026-03-01", "", "WBS20260301-090000", texts({b})},
        {"name of another day", "2026-03-02", "", "WBS20260301-090000", {}},
        {"day without experiments", "2026-03-03", "", "", {}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        EXPECT_EQ(this->store->selectExperimentsByDate(cs.date, cs.userName, cs.name), cs.expected);
    }
    // the uuid text handed out is accepted back for a rename
    const QString uuidText = this->store->selectExperimentsByDate("2026-03-01", "alice", "").first().toString().section(',', 0, 0);
    ASSERT_TRUE(this->store->updateNameAndImageSavePath(uuidText, "renamed", "/new/renamed/"));
    std::unique_ptr<typename TestFixture::Record> renamed(this->store->selectExperimentByName("renamed"));
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->uuid, this->b.uuid);
    EXPECT_EQ(renamed->imageSavePath, QStringLiteral("/new/renamed/"));
    EXPECT_FALSE(this->store->updateNameAndImageSavePath("not a uuid", "x", "/x/"));
    EXPECT_EQ(rowCount(this->store), 5);
}

TYPED_TEST(StoreOps, ImageRenameRewritesOnlyTheFirstWholeEntry)
{
    struct Case {
        const char* what;
        QString stored, oldPath, newPath;
        bool ok;
        QString expected;
    };
    const Case cases[] = {
        {"first entry, trailing comma kept", "a.tif,c.tif,", "/d1/a.tif", "/d1/b.tif", true, "b.tif,c.tif,"},
        {"last entry", "c.tif,a.tif,", "/d1/a.tif", "/d1/b.tif", true, "c.tif,b.tif,"},
        {"whole entries only", "xa.tif,", "/d1/a.tif", "/d1/b.tif", true, "xa.tif,"},
        {"only the first of two", "a.tif,a.tif,", "/d1/a.tif", "/d1/b.tif", true, "b.tif,a.tif,"},
        {"case-sensitive", "A.tif,", "/d1/a.tif", "/d1/b.tif", true, "A.tif,"},
        {"folder of the new path ignored", "a.tif,c.tif,", "/d1/a.tif", "/d2/b.tif", true, "b.tif,c.tif,"},
        {"other folder untouched", "a.tif,c.tif,", "/d9/a.tif", "/d9/b.tif", true, "a.tif,c.tif,"},
        {"comma in the new name refused", "a.tif,c.tif,", "/d1/a.tif", "/d1/b,x.tif", false, "a.tif,c.tif,"},
        {"folder as old path refused", "a.tif,c.tif,", "/d1/", "/d1/b.tif", false, "a.tif,c.tif,"},
        {"folder as new path refused", "a.tif,c.tif,", "/d1/a.tif", "/d1/", false, "a.tif,c.tif,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto row = makeRecord<typename TestFixture::Record>("R", "alice", "2026-03-01 09:00:00", c.stored);
        row.imageSavePath = QStringLiteral("/d1/");
        row.exposureTime = QStringLiteral("10,20,");
        ASSERT_TRUE(this->store->insertExperiment(&row));
        EXPECT_EQ(this->store->updateImageNames(c.oldPath, c.newPath), c.ok);
        std::unique_ptr<typename TestFixture::Record> read(this->store->selectExperimentByUuid(row.uuid));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->imageNames, c.expected);
        EXPECT_EQ(read->imageSavePath, QStringLiteral("/d1/"));
        EXPECT_EQ(read->exposureTime, QStringLiteral("10,20,"));
        ASSERT_TRUE(this->store->deleteExperimentByUuid(row.uuid));
    }
}

TYPED_TEST(StoreOps, ExperimentsWithoutImagesAreFoundAndRemoved)
{
    this->insertFixture();
    ASSERT_TRUE(QSqlQuery(this->store->database())
                    .exec(QStringLiteral("INSERT INTO %1(uuid, name, imageSavePath, imageNames) VALUES('{5b4e28ba-2fa1-11d2-883f-0016d3cca427}', 'nulls', '/null/', NULL)")
                              .arg(this->store->tableName())));
    QStringList empty = this->store->selectEmptyImageSavePaths();
    empty.sort();
    EXPECT_EQ(empty, QStringList({this->d.imageSavePath, QStringLiteral("/null/")}));

    ASSERT_TRUE(this->store->deleteEmptyExperiments());
    EXPECT_EQ(rowCount(this->store), 4);
    EXPECT_TRUE(this->store->selectEmptyImageSavePaths().isEmpty());
    // "," is an image list with one empty entry, not an empty experiment
    std::unique_ptr<typename TestFixture::Record> comma(this->store->selectExperimentByName(this->e.name));
    EXPECT_TRUE(comma);
    EXPECT_EQ(this->store->selectAllImageSavePaths().size(), 4);
}

TYPED_TEST(StoreOps, DeleteByNameReturnsTheFoldersOfTheDeletedRows)
{
    this->insertFixture();
    EXPECT_TRUE(this->store->deleteByName({}).isEmpty());
    EXPECT_TRUE(this->store->deleteByName({"no such experiment"}).isEmpty());
    EXPECT_EQ(rowCount(this->store), 5);

    EXPECT_EQ(this->store->deleteByName({this->b.name, "no such experiment", this->c.name}),
              texts({this->b.imageSavePath, this->c.imageSavePath}));
    EXPECT_EQ(rowCount(this->store), 3);
    EXPECT_EQ(this->store->selectExperimentByName(this->b.name), nullptr);
    EXPECT_EQ(this->store->selectDates("", "", "2026-03-01", "2026-03-01"), QVariantList());
    EXPECT_FALSE(StoreTransaction::inTransaction(this->store->database()));
}

TYPED_TEST(StoreOps, CleanUpDeletesRowsCreatedBeforeTheCutoff)
{
    struct Case {
        const char* what;
        QDateTime cutoff;
        int remaining;
    };
    const Case cases[] = {
        {"earlier than every row", at("2026-01-01 00:00:00"), 6},
        {"strictly before: the row at the cutoff stays", at("2026-03-01 14:30:00"), 4},
        {"later than every row: only the row without a time stays", at("2027-01-01 00:00:00"), 1},
        {"no cutoff", QDateTime(), 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        this->SetUp();
        this->insertFixture();
        typename TestFixture::Record untimed;
        untimed.name = QStringLiteral("untimed");
        ASSERT_TRUE(this->store->insertExperiment(&untimed));
        EXPECT_TRUE(this->store->selectUuidsBefore(c.cutoff));
        EXPECT_EQ(rowCount(this->store), c.remaining);
    }
    EXPECT_TRUE(this->store->selectExperimentByName(this->c.name));
    EXPECT_TRUE(this->store->deleteExperimentByUuid(QUuid::createUuid()));
}

TYPED_TEST(StoreOps, ReadsOfAnEmptyTableAreEmpty)
{
    EXPECT_EQ(this->store->selectAllExperiments(), nullptr);
    EXPECT_EQ(this->store->selectExperimentByName("x"), nullptr);
    EXPECT_EQ(this->store->selectExperimentByUuid(QUuid::createUuid()), nullptr);
    EXPECT_TRUE(this->store->selectAllImageSavePaths().isEmpty());
    EXPECT_TRUE(this->store->selectByImageSavePath("/x/").isEmpty());
    EXPECT_TRUE(this->store->selectDates("", "", "0000", "9999").isEmpty());
}
