#pragma once

#include <QChar>
#include <QString>

class Warehouse;

// The rows of one chart of account (or business level) in every maintenance table, written and read in one
// notation, a "world": "H[L1,P,L2,X L1,P,-,-] R[L2,X,1'0,1%9]" gives per table tag its rows below the chart,
// fields split by ",", "-" a blank, "_" empty, "~" NULL (as Oracle stores an empty text), "+" a blank within
// a value ("++X+" is "  X ", as another program may pad it); a row led by "^" stands under another chart
// (kOtherChart). The tags: H CS_LEVELHIER, MH CS_MULTIPLIERHIER, CH CS_CATEGORYHIER (after their area and
// chart), R CS_COA_ACCT_RANGE, MR CS_MULTIPLIER_RANGE, CR CS_CAT_TYPE, BR CS_BA_BU_LEVELS (after their
// chart).
//
// A world may be led by the variant of server it wants: "#" the hierarchies and the holders' range tables
// fixed-width, "&" every table, "=" the hierarchies alone (every value then comes back padded to its column's
// width), "!" the level hierarchy alone with its codes narrower than the range table's, "*" the range tables'
// bounds compared ignoring case and accents, as a server's collation may compare them. SQLite has none of
// these and keeps its tables as they are.
namespace Worlds {

// Every value holds an apostrophe or "%" somewhere, so all of them are stored as typed.
extern const QString kChart;
extern const QString kOtherChart;

// The area of a maintenance type's hierarchy rows: "AC", or "BU" and "BA" for types 4 and 5.
QString AreaOf(int type);
// The world's variant, or a null character.
QChar VariantOf(const QString& world);

// Turns the warehouse into the world's variant and writes its rows under `chart`.
void Put(Warehouse& w, int type, QString world, const QString& chart = kChart);
// The chart's rows of every table, in the form Put takes (tables without rows left out); the tables the
// world's `variant` makes fixed-width hold their values without the blanks such a column pads them with.
QString State(Warehouse& w, QChar variant = {}, const QString& chart = kChart);
// A world as State gives it: each table's rows in order, and the values of the tables the variant makes
// fixed-width as such a column gives them back.
QString Canonical(const QString& world, QChar variant);

} // namespace Worlds
