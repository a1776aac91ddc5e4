#include "codemaint/frmCodeMaintenance.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "services/frmLookup.h"
#include "support/CodeEditors.h"
#include "support/LookupShapes.h"
#include "support/RangeEditorDriver.h"
#include "support/TestEnvironment.h"
#include "support/UserActions.h"
#include "support/Warehouse.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

// Runs the user action `words` (see UserActions) on the shared connection; `meanwhile` runs once, just
// before the action's first statement that `next` matches at its start. Answers whether the action saved.
bool interrupted(const QString& next, const std::function<void()>& meanwhile, const QString& words) {
    DbConnection& db = gDBConnection->adoConnection();
    const QRegularExpression start("^(" + next + ")", QRegularExpression::CaseInsensitiveOption);
    db.BeforeStatement(
        [&](const QString& sql) { return start.match(sql).hasMatch() && (meanwhile(), true); });
    const bool saved = UserActions::Run(words.split(' '));
    db.BeforeStatement(nullptr);
    return saved;
}

} // namespace

class tst_ConcurrentActions : public QObject {
    Q_OBJECT
private slots:
    void actionsAtOnceTakeTurns_data();
    void actionsAtOnceTakeTurns();
    void aRowGoneMeanwhileEndsTheAction_data();
    void aRowGoneMeanwhileEndsTheAction();
    void aLostSessionIsToldOnce_data();
    void aLostSessionIsToldOnce();
};

// Two users act at once: the other user's action (a process of its own) starts after this one has made its
// checks and before it writes. The warehouse must end as the two done one after the other leave it, and
// the other user is told what the later of the two is told then.
void tst_ConcurrentActions::actionsAtOnceTakeTurns_data() {
    Warehouse::addColumns<QString>("mine");
    QTest::addColumn<QString>("theirs");
    const auto both = [](const char* name, const char* action) {
        Warehouse::addRows(name, QString(action), QString(action));
    };
    both("the same child under the same parent", "attach AC CORP L1 1 L2 14");
    Warehouse::addRows("each code under the other", QString("attach AC CORP L4 1112 L4 1113"),
                       QString("attach AC CORP L4 1113 L4 1112"));
    both("the same range under the same code", "range CORP L3 111 111150 111160");
    both("the same code added to a level", "code BA L2 29 Spare's");
}

void tst_ConcurrentActions::actionsAtOnceTakeTurns() {
    QFETCH(QString, backend);
    QFETCH(QString, mine);
    QFETCH(QString, theirs);
    TestEnvironment env;
    QStringList toldLater{"refused"};
    QString serial;
    {
        Warehouse one(backend);
        QLX_REQUIRE_WAREHOUSE(one);
        QVERIFY(one.openShared());
        QVERIFY(UserActions::Run(mine.split(' ')) && !UserActions::Run(theirs.split(' ')));
        for (const QString& prompt : env.prompts())
            toldLater << prompt.simplified();
        serial = one.snapshot();
        env.ui.messages.clear();
    }
    Warehouse w(backend);
    QVERIFY(w.openShared());
    QProcess other;
    bool interleaved = false;
    const bool saved = interrupted(
        "Insert|Update",
        [&] { // checked, not yet written: the other user starts now and gets as far as it can
            other.start(QLX_SECOND_USER, QStringList{w.connectionText()} + theirs.split(' '));
            interleaved = other.waitForReadyRead(30000) && other.readLine() == "ready\n";
            other.waitForFinished(2000);
        },
        mine);
    QVERIFY(interleaved);
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(60000));
    QVERIFY2(saved, qPrintable(env.prompts().join(" | ")));
    QCOMPARE(QString::fromUtf8(other.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), toldLater);
    QCOMPARE(w.snapshot(), serial);
}

// A writer that does not wait for the program's locks (another program, a script) changes the row an
// action found, between its look and its write: the action must end undone, the user told why once.
void tst_ConcurrentActions::aRowGoneMeanwhileEndsTheAction_data() {
    Warehouse::addColumns<QString>("action");
    QTest::addColumn<QString>("written");   // how the statement that finds nothing begins (a pattern)
    QTest::addColumn<QString>("meanwhile"); // what the other writer does just before it
    QTest::addColumn<QString>("setup");     // the warehouse before the action, when not as seeded
    const QString fill9 = "Update CS_COA_ACCT_RANGE Set CO_FR_ACCT = '910', CO_TO_ACCT = '919' Where "
                          "CO_CODE = '9' And CO_FR_ACCT = ' '";
    const QString child9 = "Update CS_LEVELHIER Set CS_CHILDLEVEL = '%1', CS_CHILDCODE = '%2' Where "
                           "CS_PARENTCODE = '9' And CS_CHILDCODE = ' '";
    const QString detach13 = "Delete From CS_LEVELHIER Where CS_PARENTCODE = '1' And CS_CHILDCODE = '13'";
    const auto row = [](const char* name, const char* action, const char* written, const QString& meanwhile,
                        const QString& setup = QString()) {
        Warehouse::addRows(name, QString(action), QString(written), meanwhile, setup);
    };
    row("code: the parent's placeholder filled", "attach AC CORP L1 9 L2 95", "Update CS_LEVELHIER",
        child9.arg("L2", "96"));
    row("code: the holder's placeholder filled", "attach AC CORP L1 9 L2 13", "Update CS_COA_ACCT_RANGE",
        fill9);
    row("code: the child detached", "detach AC CORP L1 1 L2 13", "Delete From CS_LEVELHIER", detach13);
    row("code: the child detached before the look", "detach AC CORP L1 1 L2 13",
        "Select .* from CS_LEVELHIER", detach13);
    row("lookup: the level's placeholder filled", "code BA L4 411 North's", "Update CS_SOURCE",
        "Update CS_SOURCE Set SOCODE = '412', SODESC = 'Other' Where SOAREA = 'BA' And SOLEVEL = 'L4' And "
        "SOCODE = ' '");
    row("range: the code's placeholder filled", "range CORP L1 9 900 909", "Update CS_COA_ACCT_RANGE", fill9);
    row("range: a holder's placeholder filled", "range CORP L1 9 900 909", "Update CS_MULTIPLIER_RANGE",
        "Update CS_MULTIPLIER_RANGE Set MUL_FR_ACCT = '910', MUL_TO_ACCT = '919' Where "
        "MUL_CODE = 'MTHOU' And MUL_FR_ACCT = ' '",
        "Update CS_MULTIPLIERHIER Set CS_LEVEL = 'L1', CS_CODE = '9' Where CS_MULTIPLIER = 'MTHOU'");
    row("range: the range deleted", "unrange CORP L3 111 111200 111299", "Delete From CS_COA_ACCT_RANGE",
        "Delete From CS_COA_ACCT_RANGE Where CO_LEVEL = 'L3' And CO_FR_ACCT = '111200'");
    // Code 9 has just got a child and has no range of its own: the carry (or a Synchronize of that child,
    // made 9's child by another program) fills 9's placeholder.
    row("range: an ancestor's placeholder filled", "range CORP L2 95 950 959", "Update CS_COA_ACCT_RANGE",
        fill9, child9.arg("L2", "95"));
    row("synchronize: an ancestor's placeholder filled", "sync CORP L4 1112", "Update CS_COA_ACCT_RANGE",
        fill9, child9.arg("L4", "1112"));
}

void tst_ConcurrentActions::aRowGoneMeanwhileEndsTheAction() {
    QFETCH(QString, action);
    QFETCH(QString, written);
    QFETCH(QString, meanwhile);
    QFETCH(QString, setup);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    QVERIFY(setup.isEmpty() || w.own().Execute(setup));
    const QString before = w.snapshot();
    bool reached = false;
    // The other writer's statement runs in the action's own transaction, so the rollback takes it too.
    QVERIFY(!interrupted(
        written, [&] { reached = gDBConnection->adoConnection().Execute(meanwhile); }, action));
    QVERIFY(reached);
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(env.prompts().count(WarehouseChangedText()), 1);
    QVERIFY(!env.ui.inTransaction.contains(true));
    QVERIFY(env.logText().contains(WarehouseChangedText()));
}

// The server ends the program's session (an administrator, a restart, a network that drops it), before an
// action or in the middle of it: the action changes nothing, and the user is told once that the
// connection was lost, not the driver's words for the statement it failed on, nor what the editor or the
// lookup dialog says of the failed save after it; and so again at each retry.
void tst_ConcurrentActions::aLostSessionIsToldOnce_data() {
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("when"); // empty: before the action; else before its first such statement
    for (const char* action :
         {"attach", "range", "drag", "describe", "attach AC CORP L1 1 L2 24", "code BA L2 24 New"})
        for (const char* when : {"", "Insert|Update"})
            Warehouse::newRow("postgres", QString(action) + (*when ? ", in the middle" : ", before"))
                << QString(action) << QString(when);
}

void tst_ConcurrentActions::aLostSessionIsToldOnce() {
    QFETCH(QString, action);
    QFETCH(QString, when);
    QCoreApplication::processEvents(); // a row that failed early may not have gone back to the event loop
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    Main();
    // An editor's action, or (named by words) its engine's or the lookup dialog's alone.
    const bool editor = !action.contains(' ');
    frmCodeMaintenance* codes = action == "attach" ? OpenCodeEditor(3) : nullptr;
    frmRangeMaintenance* ranges = action == "range" || action == "drag" ? openRangeEditor(3) : nullptr;
    std::unique_ptr<frmLookup> lookup; // a category's description changed in the lookup dialog
    if (action == "describe") {
        lookup = std::make_unique<frmLookup>();
        ConfigureLookup(*lookup, "categories");
        lookup->m_strFindItem = QStringLiteral("EQTY");
        QVERIFY(lookup->ctlListView() && lookup->IsModify()); // loaded, the category picked
    }
    const QString before = w.snapshot();
    const auto endSession = [&] {
        QVERIFY(w.own().Execute("select pg_terminate_backend(pid) from pg_stat_activity where datname = "
                                "current_database() and pid <> pg_backend_pid()"));
    };
    // The first attempt enters what it saves; a retry saves the entry still pending, or drags again.
    const auto act = [&](bool retry) {
        if (!editor) {
            QVERIFY(!UserActions::Run(action.split(' ')));
            return;
        }
        if (lookup) {
            lookup->txtDesc()->setText(QStringLiteral("Owners' equity"));
            lookup->cmdAdd_Click();
            return;
        }
        retry = retry && (codes ? codes->NewRecord : ranges->NewRecord);
        if (codes) {
            if (!retry) {
                QVERIFY(codes->trvMaintenance_NodeClick(CodeNode(*codes, "CORP,L1,1")));
                codes->Insert();
                codes->txtChildLevel->setText("L2");
                codes->txtChildCode->setText("24");
            }
            codes->Save();
        } else if (action == "range") {
            if (!retry) {
                ranges->trvMaintenance_NodeClick(rangeNodeAt(ranges, "CORP|L3|111"));
                ranges->Insert();
                ranges->txtRangAccountFr[1]->setText("111150");
                ranges->txtRangAccountTo[1]->setText("111160");
            }
            ranges->Save();
        } else {
            drag(ranges, "CORP|L4|1112|111200|111299", "CORP|L3|131");
        }
    };
    if (when.isEmpty())
        endSession();
    else
        gDBConnection->adoConnection().BeforeStatement([&](const QString& sql) {
            return QRegularExpression("^(" + when + ")", QRegularExpression::CaseInsensitiveOption)
                       .match(sql)
                       .hasMatch() &&
                   (endSession(), true);
        });
    const auto nodes = [&] {
        return codes ? codes->trvMaintenance->Count() : ranges ? ranges->trvMaintenance->Count() : 0;
    };
    const int shownBefore = nodes();
    DbConnection& db = gDBConnection->adoConnection();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        env.ui.messages.clear();
        const qint64 sent = db.StatementCount();
        act(attempt > 1);
        // Once the loss is known, nothing more is sent where it could only wait for the network.
        QVERIFY(attempt == 1 || db.StatementCount() == sent);
        QVERIFY2(env.prompts() == QStringList{DbConnection::LostText()},
                 qPrintable(env.prompts().join(" | ")));
        QVERIFY(!env.ui.inTransaction.contains(true));
        QCOMPARE(w.snapshot(), before);
        QCOMPARE(nodes(), shownBefore);
        QCoreApplication::processEvents(); // the user's next action comes from the event loop
    }
    QVERIFY(db.Lost());
    // Beside the program's words the log keeps the driver's for the call that found the session gone, which
    // never stand in the loss's place.
    const QRegularExpression cause(QRegularExpression::escape(DbConnection::LostText()) +
                                   " The driver said: \\w.*\\) in ");
    for (const QString& line : env.logLines().mid(1))
        QVERIFY2(line.contains(cause), qPrintable(line));
}

QTEST_MAIN(tst_ConcurrentActions)
#include "tst_ConcurrentActions.moc"
