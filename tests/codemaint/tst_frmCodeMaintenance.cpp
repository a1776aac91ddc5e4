#include "codemaint/CodeEngine.h"
#include "codemaint/frmCodeMaintenance.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeNode.h"
#include "services/frmLookup.h"
#include "support/CodeEditors.h"
#include "support/SampleTree.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

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

// Everything a node carries, so two nodes compare whole.
QString describe(const TreeNode* n) {
    const NodeInfo& i = n->Info();
    QStringList f{n->Key(), n->Text(), n->Tag(), n->Image(), i.root, i.account, i.level, i.code};
    f << i.multiCategory << i.childLevel << i.childCode << i.description << QString::number(int(i.kind));
    return f.join('|');
}

void loadEditor(frmCodeMaintenance& f, int type, const QString& filter = QString()) {
    f.setMaintenanceType(type);
    f.TxtFilterAccount->setText(filter);
    f.Form_Load();
}

// Opened through the main window, with a stand-in engine when asked for.
frmCodeMaintenance* openEditor(int type, StandInEngine** engine = nullptr) {
    frmCodeMaintenance* f = OpenCodeEditor(type);
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

} // namespace

class tst_frmCodeMaintenance : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void trees_data();
    void trees();
    void loadAndSaveBuildTheSameNode_data();
    void loadAndSaveBuildTheSameNode();
    void applyAndTheLoadGuard_data() { Warehouse::addBackendRows(); }
    void applyAndTheLoadGuard();
    void selection_data();
    void selection();
    void cancelInsertRightClickAndDeleteKey_data() { Warehouse::addBackendRows(); }
    void cancelInsertRightClickAndDeleteKey();
    void entryChecks_data();
    void entryChecks();
    void levelArithmetic();
    void saveRefusedThenAccepted_data() { Warehouse::addBackendRows(); }
    void saveRefusedThenAccepted();
    void lookups_data();
    void lookups();
    void lossToldOncePerActionAroundALookup_data() { Warehouse::addBackendRows(); }
    void lossToldOncePerActionAroundALookup();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

// The tree of each type, whole (a filter of blanks filters nothing) or filtered: the nodes given by their key
// fields below the root, text, tag and child count; with a filter, every leaf holds the code filtered for.
void tst_frmCodeMaintenance::trees_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QStringList>("nodes"); // "_" a blank
    QTest::addColumn<int>("count");         // nodes; 0: the notice alone; -1: not counted
    const auto row = [](const char* name, int type, const char* filter, const char* extra, const char* nodes,
                        int count) {
        Warehouse::addRows(name, type, QString(filter), QString(extra),
                           QString(nodes).split(' ', Qt::SkipEmptyParts), count);
    };
    row("multiplier", 1, "", "INSERT INTO CS_MULTIPLIERHIER VALUES ('AC', 'CORP', 'MSIGN', 'L2', '99X')",
        "|Account_Multiplier|0|2 CORP,MFX,L3|L3|2|0 CORP,MSIGN,L2|L2|2|4 CORP,MSIGN,L2,99X|99X:|4|0", -1);
    row("categories", 2, "", "INSERT INTO CS_CATEGORYHIER VALUES ('AC', 'CORP', 'TAX', 'L3', '242 ')",
        "CORP,STAT|STAT:Statistical_Measures|3|0 CORP,TAX,L3|L3|2|1", -1);
    row("level, blanks only", 3, "   ",
        "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L2', '24', 'L3', '9ZZ');"
        "INSERT INTO CS_LEVELHIER VALUES ('AC', 'NEWC', ' ', ' ', ' ', ' ')",
        "NEWC|NEWC|1|0 CORP,L1,1|1:Balance_Sheet|3|3 CORP,L1,1,11|L2_-_11:Assets|4|0 "
        "CORP,L2,24,9ZZ|L3_-_9ZZ:|4|0",
        -1);
    row("business unit", 4, "", "", "BU|BU:Business_Unit|1|2 BU,L1,1,11|L2_-_11:Store_Network|4|0", -1);
    // Codes another program padded show (and are keyed) without their trailing blanks.
    row("level, padded codes", 3, "",
        "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L2', '  x''1  ', 'L3', '  y1  ')",
        "CORP,L2,__x'1|__x'1:|3|1 CORP,L2,__x'1,__y1|L3_-___y1:|4|0", -1);
    row("level, match", 3, " 111 ", "", "", 9);
    row("multiplier, match", 1, "12", "", "", 5);
    row("categories, apostrophe", 2, "1'1", "", "", 0);
    row("business unit, apostrophe", 4, "'", "", "", 0);
}

void tst_frmCodeMaintenance::trees() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, filter);
    QFETCH(QString, extra);
    QFETCH(QStringList, nodes);
    QFETCH(int, count);
    for (const QString& sql : extra.split(';', Qt::SkipEmptyParts))
        QVERIFY(w.own().Execute(sql));
    frmCodeMaintenance f;
    loadEditor(f, type, filter);
    const MaintTree& tree = *f.trvMaintenance;
    for (const QString& entry : nodes) {
        const TreeNode* n = CodeNode(f, entry.section('|', 0, 0).replace('_', ' '));
        QVERIFY2(n, qPrintable(entry));
        QCOMPARE(QStringList({n->Text(), n->Tag(), QString::number(n->ChildCount())}).join('|'),
                 entry.section('|', 1).replace('_', ' '));
    }
    if (count >= 0)
        QCOMPARE(tree.Count(), std::max(count, 1));
    for (const TreeNode* n : tree.Nodes())
        if (n->Tag() == "4" && count >= 0)
            QCOMPARE(n->Kind() == NodeKind::ChildLevelCode ? n->Info().childCode : n->Info().code,
                     filter.trimmed());
    QCOMPARE(tree.Nodes().front()->Kind() == NodeKind::Notice, count == 0);
    QCOMPARE(NodesKeepingNeedlessStoredKeys(tree), QStringList());
    QVERIFY(Err().Number() == 0 && m_env->ui.messages.isEmpty() && m_env->logText().isEmpty());
}

void tst_frmCodeMaintenance::loadAndSaveBuildTheSameNode_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("key"); // of the loaded node, below the root
    Warehouse::addRows("multiplier code", 1, QString("CORP,MSIGN,L2,13"));
    Warehouse::addRows("multiplier level", 1, QString("CORP,MFX,L3"));
    Warehouse::addRows("child with a parent level", 3, QString("CORP,L2,23,234"));
    Warehouse::addRows("child without a parent level", 3, QString("CORP,P1,C1"));
}

void tst_frmCodeMaintenance::loadAndSaveBuildTheSameNode() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, key);
    // A parent code straight under the chart of account, with a child whose code has trailing blanks.
    QVERIFY(w.own().Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', '', 'P1', 'L2', 'C1  ')"));
    frmCodeMaintenance f;
    loadEditor(f, type);
    MaintTree& tree = *f.trvMaintenance;
    TreeNode* loaded = CodeNode(f, key);
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
}

void tst_frmCodeMaintenance::applyAndTheLoadGuard() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    frmCodeMaintenance* f = openEditor(3);
    MaintTree& tree = *f->trvMaintenance;
    const int full = tree.Count();
    f->CmdCollapseAll_Click(); // nothing selected: nothing happens
    // Apply drops the selection and the pending insert, and turns the commands off.
    QVERIFY(f->trvMaintenance_NodeClick(CodeNode(*f, "CORP")));
    f->Insert();
    gMainForm->ActiveDelete(true);
    f->TxtFilterAccount->setText("111");
    f->cmdapply->click();
    QVERIFY(tree.Count() == 9 && !tree.SelectedItem() && !f->NewRecord);
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
    // Apply ends a pending insert as its cancel does: node type 0, and a later New below another node has
    // its box and its "..." button on.
    f->TxtFilterAccount->setText("");
    frmCodeMaintenance* multipliers = openEditor(1);
    for (frmCodeMaintenance* e : {f, multipliers}) {
        const bool levels = e == f;
        QVERIFY(e->trvMaintenance_NodeClick(CodeNode(*e, levels ? "CORP,L2,11" : "CORP,MFX")));
        e->Insert();
        e->cmdapply->click();
        QVERIFY(e->NodeType() == 0 && !e->NewRecord);
        QVERIFY(e->trvMaintenance_NodeClick(CodeNode(*e, levels ? "CORP,L2" : "CORP")));
        e->Insert();
        QVERIFY(levels ? e->txtParentCode[1]->isEnabled() && e->cmdParentCode[1]->isEnabled()
                       : e->txtMulti->isEnabled() && e->cmdMulti->isEnabled());
    }
    QVERIFY(f->close());
    QVERIFY(m_env->ui.messages.isEmpty() && m_env->logText().isEmpty());
}

// A node selected, with an editor of another type open at once: the node type and commands, the key fields
// taken from the node (never from its text), and what Delete hands the engine.
void tst_frmCodeMaintenance::selection_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("state"); // node type, New, Delete
    QTest::addColumn<QString>("keys");  // m_COA, m_MultiCategory, m_level, m_Code, m_ChildCode, m_ChildLevel
    QTest::addColumn<QString>("deleted");
    const auto row = [](const char* name, int type, const char* node, const char* state, const char* keys,
                        const char* deleted) {
        Warehouse::addRows(name, type, QString(node), QString(state), QString(keys), QString(deleted));
    };
    row("1 level", 1, "CORP,MFX,L3", "211", "CORP|MFX|L3|||", "delete 2 CORP  ");
    row("1 code", 1, "CORP,MSIGN,L2,12", "401", "CORP|MSIGN|L2|12||", "delete 4 CORP 12 ");
    row("3 parent code", 3, "CORP,L2,11", "310", "CORP||L2|11||", "delete 3 CORP 11 ");
    row("3 child", 3, "CORP,L2,11,111", "401", "CORP||L2|11|111|L3", "delete 4 CORP 11 111");
    row("4 child holding : and -", 4, "BU,L1,2,X: - Y", "401", "BU||L1|2|X: - Y|L2", "delete 4 BU 2 X: - Y");
}

void tst_frmCodeMaintenance::selection() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    QFETCH(int, type);
    QFETCH(QString, node);
    QFETCH(QString, state);
    QFETCH(QString, keys);
    QFETCH(QString, deleted);
    QVERIFY(w.own().Execute("INSERT INTO CS_LEVELHIER VALUES ('BU', 'BU', 'L1', '2', 'L2', 'X: - Y')"));
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(type, &engine);
    QVERIFY(f->trvMaintenance_NodeClick(CodeNode(*f, node)));
    QCOMPARE(QString("%1%2%3").arg(f->NodeType()).arg(enabled("mnuNew")).arg(enabled("mnuDelete")), state);
    QVERIFY(gNodeType == f->NodeType() && !enabled("mnuSave") && m_env->ui.messages.isEmpty());
    QCOMPARE(
        QStringList({f->m_COA, f->m_MultiCategory, f->m_level, f->m_Code, f->m_ChildCode, f->m_ChildLevel})
            .join('|'),
        keys);
    frmCodeMaintenance* other = openEditor(type == 3 ? 4 : 3);
    QVERIFY(other->trvMaintenance_NodeClick(other->trvMaintenance->Nodes().front()));
    m_env->ui.answers = {vbYes};
    f->Delete();
    QCOMPARE(engine->calls.join('\n'), deleted);
}

void tst_frmCodeMaintenance::cancelInsertRightClickAndDeleteKey() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(3, &engine);
    MaintTree& tree = *f->trvMaintenance;
    // Nothing put in a box yet: leaving the pending insert cancels it without a word.
    QVERIFY(f->trvMaintenance_NodeClick(tree.Nodes().front()));
    f->Insert();
    TreeNode* parent = CodeNode(*f, "CORP,L2,11");
    QVERIFY(f->trvMaintenance_NodeClick(parent));
    QVERIFY(!f->NewRecord && !enabled("mnuSave") && m_env->ui.messages.isEmpty());
    // With the boxes filled, leaving asks; No goes back to the node of the insert.
    f->Insert();
    TreeNode* leaf = CodeNode(*f, "CORP,L1,9");
    m_env->ui.answers = {vbNo};
    QVERIFY(!f->trvMaintenance_NodeClick(leaf));
    QVERIFY(tree.SelectedItem() == parent && f->NewRecord && f->NodeType() == 3 && enabled("mnuSave"));
    m_env->ui.answers = {vbYes};
    QVERIFY(f->trvMaintenance_NodeClick(leaf));
    QVERIFY(tree.SelectedItem() == leaf && !f->NewRecord && !enabled("mnuSave"));
    QCOMPARE(m_env->prompts(), QStringList(2, "Do you want to cancel insert?"));

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
    TreeNode* child = CodeNode(*f, "CORP,L2,11,111");
    for (TreeNode* n : {parent, leaf, child}) {
        QVERIFY(rightClick(n));
        QCOMPARE(tree.SelectedItem(), n);
        QCOMPARE(enabled("mnuDelete"), n->ChildCount() == 0);
    }
    f->Insert();
    m_env->ui.answers = {vbNo};
    QVERIFY(!rightClick(parent));
    QCOMPARE(tree.SelectedItem(), child);

    // The Delete key deletes only while Delete is on; Delete first drops the pending insert.
    gMainForm->ActiveDelete(false);
    f->trvMaintenance_KeyDown(Qt::Key_Delete, {});
    QCOMPARE(m_env->ui.messages.size(), 3);
    gMainForm->ActiveDelete(true);
    f->trvMaintenance_KeyDown(Qt::Key_Delete, {});
    QCOMPARE(m_env->prompts().last(), QString("Do you want to delete selected item?"));
    QVERIFY(!f->NewRecord && !f->DelRecord && engine->calls.isEmpty());
}

// A new entry refused by its checks: every message in order, the focus on the box to mend, the insert
// pending and the engine not asked. The child rows ("level|code") go below parent code 11 of level L2.
void tst_frmCodeMaintenance::entryChecks_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("node");  // selected before New
    QTest::addColumn<QString>("value"); // put in the focused box; for a child "level|code"
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("focus"); // for a child: "level" or "code"
    // A look-up that fails (at New when led by "new:"), "@" and the location its log line names.
    QTest::addColumn<QString>("fails");
    const QString notValid = "It's not a valid Child Level";
    const QString notAbove = "Child Level must be greater than Parent Level";
    const auto row = [](const char* name, int type, const char* node, const char* value,
                        const QString& messages, const char* focus = "", const char* fails = "") {
        Warehouse::addRows(name, type, QString(node), QString(value), messages.split('|', Qt::SkipEmptyParts),
                           QString(focus), QString(fails));
    };
    row("chart", 1, "", " ", "Account cannot be blank");
    row("multiplier", 1, "CORP", "MX'", "It's not a valid Multiplier");
    row("category", 2, "CORP", "C'", "It's not a valid Category");
    row("level of a multiplier", 1, "CORP,MFX", "", "Level cannot be blank");
    row("parent level", 3, "CORP", "L9", "It's not a valid Level");
    row("parent code", 4, "BU,L1", "99", "It's not a valid Level Code");
    row("child: blank level", 3, "CORP,L2,11", " |111", "Child Level cannot be blank ", "level");
    row("child: unknown level", 3, "CORP,L2,11", "L10|111", notValid, "level");
    row("child: level not below", 3, "CORP,L2,11", "L2|111", notAbove, "level");
    row("child: unknown and not below", 3, "CORP,L2,11", "L0|111", notValid + "|" + notAbove, "level");
    row("child: blank code", 3, "CORP,L2,11", "L3|", "Child Code cannot be blank ", "code");
    row("child: unknown code", 3, "CORP,L2,11", "L3|999", "It's not a valid Level Code", "code");
    row("child: apostrophes", 3, "CORP,L2,11", "L3'|1'1", notValid + "|" + notAbove, "level");
    row("child: valid", 3, "CORP,L2,11", "L3|121", "");
    const char* failed = "look-up fails";
    row("child: level proposal fails", 3, "CORP,L2,11", "L3|121", failed, "", "new:SOLEVEL@insert");
    row("child: level look-up fails", 3, "CORP,L2,11", "L3|121", failed, "", "SOLEVEL@ValidateChildLevel");
    row("child: code look-up fails", 3, "CORP,L2,11", "L3|121", failed, "", "SOCODE@ValidateChildCode");
}

void tst_frmCodeMaintenance::entryChecks() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    QFETCH(int, type);
    QFETCH(QString, node);
    QFETCH(QString, value);
    QFETCH(QStringList, messages);
    QFETCH(QString, focus);
    QFETCH(QString, fails);
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(type, &engine);
    QVERIFY(f->trvMaintenance_NodeClick(CodeNode(*f, node)));
    const bool atNew = fails.startsWith("new:");
    const auto failLookUp = [&fails] {
        gDBConnection->adoConnection().FailStatementContaining(
            "Select DISTINCT " + fails.section('@', 0, 0).section(':', -1), {-7, "look-up fails", "test"});
    };
    if (atNew)
        failLookUp();
    f->Insert();
    QWidget* box = f->focusWidget();
    if (!value.contains('|')) {
        static_cast<QLineEdit*>(box)->setText(value);
    } else {
        QCOMPARE(f->txtChildLevel->text(), QString(atNew ? "" : "L3")); // proposed
        f->txtChildLevel->setText(value.section('|', 0, 0));
        f->txtChildCode->setText(value.section('|', 1));
        box = focus == "level" ? f->txtChildLevel : focus == "code" ? f->txtChildCode : nullptr;
    }
    if (!fails.isEmpty() && !atNew)
        failLookUp();
    f->Save();
    gDBConnection->adoConnection().ClearInjectedFailures();
    QCOMPARE(m_env->prompts(), messages);
    // Each waits for the user under the arrow, though the save is busy until it is told.
    QCOMPARE(m_env->ui.pointers, QList<Qt::CursorShape>(messages.size(), Qt::ArrowCursor));
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!box || f->focusWidget() == box);
    const bool saved = messages.isEmpty() || atNew;
    QCOMPARE(engine->calls.size(), saved ? 1 : 0);
    QCOMPARE(f->NewRecord, !saved);
    // One line, with the database's text, under the failing step's own location.
    const QString log = m_env->logText().trimmed();
    QVERIFY2(fails.isEmpty()
                 ? log.isEmpty()
                 : log.count("Error #") == 1 &&
                       log.endsWith("(look-up fails) in frmCodeMaintenance:" + fails.section('@', 1)),
             qPrintable(log));
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
    QCOMPARE(env.ui.messages.size(), 7); // one per level without a next one
}

void tst_frmCodeMaintenance::saveRefusedThenAccepted() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    StandInEngine* engine = nullptr;
    frmCodeMaintenance* f = openEditor(3, &engine);
    MaintTree& tree = *f->trvMaintenance;
    TreeNode* parent = CodeNode(*f, "CORP,L2,11");
    QVERIFY(f->trvMaintenance_NodeClick(parent));
    f->Save(); // nothing pending: no engine, no word
    QVERIFY(engine->calls.isEmpty() && m_env->ui.messages.isEmpty());
    engine->answers = {false, true, true, false};
    f->Insert();
    f->txtChildCode->setText("121");
    f->Save();
    QCOMPARE(m_env->prompts(), QStringList{"Item could not be added. Accept Cancelled"});
    QVERIFY(f->NewRecord && enabled("mnuSave") && f->txtChildCode->text() == "121");
    f->Save();
    QCOMPARE(engine->calls, QStringList(2, "save 3 11"));
    QVERIFY(!f->NewRecord && !enabled("mnuSave") && f->NodeType() == 4);
    QCOMPARE(tree.SelectedItem(), CodeNode(*f, "CORP,L2,11,121"));
    // Save and add goes on below the same parent code, after a save and with nothing pending alike.
    for (const char* code : {"", "122"}) {
        f->txtChildCode->setText(code);
        f->CmdSaveAdd[1]->click();
        QVERIFY(tree.SelectedItem() == parent && f->NodeType() == 3 && f->NewRecord);
        QCOMPARE(f->txtChildLevel->text() + "|" + f->txtChildCode->text(), QString("L3|"));
    }
    QVERIFY(CodeNode(*f, "CORP,L2,11,122"));
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
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("level");    // put in the level box first
    QTest::addColumn<QString>("settings"); // table, filter, level, dependency tables; "" when not shown
    QTest::addColumn<QString>("copied");   // the target box and description afterwards
    const QString ac = "CS_COA_ACCT_RANGE,CS_MULTIPLIERHIER,CS_CATEGORYHIER,CS_LEVELHIER,CS_LEVELHIER";
    const QString ba = "CS_BA_BU_LEVELS,CS_LEVELHIER,CS_LEVELHIER";
    const auto row = [](const char* name, int type, const char* button, const char* level,
                        const QString& settings, const char* copied) {
        Warehouse::addRows(name, type, QString(button), QString(level), settings, QString(copied));
    };
    row("category", 2, "Multi", "", "CS_CAT_DESC|||CS_CAT_TYPE,CS_CATEGORYHIER", "COS|Cost of Sales");
    row("child level", 5, "ChildLevel", "", "CS_SOURCE|SOAREA = 'BA'||" + ba, "L1|");
    row("parent code, apostrophe", 3, "ParentCode", "L2' ",
        "CS_SOURCE| SOAREA = 'AC' and SOLEVEL = 'L2'''|L2' |" + ac, "x|x");
    row("child code", 4, "ChildCode", "L3 ", "CS_SOURCE| SOAREA = 'BU' and SOLEVEL = 'L3'|L3|" + ba,
        "111|Stores North");
    row("cancelled", 4, "ChildCode", "", "CS_SOURCE| SOAREA = 'BU'||" + ba, "x|x");
    row("list fails", 3, "COAccount", "", "", "x|x");
}

void tst_frmCodeMaintenance::lookups() {
    QLX_OPEN_WAREHOUSE(w);
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
        seen = QStringList{l.m_strTableName, l.m_strFilter, l.m_strLevel, l.m_DependencyTable.join(',')}.join(
            '|');
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

// The connection is lost while the child code lookup is open, each action dispatched by the program's event
// loop as a user's click is: each of the lookup's own actions (an Add, and the Add tried again) tells the
// loss once; Cancel, and what the editor reads within the click that opened the lookup once it has closed
// (the child level proposed again), tell nothing more; the editor's next action tells it again.
void tst_frmCodeMaintenance::lossToldOncePerActionAroundALookup() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    frmCodeMaintenance* f = openEditor(3);
    QVERIFY(f->trvMaintenance_NodeClick(CodeNode(*f, "CORP,L1,1")));
    f->Insert();
    const QStringList lost{DbConnection::LostText()};
    QStringList inTheLookup, afterTheLookup;
    m_env->ui.dialogScripts << [&](QDialog& d) {
        auto& l = static_cast<frmLookup&>(d);
        const auto add = [&l] {
            l.cmdClear_Click();
            l.txtCode()->setText("99");
            l.txtDesc()->setText("New");
            l.cmdAdd_Click();
        };
        QTimer::singleShot(0, &l, [&, add] {
            gDBConnection->adoConnection().FailNthStatement(1, {-7, "gone", "test", "08S01"});
            add();
            QTimer::singleShot(0, &l, [&, add] {
                add();
                QTimer::singleShot(0, &l, [&] {
                    inTheLookup = m_env->prompts();
                    l.cmdClose_Click();
                });
            });
        });
        return l.exec();
    };
    QEventLoop program;
    QTimer::singleShot(0, [&] {
        f->cmdChildCode_Click();
        f->Insert();
        afterTheLookup = m_env->prompts();
        QTimer::singleShot(50, [&] { // the next click, once the program has waited for it
            f->txtChildLevel->setText("L2");
            f->txtChildCode->setText("13");
            f->Save();
            program.quit();
        });
    });
    program.exec();
    QCOMPARE(inTheLookup, lost + lost);
    QCOMPARE(afterTheLookup, lost + lost);
    QCOMPARE(m_env->prompts(), lost + lost + lost);
    QCOMPARE(w.rows("SELECT SOCODE FROM CS_SOURCE WHERE SOCODE = '99'"), QStringList{});
}

QTEST_MAIN(tst_frmCodeMaintenance)
#include "tst_frmCodeMaintenance.moc"
