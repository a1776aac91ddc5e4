#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "support/TestEnvironment.h"
#include "support/UserActions.h"
#include "support/Warehouse.h"

#include <QProcess>
#include <QTest>

// Two users act on one warehouse at the same time: the other user's action (a process of its own) starts
// after this one has made its checks and before it writes. Whatever the timing, the warehouse must end as
// the two actions done one after the other leave it, and the other user is told what the later of the
// two is told then.
class tst_ConcurrentActions : public QObject {
    Q_OBJECT
private slots:
    void actionsAtOnceTakeTurns_data();
    void actionsAtOnceTakeTurns();
};

void tst_ConcurrentActions::actionsAtOnceTakeTurns_data() {
    Warehouse::addColumns<QStringList>("mine");
    QTest::addColumn<QStringList>("theirs");
    const QStringList child = {"attach", "AC", "CORP", "L1", "1", "L2", "14"};
    Warehouse::addRows("the same child under the same parent", child, child);
    Warehouse::addRows("each code under the other",
                       QStringList{"attach", "AC", "CORP", "L4", "1112", "L4", "1113"},
                       QStringList{"attach", "AC", "CORP", "L4", "1113", "L4", "1112"});
    const QStringList range = {"range", "CORP", "L3", "111", "111150", "111160"};
    Warehouse::addRows("the same range under the same code", range, range);
}

void tst_ConcurrentActions::actionsAtOnceTakeTurns() {
    QFETCH(QString, backend);
    QFETCH(QStringList, mine);
    QFETCH(QStringList, theirs);
    TestEnvironment env;
    // What the two leave one after the other, and what the later one is told.
    QString serial;
    QStringList toldSecond;
    {
        Warehouse one(backend);
        QLX_REQUIRE_WAREHOUSE(one);
        QVERIFY(one.openShared());
        QVERIFY(UserActions::Run(mine));
        QVERIFY(!UserActions::Run(theirs));
        for (const QString& prompt : env.prompts())
            toldSecond << prompt.simplified();
        serial = one.snapshot();
        CloseDBConnection();
        env.ui.messages.clear();
    }

    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.openShared());
    QProcess other;
    bool interleaved = false;
    gDBConnection->adoConnection().BeforeStatement([&](const QString& sql) {
        if (!sql.startsWith("Insert", Qt::CaseInsensitive) && !sql.startsWith("Update", Qt::CaseInsensitive))
            return false;
        // Checked, not yet written: the other user starts now and gets as far as it can.
        other.start(QLX_SECOND_USER, QStringList{w.connectionText()} + theirs);
        interleaved = other.waitForReadyRead(30000) && other.readLine() == "ready\n";
        other.waitForFinished(2000);
        return true;
    });
    const bool saved = UserActions::Run(mine);
    gDBConnection->adoConnection().BeforeStatement(nullptr);
    QVERIFY(interleaved);
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(60000));
    const QStringList reply =
        QString::fromUtf8(other.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(saved, qPrintable(env.prompts().join(" | ")));
    QCOMPARE(reply, QStringList{"refused"} + toldSecond);
    QCOMPARE(w.snapshot(), serial);
}

QTEST_MAIN(tst_ConcurrentActions)
#include "tst_ConcurrentActions.moc"
