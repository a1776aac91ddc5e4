#include "codemaint/RangeCopy.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/Recordset.h"
#include "platform/UserDialogs.h"

#include <optional>

namespace {
const QString kBlank = QStringLiteral(" ");

// What a row of the code is to the copy. A bound that is empty may be stored as '' or as NULL (Oracle keeps
// no empty text), which an equality never matches: such a range is compared on its own.
enum Kind { kPlaceholder = 0, kRange = 1, kHalfEmpty = 2 };

// The Kind of a row whose bounds are `from` and `to`, as the database tells it. A CASE answers on every
// database alike: Oracle takes "not (x = '')" for unknown.
QString KindOf(const QString& from, const QString& to) {
    return QStringLiteral("case when ") + RangeTable::BlankCondition(from) + QStringLiteral(" and ") +
           RangeTable::BlankCondition(to) + QStringLiteral(" then ") + QString::number(kPlaceholder) +
           QStringLiteral(" when ") + SqlEquals(from, QString()) + QStringLiteral(" or ") +
           SqlEquals(to, QString()) + QStringLiteral(" then ") + QString::number(kHalfEmpty) +
           QStringLiteral(" else ") + QString::number(kRange) + QStringLiteral(" end");
}

// Two bounds the database takes for one; for a half-empty range an empty one also matches NULL, as the
// statement of each range compares it (SqlEquals).
QString Same(const QString& held, const QString& given, Kind kind) {
    const QString equal = held + QStringLiteral(" = ") + given;
    if (kind == kRange)
        return equal;
    return QStringLiteral("(") + equal + QStringLiteral(" or ") + SqlEquals(held, QString()) +
           QStringLiteral(" and ") + SqlEquals(given, QString()) + QStringLiteral(")");
}

// The statements of one copy: the code's rows in the source table (alias S) under its key as stored, and
// the holder's rows in the target table (alias W) under its key as stored.
class Copy {
public:
    Copy(const RangeTable& source, const QStringList& sourceKeys, const RangeTable& target,
         const QStringList& targetKeys)
        : m_source(source), m_sourceKeys(sourceKeys), m_target(target), m_targetKeys(targetKeys) {}

    // The kind and bounds of each row of the code that the holder lacks, its placeholders too (distinct).
    QString Read() const {
        const QString from = QStringLiteral("S.") + m_source.FromColumn();
        const QString to = QStringLiteral("S.") + m_source.ToColumn();
        const QString placeholders = QStringLiteral("Select ") + QString::number(kPlaceholder) +
                                     QStringLiteral(", ") + from + QStringLiteral(", ") + to +
                                     Rows(kPlaceholder);
        return Select(kRange,
                      QString::number(kRange) + QStringLiteral(", ") + from + QStringLiteral(", ") + to) +
               QStringLiteral(" union ") +
               Select(kHalfEmpty,
                      QString::number(kHalfEmpty) + QStringLiteral(", ") + from + QStringLiteral(", ") + to) +
               QStringLiteral(" union ") + placeholders;
    }

    // The INSERT of each range of the code that the holder lacks, once, under the holder's key; an empty
    // bound is written as an empty text, as a statement of each range writes it.
    QString Insert() const {
        QStringList values;
        for (qsizetype c = 0; c < m_target.KeyCount(); ++c)
            values << SqlText(c < m_targetKeys.size() ? m_targetKeys[c] : kBlank);
        const QString columns = values.join(QStringLiteral(", ")) + QStringLiteral(", COALESCE(S.") +
                                m_source.FromColumn() + QStringLiteral(", ''), COALESCE(S.") +
                                m_source.ToColumn() + QStringLiteral(", '')");
        return QStringLiteral("Insert into ") + m_target.Table() + QStringLiteral(" (") +
               m_target.KeyColumns().join(QStringLiteral(", ")) + QStringLiteral(", ") +
               m_target.FromColumn() + QStringLiteral(", ") + m_target.ToColumn() + QStringLiteral(") ") +
               Select(kRange, columns) + QStringLiteral(" union ") + Select(kHalfEmpty, columns);
    }

private:
    // " From <source> S where" the code's rows of this kind.
    QString Rows(Kind kind) const {
        return QStringLiteral(" From ") + m_source.Table() + QStringLiteral(" S where") +
               m_source.EntryCondition(m_sourceKeys, QStringLiteral("S")) + QStringLiteral(" and ") +
               KindOf(QStringLiteral("S.") + m_source.FromColumn(),
                      QStringLiteral("S.") + m_source.ToColumn()) +
               QStringLiteral(" = ") + QString::number(kind);
    }

    // "Select <columns>" over the code's ranges of this kind that the holder does not hold. The holder's
    // rows of each range are counted rather than tested with "not exists": a server's planner may turn
    // that into a join and, misled by statistics not yet gathered, compare every range with every row of
    // the holder, where a count stays one look-up on the index per range.
    QString Select(Kind kind, const QString& columns) const {
        return QStringLiteral("Select ") + columns + Rows(kind) +
               QStringLiteral(" and 0 = (Select count(*) From ") + m_target.Table() +
               QStringLiteral(" W where") + m_target.EntryCondition(m_targetKeys, QStringLiteral("W")) +
               QStringLiteral(" and ") +
               Same(QStringLiteral("W.") + m_target.FromColumn(),
                    QStringLiteral("S.") + m_source.FromColumn(), kind) +
               QStringLiteral(" and ") +
               Same(QStringLiteral("W.") + m_target.ToColumn(), QStringLiteral("S.") + m_source.ToColumn(),
                    kind) +
               QStringLiteral(")");
    }

    const RangeTable& m_source;
    const QStringList& m_sourceKeys;
    const RangeTable& m_target;
    const QStringList& m_targetKeys;
};
} // namespace

RangeCopy::RangeCopy(const RangeTable& source, QStringList keys)
    : m_source(source), m_keys(std::move(keys)) {}

bool RangeCopy::Attach(const RangeTable& target, const QStringList& holder) const {
    QStringList sourceKeys;
    QStringList targetKeys;
    if (!m_source.StoredKey(m_keys, sourceKeys) || !target.StoredKey(holder, targetKeys))
        return false;
    const Copy copy(m_source, sourceKeys, target, targetKeys);
    // Only what will be written comes across: the longest of each bound stands for them all, so a value
    // longer than its column is refused before anything is written.
    Recordset rs = GetRecordset(copy.Read());
    if (!gQueryOK || rs.IsNothing())
        return false;
    std::optional<RangeBounds> first;
    bool placeholder = false;
    RangeBounds longest;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (rs.Fields(0).Value().toInt() == kPlaceholder) {
            placeholder = true;
            continue;
        }
        const QString from = rs.Fields(1).Text();
        const QString to = rs.Fields(2).Text();
        if (!first)
            first = RangeBounds{from, to};
        if (RangeTable::Characters(from) > RangeTable::Characters(longest.from))
            longest.from = from;
        if (RangeTable::Characters(to) > RangeTable::Characters(longest.to))
            longest.to = to;
    }
    rs.Close();
    if (!first) {
        // A code with its placeholder only gives one to a holder without any row.
        if (!placeholder)
            return true;
        return target.PlaceholderIfEmpty(targetKeys);
    }
    // The user is told which value, once the action is undone: the editor's own message says only that the
    // action was cancelled.
    if (!target.Fits(targetKeys, longest.from, longest.to)) {
        ErrorHandler::Tell(Err().Description(), vbExclamation);
        return false;
    }
    // The first range fills the holder's placeholder row where it has one, as a range saved in a range
    // editor does (a row another writer filled meanwhile ends the action); the others are added by one
    // statement, which takes the holder's rows as they then are (it may add none).
    const std::optional<QString> statement = target.AddRangeOfAccount(targetKeys, first->from, first->to);
    return statement && ExecuteSQLChangingRows(*statement) && ExecuteSQL(copy.Insert());
}
