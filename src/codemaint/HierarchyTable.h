#pragma once

#include "rangemaint/RangeEngine.h"

#include <QString>
#include <QStringList>
#include <optional>

// The statements on one hierarchy table (CS_LEVELHIER, CS_MULTIPLIERHIER, CS_CATEGORYHIER): its columns
// from the area down to the deepest code. An entry without children is one placeholder row whose later
// columns hold a single blank; the first child fills it, later children are new rows. Values are passed
// top first and go through the quoting helper.
class HierarchyTable {
public:
    HierarchyTable(QString table, QStringList columns);

    const QString& Table() const { return m_table; }
    const QStringList& Columns() const { return m_columns; }

    // Whether a row carries these values; an empty value after the first is not tested. Failed when the
    // look-up could not run.
    Existence Exists(const QStringList& values) const;
    // The statement that adds the entry of these values below its parent, the entry of the first
    // `parentDepth` values: the UPDATE of the parent's placeholder row when it has one, else an INSERT
    // with blanks after the values. An entry right below the area is always inserted. Nothing when the
    // probe could not run.
    std::optional<QString> AddEntry(const QStringList& values, int parentDepth) const;
    // Writes: removes every row under these values and, when that leaves the parent entry (the first
    // `parentDepth` values, an entry below the area) without a row, writes its placeholder back. False
    // when a statement failed (the error is raised).
    bool DeleteEntry(const QStringList& values, int parentDepth) const;

private:
    // " C0 = 'v0' and C1 = 'v1' ..." over the non-empty values (the first always).
    QString Condition(const QStringList& values) const;
    // The values followed by blanks in every later column.
    QStringList Padded(const QStringList& values) const;
    QString Insert(const QStringList& values) const;

    QString m_table;
    QStringList m_columns;
};
