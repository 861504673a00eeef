#pragma once

#include <QSqlDatabase>

// Scopes one transaction on a store connection (ExperimentStore::database() of the calling
// thread). Inside a transaction the caller already opened on that connection it joins it and
// leaves the commit to the caller. Commits when the scope ends, on every path; a failed commit
// is logged and rolled back, so the connection is never left inside a transaction.
class StoreTransaction {
public:
    enum Mode {
        Read,  // plain BEGIN
        Write, // BEGIN IMMEDIATE: takes the write lock at once, waiting out the busy time-out
    };

    explicit StoreTransaction(const QSqlDatabase& db, Mode mode = Read);
    ~StoreTransaction();
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;

    // True when this guard began the transaction (false when it joined one or BEGIN failed).
    bool ownsTransaction() const { return m_owned; }
    // False when BEGIN failed (for Write: the lock was not had within the busy time-out);
    // statements would then run one by one, outside any transaction.
    bool isActive() const { return m_ok && !m_done; }
    // Ends the scope early. False when the COMMIT failed (the writes are then rolled back)
    // or when BEGIN had failed; true when the transaction was joined.
    bool commit();

    // True when the connection is inside a transaction.
    static bool inTransaction(const QSqlDatabase& db);

private:
    QSqlDatabase m_db;
    bool m_owned = false;
    bool m_ok = true;
    bool m_done = false;
};
