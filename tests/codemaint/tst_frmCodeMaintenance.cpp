#include "codemaint/CodeEngine.h"
#include "codemaint/frmCodeMaintenance.h"
#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

const QStringList kRoots{"",
                         "Account Multiplier",
                         "Account Categories",
                         "Account Level",
                         "Business Unit Level",
                         "Business Area Level"};

// Everything a node carries, so two nodes compare whole.
QString describe(const TreeNode* n) {
    const NodeInfo& i = n->Info();
    return QStringList{n->Key(),
                       n->Text(),
                       n->Tag(),
                       n->Image(),
                       i.root,
                       i.account,
                       i.multiCategory,
                       i.level,
                       i.code,
                       i.childLevel,
                       i.childCode,
                       i.description,
                       QString::number(int(i.kind))}
        .join('|');
}

// "field,field,...|text|tag|image|children": the node with that key, as it must be.
void checkNode(const MaintTree& tree, const QString& spec) {
    const QStringList parts = spec.split('|');
    const QStringList f = parts[0].split(',');
    const TreeNode* n = tree.Node(clsGenericMaint::BuildKey(f[0], f[1], f[2], f[3], f[4], f[5]));
    QVERIFY2(n, qPrintable(spec));
    QCOMPARE(QStringList({n->Text(), n->Tag(), n->Image(), QString::number(n->ChildCount())}), parts.mid(1));
}

void openEditor(frmCodeMaintenance& f, int type, const QString& filter = QString()) {
    f.setMaintenanceType(type);
    f.TxtFilterAccount->setText(filter);
    f.Form_Load();
}

} // namespace

#define OPEN_WAREHOUSE() QLX_OPEN_WAREHOUSE(w)

class tst_frmCodeMaintenance : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void treeOfEachType_data();
    void treeOfEachType();
    void filteredTrees_data();
    void filteredTrees();
    void loadAndSaveBuildTheSameNode_data();
    void loadAndSaveBuildTheSameNode();
    void applyCollapseAndTheLoadGuard_data() { Warehouse::addBackendRows(); }
    void applyCollapseAndTheLoadGuard();
    void entryPanelViews_data();
    void entryPanelViews();
    void opensFromTheMenu_data();
    void opensFromTheMenu();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_frmCodeMaintenance::treeOfEachType_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QStringList>("nodes");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "multiplier")
            << 1 << "INSERT INTO CS_MULTIPLIERHIER VALUES ('AC', 'CORP', 'MSIGN', 'L2', '99X')"
            << QStringList{
                   "Account Multiplier,,,,,|Account Multiplier|0|root|2",
                   "Account Multiplier,RETL,,,,|RETL|1|chartofaccount|0",
                   "Account Multiplier,CORP,,,,|CORP|1|chartofaccount|4",
                   "Account Multiplier,CORP,MFX,,,|MFX:Foreign currency translation rate|3|multiplier|2",
                   "Account Multiplier,CORP,MFX,L3,,|L3|2|level|0",
                   "Account Multiplier,CORP,MTHOU,,,|MTHOU:Scale to thousands for management "
                   "reporting|3|multiplier|0",
                   "Account Multiplier,CORP,MSIGN,L2,,|L2|2|level|4",
                   "Account Multiplier,CORP,MSIGN,L2,12,|12:Liabilities|4|childcode|0",
                   "Account Multiplier,CORP,MSIGN,L2,99X,|99X:|4|childcode|0"};
        Warehouse::newRow(b, "categories")
            << 2 << "INSERT INTO CS_CATEGORYHIER VALUES ('AC', 'CORP', 'TAX', 'L3', '242 ')"
            << QStringList{"Account Categories,CORP,STAT,,,|STAT:Statistical Measures|3|categories|0",
                           "Account Categories,RETL,TAX,L3,,|L3|2|level|0",
                           "Account Categories,CORP,TAX,L3,,|L3|2|level|1",
                           "Account Categories,CORP,OPEX,L3,231,|231:Personnel Expenses|4|childcode|0"};
        Warehouse::newRow(b, "level")
            << 3
            << "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L1', '1', 'L3', '11');"
               "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L2', '24', 'L3', '9ZZ');"
               "INSERT INTO CS_LEVELHIER VALUES ('AC', 'NEWC', ' ', ' ', ' ', ' ')"
            << QStringList{"Account Level,,,,,|Account Level|0|root|3",
                           "Account Level,NEWC,,,,|NEWC|1|chartofaccount|0",
                           "Account Level,CORP,L1,,,|L1|2|level|3",
                           "Account Level,CORP,L1,1,,|1:Balance Sheet|3|code|3",
                           "Account Level,CORP,L1,1,11,|L2 - 11:Assets|4|childcode|0",
                           "Account Level,CORP,L1,9,,|9:Statistical Accounts|3|code|0",
                           "Account Level,RETL,L3,,,|L3|2|level|0",
                           "Account Level,CORP,L2,24,9ZZ,|L3 - 9ZZ:|4|childcode|0"};
        Warehouse::newRow(b, "business unit")
            << 4 << ""
            << QStringList{"Business Unit Level,,,,,|Business Unit Level|0|root|1",
                           "Business Unit Level,BU,,,,|BU:Business Unit|1|chartofaccount|2",
                           "Business Unit Level,BU,L1,1,,|1:Domestic Operations|3|code|3",
                           "Business Unit Level,BU,L1,1,11,|L2 - 11:Store Network|4|childcode|0"};
    }
}

void tst_frmCodeMaintenance::treeOfEachType() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    QFETCH(QString, extra);
    QFETCH(QStringList, nodes);
    for (const QString& sql : extra.split(';', Qt::SkipEmptyParts))
        QVERIFY(w.own().Execute(sql));
    frmCodeMaintenance f;
    openEditor(f, type);
    QCOMPARE(f.strcurRoot, kRoots[type]);
    for (const QString& spec : nodes)
        checkNode(*f.trvMaintenance, spec);
    QCOMPARE(f.trvMaintenance->SelectedItem(), nullptr);
    QCOMPARE(Err().Number(), 0);
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::filteredTrees_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("count"); // nodes; 0: the notice alone; -1: the whole tree
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "level, match")
            << 3 << " 111 " << 9; // root, 2 charts, 2 levels, 2 codes, 2 children
        Warehouse::newRow(b, "multiplier, match") << 1 << "12" << 5;
        Warehouse::newRow(b, "level, no match") << 3 << "000" << 0;
        Warehouse::newRow(b, "level, blanks only") << 3 << "   " << -1;
        Warehouse::newRow(b, "categories, apostrophe") << 2 << "1'1" << 0;
        Warehouse::newRow(b, "business unit, apostrophe") << 4 << "'" << 0;
    }
}

void tst_frmCodeMaintenance::filteredTrees() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    QFETCH(QString, filter);
    QFETCH(int, count);
    frmCodeMaintenance whole;
    openEditor(whole, type);
    frmCodeMaintenance f;
    openEditor(f, type, filter);
    const MaintTree& tree = *f.trvMaintenance;
    if (count == 0) {
        QCOMPARE(tree.Count(), 1);
        const TreeNode* notice = tree.Nodes().front();
        QCOMPARE(QStringList({notice->Key(), notice->Text(), notice->Tag(), notice->Image()}),
                 QStringList({"", "There is no item at this range", "", "chartofaccount"}));
        QVERIFY(notice->Expanded());
        QCOMPARE(f.strcurRoot, QString());
    } else {
        QCOMPARE(tree.Count(), count < 0 ? whole.trvMaintenance->Count() : count);
        for (const TreeNode* n : tree.Nodes())
            if (n->Tag() == "4" && count > 0)
                QCOMPARE(n->Kind() == NodeKind::ChildLevelCode ? n->Info().childCode : n->Info().code,
                         filter.trimmed());
    }
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::loadAndSaveBuildTheSameNode_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("key"); // of the loaded node, without the root
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "multiplier code") << 1 << "CORP,MSIGN,L2,13,";
        Warehouse::newRow(b, "multiplier level") << 1 << "CORP,MFX,L3,,";
        Warehouse::newRow(b, "child with a parent level") << 3 << "CORP,L2,23,234,";
        Warehouse::newRow(b, "child without a parent level") << 3 << "CORP,P1,C1,,";
    }
}

void tst_frmCodeMaintenance::loadAndSaveBuildTheSameNode() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    QFETCH(QString, key);
    // A parent code straight under the chart of account, with a child whose code has trailing blanks.
    QVERIFY(w.own().Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', '', 'P1', 'L2', 'C1  ')"));
    frmCodeMaintenance f;
    openEditor(f, type);
    MaintTree& tree = *f.trvMaintenance;
    const QStringList k = key.split(',');
    TreeNode* loaded = tree.Node(clsGenericMaint::BuildKey(kRoots[type], k[0], k[1], k[2], k[3], k[4]));
    QVERIFY(loaded);
    const QString before = describe(loaded);
    const NodeInfo i = loaded->Info();
    QVERIFY(tree.Remove(loaded));
    TreeNode* saved =
        i.kind == NodeKind::MultiCategoryLevel
            ? f.AddNode_MultiCategoryLevel(tree, i.root, i.account, i.multiCategory, i.level, true)
        : i.kind == NodeKind::MultiCategoryCode
            ? f.AddNode_MultiCategoryCode(tree, i.root, i.account, i.multiCategory, i.level, i.code,
                                          i.description, true)
            : f.AddNode_ChildLevelCode(tree, i.root, i.account, i.level, i.code, i.childLevel, i.childCode,
                                       i.description, true);
    QVERIFY(saved);
    QCOMPARE(describe(saved), before);
    QCOMPARE(tree.SelectedItem(), saved);
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::applyCollapseAndTheLoadGuard() {
    OPEN_WAREHOUSE();
    Main();
    gMainForm->Command("mnuLevelCodeMaint")->trigger();
    auto* f = qobject_cast<frmCodeMaintenance*>(gMainForm->ChildWindows().first()->widget());
    QVERIFY(f);
    MaintTree& tree = *f->trvMaintenance;
    const int full = tree.Count();
    // Collapse Current: nothing selected, then the root.
    f->CmdCollapseAll_Click();
    TreeNode* corp = tree.Node(clsGenericMaint::BuildKey("Account Level", "CORP", "", "", "", ""));
    QVERIFY(corp->Expanded());
    tree.SetSelectedItem(corp);
    f->CmdExpandAll_Click();
    QVERIFY(corp->FirstChild()->Expanded());
    tree.SetSelectedItem(tree.Nodes().front());
    f->CmdCollapseAll->click();
    QVERIFY(tree.Nodes().front()->Expanded() && !corp->Expanded() && !corp->FirstChild()->Expanded());
    // Apply with a selection, a pending insert, the panel shown and every command on.
    f->SetFrameVisibility(false, true);
    f->ShowAllFields(true);
    f->NewRecord = true;
    gMainForm->ActiveInsert(true);
    gMainForm->ActiveSave(true);
    gMainForm->ActiveDelete(true);
    f->TxtFilterAccount->setText("111");
    f->cmdapply->click();
    QCOMPARE(tree.Count(), 9);
    QCOMPARE(tree.SelectedItem(), nullptr);
    QVERIFY(!f->NewRecord && f->fralevelCode[1]->isHidden() && f->txtChildCode->isHidden());
    for (const char* c : {"mnuNew", "mnuSave", "mnuDelete"})
        QVERIFY(!gMainForm->Command(c)->isEnabled());
    // Whatever the user does while the load yields, the window stays and the load runs to its end.
    f->TxtFilterAccount->setText("");
    int yields = 0;
    ProgressPacer::SetYield([&] {
        ++yields;
        QVERIFY(f->Loading());
        QVERIFY(!f->close());
        f->TxtFilterAccount->setText("000");
        f->cmdapply_Click();
    });
    f->cmdapply_Click();
    ProgressPacer::SetYield({});
    QVERIFY(yields > 0);
    QCOMPARE(tree.Count(), full);
    QVERIFY(!f->Loading());
    QVERIFY(f->close());
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::entryPanelViews_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>(
        "views"); // rows shown: chart, multi, level, code, child level, child code, save-add
    QTest::addColumn<QStringList>("parents"); // enabled after EnableParentFields(False) for node types 0-4
    QTest::newRow("frame 0") << 1 << QStringList{"1000000", "1100110", "1110000", "1111001",
                                                 "1101001", "1111111", "1101111"}
                             << QStringList{"111111111", "001111111", "000000011", "000001111", "111111111"};
    QTest::newRow("frame 1") << 3 << QStringList{"1000000", "1100110", "1110000", "1111000",
                                                 "1101000", "1111111", "1101111"}
                             << QStringList{"111111111", "001111111", "001110011", "001110000", "111111111"};
}

void tst_frmCodeMaintenance::entryPanelViews() {
    QFETCH(int, type);
    QFETCH(QStringList, views);
    QFETCH(QStringList, parents);
    frmCodeMaintenance f;
    openEditor(f, type);
    const int i = f.FieldsIndex();
    QCOMPARE(i, type <= 2 ? 0 : 1);
    const QList<QList<QWidget*>> rows{
        {f.lblCOAccount[i], f.txtCOAccount[i], f.cmdCOAccount[i]},
        {f.lblMulti, f.txtMulti, f.lblMultiDesc, f.cmdMulti},
        {f.lblParentLevel[i], f.txtParentLevel[i], f.cmdParentLevel[i]},
        {f.lblParentCode[i], f.txtParentCode[i], f.lblParentCodeDesc[i], f.cmdParentCode[i]},
        {f.lblChildLevel, f.txtChildLevel, f.cmdChildLevel},
        {f.lblChildCode, f.txtChildCode, f.lblChildCodeDesc, f.cmdChildCode},
        {f.CmdSaveAdd[i]}};
    const auto shown = [&] {
        QString s;
        for (const auto& row : rows) {
            int visible = 0;
            for (QWidget* w : row)
                visible += w->isHidden() ? 0 : 1;
            s += visible == row.size() ? '1' : visible == 0 ? '0' : '?';
        }
        return s;
    };
    QCOMPARE(shown(), QString("0000000"));
    const std::function<void()> calls[] = {
        [&] { f.ShowChartOfAccountFields(); }, [&] { f.ShowMultiplierFields(); },
        [&] { f.ShowLevelFields(); },          [&] { f.ShowCodeFields(true); },
        [&] { f.ShowCodeFields(false); },      [&] { f.ShowAllFields(true); },
        [&] { f.ShowAllFields(false); }};
    for (int v = 0; v < views.size(); ++v) {
        for (const auto& row : rows)
            for (QWidget* w : row)
                w->show();
        calls[v]();
        QCOMPARE(shown(), views[v]);
    }
    QVERIFY(f.txtCOAccount[i]->isReadOnly() && f.txtParentLevel[i]->isReadOnly() &&
            f.txtChildCode->isReadOnly());

    const QList<QWidget*> keyParts{f.txtCOAccount[i],   f.cmdCOAccount[i],  f.txtMulti,
                                   f.lblMultiDesc,      f.cmdMulti,         f.txtParentLevel[i],
                                   f.cmdParentLevel[i], f.txtParentCode[i], f.cmdParentCode[i]};
    for (gNodeType = 0; gNodeType <= 4; ++gNodeType) {
        f.EnableKeyFields(true);
        f.EnableParentFields(false);
        QString s;
        for (QWidget* w : keyParts)
            s += w->isEnabled() ? '1' : '0';
        QCOMPARE(s, parents[gNodeType]);
    }
    f.EnableKeyFields(false);
    QVERIFY(f.txtChildLevel->isEnabled() && f.cmdChildLevel->isEnabled() && !f.txtChildCode->isEnabled());

    QVERIFY(!f.FieldsChanged());
    f.txtChildCode->setText("111");
    f.lblChildCodeDesc->setText("Stores North");
    QVERIFY(f.FieldsChanged());
    f.txtChildLevel->setText("L3");
    QCOMPARE(f.txtChildCode->text() + f.lblChildCodeDesc->text(), QString());
}

void tst_frmCodeMaintenance::opensFromTheMenu_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    for (const QString& b : Warehouse::backends())
        for (int type = 1; type <= 5; ++type)
            Warehouse::newRow(b, QString::number(type)) << type;
}

void tst_frmCodeMaintenance::opensFromTheMenu() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    Main();
    const int index = type * 20;
    switch (type) {
    case 1:
        gMainForm->mnuMultiplierCodeMaint_Click(index);
        break;
    case 2:
        gMainForm->mnuCategoriesCodeMaint_Click(index);
        break;
    case 3:
        gMainForm->mnuLevelCodeMaint_Click(index);
        break;
    case 4:
        gMainForm->mnuBUCodeMaint_Click(index);
        break;
    default:
        gMainForm->mnuBACodeMaint_Click(index);
        break;
    }
    auto* f = qobject_cast<frmCodeMaintenance*>(gMainForm->ChildWindows().first()->widget());
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), kRoots[type] + " Code Maintenance");
    QCOMPARE(f->LevelType(), QStringList({"", "AC", "AC", "AC", "BU", "BA"})[type]);
    QCOMPARE(f->fralevelCode[f->FieldsIndex()]->title(), type <= 2 ? kRoots[type] : kRoots[type] + " Code");
    QCOMPARE((type <= 2 ? f->lblMulti : f->lblCOAccount[1])->text(),
             QStringList({"", "Multiplier:", "Categories:", "Chart Of Account:", "Business Level:",
                          "Business Level:"})[type]);
    QVERIFY(f->trvMaintenance->Count() > 10 && f->Engine());
    QVERIFY(gMainForm->ProgressBar1->isHidden());
    // The level hierarchies take digits only as parent code.
    f->txtParentCode[f->FieldsIndex()]->setReadOnly(false);
    f->txtParentCode[f->FieldsIndex()]->show();
    QTest::keyClicks(f->txtParentCode[f->FieldsIndex()], "1a2");
    QCOMPARE(f->txtParentCode[f->FieldsIndex()]->text(), QString(type >= 3 ? "12" : "1a2"));
    gMainForm->ChildWindows().first()->close();
    QCoreApplication::processEvents();
    QVERIFY(!gMainForm->Command("mnuNew")->isEnabled());
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());

    // Outside the five types: no engine and no tree, and nothing goes wrong.
    frmCodeMaintenance other;
    openEditor(other, 9);
    QVERIFY(!other.Engine() && other.trvMaintenance->Count() == 0 && other.windowTitle().isEmpty());
}

QTEST_MAIN(tst_frmCodeMaintenance)
#include "tst_frmCodeMaintenance.moc"
