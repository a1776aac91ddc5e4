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
    void proceduresOnTheSharedConnection_data() { Warehouse::addBackendRows(); }
    void proceduresOnTheSharedConnection();
};

void tst_SqlProcedures::calculateYieldCount_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("expected");
    const int rows[][2] = {{0, 1},  {14, 1},       {15, 2},      {25, 2}, // halves go to even
                           {35, 4}, {10000, 1000}, {10001, 100}, {100000, 1000}};
    for (const auto& r : rows)
        QTest::addRow("%d", r[0]) << r[0] << r[1];
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
    const auto row = [](const char* name, const char* text, const char* fixed, const char* literal) {
        QTest::newRow(name) << QString(text) << QString(fixed) << QString(literal);
    };
    row("none", "ACC100", "ACC100", "'ACC100'");
    row("one", "O'Brien", "O''Brien", "'O''Brien'");
    row("two apart", "a'b'c", "a''b''c", "'a''b''c'");
    row("two together", "''", "''''", "''''''");
    row("empty", "", "", "''");
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
    for (const char* code : {"AC100", "L1_A.2"})
        QTest::newRow(code) << QString(code) << true;
    for (const char* code : {"", " ", "AC 100", "AC-100", "AC%", "O'B"})
        QTest::addRow("'%s'", code) << QString(code) << false;
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
    QTest::newRow("case-insensitive database") << false << "ac1x" << QString("AC1X");
    QTest::newRow("case-sensitive database") << true << "ac1x" << QString("ac1x");
    QTest::newRow("apostrophe kept") << false << "o'b" << QString("O'B");
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

// A quoted value lands and reads back; a failed query is shown (not logged) and answers a recordset that
// raises on use; a failed statement is left to its caller; an empty one is never sent.
void tst_SqlProcedures::proceduresOnTheSharedConnection() {
    TestEnvironment env;
    gCaseSensitive = false;
    QLX_OPEN_WAREHOUSE(w);
    QVERIFY(gCaseSensitive); // only a SQL Server collation with _CI_ makes it insensitive
    QVERIFY(ExecuteSQL("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES (" + SqlText("Q'1") + ", " +
                       SqlText("Owner's equity") + ")"));
    Recordset rs = GetRecordset("SELECT CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE = " + SqlText("Q'1"));
    QVERIFY(gQueryOK);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields("CAT_DESC").Text(), QString("Owner's equity"));

    Recordset bad = GetRecordset("SELECT X FROM NO_SUCH_TABLE");
    QVERIFY(!gQueryOK && bad.IsNothing());
    QCOMPARE(env.ui.messages.size(), 1);
    QVERIFY(!env.ui.messages[0].prompt.isEmpty());
    QVERIFY(bad.IsEOF());
    QCOMPARE(Err().Number(), CurrentError::ObjectNotSet);
    Err().Clear();
    QVERIFY(GetRecordset("SELECT COUNT(*) AS N FROM CS_SOURCE").Fields("N").Value().toInt() > 0);
    QVERIFY(gQueryOK);

    QVERIFY(!ExecuteSQL("Delete From NO_SUCH_TABLE"));
    QVERIFY(Err().Number() != 0);
    Err().Clear();
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.logText(), QString());

    gDBConnection->adoConnection().FailNthStatement(1, {7, "the first statement sent", "test"});
    QVERIFY(!ExecuteSQL(""));
    QCOMPARE(Err().Number(), 0);
    // Had the empty text been sent, the switch would have fired on it.
    QVERIFY(!ExecuteSQL("Delete From CS_CAT_DESC Where CAT_CODE = 'none'"));
    QCOMPARE(Err().Description(), QString("the first statement sent"));
    Err().Clear();
}

QTEST_MAIN(tst_SqlProcedures)
#include "tst_SqlProcedures.moc"
