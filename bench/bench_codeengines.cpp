// Times the level hierarchy engine's detach of a child code holding 1,000 ranges from its parent code at
// the bottom of a ten-deep CS_LEVELHIER chain whose every code holds the same ranges, on SQLite, without a
// window. Only the engine's Delete is timed (median of five; the child is attached again between runs,
// untimed); the ranges removed and the queries and statements sent are counted.

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

bool fail(const char* what) {
    std::fprintf(stderr, "bench_codeengines: %s: %s\n", what, qPrintable(Err().Description()));
    return false;
}

// Codes C1 (level L1) down to C10 (L10), each the parent of the next, and the child X (L11) under C10;
// all eleven hold the same ranges.
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
        for (int r = 0; r < kRanges; ++r)
            if (!c.Execute(QString("INSERT INTO CS_COA_ACCT_RANGE VALUES ('CH', 'L%1', '%2', '%3', '%4')")
                               .arg(level)
                               .arg(code)
                               .arg(100000 + r * 10)
                               .arg(100009 + r * 10)))
                return false;
    }
    return c.CommitTrans();
}

int RangesOfParent() {
    Recordset rs = GetRecordset(QStringLiteral("Select * from CS_COA_ACCT_RANGE where CO_COA = 'CH' and "
                                               "CO_LEVEL = 'L10' and CO_CODE = 'C10' and CO_FR_ACCT <> ' '"));
    return rs.IsNothing() ? -1 : rs.RecordCount();
}

} // namespace

int main(int argc, char** argv) {
    // The main window it shows takes no part: the engine runs on an editor without a window.
    return BenchWarehouse::RunOnEditorWarehouse(argc, argv, Generate, "bench_codeengines", [] {
        CodeEditorState editor(3);
        clsAcBuLevelCodeMaint engine;
        engine.OwnerForm(&editor);
        DbConnection& db = gDBConnection->adoConnection();
        std::vector<double> ms;
        qint64 statements = 0;
        int removed = 0;
        for (int run = 0; run < BenchWarehouse::kRuns; ++run) {
            editor.keys = {"CH", {}, "L10", "C10", "L11", "X"};
            editor.nodeType = 4;
            const int before = RangesOfParent();
            const qint64 sent = db.StatementCount();
            QElapsedTimer timer;
            timer.start();
            const bool deleted = engine.Delete();
            ms.push_back(timer.nsecsElapsed() / 1e6);
            statements = db.StatementCount() - sent;
            removed = before - RangesOfParent();
            if (!deleted)
                return fail("the detach failed");
            std::printf("run %d: detach %.1f ms, %d ranges removed, %lld statements\n", run + 1, ms.back(),
                        removed, static_cast<long long>(statements));
            // Attached again for the next run.
            editor.nodeType = 3;
            editor.entry.values.ChildLevel = "L11";
            editor.entry.values.ChildCode = "X";
            editor.NewRecord = true;
            if (!engine.Save() || RangesOfParent() != kRanges)
                return fail("the attach failed");
        }
        std::printf("ms: %.1f\n", BenchWarehouse::Median(ms));
        std::printf("ranges removed: %d\n", removed);
        std::printf("statements: %lld\n", static_cast<long long>(statements));
        return true;
    });
}
