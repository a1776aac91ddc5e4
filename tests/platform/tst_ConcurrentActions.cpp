#include "frame/ModMaintenance.h"
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
    void aRowGoneMeanwhileEndsTheAction_data();
    void aRowGoneMeanwhileEndsTheAction();
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
    const QStringList code = {"code", "BA", "L2", "29", "Spare's"};
    Warehouse::addRows("the same code added to a level", code, code);
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

// A writer that does not wait for the program's locks (another program, a script) changes the row an
// action found, between its look and its write: the write changes nothing, and the action must end
// undone with the user told why, never answer success.
void tst_ConcurrentActions::aRowGoneMeanwhileEndsTheAction_data() {
    Warehouse::addColumns<QStringList>("action");
    QTest::addColumn<QString>("written");   // how the statement that finds nothing begins
    QTest::addColumn<QString>("meanwhile"); // what the other writer does just before it
    QTest::addColumn<QString>("setup");     // the warehouse before the action, when not as seeded
    Warehouse::addRows("code: the parent's placeholder filled",
                       QStringList{"attach", "AC", "CORP", "L1", "9", "L2", "95"},
                       QString("Update CS_LEVELHIER"),
                       QString("Update CS_LEVELHIER Set CS_CHILDLEVEL = 'L2', CS_CHILDCODE = '96' Where "
                               "CS_PARENTCODE = '9' And CS_CHILDCODE = ' '"),
                       QString());
    Warehouse::addRows("code: the holder's placeholder filled",
                       QStringList{"attach", "AC", "CORP", "L1", "9", "L2", "13"},
                       QString("Update CS_COA_ACCT_RANGE"),
                       QString("Update CS_COA_ACCT_RANGE Set CO_FR_ACCT = '910', CO_TO_ACCT = '919' Where "
                               "CO_CODE = '9' And CO_FR_ACCT = ' '"),
                       QString());
    Warehouse::addRows("code: the child detached", QStringList{"detach", "AC", "CORP", "L1", "1", "L2", "13"},
                       QString("Delete From CS_LEVELHIER"),
                       QString("Delete From CS_LEVELHIER Where CS_PARENTCODE = '1' And CS_CHILDCODE = '13'"),
                       QString());
    // Gone before the delete looks for it.
    Warehouse::addRows(
        "code: the child detached before the look",
        QStringList{"detach", "AC", "CORP", "L1", "1", "L2", "13"}, QString("Select * from CS_LEVELHIER"),
        QString("Delete From CS_LEVELHIER Where CS_PARENTCODE = '1' And CS_CHILDCODE = '13'"), QString());
    Warehouse::addRows(
        "lookup: the level's placeholder filled", QStringList{"code", "BA", "L4", "411", "North's"},
        QString("Update CS_SOURCE"),
        QString("Update CS_SOURCE Set SOCODE = '412', SODESC = 'Other' Where SOAREA = 'BA' And "
                "SOLEVEL = 'L4' And SOCODE = ' '"),
        QString());
    Warehouse::addRows("range: the code's placeholder filled",
                       QStringList{"range", "CORP", "L1", "9", "900", "909"},
                       QString("Update CS_COA_ACCT_RANGE"),
                       QString("Update CS_COA_ACCT_RANGE Set CO_FR_ACCT = '910', CO_TO_ACCT = '919' Where "
                               "CO_CODE = '9' And CO_FR_ACCT = ' '"),
                       QString());
    Warehouse::addRows(
        "range: the range deleted", QStringList{"unrange", "CORP", "L3", "111", "111200", "111299"},
        QString("Delete From CS_COA_ACCT_RANGE"),
        QString("Delete From CS_COA_ACCT_RANGE Where CO_LEVEL = 'L3' And CO_FR_ACCT = '111200'"), QString());
    // The range goes up to code 9, which has just got 95 as its child and has no range of its own: the
    // carry fills 9's placeholder.
    Warehouse::addRows("range: an ancestor's placeholder filled",
                       QStringList{"range", "CORP", "L2", "95", "950", "959"},
                       QString("Update CS_COA_ACCT_RANGE"),
                       QString("Update CS_COA_ACCT_RANGE Set CO_FR_ACCT = '910', CO_TO_ACCT = '919' Where "
                               "CO_CODE = '9' And CO_FR_ACCT = ' '"),
                       QString("Update CS_LEVELHIER Set CS_CHILDLEVEL = 'L2', CS_CHILDCODE = '95' Where "
                               "CS_PARENTCODE = '9' And CS_CHILDCODE = ' '"));
    // Synchronize of 1112, made a child of 9 (whose placeholder row stands) by another program, carries
    // 1112's range up into that placeholder.
    Warehouse::addRows("synchronize: an ancestor's placeholder filled",
                       QStringList{"sync", "CORP", "L4", "1112"}, QString("Update CS_COA_ACCT_RANGE"),
                       QString("Update CS_COA_ACCT_RANGE Set CO_FR_ACCT = '910', CO_TO_ACCT = '919' Where "
                               "CO_CODE = '9' And CO_FR_ACCT = ' '"),
                       QString("Update CS_LEVELHIER Set CS_CHILDLEVEL = 'L4', CS_CHILDCODE = '1112' Where "
                               "CS_PARENTCODE = '9' And CS_CHILDCODE = ' '"));
}

void tst_ConcurrentActions::aRowGoneMeanwhileEndsTheAction() {
    QFETCH(QString, backend);
    QFETCH(QStringList, action);
    QFETCH(QString, written);
    QFETCH(QString, meanwhile);
    QFETCH(QString, setup);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(setup.isEmpty() || w.own().Execute(setup));
    QVERIFY(w.openShared());
    const QString before = w.snapshot();
    DbConnection& db = gDBConnection->adoConnection();
    bool reached = false;
    // The other writer's statement runs in the action's own transaction, so the rollback takes it too.
    db.BeforeStatement([&](const QString& sql) {
        if (!sql.startsWith(written, Qt::CaseInsensitive))
            return false;
        reached = db.Execute(meanwhile);
        return true;
    });
    const bool done = UserActions::Run(action);
    db.BeforeStatement(nullptr);
    QVERIFY(reached);
    QVERIFY(!done);
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(env.prompts().count(WarehouseChangedText()), 1);
    QVERIFY(!env.ui.inTransaction.contains(true));
    QVERIFY(env.logText().contains(WarehouseChangedText()));
}

QTEST_MAIN(tst_ConcurrentActions)
#include "tst_ConcurrentActions.moc"
