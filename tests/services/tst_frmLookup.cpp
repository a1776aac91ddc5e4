#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/LoadedWindows.h"
#include "platform/UserDialogs.h"
#include "platform/WellFormedText.h"
#include "services/frmLookup.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

// The lookups as the editors' buttons configure them.
void codes(frmLookup& f, const QString& area, const QString& level) {
    f.m_colHideFieldNames = {"SOAREA", "SOLEVEL", "SOCODE", "SODESC"};
    f.m_colFieldNames = {"SOCODE", "SODESC"};
    f.m_colColumnNames = {"Code", "Description"};
    f.m_strTableName = "CS_SOURCE";
    f.m_strCaption = "Table Lookup of Code";
    f.m_strFilter = " SOAREA = " + SqlText(area);
    if (!level.isEmpty())
        f.m_strFilter += " and SOLEVEL = " + SqlText(level.trimmed());
    f.m_strLevel = level;
    f.m_strLevelType = area;
    f.m_LookupCode = true;
    if (area == "AC") {
        f.m_DependencyTable = {"CS_COA_ACCT_RANGE", "CS_MULTIPLIERHIER", "CS_CATEGORYHIER", "CS_LEVELHIER",
                               "CS_LEVELHIER"};
        f.m_DependencyFldCode = {"CO_CODE", "CS_CODE", "CS_CODE", "CS_PARENTCODE", "CS_CHILDCODE"};
        f.m_DependencyFldArea = {"", "CS_AREA", "CS_AREA", "CS_AREA", "CS_AREA"};
        f.m_DependencyFldlevel = {"CO_LEVEL", "CS_LEVEL", "CS_LEVEL", "CS_PARENTLEVEL", "CS_CHILDLEVEL"};
    } else {
        f.m_DependencyTable = {"CS_BA_BU_LEVELS"};
        f.m_DependencyFldCode = {"SO_CODE"};
        f.m_DependencyFldArea = {"SO_AREA"};
        f.m_DependencyFldlevel = {"SO_LEVELS"};
    }
}

void levels(frmLookup& f, const QString& area) {
    f.m_colHideFieldNames = {"SOAREA", "SOLEVEL", "SOCODE", "SODESC"};
    f.m_colFieldNames = {"SOLEVEL"};
    f.m_colColumnNames = {"Level"};
    f.m_strTableName = "CS_SOURCE";
    f.m_strCaption = "Table Lookup of Level";
    f.m_strFilter = "SOAREA = " + SqlText(area);
    f.m_strLevelType = area;
    f.m_Lookuplevel = true;
    f.m_DependencyTable = {"CS_BA_BU_LEVELS"};
    f.m_DependencyFldCode = {""};
    f.m_DependencyFldArea = {"SO_AREA"};
    f.m_DependencyFldlevel = {"SO_LEVELS"};
}

void categories(frmLookup& f) {
    f.m_colFieldNames = {"CAT_CODE", "CAT_DESC"};
    f.m_colColumnNames = {"Category", "Description"};
    f.m_strTableName = "CS_CAT_DESC";
    f.m_strCaption = "Table Lookup of Categories";
    f.m_LookupCode = true;
    f.m_DependencyTable = {"CS_CAT_TYPE"};
    f.m_DependencyFldCode = {"CAT_TYP_CD"};
    f.m_DependencyFldArea = {""};
    f.m_DependencyFldlevel = {""};
}

void accounts(frmLookup& f, const QString& chart) {
    f.m_colFieldNames = {"ACCOUNT_NO", "ACCOUNT_NM"};
    f.m_colColumnNames = {"Account No", "Description"};
    f.m_strTableName = "CHART_OF_ACCOUNT";
    f.m_strCaption = "Table Lookup of Account No.";
    f.m_strFilter = " BUSINESS_UNIT_ID = " + SqlText(chart);
}

// A lookup named "categories", "codes AREA LEVEL", "levels AREA" or "accounts CHART".
void configure(frmLookup& f, const QString& lookup) {
    const QStringList words = lookup.split(' ');
    if (words[0] == "codes")
        codes(f, words[1], words.value(2));
    else if (words[0] == "levels")
        levels(f, words[1]);
    else if (words[0] == "accounts")
        accounts(f, words[1]);
    else
        categories(f);
}

bool insertCategories(Warehouse& w, std::initializer_list<const char*> rows) {
    for (const char* row : rows)
        if (!w.own().Execute(QString("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES (%1)").arg(row)))
            return false;
    return true;
}

const QString lastCodeOfL4 =
    "UPDATE CS_SOURCE SET SOCODE = '411', SODESC = 'Hub''s' WHERE SOAREA = 'BA' AND SOLEVEL = 'L4'";
const QString spareCode =
    "INSERT INTO CS_SOURCE (SOAREA, SOLEVEL, SOCODE, SODESC) VALUES ('BA', 'L2', '29', 'Spare')";

QStringList listed(frmLookup& f) {
    QStringList items;
    for (int i = 0; i < f.ctlListView()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = f.ctlListView()->topLevelItem(i);
        items << item->text(0) + "|" + item->text(1);
    }
    return items;
}

QString picked(frmLookup& f) {
    const QList<QTreeWidgetItem*> selected = f.ctlListView()->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

// Picks the row and confirms it, as a user would inside the modal run.
std::function<int(QDialog&)> pickAndConfirm(const QString& code) {
    return [code](QDialog& d) {
        auto& f = static_cast<frmLookup&>(d);
        f.SelectListItem(f.ctlListView(), code);
        f.cmdOK_Click();
        return d.result();
    };
}

// Nothing picked: a new row can be typed in.
void expectAddMode(frmLookup& f) {
    QVERIFY(!f.IsModify());
    QCOMPARE(f.cmdAdd()->text(), QString("Add"));
    QVERIFY(f.cmdAdd()->isEnabled());
    QVERIFY(!f.txtCode()->isReadOnly());
}

void expectMessage(const TestEnvironment& env, int index, int style, const QString& title) {
    QVERIFY(env.ui.messages.size() > index);
    QCOMPARE(env.ui.messages[index].style, style);
    QCOMPARE(env.ui.messages[index].title, title);
}

QStringList prompts(const TestEnvironment& env) {
    QStringList list;
    for (const MessageRequest& m : env.ui.messages)
        list << m.prompt;
    return list;
}

} // namespace

#define OPEN_WAREHOUSE()                                                                                     \
    TestEnvironment env;                                                                                     \
    QLX_OPEN_WAREHOUSE(w)

class tst_frmLookup : public QObject {
    Q_OBJECT
private slots:
    void configuringDoesNotLoad();
    void listSkipsNullsAndBlanksAndShowsZero_data() { Warehouse::addBackendRows(); }
    void listSkipsNullsAndBlanksAndShowsZero();
    void preselection_data();
    void preselection();
    void showReturnsTheChoice_data();
    void showReturnsTheChoice();
    void okWithoutARowKeepsTheDialogOpen_data() { Warehouse::addBackendRows(); }
    void okWithoutARowKeepsTheDialogOpen();
    void failedListClearsLookupOK_data() { Warehouse::addBackendRows(); }
    void failedListClearsLookupOK();
    void layoutFollowsTheCaptions_data() { Warehouse::addBackendRows(); }
    void layoutFollowsTheCaptions();
    void entryStates_data();
    void entryStates();
    void entryBoxLimits_data() { Warehouse::addBackendRows(); }
    void entryBoxLimits();
    void integerCodesTakeDigitsOnly_data() { Warehouse::addBackendRows(); }
    void integerCodesTakeDigitsOnly();
    void validationRefuses_data();
    void validationRefuses();

    void addCode_data();
    void addCode();
    void addLevelKeepsItsL_data() { Warehouse::addBackendRows(); }
    void addLevelKeepsItsL();
    void duplicateCodeIsRefused_data();
    void duplicateCodeIsRefused();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void modifyWithApostrophe_data();
    void modifyWithApostrophe();
    void deleteBlockedByDependency_data();
    void deleteBlockedByDependency();
    void failedDependencyQueryRefusesDelete_data() { Warehouse::addBackendRows(); }
    void failedDependencyQueryRefusesDelete();
    void deleteWritesBackOnlyTheLastCodesLevel_data();
    void deleteWritesBackOnlyTheLastCodesLevel();
    void failedWriteBackLeavesTheTable_data() { Warehouse::addBackendRows(); }
    void failedWriteBackLeavesTheTable();
    void deleteOfTheLastListedRowLeavesAddMode_data() { Warehouse::addBackendRows(); }
    void deleteOfTheLastListedRowLeavesAddMode();
    void deleteOfAChangedRowTellsAndReloads_data() { Warehouse::addBackendRows(); }
    void deleteOfAChangedRowTellsAndReloads();
    void emptyLevelCodeModeIsPickOnly_data() { Warehouse::addBackendRows(); }
    void emptyLevelCodeModeIsPickOnly();
    void categoryAddModifyDelete_data() { Warehouse::addBackendRows(); }
    void categoryAddModifyDelete();
    void addsThatMustNotLand_data();
    void addsThatMustNotLand();
};

void tst_frmLookup::configuringDoesNotLoad() {
    TestEnvironment env;
    gLookupOK = true;
    frmLookup f;
    categories(f);
    QVERIFY(!f.IsLoaded());
    QVERIFY(!LoadedWindows::instance().IsLoaded(&f));
    // Nothing is open, so the load that the control use starts fails and says so.
    f.cmdAdd();
    QVERIFY(f.IsLoaded());
    QVERIFY(LoadedWindows::instance().IsLoaded(&f));
    QVERIFY(!gLookupOK);
    QCOMPARE(env.ui.messages.size(), 1);
}

void tst_frmLookup::listSkipsNullsAndBlanksAndShowsZero() {
    OPEN_WAREHOUSE();
    QVERIFY(insertCategories(w, {"NULL, 'No code'", "' ', 'Blank code'", "'0', 'Zero'", "'NODESC', NULL",
                                 "'Q''1', 'It''s quoted'"}));
    frmLookup f;
    categories(f);
    const QStringList items = listed(f);
    QCOMPARE(items.size(), 15);
    QCOMPARE(items.first(), QString("0|Zero"));
    QVERIFY(items.contains("NODESC|"));
    QVERIFY(items.contains("Q'1|It's quoted"));
    QVERIFY(!items.contains("|No code"));
    QVERIFY(!items.contains(" |Blank code"));
    QCOMPARE(f.ctlListView()->topLevelItem(0)->data(0, Qt::UserRole).toString(), QString("Primary01"));
    QCOMPARE(f.ctlListView()->topLevelItem(1)->data(0, Qt::UserRole).toString(), QString("PrimaryCOS2"));
    QVERIFY(env.ui.messages.isEmpty());
}

void tst_frmLookup::preselection_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("selected");
    for (const QString& b : Warehouse::backends())
        for (const auto& [name, find, selected] : {std::array<const char*, 3>{"first row", "", "0"},
                                                   {"exact", "ab", "ab"},
                                                   {"prefix", "EQ", "EQTY"},
                                                   {"zero", "0", "0"},
                                                   {"apostrophe", "Q'1", "Q'1"},
                                                   {"none", "ZZ", ""}})
            Warehouse::newRow(b, name) << QString(find) << QString(selected);
}

void tst_frmLookup::preselection() {
    OPEN_WAREHOUSE();
    QFETCH(QString, find);
    QFETCH(QString, selected);
    QVERIFY(
        insertCategories(w, {"'0', 'Zero'", "'AB1', 'Upper'", "'ab', 'Lower'", "'Q''1', 'It''s quoted'"}));
    frmLookup f;
    categories(f);
    f.m_strFindItem = find;
    QCOMPARE(picked(f), selected);
    if (selected.isEmpty()) {
        // Nothing picked: ready to add.
        expectAddMode(f);
        QCOMPARE(f.txtCode()->text(), QString());
    } else {
        QVERIFY(f.IsModify());
        QCOMPARE(f.cmdAdd()->text(), QString("Accept"));
        QCOMPARE(f.txtCode()->text(), selected);
        QVERIFY(f.txtCode()->isReadOnly());
        QVERIFY(!f.txtDesc()->text().isEmpty());
    }
}

void tst_frmLookup::showReturnsTheChoice_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("selection");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "OK") << "OK" << true << QStringList{"Q'1", "It's quoted"};
        Warehouse::newRow(b, "double click") << "double click" << true << QStringList{"0", "Zero"};
        Warehouse::newRow(b, "Cancel") << "Cancel" << false << QStringList{"", ""};
        Warehouse::newRow(b, "closed otherwise") << "" << false << QStringList{};
    }
}

void tst_frmLookup::showReturnsTheChoice() {
    OPEN_WAREHOUSE();
    QFETCH(QString, action);
    QFETCH(bool, ok);
    QFETCH(QStringList, selection);
    QVERIFY(insertCategories(w, {"'Q''1', '  It''s quoted '", "'0', 'Zero'"}));
    if (action == "OK")
        env.ui.dialogScripts << pickAndConfirm("Q'1");
    else if (action == "double click")
        env.ui.dialogScripts << [](QDialog& d) {
            auto& f = static_cast<frmLookup&>(d);
            f.SelectListItem(f.ctlListView(), "0");
            f.ctlListView_DblClick();
            return d.result();
        };
    else if (action == "Cancel")
        env.ui.dialogScripts << [](QDialog& d) {
            static_cast<frmLookup&>(d).cmdClose_Click();
            return d.result();
        };
    gLookupOK = true;
    frmLookup f;
    categories(f);
    const int result = f.Show();
    QCOMPARE(env.ui.dialogs, QStringList{"frmLookup"});
    QCOMPARE(result, int(ok ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(f.m_OK, ok);
    QCOMPARE(f.m_colSelection, selection);
    QVERIFY(!f.IsLoaded());
    QVERIFY(gLookupOK);
}

void tst_frmLookup::okWithoutARowKeepsTheDialogOpen() {
    OPEN_WAREHOUSE();
    frmLookup f;
    categories(f);
    f.m_strFindItem = "NONE";
    QCOMPARE(picked(f), QString());
    f.cmdOK_Click();
    QVERIFY(!f.m_OK);
    QVERIFY(f.m_colSelection.isEmpty());
    QVERIFY(f.IsLoaded());
}

void tst_frmLookup::failedListClearsLookupOK() {
    OPEN_WAREHOUSE();
    gLookupOK = true;
    frmLookup f;
    categories(f);
    f.m_strFilter = "NO_SUCH_COLUMN = 'x'";
    QCOMPARE(f.ctlListView()->topLevelItemCount(), 0);
    QVERIFY(!gLookupOK);
    QCOMPARE(env.ui.messages.size(), 1);
    expectMessage(env, 0, vbOKOnly, App::Title());
    QVERIFY(!env.ui.messages[0].prompt.isEmpty());
    const QStringList log = env.logLines();
    QCOMPARE(log.size(), 2); // the run's header and the one report
    QVERIFY(log[1].endsWith("in frmLookup:OpenRecordset"));
    // It stays loaded: showing it reads nothing again and says nothing more.
    f.Show();
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.ui.dialogs, QStringList{"frmLookup"});
}

void tst_frmLookup::layoutFollowsTheCaptions() {
    OPEN_WAREHOUSE();
    frmLookup one;
    levels(one, "AC");
    QCOMPARE(one.ctlListView()->columnCount(), 1);
    QCOMPARE(one.ctlListView()->headerItem()->text(0), QString("Level"));
    QCOMPARE(one.ctlListView()->columnWidth(0), 460);
    QCOMPARE(one.lblCode()->text(), QString("Level:"));
    QVERIFY(one.txtDesc()->isHidden());
    QVERIFY(one.lblDesc()->isHidden());
    QCOMPARE(one.windowTitle(), QString("Table Lookup of Level"));

    frmLookup two;
    categories(two);
    QCOMPARE(two.ctlListView()->columnCount(), 2);
    QCOMPARE(two.ctlListView()->columnWidth(0), 100);
    QCOMPARE(two.ctlListView()->columnWidth(1), 340);
    QCOMPARE(two.lblCode()->text(), QString("Category:"));
    QCOMPARE(two.lblDesc()->text(), QString("Description:"));
    QVERIFY(!two.txtDesc()->isHidden());
}

void tst_frmLookup::entryStates_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("addEnabled");
    QTest::addColumn<bool>("deleteEnabled");
    QTest::addColumn<bool>("descEditable");
    QTest::addColumn<QString>("addCaption");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "categories") << "categories" << QString() << true << true << true << "Accept";
        Warehouse::newRow(b, "no categories") << "categories"
                                              << "CAT_CODE = 'NONE'" << true << true << true << "Add";
        Warehouse::newRow(b, "codes of a level")
            << "codes AC L2" << QString() << true << true << true << "Accept";
        Warehouse::newRow(b, "levels") << "levels AC" << QString() << false << true << true << "Accept";
        Warehouse::newRow(b, "accounts")
            << "accounts CORP" << QString() << false << false << false << "Accept";
        Warehouse::newRow(b, "no accounts")
            << "accounts CORP"
            << " BUSINESS_UNIT_ID = 'NONE'" << false << false << true << "Add";
    }
}

void tst_frmLookup::entryStates() {
    OPEN_WAREHOUSE();
    QFETCH(QString, lookup);
    QFETCH(QString, filter);
    QFETCH(bool, addEnabled);
    QFETCH(bool, deleteEnabled);
    QFETCH(bool, descEditable);
    QFETCH(QString, addCaption);
    frmLookup f;
    configure(f, lookup);
    if (!filter.isEmpty())
        f.m_strFilter = filter;
    QCOMPARE(f.cmdAdd()->isEnabled(), addEnabled);
    QCOMPARE(f.cmdAdd()->text(), addCaption);
    QCOMPARE(f.cmdDelete()->isEnabled(), deleteEnabled);
    QCOMPARE(f.txtDesc()->isReadOnly(), !descEditable);
    QCOMPARE(f.ctlListView()->topLevelItemCount() == 0, !filter.isEmpty());
}

void tst_frmLookup::entryBoxLimits() {
    OPEN_WAREHOUSE();
    frmLookup code;
    codes(code, "AC", "L2");
    QCOMPARE(code.txtCode()->maxLength(), 20);
    QCOMPARE(code.txtDesc()->maxLength(), 100);
    frmLookup category;
    categories(category);
    QCOMPARE(category.txtCode()->maxLength(), 10);
    frmLookup level;
    levels(level, "AC");
    QCOMPARE(level.txtCode()->maxLength(), 4);
}

void tst_frmLookup::integerCodesTakeDigitsOnly() {
    OPEN_WAREHOUSE();
    QVERIFY(w.own().Execute("CREATE TABLE LOOKUP_NUMBERS (NUM INTEGER, NAME VARCHAR(30))"));
    QVERIFY(w.own().Execute("INSERT INTO LOOKUP_NUMBERS (NUM, NAME) VALUES (0, 'Nought')"));
    QVERIFY(w.own().Execute("INSERT INTO LOOKUP_NUMBERS (NUM, NAME) VALUES (7, 'Seven')"));
    frmLookup f;
    f.m_colFieldNames = {"NUM", "NAME"};
    f.m_colColumnNames = {"Number", "Name"};
    f.m_strTableName = "LOOKUP_NUMBERS";
    QCOMPARE(listed(f), (QStringList{"0|Nought", "7|Seven"}));
    QCOMPARE(f.txtDesc()->maxLength(), 30);
    f.cmdClear_Click();
    QTest::keyClicks(f.txtCode(), "1a2-");
    QCOMPARE(f.txtCode()->text(), QString("12"));
    f.txtCode()->setText("1x");
    f.txtDesc()->setText("Twelve");
    QVERIFY(!f.ValidateEntry());
    QCOMPARE(prompts(env), QStringList{"Invalid Code, value must be numeric!"});
}

void tst_frmLookup::validationRefuses_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("desc");
    QTest::addColumn<QString>("message");
    const QString invalid = "Code contains invalid characters!";
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "blank code") << QString("  ") << "Something"
                                           << "Code cannot be blank";
        Warehouse::newRow(b, "trailing blank") << QString("NEW ") << "Something" << invalid;
        Warehouse::newRow(b, "apostrophe") << QString("N'W") << "Something" << invalid;
        Warehouse::newRow(b, "percent") << QString("N%") << "Something" << invalid;
        Warehouse::newRow(b, "hyphen") << QString("N-W") << "Something" << invalid;
        Warehouse::newRow(b, "blank description") << QString("NEW") << "   "
                                                  << "Description cannot be blank";
    }
}

void tst_frmLookup::validationRefuses() {
    OPEN_WAREHOUSE();
    QFETCH(QString, code);
    QFETCH(QString, desc);
    QFETCH(QString, message);
    frmLookup f;
    categories(f);
    f.cmdClear_Click();
    const QString before = w.snapshot();
    f.txtCode()->setText(code);
    f.txtDesc()->setText(desc);
    f.cmdAdd_Click();
    QCOMPARE(prompts(env), QStringList{message});
    expectMessage(env, 0, vbExclamation, "Error");
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(f.txtCode()->text(), code);
    QVERIFY(!f.IsModify());
}

void tst_frmLookup::addCode_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QStringList>("rows");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "empty level fills its placeholder")
            << "BA"
            << "L4 " << QStringList{"BA|L4|411|North's Hub"};
        Warehouse::newRow(b, "level with codes gets a row")
            << "BA"
            << "L2"
            << QStringList{"BA|L2|11|Food", "BA|L2|12|General Merchandise", "BA|L2|21|Financial Services",
                           "BA|L2|22|Logistics Services", "BA|L2|411|North's Hub"};
        Warehouse::newRow(b, "new level with an apostrophe")
            << "AC"
            << "L'8" << QStringList{"AC|L'8|411|North's Hub"};
    }
}

void tst_frmLookup::addCode() {
    OPEN_WAREHOUSE();
    QFETCH(QString, area);
    QFETCH(QString, level);
    QFETCH(QStringList, rows);
    const QString otherAreas = w.rows("SELECT * FROM CS_SOURCE WHERE SOAREA <> " + SqlText(area)).join(",");
    frmLookup f;
    codes(f, area, level);
    f.cmdClear_Click();
    f.txtCode()->setText("411");
    f.txtDesc()->setText("North's Hub");
    f.cmdAdd_Click();
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(w.rows("SELECT SOAREA, SOLEVEL, SOCODE, SODESC FROM CS_SOURCE WHERE SOAREA = " + SqlText(area) +
                    " AND SOLEVEL = " + SqlText(level.trimmed()) + " ORDER BY SOCODE"),
             rows);
    QCOMPARE(w.rows("SELECT * FROM CS_SOURCE WHERE SOAREA <> " + SqlText(area)).join(","), otherAreas);
    // The new row is listed and picked.
    QCOMPARE(picked(f), QString("411"));
    QVERIFY(f.IsModify());
    QCOMPARE(f.txtDesc()->text(), QString("North's Hub"));
}

void tst_frmLookup::addLevelKeepsItsL() {
    OPEN_WAREHOUSE();
    frmLookup f;
    levels(f, "BA");
    QCOMPARE(listed(f), (QStringList{"L1|", "L2|", "L3|", "L4|"}));
    // A picked level cannot be accepted: a level has nothing to change.
    QVERIFY(f.IsModify());
    QVERIFY(!f.cmdAdd()->isEnabled());
    f.cmdClear_Click();
    QLineEdit* box = f.txtCode();
    QCOMPARE(box->text(), QString("L"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, "X");
    QCOMPARE(box->text(), QString("L"));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "123456");
    QCOMPARE(box->text(), QString("L123"));
    box->setText("L5");
    f.cmdAdd_Click();
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(
        w.rows(
            "SELECT SOAREA, SOLEVEL, SOCODE, SODESC FROM CS_SOURCE WHERE SOAREA = 'BA' AND SOLEVEL = 'L5'"),
        QStringList{"BA|L5| | "});
    QCOMPARE(picked(f), QString("L5"));
    QVERIFY(!f.cmdAdd()->isEnabled());
}

void tst_frmLookup::duplicateCodeIsRefused_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("refused");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "code of the level") << QString("codes BA L2") << "12" << true << true;
        Warehouse::newRow(b, "code of another level") << QString("codes BA L2") << "111" << true << false;
        Warehouse::newRow(b, "category") << QString("categories") << "EQTY" << true << true;
        Warehouse::newRow(b, "category in other case, case-sensitive")
            << QString("categories") << "eqty" << true << false;
        Warehouse::newRow(b, "category in other case, case-insensitive")
            << QString("categories") << "eqty" << false << true;
        Warehouse::newRow(b, "level") << QString("levels BA") << "L3" << true << true;
    }
}

void tst_frmLookup::duplicateCodeIsRefused() {
    OPEN_WAREHOUSE();
    QFETCH(QString, lookup);
    QFETCH(QString, code);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, refused);
    gCaseSensitive = caseSensitive;
    frmLookup f;
    configure(f, lookup);
    f.cmdClear_Click();
    const QString before = w.snapshot();
    f.txtCode()->setText(code);
    f.txtDesc()->setText("Another");
    f.cmdAdd_Click();
    if (!refused) {
        QVERIFY(env.ui.messages.isEmpty());
        QVERIFY(w.snapshot() != before);
        return;
    }
    QCOMPARE(prompts(env), QStringList{"Code is already exists"});
    expectMessage(env, 0, vbExclamation, "Save Cancelled");
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(f.txtCode()->text(), code);
}

void tst_frmLookup::failedSaveChangesNothing_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("place");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "insert")
            << QString("codes BA L2") << QString() << "INSERT INTO CS_SOURCE"
            << QStringList{"failed", "Item cannot be added to the list"} << "Insert Cancelled"
            << "InsertItem";
        Warehouse::newRow(b, "modify")
            << QString("categories") << QString("EQTY") << "Update CS_CAT_DESC"
            << QStringList{"failed", "Item cannot be modified "} << "Update Cancelled"
            << "ModifyItem";
    }
}

void tst_frmLookup::failedSaveChangesNothing() {
    OPEN_WAREHOUSE();
    QFETCH(QString, lookup);
    QFETCH(QString, find);
    QFETCH(QString, statement);
    QFETCH(QStringList, messages);
    QFETCH(QString, title);
    QFETCH(QString, place);
    frmLookup f;
    configure(f, lookup);
    const bool modify = !find.isEmpty();
    if (modify) {
        f.m_strFindItem = find;
        QCOMPARE(picked(f), find);
    } else {
        f.cmdClear_Click();
        f.txtCode()->setText("29");
    }
    QCOMPARE(f.IsModify(), modify);
    const QString before = w.snapshot();
    const int items = f.ctlListView()->topLevelItemCount();
    gDBConnection->adoConnection().FailStatementContaining(statement, {-9, "failed", "test"});
    f.txtDesc()->setText("Changed");
    f.cmdAdd_Click();
    QCOMPARE(prompts(env), messages);
    expectMessage(env, 1, vbCritical, title);
    QVERIFY(env.logLines().last().endsWith("in frmLookup:" + place));
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(f.ctlListView()->topLevelItemCount(), items);
    QCOMPARE(f.txtCode()->text(), modify ? find : QString("29"));
    QCOMPARE(f.txtDesc()->text(), QString("Changed"));
    QCOMPARE(f.IsModify(), modify);
}

void tst_frmLookup::modifyWithApostrophe_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QStringList>("rows");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "code of a level")
            << "codes BA L2"
            << "11"
            << "SELECT SOAREA, SOLEVEL, SODESC FROM CS_SOURCE WHERE SOCODE = '11' ORDER BY SOAREA, SOLEVEL"
            << QStringList{"AC|L2|Assets", "BA|L2|Owner's 'best' goods", "BU|L2|Store Network"};
        Warehouse::newRow(b, "category")
            << "categories"
            << "EQTY"
            << "SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_DESC LIKE 'Own%'"
            << QStringList{"EQTY|Owner's 'best' goods"};
        // A caller's condition holding "or" stays one condition: only code 11 changes, in both areas.
        Warehouse::newRow(b, "filter with or") << "codes BA L2 or"
                                               << "11"
                                               << "SELECT SOAREA, SOLEVEL, SOCODE FROM CS_SOURCE WHERE "
                                                  "SODESC LIKE 'Own%' ORDER BY SOAREA, SOLEVEL"
                                               << QStringList{"BA|L2|11", "BU|L2|11"};
    }
}

void tst_frmLookup::modifyWithApostrophe() {
    OPEN_WAREHOUSE();
    QFETCH(QString, lookup);
    QFETCH(QString, code);
    QFETCH(QString, check);
    QFETCH(QStringList, rows);
    frmLookup f;
    configure(f, lookup);
    if (lookup.endsWith(" or"))
        f.m_strFilter += " or SOAREA = 'BU' and SOLEVEL = 'L2'";
    f.m_strFindItem = code;
    QCOMPARE(picked(f), code);
    QVERIFY(f.IsModify());
    QCOMPARE(f.cmdAdd()->text(), QString("Accept"));
    f.txtDesc()->setText("Owner's 'best' goods");
    f.cmdAdd_Click();
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(w.rows(check), rows);
    QCOMPARE(picked(f), code);
    QCOMPARE(f.ctlListView()->selectedItems().first()->text(1), QString("Owner's 'best' goods"));
}

void tst_frmLookup::deleteBlockedByDependency_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "code with ranges") << QString("codes BA L3") << "223"
                                                 << "Code 223";
        Warehouse::newRow(b, "code without ranges") << QString("codes AC L1") << "9"
                                                    << "Code 9";
        Warehouse::newRow(b, "level") << QString("levels BA") << "L1"
                                      << "Level L1";
        Warehouse::newRow(b, "category") << QString("categories") << "STAT"
                                         << "Category STAT";
    }
}

void tst_frmLookup::deleteBlockedByDependency() {
    OPEN_WAREHOUSE();
    QFETCH(QString, lookup);
    QFETCH(QString, code);
    QFETCH(QString, message);
    frmLookup f;
    configure(f, lookup);
    f.m_strFindItem = code;
    QCOMPARE(picked(f), code);
    const QString before = w.snapshot();
    f.cmdDelete_Click();
    QCOMPARE(prompts(env), QStringList{message + " has Dependency and cannot be deleted!"});
    expectMessage(env, 0, vbExclamation, App::Title());
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(picked(f), code);
}

void tst_frmLookup::failedDependencyQueryRefusesDelete() {
    OPEN_WAREHOUSE();
    QVERIFY(w.own().Execute(spareCode));
    frmLookup f;
    codes(f, "BA", "L2");
    f.m_strFindItem = "29";
    QCOMPARE(picked(f), QString("29"));
    const QString before = w.snapshot();
    gDBConnection->adoConnection().FailStatementContaining("CS_BA_BU_LEVELS", {-9, "timeout", "test"});
    f.cmdDelete_Click();
    // No question follows: the delete is refused.
    QCOMPARE(prompts(env), QStringList{"timeout"});
    QCOMPARE(env.logLines().size(), 2);
    QVERIFY(env.logLines().last().endsWith("in frmLookup:DependenciesExist"));
    QCOMPARE(w.snapshot(), before);
}

void tst_frmLookup::deleteWritesBackOnlyTheLastCodesLevel_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QStringList>("rows");
    const QString source = "SELECT SOAREA, SOLEVEL, SOCODE, SODESC FROM CS_SOURCE WHERE ";
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "last code of its level")
            << "codes BA L4" << lastCodeOfL4 << "411" << source + "SOLEVEL = 'L4' AND SOAREA = 'BA'"
            << QStringList{"BA|L4| | "};
        Warehouse::newRow(b, "code beside others")
            << "codes BA L2" << spareCode << "29"
            << source + "SOLEVEL = 'L2' AND SOAREA = 'BA' AND SOCODE IN ('29', ' ')" << QStringList{};
        Warehouse::newRow(b, "level") << "levels BA" << QString() << "L4"
                                      << source + "SOLEVEL = 'L4' AND SOAREA = 'BA'" << QStringList{};
        Warehouse::newRow(b, "category")
            << "categories"
            << "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('NEWC', 'New''s')"
            << "NEWC"
            << "SELECT * FROM CS_CAT_DESC WHERE CAT_CODE IN ('NEWC', ' ')" << QStringList{};
    }
}

void tst_frmLookup::deleteWritesBackOnlyTheLastCodesLevel() {
    OPEN_WAREHOUSE();
    QFETCH(QString, lookup);
    QFETCH(QString, setup);
    QFETCH(QString, code);
    QFETCH(QString, check);
    QFETCH(QStringList, rows);
    if (!setup.isEmpty())
        QVERIFY(w.own().Execute(setup));
    const QString others = w.rows("SELECT * FROM CS_SOURCE WHERE SOAREA <> 'BA'").join(",");
    frmLookup f;
    configure(f, lookup);
    f.m_strFindItem = code;
    QCOMPARE(picked(f), code);
    env.ui.answers << vbYes;
    f.cmdDelete_Click();
    QCOMPARE(prompts(env), QStringList{"Delete Selected " + f.m_colColumnNames[0] + "?"});
    expectMessage(env, 0, vbYesNo + vbExclamation, "Delete");
    QCOMPARE(w.rows(check), rows);
    QCOMPARE(w.rows("SELECT * FROM CS_SOURCE WHERE SOAREA <> 'BA'").join(","), others);
    for (const QString& item : listed(f))
        QVERIFY(!item.startsWith(code + "|"));
    QCOMPARE(env.logText(), QString());
}

void tst_frmLookup::failedWriteBackLeavesTheTable() {
    OPEN_WAREHOUSE();
    QVERIFY(w.own().Execute(lastCodeOfL4));
    frmLookup f;
    codes(f, "BA", "L4");
    QCOMPARE(picked(f), QString("411"));
    const QString before = w.snapshot();
    // The delete goes through; the level row after it fails.
    gDBConnection->adoConnection().FailStatementContaining("VALUES ('BA','L4',' ',' ')",
                                                           {-9, "no room", "test"});
    env.ui.answers << vbYes;
    f.cmdDelete_Click();
    QCOMPARE(prompts(env), (QStringList{"Delete Selected Code?", "no room"}));
    QVERIFY(env.logLines().last().endsWith("in frmLookup:DeleteItem"));
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(gDBConnection->adoConnection().TransactionDepth(), 0);
    QCOMPARE(listed(f), QStringList{"411|Hub's"});
    QCOMPARE(picked(f), QString("411"));
}

void tst_frmLookup::deleteOfTheLastListedRowLeavesAddMode() {
    OPEN_WAREHOUSE();
    QVERIFY(insertCategories(w, {"'NEWC', 'New'"}));
    frmLookup f;
    categories(f);
    f.m_strFilter = "CAT_CODE = " + SqlText("NEWC");
    QCOMPARE(picked(f), QString("NEWC"));
    env.ui.answers << vbYes;
    f.cmdDelete_Click();
    QCOMPARE(prompts(env), QStringList{"Delete Selected Category?"});
    QCOMPARE(env.logText(), QString());
    QCOMPARE(f.ctlListView()->topLevelItemCount(), 0);
    expectAddMode(f);
    QCOMPARE(w.scalar("SELECT COUNT(*) FROM CS_CAT_DESC").toInt(), 12);
}

void tst_frmLookup::deleteOfAChangedRowTellsAndReloads() {
    OPEN_WAREHOUSE();
    QVERIFY(insertCategories(w, {"'NEWC', 'New'"}));
    frmLookup f;
    categories(f);
    f.m_strFindItem = "NEWC";
    QCOMPARE(picked(f), QString("NEWC"));
    // Someone else changes the row; the boxes showing the new description do not count.
    QVERIFY(w.own().Execute("UPDATE CS_CAT_DESC SET CAT_DESC = 'New''s' WHERE CAT_CODE = 'NEWC'"));
    f.txtDesc()->setText("New's");
    const QString before = w.snapshot();
    env.ui.answers << vbYes;
    f.cmdDelete_Click();
    QCOMPARE(prompts(env), (QStringList{"Delete Selected Category?",
                                        "Category NEWC no longer exists, so nothing was deleted."}));
    QCOMPARE(w.snapshot(), before);
    QVERIFY(listed(f).contains("NEWC|New's"));
}

void tst_frmLookup::emptyLevelCodeModeIsPickOnly() {
    OPEN_WAREHOUSE();
    QVERIFY(w.own().Execute(spareCode));
    const QString before = w.snapshot();
    env.ui.answers << vbYes << vbYes;
    env.ui.dialogScripts << pickAndConfirm("223");
    frmLookup f;
    codes(f, "BA", "");
    f.m_strLevel = "  "; // a level box of blanks is no level
    QCOMPARE(f.ctlListView()->topLevelItemCount(), 17 + 1);
    QVERIFY(!f.cmdAdd()->isEnabled());
    QVERIFY(!f.cmdDelete()->isEnabled());
    f.SelectListItem(f.ctlListView(), "29");
    f.cmdDelete_Click();
    f.cmdClear_Click();
    QVERIFY(!f.cmdAdd()->isEnabled());
    f.txtCode()->setText("NEW");
    f.txtDesc()->setText("New");
    f.cmdAdd_Click();
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(w.snapshot(), before);
    // Picking still works.
    f.Show();
    QVERIFY(f.m_OK);
    QCOMPARE(f.m_colSelection, (QStringList{"223", "Last Mile Delivery"}));
}

void tst_frmLookup::categoryAddModifyDelete() {
    OPEN_WAREHOUSE();
    frmLookup f;
    categories(f);
    f.m_strLevel = " "; // no level: categories keep their editing
    f.cmdClear_Click();
    f.txtCode()->setText("NEWC");
    f.txtDesc()->setText("  New 'cat' ");
    f.cmdAdd_Click();
    QCOMPARE(w.rows("SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE = 'NEWC'"),
             QStringList{"NEWC|New 'cat'"});
    QCOMPARE(picked(f), QString("NEWC"));

    f.txtDesc()->setText("Newer 'cat'");
    f.cmdAdd_Click();
    QCOMPARE(w.rows("SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE = 'NEWC'"),
             QStringList{"NEWC|Newer 'cat'"});

    env.ui.answers << vbYes;
    f.cmdDelete_Click();
    QCOMPARE(w.rows("SELECT CAT_CODE FROM CS_CAT_DESC WHERE CAT_CODE = 'NEWC'"), QStringList{});
    QCOMPARE(w.scalar("SELECT COUNT(*) FROM CS_CAT_DESC").toInt(), 12);
    QCOMPARE(prompts(env), QStringList{"Delete Selected Category?"});
    QCOMPARE(picked(f), QString("COS"));
}

void tst_frmLookup::addsThatMustNotLand_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("message");
    const QString refused = WellFormedText::RefusalText();
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "code with half of a pair") << "Q" + QString(QChar(0xD800)) << "--" << refused;
        Warehouse::newRow(b, "description with NUL") << "Q9"
                                                     << "a" + QString(QChar(0)) + "b" << refused;
        Warehouse::newRow(b, "again after a failed refresh") << "77"
                                                             << "Twice"
                                                             << "Code is already exists";
        Warehouse::newRow(b, "locked by another session") << "77"
                                                          << "Waits"
                                                          << "Item cannot be added to the list";
    }
}

void tst_frmLookup::addsThatMustNotLand() {
    OPEN_WAREHOUSE();
    QFETCH(QString, code);
    QFETCH(QString, description);
    QFETCH(QString, message);
    frmLookup f;
    configure(f, "codes BA L2");
    f.cmdClear_Click();
    const auto add = [&] {
        f.txtCode()->setText(code);
        f.txtDesc()->setText(description);
        f.cmdAdd_Click();
    };
    DbConnection& c = gDBConnection->adoConnection();
    if (description == "Twice") { // the first Add lands, the list's refresh after it fails
        c.FailStatementContaining("SELECT DISTINCT", {7, "refresh failed", "test"});
        add();
    }
    const QString before = w.snapshot();
    if (description == "Waits") {
        QVERIFY(w.own().BeginTrans());
        QVERIFY(w.own().Execute(backend == "sqlite" ? "UPDATE CS_SOURCE SET SODESC = SODESC"
                                                    : "LOCK TABLE CS_SOURCE IN EXCLUSIVE MODE"));
        c.CommandTimeout = 1;
    }
    QElapsedTimer clock;
    clock.start();
    add();
    QVERIFY(clock.elapsed() < 4000); // the time-out, not the driver's own wait, ended it
    w.own().RollbackTrans();
    QVERIFY(prompts(env).contains(message));
    QCOMPARE(w.snapshot(), before);
}

QTEST_MAIN(tst_frmLookup)
#include "tst_frmLookup.moc"
