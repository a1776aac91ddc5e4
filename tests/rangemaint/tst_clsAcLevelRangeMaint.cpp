#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QTest>

namespace {

// A chart, codes and bounds holding an apostrophe, "%" and "--": all of them are stored as typed.
const QString kChart = "T'%";
const QString kFrom = "1'0", kTo = "1%9--";

QString q(const QString& text) {
    return "'" + QString(text).replace("'", "''") + "'";
}

// "L3:P" as level and code.
QStringList lc(const QString& code) {
    return code.split(':');
}

// Builds the test's corner of the warehouse: `hier` "L3:P>L4:X ..." (parent > child), `holders`
// "M1>L3:P K1>L4:X ..." (multiplier M.., category K..) and `held`, the codes and holders that hold the
// range already; every other code and holder has its placeholder row.
void build(Warehouse& w, const QString& hier, const QString& holders, const QString& held) {
    QStringList codes, owners;
    for (const QString& pair : hier.split(' ', Qt::SkipEmptyParts)) {
        const QStringList ends = pair.split('>');
        codes << ends;
        QVERIFY(w.own().Execute("insert into CS_LEVELHIER values ('AC', " + q(kChart) + ", " +
                                q(lc(ends[0])[0]) + ", " + q(lc(ends[0])[1]) + ", " + q(lc(ends[1])[0]) +
                                ", " + q(lc(ends[1])[1]) + ")"));
    }
    for (const QString& pair : holders.split(' ', Qt::SkipEmptyParts)) {
        const QStringList ends = pair.split('>');
        codes << ends[1];
        owners << ends[0];
        const QString table = ends[0].startsWith('M') ? "CS_MULTIPLIERHIER" : "CS_CATEGORYHIER";
        QVERIFY(w.own().Execute("insert into " + table + " values ('AC', " + q(kChart) + ", " + q(ends[0]) +
                                ", " + q(lc(ends[1])[0]) + ", " + q(lc(ends[1])[1]) + ")"));
    }
    const QStringList holding = held.split(' ', Qt::SkipEmptyParts);
    codes.removeDuplicates();
    owners.removeDuplicates();
    for (const QString& code : codes) {
        const bool has = holding.contains(code);
        QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values (" + q(kChart) + ", " + q(lc(code)[0]) +
                                ", " + q(lc(code)[1]) + ", " + q(has ? kFrom : " ") + ", " +
                                q(has ? kTo : " ") + ")"));
    }
    for (const QString& owner : owners) {
        const bool has = holding.contains(owner);
        QVERIFY(w.own().Execute("insert into " +
                                QString(owner.startsWith('M') ? "CS_MULTIPLIER_RANGE" : "CS_CAT_TYPE") +
                                " values (" + q(kChart) + ", " + q(owner) + ", " + q(has ? kFrom : " ") +
                                ", " + q(has ? kTo : " ") + ")"));
    }
}

// The chart's rows: "level|code|from" for the level ranges, "holder|from" for multipliers and categories;
// a blank shows as "-".
QString state(Warehouse& w) {
    QStringList rows =
        w.rows("select CO_LEVEL, CO_CODE, CO_FR_ACCT from CS_COA_ACCT_RANGE where CO_COA = " + q(kChart) +
               " order by CO_LEVEL, CO_CODE, CO_FR_ACCT");
    rows << w.rows("select MUL_CODE, MUL_FR_ACCT from CS_MULTIPLIER_RANGE where MUL_COA = " + q(kChart) +
                   " order by MUL_CODE, MUL_FR_ACCT");
    rows << w.rows("select CAT_TYP_CD, CAT_FR_ACCT from CS_CAT_TYPE where CAT_COA = " + q(kChart) +
                   " order by CAT_TYP_CD, CAT_FR_ACCT");
    for (QString& row : rows) {
        QStringList fields = row.split('|');
        for (QString& field : fields)
            field = field == " " ? "-" : field;
        row = fields.join('|');
    }
    return rows.join(',');
}

// Every node key of the tree and the selected one.
QString treeOf(RangeEditorState& st) {
    QStringList keys;
    for (const TreeNode* node : st.Tree()->Nodes())
        keys << node->Key();
    keys.sort();
    const TreeNode* selected = st.Tree()->SelectedItem();
    return keys.join(',') + "#" + (selected ? selected->Key() : QString());
}

RangeKeyParts at(const QString& code, bool range = false) {
    return {kChart, lc(code)[0], lc(code)[1], range ? kFrom : QString(), range ? kTo : QString()};
}

// Shows every code of the chart (but those in `hidden`) with the ranges they hold.
void showAll(Warehouse& w, RangeEditorState& st, const QString& hidden) {
    for (const QString& row :
         w.rows("select CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT from CS_COA_ACCT_RANGE "
                "where CO_COA = " +
                q(kChart))) {
        const QStringList f = row.split('|');
        if (f[1] != " " && !hidden.contains(f[0] + ":" + f[1]))
            st.AddPath({kChart, f[0], f[1], f[2] == " " ? QString() : f[2], f[3] == " " ? QString() : f[3]});
    }
}

struct Propagation {
    const char *name, *action, *hier, *holders, *held, *after;
    bool answer;
} const kPropagations[] = {
    {"added: chain with holders", "save", "L3:P>L4:X L2:G>L3:P", "M1>L3:P K1>L4:X M2>L2:G", "",
     "L2|G|1'0,L3|P|1'0,L4|X|1'0,M1|1'0,M2|1'0,K1|1'0", true},
    {"added: ancestor already holds it", "save", "L3:P>L4:X L2:G>L3:P", "M1>L3:P M2>L2:G", "L3:P",
     "L2|G|1'0,L3|P|1'0,L4|X|1'0,M1|-,M2|1'0", true},
    {"added: diamond", "save", "L3:P>L4:X L3:Q>L4:X L2:G>L3:P L2:G>L3:Q", "M1>L2:G", "",
     "L2|G|1'0,L3|P|1'0,L3|Q|1'0,L4|X|1'0,M1|1'0", true},
    {"added: cycle", "save", "L3:P>L4:X L2:G>L3:P L3:P>L2:G", "", "", "L2|G|1'0,L3|P|1'0,L4|X|1'0", true},
    {"added: filtered tree", "save", "L3:P>L4:X L2:G>L3:P", "", "", "L2|G|1'0,L3|P|1'0,L4|X|1'0", true},
    {"deleted: chain, placeholders back", "delete", "L3:P>L4:X L2:G>L3:P", "M1>L3:P K1>L4:X",
     "L4:X L3:P L2:G M1 K1", "L2|G|-,L3|P|-,L4|X|-,M1|-,K1|-", true},
    {"deleted: a sibling still feeds the ancestor", "delete", "L3:P>L4:X L3:P>L4:Y L2:G>L3:P",
     "M1>L3:P K1>L4:X", "L4:X L4:Y L3:P L2:G M1 K1", "L2|G|1'0,L3|P|1'0,L4|X|-,L4|Y|1'0,M1|1'0,K1|-", true},
    {"deleted: diamond's top", "delete", "L3:P>L4:X L3:Q>L4:X L3:Q>L4:Y L2:G>L3:P L2:G>L3:Q", "",
     "L4:X L4:Y L3:P L3:Q L2:G", "L2|G|1'0,L3|P|-,L3|Q|1'0,L4|X|-,L4|Y|1'0", true},
    {"deleted: multiplier fed by another code", "delete", "", "M1>L4:X M1>L4:Y", "L4:X L4:Y M1",
     "L4|X|-,L4|Y|1'0,M1|1'0", true},
    {"deleted: cycle feeds itself", "delete", "L3:P>L4:X L2:G>L3:P L3:P>L2:G", "", "L4:X L3:P L2:G",
     "L2|G|1'0,L3|P|1'0,L4|X|-", true},
    {"code delete not propagated", "code", "L3:P>L4:X", "M1>L3:P", "L4:X L3:P M1", "L3|P|1'0,L4|-|-,M1|1'0",
     true},
    {"range already gone", "gone", "L3:P>L4:X", "", "L3:P", "L3|P|1'0,L4|X|-", false},
    {"drag onto a placeholder", "drag", "L3:P>L4:Y L3:Q>L4:X", "", "L4:X L3:Q",
     "L3|P|1'0,L3|Q|1'0,L4|X|1'0,L4|Y|1'0", true},
    {"drag onto a code with ranges", "drag+", "L3:P>L4:Y L3:Q>L4:X", "", "L4:X L3:Q",
     "L3|P|1'0,L3|Q|1'0,L4|X|1'0,L4|Y|0,L4|Y|1'0", true},
    {"drag onto the range", "drag", "L3:P>L4:Y L3:Q>L4:X", "", "L4:X L4:Y L3:P L3:Q", "", false},
};

// Runs the row's action on code X of the world (the drag: X's range onto Y).
bool act(Warehouse& w, clsAcLevelRangeMaint& e, RangeEditorState& st, const QString& action) {
    if (action == "save") {
        st.trvMaintenance_NodeClick(st.AddPath(at("L4:X")));
        st.entry = at("L4:X", true);
        st.newRecord = true;
        return e.Save();
    }
    if (action == "drag+") // Y holds another range already
        w.own().Execute(
            "update CS_COA_ACCT_RANGE set CO_FR_ACCT = '0', CO_TO_ACCT = '1' where CO_CODE = 'Y'");
    if (action.startsWith("drag"))
        return e.CopyDraggedRangOfAccount(st.AddPath(at("L4:X", true)), st.AddPath(at("L4:Y")));
    if (action == "gone")
        w.own().Execute(
            "update CS_COA_ACCT_RANGE set CO_FR_ACCT = ' ', CO_TO_ACCT = ' ' where CO_CODE = 'X'");
    st.trvMaintenance_NodeClick(st.AddPath(at("L4:X", action != "code")));
    return e.Delete();
}

} // namespace

class tst_clsAcLevelRangeMaint : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void saveEachKind_data();
    void saveEachKind();
    void propagation_data();
    void propagation();
    void allOrNothing_data();
    void allOrNothing();
    void throughTheEditor_data() { Warehouse::addBackendRows(); }
    void throughTheEditor();
    void drivingAnEngineWithoutTheEditor_data() { Warehouse::addBackendRows(); }
    void drivingAnEngineWithoutTheEditor();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_clsAcLevelRangeMaint::saveEachKind_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("rows"); // the chart's rows before: "level:code:from" ("-": blank)
    QTest::addColumn<int>("nodeType");
    QTest::addColumn<QString>("value"); // what is typed
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("duplicate");
    const struct {
        const char *name, *rows;
        int nodeType;
        const char *value, *after, *duplicate;
    } rows[] = {
        {"chart", "", 0, "T'%", "-|-|-", ""},
        {"level fills the chart's placeholder", "-:-:-", 1, "L5", "L5|-|-", ""},
        {"second level", "L5:-:-", 1, "L6", "L5|-|-,L6|-|-", ""},
        {"code fills the level's placeholder", "L5:-:-", 2, "C'--", "L5|C'--|-", ""},
        {"second code", "L5:C1:-", 2, "C%", "L5|C%|-,L5|C1|-", ""},
        {"range fills the code's placeholder", "L5:C1:-", 3, "", "L5|C1|1'0", ""},
        {"second range", "L5:C1:0", 3, "", "L5|C1|0,L5|C1|1'0", ""},
        {"duplicate chart", "-:-:-", 0, "T'%", "-|-|-", "Chart of Account already exists|Duplicate Account"},
        {"duplicate level", "L5:-:-", 1, "L5", "L5|-|-",
         "Level already exists within current Account|Duplicate Level"},
        {"duplicate code", "L5:C1:-", 2, "C1", "L5|C1|-",
         "Code already exists within current Level|Duplicate Code"},
        {"duplicate range", "L5:C1:1'0", 3, "", "L5|C1|1'0",
         "Account Range already exists within current Code|Duplicate Range of Account"},
    };
    for (const QString& b : Warehouse::backends())
        for (const auto& r : rows)
            Warehouse::newRow(b, r.name) << r.rows << r.nodeType << r.value << r.after << r.duplicate;
}

void tst_clsAcLevelRangeMaint::saveEachKind() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, rows);
    QFETCH(int, nodeType);
    QFETCH(QString, value);
    QFETCH(QString, after);
    QFETCH(QString, duplicate);
    for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
        const QStringList f = QString(row).replace('-', ' ').split(':');
        const QString to = f[2] == "1'0" ? kTo : f[2];
        QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values (" + q(kChart) + ", " + q(f[0]) + ", " +
                                q(f[1]) + ", " + q(f[2]) + ", " + q(to) + ")"));
    }
    RangeEditorState st(3);
    clsAcLevelRangeMaint e;
    e.OwnerForm(&st);
    const QStringList first = rows.section(' ', 0, 0).split(':');
    st.trvMaintenance_NodeClick(nodeType == 0 ? st.EnsureRoot()
                                              : st.AddPath({kChart, nodeType >= 2 ? first[0] : QString(),
                                                            nodeType >= 3 ? first[1] : QString()}));
    QCOMPARE(st.NodeType(), nodeType);
    st.entry = {value, value, value, kFrom, kTo};
    st.newRecord = true;
    QCOMPARE(e.Save(), duplicate.isEmpty());
    QCOMPARE(state(w), after);
    QCOMPARE(st.newRecord, !duplicate.isEmpty());
    if (duplicate.isEmpty()) {
        QCOMPARE(st.NodeType(), nodeType + 1);
        QCOMPARE(st.Tree()->SelectedItem()->Tag(), QString::number(nodeType + 1));
        QVERIFY(m_env->ui.messages.isEmpty());
    } else {
        QCOMPARE(m_env->ui.messages.size(), 1);
        QCOMPARE(m_env->ui.messages[0].prompt + "|" + m_env->ui.messages[0].title, duplicate);
        QCOMPARE(m_env->ui.messages[0].style, int(vbExclamation));
        QVERIFY(!m_env->ui.inTransaction.contains(true));
    }
}

void tst_clsAcLevelRangeMaint::propagation_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("row");
    for (const QString& b : Warehouse::backends())
        for (int r = 0; r < int(std::size(kPropagations)); ++r)
            Warehouse::newRow(b, kPropagations[r].name) << r;
}

void tst_clsAcLevelRangeMaint::propagation() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const Propagation& r = kPropagations[row];
    build(w, r.hier, r.holders, r.held);
    RangeEditorState st(3);
    clsAcLevelRangeMaint e;
    e.OwnerForm(&st);
    const bool filtered = QString(r.name).contains("filtered");
    showAll(w, st, filtered ? "L3:P L2:G" : "");
    const QString before = state(w);
    QCOMPARE(act(w, e, st, r.action), r.answer);
    QCOMPARE(state(w), r.answer ? QString(r.after) : before);
    if (QString(r.action).startsWith("drag") &&
        r.answer) // the selection, node type and key parts: the target
        QCOMPARE(st.Tree()->SelectedItem()->Key() + QString::number(st.NodeType()) + st.KeyParts().Code,
                 st.AddPath(at("L4:Y"))->Key() + "3Y");
    // The tree follows the table: a range node wherever a shown code holds the range.
    for (const QString& code : QStringList{"L4:X", "L4:Y", "L3:P", "L3:Q", "L2:G"}) {
        if (!r.answer)
            break;
        const bool holds = state(w).contains(lc(code).join('|') + "|1'0");
        const bool shown = st.Tree()->Node(
            clsGenericMaint::BuildLevelKey(st.root, kChart, lc(code)[0], lc(code)[1], {}, {}));
        QCOMPARE(bool(st.Tree()->Node(
                     clsGenericMaint::BuildLevelKey(st.root, kChart, lc(code)[0], lc(code)[1], kFrom, kTo))),
                 holds && shown);
    }
    QVERIFY2(m_env->logText().isEmpty(), qPrintable(m_env->logText()));
}

void tst_clsAcLevelRangeMaint::allOrNothing_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("after"); // once no statement fails
    const char* const rows[][2] = {
        {"save", "L2|G|1'0,L3|P|1'0,L4|X|1'0,L4|Y|-,M1|1'0,K1|1'0"},
        {"delete", "L2|G|-,L3|P|-,L4|X|-,L4|Y|-,M1|-,K1|-"},
        {"drag", "L2|G|1'0,L3|P|1'0,L4|X|1'0,L4|Y|1'0,M1|1'0,K1|1'0"},
    };
    for (const QString& b : Warehouse::backends())
        for (const auto& r : rows)
            Warehouse::newRow(b, r[0]) << r[0] << r[1];
}

void tst_clsAcLevelRangeMaint::allOrNothing() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, action);
    QFETCH(QString, after);
    const QString held = action == "save" ? "" : "L4:X L3:P L2:G M1 K1";
    build(w, "L3:P>L4:X L2:G>L3:P L3:P>L4:Y", "M1>L3:P K1>L2:G", held);
    RangeEditorState st(3);
    clsAcLevelRangeMaint e;
    e.OwnerForm(&st);
    showAll(w, st, "");
    DbConnection& db = gDBConnection->adoConnection();
    int k = 1;
    for (;; ++k) {
        QVERIFY(k < 200);
        const QString before = state(w);
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        const QString tree = treeOf(st);
        db.FailNthStatement(k, {-7, "statement k fails", "test"});
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        if (act(w, e, st, action))
            break;
        db.ClearInjectedFailures();
        QCOMPARE(state(w), before);
        // The failure is told once the action is undone: no lock waits on the user's answer.
        if (action != "delete")
            QVERIFY(!m_env->ui.inTransaction.isEmpty() && !m_env->ui.inTransaction.last());
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        QCOMPARE(treeOf(st), tree);
    }
    db.ClearInjectedFailures();
    QVERIFY(k > 5);
    // The run that answered true did all of it: no failure was passed over on the way.
    QCOMPARE(state(w), after);
}

void tst_clsAcLevelRangeMaint::throughTheEditor() {
    QLX_OPEN_WAREHOUSE(w);
    Main();
    gMainForm->Command("mnuLevelRangeMaint")->trigger();
    auto* f = qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().last()->widget());
    const QString before = w.snapshot();
    f->trvMaintenance_NodeClick(
        f->trvMaintenance->Node(clsGenericMaint::BuildLevelKey(f->strcurRoot, "CORP", "L4", "1111", {}, {})));
    f->Insert();
    f->txtRangAccountFr[1]->setText("111100");
    f->txtRangAccountTo[1]->setText("111199");
    f->Save();                              // a duplicate
    QCOMPARE(m_env->ui.messages.size(), 3); // the warning on the From, the duplicate, the refusal
    QCOMPARE(m_env->ui.messages[1].title, QString("Duplicate Range of Account"));
    QVERIFY(f->NewRecord);
    QCOMPARE(w.snapshot(), before);
    f->txtRangAccountTo[1]->setText("111150");
    f->Save();
    QVERIFY(!f->NewRecord);
    QCOMPARE(f->NodeType(), 4);
    QCOMPARE(f->m_TO_ACCT, QString("111150"));
    QCOMPARE(w.scalar("select count(*) from CS_COA_ACCT_RANGE where CO_TO_ACCT = '111150'").toInt(), 1);
    m_env->ui.answers << vbYes;
    f->Delete();
    QCOMPARE(w.snapshot(), before);
}

// The example of ARCHITECTURE.md, "Driving an engine without the editor".
void tst_clsAcLevelRangeMaint::drivingAnEngineWithoutTheEditor() {
    QLX_OPEN_WAREHOUSE(w);
    const auto holding = [&w] {
        return w.rows(
            "select CO_CODE from CS_COA_ACCT_RANGE where CO_FR_ACCT = '111150' union all select "
            "MUL_CODE from CS_MULTIPLIER_RANGE where MUL_FR_ACCT = '111150' union all select CAT_TYP_CD "
            "from CS_CAT_TYPE where CAT_FR_ACCT = '111150' order by 1");
    };
    RangeEditorState editor(3); // Account Level
    clsAcLevelRangeMaint engine;
    engine.OwnerForm(&editor);
    editor.trvMaintenance_NodeClick(editor.AddPath({"CORP", "L3", "111"}));
    editor.entry = {"", "", "", "111150", "111160"};
    editor.newRecord = true;
    QVERIFY(engine.Save()); // code 111, its ancestors 11 and 1, multiplier MFX of 1, category CURA of 111
    QCOMPARE(holding(), (QStringList{"1", "11", "111", "CURA", "MFX"}));
    QVERIFY(engine.Delete()); // the new range node is selected: it goes again, and so do its copies
    QCOMPARE(holding().join(","), QString());
}

QTEST_MAIN(tst_clsAcLevelRangeMaint)
#include "tst_clsAcLevelRangeMaint.moc"
