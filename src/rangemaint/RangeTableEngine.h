#pragma once

#include "rangemaint/RangeEditorAccess.h"
#include "rangemaint/RangeEngine.h"
#include "rangemaint/RangeTable.h"

#include <QStringList>

class TransactionGuard;

// What the editing engines share over their range table, with levels (account and business levels) or
// without (multipliers and categories): the Save of an entry under the owner's selection, the Delete of the
// selected entry and the drag copy of a range. Each is one transaction with whatever the engine carries an
// added or removed range on to: a failure anywhere is reported under the engine's own location, rolls back
// and leaves the tree as it was. After each the owner follows the new selection.
//
// The tree's node types: 0 the root, 1 a chart of account (or business level), 2 a level (only where the
// table has one), 3 a code (or holder), 4 a range.
class RangeTableEngine : public RangeEngine {
public:
    // Adds the entry of the owner's entry fields under its selected node; a duplicate is told and leaves
    // the insert pending.
    bool Save() override;
    // Removes the selected node's entry (by its key parts) with every row below it; a parent left without
    // rows gets its placeholder back.
    bool Delete() override;
    // Copies the dragged range node into the code node it was dropped on; the source stays.
    bool CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) override;
    bool BoundSizes(int& from, int& to) const override;

protected:
    struct Texts {
        struct Duplicate {
            const char* text;
            const char* title;
        };
        const char* engine;              // the error locations' prefix
        Duplicate duplicates[4];         // an entry under a node of type 0 to 3
        const char* copyRefused;         // a drag copy that could not be written
        bool nothingSavedAnswers = true; // Save with no insert pending or under a range
    };

    // The engine's range table; its key columns give the tree's shape.
    virtual const RangeTable& EntryTable() const = 0;
    virtual const Texts& Words() const = 0;
    // The description of a new top entry's node.
    virtual QString TopDescription() const { return {}; }
    // The area a drag copy carries its range through when no editor owns the engine.
    virtual QString AreaWithoutOwner() const { return {}; }
    // Carries an added or removed range on beyond its own row: nothing unless the engine feeds more. Each
    // answers false after reporting a failure; the action then ends.
    virtual bool RangeAdded(const QString& /*area*/, const RangeKeyParts& /*range*/) { return true; }
    virtual bool RangeRemoved(const QString& /*area*/, const RangeKeyParts& /*range*/) { return true; }

    // Reports the failure under the engine's name, ":" and the procedure, keeping its description; false.
    bool Fail(const QString& procedure);

    // The node of the row of these key values as stored, keyed as the tree load keys it: by the values
    // without their trailing blanks.
    static QString NodeKeyOf(const QString& root, const RangeKeyParts& stored);
    // Adds the owner's node of a range stored with these values under its code's node, as the tree load
    // builds it; nothing without an owner's tree.
    TreeNode* AddRangeNode(const QString& root, const RangeKeyParts& stored, bool select) const;

private:
    // The key values of an entry top first (chart of account, level where the table has one, code), and
    // back.
    QStringList KeysOf(const RangeKeyParts& parts) const;
    RangeKeyParts PartsOf(const QStringList& keys, const QString& from, const QString& to) const;
    // Whether the tree has nodes of this type, and how many key values the entry of such a node has.
    bool Shows(int nodeType) const;
    int Depth(int nodeType) const;
    // Within the action's transaction, writes the entry (a range or an entry without children) unless it is
    // there: Absent once written, Present for a duplicate, Failed when a look-up or the statement failed.
    Existence AddUnlessPresent(const TransactionGuard& transaction, const QStringList& keys,
                               const RangeKeyParts& entry, bool range) const;
    // Tells the duplicate of an entry under a node of this type; false.
    bool Duplicate(int nodeType) const;

    // The description of the last failure, for the message of a failed Save.
    QString m_failure;
};
