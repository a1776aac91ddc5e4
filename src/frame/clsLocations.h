#pragma once

#include <QString>

// One warehouse connection entry of QLX.ini.
struct clsLocations {
    QString sLocName;   // connection name
    QString sProvider;  // "SQLOLEDB", "MSDAORA", "SQLITE" or "MSDASQL"
    QString sServer;    // server, Oracle alias, warehouse file or data source name
    QString sDatabase;  // "" when the entry names none
    QString sUser;      // user name
    QString sPwd;       // stored form of a remembered password, or ""
    QString sMartNo;    // the entry number
    QString sTrustConn; // "Yes" for integrated security
};
