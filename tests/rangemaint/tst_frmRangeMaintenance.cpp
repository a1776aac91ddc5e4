#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "platform/WellFormedText.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
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
    for (int r = 1; r < node->ChildCount(); ++r)
        if (node->Child(r - 1)->Text() > node->Child(r)->Text() &&
            node->Child(r)->Kind() != NodeKind::RangeAccount)
            return false;
    for (int r = 0; r < node->ChildCount(); ++r)
        if (!siblingsInOrder(node->Child(r)))
            return false;
    return true;
}

struct TypeTables {
    QString table, top, level, code, from, to, where;
};

TypeTables tables(int type) {
    switch (type) {
    case 1:
        return {"CS_MULTIPLIER_RANGE",   "MUL_COA", "", "MUL_CODE", "MUL_FR_ACCT", "MUL_TO_ACCT",
                "MUL_CODE not like 'D%'"};
    case 2:
        return {"CS_CAT_TYPE", "CAT_COA", "", "CAT_TYP_CD", "CAT_FR_ACCT", "CAT_TO_ACCT", "1 = 1"};
    case 3:
        return {"CS_COA_ACCT_RANGE", "CO_COA", "CO_LEVEL", "CO_CODE", "CO_FR_ACCT", "CO_TO_ACCT", "1 = 1"};
    default:
        return {"CS_BA_BU_LEVELS",
                "SO_AREA",
                "SO_LEVELS",
                "SO_CODE",
                "SO_FR_CD",
                "SO_TO_CD",
                type == 4 ? "SO_AREA = 'BU'" : "SO_AREA = 'BA'"};
    }
}

void addTypeRows() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    for (const QString& b : Warehouse::backends())
        for (int type = 1; type <= 5; ++type)
            Warehouse::newRow(b, QString::number(type)) << type;
}

} // namespace

#define OPEN_WAREHOUSE() QLX_OPEN_WAREHOUSE(w)

class tst_frmRangeMaintenance : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void treeOfEachType_data() { addTypeRows(); }
    void treeOfEachType();
    void filteredTrees_data();
    void filteredTrees();
    void layoutOfEachType_data();
    void layoutOfEachType();
    void entryPanelOperations_data();
    void entryPanelOperations();
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
    void opensFromTheMenuOnTheDemoWarehouse_data() { addTypeRows(); }
    void opensFromTheMenuOnTheDemoWarehouse();
    void theWindowAsAUserSeesIt_data() { Warehouse::addBackendRows(); }
    void theWindowAsAUserSeesIt();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_frmRangeMaintenance::treeOfEachType() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    frmRangeMaintenance f;
    f.setMaintenanceType(type);
    f.Form_Load();
    QCOMPARE(Err().Number(), 0); // a load leaves no error behind for the next report to pick up
    const MaintTree& tree = *f.trvMaintenance;
    const TypeTables t = tables(type);
    const QString keys = t.level.isEmpty() ? t.top + ", " + t.code : t.top + ", " + t.level + ", " + t.code;
    const int codes = w.scalar("select count(*) from (select distinct " + keys + " from " + t.table +
                               " where " + t.where + " and " + t.code + " <> ' ') q")
                          .toInt();
    const int ranges =
        w.scalar("select count(*) from (select distinct " + keys + ", " + t.from + ", " + t.to + " from " +
                 t.table + " where " + t.where + " and " + t.from + " <> ' ') q")
            .toInt();
    const int tops = w.scalar("select count(*) from (select distinct " + t.top + " from " + t.table +
                              " where " + t.where + ") q")
                         .toInt();
    QVERIFY(codes > 0 && ranges > 0);
    QCOMPARE(countKind(tree, NodeKind::Root), 1);
    QCOMPARE(countKind(tree, NodeKind::ChartOfAccount), tops);
    QCOMPARE(countKind(tree, NodeKind::CodCat), codes);
    QCOMPARE(countKind(tree, NodeKind::RangeAccount), ranges);
    QCOMPARE(countKind(tree, NodeKind::Level),
             t.level.isEmpty()
                 ? 0
                 : w.scalar("select count(*) from (select distinct " + t.top + ", " + t.level + " from " +
                            t.table + " where " + t.where + " and " + t.level + " <> ' ') q")
                       .toInt());
    const QString root = QStringList{"",
                                     "Account Multiplier",
                                     "Account Categories",
                                     "Account Level",
                                     "Business Unit Level",
                                     "Business Area Level"}[type];
    QCOMPARE(f.strcurRoot, root);
    const TreeNode* rootNode = tree.Nodes().front();
    QCOMPARE(rootNode->Text(), root);
    QCOMPARE(rootNode->Key(), clsGenericMaint::BuildKey(root, "", "", "", "", ""));
    QVERIFY(rootNode->Expanded());
    QVERIFY(siblingsInOrder(rootNode));
    QCOMPARE(tree.SelectedItem(), nullptr);
    const auto node = [&](const QString& a, const QString& l, const QString& c, const QString& fr = "",
                          const QString& to = "") {
        return tree.Node(clsGenericMaint::BuildLevelKey(root, a, l, c, fr, to));
    };
    switch (type) {
    case 1:
        QVERIFY(node("CORP", "", "MLEG"));
        QCOMPARE(node("CORP", "", "MLEG")->Text(), QString("MLEG:"));
        QCOMPARE(node("CORP", "", "MTHOU")->ChildCount(), 0);
        QCOMPARE(tree.Node(clsGenericMaint::BuildKey(root, "RETL", "", "", "", ""))->ChildCount(), 0);
        for (const TreeNode* n : tree.Nodes())
            QVERIFY2(!n->Text().startsWith("DSIGN"), qPrintable(n->Text()));
        break;
    case 2:
        QCOMPARE(node("RETL", "", "LEGACY")->Text(), QString("LEGACY:"));
        QCOMPARE(node("CORP", "", "STAT")->ChildCount(), 0);
        break;
    case 3:
        QCOMPARE(node("CORP", "L4", "1119")->Text(), QString("1119:"));
        QCOMPARE(node("CORP", "L4", "1119")->ChildCount(), 1);
        QCOMPARE(node("CORP", "L4", "1111", "111100", "111199")->Text(), QString("111100 - 111199"));
        QCOMPARE(node("CORP", "L1", "9")->ChildCount(), 0);
        QCOMPARE(tree.Node(clsGenericMaint::BuildKey(root, "RETL", "L5", "", "", ""))->ChildCount(), 0);
        QVERIFY(!tree.Node(clsGenericMaint::BuildKey(root, "RETL", "L5", "", "", ""))->Expanded());
        QVERIFY(tree.Node(clsGenericMaint::BuildKey(root, "CORP", "", "", "", ""))->Expanded());
        break;
    case 4:
        QCOMPARE(rootNode->ChildCount(), 1);
        QCOMPARE(rootNode->Child(0)->Text(), QString("BU:Business Unit"));
        QCOMPARE(node("BU", "L3", "119")->Text(), QString("119:"));
        QCOMPARE(tree.Node(clsGenericMaint::BuildKey(root, "BU", "L4", "", "", ""))->ChildCount(), 0);
        break;
    default:
        QCOMPARE(rootNode->ChildCount(), 1);
        QCOMPARE(rootNode->Child(0)->Text(), QString("BA:Business Area"));
        QCOMPARE(node("BA", "L3", "223")->ChildCount(), 0);
        break;
    }
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::filteredTrees_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("filter");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "level") << 3 << " 111120 ";
        Warehouse::newRow(b, "multiplier") << 1 << "211120";
        Warehouse::newRow(b, "categories") << 2 << "111120";
        Warehouse::newRow(b, "business unit") << 4 << "1011";
        Warehouse::newRow(b, "business area") << 5 << "2011";
        Warehouse::newRow(b, "level, nothing matches") << 3 << "000000";
        Warehouse::newRow(b, "level, apostrophe") << 3 << "11'1";
        Warehouse::newRow(b, "multiplier, apostrophe") << 1 << "'";
        Warehouse::newRow(b, "categories, apostrophe") << 2 << "1'";
        Warehouse::newRow(b, "business unit, apostrophe") << 4 << "'1011";
    }
}

void tst_frmRangeMaintenance::filteredTrees() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    QFETCH(QString, filter);
    frmRangeMaintenance f;
    f.setMaintenanceType(type);
    f.Form_Load();
    f.TxtFilterAccount->setText(filter);
    f.cmdapply_Click();
    const MaintTree& tree = *f.trvMaintenance;
    const TypeTables t = tables(type);
    const QString account = filter.trimmed();
    const QString keys = t.level.isEmpty() ? t.top + ", " + t.code : t.top + ", " + t.level + ", " + t.code;
    const int ranges = w.scalar("select count(*) from (select distinct " + keys + ", " + t.from + ", " +
                                t.to + " from " + t.table + " where " + t.where + " and " + SqlText(account) +
                                " between " + t.from + " and " + t.to + ") q")
                           .toInt();
    if (ranges == 0) {
        QCOMPARE(tree.Count(), 1);
        const TreeNode* notice = tree.Nodes().front();
        QCOMPARE(notice->Text(), QString("There is no item at this range"));
        QCOMPARE(notice->Key(), QString());
        QCOMPARE(notice->Tag(), QString());
        QCOMPARE(notice->Image(), QString("chartofaccount"));
        QVERIFY(notice->Expanded());
        QCOMPARE(f.strcurRoot, QString());
    } else {
        QVERIFY(!filter.contains('\''));
        QCOMPARE(countKind(tree, NodeKind::RangeAccount), ranges);
        QCOMPARE(countKind(tree, NodeKind::Root), 1);
        // Every range shown holds the account.
        for (const TreeNode* n : tree.Nodes())
            if (n->Kind() == NodeKind::RangeAccount)
                QVERIFY(n->Info().fromAccount <= account && account <= n->Info().toAccount);
    }
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::layoutOfEachType_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("labels"); // chart, code, from, selection, frame
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<int>("listTop");
    const auto row = [](int type, const QStringList& labels, const QStringList& columns,
                        const QList<int>& widths, int listTop) {
        QTest::newRow(qPrintable(QString::number(type))) << type << labels << columns << widths << listTop;
    };
    const auto accounts = [](const QString& code, const QString& frame) {
        return QStringList{"Chart Of Account:", code,
                           "Account Number From:", " Account No. Selection:", frame};
    };
    const auto business = [](const QString& what) {
        return QStringList{
            "Business Level:", "Code:", what + " From:", what + " Selection:", what + " Level"};
    };
    row(1, accounts("Multiplier:", "Account Multiplier"), {"Account No.", "Description", "Value"},
        {1500, 3500, 3400}, 3200);
    row(2, accounts("Category:", "Account Categories"),
        {"Account No.", "Description", "Category", "Description"}, {1500, 3000, 1000, 3500}, 3200);
    row(3, accounts("Code:", "Account Level"), {"Account No.", "Description", "Code", "Description"},
        {1500, 3000, 1500, 3000}, 3700);
    row(4, business("Business Unit"), {"Business Unit", "Code", "Description"}, {2500, 1500, 4600}, 3700);
    row(5, business("Business Area"), {"Business Area", "Code", "Description"}, {2500, 1500, 4600}, 3700);
}

void tst_frmRangeMaintenance::layoutOfEachType() {
    QFETCH(int, type);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, columns);
    QFETCH(QList<int>, widths);
    QFETCH(int, listTop);
    // Without a warehouse the editor sets itself up all the same, with an empty tree.
    frmRangeMaintenance f;
    f.setMaintenanceType(type);
    f.Form_Load();
    QCOMPARE(f.trvMaintenance->Count(), 0);
    const int i = type <= 2 ? 0 : 1;
    QCOMPARE(f.FieldsIndex(), i);
    QGroupBox* frame = i == 0 ? f.fraCodCat : f.fralevel;
    QCOMPARE(f.lblChartOfAccount[i]->text(), labels[0]);
    QCOMPARE(f.lblCodCat[i]->text(), labels[1]);
    QCOMPARE(f.lblRangAccountFr[i]->text(), labels[2]);
    QCOMPARE(f.lblselection->text(), labels[3]);
    QCOMPARE(frame->title(), labels[4]);
    QCOMPARE(frame->y(), f.Twips(460));
    QCOMPARE(f.lstAccountList->y(), f.Twips(listTop));
    QCOMPARE(f.lstAccountList->height(), f.Twips(listTop == 3200 ? 4800 : 4300));
    QCOMPARE(f.lstAccountList->columnCount(), columns.size());
    for (int c = 0; c < columns.size(); ++c) {
        QCOMPARE(f.lstAccountList->headerItem()->text(c), columns[c]);
        QCOMPARE(f.lstAccountList->columnWidth(c), f.Twips(widths[c]));
    }
    // 15 twips to the pixel on a 96 dpi screen.
    if (f.logicalDpiY() == 96)
        QCOMPARE(f.Twips(460), 31);
    // Everything hidden until a node is chosen.
    QVERIFY(f.fraCodCat->isHidden() && f.fralevel->isHidden());
    QVERIFY(f.lstAccountList->isHidden() && f.ChkBlockedAccounts->isHidden());
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.txtChartOfAccount[i], f.txtcodCat[i], f.txtRangAccountFr[i],
                                         f.txtRangAccountTo[i], f.CmdSaveAdd[i], f.txtLevel})
        QVERIFY(w->isHidden());
    QVERIFY(f.txtChartOfAccount[i]->isReadOnly() && f.txtcodCat[i]->isReadOnly() && f.txtLevel->isReadOnly());
    QCOMPARE(f.CmdSaveAdd[i]->toolTip(), QString("Save and ready to add next range"));
    QCOMPARE(f.LevelType(), QStringList({"", "", "", "AC", "BU", "BA"})[type]);
    // The level types take digits only in their code box.
    f.txtcodCat[i]->setReadOnly(false);
    f.txtcodCat[i]->show();
    QTest::keyClicks(f.txtcodCat[i], "1a2");
    QCOMPARE(f.txtcodCat[i]->text(), QString(type >= 3 ? "12" : "1a2"));
    QVERIFY(!f.NewRecord && !f.DelRecord);
}

void tst_frmRangeMaintenance::entryPanelOperations_data() {
    QTest::addColumn<int>("type");
    for (int type = 1; type <= 5; ++type)
        QTest::newRow(qPrintable(QString::number(type))) << type;
}

void tst_frmRangeMaintenance::entryPanelOperations() {
    QFETCH(int, type);
    frmRangeMaintenance f;
    f.setMaintenanceType(type);
    f.Form_Load();
    const int i = type <= 2 ? 0 : 1;
    const auto shown = [&](std::initializer_list<QWidget*> ws) {
        for (QWidget* w : ws)
            if (w->isHidden())
                return false;
        return true;
    };
    const auto hidden = [&](std::initializer_list<QWidget*> ws) {
        for (QWidget* w : ws)
            if (!w->isHidden())
                return false;
        return true;
    };
    const auto chart = {static_cast<QWidget*>(f.lblChartOfAccount[i]),
                        static_cast<QWidget*>(f.txtChartOfAccount[i]),
                        static_cast<QWidget*>(f.cmdAccount[i])};
    const auto level = {static_cast<QWidget*>(f.lblLevel), static_cast<QWidget*>(f.txtLevel),
                        static_cast<QWidget*>(f.cmdLevel)};
    const auto code = {static_cast<QWidget*>(f.lblCodCat[i]), static_cast<QWidget*>(f.lblCodCatDesc[i]),
                       static_cast<QWidget*>(f.txtcodCat[i]), static_cast<QWidget*>(f.cmdCodCat[i])};
    const auto range = {
        static_cast<QWidget*>(f.lblRangAccountFr[i]), static_cast<QWidget*>(f.lblTo[i]),
        static_cast<QWidget*>(f.txtRangAccountFr[i]), static_cast<QWidget*>(f.txtRangAccountTo[i]),
        static_cast<QWidget*>(f.cmdlookupFr[i]),      static_cast<QWidget*>(f.cmdlookupTo[i])};
    QPushButton* saveAdd = f.CmdSaveAdd[i];
    const bool otherFrameHidden = f.txtChartOfAccount[1 - i]->isHidden();

    f.SetFrameVisibility(i == 0, i == 1);
    QCOMPARE(f.fraCodCat->isHidden(), i != 0);
    QCOMPARE(f.fralevel->isHidden(), i != 1);
    QVERIFY(!f.lstAccountList->isHidden());
    QCOMPARE(f.ChkBlockedAccounts->isHidden(), type >= 4);
    f.SetFrameVisibility(false, false);
    QCOMPARE(f.ChkBlockedAccounts->isHidden(), type >= 4);

    f.ShowCodeFields(false);
    QVERIFY(shown(chart) && hidden(level) && shown(code) && hidden(range) && !saveAdd->isHidden());
    QCOMPARE(saveAdd->toolTip(), QString(type == 1   ? "Save and ready to add next multiplier"
                                         : type == 2 ? "Save and ready to add next category"
                                                     : "Save and ready to add next code"));
    QVERIFY(f.AddCodeShown() && !f.AddRangeShown());
    f.ShowChartOfAccountFields();
    QVERIFY(shown(chart) && hidden(level) && hidden(code) && hidden(range) && saveAdd->isHidden());
    QVERIFY(f.AddCodeShown());
    f.ShowLevelFields();
    QVERIFY(shown(chart) && shown(level) && hidden(code) && hidden(range) && saveAdd->isHidden());
    f.ShowRangeFields(true);
    QVERIFY(shown(chart) && shown(level) && shown(code) && shown(range) && !saveAdd->isHidden());
    QCOMPARE(saveAdd->toolTip(), QString("Save and ready to add next range"));
    QVERIFY(!f.AddCodeShown() && f.AddRangeShown());
    f.ShowCodeFields(true);
    QVERIFY(shown(level) && hidden(range));
    // The other frame's members are never touched.
    QCOMPARE(f.txtChartOfAccount[1 - i]->isHidden(), otherFrameHidden);
    QCOMPARE(f.txtRangAccountFr[1 - i]->isHidden(), otherFrameHidden);

    const auto enabled = [&] {
        return QList<bool>{f.txtChartOfAccount[i]->isEnabled(),
                           f.cmdAccount[i]->isEnabled(),
                           f.txtLevel->isEnabled(),
                           f.cmdLevel->isEnabled(),
                           f.txtcodCat[i]->isEnabled(),
                           f.cmdCodCat[i]->isEnabled(),
                           f.txtRangAccountFr[i]->isEnabled()};
    };
    const QList<bool> all{true, true, true, true, true, true, true};
    for (int node : {0, 4}) {
        f.SetNodeType(node);
        f.EnableParentFields(false);
        QCOMPARE(enabled(), all);
    }
    f.SetNodeType(1);
    f.EnableParentFields(false);
    QCOMPARE(enabled(), (QList<bool>{false, false, true, true, true, true, true}));
    f.EnableKeyFields(true);
    f.SetNodeType(2);
    f.EnableParentFields(false);
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false, true, true, true}));
    f.EnableKeyFields(true);
    f.SetNodeType(3);
    f.EnableParentFields(false);
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false, false, false, true}));
    f.EnableParentFields(true);
    QCOMPARE(enabled(), all);
    f.EnableKeyFields(false);
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false, false, false, true}));
    f.EnableKeyFields(true);
    QCOMPARE(enabled(), all);

    QVERIFY(!f.FieldsChanged());
    f.txtRangAccountTo[i]->setText("x");
    QVERIFY(f.FieldsChanged());
    f.txtRangAccountTo[i]->setText("");
    QVERIFY(f.FieldsChanged());
}

void tst_frmRangeMaintenance::expandAndCollapseCurrent() {
    OPEN_WAREHOUSE();
    frmRangeMaintenance f;
    f.setMaintenanceType(3);
    f.Form_Load();
    MaintTree& tree = *f.trvMaintenance;
    // Nothing selected: nothing happens.
    f.CmdCollapseAll_Click();
    f.CmdExpandAll_Click();
    TreeNode* root = tree.Nodes().front();
    TreeNode* corp = tree.Node(clsGenericMaint::BuildKey("Account Level", "CORP", "", "", "", ""));
    TreeNode* l4 = tree.Node(clsGenericMaint::BuildKey("Account Level", "CORP", "L4", "", "", ""));
    QVERIFY(corp->Expanded() && !l4->Expanded());
    tree.SetSelectedItem(corp);
    f.CmdExpandAll_Click();
    for (const TreeNode* n : tree.Nodes())
        if (corp->Contains(n) && n->ChildCount() > 0)
            QVERIFY(n->Expanded());
    tree.SetSelectedItem(l4);
    f.CmdCollapseAll_Click();
    QVERIFY(!l4->Expanded() && !l4->Child(0)->Expanded());
    QVERIFY(corp->Expanded());
    QVERIFY(tree.Node(clsGenericMaint::BuildKey("Account Level", "CORP", "L3", "", "", ""))->Expanded());
    tree.SetSelectedItem(root);
    f.CmdCollapseAll_Click();
    QVERIFY(root->Expanded());
    for (const TreeNode* n : tree.Nodes())
        if (n != root)
            QVERIFY(!n->Expanded());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::applyEndsLikeTheFirstLoad() {
    OPEN_WAREHOUSE();
    Main();
    gMainForm->Command("mnuLevelRangeMaint")->trigger();
    auto* f = qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().first()->widget());
    QVERIFY(f);
    const int full = f->trvMaintenance->Count();
    QVERIFY(full > 100);
    // A selection with its panel, list and commands, and an insert pending.
    f->trvMaintenance->SetSelectedItem(f->trvMaintenance->Nodes()[3]);
    f->SetFrameVisibility(false, true);
    f->ShowRangeFields(true);
    f->m_COA = "CORP";
    f->m_level = "L2";
    f->ChkBlockedAccounts_Click();
    QVERIFY(f->lstAccountList->topLevelItemCount() > 0);
    f->NewRecord = true;
    gMainForm->ActiveInsert(true);
    gMainForm->ActiveSave(true);
    gMainForm->ActiveDelete(true);
    f->TxtFilterAccount->setText("111120");
    f->cmdapply->click();
    QVERIFY(f->trvMaintenance->Count() < full);
    QCOMPARE(f->trvMaintenance->SelectedItem(), nullptr);
    QVERIFY(!f->NewRecord);
    QCOMPARE(f->lstAccountList->topLevelItemCount(), 0);
    QVERIFY(f->lstAccountList->isHidden() && f->fralevel->isHidden() && f->txtRangAccountFr[1]->isHidden());
    QVERIFY(!gMainForm->Command("mnuNew")->isEnabled());
    QVERIFY(!gMainForm->Command("mnuSave")->isEnabled());
    QVERIFY(!gMainForm->Command("mnuDelete")->isEnabled());
    f->TxtFilterAccount->setText("");
    f->cmdapply_Click();
    QCOMPARE(f->trvMaintenance->Count(), full);
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::blockedAccountsBoxRefillsTheList() {
    OPEN_WAREHOUSE();
    frmRangeMaintenance f;
    f.setMaintenanceType(1);
    f.Form_Load();
    f.m_COA = "CORP";
    f.m_Code = "MSIGN";
    f.ChkBlockedAccounts->click();
    QCOMPARE(f.lstAccountList->topLevelItemCount(), 176);
    QVERIFY(f.TreeEnabled());
    f.ChkBlockedAccounts->click();
    QCOMPARE(f.lstAccountList->topLevelItemCount(), 170);
    QCOMPARE(f.lstAccountList->topLevelItem(0)->text(2), QString("1"));
    // No text is cut short: each column is at least as wide as what it shows.
    const QFontMetrics metrics(f.lstAccountList->font());
    for (int c = 0; c < f.lstAccountList->columnCount(); ++c)
        for (int row = 0; row < f.lstAccountList->topLevelItemCount(); ++row)
            QVERIFY(metrics.horizontalAdvance(f.lstAccountList->topLevelItem(row)->text(c)) <
                    f.lstAccountList->columnWidth(c));
}

void tst_frmRangeMaintenance::trailingBlanksFallIntoOneNode() {
    QFETCH(QString, backend);
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(
        w.own().Execute("INSERT INTO CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT) "
                        "VALUES ('CORP', 'L4', '1119', '111910  ', '111919 ')"));
    QVERIFY(
        w.own().Execute("INSERT INTO CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT) "
                        "VALUES ('CORP', 'L4', '1119', '111910', '111919')"));
    QVERIFY(w.openShared());
    frmRangeMaintenance f;
    f.setMaintenanceType(3);
    f.TxtFilterAccount->setText("111915");
    f.Form_Load();
    const TreeNode* code =
        f.trvMaintenance->Node(clsGenericMaint::BuildLevelKey("Account Level", "CORP", "L4", "1119", "", ""));
    QVERIFY(code);
    // The seed's own 111900 - 111999, then one node for both spellings of 111910 - 111919.
    QCOMPARE(code->ChildCount(), 2);
    QCOMPARE(code->Child(1)->Text(), QString("111910 - 111919"));
    QCOMPARE(code->Child(1)->Key(),
             clsGenericMaint::BuildLevelKey("Account Level", "CORP", "L4", "1119", "111910", "111919"));
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::noCloseAndNoApplyDuringTheLoad() {
    OPEN_WAREHOUSE();
    frmRangeMaintenance f;
    f.setMaintenanceType(3);
    int yields = 0;
    int closed = 0;
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
        w.scalar(
             "select count(*) from (select distinct CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT from "
             "CS_COA_ACCT_RANGE where CO_FR_ACCT <> ' ') q")
            .toInt());
    QVERIFY(f.close());
    QVERIFY(!f.Engine());
}

void tst_frmRangeMaintenance::opensFromTheMenuOnTheDemoWarehouse() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    Main();
    const char* items[] = {"",
                           "mnuMultiplierRangeMaint",
                           "mnuCategoriesRangeMaint",
                           "mnuLevelRangeMaint",
                           "mnuBURangeMaint",
                           "mnuBARangeMaint"};
    gMainForm->Command(items[type])->trigger();
    auto* f = qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().first()->widget());
    QVERIFY(f);
    QVERIFY(f->trvMaintenance->Count() > 10);
    QVERIFY(f->Engine());
    QVERIFY(!f->Loading());
    QVERIFY(!gMainForm->Command("mnuNew")->isEnabled());
    QVERIFY(gMainForm->ProgressBar1->isHidden());
    gMainForm->ChildWindows().first()->close();
    QCoreApplication::processEvents();
    QCOMPARE(gMainForm->ChildWindows().size(), 0);
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmRangeMaintenance::theWindowAsAUserSeesIt() {
    OPEN_WAREHOUSE();
    QVERIFY(w.own().Execute("UPDATE CS_SOURCE SET SODESC = 'A description far wider than the narrowest tree "
                            "pane' WHERE SOAREA = 'AC' AND SOCODE = '1'"));
    Main();
    gMainForm->Command("mnuMultiplierRangeMaint")->trigger();
    gMainForm->Command("mnuLevelRangeMaint")->trigger();
    QMdiSubWindow* sub = gMainForm->ChildWindows().last();
    QCOMPARE(sub->windowIcon().pixmap(16).toImage(), QIcon(":/frame/images/about.svg").pixmap(16).toImage());
    // Whole texts: the widest shown node fits the tree's column, and the column its scroll range.
    MaintTree& tree = *qobject_cast<frmRangeMaintenance*>(sub->widget())->trvMaintenance;
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
    gMainForm->resize(400, 300);
    QTest::qWait(50);
    QVERIFY(gMainForm->MdiArea->verticalScrollBar()->isVisible());
    sub->showMinimized();
    QCOMPARE(gMainForm->MdiArea->subWindowList(QMdiArea::StackingOrder).last(), sub);
    sub->showNormal();
    QCOMPARE(gMainForm->MdiArea->subWindowList(QMdiArea::StackingOrder).last(), sub);
    // A filter that is not well-formed text is refused before it is sent.
    auto* f = qobject_cast<frmRangeMaintenance*>(sub->widget());
    for (const QChar c : {QChar(0xDC00), QChar(0)}) {
        f->TxtFilterAccount->setText("1111" + QString(c) + "' or '1'='1");
        f->cmdapply_Click();
        QCOMPARE(tree.Count(), 0);
        QCOMPARE(m_env->ui.messages.last().prompt, WellFormedText::RefusalText());
    }
}

QTEST_MAIN(tst_frmRangeMaintenance)
#include "tst_frmRangeMaintenance.moc"
