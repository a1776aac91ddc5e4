#include "frame/clsDBConnection.h"

#include "frame/modMain.h"
#include "platform/UserDialogs.h"

clsDBConnection::clsDBConnection() {
    m_connection.CursorLocation = 3;
    m_connection.CommandTimeout = 180;
}

void clsDBConnection::CloseDB() {
    m_connection.Close();
}

bool clsDBConnection::OpenDB(const QString& dataSource, const QString& initialCatalog, const QString& userId,
                             const QString& password) {
    const QString text = "Provider=SQLOLEDB;Data Source=" + dataSource +
                         ";Initial Catalog=" + initialCatalog + ";User ID=" + userId +
                         ";Password=" + password;
    if (m_connection.Open(text))
        return true;
    MsgBox(m_connection.LastError().description, vbOKOnly);
    return false;
}
