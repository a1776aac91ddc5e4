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
    void helpers_data();
    void helpers();
    void setNumericOnlyTakesDigits();
    void openFailureShowsOneMessageAndReportsOnce();
    void proceduresOnTheSharedConnection_data() { Warehouse::addBackendRows(); }
    void proceduresOnTheSharedConnection();
};

// The pure helpers: the yield count (halves go to even), quoting, the code rule and the database's case.
void tst_SqlProcedures::helpers_data() {
    QTest::addColumn<QString>("helper");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* helper, const char* input, const char* expected) {
        QTest::newRow(qPrintable(QString("%1 [%2]").arg(helper, input)))
            << QString(helper) << QString(input) << QString(expected);
    };
    const char* yields[][2] = {{"0", "1"},  {"14", "1"},       {"15", "2"},      {"25", "2"},
                               {"35", "4"}, {"10000", "1000"}, {"10001", "100"}, {"100000", "1000"}};
    for (const auto& y : yields)
        row("yield", y[0], y[1]);
    row("quote", "ACC100", "ACC100|'ACC100'");
    row("quote", "O'Brien", "O''Brien|'O''Brien'");
    row("quote", "a'b'c", "a''b''c|'a''b''c'");
    row("quote", "''", "''''|''''''");
    row("quote", "", "|''");
    for (const char* code : {"AC100", "L1_A.2"})
        row("valid", code, "yes");
    for (const char* code : {"", " ", "AC 100", "AC-100", "AC%", "O'B"})
        row("valid", code, "no");
    row("insensitive", "ac1x", "AC1X");
    row("sensitive", "ac1x", "ac1x");
    row("insensitive", "o'b", "O'B");
}

void tst_SqlProcedures::helpers() {
    QFETCH(QString, helper);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    gYieldCount = -5;
    gCaseSensitive = helper == "sensitive";
    if (helper == "yield")
        CalculateYieldCount(input.toInt());
    const QString actual = helper == "yield"   ? QString::number(gYieldCount)
                           : helper == "quote" ? FixQuotes(input) + "|" + SqlText(input)
                           : helper == "valid" ? QString(IsValidCode(input) ? "yes" : "no")
                                               : MatchDBCase(input);
    QCOMPARE(actual, expected);
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

    // A driver that does not count (-1) leaves it unknown whether a row changed: the statement stands.
    gDBConnection->adoConnection().LeaveRowCountsUnknown(true);
    QVERIFY(
        ExecuteSQLChangingRows("Update CS_CAT_DESC Set CAT_DESC = 'x' Where CAT_CODE = " + SqlText("Q'1")));
    gDBConnection->adoConnection().LeaveRowCountsUnknown(false);
    QCOMPARE(w.scalar("SELECT CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE = " + SqlText("Q'1")), QString("x"));
}

QTEST_MAIN(tst_SqlProcedures)
#include "tst_SqlProcedures.moc"
