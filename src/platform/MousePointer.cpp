#include "platform/MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

MousePointer::MousePointer(Kind kind) {
    QGuiApplication::setOverrideCursor(QCursor(kind == Hourglass ? Qt::WaitCursor : Qt::BusyCursor));
}

MousePointer::~MousePointer() {
    QGuiApplication::restoreOverrideCursor();
}

MousePointer::UserTurn::UserTurn() {
    // Every wait pointer is set aside rather than covered by an arrow, so the box's own controls show
    // theirs (a text box its I-beam); a wait pointer the box's own work sets in the meantime is its own.
    while (const QCursor* waiting = QGuiApplication::overrideCursor()) {
        m_waiting.append(*waiting);
        QGuiApplication::restoreOverrideCursor();
    }
}

MousePointer::UserTurn::~UserTurn() {
    for (auto it = m_waiting.crbegin(); it != m_waiting.crend(); ++it)
        QGuiApplication::setOverrideCursor(*it);
}
