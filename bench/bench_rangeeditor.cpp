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

namespace {

using namespace BenchWarehouse;

bool fail(const char* what) {
    std::fprintf(stderr, "bench_rangeeditor: %s: %s\n", what, qPrintable(Err().Description()));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    return RunOnEditorWarehouse(argc, argv, Generate, "bench_rangeeditor", [] {
        // The editor's own statement, as it sends it.
        const QString treeQuery = clsAcLevelRangeMaint().GetSQL_Level();

        std::vector<double> fetchMs;
        std::vector<double> openMs;
        int rows = 0;
        int nodes = 0;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            Recordset rs = GetRecordset(treeQuery);
            if (rs.IsNothing()) {
                fail("cannot run the tree query");
                return false;
            }
            rows = rs.RecordCount();
            fetchMs.push_back(timer.nsecsElapsed() / 1e6);
            rs.Close();

            timer.restart();
            gMainForm->Command("mnuLevelRangeMaint")->trigger();
            openMs.push_back(timer.nsecsElapsed() / 1e6);
            const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
            auto* editor =
                editors.isEmpty() ? nullptr : qobject_cast<frmRangeMaintenance*>(editors.first()->widget());
            if (!editor) {
                fail("the editor did not open");
                return false;
            }
            nodes = editor->trvMaintenance->Count();
            std::printf("run %d: query and fetch %.1f ms, editor open %.1f ms\n", run + 1, fetchMs.back(),
                        openMs.back());
            CloseEditors();
        }
        const double fetch = Median(fetchMs);
        const double open = Median(openMs);
        std::printf("rows: %d, nodes: %d\n", rows, nodes);
        std::printf("query and fetch (median of %d): %.1f ms\n", kRuns, fetch);
        std::printf("editor open (median of %d): %.1f ms\n", kRuns, open);
        std::printf("ratio: %.3f\n", open / fetch);
        std::printf("peak RSS: %ld MB\n", PeakRssMb());
        return true;
    });
}
