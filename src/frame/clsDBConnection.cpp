#include "frame/clsDBConnection.h"

#include "frame/modMain.h"
#include "platform/UserDialogs.h"

clsDBConnection::clsDBConnection() {
    m_connection.CursorLocation = 3;
    m_connection.CommandTimeout = 180;
    // Every table the program writes: an action holds them all, so two users' checks and writes never
    // interleave. One fixed order, so two actions never wait for each other.
    m_connection.SetWriteLockTables({"CS_COA_ACCT_RANGE", "CS_BA_BU_LEVELS", "CS_MULTIPLIER_RANGE",
                                     "CS_CAT_TYPE", "CS_LEVELHIER", "CS_MULTIPLIERHIER", "CS_CATEGORYHIER",
                                     "CS_SOURCE", "CS_CAT_DESC"});
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
