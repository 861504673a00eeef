#include "sqlitestatement.h"

#include <QDebug>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

sqlite3* SqliteStatement::handle(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

SqliteStatement::SqliteStatement(const QSqlDatabase& db, const QString& sql)
    : m_db(handle(db))
    , m_sql(sql)
{
    if (!m_db) {
        m_failed = true;
        QDebug line = qDebug();
        line.noquote() << m_sql + QStringLiteral(" failed.");
        line.quote() << QStringLiteral("Driver not loaded");
        return;
    }
    if (sqlite3_prepare16_v2(m_db, sql.utf16(), sql.size() * 2, &m_statement, nullptr) != SQLITE_OK) {
        m_failed = true;
        logFailure();
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bindText(const char* name, const QString& value)
{
    if (!m_statement)
        return;
    const int index = sqlite3_bind_parameter_index(m_statement, name);
    // utf16() of a null QString is the empty text, never a null pointer
    sqlite3_bind_text16(m_statement, index, value.utf16(), value.size() * 2, SQLITE_TRANSIENT);
}

bool SqliteStatement::next()
{
    if (!m_statement || m_failed)
        return false;
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE) {
        m_failed = true;
        logFailure();
    }
    return false;
}

QString SqliteStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column)) : QString();
}

void SqliteStatement::logFailure() const
{
    QDebug line = qDebug();
    line.noquote() << m_sql + QStringLiteral(" failed.");
    line.quote() << QString::fromUtf8(sqlite3_errmsg(m_db));
}
