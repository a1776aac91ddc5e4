// Builds the account level tree of 100,000 ranges (five charts of account, ten levels, a hundred codes
// per level, twenty ranges per code) from a SQLite warehouse file, and compares the time of the tree
// build with the time of the query and fetch of the same rows. Prints the median of five runs of each.

#include "BenchWarehouse.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/clsGenericMaint.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using namespace BenchWarehouse;

const QString kRoot = QStringLiteral("Account Level");

const QString kTreeQuery =
    QStringLiteral("Select distinct CO_COA, CO_LEVEL, CO_CODE, SODESC, CO_FR_ACCT, CO_TO_ACCT"
                   " From CS_COA_ACCT_RANGE "
                   " left outer join CS_SOURCE on CS_COA_ACCT_RANGE.CO_LEVEL = CS_SOURCE.SOLEVEL"
                   " and CS_COA_ACCT_RANGE.CO_CODE = CS_SOURCE.SOCODE"
                   " and CS_SOURCE.SOAREA = 'AC'"
                   " Order by CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT");

bool fail(const char* what) {
    std::fprintf(stderr, "bench_tree: %s: %s\n", what, qPrintable(Err().Description()));
    return false;
}

// Trailing blanks do not make a value differ.
bool differs(const QString& a, const QString& b) {
    qsizetype na = a.size();
    while (na > 0 && a.at(na - 1) == QLatin1Char(' '))
        --na;
    qsizetype nb = b.size();
    while (nb > 0 && b.at(nb - 1) == QLatin1Char(' '))
        --nb;
    return QStringView(a).left(na) != QStringView(b).left(nb);
}

// The control-break walk of the account level editor's tree load.
void buildTree(Recordset& rs, MaintTree& tree, clsGenericMaint& gm) {
    ProgressPacer load(rs.RecordCount());
    MaintTree::BuildScope build(tree, rs.RecordCount());
    gm.AddNode_Root(tree, kRoot);
    const Field coa = rs.Fields("CO_COA");
    const Field level = rs.Fields("CO_LEVEL");
    const Field code = rs.Fields("CO_CODE");
    const Field desc = rs.Fields("SODESC");
    const Field from = rs.Fields("CO_FR_ACCT");
    const Field to = rs.Fields("CO_TO_ACCT");
    QString curAccount, curLevel, curCode, curFrom, curTo;
    while (!rs.IsEOF()) {
        const QString a = coa.Text();
        if (!differs(a, QString())) {
            rs.MoveNext();
            continue;
        }
        if (differs(a, curAccount)) {
            curAccount = a;
            curLevel.clear();
            curCode.clear();
            curFrom.clear();
            curTo.clear();
            gm.AddNode_ChartOfAccount(tree, kRoot, curAccount, QString(), false);
            continue;
        }
        const QString l = level.Text();
        if (differs(l, curLevel)) {
            curLevel = l;
            curCode.clear();
            curFrom.clear();
            curTo.clear();
            gm.AddNode_Level(tree, kRoot, curAccount, curLevel, false);
            continue;
        }
        const QString c = code.Text();
        if (differs(c, curCode)) {
            curCode = c;
            curFrom.clear();
            curTo.clear();
            gm.AddNode_CodCat(tree, kRoot, curAccount, curLevel, curCode, desc.Text(), false, 3);
            continue;
        }
        const QString f = from.Text();
        const QString t = to.Text();
        if (differs(f, curFrom) || differs(t, curTo)) {
            curFrom = f;
            curTo = t;
            gm.AddNode_RangeAccount(tree, kRoot, curAccount, curLevel, curCode, curFrom, curTo, false);
        }
        rs.MoveNext();
        gm.AddtoProgressBar();
    }
}

// Processor time of this thread: on a busy machine it shows what the wall clock may hide.
double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    App::SetPath(dir.path());
    const QString file = QDir(dir.path()).filePath("bench-warehouse.db");
    {
        QFile create(file);
        create.open(QIODevice::WriteOnly);
    }
    DbConnection connection;
    if (!connection.Open("PROVIDER=SQLITE;Data Source=" + file)) {
        fail("cannot open the warehouse file");
        return 1;
    }
    std::printf("generating %d range rows...\n", kCharts * kLevels * kCodesPerLevel * kRangesPerCode);
    if (!Generate(connection, "bench_tree"))
        return 1;

    // The tree stands in an editor-like place: a shown main window with its progress bar.
    gMainForm = new frmMain();
    gMainForm->resize(1024, 768);
    gMainForm->show();
    auto* tree = new MaintTree;
    QMdiSubWindow* window = gMainForm->MdiArea->addSubWindow(tree);
    window->showMaximized();
    clsGenericMaint gm;
    QCoreApplication::processEvents();

    std::vector<double> fetchMs;
    std::vector<double> buildMs;
    std::vector<double> fetchCpuMs;
    std::vector<double> buildCpuMs;
    int rows = 0;
    int nodes = 0;
    for (int run = 0; run < kRuns; ++run) {
        // As the editors reload: the tree is emptied first, then the rows are read and the tree built.
        gm.InitializeTree(*tree);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs();
        Recordset rs;
        if (!rs.Open(kTreeQuery, connection)) {
            fail("cannot run the tree query");
            return 1;
        }
        rows = rs.RecordCount();
        fetchMs.push_back(timer.nsecsElapsed() / 1e6);
        const double cpuFetched = cpuMs();
        fetchCpuMs.push_back(cpuFetched - cpuStart);

        timer.restart();
        buildTree(rs, *tree, gm);
        buildMs.push_back(timer.nsecsElapsed() / 1e6);
        buildCpuMs.push_back(cpuMs() - cpuFetched);
        nodes = tree->Count();
        std::printf("run %d: query and fetch %.1f ms, tree build %.1f ms (processor %.1f ms, %.1f ms)\n",
                    run + 1, fetchMs.back(), buildMs.back(), fetchCpuMs.back(), buildCpuMs.back());
    }
    const double fetch = Median(fetchMs);
    const double build = Median(buildMs);
    std::printf("rows: %d, nodes: %d\n", rows, nodes);
    std::printf("query and fetch (median of %d): %.1f ms\n", kRuns, fetch);
    std::printf("tree build (median of %d): %.1f ms\n", kRuns, build);
    std::printf("processor time, query and fetch %.1f ms, tree build %.1f ms, ratio %.3f\n",
                Median(fetchCpuMs), Median(buildCpuMs), Median(buildCpuMs) / Median(fetchCpuMs));
    std::printf("ratio: %.3f\n", build / fetch);
    // The editor's window goes before the main window, as when the program closes.
    delete window;
    delete gMainForm.data();
    return 0;
}
