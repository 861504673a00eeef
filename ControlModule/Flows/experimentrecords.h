#pragma once
// The experiment record a capture flow starts with, and its row.

#include "apppaths.h"
#include "experimentfolder.h"
#include "flowcontext.h"
#include "useropts.h"

#include <QDateTime>
#include <QDebug>
#include <QString>

#include <memory>

// A new record of the logged-in user, named prefix followed by its moment as "yyyyMMdd-hhmmss",
// with its folder <appDir>/Images/<yyyy-MM-dd>/<name>/. The moment is now, or the next second
// whose name and folder are free (FlowContext::experimentMoment). One moment for all: the date
// folder and the name never straddle midnight.
template <class Record>
std::unique_ptr<Record> newExperimentRecord(const FlowContext& ctx, int expType, const QString& prefix)
{
    auto record = std::make_unique<Record>();
    UserOpts* userOpts = ctx.userOpts();
    userOpts->loadUserOptsByName(UserOpts::OPT_LastLoginUser);
    record->userName = userOpts->lastLoginUser();
    record->expType = expType;
    const QDateTime moment = ctx.experimentMoment(prefix, QDateTime::currentDateTime());
    record->date = dayFolderName(moment.date());
    record->dateTime = moment;
    record->name = FlowContext::experimentName(prefix, moment);
    record->imageSavePath = experimentFolder(imagesRoot(AppPaths::appDir()), moment.date(), record->name);
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
