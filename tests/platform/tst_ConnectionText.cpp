#include "platform/ConnectionText.h"

#include <QTest>

class tst_ConnectionText : public QObject {
    Q_OBJECT
private slots:
    void reachesTheDriverAsStored_data();
    void reachesTheDriverAsStored();
    void sqlitePathsFollowTheProgramFolder();
};

// What the driver is given is what matters: every part parsed from the stored text must reach it, and no
// value may end its key or open another.
void tst_ConnectionText::reachesTheDriverAsStored_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("odbc");
    const auto row = [](const char* name, const QString& text, const char* driver, const QString& odbc) {
        QTest::newRow(name) << text << QString(driver) << odbc;
    };
    row("login, keys in any case",
        "provider=SQLOLEDB;DATA SOURCE=db01;Initial Catalog=Mart;user id=fin;PASSWORD=s3;", "QODBC",
        "DRIVER=FreeTDS;SERVER=db01;DATABASE=Mart;UID=fin;PWD=s3;");
    row("new connection's order",
        "PROVIDER=SQLOLEDB;Data Source=db;User ID=u;Password=p w;Initial Catalog=X;Persist Security "
        "Info=True;",
        "QODBC", "DRIVER=FreeTDS;SERVER=db;DATABASE=X;UID=u;PWD=p w;");
    row("(local) and a port", "Provider=SQLOLEDB;Data Source=(local),1433;User Id=fin;Password=;", "QODBC",
        "DRIVER=FreeTDS;SERVER=localhost;PORT=1433;UID=fin;PWD=;");
    row("(local) with an instance",
        "Provider=SQLOLEDB;Data Source=(local)\\SQLEXPRESS;User Id=fin;Password=x;", "QODBC",
        "DRIVER=FreeTDS;SERVER=localhost\\SQLEXPRESS;UID=fin;PWD=x;");
    row("integrated security", "Provider=SQLOLEDB;Data Source=db01;Integrated Security=SSPI", "QODBC",
        "DRIVER=FreeTDS;SERVER=db01;Trusted_Connection=Yes;");
    row("file entry, trusted with comma",
        "PROVIDER=SQLOLEDB;Data Source=srv;;Persist Security Info=True;Trusted_Connection=Yes,", "QODBC",
        "DRIVER=FreeTDS;SERVER=srv;Trusted_Connection=Yes;");
    row("password with }", "Provider=MSDASQL;Data Source=wh;User Id=fin;Password=a}b", "QODBC",
        "DSN=wh;UID=fin;PWD={a}}b};");
    row("quoted password with ; and }",
        "Provider=MSDASQL;Data Source=wh;User Id=fin;Password=\"a;PWD=x}\"\"\";", "QODBC",
        "DSN=wh;UID=fin;PWD={a;PWD=x}}\"};");
    row("password ending its braces",
        "Provider=MSDASQL;Data Source=wh;User Id=\" u\";Password=\"x};DSN={evil\"", "QODBC",
        "DSN=wh;UID=u;PWD={x}};DSN={evil};");
    row("oracle alias", "PROVIDER=MSDAORA;Data Source=ORCL;User ID=scott;Password=t;", "QODBC",
        "DRIVER=FreeTDS;DBQ=ORCL;UID=scott;PWD=t;");
    row("sqlite needs no odbc", "PROVIDER=SQLITE;Data Source=demo.db", "QSQLITE", "");
    row("unknown provider", "PROVIDER=JET;Data Source=x", "", "");
}

void tst_ConnectionText::reachesTheDriverAsStored() {
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
}

QTEST_MAIN(tst_ConnectionText)
#include "tst_ConnectionText.moc"
