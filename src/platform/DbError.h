#pragma once

#include <QString>

// A database failure as the program keeps it: the driver's native code, its text and which driver said it.
struct DbError {
    qint32 number = 0;
    QString description;
    QString source;
    // The ODBC SQLSTATE of the failure ("08S01"), where an ODBC driver gave one.
    QString state{};

    bool isSet() const { return number != 0 || !description.isEmpty(); }
};
