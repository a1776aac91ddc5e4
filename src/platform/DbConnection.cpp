#include "platform/DbConnection.h"

#include "platform/App.h"
#include "platform/ConnectionText.h"
#include "platform/CurrentError.h"
#include "platform/OdbcDrivers.h"
#include "platform/SettingsStore.h"
#include "platform/WellFormedText.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QUuid>
#include <climits>
#ifdef __GLIBC__
#include <cstdio>
#include <malloc.h>
#include <unistd.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace {

const char* const kCollationProperty = "Current Collation Name";

// The page cache of a SQLite connection, in KiB: between actions, while an action runs, and what it keeps
// of an action's pages once the action has ended (SQLite's own default size).
constexpr int kIdleCacheKiB = 64 * 1024;
constexpr int kActionCacheKiB = 512 * 1024;
constexpr int kKeptCacheKiB = 2 * 1024;
// How much more memory than SQLite, or the whole process, held at an action's begin the action must have
// taken for the C library to give memory back at its end.
constexpr sqlite3_int64 kTrimAboveBytes = 4 * 1024 * 1024;

// The process's resident size in bytes as the system counts it; 0 where it does not tell it.
qint64 residentBytes() {
#ifdef __GLIBC__
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    long size = 0, resident = 0;
    const bool read = std::fscanf(statm, "%ld %ld", &size, &resident) == 2;
    std::fclose(statm);
    return read ? qint64(resident) * sysconf(_SC_PAGESIZE) : 0;
#else
    return 0;
#endif
}

QString cacheSizePragma(int kib) {
    return QStringLiteral("PRAGMA cache_size = -%1").arg(kib);
}

qint32 nativeCode(const QSqlError& e) {
    // ODBC may list several codes separated by ";"; the first one is the one the server raised.
    const QString code = e.nativeErrorCode().section(';', 0, 0).trimmed();
    bool ok = false;
    const qlonglong n = code.toLongLong(&ok);
    if (ok && n != 0)
        return static_cast<qint32>(static_cast<quint32>(n));
    return CurrentError::UnspecifiedError;
}

QString describe(const QSqlError& e) {
    const QString db = e.databaseText().trimmed();
    return db.isEmpty() ? e.driverText().trimmed() : db;
}

// Why SQL Server refused the application lock, by sp_getapplock's answer (none: no answer came).
QString lockRefusal(const QVariant& granted) {
    QString why = QStringLiteral("the server gave no answer to the lock request");
    if (!granted.isNull()) {
        switch (granted.toInt()) {
        case -1:
            why = QStringLiteral("the lock was not granted within the time-out");
            break;
        case -2:
            why = QStringLiteral("the lock request was cancelled");
            break;
        case -3:
            why = QStringLiteral("the lock request was chosen as a deadlock victim");
            break;
        default:
            why = QStringLiteral("the lock request failed (answer %1)").arg(granted.toInt());
        }
    }
    return QStringLiteral(
               "The warehouse tables could not be locked for this action: %1. Nothing was changed; "
               "try again.")
        .arg(why);
}

// The ODBC handle a Qt driver or result hands out; nullptr when it is not one.
SQLHANDLE odbcHandle(const QVariant& handle) {
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return nullptr;
    return *static_cast<const SQLHANDLE*>(handle.constData());
}

// The SQLSTATE of the handle's first diagnostic record: what its last call failed with.
QString odbcState(SQLSMALLINT type, SQLHANDLE handle) {
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!handle || !SQL_SUCCEEDED(SQLGetDiagRecA(type, handle, 1, state, &native, nullptr, 0, &length)))
        return {};
    return QString::fromLatin1(reinterpret_cast<const char*>(state));
}

// SQLSTATE class 08, a connection exception: the link failed (08S01), the connection does not exist (08003),
// it failed during a commit (08007), and the others of the class.
bool isConnectionException(const QString& state) {
    return state.startsWith(QLatin1String("08"));
}

// The SQLite connection behind a Qt connection; nullptr for any other.
sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.isValid() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QString odbcDriverFor(ConnectionText::Backend backend) {
    // Which ODBC driver stands for each server provider is the user's choice, kept per user.
    if (backend == ConnectionText::Backend::SqlServer)
        return SettingsStore::GetSetting(App::Title(), "ODBC Drivers", "SQLOLEDB", "FreeTDS");
    return SettingsStore::GetSetting(App::Title(), "ODBC Drivers", "MSDAORA", "Oracle");
}

} // namespace

DbConnection::DbConnection()
    : m_connectionName("qlx-" + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

DbConnection::~DbConnection() {
    Close();
}

QSqlDatabase DbConnection::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

QString DbConnection::driverLabel() const {
    const QSqlDatabase db = database();
    return db.isValid() ? db.driverName() : QStringLiteral("Connection");
}

QString DbConnection::LostText() {
    return QStringLiteral(
        "The warehouse connection was lost. Nothing was changed. Close the warehouse connection and open it "
        "again.");
}

QString DbConnection::LostAtCommitText() {
    return QStringLiteral(
        "The warehouse connection was lost as the action was saved, so whether it was saved "
        "is not known. Close the warehouse connection, open it again and look.");
}

void DbConnection::fail(const DbError& error) {
    // A driver words a session that has gone after what it was doing ("internal SAVEPOINT failed",
    // "could not send data"): what the user can act on is that the connection is gone.
    const bool lostNow = !m_lost && m_open && (isConnectionException(error.state) || sessionGone());
    if (lostNow) {
        m_lost = true;
        m_lostCause = error.description;
        if (!error.state.isEmpty())
            m_lostCause += QStringLiteral(" (SQLSTATE %1)").arg(error.state);
    }
    m_lastError = m_lost ? DbError{CurrentError::ConnectionLost,
                                   lostNow && m_committing ? LostAtCommitText() : LostText(),
                                   driverLabel(),
                                   {},
                                   m_lostCause}
                         : error;
    Err().Raise(m_lastError.number, m_lastError.description, m_lastError.source, m_lastError.cause);
}

bool DbConnection::sessionGone() const {
    const QSqlDatabase db = database();
    if (!db.isValid() || db.driverName() != QLatin1String("QODBC"))
        return false;
    SQLHANDLE dbc = odbcHandle(db.driver()->handle());
    const auto dead = [dbc] {
        SQLUINTEGER flag = SQL_CD_FALSE;
        return dbc && SQL_SUCCEEDED(SQLGetConnectAttr(dbc, SQL_ATTR_CONNECTION_DEAD, &flag, 0, nullptr)) &&
               flag == SQL_CD_TRUE;
    };
    if (dead())
        return true;
    // Not every driver marks its connection dead when the failure showed it gone (psqlODBC does not after
    // "The connection has been lost"), but each refuses the next statement then: one is prepared, never
    // run.
    QSqlQuery probe(db);
    probe.setForwardOnly(true);
    if (probe.prepare(QStringLiteral("SELECT 1")))
        return false;
    return isConnectionException(odbcState(SQL_HANDLE_STMT, odbcHandle(probe.result()->handle()))) || dead();
}

DbError DbConnection::errorFrom(const QSqlQuery& query) const {
    const QSqlError e = query.lastError();
    const SQLHANDLE stmt = query.result() ? odbcHandle(query.result()->handle()) : nullptr;
    return DbError{nativeCode(e), describe(e), driverLabel(), odbcState(SQL_HANDLE_STMT, stmt)};
}

DbError DbConnection::errorOf(const QSqlDatabase& db) const {
    const QSqlError e = db.lastError();
    return DbError{nativeCode(e), describe(e), driverLabel(),
                   db.driverName() == QLatin1String("QODBC")
                       ? odbcState(SQL_HANDLE_DBC, odbcHandle(db.driver()->handle()))
                       : QString()};
}

bool DbConnection::Open(const QString& connectionText) {
    m_lastError = {};
    if (m_open) {
        fail({CurrentError::UnspecifiedError, "Operation is not allowed when the object is open.",
              "Connection"});
        return false;
    }
    const ConnectionText ct = ConnectionText::Parse(connectionText);
    m_provider = ct.Provider;
    const QString driver = ct.qtDriverName();
    if (driver.isEmpty()) {
        fail({CurrentError::UnspecifiedError, "Provider cannot be found. It may not be properly installed.",
              "Connection"});
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        fail({CurrentError::UnspecifiedError,
              QString("The Qt database driver %1 is not installed.").arg(driver), "Connection"});
        return false;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_connectionName);
    if (ct.backend() == ConnectionText::Backend::SqliteFile) {
        const QString path = ct.sqliteFilePath(App::Path());
        // Opening must never leave an empty database behind a mistyped path.
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            fail({CurrentError::UnspecifiedError,
                  QString("The warehouse file \"%1\" does not exist.")
                      .arg(path.isEmpty() ? ct.DataSource : path),
                  "QSQLITE"});
            return false;
        }
        db.setDatabaseName(path);
    } else {
        const QString odbcDriver = odbcDriverFor(ct.backend());
        if (ct.backend() != ConnectionText::Backend::OdbcDataSource &&
            !OdbcDrivers::IsInstalled(odbcDriver)) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            fail(
                {CurrentError::UnspecifiedError,
                 QString(
                     "The ODBC driver \"%1\" for %2 connections is not installed. Install it and register it "
                     "with unixODBC, or name the installed driver under \"ODBC Drivers\" in the settings.")
                     .arg(odbcDriver, ct.Provider),
                 "QODBC"});
            return false;
        }
        QString odbc = ct.odbcConnectionString(odbcDriver);
        // Qt's ODBC driver guesses what it was given: a text holding ".dsn" becomes a file data source, one
        // without "DRIVER=" or "SERVER=" gets "DSN=" put in front. Hand it a text that the guess leaves
        // as it is.
        if (odbc.contains(QLatin1String(".dsn"), Qt::CaseInsensitive)) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            fail({CurrentError::UnspecifiedError,
                  "The connection's values cannot contain \".dsn\"; the ODBC layer would read them as a file "
                  "data "
                  "source.",
                  "QODBC"});
            return false;
        }
        const bool passedAsIs = odbc.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive) ||
                                odbc.contains(QLatin1String("SERVER="), Qt::CaseInsensitive);
        if (!passedAsIs && odbc.startsWith(QLatin1String("DSN=")))
            odbc = odbc.mid(4);
        db.setDatabaseName(odbc);
        db.setConnectOptions(QString("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(30));
    }

    if (!db.open()) {
        const QSqlError e = db.lastError();
        DbError err{nativeCode(e), describe(e), driver};
        if (ct.backend() == ConnectionText::Backend::OdbcDataSource &&
            (err.description.contains("IM002") || err.description.contains("Data source name not found")))
            err.description = QString("The ODBC data source \"%1\" is not configured.").arg(ct.DataSource);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        fail(err);
        return false;
    }
    m_open = true;

    if (ct.backend() == ConnectionText::Backend::SqliteFile) {
        // A file that is not a database opens fine and fails on first use; find out now. LIKE compares
        // case-sensitively here as on the servers. The first read waits for another program's exclusive
        // lock as every statement does, under the command time-out rather than the driver's own.
        //
        // An action's changes stay in this connection's page cache until its commit: were they to
        // outgrow it, SQLite would write them to the file early, under the exclusive lock, and every other
        // reader of the warehouse (another editor's look-up, another program's editor opening) would wait
        // from then until the commit, seconds for a large attach or detach. So the cache never spills
        // before the commit; the memory is taken only as the pages come. Between actions it keeps what
        // was read, up to its idle size.
        applyBusyTimeout(db);
        DbError err;
        {
            QSqlQuery probe(db);
            if (!probe.exec("select count(*) from sqlite_master") ||
                !probe.exec("PRAGMA case_sensitive_like = ON") ||
                (!m_keepCacheSettings &&
                 (!probe.exec(cacheSizePragma(kIdleCacheKiB)) || !probe.exec("PRAGMA cache_spill = OFF"))))
                err = errorFrom(probe);
        }
        if (err.isSet()) {
            db = QSqlDatabase();
            Close();
            fail(err);
            return false;
        }
    } else {
        SQLCHAR name[128] = {};
        SQLSMALLINT length = 0;
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && handle.metaType() == QMetaType::fromType<SQLHANDLE>())
            if (SQLHANDLE dbc = *static_cast<const SQLHANDLE*>(handle.constData()))
                if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DBMS_NAME, name, sizeof name, &length)))
                    m_dbms = QString::fromLatin1(reinterpret_cast<const char*>(name)).trimmed();
    }
    if (!m_actAs.isEmpty())
        m_dbms = m_actAs;
    // Microsoft's driver counts no rows while NOCOUNT is on (a default some servers give every session), so
    // a statement that must change a row would seem to change none.
    if (isSqlServer()) {
        DbError err;
        {
            QSqlQuery nocount(db);
            if (!runServerStatement(nocount, QStringLiteral("SET NOCOUNT OFF")))
                err = m_lastError;
        }
        if (err.isSet()) {
            db = QSqlDatabase();
            Close();
            fail(err);
            return false;
        }
    }
    // PostgreSQL compiles a statement it deems costly before running it, which takes a few hundred
    // milliseconds each time: more than a maintenance action's statements, run once, gain by it. A server
    // without the setting (before version 11) compiles nothing anyway.
    if (m_dbms.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive)) {
        QSqlQuery jit(db);
        jit.exec(QStringLiteral("SET jit = off"));
    }
    if (ct.backend() == ConnectionText::Backend::SqlServer) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (q.exec("SELECT CONVERT(varchar(128), COALESCE(DATABASEPROPERTYEX(DB_NAME(), 'Collation'), "
                   "SERVERPROPERTY('Collation')))") &&
            q.next())
            m_collation = q.value(0).toString();
    }
    return true;
}

void DbConnection::Close() {
    if (!m_open && !QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = database();
        if (db.isValid() && db.isOpen()) {
            if (m_depth > 0)
                db.rollback();
            db.close();
        }
    }
    if (m_depth > 0) {
        m_depth = 0;
        finishTransaction(false);
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_open = false;
    m_lost = false;
    m_lostCause.clear();
    m_depth = 0;
    m_doomed = false;
    m_collation.clear();
    m_dbms.clear();
}

int DbConnection::State() const {
    return m_open ? adStateOpen : adStateClosed;
}

QStringList DbConnection::PropertyNames() const {
    return {QString::fromLatin1(kCollationProperty)};
}

QVariant DbConnection::Property(const QString& name) const {
    if (name == QLatin1String(kCollationProperty))
        return m_collation;
    return {};
}

bool DbConnection::admitStatement(const QString& sql) {
    if (!m_open) {
        fail({CurrentError::ObjectClosed, "Operation is not allowed when the object is closed.",
              "Connection"});
        return false;
    }
    if (m_lost) {
        fail({});
        return false;
    }
    if (!WellFormedText::IsWellFormed(sql)) {
        fail({CurrentError::UnspecifiedError, WellFormedText::RefusalText(), "Connection"});
        return false;
    }
    ++m_statements;
    if (m_beforeStatement) {
        auto hook = std::move(m_beforeStatement);
        m_beforeStatement = nullptr;
        if (!hook(sql) && !m_beforeStatement)
            m_beforeStatement = std::move(hook);
    }
    if (m_failCountdown > 0 && --m_failCountdown == 0) {
        fail(m_failNth);
        return false;
    }
    if (!m_failFragment.isEmpty() && sql.contains(m_failFragment)) {
        m_failFragment.clear();
        fail(m_failFragmentError);
        return false;
    }
    return true;
}

bool DbConnection::Execute(const QString& sql, qint64* recordsAffected) {
    m_lastError = {};
    if (recordsAffected)
        *recordsAffected = 0;
    if (!admitStatement(sql))
        return false;
    QSqlQuery q(database());
    if (!Run(q, sql))
        return false;
    if (recordsAffected)
        *recordsAffected = m_countsUnknown ? -1 : q.numRowsAffected();
    return true;
}

bool DbConnection::Run(QSqlQuery& q, const QString& text) {
    const QString sql = m_standIn && m_standInEverywhere ? m_standIn(text) : text;
    const QSqlDatabase db = database();
    const QString driver = db.driverName();
    if (driver == QLatin1String("QSQLITE")) {
        applyBusyTimeout(db);
    } else if (driver == QLatin1String("QODBC")) {
        // The time-out is an attribute of the ODBC statement, which exists once the statement is prepared.
        if (!q.prepare(sql)) {
            fail(errorFrom(q));
            return false;
        }
        const QVariant handle = q.result()->handle();
        if (handle.isValid() && handle.metaType() == QMetaType::fromType<SQLHANDLE>()) {
            if (SQLHANDLE stmt = *static_cast<const SQLHANDLE*>(handle.constData()))
                SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT,
                               reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(qMax(CommandTimeout, 0))),
                               SQL_IS_UINTEGER);
        }
        if (!q.exec()) {
            fail(errorFrom(q));
            return false;
        }
        return true;
    }
    if (!q.exec(sql)) {
        fail(errorFrom(q));
        return false;
    }
    return true;
}

void DbConnection::applyBusyTimeout(const QSqlDatabase& db) const {
    // SQLite waits for another connection's lock as long as its busy time-out says.
    if (sqlite3* lite = sqliteHandle(db))
        sqlite3_busy_timeout(lite,
                             CommandTimeout > 0 ? qMin(CommandTimeout, INT_MAX / 1000) * 1000 : INT_MAX);
}

void DbConnection::releaseCacheMemory() const {
    // An action's cache holds its changes and the pages it read, hundreds of megabytes for an action of a
    // million rows, and would keep them up to its idle size; the C library keeps what SQLite frees for
    // later. The program would hold all that for nothing, so both give it back. Shrinking the cache frees
    // its least recently used pages first: the next action still finds the few this one used last (a range
    // saved and then deleted again), and reads the rest from the file again, most of it from the system's
    // own file cache.
    const QSqlDatabase db = database();
    if (!sqliteHandle(db))
        return;
    // Housekeeping after the action has ended, whichever way: a failure here changes nothing of it, and
    // leaves only a larger cache.
    if (!m_keepCacheSettings) {
        QSqlQuery resize(db);
        resize.exec(cacheSizePragma(kKeptCacheKiB));
        resize.exec(cacheSizePragma(kIdleCacheKiB));
    }
}

void DbConnection::giveMemoryBack() const {
#ifdef __GLIBC__
    // A server's action leaves the program's memory to the C library's own rules; so does a callback that
    // has begun the next action.
    if (!sqliteHandle(database()) || m_depth > 0)
        return;
    // Giving memory back walks every free block the C library holds, some milliseconds once a large action
    // has left it many: worth it only after an action that took a good deal more than was held at its
    // begin, whichever part took it: SQLite's cache, or the program's own reads and tree changes, which the
    // C library keeps too once freed. Where neither SQLite nor the system tells the memory, always.
    const qint64 resident = residentBytes();
    if (sqlite3_memory_highwater(0) - m_memoryAtBegin > kTrimAboveBytes ||
        resident - m_residentAtBegin > kTrimAboveBytes || (sqlite3_memory_used() == 0 && resident == 0))
        malloc_trim(0);
#endif
}

bool DbConnection::IsOracle() const {
    return m_dbms.startsWith(QLatin1String("Oracle"), Qt::CaseInsensitive);
}

bool DbConnection::IsPostgres() const {
    return m_dbms.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive);
}

bool DbConnection::IsSqlite() const {
    return m_dbms.isEmpty() && m_open && database().driverName() == QLatin1String("QSQLITE");
}

bool DbConnection::isSqlServer() const {
    return m_dbms.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive);
}

bool DbConnection::runServerStatement(QSqlQuery& query, const QString& sql) {
    query.setForwardOnly(true);
    return Run(query, m_standIn && !m_standInEverywhere ? m_standIn(sql) : sql);
}

QStringList DbConnection::lockStatements() const {
    if (m_lockTables.isEmpty())
        return {};
    // Share row exclusive conflicts with itself and with every write, but not with reading.
    if (m_dbms.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) ||
        m_dbms.startsWith(QLatin1String("Oracle"), Qt::CaseInsensitive))
        return {"LOCK TABLE " + m_lockTables.join(QStringLiteral(", ")) + " IN SHARE ROW EXCLUSIVE MODE"};
    // A table lock that writers wait for would be an exclusive one there, which stops readers too; the
    // program's actions take turns through one application lock of the transaction instead, which
    // readers never meet. With autocommit off the driver runs the session in implicit transactions, where
    // only a statement such as a SELECT from a table opens one: the batch reads a locked table first, so
    // that the lock has a transaction to belong to. Qt reads only a batch's first result, so row counts
    // stay off until the lock's answer, its one result.
    if (isSqlServer())
        return {"SET NOCOUNT ON; DECLARE @granted int; SELECT @granted = COUNT(*) FROM " +
                m_lockTables.first() + " WHERE 1 = 0; EXEC @granted = sp_getapplock @Resource = '" +
                m_lockTables.join(QLatin1Char(',')).left(255) +
                "', @LockMode = 'Exclusive', @LockOwner = 'Transaction', @LockTimeout = -1; SET NOCOUNT OFF; "
                "SELECT @granted AS GRANTED"};
    return {};
}

bool DbConnection::takeWriteLock(const QSqlDatabase& db) {
    for (const QString& sql : lockStatements()) {
        QSqlQuery lock(db);
        if (!runServerStatement(lock, sql))
            return false;
        // SQL Server's application lock answers below zero when it was not granted (a time-out, a
        // deadlock, a cancelled or wrong request): the action must not go on without it.
        if (!isSqlServer())
            continue;
        const QVariant granted = lock.next() ? lock.value(0) : QVariant();
        if (granted.isNull() || granted.toInt() < 0) {
            fail({CurrentError::UnspecifiedError, lockRefusal(granted), driverLabel()});
            return false;
        }
    }
    return true;
}

bool DbConnection::BeginTrans() {
    if (!m_open) {
        fail({CurrentError::ObjectClosed, "Operation is not allowed when the object is closed.",
              "Connection"});
        return false;
    }
    if (m_lost) {
        fail({});
        return false;
    }
    if (m_depth == 0) {
        QSqlDatabase db = database();
        if (db.driverName() == QLatin1String("QSQLITE")) {
            // A deferred transaction that has read cannot wait for the write lock (SQLite answers "database
            // is locked" at once rather than risk a deadlock), so the action takes it at its start.
            applyBusyTimeout(db);
            QSqlQuery begin(db);
            if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
                fail(errorFrom(begin));
                return false;
            }
            // Changes that cannot spill fill the cache past its size, and from then on SQLite keeps none
            // of the pages the action only reads: each is read from the file again at its every use, which
            // made a large detach half as slow again as with SQLite's own small spilling cache. While an
            // action runs the cache has room for those pages too; its end gives the memory back.
            if (!m_keepCacheSettings && !begin.exec(cacheSizePragma(kActionCacheKiB))) {
                fail(errorFrom(begin));
                db.rollback();
                return false;
            }
            m_memoryAtBegin = sqlite3_memory_used();
            m_residentAtBegin = residentBytes();
            sqlite3_memory_highwater(1);
        } else if (!db.transaction()) {
            fail(errorOf(db));
            return false;
        }
        if (!takeWriteLock(db)) {
            db.rollback();
            return false;
        }
        m_doomed = false;
    }
    ++m_depth;
    return true;
}

bool DbConnection::CommitTrans() {
    if (m_depth <= 0) {
        fail({CurrentError::UnspecifiedError, "No transaction is running.", driverLabel()});
        return false;
    }
    if (--m_depth > 0)
        return true;
    QSqlDatabase db = database();
    // The session took its transaction with it; a driver that has marked its connection dead calls the
    // commit done without sending it.
    if (m_doomed || m_lost) {
        db.rollback();
        m_doomed = false;
        fail({CurrentError::UnspecifiedError, "The transaction was rolled back because part of it failed.",
              driverLabel()});
        finishTransaction(false);
        return false;
    }
    m_committing = true;
    const bool committed = db.commit();
    if (!committed) {
        fail(errorOf(db));
        db.rollback();
    }
    m_committing = false;
    if (!committed) {
        finishTransaction(false);
        return false;
    }
    finishTransaction(true);
    return true;
}

void DbConnection::WhenTransactionEnds(std::function<void(bool committed)> done) {
    if (m_depth == 0) {
        done(true);
        return;
    }
    m_onTransactionEnd.push_back(std::move(done));
}

void DbConnection::AfterTransactionEnds(std::function<void()> done) {
    if (m_depth == 0) {
        done();
        return;
    }
    m_afterTransactionEnd.push_back(std::move(done));
}

void DbConnection::finishTransaction(bool committed) {
    releaseCacheMemory();
    // Taken first: a callback may begin the next transaction.
    std::vector<std::function<void(bool)>> callbacks;
    callbacks.swap(m_onTransactionEnd);
    std::vector<std::function<void()>> after;
    after.swap(m_afterTransactionEnd);
    for (auto it = callbacks.rbegin(); it != callbacks.rend(); ++it)
        (*it)(committed);
    // Once the action is undone, before anything is told.
    giveMemoryBack();
    for (const auto& done : after)
        done();
}

void DbConnection::RollbackTrans() {
    if (m_depth <= 0)
        return;
    if (--m_depth > 0) {
        m_doomed = true;
        return;
    }
    m_doomed = false;
    QSqlDatabase db = database();
    if (db.isValid() && db.isOpen())
        db.rollback();
    finishTransaction(false);
}

void DbConnection::FailNthStatement(int k, const DbError& error) {
    m_failCountdown = k;
    m_failNth = error;
}

void DbConnection::FailStatementContaining(const QString& fragment, const DbError& error) {
    m_failFragment = fragment;
    m_failFragmentError = error;
}

void DbConnection::ClearInjectedFailures() {
    m_failCountdown = 0;
    m_failFragment.clear();
}
