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
    void aFailingConnectionAnswersFalseOnce_data();
    void aFailingConnectionAnswersFalseOnce();
    void aFailedQueryIsLoggedOnceWithTheDatabasesText_data();
    void aFailedQueryIsLoggedOnceWithTheDatabasesText();
};

void tst_Validations::checks_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("style");
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "account found")
            << "validateAccount" << QStringList{"CORP", "3"} << true << "" << 0;
        Warehouse::newRow(b, "account not found")
            << "validateAccount" << QStringList{"NOPE", "1"} << false << "It's not a valid Account" << 48;
        Warehouse::newRow(b, "account blank")
            << "validateAccount" << QStringList{"", "3"} << false << "Account cannot be blank" << 48;
        Warehouse::newRow(b, "account of a business level")
            << "validateAccount" << QStringList{"anything", "4"} << true << "" << 0;
        Warehouse::newRow(b, "account with apostrophe")
            << "validateAccount" << QStringList{"CO'RP", "2"} << false << "It's not a valid Account" << 48;
        Warehouse::newRow(b, "account of one blank")
            << "validateAccount" << QStringList{" ", "3"} << false << "It's not a valid Account" << 48;
        Warehouse::newRow(b, "level found")
            << "validateLevel" << QStringList{"L2", "5", "AC"} << true << "" << 0;
        Warehouse::newRow(b, "level of another area")
            << "validateLevel" << QStringList{"L9", "3", "AC"} << false << "It's not a valid Level" << 48;
        Warehouse::newRow(b, "level blank")
            << "validateLevel" << QStringList{"", "3", "AC"} << false << "Level cannot be blank" << 48;
        Warehouse::newRow(b, "level with apostrophe")
            << "validateLevel" << QStringList{"L'2", "3", "AC"} << false << "It's not a valid Level" << 48;
        Warehouse::newRow(b, "category found")
            << "validateCategories" << QStringList{"CURA"} << true << "" << 0;
        Warehouse::newRow(b, "multiplier found")
            << "validateMulptCode" << QStringList{"MSIGN"} << true << "" << 0;
        Warehouse::newRow(b, "level code found")
            << "ValidateLevelCode" << QStringList{"L2", "11", "AC"} << true << "" << 0;
        Warehouse::newRow(b, "level code of another level")
            << "ValidateLevelCode" << QStringList{"L3", "11", "AC"} << false << "It's not a valid Level Code"
            << 48;
        Warehouse::newRow(b, "category not found")
            << "validateCategories" << QStringList{"NO'CAT"} << false << "It's not a valid Category" << 16;
        Warehouse::newRow(b, "category blank")
            << "validateCategories" << QStringList{""} << false << "Category cannot be blank" << 48;
        Warehouse::newRow(b, "multiplier not found")
            << "validateMulptCode" << QStringList{"M'X"} << false << "It's not a valid Multiplier" << 48;
        Warehouse::newRow(b, "multiplier blank")
            << "validateMulptCode" << QStringList{""} << false << "Multiplier cannot be blank" << 48;
        Warehouse::newRow(b, "level code not found") << "ValidateLevelCode" << QStringList{"L1", "9'9", "AC"}
                                                     << false << "It's not a valid Level Code" << 48;
        Warehouse::newRow(b, "level code blank, level blank too")
            << "ValidateLevelCode" << QStringList{"", "", "AC"} << false << "Level Code cannot be blank"
            << 48;
    }
}

void tst_Validations::checks() {
    QFETCH(QString, backend);
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    QFETCH(bool, valid);
    QFETCH(QString, message);
    QFETCH(int, style);
    TestEnvironment env;
    Warehouse w(backend);
    QLX_REQUIRE_WAREHOUSE(w);
    QVERIFY(w.openShared());
    clsGenericMaint g;
    QCOMPARE(check(g, which, args), valid);
    if (valid) {
        QVERIFY(env.ui.messages.isEmpty());
    } else {
        QCOMPARE(env.ui.messages.size(), 1);
        QCOMPARE(env.ui.messages[0].prompt, message);
        QCOMPARE(env.ui.messages[0].title, QString("Error"));
        QCOMPARE(env.ui.messages[0].style, style);
    }
    QCOMPARE(env.logText(), QString());
}

void tst_Validations::aFailingConnectionAnswersFalseOnce_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("validateAccount") << "validateAccount" << QStringList{"CORP", "3"};
    QTest::newRow("validateLevel") << "validateLevel" << QStringList{"L1", "3", "AC"};
    QTest::newRow("validateCategories") << "validateCategories" << QStringList{"C1"};
    QTest::newRow("validateMulptCode") << "validateMulptCode" << QStringList{"M1"};
    QTest::newRow("ValidateLevelCode") << "ValidateLevelCode" << QStringList{"L1", "1", "AC"};
}

void tst_Validations::aFailingConnectionAnswersFalseOnce() {
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    TestEnvironment env; // no connection is open: every query fails
    clsGenericMaint g;
    QVERIFY(!check(g, which, args));
    QCOMPARE(env.ui.messages.size(), 1); // the query's own failure, and no second message
    QCOMPARE(env.ui.messages[0].style, int(vbOKOnly));
    QVERIFY(env.logText().contains("in clsGenericMaint:" + which));
}

void tst_Validations::aFailedQueryIsLoggedOnceWithTheDatabasesText_data() {
    Warehouse::addBackendColumn();
    QTest::addColumn<QString>("category");
    QTest::addColumn<bool>("refused"); // by the program, before anything is sent
    for (const QString& b : Warehouse::backends()) {
        Warehouse::newRow(b, "half of a pair") << QString("CU") + QChar(0xD800) + "RA" << true;
        Warehouse::newRow(b, "NUL") << QString("CU") + QChar(0) + "RA" << true;
        Warehouse::newRow(b, "the table is gone") << "CURA" << false;
    }
}

void tst_Validations::aFailedQueryIsLoggedOnceWithTheDatabasesText() {
    QFETCH(QString, category);
    QFETCH(bool, refused);
    TestEnvironment env;
    QLX_OPEN_WAREHOUSE(w);
    if (!refused)
        QVERIFY(w.own().Execute("DROP TABLE CS_CAT_DESC"));
    clsGenericMaint g;
    QVERIFY(!g.validateCategories(category)); // neither found nor "not a valid Category"
    QCOMPARE(env.ui.messages.size(), 1);
    QString text = env.ui.messages[0].prompt;
    QCOMPARE(text == WellFormedText::RefusalText(), refused);
    const QStringList lines = env.logLines().filter(text.replace('\n', ' ').replace('\r', ' '));
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains(" Error #"));
    QVERIFY(lines[0].endsWith("in clsGenericMaint:validateCategories"));
}

QTEST_MAIN(tst_Validations)
#include "tst_Validations.moc"
