#include "frame/QlxIni.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/ConnectionText.h"
#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QCoreApplication>
#include <QScopeGuard>
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
    void valuesThatLookLikeKeysAreRefused();
    void oddPasswordsReachTheServer_data();
    void oddPasswordsReachTheServer();
    void serverFailuresAreToldOnce_data();
    void serverFailuresAreToldOnce();
};

void tst_ServerConnections::collationDecidesCase_data() {
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("collation");
    QTest::addColumn<bool>("insensitive");
    const auto row = [](const char* tag, const char* provider, const char* collation, bool insensitive) {
        QTest::newRow(tag) << QString(provider) << QString(collation) << insensitive;
    };
    row("SQL Server, CI", "SQLOLEDB", "SQL_Latin1_General_CP1_CI_AS", true);
    row("SQL Server, CI with suffix", "SQLOLEDB.1", "Latin1_General_100_CI_AS_SC", true);
    row("SQL Server, CS", "SQLOLEDB", "Latin1_General_CS_AS", false);
    row("SQL Server, lower-case ci", "SQLOLEDB", "latin1_general_ci_as", false);
    row("Oracle never", "MSDAORA", "_CI_", false);
    row("ODBC source never", "MSDASQL", "_CI_", false);
    row("provider in lower case", "sqloledb", "SQL_Latin1_General_CP1_CI_AS", false);
}

void tst_ServerConnections::collationDecidesCase() {
    QFETCH(QString, provider);
    QFETCH(QString, collation);
    QFETCH(bool, insensitive);
    QCOMPARE(IsCaseInsensitiveCollation(provider, collation), insensitive);
}

void tst_ServerConnections::sqlServerOnAClosedPort() {
    TestEnvironment env;
    // The machine's own ODBC set-up, as users have it, not the one the test command writes.
    const QByteArray sysIni = qgetenv("ODBCSYSINI");
    const QByteArray userIni = qgetenv("ODBCINI");
    qunsetenv("ODBCSYSINI");
    qunsetenv("ODBCINI");
    const auto restore = qScopeGuard([&] {
        if (!sysIni.isEmpty())
            qputenv("ODBCSYSINI", sysIni);
        if (!userIni.isEmpty())
            qputenv("ODBCINI", userIni);
    });
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

void tst_ServerConnections::valuesThatLookLikeKeysAreRefused() {
    TestEnvironment env;
    expectOneClearFailure(env, "Provider=MSDASQL;Data Source=reporting;User Id=u;Password=my.DSN",
                          "\".dsn\"");
}

void tst_ServerConnections::oddPasswordsReachTheServer_data() {
    QTest::addColumn<QString>("password");
    if (!Warehouse::backends().contains("postgres"))
        return;
    for (const char* password : {"a;b}c", "observer=1;DRIVER=x", "p a d", "it's \"quoted\""})
        QTest::newRow(password) << QString(password);
}

void tst_ServerConnections::oddPasswordsReachTheServer() {
    QFETCH(QString, password);
    TestEnvironment env;
    Warehouse w("postgres");
    QLX_REQUIRE_WAREHOUSE(w);
    const QString role =
        QString("qlx_odd_%1_%2").arg(QCoreApplication::applicationPid()).arg(qHash(password));
    QVERIFY(w.own().Execute("CREATE ROLE " + role + " LOGIN PASSWORD " + SqlText(password)));
    const auto dropRole = qScopeGuard([&] { w.own().Execute("DROP ROLE " + role); });
    const ConnectionText ct = ConnectionText::Parse(w.connectionText());
    const QString text =
        QlxIni::OpenConnectionText("MSDASQL", ct.DataSource, ct.InitialCatalog, role, password, false);
    QVERIFY2(OpenDBConecction(text), qPrintable(env.ui.messages.value(0).prompt));
    QCOMPARE(gDBConnection.State(), 1);
    gDBConnection->CloseDB();
    // A wrong password with the same odd characters is refused by the server, not misread on the way.
    QVERIFY(!OpenDBConecction(QlxIni::OpenConnectionText("MSDASQL", ct.DataSource, ct.InitialCatalog, role,
                                                         password + "x", false)));
    QVERIFY(env.ui.messages.value(0).prompt.contains("password authentication failed"));
}

QTEST_MAIN(tst_ServerConnections)
#include "tst_ServerConnections.moc"
