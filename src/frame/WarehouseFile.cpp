#include "frame/WarehouseFile.h"

#include "platform/App.h"
#include "platform/ConnectionText.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"

#include <QDir>

namespace {

// The tables the editors read and write.
const char* const kTables[] = {
    "CHART_OF_ACCOUNT",    "BUSINESS_UNIT", "BUSINESS_AREA", "CS_MULTIPLIER",     "CS_MULTIPLIERXREF",
    "C_EXEJOBS",           "CS_SOURCE",     "CS_CAT_DESC",   "CS_COA_ACCT_RANGE", "CS_BA_BU_LEVELS",
    "CS_MULTIPLIER_RANGE", "CS_CAT_TYPE",   "CS_LEVELHIER",  "CS_MULTIPLIERHIER", "CS_CATEGORYHIER",
};

} // namespace

bool WarehouseFile::Check(DbConnection& connection, const QString& connectionText) {
    const ConnectionText ct = ConnectionText::Parse(connectionText);
    if (ct.backend() != ConnectionText::Backend::SqliteFile)
        return true;
    for (const char* table : kTables) {
        if (connection.Execute(QString("Select 1 From %1 Where 1 = 0").arg(QLatin1String(table))))
            continue;
        Err().Raise(CurrentError::UnspecifiedError,
                    QString("The file \"%1\" is not a warehouse: it has no table %2.")
                        .arg(QDir::toNativeSeparators(ct.sqliteFilePath(App::Path())), QLatin1String(table)),
                    connection.driverLabel());
        return false;
    }
    return true;
}
