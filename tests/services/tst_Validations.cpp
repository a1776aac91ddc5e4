#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/UserDialogs.h"
#include "platform/WellFormedText.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"
#include "support/Warehouse.h"

#include <QTest>

class tst_Validations : public QObject {
    Q_OBJECT

    // Runs one check by name, as the editors call them.
    static bool check(clsGenericMaint& g, const QString& which, const QStringList& a) {
        if (which == "validateAccount")
            return g.validateAccount(a.value(0), a.value(1).toInt());
        if (which == "validateLevel")
            return g.validateLevel(a.value(0), a.value(1).toInt(), a.value(2));
        if (which == "validateCategories")
            return g.validateCategories(a.value(0));
        if (which == "validateMulptCode")
            return g.validateMulptCode(a.value(0));
        return g.ValidateLevelCode(a.value(0), a.value(1), a.value(2));
    }

private slots:
    void checks_data();
    void checks();
};

void tst_Validations::checks_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    // Empty: valid; "!how": the query fails ("!refused": by the program, before anything is sent).
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("style");
    for (const QString& b : Warehouse::backends()) {
        const auto row = [&b](const char* name, const QString& which, const QStringList& args,
                              const QString& message = {}, int style = vbExclamation) {
            Warehouse::newRow(b, name) << which << args << message << style;
        };
        row("account found", "validateAccount", {"CORP", "3"});
        row("account not found", "validateAccount", {"NOPE", "1"}, "It's not a valid Account");
        row("account blank", "validateAccount", {"", "3"}, "Account cannot be blank");
        row("account of a business level", "validateAccount", {"anything", "4"});
        row("account with apostrophe", "validateAccount", {"CO'RP", "2"}, "It's not a valid Account");
        row("account of one blank", "validateAccount", {" ", "3"}, "It's not a valid Account");
        row("level found", "validateLevel", {"L2", "5", "AC"});
        row("level of another area", "validateLevel", {"L5", "4", "BU"}, "It's not a valid Level");
        row("level of no area", "validateLevel", {"L9", "3", "AC"}, "It's not a valid Level");
        row("level blank", "validateLevel", {"", "3", "AC"}, "Level cannot be blank");
        row("level with apostrophe", "validateLevel", {"L'2", "3", "AC"}, "It's not a valid Level");
        row("category found", "validateCategories", {"CURA"});
        row("category not found", "validateCategories", {"NO'CAT"}, "It's not a valid Category", vbCritical);
        row("category blank", "validateCategories", {""}, "Category cannot be blank");
        row("multiplier found", "validateMulptCode", {"MSIGN"});
        row("multiplier not found", "validateMulptCode", {"M'X"}, "It's not a valid Multiplier");
        row("multiplier blank", "validateMulptCode", {""}, "Multiplier cannot be blank");
        row("level code found", "ValidateLevelCode", {"L2", "11", "AC"});
        row("level code of another level", "ValidateLevelCode", {"L3", "11", "AC"},
            "It's not a valid Level Code");
        row("level code not found", "ValidateLevelCode", {"L1", "9'9", "AC"}, "It's not a valid Level Code");
        row("level code blank, level blank too", "ValidateLevelCode", {"", "", "AC"},
            "Level Code cannot be blank");
        row("half of a pair", "validateCategories", {QString("CU") + QChar(0xD800)}, "!refused", vbOKOnly);
        row("NUL", "validateCategories", {QString("CU") + QChar(0) + "RA"}, "!refused", vbOKOnly);
        row("the table is gone", "validateCategories", {"CURA"}, "!dropped", vbOKOnly);
    }
    // No connection is open: every query fails.
    for (const QStringList& a : {QStringList{"validateAccount", "CORP", "3"},
                                 {"validateLevel", "L1", "3", "AC"},
                                 {"validateMulptCode", "M1"},
                                 {"ValidateLevelCode", "L1", "1", "AC"}})
        Warehouse::newRow("sqlite", "no connection: " + a[0])
            << a[0] << a.mid(1) << "!closed" << int(vbOKOnly);
}

void tst_Validations::checks() {
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, style);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    if (message == "!dropped")
        QVERIFY(w.own().Execute("DROP TABLE CS_CAT_DESC"));
    if (message == "!closed")
        gDBConnection->CloseDB();
    clsGenericMaint g;
    QCOMPARE(check(g, which, args),
             message.isEmpty()); // a failed query is neither found nor "not a valid ..."
    QCOMPARE(env.ui.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.startsWith('!')) {
        QCOMPARE(env.prompts(), message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(message.isEmpty() || env.ui.messages[0].style == style);
        QCOMPARE(env.logText(), QString());
        return;
    }
    QCOMPARE(env.ui.messages[0].style, style);
    QString text = env.ui.messages[0].prompt;
    QCOMPARE(text == WellFormedText::RefusalText(), message == "!refused");
    // Logged once, with the database's own text.
    const QStringList lines = env.logLines().filter(text.replace('\n', ' ').replace('\r', ' '));
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains(" Error #"));
    QVERIFY(lines[0].endsWith("in clsGenericMaint:" + which));
}

QTEST_MAIN(tst_Validations)
#include "tst_Validations.moc"
