#pragma once

#include "services/LookupList.h"
#include "services/LookupSettings.h"

#include <QDialog>

class QLabel;
class EntryBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The modal lookup dialog of every lookup button: it lists the distinct rows of one table, lets the user
// pick one, and for the code dictionaries CS_SOURCE and CS_CAT_DESC also add, change and delete entries.
//
// A caller creates a fresh dialog, fills the public settings (which does not load it), sets gLookupOK,
// and shows it with Show(). The dialog loads, reading its list, on the first use of a control accessor
// or at the show; a list that cannot be read clears gLookupOK. OK and Cancel close it; the caller then
// reads m_OK and m_colSelection and releases it.
class frmLookup : public QDialog, public LookupSettings {
    Q_OBJECT
public:
    explicit frmLookup(QWidget* parent = nullptr);
    ~frmLookup() override;

    // Loads the dialog when it is not loaded and runs it modally; answers the dialog's result.
    int Show();
    // The load sequence: entry boxes, caption, column headers, the list, the box limits and the
    // preselection. Runs again after the dialog has closed.
    void Form_Load();
    bool IsLoaded() const { return m_loaded; }

    // The controls; each use loads the dialog first, so a caller that disables or locks them works on
    // the loaded dialog.
    QPushButton* cmdAdd();
    QPushButton* cmdDelete();
    QPushButton* cmdClear();
    QPushButton* cmdOK();
    QPushButton* cmdClose();
    QLineEdit* txtCode();
    QLineEdit* txtDesc();
    QLabel* lblCode();
    QLabel* lblDesc();
    QTreeWidget* ctlListView();

    // The handlers of the buttons and the list.
    void ctlListView_ItemClick();
    void ctlListView_DblClick();
    void cmdOK_Click();
    void cmdClose_Click();
    void cmdAdd_Click();
    void cmdClear_Click();
    void cmdDelete_Click();

    // Finds the code in the list (exact code first, else the first code that begins with it), selects it
    // and handles it as a click; answers the item or nullptr.
    QTreeWidgetItem* SelectListItem(QTreeWidget* list, const QString& code);
    bool CodeExistsInList(QTreeWidget* list, const QString& code) const;
    // True when the entry boxes may be saved; otherwise the reason has been shown.
    bool ValidateEntry();
    // Prepares the code box for a new level: a protected "L" followed by the user's characters.
    void ResetCodeInputMask();

    // True while the boxes show a picked row (Add acts as Accept).
    bool IsModify() const { return mb_Modify; }
    const LookupList& List() const { return m_lookup; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void ensureLoaded();
    void SetEntryEditable();
    void SetupColumnHeaders();
    // Room for the captions of the entry boxes and the code column, however long they are.
    void FitCaptions();
    bool OpenRecordset();
    void FillListView();
    void SetEntryFieldLimits();
    // Back to add mode with empty boxes (the Clear button's work, also when the button is disabled).
    void clearEntry();
    void refreshList(const QString& select);
    const LookupList::Row* selectedRow() const;
    void refuse(QLineEdit* box, const QString& message);

    LookupList m_lookup;
    bool m_loaded = false;
    bool mb_Modify = false;
    // The user has typed into an entry box since the last pick or Clear.
    bool m_entryTyped = false;

    QLabel* m_lblCode = nullptr;
    EntryBox* m_txtCode = nullptr;
    QLabel* m_lblDesc = nullptr;
    EntryBox* m_txtDesc = nullptr;
    QTreeWidget* m_ctlListView = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdClose = nullptr;
};
