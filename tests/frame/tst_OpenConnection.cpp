#include "frame/QlxIni.h"
#include "frame/clsDBConnection.h"
#include "frame/frmImportLocations.h"
#include "frame/frmMain.h"
#include "frame/frmOpenConnection.h"
#include "frame/frmWelcome.h"
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
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

void writeIni(const QString& folder, const QStringList& entries) {
    QFile f(QlxIni::PathIn(folder));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[Marts]\r\n");
    for (const QString& e : entries)
        f.write(e.toLatin1() + "\r\n");
}

bool greyed(QLineEdit* box) {
    return SystemColor::BackColor(box) ==
           SystemColor::Resolve(SystemColor::Text(SystemColor::ActiveBorder), box);
}

// An ODBC data source of the test's own on a database of the PostgreSQL test server, with the server's
// login or none. It lives in a copy of the ODBC user file that ODBCINI names while it lives; each gets a
// name of its own, as unixODBC keeps what it read of a data source for a while.
class OwnDataSource {
public:
    OwnDataSource(const QString& folder, const QString& database, bool withLogin)
        : name(QString("qlx_own_%1").arg(++s_count)), m_before(qgetenv("ODBCINI")) {
        QByteArray ini = TestEnvironment::readFile(QString::fromLocal8Bit(m_before));
        ini += "\n[" + name.toLatin1() +
               "]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" + qgetenv("QLX_TEST_PG_PORT") +
               "\nDatabase=" + database.toUtf8() + "\n";
        if (withLogin)
            ini += "Username=" + qgetenv("QLX_TEST_PG_USER") +
                   "\nPassword=" + qgetenv("QLX_TEST_PG_PASSWORD") + "\n";
        const QString path = QDir(folder).filePath("odbc.ini");
        TestEnvironment::writeFile(path, ini);
        qputenv("ODBCINI", QFile::encodeName(path));
    }
    ~OwnDataSource() { qputenv("ODBCINI", m_before); }
    OwnDataSource(const OwnDataSource&) = delete;
    OwnDataSource& operator=(const OwnDataSource&) = delete;
    const QString name;

private:
    static inline int s_count = 0;
    QByteArray m_before;
};

} // namespace

class tst_OpenConnection : public QObject {
    Q_OBJECT
private slots:
    void entryShowsItsBoxes_data();
    void entryShowsItsBoxes();
    void noConnectionsIsToldOncePerShowing();
    void openThatFailsChangesNothing_data();
    void openThatFailsChangesNothing();
    void openingTheDemoWarehouseFromTheWelcomeDialog();
    void rememberPasswordAfterASuccessfulOpen_data();
    void rememberPasswordAfterASuccessfulOpen();
    void importedDataSourceOpens_data();
    void importedDataSourceOpens();
};

void tst_OpenConnection::entryShowsItsBoxes_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QList<bool>>("states"); // login boxes, check box checked, check box enabled, integrated
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleared"); // the text once the user name is cleared; empty: not checked
    const auto row = [](const char* tag, const QString& entry, const char* database,
                        const QList<bool>& states, const char* text, const char* cleared = "") {
        QTest::newRow(tag) << entry << QString(database) << states << QString(text) << QString(cleared);
    };
    row("login with database",
        "mart1=Fin,PROVIDER=SQLOLEDB;Data Source=db01;User ID=fin;Password=" + EncryptPassword("tiger") +
            ";Initial Catalog=MART;Persist Security Info=True",
        "MART", {true, true, true, false},
        "Provider=SQLOLEDB;Data Source=db01;Initial Catalog=MART;User Id=fin;Password=tiger;",
        "Provider=SQLOLEDB;Data Source=db01;Initial Catalog=MART;User Id=;Password=tiger;");
    row("integrated",
        "mart1=Fin,PROVIDER=SQLOLEDB;Data Source=db01;Initial Catalog=MART;Persist Security "
        "Info=True;Trusted_Connection=Yes,",
        "MART", {false, true, false, true},
        "Provider=SQLOLEDB;Data Source=db01;Initial Catalog=MART;Integrated Security=SSPI");
    row("oracle alias", "mart1=Ora,PROVIDER=MSDAORA;Data Source=ORCL;User ID=scott;Password=;", "",
        {true, false, true, false}, "Provider=MSDAORA;Data Source=ORCL;User Id=scott;Password=;");
    row("local warehouse file", "mart1=Demo,PROVIDER=SQLITE;Data Source=demo.db;User ID=;Password=;", "",
        {false, false, false, false}, "Provider=SQLITE;Data Source=demo.db;User Id=;Password=;");
    // A data source may keep its own login: without a user name nothing is sent in its place. The
    // entry's database is passed on, in place of the one the data source names.
    row("data source",
        "mart1=Rep,PROVIDER=MSDASQL;Data Source=reporting;User ID=;Password=;Initial Catalog=X;Persist "
        "Security Info=True",
        "X", {true, false, true, false}, "Provider=MSDASQL;Data Source=reporting;Initial Catalog=X;");
    row("data source with a user",
        "mart1=Rep,PROVIDER=MSDASQL;Data Source=reporting;User ID=fin;Password=" + EncryptPassword("tiger") +
            ";",
        "", {true, true, true, false}, "Provider=MSDASQL;Data Source=reporting;User Id=fin;Password=tiger;",
        "Provider=MSDASQL;Data Source=reporting;");
}

void tst_OpenConnection::entryShowsItsBoxes() {
    QFETCH(QString, entry);
    QFETCH(QString, database);
    QFETCH(QList<bool>, states);
    QFETCH(QString, text);
    QFETCH(QString, cleared);
    TestEnvironment env;
    writeIni(env.folder(),
             {"mart1=Other,PROVIDER=SQLOLEDB;Data Source=x;User ID=;Password=;",
              entry.replace("mart1=", "mart2="),
              "mart3=Int,PROVIDER=SQLOLEDB;Data Source=x;Initial Catalog=D;Trusted_Connection=Yes,"});
    gIntegratedSecurity = !states[3];
    frmOpenConnection dialog;
    QCOMPARE(dialog.CboLocation->currentIndex(), -1); // nothing chosen, nothing shown
    QVERIFY(dialog.txtConnectionType->text().isEmpty() && dialog.txtDatabaseServer->text().isEmpty());
    dialog.CboLocation->setCurrentIndex(1);
    QCOMPARE(dialog.MartKey(), QString("mart2"));
    QCOMPARE(dialog.txtDatabaseName->text(), database);
    QCOMPARE(QList<bool>({dialog.txtUserID->isEnabled(), dialog.ChkSavePassword->isChecked(),
                          dialog.ChkSavePassword->isEnabled(), gIntegratedSecurity}),
             states);
    QCOMPARE(dialog.txtPassword->isEnabled(), states[0]);
    QCOMPARE(greyed(dialog.txtUserID), !states[0]);
    QCOMPARE(dialog.ConnectionTextFromBoxes(), text);
    if (!cleared.isEmpty()) {
        dialog.txtUserID->clear();
        QCOMPARE(dialog.ConnectionTextFromBoxes(), cleared);
    }
    // Chosen again after an integrated entry, the database box is as white or grey as before.
    dialog.CboLocation->setCurrentIndex(2);
    dialog.CboLocation->setCurrentIndex(1);
    QCOMPARE(greyed(dialog.txtDatabaseName), database.isEmpty());
}

void tst_OpenConnection::noConnectionsIsToldOncePerShowing() {
    TestEnvironment env;
    frmOpenConnection dialog;
    QCOMPARE(dialog.CboLocation->count(), 0);
    dialog.show();
    QTRY_COMPARE(env.ui.messages.size(), 1);
    dialog.hide();
    dialog.show();
    QCoreApplication::processEvents();
    dialog.Form_Activate();
    QCOMPARE(env.ui.messages.size(), 1);
    // Open repeats it.
    dialog.cmdOK->click();
    QCOMPARE(env.ui.messages.size(), 2);
    QVERIFY(dialog.isVisible());
}

void tst_OpenConnection::openThatFailsChangesNothing_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("nothing chosen") << -1;
    QTest::newRow("nothing listens") << 0;
}

void tst_OpenConnection::openThatFailsChangesNothing() {
    QFETCH(int, index);
    TestEnvironment env;
    writeIni(env.folder(),
             {"mart1=Fin,PROVIDER=SQLOLEDB;Data Source=127.0.0.1,1;User ID=fin;Password=;Initial "
              "Catalog=MART;Persist Security Info=True"});
    const QByteArray before = TestEnvironment::readFile(QlxIni::PathIn(env.folder()));
    Main();
    frmOpenConnection dialog;
    dialog.CboLocation->setCurrentIndex(index);
    dialog.txtPassword->setText("secret");
    dialog.ChkSavePassword->setChecked(true);
    dialog.cmdOK->click();
    QCOMPARE(env.ui.messages.size(), 1); // the connection's own failure, once
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.txtPassword->text(), QString("secret"));
    QCOMPARE(TestEnvironment::readFile(QlxIni::PathIn(env.folder())), before);
    QCOMPARE(gDBConnection.State(), 0);
    QVERIFY(!gMainForm->MaintenanceMenu(1)->isEnabled() && gMainForm->Command("mnuOPenMart")->isEnabled());
}

void tst_OpenConnection::openingTheDemoWarehouseFromTheWelcomeDialog() {
    TestEnvironment env;
    Warehouse w("sqlite");
    QLX_REQUIRE_WAREHOUSE(w);
    const QString file = ConnectionText::Parse(w.connectionText()).DataSource;
    writeIni(env.folder(),
             {"mart1=Demo Warehouse,PROVIDER=SQLITE;Data Source=" + file + ";User ID=;Password=;"});
    const QByteArray before = TestEnvironment::readFile(QlxIni::PathIn(env.folder()));
    Main();
    env.ui.dialogScripts << [](QDialog& d) {
        auto& dialog = static_cast<frmOpenConnection&>(d);
        dialog.CboLocation->setCurrentIndex(0);
        dialog.cmdOK->click();
        return dialog.result();
    };
    for (QWidget* form : LoadedWindows::instance().Forms())
        if (auto* welcome = qobject_cast<frmWelcome*>(form))
            welcome->cmdOpen->click();
    QCOMPARE(env.ui.dialogs, QStringList{"frmOpenConnection"});
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(gDBConnection.State(), 1);
    QCOMPARE(LoadedWindows::instance().Count(), 1);
    QVERIFY(gMainForm->MaintenanceMenu(5)->isEnabled() && !gMainForm->Command("mnuOPenMart")->isEnabled());
    QVERIFY(gMainForm->Command("mnuCloseMart")->isEnabled() &&
            !gMainForm->Command("mnuImportLocations")->isEnabled());
    QCOMPARE(TestEnvironment::readFile(QlxIni::PathIn(env.folder())), before);
}

void tst_OpenConnection::rememberPasswordAfterASuccessfulOpen_data() {
    QTest::addColumn<bool>("remember");
    // The box changed (the choice of an entry leaves it ticked): otherwise the entry is left as it was.
    QTest::addColumn<bool>("clicked");
    QTest::newRow("remember") << true << true;
    QTest::newRow("forget") << false << true;
    QTest::newRow("untouched") << true << false;
}

void tst_OpenConnection::rememberPasswordAfterASuccessfulOpen() {
    QFETCH(bool, remember);
    QFETCH(bool, clicked);
    if (!Warehouse::backends().contains("postgres"))
        QSKIP("A SQL login needs the PostgreSQL test server.");
    TestEnvironment env;
    Warehouse w("postgres");
    QLX_REQUIRE_WAREHOUSE(w);
    // A SQL login entry, served here by the PostgreSQL driver in place of a SQL Server one.
    SettingsStore::SaveSetting(App::Title(), "ODBC Drivers", "SQLOLEDB", "PostgreSQL Unicode");
    const ConnectionText ct = ConnectionText::Parse(w.connectionText());
    const QString stale = EncryptPassword("stale");
    writeIni(env.folder(),
             {"mart1=Other,PROVIDER=SQLOLEDB;Data Source=elsewhere;User ID=x;Password=" + stale + ";",
              "mart2=PG,PROVIDER=SQLOLEDB;Data Source=127.0.0.1," + qEnvironmentVariable("QLX_TEST_PG_PORT") +
                  ";User ID=someone;Password=" + stale + ";Initial Catalog=" + ct.InitialCatalog +
                  ";Persist Security Info=True"});
    Main();
    frmOpenConnection dialog;
    dialog.CboLocation->setCurrentIndex(0);
    dialog.CboLocation->setCurrentIndex(1);
    QCOMPARE(dialog.txtPassword->text(), QString("stale"));
    dialog.txtUserID->setText(ct.UserId);
    dialog.txtPassword->setText(ct.Password);
    if (clicked) {
        dialog.ChkSavePassword->setChecked(!remember);
        dialog.ChkSavePassword->setChecked(remember);
    }
    dialog.cmdOK->click();
    QVERIFY2(env.ui.messages.isEmpty(), qPrintable(env.ui.messages.value(0).prompt));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(gDBConnection.State(), 1);
    const QList<clsLocations> after = frmOpenConnection::ReadConnections(QlxIni::PathIn(env.folder()));
    QCOMPARE(after[1].sUser, clicked ? ct.UserId : QString("someone"));
    QCOMPARE(DecryptPassword(after[1].sPwd), !clicked   ? QString("stale")
                                             : remember ? ct.Password
                                                        : QString());
    QCOMPARE(after[0].sServer, QString("elsewhere"));
}

// An ODBC entry imported from another file carries the user "sa"; the open dialog lets the user clear it
// (the data source's own login) or type the right one, which Remember Password stores.
void tst_OpenConnection::importedDataSourceOpens_data() {
    QTest::addColumn<bool>("ownLogin");  // the data source holds the server's login
    QTest::addColumn<QString>("user");   // typed over "sa"; "server": the server's, with its password
    QTest::addColumn<bool>("catalogue"); // the entry names the warehouse, the data source another database
    QTest::addColumn<QString>("failure");
    QTest::newRow("own login, user cleared") << true << "" << false << "";
    QTest::newRow("own login, user as imported") << true << "sa" << false << "password authentication failed";
    QTest::newRow("no login, the server's typed and remembered") << false << "server" << false << "";
    QTest::newRow("no login, user cleared") << false << "" << false << "no password supplied";
    QTest::newRow("own login, the entry's database") << true << "" << true << "";
}

void tst_OpenConnection::importedDataSourceOpens() {
    QFETCH(bool, ownLogin);
    QFETCH(QString, user);
    QFETCH(bool, catalogue);
    QFETCH(QString, failure);
    TestEnvironment env;
    Warehouse w("postgres");
    QLX_REQUIRE_WAREHOUSE(w);
    const ConnectionText server = ConnectionText::Parse(w.connectionText());
    OwnDataSource source(env.folder(), catalogue ? QString("postgres") : server.InitialCatalog, ownLogin);
    const QString master = QDir(env.folder()).filePath("master.ini");
    TestEnvironment::writeFile(
        master,
        "[Marts]\r\nmart1=Reporting,PROVIDER=MSDASQL;Data Source=" + source.name.toLatin1() +
            ";User ID=fin;Password=;" +
            (catalogue ? "Initial Catalog=" + server.InitialCatalog.toLatin1() + ";Persist Security Info=True"
                       : QByteArray()) +
            "\r\n");
    Main();
    frmImportLocations import;
    env.ui.files << master;
    import.cmdBrowse->click();
    import.lstMaster->setCurrentItem(import.lstMaster->topLevelItem(0));
    import.cmdAdd->click();
    import.cmdOK->click();
    const QString path = QlxIni::PathIn(env.folder());
    const QByteArray imported = TestEnvironment::readFile(path);
    QCOMPARE(frmOpenConnection::ReadConnections(path).value(0).sUser, QString("sa"));

    frmOpenConnection dialog;
    dialog.CboLocation->setCurrentIndex(0);
    QVERIFY(dialog.txtUserID->isEnabled() && dialog.txtPassword->isEnabled() &&
            dialog.ChkSavePassword->isEnabled());
    QCOMPARE(dialog.txtUserID->text(), QString("sa"));
    const bool typed = user == "server";
    dialog.txtUserID->setText(typed ? server.UserId : user);
    dialog.txtPassword->setText(typed ? server.Password : QString("stale"));
    dialog.ChkSavePassword->setChecked(typed);
    dialog.cmdOK->click();
    QCOMPARE(gDBConnection.State(), failure.isEmpty() ? 1 : 0);
    QCOMPARE(env.ui.messages.size(), failure.isEmpty() ? 0 : 1);
    QVERIFY2(failure.isEmpty() || env.ui.messages[0].prompt.contains(failure),
             qPrintable(env.ui.messages.value(0).prompt));
    // Opened, it is the warehouse: its tables are there, whichever database the data source names.
    if (failure.isEmpty())
        QVERIFY(!GetRecordset("Select SOAREA From CS_SOURCE").IsNothing());
    const clsLocations after = frmOpenConnection::ReadConnections(path).value(0);
    if (typed)
        QCOMPARE(after.sUser + "|" + DecryptPassword(after.sPwd), server.UserId + "|" + server.Password);
    else
        QCOMPARE(TestEnvironment::readFile(path), imported);
}

QTEST_MAIN(tst_OpenConnection)
#include "tst_OpenConnection.moc"
