#pragma once

#include <QString>

// A database failure as the program keeps it: the driver's native code, its text and which driver said it.
struct DbError {
    qint32 number = 0;
    QString description;
    QString source;

    bool isSet() const { return number != 0 || !description.isEmpty(); }
};
