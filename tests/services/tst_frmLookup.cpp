#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/UserDialogs.h"
#include "platform/WellFormedText.h"
#include "services/frmLookup.h"
#include "support/LookupShapes.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

// The last code of its level.
const QString lastCodeOfL4 =
    "INSERT INTO CS_SOURCE (SOAREA, SOLEVEL, SOCODE, SODESC) VALUES ('BA', 'L''4', '411', 'Hub''s')";
const QString twin =
    "INSERT INTO CS_SOURCE (SOAREA, SOLEVEL, SOCODE, SODESC) VALUES ('BA', 'L2', '223', 'Twin')";
const QString spareCode =
    "INSERT INTO CS_SOURCE (SOAREA, SOLEVEL, SOCODE, SODESC) VALUES ('BA', 'L2', '29', 'Spare')";
const QString newCategory = "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('NEWC', 'New')";
const QString categoryNEWC = "SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE IN ('NEWC', ' ')";

// One case of a lookup on the warehouse.
struct Case {
    QString lookup{};      // as ConfigureLookup names it
    QString code{};        // picked first (empty: none, a new entry)
    QString typed{};       // the code typed for an add
    QString description{}; // typed
    QString setup{};       // run on the warehouse first
    QString filter{};      // instead of the lookup's own
    QString check{};       // a query of the rows that matter
    QStringList rows{};    // what it answers afterwards
    QStringList prompts{}; // the messages shown
    QString failing{};     // a statement made to fail
    QString place{};       // where the failure is logged
    QString meanwhile{};   // another session's change after the pick
    QString asked{};       // another user's change while the question is open
    QString state{};       // the SQLSTATE of the failure made ("08S01": the connection was lost)
    bool caseSensitive = true;
};

QStringList listed(frmLookup& f) {
    QStringList items;
    for (int i = 0; i < f.ctlListView()->topLevelItemCount(); ++i)
        items << f.ctlListView()->topLevelItem(i)->text(0) + "|" + f.ctlListView()->topLevelItem(i)->text(1);
    return items;
}

QString picked(frmLookup& f) {
    const QList<QTreeWidgetItem*> selected = f.ctlListView()->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

// The rows of the other areas, which no change of a CS_SOURCE lookup may touch.
QStringList otherAreas(Warehouse& w, const QString& lookup) {
    const QString area = lookup.section(' ', 1, 1);
    return area.isEmpty() ? QStringList()
                          : w.rows("SELECT * FROM CS_SOURCE WHERE SOAREA <> " + SqlText(area));
}

// Runs the case's set-up and opens the lookup on the warehouse with its code picked (none: cleared for a
// new entry).
void openOn(Warehouse& w, frmLookup& f, const Case& c) {
    if (!c.setup.isEmpty())
        QVERIFY(w.own().Execute(c.setup));
    gCaseSensitive = c.caseSensitive;
    ConfigureLookup(f, c.lookup);
    if (!c.filter.isEmpty())
        f.m_strFilter = c.filter;
    f.m_strFindItem = c.code.isEmpty() ? QStringLiteral("<none>") : c.code;
    if (c.code.isEmpty())
        f.cmdClear_Click();
    QCOMPARE(picked(f), c.code);
}

void typeAndAdd(frmLookup& f, const QString& code, const QString& description) {
    if (!code.isNull())
        f.txtCode()->setText(code);
    f.txtDesc()->setText(description);
    f.cmdAdd_Click();
}

} // namespace

Q_DECLARE_METATYPE(Case)

#define OPEN_CASE()                                                                                          \
    TestEnvironment env;                                                                                     \
    QLX_OPEN_WAREHOUSE(w);                                                                                   \
    QFETCH(Case, c);                                                                                         \
    frmLookup f;                                                                                             \
    openOn(w, f, c)

class tst_frmLookup : public QObject {
    Q_OBJECT
private slots:
    void listAndPreselection_data();
    void listAndPreselection();
    void showAnswersTheChoice_data();
    void showAnswersTheChoice();
    void failedListClearsLookupOK_data() { Warehouse::addBackendRows(); }
    void failedListClearsLookupOK();
    void entryStates_data();
    void entryStates();
    void integerCodesTakeDigitsOnly_data() { Warehouse::addBackendRows(); }
    void integerCodesTakeDigitsOnly();
    void levelBoxKeepsItsL_data() { Warehouse::addBackendRows(); }
    void levelBoxKeepsItsL();
    void edits_data();
    void edits();
    void deletes_data();
    void deletes();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void emptyLevelCodeModeIsPickOnly_data() { Warehouse::addBackendRows(); }
    void emptyLevelCodeModeIsPickOnly();
};

void tst_frmLookup::listAndPreselection_data() {
    Warehouse::addColumns<QString>("find");
    QTest::addColumn<QString>("selected");
    Warehouse::addRows("first row", QString(), QString("0"));
    Warehouse::addRows("exact", QString("ab"), QString("ab"));
    Warehouse::addRows("prefix", QString("EQ"), QString("EQTY"));
    Warehouse::addRows("zero", QString("0"), QString("0"));
    Warehouse::addRows("apostrophe", QString("Q'1"), QString("Q'1"));
    Warehouse::addRows("none", QString("ZZ"), QString());
}

void tst_frmLookup::listAndPreselection() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, find);
    QFETCH(QString, selected);
    for (const char* row : {"NULL, 'No code'", "' ', 'Blank code'", "'0', 'Zero'", "'NODESC', NULL",
                            "'Q''1', 'It''s quoted'", "'AB1', 'Upper'", "'ab', 'Lower'"})
        QVERIFY(
            w.own().Execute(QString("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES (%1)").arg(row)));
    frmLookup f;
    ConfigureLookup(f, "categories");
    f.m_strFindItem = find;
    const QStringList items = listed(f);
    QCOMPARE(items.size(), 12 + 5); // codes of NULL or blanks are not listed
    QCOMPARE(items.first(), QString("0|Zero"));
    QVERIFY(items.contains("NODESC|") && items.contains("Q'1|It's quoted"));
    QCOMPARE(picked(f), selected);
    QCOMPARE(f.IsModify(), !selected.isEmpty());
    QCOMPARE(f.txtCode()->text(), selected);
    QCOMPARE(f.txtCode()->isReadOnly(), !selected.isEmpty());
    QVERIFY(env.ui.messages.isEmpty());
}

void tst_frmLookup::showAnswersTheChoice_data() {
    Warehouse::addColumns<QString>("action");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("selection");
    QTest::addColumn<QString>("stored"); // the row of its code afterwards; empty: none checked
    const QStringList none{"", ""};
    Warehouse::addRows("OK", QString("OK"), true, QStringList{"Q'1", "It's quoted"}, QString());
    Warehouse::addRows("double click", QString("double click"), true, QStringList{"0", "Zero"}, QString());
    Warehouse::addRows("Enter on the highlighted row", QString("Enter"), true, QStringList{"0", "Zero"},
                       QString());
    Warehouse::addRows("Enter on OK", QString("Enter on OK"), true, QStringList{"Q'1", "It's quoted"},
                       QString());
    // Enter in a box nothing was typed into picks the highlighted row, as in the list; so it does once a row
    // was clicked after typing, which put the row's values back in the boxes.
    Warehouse::addRows("Enter in the code box, nothing typed", QString("Enter in the code box"), true,
                       QStringList{"0", "Zero"}, QString());
    Warehouse::addRows("Enter in the description box, nothing typed", QString("Enter in the description box"),
                       true, QStringList{"0", "Zero"}, QString());
    Warehouse::addRows("Enter after typing, then clicking a row", QString("clicked after typing"), true,
                       QStringList{"Q'1", "It's quoted"}, QString());
    // Enter in a box typed into is for the entry, as Add or Accept: the dialog stays open, the typing stored.
    Warehouse::addRows("Enter in a description typed into", QString("typed | it's more"), false, none,
                       QString("0|Zero it's more"));
    Warehouse::addRows("Enter in a new entry", QString("typed NEWC|New"), false, none, QString("NEWC|New"));
    Warehouse::addRows("Cancel", QString("Cancel"), false, none, QString());
    Warehouse::addRows("OK without a row, then Cancel", QString("none"), false, none, QString());
    Warehouse::addRows("closed otherwise: Escape", QString("Escape"), false, QStringList{}, QString());
    Warehouse::addRows("closed otherwise", QString(), false, QStringList{}, QString());
}

void tst_frmLookup::showAnswersTheChoice() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    QFETCH(QString, action);
    QFETCH(bool, ok);
    QFETCH(QStringList, selection);
    QFETCH(QString, stored);
    QVERIFY(
        w.own().Execute("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('Q''1', '  It''s quoted ')"));
    QVERIFY(w.own().Execute("INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('0', 'Zero')"));
    const QString before = w.snapshot();
    bool stayedOpen = false;
    if (!action.isEmpty())
        env.ui.dialogScripts << [&](QDialog& d) {
            auto& f = static_cast<frmLookup&>(d);
            if (ok)
                f.SelectListItem(f.ctlListView(), action.contains("OK") ? "Q'1" : "0");
            const bool key = action.startsWith("Enter") || action == "Escape";
            if (key) { // as a user meets it: the keys go to the widget with the focus
                f.show();
                QWidget* focus = f.ctlListView();
                if (action == "Enter on OK")
                    focus = f.cmdOK();
                else if (action == "Enter in the code box")
                    focus = f.txtCode();
                else if (action == "Enter in the description box")
                    focus = f.txtDesc();
                focus->setFocus();
                QTest::keyClick(focus, action == "Escape"        ? Qt::Key_Escape
                                       : action == "Enter on OK" ? Qt::Key_Enter
                                                                 : Qt::Key_Return);
            } else if (action.startsWith("typed")) { // "typed code|description", no code: the picked row's
                const QString code = action.mid(6).section('|', 0, 0);
                f.show();
                if (!code.isEmpty())
                    f.cmdClear_Click();
                QTest::keyClicks(f.txtCode(), code);
                f.txtDesc()->setFocus();
                f.txtDesc()->end(false);
                QTest::keyClicks(f.txtDesc(), action.section('|', 1));
                QTest::keyClick(f.txtDesc(), Qt::Key_Return);
            } else if (action ==
                       "clicked after typing") { // typed into the picked row's description, then a click
                f.show();
                f.txtDesc()->setFocus();
                f.txtDesc()->end(false);
                QTest::keyClicks(f.txtDesc(), " more");
                QTreeWidget* list = f.ctlListView();
                const QTreeWidgetItem* row = list->findItems("Q'1", Qt::MatchExactly).value(0);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
                f.txtDesc()->setFocus();
                QTest::keyClick(f.txtDesc(), Qt::Key_Return);
            } else if (action == "double click")
                f.ctlListView_DblClick();
            else if (action != "Cancel")
                f.cmdOK_Click();
            stayedOpen = f.IsLoaded();
            if (stayedOpen)
                f.cmdClose_Click();
            return d.result();
        };
    gLookupOK = true;
    frmLookup f;
    ConfigureLookup(f, "categories");
    if (action == "none")
        f.m_strFindItem = "NONE";
    QCOMPARE(f.Show(), int(ok ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(env.ui.dialogs, QStringList{"frmLookup"});
    QCOMPARE(f.m_OK, ok);
    QCOMPARE(f.m_colSelection, selection);
    QCOMPARE(stayedOpen, action == "none" || action == "Cancel" || !stored.isEmpty());
    if (!stored.isEmpty())
        QCOMPARE(w.rows("SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE = " +
                        SqlText(stored.section('|', 0, 0))),
                 QStringList{stored});
    QVERIFY(!f.IsLoaded());
    QVERIFY(gLookupOK);
    if (ok) // a pick writes nothing
        QCOMPARE(w.snapshot(), before);
}

void tst_frmLookup::failedListClearsLookupOK() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    gLookupOK = true;
    frmLookup f;
    ConfigureLookup(f, "categories");
    f.m_strFilter = "NO_SUCH_COLUMN = 'x'";
    QVERIFY(!f.IsLoaded()); // configuring reads nothing; the first use of a control does
    QCOMPARE(f.ctlListView()->topLevelItemCount(), 0);
    QVERIFY(f.IsLoaded());
    QVERIFY(!gLookupOK);
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.logLines().size(), 2); // the run's header and the one report
    QVERIFY(env.logLines()[1].endsWith("in frmLookup:OpenRecordset"));
    // It stays loaded: showing it reads nothing again and says nothing more.
    f.Show();
    QCOMPARE(env.ui.messages.size(), 1);
}

void tst_frmLookup::entryStates_data() {
    Warehouse::addColumns<Case>("c");
    // The states, in order: Add enabled, Delete enabled, description editable, description shown; the
    // code column's width (0: not checked).
    QTest::addColumn<QList<bool>>("states");
    QTest::addColumn<int>("codeMax");
    Warehouse::addRows("categories", Case{.lookup = "categories", .code = "COS"}, QList<bool>{1, 1, 1, 1},
                       10);
    Warehouse::addRows("no categories", Case{.lookup = "categories", .filter = "CAT_CODE = 'NONE'"},
                       QList<bool>{1, 1, 1, 1}, 10);
    Warehouse::addRows("codes of a level", Case{.lookup = "codes AC L2", .code = "11"},
                       QList<bool>{1, 1, 1, 1}, 20);
    Warehouse::addRows("levels", Case{.lookup = "levels AC", .code = "L1"}, QList<bool>{0, 1, 1, 0}, 4);
    Warehouse::addRows("accounts", Case{.lookup = "accounts CORP", .code = "111110"}, QList<bool>{0, 0, 0, 1},
                       0);
    Warehouse::addRows("no accounts", Case{.lookup = "accounts CORP", .filter = " BUSINESS_UNIT_ID = 'NONE'"},
                       QList<bool>{0, 0, 1, 1}, 0);
    Warehouse::addRows("charts of account", Case{.lookup = "charts", .code = "CORP"}, QList<bool>{0, 0, 0, 1},
                       0);
}

void tst_frmLookup::entryStates() {
    OPEN_CASE();
    QFETCH(QList<bool>, states);
    QFETCH(int, codeMax);
    const QList<bool> seen{f.cmdAdd()->isEnabled(), f.cmdDelete()->isEnabled(), !f.txtDesc()->isReadOnly(),
                           !f.txtDesc()->isHidden()};
    QCOMPARE(seen, states);
    QCOMPARE(f.IsModify(), !c.code.isEmpty()); // an empty list leaves room for a new entry
    // The code box holds as many characters as its column, characters beyond the basic plane too.
    if (codeMax > 0) {
        f.txtCode()->setText(QString(QStringLiteral("\U0001F600")).repeated(codeMax + 1));
        QCOMPARE(WellFormedText::Characters(f.txtCode()->text()), codeMax);
        f.txtCode()->clear();
    }
    // Every caption whole, clear of its box, and every box within the dialog.
    for (const auto& [caption, box] :
         {std::pair(f.lblCode(), f.txtCode()), std::pair(f.lblDesc(), f.txtDesc())})
        if (!box->isHidden())
            QVERIFY(caption->width() >= caption->sizeHint().width() &&
                    caption->geometry().right() < box->x() && f.rect().contains(box->geometry()));
    QVERIFY(f.ctlListView()->columnWidth(0) >= f.ctlListView()->header()->sectionSizeHint(0));
}

void tst_frmLookup::integerCodesTakeDigitsOnly() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    QVERIFY(w.own().Execute("CREATE TABLE LOOKUP_NUMBERS (NUM INTEGER, NAME VARCHAR(30))"));
    QVERIFY(w.own().Execute("INSERT INTO LOOKUP_NUMBERS (NUM, NAME) VALUES (0, 'Nought')"));
    frmLookup f;
    f.m_colFieldNames = {"NUM", "NAME"};
    f.m_colColumnNames = {"Number", "Name"};
    f.m_strTableName = "LOOKUP_NUMBERS";
    QCOMPARE(listed(f), QStringList{"0|Nought"});
    f.txtDesc()->setText(QString(QStringLiteral("\U0001F600")).repeated(31));
    QCOMPARE(WellFormedText::Characters(f.txtDesc()->text()), 30);
    f.cmdClear_Click();
    QTest::keyClicks(f.txtCode(), "1a2-");
    QCOMPARE(f.txtCode()->text(), QString("12"));
    f.txtCode()->setText("1x");
    f.txtDesc()->setText("Twelve");
    QVERIFY(!f.ValidateEntry());
    QCOMPARE(env.prompts(), QStringList{"Invalid Code, value must be numeric!"});
}

void tst_frmLookup::levelBoxKeepsItsL() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    frmLookup f;
    openOn(w, f, {.lookup = "levels BA", .code = "L1"});
    QCOMPARE(listed(f), (QStringList{"L1|", "L2|", "L3|", "L4|"})); // not their placeholders
    QVERIFY(!f.cmdAdd()->isEnabled());                              // a picked level has nothing to change
    f.cmdClear_Click();
    QLineEdit* box = f.txtCode();
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Delete, Qt::Key_X})
        QTest::keyClick(box, key);
    QCOMPARE(box->text(), QString("L"));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "123456");
    QCOMPARE(box->text(), QString("L123"));
}

void tst_frmLookup::edits_data() {
    Warehouse::addColumns<Case>("c");
    const QString source = "SELECT SOAREA, SOLEVEL, SOCODE, SODESC FROM CS_SOURCE WHERE ";
    const QString category = "SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_CODE IN ('NEWC', 'eqty')";
    // A code typed, or with a check "=" followed by the code picked, and the description typed; without a
    // check the prompts of a refusal.
    const auto row = [](const char* name, const QString& lookup, const QString& code,
                        const QString& description, const QString& check, const QStringList& rows,
                        bool caseSensitive = true) {
        const bool picks = check.startsWith('=');
        Warehouse::addRows(name, Case{.lookup = lookup,
                                      .code = picks ? code : QString(),
                                      .typed = picks ? QString() : code,
                                      .description = description,
                                      .check = picks ? check.mid(1) : check,
                                      .rows = check.isEmpty() ? QStringList() : rows,
                                      .prompts = check.isEmpty() ? rows : QStringList(),
                                      .caseSensitive = caseSensitive});
    };
    row("empty level fills its placeholder", "codes BA L4 ", "411", "North's Hub",
        source + "SOAREA = 'BA' AND SOLEVEL = 'L4'", {"BA|L4|411|North's Hub"});
    row("level with codes gets a row", "codes BA L2", "411", "North's Hub",
        source + "SOAREA = 'BA' AND SOLEVEL = 'L2' AND SOCODE = '411'", {"BA|L2|411|North's Hub"});
    row("new level with an apostrophe", "codes AC L'8", "411", "North's Hub", source + "SOLEVEL = 'L''8'",
        {"AC|L'8|411|North's Hub"});
    row("code of another level", "codes BA L2", "111", "Another",
        source + "SOAREA = 'BA' AND SOLEVEL = 'L2' AND SOCODE = '111'", {"BA|L2|111|Another"});
    row("level", "levels BA", "L5", "", source + "SOAREA = 'BA' AND SOLEVEL = 'L5'", {"BA|L5| | "});
    row("category, trimmed", "categories", "NEWC", "  New 'cat' ", category, {"NEWC|New 'cat'"});
    row("category in other case, case-sensitive", "categories", "eqty", "Another", category,
        {"eqty|Another"});
    const QString owners = "Owner's 'best' goods";
    row("modify code of a level", "codes BA L2", "11", owners,
        "=SELECT SOAREA, SOLEVEL, SODESC FROM CS_SOURCE WHERE SOCODE = '11'",
        {"AC|L2|Assets", "BA|L2|" + owners, "BU|L2|Store Network"});
    row("modify category", "categories", "EQTY", owners,
        "=SELECT CAT_CODE, CAT_DESC FROM CS_CAT_DESC WHERE CAT_DESC LIKE 'Own%'", {"EQTY|" + owners});
    const QString invalid = "Code contains invalid characters!";
    const QString exists = "Code is already exists";
    row("blank code", "categories", "  ", "Something", "", {"Code cannot be blank"});
    for (const char* code :
         {"NEW ", "N'W", "N%", "N-W"}) // a trailing blank, an apostrophe, a percent, a hyphen
        row(code, "categories", code, "Something", "", {invalid});
    row("blank description", "categories", "NEW", "   ", "", {"Description cannot be blank"});
    row("code of the level", "codes BA L2", "12", "Another", "", {exists});
    row("category", "categories", "EQTY", "Another", "", {exists});
    row("category in other case, case-insensitive", "categories", "eqty", "Another", "", {exists}, false);
    row("existing level", "levels BA", "L3", "", "", {exists});
    row("code with half of a pair", "codes BA L2", "Q" + QString(QChar(0xD800)), "--", "",
        {WellFormedText::RefusalText()});
    row("description with NUL", "codes BA L2", "Q9", "a" + QString(QChar(0)) + "b", "",
        {WellFormedText::RefusalText(), "Item cannot be added to the list"});
    // A caller's condition holding "or" stays one condition: only code 11 changes, in both areas.
    Warehouse::addRows("modify with a filter with or",
                       Case{.lookup = "codes BA L2",
                            .code = "11",
                            .description = owners,
                            .filter = " SOAREA = 'BA' and SOLEVEL = 'L2' or SOAREA = 'BU' and SOLEVEL = 'L2'",
                            .check = "SELECT SOAREA, SOLEVEL, SOCODE FROM CS_SOURCE WHERE SODESC LIKE 'Own%'",
                            .rows = {"BA|L2|11", "BU|L2|11"}});
}

void tst_frmLookup::edits() {
    OPEN_CASE();
    const QStringList others = otherAreas(w, c.lookup);
    const QString before = w.snapshot();
    typeAndAdd(f, c.typed, c.description);
    QCOMPARE(env.prompts(), c.prompts);
    if (!c.prompts.isEmpty()) { // refused
        QCOMPARE(w.snapshot(), before);
        QCOMPARE(f.txtCode()->text(), c.typed);
        QVERIFY(!f.IsModify());
        return;
    }
    QCOMPARE(w.rows(c.check + " ORDER BY 1, 2"), c.rows);
    if (c.filter.isEmpty())
        QCOMPARE(otherAreas(w, c.lookup), others);
    const QString code = c.code.isEmpty() ? c.typed : c.code; // listed and picked
    QCOMPARE(listed(f).filter(QRegularExpression("^" + QRegularExpression::escape(code) + "\\|")),
             QStringList{code + "|" + c.description.trimmed()});
    QCOMPARE(picked(f), code);
    QVERIFY(f.IsModify());
}

void tst_frmLookup::deletes_data() {
    Warehouse::addColumns<Case>("c");
    const auto row = [](const char* name, const QString& lookup, const QString& code, const QString& setup,
                        const QString& check, const QStringList& rows, const QStringList& prompts,
                        const QString& filter = {}, const QString& meanwhile = {},
                        const QString& asked = {}) {
        Warehouse::addRows(name, Case{.lookup = lookup,
                                      .code = code,
                                      .setup = setup,
                                      .filter = filter,
                                      .check = check,
                                      .rows = rows,
                                      .prompts = prompts,
                                      .meanwhile = meanwhile,
                                      .asked = asked});
    };
    const QString category = "Delete Selected Category?";
    const QString has = " has Dependency and cannot be deleted!";
    row("last code of its level keeps the level", "codes BA L'4", "411", lastCodeOfL4,
        "SELECT * FROM CS_SOURCE WHERE SOLEVEL = 'L''4'", {"BA|L'4| | "}, {"Delete Selected Code?"});
    // The dependency check asks about the code of this level.
    row("code held at another level", "codes BA L2", "223", twin,
        "SELECT * FROM CS_SOURCE WHERE SOCODE = '223'", {"BA|L3|223|Last Mile Delivery"},
        {"Delete Selected Code?"});
    row("code beside others", "codes BA L2", "29", spareCode,
        "SELECT * FROM CS_SOURCE WHERE SOLEVEL = 'L2' AND SOAREA = 'BA' AND SOCODE IN ('29', ' ')", {},
        {"Delete Selected Code?"});
    row("level", "levels BA", "L4", "", "SELECT * FROM CS_SOURCE WHERE SOLEVEL = 'L4' AND SOAREA = 'BA'", {},
        {"Delete Selected Level?"});
    row("level with an apostrophe", "levels BA", "L'5",
        "INSERT INTO CS_SOURCE VALUES ('BA', 'L''5', ' ', ' ')",
        "SELECT * FROM CS_SOURCE WHERE SOLEVEL = 'L''5'", {}, {"Delete Selected Level?"});
    row("category", "categories", "NEWC", newCategory, categoryNEWC, {}, {category});
    row("last listed row", "categories", "NEWC", newCategory, categoryNEWC, {}, {category},
        "CAT_CODE = 'NEWC'");
    row("category without a description", "categories", "NEWC",
        "INSERT INTO CS_CAT_DESC (CAT_CODE, CAT_DESC) VALUES ('NEWC', NULL)", categoryNEWC, {}, {category});
    // The boxes showing the new description do not count.
    row("row changed meanwhile", "categories", "NEWC", newCategory, categoryNEWC, {"NEWC|New's"},
        {category, "Category NEWC no longer exists, so nothing was deleted."}, "",
        "UPDATE CS_CAT_DESC SET CAT_DESC = 'New''s' WHERE CAT_CODE = 'NEWC'");
    // Refused: nothing changes.
    row("code with ranges", "codes BA L3", "223", "", "", {}, {"Code 223" + has});
    row("code without ranges", "codes AC L1", "9", "", "", {}, {"Code 9" + has});
    row("level in use", "levels BA", "L1", "", "", {}, {"Level L1" + has});
    row("category in use", "categories", "STAT", "", "", {}, {"Category STAT" + has});
    // Attached elsewhere while the user reads the question: the delete finds it in use after all.
    row("code attached while asked", "codes AC L2", "96",
        "INSERT INTO CS_SOURCE VALUES ('AC', 'L2', '96', 'Spare''s')", "", {},
        {"Delete Selected Code?", "Code 96" + has}, "", "",
        "INSERT INTO CS_LEVELHIER VALUES ('AC', 'CORP', 'L1', '9', 'L2', '96')");
}

void tst_frmLookup::deletes() {
    OPEN_CASE();
    const QStringList others = otherAreas(w, c.lookup);
    const QString before = w.snapshot();
    if (!c.meanwhile.isEmpty()) {
        QVERIFY(w.own().Execute(c.meanwhile));
        f.txtDesc()->setText("New's");
    }
    env.ui.answers << vbYes;
    // The other user's change runs in this action's own transaction (it would wait for its lock), so the
    // rollback of a refusal takes it too.
    DbConnection& connection = gDBConnection->adoConnection();
    if (!c.asked.isEmpty())
        connection.BeforeStatement(
            [&](const QString&) { return !env.ui.messages.isEmpty() && connection.Execute(c.asked); });
    f.cmdDelete_Click();
    connection.BeforeStatement(nullptr);
    QCOMPARE(env.prompts(), c.prompts);
    QCOMPARE(otherAreas(w, c.lookup), others);
    QCOMPARE(env.logText(), QString());
    if (c.check.isEmpty()) { // refused
        QCOMPARE(w.snapshot(), before);
        QCOMPARE(picked(f), c.code);
        return;
    }
    QCOMPARE(w.rows(c.check), c.rows);
    QCOMPARE(listed(f).filter(QRegularExpression("^" + c.code + "\\|")).size(),
             c.meanwhile.isEmpty() ? 0 : 1);
    QCOMPARE(f.IsModify(), !listed(f).isEmpty());
}

void tst_frmLookup::failuresChangeNothing_data() {
    Warehouse::addColumns<Case>("c");
    const auto row = [](const char* name, const QString& lookup, const QString& code, const QString& setup,
                        const QString& failing, const QString& place, const QStringList& prompts,
                        const QString& state = {}) {
        Warehouse::addRows(name, Case{.lookup = lookup,
                                      .code = code,
                                      .setup = setup,
                                      .prompts = prompts,
                                      .failing = failing,
                                      .place = place,
                                      .state = state});
    };
    row("insert", "codes BA L2", "", "", "INSERT INTO CS_SOURCE", "InsertItem",
        {"failed", "Item cannot be added to the list"});
    row("modify", "categories", "EQTY", "", "Update CS_CAT_DESC", "ModifyItem",
        {"failed", "Item cannot be modified "});
    row("dependency check", "codes BA L2", "29", spareCode, "CS_BA_BU_LEVELS", "DependenciesExist",
        {"failed"});
    // The last code of a level goes: the delete, the look for its level's other rows, the level's own row.
    for (const char* failing :
         {"Delete From CS_SOURCE", "Select * from CS_SOURCE Where SOAREA", "INSERT INTO CS_SOURCE"})
        row(qPrintable(QString("last code of its level: ") + failing), "codes BA L'4", "411", lastCodeOfL4,
            failing, "DeleteItem", {"Delete Selected Code?", "failed"});
    // The first add lands but the list cannot be read again: the second is still a duplicate.
    row("again after a failed refresh", "codes BA L2", "", "", "SELECT DISTINCT", "",
        {"failed", "Code is already exists"});
    // The connection lost on the way: the user reads the loss alone, not the dialog's own word on the
    // failure.
    const QString lost = DbConnection::LostText();
    row("insert after a lost connection", "codes BA L2", "", "", "INSERT INTO CS_SOURCE", "InsertItem",
        {lost}, "08S01");
    row("category added after a lost connection", "categories", "", "", "INSERT INTO CS_CAT_DESC",
        "cmdAdd_Click", {lost}, "08S01");
    row("modify after a lost connection", "categories", "EQTY", "", "Update CS_CAT_DESC", "ModifyItem",
        {lost}, "08003");
    row("delete after a lost connection", "codes BA L'4", "411", lastCodeOfL4, "Delete From CS_SOURCE",
        "DeleteItem", {"Delete Selected Code?", lost}, "08S01");
    // Another session holds the table: the add waits for the time-out only, and fails with the driver's
    // words.
    row("locked by another session", "codes BA L2", "", "", "", "InsertItem",
        {"", "Item cannot be added to the list"});
}

void tst_frmLookup::failuresChangeNothing() {
    OPEN_CASE();
    DbConnection& connection = gDBConnection->adoConnection();
    const bool again = c.place.isEmpty();
    if (again) { // the add, which lands
        connection.FailStatementContaining(c.failing, {-9, "failed", "test"});
        typeAndAdd(f, "77", "Twice");
    }
    const QString before = w.snapshot();
    const int items = f.ctlListView()->topLevelItemCount();
    if (c.failing.isEmpty()) {
        QVERIFY(w.own().BeginTrans());
        QVERIFY(w.own().Execute(backend == "sqlite" ? "UPDATE CS_SOURCE SET SODESC = SODESC"
                                                    : "LOCK TABLE CS_SOURCE IN EXCLUSIVE MODE"));
        connection.CommandTimeout = 1;
    } else if (!again) {
        connection.FailStatementContaining(c.failing, {-9, "failed", "test", c.state});
        QCoreApplication::processEvents(); // a loss an earlier row told is that action's
    }
    QElapsedTimer clock;
    clock.start();
    env.ui.answers << vbYes;
    if (c.code.isEmpty() || c.lookup == "categories")
        typeAndAdd(f, c.code.isEmpty() ? "77" : QString(), "Changed");
    else
        f.cmdDelete_Click();
    QVERIFY(clock.elapsed() < 4000);
    w.own().RollbackTrans();
    QStringList prompts = c.prompts;
    if (c.failing.isEmpty())
        prompts[0] = env.prompts().value(0);
    QCOMPARE(env.prompts(), prompts);
    // The failure is told once the write is undone: no lock waits on the user's answer.
    QVERIFY(!env.ui.inTransaction.contains(true));
    QVERIFY(again || env.logLines().last().endsWith("in frmLookup:" + c.place));
    QCOMPARE(w.snapshot(), before);
    QCOMPARE(connection.TransactionDepth(), 0);
    QCOMPARE(f.ctlListView()->topLevelItemCount(), items);
    QCOMPARE(f.IsModify(), !c.code.isEmpty());
    QCOMPARE(picked(f), c.code);
}

void tst_frmLookup::emptyLevelCodeModeIsPickOnly() {
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    QVERIFY(w.own().Execute(spareCode));
    const QString before = w.snapshot();
    env.ui.answers << vbYes << vbYes;
    env.ui.dialogScripts << [](QDialog& d) {
        auto& f = static_cast<frmLookup&>(d);
        f.SelectListItem(f.ctlListView(), "223");
        f.cmdOK_Click();
        return d.result();
    };
    frmLookup f;
    ConfigureLookup(f, "codes BA");
    f.m_strLevel = "  "; // a level box of blanks is no level
    QCOMPARE(f.ctlListView()->topLevelItemCount(), 17 + 1);
    QVERIFY(!f.cmdAdd()->isEnabled() && !f.cmdDelete()->isEnabled());
    f.SelectListItem(f.ctlListView(), "29");
    f.cmdDelete_Click();
    f.cmdClear_Click();
    typeAndAdd(f, "NEW", "New");
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(w.snapshot(), before);
    f.Show(); // picking still works
    QVERIFY(f.m_OK);
    QCOMPARE(f.m_colSelection, (QStringList{"223", "Last Mile Delivery"}));
}

QTEST_MAIN(tst_frmLookup)
#include "tst_frmLookup.moc"
