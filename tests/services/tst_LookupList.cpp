#include "frame/modMain.h"
#include "services/LookupList.h"
#include "services/LookupSettings.h"
#include "support/LookupShapes.h"
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
    void overlongValueRefused_data();
    void overlongValueRefused();
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

// The lookup's changes driven without the dialog, which limits its boxes: a value longer than its column is
// refused in words naming it and the column, and nothing is written, where SQLite would store it whole. A
// character beyond the basic plane counts as one, as the columns count them.
void tst_LookupList::overlongValueRefused_data() {
    Warehouse::addColumns<QString>("lookup");
    QTest::addColumn<QString>("change"); // add, insert (a new row of CS_SOURCE) or modify (of EQTY)
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("column"); // the width and the column the refusal names; empty: stored
    const auto row = [](const char* name, const char* lookup, const char* change, const QString& code,
                        const QString& description, const char* column) {
        Warehouse::addRows(name, QString(lookup), QString(change), code, description, QString(column));
    };
    const QString emoji = QStringLiteral("\U0001F600");
    row("category code", "categories", "add", "ABCDEFGHIJK", "New",
        "10 characters that CAT_CODE of CS_CAT_DESC");
    row("category description", "categories", "add", "NEWC", QString(101, 'd'),
        "100 characters that CAT_DESC of CS_CAT_DESC");
    row("code of a level", "codes BA L2", "insert", "C2345678901234567890X", "New",
        "20 characters that SOCODE of CS_SOURCE");
    row("description of a code", "codes BA L4", "insert", "411", QString(101, 'd'),
        "100 characters that SODESC of CS_SOURCE");
    row("level", "levels BA", "insert", "L234567890X", "", "10 characters that SOLEVEL of CS_SOURCE");
    row("changed description", "categories", "modify", "EQTY", QString(101, 'd'),
        "100 characters that CAT_DESC of CS_CAT_DESC");
    row("category code of characters beyond the basic plane", "categories", "add", emoji.repeated(10), "New",
        "");
    row("code of a level as long as its column", "codes BA L2", "insert", "C234567890123456789" + emoji,
        "New", "");
}

void tst_LookupList::overlongValueRefused() {
    QFETCH(QString, lookup);
    QFETCH(QString, change);
    QFETCH(QString, code);
    QFETCH(QString, description);
    QFETCH(QString, column);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    LookupSettings s;
    ConfigureLookup(s, lookup);
    LookupList list(s);
    const QString before = w.snapshot();
    bool done = false;
    if (change == "add")
        done = list.AddListedRow(code, description) == LookupList::Addition::Added;
    else if (change == "insert")
        done = list.InsertItem(code, description) == LookupList::Addition::Added;
    else
        done = list.ModifyItem(LookupList::Row{QString(), code, {}, {}}, description);
    QCOMPARE(done, column.isEmpty());
    const QString table = lookup == "categories" ? "CS_CAT_DESC" : "CS_SOURCE";
    const QString codeColumn = lookup == "categories"        ? "CAT_CODE"
                               : lookup.startsWith("levels") ? "SOLEVEL"
                                                             : "SOCODE";
    if (column.isEmpty()) {
        QCOMPARE(w.scalar("SELECT COUNT(*) FROM " + table + " WHERE " + codeColumn + " = " + SqlText(code)),
                 QString("1"));
        QVERIFY(env.ui.messages.isEmpty());
        return;
    }
    QCOMPARE(w.snapshot(), before);
    const QString value = code.size() > description.size() ? code : description;
    QCOMPARE(env.prompts(),
             QStringList{"\"" + value + "\" is longer than the " + column + " holds; nothing was written."});
    QVERIFY(!env.ui.inTransaction[0]);
    const QStringList log = env.logLines();
    QVERIFY2(log.size() == 2 && log[1].contains(" is longer than the " + column) &&
                 log[1].endsWith(change == "add"      ? "in frmLookup:cmdAdd_Click"
                                 : change == "insert" ? "in frmLookup:InsertItem"
                                                      : "in frmLookup:ModifyItem"),
             qPrintable(log.join('\n')));
}

QTEST_MAIN(tst_LookupList)
#include "tst_LookupList.moc"
