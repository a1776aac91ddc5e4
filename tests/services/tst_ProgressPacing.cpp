#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "services/ProgressPacer.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"

#include <QProgressBar>
#include <QTest>
#include <functional>

namespace {

// Counts the yields of the loads instead of running the message loop; `during` runs inside a yield.
class CountingYield {
public:
    CountingYield() {
        ProgressPacer::SetYield([this] {
            ++count;
            if (during)
                during(count);
        });
    }
    ~CountingYield() { ProgressPacer::SetYield({}); }
    Q_DISABLE_COPY(CountingYield)
    int count = 0;
    std::function<void(int)> during;
};

} // namespace

class tst_ProgressPacing : public QObject {
    Q_OBJECT
private slots:
    void loadYieldsOnceBeforeAndEveryYieldCountSteps_data();
    void loadYieldsOnceBeforeAndEveryYieldCountSteps();
    void loadDrivesTheMainWindowsBar_data();
    void loadDrivesTheMainWindowsBar();
    void loadStartedDuringAnotherLeavesItPacing();
    void defaultYieldRunsTheMessageLoop();
};

void tst_ProgressPacing::loadYieldsOnceBeforeAndEveryYieldCountSteps_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("yieldCount");
    QTest::addColumn<int>("yields");
    QTest::addColumn<int>("progressCountAtEnd");
    QTest::newRow("no rows") << 0 << 1 << 1 << 0;
    QTest::newRow("5 rows: half rounds to the even 0, at least 1") << 5 << 1 << 1 + 5 << 0;
    QTest::newRow("15 rows") << 15 << 2 << 1 + 7 << 1;
    QTest::newRow("25 rows: 2.5 to the even 2") << 25 << 2 << 1 + 12 << 1;
    QTest::newRow("35 rows: 3.5 to the even 4") << 35 << 4 << 1 + 8 << 3;
    QTest::newRow("10,000 rows: a tenth") << 10000 << 1000 << 1 + 10 << 0;
    QTest::newRow("10,001 rows: a hundredth") << 10001 << 100 << 1 + 100 << 1;
    QTest::newRow("100,000 rows") << 100000 << 1000 << 1 + 100 << 0;
}

void tst_ProgressPacing::loadYieldsOnceBeforeAndEveryYieldCountSteps() {
    QFETCH(int, rows);
    QFETCH(int, yieldCount);
    QFETCH(int, yields);
    QFETCH(int, progressCountAtEnd);
    TestEnvironment env;
    CountingYield yield;
    clsGenericMaint gm;
    gm.AddtoProgressBar(); // without a load: nothing
    QCOMPARE(yield.count, 0);
    gm.CalculateYieldCount(rows);
    QCOMPARE(gYieldCount, yieldCount);
    gYieldCount = 0;
    {
        ProgressPacer load(rows);
        QCOMPARE(gYieldCount, yieldCount);
        QCOMPARE(yield.count, 1);
        // A full bar neither moves nor yields.
        for (int i = 0; i < rows + 10; ++i)
            gm.AddtoProgressBar();
        QCOMPARE(yield.count, yields);
        QCOMPARE(load.Value(), rows);
        QCOMPARE(gProgressCount, progressCountAtEnd);
    }
    QCOMPARE(ProgressPacer::Current(), nullptr);
}

void tst_ProgressPacing::loadDrivesTheMainWindowsBar_data() {
    QTest::addColumn<int>("msPerYield");
    QTest::addColumn<QList<int>>("shown");
    // A slow load moves the bar at every yield; a fast one only as often as the eye can follow.
    QTest::newRow("slow load") << 50 << QList<int>({0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20});
    QTest::newRow("fast load") << 15 << QList<int>({0, 0, 0, 6, 6, 6, 12, 12, 12, 18, 20});
}

void tst_ProgressPacing::loadDrivesTheMainWindowsBar() {
    QFETCH(int, msPerYield);
    QFETCH(QList<int>, shown);
    TestEnvironment env;
    CountingYield yield;
    QDateTime clock(QDate(2026, 3, 1), QTime(9, 0));
    App::SetClock([&] { return clock; });
    clsGenericMaint gm;
    gMainForm = new frmMain();
    QProgressBar* bar = gMainForm->ProgressBar1;
    QVERIFY(!bar->isVisibleTo(gMainForm));
    QList<int> seen;
    yield.during = [&](int) {
        seen << bar->value();
        clock = clock.addMSecs(msPerYield);
    };
    {
        ProgressPacer load(20); // a yield every second step
        QVERIFY(bar->isVisibleTo(gMainForm));
        for (int i = 0; i < 20; ++i)
            gm.AddtoProgressBar();
        QCOMPARE(seen, shown);
    }
    QVERIFY(!bar->isVisibleTo(gMainForm));
}

void tst_ProgressPacing::loadStartedDuringAnotherLeavesItPacing() {
    TestEnvironment env;
    CountingYield yield;
    clsGenericMaint gm;
    gMainForm = new frmMain();
    QProgressBar* bar = gMainForm->ProgressBar1;
    int innerYields = 0;
    // Halfway through the first load, a yield runs a second load to its end, which fills its own bar.
    yield.during = [&](int n) {
        if (n != 3 || innerYields)
            return;
        const int before = yield.count;
        ProgressPacer inner(5);
        QCOMPARE(bar->maximum(), 5);
        for (int i = 0; i < 8; ++i)
            gm.AddtoProgressBar();
        innerYields = yield.count - before;
    };
    {
        ProgressPacer outer(40); // a yield every fourth step
        for (int i = 0; i < 40; ++i)
            gm.AddtoProgressBar();
        QCOMPARE(innerYields, 1 + 5);
        // The first load kept its own yields: one before, one every fourth of its 40 steps.
        QCOMPARE(yield.count - innerYields, 1 + 10);
        QVERIFY(bar->maximum() == 40 && bar->value() == 40 && bar->isVisibleTo(gMainForm));
        QCOMPARE(gYieldCount, 4);
    }
    QVERIFY(!bar->isVisibleTo(gMainForm));
}

void tst_ProgressPacing::defaultYieldRunsTheMessageLoop() {
    TestEnvironment env;
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp, [&] { ran = true; }, Qt::QueuedConnection);
    ProgressPacer load(1);
    QVERIFY(ran);
}

QTEST_MAIN(tst_ProgressPacing)
#include "tst_ProgressPacing.moc"
