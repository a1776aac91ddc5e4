#pragma once

#include "frame/ColumnWidths.h"
#include "rangemaint/RangeEngine.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The two bounds of a row of a range table; a placeholder's are blanks.
struct RangeBounds {
    QString from;
    QString to;
};

// The statements on one range table: its key columns from the top entry (chart of account or business
// level) down to the code, then the two bounds of a range. An entry without children is one placeholder
// row whose lower columns hold a single blank; the first child fills it, later children are new rows.
//
// Values are passed top first and go through the quoting helper; the statements only read the table or
// are answered unexecuted, except where a function says it writes.
class RangeTable {
public:
    RangeTable(QString table, QStringList keyColumns, QString fromColumn, QString toColumn);

    const QString& Table() const { return m_table; }
    // The key columns above the bounds: 3 with a level, 2 without.
    qsizetype KeyCount() const { return m_keys.size(); }
    const QStringList& KeyColumns() const { return m_keys; }
    const QString& FromColumn() const { return m_from; }
    const QString& ToColumn() const { return m_to; }

    // The key of the entry named as another table may hold it, as this table holds it: each key value
    // matches as given or without its trailing blanks (or, where neither is held, with any), as the two
    // tables may pad it differently; the key as given when held so, else the first held, else as given but
    // for the blanks that pad a value to its column's full width (a fixed-width column's). Only a value with
    // trailing blanks needs a look-up, which reads no range. False when it could not run (the error is left
    // for the caller).
    bool StoredKey(const QStringList& keys, QStringList& stored) const;
    // The condition that a row belongs to the entry of these key values (as stored): the key columns of
    // `alias` (empty: the table's own) hold them.
    QString EntryCondition(const QStringList& keys, const QString& alias = QString()) const;
    // Whether the entry of these key values (as stored) has any row left. Failed when the look-up could
    // not run.
    Existence HasRows(const QStringList& keys) const;
    // Whether any row of `table` meets `condition`, asked for one row in a form every SQL server takes.
    // Failed when the look-up could not run.
    static Existence AnyRow(const QString& table, const QString& condition);
    // Gives the entry of these key values (as stored) its placeholder row when it has no row left. False
    // when a statement failed (the error left current).
    bool PlaceholderIfEmpty(const QStringList& keys) const;

    // Whether a row carries these leading key values (an empty value below the first is not tested) and,
    // when both bounds are given, exactly this range. Failed when the look-up could not run.
    Existence RecordExists(const QStringList& keys, const QString& from = QString(),
                           const QString& to = QString()) const;
    // The statement that gives the code (all key values) the range: the UPDATE of its placeholder row when
    // it has one, else an INSERT. Nothing when the probe could not run.
    std::optional<QString> AddRangeOfAccount(const QStringList& keys, const QString& from,
                                             const QString& to) const;
    // The statement that adds an entry without children (a chart of account, level or code: all its key
    // values top first): the UPDATE of its parent's placeholder row when the parent has one, else an
    // INSERT with blanks below. Nothing when the probe could not run.
    std::optional<QString> AddEntry(const QStringList& keys) const;
    // The statement that removes exactly this range row.
    QString DeleteRangeOfAccount(const QStringList& keys, const QString& from, const QString& to) const;

    // The widths the warehouse declares for the key columns and then the two bounds, in that order; -1
    // where it declares none. Nothing when the look-up could not run (its error is left for the caller).
    // Read once per transaction.
    std::optional<QList<int>> DeclaredSizes() const;
    // Whether each of those columns is fixed-width (CHAR(n)), read with the widths.
    std::optional<QList<bool>> FixedWidths() const;
    // Whether each value fits its column: false, with the refusal raised as the current error, when one is
    // longer than its column holds or the widths could not be read. The statements that add rows refuse
    // such values themselves.
    bool Fits(const QStringList& keys, const QString& from = QString(), const QString& to = QString()) const;
    // A value's length as Fits counts it: in characters, a pair of units beyond the basic plane (an emoji)
    // one, as a column of a width in characters holds them; a server that counts units or bytes still
    // refuses a longer value itself.
    static qsizetype Characters(const QString& value);
    // The condition that a column holds nothing but blanks, or nothing at all (Oracle's RTRIM of blanks is
    // NULL). Oracle takes its negation for unknown where the column holds text: a CASE tells it apart.
    static QString BlankCondition(const QString& column);

    // Writes: removes every row under the leading key values (the range as well when bounds are given)
    // and, when that leaves the parent entry without any row, writes the parent's placeholder back.
    // False when a statement failed or the delete met no row (the error is raised).
    bool DeleteEntry(const QStringList& keys, const QString& from = QString(),
                     const QString& to = QString()) const;

private:
    // " C0 = 'v0' and C1 = 'v1' ..." over the given leading values (an empty one matching NULL too), the
    // columns qualified by `alias` when one is given.
    QString KeyCondition(const QStringList& keys, const QString& alias = QString()) const;
    // The placeholder row of the entry with these key values: blanks below them and in both bounds.
    QString PlaceholderCondition(const QStringList& keys) const;
    // An INSERT of the key values, blanks below them, and the bounds.
    QString InsertRow(const QStringList& keys, const QString& from, const QString& to) const;
    Existence RowsWhere(const QString& condition) const;

    QString m_table;
    QStringList m_keys;
    QString m_from;
    QString m_to;
    ColumnWidths m_widths;
};
