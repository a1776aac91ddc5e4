#pragma once

#include <QString>
#include <QStringList>

class QTreeWidget;
class RangeEditorAccess;
class Recordset;
class TreeNode;

// An existence check that could not run is neither answer: the caller ends its action on Failed.
enum class Existence { Absent, Present, Failed };

// The columns of an engine's tree query, from the chart of account (or business level) down to the range.
// `level` is empty for the trees without level nodes.
struct RangeTreeColumns {
    QString top;
    QString level;
    QString code;
    QString description;
    QString from;
    QString to;
};

// The one interface the Range Maintenance editor calls on its engine, whatever the maintenance type: the
// tree query, the account list, and the edit operations. Engines created without an owner (by other
// engines) only build statements and check existence.
class RangeEngine {
public:
    virtual ~RangeEngine() = default;

    void OwnerForm(RangeEditorAccess* frm) { m_owner = frm; }
    RangeEditorAccess* Owner() const { return m_owner; }

    // The statement that loads the editor's tree and the names of its columns.
    virtual QString TreeSQL() const { return {}; }
    virtual RangeTreeColumns TreeColumns() const { return {}; }
    // Refills the owner's account list for the selection; `blocked` is 1 to include blocked accounts.
    virtual void FillAccountList(const QString& /*coa*/, const QString& /*level*/, const QString& /*code*/,
                                 qint16 /*blocked*/) {}
    // The values the account list depends on, joined: the list is refilled when they change.
    virtual QString AccountListKey(const QString& coa, const QString& level, const QString& code) const;

    // The widths the warehouse declares for the From and To columns (-1 where it declares none); false
    // when they could not be read.
    virtual bool BoundSizes(int& /*from*/, int& /*to*/) const { return false; }

    // The edit operations on the owner's selection and entry. Each answers false when nothing was done.
    virtual bool Save() { return false; }
    virtual bool Delete() { return false; }
    virtual bool CopyDraggedRangOfAccount(TreeNode* /*dragged*/, TreeNode* /*target*/) { return false; }

    // Carries a range of a code up the level hierarchy (and, for account levels, into the multipliers and
    // categories holding the codes), as Save does; Synchronize calls them for ranges already stored. An
    // engine without a hierarchy has nothing to carry. Each answers false after reporting a failure.
    virtual bool CopiedUpRangeOfAccountHier(const QString& /*LvlType*/, const QString& /*COA*/,
                                            const QString& /*Level*/, const QString& /*Code*/,
                                            const QString& /*AccountFr*/, const QString& /*AccountTo*/) {
        return true;
    }
    virtual bool CopiedUpRangeOfAccountMultiHier(const QString& /*LvlType*/, const QString& /*COA*/,
                                                 const QString& /*Level*/, const QString& /*Code*/,
                                                 const QString& /*AccountFr*/, const QString& /*AccountTo*/) {
        return true;
    }
    virtual bool CopiedUpRangeOfAccountCategoryHier(const QString& /*LvlType*/, const QString& /*COA*/,
                                                    const QString& /*Level*/, const QString& /*Code*/,
                                                    const QString& /*AccountFr*/,
                                                    const QString& /*AccountTo*/) {
        return true;
    }

    // Carries every range of a level's codes (`Code` empty) or of one code up the level hierarchy (and, for
    // account levels, into the multipliers and categories), with the outcome of carrying each range on its
    // own, in a few statements whatever the number of codes and ranges: Synchronize of a level or a code.
    // Answers false after reporting a failure.
    virtual bool CopiedUpRangesOfCodes(const QString& /*LvlType*/, const QString& /*COA*/,
                                       const QString& /*Level*/, const QString& /*Code*/) {
        return true;
    }

    // Reports a failed look-up under the caller's location with the database's error; answers false.
    static bool FailLookup(const QString& location);
    // The same for a failed action, whose user is told the database's words first (once the action is
    // undone, within one); the caller then says what was cancelled.
    static bool FailTelling(const QString& location);

protected:
    // " Where '<account>' between <from> and <to>" with `lead` in place of " Where "; empty without a
    // filter, so a filter of blanks only counts as none.
    QString FilterCondition(const QString& lead, const QString& fromColumn, const QString& toColumn) const;

    // Prepares a fill of the account list: tree off, list cleared, one yield. Answers the list, or nullptr
    // without an owner.
    QTreeWidget* BeginListFill();
    void EndListFill();
    // Adds one row: the first value is the row's text, the others its sub-items; NULL shows as "".
    static void AddListRow(QTreeWidget* list, const Recordset& rs, const QStringList& columns);

    // The number after every capital "L" is removed and blanks trimmed; false when it is no whole number.
    static bool LevelNumber(const QString& level, int& number);

    // Makes sure the current error holds the database's error after a failed query.
    static void KeepDatabaseError();

    RangeEditorAccess* m_owner = nullptr;
};
