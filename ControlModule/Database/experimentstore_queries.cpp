#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "experimentstore_p.h"
#include "sqlitestatement.h"
#include "storetransaction.h"

using namespace storedetail;

// ---- writes ----

bool ExperimentStore::insertRecord(const ExperimentRecord& r)
{
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->insert))
        return false;
    query.bindValue(QStringLiteral(":uuid"), uuidValue(r.uuid));
    query.bindValue(QStringLiteral(":userName"), textValue(r.userName));
    query.bindValue(QStringLiteral(":expType"), r.expType);
    query.bindValue(QStringLiteral(":name"), textValue(r.name));
    query.bindValue(QStringLiteral(":date"), textValue(r.date));
    query.bindValue(QStringLiteral(":dateTime"), dateTimeValue(r.dateTime));
    query.bindValue(QStringLiteral(":imageSavePath"), textValue(r.imageSavePath));
    query.bindValue(QStringLiteral(":binning"), textValue(r.binning));
    query.bindValue(QStringLiteral(":exposureTime"), textValue(r.exposureTime));
    query.bindValue(QStringLiteral(":gain"), textValue(r.gain));
    query.bindValue(QStringLiteral(":imageNames"), textValue(r.imageNames));
    return exec(query, m_sql->insert);
}

bool ExperimentStore::updateRecordParams(const ExperimentRecord& r)
{
    if (m_updatesBinning)
        return updateBinningExposureGainImages(r.uuid, r.binning, r.exposureTime, r.gain, r.imageNames);
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->updateParams))
        return false;
    query.bindValue(QStringLiteral(":exposureTime"), textValue(r.exposureTime));
    query.bindValue(QStringLiteral(":gain"), textValue(r.gain));
    query.bindValue(QStringLiteral(":imageNames"), textValue(r.imageNames));
    query.bindValue(QStringLiteral(":uuid"), uuidValue(r.uuid));
    return exec(query, m_sql->updateParams);
}

bool ExperimentStore::updateBinningExposureGainImages(const QUuid& uuid, const QString& binning,
                                                      const QString& exposureTime, const QString& gain,
                                                      const QString& imageNames)
{
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->updateBinningParams))
        return false;
    query.bindValue(QStringLiteral(":binning"), textValue(binning));
    query.bindValue(QStringLiteral(":exposureTime"), textValue(exposureTime));
    query.bindValue(QStringLiteral(":gain"), textValue(gain));
    query.bindValue(QStringLiteral(":imageNames"), textValue(imageNames));
    query.bindValue(QStringLiteral(":uuid"), uuidValue(uuid));
    return exec(query, m_sql->updateBinningParams);
}

bool ExperimentStore::updateNameAndImageSavePath(const QString& uuid, const QString& name,
                                                 const QString& imageSavePath)
{
    const QUuid id(uuid);
    if (id.isNull()) {
        logFailure(m_sql->updateName, QStringLiteral("invalid uuid ") + uuid);
        return false;
    }
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->updateName))
        return false;
    query.bindValue(QStringLiteral(":name"), textValue(name));
    query.bindValue(QStringLiteral(":imageSavePath"), textValue(imageSavePath));
    query.bindValue(QStringLiteral(":uuid"), uuidValue(id));
    return exec(query, m_sql->updateName);
}

bool ExperimentStore::updateImageNames(const QString& oldPath, const QString& newPath)
{
    const int slash = oldPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral("") : oldPath.left(slash + 1);
    const QString oldName = fileNameOf(oldPath);
    const QString newName = fileNameOf(newPath);
    if (oldName.isEmpty() || newName.isEmpty() || newName.contains(QLatin1Char(','))) {
        qDebug() << "updateImageNames refused:" << oldPath << newPath;
        return false;
    }

    QSqlDatabase& db = connection();
    StoreTransaction transaction(db, StoreTransaction::Write);
    if (!transaction.isActive())
        return false;
    QStringList rows;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        bool ok = query.prepare(m_sql->selectImageNames);
        if (ok) {
            query.bindValue(QStringLiteral(":imageSavePath"), folder);
            ok = query.exec();
        }
        if (!ok) {
            logFailure(m_sql->selectImageNames, query.lastError().text());
            return false;
        }
        while (query.next())
            rows << query.value(0).toString();
    }
    bool ok = true;
    for (const QString& row : qAsConst(rows)) {
        QStringList entries = row.split(QLatin1Char(','), Qt::KeepEmptyParts);
        const int index = entries.indexOf(oldName);
        if (index < 0)
            continue;
        entries[index] = newName;
        QSqlQuery update(db);
        ok = update.prepare(m_sql->updateImageNames);
        if (ok) {
            update.bindValue(QStringLiteral(":imageNames"), entries.join(QLatin1Char(',')));
            update.bindValue(QStringLiteral(":imageSavePath"), folder);
            ok = update.exec();
        }
        if (!ok)
            logFailure(m_sql->updateImageNames, update.lastError().text());
        break;
    }
    return transaction.commit() && ok;
}

// ---- reads ----

namespace {

// Column positions of "SELECT *", looked up by name once per query.
class RecordReader {
public:
    explicit RecordReader(const QSqlRecord& columns)
        : m_uuid(columns.indexOf(QStringLiteral("uuid")))
        , m_userName(columns.indexOf(QStringLiteral("userName")))
        , m_expType(columns.indexOf(QStringLiteral("expType")))
        , m_name(columns.indexOf(QStringLiteral("name")))
        , m_date(columns.indexOf(QStringLiteral("date")))
        , m_dateTime(columns.indexOf(QStringLiteral("dateTime")))
        , m_imageSavePath(columns.indexOf(QStringLiteral("imageSavePath")))
        , m_binning(columns.indexOf(QStringLiteral("binning")))
        , m_exposureTime(columns.indexOf(QStringLiteral("exposureTime")))
        , m_gain(columns.indexOf(QStringLiteral("gain")))
        , m_imageNames(columns.indexOf(QStringLiteral("imageNames")))
    {
    }

    void read(const QSqlQuery& query, ExperimentRecord& r) const
    {
        r.uuid = QUuid(query.value(m_uuid).toString());
        r.userName = query.value(m_userName).toString();
        r.expType = query.value(m_expType).toInt();
        r.name = query.value(m_name).toString();
        r.date = query.value(m_date).toString();
        const QVariant dateTime = query.value(m_dateTime);
        r.dateTime = dateTime.isNull() ? QDateTime() : QDateTime::fromString(dateTime.toString(), kDateTimeFormat);
        r.imageSavePath = query.value(m_imageSavePath).toString();
        r.binning = query.value(m_binning).toString();
        r.exposureTime = query.value(m_exposureTime).toString();
        r.gain = query.value(m_gain).toString();
        r.imageNames = query.value(m_imageNames).toString();
    }

private:
    int m_uuid, m_userName, m_expType, m_name, m_date, m_dateTime, m_imageSavePath, m_binning,
        m_exposureTime, m_gain, m_imageNames;
};

} // namespace

bool ExperimentStore::readRecord(QSqlQuery& query, const QString& sql, ExperimentRecord& r) const
{
    if (!exec(query, sql) || !query.next())
        return false;
    RecordReader(query.record()).read(query, r);
    return true;
}

bool ExperimentStore::readRecordByUuid(const QUuid& uuid, ExperimentRecord& record)
{
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->selectByUuid))
        return false;
    query.bindValue(QStringLiteral(":uuid"), uuidValue(uuid));
    return readRecord(query, m_sql->selectByUuid, record);
}

bool ExperimentStore::readRecordByName(const QString& name, ExperimentRecord& record)
{
    QSqlDatabase& db = connection();
    StoreTransaction transaction(db);
    QSqlQuery query(db);
    if (!prepare(query, m_sql->selectByName))
        return false;
    query.bindValue(QStringLiteral(":name"), textValue(name));
    return readRecord(query, m_sql->selectByName, record);
}

bool ExperimentStore::readAllRecords(const std::function<ExperimentRecord&()>& append)
{
    QSqlDatabase& db = connection();
    StoreTransaction transaction(db);
    QSqlQuery query(db);
    if (!execDirect(query, m_sql->selectAll))
        return false;
    const RecordReader reader(query.record());
    bool any = false;
    while (query.next()) {
        reader.read(query, append());
        any = true;
    }
    return any;
}

QStringList ExperimentStore::selectEmptyImageSavePaths()
{
    QStringList paths;
    QSqlQuery query(connection());
    if (execDirect(query, m_sql->selectEmptyPaths)) {
        while (query.next())
            paths << query.value(0).toString();
    }
    return paths;
}

QVariantList ExperimentStore::selectAllImageSavePaths()
{
    QVariantList paths;
    QSqlQuery query(connection());
    if (execDirect(query, m_sql->selectAllPaths)) {
        while (query.next())
            paths << query.value(0).toString();
    }
    return paths;
}

QVariantList ExperimentStore::selectByImageSavePath(const QString& imageSavePath)
{
    QVariantList values;
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->selectByPath))
        return values;
    query.bindValue(QStringLiteral(":imageSavePath"), textValue(imageSavePath));
    if (exec(query, m_sql->selectByPath)) {
        while (query.next()) {
            for (int column = 0; column < 5; ++column)
                values << query.value(column).toString(); // binning may come back as a number
        }
    }
    return values;
}

QVariantList ExperimentStore::selectDates(const QString& userName, const QString& name,
                                          const QString& startDate, const QString& endDate)
{
    QVariantList dates;
    QSqlDatabase& db = connection();
    StoreTransaction transaction(db);
    QString sql = m_sql->selectDates;
    if (!userName.isEmpty())
        sql += QStringLiteral(" userName = :userName And");
    if (!name.isEmpty())
        sql += QStringLiteral(" name = :name And");
    sql += QStringLiteral(" date >= :startDate And date <= :endDate GROUP BY date HAVING COUNT(*) >= 1 ORDER BY date DESC");

    SqliteStatement query(db, sql);
    if (!userName.isEmpty())
        query.bindText(":userName", userName);
    if (!name.isEmpty())
        query.bindText(":name", name);
    query.bindText(":startDate", startDate);
    query.bindText(":endDate", endDate);
    while (query.next())
        dates << query.text(0);
    return dates;
}

QVariantList ExperimentStore::selectExperimentsByDate(const QString& date, const QString& userName,
                                                      const QString& name)
{
    QVariantList entries;
    QSqlDatabase& db = connection();
    StoreTransaction transaction(db);
    QString sql = m_sql->selectByDate;
    if (!userName.isEmpty())
        sql += QStringLiteral(" AND userName = :userName");
    if (!name.isEmpty())
        sql += QStringLiteral(" And name = :name");
    sql += QStringLiteral(" ORDER BY dateTime DESC");

    SqliteStatement query(db, sql);
    query.bindText(":date", date);
    if (!userName.isEmpty())
        query.bindText(":userName", userName);
    if (!name.isEmpty())
        query.bindText(":name", name);
    while (query.next())
        entries << QString(query.text(0) % QLatin1Char(',') % query.text(1) % QLatin1Char(',') % query.text(2));
    return entries;
}

// ---- deletes ----

bool ExperimentStore::deleteExperimentByUuid(const QUuid& uuid)
{
    QSqlQuery query(connection());
    if (!prepare(query, m_sql->deleteByUuid))
        return false;
    query.bindValue(QStringLiteral(":uuid"), uuidValue(uuid));
    return exec(query, m_sql->deleteByUuid);
}

QVariantList ExperimentStore::deleteByName(const QStringList& names)
{
    QVariantList deletedPaths;
    if (names.isEmpty())
        return deletedPaths;
    QSqlDatabase& db = connection();
    StoreTransaction transaction(db, StoreTransaction::Write);
    if (!transaction.isActive())
        return deletedPaths;

    // A name whose folders could not be read keeps its row, so no folder is orphaned on disk.
    QVector<QVariantList> pathsByName(names.size());
    QVector<bool> found(names.size(), false);
    {
        QSqlQuery query(db);
        if (!prepare(query, m_sql->selectPathByName))
            return deletedPaths;
        for (int i = 0; i < names.size(); ++i) {
            query.bindValue(QStringLiteral(":name"), textValue(names.at(i)));
            if (!exec(query, m_sql->selectPathByName))
                continue;
            found[i] = true;
            while (query.next())
                pathsByName[i] << query.value(0).toString();
        }
    }
    QVector<bool> deleted(names.size(), false);
    {
        QSqlQuery query(db);
        if (!prepare(query, m_sql->deleteByName))
            return deletedPaths;
        for (int i = 0; i < names.size(); ++i) {
            if (!found[i])
                continue;
            query.bindValue(QStringLiteral(":name"), textValue(names.at(i)));
            deleted[i] = exec(query, m_sql->deleteByName);
        }
    }
    // Only folders whose rows are gone go back: the caller deletes them from disk.
    if (!transaction.commit())
        return deletedPaths;
    for (int i = 0; i < names.size(); ++i) {
        if (deleted[i])
            deletedPaths << pathsByName[i];
    }
    return deletedPaths;
}

bool ExperimentStore::deleteEmptyExperiments()
{
    QSqlQuery query(connection());
    return execDirect(query, m_sql->deleteEmpty);
}

bool ExperimentStore::selectUuidsBefore(const QDateTime& cutoff)
{
    QSqlDatabase& db = connection();
    StoreTransaction transaction(db, StoreTransaction::Write);
    if (!transaction.isActive())
        return false;
    // The stored texts, not reparsed: a row whose uuid text does not parse still goes.
    QStringList uuids;
    {
        QSqlQuery query(db);
        if (!prepare(query, m_sql->selectBefore))
            return false;
        query.bindValue(QStringLiteral(":dateTime"), dateTimeValue(cutoff));
        if (!exec(query, m_sql->selectBefore))
            return false;
        while (query.next())
            uuids << query.value(0).toString();
    }
    bool ok = true;
    if (!uuids.isEmpty()) {
        QSqlQuery query(db);
        if (!prepare(query, m_sql->deleteByUuid))
            return false;
        for (const QString& uuid : qAsConst(uuids)) {
            query.bindValue(QStringLiteral(":uuid"), uuid);
            ok = exec(query, m_sql->deleteByUuid) && ok;
        }
    }
    return transaction.commit() && ok;
}
