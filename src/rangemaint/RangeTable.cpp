#include "rangemaint/RangeTable.h"

#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/WellFormedText.h"
#include "rangemaint/LevelHierarchyWalk.h"

#include <algorithm>

namespace {
const QString kBlank = QStringLiteral(" ");
} // namespace

RangeTable::RangeTable(QString table, QStringList keyColumns, QString fromColumn, QString toColumn)
    : m_table(std::move(table)), m_keys(std::move(keyColumns)), m_from(std::move(fromColumn)),
      m_to(std::move(toColumn)) {}

QString RangeTable::KeyCondition(const QStringList& keys) const {
    QStringList parts;
    for (qsizetype c = 0; c < keys.size() && c < m_keys.size(); ++c)
        parts << QStringLiteral(" ") + SqlEquals(m_keys[c], keys[c]);
    return parts.join(QStringLiteral(" and"));
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
    Recordset rs =
        GetRecordset(QStringLiteral("Select * from ") + m_table + QStringLiteral(" where ") + condition);
    if (!gQueryOK || rs.IsNothing())
        return Existence::Failed;
    const bool found = rs.RecordCount() >= 1;
    rs.Close();
    return found ? Existence::Present : Existence::Absent;
}

bool RangeTable::NamedRows(const QStringList& keys, QStringList& stored,
                           std::vector<RangeBounds>& rows) const {
    const QStringList columns = m_keys.mid(0, keys.size());
    QStringList parts;
    for (qsizetype c = 0; c < columns.size(); ++c)
        parts << LevelHierarchyWalk::Matches(columns[c], keys[c]);
    Recordset rs =
        GetRecordset(QStringLiteral("Select ") + columns.join(QStringLiteral(", ")) + QStringLiteral(", ") +
                     m_from + QStringLiteral(", ") + m_to + QStringLiteral(" from ") + m_table +
                     QStringLiteral(" where ") + parts.join(QStringLiteral(" and ")) +
                     QStringLiteral(" Order by ") + columns.join(QStringLiteral(", ")));
    if (!gQueryOK || rs.IsNothing())
        return false;
    std::vector<std::pair<QStringList, RangeBounds>> found;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        QStringList key;
        for (qsizetype c = 0; c < columns.size(); ++c)
            key << rs.Fields(c).Text();
        found.push_back({key, {rs.Fields(m_from).Text(), rs.Fields(m_to).Text()}});
    }
    rs.Close();
    const bool given =
        std::any_of(found.begin(), found.end(), [&keys](const auto& f) { return f.first == keys; });
    stored = given || found.empty() ? keys : found.front().first;
    rows.clear();
    for (const auto& [key, bounds] : found)
        if (key == stored)
            rows.push_back(bounds);
    return true;
}

std::optional<QString> RangeTable::InsertRange(const QStringList& keys, const QString& from,
                                               const QString& to) const {
    return InsertRow(keys, from, to);
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
    // An action writes many rows of one table (a range carried up every ancestor); its widths cannot change
    // under it, so they are read once per transaction. The next action reads them again: it may run on
    // another warehouse.
    if (*m_sizes)
        return *m_sizes;
    Recordset rs = GetRecordset(QStringLiteral("Select ") + m_keys.join(QStringLiteral(", ")) +
                                QStringLiteral(", ") + m_from + QStringLiteral(", ") + m_to +
                                QStringLiteral(" from ") + m_table + QStringLiteral(" where 1 = 0"));
    if (!gQueryOK || rs.IsNothing())
        return std::nullopt;
    QList<int> sizes;
    for (int c = 0; c < rs.FieldCount(); ++c)
        sizes << rs.Fields(c).DefinedSize();
    rs.Close();
    *m_sizes = sizes;
    // Outside a transaction this forgets them at once.
    gDBConnection->adoConnection().WhenTransactionEnds(
        [held = std::weak_ptr<std::optional<QList<int>>>(m_sizes)](bool) {
            if (const auto sizes = held.lock())
                sizes->reset();
        });
    return sizes;
}

bool RangeTable::Fits(const QStringList& keys, const QString& from, const QString& to) const {
    const std::optional<QList<int>> sizes = DeclaredSizes();
    if (!sizes)
        return false;
    const QStringList columns = m_keys + QStringList{m_from, m_to};
    QStringList values = keys.mid(0, m_keys.size());
    while (values.size() < m_keys.size())
        values << QString();
    values << from << to;
    for (qsizetype c = 0; c < columns.size() && c < sizes->size(); ++c) {
        const int size = sizes->at(c);
        if (size < 0 || Characters(values[c]) <= size)
            continue;
        // A database that does not hold its columns to their widths would store the value whole, and a
        // bound compared as text would then cover ranges it was never meant to.
        Err().Raise(CurrentError::UnspecifiedError,
                    QStringLiteral("\"%1\" is longer than the %2 characters that %3 of %4 holds; nothing was "
                                   "written.")
                        .arg(values[c])
                        .arg(size)
                        .arg(columns[c], m_table),
                    m_table);
        return false;
    }
    return true;
}

qsizetype RangeTable::Characters(const QString& value) {
    return WellFormedText::Characters(value);
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
    const Existence rows = RowsWhere(KeyCondition(parent));
    if (rows != Existence::Absent)
        return rows == Existence::Present;
    return ExecuteSQL(InsertRow(parent, kBlank, kBlank));
}
