#include "frame/ModMaintenance.h"

#include "frame/ErrorHandler.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/UserDialogs.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <cmath>

qint32 gNodeType = 0;
qint32 gYieldCount = 0;
qint32 gProgressCount = 0;

bool ExecuteSQL(const QString& sql) {
    if (sql.isEmpty())
        return false;
    qint64 recordsAffected = 0;
    return gDBConnection->adoConnection().Execute(sql, &recordsAffected);
}

bool ExecuteSQLChangingRows(const QString& sql) {
    if (sql.isEmpty())
        return false;
    DbConnection& connection = gDBConnection->adoConnection();
    qint64 recordsAffected = 0;
    if (!connection.Execute(sql, &recordsAffected))
        return false;
    // A driver that does not count the rows (FreeTDS with NOCOUNT on) answers -1: the statement may well
    // have changed its row, and an action must not be refused for what cannot be told.
    return recordsAffected != 0 || FailWarehouseChanged();
}

bool FailWarehouseChanged() {
    DbConnection& connection = gDBConnection->adoConnection();
    connection.fail({CurrentError::UnspecifiedError, WarehouseChangedText(), connection.driverLabel()});
    ErrorHandler::Tell(WarehouseChangedText(), vbExclamation);
    return false;
}

QString WarehouseChangedText() {
    return QStringLiteral("The warehouse changed meanwhile: the rows this action meant to change are no "
                          "longer there, so nothing was changed. Reload the tree with Apply and try again.");
}

void SetNumericOnly(QLineEdit* textBox) {
    if (!textBox)
        return;
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    textBox->setValidator(new QRegularExpressionValidator(digits, textBox));
}

void CalculateYieldCount(qint32 rowCount) {
    const double share = rowCount <= 10000 ? rowCount / 10.0 : rowCount / 100.0;
    // Halves go to the even neighbour (25 rows give 2, 35 give 4).
    const auto count = static_cast<qint32>(std::nearbyint(share));
    gYieldCount = count < 1 ? 1 : count;
}
