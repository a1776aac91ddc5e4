#pragma once

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

protected:
    enum Mode { CopyMode = 0, DeleteMode = 1 };

    // The range goes up the level hierarchy and on to what the engine feeds besides.
    bool RangeAdded(const QString& area, const RangeKeyParts& range) override;
    bool RangeRemoved(const QString& area, const RangeKeyParts& range) override;
    // What a removed range leaves besides the level hierarchy: nothing unless the engine feeds more.
    virtual bool DeletedUpRangeOfAccountMultiHier(const QString& /*LvlType*/, const QString& /*COA*/,
                                                  const QString& /*Level*/, const QString& /*Code*/,
                                                  const QString& /*AccountFr*/,
                                                  const QString& /*AccountTo*/) {
        return true;
    }
    virtual bool DeletedUpRangeOfAccountCategoryHier(const QString& /*LvlType*/, const QString& /*COA*/,
                                                     const QString& /*Level*/, const QString& /*Code*/,
                                                     const QString& /*AccountFr*/,
                                                     const QString& /*AccountTo*/) {
        return true;
    }

    // Removes a range from every ancestor that none of its children still feeds, settled bottom up.
    bool DeletedUpRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                     const QString& Code, const QString& AccountFr, const QString& AccountTo);
    // Adds (CopyMode) or removes (DeleteMode) the range at one ancestor code, in the table and the tree.
    bool CopyDelRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                   const QString& Code, const QString& AccountFr, const QString& AccountTo,
                                   int mode);

private:
    // The walk of both: every ancestor of the code once, adding or removing the range there.
    bool CarryUp(int mode, const QString& LvlType, const QString& COA, const QString& Level,
                 const QString& Code, const QString& AccountFr, const QString& AccountTo);
};
