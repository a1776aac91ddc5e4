#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/TransactionGuard.h"
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
    using RangeEditorState::RangeEditorState;
    void SetTreeEnabled(bool on) override {
        RangeEditorState::SetTreeEnabled(on);
        states << on;
    }
    QTreeWidget& list = *AccountList();
    QList<bool> states;
};

template <typename Engine> void fill(HeadlessEditor& owner, const QStringList& args) {
    Engine e;
    e.OwnerForm(&owner);
    e.PopulateAccountList(args[0], args.value(1), args.value(2), static_cast<qint16>(args.value(3).toInt()));
}

// Fills the owner's account list as the engine of `type` does for chart, level, code and blocked box
// (the business types take the level only).
void populate(HeadlessEditor& owner, int type, const QStringList& args) {
    if (type == 1)
        fill<clsAcMultiplierRangeMaint>(owner, args);
    else if (type == 2)
        fill<clsAcCategoriesRangeMaint>(owner, args);
    else if (type == 3)
        fill<clsAcLevelRangeMaint>(owner, args);
    else {
        clsBuLevelRangeMaint e;
        e.OwnerForm(&owner);
        type == 4 ? e.PopulateBusinessUnitList(args[0]) : e.PopulateBusinessAreaList(args[0]);
    }
}

} // namespace

class tst_RangeEngines : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

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

void tst_RangeEngines::accountLists_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("args"); // chart, level, code, blocked
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("first"); // the first row's cells; "" not looked at, "-" empty in every row
    QTest::addColumn<QString>("logged");
    const QString mismatch = "(Type mismatch) in clsAcLevelRangeMaint:PopulateAccountList";
    const QStringList none;
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&](const char* name, int type, const QStringList& args, int rows,
                             const QStringList& first = {}, const QString& logged = {}) {
            Warehouse::newRow(b, name) << type << args << rows << first << logged;
        };
        row("level L3, open accounts", 3, {"CORP", "L3", "111", "0"}, 170, {"111110", "", "111", ""});
        row("level L3, with blocked accounts", 3, {"CORP", "L3", "", "1"}, 176);
        row("level L03 is level 3", 3, {"RETL", "L03", "", "0"}, 93);
        row("level L7, the last of the columns", 3, {"CORP", "L7", "", "0"}, 170, {"111110", "", "1111", ""});
        row("level beyond the columns", 3, {"CORP", "L8", "", "0"}, 0);
        row("lower-case level", 3, {"CORP", "l3", "", "0"}, 0, none, mismatch);
        row("level, NULL cells", 3, {"RETL", "L6", "", "1"}, 96, {"", "", "-", "-"});
        row("level, chart with apostrophe", 3, {"CO'RP", "L1", "", "1"}, 0);
        row("multiplier MSIGN", 1, {"CORP", "", "MSIGN", "0"}, 170, {"111110", "", "1"});
        row("multiplier without cross-reference", 1, {"CORP", "", "MTHOU", "1"}, 0);
        row("multiplier, NULL value", 1, {"RETL", "", "MFX", "1"}, 96, {"", "", "-"});
        row("multiplier with apostrophe", 1, {"CORP", "", "M'X", "1"}, 0);
        row("categories", 2, {"CORP", "", "CURA", "0"}, 170, {"111110", "", "", ""});
        row("business units L3", 4, {"L3"}, 33, {"", "", ""});
        row("business units L11", 4, {"L11"}, 0);
        row("business units, no number", 4, {"Lx"}, 0, none,
            "(Type mismatch) in clsBuLevelRangeMaint:PopulateBusinessUnitList");
        row("business areas L05", 5, {"L05"}, 27, {"", "", ""});
        row("business areas L6", 5, {"L6"}, 0);
    }
}

void tst_RangeEngines::accountLists() {
    QFETCH(int, type);
    QFETCH(QStringList, args);
    QFETCH(int, rows);
    QFETCH(QStringList, first);
    QFETCH(QString, logged);
    QLX_OPEN_WAREHOUSE(w);
    HeadlessEditor owner(type);
    // Rows of an earlier fill go first.
    owner.list.addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
    populate(owner, type, args);
    QCOMPARE(owner.list.topLevelItemCount(), rows);
    QCOMPARE(owner.states, (QList<bool>{false, true}));
    QVERIFY(m_env->ui.messages.isEmpty());
    QCOMPARE(m_env->logText().isEmpty(), logged.isEmpty());
    QVERIFY(m_env->logText().contains(logged));
    for (int r = 0; r < rows; ++r) {
        const QTreeWidgetItem* item = owner.list.topLevelItem(r);
        QCOMPARE(item->columnCount(), type == 1 || type >= 4 ? 3 : 4);
        if (r > 0)
            QVERIFY(owner.list.topLevelItem(r - 1)->text(0) <= item->text(0));
        if (type == 4)
            QVERIFY(!item->text(0).isEmpty());
        for (int c = 0; c < first.size(); ++c)
            if (first[c] == "-" || (r == 0 && !first[c].isEmpty()))
                QCOMPARE(item->text(c), first[c] == "-" ? QString() : first[c]);
    }
}

void tst_RangeEngines::anUnknownValueColumnLeavesTheListEmpty_data() {
    Warehouse::addColumns<QString>("column");
    Warehouse::addRows("no such column", QString("NO_SUCH_COLUMN"));
    Warehouse::addRows("not a plain name", QString("ACCOUNT_NM from CS_SOURCE --"));
    Warehouse::addRows("a known column", QString("ACCOUNT_NM"));
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
    populate(owner, 1, {"CORP", "", "MTHOU", "1"});
    QVERIFY(m_env->ui.messages.isEmpty());
    const bool known = column == "ACCOUNT_NM";
    QCOMPARE(owner.list.topLevelItemCount(), known ? 176 : 0);
    if (known)
        QCOMPARE(owner.list.topLevelItem(0)->text(2), owner.list.topLevelItem(0)->text(1));
    QVERIFY(owner.treeEnabled);
}

void tst_RangeEngines::levelStatementBuilders() {
    QLX_OPEN_WAREHOUSE(w);
    // Without an owner, as other engines use it; a From without a To tests no range.
    clsAcLevelRangeMaint e;
    for (const QString key :
         {"+CORP", "+RETL|L5", "+CORP|L1|9", "+CORP|L4|1111|111100|111199", "+CORP|L4|1111|999999|",
          "-CORP|L1|8", "-CORP|L4|1111|111100|111198", "-CO'RP"}) {
        const QStringList k = key.mid(1).split('|');
        QVERIFY2(e.RecordExists(k[0], k.value(1), k.value(2), k.value(3), k.value(4)) ==
                     (key[0] == '+' ? Existence::Present : Existence::Absent),
                 qPrintable(key));
    }
    // The code's placeholder row is filled first, later ranges are new rows.
    QVERIFY(w.own().Execute(*e.AddRangeOfAccount("CORP", "L1", "9", "900000", "900099")));
    QVERIFY(w.own().Execute(*e.AddRangeOfAccount("CORP", "L1", "9", "900100", "900199")));
    QCOMPARE(w.rows("Select CO_FR_ACCT, CO_TO_ACCT from CS_COA_ACCT_RANGE where CO_COA = 'CORP' and CO_LEVEL "
                    "= 'L1' and CO_CODE = '9' order by CO_FR_ACCT"),
             (QStringList{"900000|900099", "900100|900199"}));
    // An apostrophe is a value like any other.
    QVERIFY(w.own().Execute(*e.AddRangeOfAccount("CO'RP", "L1", "9", "1", "2")));
    QVERIFY(w.own().Execute(e.DeleteRangeOfAccount("CO'RP", "L1", "9", "1", "2")));
    QVERIFY(Existence::Absent == e.RecordExists("CO'RP"));
    QVERIFY(w.own().Execute(e.DeleteRangeOfAccount("CORP", "L1", "9", "900000", "900099")));
    QVERIFY(w.own().Execute(e.DeleteRangeOfAccount("CORP", "L1", "9", "900100", "900199")));
    // No placeholder comes back: the code is gone.
    QVERIFY(Existence::Absent == e.RecordExists("CORP", "L1", "9"));
    // The widths one action read are read again by the next, which finds the bounds' columns widened.
    const QString wide(25, '9');
    {
        TransactionGuard action(gDBConnection->adoConnection());
        QVERIFY(!e.AddRangeOfAccount("CORP", "L1", "9", wide, wide));
    }
    for (const char* sql :
         {"ALTER TABLE CS_COA_ACCT_RANGE RENAME TO CS_COA_OLD",
          "CREATE TABLE CS_COA_ACCT_RANGE (CO_COA VARCHAR(10), CO_LEVEL VARCHAR(10), CO_CODE VARCHAR(20), "
          "CO_FR_ACCT VARCHAR(30), CO_TO_ACCT VARCHAR(30))",
          "INSERT INTO CS_COA_ACCT_RANGE SELECT * FROM CS_COA_OLD", "DROP TABLE CS_COA_OLD"})
        QVERIFY2(w.own().Execute(sql), sql);
    {
        TransactionGuard action(gDBConnection->adoConnection());
        QVERIFY(e.AddRangeOfAccount("CORP", "L1", "9", wide, wide));
    }
    QVERIFY(m_env->logText().isEmpty());
}

void tst_RangeEngines::aFailedQueryEndsItsOperation_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<int>("type"); // 0: the existence check, -1: the statement builder
    QTest::addColumn<QString>("location");
    for (const QString& b : Warehouse::backends()) {
        // The existence checks leave the report to the action they end.
        Warehouse::newRow(b, "RecordExists") << 0 << "caller:Action";
        Warehouse::newRow(b, "AddRangeOfAccount") << -1 << "caller:Action";
        Warehouse::newRow(b, "level list") << 3 << "clsAcLevelRangeMaint:PopulateAccountList";
        Warehouse::newRow(b, "multiplier list") << 1 << "clsAcMultiplierRangeMaint:PopulateAccountList";
        Warehouse::newRow(b, "categories list") << 2 << "clsAcCategoriesRangeMaint:PopulateAccountList";
        Warehouse::newRow(b, "unit list") << 4 << "clsBuLevelRangeMaint:PopulateBusinessUnitList";
    }
}

void tst_RangeEngines::aFailedQueryEndsItsOperation() {
    QFETCH(int, type);
    QFETCH(QString, location);
    QLX_OPEN_WAREHOUSE(w);
    gDBConnection->adoConnection().FailStatementContaining("from ", {-7, "the test's failure", "test"});
    HeadlessEditor owner(type == 4 ? 4 : 3);
    clsAcLevelRangeMaint e;
    if (type == 0) {
        QVERIFY(Existence::Failed == e.RecordExists("CORP"));
        QVERIFY(m_env->logText().isEmpty());
        RangeEngine::FailLookup(location);
    } else if (type < 0) {
        QVERIFY(!e.AddRangeOfAccount("CORP", "L1", "9", "1", "2"));
        RangeEngine::FailLookup(location);
    } else {
        populate(owner, type, type == 4 ? QStringList{"L2"} : QStringList{"CORP", "L1", "MSIGN", "1"});
    }
    QCOMPARE(owner.list.topLevelItemCount(), 0);
    QVERIFY(owner.treeEnabled);
    // The database's own words first, then the log entry under the operation.
    QCOMPARE(m_env->ui.messages.size(), 1);
    QVERIFY(m_env->ui.messages[0].prompt.contains("the test's failure"));
    QVERIFY2(m_env->logText().contains("in " + location), qPrintable(m_env->logText()));
    if (location == "caller:Action")
        QVERIFY2(m_env->logText().contains("the test's failure"), qPrintable(m_env->logText()));
}

QTEST_MAIN(tst_RangeEngines)
#include "tst_RangeEngines.moc"
