#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "support/RangeEngineRuns.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>

namespace {

// The chart holds an apostrophe and "%"; so do holders and bounds: all are stored as typed.
const QString kChart = "T'%";

using RangeEngineRuns::sqlText;

QString table(int type) {
    return type == 1 ? "CS_MULTIPLIER_RANGE" : "CS_CAT_TYPE";
}

// "holder:from:to" ("-": a blank) as the tree path of that row.
RangeKeyParts path(const QString& row) {
    const QStringList f = QString(row).replace('-', QString()).split(':');
    return {kChart, {}, f[0], f.value(1), f.value(2)};
}

// The chart's rows as "holder|from|to", sorted; a blank shows as "-".
QString state(Warehouse& w, int type) {
    QStringList rows = w.rows("select * from " + table(type) + " where " + (type == 1 ? "MUL" : "CAT") +
                              "_COA = " + sqlText(kChart));
    for (QString& row : rows)
        row = row.section('|', 1).replace(' ', '-');
    rows.sort();
    return rows.join(',');
}

// The rows the tree shows, in the same form: a node without children stands for a row of its own.
QString treeRows(RangeEditorState& st) {
    QStringList rows;
    const auto part = [](const QString& v) { return v.isEmpty() ? QString("-") : v; };
    for (const TreeNode* n : st.Tree()->Nodes())
        if (n->ChildCount() == 0 && n->Kind() != NodeKind::Root)
            rows << part(n->Info().code) + "|" + part(n->Info().fromAccount) + "|" +
                        part(n->Info().toAccount);
    rows.sort();
    return rows.join(',');
}

// `message`: the refusal told ("L": the column of that number refusing a value too long); `answer`: "1" done,
// "0" refused, "M" done by the multiplier's engine only, "L" refused as too long.
struct Edit {
    const char *name, *action, *rows, *value, *after, *message, *answer;
} const kEdits[] = {
    {"save chart", "save0", "", "T'%", "-|-|-", "", "1"},
    {"save holder into the chart's placeholder", "save1", "-:-:-", "H'1", "H'1|-|-", "", "1"},
    {"save second holder", "save1", "H1:-:-", "H'1", "H'1|-|-,H1|-|-", "", "1"},
    {"save range into the holder's placeholder", "save3", "H1:-:-", "1'0:1%9", "H1|1'0|1%9", "", "1"},
    {"save overlapping range", "save3", "H1:1'0:1%9", "1'0:1%8", "H1|1'0|1%8,H1|1'0|1%9", "", "1"},
    {"duplicate chart", "save0", "-:-:-", "T'%", "", "chart", "0"},
    {"hidden D rows make the chart a duplicate", "save0", "DSIGN:5:6", "T'%", "", "chart", "0"},
    {"duplicate holder", "save1", "H1:-:-", "H1", "", "holder", "0"},
    {"duplicate range", "save3", "H1:1'0:1%9", "1'0:1%9", "", "range", "0"},
    {"nothing to add under a range", "save4", "H1:a:b", "a:b", "H1|a|b", "", "M"},
    {"delete chart with its D rows", "del1", "H1:a:b DSIGN:5:6 H2:-:-", "", "", "", "1"},
    {"delete holder", "del3", "H1:a:b H1:c:d H2:-:-", "", "H2|-|-", "", "1"},
    {"delete last holder: chart placeholder back", "del3", "H1:a:b", "", "-|-|-", "", "1"},
    {"delete range", "del4", "H1:a:b H1:c:d", "a:b", "H1|c|d", "", "1"},
    {"delete range, another with the same From stays", "del4", "H1:a:b H1:a:c", "a:b", "H1|a|c", "", "1"},
    {"delete last range: holder placeholder back", "del4", "H1:a:b H2:-:-", "a:b", "H1|-|-,H2|-|-", "", "1"},
    {"delete a range no longer there", "del4", "H1:-:- ~H1:a:b", "a:b", "", "changed", "0"},
    {"delete right after a save removes just the new range", "undo3", "H1:a:b", "c:d", "H1|a|b", "", "1"},
    {"drag onto a placeholder", "drag", "H1:a:b H2:-:-", "a:b", "H1|a|b,H2|a|b", "", "1"},
    {"drag onto a holder with ranges", "drag", "H1:a:b H2:c:d", "a:b", "H1|a|b,H2|a|b,H2|c|d", "", "1"},
    {"drag onto the range", "drag", "H1:a:b H2:a:b", "a:b", "", "range", "0"},
    // Values no box would let through, handed to the engine without its editor: refused by name ("L").
    {"chart longer than its column", "save0", "", "T234567890X", "", "0", "L"},
    {"holder longer than its column", "save1", "-:-:-", "H234567890X", "", "1", "L"},
};

// The world of a row: the chart's rows in the table and in the tree ("~": in the tree only).
void seed(Warehouse& w, RangeEditorState& st, int type, const QString& rows) {
    st.EnsureRoot();
    for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
        const QStringList f = QString(row).remove('~').replace('-', ' ').split(':');
        st.AddPath(path(QString(row).remove('~')));
        if (!row.startsWith('~'))
            QVERIFY(w.own().Execute("insert into " + table(type) + " values (" + sqlText(kChart) + ", " +
                                    sqlText(f[0]) + ", " + sqlText(f[1]) + ", " + sqlText(f[2]) + ")"));
    }
}

// Saves `value` under the node of type N (saveN), deletes the node of type N (delN) or drags H1's range
// onto H2.
bool act(HolderRangeEngine& e, RangeEditorState& st, const QString& action, const QString& value) {
    const QStringList v = value.split(':');
    if (action == "drag")
        return e.CopyDraggedRangOfAccount(st.AddPath(path("H1:" + value)), st.AddPath(path("H2")));
    const int t = action.right(1).toInt();
    const QString node = QStringList{"", "", "", "H1", "H1:" + value}[t]; // the chart, a holder or a range
    st.trvMaintenance_NodeClick(t == 0 ? st.EnsureRoot() : st.AddPath(path(node)));
    if (action.startsWith("del"))
        return e.Delete();
    st.entry = {value, {}, value, v[0], v.value(1)};
    st.newRecord = true;
    // undoN: the Save then a Delete of whatever it left selected (only the Save may fail).
    const bool saved = e.Save();
    if (!saved || !action.startsWith("undo"))
        return saved;
    gDBConnection->adoConnection().ClearInjectedFailures();
    return e.Delete();
}

} // namespace

class tst_MultiplierCategoryEngines : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void edits_data();
    void edits();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_MultiplierCategoryEngines::edits_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    for (const QString& b : Warehouse::backends())
        for (int type : {1, 2})
            for (int r = 0; r < int(std::size(kEdits)); ++r)
                Warehouse::newRow(b, QString(type == 1 ? "multiplier: " : "category: ") + kEdits[r].name)
                    << type << r;
}

void tst_MultiplierCategoryEngines::edits() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(int, row);
    const Edit& r = kEdits[row];
    const QString action = r.action;
    RangeEditorState st(type);
    clsAcMultiplierRangeMaint multiplier;
    clsAcCategoriesRangeMaint category;
    HolderRangeEngine& e = type == 1 ? static_cast<HolderRangeEngine&>(multiplier) : category;
    e.OwnerForm(&st);
    seed(w, st, type, r.rows);
    const bool expected = QString(r.answer) == "1" || (QString(r.answer) == "M" && type == 1);
    const auto run = [&] { return act(e, st, action, r.value); };
    int k = 0;
    if (expected) // each failure is logged under the engine
        RangeEngineRuns::failEachStatement(
            st, *m_env, [&] { return state(w, type); }, run, k,
            [&] {
                QVERIFY(m_env->logText().contains(type == 1 ? "clsAcMultiplierRangeMaint:"
                                                            : "clsAcCategoriesRangeMaint:"));
            });
    else {
        const QString before = w.snapshot();
        QVERIFY(!run());
        QCOMPARE(w.snapshot(), before);
    }
    QVERIFY(k > 1 || !expected || action == "save4");
    QCOMPARE(m_env->ui.messages.size(),
             QString(r.message).isEmpty() ? 0 : 1); // a duplicate told after the rollback
    QVERIFY(m_env->ui.messages.isEmpty() || !m_env->ui.inTransaction.last());
    const bool tooLong = QString(r.answer) == "L";
    if (tooLong) {
        const QString column =
            QStringList{type == 1 ? "MUL_COA" : "CAT_COA", type == 1 ? "MUL_CODE" : "CAT_TYP_CD"}.at(
                QString(r.message).toInt());
        QCOMPARE(m_env->ui.messages[0].prompt,
                 QString("\"%1\" is longer than the 10 characters that %2 of %3 holds; nothing was written.")
                     .arg(r.value, column, table(type)));
    }
    if (action.startsWith("save"))
        QCOMPARE(st.newRecord, !expected && !tooLong);
    if (!expected)
        return;
    QCOMPARE(state(w, type), QString(r.after));
    QCOMPARE(treeRows(st), state(w, type));
    const int t = action.right(1).toInt();
    if (action.startsWith("save"))
        QCOMPARE(st.NodeType(), t == 0 ? 1 : t == 1 ? 3 : 4);
    if (action == "drag")
        QVERIFY(st.Tree()->SelectedItem()->Info().code == "H2" && st.Tree()->SelectedItem()->Expanded());
    // Delete is offered again after a holder or range went, not after a whole chart.
    if (action.startsWith("del"))
        QCOMPARE(st.deleteEnabled, action != "del1");
}

QTEST_MAIN(tst_MultiplierCategoryEngines)
#include "tst_MultiplierCategoryEngines.moc"
