#pragma once

#include <QList>

class QCursor;

// Shows the hourglass (or the arrow with hourglass) for as long as the guard lives; the default pointer
// comes back on every way out, also after a failure.
class MousePointer {
public:
    enum Kind { Hourglass, ArrowHourglass };
    explicit MousePointer(Kind kind = Hourglass);
    ~MousePointer();
    MousePointer(const MousePointer&) = delete;
    MousePointer& operator=(const MousePointer&) = delete;

    // While a message box or dialog waits for the user, the pointer is the one its controls show, whatever
    // wait pointers the work behind it has set: nothing is busy then. They come back when the guard ends,
    // and the work goes on under them.
    class UserTurn {
    public:
        UserTurn();
        ~UserTurn();
        UserTurn(const UserTurn&) = delete;
        UserTurn& operator=(const UserTurn&) = delete;

    private:
        QList<QCursor> m_waiting; // the wait pointers set aside, innermost first
    };
};
