#include "BenchWarehouse.h"

#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/SqlScript.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QString>
#include <QTemporaryDir>
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
    return GenerateCharts(c, program, kCharts);
}

bool GenerateCharts(DbConnection& c, const char* program, int charts) {
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
    for (int chart = 1; chart <= charts; ++chart) {
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

bool GenerateHierarchies(DbConnection& c, const char* program) {
    if (!SqlScript::RunFile(c, QLX_SCHEMA_FILE))
        return fail(program, "cannot create the tables");
    if (!c.BeginTrans())
        return fail(program, "cannot begin");
    const auto run = [&](const QString& sql, const char* what) {
        return c.Execute(sql) || fail(program, what);
    };
    // Parent codes P<level><nnn> of levels L1-L4; their children C<level><nnn><k> one level below.
    for (int level = 1; level <= kParentLevels; ++level) {
        for (int code = 1; code <= kCodesPerLevel; ++code) {
            const QString parent = QString("P%1%2").arg(level).arg(code, 3, 10, QLatin1Char('0'));
            if (!run(QString("INSERT INTO CS_SOURCE VALUES ('AC', 'L%1', '%2', 'Parent %2')")
                         .arg(level)
                         .arg(parent),
                     "cannot write CS_SOURCE"))
                return false;
            for (int child = 0; child < kChildrenPerCode; ++child) {
                const QString code = QString("C%1%2").arg(parent.mid(1)).arg(child);
                if (!run(QString("INSERT INTO CS_SOURCE VALUES ('AC', 'L%1', '%2', 'Child %2')")
                             .arg(level + 1)
                             .arg(code),
                         "cannot write CS_SOURCE"))
                    return false;
                for (int chart = 1; chart <= kCharts; ++chart)
                    if (!run(QString("INSERT INTO CS_LEVELHIER VALUES ('AC', '%1', 'L%2', '%3', 'L%4', '%5')")
                                 .arg(1000 * chart)
                                 .arg(level)
                                 .arg(parent)
                                 .arg(level + 1)
                                 .arg(code),
                             "cannot write CS_LEVELHIER"))
                        return false;
            }
            for (int chart = 1; chart <= kCharts; ++chart)
                for (int m = 1; m <= kMultipliers; ++m)
                    if (!run(QString("INSERT INTO CS_MULTIPLIERHIER VALUES ('AC', '%1', 'M%2', 'L%3', '%4')")
                                 .arg(1000 * chart)
                                 .arg(m, 2, 10, QLatin1Char('0'))
                                 .arg(level)
                                 .arg(parent),
                             "cannot write CS_MULTIPLIERHIER"))
                        return false;
        }
    }
    for (int m = 1; m <= kMultipliers; ++m)
        if (!run(QString("INSERT INTO CS_MULTIPLIER VALUES ('M%1', 'Multiplier %1')")
                     .arg(m, 2, 10, QLatin1Char('0')),
                 "cannot write CS_MULTIPLIER"))
            return false;
    if (!c.CommitTrans())
        return fail(program, "cannot commit");
    return true;
}

namespace {

bool OpenEditorWarehouse(const QString& folder, bool (*generate)(DbConnection&, const char*),
                         const char* program) {
    const QString file = QDir(folder).filePath("bench-warehouse.db");
    {
        QFile create(file);
        create.open(QIODevice::WriteOnly);
    }
    const QString connectionText = "PROVIDER=SQLITE;Data Source=" + file;
    {
        DbConnection connection;
        if (!connection.Open(connectionText))
            return fail(program, "cannot open the warehouse file");
        std::printf("generating the warehouse...\n");
        if (!generate(connection, program))
            return false;
    }
    gMainForm = new frmMain();
    gMainForm->resize(1024, 768);
    gMainForm->show();
    if (!OpenDBConecction(connectionText))
        return fail(program, "cannot open the shared connection");
    gMainForm->ShowWarehouseOpen();
    QCoreApplication::processEvents();
    return true;
}

} // namespace

bool MeasureEditorOpen(const char* program, const char* name, const char* item, const QString& treeQuery,
                       const std::function<int()>& nodes) {
    std::vector<double> fetchMs;
    std::vector<double> openMs;
    int rows = 0;
    int shown = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        Recordset rs = GetRecordset(treeQuery);
        if (rs.IsNothing())
            return fail(program, "cannot run the tree query");
        rows = rs.RecordCount();
        fetchMs.push_back(timer.nsecsElapsed() / 1e6);
        rs.Close();

        timer.restart();
        gMainForm->Command(QString::fromLatin1(item))->trigger();
        openMs.push_back(timer.nsecsElapsed() / 1e6);
        shown = nodes();
        if (shown < 0)
            return fail(program, "the editor did not open");
        std::printf("%s run %d: query and fetch %.1f ms, editor open %.1f ms\n", name, run + 1,
                    fetchMs.back(), openMs.back());
        CloseEditors();
    }
    const double fetch = Median(fetchMs);
    const double open = Median(openMs);
    std::printf("%s: rows: %d, nodes: %d\n", name, rows, shown);
    std::printf("%s: query and fetch (median of %d) ms: %.1f\n", name, kRuns, fetch);
    std::printf("%s: editor open (median of %d) ms: %.1f\n", name, kRuns, open);
    std::printf("ratio: %.3f\n", open / fetch);
    return true;
}

int RunOnEditorWarehouse(int& argc, char** argv, bool (*generate)(DbConnection&, const char*),
                         const char* program, const std::function<bool()>& body) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    App::SetPath(dir.path());
    if (!OpenEditorWarehouse(dir.path(), generate, program))
        return 1;
    const bool ok = body();
    CloseEditors();
    delete gMainForm.data();
    return ok ? 0 : 1;
}

namespace {

QString PostgresText(const QString& database) {
    return "PROVIDER=MSDASQL;Data Source=" + qEnvironmentVariable("QLX_TEST_PG_DSN") +
           ";Initial Catalog=" + database + ";User ID=" + qEnvironmentVariable("QLX_TEST_PG_USER") +
           ";Password=" + qEnvironmentVariable("QLX_TEST_PG_PASSWORD");
}

bool OnServer(const QString& sql) {
    DbConnection admin;
    return admin.Open(PostgresText("postgres")) && admin.Execute(sql);
}

} // namespace

bool RunOnPostgres(const char* program, bool (*generate)(DbConnection&, const char*),
                   const std::function<bool()>& body) {
    if (qEnvironmentVariableIsEmpty("QLX_TEST_PG_DSN")) {
        std::printf(
            "postgres: skipped, no PostgreSQL test server is configured (QLX_TEST_PG_DSN is not set)\n");
        return true;
    }
    const QString name = QString("qlx_bench_%1").arg(QCoreApplication::applicationPid());
    OnServer("DROP DATABASE IF EXISTS " + name);
    if (!OnServer("CREATE DATABASE " + name)) {
        std::printf("postgres: skipped, the PostgreSQL test server is not up: %s\n",
                    qPrintable(Err().Description()));
        return true;
    }
    bool ok = false;
    {
        DbConnection c;
        std::printf("generating the warehouse on postgres...\n");
        ok = c.Open(PostgresText(name)) && generate(c, program);
        if (!ok)
            fail(program, "cannot generate the warehouse on postgres");
    }
    if (ok) {
        if (gDBConnection.State() == DbConnection::adStateOpen)
            gDBConnection->CloseDB();
        ok = OpenDBConecction(PostgresText(name)) && body();
        if (gDBConnection.State() == DbConnection::adStateOpen)
            gDBConnection->CloseDB();
    }
    OnServer("DROP DATABASE IF EXISTS " + name);
    return ok;
}

void CloseEditors() {
    for (QMdiSubWindow* sub : gMainForm->MdiArea->subWindowList())
        sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int CountRanges(const char* chart) {
    int count = 0;
    for (const char* table : {"CS_COA_ACCT_RANGE CO", "CS_MULTIPLIER_RANGE MUL", "CS_CAT_TYPE CAT"}) {
        const QString name = QString(table).section(' ', 0, 0), lead = QString(table).section(' ', 1);
        Recordset rs = GetRecordset("Select count(*) from " + name + " where " + lead + "_COA = '" + chart +
                                    "' and " + lead + "_FR_ACCT <> ' '");
        if (rs.IsNothing() || rs.IsEOF())
            return -1;
        count += rs.Fields(0).Value().toInt();
    }
    return count;
}

bool MakeFixedWidth(DbConnection& c) {
    const char* const alters[] = {
        "ALTER TABLE CS_LEVELHIER ALTER COLUMN CS_AREA TYPE CHAR(10), ALTER COLUMN CS_COA TYPE CHAR(10), "
        "ALTER "
        "COLUMN CS_PARENTLEVEL TYPE CHAR(10), ALTER COLUMN CS_PARENTCODE TYPE CHAR(20), ALTER COLUMN "
        "CS_CHILDLEVEL TYPE CHAR(10), ALTER COLUMN CS_CHILDCODE TYPE CHAR(20)",
        "ALTER TABLE CS_MULTIPLIERHIER ALTER COLUMN CS_AREA TYPE CHAR(10), ALTER COLUMN CS_COA TYPE "
        "CHAR(10), "
        "ALTER COLUMN CS_MULTIPLIER TYPE CHAR(10), ALTER COLUMN CS_LEVEL TYPE CHAR(10), ALTER COLUMN CS_CODE "
        "TYPE "
        "CHAR(20)",
        "ALTER TABLE CS_CATEGORYHIER ALTER COLUMN CS_AREA TYPE CHAR(10), ALTER COLUMN CS_COA TYPE CHAR(10), "
        "ALTER COLUMN CS_CATEGORY TYPE CHAR(10), ALTER COLUMN CS_LEVEL TYPE CHAR(10), ALTER COLUMN CS_CODE "
        "TYPE "
        "CHAR(20)",
        "ALTER TABLE CS_COA_ACCT_RANGE ALTER COLUMN CO_COA TYPE CHAR(10), ALTER COLUMN CO_LEVEL TYPE "
        "CHAR(10), "
        "ALTER COLUMN CO_CODE TYPE CHAR(20), ALTER COLUMN CO_FR_ACCT TYPE CHAR(20), ALTER COLUMN CO_TO_ACCT "
        "TYPE "
        "CHAR(20)",
        "ALTER TABLE CS_MULTIPLIER_RANGE ALTER COLUMN MUL_COA TYPE CHAR(10), ALTER COLUMN MUL_CODE TYPE "
        "CHAR(10), "
        "ALTER COLUMN MUL_FR_ACCT TYPE CHAR(20), ALTER COLUMN MUL_TO_ACCT TYPE CHAR(20)",
        "ALTER TABLE CS_CAT_TYPE ALTER COLUMN CAT_COA TYPE CHAR(10), ALTER COLUMN CAT_TYP_CD TYPE CHAR(10), "
        "ALTER "
        "COLUMN CAT_FR_ACCT TYPE CHAR(20), ALTER COLUMN CAT_TO_ACCT TYPE CHAR(20)"};
    for (const char* alter : alters)
        if (!c.Execute(alter))
            return false;
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

namespace {

// A size /proc/self/status gives in kB (VmHWM:, VmRSS:), in MB; -1 where the system does not tell it.
long StatusMb(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

} // namespace

long PeakRssMb() {
    return StatusMb("VmHWM:");
}

long RssMb() {
    return StatusMb("VmRSS:");
}

} // namespace BenchWarehouse
