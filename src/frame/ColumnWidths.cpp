#include "frame/ColumnWidths.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"
#include "platform/Recordset.h"
#include "platform/WellFormedText.h"

ColumnWidths::ColumnWidths(QString table, QStringList columns)
    : m_table(std::move(table)), m_columns(std::move(columns)) {}

std::optional<QList<int>> ColumnWidths::Sizes() const {
    // An action writes many rows of one table (a range carried up every ancestor); its widths cannot change
    // under it, so they are read once per transaction. The next action reads them again: it may run on
    // another warehouse.
    if (*m_sizes)
        return *m_sizes;
    Recordset rs = GetRecordset(QStringLiteral("Select ") + m_columns.join(QStringLiteral(", ")) +
                                QStringLiteral(" from ") + m_table + QStringLiteral(" where 1 = 0"));
    if (!gQueryOK || rs.IsNothing())
        return std::nullopt;
    QList<int> sizes;
    QList<bool> fixed;
    for (int c = 0; c < rs.FieldCount(); ++c) {
        sizes << rs.Fields(c).DefinedSize();
        fixed << rs.Fields(c).FixedWidth();
    }
    rs.Close();
    *m_sizes = sizes;
    *m_fixed = fixed;
    // Outside a transaction this forgets them at once.
    gDBConnection->adoConnection().WhenTransactionEnds(
        [held = std::weak_ptr<std::optional<QList<int>>>(m_sizes)](bool) {
            if (const auto sizes = held.lock())
                sizes->reset();
        });
    return sizes;
}

std::optional<QList<bool>> ColumnWidths::FixedWidths() const {
    if (!Sizes())
        return std::nullopt;
    return *m_fixed;
}

bool ColumnWidths::Fits(const QStringList& values) const {
    const std::optional<QList<int>> sizes = Sizes();
    if (!sizes)
        return false;
    for (qsizetype c = 0; c < values.size() && c < m_columns.size() && c < sizes->size(); ++c) {
        const int size = sizes->at(c);
        if (size < 0 || Characters(values[c]) <= size)
            continue;
        // A database that does not hold its columns to their widths would store the value whole, and a
        // value compared as text would then match what it was never meant to.
        Err().Raise(CurrentError::UnspecifiedError,
                    QStringLiteral("\"%1\" is longer than the %2 characters that %3 of %4 holds; nothing was "
                                   "written.")
                        .arg(values[c])
                        .arg(size)
                        .arg(m_columns[c], m_table),
                    m_table);
        return false;
    }
    return true;
}

qsizetype ColumnWidths::Characters(const QString& value) {
    return WellFormedText::Characters(value);
}
