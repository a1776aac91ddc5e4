#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/WellFormedText.h"
#include "services/ProgressPacer.h"
#include "support/RangeEditorDriver.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

namespace {

int countKind(const MaintTree& tree, NodeKind kind) {
    int n = 0;
    for (const TreeNode* node : tree.Nodes())
        n += node->Kind() == kind ? 1 : 0;
    return n;
}

// Siblings come in ascending order of their key value.
bool siblingsInOrder(const TreeNode* node) {
    for (int r = 0; r < node->ChildCount(); ++r)
        if ((r > 0 && node->Child(r - 1)->Text() > node->Child(r)->Text() &&
             node->Child(r)->Kind() != NodeKind::RangeAccount) ||
            !siblingsInOrder(node->Child(r)))
            return false;
    return true;
}

// The table of each type: table, chart, level, code, from and to columns, and the rows the tree shows.
QStringList tables(int type) {
    const QString bu = "CS_BA_BU_LEVELS|SO_AREA|SO_LEVELS|SO_CODE|SO_FR_CD|SO_TO_CD|SO_AREA = ";
    return QStringList{"",
                       "CS_MULTIPLIER_RANGE|MUL_COA||MUL_CODE|MUL_FR_ACCT|MUL_TO_ACCT|MUL_CODE not like 'D%'",
                       "CS_CAT_TYPE|CAT_COA||CAT_TYP_CD|CAT_FR_ACCT|CAT_TO_ACCT|1 = 1",
                       "CS_COA_ACCT_RANGE|CO_COA|CO_LEVEL|CO_CODE|CO_FR_ACCT|CO_TO_ACCT|1 = 1",
                       bu + "'BU'",
                       bu + "'BA'"}[type]
        .split('|');
}

} // namespace

class tst_frmRangeMaintenance : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void treeEqualsTheTable_data();
    void treeEqualsTheTable();
    void keyFieldsOfEachType_data();
    void keyFieldsOfEachType();
    void expandAndCollapseCurrent_data() { Warehouse::addBackendRows(); }
    void expandAndCollapseCurrent();
    void applyEndsLikeTheFirstLoad_data() { Warehouse::addBackendRows(); }
    void applyEndsLikeTheFirstLoad();
    void blockedAccountsBoxRefillsTheList_data() { Warehouse::addBackendRows(); }
    void blockedAccountsBoxRefillsTheList();
    void trailingBlanksFallIntoOneNode_data() { Warehouse::addBackendRows(); }
    void trailingBlanksFallIntoOneNode();
    void noCloseAndNoApplyDuringTheLoad_data() { Warehouse::addBackendRows(); }
    void noCloseAndNoApplyDuringTheLoad();
    void theWindowAsAUserSeesIt_data() { Warehouse::addBackendRows(); }
    void theWindowAsAUserSeesIt();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_frmRangeMaintenance::treeEqualsTheTable_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("filter");
    // Unfiltered, filtered, filtered to nothing and with an apostrophe: "type:filter".
    for (const QString& b : Warehouse::backends())
        for (const QString& row :
             QString("1:,2:,3:,4:,5:,3: 111120 ,1:211120,2:111120,4:1011,5:2011,3:000000,3:11'1,"
                     "1:',2:1',4:'1011")
                 .split(','))
            Warehouse::newRow(b, row) << row.section(':', 0, 0).toInt() << row.section(':', 1);
}

void tst_frmRangeMaintenance::treeEqualsTheTable() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, filter);
    frmRangeMaintenance* f = openRangeEditor(type);
    QCOMPARE(Err().Number(), 0); // a load leaves no error behind for the next report to pick up
    QVERIFY(!gMainForm->Command("mnuNew")->isEnabled() && gMainForm->ProgressBar1->isHidden());
    if (!filter.isEmpty()) {
        f->TxtFilterAccount->setText(filter);
        f->cmdapply_Click();
    }
    const MaintTree& tree = *f->trvMaintenance;
    const QStringList t = tables(type);
    const QString keys = t[2].isEmpty() ? t[1] + ", " + t[3] : t[1] + ", " + t[2] + ", " + t[3];
    const QString account = filter.trimmed(), held = SqlText(account) + " between " + t[4] + " and " + t[5];
    const auto count = [&](const QString& columns, const QString& where) {
        return w
            .scalar("select count(*) from (select distinct " + columns + " from " + t[0] + " where " + t[6] +
                    " and " + where + ") q")
            .toInt();
    };
    const int ranges = count(keys + ", " + t[4] + ", " + t[5], filter.isEmpty() ? t[4] + " <> ' '" : held);
    if (ranges == 0) {
        QVERIFY(!filter.isEmpty());
        QCOMPARE(tree.Count(), 1);
        QCOMPARE(f->strcurRoot, QString());
    } else {
        QVERIFY(!filter.contains('\''));
        QCOMPARE(countKind(tree, NodeKind::Root), 1);
        QCOMPARE(countKind(tree, NodeKind::RangeAccount), ranges);
        QVERIFY(tree.Nodes().front()->Expanded() && siblingsInOrder(tree.Nodes().front()));
        QCOMPARE(tree.SelectedItem(), nullptr);
        for (const TreeNode* n : tree.Nodes())
            if (n->Kind() == NodeKind::RangeAccount && !filter.isEmpty())
                QVERIFY(n->Info().fromAccount <= account && account <= n->Info().toAccount);
    }
    if (filter.isEmpty()) {
        QCOMPARE(countKind(tree, NodeKind::ChartOfAccount), count(t[1], "1 = 1"));
        QCOMPARE(countKind(tree, NodeKind::CodCat), count(keys, t[3] + " <> ' '"));
        QCOMPARE(countKind(tree, NodeKind::Level),
                 t[2].isEmpty() ? 0 : count(t[1] + ", " + t[2], t[2] + " <> ' '"));
    }
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::keyFieldsOfEachType_data() {
    QTest::addColumn<int>("type");
    for (int type = 1; type <= 5; ++type)
        QTest::newRow(qPrintable(QString::number(type))) << type;
}

void tst_frmRangeMaintenance::keyFieldsOfEachType() {
    QFETCH(int, type);
    // Without a warehouse the editor sets itself up all the same, with an empty tree.
    frmRangeMaintenance f;
    f.setMaintenanceType(type);
    f.Form_Load();
    QCOMPARE(f.trvMaintenance->Count(), 0);
    const int i = f.FieldsIndex();
    // Below the selected node's type, the parents' fields are locked.
    const auto enabled = [&] {
        QString s;
        for (QWidget* w :
             std::initializer_list<QWidget*>{f.txtChartOfAccount[i], f.cmdAccount[i], f.txtLevel, f.cmdLevel,
                                             f.txtcodCat[i], f.cmdCodCat[i], f.txtRangAccountFr[i]})
            s += w->isEnabled() ? '1' : '0';
        return s;
    };
    for (const auto& [node, expected] : QList<std::pair<int, QString>>{
             {0, "1111111"}, {4, "1111111"}, {1, "0011111"}, {2, "0000111"}, {3, "0000001"}}) {
        f.EnableKeyFields(true);
        f.SetNodeType(node);
        f.EnableParentFields(false);
        QCOMPARE(enabled(), expected);
    }
    // A box typed in and emptied again is still changed.
    QVERIFY(!f.FieldsChanged());
    f.txtRangAccountTo[i]->setText("x");
    f.txtRangAccountTo[i]->setText("");
    QVERIFY(f.FieldsChanged());
    // The level types take digits only in their code box.
    f.EnableKeyFields(true);
    f.txtcodCat[i]->setReadOnly(false);
    f.txtcodCat[i]->show();
    QTest::keyClicks(f.txtcodCat[i], "1a2");
    QCOMPARE(f.txtcodCat[i]->text(), QString(type >= 3 ? "12" : "1a2"));
}

void tst_frmRangeMaintenance::expandAndCollapseCurrent() {
    QLX_OPEN_WAREHOUSE(w);
    frmRangeMaintenance* f = openRangeEditor(3);
    MaintTree& tree = *f->trvMaintenance;
    // Nothing selected: nothing happens.
    f->CmdCollapseAll_Click();
    f->CmdExpandAll_Click();
    TreeNode* root = rangeNodeAt(f, "");
    TreeNode* corp = rangeNodeAt(f, "CORP");
    TreeNode* l4 = rangeNodeAt(f, "CORP|L4");
    QVERIFY(corp->Expanded() && !l4->Expanded());
    tree.SetSelectedItem(corp);
    f->CmdExpandAll_Click();
    for (const TreeNode* n : tree.Nodes())
        QVERIFY(!corp->Contains(n) || n->ChildCount() == 0 || n->Expanded());
    tree.SetSelectedItem(l4);
    f->CmdCollapseAll_Click();
    QVERIFY(!l4->Expanded() && !l4->Child(0)->Expanded());
    QVERIFY(corp->Expanded() && rangeNodeAt(f, "CORP|L3")->Expanded());
    tree.SetSelectedItem(root);
    f->CmdCollapseAll_Click();
    for (const TreeNode* n : tree.Nodes())
        QCOMPARE(n->Expanded(), n == root);
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::applyEndsLikeTheFirstLoad() {
    QLX_OPEN_WAREHOUSE(w);
    frmRangeMaintenance* f = openRangeEditor(3);
    const int full = f->trvMaintenance->Count();
    QVERIFY(full > 100);
    // A selection with its panel, list and commands, and an insert pending.
    f->trvMaintenance_NodeClick(rangeNodeAt(f, "CORP|L4|1111"));
    QVERIFY(f->lstAccountList->topLevelItemCount() > 0);
    f->Insert();
    gMainForm->ActiveDelete(true); // as a childless node leaves it
    f->TxtFilterAccount->setText("111120");
    f->cmdapply->click();
    QVERIFY(f->trvMaintenance->Count() < full);
    QCOMPARE(f->trvMaintenance->SelectedItem(), nullptr);
    QVERIFY(!f->NewRecord);
    QCOMPARE(f->lstAccountList->topLevelItemCount(), 0);
    QCOMPARE(editCommandStates(), QString("000"));
    f->TxtFilterAccount->setText("");
    f->cmdapply_Click();
    QCOMPARE(f->trvMaintenance->Count(), full);
    // The list the load emptied is filled again for the same node.
    f->trvMaintenance_NodeClick(rangeNodeAt(f, "CORP|L4|1111"));
    QVERIFY(f->lstAccountList->topLevelItemCount() > 0);
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::blockedAccountsBoxRefillsTheList() {
    QLX_OPEN_WAREHOUSE(w);
    frmRangeMaintenance* f = openRangeEditor(1);
    f->m_COA = "CORP";
    f->m_Code = "MSIGN";
    f->ChkBlockedAccounts->click();
    QCOMPARE(f->lstAccountList->topLevelItemCount(), 176);
    f->ChkBlockedAccounts->click();
    QCOMPARE(f->lstAccountList->topLevelItemCount(), 170);
    QCOMPARE(f->lstAccountList->topLevelItem(0)->text(2), QString("1"));
    // No text is cut short: each column is at least as wide as what it shows.
    const QFontMetrics metrics(f->lstAccountList->font());
    for (int c = 0; c < f->lstAccountList->columnCount(); ++c)
        for (int row = 0; row < f->lstAccountList->topLevelItemCount(); ++row)
            QVERIFY(metrics.horizontalAdvance(f->lstAccountList->topLevelItem(row)->text(c)) <
                    f->lstAccountList->columnWidth(c));
}

void tst_frmRangeMaintenance::trailingBlanksFallIntoOneNode() {
    QFETCH(QString, backend);
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    for (const char* values : {"'111910  ', '111919 '", "'111910', '111919'", "'111910', '111915'"})
        QVERIFY(w.own().Execute(
            QString(
                "INSERT INTO CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT) VALUES "
                "('CORP', 'L4', '1119', %1)")
                .arg(values)));
    QVERIFY(w.openShared());
    frmRangeMaintenance f;
    f.setMaintenanceType(3);
    f.TxtFilterAccount->setText("111915");
    f.Form_Load();
    const TreeNode* code = rangeNodeAt(&f, "CORP|L4|1119");
    QVERIFY(code);
    // The seed's own 111900 - 111999, then 111910 - 111915, then one node for both spellings of 111910 -
    // 111919.
    QCOMPARE(code->ChildCount(), 3);
    QCOMPARE(code->Child(1), rangeNodeAt(&f, "CORP|L4|1119|111910|111915"));
    QCOMPARE(code->Child(2), rangeNodeAt(&f, "CORP|L4|1119|111910|111919"));
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::noCloseAndNoApplyDuringTheLoad() {
    QLX_OPEN_WAREHOUSE(w);
    frmRangeMaintenance f;
    f.setMaintenanceType(3);
    int yields = 0, closed = 0;
    // What a user might do whenever the load lets the message loop run.
    ProgressPacer::SetYield([&] {
        ++yields;
        QVERIFY(f.Loading());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        closed += f.close() ? 1 : 0;
        f.TxtFilterAccount->setText("000000");
        f.cmdapply_Click();
    });
    f.Form_Load();
    ProgressPacer::SetYield({});
    QVERIFY(yields > 1);
    QCOMPARE(closed, 0);
    QVERIFY(!f.Loading());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    // The load ran to its end, unfiltered.
    QCOMPARE(
        countKind(*f.trvMaintenance, NodeKind::RangeAccount),
        w.scalar("select count(*) from (select distinct CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT "
                 "from CS_COA_ACCT_RANGE where CO_FR_ACCT <> ' ') q")
            .toInt());
    QVERIFY(f.close());
}

void tst_frmRangeMaintenance::theWindowAsAUserSeesIt() {
    QLX_OPEN_WAREHOUSE(w);
    QVERIFY(w.own().Execute("UPDATE CS_SOURCE SET SODESC = 'A description far wider than the narrowest tree "
                            "pane' WHERE SOAREA = 'AC' AND SOCODE = '1'"));
    openRangeEditor(1);
    frmRangeMaintenance* f = openRangeEditor(3);
    QMdiSubWindow* sub = gMainForm->ChildWindows().last();
    QCOMPARE(sub->windowIcon().pixmap(16).toImage(), QIcon(":/frame/images/about.svg").pixmap(16).toImage());
    // Whole texts: the widest shown node fits the tree's column, and the column its scroll range.
    MaintTree& tree = *f->trvMaintenance;
    for (TreeNode* node : tree.Nodes())
        tree.SetExpanded(node, true);
    sub->resize(sub->minimumSizeHint());
    QTest::qWait(50);
    int widest = 0;
    for (QModelIndex i = tree.indexAt(QPoint(1, 1)); i.isValid(); i = tree.indexBelow(i))
        widest = qMax(widest, tree.visualRect(i).x() + tree.horizontalScrollBar()->value() +
                                  tree.sizeHintForIndex(i).width());
    QVERIFY(widest > tree.viewport()->width() && tree.columnWidth(0) >= widest);
    QCOMPARE(tree.horizontalScrollBar()->maximum() + tree.viewport()->width(), tree.columnWidth(0));
    // A filter that is not well-formed text is refused before it is sent.
    for (const QChar c : {QChar(0xDC00), QChar(0)}) {
        f->TxtFilterAccount->setText("1111" + QString(c) + "' or '1'='1");
        f->cmdapply_Click();
        QCOMPARE(tree.Count(), 0);
        QCOMPARE(m_env->ui.messages.last().prompt, WellFormedText::RefusalText());
    }
}

QTEST_MAIN(tst_frmRangeMaintenance)
#include "tst_frmRangeMaintenance.moc"
