#include "services/ProgressPacer.h"

#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/MessageLoop.h"

#include <QProgressBar>

namespace {

ProgressPacer* gInnermost = nullptr;

ProgressPacer::YieldFunction& yieldFunction() {
    static ProgressPacer::YieldFunction yield;
    return yield;
}

QProgressBar* progressBar() {
    return gMainForm ? gMainForm->ProgressBar1 : nullptr;
}

} // namespace

ProgressPacer::ProgressPacer(qint32 rowCount) : m_maximum(rowCount < 0 ? 0 : rowCount), m_outer(gInnermost) {
    gInnermost = this;
    CalculateYieldCount(m_maximum);
    m_yieldCount = gYieldCount;
    gProgressCount = 0;
    showOnBar();
    Yield();
}

ProgressPacer::~ProgressPacer() {
    if (gInnermost == this) {
        gInnermost = m_outer;
    } else {
        // Ended out of turn: take it out of the chain wherever it is.
        for (ProgressPacer* p = gInnermost; p; p = p->m_outer) {
            if (p->m_outer == this) {
                p->m_outer = m_outer;
                break;
            }
        }
        return;
    }
    if (gInnermost) {
        gYieldCount = gInnermost->m_yieldCount;
        gProgressCount = gInnermost->m_progressCount;
        gInnermost->showOnBar();
    } else if (QProgressBar* bar = progressBar()) {
        bar->setVisible(false);
    }
}

void ProgressPacer::Step() {
    if (m_value + 1 > m_maximum)
        return;
    ++m_value;
    ++m_progressCount;
    if (m_progressCount >= m_yieldCount)
        m_progressCount = 0;
    if (gInnermost == this)
        gProgressCount = m_progressCount;
    if (m_progressCount == 0) {
        // Nothing is seen between two yields, so the bar is told no more often than that.
        if (gInnermost == this)
            showValue();
        Yield();
    }
}

ProgressPacer* ProgressPacer::Current() {
    return gInnermost;
}

void ProgressPacer::SetYield(YieldFunction yield) {
    yieldFunction() = std::move(yield);
}

void ProgressPacer::Yield() {
    if (const YieldFunction& yield = yieldFunction())
        yield();
    else
        MessageLoop::DoEvents();
}

void ProgressPacer::showValue() {
    QProgressBar* bar = progressBar();
    if (!bar || bar->value() == m_value)
        return;
    // Repainting the bar costs more than a yield's worth of rows in a fast load, and nobody follows more
    // than a few frames a second: the bar moves at most once every interval of the clock, and when full.
    const QDateTime now = App::Now();
    if (m_value < m_maximum && m_shownAt.isValid() && m_shownAt.msecsTo(now) < kShowIntervalMs)
        return;
    m_shownAt = now;
    bar->setValue(m_value);
}

void ProgressPacer::showOnBar() {
    QProgressBar* bar = progressBar();
    if (!bar)
        return;
    m_shownAt = App::Now();
    bar->setRange(0, m_maximum);
    bar->setValue(m_value);
    bar->setVisible(true);
}
