#pragma once

#include <QString>

class QLineEdit;

// Program-wide state of the maintenance editors.
extern qint32 gNodeType;
extern qint32 gYieldCount;
extern qint32 gProgressCount;

// Runs one statement on the shared connection. False for an empty text (nothing is sent) and when the
// database rejects it, with the error left for the caller's handler.
bool ExecuteSQL(const QString& sql);
// Runs one statement that must change a row: the fill of a placeholder row the action found, the delete
// of an entry the user chose. When it changes none, the rows changed since the action looked at them:
// it fails like a rejected statement, with WarehouseChangedText() as its error, which the user is told
// (within an action, once it has been undone). A count the driver does not know passes.
bool ExecuteSQLChangingRows(const QString& sql);
// Fails the running action because what it meant to change is no longer there: WarehouseChangedText()
// becomes its error and is told to the user as ExecuteSQLChangingRows tells it. Answers false.
bool FailWarehouseChanged();
QString WarehouseChangedText();
// Lets the box take digits only.
void SetNumericOnly(QLineEdit* textBox);
// How many progress steps pass between two yields to the message loop during a load of rowCount rows.
void CalculateYieldCount(qint32 rowCount);
