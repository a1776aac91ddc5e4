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

frmCodeMaintenance* openedEditor() {
    const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
    return editors.isEmpty() ? nullptr : qobject_cast<frmCodeMaintenance*>(editors.first()->widget());
}

bool measure(const char* item, const char* name) {
    gMainForm->Command(item)->trigger();
    frmCodeMaintenance* editor = openedEditor();
    if (!editor || !editor->Engine())
        return fail("the editor did not open");
    // The engine's own statement, as it sends it.
    const QString treeQuery = editor->Engine()->TreeStatement();
    CloseEditors();
    return MeasureEditorOpen("bench_codeeditor", name, item, treeQuery, [] {
        frmCodeMaintenance* opened = openedEditor();
        return opened ? opened->trvMaintenance->Count() : -1;
    });
}

} // namespace

int main(int argc, char** argv) {
    return RunOnEditorWarehouse(argc, argv, GenerateHierarchies, "bench_codeeditor", [] {
        return measure("mnuLevelCodeMaint", "Account Level") &&
               measure("mnuMultiplierCodeMaint", "Account Multiplier");
    });
}
