#include "frame/CError.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"
#include "platform/TransactionGuard.h"
#include "platform/WellFormedText.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QTest>
#include <cstdlib>
#include <future>
#include <memory>
#include <sqlite3.h>
#include <thread>
#include <tuple>

namespace {

// `rows` descriptions of 200 characters each, written in one statement.
bool WriteDescriptions(DbConnection& c, int rows) {
    return c.Execute(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) SELECT 'N' || i, "
                             "printf('%0200d', i) FROM n")
                         .arg(rows));
}

// Whether the process's size follows what it frees: a sanitizer's allocator holds freed memory back on
// purpose, to catch its use after the free, and only the GNU C library is told to give memory back.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentSizeTells = true;
#else
constexpr bool kResidentSizeTells = false;
#endif

// The process's resident memory in MB, as the system counts it.
long ResidentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

} // namespace

class tst_DbConnection : public QObject {
    Q_OBJECT
private slots:
    void aFileThatIsNoWarehouseIsLeftAlone_data();
    void aFileThatIsNoWarehouseIsLeftAlone();
    void statementsThatFailChangeNothing_data();
    void statementsThatFailChangeNothing();
    void guardsKeepAnActionWholeOrNothing_data();
    void guardsKeepAnActionWholeOrNothing();
    void anActionWaitsForTheRightToWrite_data();
    void anActionWaitsForTheRightToWrite();
    void aLostSessionFailsEveryCallAtOnce_data();
    void aLostSessionFailsEveryCallAtOnce();
    void aConnectionExceptionIsALoss_data();
    void aConnectionExceptionIsALoss();
    void aLargeActionLetsOthersReadUntilItsCommit_data();
    void aLargeActionLetsOthersReadUntilItsCommit();
    void aLargeActionGivesItsMemoryBack_data();
    void aLargeActionGivesItsMemoryBack();
};

void tst_DbConnection::aFileThatIsNoWarehouseIsLeftAlone_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing") << QByteArray("<missing>");
    QTest::newRow("not a database") << QByteArray(4096, 'x');
}

void tst_DbConnection::aFileThatIsNoWarehouseIsLeftAlone() {
    QFETCH(QByteArray, bytes);
    TestEnvironment env;
    const QString path = QDir(env.folder()).filePath("w.db");
    if (bytes != "<missing>")
        TestEnvironment::writeFile(path, bytes);
    DbConnection c;
    QVERIFY(!c.Open("PROVIDER=SQLITE;Data Source=w.db"));
    QCOMPARE(TestEnvironment::readFile(path), bytes); // neither created nor touched
    QVERIFY(Err().Number() != 0);
    QVERIFY(!c.Execute("select 1"));
}

// A statement that fails, is refused or waits too long changes nothing, keeps its error, and leaves the
// connection usable; a good one counts the rows it changed.
void tst_DbConnection::statementsThatFailChangeNothing_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error"); // empty: the statement succeeds
    const QString refused = WellFormedText::RefusalText();
    for (const QString& b : Warehouse::backends())
        for (const auto& [name, value, error] :
             {std::tuple<const char*, QString, QString>{"quoted value", "It''s renamed", ""},
              {"characters beyond the basic plane", QString::fromUtf8("It''s \U0001F600 \U0002000B"), ""},
              {"no such table", "<table>", "*"},
              {"half of a pair", QString("a") + QChar(0xD800), refused},
              {"NUL", QString("a") + QChar(0) + "b", refused},
              {"locked by another session", "<lock>", "*"}})
            Warehouse::newRow(b, name) << value << error;
}

void tst_DbConnection::statementsThatFailChangeNothing() {
    QFETCH(QString, backend);
    QFETCH(QString, value);
    QFETCH(QString, error);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection c;
    QVERIFY(c.Open(w.connectionText()));
    QVERIFY(!c.Open(w.connectionText())); // already open
    const QString before = w.snapshot();
    const int rows = w.scalar("SELECT COUNT(*) FROM CS_CAT_DESC").toInt();
    if (value == "<lock>") {
        QVERIFY(w.own().BeginTrans());
        QVERIFY(w.own().Execute(backend == "sqlite" ? "UPDATE CS_SOURCE SET SODESC = SODESC"
                                                    : "LOCK TABLE CS_CAT_DESC IN EXCLUSIVE MODE"));
        c.CommandTimeout = 1;
    }
    const QString table = value == "<table>" ? "NO_SUCH_TABLE" : "CS_CAT_DESC";
    qint64 affected = -1;
    QElapsedTimer clock;
    clock.start();
    const bool done = c.Execute("UPDATE " + table + " SET CAT_DESC = '" + value + "'", &affected);
    QVERIFY(clock.elapsed() < 4000); // the time-out, not the driver's own wait, ended it
    if (value == "<lock>")
        w.own().RollbackTrans();
    QCOMPARE(done, error.isEmpty());
    if (done) {
        QCOMPARE(affected, qint64(rows));
        QCOMPARE(w.rows("SELECT DISTINCT CAT_DESC FROM CS_CAT_DESC"),
                 QStringList{QString(value).replace("''", "'")});
        return;
    }
    QCOMPARE(w.snapshot(), before);
    QVERIFY(c.LastError().isSet() && Err().Number() != 0);
    QCOMPARE(Err().Description(), c.LastError().description);
    QVERIFY(error == "*" ? !Err().Description().isEmpty() : Err().Description() == error);
    if (value == "<table>") { // a script stops at its failed statement, and nothing of it stays
        const QString insert = "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('%1', 'script')";
        QString why;
        QVERIFY(
            !SqlScript::Run(c, {insert.arg("S1"), "UPDATE NO_SUCH_TABLE SET X = 1", insert.arg("S2")}, &why));
        QVERIFY(why.contains("NO_SUCH_TABLE"));
        QCOMPARE(w.snapshot(), before);
        Err().Clear();
    }
    QVERIFY(c.Execute("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
}

// One action under nested guards: it lands whole or not at all, and each end is announced once, newest
// listener first, as undo work must run.
void tst_DbConnection::guardsKeepAnActionWholeOrNothing_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("how");
    for (const QString& b : Warehouse::backends())
        for (const char* how : {"both commit", "inner fails", "outer fails", "1", "3", "CS_LEVELHIER"})
            Warehouse::newRow(b, how) << QString(how);
}

void tst_DbConnection::guardsKeepAnActionWholeOrNothing() {
    QFETCH(QString, backend);
    QFETCH(QString, how);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    const QString before = w.snapshot();
    const DbError injected{-2147217873, "Violation of the test's own rule", "test"};
    if (how.toInt() > 0)
        c.FailNthStatement(how.toInt(), injected);
    else if (how.startsWith("CS_"))
        c.FailStatementContaining(how, injected);
    QStringList heard;
    const auto listen = [&](const char* who) {
        c.WhenTransactionEnds([&heard, who](bool ok) { heard << QString("%1 %2").arg(who).arg(ok); });
    };
    listen("outside");
    QCOMPARE(heard, QStringList{"outside 1"}); // no transaction: at once
    bool done = true, committed = false;
    {
        TransactionGuard outer(c);
        listen("first");
        done = c.Execute("Delete From CS_CAT_DESC");
        if (done) {
            TransactionGuard inner(c);
            QVERIFY(outer.active() && inner.active());
            listen("second");
            for (const char* sql : {"UPDATE CS_SOURCE SET SODESC = 'changed'", "Delete From CS_LEVELHIER",
                                    "INSERT INTO CS_CAT_DESC (CAT_CODE) VALUES ('NEW')"})
                if (!(done = c.Execute(sql)))
                    break;
            if (done && how != "inner fails")
                QVERIFY(inner.Commit());
            QCOMPARE(heard.size(), 1); // the inner end announces nothing
        }
        if (done && how != "outer fails")
            committed = outer.Commit();
    }
    const bool kept = how == "both commit";
    QCOMPARE(committed, kept);
    QCOMPARE(c.TransactionDepth(), 0);
    const QString k = kept ? "1" : "0";
    QStringList expected{"outside 1", "second " + k, "first " + k};
    if (how == "1") // failed before the inner guard began
        expected.removeAt(1);
    QCOMPARE(heard, expected);
    // Seen from another session, so only a real commit counts.
    DbConnection other;
    QVERIFY(other.Open(w.connectionText()));
    Recordset rs;
    QVERIFY(rs.Open("SELECT COUNT(*) AS N FROM CS_CAT_DESC", other));
    QCOMPARE(rs.Fields("N").Value().toInt() == 1, kept);
    if (!kept)
        QCOMPARE(w.snapshot(), before);
    if (!done)
        QCOMPARE(Err().Description(), injected.description);
    QVERIFY(c.Execute("Delete From CS_CAT_DESC Where CAT_CODE = 'none'")); // the switch fires once
}

// An action first takes the right to write: it waits for another writer as long as the command time-out
// allows (0: as long as it takes), or fails with the reason and leaves nothing open. The open waits the same
// time-out for another program that holds the file exclusively, which stops readers too. There is no SQL
// Server here: a connection that takes its name has its own statements answered on the warehouse at hand, as
// the server would (sp_getapplock: 0 granted, 1 granted after a wait, below zero refused).
void tst_DbConnection::anActionWaitsForTheRightToWrite_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("timeout");     // seconds
    QTest::addColumn<int>("held");        // milliseconds another program holds the SQLite file's write lock
    QTest::addColumn<QString>("lock");    // SQL Server's answer to the lock; empty: the backend's own lock
    QTest::addColumn<QString>("refusal"); // empty: the action is done
    QTest::addColumn<QString>("hold");    // how the other program begins its SQLite transaction
    const auto row = [](const QString& backend, const char* name, int timeout, int held, const char* lock,
                        const char* refusal, const char* hold = "IMMEDIATE") {
        Warehouse::newRow(backend, name)
            << timeout << held << QString(lock) << QString(refusal) << QString(hold);
    };
    row("sqlite", "waits within the time-out", 180, 1000, "", "");
    row("sqlite", "waits without a limit", 0, 1000, "", "");
    row("sqlite", "gives up after the time-out", 1, 3000, "", "locked");
    row("sqlite", "opens within the time-out of an exclusive lock", 180, 1000, "", "", "EXCLUSIVE");
    row("sqlite", "gives up opening after the time-out of an exclusive lock", 1, 3000, "", "locked",
        "EXCLUSIVE");
    for (const QString& b : Warehouse::backends()) {
        row(b, "SQL Server lock granted", 180, 0, "0", "");
        row(b, "SQL Server lock granted after a wait", 180, 0, "1", "");
        row(b, "SQL Server lock time-out", 180, 0, "-1", "within the time-out");
        row(b, "SQL Server lock deadlock victim", 180, 0, "-3", "deadlock victim");
        row(b, "SQL Server lock wrong request", 180, 0, "-999", "failed (answer -999)");
        row(b, "SQL Server lock no answer", 180, 0, "NULL", "no answer");
    }
}

void tst_DbConnection::anActionWaitsForTheRightToWrite() {
    QFETCH(QString, backend);
    QFETCH(int, timeout);
    QFETCH(int, held);
    QFETCH(QString, lock);
    QFETCH(QString, refusal);
    QFETCH(QString, hold);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    const QByteArray file = QFile::encodeName(w.connectionText().section("Data Source=", 1));
    const QByteArray begin = "BEGIN " + hold.toLatin1();
    std::promise<bool> locked;
    std::thread other([&] {
        sqlite3* db = nullptr;
        locked.set_value(held == 0 ||
                         (sqlite3_open(file.constData(), &db) == SQLITE_OK &&
                          sqlite3_exec(db, begin.constData(), nullptr, nullptr, nullptr) == SQLITE_OK));
        std::this_thread::sleep_for(std::chrono::milliseconds(held));
        sqlite3_close(db);
    });
    const auto join = qScopeGuard([&] { other.join(); });
    QVERIFY(locked.get_future().get());
    DbConnection c;
    QStringList sent;
    if (!lock.isEmpty())
        c.ActAsServer("Microsoft SQL Server", [&](const QString& sql) {
            sent << sql.toUpper();
            return sql.contains("sp_getapplock") ? "SELECT " + lock : QString("SELECT 1");
        });
    c.SetWriteLockTables({"CS_COA_ACCT_RANGE", "CS_LEVELHIER"});
    c.CommandTimeout = timeout;
    QElapsedTimer clock;
    clock.start();
    const bool opened = c.Open(w.connectionText());
    // Not the driver's own five seconds: the command time-out, or until the other program is done.
    QVERIFY(clock.elapsed() < 2500);
    QCOMPARE(opened, hold == "IMMEDIATE" || refusal.isEmpty());
    bool done = false;
    if (opened) {
        TransactionGuard action(c);
        Recordset rs;
        done = action.active() && rs.Open("SELECT COUNT(*) AS N FROM CS_CAT_DESC", c) &&
               c.Execute("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('NEW', 'mine')") &&
               action.Commit();
    }
    QCOMPARE(done, refusal.isEmpty());
    QVERIFY2(Err().Description().contains(refusal), qPrintable(Err().Description()));
    QCOMPARE(c.TransactionDepth(), 0);
    // Nothing is left open that would keep another writer waiting (once the other program is done).
    w.own().CommandTimeout = 5;
    QVERIFY(w.own().Execute("UPDATE CS_CAT_DESC SET CAT_DESC = CAT_DESC"));
    // SQL Server: row counts on from the open, whatever the server's default, so that a write that must
    // change a row counts. With autocommit off the session is in implicit transactions: a read of a locked
    // table opens the transaction before the lock that belongs to it is asked for.
    if (!lock.isEmpty()) {
        QCOMPARE(sent.size(), 2);
        QVERIFY(sent[0].contains("NOCOUNT OFF"));
        const qsizetype read =
            sent[1].indexOf(QRegularExpression("FROM (CS_COA_ACCT_RANGE|CS_LEVELHIER)\\b"));
        QVERIFY2(read >= 0 && read < sent[1].indexOf("SP_GETAPPLOCK"), qPrintable(sent[1]));
    }
}

// The server ends the session: the call that finds it out fails with the loss (at a commit, that whether it
// was saved is not known), every later call fails at once with it, sending nothing, and nothing is changed;
// opened again, the connection works. A caller that goes on to commit after the failed statement is refused
// too, although the driver, which has dropped the transaction with the session, would call its commit done.
void tst_DbConnection::aLostSessionFailsEveryCallAtOnce_data() {
    QTest::addColumn<QString>("backend");
    QTest::addColumn<bool>("atCommit");
    QTest::addColumn<bool>("commitAfter");
    Warehouse::newRow("postgres", "at a statement") << false << false;
    Warehouse::newRow("postgres", "at a statement, then the commit") << false << true;
    Warehouse::newRow("postgres", "at the commit") << true << false;
}

void tst_DbConnection::aLostSessionFailsEveryCallAtOnce() {
    QFETCH(QString, backend);
    QFETCH(bool, atCommit);
    QFETCH(bool, commitAfter);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    const QString before = w.snapshot();
    DbConnection c;
    QVERIFY(c.Open(w.connectionText()));
    const QString insert = "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('NEW', 'mine')";
    const auto endSession = [&] {
        QVERIFY(w.own().Execute("select pg_terminate_backend(pid) from pg_stat_activity where datname = "
                                "current_database() and pid <> pg_backend_pid()"));
    };
    QVERIFY(c.BeginTrans());
    if (atCommit) {
        QVERIFY(c.Execute(insert));
        endSession();
        QVERIFY(!c.CommitTrans());
    } else {
        endSession();
        QVERIFY(!c.Execute(insert));
        if (commitAfter)
            QVERIFY(!c.CommitTrans());
        else
            c.RollbackTrans();
        QCOMPARE(c.TransactionDepth(), 0);
    }
    QVERIFY(c.Lost());
    QCOMPARE(Err().Number(), CurrentError::ConnectionLost);
    QCOMPARE(Err().Description(), atCommit ? DbConnection::LostAtCommitText() : DbConnection::LostText());
    const qint64 sent = c.StatementCount();
    Recordset rs;
    QVERIFY(!c.BeginTrans() && !c.Execute(insert) && !rs.Open("SELECT COUNT(*) FROM CS_CAT_DESC", c));
    QCOMPARE(c.StatementCount(), sent);
    QCOMPARE(c.LastError().description, DbConnection::LostText());
    QCOMPARE(w.snapshot(), before);
    c.Close();
    QVERIFY(c.Open(w.connectionText()) && !c.Lost());
    QVERIFY(c.Execute(insert));
}

// Every SQLSTATE of class 08 says the connection failed, whichever the driver answers; another class is the
// statement's own failure. The user is told the loss in the program's words, and the log keeps the driver's
// own beside them, so the cause can be found later; a later call fails with the same loss and cause.
void tst_DbConnection::aConnectionExceptionIsALoss_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("lost");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "communication link failure") << "08S01" << true;
        Warehouse::newRow(b, "connection does not exist") << "08003" << true;
        Warehouse::newRow(b, "transaction resolution unknown") << "08007" << true;
        Warehouse::newRow(b, "table not found") << "42P01" << false;
        Warehouse::newRow(b, "no SQLSTATE") << "" << false;
    }
}

void tst_DbConnection::aConnectionExceptionIsALoss() {
    QFETCH(QString, backend);
    QFETCH(QString, state);
    QFETCH(bool, lost);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection c;
    QVERIFY(c.Open(w.connectionText()));
    const QString words = "the driver's own words";
    const QString select = "SELECT COUNT(*) FROM CS_CAT_DESC";
    c.FailNthStatement(1, {-7, words, "test", state});
    QVERIFY(!c.Execute(select));
    QCOMPARE(c.Lost(), lost);
    QCOMPARE(Err().Description(), lost ? DbConnection::LostText() : words);
    ErrorReporter().Report("tst:first");
    const QString cause = " The driver said: " + words + " (SQLSTATE " + state + ")";
    QVERIFY2(env.logText().contains(lost ? "(" + DbConnection::LostText() + cause + ") in tst:first"
                                         : "(" + words + ") in tst:first"),
             qPrintable(env.logText()));
    // A later call sends nothing after a loss; after a statement's own failure it runs.
    QCOMPARE(c.Execute(select), !lost);
    if (lost) {
        ErrorReporter().Report("tst:later");
        QVERIFY2(env.logText().contains(DbConnection::LostText() + cause + ") in tst:later"),
                 qPrintable(env.logText()));
    }
}

// A large action keeps its changes to itself until its commit: another program reading the warehouse file
// reads it as it was, without waiting, until then, and the action's rows after it. With SQLite's default
// page cache the action writes its changes to the file before its commit, under a lock that stops every
// reader from then on.
void tst_DbConnection::aLargeActionLetsOthersReadUntilItsCommit_data() {
    QTest::addColumn<QString>("backend");
    QTest::addColumn<bool>("defaultCache");
    Warehouse::newRow("sqlite", "the program's connection") << false;
    Warehouse::newRow("sqlite", "SQLite's default page cache") << true;
}

void tst_DbConnection::aLargeActionLetsOthersReadUntilItsCommit() {
    QFETCH(QString, backend);
    QFETCH(bool, defaultCache);
    constexpr int kRows = 40000;
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection c;
    c.KeepSqliteCacheSettings(defaultCache);
    QVERIFY(c.Open(w.connectionText()));
    sqlite3* other = nullptr;
    const QByteArray file = QFile::encodeName(w.connectionText().section("Data Source=", 1));
    QCOMPARE(sqlite3_open(file.constData(), &other), SQLITE_OK);
    const auto close = qScopeGuard([&] { sqlite3_close(other); });
    // The other program does not wait: a read that meets a lock fails at once.
    const auto count = [other](int& rows) {
        return sqlite3_exec(
            other, "select count(*) from CS_CAT_DESC",
            [](void* to, int, char** values, char**) {
                *static_cast<int*>(to) = std::atoi(values[0]);
                return 0;
            },
            &rows, nullptr);
    };
    int before = -1;
    QCOMPARE(count(before), SQLITE_OK);
    {
        TransactionGuard action(c);
        // Some 10 MB of rows, five times SQLite's default page cache.
        QVERIFY(action.active() && WriteDescriptions(c, kRows));
        int during = -1;
        QCOMPARE(count(during), defaultCache ? SQLITE_BUSY : SQLITE_OK);
        QCOMPARE(during, defaultCache ? -1 : before);
        QVERIFY(action.Commit());
    }
    int after = -1;
    QCOMPARE(count(after), SQLITE_OK);
    QCOMPARE(after, before + kRows);
}

// A large action's memory goes back once it has ended, whichever way it ended: though the action took more
// than the connection keeps between actions, its cache keeps only the few pages used last and the program
// is no larger than before it; what the action wrote is read back from the file.
void tst_DbConnection::aLargeActionGivesItsMemoryBack_data() {
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("how");
    // SQLite's cache took the memory, or the program's own reads (freed before the action ends), or its
    // changes outside the database (a tree's, undone once the action has rolled back).
    for (const char* how : {"committed", "rolled back", "an inner part failed", "its reads, rolled back",
                            "its undone changes, rolled back"})
        Warehouse::newRow("sqlite", how) << QString(how);
}

void tst_DbConnection::aLargeActionGivesItsMemoryBack() {
    QFETCH(QString, backend);
    QFETCH(QString, how);
    // Some 90 MB of rows; the connection keeps 64 MiB of pages between actions.
    constexpr int kRows = 400000;
    constexpr int kIdleCache = 64 * 1024 * 1024;
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection c;
    QVERIFY(c.Open(w.connectionText()));
    sqlite3* lite = *static_cast<sqlite3* const*>(c.database().driver()->handle().constData());
    QVERIFY(lite);
    const auto cached = [lite] {
        int used = 0, highest = 0;
        sqlite3_db_status(lite, SQLITE_DBSTATUS_CACHE_USED, &used, &highest, 0);
        return used;
    };
    const auto rows = [&c] {
        Recordset rs;
        return rs.Open("SELECT COUNT(*) AS N FROM CS_CAT_DESC", c) ? rs.Fields("N").Value().toInt() : -1;
    };
    const int before = rows();
    const long residentBefore = ResidentMb();
    const bool program = how.startsWith("its ");
    bool committed = false;
    QString kept; // what the program holds on to past the action, in memory taken after the rest
    {
        TransactionGuard action(c);
        QVERIFY(action.active());
        if (!program) {
            QVERIFY(WriteDescriptions(c, kRows));
            QVERIFY2(cached() > kIdleCache + 8 * 1024 * 1024, qPrintable(QString::number(cached())));
        } else if (how.startsWith("its reads")) {
            // Rows computed rather than read from pages: SQLite itself takes little memory for them.
            Recordset rs;
            QVERIFY(
                rs.Open(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                                "%1) SELECT i, printf('%0100d', i) AS D FROM n")
                            .arg(kRows),
                        c));
            QVERIFY(!kResidentSizeTells || ResidentMb() > residentBefore + 40);
        } else {
            auto changes = std::make_shared<QStringList>();
            for (int i = 0; i < kRows; ++i)
                *changes << QString("%1").arg(i, 100, 10, QChar('0'));
            kept = QString(100, QChar('k'));
            c.WhenTransactionEnds([changes](bool) { *changes = QStringList(); });
            QVERIFY(!kResidentSizeTells || ResidentMb() > residentBefore + 40);
        }
        if (how == "an inner part failed") {
            TransactionGuard inner(c);
            QVERIFY(inner.active() && c.Execute("UPDATE CS_CAT_DESC SET CAT_DESC = 'changed'"));
        }
        if (how == "committed" || how == "an inner part failed")
            committed = action.Commit();
    }
    QCOMPARE(committed, how == "committed");
    // What stays is at most the few pages used last, as much as SQLite's own default cache holds.
    QVERIFY2(cached() <= 2560 * 1024, qPrintable(QString::number(cached())));
    QVERIFY2(!kResidentSizeTells || ResidentMb() <= residentBefore + 20,
             qPrintable(QString("%1 MB resident, %2 MB before").arg(ResidentMb()).arg(residentBefore)));
    QCOMPARE(rows(), committed ? before + kRows : before);
}

QTEST_MAIN(tst_DbConnection)
#include "tst_DbConnection.moc"
