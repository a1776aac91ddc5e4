#pragma once

#include <QString>
#include <QStringList>

// The ODBC drivers that unixODBC knows on this machine, so that a missing driver is told as such instead
// of as an unknown data source or a library that cannot be loaded.
class OdbcDrivers {
public:
    static QStringList Installed();
    // True for a registered driver name, and for a driver named by its library path.
    static bool IsInstalled(const QString& driver);
};
