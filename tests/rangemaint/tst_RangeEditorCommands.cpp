#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "rangemaint/RangeEditorAccess.h"
#include "rangemaint/RangeEngine.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "services/frmLookup.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

// An engine that answers Save as the test says and records what each call saw of its editor.
class StandInEngine : public RangeEngine {
public:
    QList<bool> saves;
    QStringList calls;
    bool Save() override {
        record("Save");
        const bool ok = saves.isEmpty() || saves.takeFirst();
        if (!ok)
            return false;
        // As an engine does: the new range node, selected, and the insert ended.
        const RangeKeyParts k = Owner()->KeyParts();
        const RangeKeyParts e = Owner()->EntryValues();
        Owner()->GenMaint()->AddNode_RangeAccount(*Owner()->Tree(), Owner()->CurrentRoot(), k.COA, k.level,
                                                  k.Code, e.FR_ACCT, e.TO_ACCT, true);
        Owner()->SetNodeType(4);
        Owner()->SetNewRecord(false);
        return true;
    }
    bool Delete() override {
        record("Delete");
        return true;
    }
    void record(const QString& name) {
        const RangeKeyParts k = Owner()->KeyParts();
        calls << QStringList{name,      QString::number(Owner()->NodeType()),
                             k.COA,     k.level,
                             k.Code,    k.FR_ACCT,
                             k.TO_ACCT, Owner()->EntryValues().FR_ACCT}
                     .join('|');
    }
};

frmRangeMaintenance* openEditor(int type) {
    if (!gMainForm)
        Main();
    const char* items[] = {"",
                           "mnuMultiplierRangeMaint",
                           "mnuCategoriesRangeMaint",
                           "mnuLevelRangeMaint",
                           "mnuBURangeMaint",
                           "mnuBARangeMaint"};
    gMainForm->Command(items[type])->trigger();
    return qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().last()->widget());
}

// The node at a path "chart|level|code|from|to" (the level left out in types 1 and 2).
TreeNode* nodeAt(frmRangeMaintenance* f, const QString& path) {
    QStringList p = path.split('|');
    while (p.size() < 5)
        p << QString();
    return f->trvMaintenance->Node(
        clsGenericMaint::BuildLevelKey(f->strcurRoot, p[0], p[1], p[2], p[3], p[4]));
}

StandInEngine* standIn(frmRangeMaintenance* f) {
    auto engine = std::make_unique<StandInEngine>();
    StandInEngine* e = engine.get();
    f->UseEngine(std::move(engine));
    return e;
}

QString commands() {
    QString s;
    for (const char* c : {"mnuNew", "mnuSave", "mnuDelete"})
        s += gMainForm->Command(c)->isEnabled() ? '1' : '0';
    return s;
}

QString fields(frmRangeMaintenance* f) {
    const int i = f->FieldsIndex();
    return QStringList{f->txtChartOfAccount[i]->text(), f->txtLevel->text(),
                       f->txtcodCat[i]->text(),         f->lblCodCatDesc[i]->text(),
                       f->txtRangAccountFr[i]->text(),  f->txtRangAccountTo[i]->text()}
        .join('|');
}

QString keyParts(frmRangeMaintenance* f) {
    return QStringList{f->m_COA, f->m_level, f->m_Code, f->m_FR_ACCT, f->m_TO_ACCT}.join('|');
}

QStringList listed(const QTreeWidget* list) {
    QStringList texts;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        texts << list->topLevelItem(r)->text(0);
    return texts;
}

// One data row per entry of `table`, named by its first member, carrying its index.
template <typename Row, std::size_t N> void addRows(const Row (&table)[N]) {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("row");
    for (const QString& b : Warehouse::backends())
        for (std::size_t r = 0; r < N; ++r)
            Warehouse::newRow(b, table[r].name) << static_cast<int>(r);
}

struct Selection {
    const char *name, *path;
    int type, nodeType;
    const char *commands, *fields, *keys;
} const kSelections[] = {
    {"3 chart", "CORP", 3, 1, "100", "CORP|||||", "CORP||||"},
    {"3 level", "CORP|L4", 3, 2, "100", "CORP|L4||||", "CORP|L4|||"},
    {"3 childless code, ':' in its description", "CORP|L1|77", 3, 3, "101", "CORP|L1|77|Cost: direct : x||",
     "CORP|L1|77||"},
    {"3 range", "CORP|L4|1111|111100|111199", 3, 4, "001",
     "CORP|L4|1111|Cash and Cash Equivalents|111100|111199", "CORP|L4|1111|111100|111199"},
    {"1 multiplier", "CORP||MFX", 1, 3, "100", "CORP||MFX|Foreign currency translation rate||",
     "CORP||MFX||"},
    {"2 range", "CORP||COS|221000|221999", 2, 4, "001", "CORP||COS|Cost of Sales|221000|221999",
     "CORP||COS|221000|221999"},
    {"5 code", "BA|L1|1", 5, 3, "100", "BA|L1|1|Consumer Products||", "BA|L1|1||"},
};

struct ListRefill {
    const char* name;
    int type;
    QStringList clicks;
    const char* chart; // of the accounts listed at the end; "": the list was kept
} const kRefills[] = {
    {"3 code, same level", 3, {"CORP|L4|1111", "CORP|L4|1112"}, ""},
    {"3 another level", 3, {"CORP|L4|1111", "CORP|L3|111"}, "CORP"},
    {"3 chart A, chart B, same-named level", 3, {"CORP|L4|1111", "RETL", "RETL|L4"}, "RETL"},
    {"2 another category", 2, {"CORP||COS", "CORP||CURA"}, ""},
    {"1 another multiplier", 1, {"CORP||MFX", "CORP||MSIGN"}, "CORP"},
};

struct Check {
    const char *name, *path;
    int type;
    const char *from, *to, *message;
    int style;
    bool focusOnTo, accepted;
} const kChecks[] = {
    {"blank From", "CORP|L4|1111", 3, "  ", "1", "Account From cannot be blank ", vbExclamation, false,
     false},
    {"blank To", "CORP|L4|1111", 3, "1", "", "Account To cannot be blank ", vbExclamation, true, false},
    {"9 to 10", "CORP|L4|1111", 3, "9", "10", "Account From cannot be greater than Account To", vbExclamation,
     true, false},
    {"100 to 200, no jobs", "CORP|L4|1111", 3, "100", "200", "It's not a valid 'Account From' ",
     vbInformation, false, true},
    {"apostrophe", "CORP||MFX", 1, "1'1", "1'2", "It's not a valid 'Account From' ", vbInformation, false,
     true},
    {"known From", "CORP||COS", 2, " 111110 ", "111199", "", 0, false, true},
    {"unit To blank", "BU|L1|1", 4, "1010", "", "Business Unit To cannot be blank", vbExclamation, true,
     false},
    {"area From blank", "BA|L1|1", 5, "", "2", "Business Area From cannot be blank", vbExclamation, false,
     false},
    {"area unknown", "BA|L1|1", 5, "9", "1", "It's not a valid Business Area ", vbInformation, false, true},
};

struct Command {
    const char *name, *script; // i: Insert, s: Save, a: Save and add, d: Delete
    QList<bool> answers;
    int calls;
    bool pending;
    const char* fromAfter;
} const kCommands[] = {
    {"refused, then corrected", "iss", {false, true}, 2, false, "111150"},
    {"nothing pending", "s", {}, 0, false, "111100"},
    {"save and add after success", "ia", {true}, 1, true, ""},
    {"save and add after refusal", "ia", {false}, 1, true, "111150"},
    {"delete answered No", "d", {}, 0, false, "111100"},
};

const char* const kCash = "CORP|L4|1111|Cash and Cash Equivalents|111100|111199";
const char* const kAccounts =
    "select distinct ACCOUNT_NO from CHART_OF_ACCOUNT where BUSINESS_UNIT_ID = 'CORP'";
struct Lookup {
    const char* name;
    int type;
    const char *button, *listSql; // listSql: the rows the dialog must list; "": no dialog shown
    const char* pick;             // "": Cancel; "-X": try to delete X
    bool pickOnly;
    const char* fields;
} const kLookups[] = {
    {"chart", 3, "account", "select distinct BUSINESS_UNIT_ID from CHART_OF_ACCOUNT", "RETL", true,
     "RETL|L4|1111|Cash and Cash Equivalents|111100|111199"},
    {"From", 3, "from", kAccounts, "111120", true, "CORP|L4|1111|Cash and Cash Equivalents|111120|111120"},
    {"To", 3, "to", kAccounts, "111120", true, "CORP|L4|1111|Cash and Cash Equivalents|111100|111120"},
    {"Cancel", 3, "level", "select distinct SOLEVEL from CS_SOURCE where SOAREA = 'AC'", "", false, kCash},
    {"list fails", 3, "code", "", "", false, kCash},
    {"multiplier", 1, "code", "select MULPT from CS_MULTIPLIER where MULPT like 'M%'", "MTHOU", true,
     "CORP||MTHOU|Scale to thousands for management reporting||"},
    {"business level", 4, "account", "select 'BU' from C_EXEJOBS", "BU", true,
     "BU|L1|1|Domestic Operations||"},
    {"level in the BU hierarchy", 4, "level", "select distinct SOLEVEL from CS_SOURCE where SOAREA = 'BU'",
     "-L9", false, "BU|L1|1|Domestic Operations||"},
    {"category in the hierarchy", 2, "code", "select distinct CAT_CODE from CS_CAT_DESC", "-ZZ", false,
     "CORP||COS|Cost of Sales||"},
};

} // namespace

class tst_RangeEditorCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void nodeSelection_data() { addRows(kSelections); }
    void nodeSelection();
    void accountListFollowsItsValues_data() { addRows(kRefills); }
    void accountListFollowsItsValues();
    void leavingAPendingInsert_data();
    void leavingAPendingInsert();
    void validation_data() { addRows(kChecks); }
    void validation();
    void editCommands_data() { addRows(kCommands); }
    void editCommands();
    void eachEditorDeletesItsOwnSelection_data() { Warehouse::addBackendRows(); }
    void eachEditorDeletesItsOwnSelection();
    void lookups_data() { addRows(kLookups); }
    void lookups();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_RangeEditorCommands::nodeSelection() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const Selection& r = kSelections[row];
    QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values ('CORP', 'L1', '77', ' ', ' ')"));
    QVERIFY(w.own().Execute("insert into CS_SOURCE values ('AC', 'L1', '77', 'Cost: direct : x')"));
    frmRangeMaintenance* f = openEditor(r.type);
    TreeNode* node = nodeAt(f, r.path);
    QVERIFY(node);
    f->trvMaintenance_NodeClick(node);
    QCOMPARE(f->trvMaintenance->SelectedItem(), node);
    QCOMPARE(f->NodeType(), r.nodeType);
    QCOMPARE(commands(), QString(r.commands));
    QCOMPARE(fields(f), QString(r.fields));
    QCOMPARE(keyParts(f), QString(r.keys));
    const int i = f->FieldsIndex();
    QCOMPARE(f->txtRangAccountFr[i]->isHidden(), r.nodeType != 4);
    QCOMPARE(f->txtcodCat[i]->isHidden(), r.nodeType < 3);
    QCOMPARE(f->txtLevel->isHidden(), r.type <= 2 || r.nodeType < 2);
    // The root shows nothing and keeps the key parts.
    f->trvMaintenance_NodeClick(f->trvMaintenance->Nodes().front());
    QVERIFY(f->fralevel->isHidden() && f->fraCodCat->isHidden() && f->lstAccountList->isHidden());
    QCOMPARE(commands(), QString("100"));
    QCOMPARE(keyParts(f), QString(r.keys));
    QVERIFY(m_env->ui.messages.isEmpty());
}

void tst_RangeEditorCommands::accountListFollowsItsValues() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const ListRefill& r = kRefills[row];
    frmRangeMaintenance* f = openEditor(r.type);
    f->trvMaintenance_NodeClick(nodeAt(f, r.clicks.front()));
    QVERIFY(f->lstAccountList->topLevelItemCount() > 0);
    f->lstAccountList->addTopLevelItem(new QTreeWidgetItem(QStringList{"marker"}));
    for (const QString& path : r.clicks.mid(1))
        f->trvMaintenance_NodeClick(nodeAt(f, path));
    const QStringList got = listed(f->lstAccountList);
    if (QString(r.chart).isEmpty())
        QVERIFY(got.contains("marker"));
    else
        QCOMPARE(got,
                 w.rows(QString("select distinct ACCOUNT_NO from CHART_OF_ACCOUNT where BUSINESS_UNIT_ID = "
                                "'%1' and BLOCKED_FLG = '0' order by ACCOUNT_NO")
                            .arg(r.chart)));
}
void tst_RangeEditorCommands::leavingAPendingInsert_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stays");
    QTest::addColumn<bool>("same"); // the node of the insert clicked again: nothing to leave
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "Yes") << "123" << int(vbYes) << false << false;
        Warehouse::newRow(b, "No") << "123" << int(vbNo) << true << false;
        Warehouse::newRow(b, "nothing typed") << "" << 0 << false << false;
        Warehouse::newRow(b, "same node") << "123" << 0 << true << true;
    }
}

void tst_RangeEditorCommands::leavingAPendingInsert() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, stays);
    QFETCH(bool, same);
    frmRangeMaintenance* f = openEditor(3);
    TreeNode* first = nodeAt(f, "CORP|L4|1111");
    TreeNode* second = nodeAt(f, "CORP|L4|1112");
    f->trvMaintenance_NodeClick(first);
    f->Insert();
    if (!typed.isEmpty())
        f->txtRangAccountFr[1]->setText(typed);
    m_env->ui.answers << answer;
    f->trvMaintenance_NodeClick(same ? first : second);
    QCOMPARE(m_env->ui.messages.size(), typed.isEmpty() || same ? 0 : 1);
    if (!m_env->ui.messages.isEmpty())
        QCOMPARE(m_env->ui.messages[0].title, QString("Cancel Insert"));
    QCOMPARE(f->NewRecord, stays);
    QCOMPARE(f->trvMaintenance->SelectedItem(), stays ? first : second);
    QCOMPARE(f->m_Code, QString(stays ? "1111" : "1112"));
    if (stays)
        QCOMPARE(f->txtRangAccountFr[1]->text(), typed);
    QCOMPARE(gMainForm->Command("mnuSave")->isEnabled(), stays);
    QCOMPARE(f->txtcodCat[1]->isEnabled(), !stays);
}

void tst_RangeEditorCommands::validation() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const Check& r = kChecks[row];
    QVERIFY(w.own().Execute("Delete From C_EXEJOBS"));
    frmRangeMaintenance* f = openEditor(r.type);
    StandInEngine* engine = standIn(f);
    f->trvMaintenance_NodeClick(nodeAt(f, r.path));
    f->Insert();
    const int i = f->FieldsIndex();
    f->txtRangAccountFr[i]->setText(r.from);
    f->txtRangAccountTo[i]->setText(r.to);
    f->Save();
    QCOMPARE(m_env->ui.messages.isEmpty() ? QString() : m_env->ui.messages[0].prompt, QString(r.message));
    if (r.style) {
        QCOMPARE(m_env->ui.messages[0].style, r.style);
        QCOMPARE(m_env->ui.messages[0].title, QString(r.style == vbExclamation ? "Error" : "Warning"));
    }
    // The engine gets the trimmed values.
    const QString call = "Save|3|" + keyParts(f).section('|', 0, 2) + "|||" + QString(r.from).trimmed();
    QCOMPARE(engine->calls, r.accepted ? QStringList{call} : QStringList());
    if (!r.accepted) {
        QCOMPARE(f->focusWidget(), r.focusOnTo ? f->txtRangAccountTo[i] : f->txtRangAccountFr[i]);
        QVERIFY(f->NewRecord);
    }
    QVERIFY(m_env->logText().isEmpty());
}

void tst_RangeEditorCommands::editCommands() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const Command& r = kCommands[row];
    const QString script = r.script;
    frmRangeMaintenance* f = openEditor(3);
    StandInEngine* engine = standIn(f);
    engine->saves = r.answers;
    const bool atRange = script == "s" || script == "d";
    f->trvMaintenance_NodeClick(nodeAt(f, atRange ? "CORP|L4|1111|111100|111199" : "CORP|L4|1111"));
    const QString before = w.snapshot();
    for (QChar step : script) {
        if (step == 'i') {
            f->Insert();
            f->txtRangAccountFr[1]->setText("111150");
            f->txtRangAccountTo[1]->setText("111160");
        } else if (step == 's') {
            f->Save();
        } else if (step == 'a') {
            f->CmdSaveAdd_Click(1);
        } else {
            f->Delete();
        }
    }
    QCOMPARE(engine->calls.size(), r.calls);
    QCOMPARE(f->NewRecord, r.pending);
    QCOMPARE(gMainForm->Command("mnuSave")->isEnabled(), r.pending);
    QCOMPARE(f->txtRangAccountFr[1]->text(), QString(r.fromAfter));
    if (script == "iss") // the editor follows the new node as after a click
        QCOMPARE(keyParts(f) + "|" + QString::number(f->NodeType()), QString("CORP|L4|1111|111150|111160|4"));
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(m_env->ui.messages.size(), static_cast<int>(r.answers.count(false)) + (script == "d" ? 1 : 0));
}

void tst_RangeEditorCommands::eachEditorDeletesItsOwnSelection() {
    QLX_OPEN_WAREHOUSE(w);
    frmRangeMaintenance* level = openEditor(3);
    frmRangeMaintenance* multiplier = openEditor(1);
    StandInEngine* levelEngine = standIn(level);
    StandInEngine* multiplierEngine = standIn(multiplier);
    level->trvMaintenance_NodeClick(nodeAt(level, "CORP|L4|1111|111100|111199"));
    multiplier->trvMaintenance_NodeClick(nodeAt(multiplier, "CORP||MFX"));
    m_env->ui.answers << vbYes << vbYes;
    level->Delete();
    multiplier->Delete();
    QCOMPARE(levelEngine->calls, QStringList{"Delete|4|CORP|L4|1111|111100|111199|111100"});
    QCOMPARE(multiplierEngine->calls, QStringList{"Delete|3|CORP||MFX|||"});
}

void tst_RangeEditorCommands::lookups() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const Lookup& r = kLookups[row];
    const int type = r.type;
    const QString button = r.button, listSql = r.listSql, pick = r.pick;
    QVERIFY(w.own().Execute("insert into CS_SOURCE values ('BU', 'L9', ' ', ' ')"));
    QVERIFY(w.own().Execute("insert into CS_LEVELHIER values ('BU', 'BU', 'L9', '1', 'L1', '1')"));
    QVERIFY(w.own().Execute("insert into CS_CAT_DESC values ('ZZ', 'Zed')"));
    QVERIFY(w.own().Execute("insert into CS_CATEGORYHIER values ('AC', 'CORP', 'ZZ', 'L2', '22')"));
    frmRangeMaintenance* f = openEditor(type);
    f->trvMaintenance_NodeClick(nodeAt(f, type == 1   ? "CORP||MFX"
                                          : type == 2 ? "CORP||COS"
                                          : type == 4 ? "BU|L1|1"
                                                      : "CORP|L4|1111|111100|111199"));
    const QString before = w.snapshot();
    QStringList shown;
    bool restricted = false;
    m_env->ui.dialogScripts << [&](QDialog& d) -> int {
        auto& l = static_cast<frmLookup&>(d);
        shown = listed(l.ctlListView());
        restricted = !l.cmdDelete()->isEnabled() && l.txtCode()->isReadOnly();
        if (pick.startsWith('-')) {
            l.SelectListItem(l.ctlListView(), pick.mid(1));
            l.cmdDelete_Click();
        } else if (!pick.isEmpty()) {
            l.SelectListItem(l.ctlListView(), pick);
            l.cmdOK_Click();
            return d.result();
        }
        l.cmdClose_Click();
        return d.result();
    };
    if (listSql.isEmpty())
        gDBConnection->adoConnection().FailStatementContaining("CS_SOURCE", {-7, "no list", "test"});
    const int i = f->FieldsIndex();
    if (button == "account")
        f->cmdAccount_Click(i);
    else if (button == "level")
        f->cmdLevel_Click();
    else if (button == "code")
        f->cmdCodCat_Click(i);
    else if (button == "from")
        f->cmdlookupFr_Click(i);
    else
        f->cmdlookupTo_Click(i);
    QCOMPARE(m_env->ui.dialogs.size(), listSql.isEmpty() ? 0 : 1);
    QCOMPARE(restricted, r.pickOnly && !listSql.isEmpty());
    QStringList expected = w.rows(listSql.isEmpty() ? "select 1 from C_EXEJOBS where 1 = 0" : listSql);
    expected.sort();
    shown.sort();
    QCOMPARE(shown, expected.isEmpty() ? QStringList() : expected);
    QCOMPARE(fields(f), QString(r.fields));
    QCOMPARE(w.snapshot(), before); // nothing a hierarchy uses was deleted
    if (pick.startsWith('-'))
        QVERIFY(m_env->ui.messages.last().prompt.contains("has Dependency and cannot be deleted!"));
}

QTEST_MAIN(tst_RangeEditorCommands)
#include "tst_RangeEditorCommands.moc"
