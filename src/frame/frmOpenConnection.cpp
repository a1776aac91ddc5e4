#include "frame/frmOpenConnection.h"

#include "frame/ErrorHandler.h"
#include "frame/PasswordTable.h"
#include "frame/QlxIni.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/SystemColor.h"
#include "platform/UserDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

frmOpenConnection::frmOpenConnection(QWidget* parent) : QDialog(parent) {
    setObjectName("frmOpenConnection");
    LoadedWindows::instance().Register(this);
    setWindowTitle("Warehouse Locations");
    buildControls();
    Form_Load();
}

void frmOpenConnection::buildControls() {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    const auto label = [this](const char* name, const char* caption) {
        auto* l = new QLabel(QString::fromLatin1(caption), Frame1);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto box = [this](const char* name) {
        auto* b = new EntryBox(Frame1);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    Label1 = label("Label1", "Choose a Target Location:");
    CboLocation = new QComboBox(Frame1);
    CboLocation->setObjectName("CboLocation");
    CboLocation->setEditable(false);
    Label2 = label("Label2", "Connection Type:");
    txtConnectionType = box("txtConnectionType");
    Label3 = label("Label3", "Database s&erver name:");
    txtDatabaseServer = box("txtDatabaseServer");
    Label4 = label("Label4", "Data&base name:");
    txtDatabaseName = box("txtDatabaseName");
    lblUserID = label("lblUserID", "&User Name:");
    txtUserID = box("txtUserID");
    lblPassword = label("lblPassword", "&Password:");
    txtPassword = box("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    ChkSavePassword = new QCheckBox("Remember Password", Frame1);
    ChkSavePassword->setObjectName("ChkSavePassword");
    Label1->setBuddy(CboLocation);
    Label3->setBuddy(txtDatabaseServer);
    Label4->setBuddy(txtDatabaseName);
    lblUserID->setBuddy(txtUserID);
    lblPassword->setBuddy(txtPassword);

    auto* grid = new QGridLayout(Frame1);
    int row = 0;
    for (auto [l, w] : {std::pair<QLabel*, QWidget*>{Label1, CboLocation},
                        {Label2, txtConnectionType},
                        {Label3, txtDatabaseServer},
                        {Label4, txtDatabaseName},
                        {lblUserID, txtUserID},
                        {lblPassword, txtPassword}}) {
        grid->addWidget(l, row, 0);
        grid->addWidget(w, row, 1);
        ++row;
    }
    grid->addWidget(ChkSavePassword, row, 1);
    grid->setColumnStretch(1, 1);

    cmdOK = new QPushButton("&Open Mart...", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    // The Remove button has no action; it is kept, disabled, where users expect it.
    cmdRemove = new QPushButton("&Remove", this);
    cmdRemove->setObjectName("cmdRemove");
    cmdRemove->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRemove);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    resize(460, sizeHint().height());

    connect(CboLocation, &QComboBox::currentIndexChanged, this, [this](int) { CboLocation_Click(); });
    connect(ChkSavePassword, &QCheckBox::toggled, this, [this] { m_bSavePasswordClicked = true; });
    connect(cmdOK, &QPushButton::clicked, this, &frmOpenConnection::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOpenConnection::cmdCancel_Click);
}

QString frmOpenConnection::NoConnectionsMessage() {
    return QStringLiteral(
        "There are currently no warehouse connections for this application. You must either "
        "Create a New Warehouse\rConnection or use the Tools menu to Import Existing Warehouse "
        "Connections from other applications.");
}

bool frmOpenConnection::ReadConnections(const QString& iniFilePath, QList<clsLocations>* entries) {
    QByteArray bytes;
    QString error;
    entries->clear();
    if (!QlxIni::ReadFile(iniFilePath, &bytes, &error)) {
        Err().Raise(CurrentError::UnspecifiedError, error, "QLX.ini");
        return ErrorHandler::FailWithMessage("frmOpenConnection:LoadConnections",
                                             "The warehouse connections could not be read. " + error,
                                             vbExclamation);
    }
    *entries = QlxIni::Parse(bytes);
    return true;
}

QList<clsLocations> frmOpenConnection::ReadConnections(const QString& iniFilePath) {
    QList<clsLocations> entries;
    ReadConnections(iniFilePath, &entries);
    return entries;
}

bool frmOpenConnection::LoadConnections(const QString& iniFilePath) {
    return ReadConnections(iniFilePath, &sDataMart);
}

void frmOpenConnection::PopulateLocalConn(QComboBox* List, const QList<clsLocations>& entries) {
    // Filling the list chooses nothing.
    const QSignalBlocker quiet(List);
    for (const clsLocations& e : entries)
        List->addItem(e.sLocName);
    List->setCurrentIndex(-1);
}

void frmOpenConnection::PopulateImportedConn(QTreeWidget* List, const QList<clsLocations>& entries,
                                             bool LocalConn) {
    List->clear();
    int n = 0;
    for (const clsLocations& e : entries) {
        auto* item = new QTreeWidgetItem(List, QStringList{e.sLocName, e.sDatabase, e.sServer, e.sProvider,
                                                           LocalConn ? e.sUser : QStringLiteral("sa"),
                                                           LocalConn ? e.sPwd : QString(), e.sTrustConn});
        item->setData(0, Qt::UserRole, QString("Primary%1").arg(n++));
    }
}

void frmOpenConnection::SetUserPassword(QLabel* Label, QLineEdit* Text, bool Enabled,
                                        const QString& BackColor) {
    Label->setEnabled(Enabled);
    Text->setEnabled(Enabled);
    // A system colour is the system's, not what this box was last given: greyed once, a box must still
    // find its way back to white.
    SystemColor::SetBackColor(Text, SystemColor::Resolve(BackColor, Text->parentWidget()));
}

bool frmOpenConnection::NeedsNoLogin(const QString& provider) {
    return provider.trimmed().toUpper() == "SQLITE";
}

void frmOpenConnection::Form_Load() {
    const QString path = QlxIni::PathIn(App::Path());
    m_unreadable = false;
    if (!QFileInfo::exists(path))
        return;
    m_unreadable = !LoadConnections(path);
    PopulateLocalConn(CboLocation, sDataMart);
    txtConnectionType->setEnabled(false);
    txtDatabaseServer->setEnabled(false);
    txtDatabaseName->setEnabled(false);
    CboLocation->setFocus();
}

void frmOpenConnection::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Told once per showing, after the dialog is on the screen.
    if (!m_activated)
        QTimer::singleShot(0, this, &frmOpenConnection::Form_Activate);
}

void frmOpenConnection::Form_Activate() {
    if (m_activated)
        return;
    m_activated = true;
    // An unreadable file has been told about already; it may well hold connections.
    if (CboLocation->count() == 0 && !m_unreadable)
        tellNoConnections();
}

void frmOpenConnection::tellNoConnections() {
    gMsgResponse = QString::number(MsgBox(NoConnectionsMessage(), vbInformation, App::Title()));
}

void frmOpenConnection::CboLocation_Click() {
    m_bSavePasswordClicked = false;
    const int position = CboLocation->currentIndex();
    const clsLocations* found = nullptr;
    for (const clsLocations& e : sDataMart) {
        if (e.sMartNo.toInt() == position + 1 && e.sLocName == CboLocation->currentText()) {
            found = &e;
            break;
        }
    }
    const QString activeBorder = SystemColor::Text(SystemColor::ActiveBorder);
    const QString windowBackground = SystemColor::Text(SystemColor::WindowBackground);
    if (found) {
        sDBLocation = *found;
        const bool noLogin = NeedsNoLogin(found->sProvider);
        txtConnectionType->setText(found->sProvider);
        txtDatabaseServer->setText(found->sServer);
        if (found->sDatabase.trimmed().isEmpty() || noLogin) {
            Label3->setText("&Database Alias:");
            Label4->setEnabled(false);
            txtDatabaseName->clear();
            SystemColor::SetBackColor(txtDatabaseName, SystemColor::BackColor(Frame1));
        } else {
            Label3->setText("Database s&erver name:");
            Label4->setEnabled(true);
            txtDatabaseName->setText(found->sDatabase);
            // The colour of an enabled box, whatever state the user-name box is left in by the last entry.
            SystemColor::SetBackColor(txtDatabaseName, SystemColor::Resolve(windowBackground, Frame1));
        }
        if (found->sTrustConn == "Yes" || noLogin) {
            txtUserID->clear();
            txtPassword->clear();
            SetUserPassword(lblUserID, txtUserID, false, activeBorder);
            SetUserPassword(lblPassword, txtPassword, false, activeBorder);
            const bool integrated = found->sTrustConn == "Yes";
            ChkSavePassword->setText(integrated ? "Windows Integrated Security" : "Remember Password");
            ChkSavePassword->setChecked(integrated);
            ChkSavePassword->setEnabled(false);
            gIntegratedSecurity = integrated;
        } else {
            txtPassword->setText(DecryptPassword(found->sPwd).trimmed());
            txtUserID->setText(found->sUser);
            SetUserPassword(lblUserID, txtUserID, true, windowBackground);
            SetUserPassword(lblPassword, txtPassword, true, windowBackground);
            ChkSavePassword->setText("Remember Password");
            ChkSavePassword->setChecked(!found->sPwd.isEmpty());
            ChkSavePassword->setEnabled(true);
            gIntegratedSecurity = false;
        }
        m_sMartKey = QString("mart%1").arg(position + 1);
    }
    if (txtUserID->isEnabled() && txtUserID->text().trimmed().isEmpty())
        txtUserID->setFocus();
    else if (txtPassword->isEnabled() && txtPassword->text().isEmpty())
        txtPassword->setFocus();
    else
        cmdOK->setFocus();
}

void frmOpenConnection::cmdOK_Click() {
    if (CboLocation->count() == 0) {
        // A file that could not be read is tried again, and told again if it still cannot be.
        if (m_unreadable)
            Form_Load();
        else
            tellNoConnections();
        return;
    }
    if (CboLocation->currentIndex() < 0) {
        gMsgResponse =
            QString::number(MsgBox("Please specify the location of the warehouse that you want to open.",
                                   vbExclamation, App::Title()));
        return;
    }
    if (!OpenDBConecction(ConnectionTextFromBoxes()))
        return;
    if (gMainForm) {
        gMainForm->ShowWarehouseOpen();
        gMainForm->Command("mnuImportLocations")->setEnabled(false);
    }
    if (!gIntegratedSecurity && m_bSavePasswordClicked && !NeedsNoLogin(sDBLocation.sProvider))
        SavePassword(txtUserID->text(), txtPassword->text());
    accept();
}

QString frmOpenConnection::ConnectionTextFromBoxes() const {
    return QlxIni::OpenConnectionText(txtConnectionType->text(), txtDatabaseServer->text(),
                                      txtDatabaseName->text(), txtUserID->text(), txtPassword->text(),
                                      gIntegratedSecurity);
}

void frmOpenConnection::cmdCancel_Click() {
    reject();
}

bool frmOpenConnection::SavePassword(const QString& UserId, const QString& Password) {
    // A user name that would read back as something else is refused as it would be in a new entry.
    const QString user = UserId.trimmed();
    const QString problem = QlxIni::ValueProblem("user name", user);
    if (!problem.isEmpty()) {
        MsgBox(problem, vbExclamation);
        return false;
    }
    const QString path = QlxIni::PathIn(App::Path());
    QString stored;
    if (ChkSavePassword->isChecked()) {
        const QString clear = Password.trimmed();
        if (PasswordTable::instance().covers(clear))
            stored = EncryptPassword(clear);
        else
            MsgBox(
                "The password holds a character that cannot be remembered, so it is not stored. You will be "
                "asked for it when you open this connection.",
                vbInformation);
    }
    // The entry is the one the reader listed at the chosen position, wherever its line stands.
    const int number = m_sMartKey.trimmed().mid(4).toInt();
    QByteArray bytes;
    QString error;
    if (QlxIni::ReadFile(path, &bytes, &error)) {
        QString problem;
        if (number < 1 || QlxIni::Parse(bytes).value(number - 1).sLocName != sDBLocation.sLocName ||
            !QlxIni::RewriteCredentials(bytes, number, user, stored, &problem))
            error = !problem.isEmpty()
                        ? problem
                        : QString("The entry %1 is no longer in \"%2\".").arg(m_sMartKey.trimmed(), path);
        else
            QlxIni::WriteFile(path, bytes, &error);
    }
    if (error.isEmpty())
        return true;
    Err().Raise(CurrentError::UnspecifiedError, error, "QLX.ini");
    return ErrorHandler::FailWithMessage("frmOpenConnection:SavePassword",
                                         "The user name and password could not be stored: " + error,
                                         vbExclamation);
}
