#include "frame/ErrorHandler.h"

#include "frame/CError.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"

#include <optional>

namespace {
// The message a running action has to tell when it ends.
std::optional<MessageRequest> heldMessage;
} // namespace

bool ErrorHandler::Fail(const QString& location) {
    ErrorReporter().Report(location);
    return false;
}

bool ErrorHandler::FailShowing(const QString& location, int style, const QString& title) {
    Tell(Err().Description(), style, title);
    return Fail(location);
}

bool ErrorHandler::FailWithMessage(const QString& location, const QString& text, int style,
                                   const QString& title) {
    Tell(text, style, title);
    return Fail(location);
}

void ErrorHandler::Tell(const QString& text, int style, const QString& title) {
    DbConnection* connection = gDBConnection.IsNothing() ? nullptr : &gDBConnection->adoConnection();
    if (!connection || !connection->InTransaction()) {
        MsgBox(text, style, title);
        return;
    }
    const bool first = !heldMessage;
    heldMessage = MessageRequest{text, style, title};
    if (first)
        connection->AfterTransactionEnds([] {
            const MessageRequest m = *heldMessage;
            heldMessage.reset();
            MsgBox(m.prompt, m.style, m.title);
        });
}
