#include "storetransaction.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include "sqlitestatement.h"

namespace {

bool execLogged(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    QDebug line = qDebug();
    line.noquote() << sql + QStringLiteral(" failed.");
    line.quote() << query.lastError().text();
    return false;
}

} // namespace

bool StoreTransaction::inTransaction(const QSqlDatabase& db)
{
    sqlite3* handle = SqliteStatement::handle(db);
    return handle && sqlite3_get_autocommit(handle) == 0;
}

StoreTransaction::StoreTransaction(const QSqlDatabase& db, Mode mode)
    : m_db(db)
{
    if (inTransaction(m_db))
        return;
    m_owned = execLogged(m_db, mode == Write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    m_ok = m_owned;
}

StoreTransaction::~StoreTransaction()
{
    commit();
}

bool StoreTransaction::commit()
{
    if (m_done)
        return m_ok;
    m_done = true;
    if (!m_owned)
        return m_ok;
    if (!execLogged(m_db, QStringLiteral("COMMIT"))) {
        m_ok = false;
        if (inTransaction(m_db))
            execLogged(m_db, QStringLiteral("ROLLBACK"));
    }
    return m_ok;
}
