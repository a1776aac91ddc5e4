#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsBuLevelRangeMaint.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTest>

namespace {

// A business level, codes and bounds holding an apostrophe, "%" and "--": all of them stored as typed.
const QString kLevel = "B'U";
const QString kFrom = "1'0", kTo = "1%9--";

QString q(const QString& text) {
    return "'" + QString(text).replace("'", "''") + "'";
}

RangeKeyParts at(const QString& code, bool range = false) {
    const QStringList lc = code.split(':');
    return {kLevel, lc[0], lc[1], range ? kFrom : QString(), range ? kTo : QString()};
}

// `hier` "L3:P>L4:X ..." (parent > child) of the area, "~L3:Z>L4:X" of the other one; `rows` the business
// level's rows "level:code" ("-" a blank, "*" holding the range, "=b" the range b - b); a code of the
// hierarchy without a row gets its placeholder.
void build(Warehouse& w, const QString& area, const QString& hier, const QString& rows) {
    QStringList all = rows.split(' ', Qt::SkipEmptyParts);
    for (QString pair : hier.split(' ', Qt::SkipEmptyParts)) {
        const QString in = pair.startsWith('~') ? (area == "BU" ? "BA" : "BU") : area;
        const QStringList ends = pair.remove('~').split('>');
        for (const QString& end : ends)
            if (!all.contains(end) && !all.contains(end + "*"))
                all << end;
        QVERIFY(w.own().Execute("insert into CS_LEVELHIER values (" + q(in) + ", " + q(kLevel) + ", " +
                                q(at(ends[0]).level) + ", " + q(at(ends[0]).Code) + ", " +
                                q(at(ends[1]).level) + ", " + q(at(ends[1]).Code) + ")"));
    }
    for (QString row : all) {
        const bool held = row.endsWith('*');
        const QStringList f = row.remove('*').replace('-', ' ').split(QRegularExpression("[:=]"));
        const QString from = held ? kFrom : f.value(2, " "), to = held ? kTo : f.value(2, " ");
        QVERIFY(w.own().Execute("insert into CS_BA_BU_LEVELS values (" + q(kLevel) + ", " + q(f[0]) + ", " +
                                q(f[1]) + ", " + q(from) + ", " + q(to) + ")"));
    }
}

// The business level's rows "level|code|from" (a blank shows as "-").
QString state(Warehouse& w) {
    return w
        .rows("select SO_LEVELS, SO_CODE, SO_FR_CD from CS_BA_BU_LEVELS where SO_AREA = " + q(kLevel) +
              " order by SO_LEVELS, SO_CODE, SO_FR_CD")
        .join(',')
        .replace(" ", "-");
}

// Every other row the engine might reach by mistake.
QString others(Warehouse& w) {
    return (w.rows("select * from CS_BA_BU_LEVELS where SO_AREA <> " + q(kLevel)) +
            w.rows("select * from CS_COA_ACCT_RANGE") + w.rows("select * from CS_MULTIPLIER_RANGE") +
            w.rows("select * from CS_CAT_TYPE") + w.rows("select * from CS_LEVELHIER"))
        .join(',');
}

// Shows every row of the business level in the tree.
void showAll(Warehouse& w, RangeEditorState& st) {
    for (const QString& row :
         w.rows("select SO_LEVELS, SO_CODE, SO_FR_CD, SO_TO_CD from CS_BA_BU_LEVELS where SO_AREA = " +
                q(kLevel))) {
        QStringList f = row.split('|');
        for (QString& part : f)
            part = part.trimmed();
        st.AddPath({kLevel, f[0], f[1], f[2], f[3]});
    }
}

QString treeOf(RangeEditorState& st) {
    QStringList keys;
    for (const TreeNode* node : st.Tree()->Nodes())
        keys << node->Key();
    keys.sort();
    return keys.join(',') + "#" + (st.Tree()->SelectedItem() ? st.Tree()->SelectedItem()->Key() : QString());
}

struct Case {
    const char *name, *action, *hier, *rows, *after, *message;
    bool answer;
} const kCases[] = {
    {"business level", "new0 B'U", "", "", "-|-|-", "", true},
    {"level fills the placeholder", "new1 L5", "", "-:-", "L5|-|-", "", true},
    {"second level", "new1 L5", "", "L4:-", "L4|-|-,L5|-|-", "", true},
    {"code fills the placeholder", "new2 C'--", "", "L4:-", "L4|C'--|-", "", true},
    {"second code", "new2 C%", "", "L4:X", "L4|C%|-,L4|X|-", "", true},
    {"second range", "new3", "", "L4:X=0", "L4|X|0,L4|X|1'0", "", true},
    {"duplicate business level", "new0 B'U", "", "L5:-", "",
     "Business Level already exists|Duplicate Business Level", false},
    {"duplicate level", "new1 L4", "", "L4:-", "",
     "This Level already exists within current Business Level|Duplicate Level", false},
    {"duplicate code", "new2 X", "", "L4:X", "", "Code already exists within current Level|Duplicate Code",
     false},
    {"duplicate range", "new3", "", "L4:X*", "",
     "Business Level Range already exists within current Code|Duplicate Range", false},
    {"added: chain, not the other area", "new3", "L3:P>L4:X L2:G>L3:P ~L3:Z>L4:X", "",
     "L2|G|1'0,L3|P|1'0,L3|Z|-,L4|X|1'0", "", true},
    {"added: diamond", "new3", "L3:P>L4:X L3:Q>L4:X L2:G>L3:P L2:G>L3:Q", "",
     "L2|G|1'0,L3|P|1'0,L3|Q|1'0,L4|X|1'0", "", true},
    {"added: cycle", "new3", "L3:P>L4:X L2:G>L3:P L3:P>L2:G", "", "L2|G|1'0,L3|P|1'0,L4|X|1'0", "", true},
    {"deleted: placeholders back", "delete", "L3:P>L4:X L2:G>L3:P", "L4:X* L3:P* L2:G*",
     "L2|G|-,L3|P|-,L4|X|-", "", true},
    {"deleted: a sibling still feeds", "delete", "L3:P>L4:X L3:P>L4:Y L2:G>L3:P", "L4:X* L4:Y* L3:P* L2:G*",
     "L2|G|1'0,L3|P|1'0,L4|X|-,L4|Y|1'0", "", true},
    {"deleted: cycle feeds itself", "delete", "L3:P>L4:X L2:G>L3:P L3:P>L2:G", "L4:X* L3:P* L2:G*",
     "L2|G|1'0,L3|P|1'0,L4|X|-", "", true},
    {"code delete not propagated", "code", "L3:P>L4:X", "L4:X* L3:P*", "L3|P|1'0,L4|-|-", "", true},
    {"range already gone", "delete", "L3:P>L4:X", "L3:P*", "", "", false},
    {"drag with its propagation", "drag", "L3:P>L4:Y L3:Q>L4:X", "L4:X* L3:Q*",
     "L3|P|1'0,L3|Q|1'0,L4|X|1'0,L4|Y|1'0", "", true},
    {"drag onto the range", "drag", "L3:P>L4:Y", "L4:X* L4:Y* L3:P*", "",
     "Business Level Range already exists within current Code|Duplicate Range", false},
    {"link added by hand", "sync", "L3:P>L4:X", "L4:X*", "L3|P|1'0,L4|X|1'0", "", true},
};

// Runs the case's action on code X (the drag: X's range onto Y).
bool act(Warehouse& w, clsBuLevelRangeMaint& e, RangeEditorState& st, const QString& action) {
    if (action.startsWith("new")) { // the child of the selected node on the way to X
        const int t = action.mid(3, 1).toInt();
        const RangeKeyParts x = at("L4:X");
        st.trvMaintenance_NodeClick(t == 0 ? st.EnsureRoot()
                                           : st.AddPath({x.COA, t > 1 ? x.level : "", t > 2 ? x.Code : ""}));
        const QString value = action.section(' ', 1);
        st.entry = {value, value, value, kFrom, kTo};
        st.newRecord = true;
        return e.Save();
    }
    if (action == "drag")
        return e.CopyDraggedRangOfAccount(st.AddPath(at("L4:X", true)), st.AddPath(at("L4:Y")));
    if (action == "sync") { // the second run adds nothing
        const bool first = e.CopiedUpRangeOfAccountHier(st.LevelType(), kLevel, "L4", "X", kFrom, kTo);
        const QString once = state(w);
        return first && e.CopiedUpRangeOfAccountHier(st.LevelType(), kLevel, "L4", "X", kFrom, kTo) &&
               state(w) == once;
    }
    st.trvMaintenance_NodeClick(st.AddPath(at("L4:X", action != "code")));
    return e.Delete();
}

// The case's warehouse and a windowless editor showing it, with its engine.
struct Editor {
    RangeEditorState st;
    clsBuLevelRangeMaint e;
    Editor(Warehouse& w, int type, const Case& r) : st(type) {
        e.OwnerForm(&st);
        build(w, st.LevelType(), r.hier, r.rows);
        showAll(w, st);
    }
};

// A row per backend, area and named case.
void addRows(const QStringList& names) {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    for (const QString& b : Warehouse::backends())
        for (int type : {4, 5})
            for (const Case& c : kCases)
                if (names.isEmpty() || names.contains(c.name))
                    Warehouse::newRow(b, (type == 4 ? "BU: " : "BA: ") + QString(c.name))
                        << type << int(&c - kCases);
}

} // namespace

class tst_clsBuLevelRangeMaint : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void saveDeleteDragAndPropagation_data() { addRows({}); }
    void saveDeleteDragAndPropagation();
    void allOrNothing_data() {
        addRows({"added: chain, not the other area", "deleted: a sibling still feeds",
                 "drag with its propagation"});
    }
    void allOrNothing();
    void editorRefusesAnotherBusinessLevel_data();
    void editorRefusesAnotherBusinessLevel();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_clsBuLevelRangeMaint::saveDeleteDragAndPropagation() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(int, row);
    const Case& r = kCases[row];
    Editor ed(w, type, r);
    RangeEditorState& st = ed.st;
    const QString before = state(w), rest = others(w), action = r.action;
    QCOMPARE(act(w, ed.e, st, action), r.answer);
    QCOMPARE(state(w), r.answer ? QString(r.after) : before);
    QCOMPARE(others(w), rest);
    QStringList shown;
    for (const auto& m : m_env->ui.messages)
        shown << m.prompt + "|" + m.title;
    QCOMPARE(shown.join(','), QString(r.message));
    if (action.startsWith("new")) { // a refused insert stays pending; a saved one selects its node
        QCOMPARE(st.newRecord, !r.answer);
        const TreeNode* added = st.Tree()->SelectedItem();
        const QString t = QString::number(action.mid(3, 1).toInt() + 1);
        if (r.answer) // a new business level is described by its editor's type
            QCOMPARE(added->Tag() + "," + QString::number(st.NodeType()) + "," +
                         added->Text().section(':', 1),
                     t + "," + t + "," +
                         (t != "1"    ? ""
                          : type == 4 ? "Business Unit"
                                      : "Business Area"));
    }
    // A range node wherever a shown code holds the range.
    for (const char* code : {"L4:X", "L4:Y", "L3:P", "L3:Q", "L2:G"})
        if (r.answer && st.Tree()->Node(clsGenericMaint::BuildLevelKey(st.root, kLevel, at(code).level,
                                                                       at(code).Code, {}, {})))
            QCOMPARE(bool(st.Tree()->Node(clsGenericMaint::BuildLevelKey(st.root, kLevel, at(code).level,
                                                                         at(code).Code, kFrom, kTo))),
                     state(w).contains(QString(code).replace(':', '|') + "|1'0"));
}

void tst_clsBuLevelRangeMaint::allOrNothing() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(int, row);
    const Case& r = kCases[row];
    Editor ed(w, type, r);
    RangeEditorState& st = ed.st;
    DbConnection& db = gDBConnection->adoConnection();
    int k = 1;
    for (;; ++k) {
        QVERIFY(k < 200);
        const QString before = state(w);
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        const QString tree = treeOf(st);
        db.FailNthStatement(k, {-7, "statement k fails", "test"});
        if (act(w, ed.e, st, r.action))
            break;
        db.ClearInjectedFailures();
        QCOMPARE(state(w), before);
        st.trvMaintenance_NodeClick(st.EnsureRoot());
        QCOMPARE(treeOf(st), tree);
    }
    db.ClearInjectedFailures();
    QVERIFY(k > 4);
    QCOMPARE(state(w), QString(r.after)); // the last run went through
}

void tst_clsBuLevelRangeMaint::editorRefusesAnotherBusinessLevel_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("own"); // its own area's, stored already: the engine's duplicate
    for (const QString& b : Warehouse::backends())
        for (int type : {4, 5})
            for (bool own : {false, true})
                Warehouse::newRow(b, QString("%1 %2").arg(type).arg(own ? "own" : "another")) << type << own;
}

void tst_clsBuLevelRangeMaint::editorRefusesAnotherBusinessLevel() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(bool, own);
    Main();
    gMainForm->Command(type == 4 ? "mnuBURangeMaint" : "mnuBARangeMaint")->trigger();
    auto* f = qobject_cast<frmRangeMaintenance*>(gMainForm->ChildWindows().last()->widget());
    const QString before = w.snapshot();
    f->trvMaintenance_NodeClick(f->trvMaintenance->Nodes().front());
    f->Insert();
    f->txtChartOfAccount[1]->setText(own ? f->LevelType() : "B'U");
    f->Save();
    QCOMPARE(w.snapshot(), before);
    QVERIFY(!m_env->ui.messages.isEmpty());
    QCOMPARE(m_env->ui.messages[0].prompt + "|" + m_env->ui.messages[0].title,
             own ? QString("Business Level already exists|Duplicate Business Level")
                 : "Business Level must be " + f->LevelType() + "|Error");
    QVERIFY(f->NewRecord);
}

QTEST_MAIN(tst_clsBuLevelRangeMaint)
#include "tst_clsBuLevelRangeMaint.moc"
