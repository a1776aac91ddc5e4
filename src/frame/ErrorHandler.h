#pragma once

#include <QString>

// The way every operation fails: an optional message box (by default the error's description), the
// report to the error log under the operation's location, and failure as the answer. A failed statement
// always ends its operation; nothing carries on after it.
class ErrorHandler {
public:
    // Reports the current error under `location` without a message; answers false. The loss of the
    // connection is told all the same.
    static bool Fail(const QString& location);
    // Shows the current error's description with the given style and title first.
    static bool FailShowing(const QString& location, int style, const QString& title = QString());
    // Shows a fixed text instead of the error's description.
    static bool FailWithMessage(const QString& location, const QString& text, int style,
                                const QString& title = QString());
    // Shows a failure's message. Within a user action (a transaction on the shared connection) it waits
    // for the action's end: no lock waits on the user's answer, the tree behind it is already undone, and
    // the user reads it once, however many steps of the action met the failure. A later message of the
    // same action takes the place of an earlier one. Once the shared connection is lost, every failure is
    // told as that loss, and a user action tells it once, also what it says after its engine failed and
    // what it reads once a dialog it opened (a lookup, whose own actions each tell it) has closed.
    static void Tell(const QString& text, int style, const QString& title = QString());
};
