#include "BenchWarehouse.h"

#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/SqlScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QString>
#include <algorithm>
#include <cstdio>

namespace BenchWarehouse {

namespace {

bool fail(const char* program, const char* what) {
    std::fprintf(stderr, "%s: %s: %s\n", program, what, qPrintable(Err().Description()));
    return false;
}

} // namespace

bool Generate(DbConnection& c, const char* program) {
    if (!SqlScript::RunFile(c, QLX_SCHEMA_FILE))
        return fail(program, "cannot create the tables");
    if (!c.BeginTrans())
        return fail(program, "cannot begin");
    for (int level = 1; level <= kLevels; ++level) {
        for (int code = 1; code <= kCodesPerLevel; ++code) {
            const QString sql = QString("INSERT INTO CS_SOURCE (SOAREA, SOLEVEL, SOCODE, SODESC) VALUES "
                                        "('AC', 'L%1', '%1%2', 'Code %2 of level %1')")
                                    .arg(level)
                                    .arg(code, 3, 10, QLatin1Char('0'));
            if (!c.Execute(sql))
                return fail(program, "cannot write CS_SOURCE");
        }
    }
    for (int chart = 1; chart <= kCharts; ++chart) {
        for (int level = 1; level <= kLevels; ++level) {
            for (int code = 1; code <= kCodesPerLevel; ++code) {
                for (int range = 0; range < kRangesPerCode; ++range) {
                    const int from = 100000 + range * 1000;
                    const QString sql =
                        QString("INSERT INTO CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, "
                                "CO_TO_ACCT) VALUES ('%1', 'L%2', '%2%3', '%4', '%5')")
                            .arg(1000 * chart)
                            .arg(level)
                            .arg(code, 3, 10, QLatin1Char('0'))
                            .arg(from)
                            .arg(from + 999);
                    if (!c.Execute(sql))
                        return fail(program, "cannot write CS_COA_ACCT_RANGE");
                }
            }
        }
    }
    if (!c.CommitTrans())
        return fail(program, "cannot commit");
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString CreateFile(const QString& folder, const char* program,
                   const std::function<bool(DbConnection&)>& extra) {
    const QString file = QDir(folder).filePath("bench-warehouse.db");
    {
        QFile create(file);
        create.open(QIODevice::WriteOnly);
    }
    const QString connectionText = "PROVIDER=SQLITE;Data Source=" + file;
    DbConnection connection;
    if (!connection.Open(connectionText)) {
        fail(program, "cannot open the warehouse file");
        return {};
    }
    std::printf("generating %d range rows...\n", kRanges);
    if (!Generate(connection, program))
        return {};
    if (extra && !extra(connection)) {
        fail(program, "cannot write the extra rows");
        return {};
    }
    return connectionText;
}

bool OpenInMainWindow(const QString& connectionText, const char* program) {
    gMainForm = new frmMain();
    gMainForm->resize(1024, 768);
    gMainForm->show();
    if (!OpenDBConecction(connectionText))
        return fail(program, "cannot open the shared connection");
    gMainForm->ShowWarehouseOpen();
    QCoreApplication::processEvents();
    return true;
}

void CloseEditors() {
    for (QMdiSubWindow* sub : gMainForm->MdiArea->subWindowList())
        sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

long PeakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

} // namespace BenchWarehouse
