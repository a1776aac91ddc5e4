#pragma once

#include "rangemaint/RangeTable.h"

#include <QStringList>
#include <vector>

// The ranges of a code in its range table, and their copy into its holder (a parent code, a multiplier
// or a category) when the code is attached there. The ranges are written through the holder's range table
// and written only: no tree shows them until a Range Maintenance editor loads again.
//
// A row with blank bounds is a placeholder, never a range: it only gives the holder its placeholder when
// the holder has no row at all. The copy takes a few statements whatever the number of ranges: the holder
// gets each range of the code it does not hold yet, once, as the database compares bounds (a fixed-width
// column's padding, a server's collation), so that what it takes for one range is never written twice. Only
// the ranges to be written are read, never the holder's own rows.
//
// The code and the holder are named as a hierarchy stores them; their range rows are found whether the
// range table pads a value as the hierarchy does or not, and are written under the key it holds.
class RangeCopy {
public:
    // The code's rows in `source` under the key values `keys` (top first).
    RangeCopy(const RangeTable& source, QStringList keys);

    // Gives the holder of the key values `holder` in `target` each range of the code it lacks; the first
    // range takes the place of the holder's placeholder row. False when a look-up or a statement failed or
    // a bound is longer than its column holds (nothing written; the error raised, the refusal told).
    bool Attach(const RangeTable& target, const QStringList& holder) const;

private:
    const RangeTable& m_source;
    QStringList m_keys;
};
