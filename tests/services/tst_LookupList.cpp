#include "frame/CError.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/UserDialogs.h"
#include "services/LookupList.h"
#include "services/LookupSettings.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>

namespace {

const QStringList kSourceColumns{"SOAREA", "SOLEVEL", "SOCODE", "SODESC"};

// A code lookup of CS_SOURCE as the range editor's code button of types 3-5 configures it.
LookupSettings codeLookup(const QString& area, const QString& level) {
    LookupSettings s;
    s.m_strTableName = "CS_SOURCE";
    s.m_colHideFieldNames = kSourceColumns;
    s.m_colFieldNames = {"SOCODE", "SODESC"};
    s.m_colColumnNames = {"Code", "Description"};
    s.m_strFilter = " SOAREA = " + SqlText(area);
    if (!level.isEmpty())
        s.m_strFilter += " and SOLEVEL = " + SqlText(level.trimmed());
    s.m_strLevel = level;
    s.m_strLevelType = area;
    s.m_LookupCode = true;
    return s;
}

LookupSettings levelLookup(const QString& area) {
    LookupSettings s;
    s.m_strTableName = "CS_SOURCE";
    s.m_colHideFieldNames = kSourceColumns;
    s.m_colFieldNames = {"SOLEVEL"};
    s.m_colColumnNames = {"Level"};
    s.m_strFilter = "SOAREA = " + SqlText(area);
    s.m_strLevelType = area;
    s.m_Lookuplevel = true;
    return s;
}

QString levelRows(Warehouse& w, const QString& area, const QString& level) {
    return w
        .rows("SELECT SOAREA, SOLEVEL, SOCODE, SODESC FROM CS_SOURCE WHERE SOAREA = " + SqlText(area) +
              " AND SOLEVEL = " + SqlText(level) + " ORDER BY SOCODE")
        .join(", ");
}

} // namespace

#define OPEN_WAREHOUSE()                                                                                     \
    TestEnvironment env;                                                                                     \
    QLX_OPEN_WAREHOUSE(w)

class tst_LookupList : public QObject {
    Q_OBJECT
private slots:
    void buildSQL_data();
    void buildSQL();
    void findCode_data();
    void findCode();

    void listQueryRunsOnEveryBackend_data();
    void listQueryRunsOnEveryBackend();
    void insertItemByMode_data();
    void insertItemByMode();
    void deleteOfLastCodeIsOneTransaction_data();
    void deleteOfLastCodeIsOneTransaction();
    void dependencyStatements_data();
    void dependencyStatements();
};

void tst_LookupList::buildSQL_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("sql");
    QTest::newRow("codes of a level")
        << QStringList{"SOCODE", "SODESC"} << "CS_SOURCE"
        << " SOAREA = 'BA' and SOLEVEL = 'L2'"
        << "SELECT DISTINCT SOCODE,SODESC FROM CS_SOURCE WHERE  SOAREA = 'BA' and "
           "SOLEVEL = 'L2' Order by SOCODE";
    QTest::newRow("filter of blanks")
        << QStringList{"CAT_CODE", "CAT_DESC"} << "CS_CAT_DESC"
        << "   "
        << "SELECT DISTINCT CAT_CODE,CAT_DESC FROM CS_CAT_DESC Order by CAT_CODE";
    QTest::newRow("levels") << QStringList{"SOLEVEL"} << "CS_SOURCE"
                            << "SOAREA = 'AC'"
                            << "SELECT DISTINCT SOLEVEL FROM CS_SOURCE WHERE SOAREA = 'AC' Order by SOLEVEL";
    QTest::newRow("constant column") << QStringList{"'BU'"} << "CS_SOURCE"
                                     << ""
                                     << "SELECT DISTINCT 'BU' FROM CS_SOURCE";
}

void tst_LookupList::buildSQL() {
    QFETCH(QStringList, fields);
    QFETCH(QString, table);
    QFETCH(QString, filter);
    QFETCH(QString, sql);
    LookupSettings s;
    s.m_colFieldNames = fields;
    s.m_strTableName = table;
    s.m_strFilter = filter;
    QCOMPARE(LookupList(s).BuildSQL(), sql);
}

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

void tst_LookupList::listQueryRunsOnEveryBackend_data() {
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
        Warehouse::newRow(b, "levels without their placeholder")
            << QStringList{"SOLEVEL"} << "CS_SOURCE"
            << "SOAREA = 'BA'" << QStringList{"L1", "L2", "L3", "L4"};
        Warehouse::newRow(b, "level without codes") << QStringList{"SOCODE", "SODESC"} << "CS_SOURCE"
                                                    << " SOAREA = 'BA' and SOLEVEL = 'L4'" << QStringList{};
    }
}

void tst_LookupList::listQueryRunsOnEveryBackend() {
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

void tst_LookupList::insertItemByMode_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("rows");
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&b](const char* name, const QString& mode, const QString& level, bool written,
                              const QString& sql, const QString& rows) {
            Warehouse::newRow(b, name) << mode << level << written << sql << rows;
        };
        row("level", "level", "L5", true,
            "INSERT INTO CS_SOURCE (SOAREA,SOLEVEL,SOCODE,SODESC) VALUES ('BA','L5',' ',' ')", "BA|L5| | ");
        row("code filling the placeholder", "code", "L4 ", true,
            "Update CS_SOURCE Set SOCODE ='411', SODESC ='North''s Hub' where  SOAREA = 'BA' and  "
            "SOLEVEL = 'L4' and SOCODE = ' ' and SODESC = ' '",
            "BA|L4|411|North's Hub");
        row("code of a new level with an apostrophe", "code", "L'9", true,
            "INSERT INTO CS_SOURCE (SOAREA,SOLEVEL,SOCODE,SODESC) VALUES ('BA','L''9','411','North''s Hub')",
            "BA|L'9|411|North's Hub");
        row("code without a level", "code", " ", false, "", "");
        row("neither mode", "neither", "L5", false, "", "");
    }
}

void tst_LookupList::insertItemByMode() {
    QFETCH(QString, mode);
    QFETCH(QString, level);
    QFETCH(bool, written);
    QFETCH(QString, sql);
    QFETCH(QString, rows);
    OPEN_WAREHOUSE();
    const QString before = w.snapshot();
    const int areaRows = w.scalar("SELECT COUNT(*) FROM CS_SOURCE WHERE SOAREA = 'BA'").toInt();
    LookupSettings s = mode == "level" ? levelLookup("BA") : codeLookup("BA", level);
    s.m_LookupCode = mode == "code";
    LookupList list(s);
    const QString code = mode == "level" ? level : QString("411");
    QCOMPARE(list.InsertItem(code, "North's Hub"), written);
    QVERIFY(env.ui.messages.isEmpty());
    if (!written) {
        QCOMPARE(w.snapshot(), before);
        return;
    }
    QCOMPARE(list.LastSQL(), sql);
    QCOMPARE(levelRows(w, "BA", level.trimmed()), rows);
    QCOMPARE(w.scalar("SELECT COUNT(*) FROM CS_SOURCE WHERE SOAREA = 'BA'").toInt(),
             areaRows + (sql.startsWith("Update") ? 0 : 1));
}

void tst_LookupList::deleteOfLastCodeIsOneTransaction_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("rows");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "committed") << ""
                                          << "BA|L'4| | ";
        Warehouse::newRow(b, "delete fails") << "Delete From CS_SOURCE"
                                             << "BA|L'4|411|Hub's";
        Warehouse::newRow(b, "level probe fails") << "Select * from CS_SOURCE Where SOAREA = 'BA' and SOLEVEL"
                                                  << "BA|L'4|411|Hub's";
        Warehouse::newRow(b, "level row fails") << "INSERT INTO CS_SOURCE"
                                                << "BA|L'4|411|Hub's";
    }
}

void tst_LookupList::deleteOfLastCodeIsOneTransaction() {
    QFETCH(QString, backend);
    QFETCH(QString, failing);
    QFETCH(QString, rows);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.own().Execute("INSERT INTO CS_SOURCE (SOAREA, SOLEVEL, SOCODE, SODESC) VALUES ('BA', 'L''4', "
                            "'411', 'Hub''s')"));
    QVERIFY(w.openShared());
    const LookupSettings s = codeLookup("BA", "L'4");
    LookupList list(s);
    QVERIFY(list.OpenRecordset());
    QCOMPARE(list.Rows().size(), 1);
    if (!failing.isEmpty())
        gDBConnection->adoConnection().FailStatementContaining(failing, {-7, "the test's failure", "test"});

    const LookupList::Deletion result = list.DeleteItem(list.Rows().front());
    QCOMPARE(levelRows(w, "BA", "L'4"), rows);
    QCOMPARE(gDBConnection->adoConnection().TransactionDepth(), 0);
    if (failing.isEmpty()) {
        QVERIFY(result == LookupList::Deletion::Deleted);
        QVERIFY(env.ui.messages.isEmpty());
        return;
    }
    QVERIFY(result == LookupList::Deletion::Failed);
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.ui.messages[0].prompt, QString("the test's failure"));
    QVERIFY(env.logLines().last().endsWith("in frmLookup:DeleteItem"));
}

void tst_LookupList::dependencyStatements_data() {
    Warehouse::addBackendColumn();
    for (const char* column : {"mode", "table", "fldCode", "fldArea", "fldLevel", "code", "sql"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<bool>("found");
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&b](const char* name, const QString& mode, const QString& table,
                              const QString& fldCode, const QString& fldArea, const QString& fldLevel,
                              const QString& code, const QString& sql, bool found) {
            Warehouse::newRow(b, name)
                << mode << table << fldCode << fldArea << fldLevel << code << sql << found;
        };
        row("code with area and level", "code", "CS_BA_BU_LEVELS", "SO_CODE", "SO_AREA", "SO_LEVELS", "223",
            "Select * From CS_BA_BU_LEVELS Where SO_CODE = '223' And SO_AREA= 'BA' And SO_LEVELS = 'L3'",
            true);
        row("code of another level", "code", "CS_LEVELHIER", "CS_CHILDCODE", "CS_AREA", "CS_CHILDLEVEL", "1",
            "Select * From CS_LEVELHIER Where CS_CHILDCODE = '1' And CS_AREA= 'BA' And CS_CHILDLEVEL = 'L3'",
            false);
        row("level", "level", "CS_BA_BU_LEVELS", "", "SO_AREA", "SO_LEVELS", "L1",
            "Select * From CS_BA_BU_LEVELS Where SO_LEVELS = 'L1' And SO_AREA= 'BA'", true);
        row("level with an apostrophe", "level", "CS_BA_BU_LEVELS", "", "SO_AREA", "SO_LEVELS", "L'1",
            "Select * From CS_BA_BU_LEVELS Where SO_LEVELS = 'L''1' And SO_AREA= 'BA'", false);
    }
}

void tst_LookupList::dependencyStatements() {
    QFETCH(QString, mode);
    QFETCH(QString, table);
    QFETCH(QString, fldCode);
    QFETCH(QString, fldArea);
    QFETCH(QString, fldLevel);
    QFETCH(QString, code);
    QFETCH(QString, sql);
    QFETCH(bool, found);
    OPEN_WAREHOUSE();
    const LookupSettings s = mode == "code" ? codeLookup("BA", " L3 ") : levelLookup("BA");
    LookupList list(s);
    const LookupList::Dependency answer = list.DependenciesExist(table, fldCode, fldArea, fldLevel, code);
    QCOMPARE(list.LastSQL(), sql);
    QVERIFY(answer == (found ? LookupList::Dependency::Found : LookupList::Dependency::None));
    QVERIFY(env.ui.messages.isEmpty());
}

QTEST_MAIN(tst_LookupList)
#include "tst_LookupList.moc"
