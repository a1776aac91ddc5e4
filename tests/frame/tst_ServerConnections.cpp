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
#include <optional>

class tst_ServerConnections : public QObject {
    Q_OBJECT

private slots:
    void collationDecidesCase_data();
    void collationDecidesCase();
    void failedOpensAreToldOnce_data();
    void failedOpensAreToldOnce();
    void oddPasswordsReachTheServer_data();
    void oddPasswordsReachTheServer();
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

void tst_ServerConnections::failedOpensAreToldOnce_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("oracleDriver"); // the user's setting; empty: none
    QTest::addColumn<QString>("expected");
    // FreeTDS is registered, the generated text parses, and the refusal comes from the driver itself.
    QTest::newRow("SQL Server on a closed port")
        << "Provider=SQLOLEDB;Data Source=127.0.0.1,1;Initial Catalog=MART;User Id=fin;Password=x;"
        << ""
        << "Unable to connect";
    const QString oracle = "Provider=MSDAORA;Data Source=ORCL;User Id=scott;Password=tiger;";
    QTest::newRow("Oracle without its driver")
        << oracle << ""
        << "The ODBC driver \"Oracle\" for MSDAORA connections is not installed.";
    QTest::newRow("Oracle, the user's driver") << oracle << "Oracle 21 ODBC driver"
                                               << "\"Oracle 21 ODBC driver\"";
    QTest::newRow("value like a key") << "Provider=MSDASQL;Data Source=reporting;User Id=u;Password=my.DSN"
                                      << ""
                                      << "\".dsn\"";
    if (!Warehouse::backends().contains("postgres"))
        return;
    const QString user = qEnvironmentVariable("QLX_TEST_PG_USER");
    QTest::newRow("server down") << "Provider=MSDASQL;Data Source=" +
                                        qEnvironmentVariable("QLX_TEST_PG_DOWN_DSN") + ";User Id=" + user +
                                        ";Password=x;"
                                 << ""
                                 << "Connection refused";
    QTest::newRow("wrong password") << "Provider=MSDASQL;Data Source=" +
                                           qEnvironmentVariable("QLX_TEST_PG_DSN") + ";User Id=" + user +
                                           ";Password=wrong;"
                                    << ""
                                    << "password authentication failed";
    QTest::newRow("unknown data source") << "Provider=MSDASQL;Data Source=no_such_dsn;User Id=x;Password=y;"
                                         << ""
                                         << "The ODBC data source \"no_such_dsn\" is not configured.";
}

// One failed open: one message, one log entry, no connection, and the program still opens a good one.
void tst_ServerConnections::failedOpensAreToldOnce() {
    QFETCH(QString, text);
    QFETCH(QString, oracleDriver);
    QFETCH(QString, expected);
    TestEnvironment env;
    const bool onServer = text.startsWith("Provider=MSDASQL") && !text.contains("reporting");
    // Without the test server such a row skips (under CI it fails).
    std::optional<Warehouse> server;
    if (onServer) {
        server.emplace("postgres");
        QLX_REQUIRE_WAREHOUSE(*server);
    }
    // The machine's own ODBC set-up, as users have it, not the one the test command writes.
    const bool sqlServer = text.startsWith("Provider=SQLOLEDB");
    const QByteArray sysIni = qgetenv("ODBCSYSINI");
    const QByteArray userIni = qgetenv("ODBCINI");
    if (sqlServer) {
        qunsetenv("ODBCSYSINI");
        qunsetenv("ODBCINI");
    }
    const auto restore = qScopeGuard([&] {
        if (sqlServer && !sysIni.isEmpty())
            qputenv("ODBCSYSINI", sysIni);
        if (sqlServer && !userIni.isEmpty())
            qputenv("ODBCINI", userIni);
    });
    if (!oracleDriver.isEmpty())
        SettingsStore::SaveSetting(App::Title(), "ODBC Drivers", "MSDAORA", oracleDriver);
    QVERIFY(!OpenDBConecction(text));
    QCOMPARE(env.ui.messages.size(), 1);
    QVERIFY2(env.ui.messages[0].prompt.contains(expected), qPrintable(env.ui.messages[0].prompt));
    QCOMPARE(env.logLines().size(), 2);
    QVERIFY(env.logLines()[1].endsWith("in modMain:OpenDBConecction"));
    QCOMPARE(gDBConnection.State(), 0);
    QVERIFY(!sqlServer || !env.ui.messages[0].prompt.contains("not installed"));
    if (server) {
        QVERIFY(server->openShared());
        QCOMPARE(gDBConnection.State(), 1);
    }
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
