#include "platform/CurrentError.h"
#include "platform/Recordset.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>
#include <memory>

class tst_Recordset : public QObject {
    Q_OBJECT

    // A table of the test's own, so the expectations do not hang on the seed.
    static void makeProbe(DbConnection& c) {
        QVERIFY(c.Execute("CREATE TABLE QLX_PROBE (CODE VARCHAR(12), DESCR VARCHAR(40), AMOUNT INTEGER)"));
        QVERIFY(c.Execute("INSERT INTO QLX_PROBE (CODE, DESCR, AMOUNT) VALUES ('A1', 'Cash', 10)"));
        QVERIFY(c.Execute("INSERT INTO QLX_PROBE (CODE, DESCR, AMOUNT) VALUES ('B2', '', NULL)"));
        QVERIFY(c.Execute("INSERT INTO QLX_PROBE (CODE, DESCR, AMOUNT) VALUES ('C3', NULL, 30)"));
        QVERIFY(c.Execute("INSERT INTO QLX_PROBE (CODE, DESCR, AMOUNT) VALUES ('D''4', 'O''Brien', 40)"));
    }

private slots:
    void countIsExactBeforeTheWalk_data() { Warehouse::addBackendRows(); }
    void countIsExactBeforeTheWalk();
    void fieldsByAnyNameForm_data();
    void fieldsByAnyNameForm();
    void nullIsNotEmptyText_data() { Warehouse::addBackendRows(); }
    void nullIsNotEmptyText();
    void declaredSizes_data() { Warehouse::addBackendRows(); }
    void declaredSizes();
    void walkMayQueryAndWriteOnEveryRow_data() { Warehouse::addBackendRows(); }
    void walkMayQueryAndWriteOnEveryRow();
    void failedOpenIsNothingAndEveryUseRaises_data() { Warehouse::addBackendRows(); }
    void failedOpenIsNothingAndEveryUseRaises();
    void fieldsOutliveTheirRecordsetAndConnection_data() { Warehouse::addBackendRows(); }
    void fieldsOutliveTheirRecordsetAndConnection();
    void readingPastTheEndRaises_data() { Warehouse::addBackendRows(); }
    void readingPastTheEndRaises();
};

void tst_Recordset::countIsExactBeforeTheWalk() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset rs;
    QVERIFY(rs.Open("SELECT CODE FROM QLX_PROBE ORDER BY CODE", w.own()));
    QCOMPARE(rs.RecordCount(), 4);
    QStringList codes;
    while (!rs.IsEOF()) {
        codes << rs.Fields("CODE").Text();
        rs.MoveNext();
    }
    QCOMPARE(codes, QStringList({"A1", "B2", "C3", "D'4"}));
    QCOMPARE(rs.RecordCount(), 4);
    QCOMPARE(Err().Number(), 0);
    Recordset empty;
    QVERIFY(empty.Open("SELECT CODE FROM QLX_PROBE WHERE CODE = 'none'", w.own()));
    QCOMPARE(empty.RecordCount(), 0);
    QVERIFY(empty.IsEOF());
}

void tst_Recordset::fieldsByAnyNameForm_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "exact") << "DESCR"
                                      << "Cash";
        Warehouse::newRow(b, "lower case") << "descr"
                                           << "Cash";
        Warehouse::newRow(b, "qualified") << "P.DESCR"
                                          << "Cash";
        Warehouse::newRow(b, "alias of the select") << "TOTAL"
                                                    << "10";
        Warehouse::newRow(b, "alias qualified in lower case") << "x.total"
                                                              << "10";
    }
}

void tst_Recordset::fieldsByAnyNameForm() {
    QFETCH(QString, backend);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset rs;
    QVERIFY(
        rs.Open("SELECT P.CODE, P.DESCR, P.AMOUNT AS TOTAL FROM QLX_PROBE P WHERE P.CODE = 'A1'", w.own()));
    QVERIFY(rs.HasField(name));
    QCOMPARE(rs.Fields(name).Text(), expected);
    QCOMPARE(Err().Number(), 0);
    QVERIFY(!rs.HasField("NOPE"));
    rs.Fields("NOPE").Value();
    QCOMPARE(Err().Number(), 3265);
    Err().Clear();
}

void tst_Recordset::nullIsNotEmptyText() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset rs;
    QVERIFY(rs.Open("SELECT CODE, DESCR, AMOUNT FROM QLX_PROBE ORDER BY CODE", w.own()));
    rs.MoveNext(); // B2: empty text, NULL amount
    QVERIFY(!rs.Fields("DESCR").IsNull());
    QCOMPARE(rs.Fields("DESCR").Text(), QString(""));
    QVERIFY(rs.Fields("AMOUNT").IsNull());
    QVERIFY(rs.Fields("AMOUNT").Value().isNull());
    rs.MoveNext(); // C3: NULL text
    QVERIFY(rs.Fields("DESCR").IsNull());
    QCOMPARE(rs.Fields("DESCR").Text(), QString());
    QCOMPARE(rs.Fields(2).Value().toInt(), 30);
}

void tst_Recordset::declaredSizes() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset rs;
    QVERIFY(
        rs.Open("SELECT DISTINCT CODE, DESCR, CODE || 'x' AS JOINED FROM QLX_PROBE ORDER BY CODE", w.own()));
    QCOMPARE(rs.Fields("CODE").DefinedSize(), 12);
    QCOMPARE(rs.Fields("DESCR").DefinedSize(), 40);
    QVERIFY(rs.Fields("JOINED").DefinedSize() == -1 || rs.Fields("JOINED").DefinedSize() > 12);
    // The sizes can be read also after the walk ended.
    while (!rs.IsEOF())
        rs.MoveNext();
    QCOMPARE(rs.Fields("CODE").DefinedSize(), 12);
}

void tst_Recordset::walkMayQueryAndWriteOnEveryRow() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    DbConnection& c = w.own();
    makeProbe(c);
    Recordset rs;
    QVERIFY(rs.Open("SELECT CODE FROM QLX_PROBE ORDER BY CODE", c));
    int visited = 0;
    while (!rs.IsEOF()) {
        const QString code = rs.Fields("CODE").Text();
        Recordset inner;
        QVERIFY(inner.Open("SELECT COUNT(*) AS N FROM QLX_PROBE WHERE CODE <= '" +
                               QString(code).replace("'", "''") + "'",
                           c));
        QCOMPARE(inner.Fields("N").Value().toInt(), visited + 1);
        QVERIFY(c.Execute("UPDATE QLX_PROBE SET AMOUNT = " + QString::number(100 + visited) +
                          " WHERE CODE = '" + QString(code).replace("'", "''") + "'"));
        QVERIFY(c.Execute("INSERT INTO QLX_PROBE (CODE, DESCR, AMOUNT) VALUES ('Z" +
                          QString::number(visited) + "', 'added', 0)"));
        ++visited;
        rs.MoveNext();
    }
    QCOMPARE(visited, 4); // rows added during the walk are not walked
    QCOMPARE(w.rows("SELECT AMOUNT FROM QLX_PROBE WHERE CODE NOT LIKE 'Z%' ORDER BY CODE"),
             QStringList({"100", "101", "102", "103"}));
}

void tst_Recordset::failedOpenIsNothingAndEveryUseRaises() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    Recordset rs;
    QVERIFY(!rs.Open("SELECT NOPE FROM NO_SUCH_TABLE", w.own()));
    QVERIFY(rs.IsNothing());
    QVERIFY(Err().Number() != 0);
    Err().Clear();
    QVERIFY(rs.IsEOF());
    QCOMPARE(Err().Number(), CurrentError::ObjectNotSet);
    Err().Clear();
    QCOMPARE(rs.RecordCount(), 0);
    QCOMPARE(Err().Number(), CurrentError::ObjectNotSet);
    Err().Clear();
    QVERIFY(rs.Fields("NOPE").IsNull());
    QCOMPARE(Err().Number(), CurrentError::ObjectNotSet);
    Err().Clear();
    rs.MoveNext();
    QCOMPARE(Err().Number(), CurrentError::ObjectNotSet);
    Err().Clear();
}

void tst_Recordset::readingPastTheEndRaises() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset rs;
    QVERIFY(rs.Open("SELECT CODE FROM QLX_PROBE WHERE CODE = 'A1'", w.own()));
    rs.MoveNext();
    QVERIFY(rs.IsEOF());
    QCOMPARE(Err().Number(), 0);
    QVERIFY(rs.Fields("CODE").IsNull());
    QCOMPARE(Err().Number(), CurrentError::NoCurrentRecord);
    Err().Clear();
    rs.Close();
    QVERIFY(!rs.IsOpen());
    rs.IsEOF();
    QCOMPARE(Err().Number(), CurrentError::ObjectClosed);
    Err().Clear();
}

void tst_Recordset::fieldsOutliveTheirRecordsetAndConnection() {
    QFETCH(QString, backend);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    makeProbe(w.own());
    auto connection = std::make_unique<DbConnection>();
    QVERIFY(connection->Open(w.connectionText()));
    const Field code = [&] {
        Recordset rs;
        rs.Open("SELECT CODE, DESCR FROM QLX_PROBE ORDER BY CODE", *connection);
        return rs.Fields("DESCR");
    }();
    connection.reset();
    QCOMPARE(code.Text(), QString("Cash"));
    QCOMPARE(code.DefinedSize(), 40);
    QCOMPARE(Err().Number(), 0);
}

QTEST_MAIN(tst_Recordset)
#include "tst_Recordset.moc"
