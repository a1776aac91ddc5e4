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
    void failedQueriesAnswerFalseOnce_data();
    void failedQueriesAnswerFalseOnce();
};

void tst_Validations::checks_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message"); // empty: valid
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
        row("level of another area", "validateLevel", {"L9", "3", "AC"}, "It's not a valid Level");
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
    }
}

void tst_Validations::checks() {
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, style);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    clsGenericMaint g;
    QCOMPARE(check(g, which, args), message.isEmpty());
    QCOMPARE(env.prompts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(env.ui.messages[0].title, QString("Error"));
        QCOMPARE(env.ui.messages[0].style, style);
    }
    QCOMPARE(env.logText(), QString());
}

void tst_Validations::failedQueriesAnswerFalseOnce_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("failure"); // "refused": by the program, before anything is sent
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "half of a pair")
            << "validateCategories" << QStringList{QString("CU") + QChar(0xD800)} << "refused";
        Warehouse::newRow(b, "NUL") << "validateCategories" << QStringList{QString("CU") + QChar(0) + "RA"}
                                    << "refused";
        Warehouse::newRow(b, "the table is gone") << "validateCategories" << QStringList{"CURA"} << "dropped";
    }
    // No connection is open: every query fails.
    Warehouse::newRow("sqlite", "no connection: validateAccount")
        << "validateAccount" << QStringList{"CORP", "3"} << "closed";
    Warehouse::newRow("sqlite", "no connection: validateLevel")
        << "validateLevel" << QStringList{"L1", "3", "AC"} << "closed";
    Warehouse::newRow("sqlite", "no connection: validateMulptCode")
        << "validateMulptCode" << QStringList{"M1"} << "closed";
    Warehouse::newRow("sqlite", "no connection: ValidateLevelCode")
        << "ValidateLevelCode" << QStringList{"L1", "1", "AC"} << "closed";
}

void tst_Validations::failedQueriesAnswerFalseOnce() {
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    QFETCH(QString, failure);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    if (failure == "dropped")
        QVERIFY(w.own().Execute("DROP TABLE CS_CAT_DESC"));
    if (failure == "closed")
        gDBConnection->CloseDB();
    clsGenericMaint g;
    QVERIFY(!check(g, which, args)); // neither found nor "not a valid ..."
    QCOMPARE(env.ui.messages.size(), 1);
    QCOMPARE(env.ui.messages[0].style, int(vbOKOnly));
    QString text = env.ui.messages[0].prompt;
    QCOMPARE(text == WellFormedText::RefusalText(), failure == "refused");
    // Logged once, with the database's own text.
    const QStringList lines = env.logLines().filter(text.replace('\n', ' ').replace('\r', ' '));
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains(" Error #"));
    QVERIFY(lines[0].endsWith("in clsGenericMaint:" + which));
}

QTEST_MAIN(tst_Validations)
#include "tst_Validations.moc"
