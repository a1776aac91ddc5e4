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
    void burstWithinOneSecondIsALoop();
    void identicalErrorsInARowAreALoop();
    void errorsAMinuteApartAreNoBurst();
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
    Err().Raise(number,
                QTest::currentDataTag() == QByteArray("line breaks of a driver's text")
                    ? "Invalid name 'X'\n\tIs it?"
                    : "Invalid name 'X'",
                "QODBC");
    QCOMPARE(reporter.Report(location), 2);
    QCOMPARE(Err().Number(), 0);
    QVERIFY(QFile::exists(QDir(env.folder()).filePath("20260307.log")));
    QFile raw(QDir(env.folder()).filePath("20260307.log"));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray expectedBytes =
        ("07 March 2026 09:05:03,(Log started: Marvane Vuldra Configurator 2.5.7) \r\n"
         "07 March 2026 09:05:03," +
         expected + "\r\n")
            .toUtf8();
    QCOMPARE(raw.readAll(), expectedBytes);
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

void tst_CError::burstWithinOneSecondIsALoop() {
    TestEnvironment env;
    const QDateTime t(QDate(2026, 5, 1), QTime(12, 0, 0));
    setClock(t);
    CError reporter;
    for (int i = 1; i <= 20; ++i)
        QCOMPARE(raiseAndReport(reporter, QString("failure %1").arg(i)), 2);
    QCOMPARE(raiseAndReport(reporter, "failure 21"), 1);
    const QStringList lines = env.logLines();
    QCOMPARE(lines.size(), 1 + 21 + 1);
    QCOMPARE(lines[21], stamp(t) + ",( <Error Handler Message>) in  Loop Detected : > 21 Errors per second ");
    QCOMPARE(lines[22], stamp(t) + ", Error #5 (failure 21) in x:y");
    // The count starts again after a loop.
    QCOMPARE(raiseAndReport(reporter, "failure 22"), 2);
}

void tst_CError::identicalErrorsInARowAreALoop() {
    TestEnvironment env;
    QDateTime t(QDate(2026, 5, 1), QTime(12, 0, 0));
    CError reporter;
    for (int i = 1; i <= 11; ++i) {
        setClock(t.addSecs(i));
        QCOMPARE(raiseAndReport(reporter, "same"), 2);
    }
    setClock(t.addSecs(12));
    QCOMPARE(raiseAndReport(reporter, "same"), 1);
    const QStringList lines = env.logLines();
    QCOMPARE(lines.value(12),
             stamp(t.addSecs(12)) + ",( <Error Handler Message>) in  Loop Detected : > 11 Identical Errors ");
    // Another description breaks the run.
    setClock(t.addSecs(13));
    QCOMPARE(raiseAndReport(reporter, "other"), 2);
}

void tst_CError::errorsAMinuteApartAreNoBurst() {
    TestEnvironment env;
    const QDateTime t(QDate(2026, 5, 1), QTime(12, 0, 7));
    setClock(t);
    CError reporter;
    for (int i = 1; i <= 20; ++i)
        raiseAndReport(reporter, QString("failure %1").arg(i));
    setClock(t.addSecs(60)); // the same seconds field, another minute
    QCOMPARE(raiseAndReport(reporter, "later"), 2);
    QVERIFY(!env.logText().contains("Loop Detected"));
}

void tst_CError::midnightStartsANewFile() {
    TestEnvironment env;
    CError reporter;
    setClock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    raiseAndReport(reporter, "before");
    setClock(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 1)));
    raiseAndReport(reporter, "after");
    QFile first(QDir(env.folder()).filePath("20261231.log"));
    QFile second(QDir(env.folder()).filePath("20270101.log"));
    QVERIFY(first.open(QIODevice::ReadOnly));
    QVERIFY(second.open(QIODevice::ReadOnly));
    const QString a = QString::fromUtf8(first.readAll());
    const QString b = QString::fromUtf8(second.readAll());
    QVERIFY(a.contains("Log started") && a.contains("(before)") && !a.contains("(after)"));
    QCOMPARE(b, QString("01 January 2027 00:00:01, Error #5 (after) in x:y\r\n"));
}

void tst_CError::unwritableFolderLosesTheLineOnly() {
    TestEnvironment env;
    // A folder below a plain file cannot exist, whoever runs the test.
    QFile blocker(QDir(env.folder()).filePath("plain-file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    App::SetPath(QDir(env.folder()).filePath("plain-file/log-folder"));
    CError reporter;
    QCOMPARE(raiseAndReport(reporter, "nowhere to go"), 2);
    QCOMPARE(Err().Number(), 0);
    QCOMPARE(env.logText(), QString());
}

QTEST_MAIN(tst_CError)
#include "tst_CError.moc"
