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

bool GenerateWithAncestry(DbConnection& c, const char* program) {
    return Generate(c, program) && AddAncestry(c) && WriteLevel(c, true, true);
}

bool GenerateLevel(DbConnection& c, const char* /*program*/) {
    return (SqlScript::RunFile(c, QLX_SCHEMA_FILE) && WriteLevel(c, true, true)) ||
           fail("cannot generate the level");
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

// The level's Synchronize, with nothing missing and with everything missing, on the open warehouse.
bool TimeSynchronize(const char* backend) {
    gMainForm->ShowWarehouseOpen();
    gMainForm->Command("mnuLevelRangeMaint")->trigger();
    const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
    auto* editor =
        editors.isEmpty() ? nullptr : qobject_cast<frmRangeMaintenance*>(editors.first()->widget());
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
        return TimeSynchronize("sqlite") &&
               RunOnPostgres("bench_propagation", GenerateLevel, [] { return TimeSynchronize("postgres"); });
    });
}
