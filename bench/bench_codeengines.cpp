// Times the level hierarchy engine's detach and attach and the Account Level engine's range delete, without
// a window, in three cases:
//
// - ten-deep: a child code holding 1,000 ranges detached from its parent code at the bottom of a ten-deep
//   CS_LEVELHIER chain whose every code holds the same ranges. The removal goes up the whole chain. Only
//   the Delete is timed; between runs the child is attached again and the chain given its ranges back,
//   untimed. The ranges removed (over the whole chain) and the queries and statements sent are counted.
// - one step: a child code holding 10,000 ranges under a parent code without parents; its detach and its
//   attach again are each timed.
// - deep and wide: the same ten-deep chain, where the child's 10,000 ranges were carried up every code,
//   the multiplier MFX of the top code and the category CURA of the parent code, and every one of them also
//   holds 10,000 ranges of its own. The child's detach is timed and its statements counted; on SQLite
//   another program reads the warehouse file meanwhile, and its longest wait for a read is told. Then a new
//   range is saved on the child and deleted again, and the delete is timed. Between runs the chain gets
//   its ranges back, untimed. On SQLite the program's resident memory before the first detach and after
//   the last one is told too: what an action's page cache took must not stay with the program.
// - one step onto a full parent: a child code holding 10,000 ranges attached to a parent code that holds
//   10,000 ranges of its own. The attach is timed and its statements counted; between runs the child is
//   detached again and the parent left with its own ranges, untimed.
//
// - wide: a code holding the same ranges as its parent code, or as its multiplier, detached from it while the
//   parent has many other children, or the multiplier many other codes, each holding one range of its own
//   that the parent or multiplier holds too; the chart also holds many rows of other codes. Four shapes: a
//   parent of 6 children sharing 1,000 ranges with one of them, in a chart of 50,000 other rows; a parent of
//   400 children sharing 2,000 ranges with one, beside 2,400 other rows; a multiplier of 100 codes and one of
//   2,000, each sharing 1,000 ranges with one code. The detach is timed and its statements counted; between
//   runs the code is attached again and the holder given its ranges back, untimed. Also a parent of 2,000
//   children and one of 500 beside 50,000 other rows; below the latter one child's range is deleted in the
//   range editor, timed.
// - held by many: a code in 500 multipliers and 500 categories, and one in 2,000 and 2,000, each holding
//   the code's range: a range saved on the code and deleted again, each timed with its statements.
//   QLX_BENCH_EXPLAIN=1 prints the plans of the delete's statements on the holders.
//
// On PostgreSQL every case runs on tables just written and again after ANALYZE of every table, and then on a
// warehouse whose key and bound columns are all CHAR(n), in both states.
//
// QLX_BENCH_SQLITE_DEFAULT_CACHE=1 runs the SQLite cases with SQLite's own cache settings rather than the
// program's, to compare with. Each figure is the median of five runs. The cases run on SQLite, then on the
// PostgreSQL test server when one is configured (QLX_TEST_PG_DSN, QLX_TEST_PG_USER, QLX_TEST_PG_PASSWORD, as
// the tests use it); every figure line names its backend.

#include "BenchWarehouse.h"
#include "codemaint/CodeEditorState.h"
#include "codemaint/clsAcBuLevelCodeMaint.h"
#include "codemaint/clsAcMultiCategoryCodeMaint.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/SqlScript.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcLevelRangeMaint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <algorithm>
#include <atomic>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <thread>
#include <vector>

namespace {

constexpr int kDepth = 10;
constexpr int kRanges = 1000;
// The ranges of each wide code; QLX_BENCH_WIDE_RANGES sets another count for a run by hand.
const int kWideRanges = qEnvironmentVariableIntValue("QLX_BENCH_WIDE_RANGES") > 0
                            ? qEnvironmentVariableIntValue("QLX_BENCH_WIDE_RANGES")
                            : 10000;
// Rows written by one INSERT while the warehouse is generated.
constexpr int kRowsPerInsert = 500;

const char* gBackend = "sqlite";

bool fail(const char* what) {
    std::fprintf(stderr, "bench_codeengines (%s): %s: %s\n", gBackend, what, qPrintable(Err().Description()));
    return false;
}

// `count` rows of `table`, each the `lead` values (already quoted) and the range from + 10 r to from +
// 10 r + 9, written a few hundred to a statement.
bool WriteRows(DbConnection& c, const QString& table, const QString& lead, qint64 from, int count) {
    for (int first = 0; first < count; first += kRowsPerInsert) {
        QStringList rows;
        for (int r = first; r < count && r < first + kRowsPerInsert; ++r)
            rows << QString("(%1, '%2', '%3')").arg(lead).arg(from + r * 10).arg(from + r * 10 + 9);
        if (!c.Execute("INSERT INTO " + table + " VALUES " + rows.join(", ")))
            return false;
    }
    return true;
}

bool WriteRanges(DbConnection& c, const QString& chart, int level, const QString& code, int count) {
    return WriteRows(c, "CS_COA_ACCT_RANGE", QString("'%1', 'L%2', '%3'").arg(chart).arg(level).arg(code),
                     1000000, count);
}

// Chart DEEP: codes D1 (level L1) down to D10 (L10), each the parent of the next, and the child Y (L11)
// under D10; the multiplier MFX holds D1 and the category CURA holds D10. Y holds 10,000 ranges, which
// every code above it and both holders hold too, each beside 10,000 ranges of its own.
bool GenerateDeep(DbConnection& c) {
    for (int level = 1; level <= kDepth; ++level) {
        const QString child = level < kDepth ? QString("D%1").arg(level + 1) : QString("Y");
        if (!c.Execute(QString("INSERT INTO CS_LEVELHIER VALUES ('AC', 'DEEP', 'L%1', 'D%1', 'L%2', '%3')")
                           .arg(level)
                           .arg(level + 1)
                           .arg(child)) ||
            !WriteRanges(c, "DEEP", level, QString("D%1").arg(level), kWideRanges) ||
            !WriteRows(c, "CS_COA_ACCT_RANGE", QString("'DEEP', 'L%1', 'D%1'").arg(level),
                       1000000LL * (2 + level), kWideRanges))
            return false;
    }
    return WriteRanges(c, "DEEP", kDepth + 1, "Y", kWideRanges) &&
           c.Execute("INSERT INTO CS_MULTIPLIERHIER VALUES ('AC', 'DEEP', 'MFX', 'L1', 'D1')") &&
           c.Execute("INSERT INTO CS_CATEGORYHIER VALUES ('AC', 'DEEP', 'CURA', 'L10', 'D10')") &&
           WriteRows(c, "CS_MULTIPLIER_RANGE", "'DEEP', 'MFX'", 1000000, kWideRanges) &&
           WriteRows(c, "CS_MULTIPLIER_RANGE", "'DEEP', 'MFX'", 20000000, kWideRanges) &&
           WriteRows(c, "CS_CAT_TYPE", "'DEEP', 'CURA'", 1000000, kWideRanges) &&
           WriteRows(c, "CS_CAT_TYPE", "'DEEP', 'CURA'", 30000000, kWideRanges);
}

// The wide shapes: the holder (parent code P at L1, or multiplier M1) of `codes` codes K00000... at L2 in
// chart `chart`; K00000 and the holder share `shared` ranges, every other code holds one range of its own,
// which the holder holds too; beside them `others` rows of other codes of the chart.
struct Wide {
    const char* chart;
    bool multiplier;
    int codes, shared, others;
};
const Wide kWide[] = {{"SIX", false, 6, 1000, 50000},     {"FOURH", false, 400, 2000, 2400},
                      {"TWOK", false, 2000, 1000, 50000}, {"FIVEH", false, 500, 1000, 50000},
                      {"M100", true, 100, 1000, 0},       {"M2000", true, 2000, 1000, 0}};

// A code X (level L1) of chart `chart` in `holders` multipliers and as many categories, each holding X's
// range 100-199 as X does.
struct Held {
    const char* chart;
    int holders;
};
const Held kHeld[] = {{"HOLD500", 500}, {"HOLD2000", 2000}};

bool GenerateHeld(DbConnection& c, const Held& h) {
    const QString chart = QString("'%1'").arg(h.chart);
    QStringList mh, ch, mr, cr;
    for (int i = 0; i < h.holders; ++i) {
        const QString name = QString("H%1").arg(i, 5, 10, QChar('0'));
        mh << QString("('AC', %1, '%2', 'L1', 'X')").arg(chart, name);
        mr << QString("(%1, '%2', '100', '199')").arg(chart, name);
    }
    ch = mh;
    cr = mr;
    const auto write = [&c](const QString& table, const QStringList& rows) {
        for (int first = 0; first < rows.size(); first += kRowsPerInsert)
            if (!c.Execute("INSERT INTO " + table + " VALUES " + rows.mid(first, kRowsPerInsert).join(", ")))
                return false;
        return true;
    };
    return write("CS_MULTIPLIERHIER", mh) && write("CS_CATEGORYHIER", ch) &&
           write("CS_MULTIPLIER_RANGE", mr) && write("CS_CAT_TYPE", cr) &&
           c.Execute("INSERT INTO CS_COA_ACCT_RANGE VALUES (" + chart + ", 'L1', 'X', '100', '199')");
}

QString WideCode(int i) {
    return QString("K%1").arg(i, 5, 10, QChar('0'));
}

bool GenerateWide(DbConnection& c, const Wide& w) {
    const QString chart = QString("'%1'").arg(w.chart);
    const QString holder = w.multiplier ? "CS_MULTIPLIER_RANGE" : "CS_COA_ACCT_RANGE";
    const QString holderLead = w.multiplier ? chart + ", 'M1'" : chart + ", 'L1', 'P'";
    QStringList hierarchy;
    for (int i = 0; i < w.codes; ++i) {
        hierarchy << (w.multiplier ? QString("('AC', %1, 'M1', 'L2', '%2')")
                                   : QString("('AC', %1, 'L1', 'P', 'L2', '%2')"))
                         .arg(chart, WideCode(i));
        if (i > 0 && (!WriteRows(c, "CS_COA_ACCT_RANGE", chart + ", 'L2', '" + WideCode(i) + "'",
                                 2000000 + 10LL * i, 1) ||
                      !WriteRows(c, holder, holderLead, 2000000 + 10LL * i, 1)))
            return false;
    }
    for (int first = 0; first < hierarchy.size(); first += kRowsPerInsert)
        if (!c.Execute(QString("INSERT INTO ") + (w.multiplier ? "CS_MULTIPLIERHIER" : "CS_LEVELHIER") +
                       " VALUES " + hierarchy.mid(first, kRowsPerInsert).join(", ")))
            return false;
    for (int first = 0; first < w.others; first += 1000)
        if (!WriteRows(c, "CS_COA_ACCT_RANGE", chart + QString(", 'L3', 'O%1'").arg(first / 1000), 5000000,
                       std::min(1000, w.others - first)))
            return false;
    return WriteRows(c, "CS_COA_ACCT_RANGE", chart + ", 'L2', 'K00000'", 1000000, w.shared) &&
           WriteRows(c, holder, holderLead, 1000000, w.shared);
}

// The ranges a child brings to a parent holding as many of its own, numbered apart from the parent's.
constexpr qint64 kChildFrom = 5000000;

// Chart CH: codes C1 (level L1) down to C10 (L10), each the parent of the next, and the child X (L11)
// under C10; all eleven hold the same ranges. Chart WIDE: the child W (L2) attached under P (L1), both
// holding the same ten thousand ranges. Chart DEEP: GenerateDeep. Chart FULL: the parent P (L1) and the
// code W (L2), not yet its child, each holding ten thousand ranges of its own.
bool GenerateRows(DbConnection& c, const char* /*program*/) {
    if (!c.BeginTrans())
        return false;
    for (int level = 1; level <= kDepth + 1; ++level) {
        const QString code = level <= kDepth ? QString("C%1").arg(level) : QString("X");
        if (level <= kDepth) {
            const QString child = level < kDepth ? QString("C%1").arg(level + 1) : QString("X");
            if (!c.Execute(QString("INSERT INTO CS_LEVELHIER VALUES ('AC', 'CH', 'L%1', '%2', 'L%3', '%4')")
                               .arg(level)
                               .arg(code)
                               .arg(level + 1)
                               .arg(child)))
                return false;
        }
        if (!WriteRanges(c, "CH", level, code, kRanges))
            return false;
    }
    return c.Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'WIDE', 'L1', 'P', 'L2', 'W')") &&
           WriteRanges(c, "WIDE", 1, "P", kWideRanges) && WriteRanges(c, "WIDE", 2, "W", kWideRanges) &&
           c.Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'FULL', 'L1', 'P', ' ', ' ')") &&
           WriteRanges(c, "FULL", 1, "P", kWideRanges) &&
           WriteRows(c, "CS_COA_ACCT_RANGE", "'FULL', 'L2', 'W'", kChildFrom, kWideRanges) &&
           GenerateDeep(c) &&
           std::all_of(std::begin(kWide), std::end(kWide),
                       [&c](const Wide& w) { return GenerateWide(c, w); }) &&
           std::all_of(std::begin(kHeld), std::end(kHeld),
                       [&c](const Held& h) { return GenerateHeld(c, h); }) &&
           c.CommitTrans();
}

bool Generate(DbConnection& c, const char* program) {
    return SqlScript::RunFile(c, QLX_SCHEMA_FILE) && GenerateRows(c, program);
}

// The same warehouse on a schema whose key and bound columns are fixed-width, as some servers keep them.
bool GenerateFixedWidth(DbConnection& c, const char* program) {
    if (!SqlScript::RunFile(c, QLX_SCHEMA_FILE))
        return false;
    if (!BenchWarehouse::MakeFixedWidth(c))
        return false;
    return GenerateRows(c, program);
}

int Count(const QString& condition) {
    Recordset rs = GetRecordset(QStringLiteral("Select count(*) from CS_COA_ACCT_RANGE where ") + condition +
                                QStringLiteral(" and CO_FR_ACCT <> ' '"));
    return rs.IsNothing() ? -1 : rs.Fields(0).Value().toInt();
}

// Every range row of chart DEEP, holders included.
int CountDeep() {
    return BenchWarehouse::CountRanges("DEEP");
}

// The chain's codes above the child get their ranges back, as a Synchronize would give them.
bool RestoreChain() {
    DbConnection& db = gDBConnection->adoConnection();
    if (!db.BeginTrans())
        return false;
    for (int level = 1; level < kDepth; ++level)
        if (!db.Execute(QString("Delete From CS_COA_ACCT_RANGE where CO_COA = 'CH' and CO_LEVEL = 'L%1'")
                            .arg(level)) ||
            !WriteRanges(db, "CH", level, QString("C%1").arg(level), kRanges))
            return false;
    return db.CommitTrans();
}

// Y under D10 again, and its ranges back wherever the detach took them, copied from Y's own rows.
bool RestoreDeep() {
    DbConnection& db = gDBConnection->adoConnection();
    const QString ys = " from CS_COA_ACCT_RANGE where CO_COA = 'DEEP' and CO_LEVEL = 'L11' and CO_CODE = 'Y'";
    if (!db.BeginTrans() ||
        !db.Execute("Delete From CS_LEVELHIER where CS_COA = 'DEEP' and CS_PARENTLEVEL = 'L10'") ||
        !db.Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'DEEP', 'L10', 'D10', 'L11', 'Y')"))
        return false;
    for (int level = 1; level <= kDepth; ++level)
        if (!db.Execute(QString("INSERT INTO CS_COA_ACCT_RANGE Select 'DEEP', 'L%1', 'D%1', CO_FR_ACCT, "
                                "CO_TO_ACCT")
                            .arg(level) +
                        ys))
            return false;
    return db.Execute("INSERT INTO CS_MULTIPLIER_RANGE Select 'DEEP', 'MFX', CO_FR_ACCT, CO_TO_ACCT" + ys) &&
           db.Execute("INSERT INTO CS_CAT_TYPE Select 'DEEP', 'CURA', CO_FR_ACCT, CO_TO_ACCT" + ys) &&
           db.CommitTrans();
}

bool Attach(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor, const QStringList& parent,
            const char* level, const char* code) {
    editor.keys = {parent[0], {}, parent[1], parent[2]};
    editor.nodeType = 3;
    editor.entry.values.ChildLevel = level;
    editor.entry.values.ChildCode = code;
    editor.NewRecord = true;
    return engine.Save();
}

bool Detach(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor, const QStringList& parent,
            const char* level, const char* code) {
    editor.keys = {parent[0], {}, parent[1], parent[2], level, code};
    editor.nodeType = 4;
    return engine.Delete();
}

// The detach, timed, with the statements it sent.
bool TimedDetach(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor, const QStringList& parent,
                 const char* level, const char* code, std::vector<double>& ms, qint64& statements) {
    DbConnection& db = gDBConnection->adoConnection();
    const qint64 sent = db.StatementCount();
    QElapsedTimer timer;
    timer.start();
    const bool detached = Detach(engine, editor, parent, level, code);
    ms.push_back(timer.nsecsElapsed() / 1e6);
    statements = db.StatementCount() - sent;
    return detached;
}

bool TenDeep(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor) {
    const QStringList parent{"CH", QString("L%1").arg(kDepth), QString("C%1").arg(kDepth)};
    const QString chain = QStringLiteral("CO_COA = 'CH' and CO_CODE <> 'X'");
    std::vector<double> ms;
    qint64 statements = 0;
    int removed = 0;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        const int before = Count(chain);
        const bool detached = TimedDetach(engine, editor, parent, "L11", "X", ms, statements);
        removed = before - Count(chain);
        if (!detached)
            return fail("the ten-deep detach failed");
        std::printf("%s ten-deep run %d: detach %.1f ms, %d ranges removed, %lld statements\n", gBackend,
                    run + 1, ms.back(), removed, static_cast<long long>(statements));
        if (!Attach(engine, editor, parent, "L11", "X") || !RestoreChain() || Count(chain) != before)
            return fail("the ten-deep chain could not be restored");
    }
    std::printf("%s ten-deep detach ms: %.1f\n", gBackend, BenchWarehouse::Median(ms));
    std::printf("%s ranges removed: %d\n", gBackend, removed);
    std::printf("%s statements: %lld\n", gBackend, static_cast<long long>(statements));
    return true;
}

bool OneStep(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor) {
    const QStringList parent{"WIDE", "L1", "P"};
    const QString held = QStringLiteral("CO_COA = 'WIDE' and CO_CODE = 'P'");
    std::vector<double> detachMs;
    std::vector<double> attachMs;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const bool detached = Detach(engine, editor, parent, "L2", "W");
        detachMs.push_back(timer.nsecsElapsed() / 1e6);
        if (!detached || Count(held) != 0)
            return fail("the one-step detach failed");
        timer.restart();
        const bool attached = Attach(engine, editor, parent, "L2", "W");
        attachMs.push_back(timer.nsecsElapsed() / 1e6);
        if (!attached || Count(held) != kWideRanges)
            return fail("the one-step attach failed");
        std::printf("%s one-step run %d: detach %.1f ms, attach %.1f ms\n", gBackend, run + 1,
                    detachMs.back(), attachMs.back());
    }
    std::printf("%s one-step detach of %d ranges ms: %.1f\n", gBackend, kWideRanges,
                BenchWarehouse::Median(detachMs));
    std::printf("%s one-step attach of %d ranges ms: %.1f\n", gBackend, kWideRanges,
                BenchWarehouse::Median(attachMs));
    return true;
}

bool OntoAFullParent(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor) {
    const QString parent = QStringLiteral("CO_COA = 'FULL' and CO_CODE = 'P'");
    const QString brought = QStringLiteral(" and CO_FR_ACCT >= '%1'").arg(kChildFrom);
    DbConnection& db = gDBConnection->adoConnection();
    std::vector<double> ms;
    qint64 statements = 0;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        const qint64 sent = db.StatementCount();
        QElapsedTimer timer;
        timer.start();
        const bool attached = Attach(engine, editor, {"FULL", "L1", "P"}, "L2", "W");
        ms.push_back(timer.nsecsElapsed() / 1e6);
        statements = db.StatementCount() - sent;
        if (!attached || Count(parent) != 2 * kWideRanges || Count(parent + brought) != kWideRanges)
            return fail("the attach onto a full parent failed or wrote other rows than it should");
        std::printf("%s onto a full parent run %d: attach %.1f ms, %lld statements\n", gBackend, run + 1,
                    ms.back(), static_cast<long long>(statements));
        // W leaves P again, and P keeps only its own ranges.
        if (!db.BeginTrans() ||
            !db.Execute("Delete From CS_LEVELHIER where CS_COA = 'FULL' and CS_CHILDCODE = 'W'") ||
            !db.Execute("INSERT INTO CS_LEVELHIER VALUES ('AC', 'FULL', 'L1', 'P', ' ', ' ')") ||
            !db.Execute("Delete From CS_COA_ACCT_RANGE where " + parent + brought) || !db.CommitTrans())
            return fail("the full parent could not be restored");
    }
    std::printf("%s attach of %d ranges onto a parent holding %d ms: %.1f\n", gBackend, kWideRanges,
                kWideRanges, BenchWarehouse::Median(ms));
    std::printf("%s attach onto a full parent statements: %lld\n", gBackend,
                static_cast<long long>(statements));
    return true;
}

bool WideDetach(const Wide& w) {
    DbConnection& db = gDBConnection->adoConnection();
    CodeEditorState editor(w.multiplier ? 1 : 3);
    clsAcBuLevelCodeMaint levels;
    clsAcMultiCategoryCodeMaint holders;
    holders.SetCodeMaintTableName(1);
    CodeEngine& engine = w.multiplier ? static_cast<CodeEngine&>(holders) : levels;
    engine.OwnerForm(&editor);
    const QString chart = w.chart;
    const QString holderRows =
        w.multiplier
            ? "Select count(*) from CS_MULTIPLIER_RANGE where MUL_COA = '" + chart + "' and MUL_CODE = 'M1'"
            : "Select count(*) from CS_COA_ACCT_RANGE where CO_COA = '" + chart + "' and CO_CODE = 'P'";
    const auto held = [&holderRows] {
        Recordset rs = GetRecordset(holderRows);
        return rs.IsNothing() || rs.IsEOF() ? -1 : rs.Fields(0).Value().toInt();
    };
    const QString ks = " from CS_COA_ACCT_RANGE where CO_COA = '" + chart + "' and CO_CODE = 'K00000'";
    std::vector<double> ms;
    qint64 statements = 0;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        const int before = held();
        if (w.multiplier)
            editor.keys = {chart, "M1", "L2", "K00000"};
        else
            editor.keys = {chart, {}, "L1", "P", "L2", "K00000"};
        editor.nodeType = 4;
        const qint64 sent = db.StatementCount();
        QElapsedTimer timer;
        timer.start();
        const bool detached = engine.Delete();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        statements = db.StatementCount() - sent;
        if (!detached || held() != before - w.shared)
            return fail("the wide detach failed or left other rows than it should");
        std::printf("%s wide %s run %d: detach %.1f ms, %lld statements\n", gBackend, w.chart, run + 1,
                    ms.back(), static_cast<long long>(statements));
        const bool restored = db.BeginTrans() &&
                              db.Execute(w.multiplier ? "INSERT INTO CS_MULTIPLIERHIER VALUES ('AC', '" +
                                                            chart + "', 'M1', 'L2', 'K00000')"
                                                      : "INSERT INTO CS_LEVELHIER VALUES ('AC', '" + chart +
                                                            "', 'L1', 'P', 'L2', 'K00000')") &&
                              db.Execute(w.multiplier ? "INSERT INTO CS_MULTIPLIER_RANGE Select '" + chart +
                                                            "', 'M1', CO_FR_ACCT, CO_TO_ACCT" + ks
                                                      : "INSERT INTO CS_COA_ACCT_RANGE Select '" + chart +
                                                            "', 'L1', 'P', CO_FR_ACCT, CO_TO_ACCT" + ks) &&
                              db.CommitTrans();
        if (!restored || held() != before)
            return fail("the wide holder could not be restored");
    }
    std::printf("%s wide %s (%d %s, %d shared ranges) detach ms: %.1f\n", gBackend, w.chart, w.codes,
                w.multiplier ? "codes of a multiplier" : "children", w.shared, BenchWarehouse::Median(ms));
    std::printf("%s wide %s detach statements: %lld\n", gBackend, w.chart,
                static_cast<long long>(statements));
    return true;
}

// One range of a child deleted in the range editor under the parent of FIVEH's 500 children, beside 50,000
// other rows: it leaves the parent, which no other child gives it. Restored between runs, untimed.
bool RangeDeleteUnderAWideParent() {
    DbConnection& db = gDBConnection->adoConnection();
    std::vector<double> ms;
    const QString from = QString::number(2000000 + 10), to = QString::number(2000000 + 19);
    const QString parentRow =
        "Select count(*) from CS_COA_ACCT_RANGE where CO_COA = 'FIVEH' and CO_CODE = 'P' "
        "and CO_FR_ACCT = '" +
        from + "'";
    const auto held = [&parentRow] {
        Recordset rs = GetRecordset(parentRow);
        return rs.IsNothing() || rs.IsEOF() ? -1 : rs.Fields(0).Value().toInt();
    };
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        RangeEditorState range(3);
        clsAcLevelRangeMaint ranges;
        ranges.OwnerForm(&range);
        range.trvMaintenance_NodeClick(range.AddPath({"FIVEH", "L2", "K00001", from, to}));
        QElapsedTimer timer;
        timer.start();
        const bool deleted = ranges.Delete();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        if (!deleted || held() != 0)
            return fail("the range delete under a wide parent failed");
        std::printf("%s range delete under 500 children run %d: %.1f ms\n", gBackend, run + 1, ms.back());
        if (!db.BeginTrans() ||
            !db.Execute("Delete From CS_COA_ACCT_RANGE where CO_COA = 'FIVEH' and CO_CODE = 'K00001'") ||
            !db.Execute("INSERT INTO CS_COA_ACCT_RANGE VALUES ('FIVEH', 'L2', 'K00001', '" + from + "', '" +
                        to + "'), ('FIVEH', 'L1', 'P', '" + from + "', '" + to + "')") ||
            !db.CommitTrans() || held() != 1)
            return fail("the wide parent could not be restored");
    }
    std::printf("%s range delete under a parent of 500 children ms: %.1f\n", gBackend,
                BenchWarehouse::Median(ms));
    return true;
}

// With QLX_BENCH_EXPLAIN set, the plan of each statement of the next action that names a holders' hierarchy
// as X: EXPLAIN on PostgreSQL, EXPLAIN QUERY PLAN on SQLite; and before each statement of the action, how
// long the one before it took. The explaining is timed with the action.
void ExplainHolders(DbConnection& db) {
    const bool postgres = db.IsPostgres();
    auto since = std::make_shared<QElapsedTimer>();
    db.BeforeStatement([postgres, since, busy = false](const QString& sql) mutable {
        if (busy)
            return false;
        busy = true;
        if (since->isValid())
            std::printf("-- %s the statement before took %.1f ms\n", gBackend, since->nsecsElapsed() / 1e6);
        if (sql.contains("HIER X")) {
            std::printf("-- %s plan of: %s\n", gBackend, qPrintable(sql.left(200)));
            Recordset rs = GetRecordset((postgres ? "EXPLAIN " : "EXPLAIN QUERY PLAN ") + sql);
            for (; !rs.IsNothing() && !rs.IsEOF(); rs.MoveNext())
                std::printf("   %s\n", qPrintable(rs.Fields(rs.FieldCount() - 1).Text()));
            rs.Close();
        } else {
            std::printf("-- %s statement: %s\n", gBackend, qPrintable(sql.left(120)));
        }
        since->start();
        busy = false;
        return false;
    });
}

// A range saved on X, which its holders (multipliers and categories) get too, then deleted: it leaves them
// all again.
bool HeldByMany(const Held& h) {
    std::vector<double> saveMs, deleteMs;
    DbConnection& db = gDBConnection->adoConnection();
    const QString holderRows = QString("Select count(*) from CS_MULTIPLIER_RANGE where MUL_COA = '%1' and "
                                       "MUL_FR_ACCT = '300'")
                                   .arg(h.chart);
    const auto held = [&holderRows] {
        Recordset rs = GetRecordset(holderRows);
        return rs.IsNothing() || rs.IsEOF() ? -1 : rs.Fields(0).Value().toInt();
    };
    qint64 saveStatements = 0, deleteStatements = 0;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        RangeEditorState range(3);
        clsAcLevelRangeMaint ranges;
        ranges.OwnerForm(&range);
        range.trvMaintenance_NodeClick(range.AddPath({h.chart, "L1", "X"}));
        range.entry = {"", "", "", "300", "399"};
        range.newRecord = true;
        qint64 sent = db.StatementCount();
        QElapsedTimer timer;
        timer.start();
        const bool saved = ranges.Save();
        saveMs.push_back(timer.nsecsElapsed() / 1e6);
        saveStatements = db.StatementCount() - sent;
        if (!saved || held() != h.holders)
            return fail("the save on a code of many holders failed");
        if (run == 0 && !qEnvironmentVariableIsEmpty("QLX_BENCH_EXPLAIN"))
            ExplainHolders(db);
        sent = db.StatementCount();
        timer.restart();
        const bool deleted = ranges.Delete();
        deleteMs.push_back(timer.nsecsElapsed() / 1e6);
        db.BeforeStatement({});
        deleteStatements = db.StatementCount() - sent;
        if (!deleted || held() != 0)
            return fail("the delete on a code of many holders failed");
        std::printf("%s %d + %d holders run %d: save %.1f ms (%lld statements), delete %.1f ms (%lld "
                    "statements)\n",
                    gBackend, h.holders, h.holders, run + 1, saveMs.back(),
                    static_cast<long long>(saveStatements), deleteMs.back(),
                    static_cast<long long>(deleteStatements));
    }
    std::printf("%s save on a code in %d + %d holders ms: %.1f\n", gBackend, h.holders, h.holders,
                BenchWarehouse::Median(saveMs));
    std::printf("%s delete on a code in %d + %d holders ms: %.1f\n", gBackend, h.holders, h.holders,
                BenchWarehouse::Median(deleteMs));
    return true;
}

// Another program reading the warehouse file while the program acts on it, one small read after another:
// the longest any read waited (a read that meets a lock waits for it).
class Reader {
public:
    explicit Reader(const QString& file) : m_file(QFile::encodeName(file)) {
        m_thread = std::thread([this] { Read(); });
    }
    ~Reader() { Stop(); }
    double Stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_longest;
    }

private:
    void Read() {
        sqlite3* db = nullptr;
        if (sqlite3_open(m_file.constData(), &db) == SQLITE_OK) {
            sqlite3_busy_timeout(db, 600000);
            while (!m_stop) {
                QElapsedTimer timer;
                timer.start();
                sqlite3_exec(db, "select count(*) from CS_CAT_DESC", nullptr, nullptr, nullptr);
                m_longest = std::max(m_longest.load(), timer.nsecsElapsed() / 1e6);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        sqlite3_close(db);
    }

    QByteArray m_file;
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_longest{0};
    std::thread m_thread;
};

// What the C library keeps of memory freed before (the warehouse's generation, on a connection of its own)
// goes back to the system first: the next action would reuse it, and a figure taken after that action
// would hide what the action itself left behind. The page cache keeps what was read, as the program holds
// it between actions.
void Settle() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool DeepAndWide(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor) {
    const QStringList parent{"DEEP", QString("L%1").arg(kDepth), QString("D%1").arg(kDepth)};
    // Y's ranges leave ten codes and two holders; their own ranges stay.
    const int full = CountDeep();
    const int kept = full - (kDepth + 2) * kWideRanges;
    std::vector<double> detachMs;
    std::vector<double> deleteMs;
    std::vector<double> waitMs;
    qint64 statements = 0;
    const QSqlDatabase db = gDBConnection->adoConnection().database();
    const bool lite = db.driverName() == QLatin1String("QSQLITE");
    Settle();
    const long rssBefore = BenchWarehouse::RssMb();
    long rssAfter = rssBefore;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        std::optional<Reader> reader;
        if (lite)
            reader.emplace(db.databaseName());
        if (run == 0 && !qEnvironmentVariableIsEmpty("QLX_BENCH_EXPLAIN"))
            ExplainHolders(gDBConnection->adoConnection());
        const bool detached = TimedDetach(engine, editor, parent, "L11", "Y", detachMs, statements);
        gDBConnection->adoConnection().BeforeStatement({});
        if (reader)
            waitMs.push_back(reader->Stop());
        rssAfter = BenchWarehouse::RssMb();
        if (!detached || CountDeep() != kept)
            return fail("the deep detach failed or left other rows than it should");
        if (!RestoreDeep() || CountDeep() != full)
            return fail("the deep chain could not be restored");
        // A range saved on Y goes up the chain and into both holders; its delete takes it from all again.
        RangeEditorState range(3);
        clsAcLevelRangeMaint ranges;
        ranges.OwnerForm(&range);
        range.trvMaintenance_NodeClick(range.AddPath({"DEEP", "L11", "Y"}));
        const QString from = QString::number(90000000 + run * 10);
        range.entry = {"", "", "", from, QString::number(90000009 + run * 10)};
        range.newRecord = true;
        if (!ranges.Save() || CountDeep() != full + kDepth + 3)
            return fail("the deep range save failed");
        if (run == 0 && !qEnvironmentVariableIsEmpty("QLX_BENCH_EXPLAIN"))
            ExplainHolders(gDBConnection->adoConnection());
        QElapsedTimer timer;
        timer.start();
        const bool deleted = ranges.Delete();
        deleteMs.push_back(timer.nsecsElapsed() / 1e6);
        gDBConnection->adoConnection().BeforeStatement({});
        if (!deleted || CountDeep() != full)
            return fail("the deep range delete failed");
        std::printf("%s deep run %d: detach %.1f ms, %lld statements, RSS after it %ld MB; range delete %.1f "
                    "ms\n",
                    gBackend, run + 1, detachMs.back(), static_cast<long long>(statements), rssAfter,
                    deleteMs.back());
    }
    std::printf("%s deep detach of %d ranges ms: %.1f\n", gBackend, kWideRanges,
                BenchWarehouse::Median(detachMs));
    std::printf("%s deep detach statements: %lld\n", gBackend, static_cast<long long>(statements));
    std::printf("%s deep range delete ms: %.1f\n", gBackend, BenchWarehouse::Median(deleteMs));
    if (!waitMs.empty())
        std::printf("%s reader's longest wait during the deep detach ms: %.1f\n", gBackend,
                    BenchWarehouse::Median(waitMs));
    if (lite) {
        std::printf("%s RSS before the deep detach MB: %ld\n", gBackend, rssBefore);
        std::printf("%s RSS after the deep detach MB: %ld\n", gBackend, rssAfter);
    }
    return true;
}

bool Cases() {
    CodeEditorState editor(3);
    clsAcBuLevelCodeMaint engine;
    engine.OwnerForm(&editor);
    // QLX_BENCH_WIDE_ONLY=1 runs the wide cases, the range delete below a wide parent and the code of many
    // holders alone, the deep detach too.
    const bool wideOnly = qEnvironmentVariableIntValue("QLX_BENCH_WIDE_ONLY") > 0;
    return (wideOnly ||
            (TenDeep(engine, editor) && OneStep(engine, editor) && OntoAFullParent(engine, editor))) &&
           DeepAndWide(engine, editor) && std::all_of(std::begin(kWide), std::end(kWide), WideDetach) &&
           RangeDeleteUnderAWideParent() && std::all_of(std::begin(kHeld), std::end(kHeld), HeldByMany);
}

// The cases on tables just written, then again once every table has its statistics.
bool FreshAndAnalyzed(const char* fresh, const char* analyzed) {
    gBackend = fresh;
    if (!Cases())
        return false;
    gBackend = analyzed;
    return gDBConnection->adoConnection().Execute("ANALYZE") && Cases();
}

// SQLite's own cache settings on the shared connection in place of the program's, when asked for: the
// size a new connection gets, spilling as it does by default.
bool SqliteCacheAsAsked() {
    if (qEnvironmentVariableIntValue("QLX_BENCH_SQLITE_DEFAULT_CACHE") <= 0)
        return true;
    sqlite3* fresh = nullptr;
    sqlite3_stmt* size = nullptr;
    int pages = 0;
    if (sqlite3_open(":memory:", &fresh) == SQLITE_OK &&
        sqlite3_prepare_v2(fresh, "PRAGMA cache_size", -1, &size, nullptr) == SQLITE_OK &&
        sqlite3_step(size) == SQLITE_ROW)
        pages = sqlite3_column_int(size, 0);
    sqlite3_finalize(size);
    sqlite3_close(fresh);
    std::printf("sqlite runs with SQLite's default cache (cache_size %d, spilling)\n", pages);
    DbConnection& c = gDBConnection->adoConnection();
    c.KeepSqliteCacheSettings(true);
    return (pages != 0 && c.Execute(QString("PRAGMA cache_size = %1").arg(pages)) &&
            c.Execute("PRAGMA cache_spill = ON")) ||
           fail("cannot set SQLite's default cache");
}

} // namespace

int main(int argc, char** argv) {
    // The main window it shows takes no part: the engines run on editors without a window.
    return BenchWarehouse::RunOnEditorWarehouse(argc, argv, Generate, "bench_codeengines", [] {
        return SqliteCacheAsAsked() && Cases() &&
               BenchWarehouse::RunOnPostgres(
                   "bench_codeengines", Generate,
                   [] { return FreshAndAnalyzed("postgres", "postgres analyzed"); }) &&
               BenchWarehouse::RunOnPostgres("bench_codeengines", GenerateFixedWidth, [] {
                   return FreshAndAnalyzed("postgres char(n)", "postgres char(n) analyzed");
               });
    });
}
