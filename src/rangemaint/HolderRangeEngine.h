#pragma once

#include "rangemaint/RangeEngine.h"
#include "rangemaint/RangeTable.h"

#include <QString>
#include <optional>

// What the multiplier and category engines share: account ranges held per chart of account and holder
// (a multiplier or a category), their Save, Delete and drag copy on the owner's tree, and the statement
// builders other engines use on them without an owner.
//
// Each of Save, Delete and the drag copy is one transaction: a failed look-up or statement rolls it back,
// leaves the tree as it was and answers false. None of them propagates anything.
class HolderRangeEngine : public RangeEngine {
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

    // Adds the entry of the owner's entry fields under its selected node: a chart of account under the
    // root (its placeholder row), a holder under a chart (filling the chart's placeholder) or a range under
    // a holder. A duplicate is told and leaves the insert pending.
    bool Save() override;
    // Removes the selected chart, holder or range with every row below it. A holder or chart left without
    // rows gets its placeholder back, so it stays in the table as it stays in the tree.
    bool Delete() override;
    // Copies the dragged range node into the holder node it was dropped on; the source stays.
    bool CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) override;

protected:
    // The texts that name the engine and its holders.
    struct Texts {
        QString engine;          // the error locations' prefix
        QString holderExists;    // a duplicate multiplier or category
        QString holderTitle;     // its title
        QString rangeExists;     // a duplicate range
        QString rangeNotAdded;   // a drag copy that failed
        bool saveNothingAnswers; // Save's answer when no insert is pending or the node takes no child
    };
    virtual const Texts& Words() const = 0;

private:
    // Reports the failure under the engine's location for `procedure`, keeping its description; false.
    bool Fail(const QString& procedure);

    // The description of the last failure, for the message of a failed Save.
    QString m_failure;
};
