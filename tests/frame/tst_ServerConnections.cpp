#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/ConnectionText.h"
#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>

class tst_ServerConnections : public QObject {
    Q_OBJECT

    // One failed open: one message, one log entry, no connection, and the program still opens a good one.
    static void expectOneClearFailure(TestEnvironment& env, const QString& text, const QString& expected) {
        QVERIFY(!OpenDBConecction(text));
        QCOMPARE(env.ui.messages.size(), 1);
        QVERIFY2(env.ui.messages[0].prompt.contains(expected), qPrintable(env.ui.messages[0].prompt));
        QCOMPARE(env.logLines().size(), 2);
        QVERIFY(env.logLines()[1].endsWith("in modMain:OpenDBConecction"));
        QCOMPARE(gDBConnection.State(), 0);
    }

private slots:
    void collationDecidesCase_data();
    void collationDecidesCase();
    void sqlServerOnAClosedPort();
    void oracleWithoutItsDriver();
    void serverFailuresAreToldOnce_data();
    void serverFailuresAreToldOnce();
};

void tst_ServerConnections::collationDecidesCase_data() {
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("collation");
    QTest::addColumn<bool>("insensitive");
    QTest::newRow("SQL Server, CI") << "SQLOLEDB"
                                    << "SQL_Latin1_General_CP1_CI_AS" << true;
    QTest::newRow("SQL Server, CI with suffix") << "SQLOLEDB.1"
                                                << "Latin1_General_100_CI_AS_SC" << true;
    QTest::newRow("SQL Server, CS") << "SQLOLEDB"
                                    << "Latin1_General_CS_AS" << false;
    QTest::newRow("SQL Server, lower-case ci") << "SQLOLEDB"
                                               << "latin1_general_ci_as" << false;
    QTest::newRow("Oracle never") << "MSDAORA"
                                  << "_CI_" << false;
    QTest::newRow("ODBC source never") << "MSDASQL"
                                       << "_CI_" << false;
    QTest::newRow("provider in lower case") << "sqloledb"
                                            << "SQL_Latin1_General_CP1_CI_AS" << false;
}

void tst_ServerConnections::collationDecidesCase() {
    QFETCH(QString, provider);
    QFETCH(QString, collation);
    QFETCH(bool, insensitive);
    QCOMPARE(IsCaseInsensitiveCollation(provider, collation), insensitive);
}

void tst_ServerConnections::sqlServerOnAClosedPort() {
    TestEnvironment env;
    // FreeTDS is registered, the generated text parses, and the refusal comes from the driver itself.
    expectOneClearFailure(
        env, "Provider=SQLOLEDB;Data Source=127.0.0.1,1;Initial Catalog=MART;User Id=fin;Password=x;",
        "Unable to connect");
    QVERIFY(!env.ui.messages[0].prompt.contains("not installed"));
}

void tst_ServerConnections::oracleWithoutItsDriver() {
    TestEnvironment env;
    const QString text = "Provider=MSDAORA;Data Source=ORCL;User Id=scott;Password=tiger;";
    QCOMPARE(ConnectionText::Parse(text).odbcConnectionString("Oracle"),
             QString("DRIVER=Oracle;DBQ=ORCL;UID=scott;PWD=tiger;"));
    expectOneClearFailure(env, text, "The ODBC driver \"Oracle\" for MSDAORA connections is not installed.");
    // The driver name is the user's setting.
    SettingsStore::SaveSetting(App::Title(), "ODBC Drivers", "MSDAORA", "Oracle 21 ODBC driver");
    env.ui.messages.clear();
    QVERIFY(!OpenDBConecction(text));
    QVERIFY(env.ui.messages.value(0).prompt.contains("\"Oracle 21 ODBC driver\""));
}

void tst_ServerConnections::serverFailuresAreToldOnce_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    if (!Warehouse::backends().contains("postgres"))
        return;
    const QString user = qEnvironmentVariable("QLX_TEST_PG_USER");
    QTest::newRow("server down") << "Provider=MSDASQL;Data Source=" +
                                        qEnvironmentVariable("QLX_TEST_PG_DOWN_DSN") + ";User Id=" + user +
                                        ";Password=x;"
                                 << "Connection refused";
    QTest::newRow("wrong password") << "Provider=MSDASQL;Data Source=" +
                                           qEnvironmentVariable("QLX_TEST_PG_DSN") + ";User Id=" + user +
                                           ";Password=wrong;"
                                    << "password authentication failed";
    QTest::newRow("unknown data source") << "Provider=MSDASQL;Data Source=no_such_dsn;User Id=x;Password=y;"
                                         << "The ODBC data source \"no_such_dsn\" is not configured.";
}

void tst_ServerConnections::serverFailuresAreToldOnce() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TestEnvironment env;
    Warehouse w("postgres");
    QLX_REQUIRE_WAREHOUSE(w);
    expectOneClearFailure(env, text, expected);
    QVERIFY(w.openShared());
    QCOMPARE(gDBConnection.State(), 1);
}

QTEST_MAIN(tst_ServerConnections)
#include "tst_ServerConnections.moc"
