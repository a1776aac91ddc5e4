#pragma once

#include "codemaint/CodeEditorAccess.h"
#include "rangemaint/RangeEngine.h"

#include <QList>
#include <QString>
#include <QStringList>

class HierarchyTable;
class TreeNode;

// What the two code engines offer their editor, which calls them through this interface only: the
// statement its tree is built from, and the writing of a new entry and the removal of the selected one.
// Both address the selected entry's rows by its key as stored, blanks included, so rows other programs
// wrote with padded codes are found; the values the user picked are written as they are.
//
// Save and Delete are the same for both hierarchies: each is one transaction with its duplicate check,
// placeholder rule, range copy or removal and tree change, so a failure anywhere leaves tables and tree as
// they were. What differs (the table, the entries per node type, the nodes and the ranges) the engines
// give through the hooks below.
class CodeEngine {
public:
    virtual ~CodeEngine() = default;

    void OwnerForm(CodeEditorAccess* frm) { m_frmOwner = frm; }
    CodeEditorAccess* Owner() const { return m_frmOwner; }

    // The tree query of the editor's type; empty when the engine has none.
    virtual QString TreeStatement() const = 0;
    // Writes the pending entry below the selected node; false when it was refused or could not be written
    // (the insert stays pending). Answers true when nothing was pending.
    virtual bool Save();
    // Removes the selected entry; false when it was not removed.
    virtual bool Delete();

protected:
    // An entry to add or remove: its values in the hierarchy's columns (the area first), the columns that
    // do not tell it from another entry (its duplicate check and its removal pass them over), how many
    // values name its parent, and the type of its node.
    struct Entry {
        QStringList values;
        QList<qsizetype> ignored;
        int parentDepth = 0;
        qint32 nodeType = 0;
    };
    // What Save adds: the entry, its duplicate check's message, and the description its node shows.
    struct NewEntry : Entry {
        QString message;
        QString title;
        QString description;
    };

    // `lead` followed by the trimmed filter as an SQL text; empty without a filter, so blanks only count
    // as none.
    QString FilterCondition(const QString& lead) const;

    virtual QString ClassName() const { return QStringLiteral("CodeEngine"); }
    // The hierarchy table; nullptr while the engine has none, and then nothing is saved or deleted.
    virtual const HierarchyTable* Hierarchy() const { return nullptr; }
    // The entry to add below a node of type `selected`; false when nothing is added there.
    virtual bool EntryToAdd(qint32 /*selected*/, NewEntry& /*entry*/) const { return false; }
    // The entry a node of type `selected` stands for; false when such a node is no entry.
    virtual bool EntryToDelete(qint32 /*selected*/, Entry& /*entry*/) const { return false; }
    // The check for a child that is its parent code or one of its ancestors: Present refuses the entry
    // as circular, Failed ends the save.
    virtual Existence Conflict(const NewEntry& /*entry*/) const { return Existence::Absent; }
    // The key parts of an entry given by its values in the hierarchy's columns.
    virtual CodeKeyParts KeyPartsOf(const QStringList& /*values*/) const { return {}; }
    // Copies the ranges of an attached code into its holder or removes them after it was detached;
    // false when a statement failed.
    virtual bool MaintRangeOfAccountHier(const QStringList& /*values*/, bool /*attach*/) { return false; }
    // Called before the rows of a leaf entry are deleted, so the engine can read what the delete takes;
    // false when a look-up failed.
    virtual bool Detaching(const Entry& /*entry*/) { return true; }
    // Whether the Delete command stays on after an entry of this node type was removed.
    virtual bool DeleteStaysOn(qint32 /*nodeType*/) const { return true; }

    CodeEditorAccess* m_frmOwner = nullptr;

private:
    // Tells the failure's cause and reports it under the engine's location for the procedure; false.
    bool Fail(const QString& procedure) const;
    // The node of an entry, as the editor's load builds it: shown without trailing blanks, keyed by what
    // it shows, keeping the values as stored.
    TreeNode* AddNode(const NewEntry& entry) const;
    QString NodeKey(const Entry& entry) const;
};
