#include "platform/ConnectionText.h"

#include <QTest>

class tst_ConnectionText : public QObject {
    Q_OBJECT
private slots:
    void parsesTheProgramsTexts_data();
    void parsesTheProgramsTexts();
    void mapsProvidersToOdbc_data();
    void mapsProvidersToOdbc();
    void sqlitePathsFollowTheProgramFolder();
};

void tst_ConnectionText::parsesTheProgramsTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("catalog");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("integrated");
    QTest::newRow("open dialog, login")
        << "Provider=SQLOLEDB;Data Source=srv1;Initial Catalog=mart;User Id=fin;Password=p w;"
        << "SQLOLEDB"
        << "srv1"
        << "mart"
        << "fin"
        << "p w" << false;
    QTest::newRow("new connection, login")
        << "PROVIDER=MSDAORA;Data Source=ORCL;User ID=scott;Password=tiger;Initial Catalog=X;Persist "
           "Security Info=True;"
        << "MSDAORA"
        << "ORCL"
        << "X"
        << "scott"
        << "tiger" << false;
    QTest::newRow("integrated SSPI") << "Provider=SQLOLEDB;Data Source=(local);Integrated Security=SSPI"
                                     << "SQLOLEDB"
                                     << "(local)"
                                     << ""
                                     << ""
                                     << "" << true;
    QTest::newRow("file entry, trusted with comma")
        << "PROVIDER=SQLOLEDB;Data Source=srv;;Persist Security Info=True;Trusted_Connection=Yes,"
        << "SQLOLEDB"
        << "srv"
        << ""
        << ""
        << "" << true;
    QTest::newRow("keys in any case") << "provider=sqlite;DATA SOURCE=demo.db;user id=u;PASSWORD=x"
                                      << "sqlite"
                                      << "demo.db"
                                      << ""
                                      << "u"
                                      << "x" << false;
}

void tst_ConnectionText::parsesTheProgramsTexts() {
    QFETCH(QString, text);
    QFETCH(QString, provider);
    QFETCH(QString, source);
    QFETCH(QString, catalog);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, integrated);
    const ConnectionText ct = ConnectionText::Parse(text);
    QCOMPARE(ct.Provider, provider);
    QCOMPARE(ct.DataSource, source);
    QCOMPARE(ct.InitialCatalog, catalog);
    QCOMPARE(ct.UserId, user);
    QCOMPARE(ct.Password, password);
    QCOMPARE(ct.IntegratedSecurity, integrated);
}

void tst_ConnectionText::mapsProvidersToOdbc_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("odbc");
    QTest::newRow("sql server login")
        << "Provider=SQLOLEDB;Data Source=db01;Initial Catalog=Mart;User Id=fin;Password=s3;"
        << "QODBC"
        << "DRIVER=FreeTDS;SERVER=db01;DATABASE=Mart;UID=fin;PWD=s3;";
    QTest::newRow("(local) and a port") << "Provider=SQLOLEDB;Data Source=(local),1433;User Id=fin;Password=;"
                                        << "QODBC"
                                        << "DRIVER=FreeTDS;SERVER=localhost;PORT=1433;UID=fin;PWD=;";
    QTest::newRow("(local) with an instance")
        << "Provider=SQLOLEDB;Data Source=(local)\\SQLEXPRESS;User Id=fin;Password=x;"
        << "QODBC"
        << "DRIVER=FreeTDS;SERVER=localhost\\SQLEXPRESS;UID=fin;PWD=x;";
    QTest::newRow("integrated security") << "Provider=SQLOLEDB;Data Source=db01;Integrated Security=SSPI"
                                         << "QODBC"
                                         << "DRIVER=FreeTDS;SERVER=db01;Trusted_Connection=Yes;";
    QTest::newRow("password with }") << "Provider=MSDASQL;Data Source=wh;User Id=fin;Password=a}b"
                                     << "QODBC"
                                     << "DSN=wh;UID=fin;PWD={a}}b};";
    QTest::newRow("quoted password with ; and }")
        << "Provider=MSDASQL;Data Source=wh;User Id=fin;Password=\"a;PWD=x}\"\"\";"
        << "QODBC"
        << "DSN=wh;UID=fin;PWD={a;PWD=x}}\"};";
    QTest::newRow("oracle alias") << "PROVIDER=MSDAORA;Data Source=ORCL;User ID=scott;Password=t;"
                                  << "QODBC"
                                  << "DRIVER=FreeTDS;DBQ=ORCL;UID=scott;PWD=t;";
    QTest::newRow("sqlite needs no odbc") << "PROVIDER=SQLITE;Data Source=demo.db"
                                          << "QSQLITE"
                                          << "";
    QTest::newRow("unknown provider") << "PROVIDER=JET;Data Source=x"
                                      << ""
                                      << "";
}

void tst_ConnectionText::mapsProvidersToOdbc() {
    QFETCH(QString, text);
    QFETCH(QString, driver);
    QFETCH(QString, odbc);
    const ConnectionText ct = ConnectionText::Parse(text);
    QCOMPARE(ct.qtDriverName(), driver);
    QCOMPARE(ct.odbcConnectionString("FreeTDS"), odbc);
}

void tst_ConnectionText::sqlitePathsFollowTheProgramFolder() {
    QCOMPARE(ConnectionText::Parse("PROVIDER=SQLITE;Data Source=demo.db").sqliteFilePath("/opt/qlx"),
             QString("/opt/qlx/demo.db"));
    QCOMPARE(ConnectionText::Parse("PROVIDER=SQLITE;Data Source=/data/w.db").sqliteFilePath("/opt/qlx"),
             QString("/data/w.db"));
    // A ";" cannot reach a value through the file, but a "}" can: it must stay inside its braces.
    QCOMPARE(ConnectionText::odbcQuote("x};DSN={evil"), QString("{x}};DSN={evil}"));
    QCOMPARE(ConnectionText::odbcQuote(" padded"), QString("{ padded}"));
    QCOMPARE(ConnectionText::odbcQuote("plain"), QString("plain"));
}

QTEST_MAIN(tst_ConnectionText)
#include "tst_ConnectionText.moc"
