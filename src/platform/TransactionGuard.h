#pragma once

class DbConnection;

// One user action, one transaction: the guard begins a transaction (or joins the one already running) and
// rolls it back when it goes out of scope uncommitted, so every early return of a failed action undoes
// what the action wrote.
class TransactionGuard {
public:
    explicit TransactionGuard(DbConnection& connection);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    // False when the transaction could not be begun; the error is raised.
    bool active() const { return m_active; }
    // True when the work is committed for good (or, when nested, handed to the outer guard).
    bool Commit();
    // Undoes the work now rather than at the end of the scope, so no lock waits while the user reads a
    // message about it.
    void Rollback();

private:
    DbConnection& m_connection;
    bool m_active = false;
};
