#pragma once

#include <QDialog>

class EntryBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// The non-modal dialog that copies warehouse connections from another configuration file into QLX.ini:
// the chosen file's entries (master) beside the program's own (local); OK rewrites the local file from
// the local list.
class frmImportLocations : public QDialog {
    Q_OBJECT
public:
    explicit frmImportLocations(QWidget* parent = nullptr);

    void Form_Load();
    void cmdBrowse_Click();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The whole new QLX.ini for the local list; false (with `problem` set) when a row cannot be written.
    bool BuildLocalFile(QByteArray* bytes, QString* problem) const;

    QGroupBox* Frame1 = nullptr;
    QLabel* lblSelFileLocation = nullptr;
    QLabel* lblFileLocation = nullptr;
    EntryBox* txtFileLocation = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* Label1 = nullptr;
    QTreeWidget* lstMaster = nullptr;
    QLabel* Label2 = nullptr;
    QTreeWidget* lstLocal = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void SetupLocationColumns(QTreeWidget* list);
    void LoadLocalLocations();
    void LoadMasterLocations();
    void RefreshButtons();
    static void MoveSelectedRow(QTreeWidget* from, QTreeWidget* to);
    // Lines of the file that look like entries but that the reader never reaches.
    static int UnreadLocalEntries(const QByteArray& bytes);
};
