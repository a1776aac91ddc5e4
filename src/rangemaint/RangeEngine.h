#pragma once

#include <QString>

class QTreeWidget;
class RangeEditorAccess;
class Recordset;

// What the four range engines share: the owning editor, and the way they fill its account list and its
// tree query's filter. Engines created without an owner (by other engines) only build statements.
class RangeEngine {
public:
    virtual ~RangeEngine() = default;

    void OwnerForm(RangeEditorAccess* frm) { m_owner = frm; }
    RangeEditorAccess* Owner() const { return m_owner; }

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

    RangeEditorAccess* m_owner = nullptr;
};
