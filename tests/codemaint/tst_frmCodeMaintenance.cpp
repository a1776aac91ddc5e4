#include "codemaint/CodeEngine.h"
#include "codemaint/frmCodeMaintenance.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "services/frmLookup.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QStringList kRoots =
    QString("|Account Multiplier|Account Categories|Account Level|Business Unit Level|Business Area Level")
        .split('|');

// Answers Save and Delete as the test says and records what the editor had published when it was called.
class StandInEngine : public CodeEngine {
public:
    explicit StandInEngine(frmCodeMaintenance& f) : m_f(f) {}
    QString TreeStatement() const override { return {}; }
    bool Save() override {
        calls << QString("save %1 %2").arg(gNodeType).arg(m_f.m_Code);
        const bool ok = answers.value(calls.size() - 1, true);
        if (ok) { // as the level engine does: the child added and selected
            m_f.AddNode_ChildLevelCode(*m_f.trvMaintenance, m_f.strcurRoot, m_f.m_COA, m_f.m_level,
                                       m_f.m_Code, m_f.txtChildLevel->text(), m_f.txtChildCode->text(),
                                       QString(), true);
            gNodeType = 4;
        }
        return ok;
    }
    bool Delete() override {
        calls << QString("delete %1 %2 %3 %4").arg(gNodeType).arg(m_f.m_COA, m_f.m_Code, m_f.m_ChildCode);
        return answers.value(calls.size() - 1, true);
    }
    QList<bool> answers;
    QStringList calls;

private:
    frmCodeMaintenance& m_f;
};

// The node keyed by the root of the editor's type and up to five more fields, separated by ",".
TreeNode* node(frmCodeMaintenance& f, const QString& fields) {
    const QStringList k = (fields + ",,,,,").split(',');
    return f.trvMaintenance->Node(
        clsGenericMaint::BuildKey(kRoots[f.MaintenanceType()], k[0], k[1], k[2], k[3], k[4]));
}

// Everything a node carries, so two nodes compare whole.
QString describe(const TreeNode* n) {
    const NodeInfo& i = n->Info();
    return QStringList{n->Key(),
                       n->Text(),
                       n->Tag(),
                       n->Image(),
                       i.root,
                       i.account,
                       i.level,
                       i.code,
                       i.multiCategory,
                       i.childLevel,
                       i.childCode,
                       i.description,
                       QString::number(int(i.kind))}
        .join('|');
}

void loadEditor(frmCodeMaintenance& f, int type, const QString& filter = QString()) {
    f.setMaintenanceType(type);
    f.TxtFilterAccount->setText(filter);
    f.Form_Load();
}

// Opened through the main window, with a stand-in engine when asked for.
frmCodeMaintenance* openEditor(int type, StandInEngine** engine = nullptr) {
    gMainForm->OpenMaintenanceEditor(type * 20);
    auto* f = dynamic_cast<frmCodeMaintenance*>(gMainForm->ActiveEditor());
    if (f && engine) {
        auto stand = std::make_unique<StandInEngine>(*f);
        *engine = stand.get();
        f->UseEngine(std::move(stand));
    }
    return f;
}

bool enabled(const char* command) {
    return gMainForm->Command(command)->isEnabled();
}

QStringList prompts(const ScriptedResponder::Log& ui) {
    QStringList p;
    for (const MessageRequest& m : ui.messages)
        p << m.prompt;
    return p;
}

// The panel's rows (chart, multiplier, level, code, child level, child code, save-and-add): 1 shown, 0
// hidden, ? partly.
QList<QList<QWidget*>> panelRows(frmCodeMaintenance& f) {
    const int i = f.FieldsIndex();
    return {{f.lblCOAccount[i], f.txtCOAccount[i], f.cmdCOAccount[i]},
            {f.lblMulti, f.txtMulti, f.lblMultiDesc, f.cmdMulti},
            {f.lblParentLevel[i], f.txtParentLevel[i], f.cmdParentLevel[i]},
            {f.lblParentCode[i], f.txtParentCode[i], f.lblParentCodeDesc[i], f.cmdParentCode[i]},
            {f.lblChildLevel, f.txtChildLevel, f.cmdChildLevel},
            {f.lblChildCode, f.txtChildCode, f.lblChildCodeDesc, f.cmdChildCode},
            {f.CmdSaveAdd[i]}};
}

QString shownRows(frmCodeMaintenance& f) {
    QString s;
    for (const auto& row : panelRows(f)) {
        int visible = 0;
        for (QWidget* w : row)
            visible += w->isHidden() ? 0 : 1;
        s += visible == row.size() ? '1' : visible == 0 ? '0' : '?';
    }
    return s;
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
    void selection_data();
    void selection();
    void twoEditorsDeleteTheirOwn_data() { Warehouse::addBackendRows(); }
    void twoEditorsDeleteTheirOwn();
    void cancelInsertRightClickAndDeleteKey_data() { Warehouse::addBackendRows(); }
    void cancelInsertRightClickAndDeleteKey();
    void entryChecks_data();
    void entryChecks();
    void childChecks_data();
    void childChecks();
    void levelArithmetic();
    void saveRefusedThenAccepted_data() { Warehouse::addBackendRows(); }
    void saveRefusedThenAccepted();
    void lookups_data();
    void lookups();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_frmCodeMaintenance::treeOfEachType_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QStringList>("nodes"); // key fields below the root | text | tag | image | children
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&](const char* name, int type, const char* extra, const QStringList& nodes) {
            Warehouse::newRow(b, name) << type << extra << nodes;
        };
        row("multiplier", 1, "INSERT INTO CS_MULTIPLIERHIER VALUES ('AC', 'CORP', 'MSIGN', 'L2', '99X')",
            {"|Account Multiplier|0|root|2", "RETL|RETL|1|chartofaccount|0", "CORP|CORP|1|chartofaccount|4",
             "CORP,MFX|MFX:Foreign currency translation rate|3|multiplier|2", "CORP,MFX,L3|L3|2|level|0",
             "CORP,MTHOU|MTHOU:Scale to thousands for management reporting|3|multiplier|0",
             "CORP,MSIGN,L2|L2|2|level|4", "CORP,MSIGN,L2,12|12:Liabilities|4|childcode|0",
             "CORP,MSIGN,L2,99X|99X:|4|childcode|0"});
        row("categories", 2, "INSERT INTO CS_CATEGORYHIER VALUES ('AC', 'CORP', 'TAX', 'L3', '242 ')",
            {"CORP,STAT|STAT:Statistical Measures|3|categories|0", "RETL,TAX,L3|L3|2|level|0",
             "CORP,TAX,L3|L3|2|level|1", "CORP,OPEX,L3,231|231:Personnel Expenses|4|childcode|0"});
        row("level", 3,
            "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L1', '1', 'L3', '11');"
            "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L2', '24', 'L3', '9ZZ');"
            "INSERT INTO CS_LEVELHIER VALUES ('AC', 'NEWC', ' ', ' ', ' ', ' ')",
            {"|Account Level|0|root|3", "NEWC|NEWC|1|chartofaccount|0", "CORP,L1|L1|2|level|3",
             "CORP,L1,1|1:Balance Sheet|3|code|3", "CORP,L1,1,11|L2 - 11:Assets|4|childcode|0",
             "CORP,L1,9|9:Statistical Accounts|3|code|0", "RETL,L3|L3|2|level|0",
             "CORP,L2,24,9ZZ|L3 - 9ZZ:|4|childcode|0"});
        row("business unit", 4, "",
            {"|Business Unit Level|0|root|1", "BU|BU:Business Unit|1|chartofaccount|2",
             "BU,L1,1|1:Domestic Operations|3|code|3", "BU,L1,1,11|L2 - 11:Store Network|4|childcode|0"});
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
    loadEditor(f, type);
    QCOMPARE(f.strcurRoot, kRoots[type]);
    for (const QString& spec : nodes) {
        const TreeNode* n = node(f, spec.section('|', 0, 0));
        QVERIFY2(n, qPrintable(spec));
        QCOMPARE(QStringList({n->Text(), n->Tag(), n->Image(), QString::number(n->ChildCount())}).join('|'),
                 spec.section('|', 1));
    }
    QCOMPARE(f.trvMaintenance->SelectedItem(), nullptr);
    QCOMPARE(Err().Number(), 0);
    QVERIFY(m_env->ui.messages.isEmpty() && m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::filteredTrees_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("count"); // nodes; 0: the notice alone; -1: the whole tree
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "level, match") << 3 << " 111 " << 9; // root, 2 charts, levels, codes, children
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
    loadEditor(whole, type);
    frmCodeMaintenance f;
    loadEditor(f, type, filter);
    const MaintTree& tree = *f.trvMaintenance;
    QCOMPARE(tree.Count(), count < 0 ? whole.trvMaintenance->Count() : std::max(count, 1));
    for (const TreeNode* n : tree.Nodes())
        if (n->Tag() == "4" && count > 0)
            QCOMPARE(n->Kind() == NodeKind::ChildLevelCode ? n->Info().childCode : n->Info().code,
                     filter.trimmed());
    if (count == 0) {
        const TreeNode* notice = tree.Nodes().front();
        QCOMPARE(describe(notice), "|There is no item at this range||chartofaccount|||||||||" +
                                       QString::number(int(NodeKind::Notice)));
        QVERIFY(notice->Expanded() && f.strcurRoot.isEmpty());
    }
    QVERIFY(m_env->ui.messages.isEmpty() && m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::loadAndSaveBuildTheSameNode_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("key"); // of the loaded node, below the root
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "multiplier code") << 1 << "CORP,MSIGN,L2,13";
        Warehouse::newRow(b, "multiplier level") << 1 << "CORP,MFX,L3";
        Warehouse::newRow(b, "child with a parent level") << 3 << "CORP,L2,23,234";
        Warehouse::newRow(b, "child without a parent level") << 3 << "CORP,P1,C1";
    }
}

void tst_frmCodeMaintenance::loadAndSaveBuildTheSameNode() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    QFETCH(QString, key);
    // A parent code straight under the chart of account, with a child whose code has trailing blanks.
    QVERIFY(w.own().Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', '', 'P1', 'L2', 'C1  ')"));
    frmCodeMaintenance f;
    loadEditor(f, type);
    MaintTree& tree = *f.trvMaintenance;
    TreeNode* loaded = node(f, key);
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
    QVERIFY(saved && tree.SelectedItem() == saved);
    QCOMPARE(describe(saved), before);
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::applyCollapseAndTheLoadGuard() {
    OPEN_WAREHOUSE();
    Main();
    frmCodeMaintenance* f = openEditor(3);
    MaintTree& tree = *f->trvMaintenance;
    const int full = tree.Count();
    f->CmdCollapseAll_Click(); // nothing selected: nothing happens
    TreeNode* corp = node(*f, "CORP");
    QVERIFY(corp->Expanded());
    tree.SetSelectedItem(corp);
    f->CmdExpandAll_Click();
    QVERIFY(corp->FirstChild()->Expanded());
    tree.SetSelectedItem(tree.Nodes().front());
    f->CmdCollapseAll->click();
    QVERIFY(tree.Nodes().front()->Expanded() && !corp->Expanded() && !corp->FirstChild()->Expanded());
    // Apply with a selection, a pending insert, the panel shown and every command on.
    QVERIFY(f->trvMaintenance_NodeClick(corp));
    f->Insert();
    gMainForm->ActiveDelete(true);
    f->TxtFilterAccount->setText("111");
    f->cmdapply->click();
    QVERIFY(tree.Count() == 9 && !tree.SelectedItem() && !f->NewRecord);
    QVERIFY(f->fralevelCode[1]->isHidden() && shownRows(*f) == "0000000");
    QVERIFY(!enabled("mnuNew") && !enabled("mnuSave") && !enabled("mnuDelete"));
    // Whatever the user does while the load yields, the window stays and the load runs to its end.
    f->TxtFilterAccount->setText("");
    int yields = 0;
    ProgressPacer::SetYield([&] {
        ++yields;
        QVERIFY(f->Loading() && !f->close());
        f->TxtFilterAccount->setText("000");
        f->cmdapply_Click();
    });
    f->cmdapply_Click();
    ProgressPacer::SetYield({});
    QVERIFY(yields > 0 && tree.Count() == full && !f->Loading());
    QVERIFY(f->close());
    QVERIFY(m_env->ui.messages.isEmpty() && m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::entryPanelViews_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("views");   // panel rows after each view
    QTest::addColumn<QStringList>("parents"); // enabled after EnableParentFields(False) for node types 0-4
    QTest::newRow("frame 0") << 1
                             << QString("1000000 1100110 1110000 1111001 1101001 1111111 1101111").split(' ')
                             << QString("111111111 001111111 000000011 000001111 111111111").split(' ');
    QTest::newRow("frame 1") << 3
                             << QString("1000000 1100110 1110000 1111000 1101000 1111111 1101111").split(' ')
                             << QString("111111111 001111111 001110011 001110000 111111111").split(' ');
}

void tst_frmCodeMaintenance::entryPanelViews() {
    QFETCH(int, type);
    QFETCH(QStringList, views);
    QFETCH(QStringList, parents);
    frmCodeMaintenance f;
    loadEditor(f, type);
    const int i = f.FieldsIndex();
    QCOMPARE(i, type <= 2 ? 0 : 1);
    QCOMPARE(shownRows(f), QString("0000000"));
    const std::function<void()> calls[] = {
        [&] { f.ShowChartOfAccountFields(); }, [&] { f.ShowMultiplierFields(); },
        [&] { f.ShowLevelFields(); },          [&] { f.ShowCodeFields(true); },
        [&] { f.ShowCodeFields(false); },      [&] { f.ShowAllFields(true); },
        [&] { f.ShowAllFields(false); }};
    for (int v = 0; v < views.size(); ++v) {
        for (const auto& row : panelRows(f))
            for (QWidget* w : row)
                w->show();
        calls[v]();
        QCOMPARE(shownRows(f), views[v]);
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
    void (frmMain::*handlers[])(int) = {nullptr,
                                        &frmMain::mnuMultiplierCodeMaint_Click,
                                        &frmMain::mnuCategoriesCodeMaint_Click,
                                        &frmMain::mnuLevelCodeMaint_Click,
                                        &frmMain::mnuBUCodeMaint_Click,
                                        &frmMain::mnuBACodeMaint_Click};
    (gMainForm->*handlers[type])(type * 20);
    auto* f = dynamic_cast<frmCodeMaintenance*>(gMainForm->ActiveEditor());
    QVERIFY(f && f->trvMaintenance->Count() > 10 && f->Engine() && gMainForm->ProgressBar1->isHidden());
    const int i = f->FieldsIndex();
    QCOMPARE(QStringList({f->windowTitle(), f->LevelType(), f->fralevelCode[i]->title(),
                          (type <= 2 ? f->lblMulti : f->lblCOAccount[1])->text()}),
             QString("|Account Multiplier Code Maintenance,AC,Account Multiplier,Multiplier:"
                     "|Account Categories Code Maintenance,AC,Account Categories,Categories:"
                     "|Account Level Code Maintenance,AC,Account Level Code,Chart Of Account:"
                     "|Business Unit Level Code Maintenance,BU,Business Unit Level Code,Business Level:"
                     "|Business Area Level Code Maintenance,BA,Business Area Level Code,Business Level:")
                 .split('|')[type]
                 .split(','));
    // The level hierarchies take digits only as parent code.
    f->txtParentCode[i]->setReadOnly(false);
    f->txtParentCode[i]->show();
    QTest::keyClicks(f->txtParentCode[i], "1a2");
    QCOMPARE(f->txtParentCode[i]->text(), QString(type >= 3 ? "12" : "1a2"));
    gMainForm->ChildWindows().first()->close();
    QVERIFY(!enabled("mnuNew") && m_env->ui.messages.isEmpty() && m_env->logText().isEmpty());
    // Outside the five types: no engine and no tree, and nothing goes wrong.
    frmCodeMaintenance other;
    loadEditor(other, 9);
    QVERIFY(!other.Engine() && other.trvMaintenance->Count() == 0 && other.windowTitle().isEmpty());
}

void tst_frmCodeMaintenance::selection_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("state"); // node type, New, Delete, rows shown as in the panel's order
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<QString>("keys"); // m_COA, m_MultiCategory, m_level, m_Code, m_ChildCode, m_ChildLevel
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&](const char* name, int type, const char* node, const char* state,
                             const char* boxes, const char* keys) {
            Warehouse::newRow(b, name) << type << node << state << boxes << keys;
        };
        row("1 root", 1, "", "010 0000000", "||||||||", "|||||");
        row("1 chart", 1, "CORP", "110 1000000", "CORP||||||||", "CORP|||||");
        row("1 multiplier", 1, "CORP,MTHOU", "311 1100000",
            "CORP|MTHOU|Scale to thousands for management reporting||||||", "CORP|MTHOU||||");
        row("1 level", 1, "CORP,MFX,L3", "211 1110000", "CORP|MFX|Foreign currency translation rate|L3|||||",
            "CORP|MFX|L3|||");
        row("1 code", 1, "CORP,MSIGN,L2,12", "401 1111111",
            "CORP|MSIGN|Sign reversal for credit balance accounts|L2|12|Liabilities|||",
            "CORP|MSIGN|L2|12||");
        row("3 level", 3, "RETL,L3", "211 1010000", "RETL|||L3|||||", "RETL||L3|||");
        row("3 parent code", 3, "CORP,L2,11", "310 1011000", "CORP|||L2|11|Assets|||", "CORP||L2|11||");
        row("3 child", 3, "CORP,L2,11,111", "401 1011111", "CORP|||L2|11|Assets|L3|111|Current Assets",
            "CORP||L2|11|111|L3");
        row("4 business level", 4, "BU", "110 1000000", "BU||||||||", "BU|||||");
        row("4 child holding : and -", 4, "BU,L1,2,X: - Y", "401 1011111",
            "BU|||L1|2|International Operations|L2|X: - Y|", "BU||L1|2|X: - Y|L2");
    }
}

void tst_frmCodeMaintenance::selection() {
    OPEN_WAREHOUSE();
    Main();
    QFETCH(int, type);
    QFETCH(QString, node);
    QFETCH(QString, state);
    QFETCH(QString, boxes);
    QFETCH(QString, keys);
    QVERIFY(w.own().Execute("INSERT INTO CS_LEVELHIER VALUES ('BU', 'BU', 'L1', '2', 'L2', 'X: - Y')"));
    frmCodeMaintenance* f = openEditor(type);
    const int i = f->FieldsIndex();
    QVERIFY(
        f->trvMaintenance_NodeClick(node.isEmpty() ? f->trvMaintenance->Nodes().front() : ::node(*f, node)));
    QCOMPARE(QString("%1%2%3 ").arg(f->NodeType()).arg(enabled("mnuNew")).arg(enabled("mnuDelete")) +
                 shownRows(*f),
             state);
    QVERIFY(gNodeType == f->NodeType() && !enabled("mnuSave") && m_env->ui.messages.isEmpty());
    QCOMPARE(QStringList({f->txtCOAccount[i]->text(), f->txtMulti->text(), f->lblMultiDesc->text(),
                          f->txtParentLevel[i]->text(), f->txtParentCode[i]->text(),
                          f->lblParentCodeDesc[i]->text(), f->txtChildLevel->text(), f->txtChildCode->text(),
                          f->lblChildCodeDesc->text()})
                 .join('|'),
             boxes);
    QCOMPARE(
        QStringList({f->m_COA, f->m_MultiCategory, f->m_level, f->m_Code, f->m_ChildCode, f->m_ChildLevel})
            .join('|'),
        keys);
}

void tst_frmCodeMaintenance::twoEditorsDeleteTheirOwn() {
    OPEN_WAREHOUSE();
    Main();
    StandInEngine* level = nullptr;
    StandInEngine* business = nullptr;
    frmCodeMaintenance* a = openEditor(3, &level);
    QVERIFY(a->trvMaintenance_NodeClick(node(*a, "CORP,L2,11,111")));
    frmCodeMaintenance* b = openEditor(4, &business);
    QVERIFY(b->trvMaintenance_NodeClick(node(*b, "BU,L1,2")));
    m_env->ui.answers = {vbYes, vbYes};
    a->Delete();
    b->Delete();
    QCOMPARE(level->calls, QStringList{"delete 4 CORP 11 111"});
    QCOMPARE(business->calls, QStringList{"delete 3 BU 2 "});
    QCOMPARE(prompts(m_env->ui), QStringList(2, "Do you want to delete selected item?"));
}

void tst_frmCodeMaintenance::cancelInsertRightClickAndDeleteKey() {
    OPEN_WAREHOUSE();
    Main();
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(3, &engine);
    MaintTree& tree = *f->trvMaintenance;
    // Nothing put in a box yet: leaving the pending insert cancels it without a word.
    QVERIFY(f->trvMaintenance_NodeClick(tree.Nodes().front()));
    f->Insert();
    QVERIFY(f->NewRecord && enabled("mnuSave") && !f->FieldsChanged());
    TreeNode* parent = node(*f, "CORP,L2,11");
    QVERIFY(f->trvMaintenance_NodeClick(parent));
    QVERIFY(!f->NewRecord && !enabled("mnuSave") && m_env->ui.messages.isEmpty());
    // With the boxes filled, leaving asks; No goes back to the node of the insert.
    f->Insert();
    TreeNode* leaf = node(*f, "CORP,L1,9");
    m_env->ui.answers = {vbNo};
    QVERIFY(!f->trvMaintenance_NodeClick(leaf));
    QVERIFY(tree.SelectedItem() == parent && f->NewRecord && f->NodeType() == 3 && enabled("mnuSave"));
    m_env->ui.answers = {vbYes};
    QVERIFY(f->trvMaintenance_NodeClick(leaf));
    QVERIFY(tree.SelectedItem() == leaf && !f->NewRecord && !enabled("mnuSave"));
    QCOMPARE(prompts(m_env->ui), QStringList(2, "Do you want to cancel insert?"));
    QCOMPARE(m_env->ui.messages[0].title + QString::number(m_env->ui.messages[0].style),
             QString("Cancel Insert36"));

    // Right clicks select through the same selection and open the pop-up for that node.
    QMenu* popup = gMainForm->mnuRightSubMenu;
    const auto rightClick = [&](TreeNode* n) {
        tree.EnsureVisible(n);
        f->trvMaintenance_MouseUp(Qt::RightButton, {},
                                  tree.visualRect(tree.Model()->indexFromNode(n)).center());
        const bool shown = popup->isVisible();
        popup->hide();
        return shown;
    };
    TreeNode* child = node(*f, "CORP,L2,11,111");
    for (TreeNode* n : {parent, leaf, child}) {
        QVERIFY(rightClick(n));
        QCOMPARE(tree.SelectedItem(), n);
        QCOMPARE(enabled("mnuDelete"), n->ChildCount() == 0);
        QCOMPARE(enabled("mnuNew"), n != child);
        QVERIFY(!gMainForm->Command("mnuSubSync")->isVisible());
    }
    f->Insert();
    m_env->ui.answers = {vbNo};
    QVERIFY(!rightClick(parent));
    QCOMPARE(tree.SelectedItem(), child);
    tree.SetExpanded(tree.Nodes().front(), false);
    f->trvMaintenance_MouseUp(Qt::RightButton, {}, QPoint(5, tree.viewport()->height() - 2));
    QVERIFY(!popup->isVisible() && f->NewRecord);

    // The Delete key deletes only while Delete is on; Delete first drops the pending insert.
    gMainForm->ActiveDelete(false);
    f->trvMaintenance_KeyDown(Qt::Key_Delete, {});
    QCOMPARE(m_env->ui.messages.size(), 3);
    gMainForm->ActiveDelete(true);
    f->trvMaintenance_KeyDown(Qt::Key_Delete, {});
    QCOMPARE(prompts(m_env->ui).last(), QString("Do you want to delete selected item?"));
    QVERIFY(!f->NewRecord && !f->DelRecord && engine->calls.isEmpty());
}

void tst_frmCodeMaintenance::entryChecks_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("node");  // selected before New; "" the root
    QTest::addColumn<QString>("value"); // put in the box of the new entry
    QTest::addColumn<QString>("message");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "chart") << 1 << ""
                                      << " "
                                      << "Account cannot be blank";
        Warehouse::newRow(b, "multiplier") << 1 << "CORP"
                                           << "MX'"
                                           << "It's not a valid Multiplier";
        Warehouse::newRow(b, "category") << 2 << "CORP"
                                         << "C'"
                                         << "It's not a valid Category";
        Warehouse::newRow(b, "level of a multiplier") << 1 << "CORP,MFX"
                                                      << ""
                                                      << "Level cannot be blank";
        Warehouse::newRow(b, "parent level") << 3 << "CORP"
                                             << "L9"
                                             << "It's not a valid Level";
        Warehouse::newRow(b, "parent code") << 4 << "BU,L1"
                                            << "99"
                                            << "It's not a valid Level Code";
    }
}

void tst_frmCodeMaintenance::entryChecks() {
    OPEN_WAREHOUSE();
    Main();
    QFETCH(int, type);
    QFETCH(QString, node);
    QFETCH(QString, value);
    QFETCH(QString, message);
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(type, &engine);
    QVERIFY(
        f->trvMaintenance_NodeClick(node.isEmpty() ? f->trvMaintenance->Nodes().front() : ::node(*f, node)));
    f->Insert();
    QWidget* box = f->focusWidget();
    static_cast<QLineEdit*>(box)->setText(value);
    f->Save();
    QCOMPARE(prompts(m_env->ui), QStringList{message});
    QVERIFY(f->focusWidget() == box && f->NewRecord && engine->calls.isEmpty());
}

void tst_frmCodeMaintenance::childChecks_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("focus");
    const QString notAbove = "Child Level must be greater than Parent Level";
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&](const char* name, const char* level, const char* code, const QString& messages,
                             const char* focus) {
            Warehouse::newRow(b, name) << level << code << messages.split('|', Qt::SkipEmptyParts) << focus;
        };
        row("blank level", " ", "111", "Child Level cannot be blank ", "level");
        row("unknown level", "L9", "111", "It's not a valid Child Level", "level");
        row("level not below", "L2", "111", notAbove, "level");
        row("unknown and not below", "L0", "111", "It's not a valid Child Level|" + notAbove, "level");
        row("blank code", "L3", "", "Child Code cannot be blank ", "code");
        row("unknown code", "L3", "999", "It's not a valid Level Code", "code");
        row("apostrophes", "L3'", "1'1", "It's not a valid Child Level|" + notAbove, "level");
        row("valid", "L3", "121", "", "");
    }
}

void tst_frmCodeMaintenance::childChecks() {
    OPEN_WAREHOUSE();
    Main();
    QFETCH(QString, level);
    QFETCH(QString, code);
    QFETCH(QStringList, messages);
    QFETCH(QString, focus);
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(3, &engine);
    QVERIFY(f->trvMaintenance_NodeClick(node(*f, "CORP,L2,11")));
    f->Insert();
    QCOMPARE(f->txtChildLevel->text(), QString("L3")); // proposed
    f->txtChildLevel->setText(level);
    f->txtChildCode->setText(code);
    f->Save();
    QCOMPARE(prompts(m_env->ui), messages);
    for (const MessageRequest& m : m_env->ui.messages)
        QCOMPARE(m.title + QString::number(m.style), QString("Error48"));
    QCOMPARE(f->focusWidget(), focus == "level"  ? f->txtChildLevel
                               : focus == "code" ? f->txtChildCode
                                                 : f->focusWidget());
    QCOMPARE(engine->calls.size(), messages.isEmpty() ? 1 : 0);
    QCOMPARE(f->NewRecord, !messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::levelArithmetic() {
    TestEnvironment env;
    frmCodeMaintenance f;
    const QStringList levels{"L3", "L9", "3", "l3", "L", "LX", "L0", "L32767", "L99999", "L-1"};
    const QList<int> numbers{3, 9, 3, 0, 0, 0, 0, 32767, 0, 0};
    QStringList next;
    for (int n = 0; n < levels.size(); ++n) {
        QCOMPARE(int(frmCodeMaintenance::GetLevelNumber(levels[n])), numbers[n]);
        next << f.GetNextLevelCode(levels[n]);
    }
    QCOMPARE(next, QStringList({"L4", "L10", "L4", "", "", "", "", "", "", ""}));
    QCOMPARE(prompts(env.ui), QStringList({"'l3' is not a valid Level", "'L' is not a valid Level",
                                           "'LX' is not a valid Level", "'L0' is not a valid Level",
                                           "'L32767' is not a valid Level", "'L99999' is not a valid Level",
                                           "'L-1' is not a valid Level"}));
    QCOMPARE(env.ui.messages[0].style, int(vbExclamation));
    QCOMPARE(env.ui.messages[0].title, App::Title());
}

void tst_frmCodeMaintenance::saveRefusedThenAccepted() {
    OPEN_WAREHOUSE();
    Main();
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(3, &engine);
    MaintTree& tree = *f->trvMaintenance;
    TreeNode* parent = node(*f, "CORP,L2,11");
    QVERIFY(f->trvMaintenance_NodeClick(parent));
    f->Save(); // nothing pending: no engine, no word
    QVERIFY(engine->calls.isEmpty() && m_env->ui.messages.isEmpty());
    engine->answers = {false, true, true, false};
    f->Insert();
    f->txtChildCode->setText("121");
    f->Save();
    QCOMPARE(prompts(m_env->ui), QStringList{"Item could not be added. Accept Cancelled"});
    QCOMPARE(m_env->ui.messages[0].style, int(vbCritical));
    QVERIFY(f->NewRecord && enabled("mnuSave") && f->txtChildCode->text() == "121");
    f->Save();
    QCOMPARE(engine->calls, QStringList(2, "save 3 11"));
    QVERIFY(!f->NewRecord && !enabled("mnuSave") && f->NodeType() == 4);
    QCOMPARE(tree.SelectedItem(), node(*f, "CORP,L2,11,121"));
    // Save and add goes on below the same parent code, after a save and with nothing pending alike.
    for (const char* code : {"", "122"}) {
        f->txtChildCode->setText(code);
        f->CmdSaveAdd[1]->click();
        QVERIFY(tree.SelectedItem() == parent && f->NodeType() == 3 && f->NewRecord);
        QCOMPARE(f->txtChildLevel->text() + "|" + f->txtChildCode->text(), QString("L3|"));
    }
    QVERIFY(node(*f, "CORP,L2,11,122"));
    // A refused Save-and-add keeps the entry.
    f->txtChildCode->setText("131");
    f->CmdSaveAdd_Click(1);
    QVERIFY(f->NewRecord && f->txtChildCode->text() == "131" && engine->calls.size() == 4);
    // Delete answered No: the insert is dropped, nothing deleted.
    f->Delete();
    QVERIFY(!f->NewRecord && !f->DelRecord && engine->calls.size() == 4);
    // Without the next level in the area's dictionary no level is proposed.
    QVERIFY(w.own().Execute("Delete From CS_SOURCE where SOLEVEL = 'L3' and SOAREA = 'AC'"));
    f->Insert();
    QCOMPARE(f->txtChildLevel->text(), QString());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::lookups_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("level"); // put in the level box first
    QTest::addColumn<QString>(
        "settings");                     // table, filter, caption, mode, dependency tables; "" when not shown
    QTest::addColumn<QString>("copied"); // the target box and description afterwards
    const QString ac = "CS_COA_ACCT_RANGE,CS_MULTIPLIERHIER,CS_CATEGORYHIER,CS_LEVELHIER,CS_LEVELHIER";
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&](const char* name, int type, const char* button, const char* level,
                             const QString& settings, const char* copied) {
            Warehouse::newRow(b, name) << type << button << level << settings << copied;
        };
        row("chart", 3, "COAccount", "", "CHART_OF_ACCOUNT||Table Lookup of Chart Of Account|||", "CORP|");
        row("business level", 4, "COAccount", "", "CS_SOURCE||Table Lookup of Business Level|||", "BU|");
        row("multiplier", 1, "Multi", "",
            "CS_MULTIPLIER| CS_MULTIPLIER.MULPT LIKE 'M%'|Table Lookup of Multiplier|code||",
            "MFX|Foreign currency translation rate");
        row("category", 2, "Multi", "",
            "CS_CAT_DESC||Table Lookup of Categories|code||CS_CAT_TYPE,CS_CATEGORYHIER", "COS|Cost of Sales");
        row("parent level", 1, "ParentLevel", "",
            "CS_SOURCE|SOAREA = 'AC'|Table Lookup of Level|level||" + ac, "L1|");
        row("child level", 5, "ChildLevel", "",
            "CS_SOURCE|SOAREA = 'BA'|Table Lookup of Level|level||CS_BA_BU_LEVELS,CS_LEVELHIER,CS_LEVELHIER",
            "L1|");
        row("parent code, apostrophe", 3, "ParentCode", "L2' ",
            "CS_SOURCE| SOAREA = 'AC' and SOLEVEL = 'L2'''|Table Lookup of Code|code|L2' |" + ac, "x|x");
        row("child code", 4, "ChildCode", "L3 ",
            "CS_SOURCE| SOAREA = 'BU' and SOLEVEL = 'L3'|Table Lookup of "
            "Code|code|L3|CS_BA_BU_LEVELS,CS_LEVELHIER,"
            "CS_LEVELHIER",
            "111|Stores North");
        row("cancelled", 4, "ChildCode", "",
            "CS_SOURCE| SOAREA = 'BU'|Table Lookup of Code|code||CS_BA_BU_LEVELS,"
            "CS_LEVELHIER,CS_LEVELHIER",
            "x|x");
        row("list fails", 3, "COAccount", "", "", "x|x");
    }
}

void tst_frmCodeMaintenance::lookups() {
    OPEN_WAREHOUSE();
    Main();
    QFETCH(int, type);
    QFETCH(QString, button);
    QFETCH(QString, level);
    QFETCH(QString, settings);
    QFETCH(QString, copied);
    frmCodeMaintenance* f = openEditor(type);
    const int i = f->FieldsIndex();
    struct Button {
        QLineEdit* box;
        QLabel* description;
        QLineEdit* level;
        std::function<void()> click;
    };
    const QHash<QString, Button> buttons{
        {"COAccount", {f->txtCOAccount[i], nullptr, nullptr, [&] { f->cmdCOAccount_Click(i); }}},
        {"Multi", {f->txtMulti, f->lblMultiDesc, nullptr, [&] { f->cmdMulti_Click(); }}},
        {"ParentLevel", {f->txtParentLevel[i], nullptr, nullptr, [&] { f->cmdParentLevel_Click(i); }}},
        {"ChildLevel", {f->txtChildLevel, nullptr, nullptr, [&] { f->cmdChildLevel_Click(); }}},
        {"ParentCode",
         {f->txtParentCode[i], f->lblParentCodeDesc[i], f->txtParentLevel[i],
          [&] { f->cmdParentCode_Click(i); }}},
        {"ChildCode",
         {f->txtChildCode, f->lblChildCodeDesc, f->txtChildLevel, [&] { f->cmdChildCode_Click(); }}}};
    const Button t = buttons[button];
    f->SetFrameVisibility(i == 0, i == 1);
    f->ShowAllFields(true);
    if (t.level)
        t.level->setText(level);
    for (QLineEdit* box : {t.box, static_cast<QLineEdit*>(f->txtChildCode)})
        box->setText("x");
    if (t.description)
        t.description->setText("x");
    if (settings.isEmpty())
        gDBConnection->adoConnection().FailStatementContaining("CHART_OF_ACCOUNT",
                                                               {-7, "the test's failure", "test"});
    QString seen;
    m_env->ui.dialogScripts << [&](QDialog& d) {
        auto& l = static_cast<frmLookup&>(d);
        seen = QStringList{l.m_strTableName, l.m_strFilter,
                           l.m_strCaption,   l.m_LookupCode ? "code" : l.m_Lookuplevel ? "level" : "",
                           l.m_strLevel,     l.m_DependencyTable.join(',')}
                   .join('|');
        if (copied == "x|x" || l.ctlListView()->topLevelItemCount() == 0) {
            l.cmdClose_Click();
            return int(QDialog::Rejected);
        }
        l.ctlListView()->setCurrentItem(l.ctlListView()->topLevelItem(0));
        l.cmdOK_Click();
        return int(QDialog::Accepted);
    };
    t.click();
    QCOMPARE(seen, settings);
    QCOMPARE(t.box->text() + "|" + (t.description ? t.description->text() : QString()),
             t.description ? copied : copied.section('|', 0, 0) + "|");
    if (button == "ChildLevel")
        QVERIFY(f->txtChildCode->text().isEmpty() && f->focusWidget() == f->txtChildCode);
    QCOMPARE(gLookupOK, !settings.isEmpty());
}

QTEST_MAIN(tst_frmCodeMaintenance)
#include "tst_frmCodeMaintenance.moc"
