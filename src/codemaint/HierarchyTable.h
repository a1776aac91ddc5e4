#pragma once

#include "frame/ColumnWidths.h"
#include "rangemaint/RangeEngine.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The statements on one hierarchy table (CS_LEVELHIER, CS_MULTIPLIERHIER, CS_CATEGORYHIER): its columns
// from the area down to the deepest code. An entry without children is one placeholder row whose later
// columns hold a single blank; the first child fills it, later children are new rows. Values are passed
// top first and go through the quoting helper.
//
// An entry is named by all its values, an empty one too: other programs write empty levels, and an entry
// below one must never be taken for the entry of another level. Only the columns listed as ignored (a
// child's level, which does not tell children apart) and those after the values are not compared.
class HierarchyTable {
public:
    HierarchyTable(QString table, QStringList columns);

    const QString& Table() const { return m_table; }
    const QStringList& Columns() const { return m_columns; }

    // Whether a row carries these values. Failed when the look-up could not run.
    Existence Exists(const QStringList& values, const QList<qsizetype>& ignored = {}) const;
    // Whether each value fits its column: false, with the refusal raised as the current error, when one is
    // longer than its column holds or the widths could not be read.
    bool Fits(const QStringList& values) const { return m_widths.Fits(values); }
    // The statement that adds the entry of these values below its parent, the entry of the first
    // `parentDepth` values: the UPDATE of the parent's placeholder row when it has one, else an INSERT
    // with blanks after the values. An entry right below the area is always inserted. Nothing when the
    // probe could not run or a value does not fit its column.
    std::optional<QString> AddEntry(const QStringList& values, int parentDepth) const;
    // Writes: removes every row under these values and, when that leaves the parent entry (the first
    // `parentDepth` values, an entry below the area) without a row, writes its placeholder back. A parent
    // whose own value is empty stands for no entry: the entry above it is the one kept. False when a
    // statement failed (the error is raised).
    bool DeleteEntry(const QStringList& values, int parentDepth, const QList<qsizetype>& ignored = {}) const;

    // The values of `column` in the rows carrying these values (the ignored columns not compared), as
    // DeleteEntry would take them. False when the look-up could not run.
    bool ColumnValues(const QStringList& values, const QList<qsizetype>& ignored, qsizetype column,
                      QStringList& found) const;

private:
    // " C0 = 'v0' and C1 = 'v1' ..." over the values but the ignored columns (an empty one matching NULL
    // too).
    QString Condition(const QStringList& values, const QList<qsizetype>& ignored = {}) const;
    // The values followed by blanks in every later column.
    QStringList Padded(const QStringList& values) const;
    QString Insert(const QStringList& values) const;

    QString m_table;
    QStringList m_columns;
    ColumnWidths m_widths;
};
