// Times the Account Level engine's Save of a new range under a code with a ten-deep ancestry in
// CS_LEVELHIER, five multipliers and five categories holding codes of that ancestry, on the warehouse of
// 100,000 ranges. The editor is opened through the main window's menu and the code selected as a user
// would; only the engine's Save is timed (median of five, each a new range), and the queries and
// statements it sends are counted on the connection.

#include "BenchWarehouse.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/EntryBox.h"
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

bool GenerateWithAncestry(DbConnection& c, const char* program) {
    return Generate(c, program) && AddAncestry(c);
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
        return true;
    });
}
