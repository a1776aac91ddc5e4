#include "frame/CError.h"
#include "platform/App.h"
#include "platform/CurrentError.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>

class tst_CError : public QObject {
    Q_OBJECT

    QDateTime m_now;
    void setClock(const QDateTime& t) {
        m_now = t;
        App::SetClock([this] { return m_now; });
    }
    static QString stamp(const QDateTime& t) { return t.toString("dd MMMM yyyy HH:mm:ss"); }
    static int raiseAndReport(CError& reporter, const QString& description, const QString& location = "x:y") {
        Err().Raise(5, description, "Test");
        return reporter.Report(location);
    }

private slots:
    void firstErrorWritesHeaderThenError_data();
    void firstErrorWritesHeaderThenError();
    void emptyEntryIsDateAndCommaAlone();
    void loopsAreToldOnceAndCountedAgain_data();
    void loopsAreToldOnceAndCountedAgain();
    void midnightStartsANewFile();
    void unwritableFolderLosesTheLineOnly();
};

void tst_CError::firstErrorWritesHeaderThenError_data() {
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative driver code")
        << qint32(-2147217900) << "modMain:OpenDBConecction"
        << " Error #80040E14 (Invalid name 'X') in modMain:OpenDBConecction";
    QTest::newRow("positive code") << qint32(91) << "frmMain:Load"
                                   << " Error #5B (Invalid name 'X') in frmMain:Load";
    QTest::newRow("no location names the source") << qint32(3021) << ""
                                                  << " Error #BCD (Invalid name 'X') in [QODBC]";
    QTest::newRow("number zero") << qint32(0) << "a:b"
                                 << "(Invalid name 'X') in a:b";
}

void tst_CError::firstErrorWritesHeaderThenError() {
    QFETCH(qint32, number);
    QFETCH(QString, location);
    QFETCH(QString, expected);
    TestEnvironment env;
    const QDateTime t(QDate(2026, 3, 7), QTime(9, 5, 3));
    setClock(t);
    CError reporter;
    Err().Raise(number, "Invalid name 'X'", "QODBC");
    QCOMPARE(reporter.Report(location), 2);
    QCOMPARE(Err().Number(), 0);
    QCOMPARE(TestEnvironment::readFile(QDir(env.folder()).filePath("20260307.log")),
             ("07 March 2026 09:05:03,(Log started: Marvane Vuldra Configurator 2.5.7) \r\n07 March 2026 "
              "09:05:03," +
              expected + "\r\n")
                 .toUtf8());
}

void tst_CError::emptyEntryIsDateAndCommaAlone() {
    TestEnvironment env;
    setClock(QDateTime(QDate(2026, 1, 2), QTime(23, 0, 0)));
    CError reporter;
    reporter.WriteError(0, "", "");
    QCOMPARE(env.logLines().value(1), QString("02 January 2026 23:00:00,"));
    reporter.WriteError(0, "", "");
    QCOMPARE(env.logLines().size(), 3); // the header is written once per run
}

void tst_CError::loopsAreToldOnceAndCountedAgain_data() {
    QTest::addColumn<QList<int>>("seconds"); // when each error comes, from noon
    QTest::addColumn<bool>("same");          // all with the same description
    QTest::addColumn<QString>("loop");       // the loop line the last one writes; empty: no loop
    QTest::newRow("21 within one second") << QList<int>(21, 0) << false << "> 21 Errors per second ";
    QTest::newRow("12 identical, a second apart")
        << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12} << true << "> 11 Identical Errors ";
    QTest::newRow("a minute apart, the same seconds field")
        << QList<int>(20, 7) + QList<int>{67} << false << "";
}

void tst_CError::loopsAreToldOnceAndCountedAgain() {
    QFETCH(QList<int>, seconds);
    QFETCH(bool, same);
    QFETCH(QString, loop);
    TestEnvironment env;
    const QDateTime noon(QDate(2026, 5, 1), QTime(12, 0, 0));
    CError reporter;
    for (int i = 0; i < seconds.size(); ++i) {
        setClock(noon.addSecs(seconds[i]));
        const bool last = i == seconds.size() - 1;
        QCOMPARE(raiseAndReport(reporter, same ? "same" : QString("failure %1").arg(i)),
                 last && !loop.isEmpty() ? 1 : 2);
    }
    const QStringList lines = env.logLines();
    QCOMPARE(lines.size(), 1 + seconds.size() + (loop.isEmpty() ? 0 : 1));
    if (!loop.isEmpty())
        QCOMPARE(lines[seconds.size()],
                 stamp(m_now) + ",( <Error Handler Message>) in  Loop Detected : " + loop);
    QCOMPARE(lines.last(),
             stamp(m_now) + QString(", Error #5 (%1) in x:y")
                                .arg(same ? "same" : QString("failure %1").arg(seconds.size() - 1)));
    // The counts start again after a loop: the same error once more is no loop yet.
    QCOMPARE(raiseAndReport(reporter, same ? "same" : QString("failure %1").arg(seconds.size() - 1)), 2);
}

void tst_CError::midnightStartsANewFile() {
    TestEnvironment env;
    CError reporter;
    setClock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    raiseAndReport(reporter, "before");
    setClock(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 1)));
    raiseAndReport(reporter, "after");
    const QByteArray a = TestEnvironment::readFile(QDir(env.folder()).filePath("20261231.log"));
    QVERIFY(a.contains("Log started") && a.contains("(before)") && !a.contains("(after)"));
    QCOMPARE(TestEnvironment::readFile(QDir(env.folder()).filePath("20270101.log")),
             QByteArray("01 January 2027 00:00:01, Error #5 (after) in x:y\r\n"));
}

void tst_CError::unwritableFolderLosesTheLineOnly() {
    TestEnvironment env;
    // A folder below a plain file cannot exist, whoever runs the test.
    TestEnvironment::writeFile(QDir(env.folder()).filePath("plain-file"), {});
    App::SetPath(QDir(env.folder()).filePath("plain-file/log-folder"));
    CError reporter;
    QCOMPARE(raiseAndReport(reporter, "nowhere to go"), 2);
    QCOMPARE(Err().Number(), 0);
    QCOMPARE(env.logText(), QString());
}

QTEST_MAIN(tst_CError)
#include "tst_CError.moc"
