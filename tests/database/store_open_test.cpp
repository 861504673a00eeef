#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QTemporaryDir>

#include "apppaths.h"
#include "storetestutil.h"

namespace {

const QStringList kTables = {QStringLiteral("WesternBlotExperiment"), QStringLiteral("GelExperiment"),
                             QStringLiteral("MultExperiment")};

QString createStatement(const QString& table)
{
    return QStringLiteral("CREATE TABLE ") + table
        + QStringLiteral("(uuid TEXT UNIQUE, userName TEXT, expType INTEGER, name TEXT UNIQUE,date TEXT, "
                         "dateTime TIMESTAMP, imageSavePath TEXT, binning INTEGER, exposureTime TEXT, gain "
                         "TEXT, imageNames TEXT)");
}

QStringList openLines(const QStringList& createdTables)
{
    QStringList lines;
    for (const QString& table : kTables) {
        lines << QStringLiteral("连接数据库Experiment.db.") << QStringLiteral("Experiment.db打开成功。");
        if (createdTables.contains(table))
            lines << QStringLiteral("表") + table + QStringLiteral("创建成功。");
    }
    return lines;
}

struct ProbeRun {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QStringList lines;
};

// messagePattern: the toolkit's QT_MESSAGE_PATTERN for the probe's lines (its default when empty).
ProbeRun runProbe(const QString& appDir, const QString& messagePattern = QString())
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVRILL_APP_DIR"), appDir);
    if (!messagePattern.isEmpty())
        env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), messagePattern);
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(STORE_OPEN_PROBE), QStringList());
    ProbeRun run;
    run.finished = probe.waitForFinished(30000);
    run.exitCode = probe.exitCode();
    run.status = probe.exitStatus();
    run.lines = QString::fromUtf8(probe.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

// Reads a file with a connection of its own.
class RawFile {
public:
    explicit RawFile(const QString& path)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(path);
        m_db.open();
    }
    ~RawFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QVariant scalar(const QString& sql)
    {
        QSqlQuery query(m_db);
        if (!query.exec(sql) || !query.next())
            return QVariant();
        return query.value(0);
    }
    bool exec(const QString& sql)
    {
        QSqlQuery query(m_db);
        return query.exec(sql);
    }

    void close() { m_db.close(); }

private:
    const QString m_name = QStringLiteral("raw-file");
    QSqlDatabase m_db;
};

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Must be the first use of the store in this process: the singletons open here.
TEST(StoreOpen, FirstStartCreatesFolderFileAndTablesWithTheirLogLines)
{
    const QString dbPath = AppPaths::appDir() + QStringLiteral("/Databases/Experiment.db");
    ASSERT_FALSE(QDir(AppPaths::appDir() + QStringLiteral("/Databases")).exists());
    QStringList lines;
    {
        LogCapture log;
        ASSERT_NE(WesternBlotExperimentDB::getInstance(), nullptr);
        ASSERT_NE(GelExperimentDB::getInstance(), nullptr);
        ASSERT_NE(MultExperimentDB::getInstance(), nullptr);
        lines = log.lines();
    }
    EXPECT_EQ(lines, openLines(kTables));
    ASSERT_TRUE(QFile::exists(dbPath));

    RawFile file(dbPath);
    for (const QString& table : kTables) {
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(file.scalar(QStringLiteral("select sql from sqlite_master where type = 'table' and name = '")
                              + table + QStringLiteral("'"))
                      .toString(),
                  createStatement(table));
    }
    EXPECT_EQ(file.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(WesternBlotExperimentDB::getInstance(), WesternBlotExperimentDB::getInstance());
}

TEST(StoreOpen, LaterStartsCreateOnlyMissingTablesAndKeepRows)
{
    struct Case {
        const char* what;
        QStringList presentTables; // made beforehand with the original statement, one row each
        QStringList expectCreated;
    };
    const Case cases[] = {
        {"empty folder", {}, kTables},
        {"every table present", kTables, {}},
        {"file of an older start with the gel table only", {QStringLiteral("GelExperiment")},
         {QStringLiteral("WesternBlotExperiment"), QStringLiteral("MultExperiment")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir appDir;
        const QString dbPath = appDir.filePath(QStringLiteral("Databases/Experiment.db"));
        if (!c.presentTables.isEmpty()) {
            QDir().mkpath(appDir.filePath(QStringLiteral("Databases")));
            RawFile file(dbPath);
            for (const QString& table : c.presentTables) {
                ASSERT_TRUE(file.exec(createStatement(table)));
                ASSERT_TRUE(file.exec(QStringLiteral("INSERT INTO ") + table
                                      + QStringLiteral(" VALUES('{1b4e28ba-2fa1-11d2-883f-0016d3cca427}', 'u', 0, "
                                                       "'old', '2020-01-02', '2020-01-02 03:04:05', '/p/', '2*2', "
                                                       "'1,', '1,', 'a.tif,')")));
            }
        }
        const ProbeRun run = runProbe(appDir.path());
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.lines, openLines(c.expectCreated));

        RawFile file(dbPath);
        for (const QString& table : c.presentTables) {
            EXPECT_EQ(file.scalar(QStringLiteral("SELECT binning FROM ") + table).toString(), QStringLiteral("2*2"));
        }
        for (const QString& table : kTables) {
            EXPECT_EQ(file.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(), c.presentTables.contains(table) ? 1 : 0);
            // the browsing indexes are added to files of every age
            EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from sqlite_master where type = 'index' and tbl_name = '")
                                  + table + QStringLiteral("' and sql is not null"))
                          .toInt(),
                      3);
        }
    }
}

TEST(StoreOpen, FileThatCannotBeOpenedEndsTheProgramWithItsMessage)
{
    QTemporaryDir appDir;
    // A plain file where the folder should be: neither the folder nor the database can be made.
    QFile blocker(appDir.filePath(QStringLiteral("Databases")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const ProbeRun run = runProbe(appDir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.status == QProcess::CrashExit || run.exitCode != 0);
    ASSERT_GE(run.lines.size(), 2);
    EXPECT_EQ(run.lines.first(), QStringLiteral("连接数据库Experiment.db."));
    EXPECT_TRUE(run.lines.at(1).startsWith(QStringLiteral("Experiment.db打开失败。"))) << run.lines.at(1).toStdString();
    EXPECT_FALSE(run.lines.join(QLatin1Char('\n')).contains(QStringLiteral("打开成功")));
}

TEST(StoreOpen, DamagedFileIsReportedOnceAndLeftAsItWas)
{
    constexpr int kPageSize = 4096;
    struct Case {
        const char* what;
        int firstByte; // the damage: 0xA5 over [firstByte, firstByte + length)
        int length;
        const char* finding; // in the critical line
    };
    // A file of the three tables and enough rows to fill about 25 pages; page 13 holds rows.
    const Case cases[] = {
        {"a page of rows overwritten, header intact", 12 * kPageSize, kPageSize, "Page 13"},
        {"header overwritten", 0, 16, "file is not a database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir appDir;
        ASSERT_TRUE(QDir().mkpath(appDir.filePath(QStringLiteral("Databases"))));
        const QString dbPath = appDir.filePath(QStringLiteral("Databases/Experiment.db"));
        {
            RawFile file(dbPath);
            ASSERT_TRUE(file.exec(QStringLiteral("PRAGMA page_size = ") + QString::number(kPageSize)));
            for (const QString& table : kTables)
                ASSERT_TRUE(file.exec(createStatement(table)));
            ASSERT_TRUE(file.exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                "INSERT INTO WesternBlotExperiment SELECT '{' || i || '}', 'u', 1, 'WBS' || i, '2026-01-01', "
                "'2026-01-01 00:00:00', '/p/', '2*2', '1,', '1,', printf('%.150c', 'x') FROM n")));
            ASSERT_GE(file.scalar(QStringLiteral("PRAGMA page_count")).toInt(), 20);
            ASSERT_EQ(file.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
            file.close();
        }
        QByteArray damaged = fileBytes(dbPath);
        ASSERT_GE(damaged.size(), c.firstByte + c.length);
        damaged.replace(c.firstByte, c.length, QByteArray(c.length, char(0xA5)));
        {
            QFile file(dbPath);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write(damaged), damaged.size());
        }

        const ProbeRun run = runProbe(appDir.path(), QStringLiteral("%{type} %{message}"));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0);
        const QStringList reports =
            run.lines.filter(QStringLiteral("critical Experiment.db完整性检查失败，文件未作改动。"));
        ASSERT_EQ(reports.size(), 1) << run.lines.join('\n').toStdString();
        EXPECT_TRUE(reports.first().contains(QString::fromUtf8(c.finding))) << reports.first().toStdString();
        EXPECT_TRUE(run.lines.filter(QStringLiteral("创建")).isEmpty()) << run.lines.join('\n').toStdString();

        // The store knows it is damaged: the operator is told which file, in both languages.
        const QStringList told = run.lines.filter(QStringLiteral("warning told: "));
        ASSERT_EQ(told.size(), 1) << run.lines.join('\n').toStdString();
        EXPECT_TRUE(told.first().contains(QStringLiteral("实验数据库已损坏，未作改动：") + QDir::toNativeSeparators(dbPath)))
            << told.first().toStdString();
        EXPECT_TRUE(told.first().contains(QStringLiteral("The experiment store is damaged and left as it was: ")))
            << told.first().toStdString();

        // Not one byte changed: no journal mode switched, no table or index added.
        EXPECT_TRUE(fileBytes(dbPath) == damaged);
        EXPECT_FALSE(QFile::exists(dbPath + QStringLiteral("-wal")));
    }
}
