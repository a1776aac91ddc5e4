#include "codemaint/RangeCopy.h"

#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/Recordset.h"
#include "rangemaint/RangeTable.h"

#include <QSet>

namespace {
const QString kBlank = QStringLiteral(" ");

bool IsPlaceholder(const QString& from, const QString& to) {
    return from.trimmed().isEmpty() && to.trimmed().isEmpty();
}
} // namespace

RangeCopy::RangeCopy(const RangeTable& target, QStringList targetKeys, QString codeRanges, QString fromColumn,
                     QString toColumn)
    : m_target(target), m_keys(std::move(targetKeys)), m_codeRanges(std::move(codeRanges)),
      m_from(std::move(fromColumn)), m_to(std::move(toColumn)) {}

bool RangeCopy::Read(const QString& sql, std::vector<Range>& ranges) const {
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK || rs.IsNothing())
        return false;
    const Field from = rs.Fields(m_from);
    const Field to = rs.Fields(m_to);
    for (; !rs.IsEOF(); rs.MoveNext())
        ranges.push_back({from.Text(), to.Text()});
    rs.Close();
    return true;
}

bool RangeCopy::EnsurePlaceholder() const {
    const Existence rows = m_target.RecordExists(m_keys);
    if (rows != Existence::Absent)
        return rows == Existence::Present;
    const std::optional<QString> statement = m_target.AddRangeOfAccount(m_keys, kBlank, kBlank);
    return statement && ExecuteSQL(*statement);
}

bool RangeCopy::Attach() const {
    std::vector<Range> ranges;
    if (!Read(m_codeRanges, ranges))
        return false;
    for (const Range& r : ranges) {
        if (IsPlaceholder(r.from, r.to)) {
            if (!EnsurePlaceholder())
                return false;
            continue;
        }
        const Existence held = m_target.RecordExists(m_keys, r.from, r.to);
        if (held == Existence::Failed)
            return false;
        if (held == Existence::Present)
            continue;
        const std::optional<QString> statement = m_target.AddRangeOfAccount(m_keys, r.from, r.to);
        if (!statement || !ExecuteSQL(*statement))
            return false;
    }
    return true;
}

bool RangeCopy::Detach(const QString& stillHeld) const {
    std::vector<Range> ranges;
    if (!Read(m_codeRanges, ranges))
        return false;
    std::erase_if(ranges, [](const Range& r) { return IsPlaceholder(r.from, r.to); });
    if (ranges.empty())
        return true;
    std::vector<Range> kept;
    if (!Read(stillHeld, kept))
        return false;
    // Read once, so a range costs no statement but its own removal.
    QSet<QString> keptKeys;
    for (const Range& r : kept)
        keptKeys.insert(r.from + QChar(0xFF) + r.to);
    bool removed = false;
    for (const Range& r : ranges) {
        if (keptKeys.contains(r.from + QChar(0xFF) + r.to))
            continue;
        if (!ExecuteSQL(m_target.DeleteRangeOfAccount(m_keys, r.from, r.to)))
            return false;
        removed = true;
    }
    // A holder that had no row keeps having none.
    return !removed || EnsurePlaceholder();
}
