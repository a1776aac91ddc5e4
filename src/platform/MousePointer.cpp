#include "platform/MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

MousePointer::MousePointer(Kind kind) {
    QGuiApplication::setOverrideCursor(QCursor(kind == Hourglass ? Qt::WaitCursor : Qt::BusyCursor));
}

MousePointer::~MousePointer() {
    QGuiApplication::restoreOverrideCursor();
}
