#pragma once
// The experiment record a capture flow starts with, and its row.

#include "apppaths.h"
#include "experimentfolder.h"
#include "useropts.h"

#include <QDateTime>
#include <QDebug>
#include <QString>

#include <memory>

// A new record of the logged-in user, named prefix followed by now as "yyyyMMdd-hhmmss", with its
// folder <appDir>/Images/<yyyy-MM-dd>/<name>/. One reading of the clock: the date folder and the
// name never straddle midnight.
template <class Record>
std::unique_ptr<Record> newExperimentRecord(UserOpts* userOpts, int expType, const QString& prefix)
{
    auto record = std::make_unique<Record>();
    userOpts->loadUserOptsByName(UserOpts::OPT_LastLoginUser);
    record->userName = userOpts->lastLoginUser();
    record->expType = expType;
    const QDateTime now = QDateTime::currentDateTime();
    record->date = dayFolderName(now.date());
    record->dateTime = now;
    record->name = prefix + now.toString(QStringLiteral("yyyyMMdd-hhmmss"));
    record->imageSavePath = experimentFolder(imagesRoot(AppPaths::appDir()), now.date(), record->name);
    return record;
}

// Inserts the record's row and logs its name with the outcome; true when the row is in.
template <class Table, class Record>
bool insertExperimentRow(Table* table, const Record* record)
{
    const bool saved = table->insertExperiment(record);
    qDebug() << record->name << " 保存 " << (saved ? "true" : "false");
    return saved;
}
