// Opens the Account Level Range Maintenance editor, through the main window's menu, on a warehouse of
// 100,000 ranges (five charts of account, ten levels, a hundred codes per level, twenty ranges per code)
// and compares the time it takes with the raw query and fetch of the same rows. Prints the median of five
// runs of each and their ratio.

#include "BenchWarehouse.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/frmRangeMaintenance.h"
#include "services/MaintTree.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace BenchWarehouse;

namespace {

// The node count of the editor that opened; -1 when none did.
int editorNodes() {
    const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
    auto* editor =
        editors.isEmpty() ? nullptr : qobject_cast<frmRangeMaintenance*>(editors.first()->widget());
    return editor ? editor->trvMaintenance->Count() : -1;
}

} // namespace

int main(int argc, char** argv) {
    return RunOnEditorWarehouse(argc, argv, Generate, "bench_rangeeditor", [] {
        // The editor's own statement, as it sends it.
        const bool ok = MeasureEditorOpen("bench_rangeeditor", "Account Level", "mnuLevelRangeMaint",
                                          clsAcLevelRangeMaint().GetSQL_Level(), editorNodes);
        std::printf("peak RSS: %ld MB\n", PeakRssMb());
        return ok;
    });
}
