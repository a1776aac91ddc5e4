#pragma once

#include <QDateTime>
#include <QtGlobal>
#include <functional>

// The progress of one long load on the main window's progress bar, with its yields to the message loop.
// A load creates one for its duration:
//
//     ProgressPacer load(rs.RecordCount()); // bar shown at 0 of N, yield count set, one yield
//     ... one Step() (or clsGenericMaint::AddtoProgressBar()) per row handled ...
//                                           // the bar is hidden when `load` goes
//
// Each load keeps its own bar position and step count. A load started during another one's yield takes
// the bar over and, when it ends, gives it back as it found it, with gYieldCount and gProgressCount, so
// the first load goes on moving and yielding as before. gYieldCount and gProgressCount always show the
// innermost running load.
class ProgressPacer {
public:
    using YieldFunction = std::function<void()>;
    // The bar moves at most this often (it always shows the full bar).
    static constexpr qint64 kShowIntervalMs = 40;

    explicit ProgressPacer(qint32 rowCount);
    ~ProgressPacer();
    ProgressPacer(const ProgressPacer&) = delete;
    ProgressPacer& operator=(const ProgressPacer&) = delete;

    // Advances the load by one and yields every YieldCount() steps, showing the new value on the bar
    // before a yield when the bar last moved at least kShowIntervalMs ago. A full bar neither moves nor
    // yields.
    void Step();

    qint32 Value() const { return m_value; }
    qint32 Maximum() const { return m_maximum; }
    qint32 YieldCount() const { return m_yieldCount; }
    // Steps made since the last yield.
    qint32 ProgressCount() const { return m_progressCount; }

    // The innermost running load, or nullptr.
    static ProgressPacer* Current();
    // What a yield runs: MessageLoop::DoEvents unless replaced (tests count yields); an empty function
    // restores it.
    static void SetYield(YieldFunction yield);
    static void Yield();

private:
    void showOnBar();
    void showValue();

    qint32 m_maximum;
    qint32 m_value = 0;
    qint32 m_yieldCount = 1;
    qint32 m_progressCount = 0;
    ProgressPacer* m_outer;
    // When the bar last moved (the program's clock).
    QDateTime m_shownAt;
};
