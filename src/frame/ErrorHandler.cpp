#include "frame/ErrorHandler.h"

#include "frame/CError.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"

#include <QTimer>
#include <optional>

namespace {

struct Told {
    MessageRequest message;
    bool loss = false; // the loss of the connection
};

// The message a running action has to tell when it ends.
std::optional<Told> heldMessage;
// The loss of the connection has been told since the program last went back to its event loop: a user
// action hears of it once, whichever of its steps meet it (a look-up, the action itself, what is said
// after it).
bool lossTold = false;

DbConnection* sharedConnection() {
    return gDBConnection.IsNothing() ? nullptr : &gDBConnection->adoConnection();
}

void show(const Told& told) {
    if (!told.loss) {
        MsgBox(told.message.prompt, told.message.style, told.message.title);
        return;
    }
    if (lossTold)
        return;
    lossTold = true;
    MsgBox(told.message.prompt, told.message.style, told.message.title);
    // Once the message is answered, so that its own event loop does not count as going back.
    QTimer::singleShot(0, [] { lossTold = false; });
}

} // namespace

bool ErrorHandler::Fail(const QString& location) {
    // A handler that shows nothing of its own still tells the loss of the connection: the user needs to
    // know that nothing was done and why.
    if (Err().Number() == CurrentError::ConnectionLost)
        Tell(Err().Description(), vbCritical);
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
    DbConnection* connection = sharedConnection();
    // Once the connection is lost, whatever failed failed for that: it is what the user is told.
    Told told{{text, style, title}};
    if (connection && connection->Lost()) {
        const DbError loss = connection->LastError();
        told = {{loss.number == CurrentError::ConnectionLost ? loss.description : DbConnection::LostText(),
                 vbCritical, QString()},
                true};
    }
    if (!connection || !connection->InTransaction()) {
        show(told);
        return;
    }
    const bool first = !heldMessage;
    if (first || !heldMessage->loss)
        heldMessage = told;
    if (first)
        connection->AfterTransactionEnds([] {
            const Told held = *heldMessage;
            heldMessage.reset();
            show(held);
        });
}
