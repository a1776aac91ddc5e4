#include "frame/frmImportLocations.h"

#include "frame/ErrorHandler.h"
#include "frame/QlxIni.h"
#include "frame/frmMain.h"
#include "frame/frmOpenConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A twip is 1/1440 inch; the window's scale on a 96-dpi screen makes 15 of them a pixel.
int twipsToPixels(int twips) {
    return twips / 15;
}

struct Column {
    const char* key;
    const char* caption;
    int widthTwips; // -1: default width, 0: hidden
};

const Column kColumns[] = {
    {"Col1", "Connection Name", 3000}, {"Col2", "Database", 3000}, {"Col3", "Server", -1},
    {"Col4", "Connection Type", -1},   {"Col5", "UserID", 0},      {"Col6", "Password", 0},
    {"Col7", "Trusted Connection", 0},
};

} // namespace

frmImportLocations::frmImportLocations(QWidget* parent) : QDialog(parent) {
    setObjectName("frmImportLocations");
    LoadedWindows::instance().Register(this);
    setWindowTitle("Import Warehouse Locations");
    setModal(false);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    lblSelFileLocation = new QLabel("Select File Location:", Frame1);
    lblFileLocation = new QLabel("File Location:", Frame1);
    txtFileLocation = new EntryBox(Frame1);
    txtFileLocation->setObjectName("txtFileLocation");
    cmdBrowse = new QPushButton("Browse", Frame1);
    cmdBrowse->setObjectName("cmdBrowse");
    Label1 = new QLabel("Master:", Frame1);
    lstMaster = new QTreeWidget(Frame1);
    lstMaster->setObjectName("lstMaster");
    Label2 = new QLabel("Local:", Frame1);
    lstLocal = new QTreeWidget(Frame1);
    lstLocal->setObjectName("lstLocal");
    cmdAdd = new QPushButton("Ad&d >", Frame1);
    cmdAdd->setObjectName("cmdAdd");
    cmdRemove = new QPushButton("< &Remove", Frame1);
    cmdRemove->setObjectName("cmdRemove");
    cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    for (QTreeWidget* list : {lstMaster, lstLocal}) {
        list->setRootIsDecorated(false);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setAllColumnsShowFocus(true);
    }

    auto* file = new QHBoxLayout;
    file->addWidget(lblFileLocation);
    file->addWidget(txtFileLocation, 1);
    file->addWidget(cmdBrowse);
    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    moves->addWidget(cmdAdd);
    moves->addWidget(cmdRemove);
    moves->addStretch(1);
    auto* lists = new QGridLayout;
    lists->addWidget(Label1, 0, 0);
    lists->addWidget(lstMaster, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(Label2, 0, 2);
    lists->addWidget(lstLocal, 1, 2);
    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(lblSelFileLocation);
    frame->addLayout(file);
    frame->addLayout(lists, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);
    resize(900, 420);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmImportLocations::cmdBrowse_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmImportLocations::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmImportLocations::cmdRemove_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmImportLocations::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmImportLocations::cmdCancel_Click);
    Form_Load();
}

void frmImportLocations::SetupLocationColumns(QTreeWidget* list) {
    list->clear();
    QStringList captions;
    for (const Column& c : kColumns)
        captions << QString::fromLatin1(c.caption);
    list->setColumnCount(int(captions.size()));
    list->setHeaderLabels(captions);
    for (int i = 0; i < int(std::size(kColumns)); ++i) {
        list->headerItem()->setData(i, Qt::UserRole, QString::fromLatin1(kColumns[i].key));
        // A hidden column still carries its values with the row.
        list->setColumnHidden(i, kColumns[i].widthTwips == 0);
        if (kColumns[i].widthTwips > 0)
            list->setColumnWidth(i, twipsToPixels(kColumns[i].widthTwips));
    }
}

void frmImportLocations::Form_Load() {
    SetupLocationColumns(lstMaster);
    SetupLocationColumns(lstLocal);
    LoadLocalLocations();
    RefreshButtons();
}

void frmImportLocations::LoadLocalLocations() {
    const QString path = QlxIni::PathIn(App::Path());
    if (QFileInfo::exists(path))
        frmOpenConnection::PopulateImportedConn(lstLocal, frmOpenConnection::ReadConnections(path), true);
}

void frmImportLocations::LoadMasterLocations() {
    QList<clsLocations> entries;
    const bool read = frmOpenConnection::ReadConnections(txtFileLocation->text(), &entries);
    frmOpenConnection::PopulateImportedConn(lstMaster, entries, false);
    if (read && lstMaster->topLevelItemCount() == 0)
        MsgBox("This file does not contain any warehouse locations.", vbExclamation + vbOKOnly, App::Title());
    RefreshButtons();
}

void frmImportLocations::RefreshButtons() {
    cmdAdd->setEnabled(lstMaster->topLevelItemCount() > 0);
    cmdRemove->setEnabled(lstLocal->topLevelItemCount() > 0);
}

void frmImportLocations::cmdBrowse_Click() {
    const QString stored = SettingsStore::GetSetting(App::Title(), "iniFileLocation", "iniFilePath", "");
    FileDialogRequest request;
    request.caption = "Import Warehouse Locations";
    request.startFolder = stored.isEmpty() ? QString() : QFileInfo(stored).absolutePath();
    // "All Files" means every file here, with or without an extension; the dialog matches ".ini" in any
    // letter case.
    request.filters = {"All Files (*)", "ini Files(*.ini)"};
    request.selectedFilter = 1;
    const QString chosen = GetOpenFileName(request);
    txtFileLocation->setText(chosen);
    if (chosen.isEmpty())
        return;
    LoadMasterLocations();
    SettingsStore::SaveSetting(App::Title(), "iniFileLocation", "iniFilePath", txtFileLocation->text());
}

void frmImportLocations::MoveSelectedRow(QTreeWidget* from, QTreeWidget* to) {
    QTreeWidgetItem* selected = from->currentItem();
    if (!selected || !selected->isSelected())
        return;
    QStringList values;
    for (int i = 0; i < from->columnCount(); ++i)
        values << selected->text(i);
    new QTreeWidgetItem(to, values);
    delete selected;
}

void frmImportLocations::cmdAdd_Click() {
    MoveSelectedRow(lstMaster, lstLocal);
    RefreshButtons();
}

void frmImportLocations::cmdRemove_Click() {
    MoveSelectedRow(lstLocal, lstMaster);
    RefreshButtons();
}

bool frmImportLocations::BuildLocalFile(QByteArray* bytes, QString* problem) const {
    QByteArray text = "[Marts]\r\n";
    for (int row = 0; row < lstLocal->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = lstLocal->topLevelItem(row);
        const QString name = item->text(0);
        const QString database = item->text(1);
        const QString server = item->text(2);
        const QString provider = item->text(3);
        const QString user = item->text(4);
        const QString password = item->text(5).trimmed(); // already in stored form
        const bool integrated = item->text(6).trimmed() == "Yes";
        const QString why = QlxIni::EntryProblem(name, provider, server, database, user, password);
        if (!why.isEmpty()) {
            *problem = QString("The connection \"%1\" cannot be written: %2").arg(name, why);
            return false;
        }
        const QString line =
            integrated ? QlxIni::IntegratedLine(row + 1, name, provider, server, database)
                       : QlxIni::LoginLine(row + 1, name, provider, server, database, user, password);
        text += line.toLatin1() + "\r\n";
    }
    *bytes = text;
    return true;
}

int frmImportLocations::UnreadLocalEntries(const QByteArray& bytes) {
    static const QRegularExpression entry(QStringLiteral("^\\s*mart\\d+="));
    int looksLikeEntries = 0;
    for (const QString& line : QString::fromLatin1(bytes).split('\n'))
        looksLikeEntries += entry.match(line).hasMatch() ? 1 : 0;
    return qMax(0, looksLikeEntries - int(QlxIni::Parse(bytes).size()));
}

void frmImportLocations::cmdOK_Click() {
    const QString path = QlxIni::PathIn(App::Path());
    const auto refuse = [](const QString& why, const QString& error) {
        Err().Raise(CurrentError::UnspecifiedError, error, "QLX.ini");
        ErrorHandler::FailWithMessage("frmImportLocations:cmdok_Click", why + ": " + error, vbExclamation);
    };
    // A file that could not be read may hold any number of entries; it is not replaced unseen.
    QByteArray current;
    QString error;
    if (QFileInfo::exists(path) && !QlxIni::ReadFile(path, &current, &error))
        return refuse(QlxIni::FileName() + " could not be read, so it is left as it is", error);
    const int unread = UnreadLocalEntries(current);
    if (unread > 0) {
        const int answer =
            MsgBox(QString("%1 holds %2 connection entr%3 that cannot be read and will be lost when it "
                           "is rewritten. Do you want to go on?")
                       .arg(QlxIni::FileName())
                       .arg(unread)
                       .arg(unread == 1 ? "y" : "ies"),
                   vbYesNo + vbQuestion, "Import Warehouse Locations");
        gMsgResponse = QString::number(answer);
        if (answer != vbYes)
            return;
    }
    QByteArray bytes;
    QString problem;
    if (!BuildLocalFile(&bytes, &problem)) {
        MsgBox(problem, vbExclamation);
        return;
    }
    const int rows = lstLocal->topLevelItemCount();
    if (rows > 0 && !QlxIni::WriteFile(path, bytes, &error))
        return refuse("The warehouse locations could not be saved", error);
    // An empty list leaves no file, but a file the user may not change stays as it is.
    if (rows == 0 && QFileInfo::exists(path) && (!QFileInfo(path).isWritable() || !QFile::remove(path)))
        return refuse("The warehouse locations could not be saved",
                      QString("Cannot delete \"%1\".").arg(QDir::toNativeSeparators(path)));
    // The connection open now may be one the new list no longer holds.
    if (rows > 0 && gDBConnection.State() == 1) {
        if (gMainForm)
            gMainForm->CloseWarehouse(this);
        else
            CloseDBConnection(this);
    }
    LoadedWindows::instance().Unload(this);
}

void frmImportLocations::cmdCancel_Click() {
    LoadedWindows::instance().Unload(this);
}
