// Opens the Account Level Range Maintenance editor, through the main window's menu, on a warehouse of
// 100,000 ranges (five charts of account, ten levels, a hundred codes per level, twenty ranges per code)
// and compares the time it takes with the raw query and fetch of the same rows. Prints the median of five
// runs of each, their ratio and the process's peak memory ("peak_rss_mb: X").
//
//   bench_rangeeditor [--ranges N]   N: a multiple of 20,000 (one chart of account each); 100,000 by default

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

constexpr int kRangesPerChart = kLevels * kCodesPerLevel * kRangesPerCode;
int charts = kCharts;

bool generate(DbConnection& c, const char* program) {
    return GenerateCharts(c, program, charts);
}

// The node count of the editor that opened; -1 when none did.
int editorNodes() {
    const QList<QMdiSubWindow*> editors = gMainForm->MdiArea->subWindowList();
    auto* editor =
        editors.isEmpty() ? nullptr : qobject_cast<frmRangeMaintenance*>(editors.first()->widget());
    return editor ? editor->trvMaintenance->Count() : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--ranges") {
        const int ranges = QByteArray(argv[2]).toInt();
        if (ranges <= 0 || ranges % kRangesPerChart != 0) {
            std::fprintf(stderr, "bench_rangeeditor: --ranges takes a multiple of %d\n", kRangesPerChart);
            return 2;
        }
        charts = ranges / kRangesPerChart;
        argc = 1;
    }
    return RunOnEditorWarehouse(argc, argv, generate, "bench_rangeeditor", [] {
        // The editor's own statement, as it sends it.
        const bool ok = MeasureEditorOpen("bench_rangeeditor", "Account Level", "mnuLevelRangeMaint",
                                          clsAcLevelRangeMaint().GetSQL_Level(), editorNodes);
        std::printf("peak_rss_mb: %ld\n", PeakRssMb());
        return ok;
    });
}
