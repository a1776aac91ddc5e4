#pragma once

// Shows the hourglass (or the arrow with hourglass) for as long as the guard lives; the default pointer
// comes back on every way out, also after a failure.
class MousePointer {
public:
    enum Kind { Hourglass, ArrowHourglass };
    explicit MousePointer(Kind kind = Hourglass);
    ~MousePointer();
    MousePointer(const MousePointer&) = delete;
    MousePointer& operator=(const MousePointer&) = delete;
};
