#pragma once

// Shared by the two implementation files of ExperimentStore.

#include <QDateTime>
#include <QDebug>
#include <QStringBuilder>
#include <QUuid>
#include <QVariant>

#include "experimentstore.h"

namespace storedetail {

inline const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// A null QString binds as SQL NULL; columns that hold text get the empty text instead.
inline QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

inline QVariant uuidValue(const QUuid& uuid)
{
    return uuid.toString(); // braced, 38 characters
}

inline QVariant dateTimeValue(const QDateTime& dateTime)
{
    return dateTime.isNull() ? QVariant(QVariant::String) : QVariant(dateTime.toString(kDateTimeFormat));
}

inline void logFailure(const QString& sql, const QString& error)
{
    QDebug line = qDebug();
    line.noquote() << sql % QStringLiteral(" failed.");
    line.quote() << error;
}

inline QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace storedetail

// The statements of one table, built once: only the table name differs between the three.
struct ExperimentStore::Statements {
    explicit Statements(const QString& table);

    const QString selectTable, create;
    const QString indexes[3];
    const QString insert, updateParams, updateBinningParams, updateName, selectImageNames, updateImageNames;
    const QString selectByUuid, selectByName, selectAll, selectEmptyPaths, selectAllPaths, selectByPath;
    const QString selectDates, selectByDate;
    const QString deleteByUuid, selectPathByName, deleteByName, deleteEmpty, selectBefore;
};
