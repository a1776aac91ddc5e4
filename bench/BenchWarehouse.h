#pragma once

#include <QString>
#include <functional>
#include <vector>

class DbConnection;

// The large warehouse both benchmarks measure: five charts of account, ten levels, a hundred codes per
// level and twenty ranges per code in CS_COA_ACCT_RANGE, with a CS_SOURCE row for every code.
namespace BenchWarehouse {

constexpr int kCharts = 5;
constexpr int kLevels = 10;
constexpr int kCodesPerLevel = 100;
constexpr int kRangesPerCode = 20;
constexpr int kRanges = kCharts * kLevels * kCodesPerLevel * kRangesPerCode;
constexpr int kRuns = 5;

// Creates the tables and writes the rows on an open connection; says why on stderr when it cannot.
bool Generate(DbConnection& c, const char* program);
// The same with `charts` charts of account instead of kCharts, for a larger or smaller warehouse.
bool GenerateCharts(DbConnection& c, const char* program, int charts);

// The hierarchies the code editor benchmark measures, on tables created by Generate or by the schema
// alone: in CS_LEVELHIER (area AC) five charts, four parent levels, a hundred parent codes per level and
// ten children per parent code; in CS_MULTIPLIERHIER five charts, ten multipliers, four levels and a
// hundred codes per level; a CS_SOURCE row for every code and a CS_MULTIPLIER row for every multiplier.
constexpr int kParentLevels = 4;
constexpr int kChildrenPerCode = 10;
constexpr int kMultipliers = 10;
bool GenerateHierarchies(DbConnection& c, const char* program);
// The frame of the editor benchmarks: offscreen unless a platform is chosen, a program folder of its own, a
// warehouse file filled by `generate`, the main window shown with the shared connection open on the file as
// the open dialog would open it; then `body` runs, and the editors and the main window go. Answers the
// program's exit code: 1 when the warehouse could not be made (said on stderr) or `body` answered false.
int RunOnEditorWarehouse(int& argc, char** argv, bool (*generate)(DbConnection&, const char*),
                         const char* program, const std::function<bool()>& body);
// Times the raw query and fetch of an editor's tree statement against opening the editor through the main
// window's menu item `item` (kRuns each, the editor closed after each open) and prints the medians and
// their ratio, each line led by `name`. `nodes` answers the open editor's node count, or -1 when no editor
// of the kind opened. False after saying why on stderr.
bool MeasureEditorOpen(const char* program, const char* name, const char* item, const QString& treeQuery,
                       const std::function<int()>& nodes);
// Runs `body` with the shared connection open on a database of its own on the PostgreSQL test server
// (QLX_TEST_PG_DSN, QLX_TEST_PG_USER, QLX_TEST_PG_PASSWORD, as the tests use it), filled by `generate`, and
// drops the database afterwards; the connection open before is closed. Without a configured or reachable
// server it says so and answers true; false when the database could not be filled or `body` answered false.
bool RunOnPostgres(const char* program, bool (*generate)(DbConnection&, const char*),
                   const std::function<bool()>& body);
// Closes every editor window at once, so the next open finds no twin.
void CloseEditors();

// The range rows of a chart of account on the shared connection, its multipliers' and categories' too,
// placeholders left out; -1 when they could not be counted.
int CountRanges(const char* chart);

// Makes the key and bound columns of the hierarchies and range tables fixed-width (CHAR(n)), as some servers
// keep them (PostgreSQL's ALTER TABLE); false when a statement failed.
bool MakeFixedWidth(DbConnection& c);

double Median(std::vector<double> values);
// The process's peak resident set size in MB (VmHWM), or -1 where the system does not tell it.
long PeakRssMb();
// The process's resident set size now in MB (VmRSS), or -1 where the system does not tell it.
long RssMb();

} // namespace BenchWarehouse
