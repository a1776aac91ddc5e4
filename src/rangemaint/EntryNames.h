#pragma once

#include <QString>
#include <QStringList>

// Whether a value a hierarchy holds names an entry. Names that differ only in trailing blanks are one entry
// (the trees show them as one node), whichever table holds which spelling: a hierarchy row another program
// wrote padded, a range row keyed with a trailing blank, a fixed-width column's padding. An entry is found
// by a plain equality on its spellings, which the tables' indexes answer; the spellings with trailing
// blanks that the chart's hierarchies hold are read once (Read), as are those of the codes its range table
// keys its rows by (ReadRangeKeys), and are few where there are any.
class EntryNames {
public:
    EntryNames(QString area, QString chart);

    // Reads the spellings with trailing blanks of the chart's level hierarchy and, with `holders`, of its
    // multiplier and category hierarchies: one statement. False when it could not run (the error left).
    bool Read(bool holders);
    // Reads the levels and codes with trailing blanks under which `table` keys the chart's rows, its chart,
    // level and code columns given; none where both are fixed-width, which ignore trailing blanks.
    bool ReadRangeKeys(const QString& table, const QStringList& keyColumns, bool fixedWidth);

    // The condition that `column` of a hierarchy names the entry `value` (a level, code, multiplier or
    // category as any table holds it): holds it as given, without trailing blanks, or in a spelling with
    // others. An empty value matches NULL as well.
    QString Names(const QString& column, const QString& value) const;
    // The spellings of `value` that `table`'s rows are keyed by with trailing blanks (ReadRangeKeys): each
    // a level and a code.
    const QList<QStringList>& RangeKeys() const { return m_rangeKeys; }

    // Whether two values name one entry.
    static bool Same(const QString& a, const QString& b);

private:
    QString m_area;
    QString m_chart;
    QStringList m_spellings;
    QList<QStringList> m_rangeKeys;
};
