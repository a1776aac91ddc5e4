#pragma once

#include "rangemaint/RangeTableEngine.h"

#include <QString>
#include <optional>

// What the multiplier and category engines share: account ranges held per chart of account and holder
// (a multiplier or a category), edited without any propagation, and the statement builders other engines
// use on them without an owner.
class HolderRangeEngine : public RangeTableEngine {
public:
    // The table of the holder's ranges.
    virtual const RangeTable& Table() const = 0;

    // Whether the row exists (Failed when the look-up could not run), the statement that adds the range
    // (filling the holder's placeholder row when it has one; nothing when the probe failed), and the one
    // that removes it. Neither statement is executed.
    Existence RecordExists(const QString& coa, const QString& holder = QString(),
                           const QString& from = QString(), const QString& to = QString()) const {
        return Table().RecordExists({coa, holder}, from, to);
    }
    std::optional<QString> AddRangeOfAccount(const QString& coa, const QString& holder, const QString& from,
                                             const QString& to) const {
        return Table().AddRangeOfAccount({coa, holder}, from, to);
    }
    QString DeleteRangeOfAccount(const QString& coa, const QString& holder, const QString& from,
                                 const QString& to) const {
        return Table().DeleteRangeOfAccount({coa, holder}, from, to);
    }

protected:
    const RangeTable& EntryTable() const override { return Table(); }
};
