#pragma once

#include "platform/DbConnection.h"

#include <QString>

// Holds the program's one warehouse connection object.
class clsDBConnection {
public:
    clsDBConnection();

    DbConnection& adoConnection() { return m_connection; }
    void CloseDB();
    // Opens a SQL Server connection from its four parts; kept for completeness, the program opens its
    // connections through OpenDBConecction.
    bool OpenDB(const QString& dataSource, const QString& initialCatalog, const QString& userId,
                const QString& password);

private:
    DbConnection m_connection;
};
