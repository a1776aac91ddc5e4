// Opens the Account Level and the Account Multiplier Code Maintenance editors, through the main window's
// menu, on a warehouse of 20,000 child codes in CS_LEVELHIER and 20,000 codes in CS_MULTIPLIERHIER, and
// compares the time each takes with the raw query and fetch of its engine's tree statement. Prints the
// median of five runs of each and their ratio, per type.

#include "BenchWarehouse.h"
#include "codemaint/CodeEngine.h"
#include "codemaint/frmCodeMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "services/MaintTree.h"

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

bool fail(const char* what) {
    std::fprintf(stderr, "bench_codeeditor: %s: %s\n", what, qPrintable(Err().Description()));
    return false;
}

frmCodeMaintenance* openEditor(const char* item) {
    gMainForm->Command(item)->trigger();
    const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
    return editors.isEmpty() ? nullptr : qobject_cast<frmCodeMaintenance*>(editors.first()->widget());
}

bool measure(const char* item, const char* name) {
    frmCodeMaintenance* editor = openEditor(item);
    if (!editor || !editor->Engine())
        return fail("the editor did not open");
    // The engine's own statement, as it sends it.
    const QString treeQuery = editor->Engine()->TreeStatement();
    CloseEditors();
    std::vector<double> fetchMs;
    std::vector<double> openMs;
    int rows = 0;
    int nodes = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        Recordset rs = GetRecordset(treeQuery);
        if (rs.IsNothing())
            return fail("cannot run the tree query");
        rows = rs.RecordCount();
        fetchMs.push_back(timer.nsecsElapsed() / 1e6);
        rs.Close();

        timer.restart();
        editor = openEditor(item);
        openMs.push_back(timer.nsecsElapsed() / 1e6);
        if (!editor)
            return fail("the editor did not open");
        nodes = editor->trvMaintenance->Count();
        CloseEditors();
    }
    const double fetch = Median(fetchMs);
    const double open = Median(openMs);
    std::printf("%s: rows: %d, nodes: %d\n", name, rows, nodes);
    std::printf("%s: query and fetch (median of %d) ms: %.1f\n", name, kRuns, fetch);
    std::printf("%s: editor open (median of %d) ms: %.1f\n", name, kRuns, open);
    std::printf("ratio: %.3f\n", open / fetch);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    return RunOnEditorWarehouse(argc, argv, GenerateHierarchies, "bench_codeeditor", [] {
        return measure("mnuLevelCodeMaint", "Account Level") &&
               measure("mnuMultiplierCodeMaint", "Account Multiplier");
    });
}
