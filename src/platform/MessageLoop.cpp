#include "platform/MessageLoop.h"

#include <QCoreApplication>

void MessageLoop::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
