#pragma once

#include <QString>

// The way every operation fails: an optional message box (by default the error's description), the
// report to the error log under the operation's location, and failure as the answer. A failed statement
// always ends its operation; nothing carries on after it.
class ErrorHandler {
public:
    // Reports the current error under `location` without a message; answers false.
    static bool Fail(const QString& location);
    // Shows the current error's description with the given style and title first.
    static bool FailShowing(const QString& location, int style, const QString& title = QString());
    // Shows a fixed text instead of the error's description.
    static bool FailWithMessage(const QString& location, const QString& text, int style,
                                const QString& title = QString());
};
