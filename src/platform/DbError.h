#pragma once

#include <QString>

// A database failure as the program keeps it: the driver's native code, its text and which driver said it.
struct DbError {
    qint32 number = 0;
    QString description;
    QString source;
    // The ODBC SQLSTATE of the failure ("08S01"), where an ODBC driver gave one.
    QString state{};
    // What the driver itself said where the program tells the failure in its own words (a lost connection):
    // its text and SQLSTATE, for the log.
    QString cause{};

    bool isSet() const { return number != 0 || !description.isEmpty(); }
};
