#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A statement run straight on the SQLite handle of a Qt connection, for the browsing queries
// whose rows would otherwise each pass through Qt's variant conversion. Same connection, same
// busy time-out and transaction as the Qt queries of that thread. Failures are logged as the
// SQL text, " failed." and the SQLite error.
class SqliteStatement {
public:
    SqliteStatement(const QSqlDatabase& db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    // Binds text to the named parameter (":name"); a null QString binds the empty text.
    void bindText(const char* name, const QString& value);
    // Steps to the next row; false at the end or on failure (then logged, failed() true).
    bool next();
    bool failed() const { return m_failed; }
    QString text(int column) const;

    // The SQLite handle behind a Qt connection, null when it is not open.
    static sqlite3* handle(const QSqlDatabase& db);

private:
    void logFailure() const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
    bool m_failed = false;
};
