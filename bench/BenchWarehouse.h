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
double Median(std::vector<double> values);
// Writes the warehouse (and, when given, the rows `extra` adds) into a new file in `folder`; answers its
// connection text, or "" after saying why on stderr.
QString CreateFile(const QString& folder, const char* program,
                   const std::function<bool(DbConnection&)>& extra = nullptr);
// Shows a main window with the shared connection open on the warehouse, as after the open dialog; false
// after saying why on stderr.
bool OpenInMainWindow(const QString& connectionText, const char* program);
// Closes every editor, letting each go at once, so the next open finds no twin.
void CloseEditors();
// The process's peak resident set size in MB (VmHWM), or -1 where the system does not tell it.
long PeakRssMb();

} // namespace BenchWarehouse
