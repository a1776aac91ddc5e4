#include "codemaint/RangeCopy.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"

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
    QStringList stored;
    if (!m_source.NamedRows(m_keys, stored, ranges))
        return false;
    std::erase_if(ranges, IsPlaceholder);
    return true;
}

bool RangeCopy::Attach(const RangeTable& target, const QStringList& holder) const {
    std::vector<RangeBounds> ranges;
    std::vector<RangeBounds> rows;
    QStringList sourceKeys;
    QStringList targetKeys;
    if (!m_source.NamedRows(m_keys, sourceKeys, ranges) || !target.NamedRows(holder, targetKeys, rows))
        return false;
    QSet<QString> held;
    bool placeholder = false;
    for (const RangeBounds& r : rows) {
        if (IsPlaceholder(r))
            placeholder = true;
        else
            held.insert(KeyOf(r));
    }
    // A value longer than its column is refused before anything is written; the longest of each bound
    // stands for them all, so the widths are read once.
    RangeBounds longest;
    for (const RangeBounds& r : ranges)
        if (!IsPlaceholder(r) && !held.contains(KeyOf(r))) {
            if (RangeTable::Characters(r.from) > RangeTable::Characters(longest.from))
                longest.from = r.from;
            if (RangeTable::Characters(r.to) > RangeTable::Characters(longest.to))
                longest.to = r.to;
        }
    // The user is told which value, once the action is undone: the editor's own message says only that the
    // action was cancelled.
    if (!longest.from.isEmpty() && !target.Fits(targetKeys, longest.from, longest.to)) {
        ErrorHandler::Tell(Err().Description(), vbExclamation);
        return false;
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
        if (!statement || !ExecuteSQLChangingRows(*statement))
            return false;
        empty = false;
    }
    return true;
}
