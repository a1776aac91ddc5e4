#include "codemaint/RangeCopy.h"

#include "frame/ModMaintenance.h"

#include <QSet>

namespace {
const QString kBlank = QStringLiteral(" ");

bool IsPlaceholder(const RangeBounds& r) {
    return r.from.trimmed().isEmpty() && r.to.trimmed().isEmpty();
}

QString KeyOf(const RangeBounds& r) {
    return r.from + QChar(0xFF) + r.to;
}
} // namespace

RangeCopy::RangeCopy(const RangeTable& source, QStringList keys)
    : m_source(source), m_keys(std::move(keys)) {}

bool RangeCopy::Ranges(std::vector<RangeBounds>& ranges) const {
    if (!m_source.Rows(m_keys, ranges))
        return false;
    std::erase_if(ranges, IsPlaceholder);
    return true;
}

bool RangeCopy::Attach(const RangeTable& target, const QStringList& targetKeys) const {
    std::vector<RangeBounds> ranges;
    std::vector<RangeBounds> rows;
    if (!m_source.Rows(m_keys, ranges) || !target.Rows(targetKeys, rows))
        return false;
    QSet<QString> held;
    bool placeholder = false;
    for (const RangeBounds& r : rows) {
        if (IsPlaceholder(r))
            placeholder = true;
        else
            held.insert(KeyOf(r));
    }
    bool empty = rows.empty();
    for (const RangeBounds& r : ranges) {
        std::optional<QString> statement;
        if (IsPlaceholder(r)) {
            if (!empty)
                continue;
            statement = target.InsertRange(targetKeys, kBlank, kBlank);
            placeholder = true;
        } else {
            if (held.contains(KeyOf(r)))
                continue;
            // The first range fills the holder's placeholder row, the others are new rows.
            statement = placeholder ? target.AddRangeOfAccount(targetKeys, r.from, r.to)
                                    : target.InsertRange(targetKeys, r.from, r.to);
            placeholder = false;
            held.insert(KeyOf(r));
        }
        if (!statement || !ExecuteSQL(*statement))
            return false;
        empty = false;
    }
    return true;
}
