#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/SampleTree.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAbstractItemModelTester>
#include <QTest>

namespace {

// Everything a user or an engine can see of the tree, in collection order.
QString picture(const MaintTree& tree) {
    QStringList lines;
    for (const TreeNode* n : tree.Nodes()) {
        const QModelIndex index = tree.Model()->indexFromNode(n);
        const QString parent = n->Parent() ? n->Parent()->Key() : "-";
        QStringList f{n->Key(), n->Text(), n->Tag(), n->Image(), parent, QString::number(n->Row())};
        f << (n->Expanded() ? "open" : "shut") << (tree.isExpanded(index) ? "shown open" : "shown shut");
        lines << (f << index.data().toString()).join('|');
    }
    const TreeNode* selected = tree.SelectedItem();
    lines << "selected: " + (selected ? selected->Key() : QString("none"));
    return lines.join('\n');
}

// One user action's worth of node changes: adds (one selected), removals with their subtrees (one holding
// an added node), expansion and a renamed node.
void changeNodes(MaintTree& tree, clsGenericMaint& gm) {
    tree.SetSelectedItem(tree.Node(SampleKey("100", "L1", "C2")));
    QVERIFY(gm.AddNode_RangeAccount(tree, kSampleRoot, "100", "L1", "C1", "4000", "4999", true));
    QVERIFY(gm.AddNode_RangeAccount(tree, kSampleRoot, "100", "L1", "C2", "6000", "6999", false));
    QVERIFY(tree.Remove(SampleKey("100", "L1", "C2"))); // with the range just added
    QVERIFY(tree.Remove(SampleKey("100", "L1", "C1", "1000", "1999")));
    gm.ExpandCurrent(true, tree);
    tree.SetText(tree.Node(SampleKey("200")), "200:Renamed");
    QVERIFY(gm.AddNode_Level(tree, kSampleRoot, "200", "L9", false));
    QVERIFY(gm.AddNode_CodCat(tree, kSampleRoot, "200", "L9", "C9", "", false, 3));
    QVERIFY(tree.Remove(SampleKey("100", "L2")));
    tree.SetExpanded(tree.Node(SampleKey("100")), false);
}

} // namespace

class tst_MaintTreeJournal : public QObject {
    Q_OBJECT
private slots:
    void nodeChangesFollowTheTransaction_data();
    void nodeChangesFollowTheTransaction();
};

void tst_MaintTreeJournal::nodeChangesFollowTheTransaction_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("ending");
    for (const QString& b : Warehouse::backends())
        for (const char* ending : {"commit", "rollback", "failed statement", "rollback after a commit",
                                   "no node touched", "outside a transaction"})
            Warehouse::newRow(b, ending) << QString(ending);
}

void tst_MaintTreeJournal::nodeChangesFollowTheTransaction() {
    QFETCH(QString, ending);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    MaintTree tree;
    clsGenericMaint gm;
    tree.show();
    BuildSampleTree(tree, gm);
    QAbstractItemModelTester tester(tree.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    DbConnection& connection = gDBConnection->adoConnection();
    if (ending == "rollback after a commit") { // what a committed action did stays
        TransactionGuard guard(connection);
        QVERIFY(tree.Remove(SampleKey("100", "L1", "C2")));
        QVERIFY(guard.Commit());
    } else if (ending == "outside a transaction") {
        changeNodes(tree, gm);
    }
    const QString before = picture(tree);
    const QString tablesBefore = w.snapshot();
    env.ui.behind = [&tree] { return picture(tree); };
    QString during = before;
    bool committed = false;
    {
        TransactionGuard guard(connection);
        QVERIFY(
            ExecuteSQL("INSERT INTO CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT) "
                       "VALUES ('100', 'L1', 'C1', '4000', '4999')"));
        if (ending == "rollback after a commit")
            QVERIFY(gm.AddNode_Level(tree, kSampleRoot, "200", "L7", true));
        else if (ending != "no node touched" && ending != "outside a transaction")
            changeNodes(tree, gm);
        during = picture(tree);
        QCOMPARE(tree.Journaling(), during != before);
        // Held until the action ends, and then shown in front of the tree as the action left it.
        ErrorHandler::Tell("The action's own word", vbExclamation);
        QVERIFY(env.ui.messages.isEmpty());
        if (ending == "failed statement") {
            connection.FailStatementContaining("CS_CAT_DESC", DbError{1, "refused", "test"});
            TransactionGuard inner(connection);
            QVERIFY(!ExecuteSQL("Delete From CS_CAT_DESC"));
            Err().Clear();
            // The action stops here: the inner guard goes without committing, which dooms the whole.
        }
        if (ending == "commit" || ending == "failed statement")
            committed = guard.Commit();
    }
    QCOMPARE(committed, ending == "commit");
    QVERIFY(!tree.Journaling());
    QCOMPARE(picture(tree), committed ? during : before);
    env.ui.behind = nullptr;
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.ui.inTransaction, QList<bool>{false});
    QCOMPARE(env.ui.seenBehind, QStringList{picture(tree)});
    QCOMPARE(w.snapshot() == tablesBefore, !committed);
    if (!committed && ending != "outside a transaction") {
        // The restored nodes are found by key and navigate as before.
        TreeNode* range = tree.Node(SampleKey("100", "L1", "C1", "1000", "1999"));
        QVERIFY(range && range->Parent() == tree.Node(SampleKey("100", "L1", "C1")));
        QCOMPARE(tree.Node(SampleKey("100", "L1", "C1", "4000", "4999")), nullptr);
        QCOMPARE(tree.Node(SampleKey("200", "L9")), nullptr);
        QCOMPARE(tree.IndexOf(tree.Node(SampleKey("200"))), tree.Count() - 1);
    }
}

QTEST_MAIN(tst_MaintTreeJournal)
#include "tst_MaintTreeJournal.moc"
