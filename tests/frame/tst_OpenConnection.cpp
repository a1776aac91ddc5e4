#include "frame/QlxIni.h"
#include "frame/clsDBConnection.h"
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
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

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
};

void tst_OpenConnection::entryShowsItsBoxes_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QList<bool>>("states"); // login boxes, check box checked, check box enabled, integrated
    QTest::addColumn<QString>("text");
    const auto row = [](const char* tag, const QString& entry, const char* database,
                        const QList<bool>& states, const char* text) {
        QTest::newRow(tag) << entry << QString(database) << states << QString(text);
    };
    row("login with database",
        "mart1=Fin,PROVIDER=SQLOLEDB;Data Source=db01;User ID=fin;Password=" + EncryptPassword("tiger") +
            ";Initial Catalog=MART;Persist Security Info=True",
        "MART", {true, true, true, false},
        "Provider=SQLOLEDB;Data Source=db01;Initial Catalog=MART;User Id=fin;Password=tiger;");
    row("integrated",
        "mart1=Fin,PROVIDER=SQLOLEDB;Data Source=db01;Initial Catalog=MART;Persist Security "
        "Info=True;Trusted_Connection=Yes,",
        "MART", {false, true, false, true},
        "Provider=SQLOLEDB;Data Source=db01;Initial Catalog=MART;Integrated Security=SSPI");
    row("oracle alias", "mart1=Ora,PROVIDER=MSDAORA;Data Source=ORCL;User ID=scott;Password=;", "",
        {true, false, true, false}, "Provider=MSDAORA;Data Source=ORCL;User Id=scott;Password=;");
    row("local warehouse file", "mart1=Demo,PROVIDER=SQLITE;Data Source=demo.db;User ID=;Password=;", "",
        {false, false, false, false}, "Provider=SQLITE;Data Source=demo.db;User Id=;Password=;");
    row("data source",
        "mart1=Rep,PROVIDER=MSDASQL;Data Source=reporting;User ID=;Password=;Initial Catalog=X;Persist "
        "Security Info=True",
        "", {false, false, false, false}, "Provider=MSDASQL;Data Source=reporting;User Id=;Password=;");
}

void tst_OpenConnection::entryShowsItsBoxes() {
    QFETCH(QString, entry);
    QFETCH(QString, database);
    QFETCH(QList<bool>, states);
    QFETCH(QString, text);
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

QTEST_MAIN(tst_OpenConnection)
#include "tst_OpenConnection.moc"
