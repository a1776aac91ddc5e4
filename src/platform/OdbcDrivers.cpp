#include "platform/OdbcDrivers.h"

#include <odbcinst.h>

QStringList OdbcDrivers::Installed() {
    // The list comes as names separated by NUL characters and ended by two.
    char buffer[16384] = {};
    WORD used = 0;
    if (!SQLGetInstalledDrivers(buffer, sizeof buffer - 2, &used))
        return {};
    QStringList names;
    const char* p = buffer;
    while (*p && p < buffer + sizeof buffer) {
        const QString name = QString::fromLocal8Bit(p);
        names << name;
        p += qstrlen(p) + 1;
    }
    return names;
}

bool OdbcDrivers::IsInstalled(const QString& driver) {
    if (driver.contains('/'))
        return true;
    return Installed().contains(driver, Qt::CaseInsensitive);
}
