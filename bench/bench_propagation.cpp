// Times, in the Account Level Range Maintenance editor opened through the main window's menu:
//
// - the engine's Save of a new range under a code with a ten-deep ancestry in CS_LEVELHIER, five multipliers
//   and five categories holding codes of that ancestry, on the warehouse of 100,000 ranges (SQLite only);
// - the Synchronize of the level node C1/L2 of chart C1, where CS_LEVELHIER holds G (L0) over P (L1) over
//   2,000 codes Ki (L2), each Ki holds one range, and P and G, the multiplier M1 and the category CT1 (which
//   hold every Ki) hold all of them: once with nothing missing, once with every range missing at P, G, M1 and
//   CT1, which hold only their placeholders again (untimed) before each run. On SQLite, then on the
//   PostgreSQL test server when one is configured (QLX_TEST_PG_DSN, QLX_TEST_PG_USER, QLX_TEST_PG_PASSWORD).
//
// - the Synchronize of shapes of real charts, each in a chart of its own, with nothing missing and with
//   everything missing: a level of 2,000 codes spread over 100 + 100 holders; a level with one code in
//   2,000 + 2,000 holders (and a range saved on that code); a level of 50 codes holding 2,000 ranges 40
//   hierarchy rows below its top ancestor; 400 codes chained within one level. On PostgreSQL on tables just
//   written and again after ANALYZE, then the same on fixed-width (CHAR(n)) key and bound columns.
//   QLX_BENCH_SHAPES ("S1,S4") measures only those charts' shapes; QLX_BENCH_EXPLAIN prints the plans of the
//   set-wise statements.
//
// Each figure is the median of five runs; the queries and statements each sends are counted on the
// connection.

#include "BenchWarehouse.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/EntryBox.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"
#include "rangemaint/RangeEngine.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"
#include "services/clsGenericMaint.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>
#include <vector>

namespace {

using namespace BenchWarehouse;

constexpr int kAncestors = 10;
constexpr int kHolders = 5;

bool fail(const char* what) {
    std::fprintf(stderr, "bench_propagation: %s: %s\n", what, qPrintable(Err().Description()));
    return false;
}

// The code "10001" of level L10 in chart 1000, its parents L9 "9001" up to L1 "1001" and above that L1
// "1002"; multipliers M1-M5 hold the first five ancestors, categories K1-K5 the last five.
bool AddAncestry(DbConnection& c) {
    QString child = "10001", childLevel = "L10";
    for (int a = 1; a <= kAncestors; ++a) {
        const int level = std::max(1, 10 - a);
        const QString parent = a < kAncestors ? QString("%1001").arg(level) : QString("1002");
        const QString parentLevel = QString("L%1").arg(level);
        if (!c.Execute(QString("INSERT INTO CS_LEVELHIER VALUES ('AC', '1000', '%1', '%2', '%3', '%4')")
                           .arg(parentLevel, parent, childLevel, child)))
            return false;
        if (a == kAncestors &&
            !c.Execute("INSERT INTO CS_COA_ACCT_RANGE VALUES ('1000', 'L1', '1002', ' ', ' ')"))
            return false;
        const bool multiplier = a <= kHolders;
        const QString holder = QString(multiplier ? "M%1" : "K%1").arg(multiplier ? a : a - kHolders);
        if (!c.Execute(QString("INSERT INTO %1 VALUES ('AC', '1000', '%2', '%3', '%4')")
                           .arg(multiplier ? "CS_MULTIPLIERHIER" : "CS_CATEGORYHIER", holder, parentLevel,
                                parent)) ||
            !c.Execute(QString("INSERT INTO %1 VALUES ('1000', '%2', ' ', ' ')")
                           .arg(multiplier ? "CS_MULTIPLIER_RANGE" : "CS_CAT_TYPE", holder)))
            return false;
        child = parent;
        childLevel = parentLevel;
    }
    return true;
}

// The codes of the synchronized level, and the rows written by one INSERT while they are generated.
constexpr int kLevelCodes = 2000;
constexpr int kRowsPerInsert = 500;
constexpr int kWideHolders = 2000;
constexpr int kDepth = 40;
constexpr int kDeepCodes = 50;
constexpr int kDeepRanges = 2000;
constexpr int kChained = 400;

// Chart C1: G (L0) over P (L1) over K0001 ... K2000 (L2); each Ki holds the range Ri; with `held` P, G, M1
// (multiplier of every Ki) and CT1 (category of every Ki) hold every Ri, else only their placeholders.
bool WriteLevel(DbConnection& c, bool hierarchy, bool held) {
    const auto rows = [&](const QString& table, const std::function<QString(int)>& row) {
        for (int first = 1; first <= kLevelCodes; first += kRowsPerInsert) {
            QStringList values;
            for (int i = first; i < first + kRowsPerInsert && i <= kLevelCodes; ++i)
                values << "(" + row(i) + ")";
            if (!c.Execute("INSERT INTO " + table + " VALUES " + values.join(", ")))
                return false;
        }
        return true;
    };
    const auto code = [](int i) { return QString("K%1").arg(i, 4, 10, QLatin1Char('0')); };
    const auto range = [](int i) {
        return QString("'%1', '%2'").arg(500000 + i * 10).arg(500000 + i * 10 + 9);
    };
    if (hierarchy &&
        (!c.Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'C1', 'L0', 'G', 'L1', 'P')") ||
         !rows("CS_LEVELHIER", [&](int i) { return "'AC', 'C1', 'L1', 'P', 'L2', '" + code(i) + "'"; }) ||
         !rows("CS_MULTIPLIERHIER", [&](int i) { return "'AC', 'C1', 'M1', 'L2', '" + code(i) + "'"; }) ||
         !rows("CS_CATEGORYHIER", [&](int i) { return "'AC', 'C1', 'CT1', 'L2', '" + code(i) + "'"; }) ||
         !rows("CS_COA_ACCT_RANGE", [&](int i) { return "'C1', 'L2', '" + code(i) + "', " + range(i); })))
        return false;
    if (!held)
        return c.Execute("INSERT INTO CS_COA_ACCT_RANGE VALUES ('C1', 'L1', 'P', ' ', ' '), ('C1', 'L0', "
                         "'G', ' ', ' ')") &&
               c.Execute("INSERT INTO CS_MULTIPLIER_RANGE VALUES ('C1', 'M1', ' ', ' ')") &&
               c.Execute("INSERT INTO CS_CAT_TYPE VALUES ('C1', 'CT1', ' ', ' ')");
    return rows("CS_COA_ACCT_RANGE", [&](int i) { return "'C1', 'L1', 'P', " + range(i); }) &&
           rows("CS_COA_ACCT_RANGE", [&](int i) { return "'C1', 'L0', 'G', " + range(i); }) &&
           rows("CS_MULTIPLIER_RANGE", [&](int i) { return "'C1', 'M1', " + range(i); }) &&
           rows("CS_CAT_TYPE", [&](int i) { return "'C1', 'CT1', " + range(i); });
}

// The rows of `table`, each a text of its values, written `kRowsPerInsert` to an INSERT.
bool InsertRows(DbConnection& c, const QString& table, const QStringList& rows) {
    for (qsizetype first = 0; first < rows.size(); first += kRowsPerInsert) {
        QStringList values;
        for (const QString& row : rows.mid(first, kRowsPerInsert))
            values << "(" + row + ")";
        if (!c.Execute("INSERT INTO " + table + " VALUES " + values.join(", ")))
            return false;
    }
    return true;
}

// A shape of real charts whose level (or code) is synchronized: its hierarchies, the rows of the level that
// are carried, and the placeholders of the ancestors and holders that get them. Each stands in a chart of
// its own; "everything missing" writes the chart's ranges back to the level's rows and those placeholders.
struct Shape {
    const char* name = "";
    const char* chart = "";
    const char* level = "";
    QStringList hierarchy, multiplierHierarchy, categoryHierarchy;
    QStringList ranges, multiplierRanges, categoryRanges; // as they are before the synchronize
    int full = 0;                                         // the chart's ranges afterwards
};

QString Row(const QStringList& values) {
    QStringList quoted;
    for (const QString& v : values)
        quoted << "'" + v + "'";
    return quoted.join(", ");
}

// 2,000 codes Ki (L2) under P (L1, under G), each holding one range, held by M1 and CT1 and by MG(i mod
// `groups`) and CG(i mod `groups`); with `widely`, one more code X holding one range in 2,000 multipliers
// and 2,000 categories.
Shape Spread(const char* name, const char* chart, int groups, bool widely) {
    Shape s;
    s.name = name;
    s.chart = chart;
    s.level = "L2";
    const auto range = [](int i) {
        return QStringList{QString::number(500000 + i * 10), QString::number(500009 + i * 10)};
    };
    s.hierarchy << Row({"AC", chart, "L0", "G", "L1", "P"});
    s.ranges << Row({chart, "L1", "P", " ", " "}) << Row({chart, "L0", "G", " ", " "});
    s.multiplierRanges << Row({chart, "M1", " ", " "});
    s.categoryRanges << Row({chart, "CT1", " ", " "});
    for (int i = 0; i < kLevelCodes; ++i) {
        const QString code = QString("K%1").arg(i, 5, 10, QLatin1Char('0'));
        s.hierarchy << Row({"AC", chart, "L1", "P", "L2", code});
        s.ranges << Row(QStringList{chart, "L2", code} + range(i));
        s.multiplierHierarchy << Row({"AC", chart, "M1", "L2", code});
        s.categoryHierarchy << Row({"AC", chart, "CT1", "L2", code});
        if (groups > 0) {
            s.multiplierHierarchy << Row({"AC", chart, QString("MG%1").arg(i % groups), "L2", code});
            s.categoryHierarchy << Row({"AC", chart, QString("CG%1").arg(i % groups), "L2", code});
        }
    }
    for (int g = 0; g < groups; ++g) {
        s.multiplierRanges << Row({chart, QString("MG%1").arg(g), " ", " "});
        s.categoryRanges << Row({chart, QString("CG%1").arg(g), " ", " "});
    }
    // The codes, P, G, M1 and CT1 hold every range, each group its codes'.
    s.full = 5 * kLevelCodes + (groups > 0 ? 2 * kLevelCodes : 0);
    if (widely) {
        s.hierarchy << Row({"AC", chart, "L1", "P", "L2", "X"});
        s.ranges << Row(QStringList{chart, "L2", "X"} + range(kLevelCodes));
        for (int h = 0; h < kWideHolders; ++h) {
            s.multiplierHierarchy << Row({"AC", chart, QString("MX%1").arg(h), "L2", "X"});
            s.categoryHierarchy << Row({"AC", chart, QString("CX%1").arg(h), "L2", "X"});
            s.multiplierRanges << Row({chart, QString("MX%1").arg(h), " ", " "});
            s.categoryRanges << Row({chart, QString("CX%1").arg(h), " ", " "});
        }
        s.full += 3 + 2 * kWideHolders;
    }
    return s;
}

// 50 codes Ci of level L40, each holding 40 ranges, 40 hierarchy rows below A0 (L0): A0 over A1 (L1) ...
// over A39, which holds them all; M1 holds A20, CT1 A0.
Shape Deep(const char* chart) {
    Shape s;
    s.name = "50 codes 40 rows deep";
    s.chart = chart;
    s.level = "L40";
    for (int a = 0; a < kDepth; ++a) {
        const QString parent = QString("A%1").arg(a), level = QString("L%1").arg(a);
        if (a + 1 < kDepth)
            s.hierarchy << Row(
                {"AC", chart, level, parent, QString("L%1").arg(a + 1), QString("A%1").arg(a + 1)});
        s.ranges << Row({chart, level, parent, " ", " "});
    }
    s.multiplierHierarchy << Row({"AC", chart, "M1", "L20", "A20"});
    s.categoryHierarchy << Row({"AC", chart, "CT1", "L0", "A0"});
    s.multiplierRanges << Row({chart, "M1", " ", " "});
    s.categoryRanges << Row({chart, "CT1", " ", " "});
    for (int c = 0; c < kDeepCodes; ++c) {
        const QString code = QString("C%1").arg(c, 2, 10, QLatin1Char('0'));
        s.hierarchy << Row(
            {"AC", chart, QString("L%1").arg(kDepth - 1), QString("A%1").arg(kDepth - 1), "L40", code});
        for (int r = 0; r < kDeepRanges / kDeepCodes; ++r) {
            const int from = 600000 + (c * kDeepRanges / kDeepCodes + r) * 10;
            s.ranges << Row({chart, "L40", code, QString::number(from), QString::number(from + 9)});
        }
    }
    s.full = kDeepRanges * (kDepth + 3);
    return s;
}

// 400 codes Di of level L5 chained within it, each the parent of the next, D0 under T (L0); the last holds
// ZD100-ZD199, the others have no rows.
Shape Chained(const char* chart) {
    Shape s;
    s.name = "400 codes chained in one level";
    s.chart = chart;
    s.level = "L5";
    s.hierarchy << Row({"AC", chart, "L0", "T", "L5", "D000"});
    for (int i = 0; i + 1 < kChained; ++i)
        s.hierarchy << Row({"AC", chart, "L5", QString("D%1").arg(i, 3, 10, QLatin1Char('0')), "L5",
                            QString("D%1").arg(i + 1, 3, 10, QLatin1Char('0'))});
    s.ranges << Row({chart, "L0", "T", " ", " "});
    for (int r = 100; r < 200; ++r)
        s.ranges << Row(
            {chart, "L5", QString("D%1").arg(kChained - 1), QString("ZD%1").arg(r), QString("ZD%1Z").arg(r)});
    s.full = 100 * (kChained + 1);
    return s;
}

std::vector<Shape>& Shapes() {
    static std::vector<Shape> shapes = [] {
        std::vector<Shape> all{Spread("a level of 2000 codes over 100 + 100 holders", "S1", 100, false),
                               Spread("a level with a code in 2000 + 2000 holders", "S2", 0, true),
                               Deep("S3"), Chained("S4")};
        // QLX_BENCH_SHAPES: the charts to measure, e.g. "S1,S3"; all without it.
        const QStringList wanted = qEnvironmentVariable("QLX_BENCH_SHAPES").split(',', Qt::SkipEmptyParts);
        std::erase_if(all, [&](const Shape& s) { return !wanted.isEmpty() && !wanted.contains(s.chart); });
        return all;
    }();
    return shapes;
}

// The chart's ranges as they are before the synchronize.
bool WriteRanges(DbConnection& c, const Shape& s) {
    return InsertRows(c, "CS_COA_ACCT_RANGE", s.ranges) &&
           InsertRows(c, "CS_MULTIPLIER_RANGE", s.multiplierRanges) &&
           InsertRows(c, "CS_CAT_TYPE", s.categoryRanges);
}

bool WriteShapes(DbConnection& c) {
    for (const Shape& s : Shapes())
        if (!InsertRows(c, "CS_LEVELHIER", s.hierarchy) ||
            !InsertRows(c, "CS_MULTIPLIERHIER", s.multiplierHierarchy) ||
            !InsertRows(c, "CS_CATEGORYHIER", s.categoryHierarchy) || !WriteRanges(c, s))
            return false;
    return true;
}

bool GenerateWithAncestry(DbConnection& c, const char* program) {
    return Generate(c, program) && AddAncestry(c) && WriteLevel(c, true, true) && WriteShapes(c);
}

bool GenerateLevel(DbConnection& c, const char* /*program*/) {
    return (SqlScript::RunFile(c, QLX_SCHEMA_FILE) && WriteLevel(c, true, true) && WriteShapes(c)) ||
           fail("cannot generate the level");
}

// The same on fixed-width key and bound columns, as some servers keep them.
bool GenerateLevelFixedWidth(DbConnection& c, const char* /*program*/) {
    return (SqlScript::RunFile(c, QLX_SCHEMA_FILE) && MakeFixedWidth(c) && WriteLevel(c, true, true) &&
            WriteShapes(c)) ||
           fail("cannot generate the level on fixed-width columns");
}

// P, G, M1 and CT1 back to their placeholders, and the editor's tree loaded again.
bool Emptied(frmRangeMaintenance* editor) {
    DbConnection& db = gDBConnection->adoConnection();
    const bool emptied =
        db.BeginTrans() &&
        db.Execute("Delete From CS_COA_ACCT_RANGE where CO_COA = 'C1' and CO_LEVEL in ('L0', 'L1')") &&
        db.Execute("Delete From CS_MULTIPLIER_RANGE where MUL_COA = 'C1'") &&
        db.Execute("Delete From CS_CAT_TYPE where CAT_COA = 'C1'") && WriteLevel(db, false, false) &&
        db.CommitTrans();
    editor->cmdapply_Click();
    return emptied;
}

// The Account Level editor opened through the main window's menu, or nullptr.
frmRangeMaintenance* OpenLevelEditor() {
    gMainForm->ShowWarehouseOpen();
    gMainForm->Command("mnuLevelRangeMaint")->trigger();
    const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
    return editors.isEmpty() ? nullptr : qobject_cast<frmRangeMaintenance*>(editors.first()->widget());
}

// The level's Synchronize, with nothing missing and with everything missing, on the open warehouse.
bool TimeSynchronize(const char* backend) {
    frmRangeMaintenance* editor = OpenLevelEditor();
    if (!editor)
        return fail("the editor did not open");
    DbConnection& db = gDBConnection->adoConnection();
    const int full = 5 * kLevelCodes;
    for (const bool missing : {false, true}) {
        const char* name = missing ? "everything missing" : "nothing missing";
        std::vector<double> ms;
        qint64 statements = 0;
        for (int run = 0; run < kRuns; ++run) {
            if (missing && !Emptied(editor))
                return fail("the ancestors and holders could not be emptied");
            editor->trvMaintenance_NodeClick(editor->trvMaintenance->Node(
                clsGenericMaint::BuildLevelKey(editor->strcurRoot, "C1", "L2", {}, {}, {})));
            const qint64 before = db.StatementCount();
            QElapsedTimer timer;
            timer.start();
            editor->Synchronize();
            ms.push_back(timer.nsecsElapsed() / 1e6);
            statements = db.StatementCount() - before;
            if (CountRanges("C1") != full)
                return fail("the synchronize left other rows than it should");
            std::printf("%s synchronize, %s, run %d: %.1f ms, %lld statements\n", backend, name, run + 1,
                        ms.back(), static_cast<long long>(statements));
        }
        std::printf("%s synchronize of %d codes, %s, ms: %.1f\n", backend, kLevelCodes, name, Median(ms));
        std::printf("%s synchronize of %d codes, %s, statements: %lld\n", backend, kLevelCodes, name,
                    static_cast<long long>(statements));
    }
    CloseEditors();
    return true;
}

// The shape's ranges back to what they were before the synchronize, and the editor's tree loaded again.
bool Reset(frmRangeMaintenance* editor, const Shape& s) {
    DbConnection& db = gDBConnection->adoConnection();
    const QString chart = QString("'%1'").arg(s.chart);
    const bool reset = db.BeginTrans() &&
                       db.Execute("Delete From CS_COA_ACCT_RANGE where CO_COA = " + chart) &&
                       db.Execute("Delete From CS_MULTIPLIER_RANGE where MUL_COA = " + chart) &&
                       db.Execute("Delete From CS_CAT_TYPE where CAT_COA = " + chart) && WriteRanges(db, s) &&
                       db.CommitTrans();
    editor->cmdapply_Click();
    return reset;
}

// With QLX_BENCH_EXPLAIN set, the plans of the statements of one synchronize that carry ranges set-wise (a
// recursive expression or a holders' hierarchy joined), each kind once: EXPLAIN on PostgreSQL, EXPLAIN QUERY
// PLAN on SQLite.
void Explain(const char* backend, const QStringList& statements) {
    QStringList seen;
    for (const QString& sql : statements) {
        const QString kind = sql.left(40) + (sql.contains("HIER X") ? " holders" : "");
        if (seen.contains(kind) || (!sql.contains("With ") && !sql.contains("HIER X")))
            continue;
        seen << kind;
        std::printf("-- %s plan of: %s\n", backend, qPrintable(sql.left(300)));
        const bool postgres = QString(backend).startsWith("postgres");
        Recordset rs = GetRecordset((postgres ? "EXPLAIN " : "EXPLAIN QUERY PLAN ") + sql);
        for (; !rs.IsNothing() && !rs.IsEOF(); rs.MoveNext())
            std::printf("   %s\n", qPrintable(rs.Fields(rs.FieldCount() - 1).Text()));
    }
}

// Each shape's Synchronize, with nothing missing and with everything missing, on the open warehouse.
bool TimeShapes(const char* backend) {
    frmRangeMaintenance* editor = OpenLevelEditor();
    if (!editor)
        return fail("the editor did not open");
    DbConnection& db = gDBConnection->adoConnection();
    const bool explain = !qEnvironmentVariableIsEmpty("QLX_BENCH_EXPLAIN");
    for (const Shape& s : Shapes()) {
        const auto select = [&] {
            editor->trvMaintenance_NodeClick(editor->trvMaintenance->Node(
                clsGenericMaint::BuildLevelKey(editor->strcurRoot, s.chart, s.level, {}, {}, {})));
        };
        for (const bool missing : {false, true}) {
            const char* name = missing ? "everything missing" : "nothing missing";
            std::vector<double> ms;
            qint64 statements = 0;
            QStringList texts;
            for (int run = 0; run < kRuns; ++run) {
                if ((missing || run == 0) && !Reset(editor, s))
                    return fail("the shape could not be written back");
                if (!missing && run == 0) {
                    select();
                    editor->Synchronize();
                }
                select();
                const long rss = RssMb();
                texts.clear();
                db.BeforeStatement([&](const QString& sql) {
                    texts << sql;
                    return false;
                });
                const qint64 before = db.StatementCount();
                QElapsedTimer timer;
                timer.start();
                editor->Synchronize();
                ms.push_back(timer.nsecsElapsed() / 1e6);
                db.BeforeStatement({});
                statements = db.StatementCount() - before;
                if (CountRanges(s.chart) != s.full)
                    return fail(qPrintable(QString("%1 left %2 ranges, not %3")
                                               .arg(s.name)
                                               .arg(CountRanges(s.chart))
                                               .arg(s.full)));
                std::printf("%s %s, %s, run %d: %.1f ms, %lld statements, %ld MB more, peak %ld MB\n",
                            backend, s.name, name, run + 1, ms.back(), static_cast<long long>(statements),
                            RssMb() - rss, PeakRssMb());
            }
            std::printf("%s %s, %s, ms: %.1f\n", backend, s.name, name, Median(ms));
            std::printf("%s %s, %s, statements: %lld\n", backend, s.name, name,
                        static_cast<long long>(statements));
            if (explain && missing) {
                if (!Reset(editor, s))
                    return fail("the shape could not be written back");
                Explain(backend, texts);
            }
        }
        if (!QString(s.chart).endsWith("2"))
            continue;
        // A range saved on the code X, which 2,000 multipliers and 2,000 categories hold.
        std::vector<double> ms;
        qint64 statements = 0;
        for (int run = 0; run < kRuns; ++run) {
            editor->trvMaintenance_NodeClick(editor->trvMaintenance->Node(
                clsGenericMaint::BuildLevelKey(editor->strcurRoot, s.chart, "L2", "X", {}, {})));
            editor->Insert();
            editor->txtRangAccountFr[1]->setText(QString::number(990000 + run * 100));
            editor->txtRangAccountTo[1]->setText(QString::number(990099 + run * 100));
            const qint64 before = db.StatementCount();
            QElapsedTimer timer;
            timer.start();
            const bool saved = editor->Engine()->Save();
            ms.push_back(timer.nsecsElapsed() / 1e6);
            statements = db.StatementCount() - before;
            if (!saved)
                return fail("the save on X failed");
        }
        std::printf("%s save of a range on a code in %d + %d holders, ms: %.1f\n", backend, kWideHolders,
                    kWideHolders, Median(ms));
        std::printf("%s save of a range on a code in %d + %d holders, statements: %lld\n", backend,
                    kWideHolders, kWideHolders, static_cast<long long>(statements));
    }
    CloseEditors();
    return true;
}

// On PostgreSQL: the shapes on tables just written, then after ANALYZE of every table.
bool TimeShapesOnPostgres(const char* fresh, const char* analyzed) {
    if (!TimeShapes(fresh))
        return false;
    if (!gDBConnection->adoConnection().Execute("ANALYZE"))
        return fail("ANALYZE failed");
    return TimeShapes(analyzed);
}

} // namespace

int main(int argc, char** argv) {
    return RunOnEditorWarehouse(argc, argv, GenerateWithAncestry, "bench_propagation", [] {
        gMainForm->Command("mnuLevelRangeMaint")->trigger();
        const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
        auto* editor =
            editors.isEmpty() ? nullptr : qobject_cast<frmRangeMaintenance*>(editors.first()->widget());
        if (!editor || !editor->Engine()) {
            fail("the editor did not open");
            return false;
        }
        DbConnection& db = gDBConnection->adoConnection();
        std::vector<double> saveMs;
        qint64 statements = 0;
        for (int run = 0; run < kRuns; ++run) {
            TreeNode* code = editor->trvMaintenance->Node(
                clsGenericMaint::BuildLevelKey(editor->strcurRoot, "1000", "L10", "10001", {}, {}));
            editor->trvMaintenance_NodeClick(code);
            editor->Insert();
            const QString from = QString::number(900000 + run * 100);
            editor->txtRangAccountFr[1]->setText(from);
            editor->txtRangAccountTo[1]->setText(QString::number(900099 + run * 100));
            const qint64 before = db.StatementCount();
            QElapsedTimer timer;
            timer.start();
            const bool saved = editor->Engine()->Save();
            saveMs.push_back(timer.nsecsElapsed() / 1e6);
            statements = db.StatementCount() - before;
            if (!saved) {
                fail("the save failed");
                return false;
            }
            std::printf("run %d: save %.1f ms, %lld statements\n", run + 1, saveMs.back(),
                        static_cast<long long>(statements));
        }
        std::printf("ms: %.1f\n", Median(saveMs));
        std::printf("statements: %lld\n", static_cast<long long>(statements));
        CloseEditors();
        const bool only = !qEnvironmentVariableIsEmpty("QLX_BENCH_SHAPES");
        return (only || TimeSynchronize("sqlite")) && TimeShapes("sqlite") &&
               RunOnPostgres("bench_propagation", GenerateLevel,
                             [&] {
                                 return (only || TimeSynchronize("postgres")) &&
                                        TimeShapesOnPostgres("postgres", "postgres after ANALYZE");
                             }) &&
               RunOnPostgres("bench_propagation", GenerateLevelFixedWidth, [] {
                   return TimeShapesOnPostgres("postgres char(n)", "postgres char(n) after ANALYZE");
               });
    });
}
