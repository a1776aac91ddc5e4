#include "frame/frmNewConnection.h"

#include "frame/ErrorHandler.h"
#include "frame/PasswordTable.h"
#include "frame/QlxIni.h"
#include "frame/frmMain.h"
#include "frame/frmOpenConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/SystemColor.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Position in the type list and the provider written for it; nothing is inferred from a position that
// is not listed here.
struct ConnectionType {
    const char* caption;
    const char* provider;
};

const ConnectionType kTypes[] = {
    {"Microsoft SQL Server (via OLE-DB)", "SQLOLEDB"},
    {"Oracle", "MSDAORA"},
    {"SQLite warehouse file", "SQLITE"},
    {"ODBC data source", "MSDASQL"},
};

enum { SqlServer = 0, Oracle = 1, SqliteFile = 2, DataSource = 3 };

} // namespace

frmNewConnection::frmNewConnection(QWidget* parent) : QDialog(parent) {
    setObjectName("frmNewConnection");
    LoadedWindows::instance().Register(this);
    setWindowTitle("Add New Warehouse Location");
    setModal(false);
    buildControls();
    Form_Load();
}

void frmNewConnection::buildControls() {
    Frame1 = new QGroupBox("Connection Parameters", this);
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
    Label1 = label("Label1", "Connection Name:");
    txtConnectionName = box("txtConnectionName");
    Label2 = label("Label2", "Connection Type:");
    cboConnectionType = new QComboBox(Frame1);
    cboConnectionType->setObjectName("cboConnectionType");
    Label3 = label("Label3", "Database s&erver name:");
    txtDatabaseServer = box("txtDatabaseServer");
    cmdBrowse = new QPushButton("B&rowse...", Frame1);
    cmdBrowse->setObjectName("cmdBrowse");
    Label4 = label("Label4", "Data&base name:");
    txtDatabaseName = box("txtDatabaseName");
    chkIntegratedSecurity = new QCheckBox("Windows Integrated Security", Frame1);
    chkIntegratedSecurity->setObjectName("chkIntegratedSecurity");
    lblUserID = label("lblUserID", "&UserName:");
    txtUserID = box("txtUserID");
    lblPassword = label("lblPassword", "&Password:");
    txtPassword = box("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    ChkSavePassword = new QCheckBox("Remember Password", Frame1);
    ChkSavePassword->setObjectName("ChkSavePassword");
    Label2->setBuddy(cboConnectionType);
    Label3->setBuddy(txtDatabaseServer);
    Label4->setBuddy(txtDatabaseName);
    lblUserID->setBuddy(txtUserID);
    lblPassword->setBuddy(txtPassword);

    auto* server = new QHBoxLayout;
    server->addWidget(txtDatabaseServer, 1);
    server->addWidget(cmdBrowse);
    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtConnectionName, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(cboConnectionType, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addLayout(server, 2, 1);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(txtDatabaseName, 3, 1);
    grid->addWidget(chkIntegratedSecurity, 4, 1);
    grid->addWidget(lblUserID, 5, 0);
    grid->addWidget(txtUserID, 5, 1);
    grid->addWidget(lblPassword, 6, 0);
    grid->addWidget(txtPassword, 6, 1);
    grid->addWidget(ChkSavePassword, 7, 1);
    grid->setColumnStretch(1, 1);

    cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    resize(480, sizeHint().height());

    connect(cboConnectionType, &QComboBox::currentIndexChanged, this,
            [this](int) { cboConnectionType_Click(); });
    connect(chkIntegratedSecurity, &QCheckBox::toggled, this, [this] { chkIntegratedSecurity_Click(); });
    connect(cmdBrowse, &QPushButton::clicked, this, &frmNewConnection::cmdBrowse_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmNewConnection::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmNewConnection::cmdCancel_Click);
}

QString frmNewConnection::ProviderAt(int index) {
    if (index < 0 || index >= int(std::size(kTypes)))
        return {};
    return QString::fromLatin1(kTypes[index].provider);
}

void frmNewConnection::PopulateConnectionTypes() {
    for (const ConnectionType& t : kTypes)
        cboConnectionType->addItem(QString::fromLatin1(t.caption));
}

void frmNewConnection::Form_Load() {
    PopulateConnectionTypes();
    cboConnectionType->setCurrentIndex(SqlServer);
    cboConnectionType_Click();
}

void frmNewConnection::setLoginBoxes(bool enabled) {
    const QString colour =
        SystemColor::Text(enabled ? SystemColor::WindowBackground : SystemColor::ActiveBorder);
    if (!enabled) {
        txtUserID->clear();
        txtPassword->clear();
    }
    frmOpenConnection::SetUserPassword(lblUserID, txtUserID, enabled, colour);
    frmOpenConnection::SetUserPassword(lblPassword, txtPassword, enabled, colour);
    if (!enabled)
        ChkSavePassword->setChecked(false);
    ChkSavePassword->setEnabled(enabled);
}

void frmNewConnection::setDatabaseBox(bool enabled) {
    Label4->setEnabled(enabled);
    txtDatabaseName->clear();
    txtDatabaseName->setEnabled(enabled);
    SystemColor::SetBackColor(
        txtDatabaseName, SystemColor::BackColor(enabled ? static_cast<QWidget*>(txtDatabaseServer) : Frame1));
}

void frmNewConnection::cboConnectionType_Click() {
    const int index = cboConnectionType->currentIndex();
    const char* serverLabel = nullptr;
    switch (index) {
    case SqlServer:
        serverLabel = "Database s&erver name:";
        break;
    case Oracle:
        serverLabel = "&Database Alias:";
        break;
    case SqliteFile:
        serverLabel = "Warehouse &file:";
        break;
    case DataSource:
        serverLabel = "ODBC &data source:";
        break;
    default:
        return;
    }
    Label3->setText(QString::fromLatin1(serverLabel));
    txtDatabaseServer->setEnabled(true);
    txtDatabaseServer->clear();
    cmdBrowse->setVisible(index == SqliteFile);
    setDatabaseBox(index == SqlServer);
    chkIntegratedSecurity->setChecked(false);
    chkIntegratedSecurity->setEnabled(index == SqlServer);
    // A warehouse file and a data source bring their own access; there is nothing to sign in with.
    setLoginBoxes(index == SqlServer || index == Oracle);
}

void frmNewConnection::chkIntegratedSecurity_Click() {
    if (chkIntegratedSecurity->isChecked()) {
        setLoginBoxes(false);
        return;
    }
    const int index = cboConnectionType->currentIndex();
    setLoginBoxes(index == SqlServer || index == Oracle);
}

void frmNewConnection::cmdBrowse_Click() {
    FileDialogRequest request;
    request.caption = "Choose a Warehouse File";
    const QString current = txtDatabaseServer->text().trimmed();
    request.startFolder = current.isEmpty() ? App::Path() : QFileInfo(current).absolutePath();
    request.filters = {"All Files (*)", "SQLite warehouse files (*.db *.DB *.sqlite *.SQLITE)"};
    request.selectedFilter = 1;
    const QString chosen = GetOpenFileName(request);
    if (!chosen.isEmpty())
        txtDatabaseServer->setText(chosen);
}

QString frmNewConnection::Provider() const {
    return ProviderAt(cboConnectionType->currentIndex());
}

QString frmNewConnection::Server() const {
    const QString server = txtDatabaseServer->text().trimmed();
    if (cboConnectionType->currentIndex() == SqlServer && server.compare("local", Qt::CaseInsensitive) == 0)
        return QStringLiteral("(local)");
    return server;
}

QString frmNewConnection::ConnectionTextFromBoxes() const {
    return QlxIni::NewConnectionText(Provider(), Server(), txtDatabaseName->text().trimmed(),
                                     txtUserID->text().trimmed(), txtPassword->text().trimmed(),
                                     chkIntegratedSecurity->isChecked());
}

void frmNewConnection::cmdOK_Click() {
    const QString name = txtConnectionName->text().trimmed();
    const QString provider = Provider();
    const QString server = Server();
    const QString database = txtDatabaseName->text().trimmed();
    const QString user = txtUserID->text().trimmed();
    const bool remember = ChkSavePassword->isChecked();
    QString password = txtPassword->text().trimmed();
    gIntegratedSecurity = chkIntegratedSecurity->isChecked();
    // A connection that could not be written down is not worth opening. What is written is the stored
    // form of a remembered password, and no password at all otherwise.
    const QString stored =
        remember && PasswordTable::instance().covers(password) ? EncryptPassword(password) : QString();
    const QString problem = QlxIni::EntryProblem(name, provider, server, database, user, stored);
    if (!problem.isEmpty()) {
        MsgBox(problem, vbExclamation);
        return;
    }
    // Whatever comes of the new connection, the old one goes first, with the editors working on it.
    // Without one there is nothing to close, and the user's other windows stay.
    if (gDBConnection.State() == 1 && gMainForm)
        gMainForm->CloseWarehouse(this);
    else if (gDBConnection.State() == 1)
        CloseDBConnection(this);
    else
        gDBConnection.SetNothing();
    if (!ValidateConecction(provider, server, database, user, password, gIntegratedSecurity))
        return;
    if (!remember)
        password.clear();
    QString why;
    if (!AddNewConnection(name, provider, server, database, user, password, remember, gIntegratedSecurity,
                          &why)) {
        if (gMainForm)
            gMainForm->ShowWarehouseOpen();
        MsgBox("The connection is open, but it could not be added to " + QlxIni::FileName() +
                   (why.isEmpty() ? QString(".") : ": " + why),
               vbExclamation);
        return;
    }
    if (gMainForm)
        gMainForm->ShowWarehouseOpen();
    LoadedWindows::instance().Unload(this);
}

void frmNewConnection::cmdCancel_Click() {
    LoadedWindows::instance().Unload(this);
}
