#pragma once

#include <QDateTime>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "gelexperimentdb.h"
#include "testappdir.h"
#include "multexperimentdb.h"
#include "westernblotexperimentdb.h"

#include <ostream>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QVariant& value, std::ostream* os)
{
    *os << value.typeName() << ' ' << '"' << value.toString().toStdString() << '"';
}

// Collects every Qt message while it lives (from any thread).
class LogCapture {
public:
    LogCapture()
    {
        current() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    bool contains(const QString& text) const
    {
        const QStringList all = lines();
        for (const QString& line : all) {
            if (line.contains(text))
                return true;
        }
        return false;
    }

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        if (LogCapture* capture = current()) {
            QMutexLocker lock(&capture->m_mutex);
            capture->m_lines << message;
        }
    }
    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};

// One value of a statement run on the calling thread's connection of the store.
inline QVariant scalar(ExperimentStore* store, const QString& sql)
{
    QSqlQuery query(store->database());
    if (!query.exec(sql) || !query.next())
        return QVariant();
    return query.value(0);
}

inline int rowCount(ExperimentStore* store)
{
    return scalar(store, QStringLiteral("SELECT COUNT(*) FROM ") + store->tableName()).toInt();
}

inline QDateTime at(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// A record as a creator fills it: folder from the date and the name.
template <class Record>
Record makeRecord(const QString& name, const QString& userName, const QString& dateTime,
                  const QString& imageNames)
{
    Record record;
    record.name = name;
    record.userName = userName;
    record.expType = 1;
    record.dateTime = at(dateTime);
    record.date = dateTime.left(10);
    record.imageSavePath = QStringLiteral("/app/Images/") + record.date + QLatin1Char('/') + name + QLatin1Char('/');
    record.binning = QStringLiteral("2*2");
    record.exposureTime = QStringLiteral("100,");
    record.gain = QStringLiteral("1,");
    record.imageNames = imageNames;
    return record;
}
