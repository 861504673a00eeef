#include "experimentstore.h"

#include <QDebug>
#include <QDir>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringBuilder>

#include <atomic>

#include "apppaths.h"
#include "folderfault.h"
#include "experimentstore_p.h"
#include "storetransaction.h"

namespace {

// Long enough to outlast another thread's write transaction (an image deletion holds one
// while it removes files); a capture that gives up here would lose its row update.
constexpr int kBusyTimeoutMs = 15000;

std::atomic<int> connectionSerial{0};

// How many findings of the check are logged: the first ones are enough to act on.
constexpr int kShownProblems = 5;

// What PRAGMA quick_check finds wrong with the file (nothing when it is sound). The check reads
// every page and changes none, so a damaged file can be left exactly as it was found.
QStringList integrityProblems(const QSqlDatabase& db)
{
    QSqlQuery check(db);
    check.setForwardOnly(true);
    if (!check.exec(QStringLiteral("PRAGMA quick_check(") + QString::number(kShownProblems) + QLatin1Char(')')))
        return {check.lastError().text()};
    QStringList problems;
    while (check.next()) {
        const QString finding = check.value(0).toString();
        if (finding != QLatin1String("ok"))
            problems << finding;
    }
    if (check.lastError().isValid())
        problems << check.lastError().text();
    return problems.mid(0, kShownProblems);
}

// The three stores open one file at start-up: it is checked, and a damaged one reported, once.
bool isSoundFile(const QString& path, const QSqlDatabase& db)
{
    static QMutex mutex;
    static QHash<QString, bool> checked;
    QMutexLocker locker(&mutex);
    const auto known = checked.constFind(path);
    if (known != checked.constEnd())
        return known.value();
    const QStringList problems = integrityProblems(db);
    if (!problems.isEmpty())
        qCritical() << "Experiment.db完整性检查失败，文件未作改动。" << problems;
    checked.insert(path, problems.isEmpty());
    return problems.isEmpty();
}

} // namespace

using namespace storedetail;

ExperimentStore::Statements::Statements(const QString& t)
    : selectTable(QStringLiteral("select name from sqlite_master where type = 'table' and name = '") % t % QStringLiteral("'"))
    , create(QStringLiteral("CREATE TABLE ") % t % QStringLiteral("(uuid TEXT UNIQUE, userName TEXT, expType INTEGER, name TEXT UNIQUE,date TEXT, dateTime TIMESTAMP, imageSavePath TEXT, binning INTEGER, exposureTime TEXT, gain TEXT, imageNames TEXT)"))
    , indexes{
          // selectDates reads its days from these alone; selectExperimentsByDate finds one
          // day's rows already in time order
          QStringLiteral("CREATE INDEX IF NOT EXISTS ") % t % QStringLiteral("_date ON ") % t % QStringLiteral("(date, dateTime)"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS ") % t % QStringLiteral("_userName ON ") % t % QStringLiteral("(userName, date)"),
          // image deletion and renaming look rows up by folder
          QStringLiteral("CREATE INDEX IF NOT EXISTS ") % t % QStringLiteral("_imageSavePath ON ") % t % QStringLiteral("(imageSavePath)")}
    , insert(QStringLiteral("INSERT INTO ") % t % QStringLiteral("(uuid, userName, expType, name, date, dateTime, imageSavePath, binning, exposureTime, gain, imageNames)VALUES(:uuid, :userName, :expType, :name, :date, :dateTime, :imageSavePath, :binning, :exposureTime, :gain, :imageNames)"))
    , updateParams(QStringLiteral("UPDATE ") % t % QStringLiteral(" SET exposureTime = :exposureTime, gain = :gain, imageNames = :imageNames where uuid = :uuid"))
    , updateBinningParams(QStringLiteral("UPDATE ") % t % QStringLiteral(" SET binning = :binning, exposureTime = :exposureTime, gain = :gain, imageNames = :imageNames where uuid = :uuid"))
    , updateName(QStringLiteral("UPDATE ") % t % QStringLiteral(" SET name = :name, imageSavePath = :imageSavePath where uuid = :uuid"))
    , selectImageNames(QStringLiteral("SELECT imageNames FROM ") % t % QStringLiteral(" where imageSavePath = :imageSavePath"))
    , updateImageNames(QStringLiteral("UPDATE ") % t % QStringLiteral(" SET imageNames = :imageNames where imageSavePath = :imageSavePath"))
    , selectByUuid(QStringLiteral("SELECT * FROM ") % t % QStringLiteral(" where uuid = :uuid"))
    , selectByName(QStringLiteral("SELECT * FROM ") % t % QStringLiteral(" where name = :name"))
    , selectAll(QStringLiteral("SELECT * FROM ") % t)
    , selectEmptyPaths(QStringLiteral("SELECT imageSavePath FROM ") % t % QStringLiteral(" where imageNames IS NULL OR imageNames = ''"))
    , selectAllPaths(QStringLiteral("SELECT imageSavePath FROM ") % t)
    , selectByPath(QStringLiteral("SELECT uuid, binning, exposureTime, gain, imageNames FROM ") % t % QStringLiteral(" WHERE imageSavePath = :imageSavePath"))
    , selectDates(QStringLiteral("SELECT date FROM ") % t % QStringLiteral(" WHERE"))
    , selectByDate(QStringLiteral("SELECT uuid, name, imageSavePath FROM ") % t % QStringLiteral(" WHERE date = :date"))
    , deleteByUuid(QStringLiteral("DELETE FROM ") % t % QStringLiteral(" where uuid = :uuid"))
    , selectPathByName(QStringLiteral("SELECT imageSavePath FROM ") % t % QStringLiteral(" where name = :name"))
    , deleteByName(QStringLiteral("DELETE FROM ") % t % QStringLiteral(" where name = :name"))
    , deleteEmpty(QStringLiteral("DELETE FROM ") % t % QStringLiteral(" where imageNames IS NULL OR imageNames = ''"))
    , selectBefore(QStringLiteral("SELECT uuid FROM ") % t % QStringLiteral(" where dateTime < :dateTime"))
{
}

// A connection owned by one thread; QThreadStorage deletes it in that thread as it ends.
struct ExperimentStore::ThreadConnection {
    ThreadConnection(const QString& connectionName, const QSqlDatabase& database)
        : name(connectionName)
        , db(database)
    {
    }
    ~ThreadConnection()
    {
        db.close();
        db = QSqlDatabase(); // the last handle must be gone before the name is removed
        QSqlDatabase::removeDatabase(name);
    }
    const QString name;
    QSqlDatabase db;
};

ExperimentStore::ExperimentStore(const QString& tableName, bool updatesBinning)
    : m_table(tableName)
    , m_updatesBinning(updatesBinning)
    , m_sql(new Statements(tableName))
    , m_path(AppPaths::appDir() + QStringLiteral("/Databases/Experiment.db"))
{
    openDatabase();
}

ExperimentStore::~ExperimentStore() = default;

QSqlDatabase ExperimentStore::openConnection(const QString& connectionName, QString* error) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(kBusyTimeoutMs));
    if (!db.open())
        *error = db.lastError().text();
    return db;
}

void ExperimentStore::openDatabase()
{
    // The connection named after the table exists once; a second one would replace it.
    if (m_opened.exchange(true))
        return;
    qDebug() << "连接数据库Experiment.db.";
    const QString dir = AppPaths::appDir() + QStringLiteral("/Databases/");
    if (!QDir(dir).exists())
        QDir().mkpath(dir);

    QString error;
    const QSqlDatabase db = openConnection(m_table, &error);
    if (!db.isOpen()) {
        // The operator reads this on the standard error: it names the folder and what is wrong.
        const QString folder = QDir::cleanPath(dir);
        qFatal("Experiment.db打开失败。 \"%s\" %s", qUtf8Printable(error),
               qUtf8Printable(folderFaultText(folder, folderFault(folder))));
    }
    qDebug() << "Experiment.db打开成功。";
    m_connections.setLocalData(new ThreadConnection(m_table, db));

    // A damaged file is not written to at all: switching its journal mode or adding tables and
    // indexes could spread the damage and would destroy what a recovery tool could still read.
    if (!isSoundFile(m_path, db)) {
        m_damaged = true;
        return;
    }

    // WAL lets the GUI thread read while a capture thread writes; the mode is kept in the file.
    {
        QSqlQuery wal(db);
        execDirect(wal, QStringLiteral("PRAGMA journal_mode=WAL"));
    }

    createTableIfMissing();
    createIndexes();
}

QString ExperimentStore::refusalText() const
{
    const QString path = QDir::toNativeSeparators(m_path);
    if (m_damaged)
        return QStringLiteral("实验数据库已损坏，未作改动：%1 / The experiment store is damaged and left as it was: %1").arg(path);
    return QStringLiteral("实验数据库无法写入：%1 / The experiment store cannot be written: %1").arg(path);
}

QSqlDatabase& ExperimentStore::connection()
{
    if (!m_connections.hasLocalData()) {
        const QString name = m_table + QLatin1Char('@') + QString::number(++connectionSerial);
        QString error;
        const QSqlDatabase db = openConnection(name, &error);
        if (!db.isOpen()) {
            QDebug line = qDebug();
            line.noquote() << QStringLiteral("Experiment.db打开失败。");
            line.quote() << name << error;
        }
        m_connections.setLocalData(new ThreadConnection(name, db));
    }
    QSqlDatabase& db = m_connections.localData()->db;
    if (!db.isOpen())
        db.open(); // statements on a closed connection fail and are logged
    return db;
}

QSqlDatabase ExperimentStore::database()
{
    return connection();
}

bool ExperimentStore::createTable()
{
    QSqlQuery query(connection());
    return execDirect(query, m_sql->create);
}

void ExperimentStore::createTableIfMissing()
{
    {
        QSqlQuery query(connection());
        if (execDirect(query, m_sql->selectTable) && query.next())
            return;
    }
    if (createTable())
        qDebug().noquote() << QStringLiteral("表") % m_table % QStringLiteral("创建成功。");
    else
        qDebug().noquote() << QStringLiteral("表") % m_table % QStringLiteral("创建失败。");
}

void ExperimentStore::createIndexes()
{
    QSqlQuery query(connection());
    for (const QString& sql : m_sql->indexes)
        execDirect(query, sql);
}

bool ExperimentStore::prepare(QSqlQuery& query, const QString& sql) const
{
    query.setForwardOnly(true);
    if (query.prepare(sql))
        return true;
    logFailure(sql, query.lastError().text());
    return false;
}

bool ExperimentStore::exec(QSqlQuery& query, const QString& sql) const
{
    if (query.exec())
        return true;
    logFailure(sql, query.lastError().text());
    return false;
}

bool ExperimentStore::execDirect(QSqlQuery& query, const QString& sql) const
{
    query.setForwardOnly(true);
    if (query.exec(sql))
        return true;
    logFailure(sql, query.lastError().text());
    return false;
}

