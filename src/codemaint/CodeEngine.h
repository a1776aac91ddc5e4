#pragma once

#include <QString>

class CodeEditorAccess;

// What the two code engines offer their editor, which calls them through this interface only: the
// statement its tree is built from, and the writing of a new entry and the removal of the selected one.
class CodeEngine {
public:
    virtual ~CodeEngine() = default;

    void OwnerForm(CodeEditorAccess* frm) { m_frmOwner = frm; }
    CodeEditorAccess* Owner() const { return m_frmOwner; }

    // The tree query of the editor's type; empty when the engine has none.
    virtual QString TreeStatement() const = 0;
    // Writes the pending entry below the selected node; false when it was not written.
    virtual bool Save();
    // Removes the selected entry; false when it was not removed.
    virtual bool Delete();

protected:
    // `lead` followed by the trimmed filter as an SQL text; empty without a filter, so blanks only count
    // as none.
    QString FilterCondition(const QString& lead) const;

    CodeEditorAccess* m_frmOwner = nullptr;
};
