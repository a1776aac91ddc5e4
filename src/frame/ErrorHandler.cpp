#include "frame/ErrorHandler.h"

#include "frame/CError.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"

bool ErrorHandler::Fail(const QString& location) {
    ErrorReporter().Report(location);
    return false;
}

bool ErrorHandler::FailShowing(const QString& location, int style, const QString& title) {
    MsgBox(Err().Description(), style, title);
    return Fail(location);
}

bool ErrorHandler::FailWithMessage(const QString& location, const QString& text, int style,
                                   const QString& title) {
    MsgBox(text, style, title);
    return Fail(location);
}
