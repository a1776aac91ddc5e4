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
#include "platform/SystemColor.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
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

QStringList row(const QTreeWidget* list, int i) {
    QStringList values;
    for (int c = 0; c < list->columnCount(); ++c)
        values << list->topLevelItem(i)->text(c);
    return values;
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
    void localMeansThisMachineForSqlServerOnly_data();
    void localMeansThisMachineForSqlServerOnly();
    void failedOpenChangesNothing();
    void corruptingNamesAreRefused_data();
    void corruptingNamesAreRefused();
    void successAddsOneEntryAndOpens_data();
    void successAddsOneEntryAndOpens();
    void anOpenConnectionIsClosedFirst_data();
    void anOpenConnectionIsClosedFirst();
    void onlyAWarehouseOpensAndOtherWindowsStay_data();
    void onlyAWarehouseOpensAndOtherWindowsStay();
    void importWritesTheLocalListInOrder();
    void importWithAnEmptyLocalList();
    void importAsksBeforeLosingUnreadEntries_data();
    void importAsksBeforeLosingUnreadEntries();
    void browseRemembersTheFile();
    void importClosesAnOpenConnection();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_ConnectionDialogs::connectionTypesSetTheBoxes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("serverLabel");
    QTest::addColumn<bool>("database");
    QTest::addColumn<bool>("integrated");
    QTest::addColumn<bool>("login");
    QTest::addColumn<bool>("browse");
    QTest::newRow("SQL Server") << 0 << "SQLOLEDB"
                                << "Database s&erver name:" << true << true << true << false;
    QTest::newRow("Oracle") << 1 << "MSDAORA"
                            << "&Database Alias:" << false << false << true << false;
    QTest::newRow("SQLite file") << 2 << "SQLITE"
                                 << "Warehouse &file:" << false << false << false << true;
    QTest::newRow("ODBC data source") << 3 << "MSDASQL"
                                      << "ODBC &data source:" << false << false << false << false;
}

void tst_ConnectionDialogs::connectionTypesSetTheBoxes() {
    QFETCH(int, index);
    QFETCH(QString, provider);
    QFETCH(QString, serverLabel);
    QFETCH(bool, database);
    QFETCH(bool, integrated);
    QFETCH(bool, login);
    QFETCH(bool, browse);
    frmNewConnection dialog;
    QCOMPARE(dialog.windowTitle(), QString("Add New Warehouse Location"));
    QCOMPARE(dialog.cboConnectionType->currentIndex(), 0);
    QCOMPARE(dialog.cboConnectionType->count(), 4);
    QVERIFY(!dialog.chkIntegratedSecurity->isChecked());
    dialog.cboConnectionType->setCurrentIndex(index == 0 ? 1 : 0);
    dialog.txtDatabaseServer->setText("srv");
    dialog.txtDatabaseName->setText("db");
    dialog.cboConnectionType->setCurrentIndex(index);
    QCOMPARE(dialog.Provider(), provider);
    QCOMPARE(dialog.Label3->text(), serverLabel);
    QCOMPARE(dialog.txtDatabaseServer->text(), QString());
    QCOMPARE(dialog.txtDatabaseName->text(), QString());
    QCOMPARE(dialog.txtDatabaseName->isEnabled(), database);
    QCOMPARE(dialog.Label4->isEnabled(), database);
    QCOMPARE(dialog.chkIntegratedSecurity->isEnabled(), integrated);
    QCOMPARE(dialog.txtUserID->isEnabled(), login);
    QCOMPARE(dialog.txtPassword->isEnabled(), login);
    QCOMPARE(dialog.ChkSavePassword->isEnabled(), login);
    QCOMPARE(dialog.cmdBrowse->isVisibleTo(&dialog), browse);
    if (integrated) {
        dialog.txtUserID->setText("u");
        dialog.ChkSavePassword->setChecked(true);
        dialog.chkIntegratedSecurity->setChecked(true);
        QVERIFY(!dialog.txtUserID->isEnabled() && dialog.txtUserID->text().isEmpty());
        QVERIFY(!dialog.ChkSavePassword->isChecked() && !dialog.ChkSavePassword->isEnabled());
        dialog.chkIntegratedSecurity->setChecked(false);
        QVERIFY(dialog.txtUserID->isEnabled() && dialog.ChkSavePassword->isEnabled());
        QCOMPARE(SystemColor::BackColor(dialog.txtUserID), SystemColor::BackColor(dialog.txtConnectionName));
    }
}

void tst_ConnectionDialogs::localMeansThisMachineForSqlServerOnly_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("server");
    QTest::newRow("SQL Server, blanks") << 0 << " local "
                                        << "(local)";
    QTest::newRow("SQL Server, capitals") << 0 << "LOCAL"
                                          << "(local)";
    QTest::newRow("SQL Server, a name") << 0 << "localhost"
                                        << "localhost";
    QTest::newRow("Oracle") << 1 << "local"
                            << "local";
    QTest::newRow("SQLite file") << 2 << "local"
                                 << "local";
    QTest::newRow("data source") << 3 << "local"
                                 << "local";
}

void tst_ConnectionDialogs::localMeansThisMachineForSqlServerOnly() {
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QString, server);
    Main();
    frmNewConnection dialog;
    dialog.cboConnectionType->setCurrentIndex(index);
    dialog.txtDatabaseServer->setText(typed);
    QCOMPARE(dialog.Server(), server);
    QCOMPARE(ConnectionText::Parse(dialog.ConnectionTextFromBoxes()).DataSource, server);
    if (index == 0) {
        dialog.txtConnectionName->setText("Local SQL");
        dialog.txtUserID->setText("fin");
        dialog.cmdOK->click(); // nothing listens for SQL Server here
        QCOMPARE(m_env->ui.messages.size(), 1);
        QVERIFY(!QFile::exists(QlxIni::PathIn(App::Path())));
        QVERIFY(loaded(&dialog));
    }
}

void tst_ConnectionDialogs::failedOpenChangesNothing() {
    Main();
    const QString path = QlxIni::PathIn(App::Path());
    TestEnvironment::writeFile(path,
                               "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n");
    frmNewConnection dialog;
    dialog.txtConnectionName->setText("Missing");
    dialog.cboConnectionType->setCurrentIndex(2);
    dialog.txtDatabaseServer->setText("no-such-warehouse.db");
    dialog.cmdOK->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QVERIFY(m_env->ui.messages[0].prompt.contains("no-such-warehouse.db"));
    QCOMPARE(TestEnvironment::readFile(path),
             QByteArray("[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n"));
    QVERIFY(loaded(&dialog));
    QCOMPARE(dialog.txtConnectionName->text(), QString("Missing"));
    QVERIFY(!gMainForm->MaintenanceMenu(1)->isEnabled());
    QVERIFY(gMainForm->Command("mnuOPenMart")->isEnabled());
}

void tst_ConnectionDialogs::corruptingNamesAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "   ";
    QTest::newRow("comma") << "East, West";
    QTest::newRow("label") << "Password=x";
}

void tst_ConnectionDialogs::corruptingNamesAreRefused() {
    QFETCH(QString, name);
    Warehouse w("sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    Main();
    frmNewConnection dialog;
    dialog.txtConnectionName->setText(name);
    dialog.cboConnectionType->setCurrentIndex(2);
    dialog.txtDatabaseServer->setText(ConnectionText::Parse(w.connectionText()).DataSource);
    dialog.cmdOK->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QCOMPARE(m_env->ui.messages[0].style, int(vbExclamation));
    QCOMPARE(gDBConnection.State(), 0); // refused before anything was opened
    QVERIFY(!QFile::exists(QlxIni::PathIn(App::Path())));
    QVERIFY(loaded(&dialog));
}

void tst_ConnectionDialogs::successAddsOneEntryAndOpens_data() {
    Warehouse::addBackendRows();
}

void tst_ConnectionDialogs::successAddsOneEntryAndOpens() {
    QFETCH(QString, backend);
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    Main();
    const QString path = QlxIni::PathIn(App::Path());
    const QByteArray before = "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n";
    TestEnvironment::writeFile(path, before);
    auto* dialog = new frmNewConnection(gMainForm);
    dialog->show();
    dialog->txtConnectionName->setText(" Second warehouse ");
    QString server;
    if (backend == "sqlite") {
        dialog->cboConnectionType->setCurrentIndex(2);
        server = ConnectionText::Parse(w.connectionText()).DataSource;
        m_env->ui.files << server;
        dialog->cmdBrowse->click();
        QCOMPARE(m_env->ui.fileDialogs.size(), 1);
        QCOMPARE(dialog->txtDatabaseServer->text(), server);
    } else {
        dialog->cboConnectionType->setCurrentIndex(3);
        server = ConnectionText::Parse(w.connectionText()).DataSource;
        dialog->txtDatabaseServer->setText(server);
    }
    dialog->cmdOK->click();
    QVERIFY2(m_env->ui.messages.isEmpty(), qPrintable(m_env->ui.messages.value(0).prompt));
    QCOMPARE(gDBConnection.State(), 1);
    const QString provider = backend == "sqlite" ? "SQLITE" : "MSDASQL";
    QCOMPARE(TestEnvironment::readFile(path), before + ("mart2=Second warehouse,PROVIDER=" + provider +
                                                        ";Data Source=" + server + ";User ID=;Password=;\r\n")
                                                           .toLatin1());
    QVERIFY(warehouseShownOpen());
    QVERIFY(!loaded(dialog));
}

void tst_ConnectionDialogs::anOpenConnectionIsClosedFirst_data() {
    QTest::addColumn<bool>("newOneOpens");
    QTest::newRow("new one opens") << true;
    QTest::newRow("new one fails") << false;
}

void tst_ConnectionDialogs::anOpenConnectionIsClosedFirst() {
    QFETCH(bool, newOneOpens);
    Warehouse first("sqlite");
    Warehouse second("sqlite");
    QLX_REQUIRE_WAREHOUSE(first);
    QLX_REQUIRE_WAREHOUSE(second);
    Main();
    QVERIFY(first.openShared());
    gMainForm->ShowWarehouseOpen();
    gMainForm->Command("mnuLevelRangeMaint")->trigger();
    QCOMPARE(gMainForm->ChildWindows().size(), 1);
    gMainForm->mnuNewMart_Click();
    frmNewConnection* dialog = nullptr;
    for (QWidget* w : LoadedWindows::instance().Forms())
        if (auto* d = qobject_cast<frmNewConnection*>(w))
            dialog = d;
    QVERIFY(dialog);
    dialog->txtConnectionName->setText("Second");
    dialog->cboConnectionType->setCurrentIndex(2);
    dialog->txtDatabaseServer->setText(newOneOpens ? ConnectionText::Parse(second.connectionText()).DataSource
                                                   : QString("missing.db"));
    dialog->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(gMainForm->ChildWindows().size(), 0); // the editor went with the old connection
    if (newOneOpens) {
        QCOMPARE(gDBConnection.State(), 1);
        QCOMPARE(ConnectionText::Parse(gDBConnection->adoConnection().database().databaseName()).DataSource,
                 QString());
        QVERIFY(warehouseShownOpen());
    } else {
        QCOMPARE(gDBConnection.State(), 0);
        QVERIFY(warehouseShownClosed());
        QVERIFY(loaded(dialog));
    }
}

void tst_ConnectionDialogs::onlyAWarehouseOpensAndOtherWindowsStay_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("remember");
    QTest::newRow("warehouse, password remembered") << "warehouse" << true;
    QTest::newRow("warehouse, password not remembered") << "warehouse" << false;
    QTest::newRow("zero-byte file") << "empty" << true;
    QTest::newRow("database without the warehouse tables") << "other tables" << false;
}

void tst_ConnectionDialogs::onlyAWarehouseOpensAndOtherWindowsStay() {
    QFETCH(QString, file);
    QFETCH(bool, remember);
    Warehouse w("sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    const bool warehouse = file == "warehouse";
    const QString path = warehouse ? ConnectionText::Parse(w.connectionText()).DataSource
                                   : QDir(App::Path()).filePath("other.db");
    DbConnection other;
    if (!warehouse)
        TestEnvironment::writeFile(path, {});
    QVERIFY(file != "other tables" || (other.Open("PROVIDER=SQLITE;Data Source=" + path) &&
                                       other.Execute("Create Table CS_SOURCE (CS_AREA varchar(2))")));
    const QByteArray before = TestEnvironment::readFile(path);
    Main();
    auto* import = new frmImportLocations(gMainForm);
    frmNewConnection dialog;
    dialog.txtConnectionName->setText("N");
    dialog.cboConnectionType->setCurrentIndex(2);
    dialog.txtDatabaseServer->setText(path);
    // A file asks for no login; a password typed all the same is stored as any other.
    dialog.txtPassword->setText("pa;ss");
    dialog.ChkSavePassword->setChecked(remember);
    dialog.cmdOK->click();
    QVERIFY(loaded(import));
    QCOMPARE(gDBConnection.State(), warehouse ? 1 : 0);
    QCOMPARE(m_env->ui.messages.size(), warehouse ? 0 : 1);
    QVERIFY(warehouse ||
            (m_env->ui.messages[0].prompt.contains(path) && !m_env->ui.messages[0].prompt.contains("pa;ss")));
    QCOMPARE(TestEnvironment::readFile(path), before);
    QCOMPARE(QFile::exists(QlxIni::PathIn(App::Path())), warehouse);
    if (warehouse)
        QCOMPARE(
            DecryptPassword(frmOpenConnection::ReadConnections(QlxIni::PathIn(App::Path())).value(0).sPwd),
            remember ? QString("pa;ss") : QString());
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
    QCOMPARE(dialog.lstLocal->topLevelItemCount(), 2);
    QCOMPARE(row(dialog.lstLocal, 0),
             (QStringList{"Local login", "MART", "db01", "SQLOLEDB", "fin", stored, ""}));
    QVERIFY(!dialog.cmdAdd->isEnabled());
    QVERIFY(dialog.lstLocal->isColumnHidden(5) && !dialog.lstLocal->isColumnHidden(0));
    m_env->ui.files << master;
    dialog.cmdBrowse->click();
    QCOMPARE(dialog.txtFileLocation->text(), master);
    QCOMPARE(row(dialog.lstMaster, 0), (QStringList{"Master login", "", "ORCL", "MSDAORA", "sa", "", ""}));
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

void tst_ConnectionDialogs::importWithAnEmptyLocalList() {
    const QString path = QlxIni::PathIn(App::Path());
    TestEnvironment::writeFile(path,
                               "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n");
    frmImportLocations dialog;
    QVERIFY(dialog.cmdRemove->isEnabled());
    select(dialog.lstLocal, 0);
    dialog.cmdRemove->click();
    QVERIFY(!dialog.cmdRemove->isEnabled());
    dialog.cmdOK->click();
    QVERIFY(!QFile::exists(path));
    QFile::remove(path);
    frmImportLocations again;
    QCOMPARE(again.lstLocal->topLevelItemCount(), 0);
    QVERIFY(!again.cmdRemove->isEnabled());
}

void tst_ConnectionDialogs::importAsksBeforeLosingUnreadEntries_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("no") << int(vbNo);
    QTest::newRow("yes") << int(vbYes);
}

void tst_ConnectionDialogs::importAsksBeforeLosingUnreadEntries() {
    QFETCH(int, answer);
    const QString path = QlxIni::PathIn(App::Path());
    const QByteArray before = "[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n"
                              "mart3=C,PROVIDER=SQLITE;Data Source=c.db;User ID=;Password=;\r\n"
                              "mart4=D,PROVIDER=SQLITE;Data Source=d.db;User ID=;Password=;\r\n";
    TestEnvironment::writeFile(path, before);
    frmImportLocations dialog;
    m_env->ui.answers << answer;
    dialog.cmdOK->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QVERIFY(m_env->ui.messages[0].prompt.contains("2 connection entries"));
    QCOMPARE(m_env->ui.messages[0].style & 0x0F, int(vbYesNo));
    if (answer == vbNo) {
        QCOMPARE(TestEnvironment::readFile(path), before);
        QVERIFY(loaded(&dialog));
    } else {
        QCOMPARE(TestEnvironment::readFile(path),
                 QByteArray("[Marts]\r\nmart1=A,PROVIDER=SQLITE;Data Source=a.db;User ID=;Password=;\r\n"));
        QVERIFY(!loaded(&dialog));
    }
}

void tst_ConnectionDialogs::browseRemembersTheFile() {
    const QString folder = QDir(App::Path()).filePath("elsewhere");
    QVERIFY(QDir().mkpath(folder));
    const QString other = QDir(folder).filePath("empty.ini");
    TestEnvironment::writeFile(other, "[Marts]\r\n");
    frmImportLocations dialog;
    dialog.cmdBrowse->click(); // cancelled: nothing loaded, nothing stored
    QCOMPARE(m_env->ui.fileDialogs.size(), 1);
    const FileDialogRequest first = m_env->ui.fileDialogs[0];
    QCOMPARE(first.startFolder, QString());
    QCOMPARE(first.filters.value(first.selectedFilter), QString("ini Files(*.[iI][nN][iI])"));
    QVERIFY(QDir::match("*", "README"));
    QVERIFY(QDir::match("*.[iI][nN][iI]", "QLX.INI") && QDir::match("*.[iI][nN][iI]", "qlx.ini"));
    QCOMPARE(SettingsStore::GetSetting(App::Title(), "iniFileLocation", "iniFilePath"), QString());
    m_env->ui.files << other;
    dialog.cmdBrowse->click();
    QCOMPARE(m_env->ui.messages.size(), 1);
    QCOMPARE(m_env->ui.messages[0].prompt, QString("This file does not contain any warehouse locations."));
    QCOMPARE(SettingsStore::GetSetting(App::Title(), "iniFileLocation", "iniFilePath"), other);
    dialog.cmdBrowse->click();
    QCOMPARE(m_env->ui.fileDialogs.last().startFolder, folder);
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
