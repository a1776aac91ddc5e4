#pragma once

#include "rangemaint/LevelRangeRemoval.h"
#include "rangemaint/RangeTableEngine.h"

#include <QString>
#include <optional>

// What the two level range engines share (account levels and business levels): entries held per top entry
// (chart of account or business level), level and code, and the propagation of every added or removed
// range up the level hierarchy, inside the Save, Delete or drag copy that added or removed it.
class LevelRangeEngine : public RangeTableEngine {
public:
    // Whether a row with this key prefix exists; a From without a To (or the reverse) tests no range.
    // A look-up that fails answers Failed after its message, leaving the error for the caller to report.
    Existence RecordExists(const QString& top, const QString& level = QString(),
                           const QString& code = QString(), const QString& from = QString(),
                           const QString& to = QString()) const {
        return EntryTable().RecordExists({top, level, code}, from, to);
    }
    // The statement that gives the code the range: the UPDATE of the code's placeholder row when it has
    // one, else an INSERT. Not executed; nothing when the probe fails (the error left for the caller).
    std::optional<QString> AddRangeOfAccount(const QString& top, const QString& level, const QString& code,
                                             const QString& from, const QString& to) const {
        return EntryTable().AddRangeOfAccount({top, level, code}, from, to);
    }
    // The statement that removes one range row. Not executed.
    QString DeleteRangeOfAccount(const QString& top, const QString& level, const QString& code,
                                 const QString& from, const QString& to) const {
        return EntryTable().DeleteRangeOfAccount({top, level, code}, from, to);
    }

    // Carries an added range to every ancestor code lacking it, and from there to whatever else the
    // engine feeds. Answers false after reporting a failure under its own location; the caller ends its
    // action.
    bool CopiedUpRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                    const QString& Code, const QString& AccountFr,
                                    const QString& AccountTo) override;

    // Carries the ranges of the level's codes, or of the one code, up the hierarchy and into whatever else
    // the engine feeds, and shows the ranges the ancestors got under their nodes; see RangeEngine.
    bool CopiedUpRangesOfCodes(const QString& LvlType, const QString& COA, const QString& Level,
                               const QString& Code) override;

protected:
    enum Mode { CopyMode = 0, DeleteMode = 1 };

    // The range goes up the level hierarchy and on to what the engine feeds besides.
    bool RangeAdded(const QString& area, const RangeKeyParts& range) override;
    bool RangeRemoved(const QString& area, const RangeKeyParts& range) override;
    // Whether the multipliers and categories of the codes hold their ranges too.
    virtual bool FeedsHolders() const { return false; }

    // Removes a range that went from the code from every ancestor that none of its children still feeds,
    // and from the multipliers and categories of the codes that lost it (the code's own included).
    bool DeletedUpRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                     const QString& Code, const QString& AccountFr, const QString& AccountTo);
    // Adds (CopyMode) the range at one ancestor code, in the table and the tree, and passes it on to the
    // code's holders; or settles it there (DeleteMode): it goes unless one of the code's children still
    // holds it.
    bool CopyDelRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                   const QString& Code, const QString& AccountFr, const QString& AccountTo,
                                   int mode);

private:
    // Reports a failure of a carry up (`carried` "CopiedUp" or "DeletedUp") under the procedure of the step
    // it arose in; false.
    bool FailIn(LevelRangeRemoval::Step step, const QString& carried);
    // What a removal took from the codes leaves the owner's tree; a failure is reported under the
    // procedure of the step it arose in.
    bool Removed(const LevelRangeRemoval& removal, bool done, const QString& COA);
};
