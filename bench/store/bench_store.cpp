// The image library's two browsing queries on a table of 100,000 experiments: ours through the
// store (Qt SQL, one connection per thread) against the same SQL through the sqlite3 C
// interface on its own connection to the same file.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pairsummary.h"
#include "westernblotexperimentdb.h"

namespace {

constexpr int kRows = 100000;
constexpr int kDays = 1000;
constexpr int kUsers = 10;
const char* const kStart = "2023-01-01";
const char* const kEnd = "2025-12-31";
const char* const kDay = "2024-06-15";
const char* const kUser = "user3";

sqlite3* peer = nullptr;

using Rows = std::vector<std::string>;

QString userFilter(int filtered) { return filtered ? QString::fromLatin1(kUser) : QString(); }

// The statements exactly as the store builds them for WesternBlotExperiment.
std::string datesSql(bool filtered)
{
    return std::string("SELECT date FROM WesternBlotExperiment WHERE") + (filtered ? " userName = :userName And" : "")
        + " date >= :startDate And date <= :endDate GROUP BY date HAVING COUNT(*) >= 1 ORDER BY date DESC";
}

std::string byDateSql(bool filtered)
{
    return std::string("SELECT uuid, name, imageSavePath FROM WesternBlotExperiment WHERE date = :date")
        + (filtered ? " AND userName = :userName" : "") + " ORDER BY dateTime DESC";
}

void bind(sqlite3_stmt* statement, const char* name, const char* value)
{
    sqlite3_bind_text(statement, sqlite3_bind_parameter_index(statement, name), value, -1, SQLITE_STATIC);
}

Rows peerDates(bool filtered)
{
    Rows rows;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(peer, datesSql(filtered).c_str(), -1, &statement, nullptr);
    if (filtered)
        bind(statement, ":userName", kUser);
    bind(statement, ":startDate", kStart);
    bind(statement, ":endDate", kEnd);
    while (sqlite3_step(statement) == SQLITE_ROW)
        rows.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return rows;
}

Rows peerByDate(bool filtered)
{
    Rows rows;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(peer, byDateSql(filtered).c_str(), -1, &statement, nullptr);
    bind(statement, ":date", kDay);
    if (filtered)
        bind(statement, ":userName", kUser);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::string entry(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        entry += ',';
        entry += reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        entry += ',';
        entry += reinterpret_cast<const char*>(sqlite3_column_text(statement, 2));
        rows.push_back(std::move(entry));
    }
    sqlite3_finalize(statement);
    return rows;
}

Rows toRows(const QVariantList& list)
{
    Rows rows;
    for (const QVariant& value : list)
        rows.push_back(value.toString().toStdString());
    return rows;
}

QVariantList oursDates(bool filtered)
{
    return WesternBlotExperimentDB::getInstance()->selectDates(userFilter(filtered), QString(), kStart, kEnd);
}

QVariantList oursByDate(bool filtered)
{
    return WesternBlotExperimentDB::getInstance()->selectExperimentsByDate(kDay, userFilter(filtered), QString());
}

void checkSame(benchmark::State& state, const Rows& ours, const Rows& theirs)
{
    if (ours != theirs || ours.empty())
        state.SkipWithError("ours and the peer differ");
}

void store_select_dates_ours(benchmark::State& state)
{
    checkSame(state, toRows(oursDates(state.range(0))), peerDates(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(oursDates(state.range(0)));
}

void store_select_dates_peer(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(peerDates(state.range(0)));
}

void store_select_by_date_ours(benchmark::State& state)
{
    checkSame(state, toRows(oursByDate(state.range(0))), peerByDate(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(oursByDate(state.range(0)));
}

void store_select_by_date_peer(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(peerByDate(state.range(0)));
}

// Argument: 0 without filter, 1 filtered by one user.
BENCHMARK(store_select_dates_ours)->ArgName("user")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(store_select_dates_peer)->ArgName("user")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(store_select_by_date_ours)->ArgName("user")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(store_select_by_date_peer)->ArgName("user")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 100 experiments a day over 1000 days, each day shared by the ten users; one transaction.
bool fill(const QString& file)
{
    if (sqlite3_open_v2(file.toUtf8().constData(), &peer, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(peer, 15000);
    sqlite3_exec(peer, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(peer,
                       "INSERT INTO WesternBlotExperiment(uuid, userName, expType, name, date, dateTime, imageSavePath, "
                       "binning, exposureTime, gain, imageNames) VALUES(?, ?, 1, ?, ?, ?, ?, '2*2', '100,', '1,', 'a.tif,')",
                       -1, &insert, nullptr);
    const QDate first(2023, 1, 1);
    bool ok = true;
    for (int i = 0; i < kRows && ok; ++i) {
        const QDate day = first.addDays(i % kDays);
        const int second = (i / kDays) * 37; // 100 distinct times a day
        const QString date = day.toString(QStringLiteral("yyyy-MM-dd"));
        const QString time = QStringLiteral("%1:%2:%3").arg(second / 3600, 2, 10, QLatin1Char('0')).arg(second / 60 % 60, 2, 10, QLatin1Char('0')).arg(second % 60, 2, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("WBS") + day.toString(QStringLiteral("yyyyMMdd-")) + QString(time).remove(QLatin1Char(':'));
        const QByteArray values[] = {QUuid::createUuid().toString().toUtf8(),
                                     QStringLiteral("user%1").arg((i + i / kDays) % kUsers).toUtf8(), name.toUtf8(), date.toUtf8(),
                                     (date + QLatin1Char(' ') + time).toUtf8(),
                                     (QStringLiteral("/opt/tavrill/Images/") + date + QLatin1Char('/') + name + QLatin1Char('/')).toUtf8()};
        for (int v = 0; v < 6; ++v)
            sqlite3_bind_text(insert, v + 1, values[v].constData(), values[v].size(), SQLITE_TRANSIENT);
        ok = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    ok = sqlite3_exec(peer, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK && ok;
    // As a later start finds the file: every page back in the database file.
    return sqlite3_exec(peer, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr) == SQLITE_OK && ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir appDir;
    qputenv("TAVRILL_APP_DIR", appDir.path().toLocal8Bit());
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    if (!WesternBlotExperimentDB::getInstance() || !fill(appDir.filePath(QStringLiteral("Databases/Experiment.db")))) {
        std::fprintf(stderr, "could not build the table\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    sqlite3_close(peer);
    return 0;
}
