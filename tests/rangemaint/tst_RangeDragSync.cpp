#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "platform/Recordset.h"
#include "platform/ResourceCursor.h"
#include "platform/TransactionGuard.h"
#include "services/frmLookup.h"
#include "support/RangeEditorDriver.h"
#include "support/SampleTree.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"
#include "support/Worlds.h"

#include <QDeadlineTimer>
#include <QMenu>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

const QString kRange = "CORP|L4|1112|111200|111299";

// What of the chart holds the range 111200-111299: codes "level|code", multipliers and categories; with
// `before`, only what was not there before.
QString holders(Warehouse& w, const QString& chart, const QStringList& before = {}) {
    QStringList rows;
    for (const char* t :
         {"CO_LEVEL, CO_CODE from CS_COA_ACCT_RANGE where CO", "MUL_CODE from CS_MULTIPLIER_RANGE where MUL",
          "CAT_TYP_CD from CS_CAT_TYPE where CAT"}) {
        const QString p = QString(t).section(' ', -1);
        rows << w.rows("select " + QString(t) + "_COA = '" + chart + "' and " + p +
                       "_FR_ACCT = '111200' and " + p + "_TO_ACCT = '111299'");
    }
    for (const QString& h : before)
        rows.removeOne(h);
    rows.sort();
    return rows.join(',');
}

// What of CORP holds the range 500000-500099, and what code x1 holds; a code 1'12 whose range its ancestors
// 131 and 13 and the multipliers MTHOU (its own) and MSIGN hold; a range longer than its columns.
#define kHolding500000                                                                                       \
    "select CO_CODE from CS_COA_ACCT_RANGE where CO_FR_ACCT = '500000' union all select MUL_CODE from "      \
    "CS_MULTIPLIER_RANGE where MUL_COA = 'CORP' and MUL_FR_ACCT = '500000' union all select CAT_TYP_CD "     \
    "from CS_CAT_TYPE where CAT_COA = 'CORP' and CAT_FR_ACCT = '500000' order by 1"
#define kX1 "select CO_CODE, CO_FR_ACCT from CS_COA_ACCT_RANGE where CO_CODE like '%x1%' order by 2"
#define kX1Row "CS_COA_ACCT_RANGE:CORP|L4|  x1  |500000|500099"
#define kLinked1_12 "CS_LEVELHIER:AC|CORP|L3|131|L4|1'12;CS_MULTIPLIERHIER:AC|CORP|MTHOU|L4|1'12"
#define kHeld500000                                                                                          \
    kLinked1_12 ";CS_COA_ACCT_RANGE:CORP|L3|131|500000|500099;CS_COA_ACCT_RANGE:CORP|L2|13|500000|500099;"   \
                "CS_MULTIPLIER_RANGE:CORP|MTHOU|500000|500099;CS_MULTIPLIER_RANGE:CORP|MSIGN|500000|500099"
#define kPadCharts "update CS_COA_ACCT_RANGE set CO_COA = 'CORP      ' where CO_COA = 'CORP'"
#define kLongFrom "1112000000000000000000000"
#define kLong kLongFrom "|1112999999999999999999999"
#define kWiden                                                                                               \
    "alter table CS_COA_ACCT_RANGE alter CO_FR_ACCT type varchar(40), alter CO_TO_ACCT type varchar(40)"
#define kLongRow kWiden ";CS_COA_ACCT_RANGE:CORP|L4|1112|" kLong ";CS_LEVELHIER:AC|CORP|L3|131|L4|1112"

// Rows other programs wrote (keys padded as a server's fixed-width column pads them, or blank, a NULL level,
// bounds longer than their columns, rows gone meanwhile) and the action on the node that shows them. `rows`:
// "TABLE:v1|v2|..." to insert, or a statement ("alter" on a server only, "then ..." once the tree shows the
// rows). `node`: "from>to" for a drop, "code>account" for a pick. With a `check`, the action goes through and
// `check` finds `after`; without, it is refused with `after` in its first message, changing nothing.
struct Written {
    const char *name, *rows, *action, *node, *check, *after;
    int type = 3;
} const kWritten[] = {
    {"delete a range of a padded code", kX1Row, "delete", "CORP|L4|  x1|500000|500099", kX1, "  x1  | "},
    {"delete a padded code", kX1Row, "delete", "CORP|L4|  x1", kX1, ""},
    {"synchronize a padded code", kX1Row ";CS_LEVELHIER:AC|CORP|L3|131|L4|  x1  ", "sync", "CORP|L4|  x1",
     kHolding500000, "  x1  ,1,13,131,EQTY,MFX,MSIGN"},
    {"drop onto a padded code", kX1Row, "drop", "CORP|L4|1112|111200|111299>CORP|L4|  x1", kX1,
     "  x1  |111200,  x1  |500000"},
    {"synchronize a range with padded bounds",
     "CS_COA_ACCT_RANGE:CORP|L4|1112|500000  |500099  ;CS_LEVELHIER:AC|CORP|L3|131|L4|1112", "sync",
     "CORP|L4|1112|500000|500099",
     "select CO_LEVEL, CO_FR_ACCT from CS_COA_ACCT_RANGE where CO_TO_ACCT like '500099%' order by 1",
     "L1|500000  ,L2|500000  ,L3|500000  ,L4|500000  "},
    {"delete a range of a multiplier of blanks", "CS_MULTIPLIER_RANGE:CORP|   |700000|700099", "delete",
     "CORP|||700000|700099", "select MUL_CODE, MUL_FR_ACCT from CS_MULTIPLIER_RANGE where MUL_CODE = '   '",
     "   | ", 1},
    {"synchronize a range of a code padded, its hierarchy not",
     "CS_COA_ACCT_RANGE:CORP|L4|1'12    |500000|500099;" kLinked1_12, "sync", "CORP|L4|1'12|500000|500099",
     kHolding500000, "1,1'12    ,13,131,EQTY,MFX,MSIGN,MTHOU"},
    {"synchronize a range of a chart padded, its hierarchy not",
     "CS_COA_ACCT_RANGE:CORP|L4|1'12|500000|500099;" kLinked1_12 ";" kPadCharts, "sync",
     "CORP|L4|1'12|500000|500099", kHolding500000, "1,1'12,13,131,EQTY,MFX,MSIGN,MTHOU"},
    {"delete a range of a code padded, its hierarchy not",
     "CS_COA_ACCT_RANGE:CORP|L4|1'12    |500000|500099;" kHeld500000, "delete", "CORP|L4|1'12|500000|500099",
     kHolding500000, ""},
    {"delete a range of a chart padded, its hierarchy not",
     "CS_COA_ACCT_RANGE:CORP|L4|1'12|500000|500099;" kHeld500000 ";" kPadCharts, "delete",
     "CORP|L4|1'12|500000|500099", kHolding500000, ""},
    {"synchronize a code of a NULL level",
     "CS_COA_ACCT_RANGE:CORP||x'2|500000|500099;CS_LEVELHIER:AC|CORP|L3|131||x'2;"
     "update CS_COA_ACCT_RANGE set CO_LEVEL = NULL where CO_LEVEL = '';"
     "update CS_LEVELHIER set CS_CHILDLEVEL = NULL where CS_CHILDLEVEL = ''",
     "sync", "CORP||x'2", kHolding500000, "1,13,131,EQTY,MFX,MSIGN,x'2"},
    {"synchronize a level gone meanwhile",
     "CS_LEVELHIER:AC|CORP|L3|131|L4|1112;then delete from CS_COA_ACCT_RANGE where CO_LEVEL = 'L4'", "sync",
     "CORP|L4", "", "The warehouse changed meanwhile"},
    {"synchronize a code gone meanwhile",
     "CS_LEVELHIER:AC|CORP|L3|131|L4|1112;then delete from CS_COA_ACCT_RANGE where CO_CODE = '1112'", "sync",
     "CORP|L4|1112", "", "The warehouse changed meanwhile"},
    // The boxes take what the columns hold, by the warehouse's own widths; a longer value is refused.
    {"pick an account longer than the boxes",
     kWiden ";alter table CHART_OF_ACCOUNT alter ACCOUNT_NO type varchar(50);insert into CHART_OF_ACCOUNT "
            "(BUSINESS_UNIT_ID, ACCOUNT_NO, BLOCKED_FLG) values ('CORP', '" kLongFrom kLongFrom "', '0')",
     "pick", "CORP|L4|1112>" kLongFrom kLongFrom, "", "is longer than the"},
    {"drop a range longer than its columns", kLongRow, "drop", "CORP|L4|1112|" kLong ">CORP|L3|131", "",
     "is longer than the 20 characters"},
    {"synchronize a range longer than its columns", kLongRow, "sync", "CORP|L4|1112|" kLong, "",
     "is longer than the 20 characters"},
    {"synchronize a level with a range longer than its columns", kLongRow, "sync", "CORP|L4", "",
     "is longer than the 20 characters"},
    {"synchronize a code with a range longer than its columns", kLongRow, "sync", "CORP|L4|1112", "",
     "is longer than the 20 characters"},
};

// The chart (business level) a world of a maintenance type stands under: the business levels' editors show
// only their own area's.
QString chartOf(int type) {
    return type == 3 ? Worlds::kChart : Worlds::AreaOf(type);
}

// The range table's columns of a maintenance type, top first.
QStringList rangeColumns(int type) {
    return type == 3
               ? QStringList{"CS_COA_ACCT_RANGE", "CO_COA", "CO_LEVEL", "CO_CODE", "CO_FR_ACCT", "CO_TO_ACCT"}
               : QStringList{"CS_BA_BU_LEVELS", "SO_AREA", "SO_LEVELS", "SO_CODE", "SO_FR_CD", "SO_TO_CD"};
}

// The values of a query's rows on the program's own connection, the columns of each joined by "|".
QStringList read(const QString& sql) {
    QStringList rows;
    Recordset rs = GetRecordset(sql);
    for (; !rs.IsNothing() && !rs.IsEOF(); rs.MoveNext()) {
        QStringList fields;
        for (int c = 0; c < rs.FieldCount(); ++c)
            fields << rs.Fields(c).Text();
        rows << fields.join('|');
    }
    return rows;
}

// Carries each range of the level (or of its code `code`) up the hierarchy on its own, as a range node's
// Synchronize carries it, in the order the tree shows them, as one action: the codes and ranges as stored,
// each code's ranges read when its turn comes, a placeholder's code or blank bounds passed over.
bool eachRangeOnItsOwn(frmRangeMaintenance* f, const QString& level, const QString& code) {
    const QStringList c = rangeColumns(f->MaintenanceType());
    const QString chart = chartOf(f->MaintenanceType());
    const QString where =
        " from " + c[0] + " where " + c[1] + " = " + SqlText(chart) + " and " + c[2] + " = " + SqlText(level);
    TransactionGuard transaction(gDBConnection->adoConnection());
    const QStringList codes =
        code.isEmpty() ? read("select distinct " + c[3] + where + " order by 1") : QStringList{code};
    for (const QString& each : codes) {
        if (each.trimmed().isEmpty())
            continue;
        for (const QString& range : read("select distinct " + c[4] + ", " + c[5] + where + " and " + c[3] +
                                         " = " + SqlText(each) + " order by 1, 2")) {
            const QString from = range.section('|', 0, 0), to = range.section('|', 1);
            if (!from.trimmed().isEmpty() && !to.trimmed().isEmpty() &&
                !f->AccountRangeSynchronize(f->LevelType(), chart, level, each, from, to))
                return false;
        }
    }
    return transaction.Commit();
}

// Every node key of the editor's tree.
QStringList treeKeys(frmRangeMaintenance* f) {
    QStringList keys;
    for (const TreeNode* node : f->trvMaintenance->Nodes())
        keys << node->Key();
    keys.sort();
    return keys;
}

// Takes a world's rows out of every table again, its other chart's too.
void takeOut(Warehouse& w, const QString& chart) {
    for (const char* t : {"CS_LEVELHIER CS_COA", "CS_MULTIPLIERHIER CS_COA", "CS_CATEGORYHIER CS_COA",
                          "CS_COA_ACCT_RANGE CO_COA", "CS_MULTIPLIER_RANGE MUL_COA", "CS_CAT_TYPE CAT_COA",
                          "CS_BA_BU_LEVELS SO_AREA"})
        QVERIFY(w.own().Execute("delete from " + QString(t).section(' ', 0, 0) + " where " +
                                QString(t).section(' ', 1) + " in (" + SqlText(chart) + ", " +
                                SqlText(Worlds::kOtherChart) + ")"));
}

// A level of `codes` codes C'<i> (L3) under ten parents P'<k> (L2), every fiftieth under two, the parents
// under G'1 and G'2 (L1) and those under T'1 (L0). Each code holds a range of its own, every fourth a second
// one, every ninth one its next code holds too; the parents hold every third code's range already, G'1 every
// fifth code's, G'2 nothing at all. M'1 holds every seventh code and P'3, M'2 G'2, K'1 every eleventh code
// and T'1.
QString wideLevel(int codes) {
    QStringList h, mh, ch, r;
    const auto range = [](int i, int n) {
        return QString("%1'%2,%1'%3").arg(i, 4, 10, QLatin1Char('0')).arg(n * 10).arg(n * 10 + 9);
    };
    for (int i = 0; i < codes; ++i) {
        const QString code = QString("L3,C'%1").arg(i);
        h << QString("L2,P'%1,").arg(i % 10) + code;
        if (i % 50 == 0)
            h << QString("L2,P'%1,").arg((i + 1) % 10) + code;
        r << code + "," + range(i, 0);
        if (i % 4 == 0)
            r << code + "," + range(i, 1);
        if (i % 9 == 0)
            r << code + "," + range(i, 2) << QString("L3,C'%1,").arg(i + 1) + range(i, 2);
        if (i % 3 == 0)
            r << QString("L2,P'%1,").arg(i % 10) + range(i, 0);
        if (i % 5 == 0)
            r << "L1,G'1," + range(i, 0);
        if (i % 7 == 0)
            mh << "M'1," + code;
        if (i % 11 == 0)
            ch << "K'1," + code;
    }
    for (int k = 0; k < 10; ++k)
        h << QString("L1,G'%1,L2,P'%2").arg(k < 5 ? 1 : 2).arg(k);
    h << "L0,T'1,L1,G'1"
      << "L0,T'1,L1,G'2";
    mh << "M'1,L2,P'3"
       << "M'2,L1,G'2";
    ch << "K'1,L0,T'1";
    r << "L0,T'1,-,-";
    return "H[" + h.join(' ') + "] MH[" + mh.join(' ') + "] CH[" + ch.join(' ') + "] R[" + r.join(' ') +
           "] MR[M'1,-,- M'2,0001'0,0001'9] CR[K'1,-,-]";
}

// A level L<depth> of codes C'1 ... C'5 whose ancestors stand `depth` hierarchy rows above them: A'0 (L0)
// over A'1 (L1) ... over A'<depth - 1>, which holds C'1 to C'4; C'5 hangs under A'<depth / 2> directly,
// skipping the levels between. Every fifth ancestor holds one of the ranges already, a multiplier holds an
// ancestor halfway up and C'2, a category the top ancestor.
QString deepLevel(int depth) {
    QStringList h, r;
    for (int i = 0; i + 1 < depth; ++i)
        h << QString("L%1,A'%1,L%2,A'%2").arg(i).arg(i + 1);
    for (int c = 1; c <= 4; ++c)
        h << QString("L%1,A'%1,L%2,C'%3").arg(depth - 1).arg(depth).arg(c);
    h << QString("L%1,A'%1,L%2,C'5").arg(depth / 2).arg(depth);
    for (int c = 1; c <= 5; ++c)
        for (int k = 0; k < c; ++k)
            r << QString("L%1,C'%2,%2'%3,%2'%3Z").arg(depth).arg(c).arg(k);
    for (int i = 0; i < depth; i += 5)
        r << QString("L%1,A'%1,%2'0,%2'0Z").arg(i).arg(i % 3 + 1);
    return "H[" + h.join(' ') +
           QString("] MH[M'1,L%1,A'%1 M'2,L%2,C'2] CH[K'1,L0,A'0] R[").arg(depth / 2).arg(depth) +
           r.join(' ') + "] MR[M'1,-,- M'2,2'1,2'1Z] CR[K'1,-,-]";
}

// `codes` codes D'0 ... of level L5 chained within the level, each the parent of the next (with `ring` the
// last the parent of the first), the first under T (L0). The last code holds ranges, a code in the middle one
// more and one the chain's top holds already; a multiplier holds a code in the middle, a category the top.
QString chainedLevel(int codes, bool ring) {
    QStringList h, r;
    h << "L0,T,L5,D'0";
    for (int i = 0; i + 1 < codes; ++i)
        h << QString("L5,D'%1,L5,D'%2").arg(i).arg(i + 1);
    if (ring)
        h << QString("L5,D'%1,L5,D'0").arg(codes - 1);
    for (int k = 0; k < 4; ++k)
        r << QString("L5,D'%1,Z%2'0,Z%2'9").arg(codes - 1).arg(k);
    r << QString("L5,D'%1,Y'0,Y'9").arg(codes / 2) << "L5,D'0,Z1'0,Z1'9"
      << "L0,T,-,-";
    return "H[" + h.join(' ') + QString("] MH[M'1,L5,D'%1] CH[K'1,L5,D'0 K'1,L0,T] R[").arg(codes / 3) +
           r.join(' ') + "] MR[M'1,-,-] CR[K'1,Z2'0,Z2'9]";
}

// A level of `codes` codes X'<i> under P (L1, under G), each holding two ranges, held by `holders`
// multipliers and as many categories: code i by M'<i mod holders> and K'<i mod holders>, every code by M'A;
// every third holder already holds its first code's first range, the others only their placeholders; M'P
// holds P.
QString heldLevel(int codes, int holders) {
    QStringList h{"L0,G,L1,P"}, mh{"M'P,L1,P"}, ch, r{"L1,P,0'0,0'9"}, mr{"M'P,-,-", "M'A,-,-"}, cr;
    for (int i = 0; i < codes; ++i) {
        const QString code = QString("L2,X'%1").arg(i);
        h << "L1,P," + code;
        mh << QString("M'%1,").arg(i % holders) + code << "M'A," + code;
        ch << QString("K'%1,").arg(i % holders) + code;
        r << code + QString(",%1'0,%1'9").arg(i) << code + QString(",%1'A,%1'Z").arg(i);
    }
    for (int k = 0; k < holders; ++k) {
        const QString held = k % 3 ? "-,-" : QString("%1'0,%1'9").arg(k);
        mr << QString("M'%1,").arg(k) + held;
        cr << QString("K'%1,").arg(k) + held;
    }
    return "H[" + h.join(' ') + "] MH[" + mh.join(' ') + "] CH[" + ch.join(' ') + "] R[" + r.join(' ') +
           "] MR[" + mr.join(' ') + "] CR[" + cr.join(' ') + "]";
}

// A level L<depth> under a lattice of diamonds: two codes A'<i>, B'<i> at each level L<i> above, each the
// parent of both codes of the level below, so a code reaches the top by 2^depth ways. The level's codes C'1
// ... C'3 hang under both codes of the level above, a code of the level named as an ancestor (A'1) under one;
// ranges at the codes and at some ancestors; a multiplier of an ancestor in the middle, a category of the
// top.
QString diamondLevel(int depth) {
    QStringList h, r;
    for (int i = 0; i + 1 < depth; ++i)
        for (const char* parent : {"A", "B"})
            for (const char* child : {"A", "B"})
                h << QString("L%1,%2'%1,L%3,%4'%3").arg(i).arg(parent).arg(i + 1).arg(child);
    for (const char* parent : {"A", "B"})
        for (int c = 1; c <= 3; ++c)
            h << QString("L%1,%2'%1,L%3,C'%4").arg(depth - 1).arg(parent).arg(depth).arg(c);
    h << QString("L%1,A'%1,L%2,A'1").arg(depth - 1).arg(depth);
    for (int c = 1; c <= 3; ++c)
        for (int k = 0; k < c; ++k)
            r << QString("L%1,C'%2,%2'%3,%2'%3Z").arg(depth).arg(c).arg(k);
    r << QString("L%1,A'1,9'0,9'9").arg(depth);
    for (int i = 0; i < depth; i += 3)
        r << QString("L%1,B'%1,%2'0,%2'0Z").arg(i).arg(i % 3 + 1);
    return "H[" + h.join(' ') + QString("] MH[M'1,L%1,A'%1] CH[K'1,L0,B'0] R[").arg(depth / 2) + r.join(' ') +
           "] MR[M'1,-,-] CR[K'1,2'0,2'0Z]";
}

// SQL Server's statements as the SQLite warehouse at hand takes them: the session's and the action's lock
// statements answer as that server does; every other statement runs as the program sends it.
QString asSqlServer(const QString& sql) {
    if (sql.startsWith("SET NOCOUNT OFF"))
        return "Select 1";
    return sql.contains("sp_getapplock") ? "Select 0" : sql;
}

// One data row per backend and entry; an entry is its name and its values, separated by ";".
void addRows(std::initializer_list<const char*> entries) {
    Warehouse::addColumns<QStringList>("r");
    for (const char* e : entries)
        Warehouse::addRows(QString(e).section(';', 0, 0), QString(e).split(';'));
}

// Whether a query's outermost FROM names a table (or a query of one), as DB2, Firebird and Informix want
// of every query; other statements pass.
bool NamesATable(const QString& sql) {
    QString outer = QString(sql).remove(QRegularExpression("'[^']*'"));
    for (int depth = 0; depth < 20 && outer.contains('('); ++depth)
        outer.remove(QRegularExpression("\\([^()]*\\)"));
    return !outer.trimmed().startsWith("select", Qt::CaseInsensitive) ||
           outer.contains(QRegularExpression("\\bfrom\\b", QRegularExpression::CaseInsensitiveOption));
}

// From now on the shared connection refuses a query that reads no table, as such a server does.
void WantATableInEveryQuery() {
    DbConnection& db = gDBConnection->adoConnection();
    db.BeforeStatement([&db](const QString& sql) {
        if (!NamesATable(sql))
            db.FailStatementContaining(sql, {-104, "Token unknown: a query names no table", "test"});
        return false;
    });
}

} // namespace

class tst_RangeDragSync : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }
    void drops_data() {
        // target; what its chart gains ("" refused: tables unchanged)
        addRows({"code of another level;CORP|L3|131;EQTY,L2|13,L3|131,MSIGN",
                 "code of another chart;RETL|L4|1111;L4|1111", "own code;CORP|L4|1112;",
                 "range;CORP|L4|1111|111100|111199;", "level;CORP|L3;", "chart;RETL;", "root;;"});
    }
    void drops();
    void validDraggedNode_data() {
        // type; dragged; target; valid
        addRows({"3 own code;3;CORP|L4|1112|111200|111299;CORP|L4|1112;0",
                 "3 same code, other chart;3;CORP|L4|1112|111200|111299;RETL|L4|1112;1",
                 "3 same code, other level;3;CORP|L4|1112|111200|111299;CORP|L3|1112;1",
                 "1 own multiplier;1;CORP||MFX|111100|111199;CORP||MFX;0",
                 "2 same category, other chart;2;CORP||CURA|111100|111199;RETL||CURA;1",
                 "5 own code;5;BA|L1|1|2010|2019;BA|L1|1;0"});
    }
    void validDraggedNode();
    void autoScroll_data() {
        // pointer from the top (from the bottom when negative); scrolls up; how the drag ends
        addRows({"top band, drop;2;1;drop", "bottom band, leaving;-2;0;leave",
                 "bottom band, Escape;-2;0;escape"});
    }
    void autoScroll();
    void rightClick_data() {
        // type; node; New, Delete and Synchronize afterwards
        addRows({"root;3;;100", "chart;3;CORP;100", "level;3;CORP|L4;101", "childless code;3;CORP|L1|9;111",
                 "range;3;CORP|L4|1112|111200|111299;011", "1 multiplier;1;CORP||MFX;100",
                 "5 range;5;BA|L1|1|2010|2019;011"});
    }
    void rightClick();
    void synchronize_data() {
        // type; node; what its hierarchy gains; the node that shows the gain
        addRows({"level;3;CORP|L4;COS,EQTY,L2|13,L3|131,MSIGN,MTHOU;CORP|L3|131|111200|111299",
                 "code;3;CORP|L4|1112;COS,EQTY,L2|13,L3|131,MSIGN,MTHOU;CORP|L3|131|111200|111299",
                 "range;3;CORP|L4|1112|111200|111299;COS,EQTY,L2|13,L3|131,MSIGN,MTHOU;CORP|L3|131|111200|"
                 "111299",
                 "placeholder only;3;CORP|L1|9;;CORP|L3|131|111200|111299",
                 "area level;5;BA|L2;2210,2220;BA|L1|1|2210|2219",
                 "area code;5;BA|L2|21;2210,2220;BA|L1|1|2210|2219"});
    }
    void synchronize();
    void synchronizeAsEachRangeOnItsOwn_data();
    void synchronizeAsEachRangeOnItsOwn();
    void synchronizeOnSqlServer_data();
    void synchronizeOnSqlServer();
    void synchronizeAWideLevel_data() { Warehouse::addBackendRows(); }
    void synchronizeAWideLevel();
    void rowsOtherProgramsWrote_data() {
        Warehouse::addColumns<int>("row");
        for (const Written& c : kWritten)
            Warehouse::addRows(c.name, int(&c - kWritten));
    }
    void rowsOtherProgramsWrote();
    void onAServerThatWantsATable_data() {
        // action; node; gone beside the editor first ("" none); the rows of codes T and U afterwards, or the
        // change told
        addRows(
            {"delete of a code's last range;delete;CORP|L4|T|700000|700099;;T| | ,U|710000|710099,U|"
             "720000|720099",
             "delete of one of two ranges;delete;CORP|L4|U|710000|710099;;T|700000|700099,U|720000|720099",
             "code;sync;CORP|L4|T;;T|700000|700099,U|710000|710099,U|720000|720099",
             "level;sync;CORP|L4;;T|700000|700099,U|710000|710099,U|720000|720099",
             "code gone;sync;CORP|L4|T;T;<changed>", "level gone;sync;CORP|L4;L4;<changed>",
             "range saved;save;CORP|L4|T;;T|700000|700099,T|700100|700199,U|710000|710099,U|720000|720099"});
    }
    void onAServerThatWantsATable();

private:
    // A level's or a code's Synchronize writes exactly what carrying each of its ranges up on its own writes.
    void synchronizesAsEachRangeOnItsOwn(Warehouse& w, int type, const QString& world, const QString& node,
                                         const QString& after);

    std::unique_ptr<TestEnvironment> m_env;
};

void tst_RangeDragSync::drops() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    frmRangeMaintenance* f = openRangeEditor(3);
    const QString before = w.snapshot(), chart = r[1].section('|', 0, 0);
    const QStringList held = holders(w, chart).split(',');
    const bool code = rangeNodeAt(f, r[1])->Tag() == "3";
    // The code's only range: the drag starts once the pointer has moved far enough.
    drag(f, kRange, r[1], [&] {
        QCOMPARE(f->trvMaintenance->DropHighlight(), code ? rangeNodeAt(f, r[1]) : nullptr);
        QCOMPARE(f->trvMaintenance->DragIcon().pixmap().toImage(),
                 ResourceCursor::Load(code ? "dragging" : "NODRAGGING").pixmap().toImage());
    });
    QVERIFY(!f->trvMaintenance->DropHighlight() && rangeNodeAt(f, kRange));
    const bool copied = !r[2].isEmpty();
    // The editor follows the destination code, so a following Delete acts on it.
    QCOMPARE(editorKeyParts(f).section('|', 0, 2), (copied ? r[1] : kRange).section('|', 0, 2));
    QCOMPARE(f->NodeType(), copied ? 3 : 4);
    QCOMPARE(copied ? holders(w, chart, held) : w.snapshot(), copied ? r[2] : before);
    QCOMPARE(m_env->ui.messages.size(), 0);
}

void tst_RangeDragSync::validDraggedNode() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    QVERIFY(w.own().Execute("insert into CS_COA_ACCT_RANGE values ('CORP', 'L3', '1112', ' ', ' ')"));
    frmRangeMaintenance* f = openRangeEditor(r[1].toInt());
    QCOMPARE(f->validDraggedNode(rangeNodeAt(f, r[2]), rangeNodeAt(f, r[3])), r[4] == "1");
}

void tst_RangeDragSync::autoScroll() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    frmRangeMaintenance* f = openRangeEditor(3);
    f->trvMaintenance->SetSelectedItem(rangeNodeAt(f, ""));
    f->CmdExpandAll_Click();
    QScrollBar* bar = f->trvMaintenance->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const int height = f->trvMaintenance->viewport()->height(), value = bar->value(), y = r[1].toInt();
    const QPoint point(5, y > 0 ? y : height + y);
    f->trvMaintenance_DragOver(point, MaintTree::DragOverTree);
    QVERIFY(f->Timer1->isActive() && f->mb_DragDrop && f->mb_ScrollUp == (r[2] == "1"));
    f->Timer1_Timer();
    QCOMPARE(bar->value(), value + (r[2] == "1" ? -1 : 1));
    if (r[3] == "drop") {
        f->trvMaintenance_DragDrop(point);
    } else if (r[3] == "leave") {
        f->trvMaintenance_DragOver(QPoint(5, height + 40), MaintTree::DragLeave);
    } else {
        f->trvMaintenance->BeginDrag();
        QTest::keyClick(f->trvMaintenance, Qt::Key_Escape);
        QVERIFY(!f->trvMaintenance->Dragging());
    }
    QVERIFY(!f->Timer1->isActive() && !f->mb_DragDrop);
    // A tick that finds scrolling over lets messages run for a quarter of a second, then the timer rests.
    f->Timer1->start();
    bool ran = false;
    QTimer::singleShot(0, f, [&ran] { ran = true; });
    const QDeadlineTimer quarter(240);
    f->Timer1_Timer();
    QVERIFY(quarter.hasExpired() && ran && !f->Timer1->isActive());
}

void tst_RangeDragSync::rightClick() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    frmRangeMaintenance* f = openRangeEditor(r[1].toInt());
    const QPoint point = pointOf(f, r[2]);
    f->trvMaintenance_MouseDown(Qt::RightButton, {}, point);
    f->trvMaintenance_MouseUp(Qt::RightButton, {}, point);
    QCOMPARE(f->trvMaintenance->SelectedItem(), rangeNodeAt(f, r[2]));
    const QString states = editCommandStates();
    QCOMPARE(states[0] + states.mid(2) + (gMainForm->Command("mnuSubSync")->isVisible() ? '1' : '0'), r[3]);
    gMainForm->mnuRightSubMenu->hide();
    // The Delete key asks only while Delete is on.
    m_env->ui.answers << vbNo;
    f->trvMaintenance_KeyDown(Qt::Key_Delete, {});
    QCOMPARE(m_env->ui.messages.size(), r[3][1] == '1' ? 1 : 0);
}

void tst_RangeDragSync::synchronize() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    const bool area = r[1] == "5";
    QVERIFY(
        w.own().Execute(area ? "insert into CS_LEVELHIER values ('BA', 'BA', 'L1', '1', 'L2', '21')"
                             : "insert into CS_LEVELHIER values ('AC', 'CORP', 'L3', '131', 'L4', '1112')"));
    // The code itself in a multiplier and a category: they take its ranges as its ancestors do.
    for (const char* sql : {"insert into CS_MULTIPLIERHIER values ('AC', 'CORP', 'MTHOU', 'L4', '1112')",
                            "insert into CS_CATEGORYHIER values ('AC', 'CORP', 'COS', 'L4', '1112')"})
        QVERIFY(area || w.own().Execute(sql));
    // What holds the range 111200-111299 in CORP, or the area ranges 22.. of BA code 1.
    const auto held = [&](const QStringList& before = {}) {
        return area ? w.rows("select SO_FR_CD from CS_BA_BU_LEVELS where SO_AREA = 'BA' and SO_LEVELS = 'L1' "
                             "and "
                             "SO_CODE = '1' and SO_FR_CD like '22%' order by SO_FR_CD")
                          .join(',')
                    : holders(w, "CORP", before);
    };
    frmRangeMaintenance* f = openRangeEditor(r[1].toInt());
    f->trvMaintenance_NodeClick(rangeNodeAt(f, r[2]));
    const QString before = w.snapshot();
    const QStringList first = held().split(',');
    const int nodes = f->trvMaintenance->Count();
    DbConnection& db = gDBConnection->adoConnection();
    int k = 1;
    // Statement k fails: one message, and tables and tree as before; until no statement is left to fail.
    for (;; ++k) {
        QVERIFY(k < 400);
        const qsizetype shown = m_env->ui.messages.size();
        db.FailNthStatement(k, {-7, "statement k fails", "test"});
        f->Synchronize();
        db.ClearInjectedFailures();
        if (m_env->ui.messages.size() == shown)
            break;
        QCOMPARE(m_env->ui.messages.size(), shown + 1);
        QCOMPARE(m_env->ui.messages.last().prompt, QString("statement k fails"));
        QVERIFY(!m_env->ui.inTransaction.last());
        QCOMPARE(w.snapshot(), before);
        QCOMPARE(f->trvMaintenance->Count(), nodes);
    }
    QCOMPARE(held(area ? QStringList() : first), r[3]);
    QCOMPARE(bool(rangeNodeAt(f, r[4])), !r[3].isEmpty());
    QVERIFY(k > (r[3].isEmpty() ? 1 : area ? 2 : 10));
    const QString after = w.snapshot();
    f->Synchronize();
    QCOMPARE(w.snapshot(), after);
}

void tst_RangeDragSync::synchronizeAsEachRangeOnItsOwn_data() {
    // type; world (Worlds); the node synchronized, "level" or "level/code"; the world afterwards, "" where
    // only what each range on its own writes tells it.
    Warehouse::addColumns<int>("type");
    QTest::addColumn<QString>("world");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("after");
    const auto row = [](const QString& name, int type, const QString& world, const char* node,
                        const QString& after) {
        Warehouse::addRows(name, type, world, QString(node), after);
    };
    // Also where every column is fixed-width ("&"), where the hierarchies alone are ("="), and where bounds
    // compare ignoring case and accents ("*"): the same ranges go wherever the server takes the same rows
    // for the same ranges.
    const auto everywhere = [&](const QString& name, int type, const QString& world, const char* node,
                                const QString& after) {
        row(name, type, world, node, after);
        for (const char* v : {"&", "=", "*"})
            row(QString(v) + " " + name, type, v + world, node, after);
    };
    const QString chain = "H[L2,P'1,L3,X'1 L2,P'1,L3,Y'1 L1,G'1,L2,P'1] ";
    const QString ranges =
        "L3,X'1,1'0,1'9 L3,X'1,2'0,2'9 L3,Y'1,3'0,3'9 L2,P'1,1'0,1'9 L1,G'1,2'0,2'9 L1,G'1,4'0,4'9";
    const QString carried = "L1,G'1,1'0,1'9 L1,G'1,3'0,3'9 L2,P'1,2'0,2'9 L2,P'1,3'0,3'9 ";
    for (int type : {3, 4, 5}) {
        const QString r = type == 3 ? "R" : "BR", t = QStringList{"AC", "BU", "BA"}[type - 3] + ": ";
        everywhere(t + "held by one ancestor, missing at another", type, chain + r + "[" + ranges + "]", "L3",
                   chain + r + "[" + carried + ranges + "]");
        // Only the code's own ranges go, not its siblings'.
        everywhere(t + "a code", type, chain + r + "[" + ranges + "]", "L3/X'1",
                   chain + r + "[L1,G'1,1'0,1'9 L2,P'1,2'0,2'9 " + ranges + "]");
        // A code's or the level's placeholder, blank bounds, a bound of blanks: no range; the ancestor
        // keeps its placeholder until a range fills it.
        everywhere(t + "placeholders and blank bounds", type,
                   "H[L2,P'1,L3,X'1 L2,P'1,L3,Y'1 L1,G'1,L2,P'1] " + r +
                       "[L3,-,-,- L3,-,9'0,9'9 L3,X'1,-,- L3,Y'1,-,5'9 L3,Y'1,6'0,_ L3,Y'1,~,7'9 "
                       "L3,Y'1,++,6'9 L3,Y'1,8'0,8'9 L2,P'1,-,- L1,G'1,-,-]",
                   "L3",
                   "H[L2,P'1,L3,X'1 L2,P'1,L3,Y'1 L1,G'1,L2,P'1] " + r +
                       "[L3,-,-,- L3,-,9'0,9'9 L3,X'1,-,- L3,Y'1,-,5'9 L3,Y'1,6'0,_ L3,Y'1,~,7'9 "
                       "L3,Y'1,++,6'9 L3,Y'1,8'0,8'9 L2,P'1,8'0,8'9 L1,G'1,8'0,8'9]");
        // A diamond, a cycle, a code of the level that is an ancestor of another, a level skipped.
        everywhere(t + "diamond, cycle, a code above a code of its own level, a level skipped", type,
                   "H[L2,P,L3,X L2,Q,L3,X L1,G,L2,P L1,G,L2,Q L2,P,L1,G L3,Y,L3,X L0,T,L3,Y L0,T,L1,G] " + r +
                       "[L3,X,1'0,1%9 L3,Y,2,3 L2,Q,-,- L0,T,2,3]",
                   "L3", "");
    }
    // The holders of the codes and of their ancestors: a holder of an ancestor gets what the ancestor
    // lacked, a holder of a code of the level all the code holds.
    everywhere("holders of several codes and of ancestors", 3,
               chain + "MH[M'1,L3,X'1 M'1,L3,Y'1 M2,L2,P'1 ^M3,L3,X'1] CH[K'1,L1,G'1 K'1,L3,Y'1] R[" +
                   ranges + "] MR[M'1,1'0,1'9 M2,-,- ^M3,-,-] CR[K'1,-,-]",
               "L3",
               chain + "MH[M'1,L3,X'1 M'1,L3,Y'1 M2,L2,P'1] CH[K'1,L1,G'1 K'1,L3,Y'1] R[" + carried + ranges +
                   "] MR[M'1,1'0,1'9 M'1,2'0,2'9 M'1,3'0,3'9 M2,2'0,2'9 M2,3'0,3'9] CR[K'1,1'0,1'9 "
                   "K'1,3'0,3'9]");
    everywhere("holders of a code", 3,
               chain + "MH[M'1,L3,X'1 M'1,L3,Y'1 M2,L2,P'1] CH[K'1,L1,G'1 K'1,L3,Y'1] R[" + ranges +
                   "] MR[M'1,1'0,1'9 M2,-,-] CR[K'1,-,-]",
               "L3/X'1",
               chain +
                   "MH[M'1,L3,X'1 M'1,L3,Y'1 M2,L2,P'1] CH[K'1,L1,G'1 K'1,L3,Y'1] R[L1,G'1,1'0,1'9 "
                   "L2,P'1,2'0,2'9 " +
                   ranges + "] MR[M'1,1'0,1'9 M'1,2'0,2'9 M2,2'0,2'9] CR[K'1,1'0,1'9]");
    everywhere("a code of the level above another feeds its holders", 3,
               "H[L3,Y,L3,X L2,P,L3,Y] MH[M'1,L3,Y] R[L3,X,1,2 L3,Y,3,4] MR[M'1,-,-]", "L3",
               "H[L2,P,L3,Y L3,Y,L3,X] MH[M'1,L3,Y] R[L2,P,1,2 L2,P,3,4 L3,X,1,2 L3,Y,1,2 L3,Y,3,4] "
               "MR[M'1,1,2 M'1,3,4]");
    everywhere(
        "a range two codes hold goes once", 3,
        "H[L2,P,L3,X L2,P,L3,Y] MH[M'1,L3,X M'1,L3,Y] "
        "R[L3,X,1,2 L3,X,1,2 L3,Y,1,2]",
        "L3",
        "H[L2,P,L3,X L2,P,L3,Y] MH[M'1,L3,X M'1,L3,Y] R[L2,P,1,2 L3,X,1,2 L3,X,1,2 L3,Y,1,2] MR[M'1,1,2]");
    // Ancestors and holders another program stored padded, in the hierarchy or in the range table.
    everywhere("ancestors and holders stored padded", 3,
               "H[L2,P++,L3,X L1,G,L2,P L0,T+,L1,G] MH[M'1+,L3,X] CH[K'1,L2,P+] "
               "R[L2,P,-,- L3,X,1'0,1%9 L1,G+,5,6] MR[M'1,-,-] CR[K'1+,-,-]",
               "L3", "");
    // What the server takes for a held range is not written again: a copy padded where the column pads,
    // one in other case or with an accent where the collation ignores them.
    row("a copy padded", 3, "H[L2,P,L3,X] MH[M'1,L3,X] R[L2,P,1'0++,1%9 L3,X,1'0,1%9 L3,X,2,3] MR[M'1,2+,3]",
        "L3", "");
    row("& a copy padded", 3,
        "&H[L2,P,L3,X] MH[M'1,L3,X] R[L2,P,1'0++,1%9 L3,X,1'0,1%9 L3,X,2,3] MR[M'1,2+,3]", "L3",
        "H[L2,P,L3,X] MH[M'1,L3,X] R[L2,P,1'0,1%9 L2,P,2,3 L3,X,1'0,1%9 L3,X,2,3] MR[M'1,1'0,1%9 M'1,2,3]");
    row("* a copy in other case", 3,
        "*H[L2,P,L3,X] MH[M'1,L3,X] R[L2,P,\u00C9'1,9 L3,X,e'1,9 L3,X,2,3] MR[M'1,E'1,9]", "L3",
        "H[L2,P,L3,X] MH[M'1,L3,X] R[L2,P,2,3 L2,P,\u00C9'1,9 L3,X,2,3 L3,X,e'1,9] MR[M'1,2,3 M'1,E'1,9]");
    // A range sharing its From with one the ancestor (or its multiplier) holds is another range.
    everywhere("a range sharing its From with a held one", 3,
               "H[L2,P,L3,X] MH[M,L2,P] R[L3,X,100,199 L3,X,100,299 L2,P,100,199] MR[M,100,199]", "L3",
               "H[L2,P,L3,X] MH[M,L2,P] R[L2,P,100,199 L2,P,100,299 L3,X,100,199 L3,X,100,299] "
               "MR[M,100,199 M,100,299]");
    everywhere("a range sharing its From with one the multiplier holds", 3,
               "H[L2,P,L3,X] MH[M,L2,P] R[L3,X,100,199 L3,X,100,299] MR[M,100,199]", "L3",
               "H[L2,P,L3,X] MH[M,L2,P] R[L2,P,100,199 L2,P,100,299 L3,X,100,199 L3,X,100,299] "
               "MR[M,100,199 M,100,299]");
    everywhere("a code's first range fills the placeholder", 3,
               "H[L2,P,L3,X] R[L2,P,-,- L3,X,100,199 L3,X,100,299]", "L3/X",
               "H[L2,P,L3,X] R[L2,P,100,199 L2,P,100,299 L3,X,100,199 L3,X,100,299]");
    // One name at two levels is two codes, for the hierarchy and for the holders alike.
    everywhere("one parent name at two levels", 3, "H[L1,G,L3,X L2,G,L3,Y] R[L3,X,1,2 L3,Y,3,4]", "L3",
               "H[L1,G,L3,X L2,G,L3,Y] R[L1,G,1,2 L2,G,3,4 L3,X,1,2 L3,Y,3,4]");
    everywhere("one code name at two levels", 3,
               "H[L2,P,L3,X L2,Q,L3,Y L2,P,L4,Y] R[L3,X,1,2 L3,Y,3,4 L4,Y,5,6]", "L3",
               "H[L2,P,L3,X L2,P,L4,Y L2,Q,L3,Y] R[L2,P,1,2 L2,Q,3,4 L3,X,1,2 L3,Y,3,4 L4,Y,5,6]");
    everywhere("a code whose name stands at another level too", 3,
               "H[L2,P,L3,X L2,Q,L4,X] R[L3,X,1,2 L4,X,3,4]", "L3/X",
               "H[L2,P,L3,X L2,Q,L4,X] R[L2,P,1,2 L3,X,1,2 L4,X,3,4]");
    everywhere("a hop whose parent's name is a code at another level", 3,
               "H[L2,P,L3,X L1,G,L2,P L4,K,L1,P L0,T,L1,G] R[L3,X,1,2 L1,P,3,4]", "L3",
               "H[L0,T,L1,G L1,G,L2,P L2,P,L3,X L4,K,L1,P] R[L0,T,1,2 L1,G,1,2 L1,P,3,4 L2,P,1,2 "
               "L3,X,1,2]");
    everywhere("multipliers of one name at two levels", 3,
               "H[L2,P,L3,X] MH[M,L1,P M2,L2,P N,L3,X O,L1,Y] R[L3,X,1,2 L1,Y,3,4 L3,Y,5,6] "
               "MR[M,-,- M2,-,- N,-,- O,-,-]",
               "L3",
               "H[L2,P,L3,X] MH[M,L1,P M2,L2,P N,L3,X O,L1,Y] R[L1,Y,3,4 L2,P,1,2 L3,X,1,2 L3,Y,5,6] "
               "MR[M,-,- M2,1,2 N,1,2 O,-,-]");
    everywhere("two multipliers of different codes", 3,
               "MH[M1,L3,X M2,L3,Y ^M1,L3,Y] R[L3,X,1,2 L3,Y,3,4] MR[M1,-,- M2,-,- ^M1,-,-]", "L3",
               "MH[M1,L3,X M2,L3,Y] R[L3,X,1,2 L3,Y,3,4] MR[M1,1,2 M2,3,4]");
    // A half-empty range carries nothing; a blank or empty parent is not followed.
    everywhere("a half-empty range of a code", 3, "H[L2,P,L3,X] R[L3,X,6'0,_ L3,X,_,7'0 L3,X,1,2]", "L3/X",
               "H[L2,P,L3,X] R[L2,P,1,2 L3,X,1,2 L3,X,6'0,_ L3,X,_,7'0]");
    everywhere("blank and empty parents", 3, "H[_,P,L3,X L2,-,L3,X L2,Q,L3,X -,-,L3,X] R[L3,X,1,2]", "L3",
               "H[-,-,L3,X L2,-,L3,X L2,Q,L3,X _,P,L3,X] R[L2,Q,1,2 L3,X,1,2]");
    everywhere("an ancestor stored unpadded where the hierarchy pads it", 3,
               "H[L2,P+,L3,X L1,G,L2,P+] R[L2,P,-,- L1,G,5,6 L3,X,1,2]", "L3",
               "H[L1,G,L2,P+ L2,P+,L3,X] R[L1,G,1,2 L1,G,5,6 L2,P,1,2 L3,X,1,2]");
    // An ancestor holding the range with a trailing blank on a bound holds another range where the server
    // compares the exact text; the tree shows the two as one range, as a reload shows them.
    everywhere("an ancestor holding the range with a padded bound", 3,
               "H[L2,P,L3,X] MH[M,L2,P] R[L2,P,WY0019+,WY0019Z L3,X,WY0019,WY0019Z] MR[M,-,-]", "L3", "");
    everywhere("a code's ancestor holding the range with a padded bound", 3,
               "H[L2,P,L3,X] R[L2,P,WY0019+,WY0019Z L3,X,WY0019,WY0019Z]", "L3/X", "");
    // Shapes of real charts: a level far below its top, codes chained within a level (a chain and a ring), a
    // level whose codes are held by many multipliers and categories.
    everywhere("a level 40 rows deep", 3, deepLevel(40), "L40", "");
    everywhere("a code 40 rows deep", 3, deepLevel(40), "L40/C'5", "");
    everywhere("codes chained within a level", 3, chainedLevel(30, false), "L5", "");
    everywhere("codes in a ring within a level", 3, chainedLevel(30, true), "L5", "");
    everywhere("a code of a ring within a level", 3, chainedLevel(30, true), "L5/D'29", "");
    everywhere("a level under diamonds 12 rows deep", 3, diamondLevel(12), "L12", "");
    everywhere("a code under diamonds 12 rows deep", 3, diamondLevel(12), "L12/C'3", "");
    everywhere("a level held by many multipliers and categories", 3, heldLevel(60, 25), "L2", "");
    everywhere("a code held by many multipliers and categories", 3, heldLevel(60, 25), "L2/X'7", "");
    row("* two codes holding a range in other case", 3,
        "*H[L2,P,L3,X L2,P,L3,Y] MH[M'1,L3,X M'1,L3,Y] R[L3,X,e'1,9 L3,Y,\u00C9'1,9] MR[M'1,-,-]", "L3", "");
}

// A level's or a code's Synchronize writes exactly what carrying each of its ranges up on its own writes,
// and its tree shows the same ranges afterwards.
void tst_RangeDragSync::synchronizeAsEachRangeOnItsOwn() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, type);
    QFETCH(QString, world);
    QFETCH(QString, node);
    QFETCH(QString, after);
    synchronizesAsEachRangeOnItsOwn(w, type, world, node, after);
}

void tst_RangeDragSync::synchronizeOnSqlServer_data() {
    // world (Worlds); the node synchronized, "level" or "level/code"
    Warehouse::addColumns<QString>("world");
    QTest::addColumn<QString>("node");
    const auto row = [](const QString& name, const QString& world, const char* node) {
        Warehouse::addRows(name, world, QString(node));
    };
    row("holders of several codes and of ancestors",
        "H[L2,P,L3,X L2,P,L3,Y L1,G,L2,P] MH[M,L3,X M2,L2,P] CH[K,L1,G] R[L3,X,1,2 L3,Y,3,4 L1,G,3,4] "
        "MR[M,-,- M2,-,-] CR[K,-,-]",
        "L3");
    row("a level 40 rows deep", deepLevel(40), "L40");
    row("codes chained within a level", chainedLevel(30, false), "L5");
    row("codes in a ring within a level", chainedLevel(30, true), "L5");
    row("a level under diamonds 12 rows deep", diamondLevel(12), "L12");
    row("a code under diamonds 12 rows deep", diamondLevel(12), "L12/C'3");
    row("one code name at two levels", "H[L2,P,L3,X L2,Q,L3,Y L2,P,L4,Y] R[L3,X,1,2 L3,Y,3,4 L4,Y,5,6]",
        "L3");
}

// The same on SQL Server, whose recursive expressions go with "Union All" and on round a cycle: run on the
// SQLite warehouse as SQL Server takes them.
void tst_RangeDragSync::synchronizeOnSqlServer() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, world);
    QFETCH(QString, node);
    if (w.backend() != "sqlite")
        QSKIP("the stand-in runs SQL Server's statements on SQLite");
    DbConnection& db = gDBConnection->adoConnection();
    db.Close();
    db.ActAsServer("Microsoft SQL Server", asSqlServer, true);
    const auto standInGone = qScopeGuard([&db] { db.ActAsServer(QString(), {}); });
    QVERIFY(db.Open(w.connectionText()));
    QVERIFY(db.IsSqlServer());
    synchronizesAsEachRangeOnItsOwn(w, 3, world, node, {});
}

void tst_RangeDragSync::synchronizesAsEachRangeOnItsOwn(Warehouse& w, int type, const QString& world,
                                                        const QString& node, const QString& after) {
    const QChar variant = Worlds::VariantOf(world);
    if (!variant.isNull() && w.backend() == "sqlite")
        QSKIP("SQLite pads no column and has no collation that ignores case and accents");
    const QString chart = chartOf(type), area = Worlds::AreaOf(type);
    // The business level's own rows of the sample warehouse make way for the world's.
    if (type != 3)
        for (const char* sql :
             {"delete from CS_BA_BU_LEVELS where SO_AREA = ", "delete from CS_LEVELHIER where CS_AREA = "})
            QVERIFY(w.own().Execute(sql + SqlText(area)));
    Worlds::Put(w, type, world, chart);
    const QString level = node.section('/', 0, 0), code = node.section('/', 1);
    const QString path = chart + "|" + QString(node).replace('/', '|');
    frmRangeMaintenance* f = openRangeEditor(type);
    QVERIFY(eachRangeOnItsOwn(f, level, code));
    const QString expected = Worlds::State(w, variant, chart);
    const QStringList shown = treeKeys(f);
    if (!after.isEmpty())
        QCOMPARE(expected, Worlds::Canonical(after, variant));
    // The world again, shown afresh, and the node's Synchronize.
    takeOut(w, chart);
    Worlds::Put(w, type, variant.isNull() ? world : world.mid(1), chart);
    f->cmdapply_Click();
    f->trvMaintenance_NodeClick(rangeNodeAt(f, path));
    QCOMPARE(editorKeyParts(f).section('|', 0, code.isEmpty() ? 1 : 2), path);
    f->Synchronize();
    QCOMPARE(Worlds::State(w, variant, chart), expected);
    QCOMPARE(treeKeys(f), shown);
    QCOMPARE(m_env->prompts(), QStringList());
    QCOMPARE(m_env->logText(), QString());
    f->Synchronize();
    QCOMPARE(Worlds::State(w, variant, chart), expected);
}

// A level of several hundred codes as real charts have them: its Synchronize writes what each range on its
// own writes, in as many statements as the same level of a tenth of the codes takes.
void tst_RangeDragSync::synchronizeAWideLevel() {
    QLX_OPEN_WAREHOUSE(w);
    const QString chart = Worlds::kChart, narrow = "S'%";
    Worlds::Put(w, 3, wideLevel(300), chart);
    Worlds::Put(w, 3, wideLevel(30), narrow);
    frmRangeMaintenance* f = openRangeEditor(3);
    QVERIFY(eachRangeOnItsOwn(f, "L3", {}));
    const QString expected = Worlds::State(w, {}, chart);
    const QStringList shown = treeKeys(f);
    takeOut(w, chart);
    Worlds::Put(w, 3, wideLevel(300), chart);
    f->cmdapply_Click();
    DbConnection& db = gDBConnection->adoConnection();
    qint64 statements[2] = {};
    for (int wide = 1; wide >= 0; --wide) {
        f->trvMaintenance_NodeClick(rangeNodeAt(f, (wide ? chart : narrow) + "|L3"));
        const qint64 before = db.StatementCount();
        f->Synchronize();
        statements[wide] = db.StatementCount() - before;
        if (wide) {
            QCOMPARE(Worlds::State(w, {}, chart), expected);
            QCOMPARE(treeKeys(f), shown);
        }
    }
    QCOMPARE(m_env->prompts(), QStringList());
    QCOMPARE(statements[1], statements[0]);
}

void tst_RangeDragSync::rowsOtherProgramsWrote() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(int, row);
    const Written& c = kWritten[row];
    const bool server = w.backend() != "sqlite";
    QString then;
    for (const QString& r : QString(c.rows).split(';', Qt::SkipEmptyParts)) {
        QStringList values;
        for (const QString& v : r.section(':', 1).split('|'))
            values << SqlText(v);
        if (r.startsWith("then "))
            then = r.mid(5);
        else if (server || !r.startsWith("alter "))
            QVERIFY(w.own().Execute(r.startsWith("CS_") ? "insert into " + r.section(':', 0, 0) +
                                                              " values (" + values.join(", ") + ")"
                                                        : r));
    }
    frmRangeMaintenance* f = openRangeEditor(c.type);
    const QString action = c.action, node = QString(c.node).section('>', 0, 0),
                  to = QString(c.node).section('>', 1);
    QVERIFY(then.isEmpty() || w.own().Execute(then));
    const QString before = w.snapshot();
    const int nodes = f->trvMaintenance->Count();
    QCOMPARE(NodesKeepingNeedlessStoredKeys(*f->trvMaintenance), QStringList());
    if (action == "drop")
        drag(f, node, to);
    else
        f->trvMaintenance_NodeClick(rangeNodeAt(f, node));
    // A stored range shows whole, however long; what is typed or picked is held to the column's width.
    QVERIFY(action == "drop" || editorFields(f).section('|', 4) == (node + "|||").section('|', 3, 4));
    m_env->ui.answers << vbYes;
    if (action == "sync")
        f->Synchronize();
    if (action == "delete")
        f->Delete();
    if (action == "pick") {
        f->Insert();
        for (const EntryBox* box : {f->txtRangAccountFr[1], f->txtRangAccountTo[1]})
            QCOMPARE(box->MaxCharacters(), server ? 40 : 20);
        m_env->ui.dialogScripts << [&](QDialog& d) -> int {
            auto& l = static_cast<frmLookup&>(d);
            l.SelectListItem(l.ctlListView(), to);
            l.cmdOK_Click();
            return d.result();
        };
        f->cmdlookupFr_Click(1);
    }
    QCOMPARE(NodesKeepingNeedlessStoredKeys(*f->trvMaintenance), QStringList());
    QStringList told = m_env->prompts();
    told.removeAll("Do you want to delete selected item?");
    if (*c.check) {
        QCOMPARE(told, QStringList());
        QCOMPARE(w.rows(c.check).join(','), QString(c.after));
        QCOMPARE(bool(rangeNodeAt(f, node)), action != "delete");
        QVERIFY(action != "sync" || rangeNodeAt(f, "CORP|L3|131|500000|500099"));
    } else { // refused
        QVERIFY2(told.value(0).contains(c.after), qPrintable(told.join('\n')));
        QVERIFY(action != "pick" || f->txtRangAccountFr[1]->text().isEmpty());
        QCOMPARE(w.snapshot(), before);
        QCOMPARE(f->trvMaintenance->Count(), nodes);
    }
}

// A server that takes no query without a table: whether an entry still has rows, after a delete and before
// a level's or code's Synchronize, is asked of the range table itself.
void tst_RangeDragSync::onAServerThatWantsATable() {
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QStringList, r);
    for (const char* row : {"'T', '700000', '700099'", "'U', '710000', '710099'", "'U', '720000', '720099'"})
        QVERIFY(w.own().Execute(QString("insert into CS_COA_ACCT_RANGE values ('CORP', 'L4', %1)").arg(row)));
    QVERIFY(w.own().Execute("insert into CS_LEVELHIER values ('AC', 'CORP', 'L3', '131', 'L4', 'T')"));
    frmRangeMaintenance* f = openRangeEditor(3);
    f->trvMaintenance_NodeClick(rangeNodeAt(f, r[2]));
    if (!r[3].isEmpty())
        QVERIFY(w.own().Execute("delete from CS_COA_ACCT_RANGE where CO_LEVEL = 'L4' and " +
                                QString(r[3] == "T" ? "CO_CODE = 'T'" : "1 = 1")));
    const QString before = w.snapshot();
    WantATableInEveryQuery();
    m_env->ui.answers << vbYes;
    if (r[1] == "delete") {
        f->Delete();
    } else if (r[1] == "save") {
        f->Insert();
        f->txtRangAccountFr[1]->setText("700100");
        f->txtRangAccountTo[1]->setText("700199");
        f->Save();
    } else {
        f->Synchronize();
    }
    gDBConnection->adoConnection().BeforeStatement({});
    QStringList told = m_env->prompts();
    told.removeAll("Do you want to delete selected item?");
    told.removeAll("It's not a valid 'Account From' ");
    if (!r[3].isEmpty()) {
        QCOMPARE(told, QStringList{WarehouseChangedText()});
        QCOMPARE(w.snapshot(), before);
        return;
    }
    QCOMPARE(told.join("|"), QString());
    QCOMPARE(w.rows("select CO_CODE, CO_FR_ACCT, CO_TO_ACCT from CS_COA_ACCT_RANGE where CO_COA = 'CORP' and "
                    "CO_CODE in ('T', 'U') order by 1, 2")
                 .join(','),
             r[4]);
    // T's range reached its ancestors 131, 13 and 1 wherever a Synchronize carried it.
    QCOMPARE(w.rows("select CO_CODE from CS_COA_ACCT_RANGE where CO_FR_ACCT = '700000' order by 1").join(','),
             QString(r[1] == "sync"         ? "1,13,131,T"
                     : r[2].contains("|T|") ? ""
                                            : "T"));
    QCOMPARE(w.rows("select CO_CODE from CS_COA_ACCT_RANGE where CO_FR_ACCT = '700100' order by 1").join(','),
             QString(r[1] == "save" ? "1,13,131,T" : ""));
}

QTEST_MAIN(tst_RangeDragSync)
#include "tst_RangeDragSync.moc"
