#include "frame/clsDBConnection.h"
#include "rangemaint/RangeEditorAccess.h"
#include "rangemaint/RangeEngine.h"
#include "services/frmLookup.h"
#include "support/RangeEditorDriver.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QGroupBox>
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
        if (!saves.isEmpty() && !saves.takeFirst())
            return false;
        // As an engine does: the new range node selected and followed, the insert ended, New off.
        const RangeKeyParts k = Owner()->KeyParts(), e = Owner()->EntryValues();
        TreeNode* node = Owner()->GenMaint()->AddNode_RangeAccount(
            *Owner()->Tree(), Owner()->CurrentRoot(), k.COA, k.level, k.Code, e.FR_ACCT, e.TO_ACCT, true);
        Owner()->SetNewRecord(false);
        Owner()->trvMaintenance_NodeClick(node);
        Owner()->EnableNew(false);
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

StandInEngine* standIn(frmRangeMaintenance* f) {
    auto engine = std::make_unique<StandInEngine>();
    StandInEngine* e = engine.get();
    f->UseEngine(std::move(engine));
    return e;
}

QStringList listed(const QTreeWidget* list) {
    QStringList texts;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        texts << list->topLevelItem(r)->text(0);
    return texts;
}

// One row per backend and entry: the entry's name, then its values, separated by ";".
void addRows(std::initializer_list<QString> entries) {
    Warehouse::addColumns<QStringList>("r");
    for (const QString& e : entries)
        Warehouse::addRows(e.section(';', 0, 0), e.split(';'));
}

const QString kCash = "%1|L4|1111|Cash and Cash Equivalents|111100|111199";
const QString kAccounts = "select distinct ACCOUNT_NO from CHART_OF_ACCOUNT where BUSINESS_UNIT_ID = 'CORP'";

} // namespace

class tst_RangeEditorCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void nodeSelection_data() {
        // type; path; node type; New Save Delete; fields; key parts
        addRows({"3 chart;3;CORP;1;100;CORP|||||;CORP||||", "3 level;3;CORP|L4;2;100;CORP|L4||||;CORP|L4|||",
                 "3 childless code, ':' in its description;3;CORP|L1|77;3;101;CORP|L1|77|Cost: direct : x||;"
                 "CORP|L1|77||",
                 "3 range;3;CORP|L4|1111|111100|111199;4;001;CORP|L4|1111|Cash and Cash "
                 "Equivalents|111100|111199;CORP|L4|1111|111100|111199",
                 "1 multiplier;1;CORP||MFX;3;100;CORP||MFX|Foreign currency translation rate||;CORP||MFX||",
                 "2 range;2;CORP||COS|221000|221999;4;001;CORP||COS|Cost of Sales|221000|221999;"
                 "CORP||COS|221000|221999",
                 "5 code;5;BA|L1|1;3;100;BA|L1|1|Consumer Products||;BA|L1|1||",
                 "5 code described at another level only;5;BA|L1|77;3;101;BA|L1|77|||;BA|L1|77||"});
    }
    void nodeSelection();
    void accountListFollowsItsValues_data() {
        // type; clicks, the first filling the list; the chart whose accounts are listed at the end, or the
        // query of the first column listed ("": kept, with no query run)
        addRows({"3 code, same level;3;CORP|L4|1111,CORP|L4|1112;",
                 "3 another level;3;CORP|L4|1111,CORP|L3|111;CORP",
                 "3 chart A, chart B, same-named level;3;CORP|L4|1111,RETL,RETL|L4;RETL",
                 "3 empty list, its level;3;NONE|L4|1,NONE|L4;", "2 another category;2;CORP||COS,CORP||CURA;",
                 "1 another multiplier;1;CORP||MFX,CORP||MSIGN;CORP",
                 "5 business areas;5;BA|L1|1;select BUSINESS_AREA_CD from BUSINESS_AREA order by 1"});
    }
    void accountListFollowsItsValues();
    void leavingAPendingInsert_data() {
        // typed; answer; the insert stays; the node of the insert clicked again
        addRows({"Yes;123;6;0;0", "No;123;7;1;0", "nothing typed;;0;0;0", "same node, Yes;123;6;0;1",
                 "same node, No;123;7;1;1", "same node, nothing typed;;0;1;1"});
    }
    void leavingAPendingInsert();
    void validation_data() {
        // path; type; from; to; message; style; focus on To; accepted
        addRows({"blank From;CORP|L4|1111;3;  ;1;Account From cannot be blank ;48;0;0",
                 "blank To;CORP|L4|1111;3;1;;Account To cannot be blank ;48;1;0",
                 "9 to 10;CORP|L4|1111;3;9;10;Account From cannot be greater than Account To;48;1;0",
                 "100 to 200, no jobs;CORP|L4|1111;3;100;200;It's not a valid 'Account From' ;64;0;1",
                 "apostrophe;CORP||MFX;1;1'1;1'2;It's not a valid 'Account From' ;64;0;1",
                 "known From;CORP||COS;2; 111110 ;111199;;0;0;1",
                 "a range of one account;CORP|L4|1111;3;111120;111120;;0;0;1",
                 "unit To blank;BU|L1|1;4;1010;;Business Unit To cannot be blank;48;1;0",
                 "area From blank;BA|L1|1;5;;2;Business Area From cannot be blank;48;0;0",
                 "area unknown;BA|L1|1;5;9;1;It's not a valid Business Area ;64;0;1"});
    }
    void validation();
    void editCommands_data() {
        // script (i Insert, s Save, a Save and add, d Delete); engine's answers; calls; pending; From and To
        // after; New, Save and Delete after
        addRows({"refused, then corrected;iss;01;2;0;111150|111160;001",
                 "nothing pending;s;;0;0;111100|111199;001", "save and add after success;ia;1;1;1;|;010",
                 "save and add after refusal;ia;0;1;1;111150|111160;110",
                 "delete answered No;d;;0;0;111100|111199;001"});
    }
    void editCommands();
    void eachEditorDeletesItsOwnSelection_data() { Warehouse::addBackendRows(); }
    void eachEditorDeletesItsOwnSelection();
    void lookups_data() {
        // type; button; rows the dialog lists ("": none shown); pick ("": Cancel, "-X": delete X); pick only;
        // fields afterwards
        addRows(
            {"chart;3;account;select distinct BUSINESS_UNIT_ID from CHART_OF_ACCOUNT;RETL;1;" +
                 kCash.arg("RETL"),
             "From;3;from;" + kAccounts + ";111120;1;CORP|L4|1111|Cash and Cash Equivalents|111120|111120",
             "To;3;to;" + kAccounts + ";111120;1;CORP|L4|1111|Cash and Cash Equivalents|111100|111120",
             "Cancel;3;level;select distinct SOLEVEL from CS_SOURCE where SOAREA = 'AC';;0;" +
                 kCash.arg("CORP"),
             "list fails;3;code;;;0;" + kCash.arg("CORP"),
             "multiplier;1;code;select MULPT from CS_MULTIPLIER where MULPT like 'M%';MTHOU;1;"
             "CORP||MTHOU|Scale to thousands for management reporting||",
             "level in the BU hierarchy;4;level;select distinct SOLEVEL from CS_SOURCE where SOAREA = "
             "'BU';-L9;0;"
             "BU|L1|1|Domestic Operations||",
             "category in the hierarchy;2;code;select distinct CAT_CODE from CS_CAT_DESC;-ZZ;0;"
             "CORP||COS|Cost of Sales||"});
    }
    void lookups();
    void boundBoxesCountCharacters_data() {
        // widths of the From and To columns
        addRows({"From wider than To;20;12", "To wider than From;12;20"});
    }
    void boundBoxesCountCharacters();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_RangeEditorCommands::nodeSelection() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values ('CORP', 'L1', '77', ' ', ' ')"));
    QVERIFY(w.own().Execute("insert into CS_SOURCE values ('AC', 'L1', '77', 'Cost: direct : x')"));
    QVERIFY(w.own().Execute("insert into CS_BA_BU_LEVELS values ('BA', 'L1', '77', ' ', ' ')"));
    QVERIFY(w.own().Execute("insert into CS_SOURCE values ('BA', 'L2', '77', 'Described at level 2')"));
    frmRangeMaintenance* f = openRangeEditor(r[1].toInt());
    TreeNode* node = rangeNodeAt(f, r[2]);
    QVERIFY(node);
    f->trvMaintenance_NodeClick(node);
    QCOMPARE(f->NodeType(), r[3].toInt());
    QCOMPARE(editCommandStates(), r[4]);
    QCOMPARE(editorFields(f), r[5]);
    QCOMPARE(editorKeyParts(f), r[6]);
    QCOMPARE(f->txtRangAccountFr[f->FieldsIndex()]->isHidden(), r[3] != "4");
    // The root shows nothing and keeps the key parts.
    f->trvMaintenance_NodeClick(rangeNodeAt(f, ""));
    QCOMPARE(editCommandStates(), QString("100"));
    QCOMPARE(editorKeyParts(f), r[6]);
    QVERIFY(m_env->ui.messages.isEmpty());
}

void tst_RangeEditorCommands::accountListFollowsItsValues() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    // A chart without accounts: its lists are empty.
    QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values ('NONE', 'L4', '1', ' ', ' ')"));
    frmRangeMaintenance* f = openRangeEditor(r[1].toInt());
    const QStringList clicks = r[2].split(',');
    f->trvMaintenance_NodeClick(rangeNodeAt(f, clicks.front()));
    const QStringList first = listed(f->lstAccountList);
    const qint64 statements = gDBConnection->adoConnection().StatementCount();
    for (const QString& path : clicks.mid(1))
        f->trvMaintenance_NodeClick(rangeNodeAt(f, path));
    const QStringList got = listed(f->lstAccountList);
    if (r[3].isEmpty()) {
        QCOMPARE(got, first);
        QCOMPARE(gDBConnection->adoConnection().StatementCount(), statements);
    } else {
        QCOMPARE(got, w.rows(r[3].startsWith("select")
                                 ? r[3]
                                 : "select distinct ACCOUNT_NO from CHART_OF_ACCOUNT where "
                                   "BUSINESS_UNIT_ID = '" +
                                       r[3] + "' and BLOCKED_FLG = '0' order by ACCOUNT_NO"));
    }
}

void tst_RangeEditorCommands::leavingAPendingInsert() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    const QString typed = r[1];
    const bool stays = r[3] == "1", same = r[4] == "1";
    frmRangeMaintenance* f = openRangeEditor(3);
    TreeNode* first = rangeNodeAt(f, "CORP|L4|1111");
    TreeNode* second = rangeNodeAt(f, "CORP|L4|1112");
    f->trvMaintenance_NodeClick(first);
    f->Insert();
    if (!typed.isEmpty())
        f->txtRangAccountFr[1]->setText(typed);
    m_env->ui.answers << r[2].toInt();
    f->trvMaintenance_NodeClick(same ? first : second);
    QCOMPARE(m_env->ui.messages.size(), typed.isEmpty() ? 0 : 1);
    QCOMPARE(f->NewRecord, stays);
    QCOMPARE(f->trvMaintenance->SelectedItem(), stays || same ? first : second);
    QCOMPARE(f->m_Code, QString(stays || same ? "1111" : "1112"));
    QCOMPARE(gMainForm->Command("mnuSave")->isEnabled(), stays);
}

void tst_RangeEditorCommands::validation() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    QVERIFY(w.own().Execute("Delete From C_EXEJOBS"));
    frmRangeMaintenance* f = openRangeEditor(r[2].toInt());
    StandInEngine* engine = standIn(f);
    f->trvMaintenance_NodeClick(rangeNodeAt(f, r[1]));
    f->Insert();
    const int i = f->FieldsIndex();
    f->txtRangAccountFr[i]->setText(r[3]);
    f->txtRangAccountTo[i]->setText(r[4]);
    f->Save();
    QCOMPARE(m_env->ui.messages.isEmpty() ? QString() : m_env->ui.messages[0].prompt, r[5]);
    if (r[6] != "0")
        QCOMPARE(m_env->ui.messages[0].style, r[6].toInt());
    // The engine gets the trimmed values.
    const QString call = "Save|3|" + editorKeyParts(f).section('|', 0, 2) + "|||" + r[3].trimmed();
    QCOMPARE(engine->calls, r[8] == "1" ? QStringList{call} : QStringList());
    if (r[8] == "0") {
        QCOMPARE(f->focusWidget(), r[7] == "1" ? f->txtRangAccountTo[i] : f->txtRangAccountFr[i]);
        QVERIFY(f->NewRecord);
    }
    QVERIFY(m_env->logText().isEmpty());
}

void tst_RangeEditorCommands::editCommands() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    const QString script = r[1];
    frmRangeMaintenance* f = openRangeEditor(3);
    StandInEngine* engine = standIn(f);
    for (QChar answer : r[2])
        engine->saves << (answer == '1');
    const bool atRange = script == "s" || script == "d";
    f->trvMaintenance_NodeClick(rangeNodeAt(f, atRange ? "CORP|L4|1111|111100|111199" : "CORP|L4|1111"));
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
    QCOMPARE(engine->calls.size(), r[3].toInt());
    QCOMPARE(f->NewRecord, r[4] == "1");
    QCOMPARE(f->txtRangAccountFr[1]->text() + "|" + f->txtRangAccountTo[1]->text(), r[5]);
    QCOMPARE(editCommandStates(), r[6]);
    if (script == "iss") // the editor follows the new node as after a click
        QCOMPARE(editorKeyParts(f) + "|" + QString::number(f->NodeType()),
                 QString("CORP|L4|1111|111150|111160|4"));
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(m_env->ui.messages.size(), r[2].count('0') + (script == "d" ? 1 : 0));
}

void tst_RangeEditorCommands::eachEditorDeletesItsOwnSelection() {
    QLX_OPEN_WAREHOUSE(w);
    frmRangeMaintenance* level = openRangeEditor(3);
    frmRangeMaintenance* multiplier = openRangeEditor(1);
    StandInEngine* levelEngine = standIn(level);
    StandInEngine* multiplierEngine = standIn(multiplier);
    level->trvMaintenance_NodeClick(rangeNodeAt(level, "CORP|L4|1111|111100|111199"));
    multiplier->trvMaintenance_NodeClick(rangeNodeAt(multiplier, "CORP||MFX"));
    m_env->ui.answers << vbYes << vbYes;
    level->Delete();
    multiplier->Delete();
    QCOMPARE(levelEngine->calls, QStringList{"Delete|4|CORP|L4|1111|111100|111199|111100"});
    QCOMPARE(multiplierEngine->calls, QStringList{"Delete|3|CORP||MFX|||"});
}

void tst_RangeEditorCommands::lookups() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    const int type = r[1].toInt();
    const QString button = r[2], listSql = r[3], pick = r[4];
    for (const char* sql : {"insert into CS_SOURCE values ('BU', 'L9', ' ', ' ')",
                            "insert into CS_LEVELHIER values ('BU', 'BU', 'L9', '1', 'L1', '1')",
                            "insert into CS_CAT_DESC values ('ZZ', 'Zed')",
                            "insert into CS_CATEGORYHIER values ('AC', 'CORP', 'ZZ', 'L2', '22')"})
        QVERIFY(w.own().Execute(sql));
    frmRangeMaintenance* f = openRangeEditor(type);
    f->trvMaintenance_NodeClick(rangeNodeAt(
        f, QStringList{"", "CORP||MFX", "CORP||COS", "CORP|L4|1111|111100|111199", "BU|L1|1"}[type]));
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
    QCOMPARE(restricted, r[5] == "1" && !listSql.isEmpty());
    QStringList expected = listSql.isEmpty() ? QStringList() : w.rows(listSql);
    expected.sort();
    shown.sort();
    QCOMPARE(shown, expected);
    QCOMPARE(editorFields(f), r[6]);
    QCOMPARE(w.snapshot(), before); // nothing a hierarchy uses was deleted
    if (pick.startsWith('-'))
        QVERIFY(m_env->ui.messages.last().prompt.contains("has Dependency and cannot be deleted!"));
}

// The From and To boxes hold what their own columns hold, counted in characters as the warehouse counts
// them: a character beyond the basic plane is one, though it takes two units.
void tst_RangeEditorCommands::boundBoxesCountCharacters() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    const int fromWidth = r[1].toInt(), toWidth = r[2].toInt(), both = qMin(fromWidth, toWidth);
    const QString wide = QString::fromUtf8("\U0001D7D8"); // a digit beyond the basic plane
    for (const QString& sql :
         {QString("alter table CS_COA_ACCT_RANGE rename to OLD_RANGE"),
          QString("create table CS_COA_ACCT_RANGE (CO_COA VARCHAR(10), CO_LEVEL VARCHAR(10), CO_CODE "
                  "VARCHAR(20), CO_FR_ACCT VARCHAR(%1), CO_TO_ACCT VARCHAR(%2))")
              .arg(fromWidth)
              .arg(toWidth),
          QString("insert into CS_COA_ACCT_RANGE select * from OLD_RANGE"), QString("drop table OLD_RANGE"),
          "insert into CHART_OF_ACCOUNT (BUSINESS_UNIT_ID, ACCOUNT_NO, BLOCKED_FLG) values ('CORP', '" +
              wide.repeated(both) + "', '0')",
          "insert into CHART_OF_ACCOUNT (BUSINESS_UNIT_ID, ACCOUNT_NO, BLOCKED_FLG) values ('CORP', '" +
              wide.repeated(20) + "', '0')"})
        QVERIFY2(w.own().Execute(sql), qPrintable(sql));
    frmRangeMaintenance* f = openRangeEditor(3);
    f->trvMaintenance_NodeClick(rangeNodeAt(f, "CORP|L4|1111"));
    f->Insert();
    EntryBox* boxes[] = {f->txtRangAccountFr[1], f->txtRangAccountTo[1]};
    const int widths[] = {fromWidth, toWidth};
    for (int b = 0; b < 2; ++b)
        for (const QString& typed : {wide, QString("9")}) {
            boxes[b]->clear();
            boxes[b]->insert(typed.repeated(25));
            QCOMPARE(boxes[b]->text(), typed.repeated(widths[b]));
        }
    // A pick that the box cannot hold whole is refused; picking From proposes it for To too.
    for (const int n : {both, 20})
        for (int b = 0; b < 2; ++b) {
            boxes[0]->clear();
            boxes[1]->clear();
            const qsizetype told = m_env->ui.messages.size();
            m_env->ui.dialogScripts << [&](QDialog& d) -> int {
                auto& l = static_cast<frmLookup&>(d);
                l.SelectListItem(l.ctlListView(), wide.repeated(n));
                l.cmdOK_Click();
                return d.result();
            };
            b == 0 ? f->cmdlookupFr_Click(1) : f->cmdlookupTo_Click(1);
            const bool taken = n <= (b == 0 ? both : toWidth);
            QCOMPARE(boxes[b]->text(), taken ? wide.repeated(n) : QString());
            QCOMPARE(m_env->ui.messages.size(), told + (taken ? 0 : 1));
        }
    // What the boxes hold, the range table takes.
    boxes[0]->setText(wide.repeated(both));
    boxes[1]->setText(wide.repeated(both));
    f->Save();
    QCOMPARE(w.rows("select CO_FR_ACCT, CO_TO_ACCT from CS_COA_ACCT_RANGE where CO_CODE = '1111' and "
                    "CO_FR_ACCT <> '111100'"),
             QStringList{wide.repeated(both) + "|" + wide.repeated(both)});
    QVERIFY2(m_env->logText().isEmpty(), qPrintable(m_env->logText()));
}

QTEST_MAIN(tst_RangeEditorCommands)
#include "tst_RangeEditorCommands.moc"
