#include "codemaint/CodeEditorState.h"
#include "codemaint/clsAcBuLevelCodeMaint.h"
#include "codemaint/clsAcMultiCategoryCodeMaint.h"
#include "codemaint/frmCodeMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "platform/UserDialogs.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "services/MaintTree.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/CodeEditors.h"
#include "support/RangeEngineRuns.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"
#include "support/Worlds.h"

#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QTest>
#include <functional>

namespace {

using Worlds::kChart;

// What a trigger of the warehouse that refuses every write says.
const char* const kClosed = "the hierarchy is closed for the year end";

// "L1/P/L2:X" as the path of a node: chart, then multiplier, level, code (types
// 1 and 2) or parent level, parent code, child level and code (types 3 to 5),
// each as stored ("+" a blank); "_" an empty level.
CodeKeyParts path(int type, const QString& text) {
    QStringList p = (kChart + "/" + text).split('/', Qt::SkipEmptyParts);
    p.replaceInStrings(QRegularExpression("^_$"), QString()).replaceInStrings("+", " ");
    if (type <= 2)
        return {p.value(0), p.value(1), p.value(2), p.value(3)};
    return {
        p.value(0), {}, p.value(1), p.value(2), p.value(3).section(':', 0, 0), p.value(3).section(':', 1)};
}

std::unique_ptr<CodeEngine> engineOf(int type, CodeEditorState& st) {
    std::unique_ptr<CodeEngine> e;
    if (type <= 2) {
        auto m = std::make_unique<clsAcMultiCategoryCodeMaint>();
        m->SetCodeMaintTableName(static_cast<qint16>(type));
        e = std::move(m);
    } else {
        e = std::make_unique<clsAcBuLevelCodeMaint>();
    }
    e->OwnerForm(&st);
    return e;
}

// Runs "save <path> <value>" (a new entry below the node; "L2:X" a child) or
// "delete <path>"; the path
// "^" is the root, "/" the chart.
bool act(int type, CodeEngine& e, CodeEditorState& st, const QString& action) {
    const QStringList a = action.split(' ');
    st.trvMaintenance_NodeClick(a[1] == "^" ? st.EnsureRoot() : st.AddPath(path(type, a[1])));
    if (a[0] == "delete")
        return e.Delete();
    const QString v = a.value(2);
    st.entry.values = {v, v, v, v, v.section(':', 0, 0), v.section(':', 1)};
    st.NewRecord = true;
    return e.Save();
}

// Every node key of the tree and the selected one.
QString treeOf(CodeEditorState& st) {
    QStringList keys;
    for (const TreeNode* node : st.Tree()->Nodes())
        keys << node->Key();
    keys.sort();
    return keys.join(',') + "#" + (st.Tree()->SelectedItem() ? st.Tree()->SelectedItem()->Key() : QString());
}

// Runs an action of the Range Maintenance editor: "range save L3/X 2,3" (a new range of the code), "range
// delete L3/X/2,3" (the range's node; "+" a blank) or "range delete" (the node selected, as after a save).
bool rangeAct(RangeEditorState& rs, clsAcLevelRangeMaint& e, const QString& action) {
    const QStringList a = action.split(' ');
    if (a.size() > 2) {
        const QStringList p = QString(a[2]).replace('+', ' ').split('/');
        const QStringList bounds =
            p.value(2).split(',').replaceInStrings(QRegularExpression("^_$"), QString());
        rs.trvMaintenance_NodeClick(rs.AddPath({kChart, p[0], p[1], bounds.value(0), bounds.value(1)}));
    }
    if (a[1] == "delete")
        return e.Delete();
    const QStringList bounds = a[3].split(',');
    rs.entry = {"", "", "", bounds[0], bounds[1]};
    rs.newRecord = true;
    return e.Save();
}

// The expression in parentheses that opens at `open` (the index of "("), and the index after its ")"; the
// quoted texts within skipped.
qsizetype closing(const QString& sql, qsizetype open) {
    int depth = 0;
    for (qsizetype i = open; i < sql.size(); ++i) {
        if (sql[i] == '\'') {
            for (++i; i < sql.size() && !(sql[i] == '\'' && (i + 1 >= sql.size() || sql[i + 1] != '\'')); ++i)
                if (sql[i] == '\'')
                    ++i;
        } else if (sql[i] == '(') {
            ++depth;
        } else if (sql[i] == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return -1;
}

// Rewrites each call of `function` ("RTRIM(", "CAST(") outside quoted texts by `rewrite`, given its
// argument's text, innermost first.
QString rewriteCalls(QString sql, const QString& function,
                     const std::function<QString(const QString& argument)>& rewrite) {
    for (qsizetype from = sql.size(); from >= 0;) {
        const qsizetype at = sql.lastIndexOf(function, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        from = at - 1;
        if (at > 0 && (sql[at - 1].isLetterOrNumber() || sql[at - 1] == '_'))
            continue;
        const qsizetype open = at + function.size() - 1, end = closing(sql, open);
        if (end < 0)
            continue;
        sql.replace(at, end - at, rewrite(sql.mid(open + 1, end - open - 2)));
    }
    return sql;
}

// A statement as Oracle would run it, rewritten for SQLite, whose fixed-width columns are declared
// "CHAR(n) COLLATE RTRIM" and hold their values padded: an empty text is NULL; RTRIM answers NULL for blanks
// only and text that compares with a fixed-width column without padding (as VARCHAR2 does); CAST to CHAR(n)
// compares with padding; MINUS is EXCEPT. A select that names no table, which Oracle refuses, is refused here
// too.
QString asOracle(const QString& statement) {
    QString sql = statement;
    const qsizetype where = sql.indexOf(" where ", 0, Qt::CaseInsensitive);
    if (sql.startsWith("Select", Qt::CaseInsensitive) &&
        !sql.left(where < 0 ? sql.size() : where).contains(" from ", Qt::CaseInsensitive))
        return "Oracle refuses a select without a table";
    if (sql.startsWith("LOCK TABLE"))
        return "Select 1";
    // Empty texts are NULL, outside other quoted texts.
    QString out;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql[i] != '\'') {
            out += sql[i];
            continue;
        }
        qsizetype j = i + 1;
        while (j < sql.size() && !(sql[j] == '\'' && (j + 1 >= sql.size() || sql[j + 1] != '\'')))
            j += sql[j] == '\'' ? 2 : 1;
        out += j == i + 1 ? QString("NULL") : sql.mid(i, j - i + 1);
        i = j;
    }
    sql = rewriteCalls(out, "RTRIM(",
                       [](const QString& a) { return "(NULLIF(rtrim(" + a + "), '') COLLATE BINARY)"; });
    sql = rewriteCalls(sql, "CAST(", [](const QString& a) {
        const qsizetype as = a.lastIndexOf(" AS CHAR(", -1, Qt::CaseInsensitive);
        return as < 0 ? "cast(" + a + ")" : "(" + a.left(as) + " COLLATE RTRIM)";
    });
    return sql.replace(" minus ", " except ");
}

} // namespace

class tst_CodeEngines : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void changes_data();
    void changes();
    void overlongEntryRefused_data();
    void overlongEntryRefused();
    void detachOfManyRanges_data() { Warehouse::addBackendRows(); }
    void detachOfManyRanges();
    void attachOfManyRanges_data() { Warehouse::addBackendRows(); }
    void wideHierarchies_data();
    void wideHierarchies();
    void attachOfManyRanges();
    void throughTheEditor_data();
    void throughTheEditor();
    void failureToldWithItsCause_data();
    void failureToldWithItsCause();
    void codeOfManyHolders_data() { Warehouse::addBackendRows(); }
    void codeOfManyHolders();
    void codeOfManyHoldersSettled_data();
    void codeOfManyHoldersSettled();
    void oracleFixedWidthRanges_data();
    void oracleFixedWidthRanges();
    void drivingTheCodeEnginesWithoutAWindow_data() { Warehouse::addBackendRows(); }
    void drivingTheCodeEnginesWithoutAWindow();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_CodeEngines::changes_data() {
    // type, world, actions run in turn (";" between), and the world afterwards, or "!" and the refusal's
    // message and title, or "@" and the location a failure is logged under, "|" and a piece of the
    // statement made to fail (none: the action fails by itself); the world unchanged.
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("world");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, int type, const QString& world, const char* actions,
                        QString after) { Warehouse::addRows(name, type, world, QString(actions), after); };
    const auto dup = [&](const char* name, int type, const char* world, const char* action, const char* what,
                         const char* within, const char* title) {
        row(name, type, world, action,
            QString("!%1 already exists within current %2|Duplicate %3").arg(what, within, title));
    };
    // Each of these also on a server whose every column is fixed-width ("&"), whose hierarchies alone are
    // ("="), and whose bounds compare ignoring case and accents ("*"): the same rows stay wherever the
    // server takes the same rows for the same ranges.
    const auto everywhere = [&](const QString& name, int type, const QString& world, const char* actions,
                                const QString& after) {
        row(qPrintable(name), type, world, actions, after);
        for (const char* v : {"&", "=", "*"})
            row(qPrintable(QString(v) + " " + name), type, v + world, actions, after);
    };
    row("multipliers built up", 1, "",
        "save ^ T'%;save / M'1;save M'1 L'1;save M'1/L'1 C'1;save M'1/L'1 "
        "C2;save M'1 L2;save / M2",
        "MH[M'1,L'1,C'1 M'1,L'1,C2 M'1,L2,- M2,-,-]");
    row("levels built up", 3, "",
        "save ^ T'%;save / L'1;save L'1 P'1;save L'1/P'1 L'2:C'1;save L'1/P'1 "
        "L'2:C2;save L'1 P2;save / L2",
        "H[L'1,P'1,L'2,C'1 L'1,P'1,L'2,C2 L'1,P2,-,- L2,-,-,-]");
    row("duplicate business level", 4, "H[-,-,-,-]", "save ^ T'%",
        "!Business Level already exists|Duplicate Account");
    dup("duplicate multiplier", 1, "MH[M'1,-,-]", "save / M'1", "Multiplier", "Account", "Multiplier");
    dup("duplicate category", 2, "CH[K'1,L1,-]", "save / K'1", "Category", "Account", "Category");
    dup("duplicate level of a category", 2, "CH[K'1,L1,C]", "save K'1 L1", "Level", "Category", "Level");
    dup("duplicate code", 1, "MH[M'1,L1,C'1]", "save M'1/L1 C'1", "Code", "Level", "Code");
    dup("duplicate child at another level", 3, "H[L1,P,L3,X]", "save L1/P L2:X", "Child Code", "Parent Code",
        "Code");
    const QString circular =
        "!Child Code is an ancestor of the current Parent Code and cannot be its child|Circular Hierarchy";
    row("child is its own parent code", 3, "H[L1,P,-,-]", "save L1/P L1:P", circular);
    row("child is an ancestor", 3, "H[L1,G,L2,P L2,P,L3,X]", "save L2/P L1:G", circular);
    row("child is an ancestor of a padded parent code", 3, "H[L1,G,L2,++P'++]", "save L2/++P'++ L1:G",
        circular);
    // The walk answers an ancestor as stored, padded by another program or by a fixed-width column.
    row("child is an ancestor stored padded", 3, "H[L3,ZG++,L2,ZP L2,ZP,-,-]", "save L2/ZP L3:ZG", circular);
    row("child is an ancestor in a fixed-width hierarchy", 3, "#H[L3,ZG,L2,ZP L2,ZP,-,-]", "save L2/ZP L3:ZG",
        circular);
    // Only the code's ranges of its own level go.
    everywhere("attach: ranges copied, held ones skipped", 3,
               "H[L1,P,-,-] R[L2,X,1'0,1%9 L2,X,2,3 L1,P,2,3 L3,X,5,6]", "save L1/P L2:X",
               "H[L1,P,L2,X] R[L1,P,1'0,1%9 L1,P,2,3 L2,X,1'0,1%9 L2,X,2,3 L3,X,5,6]");
    everywhere("attach: child with only its placeholder", 3, "H[L1,P,L2,Y] R[L2,X,-,- L2,Y,-,-]",
               "save L1/P L2:X", "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,-,- L2,X,-,- L2,Y,-,-]");
    // The holder gets each range it lacks once, as the database compares bounds: a range the parent holds
    // already, one the child holds twice, the child's placeholder beside its ranges.
    row("attach: apostrophes in every value, some ranges held", 3,
        "H[L'1,P'1,-,-] R[L'1,P'1,1'0,1%9 L'1,P'1,7',8' L'2,X'1,1'0,1%9 L'2,X'1,2',3' L'2,X'1,4'',5]",
        "save L'1/P'1 L'2:X'1",
        "H[L'1,P'1,L'2,X'1] R[L'1,P'1,1'0,1%9 L'1,P'1,2',3' L'1,P'1,4'',5 L'1,P'1,7',8' L'2,X'1,1'0,1%9 "
        "L'2,X'1,2',3' L'2,X'1,4'',5]");
    row("attach: a range the child holds twice goes once", 3,
        "H[L1,P,-,-] R[L1,P,-,- L2,X,1'0,1%9 L2,X,2,3 L2,X,1'0,1%9]", "save L1/P L2:X",
        "H[L1,P,L2,X] R[L1,P,1'0,1%9 L1,P,2,3 L2,X,1'0,1%9 L2,X,1'0,1%9 L2,X,2,3]");
    row("attach: the child's placeholder beside its ranges", 3, "H[L1,P,-,-] R[L2,X,-,- L2,X,1'0,1%9]",
        "save L1/P L2:X", "H[L1,P,L2,X] R[L1,P,1'0,1%9 L2,X,-,- L2,X,1'0,1%9]");
    row("attach: a parent holding every range", 3,
        "H[L1,P,-,-] R[L1,P,1'0,1%9 L1,P,2,3 L2,X,2,3 L2,X,1'0,1%9]", "save L1/P L2:X",
        "H[L1,P,L2,X] R[L1,P,1'0,1%9 L1,P,2,3 L2,X,1'0,1%9 L2,X,2,3]");
    // An empty bound held as NULL is held; a NULL bound is written as an empty one.
    row("attach: ranges with one blank bound, one held as NULL", 3,
        "H[L1,P,-,-] R[L1,P,~,1%9 L2,X,_,1%9 L2,X,1'0,_ L2,X,3',~ L2,X,2,3]", "save L1/P L2:X",
        "H[L1,P,L2,X] R[L1,P,1'0,_ L1,P,2,3 L1,P,3',_ L1,P,~,1%9 L2,X,1'0,_ L2,X,2,3 L2,X,3',~ L2,X,_,1%9]");
    everywhere("detach in BA: a sibling keeps its range", 5,
               "H[L1,P,L2,X L1,P,L2,Y] BR[L1,P,1'0,1%9 L1,P,2,3 L2,X,1'0,1%9 L2,X,2,3 "
               "L2,Y,2,3]",
               "delete L1/P/L2:X", "H[L1,P,L2,Y] BR[L1,P,2,3 L2,X,1'0,1%9 L2,X,2,3 L2,Y,2,3]");
    everywhere("attach into a multiplier", 1, "MH[M'1,L1,-] R[L1,C,1'0,1%9 L2,C,2,3] MR[M'1,-,-]",
               "save M'1/L1 C", "MH[M'1,L1,C] R[L1,C,1'0,1%9 L2,C,2,3] MR[M'1,1'0,1%9]");
    everywhere("attach into a category", 2, "CH[K'1,L1,D] R[L1,C,1'0,1%9 L1,D,2,3] CR[K'1,2,3]",
               "save K'1/L1 C", "CH[K'1,L1,C K'1,L1,D] R[L1,C,1'0,1%9 L1,D,2,3] CR[K'1,1'0,1%9 K'1,2,3]");
    everywhere("detach the last child: placeholders back", 3,
               "H[L1,P,L2,X] R[L1,P,1'0,1%9 L2,X,1'0,1%9 L2,X,-,-]", "delete L1/P/L2:X",
               "H[L1,P,-,-] R[L1,P,-,- L2,X,-,- L2,X,1'0,1%9]");
    everywhere("detach from a multiplier, another code feeds it", 1,
               "MH[M'1,L1,C M'1,L2,D] R[L1,C,1'0,1%9 L1,C,2,3 L2,D,2,3] MR[M'1,1'0,1%9 "
               "M'1,2,3]",
               "delete M'1/L1/C", "MH[M'1,L1,- M'1,L2,D] R[L1,C,1'0,1%9 L1,C,2,3 L2,D,2,3] MR[M'1,2,3]");
    everywhere("detach the last code of a category", 2, "CH[K'1,L1,C] R[L1,C,1'0,1%9] CR[K'1,1'0,1%9]",
               "delete K'1/L1/C", "CH[K'1,L1,-] R[L1,C,1'0,1%9] CR[K'1,-,-]");
    everywhere("detach: a parent code without rows gets none", 3, "H[L1,T,L2,G] R[L1,-,-,- L2,G,1'0,1%9]",
               "delete L1/T/L2:G", "H[L1,T,-,-] R[L1,-,-,- L2,G,1'0,1%9]");
    everywhere("detach: a multiplier without rows gets none", 1, "MH[M'1,L1,C] R[L1,C,1'0,1%9]",
               "delete M'1/L1/C", "MH[M'1,L1,-] R[L1,C,1'0,1%9]");
    // Rows another program wrote twice go together, and the holder left without rows gets its placeholder.
    everywhere("detach: a parent code holding the range twice", 3,
               "H[L1,P,L2,X] R[L1,P,1'0,1%9 L1,P,1'0,1%9 L2,X,1'0,1%9]", "delete L1/P/L2:X",
               "H[L1,P,-,-] R[L1,P,-,- L2,X,1'0,1%9]");
    // Another program's ranges with one blank bound: the attach copies them, the detach takes them again.
    everywhere("detach: ranges with one blank bound", 3,
               "H[L1,P,L2,X] R[L1,P,-,1%9 L1,P,1'0,- L2,X,-,1%9 L2,X,1'0,-]", "delete L1/P/L2:X",
               "H[L1,P,-,-] R[L1,P,-,- L2,X,-,1%9 L2,X,1'0,-]");
    everywhere("detach from a multiplier, another multiplier's code holds it", 1,
               "MH[M'1,L1,C M2,L1,D] R[L1,C,1'0,1%9 L1,D,1'0,1%9] MR[M'1,1'0,1%9 M2,1'0,1%9]",
               "delete M'1/L1/C", "MH[M'1,L1,- M2,L1,D] R[L1,C,1'0,1%9 L1,D,1'0,1%9] MR[M'1,-,- M2,1'0,1%9]");
    // X below P below G below T: what X gave goes up the chain and out of the multiplier of T and the
    // category of P, except where Q still gives it; the category of G, without rows, gets none.
    everywhere(
        "detach carried up the chain and into holders", 3,
        "H[L1,T,L2,G L2,G,L3,P L2,G,L3,Q L3,P,L4,X] MH[M'1,L1,T] CH[K'1,L3,P K2,L2,G] "
        "R[L1,T,1'0,1%9 L1,T,2,3 L2,G,1'0,1%9 L2,G,2,3 L3,P,1'0,1%9 L3,P,2,3 L3,Q,2,3 L4,X,1'0,1%9 L4,X,2,3] "
        "MR[M'1,1'0,1%9 M'1,2,3] CR[K'1,1'0,1%9 K'1,2,3]",
        "delete L3/P/L4:X",
        "H[L1,T,L2,G L2,G,L3,P L2,G,L3,Q L3,P,-,-] MH[M'1,L1,T] CH[K'1,L3,P K2,L2,G] R[L1,T,2,3 L2,G,2,3 "
        "L3,P,-,- L3,Q,2,3 L4,X,1'0,1%9 L4,X,2,3] MR[M'1,2,3] CR[K'1,-,-]");
    row("fixed width: detach carried up the chain and into holders", 3,
        "#H[L1,T,L2,G L2,G,L3,P L2,G,L3,Q L3,P,L4,X] MH[M'1,L1,T] CH[K'1,L3,P K2,L2,G] "
        "R[L1,T,1'0,1%9 L1,T,2,3 L2,G,1'0,1%9 L2,G,2,3 L3,P,1'0,1%9 L3,P,2,3 L3,Q,2,3 L4,X,1'0,1%9 L4,X,2,3] "
        "MR[M'1,1'0,1%9 M'1,2,3] CR[K'1,1'0,1%9 K'1,2,3]",
        "delete L3/P/L4:X",
        "H[L1,T,L2,G L2,G,L3,P L2,G,L3,Q L3,P,-,-] MH[M'1,L1,T] CH[K'1,L3,P K2,L2,G] R[L1,T,2,3 L2,G,2,3 "
        "L3,P,-,- L3,Q,2,3 L4,X,1'0,1%9 L4,X,2,3] MR[M'1,2,3] CR[K'1,-,-]");
    row("fixed width: attach into a multiplier", 1, "#MH[M'1,L1,-] R[L1,C,1'0,1%9 L2,C,2,3] MR[M'1,-,-]",
        "save M'1/L1 C", "MH[M'1,L1,C] R[L1,C,1'0,1%9 L2,C,2,3] MR[M'1,1'0,1%9]");
    // A fixed-width column pads what the multiplier holds; a server's collation takes "e'1" for the same
    // with an accent: what the database takes for a held range is not written again.
    row("fixed width: attach into a multiplier holding one of the ranges", 1,
        "#MH[M'1,L1,-] R[L1,C,1'0,1%9 L1,C,2,3] MR[M'1,2,3 M'1,4,5]", "save M'1/L1 C",
        "MH[M'1,L1,C] R[L1,C,1'0,1%9 L1,C,2,3] MR[M'1,1'0,1%9 M'1,2,3 M'1,4,5]");
    row("attach: a range the server takes for one the parent holds", 3,
        "*H[L1,P,-,-] R[L1,P,\u00C9'1,9 L2,X,e'1,9 L2,X,2,3]", "save L1/P L2:X",
        "H[L1,P,L2,X] R[L1,P,2,3 L1,P,\u00C9'1,9 L2,X,2,3 L2,X,e'1,9]");
    row("fixed width: detach from a multiplier, another code feeds it", 1,
        "#MH[M'1,L1,C M'1,L2,D] R[L1,C,1'0,1%9 L1,C,2,3 L2,D,2,3] MR[M'1,1'0,1%9 M'1,2,3]", "delete M'1/L1/C",
        "MH[M'1,L1,- M'1,L2,D] R[L1,C,1'0,1%9 L1,C,2,3 L2,D,2,3] MR[M'1,2,3]");
    // What a sibling holds under another chart feeds nothing here.
    everywhere("detach: a sibling holding the range only under another chart", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,1'0,1%9 L2,X,1'0,1%9 L2,Y,-,- ^L2,Y,1'0,1%9]",
               "delete L1/P/L2:X", "H[L1,P,L2,Y] R[L1,P,-,- L2,X,1'0,1%9 L2,Y,-,-]");
    // A server's collation may take a kept bound for a lost one ("e'1" and the same with an accent), or pad
    // a bound the codes hold empty: only the rows the per-range statements take go, and each code still
    // holding a range keeps it in the holder.
    row("detach: a kept range whose From the server takes for a lost one's", 3,
        "*H[L1,P,L2,X L1,P,L2,Y] R[L1,P,e'1,9 L1,P,\u00C9'1,8 L2,X,e'1,9 L2,Y,\u00C9'1,8]",
        "delete L1/P/L2:X", "H[L1,P,L2,Y] R[L1,P,\u00C9'1,8 L2,X,e'1,9 L2,Y,\u00C9'1,8]");
    row("detach from a multiplier whose other code holds two ranges the server takes for one", 1,
        "*MH[M'1,L1,C M'1,L1,D] R[L1,C,e'1,9 L1,C,\u00C9'1,9 L1,D,e'1,9 L1,D,\u00C9'1,9] "
        "MR[M'1,e'1,9 M'1,\u00C9'1,9]",
        "delete M'1/L1/C",
        "MH[M'1,L1,D] R[L1,C,e'1,9 L1,C,\u00C9'1,9 L1,D,e'1,9 L1,D,\u00C9'1,9] MR[M'1,e'1,9 M'1,\u00C9'1,9]");
    // The server takes the sibling's range for both of the parent's: the parent keeps them.
    row("detach: a sibling holds a range the server takes for both of the parent's", 3,
        "*H[L1,P,L2,X L1,P,L2,Y] R[L1,P,e'1,9 L1,P,\u00C9'1,9 L2,X,e'1,9 L2,X,\u00C9'1,9 L2,Y,\u00C9'1,9]",
        "delete L1/P/L2:X",
        "H[L1,P,L2,Y] R[L1,P,e'1,9 L1,P,\u00C9'1,9 L2,X,e'1,9 L2,X,\u00C9'1,9 L2,Y,\u00C9'1,9]");
    row("fixed width: detach of a range with an empty To from a multiplier holding its From otherwise", 1,
        "#MH[M'1,L1,C] R[L1,C,1'0,_] MR[M'1,1'0,_ M'1,1'0,1%9]", "delete M'1/L1/C",
        "MH[M'1,L1,-] R[L1,C,1'0,_] MR[M'1,1'0,1%9]");
    everywhere("detach carried up a business chain", 4,
               "H[L1,T,L2,G L2,G,L3,P L3,P,L4,X] BR[L2,G,1'0,1%9 L3,P,1'0,1%9 L4,X,1'0,1%9]",
               "delete L3/P/L4:X", "H[L1,T,L2,G L2,G,L3,P L3,P,-,-] BR[L2,G,-,- L3,P,-,- L4,X,1'0,1%9]");
    // Another program made X the parent of P as well: X keeps its own ranges, P loses what X gave it.
    everywhere("detach a child that is also its parent's parent", 3,
               "H[L1,P,L2,X L2,X,L1,P] R[L1,P,1'0,1%9 L2,X,1'0,1%9]", "delete L1/P/L2:X",
               "H[L1,P,-,- L2,X,L1,P] R[L1,P,-,- L2,X,1'0,1%9]");
    // Another program wrote the child at two child levels: the child's node stands for both rows.
    everywhere("detach a child stored at two child levels", 3,
               "H[L1,P,L2,X L1,P,L3,X L1,P,L2,Y] R[L1,P,1'0,1%9 L2,X,1'0,1%9]", "delete L1/P/L2:X",
               "H[L1,P,L2,Y] R[L1,P,-,- L2,X,1'0,1%9]");
    everywhere("delete a parent code: ranges stay", 3, "H[L1,P,L2,X L1,Q,L2,Y] R[L1,P,1'0,1%9]",
               "delete L1/P", "H[L1,Q,L2,Y] R[L1,P,1'0,1%9]");
    row("delete the last level", 3, "H[L1,P,L2,X]", "delete L1", "H[-,-,-,-]");
    row("delete a level of a multiplier", 1, "MH[M'1,L1,C M'1,L2,D]", "delete M'1/L1", "MH[M'1,L2,D]");
    row("delete a category", 2, "CH[K'1,L1,C K2,-,-]", "delete K'1", "CH[K2,-,-]");
    // Rows other programs wrote with an empty parent level.
    row("child under an empty parent level", 3, "H[_,P1,L2,C1 L1,P1,-,-] R[L3,121,1'0,1%9]",
        "save _/P1 L3:121", "H[L1,P1,-,- _,P1,L2,C1 _,P1,L3,121] R[L3,121,1'0,1%9 _,P1,1'0,1%9]");
    row("detach under an empty parent level", 3, "H[_,P1,L2,C1 _,P1,L3,121 L1,P1,L3,121]",
        "delete _/P1/L3:121", "H[L1,P1,L3,121 _,P1,L2,C1]");
    row("delete a parent code of an empty level", 4, "H[_,P1,L2,C1 L1,P2,-,-]", "delete _/P1",
        "H[L1,P2,-,-]");
    // The same written as NULL (Oracle's empty text): found, filled and removed like an empty value.
    row("detach under a NULL parent level", 3, "H[~,P1,L2,C1 ~,P1,L3,121 L1,P1,L3,121]", "delete _/P1/L3:121",
        "H[L1,P1,L3,121 ~,P1,L2,C1]");
    everywhere("detach: ranges of a parent code of a NULL level", 3,
               "H[_,P1,L3,121] R[~,P1,1'0,1%9 L3,121,1'0,1%9]", "delete _/P1/L3:121",
               "H[_,P1,-,-] R[L3,121,1'0,1%9 _,P1,-,-]");
    row("attach fills the placeholder of a NULL level", 3, "H[_,P1,-,-] R[~,P1,-,- L3,121,1'0,1%9]",
        "save _/P1 L3:121", "H[_,P1,L3,121] R[L3,121,1'0,1%9 ~,P1,1'0,1%9]");
    everywhere("detach carried up from a child of a NULL level", 3,
               "H[L1,G,~,P1 _,P1,L3,121] R[L1,G,1'0,1%9 _,P1,1'0,1%9 L3,121,1'0,1%9]", "delete _/P1/L3:121",
               "H[L1,G,~,P1 _,P1,-,-] R[L1,G,-,- L3,121,1'0,1%9 _,P1,-,-]");
    // Codes another program stored padded: the node's rows are addressed as stored, and the ranges of a
    // parent code are found whether its range table pads it as the hierarchy does or not.
    row("delete a padded parent code", 3, "H[L1,++P'1++,L2,X L1,Q,-,-]", "delete L1/++P'1++", "H[L1,Q,-,-]");
    row("delete a padded level", 3, "H[L1+,P,-,- L2,Q,-,-]", "delete L1+", "H[L2,Q,-,-]");
    row("save below a padded level", 3, "H[L1+,-,-,-]", "save L1+ P", "H[L1+,P,-,-]");
    row("save below a padded level of a multiplier", 1, "MH[M'1,L1+,-]", "save M'1/L1+ C", "MH[M'1,L1+,C]");
    row("delete a padded level of a category", 2, "CH[K'1,L1+,C K'1,L2,D]", "delete K'1/L1+", "CH[K'1,L2,D]");
    everywhere(
        "detach a padded child carried up from a padded parent code and out of its padded multiplier", 3,
        "H[L1,G,L2,++P'1++ L2,++P'1++,L3,++X++] MH[++M'1++,L2,++P'1++] R[L1,G,1'0,1%9 L2,++P'1++,1'0,1%9 "
        "L2,++P'1++,2,3 L3,++X++,1'0,1%9] MR[++M'1++,1'0,1%9]",
        "delete L2/++P'1++/L3:++X++",
        "H[L1,G,L2,++P'1++ L2,++P'1++,-,-] MH[++M'1++,L2,++P'1++] R[L1,G,-,- L2,++P'1++,2,3 "
        "L3,++X++,1'0,1%9] MR[++M'1++,-,-]");
    everywhere("detach from a parent code padded in the hierarchy only", 3,
               "H[L1,P'++,L2,X] R[L1,P',1'0,1%9 L2,X,1'0,1%9]", "delete L1/P'++/L2:X",
               "H[L1,P'++,-,-] R[L1,P',-,- L2,X,1'0,1%9]");
    row("attach below a parent code padded in the hierarchy only", 3,
        "H[L1,P'++,-,-] R[L1,P',-,- L2,X,1'0,1%9]", "save L1/P'++ L2:X",
        "H[L1,P'++,L2,X] R[L1,P',1'0,1%9 L2,X,1'0,1%9]");
    // A sibling padded in the hierarchy only still feeds the parent code, and a code of the multiplier so
    // padded still feeds the multiplier.
    everywhere("detach: a sibling padded in the hierarchy only keeps the parent code's range", 3,
               "H[L1,P,L2,X L1,P,L2,Y++] R[L1,P,1'0,1%9 L2,X,1'0,1%9 L2,Y,1'0,1%9]", "delete L1/P/L2:X",
               "H[L1,P,L2,Y++] R[L1,P,1'0,1%9 L2,X,1'0,1%9 L2,Y,1'0,1%9]");
    everywhere("detach from a multiplier whose other code is padded in the hierarchy only", 1,
               "MH[M'1,L1,C M'1,L1,D++] R[L1,C,1'0,1%9 L1,D,1'0,1%9] MR[M'1,1'0,1%9]", "delete M'1/L1/C",
               "MH[M'1,L1,D++] R[L1,C,1'0,1%9 L1,D,1'0,1%9] MR[M'1,1'0,1%9]");
    everywhere("detach carried up to an ancestor stored padded", 3,
               "H[L1,++G++,L2,P L2,P,L3,X] R[L1,++G++,1'0,1%9 L2,P,1'0,1%9 L3,X,1'0,1%9]", "delete L2/P/L3:X",
               "H[L1,++G++,L2,P L2,P,-,-] R[L1,++G++,-,- L2,P,-,- L3,X,1'0,1%9]");
    everywhere("detach a padded code from a multiplier", 1,
               "MH[M'1,L1,++C'1++] R[L1,++C'1++,1'0,1%9] MR[M'1,1'0,1%9]", "delete M'1/L1/++C'1++",
               "MH[M'1,L1,-] R[L1,++C'1++,1'0,1%9] MR[M'1,-,-]");
    everywhere("attach below a padded category", 2, "CH[++K'1++,L1,-] R[L1,C,1'0,1%9] CR[++K'1++,-,-]",
               "save ++K'1++/L1 C", "CH[++K'1++,L1,C] R[L1,C,1'0,1%9] CR[++K'1++,1'0,1%9]");
    // A range deleted at once after its save leaves every code and holder it went to.
    everywhere("range saved and deleted at once", 3,
               "H[L1,T,L2,G L2,G,L3,X] MH[M1,L2,G] R[L1,T,-,- L2,G,-,- L3,X,-,-] MR[M1,-,-]",
               "range save L3/X 200,299;range delete",
               "H[L1,T,L2,G L2,G,L3,X] MH[M1,L2,G] R[L1,T,-,- L2,G,-,- L3,X,-,-] MR[M1,-,-]");
    everywhere("range saved and deleted at once, another code of the multiplier holding it", 3,
               "MH[M1,L3,X M1,L3,Y] R[L3,X,-,- L3,Y,200,299] MR[M1,200,299]",
               "range save L3/X 200,299;range delete",
               "MH[M1,L3,X M1,L3,Y] R[L3,X,-,- L3,Y,200,299] MR[M1,200,299]");
    // The first row of an ancestor and of a holder is keyed as the range table holds codes, whatever the
    // hierarchy pads them with.
    everywhere("range saved to an ancestor and a holder without rows", 3, "H[L1,T,L2,X] MH[M1,L2,X]",
               "range save L2/X 100,199",
               "H[L1,T,L2,X] MH[M1,L2,X] R[L1,T,100,199 L2,X,100,199] MR[M1,100,199]");
    everywhere("attach into a multiplier without rows", 1, "MH[M1,L1,-] R[L1,C,100,199]", "save M1/L1 C",
               "MH[M1,L1,C] R[L1,C,100,199] MR[M1,100,199]");
    // A range differing from another only in trailing blanks is another range where the server compares the
    // exact text, the same one where it pads.
    const char* padded = "CH[K2,L1,T] R[L1,T,100,199 L1,T,100,199++] CR[K2,100,199]";
    for (const char* v : {"", "=", "*"})
        row(qPrintable(QString(v) + " range delete: the same range but for trailing blanks stays"), 3,
            v + QString(padded), "range delete L1/T/100,199++", "CH[K2,L1,T] R[L1,T,100,199] CR[K2,100,199]");
    row("& range delete: the same range but for trailing blanks goes with it", 3, "&" + QString(padded),
        "range delete L1/T/100,199++", "CH[K2,L1,T] R[L1,T,-,-] CR[K2,-,-]");
    everywhere("detach from a multiplier: another code holds the range but for trailing blanks", 1,
               "MH[M1,L4,X M1,L4,Y] R[L4,X,100+,199 L4,Y,100,199] MR[M1,100,199]", "delete M1/L4/X",
               "MH[M1,L4,Y] R[L4,X,100+,199 L4,Y,100,199] MR[M1,100,199]");
    everywhere("range delete: a multiplier named padded in one code's row", 3,
               "MH[M1+,L1,A M1,L1,B] R[L1,A,100,199 L1,B,100,199] MR[M1,100,199]",
               "range delete L1/A/100,199", "MH[M1+,L1,A M1,L1,B] R[L1,A,-,- L1,B,100,199] MR[M1,100,199]");
    // Where the server ignores case the sibling still holds the range; elsewhere it is another range.
    const char* cased = "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,e1,e9 L1,P,E1,E9 L2,X,e1,e9 L2,Y,E1,E9]";
    for (const char* v : {"", "&", "="})
        row(qPrintable(QString(v) + " range delete: a sibling holds the range in other case"), 3,
            v + QString(cased), "range delete L2/X/e1,e9",
            "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,E1,E9 L2,X,-,- L2,Y,E1,E9]");
    row("* range delete: a sibling holds the range in other case", 3, "*" + QString(cased),
        "range delete L2/X/e1,e9", "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,e1,e9 L1,P,E1,E9 L2,X,-,- L2,Y,E1,E9]");
    everywhere("detach a child stored at two child levels: both levels' ranges settled", 3,
               "H[L1,G,L2,P L2,P,L3,X L2,P,L4,X] MH[M1,L2,P] R[L1,G,300,399 L1,G,400,499 L2,P,300,399 "
               "L2,P,400,499 L3,X,300,399 L4,X,400,499] MR[M1,300,399 M1,400,499]",
               "delete L2/P/L3:X",
               "H[L1,G,L2,P L2,P,-,-] MH[M1,L2,P] R[L1,G,-,- L2,P,-,- L3,X,300,399 L4,X,400,499] MR[M1,-,-]");
    // Another program's ranges with one empty bound (or NULL) are deleted by their pair and carried up.
    everywhere("range delete: a range without From", 3,
               "H[L1,P,L2,X] R[L1,P,~,7E1 L1,P,7E2,_ L2,X,_,7E1 L2,X,7E2,_]", "range delete L2/X/_,7E1",
               "H[L1,P,L2,X] R[L1,P,7E2,_ L2,X,7E2,_]");
    everywhere("range delete: a range without To", 3,
               "H[L1,P,L2,X] R[L1,P,_,7E1 L1,P,7E2,~ L2,X,_,7E1 L2,X,7E2,_]", "range delete L2/X/7E2,_",
               "H[L1,P,L2,X] R[L1,P,_,7E1 L2,X,_,7E1]");
    everywhere("range delete: both ranges with an empty bound", 3,
               "H[L1,P,L2,X] R[L1,P,_,7E1 L1,P,7E2,~ L2,X,_,7E1 L2,X,7E2,_]",
               "range delete L2/X/_,7E1;range delete L2/X/7E2,_", "H[L1,P,L2,X] R[L1,P,-,- L2,X,-,-]");
    // Their holders settle them as the codes do: kept where another code gives them (an empty bound and a
    // NULL being one), a placeholder where nothing is left, the holder's other ranges untouched.
    everywhere("range delete: a range without To leaves the code's holders", 3,
               "MH[M'1,L2,X M'1,L2,Y M2,L2,X M3,L2,X] CH[K'1,L2,X] R[L2,X,100,_ L2,X,200,299 L2,Y,100,~] "
               "MR[M'1,100,_ M2,100,_ M3,100,~ M3,5,6] CR[K'1,100,_ K'1,100,199]",
               "range delete L2/X/100,_",
               "MH[M'1,L2,X M'1,L2,Y M2,L2,X M3,L2,X] CH[K'1,L2,X] R[L2,X,200,299 L2,Y,100,~] "
               "MR[M'1,100,_ M2,-,- M3,5,6] CR[K'1,100,199]");
    everywhere("detach: a range without From leaves the parent's holders", 3,
               "H[L1,P,L2,X] MH[M'1,L1,P M'1,L3,Q M2,L1,P] CH[K'1,L1,P] R[L1,P,_,199 L1,P,100,_ L2,X,_,199 "
               "L3,Q,~,199] MR[M'1,_,199 M2,_,199 M2,100,_] CR[K'1,~,199]",
               "delete L1/P/L2:X",
               "H[L1,P,-,-] MH[M'1,L1,P M'1,L3,Q M2,L1,P] CH[K'1,L1,P] R[L1,P,100,_ L2,X,_,199 L3,Q,~,199] "
               "MR[M'1,_,199 M2,100,_] CR[K'1,-,-]");
    // A kept range sharing its From with a lost one stays.
    everywhere("detach: a kept range sharing its From with a lost one", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L1,P,100,299 L2,X,100,199 L2,X,100,299 L2,Y,100,299]",
               "delete L1/P/L2:X", "H[L1,P,L2,Y] R[L1,P,100,299 L2,X,100,199 L2,X,100,299 L2,Y,100,299]");
    everywhere("detach from a multiplier: a kept range sharing its From with a lost one", 1,
               "MH[M1,L1,C M1,L2,D] R[L1,C,100,199 L1,C,100,299 L2,D,100,299] MR[M1,100,199 M1,100,299]",
               "delete M1/L1/C",
               "MH[M1,L1,- M1,L2,D] R[L1,C,100,199 L1,C,100,299 L2,D,100,299] MR[M1,100,299]");
    // The multiplier holds X and X's parent, which a sibling still feeds.
    everywhere(
        "range delete: a holder of the code and of an ancestor that keeps the range", 3,
        "H[L2,G,L3,P L3,P,L4,X L3,P,L4,Y] MH[M1,L3,P M1,L4,X] R[L2,G,100,199 L3,P,100,199 L4,X,100,199 "
        "L4,Y,100,199] MR[M1,100,199]",
        "range delete L4/X/100,199",
        "H[L2,G,L3,P L3,P,L4,X L3,P,L4,Y] MH[M1,L3,P M1,L4,X] R[L2,G,100,199 L3,P,100,199 L4,X,-,- "
        "L4,Y,100,199] MR[M1,100,199]");
    everywhere(
        "detach: a holder of an ancestor keeps its own range the ancestor never held", 3,
        "H[L1,G,L2,P L2,P,L3,X] MH[M1,L1,G] R[L1,G,100,199 L2,P,100,199 L2,P,200,300 L3,X,100,199 "
        "L3,X,200,300] MR[M1,100,199 M1,200,300]",
        "delete L2/P/L3:X",
        "H[L1,G,L2,P L2,P,-,-] MH[M1,L1,G] R[L1,G,-,- L2,P,-,- L3,X,100,199 L3,X,200,300] MR[M1,200,300]");
    everywhere("detach: a code left with a range without From gets no placeholder", 3,
               "H[L1,P,L2,X] R[L1,P,~,7 L1,P,100,199 L2,X,100,199]", "delete L1/P/L2:X",
               "H[L1,P,-,-] R[L1,P,~,7 L2,X,100,199]");
    // A code or holder another program named with trailing blanks of its own gets its first row under that
    // name; only the blanks a fixed-width hierarchy pads a name with to its full width (as its node holds
    // the name, read back from there) are not written.
    for (const char* v : {"", "="}) {
        // Multipliers are ten characters wide, codes twenty.
        const QString own = *v ? "" : "+";
        const QString m2 = "M2" + QString(*v ? 8 : 1, '+'), t2 = "T2" + QString(*v ? 18 : 1, '+');
        Warehouse::addRows(QString(v) + " attach: the first row of a multiplier named with a trailing blank",
                           1, v + QString("MH[M2+,-,-] R[L1,T,100,199]"),
                           "save " + m2 + " L1;save " + m2 + "/L1 T",
                           "MH[M2+,L1,T] R[L1,T,100,199] MR[M2" + own + ",100,199]");
        Warehouse::addRows(QString(v) + " attach: the first row of a parent code named with a trailing blank",
                           3, v + QString("H[L1,T2+,-,-] R[L2,G,100,199]"), "save L1/" + t2 + " L2:G",
                           "H[L1,T2+,L2,G] R[L1,T2" + own + ",100,199 L2,G,100,199]");
        Warehouse::addRows(QString(v) +
                               " range save: the first row of an ancestor named with a trailing blank",
                           3, v + QString("H[L1,T2+,L2,X] R[L2,X,-,-]"), QString("range save L2/X 100,199"),
                           "H[L1,T2+,L2,X] R[L1,T2" + own + ",100,199 L2,X,100,199]");
    }
    // Another program's cycle runs back through the parent: X above T. G loses what only X gave it, and T
    // then what only G gave it.
    everywhere("detach from a parent code on a cycle through it", 3,
               "H[L1,T,L2,G L1,T,L4,X L2,G,L3,P2 L3,P2,L4,X L4,X,L1,T] R[L1,T,A00,A99 L2,G,A00,A99 "
               "L4,X,A00,A99]",
               "delete L1/T/L4:X",
               "H[L1,T,L2,G L2,G,L3,P2 L3,P2,L4,X L4,X,L1,T] R[L1,T,-,- L2,G,-,- L4,X,A00,A99]");
    // Another program made X the parent of its own parent T: a range deleted at X leaves T, whose only child
    // X no longer holds it.
    everywhere("range delete at a code on a cycle through it", 3,
               "H[L1,T,L2,X L2,X,L1,T] R[L1,T,100,199 L2,X,100,199 L2,X,200,299]",
               "range delete L2/X/100,199", "H[L1,T,L2,X L2,X,L1,T] R[L1,T,-,- L2,X,200,299]");
    // A hierarchy row with a blank child, or a holder's level without codes, feeds nothing, whatever rows
    // another program keyed with blanks.
    everywhere("detach: the parent code's placeholder row is no child", 3,
               "H[L2,P,L3,X] R[L3,X,100,199 L2,P,100,199 -,-,100,199]", "delete L2/P/L3:X",
               "H[L2,P,-,-] R[-,-,100,199 L2,P,-,- L3,X,100,199]");
    everywhere("detach from a multiplier: a level without codes is no feeder", 1,
               "MH[M1,L1,C M1,L2,-] R[L1,C,100,199 L2,-,100,199] MR[M1,100,199]", "delete M1/L1/C",
               "MH[M1,L1,- M1,L2,-] R[L1,C,100,199 L2,-,100,199] MR[M1,-,-]");
    // One code name at two levels is two codes: as a child, as a holder's code, as a parent.
    everywhere("detach: the parent's child of its own name at another level keeps the range", 3,
               "H[L1,P,L2,P L1,P,L2,X] R[L1,P,100,199 L2,P,100,199 L2,X,100,199]", "delete L1/P/L2:X",
               "H[L1,P,L2,P] R[L1,P,100,199 L2,P,100,199 L2,X,100,199]");
    everywhere("detach: a multiplier's code of the parent's name at another level keeps the range", 3,
               "H[L1,G,L2,X] MH[M1,L1,G M1,L3,G] R[L1,G,100,199 L3,G,100,199 L2,X,100,199] MR[M1,100,199]",
               "delete L1/G/L2:X",
               "H[L1,G,-,-] MH[M1,L1,G M1,L3,G] R[L1,G,-,- L2,X,100,199 L3,G,100,199] MR[M1,100,199]");
    everywhere("detach: a parent of the same name at another level feeds nothing here", 3,
               "H[L1,P,L2,X L3,P,L2,Y] R[L1,P,100,199 L3,P,100,199 L2,X,100,199 L2,Y,100,199]",
               "delete L1/P/L2:X",
               "H[L1,P,-,- L3,P,L2,Y] R[L1,P,-,- L2,X,100,199 L2,Y,100,199 L3,P,100,199]");
    everywhere("detach: a multiplier of a same-named code at another level keeps its own range", 3,
               "H[L1,G,L2,X] MH[M2,L3,G] R[L1,G,100,199 L2,X,100,199] MR[M2,100,199]", "delete L1/G/L2:X",
               "H[L1,G,-,-] MH[M2,L3,G] R[L1,G,-,- L2,X,100,199] MR[M2,100,199]");
    // A range delete takes its exact pair only, however the others share a bound with it.
    everywhere("range delete: only the exact pair leaves the parent and its multiplier", 3,
               "H[L1,P,L2,X] MH[M1,L1,P] R[L1,P,100,199 L1,P,100,299 L1,P,050,199 L2,X,100,199] "
               "MR[M1,100,199 M1,100,299]",
               "range delete L2/X/100,199",
               "H[L1,P,L2,X] MH[M1,L1,P] R[L1,P,050,199 L1,P,100,299 L2,X,-,-] MR[M1,100,299]");
    everywhere("attach: a range sharing its From with one the parent holds is copied", 3,
               "H[L1,P,-,-] R[L1,P,100,199 L2,X,100,199 L2,X,100,299]", "save L1/P L2:X",
               "H[L1,P,L2,X] R[L1,P,100,199 L1,P,100,299 L2,X,100,199 L2,X,100,299]");
    // Half-empty ranges another program wrote, an empty bound as "" or as NULL (as Oracle keeps it).
    everywhere("detach: the parent's own range with the same empty From and another To stays", 3,
               "H[L1,P,L2,X] R[L1,P,~,199 L1,P,_,299 L2,X,_,199]", "delete L1/P/L2:X",
               "H[L1,P,-,-] R[L1,P,_,299 L2,X,_,199]");
    everywhere("detach: a range with a NULL From that a sibling still gives stays", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,~,199 L2,X,~,199 L2,Y,_,199]", "delete L1/P/L2:X",
               "H[L1,P,L2,Y] R[L1,P,~,199 L2,X,~,199 L2,Y,_,199]");
    everywhere("attach: a code holding only half-empty ranges", 3,
               "H[L1,P,-,-] R[L1,P,-,- L2,X,_,199 L2,X,100,~]", "save L1/P L2:X",
               "H[L1,P,L2,X] R[L1,P,100,_ L1,P,_,199 L2,X,100,~ L2,X,_,199]");
    // A feeder's code name also used by range rows at another level: only the feeder's own level feeds.
    everywhere("detach: a sibling's name at another level feeds nothing", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y,-,- L3,Y,100,199]",
               "delete L1/P/L2:X", "H[L1,P,L2,Y] R[L1,P,-,- L2,X,100,199 L2,Y,-,- L3,Y,100,199]");
    everywhere("detach from a multiplier: another code's name at another level feeds nothing", 1,
               "MH[M1,L1,C M1,L1,D] R[L1,C,100,199 L1,D,-,- L2,D,100,199] MR[M1,100,199]", "delete M1/L1/C",
               "MH[M1,L1,D] R[L1,C,100,199 L1,D,-,- L2,D,100,199] MR[M1,-,-]");
    // Half-empty ranges sharing their empty side: only the pair a sibling still gives stays.
    everywhere("detach: half-empty ranges sharing their empty From", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,_,199 L1,P,_,299 L2,X,_,199 L2,X,_,299 L2,Y,_,299]",
               "delete L1/P/L2:X", "H[L1,P,L2,Y] R[L1,P,_,299 L2,X,_,199 L2,X,_,299 L2,Y,_,299]");
    everywhere("detach: the parent's own half-empty range beside a lost one", 3,
               "H[L1,P,L2,X] R[L1,P,100,_ L1,P,_,199 L2,X,_,199]", "delete L1/P/L2:X",
               "H[L1,P,-,-] R[L1,P,100,_ L2,X,_,199]");
    // A feeder padded alike in the hierarchy and the range table, or whose level only the hierarchy pads.
    everywhere("detach: a sibling padded alike in the hierarchy and the ranges keeps the range", 3,
               "H[L1,P,L2,X L1,P,L2,Y+] R[L1,P,100,199 L2,X,100,199 L2,Y+,100,199]", "delete L1/P/L2:X",
               "H[L1,P,L2,Y+] R[L1,P,100,199 L2,X,100,199 L2,Y+,100,199]");
    everywhere("detach: a sibling whose level only the hierarchy pads keeps the range", 3,
               "H[L1,P,L2,X L1,P,L2+,Y] R[L1,P,100,199 L2,X,100,199 L2,Y,100,199]", "delete L1/P/L2:X",
               "H[L1,P,L2+,Y] R[L1,P,100,199 L2,X,100,199 L2,Y,100,199]");
    everywhere("detach from a multiplier: a code padded alike in both tables keeps the range", 1,
               "MH[M1,L1,C M1,L1,D+] R[L1,C,100,199 L1,D+,100,199] MR[M1,100,199]", "delete M1/L1/C",
               "MH[M1,L1,D+] R[L1,C,100,199 L1,D+,100,199] MR[M1,100,199]");
    // The level the multiplier's tree shows apart keeps its placeholder where the hierarchy tells the two
    // apart.
    for (const char* v : {"", "*", "&", "="})
        row(qPrintable(QString(v) + " detach from a multiplier: a code whose level only the hierarchy pads "
                                    "keeps the range"),
            1, v + QString("MH[M1,L1,C M1,L1+,D] R[L1,C,100,199 L1,D,100,199] MR[M1,100,199]"),
            "delete M1/L1/C",
            QString(*v == '&' || *v == '=' ? "MH[M1,L1+,D]" : "MH[M1,L1+,D M1,L1,-]") +
                " R[L1,C,100,199 L1,D,100,199] MR[M1,100,199]");
    // Names differing only in trailing blanks are one entry: a sibling whose range rows another program
    // keyed with a trailing blank, and a parent written two ways in the hierarchy.
    everywhere("range delete: a sibling's rows keyed with a trailing blank keep the parent's range", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y+,100,199]",
               "range delete L2/X/100,199", "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L2,X,-,- L2,Y+,100,199]");
    everywhere("detach: a sibling's rows keyed with a trailing blank keep the parent's range", 3,
               "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y+,100,199]", "delete L1/P/L2:X",
               "H[L1,P,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y+,100,199]");
    everywhere("range delete: a parent written two ways keeps what its other child gives", 3,
               "H[L1,P,L2,X L1,P+,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y,100,199]",
               "range delete L2/X/100,199", "H[L1,P,L2,X L1,P+,L2,Y] R[L1,P,100,199 L2,X,-,- L2,Y,100,199]");
    // The code engine keeps the parent's placeholder row where the hierarchy tells the two apart.
    for (const char* v : {"", "*", "&", "="})
        row(qPrintable(QString(v) + " detach: a parent written two ways keeps what its other child gives"), 3,
            v + QString("H[L1,P,L2,X L1,P+,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y,100,199]"),
            "delete L1/P/L2:X",
            QString(*v == '&' || *v == '=' ? "H[L1,P+,L2,Y]" : "H[L1,P+,L2,Y L1,P,-,-]") +
                " R[L1,P,100,199 L2,X,100,199 L2,Y,100,199]");
    // A hierarchy whose codes are narrower than the range table's: an ancestor's first row is keyed
    // without the padding of the hierarchy's own column, so a later removal finds it as a feeder.
    for (const char* v : {"", "!"})
        row(qPrintable(QString(v) + " range save to a parent without rows, then a sibling's delete"), 3,
            v + QString("H[L1,T,L2,P L1,T,L2,Q L2,P,L3,X] R[L1,T,100,199 L2,Q,100,199 L3,X,-,-]"),
            "range save L3/X 100,199;range delete L2/Q/100,199",
            "H[L1,T,L2,P L1,T,L2,Q L2,P,L3,X] R[L1,T,100,199 L2,P,100,199 L2,Q,-,- L3,X,100,199]");
    // A failing statement is logged under the step it belongs to: the existence check, the copy or
    // removal of ranges, or the action itself.
    const char* levels = "H[L1,P,L2,X] R[L1,P,1,2 L2,X,1,2 L2,Y,3,4]";
    const QString in = "@clsAcBuLevelCodeMaint:";
    row("failing existence check", 3, levels, "save L1/P L2:Y", in + "RecordExists|from CS_LEVELHIER where");
    row("failing removal", 3, levels, "delete L1/P/L2:X", in + "MaintRangeOfAccountHier|Delete From CS_COA");
    row("failing existence check of a multiplier's code", 1, "MH[M'1,L1,C] R[L1,C,1,2] MR[M'1,1,2]",
        "delete M'1/L1/C", "@clsAcMultiCategoryCodeMaint:RecordExists|from CS_MULTIPLIERHIER where");
    row("failing delete", 3, levels, "delete L1/P/L2:X", in + "Delete|Delete From CS_LEVELHIER");
    row("failing save", 1, "MH[M'1,L1,C] R[L1,D,3,4]", "save M'1/L1 D",
        "@clsAcMultiCategoryCodeMaint:Save|Insert into CS_MULTIPLIERHIER");
    // A bound another program stored longer than the multiplier's column holds is refused, nothing written;
    // beside it a bound of more units but fewer characters (beyond the basic plane, two units each) fits.
    row("attach of a bound too long", 1,
        "MH[M'1,L1,-] R[L1,D,1," + QString::fromUcs4(U"\U0001D7D9").repeated(11) +
            " L1,D,3,123456789012345678901]",
        "save M'1/L1 D", "@clsAcMultiCategoryCodeMaint:MaintRangeOfAccountHier|");
}

// A single change that is not refused runs again and again with its k-th
// statement failing, k = 1, 2, ..., until it succeeds: each failure is logged
// and leaves the tables and the tree as they were.
void tst_CodeEngines::changes() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, world);
    QFETCH(QString, actions);
    QFETCH(QString, after);
    const QChar variant = Worlds::VariantOf(world);
    if (variant == '*' && w.backend() == "sqlite")
        QSKIP("SQLite has no collation that ignores case and accents");
    if ((variant == '&' || variant == '=' || variant == '!') && w.backend() == "sqlite")
        QSKIP("SQLite pads no column");
    const QString location = after.startsWith('@') ? after.mid(1).section('|', 0, 0) : QString();
    const QString failing = after.section('|', 1);
    // A server holds its columns to their widths: there the code's bounds are made wider than the
    // multiplier's.
    if (!location.isEmpty() && failing.isEmpty() && w.backend() != "sqlite")
        QVERIFY(w.own().Execute("alter table CS_COA_ACCT_RANGE alter column CO_TO_ACCT type varchar(40)"));
    Worlds::Put(w, type, world);
    CodeEditorState st(static_cast<qint16>(type));
    const auto e = engineOf(type, st);
    RangeEditorState rs(static_cast<qint16>(type));
    clsAcLevelRangeMaint ranges;
    ranges.OwnerForm(&rs);
    const QString before = Worlds::State(w, variant);
    if (!location.isEmpty()) {
        if (!failing.isEmpty())
            gDBConnection->adoConnection().FailStatementContaining(failing, {-7, "statement fails", "test"});
        QVERIFY(!act(type, *e, st, actions));
        gDBConnection->adoConnection().ClearInjectedFailures();
        QCOMPARE(Worlds::State(w, variant), before);
        const QString log = m_env->logText().trimmed();
        const QString why = failing.isEmpty() ? "is longer than the 20 characters" : "statement fails";
        QVERIFY2(log.count("Error #") == 1 && log.endsWith(") in " + location) && log.contains(why),
                 qPrintable(log));
        // A refused value is named to the user, and a failure told in the database's words, once the action
        // is undone.
        QVERIFY2(m_env->ui.messages.size() == 1 && m_env->ui.messages[0].prompt.contains(why) &&
                     !m_env->ui.inTransaction[0],
                 qPrintable(m_env->prompts().join(" / ")));
        return;
    }
    const QString refusal = after.startsWith('!') ? after.mid(1) : QString();
    // The variants of a server's columns run each action once.
    const bool inject = refusal.isEmpty() && !actions.contains(';') && !actions.startsWith("range") &&
                        (variant.isNull() || variant == '#');
    for (const QString& a : actions.split(';')) {
        if (a.startsWith("range")) {
            QVERIFY2(rangeAct(rs, ranges, a), qPrintable(a + ": " + m_env->prompts().join(" / ")));
            continue;
        }
        const QString at = a.section(' ', 1, 1);
        const QString key = (at == "^" ? st.EnsureRoot() : st.AddPath(path(type, at)))->Key();
        int k = inject ? 1 : 0;
        for (; k > 0 && k < 100; ++k) {
            st.trvMaintenance_NodeClick(st.Tree()->Node(key));
            const QString tree = treeOf(st);
            gDBConnection->adoConnection().FailNthStatement(k, {-7, "statement k fails", "test"});
            const qsizetype shown = m_env->ui.messages.size();
            const qsizetype logged = m_env->logText().count("Error #FFFFFFF9 (statement k fails)");
            const bool done = act(type, *e, st, a);
            gDBConnection->adoConnection().ClearInjectedFailures();
            if (done)
                break;
            QVERIFY(Worlds::State(w, variant) == before && treeOf(st) == tree);
            // Logged once with the database's number and text, told once in its words after the rollback.
            QCOMPARE(m_env->logText().count("Error #FFFFFFF9 (statement k fails)"), logged + 1);
            QCOMPARE(m_env->prompts().mid(shown), QStringList{"statement k fails"});
            RangeEngineRuns::toldOnceAfterTheAction(m_env->ui, shown);
        }
        QVERIFY(inject ? k > 3 && k < 100 : act(type, *e, st, a) == refusal.isEmpty());
        if (refusal.isEmpty() && a.startsWith("delete"))
            QVERIFY(!st.Tree()->Node(key));
        if (refusal.isEmpty() && a.startsWith("save")) { // the new node, selected below the clicked one
            QCOMPARE(st.Tree()->SelectedItem()->Parent()->Key(), key);
            QCOMPARE(st.Tree()->SelectedItem()->Tag(), QString::number(st.nodeType));
        }
    }
    QCOMPARE(Worlds::State(w, variant), refusal.isEmpty() ? Worlds::Canonical(after, variant) : before);
    QCOMPARE(st.NewRecord, !refusal.isEmpty()); // a refused insert stays pending
    if (!refusal.isEmpty()) {
        QCOMPARE(m_env->prompts(), QStringList{refusal.section('|', 0, 0)});
        QCOMPARE(m_env->ui.messages[0].title, refusal.section('|', 1));
        QVERIFY(!m_env->ui.inTransaction[0]); // told after the rollback: no lock
                                              // waits on the user
    }
    QVERIFY(inject || !m_env->logText().contains("Error"));
}

// An engine driven without its editor may be handed a value no lookup offers: one longer than its column is
// refused in words naming the column, told after the rollback and logged under Save; nothing is written
// and the insert stays pending.
void tst_CodeEngines::overlongEntryRefused_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("world");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("column"); // the width and the column named by the refusal
    const auto row = [](const char* name, int type, const char* world, const char* action,
                        const char* column) {
        Warehouse::addRows(name, type, QString(world), QString(action), QString(column));
    };
    row("chart", 3, "", "save ^ C'123456789", "10 characters that CS_COA of CS_LEVELHIER");
    row("parent level", 3, "H[-,-,-,-]", "save / L'123456789",
        "10 characters that CS_PARENTLEVEL of CS_LEVELHIER");
    row("parent code", 3, "H[L1,-,-,-]", "save L1 P'2345678901234567890",
        "20 characters that CS_PARENTCODE of CS_LEVELHIER");
    row("child code", 3, "H[L1,P,-,-]", "save L1/P L2:C'2345678901234567890",
        "20 characters that CS_CHILDCODE of CS_LEVELHIER");
    row("child level", 4, "H[L1,P,-,-]", "save L1/P L'123456789:C",
        "10 characters that CS_CHILDLEVEL of CS_LEVELHIER");
    row("multiplier", 1, "MH[-,-,-]", "save / M'123456789",
        "10 characters that CS_MULTIPLIER of CS_MULTIPLIERHIER");
    row("code of a category", 2, "CH[K'1,L1,-]", "save K'1/L1 C'2345678901234567890",
        "20 characters that CS_CODE of CS_CATEGORYHIER");
}

void tst_CodeEngines::overlongEntryRefused() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, world);
    QFETCH(QString, action);
    QFETCH(QString, column);
    Worlds::Put(w, type, world);
    CodeEditorState st(static_cast<qint16>(type));
    const auto e = engineOf(type, st);
    const QString before = w.snapshot();
    QVERIFY(!act(type, *e, st, action));
    QCOMPARE(w.snapshot(), before);
    QVERIFY(st.NewRecord);
    QCOMPARE(m_env->ui.messages.size(), 1);
    QVERIFY2(m_env->ui.messages[0].prompt.endsWith("is longer than the " + column +
                                                   " holds; nothing was written."),
             qPrintable(m_env->ui.messages[0].prompt));
    QVERIFY(!m_env->ui.inTransaction[0]);
    const QString log = m_env->logText().trimmed();
    QVERIFY2(log.count("Error #") == 1 && log.endsWith(type <= 2 ? "in clsAcMultiCategoryCodeMaint:Save"
                                                                 : "in clsAcBuLevelCodeMaint:Save"),
             qPrintable(log));
}

// A detach of thousands of ranges goes set by set, its statements growing with the codes it touches, not
// with the ranges; and it leaves exactly the rows that taking the ranges one by one leaves, worked out here
// range by range. X (L3) leaves P (L2) below G (L1); Q, another child of P, holds every seventh of X's
// ranges; the multiplier M'1 holds P and the category K'1 holds G. P also holds a range that shares its
// From with one of X's, and one of X's twice; X also has a range with an empty To and one with an empty
// From, which P and G hold as NULL, as another program may have written it.
void tst_CodeEngines::detachOfManyRanges() {
    QLX_OPEN_WAREHOUSE(w);
    constexpr int kRanges = 2500;
    const auto range = [](int i) {
        return QStringList{QString("%1'").arg(100000 + 10 * i), QString("%1%").arg(100009 + 10 * i)};
    };
    QStringList x, q, own;
    for (int i = 0; i < kRanges; ++i) {
        x << range(i).join(',');
        if (i % 7 == 0)
            q << range(i).join(',');
    }
    x << "5',_"
      << "_,7'";
    for (int i = 0; i < 3; ++i)
        own << range(kRanges + i).join(',');
    const QString shared = range(5)[0] + ",other";
    const QString twice = range(10).join(',');
    // The rows of a table, "first values,from,to" ("_" empty, "~" NULL), written a few hundred to a
    // statement.
    const auto write = [&w](const QString& table, const QString& lead, const QStringList& ranges) {
        for (qsizetype first = 0; first < ranges.size(); first += 500) {
            QStringList rows;
            for (const QString& r : ranges.mid(first, 500)) {
                QStringList values = (lead + "," + r).split(',');
                for (QString& v : values)
                    v = v == "~" ? "NULL" : SqlText(v == "_" ? QString() : v);
                rows << "(" + values.join(',') + ")";
            }
            QVERIFY(w.own().Execute("insert into " + table + " values " + rows.join(',')));
        }
    };
    Worlds::Put(w, 3, "H[L1,G,L2,P L2,P,L3,X L2,P,L3,Q] MH[M'1,L2,P] CH[K'1,L1,G]");
    write("CS_COA_ACCT_RANGE", kChart + ",L3,X", x);
    write("CS_COA_ACCT_RANGE", kChart + ",L3,Q", q);
    const QStringList nulls = QStringList(x).replaceInStrings(QRegularExpression("^_,"), "~,");
    write("CS_COA_ACCT_RANGE", kChart + ",L2,P", nulls + own + QStringList{shared, twice});
    write("CS_COA_ACCT_RANGE", kChart + ",L1,G", nulls + own);
    write("CS_MULTIPLIER_RANGE", kChart + ",M'1", x + own);
    write("CS_CAT_TYPE", kChart + ",K'1", x);
    const auto rowsOf = [&w](const QString& table, const QString& code) {
        QStringList rows = w.rows("select * from " + table + " where " + code);
        rows.sort();
        return rows;
    };
    // What each code and holder keeps: what Q still gives P, and on up; its own ranges; the range that only
    // shares a From with one of X's.
    const auto expected = [&](const QString& lead, const QStringList& ranges) {
        QStringList rows;
        for (const QString& r : ranges)
            rows << QString(lead + "," + r).replace(',', '|').replace('_', QString());
        rows.sort();
        return rows;
    };
    const QString code = "CO_COA = " + SqlText(kChart) + " and CO_CODE = ";
    CodeEditorState st(3);
    const auto e = engineOf(3, st);
    const qint64 sent = gDBConnection->adoConnection().StatementCount();
    QVERIFY2(act(3, *e, st, "delete L2/P/L3:X"), qPrintable(m_env->logText()));
    QVERIFY2(gDBConnection->adoConnection().StatementCount() - sent < 100,
             qPrintable(QString::number(gDBConnection->adoConnection().StatementCount() - sent)));
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code + "'X'"), expected(kChart + ",L3,X", x));
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code + "'Q'"), expected(kChart + ",L3,Q", q));
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code + "'P'"),
             expected(kChart + ",L2,P", q + own + QStringList{shared}));
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code + "'G'"), expected(kChart + ",L1,G", q + own));
    QCOMPARE(rowsOf("CS_MULTIPLIER_RANGE", "MUL_CODE = 'M''1'"), expected(kChart + ",M'1", q + own));
    QCOMPARE(rowsOf("CS_CAT_TYPE", "CAT_TYP_CD = 'K''1'"), expected(kChart + ",K'1", q));
}

// Hierarchies as wide as real charts: P (L2, under G at L1) with 600 children K00000-K00599 at L3, each
// holding a range of its own, K00000 and K00001 also 100-199, all of which P and G hold; the multiplier M1 on
// G and the category CT1 on P, each also on 1,999 codes Z00001-Z01999 (L4) holding a range of their own,
// Z00005 also 100-199. Range deletes and detaches below them carry up exactly as with two children, each in a
// few statements however many children and codes there are.
void tst_CodeEngines::wideHierarchies_data() {
    Warehouse::addColumns<QString>("variant");
    QTest::addColumn<bool>("analyzed");
    Warehouse::addRows("plain", QString(), false);
    // A server's fixed-width hierarchies beside range tables that are not, and fixed-width tables throughout.
    Warehouse::addRows("fixed-width hierarchies", QString("="), false);
    Warehouse::addRows("fixed-width tables", QString("&"), false);
    // The same with the statistics a warehouse has within a minute of a load, which plan the statements
    // otherwise.
    Warehouse::addRows("plain, analyzed", QString(), true);
    Warehouse::addRows("fixed-width tables, analyzed", QString("&"), true);
}

void tst_CodeEngines::wideHierarchies() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, variant);
    QFETCH(bool, analyzed);
    if (!variant.isEmpty() && w.backend() == "sqlite")
        QSKIP("SQLite pads no column");
    Worlds::Put(w, 3, variant);
    constexpr int kChildren = 600, kCodes = 2000;
    const auto own = [](char kind, int i) {
        const int from = (kind == 'K' ? 200000 : 900000) + 10 * i;
        return QString("%1,%2").arg(from).arg(from + 9);
    };
    const auto code = [](char kind, int i) { return QString("%1%2").arg(kind).arg(i, 5, 10, QChar('0')); };
    // Rows of a table, each the chart and "values", written a few hundred to a statement.
    const auto write = [&w](const QString& table, const QStringList& rows, bool area) {
        for (qsizetype first = 0; first < rows.size(); first += 500) {
            QStringList values;
            for (const QString& r : rows.mid(first, 500)) {
                QStringList v = (QString(area ? "AC," : "") + kChart + "," + r).split(',');
                for (QString& value : v)
                    value = SqlText(value);
                values << "(" + v.join(',') + ")";
            }
            QVERIFY(w.own().Execute("insert into " + table + " values " + values.join(',')));
        }
    };
    QStringList hierarchy{"L1,G,L2,P"}, multipliers{"M1,L1,G"}, categories{"CT1,L2,P"}, ranges, held, m1, ct1;
    for (int i = 0; i < kChildren; ++i) {
        hierarchy << "L2,P,L3," + code('K', i);
        ranges << "L3," + code('K', i) + "," + own('K', i);
        held << own('K', i);
    }
    ranges << "L3,K00000,100,199"
           << "L3,K00001,100,199"
           << "L4,Z00005,100,199";
    held << "100,199";
    for (int j = 1; j < kCodes; ++j) {
        multipliers << "M1,L4," + code('Z', j);
        categories << "CT1,L4," + code('Z', j);
        ranges << "L4," + code('Z', j) + "," + own('Z', j);
        m1 << own('Z', j);
    }
    ct1 = m1 + held;
    m1 += held;
    for (const QString& top : {QString("L2,P,"), QString("L1,G,")})
        for (const QString& r : held)
            ranges << top + r;
    write("CS_LEVELHIER", hierarchy, true);
    write("CS_MULTIPLIERHIER", multipliers, true);
    write("CS_CATEGORYHIER", categories, true);
    write("CS_COA_ACCT_RANGE", ranges, false);
    write("CS_MULTIPLIER_RANGE", QStringList(m1).replaceInStrings(QRegularExpression("^"), "M1,"), false);
    write("CS_CAT_TYPE", QStringList(ct1).replaceInStrings(QRegularExpression("^"), "CT1,"), false);
    if (analyzed)
        QVERIFY(w.own().Execute("ANALYZE"));
    const auto rowsOf = [&w](const QString& table, const QString& key) {
        QStringList rows = w.rows("select * from " + table + " where " + key);
        for (QString& r : rows) {
            // The bounds, without the blanks a fixed-width column pads them with; a blank one is "-".
            QStringList bounds = r.split('|').mid(r.count('|') - 1);
            for (QString& b : bounds)
                b = clsGenericMaint::ShownValue(b).isEmpty() ? "-" : clsGenericMaint::ShownValue(b);
            r = bounds.join(',');
        }
        rows.sort();
        return rows;
    };
    const auto sorted = [](QStringList rows) {
        rows.sort();
        return rows;
    };
    const auto code3 = [](const QString& c) {
        return "CO_COA = " + SqlText(kChart) + " and CO_CODE = '" + c + "'";
    };
    CodeEditorState levels(3), multiplier(1);
    const auto detach = engineOf(3, levels), leave = engineOf(1, multiplier);
    RangeEditorState rs(3);
    clsAcLevelRangeMaint rangeEngine;
    rangeEngine.OwnerForm(&rs);
    DbConnection& db = gDBConnection->adoConnection();
    // Each action: in a few statements, and P, G, the multiplier and the category hold what is expected.
    const auto acted = [&](const std::function<bool()>& action) {
        const qint64 sent = db.StatementCount();
        QVERIFY2(action(), qPrintable(m_env->prompts().join('/')));
        const qint64 statements = db.StatementCount() - sent;
        QVERIFY2(statements < 60, qPrintable(QString::number(statements)));
        QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code3("P")), sorted(held));
        QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code3("G")), sorted(held));
        QCOMPARE(rowsOf("CS_MULTIPLIER_RANGE", "MUL_CODE = 'M1'"), sorted(m1));
        QCOMPARE(rowsOf("CS_CAT_TYPE", "CAT_TYP_CD = 'CT1'"), sorted(ct1));
    };
    // K00001 still gives 100-199: nothing else changes.
    acted([&] { return rangeAct(rs, rangeEngine, "range delete L3/K00000/100,199"); });
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code3("K00000")), QStringList{own('K', 0)});
    // K00001 leaves P: its range and 100-199 leave P and G, and its range the multiplier of G and the
    // category of P, where Z00005 still gives 100-199.
    held.removeAll(own('K', 1));
    held.removeAll("100,199");
    m1.removeAll(own('K', 1));
    ct1.removeAll(own('K', 1));
    acted([&] { return act(3, *detach, levels, "delete L2/P/L3:K00001"); });
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code3("K00001")), sorted({own('K', 1), "100,199"}));
    // Z00005 leaves M1, and with it the last code giving M1 100-199.
    m1.removeAll(own('Z', 5));
    m1.removeAll("100,199");
    acted([&] { return act(1, *leave, multiplier, "delete M1/L4/Z00005"); });
    // K00002's only range goes, from P, G, the multiplier and the category; K00002 keeps its placeholder.
    for (QStringList* rows : {&held, &m1, &ct1})
        rows->removeAll(own('K', 2));
    acted([&] { return rangeAct(rs, rangeEngine, "range delete L3/K00002/" + own('K', 2)); });
    QCOMPARE(rowsOf("CS_COA_ACCT_RANGE", code3("K00002")), QStringList{"-,-"});
    QCOMPARE(w.scalar("select count(*) from CS_LEVELHIER where CS_PARENTCODE = 'P'"),
             QString::number(kChildren - 1));
    QVERIFY(!m_env->logText().contains("Error"));
}

// An attach of many ranges goes in a few statements, not one a range, and leaves the rows that copying the
// ranges one by one leaves, worked out here range by range: P gets each range of X it does not hold yet, once
// (an empty bound matching NULL), never X's placeholder. P already holds every fifth of X's ranges and a
// range X holds with an empty From, as NULL; X holds some ranges twice.
void tst_CodeEngines::attachOfManyRanges() {
    QLX_OPEN_WAREHOUSE(w);
    constexpr int kRanges = 1000;
    QStringList x{"-,-", "5',_", "_,7'", "9',~"};
    QStringList p{"~,7'", "own'1,own'2"};
    for (int i = 0; i < kRanges; ++i) {
        const QString range = QString("%1',%2%").arg(100000 + 10 * i).arg(100009 + 10 * i);
        x << range;
        if (i % 5 == 0)
            p << range;
        if (i % 100 == 0)
            x << range;
    }
    QStringList after = p;
    QSet<QString> held;
    for (const QString& r : p)
        held.insert(QString(r).replace('~', '_'));
    for (const QString& r : x) {
        const QString written = QString(r).replace('~', '_');
        if (r != "-,-" && !held.contains(written)) {
            held.insert(written);
            after << written;
        }
    }
    const auto rows = [](const QString& code, const QStringList& ranges) {
        QStringList all;
        for (const QString& r : ranges)
            all << code + "," + r;
        return all;
    };
    Worlds::Put(w, 3, "H[L1,P,-,-] R[" + (rows("L1,P", p) + rows("L2,X", x)).join(' ') + "]");
    CodeEditorState st(3);
    const auto e = engineOf(3, st);
    const qint64 sent = gDBConnection->adoConnection().StatementCount();
    QVERIFY(act(3, *e, st, "save L1/P L2:X"));
    const qint64 statements = gDBConnection->adoConnection().StatementCount() - sent;
    QVERIFY2(statements < 30, qPrintable(QString::number(statements)));
    QStringList expected = rows("L1,P", after) + rows("L2,X", x);
    expected.sort();
    QCOMPARE(Worlds::State(w), "H[L1,P,L2,X] R[" + expected.join(' ') + "]");
}

// In an editor the user attaches a code and its ranges go to the holder; then,
// a lookup having put another code in the box, deletes: the selected code goes
// with its ranges, and the tables are as before.
void tst_CodeEngines::throughTheEditor_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("world");
    QTest::addColumn<QString>("node"); // the key fields below the chart of the node the code goes below
    QTest::addColumn<QString>("code"); // "L2:13": a child level and code
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, int type, const char* world, const char* node, const char* code,
                        const char* after) {
        Warehouse::addRows(name, type, QString(world), QString(node), QString(code), QString(after));
    };
    row("level", 3, "H[L1,9,-,-] R[L1,9,-,- L2,13,1'0,1%9]", "L1,9", "L2:13",
        "H[L1,9,L2,13] R[L1,9,1'0,1%9 L2,13,1'0,1%9]");
    row("multiplier", 1, "MH[M'1,L3,-] R[L3,212,1'0,1%9] MR[M'1,-,-]", "M'1,L3", "212",
        "MH[M'1,L3,212] R[L3,212,1'0,1%9] MR[M'1,1'0,1%9]");
    row("category", 2, "CH[K'1,L3,-] R[L3,112,1'0,1%9] CR[K'1,-,-]", "K'1,L3", "112",
        "CH[K'1,L3,112] R[L3,112,1'0,1%9] CR[K'1,1'0,1%9]");
    // The node shows the code without its trailing blanks; the child goes below the code as stored.
    row("level below a padded parent code", 3, "H[L1,++9'++,-,-] R[L1,++9'++,-,- L2,13,1'0,1%9]", "L1,++9'",
        "L2:13", "H[L1,++9'++,L2,13] R[L1,++9'++,1'0,1%9 L2,13,1'0,1%9]");
}

void tst_CodeEngines::throughTheEditor() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, world);
    QFETCH(QString, node);
    QFETCH(QString, code);
    QFETCH(QString, after);
    Worlds::Put(w, type, world);
    const QString before = w.snapshot();
    Main();
    frmCodeMaintenance* f = OpenCodeEditor(type);
    QVERIFY(f && f->trvMaintenance_NodeClick(CodeNode(*f, kChart + "," + node.replace('+', ' '))));
    f->Insert();
    EntryBox* box = code.contains(':') ? f->txtChildCode : f->txtParentCode[0];
    if (code.contains(':'))
        f->txtChildLevel->setText(code.section(':', 0, 0));
    box->setText(code.section(':', -1));
    f->Save();
    QVERIFY(!f->NewRecord && f->NodeType() == 4);
    QCOMPARE(Worlds::State(w), after);
    box->setText("1");
    m_env->ui.answers << vbYes;
    f->Delete();
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(m_env->ui.messages.size(), 1); // the question only
}

// The warehouse refuses the write itself, as a server does for a read-only table or user, a constraint or a
// lock held too long: in the editor the user reads the database's own words first, after the rollback, then
// the editor's message, and nothing is changed. `refusal`: "unique" a unique index the write breaks, or
// "trigger <table>" a trigger refusing every write on the table.
void tst_CodeEngines::failureToldWithItsCause_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("world");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("node"); // the key fields below the chart of the node acted on
    QTest::addColumn<QString>(
        "code"); // saved below the node ("L2:13" a child level and code); empty: deleted
    QTest::addColumn<QString>("words"); // what the database says, as a pattern
    const auto row = [](const char* name, int type, const char* world, const char* refusal, const char* node,
                        const char* code, const char* words) {
        Warehouse::addRows(name, type, QString(world), QString(refusal), QString(node), QString(code),
                           QString(words));
    };
    row("attach breaking a unique index", 3, "H[L1,9,L2,11] R[L2,12,1,2]", "unique", "L1,9", "L2:12",
        "unique");
    row("detach whose placeholder breaks a unique index", 3, "H[L1,9,L2,11 L1,2,-,-] R[L2,11,1,2]", "unique",
        "L1,9,11", "", "unique");
    row("attach to a multiplier whose hierarchy refuses writes", 1, "MH[M'1,L2,-] R[L2,12,1,2] MR[M'1,-,-]",
        "trigger CS_MULTIPLIERHIER", "M'1,L2", "12", kClosed);
    row("detach from a category whose ranges refuse writes", 2, "CH[K'1,L1,C] R[L1,C,1,2] CR[K'1,1,2]",
        "trigger CS_CAT_TYPE", "K'1,L1,C", "", kClosed);
}

void tst_CodeEngines::failureToldWithItsCause() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, world);
    QFETCH(QString, refusal);
    QFETCH(QString, node);
    QFETCH(QString, code);
    QFETCH(QString, words);
    Worlds::Put(w, type, world);
    const bool sqlite = w.backend() == "sqlite";
    if (refusal == "unique") { // one child per parent code, two children with one child level and code
        const QString columns =
            code.isEmpty() ? "CS_CHILDLEVEL, CS_CHILDCODE" : "CS_PARENTLEVEL, CS_PARENTCODE";
        QVERIFY(w.own().Execute("create unique index qlx_refusal on CS_LEVELHIER (CS_AREA, CS_COA, " +
                                columns + ") where CS_COA = " + SqlText(kChart)));
    } else if (sqlite) {
        const QString table = refusal.section(' ', 1);
        for (const char* write : {"insert", "update", "delete"})
            QVERIFY(w.own().Execute(QString("create trigger qlx_refusal_%1 before %1 on %2 begin select "
                                            "raise(abort, %3); end")
                                        .arg(write, table, SqlText(kClosed))));
    } else {
        QVERIFY(w.own().Execute("create function qlx_refusal() returns trigger language plpgsql as $$ begin "
                                "raise exception " +
                                SqlText(kClosed) + "; end $$"));
        QVERIFY(w.own().Execute("create trigger qlx_refusal before insert or update or delete on " +
                                refusal.section(' ', 1) + " for each row execute function qlx_refusal()"));
    }
    const QString before = w.snapshot();
    Main();
    frmCodeMaintenance* f = OpenCodeEditor(type);
    QVERIFY(f && f->trvMaintenance_NodeClick(CodeNode(*f, kChart + "," + node)));
    QStringList expected;
    if (code.isEmpty()) {
        m_env->ui.answers << vbYes;
        f->Delete();
        expected = QStringList{"Do you want to delete selected item?", words,
                               "Item cannot be deleted. Delete cancelled"};
    } else {
        f->Insert();
        if (code.contains(':'))
            f->txtChildLevel->setText(code.section(':', 0, 0));
        (code.contains(':') ? f->txtChildCode : f->txtParentCode[f->FieldsIndex()])
            ->setText(code.section(':', -1));
        f->Save();
        expected = QStringList{words, "Item could not be added. Accept Cancelled"};
    }
    QCOMPARE(w.snapshot(), before);
    const QRegularExpression cause(words, QRegularExpression::CaseInsensitiveOption);
    QStringList shown = m_env->prompts();
    for (QString& prompt : shown)
        if (prompt.contains(cause))
            prompt = words;
    QCOMPARE(shown, expected);
    QVERIFY(!m_env->ui.inTransaction.contains(true));
    QVERIFY2(m_env->logText().contains(cause), qPrintable(m_env->logText()));
}

// A code held by hundreds of multipliers and categories: a range saved on it reaches every one, and its
// delete leaves every one that no other code of it still gives the range, as with two holders. Each holder
// has a range of its own beside; one multiplier and one category also hold Y, which gives 100-199 too.
void tst_CodeEngines::codeOfManyHolders() {
    QLX_OPEN_WAREHOUSE(w);
    constexpr int kHolders = 300;
    QStringList multipliers, categories, ranges;
    const auto name = [](char kind, int i) { return QString("%1%2").arg(kind).arg(i, 4, 10, QChar('0')); };
    for (int i = 0; i < kHolders; ++i) {
        multipliers << name('M', i) + ",L1,X";
        categories << name('K', i) + ",L1,X";
        ranges << QString("%1,100,199 %1,9%2,9%2").arg(name('M', i)).arg(i);
    }
    multipliers << name('M', 7) + ",L2,Y";
    categories << name('K', 9) + ",L2,Y";
    QStringList categoryRanges = ranges;
    categoryRanges.replaceInStrings("M", "K");
    Worlds::Put(w, 3,
                "MH[" + multipliers.join(' ') + "] CH[" + categories.join(' ') +
                    "] R[L1,X,100,199 L2,Y,100,199] MR[" + ranges.join(' ') + "] CR[" +
                    categoryRanges.join(' ') + "]");
    RangeEditorState rs(3);
    clsAcLevelRangeMaint engine;
    engine.OwnerForm(&rs);
    // The chart's rows of a holders' table ("MUL" or "CAT" its columns' lead) with this From.
    const auto holding = [&w](const QString& lead, const QString& from) {
        const QString table = lead == "MUL" ? "CS_MULTIPLIER_RANGE" : "CS_CAT_TYPE";
        return w
            .scalar("select count(*) from " + table + " where " + lead + "_FR_ACCT = '" + from + "' and " +
                    lead + "_COA = " + SqlText(kChart))
            .toInt();
    };
    QVERIFY(rangeAct(rs, engine, "range save L1/X 300,399"));
    QCOMPARE(holding("MUL", "300"), kHolders);
    QCOMPARE(holding("CAT", "300"), kHolders);
    QVERIFY(rangeAct(rs, engine, "range delete"));
    QVERIFY(rangeAct(rs, engine, "range delete L1/X/100,199"));
    QCOMPARE(holding("MUL", "300"), 0);
    QCOMPARE(holding("CAT", "300"), 0);
    // Only the holders Y still gives 100-199 keep it; each keeps its own range, so none gets a placeholder.
    QCOMPARE(w.rows("select MUL_CODE from CS_MULTIPLIER_RANGE where MUL_FR_ACCT = '100'"),
             QStringList{"M0007"});
    QCOMPARE(w.rows("select CAT_TYP_CD from CS_CAT_TYPE where CAT_FR_ACCT = '100'"), QStringList{"K0009"});
    QCOMPARE(holding("MUL", " "), 0);
    QCOMPARE(w.scalar("select count(*) from CS_MULTIPLIER_RANGE where MUL_COA = " + SqlText(kChart)),
             QString::number(kHolders + 1));
    QCOMPARE(w.scalar("select count(*) from CS_CAT_TYPE where CAT_COA = " + SqlText(kChart)),
             QString::number(kHolders + 1));
    QVERIFY(!m_env->logText().contains("Error"));
}

void tst_CodeEngines::codeOfManyHoldersSettled_data() {
    Warehouse::addColumns<QString>("variant");
    for (const char* v : {"", "#", "&", "="})
        Warehouse::addRows(*v ? QString("columns ") + v : QString("varying columns"), QString(v));
}

// A range deleted at a code held by hundreds of multipliers and categories settles every holder as it
// settles one: a holder that another of its codes still gives the range keeps it (whichever way that code's
// row spells the holder), one that holds a range of its own keeps that, one left without rows gets its
// placeholder, and one that held no row gets none. Names carry an apostrophe, and some are written padded in
// the hierarchy, in the range table or in both. The range saved and deleted again afterwards leaves every
// holder as before, the one without rows now with its placeholder.
void tst_CodeEngines::codeOfManyHoldersSettled() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, variant);
    if (!variant.isEmpty() && w.backend() == "sqlite")
        QSKIP("SQLite pads no column");
    constexpr int kHolders = 240;
    // The holder's name as the hierarchy spells it in its row of X'1 and of Y, and as its range table does.
    const auto name = [](QChar kind, int i) { return QString("%1'%2").arg(kind).arg(i, 4, 10, QChar('0')); };
    const auto spelled = [](const QString& n, bool padded) { return padded ? n + "+" : n; };
    QString before, after;
    for (const QChar kind : {QChar('M'), QChar('K')}) {
        QStringList hierarchy, ranges, settled;
        for (int i = 0; i < kHolders; ++i) {
            const QString n = name(kind, i);
            const QString ranged = spelled(n, i % 10 == 9);
            hierarchy << spelled(n, i % 10 == 3 || i % 10 == 9) + ",L1,X'1";
            if (i == 4)
                continue; // a holder without rows
            ranges << ranged + ",100,199";
            if (i % 3 == 0) {
                ranges << QString("%1,9%2,9'%2").arg(ranged).arg(i);
                settled << QString("%1,9%2,9'%2").arg(ranged).arg(i);
            } else if (i % 3 == 1) {
                settled << ranged + ",-,-";
            } else {
                // Y gives the range too; some holders are spelled padded in Y's row alone.
                hierarchy << spelled(n, i % 6 == 5) + ",L2,Y";
                settled << ranged + ",100,199";
            }
        }
        const QString tags = kind == 'M' ? "MH MR" : "CH CR";
        before +=
            QString(" %1[%2] %3[%4]")
                .arg(tags.section(' ', 0, 0), hierarchy.join(' '), tags.section(' ', 1), ranges.join(' '));
        after +=
            QString(" %1[%2] %3[%4]")
                .arg(tags.section(' ', 0, 0), hierarchy.join(' '), tags.section(' ', 1), settled.join(' '));
    }
    const QString codes = " R[L1,X'1,100,199 L2,Y,100,199 L2,Z,100,199]";
    const QString codesAfter = " R[L1,X'1,-,- L2,Y,100,199 L2,Z,100,199]";
    const auto world = [&](const QString& holders, const QString& rangeRows) {
        // In the order the tables are read: the hierarchies, then the range tables.
        const QStringList h = holders.split("] ", Qt::SkipEmptyParts);
        return h[0] + "] " + h[2] + "]" + rangeRows + " " + h[1] + "] " + h[3];
    };
    Worlds::Put(w, 3, variant + world(before.trimmed(), codes));
    RangeEditorState rs(3);
    clsAcLevelRangeMaint engine;
    engine.OwnerForm(&rs);
    const QChar v = Worlds::VariantOf(variant);
    QVERIFY(rangeAct(rs, engine, "range delete L1/X'1/100,199"));
    const QString settled = world(after.trimmed(), codesAfter);
    QCOMPARE(Worlds::State(w, v), Worlds::Canonical(settled, v));
    QVERIFY(rangeAct(rs, engine, "range save L1/X'1 300,399"));
    QVERIFY(rangeAct(rs, engine, "range delete"));
    // The holder without rows got the range with the others, and its placeholder back with them.
    QCOMPARE(Worlds::State(w, v),
             Worlds::Canonical(
                 QString(settled).replace(" MR[", " MR[M'0004,-,- ").replace(" CR[", " CR[K'0004,-,- "), v));
    QVERIFY(!m_env->logText().contains("Error"));
}

// Oracle compares a fixed-width range column with the hierarchies' varying text without padding, takes an
// empty text for NULL and takes no select without a table: the same changes hold there, run through Oracle's
// stand-in on a SQLite warehouse whose range table is fixed-width and holds its values padded.
void tst_CodeEngines::oracleFixedWidthRanges_data() {
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("world");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, int type, const char* world, const char* actions,
                        const char* after) {
        Warehouse::addRows(name, type, QString(world), QString(actions), QString(after));
    };
    row("range delete: a sibling still gives the range", 3,
        "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,Y,100,199]", "range delete L2/X/100,199",
        "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L2,X,-,- L2,Y,100,199]");
    row("detach: a sibling still gives the range", 3,
        "H[L1,P,L2,X L1,P,L2,Y] R[L1,P,100,199 L1,P,200,299 L2,X,100,199 L2,X,200,299 L2,Y,100,199]",
        "delete L1/P/L2:X", "H[L1,P,L2,Y] R[L1,P,100,199 L2,X,100,199 L2,X,200,299 L2,Y,100,199]");
    row("detach from a multiplier, another code feeds it", 1,
        "MH[M1,L1,C M1,L1,D] R[L1,C,100,199 L1,C,200,299 L1,D,100,199] MR[M1,100,199 M1,200,299]",
        "delete M1/L1/C", "MH[M1,L1,D] R[L1,C,100,199 L1,C,200,299 L1,D,100,199] MR[M1,100,199]");
    // An empty bound is NULL there: the parent's own half-empty range stays, the lost one goes.
    row("detach: half-empty ranges", 3, "H[L1,P,L2,X] R[L1,P,100,~ L1,P,~,199 L2,X,~,199]",
        "delete L1/P/L2:X", "H[L1,P,-,-] R[L1,P,100,~ L2,X,~,199]");
    row("detach the last child: placeholders back", 3, "H[L1,P,L2,X] R[L1,P,100,199 L2,X,100,199]",
        "delete L1/P/L2:X", "H[L1,P,-,-] R[L1,P,-,- L2,X,100,199]");
    row("range delete carried up the chain and out of a multiplier", 3,
        "H[L1,T,L2,P L2,P,L3,X L2,P,L3,Y] MH[M1,L1,T] R[L1,T,100,199 L1,T,200,299 L2,P,100,199 L2,P,200,299 "
        "L3,X,100,199 L3,X,200,299 L3,Y,100,199] MR[M1,100,199 M1,200,299]",
        "range delete L3/X/200,299",
        "H[L1,T,L2,P L2,P,L3,X L2,P,L3,Y] MH[M1,L1,T] R[L1,T,100,199 L2,P,100,199 L3,X,100,199 "
        "L3,Y,100,199] MR[M1,100,199]");
}

void tst_CodeEngines::oracleFixedWidthRanges() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, world);
    QFETCH(QString, actions);
    QFETCH(QString, after);
    if (w.backend() != "sqlite")
        QSKIP("the stand-in rewrites statements for SQLite");
    QVERIFY(w.own().Execute("drop table CS_COA_ACCT_RANGE"));
    QVERIFY(
        w.own().Execute("create table CS_COA_ACCT_RANGE (CO_COA CHAR(10) COLLATE RTRIM, CO_LEVEL CHAR(10) "
                        "COLLATE RTRIM, CO_CODE CHAR(20) COLLATE RTRIM, CO_FR_ACCT CHAR(20) COLLATE RTRIM, "
                        "CO_TO_ACCT CHAR(20) COLLATE RTRIM)"));
    QVERIFY(
        w.own().Execute("create index IX_CS_COA_ACCT_RANGE on CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, "
                        "CO_FR_ACCT, CO_TO_ACCT)"));
    Worlds::Put(w, type, world);
    // Stored as the fixed-width column holds them: padded to its width.
    QStringList pads;
    for (const char* c : {"CO_COA 10", "CO_LEVEL 10", "CO_CODE 20", "CO_FR_ACCT 20", "CO_TO_ACCT 20"}) {
        const QString column = QString(c).section(' ', 0, 0), width = QString(c).section(' ', 1);
        pads << column + " = substr(" + column + " || '" + QString(20, ' ') + "', 1, " + width + ")";
    }
    QVERIFY(w.own().Execute("update CS_COA_ACCT_RANGE set " + pads.join(", ")));
    DbConnection& db = gDBConnection->adoConnection();
    db.Close();
    db.ActAsServer("Oracle", asOracle, true);
    QVERIFY(db.Open(w.connectionText()));
    const auto standInGone = qScopeGuard([&db] { db.ActAsServer(QString(), {}); });
    CodeEditorState st(static_cast<qint16>(type));
    const auto e = engineOf(type, st);
    RangeEditorState rs(static_cast<qint16>(type));
    clsAcLevelRangeMaint ranges;
    ranges.OwnerForm(&rs);
    for (const QString& a : actions.split(';'))
        QVERIFY2(a.startsWith("range") ? rangeAct(rs, ranges, a) : act(type, *e, st, a),
                 qPrintable(a + ": " + m_env->prompts().join(" / ") + m_env->logText()));
    QCOMPARE(Worlds::State(w, '&'), Worlds::Canonical(after, '&'));
    QVERIFY(!m_env->logText().contains("Error"));
}

// The example of ARCHITECTURE.md, "Driving the code engines without a window",
// as written there.
void tst_CodeEngines::drivingTheCodeEnginesWithoutAWindow() {
    QFETCH(QString, backend);
    if (backend != "sqlite")
        QSKIP("the example opens a SQLite file");
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    const QString file = w.connectionText().section("Data Source=", 1);
    // --- the example ---
    OpenDBConecction("PROVIDER=SQLITE;Data Source=" + file);
    ScriptedResponder::Log shown; // answers every message box and records it
    UserDialogs::setResponder(std::make_unique<ScriptedResponder>(shown));

    CodeEditorState editor(3); // Account Level, area AC
    clsAcBuLevelCodeMaint engine;
    engine.OwnerForm(&editor);
    editor.keys = {"CORP", "", "L1", "9"}; // parent code 9 of level L1 selected
    editor.entry.values.ChildLevel = "L2";
    editor.entry.values.ChildCode = "13";
    editor.nodeType = 3;
    editor.NewRecord = true;
    bool saved = engine.Save(); // 13 attached under 9; 9 gets 13's ranges
    editor.nodeType = 3;
    editor.NewRecord = true;
    bool again = engine.Save(); // refused: shown.messages[0].prompt is
                                // "Child Code already exists within current Parent Code"
    editor.keys.ChildLevel = "L2";
    editor.keys.ChildCode = "13";
    editor.nodeType = 4;            // the child selected
    bool deleted = engine.Delete(); // 13 detached; its ranges leave 9
    // --- end of the example ---
    // What ran is what the notes show, line by line.
    const auto lines = [](const QString& path, const QString& after, const QString& from, const QString& to) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QStringList found;
        for (const QString& line :
             QString::fromUtf8(f.readAll()).section(after, 1).section(from, 1).section(to, 0, 0).split('\n'))
            if (!line.trimmed().isEmpty())
                found << line.trimmed();
        return found;
    };
    const QStringList documented =
        lines(QLX_ARCHITECTURE_FILE, "## Driving the code engines without a window", "```cpp", "```");
    QVERIFY(documented.size() > 10);
    QCOMPARE(documented, lines(__FILE__, "void tst_CodeEngines::drivingTheCodeEnginesWithoutAWindow()",
                               "// --- the example ---", "// --- end of the example ---"));
    QVERIFY(saved && !again && deleted);
    QCOMPARE(shown.messages.size(), 1);
    QCOMPARE(shown.messages[0].prompt, QString("Child Code already exists within current Parent Code"));
    QCOMPARE(w.rows("select CO_FR_ACCT from CS_COA_ACCT_RANGE where CO_COA = "
                    "'CORP' and CO_CODE = '9'"),
             QStringList{" "});
}

QTEST_MAIN(tst_CodeEngines)
#include "tst_CodeEngines.moc"
