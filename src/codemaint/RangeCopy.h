#pragma once

#include <QString>
#include <QStringList>

class RangeTable;

// Copies the ranges of a code just attached into its holder (a parent code, a multiplier or a category),
// or removes them from the holder when the code is detached. The ranges are written through the holder's
// range table and written only: no tree shows them until a Range Maintenance editor loads again.
//
// A row with blank bounds is a placeholder, never a range: it only gives the holder its placeholder when
// the holder has no row at all, and it is never removed.
class RangeCopy {
public:
    // `target` and `targetKeys`: the holder's range table and key values (top first). `codeRanges`: the
    // query of the attached code's ranges; `fromColumn` and `toColumn` name its two bound columns.
    RangeCopy(const RangeTable& target, QStringList targetKeys, QString codeRanges, QString fromColumn,
              QString toColumn);

    // Gives the holder each range of the code it lacks. False when a statement failed (the error raised).
    bool Attach() const;
    // Takes each range of the code from the holder unless `stillHeld` (a query with the same two bound
    // columns: the ranges of the codes still attached to the holder) finds it; a holder left without rows
    // gets its placeholder back. The code must already be detached. False when a statement failed.
    bool Detach(const QString& stillHeld) const;

private:
    struct Range {
        QString from;
        QString to;
    };
    // The rows of a query as ranges; false when it could not run.
    bool Read(const QString& sql, std::vector<Range>& ranges) const;
    // Writes the holder's placeholder when it has no row; false when a statement failed.
    bool EnsurePlaceholder() const;

    const RangeTable& m_target;
    QStringList m_keys;
    QString m_codeRanges;
    QString m_from;
    QString m_to;
};
