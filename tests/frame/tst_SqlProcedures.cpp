#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QLineEdit>
#include <QTest>

class tst_SqlProcedures : public QObject {
    Q_OBJECT
private slots:
    void calculateYieldCount_data();
    void calculateYieldCount();
    void fixQuotes_data();
    void fixQuotes();
    void isValidCode_data();
    void isValidCode();
    void matchDBCase_data();
    void matchDBCase();
    void setNumericOnlyTakesDigits();

    void openFailureShowsOneMessageAndReportsOnce();
    void openSucceedsCaseSensitive_data() { Warehouse::addBackendRows(); }
    void openSucceedsCaseSensitive();
    void getRecordsetFailureShowsAndReturnsNothing_data() { Warehouse::addBackendRows(); }
    void getRecordsetFailureShowsAndReturnsNothing();
    void getRecordsetReadsAQuotedValue_data() { Warehouse::addBackendRows(); }
    void getRecordsetReadsAQuotedValue();
    void executeSqlEmptySendsNothing_data() { Warehouse::addBackendRows(); }
    void executeSqlEmptySendsNothing();
    void executeSqlFailureIsLeftToTheCaller_data() { Warehouse::addBackendRows(); }
    void executeSqlFailureIsLeftToTheCaller();
    void sharedConnectionIsCreatedOnUse();
};

void tst_SqlProcedures::calculateYieldCount_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("expected");
    QTest::newRow("0") << 0 << 1;
    QTest::newRow("14") << 14 << 1;
    QTest::newRow("15") << 15 << 2;
    QTest::newRow("25 (half to even)") << 25 << 2;
    QTest::newRow("35 (half to even)") << 35 << 4;
    QTest::newRow("10,000") << 10000 << 1000;
    QTest::newRow("10,001") << 10001 << 100;
    QTest::newRow("100,000") << 100000 << 1000;
}

void tst_SqlProcedures::calculateYieldCount() {
    QFETCH(int, rows);
    QFETCH(int, expected);
    gYieldCount = -5;
    CalculateYieldCount(rows);
    QCOMPARE(gYieldCount, expected);
}

void tst_SqlProcedures::fixQuotes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<QString>("literal");
    QTest::newRow("none") << "ACC100"
                          << "ACC100"
                          << "'ACC100'";
    QTest::newRow("one") << "O'Brien"
                         << "O''Brien"
                         << "'O''Brien'";
    QTest::newRow("two apart") << "a'b'c"
                               << "a''b''c"
                               << "'a''b''c'";
    QTest::newRow("two together") << "''"
                                  << "''''"
                                  << "''''''";
    QTest::newRow("empty") << ""
                           << ""
                           << "''";
}

void tst_SqlProcedures::fixQuotes() {
    QFETCH(QString, text);
    QFETCH(QString, fixed);
    QFETCH(QString, literal);
    QCOMPARE(FixQuotes(text), fixed);
    QCOMPARE(SqlText(text), literal);
}

void tst_SqlProcedures::isValidCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("valid");
    QTest::newRow("letters and digits") << "AC100" << true;
    QTest::newRow("underscore and dot") << "L1_A.2" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("lone blank") << " " << false;
    QTest::newRow("inner blank") << "AC 100" << false;
    QTest::newRow("hyphen") << "AC-100" << false;
    QTest::newRow("percent") << "AC%" << false;
    QTest::newRow("apostrophe") << "O'B" << false;
}

void tst_SqlProcedures::isValidCode() {
    QFETCH(QString, code);
    QFETCH(bool, valid);
    QCOMPARE(IsValidCode(code), valid);
}

void tst_SqlProcedures::matchDBCase_data() {
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("case-insensitive database") << false << "ac1x"
                                               << "AC1X";
    QTest::newRow("case-sensitive database") << true << "ac1x"
                                             << "ac1x";
    QTest::newRow("apostrophe kept") << false << "o'b"
                                     << "O'B";
}

void tst_SqlProcedures::matchDBCase() {
    QFETCH(bool, caseSensitive);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    gCaseSensitive = caseSensitive;
    QCOMPARE(MatchDBCase(text), expected);
}

void tst_SqlProcedures::setNumericOnlyTakesDigits() {
    QLineEdit box;
    SetNumericOnly(&box);
    QTest::keyClicks(&box, "12a3-4 ");
    QCOMPARE(box.text(), QString("1234"));
}

void tst_SqlProcedures::openFailureShowsOneMessageAndReportsOnce() {
    TestEnvironment env;
    QVERIFY(!OpenDBConecction("PROVIDER=SQLITE;Data Source=missing.db"));
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.ui.messages[0].style, int(vbInformation));
    QCOMPARE(env.ui.messages[0].title, QString("Marvane Vuldra Configurator"));
    QVERIFY(env.ui.messages[0].prompt.contains("missing.db"));
    const QStringList log = env.logLines();
    QCOMPARE(log.size(), 2); // header and the one report
    QVERIFY(log[1].endsWith("in modMain:OpenDBConecction"));
    QCOMPARE(gDBConnection.State(), 0);
    QCOMPARE(Err().Number(), 0);

    QVERIFY(!OpenDBConecction("PROVIDER=NOSUCH;Data Source=x"));
    QCOMPARE(env.ui.messages.size(), 2);
    QVERIFY(env.ui.messages[1].prompt.contains("Provider cannot be found"));
}

void tst_SqlProcedures::openSucceedsCaseSensitive() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    gCaseSensitive = false;
    QVERIFY(w.openShared());
    QVERIFY(gCaseSensitive); // only a SQL Server collation with _CI_ makes it insensitive
    QCOMPARE(gDBConnection.State(), 1);
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(env.logText(), QString());
}

void tst_SqlProcedures::getRecordsetFailureShowsAndReturnsNothing() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.openShared());
    gQueryOK = true;
    Recordset rs = GetRecordset("SELECT X FROM NO_SUCH_TABLE");
    QVERIFY(!gQueryOK);
    QVERIFY(rs.IsNothing());
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.ui.messages[0].style, int(vbOKOnly));
    QVERIFY(!env.ui.messages[0].prompt.isEmpty());
    QCOMPARE(env.logText(), QString()); // shown, not logged
    // A caller that goes on regardless gets an error to report, not a crash.
    QVERIFY(rs.IsEOF());
    QCOMPARE(Err().Number(), CurrentError::ObjectNotSet);
    Err().Clear();
    // The next good query sets the flag again.
    Recordset good = GetRecordset("SELECT COUNT(*) AS N FROM CS_SOURCE");
    QVERIFY(gQueryOK);
    QVERIFY(good.Fields("N").Value().toInt() > 0);
}

void tst_SqlProcedures::getRecordsetReadsAQuotedValue() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.openShared());
    const QString desc = "Owner's equity";
    QVERIFY(ExecuteSQL("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES (" + SqlText("Q'1") + ", " +
                       SqlText(desc) + ")"));
    Recordset rs = GetRecordset("SELECT CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE = " + SqlText("Q'1"));
    QVERIFY(gQueryOK);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields("CAT_DESC").Text(), desc);
}

void tst_SqlProcedures::executeSqlEmptySendsNothing() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.openShared());
    DbConnection& c = gDBConnection->adoConnection();
    c.FailNthStatement(1, {7, "the first statement sent", "test"});
    QVERIFY(!ExecuteSQL(""));
    QCOMPARE(Err().Number(), 0);
    // Had the empty text been sent, the switch would have fired on it.
    QVERIFY(!ExecuteSQL("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
    QCOMPARE(Err().Description(), QString("the first statement sent"));
    Err().Clear();
}

void tst_SqlProcedures::executeSqlFailureIsLeftToTheCaller() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.openShared());
    QVERIFY(!ExecuteSQL("Delete From NO_SUCH_TABLE"));
    QVERIFY(Err().Number() != 0);
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(env.logText(), QString());
    Err().Clear();
    QVERIFY(ExecuteSQL("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
}

void tst_SqlProcedures::sharedConnectionIsCreatedOnUse() {
    TestEnvironment env;
    QVERIFY(gDBConnection.IsNothing());
    QCOMPARE(gDBConnection.State(), 0);
    QVERIFY(gDBConnection.IsNothing()); // asking the state creates nothing
    QCOMPARE(gDBConnection->adoConnection().State(), 0);
    QVERIFY(!gDBConnection.IsNothing());
    CloseDBConnection();
    QVERIFY(gDBConnection.IsNothing());
}

QTEST_MAIN(tst_SqlProcedures)
#include "tst_SqlProcedures.moc"
