#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/TransactionGuard.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAbstractItemModelTester>
#include <QTest>

namespace {

const QString kRoot = QStringLiteral("Account Level");

QString key(const QString& account, const QString& level = {}, const QString& code = {},
            const QString& from = {}, const QString& to = {}) {
    return clsGenericMaint::BuildKey(kRoot, account, level, code, from, to);
}

void buildSample(MaintTree& tree, clsGenericMaint& gm) {
    gm.AddNode_Root(tree, kRoot);
    gm.AddNode_ChartOfAccount(tree, kRoot, "100", "", false);
    gm.AddNode_Level(tree, kRoot, "100", "L1", false);
    gm.AddNode_CodCat(tree, kRoot, "100", "L1", "C1", "First", false, 3);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "1000", "1999", false);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "2000", "2999", false);
    gm.AddNode_CodCat(tree, kRoot, "100", "L1", "C2", "Second", false, 3);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C2", "5000", "5999", false);
    gm.AddNode_Level(tree, kRoot, "100", "L2", false);
    gm.AddNode_ChartOfAccount(tree, kRoot, "200", "", false);
}

// Everything a user or an engine can see of the tree, in collection order.
QString picture(const MaintTree& tree) {
    QStringList lines;
    for (const TreeNode* n : tree.Nodes()) {
        const QModelIndex index = tree.Model()->indexFromNode(n);
        lines << QStringList{n->Key(),
                             n->Text(),
                             n->Tag(),
                             n->Image(),
                             n->Parent() ? n->Parent()->Key() : "-",
                             QString::number(n->Row()),
                             n->Expanded() ? "open" : "shut",
                             tree.isExpanded(index) ? "shown open" : "shown shut",
                             index.data().toString()}
                     .join('|');
    }
    const TreeNode* selected = tree.SelectedItem();
    lines << "selected: " + (selected ? selected->Key() : QString("none"));
    return lines.join('\n');
}

// One user action's worth of node changes: adds (one selected), removals with their subtrees, expansion
// and a renamed node.
void changeNodes(MaintTree& tree, clsGenericMaint& gm) {
    tree.SetSelectedItem(tree.Node(key("100", "L1", "C2")));
    QVERIFY(gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "4000", "4999", true));
    QVERIFY(tree.Remove(key("100", "L1", "C2")));
    QVERIFY(tree.Remove(key("100", "L1", "C1", "1000", "1999")));
    gm.ExpandCurrent(true, tree);
    tree.SetText(tree.Node(key("200")), "200:Renamed");
    QVERIFY(gm.AddNode_Level(tree, kRoot, "200", "L9", false));
    QVERIFY(gm.AddNode_CodCat(tree, kRoot, "200", "L9", "C9", "", false, 3));
    QVERIFY(tree.Remove(key("100", "L2")));
    tree.SetExpanded(tree.Node(key("100")), false);
}

} // namespace

// A shared warehouse connection and an empty tree with its generic maintenance.
#define OPEN_TREE()                                                                                          \
    QFETCH(QString, backend);                                                                                \
    TestEnvironment env;                                                                                     \
    Warehouse w(backend);                                                                                    \
    QLX_REQUIRE_WAREHOUSE(w);                                                                                \
    QVERIFY(w.openShared());                                                                                 \
    MaintTree tree;                                                                                          \
    clsGenericMaint gm

class tst_MaintTreeJournal : public QObject {
    Q_OBJECT
private slots:
    void nodeChangesFollowTheTransaction_data();
    void nodeChangesFollowTheTransaction();
    void committedChangesSurviveALaterRollback_data() { Warehouse::addBackendRows(); }
    void committedChangesSurviveALaterRollback();
    void changesOutsideATransactionAreNotJournaled_data() { Warehouse::addBackendRows(); }
    void changesOutsideATransactionAreNotJournaled();
};

void tst_MaintTreeJournal::nodeChangesFollowTheTransaction_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("ending");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "commit") << "commit";
        Warehouse::newRow(b, "rollback") << "rollback";
        Warehouse::newRow(b, "failed statement") << "failed statement";
    }
}

void tst_MaintTreeJournal::nodeChangesFollowTheTransaction() {
    QFETCH(QString, ending);
    OPEN_TREE();
    tree.show();
    buildSample(tree, gm);
    QAbstractItemModelTester tester(tree.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QString before = picture(tree);
    const QString tablesBefore = w.snapshot();
    DbConnection& connection = gDBConnection->adoConnection();

    QString during;
    bool committed = false;
    {
        TransactionGuard guard(connection);
        QVERIFY(guard.active());
        QVERIFY(
            ExecuteSQL("INSERT INTO CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT) "
                       "VALUES ('100', 'L1', 'C1', '4000', '4999')"));
        changeNodes(tree, gm);
        QVERIFY(tree.Journaling());
        during = picture(tree);
        QVERIFY(during != before);
        if (ending == "failed statement") {
            connection.FailStatementContaining("CS_CAT_DESC", DbError{1, "refused", "test"});
            TransactionGuard inner(connection);
            QVERIFY(!ExecuteSQL("Delete From CS_CAT_DESC"));
            Err().Clear();
            // The action stops here: the inner guard goes without committing, which dooms the whole.
        }
        if (ending != "rollback")
            committed = guard.Commit();
    }
    QCOMPARE(committed, ending == "commit");
    QVERIFY(!tree.Journaling());
    if (committed) {
        QCOMPARE(picture(tree), during);
        QVERIFY(w.snapshot() != tablesBefore);
    } else {
        QCOMPARE(picture(tree), before);
        QCOMPARE(w.snapshot(), tablesBefore);
        // The restored nodes are found by key and navigate as before.
        TreeNode* range = tree.Node(key("100", "L1", "C1", "1000", "1999"));
        QVERIFY(range);
        QCOMPARE(range->Parent(), tree.Node(key("100", "L1", "C1")));
        QCOMPARE(tree.Node(key("100", "L1", "C1", "4000", "4999")), nullptr);
        QCOMPARE(tree.Node(key("200", "L9")), nullptr);
        QCOMPARE(tree.IndexOf(tree.Node(key("200"))), tree.Count() - 1);
    }
}

void tst_MaintTreeJournal::committedChangesSurviveALaterRollback() {
    OPEN_TREE();
    buildSample(tree, gm);
    DbConnection& connection = gDBConnection->adoConnection();
    {
        TransactionGuard guard(connection);
        QVERIFY(tree.Remove(key("100", "L1", "C2")));
        QVERIFY(guard.Commit());
    }
    const QString afterCommit = picture(tree);
    {
        TransactionGuard guard(connection);
        QVERIFY(gm.AddNode_Level(tree, kRoot, "200", "L7", true));
    }
    QCOMPARE(picture(tree), afterCommit);
    QCOMPARE(tree.Node(key("100", "L1", "C2")), nullptr);
}

void tst_MaintTreeJournal::changesOutsideATransactionAreNotJournaled() {
    OPEN_TREE();
    buildSample(tree, gm);
    QVERIFY(tree.Remove(key("100", "L2")));
    QVERIFY(!tree.Journaling());
    const QString after = picture(tree);
    {
        // A transaction that touches no node leaves the tree alone either way.
        TransactionGuard guard(gDBConnection->adoConnection());
        QVERIFY(ExecuteSQL("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
    }
    QCOMPARE(picture(tree), after);
}

QTEST_MAIN(tst_MaintTreeJournal)
#include "tst_MaintTreeJournal.moc"
