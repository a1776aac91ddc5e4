// Times the level hierarchy engine's detach and attach on SQLite, without a window, in two cases:
//
// - ten-deep: a child code holding 1,000 ranges detached from its parent code at the bottom of a ten-deep
//   CS_LEVELHIER chain whose every code holds the same ranges. The removal goes up the whole chain. Only
//   the Delete is timed; between runs the child is attached again and the chain given its ranges back,
//   untimed. The ranges removed (over the whole chain) and the queries and statements sent are counted.
// - one step: a child code holding 10,000 ranges under a parent code without parents; its detach and its
//   attach again are each timed.
//
// Each figure is the median of five runs.

#include "BenchWarehouse.h"
#include "codemaint/CodeEditorState.h"
#include "codemaint/clsAcBuLevelCodeMaint.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/SqlScript.h"

#include <QElapsedTimer>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDepth = 10;
constexpr int kRanges = 1000;
constexpr int kWideRanges = 10000;

bool fail(const char* what) {
    std::fprintf(stderr, "bench_codeengines: %s: %s\n", what, qPrintable(Err().Description()));
    return false;
}

bool WriteRanges(DbConnection& c, const QString& chart, int level, const QString& code, int count) {
    for (int r = 0; r < count; ++r)
        if (!c.Execute(QString("INSERT INTO CS_COA_ACCT_RANGE VALUES ('%1', 'L%2', '%3', '%4', '%5')")
                           .arg(chart)
                           .arg(level)
                           .arg(code)
                           .arg(1000000 + r * 10)
                           .arg(1000009 + r * 10)))
            return false;
    return true;
}

// Chart CH: codes C1 (level L1) down to C10 (L10), each the parent of the next, and the child X (L11)
// under C10; all eleven hold the same ranges. Chart WIDE: the child W (L2) attached under P (L1), both
// holding the same ten thousand ranges.
bool Generate(DbConnection& c, const char* /*program*/) {
    if (!SqlScript::RunFile(c, QLX_SCHEMA_FILE) || !c.BeginTrans())
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
           c.CommitTrans();
}

int Count(const QString& condition) {
    Recordset rs = GetRecordset(QStringLiteral("Select * from CS_COA_ACCT_RANGE where ") + condition +
                                QStringLiteral(" and CO_FR_ACCT <> ' '"));
    return rs.IsNothing() ? -1 : rs.RecordCount();
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

bool TenDeep(clsAcBuLevelCodeMaint& engine, CodeEditorState& editor) {
    DbConnection& db = gDBConnection->adoConnection();
    const QStringList parent{"CH", QString("L%1").arg(kDepth), QString("C%1").arg(kDepth)};
    const QString chain = QStringLiteral("CO_COA = 'CH' and CO_CODE <> 'X'");
    std::vector<double> ms;
    qint64 statements = 0;
    int removed = 0;
    for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
        const int before = Count(chain);
        const qint64 sent = db.StatementCount();
        QElapsedTimer timer;
        timer.start();
        const bool detached = Detach(engine, editor, parent, "L11", "X");
        ms.push_back(timer.nsecsElapsed() / 1e6);
        statements = db.StatementCount() - sent;
        removed = before - Count(chain);
        if (!detached)
            return fail("the ten-deep detach failed");
        std::printf("ten-deep run %d: detach %.1f ms, %d ranges removed, %lld statements\n", run + 1,
                    ms.back(), removed, static_cast<long long>(statements));
        if (!Attach(engine, editor, parent, "L11", "X") || !RestoreChain() || Count(chain) != before)
            return fail("the ten-deep chain could not be restored");
    }
    std::printf("ten-deep detach ms: %.1f\n", BenchWarehouse::Median(ms));
    std::printf("ranges removed: %d\n", removed);
    std::printf("statements: %lld\n", static_cast<long long>(statements));
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
        std::printf("one-step run %d: detach %.1f ms, attach %.1f ms\n", run + 1, detachMs.back(),
                    attachMs.back());
    }
    std::printf("one-step detach of %d ranges ms: %.1f\n", kWideRanges, BenchWarehouse::Median(detachMs));
    std::printf("one-step attach of %d ranges ms: %.1f\n", kWideRanges, BenchWarehouse::Median(attachMs));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The main window it shows takes no part: the engine runs on an editor without a window.
    return BenchWarehouse::RunOnEditorWarehouse(argc, argv, Generate, "bench_codeengines", [] {
        CodeEditorState editor(3);
        clsAcBuLevelCodeMaint engine;
        engine.OwnerForm(&editor);
        return TenDeep(engine, editor) && OneStep(engine, editor);
    });
}
