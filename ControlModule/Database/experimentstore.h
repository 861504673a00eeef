#pragma once

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QThreadStorage>
#include <QUuid>
#include <QVariantList>

#include <atomic>
#include <functional>
#include <memory>

#include "experimentrecord.h"
#include "storetransaction.h"

class QSqlQuery;

// One experiment table of <appDir>/Databases/Experiment.db. Every thread that calls a store
// gets its own connection to the file (a Qt connection belongs to the thread that opened it);
// it is closed and removed when that thread ends. The file runs in WAL mode with a busy
// time-out, so a capture thread's write waits for another thread's transaction instead of
// failing.
//
// Failures: writes return false, record reads null, list reads what they collected; each
// failed statement is logged as its SQL text, " failed." and the SQL error.
class ExperimentStore : public QObject {
    Q_OBJECT

public:
    ~ExperimentStore() override;

    const QString& tableName() const { return m_table; }

    // The calling thread's connection (opened on first use). Callers may wrap several
    // operations of this thread in one transaction on it (StoreTransaction or
    // transaction()/commit()); the operations then join that transaction.
    QSqlDatabase database();

    // Opens the first connection (on the calling thread) and creates the table when missing; a
    // file that cannot be opened ends the program (qFatal). A file that fails SQLite's quick
    // check is logged as critical and left untouched (no journal mode, table or index written).
    // Run once, by the constructor.
    void openDatabase();
    // False when the file failed the quick check at open (nothing is written into it then).
    bool isSound() const { return !m_damaged; }
    // What the operator is told when the store refuses an experiment: the file, and whether it
    // is damaged.
    QString refusalText() const;
    bool createTable();
    void createTableIfMissing();

    bool updateBinningExposureGainImages(const QUuid& uuid, const QString& binning,
                                         const QString& exposureTime, const QString& gain,
                                         const QString& imageNames);
    // uuid: the braced text that selectExperimentsByDate/selectByImageSavePath hand out;
    // an unreadable uuid is refused.
    bool updateNameAndImageSavePath(const QString& uuid, const QString& name,
                                    const QString& imageSavePath);
    // Replaces the file name of oldPath by that of newPath in the imageNames of the row whose
    // folder is oldPath's folder (first whole entry only). Refuses an empty name and a new
    // name holding ",", which would shift the per-image lists. True also when no row lists it.
    bool updateImageNames(const QString& oldPath, const QString& newPath);

    QStringList selectEmptyImageSavePaths();
    QVariantList selectAllImageSavePaths();
    // Five texts per row: uuid, binning, exposureTime, gain, imageNames.
    QVariantList selectByImageSavePath(const QString& imageSavePath);
    // Days ("yyyy-MM-dd") with experiments in [startDate, endDate], newest first, each once;
    // an empty userName or name does not filter.
    QVariantList selectDates(const QString& userName, const QString& name,
                             const QString& startDate, const QString& endDate);
    // "{uuid},name,imageSavePath" of the day's experiments, latest first.
    QVariantList selectExperimentsByDate(const QString& date, const QString& userName,
                                         const QString& name);

    bool deleteExperimentByUuid(const QUuid& uuid);
    // Deletes the named rows; returns the folders of the rows actually deleted (the caller
    // removes those folders).
    QVariantList deleteByName(const QStringList& names);
    // Rows with a NULL or empty imageNames.
    bool deleteEmptyExperiments();
    // Deletes every row created before cutoff, in one transaction.
    bool selectUuidsBefore(const QDateTime& cutoff);

protected:
    // updatesBinning: whether updateExperimentParams writes the binning column.
    ExperimentStore(const QString& tableName, bool updatesBinning);

    bool insertRecord(const ExperimentRecord& record);
    bool updateRecordParams(const ExperimentRecord& record);
    bool readRecordByUuid(const QUuid& uuid, ExperimentRecord& record);
    bool readRecordByName(const QString& name, ExperimentRecord& record);
    // Calls append once per row, in query order, and fills the record it returns.
    bool readAllRecords(const std::function<ExperimentRecord&()>& append);

private:
    struct ThreadConnection;
    struct Statements;

    QSqlDatabase& connection();
    QSqlDatabase openConnection(const QString& connectionName, QString* error) const;
    bool prepare(QSqlQuery& query, const QString& sql) const;
    bool exec(QSqlQuery& query, const QString& sql) const;
    bool execDirect(QSqlQuery& query, const QString& sql) const;
    bool readRecord(QSqlQuery& query, const QString& sql, ExperimentRecord& record) const;
    void createIndexes();

    const QString m_table;
    const bool m_updatesBinning;
    const std::unique_ptr<const Statements> m_sql;
    const QString m_path; // every thread's connection opens this one file
    std::atomic<bool> m_opened{false};
    std::atomic<bool> m_damaged{false};
    QThreadStorage<ThreadConnection*> m_connections;
};
