#pragma once

#include "platform/DbError.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

class QSqlQuery;

// The warehouse connection: opened from a connection text, it runs statements, hands out recordsets and
// carries the transaction that groups one user action. A failure answers false, leaves its error in
// LastError() and raises it on the program's current error; nothing throws.
class DbConnection {
public:
    enum StateValue { adStateClosed = 0, adStateOpen = 1 };

    DbConnection();
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    // Client-side cursors and a three-minute command time-out are what the program asks of every
    // connection; Qt reads whole result sets on the client anyway. The time-out, in seconds (0: wait as
    // long as it takes), bounds every statement, also one that waits for another session's lock.
    int CursorLocation = 3;
    int CommandTimeout = 180;

    bool Open(const QString& connectionText);
    void Close();
    int State() const;

    // The provider named in the connection text ("SQLOLEDB", "MSDAORA", "MSDASQL", "SQLITE"), readable
    // also after the open.
    QString Provider() const { return m_provider; }
    // Whether the server is Oracle, as its driver names it, whatever provider spelling or data source
    // reached it.
    bool IsOracle() const;
    // Whether the server is SQL Server, which ignores trailing blanks in every comparison of text.
    bool IsSqlServer() const { return isSqlServer(); }
    // Whether the server is PostgreSQL.
    bool IsPostgres() const;
    // Whether the warehouse is a SQLite file (not acting as a server).
    bool IsSqlite() const;

    // Provider properties the program reads; "Current Collation Name" is the server's collation for SQL
    // Server connections and empty elsewhere.
    QStringList PropertyNames() const;
    QVariant Property(const QString& name) const;

    // Runs one statement; recordsAffected receives the row count where the driver knows it.
    bool Execute(const QString& sql, qint64* recordsAffected = nullptr);

    // The server's session behind the connection has gone (the server ended it, the network dropped it):
    // found out when a call fails, and from then on every call fails at once with the loss as its error
    // (CurrentError::ConnectionLost), without reaching the driver, until the warehouse is opened again.
    bool Lost() const { return m_lost; }
    // What a user is told of the loss: nothing was changed; or, lost as an action was committed, that
    // whether it was saved is not known.
    static QString LostText();
    static QString LostAtCommitText();

    DbError LastError() const { return m_lastError; }
    void ClearErrors() { m_lastError = {}; }
    QSqlDatabase database() const;
    QString driverLabel() const;

    // Transactions nest: the outermost begin and commit are real, inner ones join it. An inner level that
    // ends without committing dooms the whole transaction, so the outermost commit rolls back.
    // Every transaction is one user action that reads, checks and writes; the outermost begin first waits
    // (under the command time-out) for the right to write, so two actions on the same warehouse, from this
    // program or another copy of it, run one after the other and each checks what the other wrote. On
    // SQLite that is the database's write lock; on PostgreSQL and Oracle, locks on the tables below that
    // block other writers but not readers; on SQL Server, an application lock named after those tables.
    bool BeginTrans();
    // The tables a transaction locks first on a server (in this order); none: nothing is locked.
    void SetWriteLockTables(const QStringList& tables) { m_lockTables = tables; }
    bool CommitTrans();
    void RollbackTrans();
    int TransactionDepth() const { return m_depth; }
    bool InTransaction() const { return m_depth > 0; }
    // Runs `done` once when the transaction now running ends: with true after its commit, with false
    // after its rollback. Work kept outside the database (tree nodes) follows the transaction this way.
    // Without a running transaction, `done` runs at once with true.
    void WhenTransactionEnds(std::function<void(bool committed)> done);
    // Runs `done` once the transaction now running has ended and every WhenTransactionEnds listener has
    // run, so what it tells the user comes after everything is undone. Without a transaction, at once.
    void AfterTransactionEnds(std::function<void()> done);

    // Test switch: the k-th statement from now (1 = the next one) fails with the given error.
    void FailNthStatement(int k, const DbError& error);
    // Test switch: the next statement whose text contains `fragment` fails with the given error.
    void FailStatementContaining(const QString& fragment, const DbError& error);
    void ClearInjectedFailures();
    // Test switch: `hook` sees each statement about to be sent until it answers true. Statements sent
    // from within the hook do not reach it.
    void BeforeStatement(std::function<bool(const QString& sql)> hook) {
        m_beforeStatement = std::move(hook);
    }
    // Test switch: statements answer the row count a driver gives when it does not count them (-1), as
    // FreeTDS does for SQL Server with NOCOUNT on.
    void LeaveRowCountsUnknown(bool unknown) { m_countsUnknown = unknown; }
    // Test switch, set before the open: the connection takes `dbms` for its server's name (as an ODBC
    // driver gives it) where it chooses a server's own statements (at the open, at an action's begin),
    // and sends each of those as `standIn` rewrites it, so that a test sees them and answers them on the
    // warehouse at hand. With `everyStatement` it rewrites every query and statement the connection sends,
    // so that the program's own statements for that server run on the warehouse at hand as that server
    // would run them.
    void ActAsServer(const QString& dbms, std::function<QString(const QString& sql)> standIn,
                     bool everyStatement = false) {
        m_actAs = dbms;
        m_standIn = std::move(standIn);
        m_standInEverywhere = everyStatement;
    }

    // Test switch: a SQLite connection keeps SQLite's own page cache settings (its default size, spilling
    // to the file once full), which the open and every action then leave alone, to compare the program's
    // with. Set before the open; set later, the settings it finds stay.
    void KeepSqliteCacheSettings(bool keep) { m_keepCacheSettings = keep; }

    // How many queries and statements were sent on this connection since it was created.
    qint64 StatementCount() const { return m_statements; }

    // Called before every statement is sent; answers false (with the error raised) when the text is not
    // well-formed or a test switch says this one fails.
    bool admitStatement(const QString& sql);
    // Sends one admitted statement on `query` under the command time-out; false with the error recorded.
    bool Run(QSqlQuery& query, const QString& sql);
    // Records a failure of a query or statement of this connection.
    void fail(const DbError& error);
    DbError errorFrom(const QSqlQuery& query) const;
    // The failure of a call on the connection itself (a begin, a commit).
    DbError errorOf(const QSqlDatabase& db) const;

private:
    QString m_connectionName;
    QString m_provider;
    QString m_collation;
    DbError m_lastError;
    int m_depth = 0;
    qint64 m_statements = 0;
    bool m_doomed = false;
    int m_failCountdown = 0;
    DbError m_failNth;
    QString m_failFragment;
    DbError m_failFragmentError;
    bool m_open = false;
    bool m_lost = false;
    // The driver's words for the failure that showed the session gone.
    QString m_lostCause;
    bool m_committing = false;
    std::vector<std::function<void(bool)>> m_onTransactionEnd;
    std::vector<std::function<void()>> m_afterTransactionEnd;
    std::function<bool(const QString&)> m_beforeStatement;
    bool m_countsUnknown = false;
    bool m_keepCacheSettings = false;
    // The memory SQLite held, over all its connections, and the process's resident size, when the SQLite
    // action now running began (the size 0 where the system does not tell it).
    qint64 m_memoryAtBegin = 0;
    qint64 m_residentAtBegin = 0;
    QStringList m_lockTables;
    // The server behind an ODBC connection, as its driver names it ("PostgreSQL", "Oracle", ...).
    QString m_dbms;
    QString m_actAs;
    std::function<QString(const QString&)> m_standIn;
    bool m_standInEverywhere = false;

    void finishTransaction(bool committed);
    // Gives back the memory a SQLite connection's page cache took for the action that has just ended, and,
    // once the action is undone too, what else it took: its own reads, its tree changes.
    void releaseCacheMemory() const;
    void giveMemoryBack() const;
    // Whether the ODBC driver finds the connection's session gone.
    bool sessionGone() const;
    // Applies the command time-out to SQLite's wait for another connection's lock.
    void applyBusyTimeout(const QSqlDatabase& db) const;
    bool isSqlServer() const;
    // The statements that take the write locks on this connection's server, in order.
    QStringList lockStatements() const;
    // Runs them after the begin; false (the error raised) when one failed or the lock was refused.
    bool takeWriteLock(const QSqlDatabase& db);
    // Sends a statement of the server's own on `query`, as the test switch may rewrite it.
    bool runServerStatement(QSqlQuery& query, const QString& sql);
};
