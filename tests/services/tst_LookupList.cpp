#include "services/LookupList.h"
#include "services/LookupSettings.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>

class tst_LookupList : public QObject {
    Q_OBJECT
private slots:
    void findCode_data();
    void findCode();
    void listQuery_data();
    void listQuery();
};

void tst_LookupList::findCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("found"); // in 0, AB1, ab, abc, X, 111, 1111
    QTest::newRow("exact before an earlier prefix match") << "ab" << 2;
    QTest::newRow("exact in another letter case") << "AB" << 2;
    QTest::newRow("prefix, letter case ignored") << "a" << 1;
    QTest::newRow("longer listed code") << "11" << 5;
    QTest::newRow("blanks around the code") << " abc " << 3;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("nothing begins with it") << "zz" << -1;
}

void tst_LookupList::findCode() {
    QFETCH(QString, code);
    QFETCH(int, found);
    QCOMPARE(LookupList::FindCode({"0", "AB1", "ab", "abc", "X", "111", "1111"}, code), found);
}

void tst_LookupList::listQuery_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("codes");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "constant field") << QStringList{"'BU'"} << "CS_SOURCE"
                                               << "" << QStringList{"BU"};
        Warehouse::newRow(b, "filter")
            << QStringList{"MULPT", "MULDESC"} << "CS_MULTIPLIER"
            << " CS_MULTIPLIER.MULPT LIKE 'M%'" << QStringList{"MFX", "MSIGN", "MTHOU"};
        Warehouse::newRow(b, "filter of blanks") << QStringList{"MULPT"} << "CS_MULTIPLIER"
                                                 << "   " << QStringList{"DSIGN", "MFX", "MSIGN", "MTHOU"};
        Warehouse::newRow(b, "levels without their placeholder")
            << QStringList{"SOLEVEL"} << "CS_SOURCE"
            << "SOAREA = 'BA'" << QStringList{"L1", "L2", "L3", "L4"};
        Warehouse::newRow(b, "level without codes") << QStringList{"SOCODE", "SODESC"} << "CS_SOURCE"
                                                    << " SOAREA = 'BA' and SOLEVEL = 'L4'" << QStringList{};
    }
}

void tst_LookupList::listQuery() {
    QFETCH(QStringList, fields);
    QFETCH(QString, table);
    QFETCH(QString, filter);
    QFETCH(QStringList, codes);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    LookupSettings s;
    s.m_colFieldNames = fields;
    s.m_strTableName = table;
    s.m_strFilter = filter;
    LookupList list(s);
    QVERIFY(list.OpenRecordset());
    QCOMPARE(list.Codes(), codes);
    QVERIFY(env.ui.messages.isEmpty());
}

QTEST_MAIN(tst_LookupList)
#include "tst_LookupList.moc"
