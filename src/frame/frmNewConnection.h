#pragma once

#include <QDialog>

class EntryBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The non-modal dialog that defines a new warehouse connection, tries it and, once it opens, adds it to
// QLX.ini.
class frmNewConnection : public QDialog {
    Q_OBJECT
public:
    explicit frmNewConnection(QWidget* parent = nullptr);

    // The provider of each entry of the connection type list, by its position.
    static QString ProviderAt(int index);

    void PopulateConnectionTypes();
    void Form_Load();
    void cboConnectionType_Click();
    void chkIntegratedSecurity_Click();
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The values OK uses, taken from the boxes as they stand.
    QString Provider() const;
    QString Server() const;
    // The connection text OK tries.
    QString ConnectionTextFromBoxes() const;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    EntryBox* txtConnectionName = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboConnectionType = nullptr;
    QLabel* Label3 = nullptr;
    EntryBox* txtDatabaseServer = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* Label4 = nullptr;
    EntryBox* txtDatabaseName = nullptr;
    QCheckBox* chkIntegratedSecurity = nullptr;
    QLabel* lblUserID = nullptr;
    EntryBox* txtUserID = nullptr;
    QLabel* lblPassword = nullptr;
    EntryBox* txtPassword = nullptr;
    QCheckBox* ChkSavePassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void buildControls();
    void setLoginBoxes(bool enabled);
    void setDatabaseBox(bool enabled);
};
