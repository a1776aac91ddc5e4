#include "services/LookupList.h"
#include "services/LookupSettings.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>

#define OPEN_WAREHOUSE()                                                                                     \
    TestEnvironment env;                                                                                     \
    QLX_OPEN_WAREHOUSE(w)

class tst_LookupList : public QObject {
    Q_OBJECT
private slots:
    void findCode_data();
    void findCode();
    void listQuery_data();
    void listQuery();
};

void tst_LookupList::findCode_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("found");
    const QStringList codes{"0", "AB1", "ab", "abc", "X"};
    QTest::newRow("exact before an earlier prefix match") << codes << "ab" << 2;
    QTest::newRow("exact in another letter case") << codes << "AB" << 2;
    QTest::newRow("prefix, letter case ignored") << codes << "a" << 1;
    QTest::newRow("longer listed code") << QStringList{"111", "1111"} << "11" << 0;
    QTest::newRow("blanks around the code") << codes << " abc " << 3;
    QTest::newRow("zero") << codes << "0" << 0;
    QTest::newRow("nothing begins with it") << codes << "zz" << -1;
}

void tst_LookupList::findCode() {
    QFETCH(QStringList, codes);
    QFETCH(QString, code);
    QFETCH(int, found);
    QCOMPARE(LookupList::FindCode(codes, code), found);
}

void tst_LookupList::listQuery_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("codes");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "business level") << QStringList{"'BU'"} << "CS_SOURCE"
                                               << "" << QStringList{"BU"};
        Warehouse::newRow(b, "multipliers")
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
    OPEN_WAREHOUSE();
    LookupSettings s;
    s.m_colFieldNames = fields;
    s.m_strTableName = table;
    s.m_strFilter = filter;
    LookupList list(s);
    QVERIFY(list.OpenRecordset());
    QCOMPARE(list.Codes(), codes);
    QCOMPARE(list.FieldCount(), fields.size());
    QVERIFY(env.ui.messages.isEmpty());
}

QTEST_MAIN(tst_LookupList)
#include "tst_LookupList.moc"
