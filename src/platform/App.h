#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

// What the program knows of itself: its title and version, the folder it runs from and the clock. The
// folder and the clock can be replaced, so tests can put the log and QLX.ini where they like and cross
// midnight without waiting for it.
class App {
public:
    static QString Title();
    static int Major();
    static int Minor();
    static int Revision();
    static QString VersionText(); // "major.minor.revision"

    // The folder that holds the program file, unless one was set.
    static QString Path();
    static void SetPath(const QString& folder);

    static QDateTime Now();
    static void SetClock(std::function<QDateTime()> clock);
    static void ResetClock();
};
