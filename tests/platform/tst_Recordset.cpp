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
        for (const char* values :
             {"'A1', 'Cash', 10", "'B2', '', NULL", "'C3', NULL, 30", "'D''4', 'O''Brien', 40"})
            QVERIFY(
                c.Execute(QString("INSERT INTO QLX_PROBE (CODE, DESCR, AMOUNT) VALUES (%1)").arg(values)));
    }

private slots:
    void walkMayQueryAndWriteOnEveryRow_data() { Warehouse::addBackendRows(); }
    void walkMayQueryAndWriteOnEveryRow();
    void valuesNamesSizesAndNulls_data() { Warehouse::addBackendRows(); }
    void valuesNamesSizesAndNulls();
    void misuseRaisesInsteadOfCrashing_data();
    void misuseRaisesInsteadOfCrashing();
};

void tst_Recordset::walkMayQueryAndWriteOnEveryRow() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    DbConnection& c = w.own();
    makeProbe(c);
    Recordset rs;
    QVERIFY(rs.Open("SELECT CODE FROM QLX_PROBE ORDER BY CODE", c));
    QCOMPARE(rs.RecordCount(), 4); // exact before the walk
    QStringList codes;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString code = rs.Fields("CODE").Text().replace("'", "''");
        codes << code;
        Recordset inner;
        QVERIFY(inner.Open("SELECT COUNT(*) AS N FROM QLX_PROBE WHERE CODE <= '" + code + "'", c));
        QCOMPARE(inner.Fields("N").Value().toInt(), codes.size());
        QVERIFY(c.Execute(
            QString("UPDATE QLX_PROBE SET AMOUNT = %1 WHERE CODE = '%2'").arg(99 + codes.size()).arg(code)));
        QVERIFY(c.Execute(QString("INSERT INTO QLX_PROBE (CODE) VALUES ('Z%1')").arg(codes.size())));
    }
    QCOMPARE(codes, QStringList({"A1", "B2", "C3", "D''4"})); // rows added during the walk are not walked
    QCOMPARE(w.rows("SELECT AMOUNT FROM QLX_PROBE WHERE CODE NOT LIKE 'Z%' ORDER BY CODE"),
             QStringList({"100", "101", "102", "103"}));
    Recordset empty;
    QVERIFY(empty.Open("SELECT CODE FROM QLX_PROBE WHERE CODE = 'none'", c));
    QVERIFY(empty.RecordCount() == 0 && empty.IsEOF());
}

// NULL is not empty text, declared sizes hold after the walk, and a field outlives its recordset and
// connection; a field is found by any form of its name.
void tst_Recordset::valuesNamesSizesAndNulls() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset named;
    QVERIFY(named.Open("SELECT P.CODE, P.DESCR, P.AMOUNT AS TOTAL FROM QLX_PROBE P WHERE P.CODE = 'A1'",
                       w.own()));
    for (const char* name : {"DESCR", "descr", "P.DESCR", "TOTAL", "x.total"})
        QVERIFY2(named.Fields(name).Text() ==
                     (QString(name).endsWith("otal", Qt::CaseInsensitive) ? "10" : "Cash"),
                 name);
    // Joined tables: a later column of the same name does not hide the first.
    Recordset joined;
    QVERIFY(
        joined.Open("SELECT P.CODE, Q.CODE FROM QLX_PROBE P, QLX_PROBE Q WHERE P.CODE = 'A1' AND Q.CODE = "
                    "'B2'",
                    w.own()));
    QCOMPARE(joined.Fields("CODE").Text(), QString("A1"));
    QVERIFY(!named.HasField("NOPE"));
    named.Fields("NOPE").Value();
    QCOMPARE(Err().Number(), 3265);
    Err().Clear();
    auto connection = std::make_unique<DbConnection>();
    QVERIFY(connection->Open(w.connectionText()));
    const Field kept = [&] {
        Recordset rs;
        rs.Open("SELECT CODE, DESCR FROM QLX_PROBE ORDER BY CODE", *connection);
        return rs.Fields("DESCR");
    }();
    Recordset rs;
    QVERIFY(rs.Open("SELECT DISTINCT CODE, DESCR, AMOUNT, CODE || 'x' AS JOINED FROM QLX_PROBE ORDER BY CODE",
                    *connection));
    connection.reset();
    QCOMPARE(kept.Text(), QString("Cash"));
    QCOMPARE(kept.DefinedSize(), 40);
    rs.MoveNext(); // B2: empty text, NULL amount
    QVERIFY(!rs.Fields("DESCR").IsNull() && rs.Fields("DESCR").Text() == "");
    QVERIFY(rs.Fields("AMOUNT").IsNull() && rs.Fields("AMOUNT").Value().isNull());
    rs.MoveNext(); // C3: NULL text
    QVERIFY(rs.Fields("DESCR").IsNull() && rs.Fields("DESCR").Text().isNull());
    QCOMPARE(rs.Fields(2).Value().toInt(), 30);
    while (!rs.IsEOF())
        rs.MoveNext();
    // The sizes can be read also after the walk ended.
    QCOMPARE(rs.Fields("CODE").DefinedSize(), 12);
    QVERIFY(rs.Fields("JOINED").DefinedSize() == -1 || rs.Fields("JOINED").DefinedSize() > 12);
    QCOMPARE(Err().Number(), 0);
}

void tst_Recordset::misuseRaisesInsteadOfCrashing_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("error");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "failed open")
            << "SELECT NOPE FROM NO_SUCH_TABLE" << int(CurrentError::ObjectNotSet);
        Warehouse::newRow(b, "past the end")
            << "SELECT CODE FROM QLX_PROBE WHERE CODE = 'A1'" << int(CurrentError::NoCurrentRecord);
        Warehouse::newRow(b, "closed") << "" << int(CurrentError::ObjectClosed);
    }
}

void tst_Recordset::misuseRaisesInsteadOfCrashing() {
    QFETCH(QString, sql);
    QFETCH(int, error);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    makeProbe(w.own());
    Recordset rs;
    const bool opened = rs.Open(sql.isEmpty() ? "SELECT CODE FROM QLX_PROBE" : sql, w.own());
    QCOMPARE(opened, error != CurrentError::ObjectNotSet);
    QCOMPARE(rs.IsNothing(), !opened);
    QCOMPARE(Err().Number() != 0, !opened);
    Err().Clear();
    if (error == CurrentError::NoCurrentRecord) {
        rs.MoveNext();
        QVERIFY(rs.IsEOF());
    } else if (error == CurrentError::ObjectClosed) {
        rs.Close();
        QVERIFY(!rs.IsOpen());
    }
    QCOMPARE(Err().Number(), 0);
    QVERIFY(rs.Fields("CODE").IsNull());
    QCOMPARE(Err().Number(), error);
    Err().Clear();
    if (error == CurrentError::NoCurrentRecord)
        return;
    rs.MoveNext();
    QCOMPARE(Err().Number(), error);
    Err().Clear();
    QCOMPARE(rs.RecordCount(), 0);
    QCOMPARE(Err().Number(), error);
    Err().Clear();
}

QTEST_MAIN(tst_Recordset)
#include "tst_Recordset.moc"
