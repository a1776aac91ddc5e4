#include "codemaint/CodeEngine.h"
#include "codemaint/frmCodeMaintenance.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/EntryBox.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "services/frmLookup.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QStringList kRoots{"",
                         "Account Multiplier",
                         "Account Categories",
                         "Account Level",
                         "Business Unit Level",
                         "Business Area Level"};

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

TreeNode* node(frmCodeMaintenance& f, const QString& fields) {
    const QStringList k = (fields + ",,,,").split(',');
    return f.trvMaintenance->Node(
        clsGenericMaint::BuildKey(kRoots[f.MaintenanceType()], k[0], k[1], k[2], k[3], QString()));
}

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

} // namespace

#define OPEN_WAREHOUSE()                                                                                     \
    QLX_OPEN_WAREHOUSE(w);                                                                                   \
    Main()

class tst_CodeEditorCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void selection_data();
    void selection();
    void cancelInsertRightClickAndDeleteKey_data() { Warehouse::addBackendRows(); }
    void cancelInsertRightClickAndDeleteKey();
    void childChecks_data();
    void childChecks();
    void levelArithmetic();
    void twoEditorsDeleteTheirOwn_data() { Warehouse::addBackendRows(); }
    void twoEditorsDeleteTheirOwn();
    void saveRefusedThenAccepted_data() { Warehouse::addBackendRows(); }
    void saveRefusedThenAccepted();
    void lookups_data();
    void lookups();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_CodeEditorCommands::selection_data() {
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

void tst_CodeEditorCommands::selection() {
    OPEN_WAREHOUSE();
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
    const QList<QList<QWidget*>> rows{
        {f->lblCOAccount[i], f->txtCOAccount[i], f->cmdCOAccount[i]},
        {f->lblMulti, f->txtMulti, f->lblMultiDesc, f->cmdMulti},
        {f->lblParentLevel[i], f->txtParentLevel[i], f->cmdParentLevel[i]},
        {f->lblParentCode[i], f->txtParentCode[i], f->lblParentCodeDesc[i], f->cmdParentCode[i]},
        {f->lblChildLevel, f->txtChildLevel, f->cmdChildLevel},
        {f->lblChildCode, f->txtChildCode, f->lblChildCodeDesc, f->cmdChildCode},
        {f->CmdSaveAdd[i]}};
    QString shown =
        QString("%1%2%3 ").arg(f->NodeType()).arg(int(enabled("mnuNew"))).arg(int(enabled("mnuDelete")));
    for (const auto& r : rows)
        shown += r.first()->isHidden() ? '0' : '1';
    QCOMPARE(shown, state);
    QCOMPARE(gNodeType, f->NodeType());
    QVERIFY(!enabled("mnuSave"));
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
    QVERIFY(m_env->ui.messages.isEmpty());
}

void tst_CodeEditorCommands::twoEditorsDeleteTheirOwn() {
    OPEN_WAREHOUSE();
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

void tst_CodeEditorCommands::cancelInsertRightClickAndDeleteKey() {
    OPEN_WAREHOUSE();
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

void tst_CodeEditorCommands::childChecks_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("focus");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "blank level")
            << " "
            << "111" << QStringList{"Child Level cannot be blank "} << "level";
        Warehouse::newRow(b, "unknown level")
            << "L9"
            << "111" << QStringList{"It's not a valid Child Level"} << "level";
        Warehouse::newRow(b, "level not below")
            << "L2"
            << "111" << QStringList{"Child Level must be greater than Parent Level"} << "level";
        Warehouse::newRow(b, "unknown and not below")
            << "L0"
            << "111"
            << QStringList{"It's not a valid Child Level", "Child Level must be greater than Parent Level"}
            << "level";
        Warehouse::newRow(b, "blank code") << "L3"
                                           << "" << QStringList{"Child Code cannot be blank "} << "code";
        Warehouse::newRow(b, "unknown code") << "L3"
                                             << "999" << QStringList{"It's not a valid Level Code"} << "code";
        Warehouse::newRow(b, "apostrophes")
            << "L3'"
            << "1'1"
            << QStringList{"It's not a valid Child Level", "Child Level must be greater than Parent Level"}
            << "level";
        Warehouse::newRow(b, "valid") << "L3"
                                      << "121" << QStringList{} << "";
    }
}

void tst_CodeEditorCommands::childChecks() {
    OPEN_WAREHOUSE();
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

void tst_CodeEditorCommands::levelArithmetic() {
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

void tst_CodeEditorCommands::saveRefusedThenAccepted() {
    OPEN_WAREHOUSE();
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

void tst_CodeEditorCommands::lookups_data() {
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

void tst_CodeEditorCommands::lookups() {
    OPEN_WAREHOUSE();
    QFETCH(int, type);
    QFETCH(QString, button);
    QFETCH(QString, level);
    QFETCH(QString, settings);
    QFETCH(QString, copied);
    frmCodeMaintenance* f = openEditor(type);
    const int i = f->FieldsIndex();
    struct Target {
        QLineEdit* box;
        QLabel* description;
        QLineEdit* level;
    };
    const QHash<QString, Target> targets{
        {"COAccount", {f->txtCOAccount[i], nullptr, nullptr}},
        {"Multi", {f->txtMulti, f->lblMultiDesc, nullptr}},
        {"ParentLevel", {f->txtParentLevel[i], nullptr, nullptr}},
        {"ChildLevel", {f->txtChildLevel, nullptr, nullptr}},
        {"ParentCode", {f->txtParentCode[i], f->lblParentCodeDesc[i], f->txtParentLevel[i]}},
        {"ChildCode", {f->txtChildCode, f->lblChildCodeDesc, f->txtChildLevel}}};
    const Target t = targets[button];
    f->SetFrameVisibility(i == 0, i == 1);
    f->ShowAllFields(true);
    if (t.level)
        t.level->setText(level);
    t.box->setText("x");
    if (t.description)
        t.description->setText("x");
    f->txtChildCode->setText("x");
    if (QTest::currentDataTag() == QString(w.backend() + ": list fails"))
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
    const QHash<QString, std::function<void()>> clicks{{"COAccount", [&] { f->cmdCOAccount_Click(i); }},
                                                       {"Multi", [&] { f->cmdMulti_Click(); }},
                                                       {"ParentLevel", [&] { f->cmdParentLevel_Click(i); }},
                                                       {"ChildLevel", [&] { f->cmdChildLevel_Click(); }},
                                                       {"ParentCode", [&] { f->cmdParentCode_Click(i); }},
                                                       {"ChildCode", [&] { f->cmdChildCode_Click(); }}};
    clicks[button]();
    QCOMPARE(seen, settings);
    QCOMPARE(t.box->text() + "|" + (t.description ? t.description->text() : QString()),
             t.description ? copied : copied.section('|', 0, 0) + "|");
    if (button == "ChildLevel")
        QVERIFY(f->txtChildCode->text().isEmpty() && f->focusWidget() == f->txtChildCode);
    QCOMPARE(gLookupOK, !settings.isEmpty());
}

QTEST_MAIN(tst_CodeEditorCommands)
#include "tst_CodeEditorCommands.moc"
