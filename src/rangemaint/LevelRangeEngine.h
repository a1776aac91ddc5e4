#pragma once

#include "rangemaint/RangeEngine.h"
#include "rangemaint/RangeTable.h"

#include <QString>
#include <optional>

// What the two level range engines share (account levels and business levels): entries held per top entry
// (chart of account or business level), level and code, the saving and deleting of an entry under the
// owner's selection, the drag copy of a range, and the propagation of every added or removed range up the
// level hierarchy. Each of Save, Delete and the drag copy is one transaction with its propagation: a
// failure anywhere leaves tables and tree as they were.
class LevelRangeEngine : public RangeEngine {
public:
    // The texts an engine shows: its four duplicates (top entry, level, code, range: text and title) and
    // the refusal of a drag copy that could not be written.
    struct Messages {
        struct Duplicate {
            const char* text;
            const char* title;
        } duplicates[4];
        const char* copyRefused;
    };

    // Adds the entry of the owner's entry fields under its selected node (a top entry under the root, a
    // level, a code or a range); a range is carried up the hierarchy.
    bool Save() override;
    // Removes the selected node's entry (by its key parts); a removed range leaves the ancestors that
    // nothing else feeds.
    bool Delete() override;
    // Copies the dragged range node into the code node it was dropped on; the source stays.
    bool CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) override;

    // Whether a row with this key prefix exists; a From without a To (or the reverse) tests no range.
    // A look-up that fails answers Failed after its message, leaving the error for the caller to report.
    Existence RecordExists(const QString& top, const QString& level = QString(),
                           const QString& code = QString(), const QString& from = QString(),
                           const QString& to = QString()) const {
        return LevelTable().RecordExists({top, level, code}, from, to);
    }
    // The statement that gives the code the range: the UPDATE of the code's placeholder row when it has
    // one, else an INSERT. Not executed; nothing when the probe fails (the error left for the caller).
    std::optional<QString> AddRangeOfAccount(const QString& top, const QString& level, const QString& code,
                                             const QString& from, const QString& to) const {
        return LevelTable().AddRangeOfAccount({top, level, code}, from, to);
    }
    // The statement that removes one range row. Not executed.
    QString DeleteRangeOfAccount(const QString& top, const QString& level, const QString& code,
                                 const QString& from, const QString& to) const {
        return LevelTable().DeleteRangeOfAccount({top, level, code}, from, to);
    }

    // Carries an added range to every ancestor code lacking it, and from there to whatever else the
    // engine feeds. Answers false after reporting a failure under its own location; the caller ends its
    // action.
    bool CopiedUpRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                    const QString& Code, const QString& AccountFr,
                                    const QString& AccountTo) override;

protected:
    enum Mode { CopyMode = 0, DeleteMode = 1 };

    // The engine's range table, the class name its error locations start with, and its texts.
    virtual const RangeTable& LevelTable() const = 0;
    virtual QString ClassName() const = 0;
    virtual const Messages& Texts() const = 0;
    // The description of a new top entry's node.
    virtual QString TopDescription() const { return {}; }
    // The area a drag copy carries its range through when no editor owns the engine.
    virtual QString AreaWithoutOwner() const { return {}; }
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
    // Reports the failure under the class name, ":" and the procedure, keeping its description; false.
    bool Fail(const QString& procedure);

private:
    // The walk of both: every ancestor of the code once, adding or removing the range there.
    bool CarryUp(int mode, const QString& LvlType, const QString& COA, const QString& Level,
                 const QString& Code, const QString& AccountFr, const QString& AccountTo);

    // The description of the last failure, for the message of a failed Save.
    QString m_failure;
};
