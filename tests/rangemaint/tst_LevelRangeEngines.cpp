#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "platform/TransactionGuard.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "rangemaint/clsBuLevelRangeMaint.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/RangeEngineRuns.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QTest>
#include <array>

using RangeEngineRuns::sqlText;

namespace {

// Charts, business levels, codes and bounds hold an apostrophe, "%" and "--": all are stored as typed.
const QString kFrom = "1'0", kTo = "1%9--";

// Each level engine's world: type 3 the account levels, 4 and 5 the business units and areas.
struct World {
    int type;
    QString top, table, area, other, otherTop;
    World(int t)
        : type(t), top(t == 3 ? "T'%" : "B'U"), table(t == 3 ? "CS_COA_ACCT_RANGE" : "CS_BA_BU_LEVELS"),
          area(QStringList{"AC", "BU", "BA"}[t - 3]), other(t == 4 ? "BA" : "BU"),
          otherTop(t == 3 ? "Z'%" : "Z'U") {}
    QString col(int c) const {
        return (type == 3 ? QStringList{"CO_COA", "CO_LEVEL", "CO_CODE", "CO_FR_ACCT", "CO_TO_ACCT"}
                          : QStringList{"SO_AREA", "SO_LEVELS", "SO_CODE", "SO_FR_CD", "SO_TO_CD"})[c];
    }
    // The top's codes holding exactly the range kFrom - kTo, "level|code".
    QStringList holding(Warehouse& w) const {
        return w.rows("select " + col(1) + ", " + col(2) + " from " + table + " where " + col(0) + " = " +
                      sqlText(top) + " and " + col(3) + " = " + sqlText(kFrom) + " and " + col(4) + " = " +
                      sqlText(kTo));
    }
    RangeKeyParts at(const QString& code, bool range = false) const {
        const QStringList lc = code.split(':');
        return {top, lc[0], lc[1], range ? kFrom : QString(), range ? kTo : QString()};
    }
    void insert(const QString& table, const QStringList& values, Warehouse& w) const {
        QStringList quoted;
        for (const QString& v : values)
            quoted << sqlText(v);
        QVERIFY(w.own().Execute("insert into " + table + " values (" + quoted.join(", ") + ")"));
    }

    // `hier` "L3:P>L4:X ..." (parent > child; "~" in the other area, "^" of another chart or business level
    // with the same codes; "-" a blank, "+" a blank in the hierarchy only), `holders` "M1>L3:P K1>L4:X ..."
    // (multiplier M.., category K..: account levels only; "^" of another chart; "+" a blank, in the
    // hierarchy and the holder's range rows) and `held` "L4:X" (holding the range), "L4:X=0" (the range 0 -
    // 0), "L4:-=-" (a placeholder), "^L4:X" (holding the range under another chart); every other code and
    // holder has its placeholder.
    void build(Warehouse& w, const QString& hier, const QString& holders, const QString& held) const {
        QStringList codes, owners, rows = held.split(' ', Qt::SkipEmptyParts);
        for (QString pair : hier.split(' ', Qt::SkipEmptyParts)) {
            const QString in = pair.startsWith('~') ? other : area;
            const QString chart = pair.startsWith('^') ? otherTop : top;
            QStringList ends = pair.remove('~').remove('^').replace('-', ' ').split('>');
            codes << QStringList(ends).replaceInStrings("+", "");
            ends.replaceInStrings("+", " ");
            insert("CS_LEVELHIER", QStringList{in, chart} + ends[0].split(':') + ends[1].split(':'), w);
        }
        for (QString pair : holders.split(' ', Qt::SkipEmptyParts)) {
            const QString chart = pair.startsWith('^') ? otherTop : top;
            const QStringList ends = pair.remove('^').split('>');
            if (type != 3)
                continue;
            codes << ends[1];
            owners << ends[0];
            insert(ends[0].startsWith('M') ? "CS_MULTIPLIERHIER" : "CS_CATEGORYHIER",
                   QStringList{area, chart, QString(ends[0]).replace('+', ' ')} + ends[1].split(':'), w);
        }
        codes.removeDuplicates();
        owners.removeDuplicates();
        for (const QString& code : codes + owners)
            if (!rows.contains(code) && !rows.join(' ').contains(code + "="))
                rows << code + "=-";
        for (QString row : rows) {
            const QString chart = row.startsWith('^') ? otherTop : top;
            const QStringList f = row.remove('^').replace('-', ' ').replace('+', ' ').split('=');
            const QString from = f.size() > 1 ? f[1] : kFrom, to = f.size() > 1 ? f[1] : kTo;
            if (!f[0].contains(':')) { // a holder: of the account levels only
                if (type == 3)
                    insert(f[0].startsWith('M') ? "CS_MULTIPLIER_RANGE" : "CS_CAT_TYPE",
                           {chart, f[0], from, to}, w);
            } else
                insert(table, QStringList{chart} + f[0].split(':') + QStringList{from, to}, w);
        }
    }

    // The top's rows "level|code|from", then "holder|from" of multipliers and categories ("-": blank).
    QString state(Warehouse& w) const {
        QStringList rows = w.rows("select " + col(1) + ", " + col(2) + ", " + col(3) + " from " + table +
                                  " where " + col(0) + " = " + sqlText(top) + " order by 1, 2, 3");
        rows << w.rows("select MUL_CODE, MUL_FR_ACCT from CS_MULTIPLIER_RANGE where MUL_COA = " +
                       sqlText(top) + " order by 1, 2");
        rows << w.rows("select CAT_TYP_CD, CAT_FR_ACCT from CS_CAT_TYPE where CAT_COA = " + sqlText(top) +
                       " order by 1, 2");
        return rows.join(',').replace(' ', '-');
    }
    // Everything else the engine might reach by mistake.
    QString others(Warehouse& w) const {
        return (w.rows("select * from " + table + " where " + col(0) + " <> " + sqlText(top)) +
                w.rows("select * from " + QString(type == 3 ? "CS_BA_BU_LEVELS" : "CS_COA_ACCT_RANGE")) +
                w.rows("select * from CS_LEVELHIER"))
            .join(',');
    }
    // Shows every code of the top (but those in `hidden`) with the ranges it holds.
    void showAll(Warehouse& w, RangeEditorState& st, const QString& hidden) const {
        for (const QString& row :
             w.rows("select * from " + table + " where " + col(0) + " = " + sqlText(top))) {
            const QStringList f = row.split('|');
            if (f[2] != " " && !hidden.contains(f[1] + ":" + f[2]))
                st.AddPath({top, f[1], f[2], f[3].trimmed(), f[4].trimmed()});
        }
    }
};

// The answer: '1' it goes through, 'd' refused as a duplicate, '0' as the warehouse changed meanwhile, 'l' as
// longer than its column.
struct Case {
    const char *name, *action, *hier, *holders, *held, *after;
    char answer;
} const kCases[] = {
    {"new top", "new0", "", "", "", "-|-|-", '1'},
    {"level fills the top's placeholder", "new1 L5", "", "", "-:-=-", "L5|-|-", '1'},
    {"second level", "new1 L5", "", "", "L4:-=-", "L4|-|-,L5|-|-", '1'},
    // Characters beyond the basic plane, two units each: 11 units, 6 characters, and the column holds 10.
    {"level of characters beyond the basic plane", "new1 L\U0001D7D9\U0001D7D9\U0001D7D9\U0001D7D9\U0001D7D9",
     "", "", "-:-=-", "L\U0001D7D9\U0001D7D9\U0001D7D9\U0001D7D9\U0001D7D9|-|-", '1'},
    {"code fills the level's placeholder", "new2 C'--", "", "", "L4:-=-", "L4|C'--|-", '1'},
    {"second code", "new2 C%", "", "", "L4:X=-", "L4|C%|-,L4|X|-", '1'},
    {"range fills the code's placeholder", "new3", "", "", "L4:X=-", "L4|X|1'0", '1'},
    {"second range", "new3", "", "", "L4:X=0", "L4|X|0,L4|X|1'0", '1'},
    {"duplicate top", "new0", "", "", "-:-=-", "", 'd'},
    {"duplicate level", "new1 L4", "", "", "L4:-=-", "", 'd'},
    {"duplicate code", "new2 X", "", "", "L4:X=-", "", 'd'},
    {"duplicate range", "new3", "", "", "L4:X", "", 'd'},
    // Values no box would let through, handed to the engine without its editor.
    {"top longer than its column", "new0 T234567890X", "", "", "", "", 'l'},
    {"level longer than its column", "new1 L234567890X", "", "", "-:-=-", "", 'l'},
    {"code longer than its column", "new2 C2345678901234567890X", "", "", "L4:-=-", "", 'l'},
    {"added: chain with holders, not the other area", "new3", "L3:P>L4:X L2:G>L3:P ~L3:Z>L4:X",
     "M1>L3:P K1>L4:X M2>L2:G", "", "L2|G|1'0,L3|P|1'0,L3|Z|-,L4|X|1'0,M1|1'0,M2|1'0,K1|1'0", '1'},
    {"added: ancestor already holds it", "new3", "L3:P>L4:X L2:G>L3:P", "M1>L3:P M2>L2:G", "L3:P",
     "L2|G|1'0,L3|P|1'0,L4|X|1'0,M1|-,M2|1'0", '1'},
    {"added: diamond", "new3", "L3:P>L4:X L3:Q>L4:X L2:G>L3:P L2:G>L3:Q", "M1>L2:G", "",
     "L2|G|1'0,L3|P|1'0,L3|Q|1'0,L4|X|1'0,M1|1'0", '1'},
    {"added: cycle", "new3", "L3:P>L4:X L2:G>L3:P L3:P>L2:G", "", "", "L2|G|1'0,L3|P|1'0,L4|X|1'0", '1'},
    {"added: holder already holds it", "new3", "", "M1>L4:X K1>L4:X", "M1 K1", "L4|X|1'0,M1|1'0,K1|1'0", '1'},
    {"added: another chart's hierarchy and holders stay out", "new3", "^L3:P>L4:X", "^M1>L4:X ^K1>L3:P", "",
     "L3|P|-,L4|X|1'0,M1|-,K1|-", '1'},
    // Ancestors another program stored padded: addressed as stored, whether the range table pads them as
    // the hierarchy does or not.
    {"added: ancestors padded", "new3", "L3:P>L4:X L2:G->L3:P L1:T+>L2:G-", "", "",
     "L1|T|1'0,L2|G-|1'0,L3|P|1'0,L4|X|1'0", '1'},
    {"added: filtered tree", "new3", "L3:P>L4:X L2:G>L3:P", "", "", "L2|G|1'0,L3|P|1'0,L4|X|1'0", '1'},
    // A holder another program stored padded gets the range under its name as stored, and a later delete
    // finds it there.
    {"added: holders stored padded", "new3", "", "M1+>L4:X K1+>L4:X", "", "L4|X|1'0,M1-|1'0,K1-|1'0", '1'},
    {"added and deleted again: holders stored padded", "readd", "L3:P>L4:X", "M1+>L3:P K1+>L4:X", "",
     "L3|P|-,L4|X|-,M1-|-,K1-|-", '1'},
    {"deleted: chain, placeholders back", "delete", "L3:P>L4:X L2:G>L3:P ~L3:Z>L4:X", "M1>L3:P K1>L4:X",
     "L4:X L3:P L3:Z L2:G M1 K1", "L2|G|-,L3|P|-,L3|Z|1'0,L4|X|-,M1|-,K1|-", '1'},
    {"deleted: a sibling still feeds the ancestor", "delete", "L3:P>L4:X L3:P>L4:Y L2:G>L3:P",
     "M1>L3:P K1>L4:X", "L4:X L4:Y L3:P L2:G M1 K1", "L2|G|1'0,L3|P|1'0,L4|X|-,L4|Y|1'0,M1|1'0,K1|-", '1'},
    {"deleted: ancestors padded", "delete", "L3:P>L4:X L2:G->L3:P L1:T+>L2:G-", "", "L4:X L3:P L2:G- L1:T",
     "L1|T|-,L2|G-|-,L3|P|-,L4|X|-", '1'},
    {"deleted: diamond", "delete", "L3:P>L4:X L3:Q>L4:X L2:G>L3:P L2:G>L3:Q", "", "L4:X L3:P L3:Q L2:G",
     "L2|G|-,L3|P|-,L3|Q|-,L4|X|-", '1'},
    {"deleted: diamond's top still fed", "delete", "L3:P>L4:X L3:Q>L4:X L3:Q>L4:Y L2:G>L3:P L2:G>L3:Q", "",
     "L4:X L4:Y L3:P L3:Q L2:G", "L2|G|1'0,L3|P|-,L3|Q|1'0,L4|X|-,L4|Y|1'0", '1'},
    {"deleted: a blank parent row is no ancestor", "delete", "-:->L4:X L3:P>L4:X L3:P>L4:Y", "",
     "L4:X L4:Y L3:P", "-|-|-,L3|P|1'0,L4|X|-,L4|Y|1'0", '1'},
    {"deleted: multiplier fed by another code", "delete", "", "M1>L4:X M1>L4:Y", "L4:X L4:Y M1",
     "L4|X|-,L4|Y|1'0,M1|1'0", '1'},
    {"deleted: another range of the code with the same From stays", "delete", "", "", "L4:X L4:X=1'0",
     "L4|X|1'0", '1'},
    {"deleted: multiplier of the code itself", "delete", "L3:P>L4:X", "M1>L4:X K1>L3:P", "L4:X L3:P M1 K1",
     "L3|P|-,L4|X|-,M1|-,K1|-", '1'},
    {"deleted: holder fed by another code's range of another To", "delete", "", "M1>L4:X M1>L4:Y",
     "L4:X L4:Y=1'0 M1", "L4|X|-,L4|Y|1'0,M1|-", '1'},
    {"deleted: a child holding the range only under another chart feeds nothing", "delete",
     "L3:P>L4:X L3:P>L4:Y", "M1>L4:X M1>L4:Y", "L4:X L3:P M1 ^L4:Y", "L3|P|-,L4|X|-,L4|Y|-,M1|-", '1'},
    {"deleted: another chart's hierarchy and holders stay out", "delete", "^L3:Q>L4:X L3:P>L4:X ^L3:P>L4:Y",
     "^M1>L4:X K1>L4:X ^K1>L4:Y", "L4:X L4:Y L3:P L3:Q M1 K1", "L3|P|-,L3|Q|1'0,L4|X|-,L4|Y|1'0,M1|1'0,K1|-",
     '1'},
    {"deleted: cycle feeds itself", "delete", "L3:P>L4:X L2:G>L3:P L3:P>L2:G", "", "L4:X L3:P L2:G",
     "L2|G|1'0,L3|P|1'0,L4|X|-", '1'},
    {"deleted: a code is not its own feeder", "delete", "L3:P>L4:X L3:P>L3:P", "M1>L3:P", "L4:X L3:P M1",
     "L3|P|-,L4|X|-,M1|-", '1'},
    // Walked A, D, B, E: A is settled while B still holds the range, then B loses it.
    {"deleted: a cycle settles over passes", "delete",
     "L2:A>L4:X L3:D>L4:X L2:B>L3:D L2:A>L2:B L3:E>L3:D L3:D>L3:E", "M1>L2:A", "L4:X L2:A L2:B M1",
     "L2|A|-,L2|B|-,L3|D|-,L3|E|-,L4|X|-,M1|-", '1'},
    {"code delete not propagated", "code", "L3:P>L4:X", "M1>L3:P", "L4:X L3:P M1", "L3|P|1'0,L4|-|-,M1|1'0",
     '1'},
    {"chart delete not propagated", "chart", "L3:P>L4:X", "M1>L3:P", "L4:X L3:P M1", "M1|1'0", '1'},
    {"range already gone", "delete", "L3:P>L4:X", "", "L3:P", "", '0'},
    {"drag onto a placeholder", "drag", "L3:P>L4:Y L3:Q>L4:X", "M1>L3:P", "L4:X L3:Q",
     "L3|P|1'0,L3|Q|1'0,L4|X|1'0,L4|Y|1'0,M1|1'0", '1'},
    {"drag onto a code with ranges", "drag", "L3:P>L4:Y L3:Q>L4:X", "", "L4:X L3:Q L4:Y=0",
     "L3|P|1'0,L3|Q|1'0,L4|X|1'0,L4|Y|0,L4|Y|1'0", '1'},
    {"drag onto the range", "drag", "L3:P>L4:Y L3:Q>L4:X", "", "L4:X L4:Y L3:P L3:Q", "", 'd'},
    {"link added by hand, twice", "sync", "L3:P>L4:X", "", "L4:X", "L3|P|1'0,L4|X|1'0", '1'},
};

// The case's engine, on a windowless editor showing its world.
struct Editor {
    World world;
    RangeEditorState st;
    clsAcLevelRangeMaint account;
    clsBuLevelRangeMaint business;
    LevelRangeEngine& e;
    Editor(Warehouse& w, int type, const Case& c)
        : world(type), st(type), e(type == 3 ? static_cast<LevelRangeEngine&>(account) : business) {
        e.OwnerForm(&st);
        world.build(w, c.hier, c.holders, c.held);
        world.showAll(w, st, QString(c.name).contains("filtered") ? "L3:P L2:G" : "");
    }
    // Runs the case's action on code X: a save below the node of type N on the way to it, a delete of its
    // range (or of the code itself), the drag of its range onto Y, or the propagation called twice.
    bool act(Warehouse& w, const QString& action) {
        if (action.startsWith("new")) {
            const int t = action.mid(3, 1).toInt();
            const RangeKeyParts x = world.at("L4:X");
            st.trvMaintenance_NodeClick(
                t == 0 ? st.EnsureRoot() : st.AddPath({x.COA, t > 1 ? x.level : "", t > 2 ? x.Code : ""}));
            const QString value = action.contains(' ') ? action.section(' ', 1) : world.top;
            st.entry = {value, value, value, kFrom, kTo};
            st.newRecord = true;
            return e.Save();
        }
        if (action == "readd") // saved, then the new range (selected) deleted again
            return act(w, "new3") && e.Delete();
        if (action == "drag")
            return e.CopyDraggedRangOfAccount(st.AddPath(world.at("L4:X", true)),
                                              st.AddPath(world.at("L4:Y")));
        if (action == "sync") {
            const bool first = e.CopiedUpRangeOfAccountHier(world.area, world.top, "L4", "X", kFrom, kTo);
            const QString once = world.state(w);
            return first && e.CopiedUpRangeOfAccountHier(world.area, world.top, "L4", "X", kFrom, kTo) &&
                   world.state(w) == once;
        }
        st.trvMaintenance_NodeClick(action == "chart" ? st.AddPath({world.top})
                                                      : st.AddPath(world.at("L4:X", action != "code")));
        return e.Delete();
    }
};

// A row per backend, engine and named case (all of them when `names` is empty).
void addRows(const QStringList& names) {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    for (const QString& b : Warehouse::backends())
        for (int type : {3, 4, 5})
            for (const Case& c : kCases)
                if (names.isEmpty() || names.contains(c.name))
                    Warehouse::newRow(b, QStringList{"AC", "BU", "BA"}[type - 3] + ": " + c.name)
                        << type << int(&c - kCases);
}

// Without holders a business level shows no multiplier or category rows.
QString expected(const Case& c, int type) {
    QStringList rows = QString(c.after).split(',', Qt::SkipEmptyParts);
    if (type != 3)
        rows.removeIf([](const QString& r) { return r.startsWith('M') || r.startsWith('K'); });
    return rows.join(',');
}

} // namespace

class tst_LevelRangeEngines : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void saveDeleteDragAndPropagation_data() { addRows({}); }
    void saveDeleteDragAndPropagation();
    void allOrNothing_data() {
        addRows({"added: chain with holders, not the other area", "deleted: chain, placeholders back",
                 "deleted: a sibling still feeds the ancestor", "drag onto a placeholder"});
    }
    void allOrNothing();
    void removalFailureLoggedUnderItsStep_data();
    void removalFailureLoggedUnderItsStep();
    void rangeWithoutBoundsRefused_data();
    void rangeWithoutBoundsRefused();
    void synchronizeFailureLoggedUnderItsStep_data();
    void synchronizeFailureLoggedUnderItsStep();
    void editorRefusesAnotherBusinessLevel_data();
    void editorRefusesAnotherBusinessLevel();
    void drivingAnEngineWithoutTheEditor_data() { Warehouse::addBackendRows(); }
    void drivingAnEngineWithoutTheEditor();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_LevelRangeEngines::saveDeleteDragAndPropagation() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(int, row);
    const Case& c = kCases[row];
    Editor ed(w, type, c);
    RangeEditorState& st = ed.st;
    const QString before = ed.world.state(w), rest = ed.world.others(w), action = c.action;
    QCOMPARE(ed.act(w, action), c.answer == '1');
    QCOMPARE(ed.world.state(w), c.answer == '1' ? expected(c, type) : before);
    QCOMPARE(ed.world.others(w), rest);
    // A refusal is told once, after the rollback; a value too long by the value and the column's name.
    QCOMPARE(m_env->ui.messages.size(), c.answer == '1' ? 0 : 1);
    QVERIFY(c.answer == '1' || !m_env->ui.inTransaction[0]);
    if (c.answer == '0')
        QCOMPARE(m_env->ui.messages[0].prompt, WarehouseChangedText());
    const int column = action.mid(3, 1).toInt();
    if (c.answer == 'l')
        QCOMPARE(m_env->ui.messages[0].prompt,
                 QString("\"%1\" is longer than the %2 characters that %3 of %4 holds; nothing was written.")
                     .arg(action.section(' ', 1), column == 2 ? "20" : "10", ed.world.col(column),
                          ed.world.table));
    // A refused insert stays pending; a saved entry is the one the owner then acts on, New off and Delete
    // as the selection of the new node left it (this owner's selection leaves it on).
    if (action.startsWith("new")) {
        QCOMPARE(st.newRecord, c.answer == 'd');
        const int t = action.mid(3, 1).toInt();
        const RangeKeyParts k = st.StoredKeyParts();
        const QString value = t == 0 ? ed.world.top : t == 3 ? kFrom : action.section(' ', 1);
        QVERIFY(c.answer != '1' || (!st.newEnabled && st.deleteEnabled &&
                                    QStringList{k.COA, k.level, k.Code, k.FR_ACCT}[t] == value));
    }
    // Delete is offered again after a level, code or range went, not after a whole chart.
    if (action == "chart" || action == "delete")
        QCOMPARE(st.deleteEnabled, action != "chart");
    // The tree follows the table: a range node wherever a shown code holds the range.
    for (const char* code : {"L4:X", "L4:Y", "L3:P", "L3:Q", "L2:G"}) {
        const RangeKeyParts p = ed.world.at(code);
        if (c.answer == '1' &&
            st.Tree()->Node(clsGenericMaint::BuildLevelKey(st.root, p.COA, p.level, p.Code, {}, {})))
            QCOMPARE(bool(st.Tree()->Node(
                         clsGenericMaint::BuildLevelKey(st.root, p.COA, p.level, p.Code, kFrom, kTo))),
                     ed.world.holding(w).contains(p.level + "|" + p.Code));
    }
    QCOMPARE(m_env->logText().isEmpty(), c.answer == '1' || c.answer == 'd');
}

void tst_LevelRangeEngines::allOrNothing() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(int, row);
    const Case& c = kCases[row];
    Editor ed(w, type, c);
    int k = 0;
    RangeEngineRuns::failEachStatement(
        ed.st, *m_env, [&] { return ed.world.state(w); }, [&] { return ed.act(w, c.action); }, k);
    QVERIFY(k > 4);
    QCOMPARE(ed.world.state(w), expected(c, type)); // no failure was passed over on the way
}

// A failure while a deleted range leaves the hierarchy is logged once, under the step it arose in: the walk,
// an ancestor code, the multipliers or the categories; the tables stay as they were.
void tst_LevelRangeEngines::removalFailureLoggedUnderItsStep_data() {
    Warehouse::addColumns<QString>("failing");
    QTest::addColumn<QString>("procedure");
    const auto row = [](const char* name, const char* failing, const char* procedure) {
        Warehouse::addRows(name, QString(failing), QString(procedure));
    };
    row("walk", "CS_PARENTCODE from CS_LEVELHIER", "DeletedUpRangeOfAccountHier");
    row("ancestor", "CO_LEVEL = 'L3'", "CopyDelRangeOfAccountHier");
    row("multiplier look-up", " from CS_MULTIPLIERHIER X where", "DeletedUpRangeOfAccountMultiHier");
    row("multiplier placeholders", "Insert into CS_MULTIPLIER_RANGE", "DeletedUpRangeOfAccountMultiHier");
    row("multiplier delete", "Delete From CS_MULTIPLIER_RANGE", "DeletedUpRangeOfAccountMultiHier");
    row("category look-up", " from CS_CATEGORYHIER X where", "DeletedUpRangeOfAccountCategoryHier");
    row("category placeholders", "Insert into CS_CAT_TYPE", "DeletedUpRangeOfAccountCategoryHier");
    row("category delete", "Delete From CS_CAT_TYPE", "DeletedUpRangeOfAccountCategoryHier");
}

void tst_LevelRangeEngines::removalFailureLoggedUnderItsStep() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, failing);
    QFETCH(QString, procedure);
    const Case c{"", "delete", "L3:P>L4:X", "M1>L3:P K1>L3:P", "L4:X L3:P M1 K1", "", '1'};
    Editor ed(w, 3, c);
    const QString before = ed.world.state(w);
    gDBConnection->adoConnection().FailStatementContaining(failing, {-7, "statement fails", "test"});
    QVERIFY(!ed.act(w, c.action));
    gDBConnection->adoConnection().ClearInjectedFailures();
    QCOMPARE(ed.world.state(w), before);
    const QString log = m_env->logText().trimmed();
    QVERIFY2(log.count("Error #") == 1 && log.endsWith(") in clsAcLevelRangeMaint:" + procedure),
             qPrintable(log));
}

// A range node without either bound (another program's row with an empty or NULL From and To), handed to an
// engine driven without its editor: its delete would take every range of the code, so it is refused with the
// reason, and nothing is deleted. Each engine, on each range table.
void tst_LevelRangeEngines::rangeWithoutBoundsRefused_data() {
    Warehouse::addColumns<int>("type");
    for (int type = 1; type <= 5; ++type)
        Warehouse::addRows(QString("type %1").arg(type), type);
}

void tst_LevelRangeEngines::rangeWithoutBoundsRefused() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    const bool holder = type <= 2;
    const QString table = QStringList{"CS_MULTIPLIER_RANGE", "CS_CAT_TYPE", "CS_COA_ACCT_RANGE",
                                      "CS_BA_BU_LEVELS", "CS_BA_BU_LEVELS"}[type - 1];
    const QString top = type <= 3 ? "T'%" : World(type).area;
    const QString lead = sqlText(top) + (holder ? ", 'H''1'" : ", 'L''1', 'X''1'");
    for (const char* bounds : {"'1''0', '1%9'", "'2', '3'", "'', NULL"})
        QVERIFY(w.own().Execute("insert into " + table + " values (" + lead + ", " + bounds + ")"));
    RangeEditorState st(static_cast<qint16>(type));
    clsAcMultiplierRangeMaint multipliers;
    clsAcCategoriesRangeMaint categories;
    clsAcLevelRangeMaint accounts;
    clsBuLevelRangeMaint business;
    RangeEngine& engine =
        *std::array<RangeEngine*, 5>{&multipliers, &categories, &accounts, &business, &business}[type - 1];
    engine.OwnerForm(&st);
    const RangeKeyParts range =
        holder ? RangeKeyParts{top, {}, "H'1", {}, {}} : RangeKeyParts{top, "L'1", "X'1"};
    st.trvMaintenance_NodeClick(st.AddPath(range));
    st.nodeType = 4;
    st.keys = st.stored = range;
    const QString before = w.snapshot();
    QVERIFY(!engine.Delete());
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(m_env->prompts(), QStringList{"The range has neither a From nor a To value, so its delete would "
                                           "take every range of the code."});
}

// A failure while the ranges of a level or a code go up the hierarchy again is logged once, under the
// step it arose in: the walk, an ancestor code, the multipliers or the categories; the tables stay as
// they were.
void tst_LevelRangeEngines::synchronizeFailureLoggedUnderItsStep_data() {
    Warehouse::addColumns<QString>("code");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("procedure");
    const auto row = [](const char* name, const char* code, const char* failing, const char* procedure) {
        Warehouse::addRows(name, QString(code), QString(failing), QString(procedure));
    };
    for (const char* code : {"", "X"}) {
        const QString of = *code ? " of a code" : " of a level";
        row(qPrintable("walk" + of), code, "CS_PARENTCODE From CS_LEVELHIER H", "CopiedUpRangeOfAccountHier");
        row(qPrintable("ancestor" + of), code, "W.CO_LEVEL = 'L2'", "CopyDelRangeOfAccountHier");
        row(qPrintable("multiplier look-up" + of), code, "From CS_MULTIPLIERHIER",
            "CopiedUpRangeOfAccountMultiHier");
        row(qPrintable("multiplier write" + of), code, "CS_MULTIPLIER_RANGE",
            "CopiedUpRangeOfAccountMultiHier");
        row(qPrintable("category look-up" + of), code, "From CS_CATEGORYHIER",
            "CopiedUpRangeOfAccountCategoryHier");
        row(qPrintable("category write" + of), code, "CS_CAT_TYPE", "CopiedUpRangeOfAccountCategoryHier");
    }
}

void tst_LevelRangeEngines::synchronizeFailureLoggedUnderItsStep() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, code);
    QFETCH(QString, failing);
    QFETCH(QString, procedure);
    const Case c{"", "", "L3:P>L4:X L2:G>L3:P", "M1>L4:X K1>L2:G", "L4:X", "", '1'};
    Editor ed(w, 3, c);
    const QString before = ed.world.state(w);
    DbConnection& db = gDBConnection->adoConnection();
    db.FailStatementContaining(failing, {-7, "statement fails", "test"});
    {
        TransactionGuard transaction(db);
        QVERIFY(!ed.e.CopiedUpRangesOfCodes(ed.world.area, ed.world.top, "L4", code));
    }
    db.ClearInjectedFailures();
    QCOMPARE(ed.world.state(w), before);
    const QString log = m_env->logText().trimmed();
    QVERIFY2(log.count("Error #") == 1 && log.endsWith(") in clsAcLevelRangeMaint:" + procedure),
             qPrintable(log));
    // Without the failure the level's or code's range reaches them all.
    QVERIFY(ed.e.CopiedUpRangesOfCodes(ed.world.area, ed.world.top, "L4", code));
    QCOMPARE(ed.world.state(w), "L2|G|1'0,L3|P|1'0,L4|X|1'0,M1|1'0,K1|1'0");
}

// Another area's business level, or its own stored already, is refused and the insert stays pending.
void tst_LevelRangeEngines::editorRefusesAnotherBusinessLevel_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("own");
    for (const QString& b : Warehouse::backends())
        for (int row = 0; row < 4; ++row)
            Warehouse::newRow(b, QString("%1 %2").arg(4 + row / 2).arg(row % 2 ? "own" : "another"))
                << 4 + row / 2 << bool(row % 2);
}

void tst_LevelRangeEngines::editorRefusesAnotherBusinessLevel() {
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
    QVERIFY(!m_env->ui.messages.isEmpty() && f->NewRecord);
}

// The example of ARCHITECTURE.md, "Driving an engine without the editor".
void tst_LevelRangeEngines::drivingAnEngineWithoutTheEditor() {
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

QTEST_MAIN(tst_LevelRangeEngines)
#include "tst_LevelRangeEngines.moc"
