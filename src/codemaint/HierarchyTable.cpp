#include "codemaint/HierarchyTable.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"

namespace {
const QString kBlank = QStringLiteral(" ");
} // namespace

HierarchyTable::HierarchyTable(QString table, QStringList columns)
    : m_table(std::move(table)), m_columns(std::move(columns)), m_widths(m_table, m_columns) {}

QString HierarchyTable::Condition(const QStringList& values, const QList<qsizetype>& ignored) const {
    QStringList parts;
    for (qsizetype c = 0; c < values.size() && c < m_columns.size(); ++c)
        if (!ignored.contains(c))
            parts << SqlEquals(m_columns[c], values[c]);
    return parts.join(QStringLiteral(" and "));
}

QStringList HierarchyTable::Padded(const QStringList& values) const {
    QStringList padded = values.mid(0, m_columns.size());
    while (padded.size() < m_columns.size())
        padded << kBlank;
    return padded;
}

QString HierarchyTable::Insert(const QStringList& values) const {
    QStringList quoted;
    for (const QString& v : Padded(values))
        quoted << SqlText(v);
    return QStringLiteral("Insert into ") + m_table + QStringLiteral("(") +
           m_columns.join(QStringLiteral(", ")) + QStringLiteral(") values (") +
           quoted.join(QStringLiteral(",")) + QStringLiteral(")");
}

Existence HierarchyTable::Exists(const QStringList& values, const QList<qsizetype>& ignored) const {
    Recordset rs = GetRecordset(QStringLiteral("Select * from ") + m_table + QStringLiteral(" where ") +
                                Condition(values, ignored));
    if (!gQueryOK || rs.IsNothing())
        return Existence::Failed;
    const bool found = rs.RecordCount() >= 1;
    rs.Close();
    return found ? Existence::Present : Existence::Absent;
}

bool HierarchyTable::ColumnValues(const QStringList& values, const QList<qsizetype>& ignored,
                                  qsizetype column, QStringList& found) const {
    Recordset rs =
        GetRecordset(QStringLiteral("Select distinct ") + m_columns[column] + QStringLiteral(" from ") +
                     m_table + QStringLiteral(" where ") + Condition(values, ignored));
    if (!gQueryOK || rs.IsNothing())
        return false;
    found.clear();
    for (const Field value = rs.Fields(0); !rs.IsEOF(); rs.MoveNext())
        found << value.Text();
    rs.Close();
    return true;
}

std::optional<QString> HierarchyTable::AddEntry(const QStringList& values, int parentDepth) const {
    if (!Fits(values))
        return std::nullopt;
    if (parentDepth < 2)
        return Insert(values);
    const QString placeholder = Condition(Padded(values.mid(0, parentDepth)));
    const Existence filled = Exists(Padded(values.mid(0, parentDepth)));
    if (filled == Existence::Failed)
        return std::nullopt;
    if (filled == Existence::Absent)
        return Insert(values);
    QStringList sets;
    for (qsizetype c = parentDepth; c < values.size(); ++c)
        sets << m_columns[c] + QStringLiteral(" = ") + SqlText(values[c]);
    return QStringLiteral("Update ") + m_table + QStringLiteral(" Set ") + sets.join(QStringLiteral(", ")) +
           QStringLiteral(" where ") + placeholder;
}

bool HierarchyTable::DeleteEntry(const QStringList& values, int parentDepth,
                                 const QList<qsizetype>& ignored) const {
    // "Delete From": the form every database accepts.
    if (!ExecuteSQLChangingRows(QStringLiteral("Delete From ") + m_table + QStringLiteral(" where ") +
                                Condition(values, ignored)))
        return false;
    QStringList parent = values.mid(0, parentDepth);
    while (parent.size() > 2 && parent.last().isEmpty())
        parent.removeLast();
    if (parent.size() < 2)
        return true;
    const Existence rows = Exists(parent);
    if (rows != Existence::Absent)
        return rows == Existence::Present;
    return ExecuteSQL(Insert(parent));
}
