#include "frame/ErrorHandler.h"

#include "frame/CError.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace {

struct Told {
    MessageRequest message;
    bool loss = false; // the loss of the connection
};

// The message a running action has to tell when it ends.
std::optional<Told> heldMessage;
// The user actions that have heard of the loss of the connection: those running at this event-loop depth
// and below (-1: none). An action runs at the depth of the loop that dispatched it; one that a modal
// dialog's loop dispatches (a lookup's Add) runs one deeper than the action that opened the dialog, which is
// still running and has heard of the loss too. So an action hears of it once, whichever of its steps meet it
// (a look-up, the action itself, what is said after it, what is read once a dialog it opened has closed).
int toldDepth = -1;

int loopDepth() {
    return QThread::currentThread()->loopLevel();
}

// A loop that takes up its next event, or waits for one, has finished the action it dispatched last: the
// next one there is told again; the actions below, which opened the loop, are still running.
void loopGoesOn() {
    toldDepth = std::min(toldDepth, loopDepth() - 1);
}

void tellLossOnce(const MessageRequest& message) {
    if (toldDepth >= loopDepth())
        return;
    toldDepth = loopDepth();
    static bool watching = false;
    if (!watching)
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { loopGoesOn(); });
            watching = true;
        }
    MsgBox(message.prompt, message.style, message.title);
    // Once the message is answered, so that its own event loop does not count as going back.
    QTimer::singleShot(0, [] { loopGoesOn(); });
}

DbConnection* sharedConnection() {
    return gDBConnection.IsNothing() ? nullptr : &gDBConnection->adoConnection();
}

void show(const Told& told) {
    if (told.loss)
        tellLossOnce(told.message);
    else
        MsgBox(told.message.prompt, told.message.style, told.message.title);
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
