#pragma once

#include <QString>

// Whether a value a table holds names an entry. Names that differ only in trailing blanks are one entry
// (the trees show them as one node), whichever table holds which spelling: a hierarchy row another program
// wrote padded, a range row keyed with a trailing blank, a fixed-width column's padding. A column names the
// entry when it holds the name followed by nothing but blanks: a range of the column's index from the name
// to the name padded with blanks, which holds nothing else that the trimmed comparison then has to drop.
class EntryNames {
public:
    // The condition that `column` names the entry `value` (a level, code, multiplier or category as any table
    // holds it), as the database compares text. An empty value matches NULL as well; a blank one itself.
    static QString Names(const QString& column, const QString& value);
    // The condition that `column` holds the text of `trimmed` (an expression without trailing blanks)
    // followed by one or more blanks: a spelling a plain equality with `trimmed` misses. Empty where the
    // server ignores trailing blanks in every comparison (SQL Server), where the equality finds them all.
    static QString PaddedSpelling(const QString& column, const QString& trimmed);
    // Whether two values name one entry.
    static bool Same(const QString& a, const QString& b);
};
