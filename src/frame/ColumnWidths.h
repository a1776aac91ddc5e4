#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The widths a warehouse table declares for some of its columns, and the refusal of a value longer than
// its column holds. A database that does not hold its columns to their widths (SQLite) would store such a
// value whole, where a server refuses it with its own words or, configured so, cuts it short.
class ColumnWidths {
public:
    ColumnWidths(QString table, QStringList columns);

    // The declared widths of the columns, in their order; -1 where the warehouse declares none. Nothing
    // when the look-up could not run (its error is left for the caller). Read once per transaction.
    std::optional<QList<int>> Sizes() const;
    // Whether each column is fixed-width (CHAR(n)), read with the widths.
    std::optional<QList<bool>> FixedWidths() const;
    // Whether each value fits the column at its position (values beyond the columns are not tested):
    // false, with the refusal raised as the current error, when one is longer than its column holds or the
    // widths could not be read.
    bool Fits(const QStringList& values) const;
    // A value's length as Fits counts it: in characters, a pair of units beyond the basic plane (an emoji)
    // one, as a column of a width in characters holds them; a server that counts units or bytes still
    // refuses a longer value itself.
    static qsizetype Characters(const QString& value);

private:
    QString m_table;
    QStringList m_columns;
    // The declared widths while the transaction that read them runs; shared with copies, so the end of the
    // transaction forgets them whichever holder outlives it.
    std::shared_ptr<std::optional<QList<int>>> m_sizes = std::make_shared<std::optional<QList<int>>>();
    std::shared_ptr<QList<bool>> m_fixed = std::make_shared<QList<bool>>();
};
