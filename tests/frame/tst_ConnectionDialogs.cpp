#include "frame/QlxIni.h"
#include "frame/clsDBConnection.h"
#include "frame/frmImportLocations.h"
#include "frame/frmMain.h"
#include "frame/frmNewConnection.h"
#include "frame/frmOpenConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/ConnectionText.h"
#include "platform/EntryBox.h"
#include "platform/LoadedWindows.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

bool warehouseShownOpen() {
    return gMainForm->MaintenanceMenu(1)->isEnabled() && !gMainForm->Command("mnuOPenMart")->isEnabled() &&
           gMainForm->Command("mnuCloseMart")->isEnabled();
}

bool warehouseShownClosed() {
    return !gMainForm->MaintenanceMenu(1)->isEnabled() && gMainForm->Command("mnuOPenMart")->isEnabled() &&
           !gMainForm->Command("mnuCloseMart")->isEnabled();
}

bool loaded(const QWidget* w) {
    return LoadedWindows::instance().IsLoaded(w);
}

void select(QTreeWidget* list, int i) {
    list->setCurrentItem(list->topLevelItem(i));
    list->topLevelItem(i)->setSelected(true);
}

} // namespace

class tst_ConnectionDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void connectionTypesSetTheBoxes_data();
    void connectionTypesSetTheBoxes();
    void refusedEntriesChangeNothing_data();
    void refusedEntriesChangeNothing();
    void aRefusedValueIsNamedAsItsBoxReads_data();
    void aRefusedValueIsNamedAsItsBoxReads();
    void addingAConnection_data();
    void addingAConnection();
    void importWritesTheLocalListInOrder();
    void importKeepsWhatItCannotShow_data();
    void importKeepsWhatItCannotShow();
    void browseRemembersTheFile();
    void theIniFilterListsIniFilesInAnyCase();
    void importClosesAnOpenConnection();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_ConnectionDialogs::connectionTypesSetTheBoxes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QList<bool>>("enabled"); // database, integrated security, login; browse shown
    QTest::addColumn<QString>("local");       // the server " LOCAL " names: this machine for SQL Server only
    QTest::newRow("SQL Server") << 0 << "SQLOLEDB" << QList<bool>{true, true, true, false} << "(local)";
    QTest::newRow("Oracle") << 1 << "MSDAORA" << QList<bool>{false, false, true, false} << "LOCAL";
    QTest::newRow("SQLite file") << 2 << "SQLITE" << QList<bool>{false, false, false, true} << "LOCAL";
    QTest::newRow("ODBC data source") << 3 << "MSDASQL" << QList<bool>{false, false, false, false} << "LOCAL";
}

void tst_ConnectionDialogs::connectionTypesSetTheBoxes() {
    QFETCH(int, index);
    QFETCH(QString, provider);
    QFETCH(QList<bool>, enabled);
    QFETCH(QString, local);
    frmNewConnection dialog;
    dialog.cboConnectionType->setCurrentIndex(index == 0 ? 1 : 0);
    dialog.txtDatabaseServer->setText("srv");
    dialog.txtDatabaseName->setText("db");
    dialog.cboConnectionType->setCurrentIndex(index);
    QCOMPARE(dialog.Provider(), provider);
    QVERIFY(dialog.txtDatabaseServer->text().isEmpty() && dialog.txtDatabaseName->text().isEmpty());
    QCOMPARE(QList<bool>({dialog.txtDatabaseName->isEnabled(), dialog.chkIntegratedSecurity->isEnabled(),
                          dialog.txtUserID->isEnabled(), dialog.cmdBrowse->isVisibleTo(&dialog)}),
             enabled);
    QCOMPARE(dialog.txtPassword->isEnabled(), enabled[2]);
    QCOMPARE(dialog.ChkSavePassword->isEnabled(), enabled[2]);
    dialog.txtDatabaseServer->setText(" LOCAL ");
    QCOMPARE(dialog.Server(), local);
    QCOMPARE(ConnectionText::Parse(dialog.ConnectionTextFromBoxes()).DataSource, local);
    if (enabled[1]) {
        dialog.txtDatabaseServer->setText("localhost");
        QCOMPARE(dialog.Server(), QString("localhost"));
        dialog.txtUserID->setText("u");
        dialog.ChkSavePassword->setChecked(true);
        dialog.chkIntegratedSecurity->setChecked(true);
        QVERIFY(!dialog.txtUserID->isEnabled() && dialog.txtUserID->text().isEmpty());
        QVERIFY(!dialog.ChkSavePassword->isChecked() && !dialog.ChkSavePassword->isEnabled());
        dialog.chkIntegratedSecurity->setChecked(false);
        QVERIFY(dialog.txtUserID->isEnabled() && dialog.ChkSavePassword->isEnabled());
    }
}

// Whatever stops an entry, QLX.ini keeps its bytes, nothing is opened and the dialog stays with what was
// typed.
void tst_ConnectionDialogs::refusedEntriesChangeNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("server"); // empty: the test's own warehouse
    QTest::newRow("missing file") << "Missing" << 2 << "no-such-warehouse.db";
    QTest::newRow("nothing listens for SQL Server") << "Local SQL" << 0 << "local";
    QTest::newRow("empty name") << "   " << 2 << "";
    QTest::newRow("comma in name") << "East, West" << 2 << "";
    QTest::newRow("label in name") << "Password=x" << 2 << "";
    // The warehouse opens, but an unread line already holds the next entry's key: one message says so.
    QTest::newRow("number already taken") << "Taken" << 2 << "";
}

void tst_ConnectionDialogs::refusedEntriesChangeNothing() {
    QFETCH(QString, name);
    QFETCH(int, type);
    QFETCH(QString, server);
    Warehouse w("sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    Main();
    const QString path = QlxIni::PathIn(App::Path());
    const bool taken = name == "Taken";
    const QByteArray before =
        "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n" +
        QByteArray(taken ? "; retired\r\nmart2=B,PROVIDER=SQLITE;Data Source=b.db;\r\n" : "");
    TestEnvironment::writeFile(path, before);
    frmNewConnection dialog;
    dialog.txtConnectionName->setText(name);
    dialog.cboConnectionType->setCurrentIndex(type);
    dialog.txtDatabaseServer->setText(server.isEmpty() ? ConnectionText::Parse(w.connectionText()).DataSource
                                                       : server);
    dialog.txtUserID->setText("fin");
    dialog.cmdOK->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QVERIFY(server.isEmpty() ? m_env->ui.messages[0].style == vbExclamation
                             : m_env->ui.messages[0].prompt.contains(server) || type == 0);
    QVERIFY(!taken || m_env->ui.messages[0].prompt.contains("\"mart2\""));
    QCOMPARE(TestEnvironment::readFile(path), before);
    QVERIFY(loaded(&dialog));
    QCOMPARE(dialog.txtConnectionName->text(), name);
    QCOMPARE(gDBConnection.State(), taken ? 1 : 0);
    QVERIFY(taken ? warehouseShownOpen()
                  : !gMainForm->MaintenanceMenu(1)->isEnabled() &&
                        gMainForm->Command("mnuOPenMart")->isEnabled());
}

// A value that would break its QLX.ini entry is refused under the name its box carries for the chosen
// type, whichever of the check's reasons it is; nothing is opened or written.
void tst_ConnectionDialogs::aRefusedValueIsNamedAsItsBoxReads_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("message");
    const struct {
        const char* type;
        const char* field;
    } types[] = {{"SQL Server", "database server name"},
                 {"Oracle", "database alias"},
                 {"SQLite file", "warehouse file"},
                 {"ODBC data source", "ODBC data source"}};
    const struct {
        const char* reason;
        QString server;
        QString message;
    } reasons[] = {{"semicolon", "semi;colon.db", "The %1 cannot contain \";\"."},
                   {"label", "User ID=sa", "The %1 cannot contain \"User ID=\"."},
                   {"line break", "a.db\nmart9=x", "The %1 must fit on one line."},
                   {"outside Latin-1", "\u6771\u4eac.db",
                    "The %1 holds characters that QLX.ini cannot store; it keeps Western European (Latin-1) "
                    "text only."}};
    for (int type = 0; type < 4; ++type)
        for (const auto& r : reasons)
            QTest::addRow("%s, %s", types[type].type, r.reason)
                << type << r.server << r.message.arg(QLatin1String(types[type].field));
}

void tst_ConnectionDialogs::aRefusedValueIsNamedAsItsBoxReads() {
    QFETCH(int, type);
    QFETCH(QString, server);
    QFETCH(QString, message);
    const QString path = QlxIni::PathIn(App::Path());
    const QByteArray before = "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n";
    TestEnvironment::writeFile(path, before);
    frmNewConnection dialog;
    dialog.txtConnectionName->setText("Named");
    dialog.cboConnectionType->setCurrentIndex(type);
    dialog.txtDatabaseServer->setText(server);
    dialog.cmdOK->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QCOMPARE(m_env->ui.messages[0].prompt, message);
    const QString label = dialog.Label3->text().remove('&').remove(':');
    QVERIFY2(message.startsWith("The " + label + ' ', Qt::CaseInsensitive), qPrintable(label));
    QCOMPARE(TestEnvironment::readFile(path), before);
    QCOMPARE(gDBConnection.State(), 0);
    QVERIFY(loaded(&dialog));
    QCOMPARE(dialog.txtDatabaseServer->text(), server);
}

// Only a warehouse opens and is listed; an open connection goes first, with its editors; other windows
// stay; the chosen file is never changed.
void tst_ConnectionDialogs::addingAConnection_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("remember");
    QTest::addColumn<bool>("alreadyOpen");
    Warehouse::newRow("sqlite", "warehouse, chosen by browsing") << "warehouse" << true << false;
    Warehouse::newRow("sqlite", "warehouse, another one open") << "warehouse" << false << true;
    Warehouse::newRow("sqlite", "missing file, another one open") << "missing" << true << true;
    Warehouse::newRow("sqlite", "zero-byte file") << "empty" << true << false;
    Warehouse::newRow("sqlite", "database without the warehouse tables") << "other tables" << false << false;
    Warehouse::newRow("postgres", "data source") << "warehouse" << false << false;
}

void tst_ConnectionDialogs::addingAConnection() {
    QFETCH(QString, backend);
    QFETCH(QString, file);
    QFETCH(bool, remember);
    QFETCH(bool, alreadyOpen);
    Warehouse w(backend);
    Warehouse first("sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    QLX_REQUIRE_WAREHOUSE(first);
    const bool opens = file == "warehouse";
    const QString server = opens ? ConnectionText::Parse(w.connectionText()).DataSource
                                 : QDir(App::Path()).filePath(file == "missing" ? "missing.db" : "other.db");
    DbConnection other;
    if (file == "empty" || file == "other tables")
        TestEnvironment::writeFile(server, {});
    QVERIFY(file != "other tables" || (other.Open("PROVIDER=SQLITE;Data Source=" + server) &&
                                       other.Execute("Create Table CS_SOURCE (CS_AREA varchar(2))")));
    const QByteArray file_before = TestEnvironment::readFile(server);
    Main();
    if (alreadyOpen) {
        QVERIFY(first.openShared());
        gMainForm->ShowWarehouseOpen();
        gMainForm->Command("mnuLevelRangeMaint")->trigger();
    }
    const QString path = QlxIni::PathIn(App::Path());
    const QByteArray before = "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n";
    TestEnvironment::writeFile(path, before);
    auto* import = new frmImportLocations(gMainForm);
    auto* dialog = new frmNewConnection(gMainForm);
    dialog->show();
    dialog->txtConnectionName->setText(" Second warehouse ");
    dialog->cboConnectionType->setCurrentIndex(backend == "sqlite" ? 2 : 3);
    if (file == "warehouse" && remember) {
        m_env->ui.files << server;
        dialog->cmdBrowse->click();
        QCOMPARE(dialog->txtDatabaseServer->text(), server);
    } else {
        dialog->txtDatabaseServer->setText(server);
    }
    // A file asks for no login; a password typed all the same is stored as any other.
    if (backend == "sqlite")
        dialog->txtPassword->setText("pa;ss");
    dialog->ChkSavePassword->setChecked(remember);
    dialog->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(gDBConnection.State(), opens ? 1 : 0);
    QCOMPARE(m_env->ui.messages.size(), opens ? 0 : 1);
    QVERIFY(opens || (m_env->ui.messages[0].prompt.contains(server) &&
                      !m_env->ui.messages[0].prompt.contains("pa;ss")));
    const QString stored = remember && backend == "sqlite" ? EncryptPassword("pa;ss") : QString();
    QCOMPARE(TestEnvironment::readFile(path),
             opens
                 ? before +
                       QString("mart2=Second warehouse,PROVIDER=%1;Data Source=%2;User ID=;Password=%3;\r\n")
                           .arg(backend == "sqlite" ? "SQLITE" : "MSDASQL", server, stored)
                           .toLatin1()
                 : before);
    QCOMPARE(TestEnvironment::readFile(server), file_before);
    QCOMPARE(gMainForm->ChildWindows().size(), 0); // an editor went with the old connection
    QVERIFY(opens         ? warehouseShownOpen()
            : alreadyOpen ? warehouseShownClosed()
                          : !gMainForm->MaintenanceMenu(1)->isEnabled());
    QCOMPARE(loaded(dialog), !opens);
    QCOMPARE(loaded(import), !alreadyOpen); // closing a warehouse unloads its windows
}

void tst_ConnectionDialogs::importWritesTheLocalListInOrder() {
    const QString stored = EncryptPassword("tiger");
    const QString path = QlxIni::PathIn(App::Path());
    const QByteArray localLogin =
        ("mart1=Local login,PROVIDER=SQLOLEDB;Data Source=db01;User ID=fin;Password=" + stored +
         ";Initial Catalog=MART;Persist Security Info=True")
            .toLatin1();
    const QByteArray localIntegrated = "mart2=Local integrated,PROVIDER=SQLOLEDB;Data Source=db02;;Persist "
                                       "Security Info=True;Trusted_Connection=Yes,";
    TestEnvironment::writeFile(path, "[Marts]\r\n" + localLogin + "\r\n" + localIntegrated + "\r\n");
    const QString master = QDir(App::Path()).filePath("master.INI");
    TestEnvironment::writeFile(
        master, "[Marts]\n"
                "mart1=Master login,PROVIDER=MSDAORA;Data Source=ORCL;User ID=scott;Password=" +
                    stored.toLatin1() +
                    ";\n"
                    "mart2=Master integrated,PROVIDER=SQLOLEDB;Data Source=db03;Initial Catalog=DW;Persist "
                    "Security Info=True;Trusted_Connection=Yes,\n");
    Main();
    frmImportLocations dialog;
    QVERIFY(!dialog.cmdAdd->isEnabled());
    m_env->ui.files << master;
    dialog.cmdBrowse->click();
    // Move the local login away and back, so it lands last.
    select(dialog.lstLocal, 0);
    dialog.cmdRemove->click();
    select(dialog.lstMaster, 1);
    dialog.cmdAdd->click();
    select(dialog.lstMaster, 0);
    dialog.cmdAdd->click();
    QCOMPARE(dialog.lstMaster->topLevelItemCount(), 1);
    QVERIFY(dialog.cmdAdd->isEnabled());
    select(dialog.lstMaster, 0);
    dialog.cmdAdd->click();
    QCOMPARE(dialog.lstMaster->topLevelItemCount(), 0);
    QVERIFY(!dialog.cmdAdd->isEnabled());
    dialog.cmdOK->click();
    QVERIFY(m_env->ui.messages.isEmpty());
    QCOMPARE(
        TestEnvironment::readFile(path),
        "[Marts]\r\n" + QByteArray(localIntegrated).replace("mart2=", "mart1=") +
            "\r\n"
            "mart2=Master integrated,PROVIDER=SQLOLEDB;Data Source=db03;Initial Catalog=DW;Persist Security "
            "Info=True;Trusted_Connection=Yes,\r\n"
            "mart3=Master login,PROVIDER=MSDAORA;Data Source=ORCL;User ID=sa;Password=;\r\n" +
            QByteArray(localLogin).replace("mart1=", "mart4=") + "\r\n");
    QVERIFY(!loaded(&dialog));
}

// Entries the dialog could not read are lost only when the user says so; a list emptied by hand
// removes the file.
void tst_ConnectionDialogs::importKeepsWhatItCannotShow_data() {
    QTest::addColumn<bool>("removeAll");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("kept");
    QTest::newRow("every entry removed") << true << int(vbYes) << false;
    QTest::newRow("unread entries, no") << false << int(vbNo) << true;
    QTest::newRow("unread entries, yes") << false << int(vbYes) << false;
}

void tst_ConnectionDialogs::importKeepsWhatItCannotShow() {
    QFETCH(bool, removeAll);
    QFETCH(int, answer);
    QFETCH(bool, kept);
    const QString path = QlxIni::PathIn(App::Path());
    const QByteArray first = "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n";
    const QByteArray before =
        removeAll ? first
                  : first + "mart3=C,PROVIDER=SQLITE;Data Source=c.db;User ID=;Password=;\r\n"
                            "mart4=D,PROVIDER=SQLITE;Data Source=d.db;User ID=;Password=;\r\n";
    TestEnvironment::writeFile(path, before);
    frmImportLocations dialog;
    if (removeAll) {
        select(dialog.lstLocal, 0);
        dialog.cmdRemove->click();
        QVERIFY(!dialog.cmdRemove->isEnabled());
    }
    m_env->ui.answers << answer;
    dialog.cmdOK->click();
    QCOMPARE(m_env->ui.messages.size(), removeAll ? 0 : 1);
    QVERIFY(removeAll || (m_env->ui.messages[0].prompt.contains("2 connection entries") &&
                          (m_env->ui.messages[0].style & 0x0F) == vbYesNo));
    QCOMPARE(TestEnvironment::readFile(path), kept ? before : removeAll ? QByteArray("<missing>") : first);
    QCOMPARE(loaded(&dialog), kept);
}

void tst_ConnectionDialogs::browseRemembersTheFile() {
    const QString folder = QDir(App::Path()).filePath("elsewhere");
    QVERIFY(QDir().mkpath(folder));
    const QString other = QDir(folder).filePath("empty.ini");
    TestEnvironment::writeFile(other, "[Marts]\r\n");
    frmImportLocations dialog;
    dialog.cmdBrowse->click(); // cancelled: nothing loaded, nothing stored
    m_env->ui.files << other;
    dialog.cmdBrowse->click();
    dialog.cmdBrowse->click();
    QCOMPARE(m_env->ui.messages.size(), 1); // the file holds no locations
    QCOMPARE(m_env->ui.fileDialogs.size(), 3);
    QCOMPARE(m_env->ui.fileDialogs[1].startFolder, QString());
    QCOMPARE(m_env->ui.fileDialogs[2].startFolder, folder);
    const FileDialogRequest& request = m_env->ui.fileDialogs[0];
    QCOMPARE(request.filters, (QStringList{"All Files (*)", "ini Files(*.ini)"}));
    QCOMPARE(request.selectedFilter, 1);
}

// The program's own file dialog, as Browse shows it: the ini filter chosen, reading as it is written, and
// the files it lists those ending in ".ini" in any letter case.
void tst_ConnectionDialogs::theIniFilterListsIniFilesInAnyCase() {
    const QString folder = QDir(App::Path()).filePath("locations");
    QVERIFY(QDir().mkpath(folder));
    for (const char* name : {"QLX.INI", "branch.ini", "Old.Ini", "notes.txt", "ini"})
        TestEnvironment::writeFile(QDir(folder).filePath(name), "[Marts]\r\n");
    SettingsStore::SaveSetting(App::Title(), "iniFileLocation", "iniFilePath",
                               QDir(folder).filePath("branch.ini"));
    frmImportLocations import;
    UserDialogs::setResponder(nullptr);
    QString filter;
    QStringList listed;
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* view = dialog ? dialog->findChild<QListView*>("listView") : nullptr;
        if (!view || !view->model() || view->model()->rowCount(view->rootIndex()) == 0)
            return;
        look.stop();
        // The folder's listing comes in pieces; it is whole once it has stopped growing.
        int rows = -1;
        while (rows != view->model()->rowCount(view->rootIndex())) {
            rows = view->model()->rowCount(view->rootIndex());
            QTest::qWait(100);
        }
        filter = dialog->selectedNameFilter();
        for (int r = 0; r < rows; ++r) {
            const QModelIndex index = view->model()->index(r, 0, view->rootIndex());
            if (index.flags() & Qt::ItemIsEnabled)
                listed << index.data().toString();
        }
        dialog->reject();
    });
    look.start(20);
    import.cmdBrowse->click();
    UserDialogs::setResponder(std::make_unique<ScriptedResponder>(m_env->ui));
    QCOMPARE(filter, QString("ini Files(*.ini)"));
    listed.sort();
    QCOMPARE(listed, (QStringList{"Old.Ini", "QLX.INI", "branch.ini"}));
    QVERIFY(import.txtFileLocation->text().isEmpty());
}

void tst_ConnectionDialogs::importClosesAnOpenConnection() {
    Warehouse w("sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    TestEnvironment::writeFile(QlxIni::PathIn(App::Path()),
                               "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n");
    Main();
    QVERIFY(w.openShared());
    gMainForm->ShowWarehouseOpen();
    gMainForm->Command("mnuLevelCodeMaint")->trigger();
    gMainForm->mnuImportLocations_Click();
    gMainForm->mnuImportLocations_Click();
    frmImportLocations* dialog = nullptr;
    int dialogs = 0;
    for (QWidget* form : LoadedWindows::instance().Forms())
        if (auto* d = qobject_cast<frmImportLocations*>(form)) {
            dialog = d;
            ++dialogs;
        }
    QCOMPARE(dialogs, 1);
    dialog->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(gDBConnection.State(), 0);
    QCOMPARE(gMainForm->ChildWindows().size(), 0);
    QVERIFY(warehouseShownClosed());
    QVERIFY(gMainForm->Command("mnuImportLocations")->isEnabled());
}

QTEST_MAIN(tst_ConnectionDialogs)
#include "tst_ConnectionDialogs.moc"
