#include "platform/ConnectionText.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/TransactionGuard.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QDir>
#include <QFile>
#include <QTest>

class tst_DbConnection : public QObject {
    Q_OBJECT
private slots:
    void missingSqliteFileIsNotCreated();
    void notADatabaseFailsAtOpen();
    void providerStaysReadableAfterOpen_data() { Warehouse::addBackendRows(); }
    void providerStaysReadableAfterOpen();
    void executeCountsAffectedRows_data() { Warehouse::addBackendRows(); }
    void executeCountsAffectedRows();
    void failedStatementKeepsTheError_data() { Warehouse::addBackendRows(); }
    void failedStatementKeepsTheError();
    void nestedGuardsFormOneTransaction_data();
    void nestedGuardsFormOneTransaction();
    void transactionEndIsAnnouncedOnce_data();
    void transactionEndIsAnnouncedOnce();
    void injectedFailureRollsBackEveryTable_data();
    void injectedFailureRollsBackEveryTable();
};

void tst_DbConnection::missingSqliteFileIsNotCreated() {
    TestEnvironment env;
    const QString path = QDir(env.folder()).filePath("no-such.db");
    DbConnection c;
    QVERIFY(!c.Open("PROVIDER=SQLITE;Data Source=no-such.db"));
    QCOMPARE(c.State(), 0);
    QVERIFY(!QFile::exists(path));
    QVERIFY(Err().Description().contains("no-such.db"));
    QVERIFY(Err().Number() != 0);
    QVERIFY(!c.Execute("select 1"));
}

void tst_DbConnection::notADatabaseFailsAtOpen() {
    TestEnvironment env;
    QFile f(QDir(env.folder()).filePath("notes.db"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    DbConnection c;
    QVERIFY(!c.Open("PROVIDER=SQLITE;Data Source=notes.db"));
    QCOMPARE(c.State(), 0);
    QCOMPARE(QFileInfo(f.fileName()).size(), 4096);
}

void tst_DbConnection::providerStaysReadableAfterOpen() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection c;
    QVERIFY(c.Open(w.connectionText()));
    QCOMPARE(c.State(), 1);
    QCOMPARE(c.Provider(), ConnectionText::Parse(w.connectionText()).Provider);
    QVERIFY(!c.Open(w.connectionText())); // already open
    c.Close();
    QCOMPARE(c.State(), 0);
    QCOMPARE(c.Provider(), ConnectionText::Parse(w.connectionText()).Provider);
}

void tst_DbConnection::executeCountsAffectedRows() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    const int before = w.scalar("SELECT COUNT(*) FROM CS_CAT_DESC").toInt();
    QVERIFY(before > 1);
    qint64 affected = -1;
    QVERIFY(c.Execute("UPDATE CS_CAT_DESC SET CAT_DESC = 'It''s renamed'", &affected));
    QCOMPARE(affected, qint64(before));
    QCOMPARE(w.scalar("SELECT COUNT(*) FROM CS_CAT_DESC WHERE CAT_DESC = 'It''s renamed'").toInt(), before);
}

void tst_DbConnection::failedStatementKeepsTheError() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    QVERIFY(!c.Execute("Delete From NO_SUCH_TABLE"));
    QVERIFY(c.LastError().isSet());
    QVERIFY(!c.LastError().description.isEmpty());
    QCOMPARE(Err().Description(), c.LastError().description);
    QCOMPARE(Err().Source(), c.driverLabel());
    QVERIFY(Err().Number() != 0);
    // The connection stays usable.
    QVERIFY(c.Execute("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
}

void tst_DbConnection::nestedGuardsFormOneTransaction_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<bool>("innerCommits");
    QTest::addColumn<bool>("outerCommits");
    QTest::addColumn<bool>("kept");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "both commit") << true << true << true;
        Warehouse::newRow(b, "inner fails") << false << true << false;
        Warehouse::newRow(b, "outer fails") << true << false << false;
    }
}

void tst_DbConnection::nestedGuardsFormOneTransaction() {
    QFETCH(QString, backend);
    QFETCH(bool, innerCommits);
    QFETCH(bool, outerCommits);
    QFETCH(bool, kept);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    const QString before = w.snapshot();
    bool committed = false;
    {
        TransactionGuard outer(c);
        QVERIFY(outer.active());
        QVERIFY(c.Execute("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('OUTER', 'outer')"));
        {
            TransactionGuard inner(c);
            QVERIFY(inner.active());
            QCOMPARE(c.TransactionDepth(), 2);
            QVERIFY(c.Execute("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('INNER', 'inner')"));
            if (innerCommits)
                QVERIFY(inner.Commit());
        }
        if (outerCommits)
            committed = outer.Commit();
    }
    QCOMPARE(c.TransactionDepth(), 0);
    QCOMPARE(committed, kept);
    // Seen from another session, so only a real commit counts.
    DbConnection other;
    QVERIFY(other.Open(w.connectionText()));
    Recordset rs;
    QVERIFY(rs.Open("SELECT COUNT(*) AS N FROM CS_CAT_DESC WHERE CAT_CODE IN ('OUTER', 'INNER')", other));
    QCOMPARE(rs.Fields("N").Value().toInt(), kept ? 2 : 0);
    if (!kept)
        QCOMPARE(w.snapshot(), before);
}

void tst_DbConnection::injectedFailureRollsBackEveryTable_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("nth");
    QTest::addColumn<QString>("fragment");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "first statement") << 1 << "";
        Warehouse::newRow(b, "third statement") << 3 << "";
        Warehouse::newRow(b, "by text") << 0 << "CS_LEVELHIER";
    }
}

void tst_DbConnection::injectedFailureRollsBackEveryTable() {
    QFETCH(QString, backend);
    QFETCH(int, nth);
    QFETCH(QString, fragment);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    const QString before = w.snapshot();
    const DbError injected{-2147217873, "Violation of the test's own rule", "test"};
    if (nth > 0)
        c.FailNthStatement(nth, injected);
    else
        c.FailStatementContaining(fragment, injected);
    const QStringList action = {
        "Delete From CS_CAT_DESC",
        "UPDATE CS_SOURCE SET SODESC = 'changed'",
        "Delete From CS_LEVELHIER",
        "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('NEW', 'new')",
    };
    bool completed = true;
    {
        TransactionGuard guard(c);
        for (const QString& sql : action) {
            if (!c.Execute(sql)) {
                completed = false;
                break;
            }
        }
        if (completed)
            guard.Commit();
    }
    QVERIFY(!completed);
    QCOMPARE(c.TransactionDepth(), 0);
    QCOMPARE(c.LastError().number, injected.number);
    QCOMPARE(Err().Description(), injected.description);
    QCOMPARE(w.snapshot(), before);
    // The switch fires once.
    QVERIFY(c.Execute("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
}

void tst_DbConnection::transactionEndIsAnnouncedOnce_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<bool>("commit");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "commit") << true;
        Warehouse::newRow(b, "rollback") << false;
    }
}

void tst_DbConnection::transactionEndIsAnnouncedOnce() {
    QFETCH(QString, backend);
    QFETCH(bool, commit);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    QList<QString> heard;
    c.WhenTransactionEnds([&](bool ok) { heard << QString("outside %1").arg(ok); });
    QCOMPARE(heard, QList<QString>{"outside 1"}); // no transaction: at once
    {
        TransactionGuard outer(c);
        c.WhenTransactionEnds([&](bool ok) { heard << QString("first %1").arg(ok); });
        {
            TransactionGuard inner(c);
            c.WhenTransactionEnds([&](bool ok) { heard << QString("second %1").arg(ok); });
            inner.Commit();
        }
        QCOMPARE(heard.size(), 1); // the inner end announces nothing
        if (commit)
            QVERIFY(outer.Commit());
    }
    // The last registered hears first, as undo work must run newest first.
    QCOMPARE(heard, (QList<QString>{"outside 1", QString("second %1").arg(commit),
                                    QString("first %1").arg(commit)}));
    TransactionGuard next(c);
    next.Commit();
    QCOMPARE(heard.size(), 3);
}

QTEST_MAIN(tst_DbConnection)
#include "tst_DbConnection.moc"
