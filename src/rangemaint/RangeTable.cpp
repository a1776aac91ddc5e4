#include "rangemaint/RangeTable.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "services/clsGenericMaint.h"

#include <algorithm>

namespace {
const QString kBlank = QStringLiteral(" ");
} // namespace

RangeTable::RangeTable(QString table, QStringList keyColumns, QString fromColumn, QString toColumn)
    : m_table(std::move(table)), m_keys(std::move(keyColumns)), m_from(std::move(fromColumn)),
      m_to(std::move(toColumn)), m_widths(m_table, m_keys + QStringList{m_from, m_to}) {}

QString RangeTable::KeyCondition(const QStringList& keys, const QString& alias) const {
    const QString qualifier = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    QStringList parts;
    for (qsizetype c = 0; c < keys.size() && c < m_keys.size(); ++c)
        parts << QStringLiteral(" ") + SqlEquals(qualifier + m_keys[c], keys[c]);
    return parts.join(QStringLiteral(" and"));
}

QString RangeTable::EntryCondition(const QStringList& keys, const QString& alias) const {
    return KeyCondition(keys, alias);
}

QString RangeTable::PlaceholderCondition(const QStringList& keys) const {
    QStringList blanks = keys;
    for (qsizetype c = keys.size(); c < m_keys.size(); ++c)
        blanks << kBlank;
    return KeyCondition(blanks) + QStringLiteral(" and ") + m_from + QStringLiteral(" = ' '  and ") + m_to +
           QStringLiteral(" = ' '");
}

QString RangeTable::InsertRow(const QStringList& keys, const QString& from, const QString& to) const {
    QStringList values;
    for (qsizetype c = 0; c < m_keys.size(); ++c)
        values << SqlText(c < keys.size() ? keys[c] : kBlank);
    return QStringLiteral("Insert into ") + m_table + QStringLiteral("(") +
           m_keys.join(QStringLiteral(", ")) + QStringLiteral(", ") + m_from + QStringLiteral(", ") + m_to +
           QStringLiteral(") values (") + values.join(QStringLiteral(",")) + QStringLiteral(",") +
           SqlText(from) + QStringLiteral(",") + SqlText(to) + QStringLiteral(")");
}

Existence RangeTable::RowsWhere(const QString& condition) const {
    // Counted where they lie: a code may hold many thousand ranges, none of which need come across.
    Recordset rs = GetRecordset(QStringLiteral("Select count(*) from ") + m_table +
                                QStringLiteral(" where ") + condition);
    if (!gQueryOK || rs.IsNothing() || rs.IsEOF())
        return Existence::Failed;
    const bool found = rs.Fields(0).Value().toLongLong() >= 1;
    rs.Close();
    return found ? Existence::Present : Existence::Absent;
}

Existence RangeTable::HasRows(const QStringList& keys) const {
    return AnyRow(m_table, KeyCondition(keys));
}

Existence RangeTable::AnyRow(const QString& table, const QString& condition) {
    // One row answers: an entry may hold a hundred thousand, and a server without statistics of them yet may
    // read them all for anything but an EXISTS.
    Recordset rs = GetRecordset(QStringLiteral("Select 1 as HASROWS") + FromOneRowOf(table) +
                                QStringLiteral(" where exists (Select 1 from ") + table +
                                QStringLiteral(" where ") + condition + QStringLiteral(")"));
    if (!gQueryOK || rs.IsNothing())
        return Existence::Failed;
    const bool found = !rs.IsEOF();
    rs.Close();
    return found ? Existence::Present : Existence::Absent;
}

bool RangeTable::StoredKey(const QStringList& keys, QStringList& stored) const {
    stored = keys;
    // A value without trailing blanks is matched as it stands (LevelHierarchyWalk::Matches): the table
    // holds the entry under it or not at all.
    if (std::all_of(keys.begin(), keys.end(),
                    [](const QString& v) { return clsGenericMaint::ShownValue(v) == v; }))
        return true;
    const QStringList columns = m_keys.mid(0, keys.size());
    const auto find = [&](bool loosely, std::vector<QStringList>& found) {
        QStringList parts;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QString shown = clsGenericMaint::ShownValue(keys[c]);
            parts << (loosely && shown != keys[c] && !shown.isEmpty()
                          ? QStringLiteral("RTRIM(") + columns[c] + QStringLiteral(") = ") + SqlText(shown)
                          : LevelHierarchyWalk::Matches(columns[c], keys[c]));
        }
        Recordset rs = GetRecordset(QStringLiteral("Select distinct ") + columns.join(QStringLiteral(", ")) +
                                    QStringLiteral(" from ") + m_table + QStringLiteral(" where ") +
                                    parts.join(QStringLiteral(" and ")) + QStringLiteral(" Order by ") +
                                    columns.join(QStringLiteral(", ")));
        if (!gQueryOK || rs.IsNothing())
            return false;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            QStringList key;
            for (qsizetype c = 0; c < columns.size(); ++c)
                key << rs.Fields(static_cast<int>(c)).Text();
            found.push_back(key);
        }
        rs.Close();
        return true;
    };
    // A fixed-width hierarchy column keeps no trailing blanks of its own, so a value another program stored
    // with some in the range table is sought without them, when the quick look finds nothing.
    std::vector<QStringList> found;
    if (!find(false, found) || (found.empty() && !find(true, found)))
        return false;
    if (found.empty()) {
        // The table holds none of the entry's rows yet: its first row is keyed as the hierarchy names the
        // entry, without only the blanks a fixed-width column pads a value with to its full width. Trailing
        // blanks another program wrote into a shorter value are the value's own.
        const std::optional<QList<int>> sizes = DeclaredSizes();
        if (!sizes)
            return false;
        for (qsizetype c = 0; c < stored.size(); ++c) {
            const QString shown = clsGenericMaint::ShownValue(stored[c]);
            const int width = c < sizes->size() ? sizes->at(c) : -1;
            if (!shown.isEmpty() && width > 0 && Characters(stored[c]) >= width)
                stored[c] = shown;
        }
    } else if (std::find(found.begin(), found.end(), keys) == found.end()) {
        stored = found.front();
    }
    return true;
}

bool RangeTable::PlaceholderIfEmpty(const QStringList& keys) const {
    const Existence rows = HasRows(keys);
    if (rows != Existence::Absent)
        return rows == Existence::Present;
    return ExecuteSQL(InsertRow(keys, kBlank, kBlank));
}

Existence RangeTable::RecordExists(const QStringList& keys, const QString& from, const QString& to) const {
    QString condition = m_keys[0] + QStringLiteral(" = ") + SqlText(keys.value(0));
    for (qsizetype c = 1; c < keys.size() && c < m_keys.size(); ++c)
        if (!keys[c].isEmpty())
            condition += QStringLiteral(" and ") + m_keys[c] + QStringLiteral(" = ") + SqlText(keys[c]);
    if (!from.isEmpty() && !to.isEmpty())
        condition += QStringLiteral(" and ") + m_from + QStringLiteral(" = ") + SqlText(from) +
                     QStringLiteral(" and ") + m_to + QStringLiteral(" = ") + SqlText(to);
    return RowsWhere(condition);
}

std::optional<QList<int>> RangeTable::DeclaredSizes() const {
    return m_widths.Sizes();
}

std::optional<QList<bool>> RangeTable::FixedWidths() const {
    return m_widths.FixedWidths();
}

bool RangeTable::Fits(const QStringList& keys, const QString& from, const QString& to) const {
    QStringList values = keys.mid(0, m_keys.size());
    while (values.size() < m_keys.size())
        values << QString();
    return m_widths.Fits(values << from << to);
}

qsizetype RangeTable::Characters(const QString& value) {
    return ColumnWidths::Characters(value);
}

QString RangeTable::BlankCondition(const QString& column) {
    const QString trimmed = QStringLiteral("RTRIM(") + column + QStringLiteral(")");
    return QStringLiteral("(") + trimmed + QStringLiteral(" = '' or ") + trimmed +
           QStringLiteral(" is null)");
}

std::optional<QString> RangeTable::AddRangeOfAccount(const QStringList& keys, const QString& from,
                                                     const QString& to) const {
    if (!Fits(keys, from, to))
        return std::nullopt;
    const QString placeholder = PlaceholderCondition(keys);
    const Existence filled = RowsWhere(placeholder);
    if (filled == Existence::Failed)
        return std::nullopt;
    if (filled == Existence::Absent)
        return InsertRow(keys, from, to);
    return QStringLiteral("Update ") + m_table + QStringLiteral(" Set ") + m_from + QStringLiteral(" =") +
           SqlText(from) + QStringLiteral(",  ") + m_to + QStringLiteral(" =") + SqlText(to) +
           QStringLiteral(" where ") + placeholder;
}

std::optional<QString> RangeTable::AddEntry(const QStringList& keys) const {
    if (!Fits(keys))
        return std::nullopt;
    if (keys.size() <= 1)
        return InsertRow(keys, kBlank, kBlank);
    // The parent's placeholder: its own key values, a blank in every column below.
    QStringList parent = keys;
    parent.last() = kBlank;
    const QString placeholder = PlaceholderCondition(parent);
    const Existence filled = RowsWhere(placeholder);
    if (filled == Existence::Failed)
        return std::nullopt;
    if (filled == Existence::Absent)
        return InsertRow(keys, kBlank, kBlank);
    return QStringLiteral("Update ") + m_table + QStringLiteral(" Set ") + m_keys[keys.size() - 1] +
           QStringLiteral(" =") + SqlText(keys.last()) + QStringLiteral(" where ") + placeholder;
}

QString RangeTable::DeleteRangeOfAccount(const QStringList& keys, const QString& from,
                                         const QString& to) const {
    // "Delete From": the form every database accepts.
    return QStringLiteral("Delete From ") + m_table + QStringLiteral(" where ") + KeyCondition(keys) +
           QStringLiteral(" and ") + SqlEquals(m_from, from) + QStringLiteral(" and ") + SqlEquals(m_to, to);
}

bool RangeTable::DeleteEntry(const QStringList& keys, const QString& from, const QString& to) const {
    const bool range = !from.isEmpty() || !to.isEmpty();
    const QString sql =
        range ? DeleteRangeOfAccount(keys, from, to)
              : QStringLiteral("Delete From ") + m_table + QStringLiteral(" where ") + KeyCondition(keys);
    // The rows were found by the action: a delete that meets none finds the warehouse changed meanwhile.
    if (!ExecuteSQLChangingRows(sql))
        return false;
    // The parent: the code of a range, else the entry one key up; the top entry has no row above it.
    const QStringList parent = range ? keys : keys.mid(0, keys.size() - 1);
    if (parent.isEmpty())
        return true;
    return PlaceholderIfEmpty(parent);
}
