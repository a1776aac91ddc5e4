#pragma once

#include "frame/clsLocations.h"

#include <QDialog>
#include <QList>

class EntryBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The modal dialog that opens one of the warehouse connections listed in QLX.ini. Its list helpers are
// static, so the other connection dialogs use them without a hidden instance.
class frmOpenConnection : public QDialog {
    Q_OBJECT
public:
    explicit frmOpenConnection(QWidget* parent = nullptr);

    // The entries of the file at `iniFilePath`, in file order. A file that cannot be read is logged and
    // the user told; it answers false and no entries.
    static bool ReadConnections(const QString& iniFilePath, QList<clsLocations>* entries);
    static QList<clsLocations> ReadConnections(const QString& iniFilePath);
    // Fills sDataMart from the file.
    bool LoadConnections(const QString& iniFilePath);
    // Rewrites the selected entry's user name and stored password (or removes the password when
    // Remember Password is not ticked). False when the file could not be rewritten.
    bool SavePassword(const QString& UserId, const QString& Password);

    static void PopulateLocalConn(QComboBox* List, const QList<clsLocations>& entries);
    // One row per entry: the name, then database, server, provider, user, stored password and the
    // integrated-security mark; entries listed for import carry the user "sa" and no password.
    static void PopulateImportedConn(QTreeWidget* List, const QList<clsLocations>& entries, bool LocalConn);
    static void SetUserPassword(QLabel* Label, QLineEdit* Text, bool Enabled, const QString& BackColor);

    void Form_Load();
    void Form_Activate();
    void CboLocation_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    QList<clsLocations> sDataMart;
    clsLocations sDBLocation;

    QLabel* Label1 = nullptr;
    QComboBox* CboLocation = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtConnectionType = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtDatabaseServer = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtDatabaseName = nullptr;
    QLabel* lblUserID = nullptr;
    EntryBox* txtUserID = nullptr;
    QLabel* lblPassword = nullptr;
    EntryBox* txtPassword = nullptr;
    QCheckBox* ChkSavePassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdRemove = nullptr;
    QGroupBox* Frame1 = nullptr;

    static QString NoConnectionsMessage();
    // The connection text that Open sends, built from the boxes as they stand.
    QString ConnectionTextFromBoxes() const;

    QString MartKey() const { return m_sMartKey; }
    bool SavePasswordClicked() const { return m_bSavePasswordClicked; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void tellNoConnections();
    // Entries that take no login: a local warehouse file.
    static bool NeedsNoLogin(const QString& provider);

    QString m_sMartKey;
    bool m_bSavePasswordClicked = false;
    bool m_activated = false;
    bool m_unreadable = false; // QLX.ini is there but could not be read: it has entries for all we know
};
