#pragma once

#include <QList>

#include <memory>

#include "experimentstore.h"

// The record-typed operations of one table; Record is the table's own record type.
template <class Record>
class ExperimentTable : public ExperimentStore {
public:
    // All eleven fields; false for a null record or a name the table holds already.
    bool insertExperiment(const Record* record) { return record && insertRecord(*record); }
    // exposureTime, gain and imageNames of the record's row (Gel and Mult: binning too).
    bool updateExperimentParams(const Record* record) { return record && updateRecordParams(*record); }

    // New record owned by the caller, or null when no row matches or the query failed.
    Record* selectExperimentByUuid(const QUuid& uuid)
    {
        auto record = std::make_unique<Record>();
        return readRecordByUuid(uuid, *record) ? record.release() : nullptr;
    }
    Record* selectExperimentByName(const QString& name)
    {
        auto record = std::make_unique<Record>();
        return readRecordByName(name, *record) ? record.release() : nullptr;
    }
    // Every row in table order, owned by the caller; null when the table is empty or the
    // query failed.
    QList<Record>* selectAllExperiments()
    {
        auto records = std::make_unique<QList<Record>>();
        const bool any = readAllRecords([&records]() -> ExperimentRecord& {
            records->append(Record());
            return records->last();
        });
        return any ? records.release() : nullptr;
    }

protected:
    using ExperimentStore::ExperimentStore;
};
