#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "rangemaint/RangeEditorState.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "rangemaint/clsBuLevelRangeMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>
#include <QTreeWidget>

namespace {

// An owner without a window that records the tree's enabled states.
class HeadlessEditor : public RangeEditorState {
public:
    explicit HeadlessEditor(qint16 type, const QString& = QString()) : RangeEditorState(type) {}
    void SetTreeEnabled(bool on) override {
        RangeEditorState::SetTreeEnabled(on);
        states << on;
    }

    QTreeWidget& list = *AccountList();
    bool& enabled = treeEnabled;
    QList<bool> states;
};

QStringList row(const QTreeWidget& list, int r) {
    QStringList cells;
    const QTreeWidgetItem* item = list.topLevelItem(r);
    for (int c = 0; c < item->columnCount(); ++c)
        cells << item->text(c);
    return cells;
}

QString areaOf(int type) {
    return QStringList{"", "", "", "AC", "BU", "BA"}.value(type);
}

// The statement that loads the tree of the owner's maintenance type.
QString treeSql(HeadlessEditor& owner) {
    switch (owner.MaintenanceType()) {
    case 1: {
        clsAcMultiplierRangeMaint e;
        e.OwnerForm(&owner);
        return e.GetSQL_Multiplier();
    }
    case 2: {
        clsAcCategoriesRangeMaint e;
        e.OwnerForm(&owner);
        return e.GetSQL_Categories();
    }
    case 3: {
        clsAcLevelRangeMaint e;
        e.OwnerForm(&owner);
        return e.GetSQL_Level();
    }
    default: {
        clsBuLevelRangeMaint e;
        e.OwnerForm(&owner);
        return e.GetSQL_BU_Level();
    }
    }
}

} // namespace

#define OPEN_WAREHOUSE() QLX_OPEN_WAREHOUSE(w)

class tst_RangeEngines : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void treeStatements_data();
    void treeStatements();
    void treeStatementsRun_data();
    void treeStatementsRun();
    void accountLists_data();
    void accountLists();
    void anUnknownValueColumnLeavesTheListEmpty_data();
    void anUnknownValueColumnLeavesTheListEmpty();
    void levelStatementBuilders_data() { Warehouse::addBackendRows(); }
    void levelStatementBuilders();
    void aFailedQueryEndsItsOperation_data();
    void aFailedQueryEndsItsOperation();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void tst_RangeEngines::treeStatements_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("sql");
    const QString level = "Select distinct CO_COA, CO_LEVEL, CO_CODE, SODESC, CO_FR_ACCT, CO_TO_ACCT From "
                          "CS_COA_ACCT_RANGE  left outer join CS_SOURCE on CS_COA_ACCT_RANGE.CO_LEVEL = "
                          "CS_SOURCE.SOLEVEL and CS_COA_ACCT_RANGE.CO_CODE = CS_SOURCE.SOCODE and "
                          "CS_SOURCE.SOAREA = 'AC'";
    const QString levelOrder = " Order by CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT";
    QTest::newRow("level") << 3 << "" << level + levelOrder;
    QTest::newRow("level, blanks only") << 3 << "   " << level + levelOrder;
    QTest::newRow("level, filter") << 3 << " 111120 "
                                   << level + " Where '111120' between CO_FR_ACCT and CO_TO_ACCT" +
                                          levelOrder;
    QTest::newRow("level, apostrophe")
        << 3 << "11'1" << level + " Where '11''1' between CO_FR_ACCT and CO_TO_ACCT" + levelOrder;
    const QString mul =
        "Select * From CS_MULTIPLIER_RANGE left outer join CS_MULTIPLIER on "
        "CS_MULTIPLIER_RANGE.MUL_CODE = CS_MULTIPLIER.MULPT Where CS_MULTIPLIER_RANGE.MUL_CODE "
        "not like 'D%'";
    const QString mulOrder = " Order by MUL_COA, MUL_CODE, MUL_FR_ACCT, MUL_TO_ACCT";
    QTest::newRow("multiplier") << 1 << "" << mul + mulOrder;
    QTest::newRow("multiplier, filter")
        << 1 << "1'2" << mul + " and '1''2' between MUL_FR_ACCT and MUL_TO_ACCT" + mulOrder;
    const QString cat = "Select distinct * From CS_CAT_TYPE left outer join CS_CAT_DESC on "
                        "CS_CAT_TYPE.CAT_TYP_CD = CS_CAT_DESC.CAT_CODE";
    const QString catOrder = " Order by CAT_COA, CAT_TYP_CD, CAT_FR_ACCT, CAT_TO_ACCT";
    QTest::newRow("categories") << 2 << "" << cat + catOrder;
    QTest::newRow("categories, filter")
        << 2 << "111120" << cat + " Where '111120' between CAT_FR_ACCT and CAT_TO_ACCT" + catOrder;
    const QString bu =
        "Select distinct B.SO_AREA, B.SO_LEVELS,B.SO_CODE, S.SODESC,B.SO_FR_CD, B.SO_TO_CD From "
        "CS_BA_BU_LEVELS B left outer jOIN CS_SOURCE  S on B.SO_CODE = S.SOCODE and B.SO_AREA = "
        "S.SOAREA and B.SO_LEVELS =S.SOLEVEL where B.SO_AREA = ";
    const QString buOrder = " Order by B.SO_AREA, B.SO_LEVELS, B.SO_CODE, B.SO_FR_CD, B.SO_TO_CD";
    QTest::newRow("business unit") << 4 << "" << bu + "'BU'" + buOrder;
    QTest::newRow("business area, filter")
        << 5 << "2011" << bu + "'BA' and '2011' between B.SO_FR_CD and B.SO_TO_CD" + buOrder;
}

void tst_RangeEngines::treeStatements() {
    QFETCH(int, type);
    QFETCH(QString, filter);
    QFETCH(QString, sql);
    HeadlessEditor owner(type, areaOf(type));
    owner.filter = filter;
    QCOMPARE(treeSql(owner), sql);
}

void tst_RangeEngines::treeStatementsRun_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("rows");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "level") << 3 << "" << 216;
        Warehouse::newRow(b, "level, apostrophe") << 3 << "11'1" << 0;
        // MLEG and MSIGN hold the CORP account, DSIGN is hidden.
        Warehouse::newRow(b, "multiplier, filter") << 1 << "211120" << 0;
        Warehouse::newRow(b, "multiplier, apostrophe") << 1 << "'" << 0;
        Warehouse::newRow(b, "categories, apostrophe") << 2 << "a'b" << 0;
        Warehouse::newRow(b, "business area, apostrophe") << 5 << "x'" << 0;
    }
}

void tst_RangeEngines::treeStatementsRun() {
    QFETCH(int, type);
    QFETCH(QString, filter);
    QFETCH(int, rows);
    OPEN_WAREHOUSE();
    HeadlessEditor owner(type, areaOf(type));
    owner.filter = filter;
    if (type == 1) {
        // Every multiplier range that holds the account, but none of a D multiplier.
        rows = w.rows("Select MUL_CODE From CS_MULTIPLIER_RANGE where MUL_CODE not like 'D%' and "
                      "MUL_FR_ACCT <= '211120' and MUL_TO_ACCT >= '211120'")
                   .size();
        if (filter == "'")
            rows = 0;
        QVERIFY(rows > 0 || filter == "'");
    }
    Recordset rs = GetRecordset(treeSql(owner));
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(!rs.IsNothing());
    QCOMPARE(rs.RecordCount(), rows);
    if (type == 1)
        for (; !rs.IsEOF(); rs.MoveNext())
            QVERIFY(!rs.Fields("MUL_CODE").Text().startsWith('D'));
    QVERIFY(m_env->logText().isEmpty());
}

void tst_RangeEngines::accountLists_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("args"); // chart, level, code, blocked
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<bool>("logged");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "level L3, open accounts") << 3 << QStringList{"CORP", "L3", "111", "0"} << 170
                                                        << QStringList{"111110", "", "111", ""} << false;
        Warehouse::newRow(b, "level L3, with blocked accounts")
            << 3 << QStringList{"CORP", "L3", "", "1"} << 176 << QStringList() << false;
        Warehouse::newRow(b, "level L03 is level 3")
            << 3 << QStringList{"RETL", "L03", "", "0"} << 93 << QStringList() << false;
        Warehouse::newRow(b, "level beyond the columns")
            << 3 << QStringList{"CORP", "L8", "", "0"} << 0 << QStringList() << false;
        Warehouse::newRow(b, "level L0")
            << 3 << QStringList{"CORP", "L0", "", "0"} << 0 << QStringList() << false;
        Warehouse::newRow(b, "lower-case level")
            << 3 << QStringList{"CORP", "l3", "", "0"} << 0 << QStringList() << true;
        Warehouse::newRow(b, "level, NULL cells")
            << 3 << QStringList{"RETL", "L6", "", "1"} << 96 << QStringList{"", "", "", ""} << false;
        Warehouse::newRow(b, "level, chart with apostrophe")
            << 3 << QStringList{"CO'RP", "L1", "", "1"} << 0 << QStringList() << false;
        Warehouse::newRow(b, "multiplier MSIGN")
            << 1 << QStringList{"CORP", "", "MSIGN", "0"} << 170 << QStringList{"111110", "", "1"} << false;
        Warehouse::newRow(b, "multiplier without cross-reference")
            << 1 << QStringList{"CORP", "", "MTHOU", "1"} << 0 << QStringList() << false;
        Warehouse::newRow(b, "multiplier, NULL value")
            << 1 << QStringList{"RETL", "", "MFX", "1"} << 96 << QStringList{"", "", ""} << false;
        Warehouse::newRow(b, "multiplier with apostrophe")
            << 1 << QStringList{"CORP", "", "M'X", "1"} << 0 << QStringList() << false;
        Warehouse::newRow(b, "categories")
            << 2 << QStringList{"CORP", "", "CURA", "0"} << 170 << QStringList{"111110", "", "", ""} << false;
        Warehouse::newRow(b, "business units L3") << 4 << QStringList{"L3"} << 33 << QStringList() << false;
        Warehouse::newRow(b, "business units L10") << 4 << QStringList{"L10"} << 33 << QStringList() << false;
        Warehouse::newRow(b, "business units L11") << 4 << QStringList{"L11"} << 0 << QStringList() << false;
        Warehouse::newRow(b, "business units, no number")
            << 4 << QStringList{"Lx"} << 0 << QStringList() << true;
        Warehouse::newRow(b, "business areas L05") << 5 << QStringList{"L05"} << 27 << QStringList() << false;
        Warehouse::newRow(b, "business areas L6") << 5 << QStringList{"L6"} << 0 << QStringList() << false;
    }
}

void tst_RangeEngines::accountLists() {
    QFETCH(int, type);
    QFETCH(QStringList, args);
    QFETCH(int, rows);
    QFETCH(QStringList, first);
    QFETCH(bool, logged);
    OPEN_WAREHOUSE();
    HeadlessEditor owner(type, type == 4 ? "BU" : type == 5 ? "BA" : "");
    // Rows of an earlier fill go first.
    owner.list.addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
    const qint16 blocked = static_cast<qint16>(args.value(3).toInt());
    int columns = 0;
    if (type == 1) {
        clsAcMultiplierRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateAccountList(args[0], args[1], args[2], blocked);
        columns = 3;
    } else if (type == 2) {
        clsAcCategoriesRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateAccountList(args[0], args[1], args[2], blocked);
        columns = 4;
    } else if (type == 3) {
        clsAcLevelRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateAccountList(args[0], args[1], args[2], blocked);
        columns = 4;
    } else {
        clsBuLevelRangeMaint e;
        e.OwnerForm(&owner);
        if (type == 4)
            e.PopulateBusinessUnitList(args[0]);
        else
            e.PopulateBusinessAreaList(args[0]);
        columns = 3;
    }
    QCOMPARE(owner.list.topLevelItemCount(), rows);
    QCOMPARE(owner.states, (QList<bool>{false, true}));
    QVERIFY(m_env->ui.messages.isEmpty());
    QCOMPARE(!m_env->logText().isEmpty(), logged);
    if (logged)
        QVERIFY(m_env->logText().contains(
            type == 3   ? "(Type mismatch) in clsAcLevelRangeMaint:PopulateAccountList"
            : type == 4 ? "(Type mismatch) in clsBuLevelRangeMaint:PopulateBusinessUnitList"
                        : "in clsBuLevelRangeMaint:PopulateBusinessAreaList"));
    if (rows == 0)
        return;
    for (int r = 0; r < rows; ++r) {
        QCOMPARE(owner.list.topLevelItem(r)->columnCount(), columns);
        if (r > 0)
            QVERIFY(owner.list.topLevelItem(r - 1)->text(0) <= owner.list.topLevelItem(r)->text(0));
    }
    // Where the expectation names a cell, the first row holds it.
    const QStringList got = row(owner.list, 0);
    for (int c = 0; c < first.size(); ++c)
        if (!first[c].isEmpty())
            QCOMPARE(got[c], first[c]);
    if (type == 3 && args[1] == "L6") {
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(owner.list.topLevelItem(r)->text(2), QString());
            QCOMPARE(owner.list.topLevelItem(r)->text(3), QString());
        }
    }
    if (type == 1 && args[2] == "MFX")
        for (int r = 0; r < rows; ++r)
            QCOMPARE(owner.list.topLevelItem(r)->text(2), QString());
    if (type == 4)
        for (int r = 0; r < rows; ++r)
            QVERIFY(!owner.list.topLevelItem(r)->text(0).isEmpty());
}

void tst_RangeEngines::anUnknownValueColumnLeavesTheListEmpty_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("column");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "no such column") << "NO_SUCH_COLUMN";
        Warehouse::newRow(b, "not a plain name") << "ACCOUNT_NM from CS_SOURCE --";
        Warehouse::newRow(b, "a known column") << "ACCOUNT_NM";
    }
}

void tst_RangeEngines::anUnknownValueColumnLeavesTheListEmpty() {
    QFETCH(QString, backend);
    QFETCH(QString, column);
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.own().Execute("INSERT INTO CS_MULTIPLIERXREF (CS_MULPT, CS_MULFIELD) VALUES ('MTHOU', " +
                            SqlText(column) + ")"));
    QVERIFY(w.openShared());
    HeadlessEditor owner(1);
    clsAcMultiplierRangeMaint e;
    e.OwnerForm(&owner);
    e.PopulateAccountList("CORP", "", "MTHOU", 1);
    QVERIFY(m_env->ui.messages.isEmpty());
    if (column == "ACCOUNT_NM") {
        QCOMPARE(owner.list.topLevelItemCount(), 176);
        QCOMPARE(owner.list.topLevelItem(0)->text(2), owner.list.topLevelItem(0)->text(1));
    } else {
        QCOMPARE(owner.list.topLevelItemCount(), 0);
    }
    QVERIFY(owner.enabled);
}

void tst_RangeEngines::levelStatementBuilders() {
    OPEN_WAREHOUSE();
    // Without an owner, as other engines use it.
    clsAcLevelRangeMaint e;
    QVERIFY(Existence::Present == e.RecordExists("CORP"));
    QVERIFY(Existence::Present == e.RecordExists("RETL", "L5"));
    QVERIFY(Existence::Present == e.RecordExists("CORP", "L1", "9"));
    QVERIFY(Existence::Absent == e.RecordExists("CORP", "L1", "8"));
    QVERIFY(Existence::Present == e.RecordExists("CORP", "L4", "1111", "111100", "111199"));
    QVERIFY(Existence::Absent == e.RecordExists("CORP", "L4", "1111", "111100", "111198"));
    // A From without a To tests no range.
    QVERIFY(Existence::Present == e.RecordExists("CORP", "L4", "1111", "999999", ""));
    QVERIFY(Existence::Absent == e.RecordExists("CO'RP"));

    // The code's placeholder row is filled first, later ranges are new rows.
    const QString update = *e.AddRangeOfAccount("CORP", "L1", "9", "900000", "900099");
    QVERIFY(w.own().Execute(update));
    const QString insert = *e.AddRangeOfAccount("CORP", "L1", "9", "900100", "900199");
    QVERIFY(w.own().Execute(insert));
    QCOMPARE(w.rows("Select CO_FR_ACCT, CO_TO_ACCT from CS_COA_ACCT_RANGE where CO_COA = 'CORP' and CO_LEVEL "
                    "= 'L1' and CO_CODE = '9' order by CO_FR_ACCT"),
             (QStringList{"900000|900099", "900100|900199"}));
    // An apostrophe is a value like any other.
    const QString quoted = *e.AddRangeOfAccount("CO'RP", "L1", "9", "1", "2");
    QVERIFY(w.own().Execute(quoted));
    QVERIFY(Existence::Present == e.RecordExists("CO'RP", "L1", "9", "1", "2"));

    const QString remove = e.DeleteRangeOfAccount("CO'RP", "L1", "9", "1", "2");
    QVERIFY(w.own().Execute(remove));
    QVERIFY(Existence::Absent == e.RecordExists("CO'RP"));
    QVERIFY(w.own().Execute(e.DeleteRangeOfAccount("CORP", "L1", "9", "900000", "900099")));
    QVERIFY(w.own().Execute(e.DeleteRangeOfAccount("CORP", "L1", "9", "900100", "900199")));
    // No placeholder comes back: the code is gone.
    QVERIFY(Existence::Absent == e.RecordExists("CORP", "L1", "9"));
    QVERIFY(m_env->ui.messages.isEmpty());
    QVERIFY(m_env->logText().isEmpty());
}

void tst_RangeEngines::aFailedQueryEndsItsOperation_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("location");
    for (const QString& b : Warehouse::backends()) {
        // The existence checks leave the report to the action they end.
        Warehouse::newRow(b, "RecordExists") << "RecordExists"
                                             << "caller:Action";
        Warehouse::newRow(b, "AddRangeOfAccount") << "AddRangeOfAccount"
                                                  << "caller:Action";
        Warehouse::newRow(b, "level list") << "PopulateAccountList"
                                           << "clsAcLevelRangeMaint:PopulateAccountList";
        Warehouse::newRow(b, "multiplier list") << "multiplier"
                                                << "clsAcMultiplierRangeMaint:PopulateAccountList";
        Warehouse::newRow(b, "categories list") << "categories"
                                                << "clsAcCategoriesRangeMaint:PopulateAccountList";
        Warehouse::newRow(b, "unit list") << "units"
                                          << "clsBuLevelRangeMaint:PopulateBusinessUnitList";
    }
}

void tst_RangeEngines::aFailedQueryEndsItsOperation() {
    QFETCH(QString, operation);
    QFETCH(QString, location);
    OPEN_WAREHOUSE();
    gDBConnection->adoConnection().FailStatementContaining("from ", {-7, "the test's failure", "test"});
    HeadlessEditor owner(operation == "units" ? 4 : 3, operation == "units" ? "BU" : "AC");
    if (operation == "RecordExists") {
        clsAcLevelRangeMaint e;
        QVERIFY(Existence::Failed == e.RecordExists("CORP"));
        QVERIFY(m_env->logText().isEmpty());
        RangeEngine::FailLookup(location);
    } else if (operation == "AddRangeOfAccount") {
        clsAcLevelRangeMaint e;
        QVERIFY(!e.AddRangeOfAccount("CORP", "L1", "9", "1", "2"));
        RangeEngine::FailLookup(location);
    } else if (operation == "PopulateAccountList") {
        clsAcLevelRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateAccountList("CORP", "L1", "", 1);
    } else if (operation == "multiplier") {
        clsAcMultiplierRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateAccountList("CORP", "", "MSIGN", 1);
    } else if (operation == "categories") {
        clsAcCategoriesRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateAccountList("CORP", "", "", 1);
    } else {
        clsBuLevelRangeMaint e;
        e.OwnerForm(&owner);
        e.PopulateBusinessUnitList("L2");
    }
    QCOMPARE(owner.list.topLevelItemCount(), 0);
    QVERIFY(owner.enabled);
    // The database's own words first, then the log entry under the operation.
    QCOMPARE(m_env->ui.messages.size(), 1);
    QVERIFY(m_env->ui.messages[0].prompt.contains("the test's failure"));
    QVERIFY2(m_env->logText().contains("in " + location), qPrintable(m_env->logText()));
    if (location == "caller:Action")
        QVERIFY2(m_env->logText().contains("the test's failure"), qPrintable(m_env->logText()));
}

QTEST_MAIN(tst_RangeEngines)
#include "tst_RangeEngines.moc"
